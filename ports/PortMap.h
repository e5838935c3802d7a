#pragma once
// Which device "Com n" stands for, and a quick probe of it.
//
// Com 1-20 map to COM1-COM20 on Windows. Elsewhere the default map is
//   Com 1-4   -> /dev/ttyS0 - /dev/ttyS3     (built-in serial ports)
//   Com 5-12  -> /dev/ttyUSB0 - /dev/ttyUSB7 (USB-serial cables)
//   Com 13-20 -> /dev/ttyACM0 - /dev/ttyACM7 (USB modem-class cables)
// and the user can point any Com n at any device (a udev symlink, a
// pseudo-terminal): the environment variable KESTREL_COMn wins, then the value
// Comn in the [Ports] group of the settings store, e.g.
//   [Ports]
//   Com3=/dev/pts/5
#include "core/AppContext.h"
#include "ports/SystemChecks.h"

#include <QSerialPort>
#include <QString>

namespace kestrel {

constexpr int FirstComPort = 1;
constexpr int LastComPort = 20;

// The device of Com n when nothing overrides it; empty outside 1-20.
QString DefaultDeviceForPort(int n);

// The user's override for Com n (environment first, then the settings file);
// empty when there is none. `settingsFile` may be empty (no file).
QString PortOverride(int n, const QString& settingsFile);

// Where the override of Com n comes from: "KESTREL_COM3" or "[Ports] Com3";
// empty when Com n follows the default map.
QString PortOverrideOrigin(int n, const QString& settingsFile);

// The device Com n stands for: the override, or the default; empty outside 1-20.
QString DeviceForPort(int n, const QString& settingsFile);
QString DeviceForPort(int n, const AppContext& app);

// The settings store holding the [Ports] group for this run.
QString PortSettingsFile(const AppContext& app);

// Opens the device at 115200 8N1 and closes it again; nothing is sent. True when
// both worked; otherwise `error` and `errorText` (when given) say why.
bool ProbeDevice(const QString& device, QSerialPort::SerialPortError* error = nullptr,
                 QString* errorText = nullptr);
bool ProbePort(int n, const AppContext& app);

// A port as a user names it on the command line: a Com number ("3", "Com3",
// "COM 3") goes through the map; a network port ("rfc2217://HOST:PORT",
// "tcp://HOST:PORT") comes back in its canonical form; anything else is taken as a
// device path. Empty with `error` set when the text names no port or a malformed
// network port.
QString ResolvePortArgument(const QString& text, const AppContext& app, QString* error);

// What the system says about a device that did not open.
struct PortErrorFacts {
    bool accessible = false;    // the user may read and write the device node
    QList<ProcessInfo> holders; // programs that have it open
    GroupAccess access = GroupAccess::NotApplicable;
    QString group;              // the group serial devices belong to
};
PortErrorFacts GatherPortErrorFacts(const QString& device);

// Why a port is busy or forbidden and what to do about it; empty for other errors.
Advice PortOpenAdvice(QSerialPort::SerialPortError error, const PortErrorFacts& facts, quint8 language);

// The message shown when a port cannot be opened: the device, the system's own
// description and, when it is busy or forbidden, why and what to do about it.
QString PortErrorText(const QString& device, QSerialPort::SerialPortError error, const QString& systemText,
                      quint8 language);
QString PortErrorText(const QString& device, QSerialPort::SerialPortError error, const QString& systemText,
                      quint8 language, const PortErrorFacts& facts);

} // namespace kestrel
