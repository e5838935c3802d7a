#pragma once
// Ports reached over the network through a serial server (ser2net and the like):
//   rfc2217://HOST:PORT  Telnet with the COM-PORT-OPTION: the client sets 9600 8N1
//                        and the control lines itself
//   tcp://HOST:PORT      a raw byte stream; the server's port must be set to 9600 8N1
// HOST is a name, an IPv4 address or a bracketed IPv6 address ("[::1]"). The
// network ports a user added are remembered in the settings store, in the order
// they were added, separated by blanks:
//   NetworkPorts=rfc2217://radio-bench.local:3001 tcp://192.168.1.20:3002
#include "core/Settings.h"
#include "core/StringTable.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kestrel {

enum class NetworkProtocol { Raw, Rfc2217 };

struct NetworkPort {
    NetworkProtocol protocol = NetworkProtocol::Raw;
    QString host; // without brackets: "::1", "radio-bench.local"
    quint16 port = 0;

    // "rfc2217://radio-bench.local:3001", "tcp://[::1]:3002": scheme in lower case.
    QString url() const;
    // "radio-bench.local:3001", "[::1]:3002": how messages name the server.
    QString hostPort() const;
    // A name under .invalid, which never resolves: no resolver need be asked.
    bool neverResolves() const {
        return host.compare(QLatin1String("invalid"), Qt::CaseInsensitive) == 0 ||
               host.endsWith(QLatin1String(".invalid"), Qt::CaseInsensitive);
    }
    bool operator==(const NetworkPort& o) const {
        return protocol == o.protocol && host.compare(o.host, Qt::CaseInsensitive) == 0 && port == o.port;
    }
};

// True when `text` starts with a network scheme ("rfc2217://", "tcp://", any case):
// it is meant as a network port, well formed or not.
bool IsNetworkPortName(const QString& text);

// The network port `text` names; nothing, with `error` set in `language`, when it
// is malformed (unknown scheme, no host, a port outside 1-65535, anything after it).
std::optional<NetworkPort> ParseNetworkPort(const QString& text, quint8 language = English,
                                            QString* error = nullptr);

// The network ports remembered in the settings store, in the order they were added,
// each once, in their canonical form; malformed entries are left out.
QStringList RememberedNetworkPorts(const SettingsStore& store);
// Adds `url` (stored in its canonical form) at the end unless the same port is there
// already; false when it is malformed or the store cannot be written (a damaged
// settings file is never written; a run that remembers nothing counts it as done).
bool RememberNetworkPort(SettingsStore& store, const QString& url);
// Removes the port `url` names (any spelling of it); false when it was not there or
// the store cannot be written.
bool ForgetNetworkPort(SettingsStore& store, const QString& url);

} // namespace kestrel
