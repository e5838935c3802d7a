// kestrel-cli write: writes a .dat file into a radio.
#include "cli/Command.h"
#include "cli/RadioPort.h"

#include "core/Band.h"
#include "link/CloneEngine.h"
#include "link/CloneRun.h"
#include "link/ConsolePrompter.h"
#include "link/PortMap.h"
#include "link/WriteVerify.h"

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli write: ");

// Reads back what the write sent and compares it byte for byte.
int VerifyWrite(Context& ctx, CloneEngine& engine) {
    const MemoryImage sent = ctx.app.image;
    SetUpReadBack(engine, ctx.app.recvCount);
    RunCloneToEnd(engine);
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

int RunWrite(Context& ctx) {
    QStringList args = ctx.args;
    const RadioOptions options = TakeRadioOptions(args);
    const bool verify = TakeFlag(args, {QStringLiteral("--verify")});
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

    ConsolePrompter prompter(Prefix, retries);
    CloneEngine engine(ctx.app, prompter);
    engine.setDevicePath(device);
    engine.setDirection(clone::Write);
    engine.setTickCountMax(ctx.app.recvCount);
    engine.setStepData(0);
    engine.setStepExit(253);
    ShowProgressOnStderr(engine, Prefix);
    switch (RunCloneToEnd(engine)) {
    case CloneEngine::Outcome::Completed:
        Err(Prefix + QStringLiteral("wrote %1 into the radio").arg(input));
        return verify ? VerifyWrite(ctx, engine) : Ok;
    case CloneEngine::Outcome::BandMismatch:
        Err(Prefix + QStringLiteral("the radio is not a %1 MHz radio; nothing was written%2")
                         .arg(BandText(ctx.app.band.index),
                              verify ? QStringLiteral(", so there is nothing to verify") : QString()));
        return BandMismatch;
    default:
        return RadioError;
    }
}

} // namespace

KESTREL_CLI_COMMAND("write", "write --port P FILE.dat [--retries N] [--verify]",
                    "write FILE.dat into the radio on port P (a Com number 1-20 or a device path); nothing is "
                    "written when the radio's band differs from the file's (exit status 4). --verify: then read "
                    "back every line written and compare; exit status 5 when the radio holds different data "
                    "(the differences on stderr). --retries: how often "
                    "to retry after the radio stops answering (0 by default). Exit status 3 when the port cannot "
                    "be opened or the radio does not answer (also while it is read back)",
                    RunWrite);

} // namespace kestrel::cli
