// kestrel-cli read: reads a radio into a .dat file.
#include "cli/Command.h"
#include "cli/RadioPort.h"
#include "cli/StopSignals.h"

#include "core/Backup.h"
#include "core/Band.h"
#include "link/CloneEngine.h"
#include "link/CloneRun.h"
#include "link/ConsolePrompter.h"
#include "ports/PortMap.h"

#include <QDir>
#include <QFileInfo>

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli read: ");

int RunRead(Context& ctx) {
    QStringList args = ctx.args;
    const RadioOptions options = TakeRadioOptions(args);
    const QString output = TakeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")});
    // A demo run keeps no backups of its virtual radios.
    const bool backup = !TakeFlag(args, {QStringLiteral("--no-backup")}) && !ctx.radios;
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
    QString error;
    if (output.isEmpty()) {
        Err(Prefix + QStringLiteral("name the file to write with -o FILE.dat"));
        return Usage;
    }
    // Before the transfer: a read that cannot be kept is not worth its minutes.
    const bool toStdout = output == QLatin1String("-");
    if (!toStdout && !MemoryImage::CanSaveImageFile(output, &error)) {
        Err(Prefix + error);
        return FileError;
    }

    ConsolePrompter prompter(Prefix, retries);
    CloneEngine engine(ctx.app, prompter);
    UseVirtualRadios(ctx, engine);
    engine.setDevicePath(device);
    engine.setDirection(clone::Read);
    engine.setTickCountMax(ctx.app.recvCount);
    engine.setStepData(0);
    engine.setStepExit(253);
    ShowProgressOnStderr(engine, Prefix);
    StopSignals stop;
    QObject::connect(&stop, &StopSignals::stopRequested, &engine, &CloneEngine::requestStop);
    WatchTransfer(engine, prompter);
    const CloneEngine::Outcome outcome = RunCloneToEnd(engine);
    if (outcome == CloneEngine::Outcome::Stopped) {
        Err(Prefix + StoppedTransferText(engine, English));
        return Interrupted;
    }
    if (outcome != CloneEngine::Outcome::Completed) {
        ExplainFailure(engine, options.portText, Prefix);
        return RadioError;
    }

    // The radio gives lines 0-253 (0x0000-0x0FDF); the rest of the file is the
    // default image of the radio's band.
    MemoryImage file;
    const int band = engine.radioBand() < 0 ? 0 : engine.radioBand();
    if (!ReadResultImage(ctx.app.image, band, ctx.app.appFolder, &file, &error)) {
        Err(Prefix + error);
        return FileError;
    }
    // The backup comes first: whatever happens to the output, the radio's contents are kept.
    if (backup)
        Err(Prefix + BackupReport(WriteBackup(file, band, ctx.app.backupFolder, ctx.app.backupDays), English));
    if (!SaveImageArg(file, output, &error)) {
        Err(Prefix + error);
        return FileError;
    }
    Err(Prefix + QStringLiteral("read the radio (%1 MHz, version %2 / %3) into %4")
                     .arg(BandText(band), ctx.app.radioVersion[0], ctx.app.radioVersion[1],
                          toStdout ? QStringLiteral("standard output") : output));
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND("read", "read --port P -o FILE.dat [--retries N] [--no-backup]",
                    "read the radio on port P (a Com number 1-20, a device path or a network port "
                    "rfc2217://HOST:PORT or tcp://HOST:PORT) into FILE.dat; the file is "
                    "written only after a complete read. Every complete read also leaves a copy in the backup "
                    "folder (not with --no-backup); a backup that cannot be written is reported and does not "
                    "fail the read. --retries: how often to retry after the radio stops "
                    "answering (0 by default). Exit status 3 when the port cannot be opened or the radio does "
                    "not answer",
                    RunRead);

} // namespace kestrel::cli
