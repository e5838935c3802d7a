// kestrel and kestrel-cli as users of other Unix tools expect them: help and version
// without a display, help on standard output and wrapped, usage errors on standard
// error, --json documents a JSON reader takes.
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel::test;

namespace {

CliOutput Start(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    ProgramRun run;
    run.program = program;
    run.args = args;
    run.env = env;
    run.timeoutMs = 30000;
    return RunProgram(run);
}

} // namespace

TEST(CliConventions, HelpAndVersionOfBothProgramsWithoutADisplay) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const char* program : {"kestrel", "kestrel-cli"}) {
        for (const char* option : {"-v", "-V", "--version"}) {
            SCOPED_TRACE(std::string(program) + " " + option);
            const CliOutput r = Start(QString::fromLatin1(program), {QString::fromLatin1(option)}, env);
            EXPECT_EQ(r.status, 0) << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith(QByteArray(program) + " 1.")) << r.out.toStdString();
        }
        const CliOutput help = Start(QString::fromLatin1(program), {QStringLiteral("--help")}, env);
        EXPECT_EQ(help.status, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith("Usage: ")) << program;
        for (const QByteArray& line : help.out.split('\n'))
            EXPECT_LE(QString::fromUtf8(line).size(), 80) << program << ": " << line.toStdString();
    }
    // help COMMAND on standard output; kestrel-cli alone: a short usage on standard error.
    const CliOutput one = Start(QStringLiteral("kestrel-cli"), {QStringLiteral("help"), QStringLiteral("rows")}, env);
    EXPECT_EQ(one.status, 0);
    EXPECT_TRUE(one.out.startsWith("Usage: kestrel-cli rows FILE.dat")) << one.out.toStdString();
    for (const QByteArray& line : one.out.split('\n'))
        EXPECT_LE(QString::fromUtf8(line).size(), 80) << line.toStdString();
    const CliOutput bare = Start(QStringLiteral("kestrel-cli"), {}, env);
    EXPECT_EQ(bare.status, 1);
    EXPECT_TRUE(bare.out.isEmpty());
    EXPECT_TRUE(bare.err.startsWith(QLatin1String("Usage: kestrel-cli COMMAND"))) << bare.err.toStdString();
}

TEST(CliConventions, JsonOfChannelsDiffAndPorts) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.dat"));
    const QString b = dir.filePath(QStringLiteral("b.dat"));
    QByteArray changed = DefaultImageBytes(0);
    changed[0] = char(0x00); // channel 1's RX frequency
    ASSERT_TRUE(WriteFile(a, DefaultImageBytes(0)) && WriteFile(b, changed));
    QJsonParseError error;

    CliOutput r = RunKestrelCli({"channels", a, "--json", "--lang", "zh"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray channels = QJsonDocument::fromJson(r.out, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    ASSERT_EQ(channels.size(), 128);
    // English field names whatever the language of the values.
    EXPECT_EQ(channels[4].toObject().value("CH").toString(), QStringLiteral("5"));
    EXPECT_TRUE(channels[0].toObject().contains("RX Freq")) << channels[0].toObject().keys().join(',').toStdString();

    r = RunKestrelCli({"diff", a, b, "--json"});
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    const QJsonArray diff = QJsonDocument::fromJson(r.out, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    ASSERT_FALSE(diff.isEmpty());
    const QString plain = QString::fromUtf8(RunKestrelCli({"diff", a, b}).out).split('\n').first();
    const QJsonObject first = diff[0].toObject();
    EXPECT_EQ(plain, first.value("field").toString() + ": " + first.value("a").toString() + " -> " +
                         first.value("b").toString());

    r = RunKestrelCli({"ports", "--json"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QJsonDocument::fromJson(r.out, &error).isArray()) << r.out.toStdString();
}
