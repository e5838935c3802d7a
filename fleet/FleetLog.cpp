#include "fleet/FleetLog.h"

#include "core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <cstdlib>

namespace kestrel {

namespace {

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CannotWrite(const QFile& f, Language language) {
    return Pick(language, "Cannot write the log %1: %2", "无法写入日志 %1：%2")
        .arg(QDir::toNativeSeparators(f.fileName()), f.errorString());
}

// A log that starts with another header is kept beside under a new name: FILE.old, or
// FILE.old.1, FILE.old.2... when that is taken.
bool SetAsideOtherHeader(const QString& file, QString* error, Language language) {
    QFile f(file);
    if (f.size() == 0 || !f.open(QIODevice::ReadOnly))
        return true; // a new or empty log, or one that the append will explain
    const QByteArray first = f.readLine(4096).trimmed();
    f.close();
    if (first == FleetLogHeader().toUtf8())
        return true;
    QString aside = file + QStringLiteral(".old");
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = file + QStringLiteral(".old.%1").arg(n);
    if (!QFile::rename(file, aside)) {
        *error = Pick(language, "The log %1 has other columns and cannot be renamed to %2.",
                      "日志 %1 的列不同，且无法重命名为 %2。")
                     .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(aside));
        return false;
    }
    return true;
}

bool OpenForAppend(QFile& f, QString* error, Language language) {
    // Appending never replaces the file, but a FIFO would hold the run and a device is no log.
    if (IsSpecialFile(f.fileName())) {
        *error = NotRegularFileText(f.fileName(), language);
        return false;
    }
    if (QFileInfo(f.fileName()).isFile() && !SetAsideOtherHeader(f.fileName(), error, language))
        return false;
    const QString folder = QFileInfo(f.fileName()).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = Pick(language, "Cannot make the folder %1 for the log.", "无法为日志创建文件夹 %1。")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = CannotWrite(f, language);
        return false;
    }
    return true;
}

} // namespace

QString FleetLogHeader() {
    return QStringLiteral(
        "time,port,device,usb_serial,band,version1,version2,image,sha256,verify,outcome,esn,values");
}

QString FleetLogTime(const QDateTime& time) {
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString FleetLogLine(const FleetLogEntry& e) {
    const QStringList fields{FleetLogTime(e.time), e.port,  e.device, e.usbSerial, e.band,   e.version1,
                             e.version2,           e.image, e.sha256, e.verify,    e.outcome, e.esn,
                             e.values};
    QStringList out;
    for (const QString& f : fields)
        out << CsvField(f);
    return out.join(QLatin1Char(','));
}

QString DefaultFleetLogFile() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/fleet-log.csv");
}

bool PrepareFleetLog(const QString& file, QString* error, Language language) {
    QFile f(file);
    return OpenForAppend(f, error, language);
}

bool AppendFleetLog(const QString& file, const FleetLogEntry& entry, QString* error, Language language) {
    QFile f(file);
    if (!OpenForAppend(f, error, language))
        return false;
    QByteArray text;
    if (f.size() == 0)
        text += FleetLogHeader().toUtf8() + '\n';
    text += FleetLogLine(entry).toUtf8() + '\n';
    if (f.write(text) != text.size() || !f.flush()) {
        *error = CannotWrite(f, language);
        return false;
    }
    return true;
}

} // namespace kestrel
