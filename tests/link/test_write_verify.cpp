// Verify after write and the backups of a read, against the virtual radio on a
// pseudo-terminal: the engine's read-back, kestrel-cli write --verify and
// kestrel-cli read.
#include "core/Backup.h"
#include "core/Band.h"
#include "link/CloneRun.h"
#include "link/WriteVerify.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// A 136-174 MHz image with channels 1, 37 and 128 programmed (146.52000 MHz).
QByteArray WrittenImage() {
    return ImageWithChannels({0, 36, 127});
}

QList<int> WrittenLines() {
    QList<int> lines;
    for (int n = 0; n <= 236; ++n)
        lines << n;
    return lines << 252 << 253;
}

} // namespace

TEST(WriteVerify, OnlyTheBytesAWriteSendsAreTakenFromTheRadio) {
    struct Case {
        Address address;
        bool sent;
    } cases[] = {{0x0000, true}, {0x0ECF, true},  {0x0ED0, false}, {0x0FBF, false}, {0x0FC0, true},
                 {0x0FC2, true}, {0x0FC3, false}, {0x0FD0, true},  {0x0FDF, true},  {0x0FE0, false}};
    for (const Case& c : cases)
        EXPECT_EQ(FullWriteSends(c.address), c.sent) << c.address;

    MemoryImage sent;
    sent.setBytes(PatternImage(1));
    const QByteArray radio = PatternImage(2);
    QMap<int, QByteArray> readBack;
    for (int line : WrittenLines())
        readBack.insert(line, radio.mid(line * 16, 16));
    const std::optional<MemoryImage> merged = RadioImageOf(sent, readBack);
    ASSERT_TRUE(merged.has_value());
    for (Address a = 0; a < ImageSize; ++a)
        ASSERT_EQ(merged->byte(a), quint8(FullWriteSends(a) ? radio[a] : sent.bytes()[a])) << a;
    readBack.remove(252);
    EXPECT_FALSE(RadioImageOf(sent, readBack).has_value());

    // An error box lists a limited number of differences and counts the rest.
    ImageDifference d;
    d.kind = ImageDifference::Kind::Bytes;
    d.address = 0x1234;
    d.oldText = QStringLiteral("00");
    d.newText = QStringLiteral("FF");
    EXPECT_EQ(VerifyFailedText({d, d, d}, English, 2),
              QStringLiteral(
                  "The radio holds different data:\n0x1234: 00 -> FF\n0x1234: 00 -> FF\n... and 1 more"));
    EXPECT_EQ(VerifyFailedText({d}, Chinese), QString::fromUtf8("电台中的数据不一致：\n0x1234: 00 -> FF"));
}

TEST(WriteVerify, TheReadBackReadsTheWrittenLinesAndLeavesTheImageAlone) {
    const QByteArray radio = PatternImage(7);
    RadioSim sim({}, radio);
    ASSERT_TRUE(sim.started());
    AppContext app = StartedApp(QString());
    app.image.setBytes(WrittenImage());
    app.image.TakeImageSnapshot();
    app.image.setByte(0x0FD3, 9);
    const QByteArray image = app.image.bytes(), snapshot = app.image.snapshot();
    ScriptedPrompter prompter;
    CloneEngine engine(app, prompter);
    engine.setDevicePath(sim.device());
    SetUpReadBack(engine, 50);
    int exits = 0, direction = -1;
    QObject::connect(&engine, &CloneEngine::CloneExit, [&](int d) { ++exits, direction = d; });
    ASSERT_EQ(RunCloneToEnd(engine), CloneEngine::Outcome::Completed);
    EXPECT_EQ(engine.caption(), QStringLiteral("Verifying..."));
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(direction, clone::Verify);
    EXPECT_EQ(app.image.bytes(), image);
    EXPECT_EQ(app.image.snapshot(), snapshot);

    QList<QByteArray> expected{HandshakeFrame(), IdentifyFrame()};
    for (int line : WrittenLines())
        expected << ReadFrameOf(line);
    expected << EndFrame();
    EXPECT_EQ(sim.frames(), expected);
    ASSERT_EQ(engine.readBack().keys(), WrittenLines());
    for (int line : WrittenLines())
        EXPECT_EQ(engine.readBack().value(line), radio.mid(line * 16, 16)) << line;
    // Against what was "written" the pattern radio differs.
    EXPECT_EQ(CheckReadBack(engine, app.image, English).status, VerifyResult::Status::Differs);
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST(CliWriteVerify, NamesWhatTheRadioKeptWrongAndExitsWithItsOwnStatus) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("in.dat"));
    ASSERT_TRUE(WriteFile(file, WrittenImage()));
    struct Case {
        QStringList simOptions;
        int status;
        const char* err;
    } cases[] = {
        {{}, 0, "read it back: the radio holds every byte that was written"},
        {{"--keep-wrong-byte-at-line", "0"},
         5,
         "The radio holds different data:\nChannel 1 / RX Freq: 146.52000 -> 146.52001"},
        {{"--keep-wrong-byte-at-line", "127"}, 5, "Channel 128 / RX Freq: 146.52000 -> 146.52001"},
        {{"--silent-at-line", "10", "--fault-skip", "1"}, 3, "stopped answering while it was read back"},
        {{"--band-code", "2"}, 4, "nothing was written, so there is nothing to verify"},
    };
    for (const Case& c : cases) {
        RadioSim sim(c.simOptions, DefaultImageBytes(0));
        ASSERT_TRUE(sim.started());
        const CliOutput r = RunKestrelCli({"write", "--port", sim.device(), file, "--verify"});
        EXPECT_EQ(r.status, c.status) << c.simOptions.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
        if (c.status == 5) {
            EXPECT_TRUE(r.err.contains(QLatin1String("Verifying... 100%")));
        }
    }
}

TEST(CliReadBackup, LeavesTheFileReadWroteInTheBackupFolderAndPrunesOldOnes) {
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString folder = data + QStringLiteral("/Varnel/Kestrel/backups");
    const QString oldBackup = BackupFileName(QDateTime::currentDateTime().addDays(-40), 0);
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(WriteFile(QDir(folder).filePath(oldBackup), "old"));
    const QString settings = dir.filePath(QStringLiteral("s.ini"));
    ASSERT_TRUE(WriteFile(settings, "[Backup]\nDays=30\n"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data);
    env.insert(QStringLiteral("KESTREL_SETTINGS"), settings);

    RadioSim sim({"--band-code", "2"}, PatternImage(3));
    ASSERT_TRUE(sim.started());
    const QString out = dir.filePath(QStringLiteral("out.dat"));
    CliOutput r = RunKestrelCli({"read", "--port", sim.device(), "-o", out}, env);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList backups = QDir(folder).entryList(QDir::Files);
    ASSERT_EQ(backups.size(), 1) << backups.join(' ').toStdString();
    EXPECT_TRUE(backups.first().endsWith(QLatin1String("_400-470.dat"))) << backups.first().toStdString();
    EXPECT_EQ(ReadFile(QDir(folder).filePath(backups.first())), ReadFile(out));
    EXPECT_TRUE(r.err.contains(QStringLiteral("Backup saved: ") + QDir(folder).filePath(backups.first())))
        << r.err.toStdString();

    r = RunKestrelCli({"read", "--port", sim.device(), "-o", out, "--no-backup"}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), backups);
    EXPECT_FALSE(r.err.contains(QLatin1String("ackup")));

    // A backup folder that cannot be made is reported; the read itself succeeds.
    env.insert(QStringLiteral("XDG_DATA_HOME"), settings);
    QFile::remove(out);
    r = RunKestrelCli({"read", "--port", sim.device(), "-o", out}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("No backup was saved: cannot make the backup folder")))
        << r.err.toStdString();
    EXPECT_EQ(ReadFile(out).size(), ImageSize);
}
