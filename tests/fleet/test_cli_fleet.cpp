// kestrel-cli write with several ports: four radios at once through real
// pseudo-terminals, their result lines, the audit log and the exit status.
#include "link/WriteVerify.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/SilentPty.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

QByteArray FileImage() {
    return ImageWithChannels({5}, Hex("00 50 46 14 00 50 46 14 FF FF FF FF F8 08 70 FF"));
}

class CliFleetTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        ASSERT_TRUE(WriteFile(file, FileImage()));
    }
    static QStringList Log(const QString& path) { return TextLines(ReadFile(path)); }
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("shop.dat"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

} // namespace

TEST_F(CliFleetTest, FourRadiosAtOnceEachWithItsOwnOutcome) {
    const QByteArray before = PatternImage(9);
    RadioSim good1({"--version", "1.5", "12.30"}, before), good2({}, before);
    RadioSim otherBand({"--band-code", "2"}, before);
    SilentPty silent;
    ASSERT_TRUE(good1.started() && good2.started() && otherBand.started() && !silent.device().isEmpty());
    const CliOutput r = RunKestrelCli({"write", "--port", good1.device(), "--port", silent.device(), "-p",
                                       otherBand.device(), "--port", good2.device(), file},
                                      env);
    EXPECT_EQ(r.status, 4) << r.err.toStdString();

    const QString tab = QStringLiteral("\t");
    EXPECT_EQ(TextLines(r.out), (QStringList{good1.device() + "\tok\t136-174\t1.5\t12.30",
                                             silent.device() + "\tno-answer\t\t\t",
                                             otherBand.device() + "\tband-mismatch\t400-470\t\t",
                                             good2.device() + "\tok\t136-174\t1.0\t1.0"}));
    // The silent radio holds nobody up: the others are done before it gives up.
    const int silentEnd = int(r.err.indexOf(silent.device() + QStringLiteral(": Connection Fail!")));
    ASSERT_GE(silentEnd, 0) << r.err.toStdString();
    for (const RadioSim* sim : {&good1, &good2})
        EXPECT_LT(r.err.indexOf(sim->device() + QStringLiteral(": wrote ")), silentEnd)
            << r.err.toStdString();

    const QByteArray image = FileImage();
    for (RadioSim* sim : {&good1, &good2}) {
        const QByteArray radio = sim->stopAndTakeMemory();
        ASSERT_EQ(radio.size(), 8192);
        for (int a = 0; a < 8192; ++a)
            ASSERT_EQ(radio[a], FullWriteSends(Address(a)) ? image[a] : before[a]) << a;
    }
    for (const QByteArray& frame : otherBand.frames())
        EXPECT_NE(frame.at(0), 'W');
    EXPECT_EQ(otherBand.stopAndTakeMemory(), before);

    const QStringList log = Log(dir.filePath(QStringLiteral("data/Varnel/Kestrel/fleet-log.csv")));
    ASSERT_EQ(log.size(), 5) << log.join('\n').toStdString();
    EXPECT_EQ(log[0], QStringLiteral(
                          "time,port,device,usb_serial,band,version1,version2,image,sha256,verify,outcome"));
    const QString sha = Sha256Hex(image);
    QStringList rest;
    for (const QString& line : log.mid(1))
        rest << line.section(QLatin1Char(','), 1);
    rest.sort();
    QStringList expected{
        good1.device() + "," + good1.device() + ",,136-174,1.5,12.30,shop.dat," + sha + ",off,ok",
        good2.device() + "," + good2.device() + ",,136-174,1.0,1.0,shop.dat," + sha + ",off,ok",
        otherBand.device() + "," + otherBand.device() + ",,400-470,,,shop.dat," + sha + ",off,band-mismatch",
        silent.device() + "," + silent.device() + ",,,,,shop.dat," + sha + ",off,no-answer"};
    expected.sort();
    EXPECT_EQ(rest, expected);
}

// What kestrel-cli refuses before any radio is written, and a single write that
// keeps today's behaviour and adds a log line only when asked.
TEST_F(CliFleetTest, BadListsAndLogsWriteNothingAndOnePortLogsOnlyWithLog) {
    RadioSim a({}, PatternImage(1)), b({}, PatternImage(2));
    ASSERT_TRUE(a.started() && b.started());
    const QString folderAsLog = dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkpath(folderAsLog));
    const struct {
        QStringList args;
        int status;
        const char* err;
    } cases[] = {
        {{"write", "--port", a.device(), "--port", a.device(), file}, 1, "are the same port"},
        {{"write", "--port", a.device(), "--port", b.device(), file, "--log"}, 1, "--log takes the name"},
        {{"write", "--port", a.device(), "--port", b.device(), file, "--retries", "x"}, 1, "--retries takes"},
        {{"write", "--port", a.device(), "--port", b.device(), file, "--log", folderAsLog},
         2,
         "Cannot write the log"},
        {{"write", "--port", a.device(), file, "--log", folderAsLog}, 2, "Cannot write the log"},
        {{"write", "--port", a.device(), "--port", b.device(), dir.filePath("none.dat")}, 2, "none.dat"},
    };
    for (const auto& c : cases) {
        const CliOutput r = RunKestrelCli(c.args, env);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.err))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(a.frames().isEmpty());
    EXPECT_TRUE(b.frames().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("data/Varnel/Kestrel/fleet-log.csv"))));

    CliOutput r = RunKestrelCli({"write", "--port", a.device(), file}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("data/Varnel/Kestrel/fleet-log.csv"))));
    const QString log = dir.filePath(QStringLiteral("single.csv"));
    r = RunKestrelCli({"write", "--port", a.device(), file, "--verify", "--log", log}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = Log(log);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",136-174,1.0,1.0,shop.dat,") + Sha256Hex(FileImage()) +
                                  QStringLiteral(",ok,ok")))
        << lines[1].toStdString();
}
