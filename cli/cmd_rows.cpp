// kestrel-cli rows: the channel grid's row commands on an image file: insert, delete,
// move and sort channels across 1-128. Whole channel records move; the channel-valid
// and scan bitmaps stay as they are.
#include "cli/Command.h"

#include "channels/RowCommands.h"
#include "core/Band.h"
#include "core/ChannelRecord.h"

namespace kestrel::cli {
namespace {

// "5", "3-9", "1,4,7-8": channel numbers 1-128 as channel indexes; false on anything else.
bool ParseChannels(const QString& text, QList<int>* channels) {
    if (text.trimmed().isEmpty())
        return false;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.trimmed().split(QLatin1Char('-'));
        bool okFirst = false;
        bool okLast = false;
        const int first = ends.value(0).trimmed().toInt(&okFirst);
        const int last = ends.size() == 2 ? ends.value(1).trimmed().toInt(&okLast) : first;
        if (!okFirst || (ends.size() == 2 && !okLast) || ends.size() > 2 || first < 1 || last > ChannelCount ||
            first > last)
            return false;
        for (int n = first; n <= last; ++n)
            channels->append(n - 1);
    }
    *channels = ChannelSet(*channels);
    return true;
}

int RunRows(Context& ctx) {
    QStringList args = ctx.args;
    const QString output = TakeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")});
    const bool drop = TakeFlag(args, {QStringLiteral("--drop")});
    bool haveCount = false;
    const QString countText = TakeOption(args, {QStringLiteral("--count")}, &haveCount);
    const QStringList commands = {QStringLiteral("--insert"), QStringLiteral("--delete"), QStringLiteral("--up"),
                                  QStringLiteral("--down"), QStringLiteral("--sort")};
    QString command;
    QString list;
    for (const QString& c : commands) {
        bool found = false;
        const QString value = TakeOption(args, {c}, &found);
        if (!found)
            continue;
        if (!command.isEmpty()) {
            Err(QStringLiteral("kestrel-cli rows: give one of %1").arg(commands.join(QLatin1String(", "))));
            return Usage;
        }
        command = c;
        list = value;
    }
    if (args.size() != 1 || command.isEmpty() || output.isEmpty()) {
        Err(QStringLiteral("kestrel-cli rows: name the image, one command and the file to write: rows FILE.dat "
                           "--insert N|--delete LIST|--up LIST|--down LIST|--sort LIST -o OUT.dat"));
        return Usage;
    }
    QList<int> channels;
    if (!ParseChannels(list, &channels)) {
        Err(QStringLiteral("kestrel-cli rows: %1 takes channel numbers 1-128 such as 5, 3-9 or 1,4,7-8, not \"%2\"")
                .arg(command, list));
        return Usage;
    }
    bool countOk = !haveCount;
    const int count = haveCount ? countText.toInt(&countOk) : 1;
    if (!countOk || count < 1 || count > ChannelCount || (haveCount && command != commands[0])) {
        Err(QStringLiteral("kestrel-cli rows: --count takes 1-128 and goes with --insert"));
        return Usage;
    }

    MemoryImage image;
    QString error;
    if (!CheckOutputArg(output, &error) || !LoadImageArg(image, args.first(), &error)) {
        Err(QStringLiteral("kestrel-cli rows: ") + error);
        return FileError;
    }
    const BandLimits band = DecodeBandLimits(image);
    if (command == commands[0]) {
        const int lost = ChannelsLostByInsert(image, band, channels.first(), count);
        if (lost > 0 && !drop) {
            Err(QStringLiteral("kestrel-cli rows: inserting moves %1 channel(s) in use past channel 128; add --drop "
                               "to let them go. Nothing written.")
                    .arg(lost));
            return Usage;
        }
        InsertChannels(image, channels.first(), count);
    } else if (command == commands[1]) {
        DeleteChannels(image, channels);
    } else if (command == commands[2] || command == commands[3]) {
        if (!MoveChannels(image, channels, command == commands[2] ? -1 : 1)) {
            Err(QStringLiteral("kestrel-cli rows: the channels are already at the end of the list. Nothing written."));
            return Usage;
        }
    } else {
        SortChannelsByRx(image, band, channels);
    }
    if (!SaveImageArg(image, output, &error)) {
        Err(QStringLiteral("kestrel-cli rows: ") + error);
        return FileError;
    }
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND("rows",
                    "rows FILE.dat --insert N [--count K] [--drop] | --delete LIST | --up LIST | --down LIST | "
                    "--sort LIST -o OUT.dat",
                    "the channel grid's row commands across channels 1-128 (LIST: 5, 3-9, 1,4,7-8): insert K empty "
                    "channels at N (--drop lets channels in use fall off the end), delete channels, move them up or "
                    "down by one, sort them by RX Freq (empty ones last); whole records move, the bitmaps stay",
                    RunRows);

} // namespace kestrel::cli
