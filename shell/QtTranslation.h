#pragma once
// Qt's own texts (the buttons of message boxes, file and print dialogs) in the program's
// language: Chinese installs Qt's qtbase_zh_CN translation and makes Chinese the default
// locale (dates in file dialogs), English puts both back as they were.
#include "core/StringTable.h"

#include <QLocale>
#include <QTranslator>
#include <optional>

namespace kestrel {

class QtTranslation {
public:
    QtTranslation() = default;
    ~QtTranslation() { apply(English); }
    QtTranslation(const QtTranslation&) = delete;
    QtTranslation& operator=(const QtTranslation&) = delete;

    // False when Chinese was asked for and Qt's translation could not be loaded (Qt's
    // own texts then stay English); the reason in `warning`.
    bool apply(Language language, QString* warning = nullptr);

    // Where Qt's Chinese translation is looked for.
    static QString ChineseFile();

private:
    QTranslator m_translator;
    bool m_installed = false;
    std::optional<QLocale> m_localeBefore; // while Chinese is applied
};

} // namespace kestrel
