#include "ports/PortInfo.h"

#include "core/StringTable.h"
#include "ports/PortMap.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace kestrel {

namespace {

QString Canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

QString HexId(quint16 id) {
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

bool SameDevice(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b || Canonical(a) == Canonical(b);
#endif
}

bool DeviceExists(const QString& device, const QList<QSerialPortInfo>& infos) {
#ifdef Q_OS_WIN
    return std::any_of(infos.begin(), infos.end(),
                       [&](const QSerialPortInfo& i) { return SameDevice(i.portName(), device); });
#else
    Q_UNUSED(infos);
    return !device.isEmpty() && QFileInfo::exists(device);
#endif
}

AdapterInfo AdapterOf(const QString& device, const QList<QSerialPortInfo>& infos) {
    AdapterInfo a;
    for (const QSerialPortInfo& i : infos) {
        if (!SameDevice(i.systemLocation(), device) && !SameDevice(i.portName(), device))
            continue;
        a.description = i.description();
        a.manufacturer = i.manufacturer();
        a.serialNumber = i.serialNumber();
        if (i.hasVendorIdentifier() && i.hasProductIdentifier())
            a.vidPid = HexId(i.vendorIdentifier()) + QLatin1Char(':') + HexId(i.productIdentifier());
        break;
    }
    return a;
}

PortState StateOf(const QString& device, QString* errorText) {
    QSerialPort::SerialPortError error = QSerialPort::NoError;
    if (ProbeDevice(device, &error, errorText))
        return PortState::Ok;
    if (error != QSerialPort::PermissionError)
        return PortState::Missing; // not there, or no hardware behind the node
#ifdef Q_OS_WIN
    return PortState::Busy;
#else
    const QFileInfo info(device);
    return info.isReadable() && info.isWritable() ? PortState::Busy : PortState::NoPermission;
#endif
}

PortListing Examine(int com, const QString& device, const QString& origin,
                    const QList<QSerialPortInfo>& infos) {
    PortListing p;
    p.com = com;
    p.device = device;
    p.overrideOrigin = origin;
    p.adapter = AdapterOf(device, infos);
    p.state = StateOf(device, &p.errorText);
    return p;
}

} // namespace

AdapterInfo AdapterOfDevice(const QString& device) {
    return AdapterOf(device, QSerialPortInfo::availablePorts());
}

QString AdapterText(const AdapterInfo& a, quint8 language) {
    QStringList parts;
    for (const QString& p : {a.description, a.manufacturer})
        if (!p.isEmpty() && !parts.contains(p))
            parts << p;
    if (!a.serialNumber.isEmpty())
        parts << Pick(language, "serial %1", "序列号 %1").arg(a.serialNumber);
    if (!a.vidPid.isEmpty())
        parts << a.vidPid;
    return parts.join(QStringLiteral(", "));
}

QString PortStateName(PortState state) {
    switch (state) {
    case PortState::Ok:
        return QStringLiteral("ok");
    case PortState::Busy:
        return QStringLiteral("busy");
    case PortState::NoPermission:
        return QStringLiteral("no-permission");
    case PortState::Missing:
        break;
    }
    return QStringLiteral("missing");
}

QString PortStateText(PortState state, quint8 language) {
    switch (state) {
    case PortState::Ok:
        return QString();
    case PortState::Busy:
        return Pick(language, "busy", "占用");
    case PortState::NoPermission:
        return Pick(language, "no permission", "无权限");
    case PortState::Missing:
        break;
    }
    return Pick(language, "missing", "不存在");
}

QList<PortListing> ListComPorts(const QString& settingsFile) {
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    QList<PortListing> out;
    for (int n = FirstComPort; n <= LastComPort; ++n)
        out << Examine(n, DeviceForPort(n, settingsFile), PortOverrideOrigin(n, settingsFile), infos);
    return out;
}

QList<PortListing> ListPorts(const QString& settingsFile) {
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    QList<PortListing> out;
    QStringList reached;
    for (int n = FirstComPort; n <= LastComPort; ++n) {
        const QString device = DeviceForPort(n, settingsFile);
        const QString origin = PortOverrideOrigin(n, settingsFile);
        reached << device;
        if (!origin.isEmpty() || DeviceExists(device, infos))
            out << Examine(n, device, origin, infos);
    }
    for (const QString& device : UsbSerialDevices()) {
        const bool isReached = std::any_of(reached.begin(), reached.end(),
                                           [&](const QString& r) { return SameDevice(r, device); });
        if (!isReached)
            out << Examine(0, device, QString(), infos);
    }
    return out;
}

QStringList UsbSerialDevices() {
    QStringList out;
#ifdef Q_OS_WIN
    for (const QSerialPortInfo& i : QSerialPortInfo::availablePorts())
        if (i.hasVendorIdentifier())
            out << i.portName();
#else
    const QDir dev(QStringLiteral("/dev"));
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        const QString p = QString::fromLatin1(prefix);
        QStringList names = dev.entryList({p + QLatin1Char('*')}, QDir::System | QDir::Files);
        names.erase(std::remove_if(names.begin(), names.end(),
                                   [&](const QString& n) {
                                       bool ok = false;
                                       n.mid(p.size()).toInt(&ok);
                                       return !ok;
                                   }),
                    names.end());
        std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
            return a.mid(p.size()).toInt() < b.mid(p.size()).toInt();
        });
        for (const QString& n : names)
            out << dev.filePath(n);
    }
#endif
    return out;
}

QStringList RadioCandidates(const QString& settingsFile) {
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    QStringList out;
    auto add = [&](const QString& device) {
        if (!DeviceExists(device, infos))
            return;
        if (std::none_of(out.begin(), out.end(), [&](const QString& d) { return SameDevice(d, device); }))
            out << device;
    };
    for (const QString& d : UsbSerialDevices())
        add(d);
    for (int n = FirstComPort; n <= LastComPort; ++n)
        add(PortOverride(n, settingsFile));
    return out;
}

int ComNumberOf(const QString& device, const QString& settingsFile) {
    if (device.isEmpty())
        return 0;
    for (int n = FirstComPort; n <= LastComPort; ++n)
        if (SameDevice(DeviceForPort(n, settingsFile), device))
            return n;
    return 0;
}

QString ComLabel(int com) {
    return com > 0 ? QStringLiteral("Com%1").arg(com) : QStringLiteral("-");
}

} // namespace kestrel
