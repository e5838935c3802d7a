// kestrel-cli doctor: the cable check. Says what keeps the program from the radio
// and how to mend it.
#include "cli/Command.h"

#include "ports/CableDoctor.h"
#include "ports/PortInfo.h"
#include "ports/PortMap.h"
#include "link/VirtualRadios.h"

#include <QEventLoop>

namespace kestrel::cli {
namespace {

const QString Prefix = QStringLiteral("kestrel-cli doctor: ");

int RunDoctor(Context& ctx) {
    QStringList args = ctx.args;
    bool havePort = false;
    const QString portText = TakeOption(args, {QStringLiteral("--port"), QStringLiteral("-p")}, &havePort);
    if (!args.isEmpty()) {
        Err(Prefix + QStringLiteral("unexpected argument \"%1\"").arg(args.first()));
        return Usage;
    }
    QString device, label;
    if (havePort) {
        QString error;
        device = ResolvePortArgument(portText, ctx.app, &error);
        if (device.isEmpty()) {
            Err(Prefix + error);
            return Usage;
        }
        const int com = ComNumberOf(device, PortSettingsFile(ctx.app));
        label = com > 0 ? QStringLiteral("Com %1 (%2)").arg(com).arg(device) : device;
        if (ctx.radios && VirtualRadioOfDevice(device) > 0) {
            Out(QStringLiteral(
                    "%1 is a virtual radio inside kestrel-cli (demo mode): it needs no cable and no "
                    "serial port, so there is nothing to check on it; the system is checked instead.")
                    .arg(device));
            device.clear();
            label.clear();
        }
    }

    CableDoctor doctor(English);
    QEventLoop loop;
    QObject::connect(&doctor, &CableDoctor::finished, &loop, &QEventLoop::quit);
    doctor.start(device, label);
    if (doctor.running())
        loop.exec();
    Out(FormatFindings(doctor.findings(), English));
    return int(doctor.status());
}

} // namespace

KESTREL_CLI_COMMAND(
    "doctor", "doctor [--port P]",
    "check what keeps the program from the radio, each problem with its fix: serial group "
    "membership, ModemManager and brltty, and with --port P (a Com number 1-20, a device path or a network port) "
    "whether another program holds P, whether P opens at 9600 8N1 (a network port: whether it "
    "connects) and whether a radio answers. "
    "Exit status 0 all well, 2 the port cannot be opened (without --port: nothing can be), 3 no "
    "radio answers",
    RunDoctor);

} // namespace kestrel::cli
