// kestrel-cli write: writes a .dat file into a radio.
#include "cli/Command.h"
#include "cli/RadioPort.h"
#include "cli/StopSignals.h"
#include "cli/WriteFleet.h"

#include "core/Band.h"
#include "link/CloneEngine.h"
#include "link/CloneRun.h"
#include "link/ConsolePrompter.h"
#include "fleet/FleetWrite.h"
#include "ports/PortInfo.h"
#include "ports/PortMap.h"
#include "link/VirtualRadios.h"
#include "link/WriteVerify.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli write: ");

// Reads back what the write sent and compares it byte for byte.
int VerifyWrite(Context& ctx, CloneEngine& engine, const StopSignals& stop) {
    const MemoryImage sent = ctx.app.image;
    SetUpReadBack(engine, ctx.app.recvCount);
    if (stop.received() || RunCloneToEnd(engine) == CloneEngine::Outcome::Stopped) {
        Err(Prefix + StoppedTransferText(engine, English));
        return Interrupted;
    }
    const VerifyResult result = CheckReadBack(engine, sent, English);
    switch (result.status) {
    case VerifyResult::Status::Matched:
        Err(Prefix + QStringLiteral("read it back: the radio holds every byte that was written"));
        return Ok;
    case VerifyResult::Status::Differs:
        Err(Prefix + VerifyFailedText(result.differences, English));
        return VerifyFailed;
    case VerifyResult::Status::NotVerified:
        break;
    }
    Err(Prefix + QStringLiteral("the radio stopped answering while it was read back; the write is not verified"));
    return RadioError;
}

// The log line of a single write: what the transfer and its read-back came to.
void LogSingleWrite(const QString& logFile, const QString& port, const QString& device, const QString& input,
                    const AppContext& app, const CloneEngine& engine, bool verify, int status) {
    FleetLogEntry e;
    e.time = QDateTime::currentDateTime();
    e.port = port;
    e.device = device;
    e.usbSerial = AdapterOfDevice(device).serialNumber;
    e.band = engine.radioBand() >= 0 ? BandText(engine.radioBand()) : QString();
    e.version1 = app.radioVersion[0];
    e.version2 = app.radioVersion[1];
    e.image = QFileInfo(input).fileName();
    e.sha256 = QString::fromLatin1(QCryptographicHash::hash(app.image.bytes(), QCryptographicHash::Sha256).toHex());
    e.verify = !verify ? QStringLiteral("off") : status == Ok ? QStringLiteral("ok") : QStringLiteral("failed");
    FleetOutcome outcome = FleetOutcome::NoAnswer;
    if (status == Ok)
        outcome = FleetOutcome::Ok;
    else if (status == BandMismatch)
        outcome = FleetOutcome::BandMismatch;
    else if (status == VerifyFailed)
        outcome = FleetOutcome::VerifyFailed;
    else if (status == Interrupted)
        outcome = FleetOutcome::Stopped;
    else if (engine.outcome() == CloneEngine::Outcome::StartFailed)
        outcome = FleetOutcome::PortError;
    e.outcome = FleetOutcomeName(outcome);
    QString error;
    if (!AppendFleetLog(logFile, e, &error))
        Err(Prefix + error);
}

int RunWrite(Context& ctx) {
    QStringList args = ctx.args;
    const QStringList ports = TakeAllPorts(args);
    RadioOptions options = TakeRadioOptions(args); // --retries; the ports are taken already
    if (ports.size() == 1) {
        options.havePort = true;
        options.portText = ports.first();
    }
    const bool verify = TakeFlag(args, {QStringLiteral("--verify")});
    const bool json = TakeJson(args);
    bool haveLog = false;
    const QString logFile = TakeOption(args, {QStringLiteral("--log")}, &haveLog);
    if (haveLog && (logFile.isEmpty() || logFile == QLatin1String("-"))) {
        Err(Prefix + QStringLiteral("--log takes the name of the log file"));
        return Usage;
    }
    bool havePerRadio = false;
    const QString perRadio = TakeOption(args, {QStringLiteral("--per-radio")}, &havePerRadio);
    if (havePerRadio && (perRadio.isEmpty() || perRadio == QLatin1String("-"))) {
        Err(Prefix + QStringLiteral("--per-radio takes the name of the table of per-radio values"));
        return Usage;
    }
    if (args.isEmpty()) {
        Err(Prefix + QStringLiteral("name the .dat file to write"));
        return Usage;
    }
    for (int i = 0; i < args.size(); ++i) {
        // One file name; any option left over is not one of ours.
        if (i > 0 || args[i].startsWith(QLatin1Char('-'))) {
            Err(Prefix + QStringLiteral("unexpected argument \"%1\"").arg(args[i]));
            return Usage;
        }
    }
    if (havePerRadio && ports.isEmpty()) {
        Err(Prefix + QStringLiteral("--per-radio goes with --port: name the port of every radio"));
        return Usage;
    }
    if (ports.size() > 1 || (havePerRadio && !ports.isEmpty())) {
        FleetCliOptions fleet;
        fleet.ports = ports;
        fleet.retriesText = options.haveRetries ? options.retriesText : QStringLiteral("0");
        fleet.verify = verify;
        fleet.logFile = haveLog ? logFile : ctx.radios ? ctx.radios->fleetLogFile() : DefaultFleetLogFile();
        fleet.input = args.first();
        fleet.json = json;
        fleet.perRadio = perRadio;
        return RunFleetWrite(ctx, fleet);
    }
    if (json) {
        Err(Prefix + QStringLiteral("--json goes with a fleet write (two or more --port): a single write prints "
                                    "nothing on standard output"));
        return Usage;
    }
    const std::optional<RadioPort> port =
        ResolveRadioPort(ctx.app, options, Prefix);
    if (!port)
        return Usage;
    const QString device = port->device;
    const int retries = port->retries;
    QString error;
    const QString input = args.first();
    if (!ctx.app.image.LoadImageFile(input, &error)) {
        Err(Prefix + error);
        return FileError;
    }
    // The file's band limits say which band the radio must be.
    ctx.app.band = DecodeBandLimits(ctx.app.image);
    // A log that cannot be written is found before the radio is.
    if (haveLog && !PrepareFleetLog(logFile, &error)) {
        Err(Prefix + error);
        return FileError;
    }

    ConsolePrompter prompter(Prefix, retries);
    CloneEngine engine(ctx.app, prompter);
    UseVirtualRadios(ctx, engine);
    engine.setDevicePath(device);
    engine.setDirection(clone::Write);
    engine.setTickCountMax(ctx.app.recvCount);
    engine.setStepData(0);
    engine.setStepExit(253);
    ShowProgressOnStderr(engine, Prefix);
    StopSignals stop;
    QObject::connect(&stop, &StopSignals::stopRequested, &engine, &CloneEngine::requestStop);
    WatchTransfer(engine, prompter);
    int status = RadioError;
    switch (RunCloneToEnd(engine)) {
    case CloneEngine::Outcome::Completed:
        Err(Prefix + QStringLiteral("wrote %1 into the radio").arg(input));
        status = verify ? VerifyWrite(ctx, engine, stop) : Ok;
        break;
    case CloneEngine::Outcome::Stopped:
        Err(Prefix + StoppedTransferText(engine, English));
        status = Interrupted;
        break;
    case CloneEngine::Outcome::BandMismatch:
        Err(Prefix + QStringLiteral("the radio is not a %1 MHz radio; nothing was written%2")
                         .arg(BandText(ctx.app.band.index),
                              verify ? QStringLiteral(", so there is nothing to verify") : QString()));
        status = BandMismatch;
        break;
    default:
        ExplainFailure(engine, options.portText, Prefix);
        break;
    }
    if (haveLog)
        LogSingleWrite(logFile, options.portText, device, input, ctx.app, engine, verify, status);
    return status;
}

} // namespace

KESTREL_CLI_COMMAND("write",
                    "write --port P [--port P2 ...] FILE.dat [--per-radio TABLE.csv] [--retries N] [--verify] "
                    "[--log FILE] [--json]",
                    "write FILE.dat into the radio on port P (a Com number 1-20, a device path or a network port "
                    "rfc2217://HOST:PORT or tcp://HOST:PORT); nothing is "
                    "written when the radio's band differs from the file's (exit status 4). --verify: then read "
                    "back every line written and compare; exit status 5 when the radio holds different data "
                    "(the differences on stderr). --retries: how often "
                    "to retry after the radio stops answering (0 by default). Exit status 3 when the port cannot "
                    "be opened or the radio does not answer (also while it is read back). "
                    "Two or more --port: a fleet write into every radio at once, progress per port on stderr, one "
                    "line per port on stdout (port, outcome, band, versions, tab-separated; with --json a JSON "
                    "array of objects with the fields port, outcome, band, version1, version2), one line per radio "
                    "in the audit log (fleet-log.csv in the data folder, or --log FILE); exit status 0 when every "
                    "radio succeeded, else the highest of the failing ports' statuses. "
                    "--log with one --port: also log the single write. "
                    "--per-radio TABLE.csv: each radio gets FILE.dat with its own values from the table (a key "
                    "column port or esn, one column per field path of kestrel-cli fields); every value is checked "
                    "first and any bad cell, or with port a radio without a row or a row without a radio, writes "
                    "nothing (exit status 2); with esn each radio's ESN is read first and a radio without a row "
                    "is not written (outcome no-row, exit status 3)",
                    RunWrite);

} // namespace kestrel::cli
