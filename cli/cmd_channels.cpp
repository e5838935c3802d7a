// kestrel-cli channels: the 128 channels of an image as CSV, as the channel grid shows them.
#include "cli/Command.h"

#include "channels/ChannelCsv.h"

namespace kestrel::cli {
namespace {

int RunChannels(Context& ctx) {
    QStringList args = ctx.args;
    bool haveLang = false;
    const QString lang = TakeOption(args, {QStringLiteral("--lang")}, &haveLang);
    Language language = English;
    if (haveLang) {
        if (lang == QLatin1String("zh"))
            language = Chinese;
        else if (lang != QLatin1String("en")) {
            Err(QStringLiteral("kestrel-cli channels: --lang takes en or zh"));
            return Usage;
        }
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        Err(args.isEmpty() ? QStringLiteral("kestrel-cli channels: name the image to show: channels FILE.dat")
                           : QStringLiteral("kestrel-cli channels: unexpected argument \"%1\"").arg(args.last()));
        return Usage;
    }
    MemoryImage image;
    QString error;
    if (!image.LoadImageFile(args.first(), &error)) {
        Err(QStringLiteral("kestrel-cli channels: ") + error);
        return FileError;
    }
    // Showing cleans out-of-band records in an in-memory copy only; the file stays as it is.
    for (const QString& line : WriteChannelList(image, language))
        Out(line);
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND("channels", "channels FILE.dat [--lang en|zh]",
                    "print the 128 channels of an image as CSV, with the texts the channel grid shows "
                    "(English by default)",
                    RunChannels);

} // namespace kestrel::cli
