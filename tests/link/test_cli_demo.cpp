// kestrel-cli --demo: the virtual radios answer on virtual:1 to virtual:4 for the
// life of one command, without a pseudo-terminal or a cable.
#include "tests/link/LinkTestData.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

class CliDemo : public ::testing::Test {
protected:
    void SetUp() override {
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("KESTREL_DEMO_BAUD"), QStringLiteral("0")); // no cable's pace to wait for
    }
    CliOutput cli(const QStringList& args) { return RunKestrelCli(args, env); }
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("x.dat"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

} // namespace

TEST_F(CliDemo, ReadGivesTheDefaultImageAndLeavesNoBackup) {
    const CliOutput r = cli({"--demo", "read", "--port", "virtual:1", "-o", file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(ReadFile(file), DefaultImageBytes(0));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("data"))).exists()) << "no backup, no log";
}

TEST_F(CliDemo, FleetWriteToTheFourRadiosShowsRadioFoursBandMismatch) {
    ASSERT_TRUE(WriteFile(file, DefaultImageBytes(0)));
    const CliOutput r = cli({"--demo", "write", "--verify", "-p", "virtual:1", "-p", "virtual:2", "-p",
                             "virtual:3", "-p", "virtual:4", file});
    EXPECT_EQ(r.status, 4) << r.err.toStdString();
    EXPECT_EQ(TextLines(r.out),
              (QStringList{"virtual:1\tok\t136-174\t1.0\t1.0", "virtual:2\tok\t136-174\t1.0\t1.0",
                           "virtual:3\tok\t136-174\t1.0\t1.0", "virtual:4\tband-mismatch\t400-470\t\t"}));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("data"))).exists()) << "the log goes to a temporary folder";
}

TEST_F(CliDemo, VirtualPortsAreKnownOnlyInDemoModeAndOnlyOneToFour) {
    struct Case {
        QStringList args;
        int status;
        const char* says;
    };
    const QString y = dir.filePath(QStringLiteral("y.dat"));
    const Case cases[] = {
        {{"--demo", "info", "--port", "virtual:4"}, 0, ""},
        {{"read", "--port", "virtual:1", "-o", y}, 3, "only in demo mode"},
        {{"--demo", "read", "--port", "virtual:5", "-o", y}, 3, "There is no virtual:5"},
        {{"--demo", "detect"}, 0, "asking virtual:1, virtual:2, virtual:3, virtual:4"},
    };
    for (const Case& c : cases) {
        const CliOutput r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
    }
    EXPECT_EQ(TextLines(cli({"--demo", "info", "--port", "virtual:4"}).out).value(1),
              QStringLiteral("Firmware: 1.0"));
    EXPECT_TRUE(
        cli({"--demo", "doctor", "--port", "virtual:2"}).out.startsWith("virtual:2 is a virtual radio"));
}
