#include "ports/PortMap.h"

#include "ports/NetworkPort.h"

#include "core/Settings.h"
#include "core/StringTable.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

namespace kestrel {

QString DefaultDeviceForPort(int n) {
    if (n < FirstComPort || n > LastComPort)
        return QString();
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    if (n <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    if (n <= 12)
        return QStringLiteral("/dev/ttyUSB%1").arg(n - 5);
    return QStringLiteral("/dev/ttyACM%1").arg(n - 13);
#endif
}

QString PortOverride(int n, const QString& settingsFile) {
    if (n < FirstComPort || n > LastComPort)
        return QString();
    const QString env = qEnvironmentVariable(qPrintable(QStringLiteral("KESTREL_COM%1").arg(n))).trimmed();
    if (!env.isEmpty())
        return env;
    if (settingsFile.isEmpty())
        return QString();
#ifdef Q_OS_WIN
    const bool native = settingsFile.startsWith(QLatin1String("HKEY_"), Qt::CaseInsensitive);
#else
    const bool native = false;
    if (!QFileInfo::exists(settingsFile) || HoldsSerializedValue(settingsFile))
        return QString();
#endif
    QSettings s(settingsFile, native ? QSettings::NativeFormat : QSettings::IniFormat);
    for (const QString& key : {QStringLiteral("Ports/Com%1").arg(n), QStringLiteral("Ports/COM%1").arg(n)}) {
        const QString v = s.value(key).toString().trimmed();
        if (!v.isEmpty())
            return v;
    }
    return QString();
}

QString PortOverrideOrigin(int n, const QString& settingsFile) {
    if (n < FirstComPort || n > LastComPort)
        return QString();
    const QString env = QStringLiteral("KESTREL_COM%1").arg(n);
    if (!qEnvironmentVariable(qPrintable(env)).trimmed().isEmpty())
        return env;
    return PortOverride(n, settingsFile).isEmpty() ? QString() : QStringLiteral("[Ports] Com%1").arg(n);
}

QString DeviceForPort(int n, const QString& settingsFile) {
    const QString o = PortOverride(n, settingsFile);
    return o.isEmpty() ? DefaultDeviceForPort(n) : o;
}

QString PortSettingsFile(const AppContext& app) { return SettingsStore::DefaultLocation(app.settingsKeyPath); }

QString DeviceForPort(int n, const AppContext& app) { return DeviceForPort(n, PortSettingsFile(app)); }

bool ProbeDevice(const QString& device, QSerialPort::SerialPortError* error, QString* errorText) {
    if (device.isEmpty()) {
        if (error)
            *error = QSerialPort::DeviceNotFoundError;
        return false;
    }
    QSerialPort port;
    port.setPortName(device);
    port.setBaudRate(115200);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite)) {
        if (error)
            *error = port.error();
        if (errorText)
            *errorText = port.errorString();
        return false;
    }
    port.close();
    return true;
}

bool ProbePort(int n, const AppContext& app) { return ProbeDevice(DeviceForPort(n, app)); }

QString ResolvePortArgument(const QString& text, const AppContext& app, QString* error) {
    const QString t = text.trimmed();
    if (IsNetworkPortName(t)) {
        // A network port in its canonical form; a malformed one is refused here.
        const std::optional<NetworkPort> port = ParseNetworkPort(t, English, error);
        return port ? port->url() : QString();
    }
    static const QRegularExpression com(QStringLiteral("^(?:com\\s*)?(\\d+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(t);
    if (m.hasMatch()) {
        const int n = m.captured(1).toInt();
        const QString device = DeviceForPort(n, app);
        if (device.isEmpty() && error)
            *error = QStringLiteral("Com %1 is not a port; use Com %2 to Com %3 or a device path")
                         .arg(m.captured(1))
                         .arg(FirstComPort)
                         .arg(LastComPort);
        return device;
    }
    if (t.isEmpty() && error)
        *error = QStringLiteral("name the port: a Com number (1-20), a device path or a network port (rfc2217://HOST:PORT, tcp://HOST:PORT)");
    return t;
}

PortErrorFacts GatherPortErrorFacts(const QString& device) {
    PortErrorFacts facts;
#ifndef Q_OS_WIN
    const QFileInfo info(device);
    facts.accessible = info.isReadable() && info.isWritable();
    facts.holders = ProcessesHoldingDevice(device);
    facts.group = SerialGroup(device);
    facts.access = CheckGroupAccess(CurrentUserGroups(), facts.group);
#else
    Q_UNUSED(device);
#endif
    return facts;
}

Advice PortOpenAdvice(QSerialPort::SerialPortError error, const PortErrorFacts& facts, quint8 language) {
#ifndef Q_OS_WIN
    if (error != QSerialPort::PermissionError)
        return {};
    // A device we may open but cannot lock is in use; otherwise we lack the rights.
    if (facts.accessible) {
        QString problem = Pick(language, "The port is in use by another program", "该端口正被其他程序使用");
        if (!facts.holders.isEmpty())
            problem += Pick(language, ": ", "：") + DescribeProcesses(facts.holders);
        return {problem, Pick(language, "close that program and try again", "请关闭该程序后重试")};
    }
    const Advice group = GroupAdvice(facts.access, facts.group, language);
    if (!group.isEmpty())
        return group;
    return {Pick(language, "You may not read and write this device", "当前用户无权读写该设备"),
            Pick(language, "ask for access to it (ls -l shows its owner and group)",
                 "请取得该设备的读写权限（ls -l 可查看其属主和属组）")};
#else
    Q_UNUSED(error);
    Q_UNUSED(facts);
    Q_UNUSED(language);
    return {};
#endif
}

QString PortErrorText(const QString& device, QSerialPort::SerialPortError error, const QString& systemText,
                      quint8 language) {
    const PortErrorFacts facts =
        error == QSerialPort::PermissionError ? GatherPortErrorFacts(device) : PortErrorFacts{};
    return PortErrorText(device, error, systemText, language, facts);
}

QString PortErrorText(const QString& device, QSerialPort::SerialPortError error, const QString& systemText,
                      quint8 language, const PortErrorFacts& facts) {
    QString text = Pick(language, "Cannot open %1: %2", "无法打开 %1：%2").arg(device, systemText);
    const Advice advice = PortOpenAdvice(error, facts, language);
    if (!advice.isEmpty())
        text += QLatin1Char('\n') + advice.problem + Pick(language, "; ", "；") + advice.fix +
                Pick(language, ".", "。");
    return text;
}

} // namespace kestrel
