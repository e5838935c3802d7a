#include "core/SessionMemory.h"

#include <QDir>
#include <QFileInfo>

namespace kestrel {

namespace {
const QString GeometryValue = QStringLiteral("WindowGeometry");
const QString TreeWidthValue = QStringLiteral("TreeWidth");
const QString LastFolderValue = QStringLiteral("LastFolder");

QString RecentValue(int i) {
    return QStringLiteral("RecentFile%1").arg(i + 1);
}

QString Normalized(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

SessionMemory ReadSessionMemory(const SettingsStore& store) {
    SessionMemory m;
    m.windowGeometry = QByteArray::fromBase64(store.ReadRegistryText(GeometryValue).toLatin1());
    bool ok = false;
    const int width = store.ReadRegistryText(TreeWidthValue).toInt(&ok);
    m.treeWidth = ok && width > 0 && width < 100000 ? width : 0;
    m.lastFolder = store.ReadRegistryText(LastFolderValue);
    QStringList files;
    for (int i = 0; i < MaxRecentFiles; ++i) {
        const QString f = store.ReadRegistryText(RecentValue(i));
        if (!f.isEmpty())
            files << f;
    }
    // Oldest first, so that each one goes to the head and the newest ends up first.
    for (auto it = files.crbegin(); it != files.crend(); ++it)
        m.recentFiles = WithRecentFile(m.recentFiles, *it);
    return m;
}

bool WriteWindowMemory(SettingsStore& store, const SessionMemory& memory) {
    bool ok = store.WriteRegistryText(GeometryValue, QString::fromLatin1(memory.windowGeometry.toBase64()));
    if (memory.treeWidth > 0)
        ok = store.WriteRegistryText(TreeWidthValue, QString::number(memory.treeWidth)) && ok;
    if (!memory.lastFolder.isEmpty())
        ok = store.WriteRegistryText(LastFolderValue, memory.lastFolder) && ok;
    return ok;
}

bool WriteRecentFiles(SettingsStore& store, const QStringList& files) {
    bool ok = true;
    for (int i = 0; i < MaxRecentFiles; ++i)
        ok = store.WriteRegistryText(RecentValue(i), files.value(i)) && ok;
    return ok;
}

QStringList WithRecentFile(const QStringList& files, const QString& path) {
    if (path.isEmpty())
        return files;
    QStringList out = WithoutRecentFile(files, path);
    out.prepend(Normalized(path));
    while (out.size() > MaxRecentFiles)
        out.removeLast();
    return out;
}

QStringList WithoutRecentFile(const QStringList& files, const QString& path) {
    const QString gone = Normalized(path);
    QStringList out;
    for (const QString& f : files)
        if (Normalized(f) != gone)
            out << f;
    return out;
}

} // namespace kestrel
