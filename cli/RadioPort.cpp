#include "cli/RadioPort.h"

#include "link/PortMap.h"

namespace kestrel::cli {

std::optional<RadioPort> ResolveRadioPort(const AppContext& app, bool havePort, const QString& portText,
                                          bool haveRetries, const QString& retriesText, const QString& prefix) {
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

} // namespace kestrel::cli
