#include "link/PortMap.h"

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
    if (!QFileInfo::exists(settingsFile))
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

QString DeviceForPort(int n, const QString& settingsFile) {
    const QString o = PortOverride(n, settingsFile);
    return o.isEmpty() ? DefaultDeviceForPort(n) : o;
}

QString PortSettingsFile(const AppContext& app) { return SettingsStore::DefaultLocation(app.settingsKeyPath); }

QString DeviceForPort(int n, const AppContext& app) { return DeviceForPort(n, PortSettingsFile(app)); }

bool ProbeDevice(const QString& device) {
    if (device.isEmpty())
        return false;
    QSerialPort port;
    port.setPortName(device);
    port.setBaudRate(115200);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.close();
    return true;
}

bool ProbePort(int n, const AppContext& app) { return ProbeDevice(DeviceForPort(n, app)); }

QString ResolvePortArgument(const QString& text, const AppContext& app, QString* error) {
    const QString t = text.trimmed();
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
        *error = QStringLiteral("name the port: a Com number (1-20) or a device path");
    return t;
}

QString PortErrorText(const QString& device, QSerialPort::SerialPortError error, const QString& systemText,
                      quint8 language) {
    QString text = Pick(language, "Cannot open %1: %2", "无法打开 %1：%2").arg(device, systemText);
#ifndef Q_OS_WIN
    if (error == QSerialPort::PermissionError) {
        // A device we may open but cannot lock is in use; otherwise we lack the rights.
        const QFileInfo info(device);
        if (info.isReadable() && info.isWritable())
            text += QLatin1Char('\n') + Pick(language, "The port is in use by another program.",
                                             "该端口正被其他程序使用。");
        else
            text += QLatin1Char('\n') +
                    Pick(language,
                         "Serial ports belong to the dialout group: add yourself to it "
                         "(sudo usermod -aG dialout $USER), then log out and in again.",
                         "串口属于 dialout 组：请把当前用户加入该组（sudo usermod -aG dialout $USER），然后重新登录。");
    }
#else
    Q_UNUSED(error);
#endif
    return text;
}

} // namespace kestrel
