#include "shell/QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

namespace kestrel {

QString QtTranslation::ChineseFile() {
    return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        .filePath(QStringLiteral("qtbase_zh_CN.qm"));
}

bool QtTranslation::apply(Language language, QString* warning) {
    if (language != Chinese) {
        if (m_installed)
            QCoreApplication::removeTranslator(&m_translator);
        m_installed = false;
        if (m_localeBefore)
            QLocale::setDefault(*m_localeBefore);
        m_localeBefore.reset();
        return true;
    }
    if (!m_localeBefore) {
        m_localeBefore = QLocale();
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    }
    if (m_installed)
        return true;
    if (m_translator.isEmpty() && !m_translator.load(ChineseFile())) {
        if (warning)
            *warning = QStringLiteral("cannot load %1 (package qt6-translations-l10n); Qt's own buttons and "
                                      "dialogs stay English")
                           .arg(QDir::toNativeSeparators(ChineseFile()));
        return false;
    }
    m_installed = QCoreApplication::installTranslator(&m_translator);
    return m_installed;
}

} // namespace kestrel
