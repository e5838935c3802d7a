// kestrel-cli channels: the 128 channels of an image as CSV, as the channel grid shows them.
#include "cli/Command.h"

#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/Tone.h"

namespace kestrel::cli {
namespace {

// A cell is quoted only when it holds a comma or a quote.
QString CsvCell(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

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
    // Showing cleans out-of-band records in this in-memory copy only; the file stays as it is.
    const BandLimits band = DecodeBandLimits(image);
    const QStringList tones = BuildToneTable(language);

    QStringList header{QStringLiteral("Group"), QStringLiteral("CH")};
    for (int c = ColRxFreq; c <= LastOptionColumn; ++c)
        header << ChannelColumnHeader(c, English);
    Out(header.join(QLatin1Char(',')));
    for (int n = 0; n < ChannelCount; ++n) {
        const ChannelTexts row = ReadChannelForDisplay(image, band, tones, language, n);
        QStringList cells{QString::number(GroupIndexOfChannel(n) + 1), QString::number(RowOfChannel(n))};
        for (int c = ColRxFreq; c <= LastOptionColumn; ++c)
            cells << CsvCell(row.text(c));
        Out(cells.join(QLatin1Char(',')));
    }
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND("channels", "channels FILE.dat [--lang en|zh]",
                    "print the 128 channels of an image as CSV, with the texts the channel grid shows "
                    "(English by default)",
                    RunChannels);

} // namespace kestrel::cli
