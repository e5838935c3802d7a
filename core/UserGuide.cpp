#include "core/UserGuide.h"

#include "core/Version.h"

#include <QDir>
#include <QFileInfo>

namespace kestrel {

QString UserGuidePageName(Language language) {
    return language == Chinese ? QStringLiteral("index-zh.html") : QStringLiteral("index.html");
}

QStringList UserGuideFolders(const QString& programFolder) {
    const QDir program(programFolder);
    return {QDir::cleanPath(program.filePath(QString::fromUtf8(guide::InstalledFromProgram))),
            QDir::cleanPath(program.filePath(QString::fromUtf8(guide::BuiltFromProgram)))};
}

QString FindUserGuide(const QString& programFolder, Language language) {
    for (const QString& folder : UserGuideFolders(programFolder)) {
        const QString page = QDir(folder).filePath(UserGuidePageName(language));
        if (QFileInfo(page).isFile())
            return page;
    }
    return QString();
}

QString UserGuideMissingText(const QString& programFolder, Language language) {
    const QString page = QDir(UserGuideFolders(programFolder).first()).filePath(UserGuidePageName(language));
    return Pick(language,
                "The user guide is not installed. It would be the page %1 (the package kestrel installs it; a "
                "build makes it in its folder guide/).",
                "未安装用户指南。它应当位于 %1（由 kestrel 软件包安装；自行编译时在编译目录的 guide/ 下）。")
        .arg(QDir::toNativeSeparators(page));
}

} // namespace kestrel
