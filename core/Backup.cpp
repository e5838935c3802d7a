#include "core/Backup.h"

#include "core/Band.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace kestrel {

namespace {

const QString BackupDaysKey = QStringLiteral("Backup/Days");
const QString VerifyKey = QStringLiteral("Transfer/VerifyAfterWrite");
const QString TimeFormat = QStringLiteral("yyyyMMdd-HHmmss");

const QRegularExpression& NamePattern() {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{8}-\\d{6})_(136-174|400-470|340-400)(-\\d+)?\\.dat$"));
    return pattern;
}

} // namespace

bool ReadResultImage(const MemoryImage& read, int bandIndex, const QString& appFolder, MemoryImage* out,
                     QString* error) {
    MemoryImage file;
    if (!LoadDefaultImage(file, bandIndex, appFolder, error))
        return false;
    for (int line = 0; line <= LastReadLine; ++line)
        file.setLine(line, read.line(line));
    *out = file;
    return true;
}

QString DefaultBackupFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/backups");
}

QString BackupFileName(const QDateTime& when, int bandIndex, int sequence) {
    const QString suffix = sequence >= 2 ? QStringLiteral("-%1").arg(sequence) : QString();
    return when.toString(TimeFormat) + QLatin1Char('_') + BandText(bandIndex) + suffix +
           QStringLiteral(".dat");
}

QDateTime BackupNameTime(const QString& fileName) {
    const QRegularExpressionMatch m = NamePattern().match(fileName);
    if (!m.hasMatch())
        return QDateTime();
    return QDateTime::fromString(m.captured(1), TimeFormat);
}

BackupResult WriteBackup(const MemoryImage& image, int bandIndex, const QString& folder, int keepDays,
                         const QDateTime& when) {
    BackupResult result;
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        result.error =
            QStringLiteral("cannot make the backup folder %1").arg(QDir::toNativeSeparators(folder));
        return result;
    }
    const QDir dir(folder);
    int sequence = 1;
    while (QFileInfo::exists(dir.filePath(BackupFileName(when, bandIndex, sequence))))
        ++sequence;
    result.path = dir.filePath(BackupFileName(when, bandIndex, sequence));
    if (!image.SaveImageFile(result.path, &result.error)) {
        result.path.clear();
        return result;
    }
    result.ok = true;
    result.pruned = PruneBackups(folder, keepDays, when);
    return result;
}

QStringList PruneBackups(const QString& folder, int keepDays, const QDateTime& now) {
    QStringList pruned;
    if (keepDays <= 0)
        return pruned;
    const QDateTime limit = now.addDays(-keepDays);
    QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.dat")}, QDir::Files)) {
        const QDateTime t = BackupNameTime(name);
        if (t.isValid() && t < limit && dir.remove(name))
            pruned << name;
    }
    return pruned;
}

QString BackupReport(const BackupResult& result, Language language) {
    if (result.ok)
        return Pick(language, "Backup saved: %1", "已备份：%1").arg(QDir::toNativeSeparators(result.path));
    return Pick(language, "No backup was saved: %1", "未能备份：%1").arg(result.error);
}

QStringList ReadTransferSettings(AppContext& app, const SettingsStore& store) {
    QStringList warnings;
    app.backupDays = DefaultBackupDays;
    const QString days = store.ReadRegistryText(BackupDaysKey).trimmed();
    if (!days.isEmpty()) {
        bool ok = false;
        const int n = days.toInt(&ok);
        if (ok && n >= 0)
            app.backupDays = n;
        else
            warnings << QStringLiteral(
                            "settings value [Backup] Days=\"%1\" is not a number of days (0 keeps all); "
                            "using %2")
                            .arg(days)
                            .arg(DefaultBackupDays);
    }
    app.verifyAfterWrite = false;
    const QString verify = store.ReadRegistryText(VerifyKey).trimmed();
    if (verify == QLatin1String("1"))
        app.verifyAfterWrite = true;
    else if (!verify.isEmpty() && verify != QLatin1String("0"))
        warnings << QStringLiteral("settings value [Transfer] VerifyAfterWrite=\"%1\" is not 0 or 1; using 0")
                        .arg(verify);
    return warnings;
}

bool StoreVerifyAfterWrite(bool on, SettingsStore& store) {
    return store.WriteRegistryText(VerifyKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace kestrel
