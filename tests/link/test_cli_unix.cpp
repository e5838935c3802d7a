// kestrel-cli against the virtual radio as Unix users expect it. Ctrl+C and SIGTERM: the
// transfer ends with the end frame, the port is free at once, no file is written,
// the message says what the radio holds, exit status 130.
#include "tests/link/LinkTestData.h"
#include "tests/link/RadioSim.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

using namespace kestrel;
using namespace kestrel::test;

namespace {

struct Stopped {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs kestrel-cli until its stderr shows `cue`, then sends the signals `toSend`, one after the other.
Stopped RunAndSignal(const QStringList& args, const QString& cue, const QList<int>& toSend,
                     const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QDir(BinDir()).filePath(QStringLiteral("kestrel-cli")), args);
    Stopped r;
    if (!p.waitForStarted())
        return r;
    QElapsedTimer clock;
    clock.start();
    QByteArray err;
    while (!QString::fromLocal8Bit(err).contains(cue) && clock.elapsed() < 60000 && p.state() == QProcess::Running) {
        p.waitForReadyRead(200);
        err += p.readAllStandardError();
    }
    for (int s : toSend) {
        ::kill(pid_t(p.processId()), s);
        QThread::msleep(100); // signals of one kind sent at once would merge into one
    }
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromLocal8Bit(err + p.readAllStandardError());
    return r;
}

class CliSignalTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(CliSignalTest, ReadAndWriteStopAfterTheFrameWithTheEndFrame) {
    ASSERT_TRUE(WriteFile(Path("in.dat"), DefaultImageBytes(0)));
    struct Case {
        QStringList args; // the port follows
        const char* cue;
        int signal;
        const char* says;
    } cases[] = {
        {{"read", "-o", Path("out.dat"), "--no-backup"}, "Reading... 30%", SIGINT,
         "The read was stopped after "},
        {{"write", Path("in.dat")}, "30%", SIGTERM, "of 239 frames: the radio holds part of the new "
                                                                "image. Write it again before use."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.first().toStdString());
        RadioSim sim({"--pace"}, PatternImage(3));
        const Stopped r = RunAndSignal(c.args + QStringList{"--port", sim.device()}, QString::fromLatin1(c.cue),
                                       {c.signal});
        EXPECT_EQ(r.status, 130) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(Path("out.dat")));
        ASSERT_FALSE(sim.frames().isEmpty());
        EXPECT_EQ(sim.frames().last(), EndFrame());
        // The port and its lock are free at once.
        const CliOutput again = RunKestrelCli({"info", "--port", sim.device()});
        EXPECT_EQ(again.status, 0) << again.err.toStdString();
    }
}

TEST_F(CliSignalTest, ASecondCtrlCEndsAtOnce) {
    // A radio slow to answer: the first Ctrl+C waits for the reply, the second does not.
    RadioSim sim({"--turnaround", "400"}, PatternImage(3));
    const Stopped r = RunAndSignal({"read", "--port", sim.device(), "-o", Path("out.dat"), "--no-backup"},
                                   QStringLiteral("Reading... 10%"), {SIGINT, SIGINT});
    EXPECT_EQ(r.status, 130) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QLatin1String("was stopped"))) << "the first stop had no time to finish";
    EXPECT_FALSE(QFile::exists(Path("out.dat")));
}

TEST_F(CliSignalTest, AFleetWriteLogsEveryRadioAsStopped) {
    ASSERT_TRUE(WriteFile(Path("in.dat"), DefaultImageBytes(0)));
    RadioSim a({"--pace"}, PatternImage(1)), b({"--pace"}, PatternImage(2)), c({"--pace"}, PatternImage(3));
    const QString log = Path("fleet.csv");
    const Stopped r = RunAndSignal({"write", "-p", a.device(), "-p", b.device(), "-p", c.device(), Path("in.dat"),
                                    "--log", log},
                                   QStringLiteral("30%"), {SIGINT});
    EXPECT_EQ(r.status, 130) << r.err.toStdString();
    const QStringList rows = TextLines(r.out);
    ASSERT_EQ(rows.size(), 3) << r.out.toStdString();
    for (const QString& row : rows)
        EXPECT_EQ(row.section(QLatin1Char('\t'), 1, 1), QStringLiteral("stopped")) << row.toStdString();
    const QStringList logged = TextLines(ReadFile(log));
    ASSERT_EQ(logged.size(), 4) << logged.join('\n').toStdString();
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(logged[i].endsWith(QLatin1String(",stopped,,"))) << logged[i].toStdString();
    for (RadioSim* sim : {&a, &b, &c}) {
        ASSERT_FALSE(sim->frames().isEmpty());
        EXPECT_EQ(sim->frames().last(), EndFrame());
        EXPECT_EQ(RunKestrelCli({"info", "--port", sim->device()}).status, 0);
    }
}

// --json: one document on standard output that a JSON reader takes.
TEST_F(CliSignalTest, JsonOfInfoAndAFleetWrite) {
    RadioSim a({"--version", "1.5", "12.30"}, PatternImage(1)), b({}, PatternImage(2));
    CliOutput r = RunKestrelCli({"info", "--port", a.device(), "--json"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonObject info = QJsonDocument::fromJson(r.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_EQ(info.keys(), (QStringList{"esn", "firmware", "hardware"}));
    EXPECT_EQ(info.value("firmware").toString(), QStringLiteral("1.5"));

    ASSERT_TRUE(WriteFile(Path("in.dat"), DefaultImageBytes(0)));
    r = RunKestrelCli({"write", "-p", a.device(), "-p", b.device(), Path("in.dat"), "--log", Path("log.csv"), "--json"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(r.out, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].toObject().value("port").toString(), a.device());
    EXPECT_EQ(rows[0].toObject().value("outcome").toString(), QStringLiteral("ok"));
    EXPECT_EQ(rows[1].toObject().value("band").toString(), QStringLiteral("136-174"));
}

// Failures name the stage, the frame and the command to run next.
TEST_F(CliSignalTest, MessagesSayWhatToDoNext) {
    RadioSim silent({"--silent-at-line", "96", "--fault-times", "0"}, PatternImage(1));
    ASSERT_TRUE(WriteFile(Path("file.dat"), "not a port"));
    struct Case {
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {{"read", "--port", silent.device(), "-o", Path("x.dat"), "--no-backup"}, 3,
         "Connection Fail! The radio stopped answering after 96 of 254 frames (reading)."},
        {{"read", "--port", silent.device(), "-o", Path("x.dat"), "--no-backup"}, 3,
         "kestrel-cli doctor --port "},
        {{"info", "--port", "/dev/ttyKestrelNoSuchPort"}, 3, "kestrel-cli ports lists"},
        {{"info", "--port", Path("file.dat")}, 1, "is a regular file, not a serial port."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliOutput r = RunKestrelCli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
    }
}
