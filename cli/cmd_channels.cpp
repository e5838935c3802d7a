// kestrel-cli channels: the channels of an image as a channel list: Kestrel's own CSV
// (the 128 rows as the channel grid shows them) or the CHIRP generic CSV.
#include "cli/Command.h"

#include "channels/ChannelLists.h"
#include "channels/CsvText.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kestrel::cli {
namespace {

int RunChannels(Context& ctx) {
    QStringList args = ctx.args;
    const QString prefix = QStringLiteral("kestrel-cli channels: ");
    Language language = English;
    ListFormat format = ListFormat::Kestrel;
    const bool json = TakeJson(args);
    if (!TakeLanguage(args, prefix, &language) || !TakeListFormat(args, prefix, &format))
        return Usage;
    if (args.size() != 1 || (args.first().startsWith(QLatin1Char('-')) && args.first() != QLatin1String("-"))) {
        Err(args.isEmpty()
                ? QStringLiteral("kestrel-cli channels: name the image to show: channels FILE.dat")
                : QStringLiteral("kestrel-cli channels: unexpected argument \"%1\"").arg(args.last()));
        return Usage;
    }
    MemoryImage image;
    QString error;
    if (!LoadImageArg(image, args.first(), &error)) {
        Err(QStringLiteral("kestrel-cli channels: ") + error);
        return FileError;
    }
    // Showing cleans out-of-band records in the program's copy only; the file stays as it is.
    if (json) {
        // The grid's English column texts name the fields; the values are the cells.
        const QList<CsvRecord> header = ReadCsvRecords(QString::fromUtf8(ExportChannelList(image, format, English)));
        const QList<CsvRecord> rows = ReadCsvRecords(QString::fromUtf8(ExportChannelList(image, format, language)));
        QJsonArray list;
        for (int r = 1; r < rows.size(); ++r) {
            QJsonObject channel;
            for (int c = 0; c < rows[r].cells.size() && c < header.value(0).cells.size(); ++c)
                channel.insert(header[0].cells[c], rows[r].cells[c]);
            list << channel;
        }
        OutJson(list);
        return Ok;
    }
    const QByteArray list = ExportChannelList(image, format, language);
    WriteStdout(list);
    for (const BilingualText& lost : ExportNotes(image, format))
        Err(QStringLiteral("kestrel-cli channels: ") + lost(language));
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND(
    "channels", "channels FILE.dat|- [--format kestrel|chirp] [--lang en|zh] [--json]",
    "print the channels of an image as a channel list: Kestrel's own CSV by default (the 128 "
    "channels with the texts the channel grid shows, English unless --lang zh), or with --format "
    "chirp the CHIRP generic CSV (a row per channel in use, CR LF line ends), which `import` and "
    "other programs read. A channel that only receives has \"Off\" in TX Freq; what the CHIRP "
    "format cannot keep (TX of a channel with TX inhibit on) is said on stderr, a line per channel; "
    "--json: a JSON array with an object per row, the column names as field "
    "names (always the English ones), the cells as text values",
    RunChannels);

} // namespace kestrel::cli
