// kestrel-cli detect: asks every USB serial device, every device mapped to a Com
// number and every remembered network port, all at once, whether a radio is on it.
#include "cli/Command.h"

#include "ports/PortInfo.h"
#include "ports/NetworkPort.h"
#include "ports/PortMap.h"
#include "ports/RadioProbe.h"
#include "link/VirtualRadios.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli detect: ");

int RunDetect(Context& ctx) {
    QStringList args = ctx.args;
    const bool json = TakeJson(args);
    if (!args.isEmpty()) {
        Err(Prefix + QStringLiteral("unexpected argument \"%1\"").arg(args.first()));
        return Usage;
    }
    const QString settings = PortSettingsFile(ctx.app);
    QStringList devices = RadioCandidates(settings);
    for (int n = 1; ctx.radios && n <= VirtualRadioCount; ++n)
        devices << VirtualRadioDevice(n);
    // The remembered network ports too, asked at the same time.
    devices << RememberedNetworkPorts(SettingsStore(ctx.app.settingsKeyPath, settings));
    if (devices.isEmpty()) {
        if (json)
            OutJson(QJsonArray());
        Err(Prefix + QStringLiteral("no USB serial device is plugged in, no Com number is mapped to a device and "
                                    "no network port is remembered"));
        return RadioError;
    }
    Err(Prefix + QStringLiteral("asking %1").arg(devices.join(QStringLiteral(", "))));
    int found = 0;
    QJsonArray radios;
    for (const ProbeResult& r : ProbeRadios(devices, English, RadioProbe::DefaultTimeoutMs, ctx.radios)) {
        if (!r.answered)
            continue;
        ++found;
        const int com = ComNumberOf(r.device, settings);
        radios << QJsonObject{{"com", com > 0 ? QJsonValue(com) : QJsonValue()},
                              {"device", r.device},
                              {"band", BandName(r.band)},
                              {"version1", r.version[0]},
                              {"version2", r.version[1]}};
        if (!json)
            Out(QStringList{ComLabel(ComNumberOf(r.device, settings)), r.device, BandName(r.band), r.version[0],
                        r.version[1]}
                .join(QLatin1Char('\t')));
    }
    if (json)
        OutJson(radios);
    if (found == 0) {
        Err(Prefix + QStringLiteral("no radio answered"));
        return RadioError;
    }
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND(
    "detect", "detect [--json]",
    "ask every USB serial device, every device mapped to a Com number and every remembered "
    "network port (rfc2217://, tcp://; 2 s to connect) for a radio, all at once (about a "
    "second); one line per radio that answered, tab-separated: Com number (\"-\" "
    "when none reaches it), device, band, first and second version; --json: a JSON array of objects with the fields com (null when none), "
    "device, band, version1, version2. Exit status 3 when none did",
    RunDetect);

} // namespace kestrel::cli
