#pragma once
// The serial ports as a user sees them: which device each Com number reaches,
// what the system knows about the USB adapter behind it, and whether it opens now.
// GUI-free; the port dialog, `kestrel-cli ports` and `kestrel-cli detect` present it.
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel {

enum class PortState { Ok, Busy, NoPermission, Missing };

// "ok", "busy", "no-permission", "missing": the names `kestrel-cli ports` prints.
QString PortStateName(PortState state);
// "busy", "no permission" and so on in the language chosen; empty for Ok.
QString PortStateText(PortState state, quint8 language);

// What the system knows about the USB adapter of a device; all empty for a
// built-in port, a pseudo-terminal or an unknown device.
struct AdapterInfo {
    QString description;
    QString manufacturer;
    QString serialNumber;
    QString vidPid; // "0403:6001"
};

// What the system knows about the USB adapter behind `device` now.
AdapterInfo AdapterOfDevice(const QString& device);

// "FT232R USB UART, FTDI, serial A1B2, 0403:6001" in the language chosen; empty
// when nothing is known.
QString AdapterText(const AdapterInfo& adapter, quint8 language);

struct PortListing {
    int com = 0; // the Com number that reaches the device; 0: none does
    QString device;
    QString overrideOrigin; // "KESTREL_COM7" or "[Ports] Com7"; empty: the default map
    AdapterInfo adapter;
    PortState state = PortState::Missing;
    QString errorText; // the system's description when the device did not open
};

// Com 1 to Com 20 in order, each examined now (opened and closed; nothing is sent).
QList<PortListing> ListComPorts(const QString& settingsFile);

// The ports worth naming: every Com number whose device exists or that the user
// mapped, then every USB serial device (ttyUSB*, ttyACM*) no Com number reaches.
QList<PortListing> ListPorts(const QString& settingsFile);

// The USB serial devices present (/dev/ttyUSB*, /dev/ttyACM*), in number order.
QStringList UsbSerialDevices();

// Devices worth asking for a radio: every USB serial device present and every
// device the user mapped to a Com number, each once.
QStringList RadioCandidates(const QString& settingsFile);

// The lowest Com number that reaches `device` (its path or the path a link
// resolves to); 0 when none does.
int ComNumberOf(const QString& device, const QString& settingsFile);

// "Com7", or "-" for 0.
QString ComLabel(int com);

} // namespace kestrel
