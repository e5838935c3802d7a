// kestrel-cli read and write against the virtual radio: files, exit statuses,
// messages on stderr.
#include "core/Band.h"
#include "tests/link/RadioSim.h"
#include "tests/support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

struct CliResult {
    int status = -1;
    QString err;
};

class CliLinkTest : public ::testing::Test {
protected:
    CliResult Cli(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QDir(BinDir()).filePath(QStringLiteral("kestrel-cli")), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError())};
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    static QByteArray RadioMemory(int band) {
        MemoryImage image;
        image.setBytes(PatternImage(40));
        EncodeBandLimits(image, BandOfIndex(band));
        return image.bytes();
    }

    QTemporaryDir dir;
};

TEST_F(CliLinkTest, ReadTakesLines0To253AndTheRestFromTheBandsDefaultImage) {
    RadioSim sim({"--band-code", "2", "--version", "1.5", "12.30"}, RadioMemory(1));
    const CliResult r = Cli({"read", "--port", sim.device(), "-o", Path("radio.dat")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    QByteArray expected = DefaultImageBytes(1);
    expected.replace(0, 254 * 16, RadioMemory(1).left(254 * 16));
    EXPECT_EQ(ReadFile(Path("radio.dat")), expected);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Reading... 100%")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("1.5"))) << r.err.toStdString();
}

// A stray 0x57 before every reply on a 9600-baud wire: the read still ends with
// the radio's own lines, none of them shifted by a byte.
TEST_F(CliLinkTest, StrayBytesBeforeRepliesStillGiveTheRadiosLines) {
    RadioSim sim({"--pace", "--stray-before", "57"}, RadioMemory(0));
    const CliResult r = Cli({"read", "--port", sim.device(), "-o", Path("radio.dat")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(ReadFile(Path("radio.dat")).left(254 * 16), RadioMemory(0).left(254 * 16));
}

TEST_F(CliLinkTest, ReplyForAnotherLineFailsTheRead) {
    RadioSim sim({"--wrong-address-at-line", "30", "--fault-times", "0"}, RadioMemory(0));
    const CliResult r = Cli({"read", "--port", sim.device(), "-o", Path("radio.dat")});
    EXPECT_EQ(r.status, 3) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("radio.dat")));
}

TEST_F(CliLinkTest, WriteSendsTheFileIntoTheRadio) {
    RadioSim sim({}, RadioMemory(0));
    QByteArray file = DefaultImageBytes(0);
    ASSERT_TRUE(WriteFile(Path("in.dat"), file));
    const CliResult r = Cli({"write", "--port", sim.device(), Path("in.dat")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray radio = sim.stopAndTakeMemory();
    EXPECT_EQ(radio.left(237 * 16), file.left(237 * 16));
    EXPECT_EQ(radio.mid(0x0FC0, 3), file.mid(0x0FC0, 3));
    EXPECT_EQ(radio.mid(253 * 16, 16), file.mid(253 * 16, 16));
    EXPECT_EQ(radio.mid(237 * 16, 16), RadioMemory(0).mid(237 * 16, 16));
}

TEST_F(CliLinkTest, BandMismatchWritesNothingAndExits4) {
    RadioSim sim({"--band-code", "3"}, RadioMemory(2));
    ASSERT_TRUE(WriteFile(Path("in.dat"), DefaultImageBytes(0)));
    const CliResult r = Cli({"write", "--port", sim.device(), Path("in.dat")});
    EXPECT_EQ(r.status, 4);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Frequency not match!")));
    EXPECT_EQ(sim.stopAndTakeMemory(), RadioMemory(2));
}

TEST_F(CliLinkTest, SilentRadioExits3AndWritesNoFile) {
    RadioSim sim({"--silent-at-line", "20", "--fault-times", "0"}, RadioMemory(0));
    const CliResult r = Cli({"read", "--port", sim.device(), "-o", Path("radio.dat"), "--retries", "1"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.count(QStringLiteral("Connection Fail!")), 2) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("radio.dat")));
}

TEST_F(CliLinkTest, ExistingFileSurvivesAFailedRead) {
    RadioSim sim({"--cut-reply-at-line", "100"}, RadioMemory(0));
    ASSERT_TRUE(WriteFile(Path("radio.dat"), "keep me"));
    const CliResult r = Cli({"read", "--port", sim.device(), "-o", Path("radio.dat")});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(ReadFile(Path("radio.dat")), QByteArray("keep me"));
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
        const CliResult r = Cli({"read", "--port", sim.device(), "-o", output});
        EXPECT_EQ(r.status, 2) << output.toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(output)) << r.err.toStdString();
    }
    EXPECT_TRUE(sim.frames().isEmpty()) << "the radio was not asked";
    EXPECT_EQ(QDir(locked).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    ASSERT_TRUE(WriteFile(Path("old.dat"), "keep me"));
    const QDateTime modified = QFileInfo(Path("old.dat")).lastModified();
    RadioSim silent({"--ignore-handshakes", "1000"});
    const CliResult r = Cli({"read", "--port", silent.device(), "-o", Path("old.dat")});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(ReadFile(Path("old.dat")), QByteArray("keep me"));
    EXPECT_EQ(QFileInfo(Path("old.dat")).lastModified(), modified);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"old.dat"})) << "no probe file left";
}

TEST_F(CliLinkTest, ComNumberGoesThroughThePortMap) {
    RadioSim sim({}, RadioMemory(0));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTREL_COM11"), sim.device());
    const CliResult r = Cli({"read", "--port", "Com11", "-o", Path("radio.dat")}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(ReadFile(Path("radio.dat")).left(254 * 16), RadioMemory(0).left(254 * 16));
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
        const CliResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(Path("x.dat")));

    const CliResult missing = Cli({"read", "--port", "/dev/kestrel-no-such-port", "-o", Path("x.dat")});
    EXPECT_EQ(missing.err.count(QStringLiteral("/dev/kestrel-no-such-port")), 1) << "said once: "
                                                                                 << missing.err.toStdString();
}

} // namespace
