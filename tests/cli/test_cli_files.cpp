// kestrel-cli and the files that are not files: FIFOs and devices are refused as
// inputs and outputs, "-" is standard input or output, and a standard output that
// cannot be written fails the command.
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace kestrel::test;

namespace {

using CliRun = CliOutput;

// kestrel-cli with `input` on its standard input and its standard output in `outFile`
// (captured when empty). A run that waits on a FIFO fails the ten-second limit.
CliRun Cli(const QStringList& args, const QByteArray& input = {}, const QString& outFile = {},
           const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    ProgramRun run;
    run.args = args;
    run.input = input;
    run.outFile = outFile;
    run.env = env;
    run.timeoutMs = 10000;
    return RunProgram(run);
}

class CliFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFile(Path("a.dat"), DefaultImageBytes(0)));
        ASSERT_TRUE(WriteFile(Path("b.dat"), DefaultImageBytes(1)));
        list = Cli({"channels", Path("a.dat")}).out;
        ASSERT_FALSE(list.isEmpty());
        ASSERT_TRUE(WriteFile(Path("list.csv"), list));
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    // Every command that reads or writes a file, with `special` in each place in turn.
    void ExpectRefusedEverywhere(const QString& special) {
        const QString a = Path("a.dat");
        const QString out = Path("out.dat");
        const QList<QStringList> runs = {
            // outputs
            {"new", "-o", special},
            {"import", a, Path("list.csv"), "-o", special},
            {"rows", a, "--delete", "1", "-o", special},
            {"write", "--port", "/dev/ttyKestrelNone1", "--port", "/dev/ttyKestrelNone2", a, "--log", special},
            // inputs
            {"channels", special},
            {"diff", special, a},
            {"diff", a, special},
            {"rows", special, "--delete", "1", "-o", out},
            {"import", special, Path("list.csv"), "-o", out},
            {"import", a, special, "-o", out},
            {"write", "--port", "/dev/ttyKestrelNone1", special},
        };
        for (const QStringList& args : runs) {
            SCOPED_TRACE(args.join(' ').toStdString());
            const CliRun r = Cli(args);
            EXPECT_EQ(r.status, 2) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(special + QStringLiteral(" is not a regular file."))) << r.err.toStdString();
            EXPECT_FALSE(QFileInfo(special).isFile()) << "replaced by a regular file";
        }
        EXPECT_FALSE(QFile::exists(out));
    }

    QTemporaryDir dir;
    QByteArray list;
};

TEST_F(CliFiles, AFifoIsNeitherReadNorReplaced) {
    const QString fifo = Path("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ExpectRefusedEverywhere(fifo);
}

TEST_F(CliFiles, ADeviceNodeIsNeitherReadNorReplaced) {
    const QString node = Path("null");
    // The null device's numbers: harmless if the refusal ever failed.
    if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "making a device node needs root (or the right to make nodes here); not tested";
    ExpectRefusedEverywhere(node);
}

TEST_F(CliFiles, DashIsStandardInputAndOutput) {
    const QByteArray a = DefaultImageBytes(0);
    const QByteArray b = DefaultImageBytes(1);
    // -o - writes the bytes, and no file named "-".
    QDir::setCurrent(dir.path());
    CliRun r = Cli({"new", "--band", "1", "-o", "-"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, b);
    r = Cli({"channels", "-"}, a);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, list);
    r = Cli({"diff", "-", Path("a.dat")}, a);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    r = Cli({"diff", Path("a.dat"), "-"}, b);
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    // A list on standard input, an image on standard output, and that image through rows.
    r = Cli({"import", Path("a.dat"), "-", "-o", "-"}, "Group,CH,RX Freq\n1,1,146.52000\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("rows applied: 1"))) << r.err.toStdString();
    const QByteArray one = r.out;
    EXPECT_EQ(one.size(), a.size());
    EXPECT_NE(one, a);
    r = Cli({"rows", "-", "--delete", "1", "-o", "-"}, one);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(Cli({"channels", "-"}, r.out).out, list);
    r = Cli({"import", "-", Path("list.csv"), "-o", Path("out.dat")}, one);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(Cli({"channels", Path("out.dat")}).out, list);
    QFile::remove(Path("out.dat"));
    // A short standard input is no image; two sides of one pipe are refused.
    r = Cli({"channels", "-"}, "short");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QLatin1String("standard input is not a data file"))) << r.err.toStdString();
    EXPECT_EQ(Cli({"diff", "-", "-"}, a).status, 2);
    EXPECT_FALSE(QFile::exists(Path("-")));
}

TEST_F(CliFiles, StandardOutputThatFailsIsAnError) {
    if (!QFileInfo(QStringLiteral("/dev/full")).exists())
        GTEST_SKIP() << "no /dev/full on this system";
    const QList<QStringList> runs = {
        {"channels", Path("a.dat")},
        {"diff", Path("a.dat"), Path("b.dat")},
        {"new", "-o", "-"},
        {"--help"},
    };
    for (const QStringList& args : runs) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun r = Cli(args, {}, QStringLiteral("/dev/full"));
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String("Cannot write to standard output: No space left on device.")))
            << r.err.toStdString();
    }
}

// Settings values the command line uses and cannot: one line each, naming the file
// and the key, and the run goes on with the default.
TEST_F(CliFiles, UnusableSettingsValuesAreReportedOnce) {
    const QString settings = Path("settings.ini");
    ASSERT_TRUE(WriteFile(settings, "Port=abc\n[Backup]\nDays=abc\n[Transfer]\nVerifyAfterWrite=-3\n"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTREL_SETTINGS"), settings);
    const CliRun r = Cli({"channels", Path("a.dat")}, {}, {}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err.count(settings + QStringLiteral(": settings value [Backup] Days=\"abc\"")), 1)
        << r.err.toStdString();
    EXPECT_EQ(r.err.count(QStringLiteral("[Transfer] VerifyAfterWrite=\"-3\"")), 1) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QLatin1String("Port="))) << "the port is named on the command line";
}

} // namespace
