#pragma once
// The radio's configuration memory: 8192 bytes seen as 512 lines of 16, and the
// saved-state copy that tells whether there are unsaved changes.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kestrel {

using Address = int;
constexpr int ImageSize = 8192;
constexpr int LineSize = 16;
constexpr int LineCount = ImageSize / LineSize;

constexpr Address LineAddress(int line) { return line * LineSize; }

class MemoryImage {
public:
    MemoryImage();

    quint8 byte(Address address) const;
    void setByte(Address address, quint8 value);
    quint8 byte(int line, int position) const { return byte(LineAddress(line) + position); }
    void setByte(int line, int position, quint8 value) { setByte(LineAddress(line) + position, value); }

    QByteArray line(int n) const;
    // Stores up to 16 bytes into line n (shorter data leaves the rest of the line as it is).
    void setLine(int n, const QByteArray& data);

    const QByteArray& bytes() const { return m_bytes; }
    // Replaces the whole image; data of any other length than 8192 is refused.
    bool setBytes(const QByteArray& data);

    void TakeImageSnapshot() { m_snapshot = m_bytes; }
    // Copies line n alone into the saved-state copy: bytes taken from the radio that
    // are no edit of the user's.
    void TakeLineSnapshot(int n);
    bool IsImageModified() const { return m_bytes != m_snapshot; }
    const QByteArray& snapshot() const { return m_snapshot; }

    // Reads the whole file first; only an 8192-byte file replaces the image (and
    // the snapshot). On failure the image is untouched and `error` says why.
    // A FIFO, device or socket is refused before it is opened.
    bool LoadImageFile(const QString& fileName, QString* error);
    // The same for bytes already read (standard input, for example); `shownName`
    // names them in the message.
    bool LoadImageData(const QByteArray& content, const QString& shownName, QString* error);

    // Writes the 8192 bytes through a temporary file renamed over the old one, so a
    // failed write leaves the previous file intact (WriteFileAtomically). A name that
    // exists and is not a regular file is refused: "FILE is not a regular file."
    bool SaveImageFile(const QString& fileName, QString* error) const;

    // Whether SaveImageFile could create or replace `fileName`, found out without
    // creating or truncating it: the folder exists and takes new files, and the name
    // is not a folder or a file that may not be written. False with `error` otherwise.
    static bool CanSaveImageFile(const QString& fileName, QString* error);

    // Counts every change; views use it to tell whether they must re-read.
    quint64 revision() const { return m_revision; }

private:
    static bool valid(Address a) { return a >= 0 && a < ImageSize; }
    QByteArray m_bytes;
    QByteArray m_snapshot;
    quint64 m_revision = 0;
};

} // namespace kestrel
