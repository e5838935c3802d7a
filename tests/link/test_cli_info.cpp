// kestrel-cli info as a user runs it against the virtual radio.
#include "link/EmbMsgText.h"
#include "tests/link/RadioSim.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

struct CliRun {
    int status;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    const CliOutput r = RunKestrelCli(args, env);
    return {r.status, QString::fromUtf8(r.out), r.err};
}

QByteArray Memory(const QByteArray& esn, const QByteArray& hardware) {
    QByteArray memory = PatternImage(5);
    QByteArray esnLine(16, char(0xFF)), hwLine(16, char(0xFF));
    esnLine.replace(0, esn.size(), esn);
    hwLine.replace(0, hardware.size(), hardware);
    memory.replace(LineAddress(embmsg::EsnLine), 16, esnLine);
    memory.replace(LineAddress(embmsg::HardwareLine), 16, hwLine);
    return memory;
}

TEST(CliInfo, PrintsTheRadiosIdentificationAndReadsNothingElse) {
    RadioSim sim({QStringLiteral("--version"), QStringLiteral("12.30"), QStringLiteral("1.5")},
                 Memory("ESN-0042", "HW V2.3"));
    ASSERT_TRUE(sim.started());
    const CliRun r = Cli({QStringLiteral("info"), QStringLiteral("--port"), sim.device()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ESN: ESN-0042\nFirmware: 12.30\nHardware: HW V2.3\n"));
    const QList<QByteArray> expected{HandshakeFrame(), IdentifyFrame(), Hex("52 0F E0 10"), Hex("52 14 F0 10"),
                                     EndFrame()};
    EXPECT_EQ(sim.frames(), expected);
}

TEST(CliInfo, ComNumberGoesThroughThePortMap) {
    RadioSim sim({}, Memory("A", ""));
    ASSERT_TRUE(sim.started());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTREL_COM7"), sim.device());
    const CliRun r = Cli({QStringLiteral("info"), QStringLiteral("--port"), QStringLiteral("Com7")}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ESN: A\nFirmware: 1.0\nHardware: \n"));
}

TEST(CliInfo, ControlBytesAreShownEscaped) {
    RadioSim sim({}, Memory(QByteArray("A\x1B[2JB\x00", 7), QByteArray("\xE9t\xE9", 3)));
    ASSERT_TRUE(sim.started());
    const CliRun r = Cli({QStringLiteral("info"), QStringLiteral("--port"), sim.device()});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ESN: A\\x1B[2JB\\x00\nFirmware: 1.0\nHardware: \u00E9t\u00E9\n"));
}

TEST(CliInfo, FailuresAndUsageErrorsHaveTheirStatus) {
    QTemporaryDir dir;
    RadioSim silent({QStringLiteral("--ignore-handshakes"), QStringLiteral("1000")});
    ASSERT_TRUE(silent.started());
    struct Case {
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {{"info"}, 1, "--port"},
        {{"info", "--port", "Com 25"}, 1, "not a port"},
        {{"info", "--port", silent.device(), "extra"}, 1, "unexpected argument"},
        {{"info", "--port", silent.device(), "--retries", "-1"}, 1, "--retries"},
        {{"info", "--port", dir.filePath(QStringLiteral("no-such-device"))}, 3, "Cannot open"},
        {{"info", "--port", silent.device()}, 3, "Connection Fail!"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
}

} // namespace
