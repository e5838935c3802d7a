// kestrel-cli write: writes a .dat file into a radio.
#include "cli/Command.h"
#include "cli/RadioPort.h"

#include "core/Band.h"
#include "link/CloneEngine.h"
#include "link/CloneRun.h"
#include "link/ConsolePrompter.h"
#include "link/PortMap.h"

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli write: ");

int RunWrite(Context& ctx) {
    QStringList args = ctx.args;
    const RadioOptions options = TakeRadioOptions(args);
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
        return Ok;
    case CloneEngine::Outcome::BandMismatch:
        Err(Prefix + QStringLiteral("the radio is not a %1 MHz radio; nothing was written")
                         .arg(BandText(ctx.app.band.index)));
        return BandMismatch;
    default:
        return RadioError;
    }
}

} // namespace

KESTREL_CLI_COMMAND("write", "write --port P FILE.dat [--retries N]",
                    "write FILE.dat into the radio on port P (a Com number 1-20 or a device path); nothing is "
                    "written when the radio's band differs from the file's (exit status 4). --retries: how often "
                    "to retry after the radio stops answering (0 by default). Exit status 3 when the port cannot "
                    "be opened or the radio does not answer",
                    RunWrite);

} // namespace kestrel::cli
