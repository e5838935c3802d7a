#include "core/Band.h"
#include "core/Bits.h"
#include "core/MemoryImage.h"
#include "core/SafeFile.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {
QByteArray Pattern(int size) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + 3) & 0xFF);
    return b;
}
} // namespace

TEST(MemoryImage, LinesAndAddressesNameTheSameBytesAndOutsideIsHarmless) {
    MemoryImage m;
    m.setByte(3, 5, 0xAB);
    EXPECT_EQ(m.byte(0x35), 0xAB);
    m.setLine(2, QByteArray(16, char(0x11)));
    EXPECT_EQ(m.byte(0x20), 0x11);
    EXPECT_EQ(m.byte(0x2F), 0x11);
    EXPECT_EQ(m.byte(0x30), 0x00);
    EXPECT_EQ(m.line(3).at(5), char(0xAB));

    // Addresses outside the image are harmless.
    const QByteArray before = m.bytes();
    m.setByte(-1, 1);
    m.setByte(ImageSize, 1);
    m.setLine(LineCount, QByteArray(16, 'x'));
    EXPECT_EQ(m.bytes(), before);
    EXPECT_EQ(m.byte(ImageSize), 0xFF);
}

TEST(MemoryImage, ModifiedFollowsTheBytesNotAFlag) {
    MemoryImage m;
    m.TakeImageSnapshot();
    EXPECT_FALSE(m.IsImageModified());
    m.setByte(0x100, 0x42);
    EXPECT_TRUE(m.IsImageModified());
    m.setByte(0x100, 0x00);
    EXPECT_FALSE(m.IsImageModified());
}

TEST(MemoryImage, OnlyExactly8192BytesReplaceTheImage) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.dat"));
    for (int size : {0, 8191, 8192, 8193, 40000}) {
        ASSERT_TRUE(WriteFile(path, Pattern(size)));
        MemoryImage m;
        m.setByte(0, 0x99); // an unsaved edit that a refused file must not disturb
        const QByteArray before = m.bytes();
        QString error;
        const bool loads = size == ImageSize;
        EXPECT_EQ(m.LoadImageFile(path, &error), loads) << size;
        EXPECT_EQ(m.bytes(), loads ? Pattern(size) : before) << size;
        EXPECT_EQ(m.IsImageModified(), !loads) << size;
        EXPECT_EQ(error.isEmpty(), loads) << size;
    }
}

TEST(MemoryImage, MissingFilesAndFoldersAreRefusedWithAReason) {
    QTemporaryDir dir;
    MemoryImage m;
    QString error;
    EXPECT_FALSE(m.LoadImageFile(dir.filePath(QStringLiteral("none.dat")), &error));
    EXPECT_TRUE(error.contains(QLatin1String("not found"))) << error.toStdString();
    EXPECT_FALSE(m.LoadImageFile(dir.path(), &error));
    EXPECT_TRUE(error.contains(QLatin1String("folder"))) << error.toStdString();
    error.clear();
    EXPECT_FALSE(m.SaveImageFile(dir.filePath(QStringLiteral("no/such/folder/x.dat")), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(MemoryImage, UnreadableFileIsRefused) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.dat"));
    ASSERT_TRUE(WriteFile(path, Pattern(ImageSize)));
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    MemoryImage m;
    QString error;
    EXPECT_FALSE(m.LoadImageFile(path, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(MemoryImage, SavingOverALongerFileLeavesExactly8192Bytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.dat"));
    ASSERT_TRUE(WriteFile(path, QByteArray(20000, 'z')));
    MemoryImage m;
    m.setBytes(Pattern(ImageSize));
    QString error;
    ASSERT_TRUE(m.SaveImageFile(path, &error)) << error.toStdString();
    EXPECT_EQ(ReadFile(path), Pattern(ImageSize));
}

TEST(MemoryImage, AFailedSaveKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.dat"));
    ASSERT_TRUE(WriteFile(path, Pattern(ImageSize)));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    MemoryImage m; // all zero: must not reach the file
    QString error;
    EXPECT_FALSE(m.SaveImageFile(path, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(ReadFile(path), Pattern(ImageSize));
}

TEST(MemoryImage, AWriteThatRunsOutOfSpaceKeepsTheOldFile) {
    // A file size limit stands in for a full disk, and holds for root as well.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.dat"));
    ASSERT_TRUE(WriteFile(path, Pattern(ImageSize)));
    MemoryImage m; // all zero: must not reach the file
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool saved = m.SaveImageFile(path, &error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadFile(path), Pattern(ImageSize));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("full.dat")})
        << "no temporary file left";
}

TEST(DefaultImages, EachHoldsItsOwnBandAndOpensClean) {
    const QByteArray limits[3] = {QByteArray("\x13\x17\x64", 3), QByteArray("\x40\x47\x00", 3),
                                  QByteArray("\x34\x40\x00", 3)};
    for (int band = 0; band < BandCount; ++band) {
        const QByteArray bytes = DefaultImageBytes(band);
        ASSERT_EQ(bytes.size(), ImageSize) << band;
        EXPECT_EQ(bytes.mid(0x0FC0, 3), limits[band]) << band;
        MemoryImage m;
        m.setBytes(bytes);
        EXPECT_EQ(DecodeBandLimits(m).index, band);
        EXPECT_EQ(GetBit(m.byte(0x0C65), 7), 0);
        EXPECT_EQ(m.line(0), QByteArray(16, char(0xFF))) << "channels start empty";
        EXPECT_EQ(m.byte(0x0F97), band == 0 ? 0x56 : 0x55);
    }
}

TEST(DefaultImages, LoadDefaultImageKeepsTheImageWhenTheFileIsMissing) {
    QTemporaryDir dir;
    MemoryImage m;
    m.setByte(5, 5);
    QString error;
    EXPECT_FALSE(LoadDefaultImage(m, 0, dir.path(), &error));
    EXPECT_EQ(m.byte(5), 5);
    EXPECT_FALSE(LoadDefaultImage(m, 3, BinDir(), &error));
    EXPECT_TRUE(LoadDefaultImage(m, 1, BinDir(), &error));
    EXPECT_EQ(DecodeBandLimits(m).index, 1);
    EXPECT_FALSE(m.IsImageModified());
}

TEST(Bits, GetSetAndIndex) {
    for (int v = 0; v < 256; ++v)
        for (int bit = 0; bit < 8; ++bit) {
            EXPECT_EQ(GetBit(quint8(v), bit), (v >> bit) & 1);
            EXPECT_EQ(SetBit(quint8(v), bit, 1), quint8(v | (1 << bit)));
            EXPECT_EQ(SetBit(quint8(v), bit, 0), quint8(v & ~(1 << bit)));
        }
    EXPECT_EQ(SetBit(0xFF, 3, 2), 0) << "any other state gives 0";
    EXPECT_EQ(
        IndexOfValue(QStringLiteral("b"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("b")}),
        1);
    EXPECT_EQ(IndexOfValue(QStringLiteral("z"), {QStringLiteral("a")}), -1);
}

// The save's own temporary name; what a killed save left over an hour ago goes with the
// next save into the folder, nothing else does. A link keeps pointing at the new file,
// which keeps the old one's permissions.
TEST(MemoryImageSave, TemporaryFilesLinksAndPermissions) {
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.dat"));
    const QString link = dir.filePath(QStringLiteral("link.dat"));
    ASSERT_TRUE(QFile(real).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(real, link));
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-2 * 3600);
    struct Leftover {
        const char* name;
        bool old;
        bool removed;
    } leftovers[] = {
        {".real.dat.kestrel-Ab12Cd", true, true},    // a killed save of ours, old
        {".real.dat.kestrel-Xy34Zw", false, false},  // perhaps a save running now
        {".real.dat.Ab12Cd", true, false},           // another program's temporary file
        {"real.dat.kestrel-Ab12Cd", true, false},    // not hidden: the user's
        {".other.kestrel-Ab12Cd.txt", true, false},  // not ours either
    };
    for (const Leftover& l : leftovers) {
        QFile f(dir.filePath(QString::fromLatin1(l.name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        if (l.old) {
            ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
        }
    }
    EXPECT_EQ(TemporaryNameFor(real), dir.filePath(QStringLiteral(".real.dat.kestrel-XXXXXX")));

    MemoryImage image;
    image.setByte(5, 0x55);
    QString error;
    ASSERT_TRUE(image.SaveImageFile(link, &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFile(real).size(), ImageSize);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    for (const Leftover& l : leftovers)
        EXPECT_EQ(QFile::exists(dir.filePath(QString::fromLatin1(l.name))), !l.removed) << l.name;
    // Nothing of this save is left beside the file.
    const QStringList all = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    EXPECT_EQ(all.size(), 2 + 4) << all.join(' ').toStdString();
}
