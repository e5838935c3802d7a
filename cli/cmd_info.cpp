// kestrel-cli info: reads the radio's identification texts (ESN, firmware and
// hardware versions) without touching anything else.
#include "cli/Command.h"
#include "cli/RadioPort.h"
#include "cli/StopSignals.h"

#include "link/CloneEngine.h"
#include "link/CloneRun.h"
#include "link/ConsolePrompter.h"
#include "link/EmbMsgText.h"
#include "ports/PortMap.h"

#include <QJsonObject>

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli info: ");
// Receive ticks one reply may wait, as the radio information view uses.
constexpr qint16 InfoTicks = 50;

// A radio's line may hold any byte: control codes are shown as \xNN so that they
// cannot steer the terminal.
QString Printable(const QString& text) {
    QString out;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            out += QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

int RunInfo(Context& ctx) {
    QStringList args = ctx.args;
    const RadioOptions options = TakeRadioOptions(args);
    const bool json = TakeJson(args);
    if (!args.isEmpty()) {
        Err(Prefix + QStringLiteral("unexpected argument \"%1\"").arg(args.first()));
        return Usage;
    }
    const std::optional<RadioPort> port =
        ResolveRadioPort(ctx.app, options, Prefix);
    if (!port)
        return Usage;
    const QString device = port->device;
    const int retries = port->retries;

    ConsolePrompter prompter(Prefix, retries);
    CloneEngine engine(ctx.app, prompter);
    UseVirtualRadios(ctx, engine);
    engine.setDevicePath(device);
    engine.setDirection(clone::Read);
    engine.setTickCountMax(InfoTicks);
    engine.setStepData(embmsg::EsnLine);
    engine.setStepExit(embmsg::HardwareLine);
    StopSignals stop;
    QObject::connect(&stop, &StopSignals::stopRequested, &engine, &CloneEngine::requestStop);
    WatchTransfer(engine, prompter);
    const CloneEngine::Outcome outcome = RunCloneToEnd(engine);
    if (outcome == CloneEngine::Outcome::Stopped) {
        Err(Prefix + QStringLiteral("stopped; the radio is unchanged."));
        return Interrupted;
    }
    if (outcome != CloneEngine::Outcome::Completed) {
        ExplainFailure(engine, options.portText, Prefix);
        return RadioError;
    }

    if (json) {
        // JSON escapes every control code itself: the texts go as the radio holds them.
        OutJson(QJsonObject{{"esn", embmsg::ReadText(ctx.app.image, embmsg::EsnLine)},
                            {"firmware", ctx.app.radioVersion[0]},
                            {"hardware", embmsg::ReadText(ctx.app.image, embmsg::HardwareLine)}});
        return Ok;
    }
    Out(QStringLiteral("ESN: ") + Printable(embmsg::ReadText(ctx.app.image, embmsg::EsnLine)));
    Out(QStringLiteral("Firmware: ") + Printable(ctx.app.radioVersion[0]));
    Out(QStringLiteral("Hardware: ") + Printable(embmsg::ReadText(ctx.app.image, embmsg::HardwareLine)));
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND("info", "info --port P [--retries N] [--json]",
                    "print the ESN, firmware and hardware versions of the radio on port P (a Com number 1-20, a "
                    "device path or a network port rfc2217://HOST:PORT or tcp://HOST:PORT); --json: a JSON object with the fields esn, firmware, hardware. --retries: how often to retry after the radio stops answering (0 by default). "
                    "Exit status 3 when the port cannot be opened or the radio does not answer",
                    RunInfo);

} // namespace kestrel::cli
