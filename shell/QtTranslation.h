#pragma once
// Qt's own texts (the buttons of message boxes, file and print dialogs) in the program's
// language: Chinese installs Qt's qtbase_zh_CN translation, English removes it.
#include "core/StringTable.h"

#include <QTranslator>

namespace kestrel {

class QtTranslation {
public:
    QtTranslation() = default;
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
};

} // namespace kestrel
