#include "cli/RadioPort.h"

#include "link/CloneEngine.h"
#include "ports/PortMap.h"
#include "link/VirtualRadios.h"

namespace kestrel::cli {

RadioOptions TakeRadioOptions(QStringList& args) {
    RadioOptions o;
    o.portText = TakeOption(args, {QStringLiteral("--port"), QStringLiteral("-p")}, &o.havePort);
    o.retriesText = TakeOption(args, {QStringLiteral("--retries")}, &o.haveRetries);
    return o;
}

QStringList TakeAllPorts(QStringList& args) {
    QStringList ports;
    for (;;) {
        bool found = false;
        const QString port = TakeOption(args, {QStringLiteral("--port"), QStringLiteral("-p")}, &found);
        if (!found)
            return ports;
        ports << port;
    }
}

std::optional<RadioPort> ResolveRadioPort(const AppContext& app, const RadioOptions& options, const QString& prefix) {
    const auto& [havePort, portText, haveRetries, retriesText] = options;
    RadioPort port;
    bool ok = true;
    port.retries = haveRetries ? retriesText.toInt(&ok) : 0;
    if (!ok || port.retries < 0) {
        Err(prefix + QStringLiteral("--retries takes a count of 0 or more"));
        return std::nullopt;
    }
    if (!havePort) {
        Err(prefix + QStringLiteral("name the port with --port: a Com number (1-20) or a device path"));
        return std::nullopt;
    }
    QString error;
    port.device = ResolvePortArgument(portText, app, &error);
    if (port.device.isEmpty()) {
        Err(prefix + error);
        return std::nullopt;
    }
    return port;
}

void UseVirtualRadios(const Context& ctx, CloneEngine& engine) {
    if (ctx.radios)
        engine.setTransport(ctx.radios->newLink(&engine));
}

} // namespace kestrel::cli
