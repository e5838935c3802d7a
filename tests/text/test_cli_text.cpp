// kestrel-cli export, apply, get, set, fields and diff with radio texts, as a user runs them.
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel::test;

namespace {

using CliRun = CliTextOutput;
CliRun Cli(const QStringList& args) { return RunKestrelCliText(args); }

class CliText : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(WriteFile(path("a.dat"), DefaultImageBytes(0)));
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(CliText, SetGetExportApplyGoRoundTheSameBytes) {
    CliRun r = Cli({"set", path("a.dat"), "Channel 37 / RX Freq=146.52", "optional features/squelch level=5",
                 "DTMF / ANI Code=123", "Channel 37 / W/N=narrow", "-o", path("b.dat")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = Cli({"get", path("b.dat"), "OPTIONAL FEATURES / SQUELCH LEVEL"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("5\n"));
    r = Cli({"get", path("b.dat"), "Channel 37 / RX Freq", "channel 37/w/n", "DTMF / ANI Code"});
    EXPECT_EQ(r.out, QStringLiteral("Channel 37 / RX Freq: 146.52000\nChannel 37 / W/N: Narrow\nDTMF / ANI Code: 123\n"));

    // Standard output and -o give the same text; applied to any base it gives b.dat again.
    const CliRun exported = Cli({"export", path("b.dat")});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    ASSERT_EQ(Cli({"export", path("b.dat"), "-o", path("b.yaml")}).status, 0);
    EXPECT_EQ(QString::fromUtf8(ReadFile(path("b.yaml"))), exported.out);
    ASSERT_TRUE(WriteFile(path("zero.dat"), QByteArray(8192, '\0')));
    r = Cli({"apply", path("zero.dat"), path("b.yaml"), "-o", path("c.dat")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(ReadFile(path("c.dat")), ReadFile(path("b.dat")));

    // diff takes a text on either side; a partial text stands on its band's default image.
    ASSERT_TRUE(WriteFile(path("p.yml"), "Optional Features:\n  Squelch Level: 5\n"));
    r = Cli({"diff", path("a.dat"), path("p.yml")});
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Optional Features / Squelch Level: "))) << r.out.toStdString();
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 1) << r.out.toStdString();
    EXPECT_EQ(Cli({"diff", path("b.yaml"), path("b.dat")}).status, 0);
}

TEST_F(CliText, RefusalsWriteNothingAndSayWhy) {
    ASSERT_TRUE(WriteFile(path("bad.yaml"), "Optional Features:\n  Squelch Level: 12\n  Beep: On\n"));
    struct Case {
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {{"set", path("a.dat"), "Optional Features / Squelch Level=12", "-o", path("out.dat")}, 1,
         "Optional Features / Squelch Level: \"12\" is not one of the values it takes; allowed: 0, 1, 2"},
        {{"set", path("a.dat"), "Optional Features / Squelch=1", "-o", path("out.dat")}, 1,
         "did you mean \"Optional Features / Squelch Level\"?"},
        {{"set", path("a.dat"), "DTMF / Call List 9=1", "-o", path("out.dat")}, 1, "shares its bytes"},
        {{"set", path("a.dat"), "Channel 1 / RX Freq=146.521", "-o", path("out.dat")}, 1, "raster"},
        {{"set", path("a.dat"), "Squelch Level", "-o", path("out.dat")}, 1, "is not PATH=VALUE"},
        {{"set", path("a.dat"), "Optional Features / Squelch Level=1"}, 1, "-o OUT.dat"},
        {{"apply", path("a.dat"), path("bad.yaml"), "-o", path("out.dat")}, 1, "bad.yaml:2:18: Optional Features"},
        {{"apply", path("a.dat"), path("missing.yaml"), "-o", path("out.dat")}, 2, "Cannot read"},
        {{"get", path("a.dat"), "Channel 3 / RX Frq"}, 1, "did you mean \"Channel 3 / RX Freq\"?"},
        {{"diff", path("a.dat"), path("bad.yaml")}, 2, "bad.yaml:2:18:"},
        {{"export", path("missing.dat")}, 2, "missing.dat"},
        {{"fields", "x"}, 1, "takes no arguments"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("out.dat")));
}

TEST_F(CliText, FieldsListsEveryPathWithItsValues) {
    const CliRun r = Cli({"fields"});
    ASSERT_EQ(r.status, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 128 * 16 + 4 + 11 + 6 + 6 + 21 + 1 + 2);
    for (const char* line : {"Channel 128 / TX inhibit\tOff, On", "Optional Features / Squelch Level\t0, 1, 2",
                             "DTMF / Call List 16\tread only: its bytes belong to Channel Information",
                             "Embedded Message / ESN\tup to 16"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(line))) << line;
}
