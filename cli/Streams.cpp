// Standard input and output as files of the command line ("-"), and checked writes
// to standard output.
#include "cli/Command.h"

#include "core/SafeFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kestrel::cli {

namespace {
int g_stdoutErrno = 0; // the first failure writing standard output

bool IsStdio(const QString& name) { return name == QLatin1String("-"); }
} // namespace

QString StdinName() { return QStringLiteral("standard input"); }

bool ReadInputBytes(const QString& name, qint64 limit, QByteArray* data, QString* error) {
    QFile file;
    if (IsStdio(name)) {
        if (!file.open(stdin, QIODevice::ReadOnly)) {
            *error = QStringLiteral("Cannot read %1: %2").arg(StdinName(), file.errorString());
            return false;
        }
    } else {
        if (!CheckNotSpecial(name, error))
            return false;
        file.setFileName(name);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("Cannot open %1: %2").arg(name, file.errorString());
            return false;
        }
    }
    // Standard input is read to its end: a pipe has no size to ask for.
    QByteArray bytes;
    for (;;) {
        const QByteArray part = file.read(64 * 1024);
        if (part.isEmpty())
            break;
        bytes += part;
        if (bytes.size() > limit) {
            *error = QStringLiteral("%1 is too large (more than %2 bytes).")
                         .arg(IsStdio(name) ? StdinName() : name)
                         .arg(limit);
            return false;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Cannot read %1: %2").arg(IsStdio(name) ? StdinName() : name, file.errorString());
        return false;
    }
    *data = bytes;
    return true;
}

bool LoadImageArg(MemoryImage& image, const QString& name, QString* error) {
    if (!IsStdio(name))
        return image.LoadImageFile(name, error);
    QByteArray bytes;
    // A little more than an image, so a longer input is named as such.
    return ReadInputBytes(name, ImageSize * 4, &bytes, error) && image.LoadImageData(bytes, StdinName(), error);
}

bool CheckOutputArg(const QString& name, QString* error) { return IsStdio(name) || CheckNotSpecial(name, error); }

bool SaveImageArg(const MemoryImage& image, const QString& name, QString* error) {
    if (!IsStdio(name))
        return image.SaveImageFile(name, error);
    WriteStdout(image.bytes());
    return true;
}

bool TakeJson(QStringList& args) { return TakeFlag(args, {QStringLiteral("--json")}); }

void OutJson(const QJsonValue& value) {
    const QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    WriteStdout(doc.toJson(QJsonDocument::Indented));
}

void WriteStdout(const QByteArray& data) {
    if (data.isEmpty())
        return;
    errno = 0;
    if (std::fwrite(data.constData(), 1, size_t(data.size()), stdout) != size_t(data.size()) && g_stdoutErrno == 0)
        g_stdoutErrno = errno != 0 ? errno : EIO;
}

int FinishStdout(int status) {
    errno = 0;
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && g_stdoutErrno == 0)
        g_stdoutErrno = errno != 0 ? errno : EIO;
    if (g_stdoutErrno == 0)
        return status;
    Err(QStringLiteral("Cannot write to standard output: %1.").arg(QString::fromLocal8Bit(std::strerror(g_stdoutErrno))));
    return FileError;
}

} // namespace kestrel::cli
