// The backup folder: names, a second backup in the same second, pruning, failures,
// the file a read makes and the two settings.
#include "core/Backup.h"
#include "core/Band.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {
const QDateTime When(QDate(2025, 1, 31), QTime(23, 59, 58));

QStringList Names(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
} // namespace

TEST(Backup, NamesCarryTheLocalTimeTheBandAndASequence) {
    struct Case {
        int band;
        int sequence;
        const char* name;
    } cases[] = {{0, 1, "20250131-235958_136-174.dat"},
                 {1, 2, "20250131-235958_400-470-2.dat"},
                 {2, 13, "20250131-235958_340-400-13.dat"}};
    for (const Case& c : cases) {
        EXPECT_EQ(BackupFileName(When, c.band, c.sequence), QString::fromLatin1(c.name));
        EXPECT_EQ(BackupNameTime(QString::fromLatin1(c.name)), When) << c.name;
    }
    for (const char* other : {"20250131-235958_136-174.txt", "notes.dat", "20250131-235958_100-200.dat",
                              "20251331-000000_136-174.dat", "x20250131-235958_136-174.dat"})
        EXPECT_FALSE(BackupNameTime(QString::fromLatin1(other)).isValid()) << other;
}

TEST(Backup, ASecondBackupInTheSameSecondGetsTheNextNumber) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("made/backups"));
    MemoryImage image;
    image.setBytes(DefaultImageBytes(1));
    for (int i = 0; i < 3; ++i) {
        const BackupResult r = WriteBackup(image, 1, folder, 365, When);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(ReadFile(r.path), image.bytes());
    }
    EXPECT_EQ(Names(folder), (QStringList{"20250131-235958_400-470-2.dat", "20250131-235958_400-470-3.dat",
                                          "20250131-235958_400-470.dat"}));
}

TEST(Backup, WritingDeletesBackupsOlderThanTheDaysKept) {
    QTemporaryDir dir;
    const QStringList old{BackupFileName(When.addDays(-400), 0),
                          BackupFileName(When.addDays(-365).addSecs(-1), 2)};
    const QStringList young{BackupFileName(When.addDays(-365).addSecs(1), 0),
                            BackupFileName(When.addDays(-3), 1)};
    const QStringList others{"keep.dat", "20000101-000000_136-174.txt"};
    for (const QString& name : old + young + others)
        ASSERT_TRUE(WriteFile(dir.filePath(name), "x"));
    MemoryImage image;
    EXPECT_TRUE(WriteBackup(image, 0, dir.path(), 0, When).pruned.isEmpty()) << "0 keeps all";
    const BackupResult r = WriteBackup(image, 0, dir.path(), 365, When);
    ASSERT_TRUE(r.ok);
    QStringList pruned = r.pruned;
    pruned.sort();
    QStringList expected = old;
    expected.sort();
    EXPECT_EQ(pruned, expected);
    for (const QString& name : young + others)
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(name))) << name.toStdString();
}

TEST(Backup, AFolderThatCannotBeMadeIsReportedAndNothingIsWritten) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath(QStringLiteral("file")), "x"));
    const BackupResult r =
        WriteBackup(MemoryImage(), 0, dir.filePath(QStringLiteral("file/backups")), 365, When);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.path.isEmpty());
    EXPECT_TRUE(BackupReport(r, English)
                    .startsWith(QLatin1String("No backup was saved: cannot make the backup folder")))
        << BackupReport(r, English).toStdString();
    EXPECT_TRUE(BackupReport(r, Chinese).startsWith(QString::fromUtf8("未能备份：")));
    EXPECT_EQ(Names(dir.path()), QStringList{"file"});
}

TEST(Backup, AReadKeepsTheRadiosLinesAndTakesTheRestFromTheDefaultImageOfItsBand) {
    MemoryImage read;
    read.setBytes(QByteArray(ImageSize, char(0x5A)));
    MemoryImage file;
    QString error;
    ASSERT_TRUE(ReadResultImage(read, 2, BinDir(), &file, &error)) << error.toStdString();
    EXPECT_EQ(file.bytes().left(0x0FE0), read.bytes().left(0x0FE0));
    EXPECT_EQ(file.bytes().mid(0x0FE0), DefaultImageBytes(2).mid(0x0FE0));
    QTemporaryDir empty;
    EXPECT_FALSE(ReadResultImage(read, 0, empty.path(), &file, &error));
    EXPECT_TRUE(error.contains(QLatin1String("Default_136174.dat"))) << error.toStdString();
}

TEST(Backup, SettingsForDaysKeptAndVerifyAfterWrite) {
    struct Case {
        const char* ini;
        int days;
        bool verify;
        int warnings;
    } cases[] = {
        {"", 365, false, 0},
        {"[Backup]\nDays=30\n[Transfer]\nVerifyAfterWrite=1\n", 30, true, 0},
        {"[Backup]\nDays=0\n[Transfer]\nVerifyAfterWrite=0\n", 0, false, 0},
        {"[Backup]\nDays=-4\n[Transfer]\nVerifyAfterWrite=yes\n", 365, false, 2},
        {"[Backup]\nDays=a week\n", 365, false, 1},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("s.ini"));
        ASSERT_TRUE(WriteFile(file, c.ini));
        SettingsStore store(QStringLiteral("SoftWare\\Varnel\\Kestrel"), file);
        AppContext app;
        EXPECT_EQ(ReadTransferSettings(app, store).size(), c.warnings) << c.ini;
        EXPECT_EQ(app.backupDays, c.days) << c.ini;
        EXPECT_EQ(app.verifyAfterWrite, c.verify) << c.ini;
        ASSERT_TRUE(StoreVerifyAfterWrite(!c.verify, store));
        ReadTransferSettings(app, store);
        EXPECT_EQ(app.verifyAfterWrite, !c.verify) << c.ini;
    }
}

TEST(Backup, TheFolderLiesUnderTheApplicationDataLocation) {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    const AppContext app = StartedApp(dir.filePath(QStringLiteral("s.ini")));
    qputenv("XDG_DATA_HOME", saved);
    EXPECT_EQ(app.backupFolder, dir.path() + QStringLiteral("/Varnel/Kestrel/backups"));
    EXPECT_EQ(app.backupDays, DefaultBackupDays);
}
