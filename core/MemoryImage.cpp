#include "core/MemoryImage.h"

#include "core/Log.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>


namespace kestrel {

namespace {
// Files above this size are not data files and are refused before reading them.
constexpr qint64 MaxReadableFile = 32767;
} // namespace

MemoryImage::MemoryImage() : m_bytes(ImageSize, '\0'), m_snapshot(ImageSize, '\0') {}

quint8 MemoryImage::byte(Address address) const {
    if (!valid(address)) {
        qCWarning(logCore, "read outside the image at 0x%X", unsigned(address));
        return 0xFF;
    }
    return quint8(m_bytes[address]);
}

void MemoryImage::setByte(Address address, quint8 value) {
    if (!valid(address)) {
        qCWarning(logCore, "write outside the image at 0x%X ignored", unsigned(address));
        return;
    }
    if (quint8(m_bytes[address]) != value) {
        m_bytes[address] = char(value);
        ++m_revision;
    }
}

QByteArray MemoryImage::line(int n) const {
    if (n < 0 || n >= LineCount)
        return QByteArray(LineSize, char(0xFF));
    return m_bytes.mid(LineAddress(n), LineSize);
}

void MemoryImage::setLine(int n, const QByteArray& data) {
    if (n < 0 || n >= LineCount)
        return;
    for (int i = 0; i < LineSize && i < data.size(); ++i)
        setByte(LineAddress(n) + i, quint8(data[i]));
}

void MemoryImage::TakeLineSnapshot(int n) {
    if (n >= 0 && n < LineCount)
        m_snapshot.replace(LineAddress(n), LineSize, m_bytes.mid(LineAddress(n), LineSize));
}

bool MemoryImage::setBytes(const QByteArray& data) {
    if (data.size() != ImageSize)
        return false;
    if (data != m_bytes) {
        m_bytes = data;
        ++m_revision;
    }
    return true;
}

bool MemoryImage::LoadImageFile(const QString& fileName, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QFile file(fileName);
    const QFileInfo info(fileName);
    if (!info.exists())
        return fail(QStringLiteral("File not found: %1").arg(fileName));
    if (info.isDir())
        return fail(QStringLiteral("%1 is a folder, not a data file.").arg(fileName));
    // A FIFO would keep the open waiting for a writer, a device would never end.
    QString special;
    if (!CheckNotSpecial(fileName, &special))
        return fail(special);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open %1: %2").arg(fileName, file.errorString()));
    if (file.size() > MaxReadableFile)
        return fail(QStringLiteral("%1 is too large for a data file (%2 bytes; a data file has %3 bytes).")
                        .arg(fileName)
                        .arg(file.size())
                        .arg(ImageSize));
    const QByteArray content = file.read(MaxReadableFile + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString()));
    return LoadImageData(content, fileName, error);
}

bool MemoryImage::LoadImageData(const QByteArray& content, const QString& shownName, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (content.isEmpty())
        return fail(QStringLiteral("%1 is empty.").arg(shownName));
    if (content.size() != ImageSize)
        return fail(QStringLiteral("%1 is not a data file: it has %2 bytes, a data file has exactly %3 bytes.")
                        .arg(shownName)
                        .arg(content.size())
                        .arg(ImageSize));
    setBytes(content);
    TakeImageSnapshot();
    return true;
}

bool MemoryImage::SaveImageFile(const QString& fileName, QString* error) const {
    QString why;
    if (WriteFileAtomically(fileName, m_bytes, &why))
        return true;
    if (error)
        *error = IsSpecialFile(fileName) ? why : QStringLiteral("Cannot write %1: %2").arg(fileName, why);
    return false;
}

bool MemoryImage::CanSaveImageFile(const QString& fileName, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(fileName, why);
        return false;
    };
    const QFileInfo info(fileName);
    if (IsSpecialFile(fileName)) {
        if (error)
            *error = NotRegularFileText(fileName);
        return false;
    }
    if (info.isDir())
        return fail(QStringLiteral("it is a folder"));
    if (!info.absoluteDir().exists())
        return fail(QStringLiteral("the folder %1 does not exist").arg(info.absolutePath()));
    if (info.exists() && !info.isWritable())
        return fail(QStringLiteral("the file may not be written"));
    // The save writes a new file beside the old one and renames it: try exactly that.
    QTemporaryFile probe(info.absoluteDir().filePath(QStringLiteral(".kestrel-probe-XXXXXX")));
    if (!probe.open())
        return fail(QStringLiteral("no new file can be made in %1 (%2)").arg(info.absolutePath(), probe.errorString()));
    return true;
}

} // namespace kestrel
