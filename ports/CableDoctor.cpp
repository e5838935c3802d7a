#include "ports/CableDoctor.h"

#include "ports/PortInfo.h"
#include "ports/PortMap.h"
#include "ports/NetworkPort.h"

#include <QCoreApplication>
#include <QTimer>

namespace kestrel {

namespace {

Finding Good(const QString& text) {
    return {Finding::Good, text, QString()};
}

QString TakerFix(const ProcessInfo& p, quint8 language) {
    if (p.name == QLatin1String("ModemManager"))
        return Pick(language, "stop it while you program radios: sudo systemctl stop ModemManager",
                    "编程期间请停止它：sudo systemctl stop ModemManager");
    return Pick(language, "if you use no braille display, remove it: sudo apt remove brltty",
                "如果不使用盲文显示器，请卸载它：sudo apt remove brltty");
}

} // namespace

SystemFacts GatherSystemFacts(const QString& device) {
    SystemFacts f;
    f.groups = CurrentUserGroups();
    f.serialGroup = SerialGroup(device);
#ifdef Q_OS_LINUX
    f.takers = KnownPortTakers(RunningProcesses());
#endif
#ifndef Q_OS_WIN
    if (!device.isEmpty()) {
        const qint64 self = QCoreApplication::applicationPid();
        for (const ProcessInfo& p : ProcessesHoldingDevice(device))
            if (p.pid != self)
                f.holders << p;
    }
#endif
    f.usbDevices = UsbSerialDevices();
    return f;
}

QList<Finding> SystemFindings(const SystemFacts& facts, const QString& device, quint8 language) {
    QList<Finding> out;
    const GroupAccess access = CheckGroupAccess(facts.groups, facts.serialGroup);
    if (access == GroupAccess::Member) {
        out << Good(
            facts.groups.superuser
                ? Pick(language, "You may open serial devices (administrator)", "可以打开串口设备（管理员）")
                : Pick(language, "You may open serial devices: this session has the %1 group",
                       "可以打开串口设备：本次会话已有 %1 组")
                      .arg(facts.serialGroup));
    } else if (access != GroupAccess::NotApplicable) {
        const Advice a = GroupAdvice(access, facts.serialGroup, language);
        out << Finding{Finding::Problem, a.problem, a.fix};
    }
#ifdef Q_OS_LINUX
    if (facts.takers.isEmpty())
        out << Good(Pick(language, "Neither ModemManager nor brltty is running",
                         "ModemManager 和 brltty 都没有运行"));
    for (const ProcessInfo& p : facts.takers)
        out << Finding{Finding::Warning,
                       Pick(language, "%1 is running; it is known to take USB serial adapters",
                            "%1 正在运行；它会占用 USB 串口适配器")
                           .arg(DescribeProcesses({p})),
                       TakerFix(p, language)};
#endif
    if (device.isEmpty()) {
        if (facts.usbDevices.isEmpty())
            out << Finding{Finding::Warning,
                           Pick(language, "No USB serial adapter is plugged in", "没有插入 USB 串口适配器"),
                           Pick(language,
                                "plug the programming cable in; if it is in, try another USB socket",
                                "请插入编程数据线；如已插入，请换一个 USB 插口")};
        else
            out << Good(Pick(language, "USB serial adapters: %1", "USB 串口适配器：%1")
                            .arg(facts.usbDevices.join(QStringLiteral(", "))));
    } else {
#ifndef Q_OS_WIN
        if (facts.holders.isEmpty())
            out << Good(Pick(language, "No other program has %1 open", "没有其他程序打开 %1").arg(device));
        else
            out << Finding{Finding::Warning,
                           Pick(language, "Another program has %1 open: %2", "其他程序打开了 %1：%2")
                               .arg(device, DescribeProcesses(facts.holders)),
                           Pick(language, "close that program; it would take the radio's replies",
                                "请关闭该程序，否则它会抢走电台的应答")};
#endif
    }
    return out;
}

QList<Finding> PortFindings(const ProbeResult& r, const QString& portLabel, const PortErrorFacts& facts,
                            quint8 language) {
    QList<Finding> out;
    const bool network = IsNetworkPortName(r.device);
    if (!r.opened && network) {
        out << Finding{Finding::Problem, r.openError,
                       Pick(language,
                            "check that the serial server (ser2net) runs on that computer and serves this port, "
                            "and that this computer reaches it",
                            "请确认那台计算机上的串口服务器（ser2net）正在运行并提供此端口，且本机能连到它")};
        return out;
    }
    if (!r.opened) {
        const auto error = QSerialPort::SerialPortError(r.openErrorCode);
        QString text = Pick(language, "%1 does not open at 9600 8N1: %2", "%1 无法以 9600 8N1 打开：%2")
                           .arg(portLabel, r.systemError);
        QString fix;
        const Advice advice = PortOpenAdvice(error, facts, language);
        if (!advice.isEmpty()) {
            text += Pick(language, ". ", "。") + advice.problem;
            fix = advice.fix;
        } else if (error == QSerialPort::DeviceNotFoundError) {
            fix = Pick(language, "plug the cable in, or choose the port it is on",
                       "请插入数据线，或选择它所在的端口");
        } else {
            fix = Pick(language, "unplug the cable, plug it in again and check again",
                       "请拔下数据线再插上，然后重新检查");
        }
        out << Finding{Finding::Problem, text, fix};
        return out;
    }
    out << Good(network ? Pick(language, "%1 accepts the connection", "%1 接受连接").arg(portLabel)
                        : Pick(language, "%1 opens at 9600 8N1", "%1 可以以 9600 8N1 打开").arg(portLabel));
    if (r.answered)
        out << Good(ProbeSummary(r, language));
    else if (r.handshake)
        out << Finding{Finding::Problem, ProbeSummary(r, language),
                       Pick(language, "switch the radio off and on again, then check again",
                            "请关闭电台再打开，然后重新检查")};
    else
        out << Finding{
            Finding::Problem, ProbeSummary(r, language),
            Pick(language,
                 "switch the radio on, push the cable's plug fully into the radio and make sure the "
                 "cable is on this port",
                 "请打开电台电源，把数据线插头完全插入电台，并确认数据线接在这个端口上")};
    return out;
}

DoctorStatus StatusOf(const QList<Finding>& system, const std::optional<ProbeResult>& port) {
    if (port) {
        if (!port->opened)
            return DoctorStatus::PortFailed;
        return port->answered ? DoctorStatus::Ok : DoctorStatus::NoAnswer;
    }
    for (const Finding& f : system)
        if (f.kind == Finding::Problem)
            return DoctorStatus::PortFailed;
    return DoctorStatus::Ok;
}

CableDoctor::CableDoctor(quint8 language, QObject* parent)
    : QObject(parent), m_language(language), m_probe(language) {
    connect(&m_probe, &RadioProbe::finished, this, &CableDoctor::portDone);
}

void CableDoctor::start(const QString& device, const QString& portLabel) {
    m_device = device;
    m_label = portLabel;
    m_running = true;
    if (IsNetworkPortName(device)) {
        // The serial port is on the server's computer: this one's groups, ModemManager
        // and brltty play no part.
        m_system = {Good(Pick(m_language,
                              "%1 is a port on another computer: this computer's serial ports are not checked",
                              "%1 是另一台计算机上的端口：不检查本机的串口")
                             .arg(device))};
        m_probe.start({device});
        return;
    }
    m_system = SystemFindings(GatherSystemFacts(device), device, m_language);
    if (device.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            m_findings = m_system;
            m_status = StatusOf(m_system, std::nullopt);
            m_running = false;
            emit finished();
        });
        return;
    }
    m_probe.start({device});
}

void CableDoctor::portDone() {
    const ProbeResult r = m_probe.results().value(0);
    const PortErrorFacts facts =
        r.opened || IsNetworkPortName(m_device) ? PortErrorFacts{} : GatherPortErrorFacts(m_device);
    m_findings = m_system + PortFindings(r, m_label, facts, m_language);
    m_status = StatusOf(m_system, r);
    m_running = false;
    emit finished();
}

QString FormatFindings(const QList<Finding>& findings, quint8 language) {
    QStringList lines;
    for (const Finding& f : findings) {
        const QString mark = f.kind == Finding::Good      ? Pick(language, "ok", "正常")
                             : f.kind == Finding::Warning ? Pick(language, "warning", "警告")
                                                          : Pick(language, "problem", "问题");
        lines << mark.leftJustified(9) + f.text;
        if (!f.fix.isEmpty())
            lines << QString(9, QLatin1Char(' ')) + Pick(language, "fix: ", "解决：") + f.fix;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace kestrel
