// kestrel-cli as a user runs it: help, version and the default images of `new`.
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel::test;

namespace {
struct CliRun {
    int status;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& args) {
    const CliOutput r = RunKestrelCli(args);
    return {r.status, QString::fromUtf8(r.out), r.err};
}
} // namespace

TEST(CliNew, WritesTheDefaultImageOfTheBand) {
    QTemporaryDir dir;
    const QByteArray limits[3] = {QByteArray("\x13\x17\x64", 3), QByteArray("\x40\x47\x00", 3),
                                  QByteArray("\x34\x40\x00", 3)};
    for (int band = 0; band < 3; ++band) {
        const QString out = dir.filePath(QStringLiteral("b%1.dat").arg(band));
        const CliRun r = Cli({QStringLiteral("new"), QStringLiteral("--band"), QString::number(band), QStringLiteral("-o"), out});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        const QByteArray bytes = ReadFile(out);
        ASSERT_EQ(bytes.size(), 8192);
        EXPECT_EQ(bytes.mid(0x0FC0, 3), limits[band]);
        EXPECT_EQ(bytes, DefaultImageBytes(band));
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
