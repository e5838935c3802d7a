// kestrel-cli channels: the channels of an image as a channel list: Kestrel's own CSV
// (the 128 rows as the channel grid shows them) or the CHIRP generic CSV.
#include "cli/Command.h"

#include "channels/ChannelLists.h"

#include <cstdio>

namespace kestrel::cli {
namespace {

int RunChannels(Context& ctx) {
    QStringList args = ctx.args;
    const QString prefix = QStringLiteral("kestrel-cli channels: ");
    Language language = English;
    ListFormat format = ListFormat::Kestrel;
    if (!TakeLanguage(args, prefix, &language) || !TakeListFormat(args, prefix, &format))
        return Usage;
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        Err(args.isEmpty()
                ? QStringLiteral("kestrel-cli channels: name the image to show: channels FILE.dat")
                : QStringLiteral("kestrel-cli channels: unexpected argument \"%1\"").arg(args.last()));
        return Usage;
    }
    MemoryImage image;
    QString error;
    if (!image.LoadImageFile(args.first(), &error)) {
        Err(QStringLiteral("kestrel-cli channels: ") + error);
        return FileError;
    }
    // Showing cleans out-of-band records in the program's copy only; the file stays as it is.
    const QByteArray list = ExportChannelList(image, format, language);
    std::fwrite(list.constData(), 1, size_t(list.size()), stdout);
    std::fflush(stdout);
    for (const BilingualText& lost : ExportNotes(image, format))
        Err(QStringLiteral("kestrel-cli channels: ") + lost(language));
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND(
    "channels", "channels FILE.dat [--format kestrel|chirp] [--lang en|zh]",
    "print the channels of an image as a channel list: Kestrel's own CSV by default (the 128 "
    "channels with the texts the channel grid shows, English unless --lang zh), or with --format "
    "chirp the CHIRP generic CSV (a row per channel in use, CR LF line ends), which `import` and "
    "other programs read. A channel that only receives has \"Off\" in TX Freq; what the CHIRP "
    "format cannot keep (TX of a channel with TX inhibit on) is said on stderr, a line per channel",
    RunChannels);

} // namespace kestrel::cli
