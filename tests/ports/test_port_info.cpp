// The ports as a user sees them: which device each Com number reaches, who set it,
// whether it opens now; the devices worth asking for a radio.
#include "ports/PortInfo.h"

#include "ports/PortMap.h"
#include "tests/link/RadioSim.h"

#include <QFile>
#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;

namespace {

class PortInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.started());
        clearEnvironment();
        settings = dir.filePath(QStringLiteral("settings.ini"));
        QSettings s(settings, QSettings::IniFormat);
        s.setValue(QStringLiteral("Ports/Com7"), sim.device());
        qputenv("KESTREL_COM9", "/dev/kestrel-no-such-port");
        qputenv("KESTREL_COM3", link.toLocal8Bit());
    }
    void TearDown() override { clearEnvironment(); }
    static void clearEnvironment() {
        for (int n = FirstComPort; n <= LastComPort; ++n)
            qunsetenv(qPrintable(QStringLiteral("KESTREL_COM%1").arg(n)));
    }
    QTemporaryDir dir;
    QString link = dir.filePath(QStringLiteral("radio-link"));
    test::RadioSim sim{{QStringLiteral("--link"), link}};
    QString settings;
};

TEST_F(PortInfoTest, ComPortsShowDeviceOriginAndState) {
    const QList<PortListing> ports = ListComPorts(settings);
    ASSERT_EQ(ports.size(), 20);
    struct {
        int com;
        QString device;
        QString origin;
        PortState state;
    } cases[] = {{7, sim.device(), "[Ports] Com7", PortState::Ok},
                 {3, link, "KESTREL_COM3", PortState::Ok},
                 {9, "/dev/kestrel-no-such-port", "KESTREL_COM9", PortState::Missing}};
    for (const auto& c : cases) {
        const PortListing& p = ports[c.com - 1];
        EXPECT_EQ(p.com, c.com);
        EXPECT_EQ(p.device, c.device);
        EXPECT_EQ(p.overrideOrigin, c.origin);
        EXPECT_EQ(p.state, c.state) << c.com;
        EXPECT_TRUE(p.adapter.vidPid.isEmpty()) << "a pseudo-terminal has no USB adapter";
    }
    EXPECT_TRUE(ports[4].overrideOrigin.isEmpty());
    EXPECT_EQ(ports[4].device, DefaultDeviceForPort(5));

    QSerialPort holder;
    holder.setPortName(sim.device());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    const PortListing busy = ListComPorts(settings)[6];
    EXPECT_EQ(busy.state, PortState::Busy);
    EXPECT_FALSE(busy.errorText.isEmpty());
}

TEST_F(PortInfoTest, PortsListPresentOrMappedNumbersAndCandidatesEachDeviceOnce) {
    QList<int> listed;
    for (const PortListing& p : ListPorts(settings)) {
        listed << p.com;
        EXPECT_TRUE(p.com == 0 || !p.overrideOrigin.isEmpty() || QFile::exists(p.device))
            << p.device.toStdString();
    }
    EXPECT_TRUE(listed.contains(3) && listed.contains(7) && listed.contains(9));

    // Com 3 (through the link) and Com 7 reach the same radio; the missing Com 9 is left out.
    const QStringList candidates = RadioCandidates(settings);
    EXPECT_EQ(candidates.count(link) + candidates.count(sim.device()), 1);
    EXPECT_FALSE(candidates.contains(QStringLiteral("/dev/kestrel-no-such-port")));
    EXPECT_EQ(ComNumberOf(sim.device(), settings), 3) << "the lowest Com number that reaches it";
    EXPECT_EQ(ComNumberOf(QStringLiteral("/dev/kestrel-none"), settings), 0);
    EXPECT_EQ(ComLabel(3), QStringLiteral("Com3"));
    EXPECT_EQ(ComLabel(0), QStringLiteral("-"));
}

TEST(PortInfo, StateNamesAndTexts) {
    struct {
        PortState state;
        const char* name;
        const char* en;
        const char* zh;
    } cases[] = {{PortState::Ok, "ok", "", ""},
                 {PortState::Busy, "busy", "busy", "占用"},
                 {PortState::NoPermission, "no-permission", "no permission", "无权限"},
                 {PortState::Missing, "missing", "missing", "不存在"}};
    for (const auto& c : cases) {
        EXPECT_EQ(PortStateName(c.state), QString::fromLatin1(c.name));
        EXPECT_EQ(PortStateText(c.state, English), QString::fromLatin1(c.en));
        EXPECT_EQ(PortStateText(c.state, Chinese), QString::fromUtf8(c.zh));
    }
}

} // namespace
