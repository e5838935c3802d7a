// What the system says about the user and the serial devices: group access and its
// advice, the processes holding a device (read from the real /proc), the port
// error texts built from those facts, and the low-latency flag.
#include "ports/LowLatency.h"
#include "ports/PortMap.h"
#include "ports/SystemChecks.h"

#include "tests/link/RadioSim.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QProcess>
#include <gtest/gtest.h>

using namespace kestrel;

namespace {

TEST(SystemChecks, GroupAccessAndItsAdvice) {
    struct {
        UserGroups groups;
        GroupAccess access;
        const char* fix;
    } cases[] = {
        {{true, false, {"dialout", "plugdev"}, {"plugdev", "dialout"}}, GroupAccess::Member, ""},
        {{true, true, {}, {}}, GroupAccess::Member, ""},
        {{true, false, {"plugdev"}, {"plugdev"}},
         GroupAccess::NotListed,
         "add yourself: sudo usermod -aG dialout $USER, then log out and in again"},
        {{true, false, {"dialout", "plugdev"}, {"plugdev"}},
         GroupAccess::NotInSession,
         "log out and in again"},
        {{false, false, {}, {}}, GroupAccess::NotApplicable, ""},
    };
    for (const auto& c : cases) {
        const GroupAccess access = CheckGroupAccess(c.groups, QStringLiteral("dialout"));
        EXPECT_EQ(access, c.access) << c.fix;
        const Advice en = GroupAdvice(access, QStringLiteral("dialout"), English);
        EXPECT_EQ(en.fix, QString::fromLatin1(c.fix));
        EXPECT_EQ(en.isEmpty(), !*c.fix);
        const Advice zh = GroupAdvice(access, QStringLiteral("dialout"), Chinese);
        EXPECT_EQ(zh.isEmpty(), !*c.fix);
        if (!zh.isEmpty()) {
            EXPECT_TRUE(zh.problem.contains(QStringLiteral("dialout")) &&
                        zh.fix.contains(QString::fromUtf8("重新登录")));
        }
    }
    EXPECT_EQ(GroupAdvice(GroupAccess::NotListed, QStringLiteral("uucp"), English).fix,
              QStringLiteral("add yourself: sudo usermod -aG uucp $USER, then log out and in again"));
}

TEST(SystemChecks, SuppliedGroupListsStandInForTheSystems) {
    qputenv("KESTREL_GROUPS_LISTED", "dialout, plugdev");
    qputenv("KESTREL_GROUPS_SESSION", "");
    const UserGroups g = CurrentUserGroups();
    qunsetenv("KESTREL_GROUPS_LISTED");
    qunsetenv("KESTREL_GROUPS_SESSION");
    EXPECT_TRUE(g.known);
    EXPECT_FALSE(g.superuser);
    EXPECT_EQ(g.listed, (QStringList{"dialout", "plugdev"}));
    EXPECT_TRUE(g.session.isEmpty());
    EXPECT_FALSE(CurrentUserGroups().session.isEmpty())
        << "the system's own answer has at least the primary group";
}

TEST(SystemChecks, KnownPortTakers) {
    const QList<ProcessInfo> running = {{1, "systemd"},
                                        {812, "ModemManager"},
                                        {900, "brltty"},
                                        {901, "brltty-udev"},
                                        {950, "modemmanager-x"}};
    EXPECT_EQ(KnownPortTakers(running),
              (QList<ProcessInfo>{{812, "ModemManager"}, {900, "brltty"}, {901, "brltty-udev"}}));
    EXPECT_EQ(DescribeProcesses({{812, "ModemManager"}, {4242, "minicom"}}),
              QStringLiteral("ModemManager (PID 812), minicom (PID 4242)"));
}

TEST(SystemChecks, HoldersOfADeviceComeFromProcButNotTheOtherEndOfATerminal) {
    test::RadioSim sim;
    ASSERT_TRUE(sim.started());
    EXPECT_TRUE(ProcessesHoldingDevice(sim.device()).isEmpty())
        << "the virtual radio holds the master: no rival";

    QProcess sleeper;
    sleeper.setStandardInputFile(sim.device());
    sleeper.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(sleeper.waitForStarted());
    QSerialPort own;
    own.setPortName(sim.device());
    ASSERT_TRUE(own.open(QIODevice::ReadWrite)); // also writes a lock file naming this process
    const QList<ProcessInfo> holders = ProcessesHoldingDevice(sim.device());
    const qint64 self = QCoreApplication::applicationPid();
    EXPECT_EQ(holders.size(), 2) << DescribeProcesses(holders).toStdString();
    EXPECT_TRUE(holders.contains(ProcessInfo{sleeper.processId(), QStringLiteral("sleep")}));
    EXPECT_EQ(
        std::count_if(holders.begin(), holders.end(), [&](const ProcessInfo& p) { return p.pid == self; }),
        1);
    // A transfer refused the port hears who holds it.
    const QString busy = PortErrorText(sim.device(), QSerialPort::PermissionError, QStringLiteral("locked"), English);
    EXPECT_TRUE(busy.contains(QStringLiteral("sleep (PID %1)").arg(sleeper.processId()))) << busy.toStdString();
    EXPECT_TRUE(RunningProcesses().contains(ProcessInfo{sleeper.processId(), QStringLiteral("sleep")}));
    sleeper.kill();
    sleeper.waitForFinished();
}

TEST(SystemChecks, PortErrorTextSaysWhyAndWhatToDo) {
    const QString device = QStringLiteral("/dev/ttyUSB0");
    const QString head = QStringLiteral("Cannot open /dev/ttyUSB0: Permission denied\n");
    PortErrorFacts busy{true, {{4242, "minicom"}}, GroupAccess::Member, "dialout"};
    PortErrorFacts busyUnknown{true, {}, GroupAccess::Member, "dialout"};
    PortErrorFacts notListed{false, {}, GroupAccess::NotListed, "dialout"};
    PortErrorFacts notInSession{false, {}, GroupAccess::NotInSession, "dialout"};
    PortErrorFacts member{false, {}, GroupAccess::Member, "dialout"};
    struct {
        QSerialPort::SerialPortError error;
        const PortErrorFacts& facts;
        QString expected;
    } cases[] = {
        {QSerialPort::PermissionError, busy,
         head +
             "The port is in use by another program: minicom (PID 4242); close that program and try again."},
        {QSerialPort::PermissionError, busyUnknown,
         head + "The port is in use by another program; close that program and try again."},
        {QSerialPort::PermissionError, notListed,
         head +
             "You are not in the dialout group, which serial devices belong to; add yourself: sudo usermod "
             "-aG dialout $USER, then log out and in again."},
        {QSerialPort::PermissionError, notInSession,
         head + "You are in the dialout group, but this login session does not have it yet; log out and in "
                "again."},
        {QSerialPort::PermissionError, member,
         head + "You may not read and write this device; ask for access to it (ls -l shows its owner and "
                "group)."},
        {QSerialPort::DeviceNotFoundError, notListed, "Cannot open /dev/ttyUSB0: Permission denied"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortErrorText(device, c.error, QStringLiteral("Permission denied"), English, c.facts),
                  c.expected);
    const QString zh =
        PortErrorText(device, QSerialPort::PermissionError, QStringLiteral("x"), Chinese, busy);
    EXPECT_TRUE(zh.startsWith(
        QString::fromUtf8("无法打开 /dev/ttyUSB0：x\n该端口正被其他程序使用：minicom (PID 4242)")))
        << zh.toStdString();
}

TEST(SystemChecks, RefusedLowLatencyIsTracedOncePerDevice) {
    test::RadioSim sim;
    ASSERT_TRUE(sim.started());
    QSerialPort port;
    port.setPortName(sim.device());
    ASSERT_TRUE(port.open(QIODevice::ReadWrite));
    QString why;
    EXPECT_FALSE(SetLowLatency(port, &why)) << "a pseudo-terminal has no such flag";
    EXPECT_FALSE(why.isEmpty());

    static QStringList traced;
    QLoggingCategory::setFilterRules(QStringLiteral("kestrel.link.debug=true"));
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { traced << text; });
    RequestLowLatency(port, sim.device());
    RequestLowLatency(port, sim.device());
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    ASSERT_EQ(traced.size(), 1) << traced.join('\n').toStdString();
    EXPECT_TRUE(traced[0].contains(QStringLiteral("low-latency")) && traced[0].contains(sim.device()));
}

} // namespace
