// kestrel-cli ports: the serial ports a user can name, with the device, the USB
// adapter behind it and whether it opens now.
#include "cli/Command.h"

#include "ports/PortInfo.h"
#include "ports/PortMap.h"

namespace kestrel::cli {
namespace {

int RunPorts(Context& ctx) {
    if (!ctx.args.isEmpty()) {
        Err(QStringLiteral("kestrel-cli ports: unexpected argument \"%1\"").arg(ctx.args.first()));
        return Usage;
    }
    for (const PortListing& p : ListPorts(PortSettingsFile(ctx.app))) {
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
    "ports", "ports",
    "list the serial ports, one line each, tab-separated: Com number (\"-\" for a USB serial device "
    "no Com number reaches), device, description, VID:PID, serial number, state (ok, busy, "
    "no-permission, missing)",
    RunPorts);

} // namespace kestrel::cli
