// kestrel-cli import: applies a channel list (Kestrel's own CSV or the CHIRP generic
// CSV) to an image, row by row through the same rules as a paste into the channel grid.
#include "cli/Command.h"

#include "channels/ChannelLists.h"

#include <QDir>

namespace kestrel::cli {
namespace {

int RunImport(Context& ctx) {
    QStringList args = ctx.args;
    const QString output = TakeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")});
    const QString prefix = QStringLiteral("kestrel-cli import: ");
    Language language = English;
    ListFormat format = ListFormat::Auto;
    if (!TakeLanguage(args, prefix, &language) || !TakeListFormat(args, prefix, &format))
        return Usage;
    if (args.size() != 2) {
        Err(QStringLiteral(
            "kestrel-cli import: name the image and the channel list: import FILE.dat CHANNELS.csv "
            "-o OUT.dat"));
        return Usage;
    }
    if (output.isEmpty()) {
        Err(QStringLiteral("kestrel-cli import: name the file to write with -o OUT.dat"));
        return Usage;
    }

    if (args.at(0) == QLatin1String("-") && args.at(1) == QLatin1String("-")) {
        Err(QStringLiteral("kestrel-cli import: only one of the image and the list can come from standard input (-)"));
        return Usage;
    }

    MemoryImage image;
    QString error;
    if (!CheckOutputArg(output, &error) || !LoadImageArg(image, args.at(0), &error)) {
        Err(QStringLiteral("kestrel-cli import: ") + error);
        return FileError;
    }
    const bool listOnStdin = args.at(1) == QLatin1String("-");
    ImportReport report;
    if (listOnStdin) {
        QByteArray list;
        if (!ReadInputBytes(args.at(1), MaxChannelListBytes, &list, &error)) {
            Err(QStringLiteral("kestrel-cli import: ") + error);
            return FileError;
        }
        report = ImportChannelList(image, list, format);
    } else {
        report = ImportChannelListFile(image, args.at(1), format);
    }
    const QString where = QStringLiteral("kestrel-cli import: %1")
                              .arg(listOnStdin ? StdinName() : QDir::toNativeSeparators(args.at(1)));
    for (const ListNote& note : report.notes)
        Err(where + (note.line > 0 ? QStringLiteral(" ") : QStringLiteral(": ")) + note.describe(language));
    if (report.refused()) {
        Err(QStringLiteral("kestrel-cli import: nothing written"));
        return FileError;
    }
    if (report.rowsApplied == 0 && report.count(ListNote::Skipped) > 0) {
        Err(QStringLiteral("kestrel-cli import: ") + NoChannelImported(language));
        return FileError;
    }
    if (!SaveImageArg(image, output, &error)) {
        Err(QStringLiteral("kestrel-cli import: ") + error);
        return FileError;
    }
    Err(Pick(language, "kestrel-cli import: %1, rows applied: %2, rows skipped: %3",
             "kestrel-cli import: %1，已导入 %2 行，已跳过 %3 行")
            .arg(ListFormatName(report.format))
            .arg(report.rowsApplied)
            .arg(report.count(ListNote::Skipped)));
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND(
    "import", "import FILE.dat CHANNELS.csv -o OUT.dat [--format kestrel|chirp] [--lang en|zh]",
    "apply a channel list to an image and write the result: Kestrel's own CSV (what `channels` "
    "prints; columns found by name, Group and CH required) or the CHIRP generic CSV (what "
    "`channels --format chirp` prints), found from the header unless --format names one; UTF-8, "
    "UTF-16 with byte-order mark or GB18030, cells separated by commas, semicolons or tabs. A "
    "frequency that is not one of the image's band leaves its row out, a tone that is none leaves "
    "its field; the rest is stored as if typed into the channel grid. Corrections, values not "
    "taken and rows left out are reported on stderr (in the language of --lang). A list that cannot be read, "
    "is not a channel list or is a malformed Kestrel list writes nothing (exit 2), and so does a list "
    "of which every row was left out (\"No channel was imported.\"); rows left out beside rows "
    "applied do not",
    RunImport);

} // namespace kestrel::cli
