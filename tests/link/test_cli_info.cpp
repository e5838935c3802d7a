// kestrel-cli info as a user runs it against the virtual radio.
#include "link/EmbMsgText.h"
#include "tests/link/RadioSim.h"
#include "tests/support/TestFiles.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

QByteArray Memory(const QByteArray& esn, const QByteArray& hardware) {
    QByteArray memory = PatternImage(5);
    QByteArray esnLine(16, char(0xFF)), hwLine(16, char(0xFF));
    esnLine.replace(0, esn.size(), esn);
    hwLine.replace(0, hardware.size(), hardware);
    memory.replace(LineAddress(embmsg::EsnLine), 16, esnLine);
    memory.replace(LineAddress(embmsg::HardwareLine), 16, hwLine);
    return memory;
}

// Control bytes are shown escaped; a Com number goes through the port map.
TEST(CliInfo, PrintsTheRadiosIdentificationAndReadsNothingElse) {
    const struct {
        QStringList simOptions;
        QByteArray esn, hardware;
        bool viaCom;
        const char* out;
    } cases[] = {
        {{"--version", "12.30", "1.5"},
         "ESN-0042",
         "HW V2.3",
         false,
         "ESN: ESN-0042\nFirmware: 12.30\nHardware: HW V2.3\n"},
        {{}, "A", "", true, "ESN: A\nFirmware: 1.0\nHardware: \n"},
        {{},
         QByteArray("A\x1B[2JB\x00", 7),
         QByteArray("\xE9t\xE9", 3),
         false,
         "ESN: A\\x1B[2JB\\x00\nFirmware: 1.0\nHardware: \u00E9t\u00E9\n"},
    };
    for (const auto& c : cases) {
        RadioSim sim(c.simOptions, Memory(c.esn, c.hardware));
        ASSERT_TRUE(sim.started());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTREL_COM7"), sim.device());
        const CliOutput r =
            RunKestrelCli({"info", "--port", c.viaCom ? QStringLiteral("Com7") : sim.device()}, env);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(QString::fromUtf8(r.out), QString::fromUtf8(c.out));
        EXPECT_EQ(sim.frames(), (QList<QByteArray>{HandshakeFrame(), IdentifyFrame(), Hex("52 0F E0 10"),
                                                   Hex("52 14 F0 10"), EndFrame()}));
    }
}

TEST(CliInfo, FailuresAndUsageErrorsHaveTheirStatus) {
    QTemporaryDir dir;
    RadioSim silent({"--ignore-handshakes", "1000"});
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
        const CliOutput r = RunKestrelCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
}

} // namespace
