// kestrel-cli import: applies a channel list in the CSV form of `kestrel-cli channels`
// to an image, cell by cell through the same rules as a commit in the channel grid.
#include "cli/Command.h"

#include "channels/ChannelCsv.h"

#include <QFile>

namespace kestrel::cli {
namespace {

int RunImport(Context& ctx) {
    QStringList args = ctx.args;
    bool haveLang = false;
    const QString lang = TakeOption(args, {QStringLiteral("--lang")}, &haveLang);
    const QString output = TakeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")});
    Language language = English;
    if (haveLang) {
        if (lang == QLatin1String("zh")) {
            language = Chinese;
        } else if (lang != QLatin1String("en")) {
            Err(QStringLiteral("kestrel-cli import: --lang takes en or zh"));
            return Usage;
        }
    }
    if (args.size() != 2) {
        Err(QStringLiteral("kestrel-cli import: name the image and the channel list: import FILE.dat CHANNELS.csv "
                           "-o OUT.dat"));
        return Usage;
    }
    if (output.isEmpty()) {
        Err(QStringLiteral("kestrel-cli import: name the file to write with -o OUT.dat"));
        return Usage;
    }

    MemoryImage image;
    QString error;
    if (!image.LoadImageFile(args.at(0), &error)) {
        Err(QStringLiteral("kestrel-cli import: ") + error);
        return FileError;
    }
    const QString& listName = args.at(1);
    QFile list(listName);
    if (!list.open(QIODevice::ReadOnly)) {
        Err(QStringLiteral("kestrel-cli import: cannot open %1: %2").arg(listName, list.errorString()));
        Err(QStringLiteral("kestrel-cli import: nothing written"));
        return FileError;
    }
    ChannelListReport report;
    const bool accepted = ImportChannelList(image, list.readAll(), language, &report);
    for (const QString& line : report.problems + report.corrections)
        Err(QStringLiteral("kestrel-cli import: %1 %2").arg(listName, line));
    if (!accepted) {
        Err(QStringLiteral("kestrel-cli import: nothing written"));
        return FileError;
    }

    if (!image.SaveImageFile(output, &error)) {
        Err(QStringLiteral("kestrel-cli import: ") + error);
        return FileError;
    }
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND("import", "import FILE.dat CHANNELS.csv -o OUT.dat [--lang en|zh]",
                    "apply a channel list in the form `channels` prints to an image and write the result; rows are "
                    "found by Group and CH, every non-empty cell is stored as if typed into the channel grid, an "
                    "empty RX Freq clears the channel; corrections are reported on stderr",
                    RunImport);

} // namespace kestrel::cli
