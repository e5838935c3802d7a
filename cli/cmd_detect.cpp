// kestrel-cli detect: asks every USB serial device and every device mapped to a
// Com number, all at once, whether a radio is on it.
#include "cli/Command.h"

#include "ports/PortInfo.h"
#include "ports/PortMap.h"
#include "ports/RadioProbe.h"
#include "link/VirtualRadios.h"

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli detect: ");

int RunDetect(Context& ctx) {
    if (!ctx.args.isEmpty()) {
        Err(Prefix + QStringLiteral("unexpected argument \"%1\"").arg(ctx.args.first()));
        return Usage;
    }
    const QString settings = PortSettingsFile(ctx.app);
    QStringList devices = RadioCandidates(settings);
    for (int n = 1; ctx.radios && n <= VirtualRadioCount; ++n)
        devices << VirtualRadioDevice(n);
    if (devices.isEmpty()) {
        Err(Prefix +
            QStringLiteral("no USB serial device is plugged in and no Com number is mapped to a device"));
        return RadioError;
    }
    Err(Prefix + QStringLiteral("asking %1").arg(devices.join(QStringLiteral(", "))));
    int found = 0;
    for (const ProbeResult& r : ProbeRadios(devices, English, RadioProbe::DefaultTimeoutMs, ctx.radios)) {
        if (!r.answered)
            continue;
        ++found;
        Out(QStringList{ComLabel(ComNumberOf(r.device, settings)), r.device, BandName(r.band), r.version[0],
                        r.version[1]}
                .join(QLatin1Char('\t')));
    }
    if (found == 0) {
        Err(Prefix + QStringLiteral("no radio answered"));
        return RadioError;
    }
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND(
    "detect", "detect",
    "ask every USB serial device and every device mapped to a Com number for a radio, all at "
    "once (about a second); one line per radio that answered, tab-separated: Com number (\"-\" "
    "when none reaches it), device, band, first and second version. Exit status 3 when none did",
    RunDetect);

} // namespace kestrel::cli
