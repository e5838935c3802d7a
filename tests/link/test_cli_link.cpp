// kestrel-cli read and write against the virtual radio: files, exit statuses,
// messages on stderr.
#include "core/Band.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

QByteArray RadioMemory(int band) {
    return BandedPattern(40, band);
}

class CliLinkTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
};

// A read keeps lines 0-253 of the radio and the rest of its band's default image; a
// failed read leaves no file, or the file that was there before.
TEST_F(CliLinkTest, ReadsAndWhatTheyLeaveInTheFile) {
    struct {
        QStringList simOptions;
        int band;
        QStringList more; // after the output file
        int status;
        const char* err;
        QByteArray before;   // the file before the read; empty: none
        bool viaCom = false; // the port named by a Com number, through the port map
    } cases[] = {
        {{"--band-code", "2", "--version", "1.5", "12.30"}, 1, {}, 0, "1.5", {}},
        // A stray 0x57 before every reply on a 9600-baud wire shifts no line by a byte.
        {{"--pace", "--stray-before", "57"}, 0, {}, 0, "", {}},
        {{"--wrong-address-at-line", "30", "--fault-times", "0"}, 0, {}, 3, "", {}},
        {{"--silent-at-line", "20", "--fault-times", "0"}, 0, {"--retries", "1"}, 3, "Connection Fail!", {}},
        {{"--cut-reply-at-line", "100"}, 0, {}, 3, "", "keep me"},
        {{}, 0, {}, 0, "", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.simOptions.join(' ').toStdString());
        RadioSim sim(c.simOptions, RadioMemory(c.band));
        QFile::remove(Path("radio.dat"));
        ASSERT_TRUE(c.before.isEmpty() || WriteFile(Path("radio.dat"), c.before));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTREL_COM11"), sim.device());
        const QString port = c.viaCom ? QStringLiteral("Com11") : sim.device();
        const CliOutput r =
            RunKestrelCli(QStringList{"read", "--port", port, "-o", Path("radio.dat")} + c.more, env);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.err))) << r.err.toStdString();
        if (c.status == 0) {
            QByteArray expected = DefaultImageBytes(c.band);
            expected.replace(0, 254 * 16, RadioMemory(c.band).left(254 * 16));
            EXPECT_EQ(ReadFile(Path("radio.dat")), expected);
            EXPECT_TRUE(r.err.contains(QLatin1String("Reading... 100%"))) << r.err.toStdString();
        } else {
            EXPECT_EQ(ReadFile(Path("radio.dat")), c.before);
            EXPECT_EQ(QFile::exists(Path("radio.dat")), !c.before.isEmpty());
        }
        if (c.more.contains(QLatin1String("--retries"))) {
            EXPECT_EQ(r.err.count(QStringLiteral("Connection Fail!")), 2) << r.err.toStdString();
        }
    }
}

TEST_F(CliLinkTest, WriteSendsTheFileAndABandMismatchWritesNothing) {
    ASSERT_TRUE(WriteFile(Path("in.dat"), DefaultImageBytes(0)));
    const QByteArray file = DefaultImageBytes(0);
    RadioSim sim({}, RadioMemory(0));
    CliOutput r = RunKestrelCli({"write", "--port", sim.device(), Path("in.dat")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray radio = sim.stopAndTakeMemory();
    EXPECT_EQ(radio.left(237 * 16), file.left(237 * 16));
    EXPECT_EQ(radio.mid(0x0FC0, 3), file.mid(0x0FC0, 3));
    EXPECT_EQ(radio.mid(253 * 16, 16), file.mid(253 * 16, 16));
    EXPECT_EQ(radio.mid(237 * 16, 16), RadioMemory(0).mid(237 * 16, 16));

    RadioSim other({"--band-code", "3"}, RadioMemory(2));
    r = RunKestrelCli({"write", "--port", other.device(), Path("in.dat")});
    EXPECT_EQ(r.status, 4);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Frequency not match!")));
    EXPECT_EQ(other.stopAndTakeMemory(), RadioMemory(2));
}

// A file that could not be kept stops the read before it starts, and nothing is
// created or truncated.
TEST_F(CliLinkTest, UnwritableOutputFailsBeforeTheTransfer) {
    RadioSim sim({}, RadioMemory(0));
    const QString locked = Path("locked");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QStringList outputs{dir.path(), Path("no-such-folder/radio.dat")};
    if (::geteuid() != 0)
        outputs << locked + QStringLiteral("/radio.dat"); // root writes into read-only folders
    if (QFileInfo(QStringLiteral("/proc/self")).exists())
        outputs << QStringLiteral("/proc/radio.dat"); // no new files there, not even for root
    for (const QString& output : outputs) {
        const CliOutput r = RunKestrelCli({"read", "--port", sim.device(), "-o", output});
        EXPECT_EQ(r.status, 2) << output.toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(output)) << r.err.toStdString();
    }
    EXPECT_TRUE(sim.frames().isEmpty()) << "the radio was not asked";
    EXPECT_EQ(QDir(locked).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    ASSERT_TRUE(WriteFile(Path("old.dat"), "keep me"));
    const QDateTime modified = QFileInfo(Path("old.dat")).lastModified();
    RadioSim silent({"--ignore-handshakes", "1000"});
    const CliOutput r = RunKestrelCli({"read", "--port", silent.device(), "-o", Path("old.dat")});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(ReadFile(Path("old.dat")), QByteArray("keep me"));
    EXPECT_EQ(QFileInfo(Path("old.dat")).lastModified(), modified);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"old.dat"})) << "no probe file left";
}

TEST_F(CliLinkTest, UsageAndFileErrors) {
    ASSERT_TRUE(WriteFile(Path("short.dat"), QByteArray(100, '\0')));
    struct {
        QStringList args;
        int status;
    } cases[] = {
        {{"read", "-o", Path("x.dat")}, 1},
        {{"read", "--port", "/dev/null"}, 1},
        {{"read", "--port", "Com21", "-o", Path("x.dat")}, 1},
        {{"read", "--port", "/dev/null", "-o", Path("x.dat"), "--retries", "-1"}, 1},
        {{"read", "--port", "/dev/null", "-o", Path("x.dat"), "extra"}, 1},
        {{"read", "--port", "/dev/null", "-o", Path("no-such-folder/x.dat")}, 2},
        {{"write", "--port", "/dev/null"}, 1},
        {{"write", Path("short.dat")}, 1},
        {{"write", "--port", "/dev/null", Path("short.dat"), Path("short.dat")}, 1},
        {{"write", "--port", "/dev/null", Path("short.dat")}, 2},
        {{"write", "--port", "/dev/null", Path("missing.dat")}, 2},
        {{"read", "--port", "/dev/kestrel-no-such-port", "-o", Path("x.dat")}, 3},
    };
    for (const auto& c : cases) {
        const CliOutput r = RunKestrelCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(Path("x.dat")));

    const CliOutput missing =
        RunKestrelCli({"read", "--port", "/dev/kestrel-no-such-port", "-o", Path("x.dat")});
    EXPECT_EQ(missing.err.count(QStringLiteral("/dev/kestrel-no-such-port")), 1)
        << "said once: " << missing.err.toStdString();
}

} // namespace
