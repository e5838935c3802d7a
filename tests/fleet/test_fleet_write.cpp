// Fleet write: the audit log's lines, and many engines at once against virtual
// radios on pseudo-terminals, each row failing and retried on its own.
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "fleet/FleetWrite.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

TEST(FleetLog, LinesAreCsvWithAHeaderOnceAndLocalTimeWithItsOffset) {
    FleetLogEntry e;
    e.time = QDateTime(QDate(2026, 3, 1), QTime(14, 5, 9), QTimeZone(3600));
    e.port = QStringLiteral("Com 5");
    e.device = QStringLiteral("/dev/ttyUSB0");
    e.usbSerial = QStringLiteral("A1B2");
    e.band = QStringLiteral("136-174");
    e.version1 = QStringLiteral("1.5");
    e.version2 = QStringLiteral("12.30");
    e.image = QStringLiteral("shop, \"blue\".dat");
    e.sha256 = QStringLiteral("ab");
    e.verify = QStringLiteral("ok");
    e.outcome = QStringLiteral("ok");
    const QString line = FleetLogLine(e);
    const QString time = line.section(QLatin1Char(','), 0, 0);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"))
            .match(time)
            .hasMatch())
        << time.toStdString();
    EXPECT_EQ(QDateTime::fromString(time, Qt::ISODate), e.time);
    EXPECT_EQ(
        line.mid(time.size()),
        QStringLiteral(",Com 5,/dev/ttyUSB0,A1B2,136-174,1.5,12.30,\"shop, \"\"blue\"\".dat\",ab,ok,ok,,"));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("deep/folder/fleet-log.csv"));
    QString error;
    ASSERT_TRUE(PrepareFleetLog(file, &error)) << error.toStdString();
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(AppendFleetLog(file, e, &error)) << error.toStdString();
    EXPECT_EQ(TextLines(ReadFile(file)), (QStringList{FleetLogHeader(), line, line}));
    EXPECT_EQ(
        FleetLogHeader(),
        QStringLiteral(
            "time,port,device,usb_serial,band,version1,version2,image,sha256,verify,outcome,esn,values"));
    // A folder in place of the log file: refused before anything is written.
    EXPECT_FALSE(PrepareFleetLog(dir.filePath(QStringLiteral("deep")), &error));
    EXPECT_TRUE(error.contains(QLatin1String("Cannot write the log"))) << error.toStdString();
}

TEST(FleetWrite, OutcomesHaveTheirNamesAndExitStatuses) {
    const struct {
        FleetOutcome outcome;
        const char* name;
        int status;
    } cases[] = {
        {FleetOutcome::Ok, "ok", 0},
        {FleetOutcome::VerifyFailed, "verify-failed", 5},
        {FleetOutcome::NoAnswer, "no-answer", 3},
        {FleetOutcome::BandMismatch, "band-mismatch", 4},
        {FleetOutcome::PortError, "port-error", 3},
        {FleetOutcome::Stopped, "stopped", 3},
        {FleetOutcome::NoRow, "no-row", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FleetOutcomeName(c.outcome), QLatin1String(c.name));
        EXPECT_EQ(FleetExitStatus(c.outcome), c.status) << c.name;
    }
}

// Three radios with verify on: one good, one that keeps a wrong byte once, one
// unplugged part-way. Each ends on its own; the wrong one is retried alone.
TEST(FleetWrite, EveryRadioEndsOnItsOwnAndAFailedOneIsRetriedAlone) {
    QTemporaryDir dir;
    AppContext app = StartedApp(dir.filePath(QStringLiteral("s.ini")));
    app.recvInterval = 10;
    app.recvCount = 40;
    app.radioVersion[0] = QStringLiteral("program's own");
    app.image.setBytes(ImageWithChannels({4})); // row 5 of group 1
    app.band = DecodeBandLimits(app.image);
    app.image.setByte(CurrentChannelByte, 9);
    const QByteArray open = app.image.bytes();

    const MemoryImage sent = FleetImageOf(app);
    EXPECT_EQ(sent.byte(CurrentChannelByte), 4);
    EXPECT_EQ(app.image.bytes(), open);

    RadioSim good({"--version", "1.5", "12.30"}, PatternImage(1));
    RadioSim wrong({"--keep-wrong-byte-at-line", "36"}, PatternImage(2));
    RadioSim unplugged({"--drop-at-line", "100"}, PatternImage(3));
    ASSERT_TRUE(good.started() && wrong.started() && unplugged.started());
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    FleetWrite fleet(app, sent);
    fleet.setVerify(true);
    fleet.setLog(log, QStringLiteral("Untitled"));
    ASSERT_TRUE(fleet.setTargets(
        {{"A", good.device(), ""}, {"B", wrong.device(), ""}, {"C", unplugged.device(), ""}}));
    RunFleetToEnd(fleet);

    const struct {
        FleetOutcome outcome;
        const char* verify;
        const char* version;
        bool written;
    } expected[] = {{FleetOutcome::Ok, "ok", "1.5", true},
                    {FleetOutcome::VerifyFailed, "failed", "1.0", true},
                    {FleetOutcome::PortError, "failed", "1.0", false}};
    for (int i = 0; i < 3; ++i) {
        const FleetRow& row = fleet.row(i);
        EXPECT_EQ(row.outcome, expected[i].outcome) << i << " " << row.detail.toStdString();
        EXPECT_EQ(row.verify, QLatin1String(expected[i].verify)) << i;
        EXPECT_EQ(row.version[0], QLatin1String(expected[i].version)) << i;
        EXPECT_EQ(row.radioBand, 0) << i;
        EXPECT_EQ(row.written, expected[i].written) << i;
    }
    EXPECT_TRUE(fleet.row(1).detail.contains(QLatin1String("Channel 37")))
        << fleet.row(1).detail.toStdString();
    EXPECT_TRUE(fleet.row(2).detail.contains(QLatin1String("is gone"))) << fleet.row(2).detail.toStdString();
    // The program's own values are not the fleet's business.
    EXPECT_EQ(app.image.bytes(), open);
    EXPECT_EQ(app.radioVersion[0], QStringLiteral("program's own"));

    // The wrong byte was kept once: the retry of that row alone succeeds.
    const int goodFrames = int(good.frames().size());
    bool finished = false;
    QObject::connect(&fleet, &FleetWrite::finished, [&] { finished = true; });
    ASSERT_TRUE(fleet.startRow(1));
    EXPECT_FALSE(fleet.startRow(1)); // it runs already
    ASSERT_TRUE(RunUntil(
        &fleet, &FleetWrite::finished, [&] { return finished; }, 60000));
    EXPECT_EQ(fleet.row(1).outcome, FleetOutcome::Ok);
    EXPECT_EQ(fleet.row(1).runs, 2);
    EXPECT_EQ(fleet.row(0).runs, 1);
    EXPECT_EQ(good.frames().size(), goodFrames);

    const QByteArray radio = good.stopAndTakeMemory();
    for (int a : {0x0040, CurrentChannelByte, 0x0FC0, 0x0FD5})
        EXPECT_EQ(quint8(radio[a]), sent.byte(a)) << a;

    const QStringList lines = TextLines(ReadFile(log));
    ASSERT_EQ(lines.size(), 5) << lines.join('\n').toStdString();
    const QString sha = Sha256Hex(sent.bytes());
    QStringList tails;
    for (const QString& line : lines.mid(1)) {
        const QStringList f = line.split(QLatin1Char(','));
        ASSERT_EQ(f.size(), 13) << line.toStdString();
        EXPECT_EQ(f[7], QStringLiteral("Untitled"));
        EXPECT_EQ(f[8], sha);
        tails << QStringList{f[1], f[4], f[5], f[9], f[10]}.join(QLatin1Char(' '));
    }
    tails.sort();
    EXPECT_EQ(tails, (QStringList{"A 136-174 1.5 ok ok", "B 136-174 1.0 failed verify-failed",
                                  "B 136-174 1.0 ok ok", "C 136-174 1.0 failed port-error"}));
}
