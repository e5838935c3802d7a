#include "cli/RadioPort.h"

#include "link/CloneEngine.h"
#include "ports/NetworkPort.h"
#include "ports/PortMap.h"
#include "link/VirtualRadios.h"
#include "link/ConsolePrompter.h"

#include <QFileInfo>

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
        Err(prefix + QStringLiteral("name the port with --port: a Com number (1-20), a device path or a network port (rfc2217://HOST:PORT, tcp://HOST:PORT)"));
        return std::nullopt;
    }
    QString error;
    port.device = ResolvePortArgument(portText, app, &error);
    if (port.device.isEmpty()) {
        Err(prefix + error);
        return std::nullopt;
    }
    if (QFileInfo(port.device).isFile()) {
        Err(prefix + QStringLiteral("%1 is a regular file, not a serial port. kestrel-cli ports lists the serial "
                                    "ports of this computer.")
                         .arg(port.device));
        return std::nullopt;
    }
    return port;
}

void UseVirtualRadios(const Context& ctx, CloneEngine& engine) {
    if (ctx.radios)
        engine.setTransport(ctx.radios->newLink(&engine));
}

void WatchTransfer(CloneEngine& engine, ConsolePrompter& prompter) {
    QObject::connect(&engine, &CloneEngine::CloneError, &engine, [&engine, &prompter] {
        if (!engine.lostError().isEmpty() && IsNetworkPortName(engine.portDevice())) {
            prompter.setNote(engine.lostError()); // "The connection to HOST:PORT was lost."
            return;
        }
        const char* stage = engine.direction() == clone::Write    ? "writing"
                            : engine.direction() == clone::Verify ? "reading back"
                                                                  : "reading";
        prompter.setNote(engine.framesDone() == 0 && engine.radioBand() < 0
                             ? QStringLiteral("The radio did not answer the handshake (%1).").arg(QLatin1String(stage))
                             : QStringLiteral("The radio stopped answering after %1 of %2 frames (%3).")
                                   .arg(engine.framesDone())
                                   .arg(engine.frameCount())
                                   .arg(QLatin1String(stage)));
    });
}

void ExplainFailure(const CloneEngine& engine, const QString& portText, const QString& prefix) {
    if (engine.outcome() == CloneEngine::Outcome::StartFailed && IsNetworkPortName(engine.portDevice()))
        Err(prefix + QStringLiteral("Check that the serial server runs there and serves this port; kestrel-cli "
                                    "doctor --port %1 looks for the cause.")
                         .arg(portText));
    else if (engine.outcome() == CloneEngine::Outcome::StartFailed && !QFileInfo::exists(engine.portDevice()))
        Err(prefix + QStringLiteral("No such port on this computer: kestrel-cli ports lists the serial ports "
                                    "there are."));
    else if (engine.outcome() == CloneEngine::Outcome::Failed && !engine.lostError().isEmpty() &&
             IsNetworkPortName(engine.portDevice()))
        Err(prefix + QStringLiteral("Check that the serial server still runs and can be reached, then try "
                                    "again; kestrel-cli doctor --port %1 looks for the cause.")
                         .arg(portText));
    else if (engine.outcome() == CloneEngine::Outcome::Failed)
        Err(prefix + QStringLiteral("Check the cable and that the radio is switched on, then try again; "
                                    "kestrel-cli doctor --port %1 looks for the cause.")
                         .arg(portText));
}

} // namespace kestrel::cli
