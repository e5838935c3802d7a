// Which device Com n stands for, overrides, command-line port names, the probe
// and the port error text.
#include "ports/PortMap.h"

#include "tests/link/RadioSim.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;

namespace {

class PortMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings = dir.filePath(QStringLiteral("settings.ini"));
        for (int n = FirstComPort; n <= LastComPort; ++n)
            qunsetenv(qPrintable(QStringLiteral("KESTREL_COM%1").arg(n)));
    }
    void TearDown() override { SetUp(); }
    void SetPort(const QString& key, const QString& value) {
        QSettings(settings, QSettings::IniFormat).setValue(key, value);
    }
    QTemporaryDir dir;
    QString settings;
};

#ifndef Q_OS_WIN
TEST_F(PortMapTest, DefaultMapCoversSerialUsbAndModemDevices) {
    // clang-format off
    const std::pair<int, const char*> cases[] = {{1, "/dev/ttyS0"},   {4, "/dev/ttyS3"},   {5, "/dev/ttyUSB0"},
                                                 {12, "/dev/ttyUSB7"}, {13, "/dev/ttyACM0"}, {20, "/dev/ttyACM7"},
                                                 {0, ""},              {21, ""},            {-3, ""}};
    // clang-format on
    for (const auto& [n, device] : cases) {
        EXPECT_EQ(DefaultDeviceForPort(n), QString::fromLatin1(device)) << "Com " << n;
        EXPECT_EQ(DeviceForPort(n, settings), QString::fromLatin1(device)) << "Com " << n;
    }
}
#else
TEST_F(PortMapTest, DefaultMapIsComN) {
    EXPECT_EQ(DefaultDeviceForPort(1), QStringLiteral("COM1"));
    EXPECT_EQ(DefaultDeviceForPort(20), QStringLiteral("COM20"));
    EXPECT_TRUE(DefaultDeviceForPort(21).isEmpty());
}
#endif

TEST_F(PortMapTest, SettingsFileAndEnvironmentOverrideTheDefault) {
    EXPECT_EQ(DeviceForPort(5, settings), DefaultDeviceForPort(5));
    EXPECT_FALSE(QFile::exists(settings)) << "a missing settings file is not created";
    SetPort(QStringLiteral("Language"), QStringLiteral("0")); // top-level values live beside the group
    SetPort(QStringLiteral("Ports/Com3"), QStringLiteral("/dev/pts/5"));
    SetPort(QStringLiteral("Ports/COM4"), QStringLiteral(" /dev/serial/by-id/cable "));
    EXPECT_EQ(DeviceForPort(3, settings), QStringLiteral("/dev/pts/5"));
    EXPECT_EQ(DeviceForPort(4, settings), QStringLiteral("/dev/serial/by-id/cable"));
    EXPECT_EQ(DeviceForPort(2, settings), DefaultDeviceForPort(2));

    qputenv("KESTREL_COM3", "/dev/pts/9");
    EXPECT_EQ(DeviceForPort(3, settings), QStringLiteral("/dev/pts/9")) << "the environment wins";
    EXPECT_EQ(PortOverride(3, QString()), QStringLiteral("/dev/pts/9"));
    EXPECT_TRUE(PortOverride(2, settings).isEmpty());
    EXPECT_TRUE(DeviceForPort(21, settings).isEmpty()) << "no override outside Com 1-20";
}

TEST_F(PortMapTest, AppUsesTheSettingsStoreOfTheRun) {
    // The run's store is the file KESTREL_SETTINGS names; never the user's own here.
    const QByteArray before = qgetenv("KESTREL_SETTINGS");
    qputenv("KESTREL_SETTINGS", dir.filePath(QStringLiteral("store.ini")).toLocal8Bit());
    const AppContext app = test::StartedApp(settings);
    const QString store = PortSettingsFile(app);
    ASSERT_FALSE(store.isEmpty());
    QSettings(store, QSettings::IniFormat)
        .setValue(QStringLiteral("Ports/Com6"), QStringLiteral("/dev/pts/42"));
    EXPECT_EQ(store, dir.filePath(QStringLiteral("store.ini")));
    EXPECT_EQ(DeviceForPort(6, app), QStringLiteral("/dev/pts/42"));
    qputenv("KESTREL_SETTINGS", before);
}

TEST_F(PortMapTest, CommandLinePortNames) {
    const AppContext app = test::StartedApp(settings);
    qputenv("KESTREL_COM3", "/dev/pts/3");
    struct {
        const char* text;
        QString device;
        bool error;
    } cases[] = {{"3", "/dev/pts/3", false},
                 {"Com3", "/dev/pts/3", false},
                 {"COM 3", "/dev/pts/3", false},
                 {" com3 ", "/dev/pts/3", false},
                 {"/dev/ttyUSB1", "/dev/ttyUSB1", false},
                 {"/tmp/radio-link", "/tmp/radio-link", false},
                 {"RFC2217://Radio-Bench.local:3001", "rfc2217://Radio-Bench.local:3001", false},
                 {" tcp://[::1]:3002", "tcp://[::1]:3002", false},
                 {"tcp://127.0.0.1", "", true},
                 {"rfc2217://:3001", "", true},
                 {"21", "", true},
                 {"Com0", "", true},
                 {"", "", true}};
    for (const auto& c : cases) {
        QString error;
        EXPECT_EQ(ResolvePortArgument(QString::fromLatin1(c.text), app, &error), c.device) << c.text;
        EXPECT_EQ(!error.isEmpty(), c.error) << c.text;
    }
}

TEST_F(PortMapTest, ProbeOpensAndClosesWithoutSendingAnything) {
    test::RadioSim sim;
    ASSERT_TRUE(sim.started());
    EXPECT_TRUE(ProbeDevice(sim.device()));
    EXPECT_TRUE(ProbeDevice(sim.device())) << "the probe leaves the port closed";
    EXPECT_TRUE(sim.frames().isEmpty());
    EXPECT_FALSE(ProbeDevice(QStringLiteral("/dev/kestrel-no-such-port")));
    EXPECT_FALSE(ProbeDevice(QString()));

    qputenv("KESTREL_COM9", sim.device().toLocal8Bit());
    const AppContext app = test::StartedApp(settings);
    EXPECT_TRUE(ProbePort(9, app));
}

TEST_F(PortMapTest, ErrorTextNamesTheDeviceAndWhatToDo) {
    const QString missing = PortErrorText(QStringLiteral("/dev/ttyUSB3"), QSerialPort::DeviceNotFoundError,
                                          QStringLiteral("No such file or directory"), English);
    EXPECT_EQ(missing, QStringLiteral("Cannot open /dev/ttyUSB3: No such file or directory"));
#ifndef Q_OS_WIN
    // The facts come from the system; the user's groups here from the stand-in lists.
    qputenv("KESTREL_GROUPS_LISTED", "plugdev");
    qputenv("KESTREL_GROUPS_SESSION", "plugdev");
    const QString group = SerialGroup(QStringLiteral("/dev/kestrel-no-such-port"));
    for (Language l : {English, Chinese}) {
        const QString denied =
            PortErrorText(QStringLiteral("/dev/kestrel-no-such-port"), QSerialPort::PermissionError,
                          QStringLiteral("Permission denied"), l);
        EXPECT_TRUE(denied.startsWith(l == English ? QStringLiteral("Cannot open /dev/kestrel-no-such-port: ")
                                                   : QStringLiteral("无法打开 /dev/kestrel-no-such-port：")));
        EXPECT_TRUE(denied.contains(QStringLiteral("sudo usermod -aG %1 $USER").arg(group)))
            << denied.toStdString();
    }
    qunsetenv("KESTREL_GROUPS_LISTED");
    qunsetenv("KESTREL_GROUPS_SESSION");
    // A device we could open but not lock is in use by someone else.
    QFile file(dir.filePath(QStringLiteral("tty")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString busy = PortErrorText(file.fileName(), QSerialPort::PermissionError,
                                       QStringLiteral("Permission error while locking the device"), English);
    EXPECT_TRUE(busy.contains(QStringLiteral("in use"))) << busy.toStdString();
    EXPECT_FALSE(busy.contains(QStringLiteral("dialout")));
#endif
}

} // namespace
