// kestrel-cli ports: the serial ports a user can name, with the device, the USB
// adapter behind it and whether it opens now; then the remembered network ports and
// whether they can be reached. --add and --remove remember and forget network ports.
#include "cli/Command.h"

#include "core/Settings.h"
#include "ports/NetworkPort.h"
#include "ports/NetworkPortCheck.h"
#include "ports/PortInfo.h"
#include "ports/PortMap.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kestrel::cli {
namespace {

const char* const NetworkDescription = "network port";

// Every value of `option`, taken out of the arguments; false when one is missing.
bool TakeAll(QStringList& args, const QString& option, QStringList* values) {
    for (;;) {
        bool found = false;
        const QString value = TakeOption(args, {option}, &found);
        if (!found)
            return true;
        if (value.isEmpty() || value.startsWith(QLatin1Char('-'))) {
            Err(QStringLiteral("kestrel-cli ports: %1 takes a network port, such as rfc2217://HOST:PORT")
                    .arg(option));
            return false;
        }
        *values << value;
    }
}

// --add and --remove, in the settings store the GUI's port dialog uses.
int ChangeNetworkPorts(const Context& ctx, const QStringList& add, const QStringList& remove) {
    SettingsStore store(ctx.app.settingsKeyPath);
    store.setRemembering(!ctx.radios); // the demo remembers nothing
    for (const QString& url : add + remove) {
        QString error;
        if (!ParseNetworkPort(url, English, &error)) {
            Err(QStringLiteral("kestrel-cli ports: ") + error);
            return Usage;
        }
    }
    for (const QString& url : remove) {
        bool known = false;
        for (const QString& u : RememberedNetworkPorts(store))
            known = known || ParseNetworkPort(u) == ParseNetworkPort(url);
        if (!known) {
            Err(QStringLiteral("kestrel-cli ports: %1 is not a remembered network port").arg(url.trimmed()));
            return Usage;
        }
    }
    auto cannotWrite = [&store] {
        const QString damage = store.damage();
        Err(QStringLiteral("kestrel-cli ports: ") +
            (damage.isEmpty() ? QStringLiteral("the settings file %1 cannot be written").arg(store.location())
                              : damage));
        return FileError;
    };
    for (const QString& url : add)
        if (!RememberNetworkPort(store, url))
            return cannotWrite();
    for (const QString& url : remove)
        if (!ForgetNetworkPort(store, url) && store.remembering())
            return cannotWrite();
    if (ctx.radios)
        Err(QStringLiteral("kestrel-cli ports: --demo remembers nothing; the settings are unchanged"));
    return Ok;
}

int RunPorts(Context& ctx) {
    QStringList args = ctx.args;
    const bool json = TakeJson(args);
    QStringList add, remove;
    if (!TakeAll(args, QStringLiteral("--add"), &add) || !TakeAll(args, QStringLiteral("--remove"), &remove))
        return Usage;
    if (!args.isEmpty()) {
        Err(QStringLiteral("kestrel-cli ports: unexpected argument \"%1\"").arg(args.first()));
        return Usage;
    }
    if (!add.isEmpty() || !remove.isEmpty()) {
        if (json) {
            Err(QStringLiteral(
                "kestrel-cli ports: --json lists the ports; it does not go with --add or --remove"));
            return Usage;
        }
        return ChangeNetworkPorts(ctx, add, remove);
    }
    const QList<PortListing> ports = ListPorts(PortSettingsFile(ctx.app));
    const QList<NetworkPortStatus> network =
        CheckNetworkPorts(RememberedNetworkPorts(SettingsStore(ctx.app.settingsKeyPath)));
    if (json) {
        QJsonArray list;
        for (const PortListing& p : ports)
            list << QJsonObject{{"com", p.com > 0 ? QJsonValue(p.com) : QJsonValue()},
                                {"device", p.device},
                                {"description", p.adapter.description},
                                {"vid_pid", p.adapter.vidPid},
                                {"serial_number", p.adapter.serialNumber},
                                {"network", false},
                                {"state", PortStateName(p.state)}};
        for (const NetworkPortStatus& n : network) {
            QJsonObject o{{"com", QJsonValue()},
                          {"device", n.url},
                          {"description", QLatin1String(NetworkDescription)},
                          {"vid_pid", QString()},
                          {"serial_number", QString()},
                          {"network", true},
                          {"state", NetworkPortStateName(n.state)}};
            if (!n.detail.isEmpty())
                o.insert(QStringLiteral("error"), n.detail);
            list << o;
        }
        OutJson(list);
        return Ok;
    }
    for (const PortListing& p : ports) {
        // One field per column, so tabs and line breaks inside a field would break the line.
        auto field = [](QString text) {
            return text.replace(QLatin1Char('\t'), QLatin1Char(' '))
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
        };
        Out(QStringList{ComLabel(p.com), field(p.device), field(p.adapter.description), p.adapter.vidPid,
                        field(p.adapter.serialNumber), PortStateName(p.state)}
                .join(QLatin1Char('\t')));
    }
    for (const NetworkPortStatus& n : network)
        Out(QStringList{ComLabel(0), n.url, QLatin1String(NetworkDescription), QString(), QString(),
                        NetworkPortStateName(n.state)}
                .join(QLatin1Char('\t')));
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND(
    "ports", "ports [--json] | ports [--add URL]... [--remove URL]...",
    "list the serial ports, one line each, tab-separated: Com number (\"-\" for a USB serial device "
    "no Com number reaches), device, description, VID:PID, serial number, state (ok, busy, "
    "no-permission, missing); then the remembered network ports (\"-\", URL, \"network port\", two "
    "empty fields, state: reachable, refused, no-resolve, no-answer, error), each connected to and "
    "closed at once, 2 seconds at most; --json: a JSON array of objects with the fields com (null "
    "when none), device, description, vid_pid, serial_number, network (true for a network port), "
    "state, and error (why a network port cannot be reached, when known). --add URL remembers the "
    "network port rfc2217://HOST:PORT or tcp://HOST:PORT (IPv6 addresses in brackets) for the "
    "program's port dialog, fleet write and detect; --remove URL forgets it",
    RunPorts);

} // namespace kestrel::cli
