// kestrel-cli ports: the serial ports a user can name, with the device, the USB
// adapter behind it and whether it opens now.
#include "cli/Command.h"

#include "ports/PortInfo.h"
#include "ports/PortMap.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kestrel::cli {
namespace {

int RunPorts(Context& ctx) {
    QStringList args = ctx.args;
    const bool json = TakeJson(args);
    if (!args.isEmpty()) {
        Err(QStringLiteral("kestrel-cli ports: unexpected argument \"%1\"").arg(args.first()));
        return Usage;
    }
    const QList<PortListing> ports = ListPorts(PortSettingsFile(ctx.app));
    if (json) {
        QJsonArray list;
        for (const PortListing& p : ports)
            list << QJsonObject{{"com", p.com > 0 ? QJsonValue(p.com) : QJsonValue()},
                                {"device", p.device},
                                {"description", p.adapter.description},
                                {"vid_pid", p.adapter.vidPid},
                                {"serial_number", p.adapter.serialNumber},
                                {"state", PortStateName(p.state)}};
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
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND(
    "ports", "ports [--json]",
    "list the serial ports, one line each, tab-separated: Com number (\"-\" for a USB serial device "
    "no Com number reaches), device, description, VID:PID, serial number, state (ok, busy, "
    "no-permission, missing); --json: a JSON array of objects with the fields com (null when "
    "none), device, description, vid_pid, serial_number, state",
    RunPorts);

} // namespace kestrel::cli
