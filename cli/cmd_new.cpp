// kestrel-cli new: writes the default image of a band.
#include "cli/Command.h"

#include "core/Band.h"

namespace kestrel::cli {
namespace {

int RunNew(Context& ctx) {
    QStringList args = ctx.args;
    bool haveBand = false;
    const QString bandText = TakeOption(args, {QStringLiteral("--band"), QStringLiteral("-b")}, &haveBand);
    const QString output = TakeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")});
    if (!args.isEmpty()) {
        Err(QStringLiteral("kestrel-cli new: unexpected argument \"%1\"").arg(args.first()));
        return Usage;
    }
    if (haveBand && bandText.isEmpty()) {
        Err(QStringLiteral("kestrel-cli new: --band needs a value: 0 (136-174 MHz), 1 (400-470 MHz) or 2 "
                           "(340-400 MHz)"));
        return Usage;
    }
    bool ok = !haveBand;
    int band = 0;
    if (haveBand)
        band = bandText.toInt(&ok);
    if (!ok || band < 0 || band >= BandCount) {
        Err(QStringLiteral("kestrel-cli new: --band takes 0 (136-174 MHz), 1 (400-470 MHz) or 2 (340-400 MHz)"));
        return Usage;
    }
    if (output.isEmpty()) {
        Err(QStringLiteral("kestrel-cli new: name the file to write with -o FILE.dat"));
        return Usage;
    }
    MemoryImage image;
    QString error;
    if (!CheckOutputArg(output, &error)) {
        Err(QStringLiteral("kestrel-cli new: ") + error);
        return FileError;
    }
    if (!LoadDefaultImage(image, band, ctx.app.appFolder, &error)) {
        Err(QStringLiteral("kestrel-cli new: ") + error);
        return FileError;
    }
    if (!SaveImageArg(image, output, &error)) {
        Err(QStringLiteral("kestrel-cli new: ") + error);
        return FileError;
    }
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND("new", "new [--band 0|1|2] -o FILE.dat",
                    "write the default image of a band (0 = 136-174, 1 = 400-470, 2 = 340-400 MHz; 0 by default)",
                    RunNew);

} // namespace kestrel::cli
