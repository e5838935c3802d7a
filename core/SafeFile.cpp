#include "core/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <QSaveFile>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrel {

namespace {
constexpr qint64 StaleSeconds = 60 * 60;
const QString TemporaryMark = QStringLiteral(".kestrel-");

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }
} // namespace

QString NotRegularFileText(const QString& fileName, Language language) {
    return Pick(language, "%1 is not a regular file.", "%1 不是普通文件。").arg(QDir::toNativeSeparators(fileName));
}

bool IsSpecialFile(const QString& fileName) {
#ifdef Q_OS_WIN
    Q_UNUSED(fileName);
    return false;
#else
    struct stat st {};
    if (fileName.isEmpty() || ::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return false;
    return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
#endif
}

bool CheckNotSpecial(const QString& fileName, QString* error) {
    if (!IsSpecialFile(fileName))
        return true;
    if (error)
        *error = NotRegularFileText(fileName);
    return false;
}

QString TemporaryNameFor(const QString& fileName) {
    const QFileInfo info(fileName);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + TemporaryMark + QStringLiteral("XXXXXX"));
}

int RemoveStaleTemporaries(const QString& folder, const QDateTime& now) {
    // Exactly the names TemporaryNameFor makes: a dot, a name, ".kestrel-" and six characters.
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.kestrel-[A-Za-z0-9]{6}$"));
    int removed = 0;
    const QFileInfoList entries =
        QDir(folder).entryInfoList({QStringLiteral(".*.kestrel-*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& f : entries) {
        if (f.isSymLink() || !f.isFile() || !pattern.match(f.fileName()).hasMatch())
            continue;
        if (f.lastModified().secsTo(now) > StaleSeconds && QFile::remove(f.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

bool WriteFileAtomically(const QString& fileName, const QByteArray& data, QString* reason) {
    auto fail = [&](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (IsSpecialFile(fileName))
        return fail(NotRegularFileText(fileName));
    // A link is followed: its target is replaced and the link stays.
    QString target = fileName;
    const QFileInfo named(fileName);
    if (named.isSymLink() && named.exists())
        target = named.canonicalFilePath();
#ifdef Q_OS_WIN
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return fail(file.errorString());
    return true;
#else
    const QFileInfo info(target);
    if (info.isDir())
        return fail(QStringLiteral("it is a folder"));
    const QString folder = info.absolutePath();
    RemoveStaleTemporaries(folder);

    QByteArray temporary = QFile::encodeName(TemporaryNameFor(info.absoluteFilePath()));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return fail(SystemReason(errno));
    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return fail(SystemReason(error));
    };
    // The permissions of the file replaced, or those a new file gets.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(QFile::encodeName(target).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0)
        return abandon(errno);
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return abandon(n < 0 ? errno : ENOSPC);
        done += n;
    }
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return fail(SystemReason(error));
    }
    if (::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return fail(SystemReason(error));
    }
    // The new name itself must reach the disk.
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
#endif
}

} // namespace kestrel
