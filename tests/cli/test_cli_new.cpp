// kestrel-cli as a user runs it: help, version and the default images of `new`.
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace kestrel::test;

namespace {
using CliRun = CliTextOutput;
CliRun Cli(const QStringList& args) { return RunKestrelCliText(args); }
} // namespace

TEST(CliNew, WritesTheDefaultImageOfTheBand) {
    QTemporaryDir dir;
    for (int band = 0; band < 3; ++band) {
        const QString out = dir.filePath(QStringLiteral("b%1.dat").arg(band));
        const CliRun r = Cli({QStringLiteral("new"), QStringLiteral("--band"), QString::number(band), QStringLiteral("-o"), out});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(ReadFile(out), DefaultImageBytes(band));
    }
}

TEST(CliNew, UsageErrorsSayWhatIsWrong) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.dat"));
    struct Case {
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {{"new", "--band", "3", "-o", out}, 1, "--band takes"},
        {{"new", "--band", "-o", out}, 1, "--band needs a value"},
        {{"new", "-o", out, "--band"}, 1, "--band needs a value"},
        {{"new", "--band", "x", "-o", out}, 1, "--band takes"},
        {{"new", "--band", "1"}, 1, "-o FILE"},
        {{"new", "-o", out, "extra"}, 1, "unexpected argument"},
        {{"frobnicate"}, 1, "unknown command"},
        {{"new", "-o", dir.filePath(QStringLiteral("no/such/dir/x.dat"))}, 2, "Cannot write"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliNew, HelpAndVersion) {
    const CliRun help = Cli({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QLatin1String("new [--band 0|1|2] -o FILE.dat")));
    const CliRun version = Cli({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(QLatin1String("kestrel-cli 1."))) << version.out.toStdString();
    EXPECT_EQ(Cli({}).status, 1);
    const CliRun sub = Cli({QStringLiteral("new"), QStringLiteral("--help")});
    EXPECT_EQ(sub.status, 0);
    EXPECT_TRUE(sub.out.contains(QLatin1String("default image")));
}

// A save that meets the file-size limit: with the signal at its default disposition
// the system would end the program; it reports the failure and keeps the old file.
TEST(CliNew, FileSizeLimitIsReportedAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("old.dat"));
    ASSERT_TRUE(WriteFile(out, "keep me"));
    QProcess p;
    p.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit small{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &small);
    });
    p.start(QDir(BinDir()).filePath(QStringLiteral("kestrel-cli")), {QStringLiteral("new"), QStringLiteral("-o"), out});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "ended by a signal";
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("File too large"))) << err.toStdString();
    EXPECT_EQ(ReadFile(out), QByteArray("keep me"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.dat")});
}
