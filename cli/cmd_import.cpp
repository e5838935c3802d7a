// kestrel-cli import: applies a channel list in the CSV form of `kestrel-cli channels`
// to an image, row by row through the same rules as a paste into the channel grid.
#include "cli/Command.h"

#include "channels/ChannelPaste.h"
#include "core/Band.h"
#include "core/Frequency.h"
#include "core/ChannelRecord.h"
#include "core/Tone.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QSet>

namespace kestrel::cli {
namespace {

constexpr int GroupCell = 0;
constexpr int ChCell = 1;
constexpr int CellCount = 2 + LastOptionColumn; // Group, CH and the grid columns 1-16

// Grid column of a CSV cell and back.
constexpr int ColumnOfCell(int cell) { return cell - 1; }
constexpr int CellOfColumn(int column) { return column + 1; }

QStringList ExpectedHeader() {
    QStringList header{QStringLiteral("Group"), QStringLiteral("CH")};
    for (int c = ColRxFreq; c <= LastOptionColumn; ++c)
        header << ChannelColumnHeader(c, English);
    return header;
}

// Splits one CSV line: cells separated by commas, a cell in double quotes may hold
// commas and doubled quotes. False with `why` for an unterminated or misplaced quote.
bool SplitCsvLine(const QString& line, QStringList* cells, QString* why) {
    cells->clear();
    QString cell;
    int i = 0;
    const int n = int(line.size());
    while (true) {
        cell.clear();
        if (i < n && line.at(i) == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = line.at(i++);
                if (c != QLatin1Char('"')) {
                    cell += c;
                } else if (i < n && line.at(i) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    closed = true;
                    break;
                }
            }
            if (!closed) {
                *why = QStringLiteral("a quoted cell is not closed");
                return false;
            }
            if (i < n && line.at(i) != QLatin1Char(',')) {
                *why = QStringLiteral("text follows the closing quote of cell %1").arg(cells->size() + 1);
                return false;
            }
        } else {
            while (i < n && line.at(i) != QLatin1Char(','))
                cell += line.at(i++);
        }
        cells->append(cell.trimmed());
        if (i >= n)
            return true;
        ++i; // the comma
    }
}

struct CsvRow {
    int lineNumber = 0;
    int group = 1; // 1-8
    int ch = 1;    // 1-16
    QStringList cells;
};

// Reads the whole list; every malformed line is reported and makes the result false.
bool ReadChannelList(const QString& fileName, QList<CsvRow>* rows) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Err(QStringLiteral("kestrel-cli import: cannot open %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QStringList header = ExpectedHeader();
    const auto malformed = [&](int lineNumber, const QString& why) {
        Err(QStringLiteral("kestrel-cli import: %1 line %2: %3").arg(fileName).arg(lineNumber).arg(why));
    };

    bool ok = true;
    bool headerSeen = false;
    QHash<int, int> lineOfChannel;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int lineNumber = i + 1;
        if (line.trimmed().isEmpty())
            continue;
        QStringList cells;
        QString why;
        if (!SplitCsvLine(line, &cells, &why)) {
            malformed(lineNumber, why);
            ok = false;
            continue;
        }
        if (!headerSeen) {
            headerSeen = true;
            if (cells != header) {
                malformed(lineNumber, QStringLiteral("the first line must be the header \"%1\"")
                                          .arg(header.join(QLatin1Char(','))));
                ok = false;
            }
            continue;
        }
        if (cells.size() != CellCount) {
            malformed(lineNumber, QStringLiteral("%1 cells where %2 are expected").arg(cells.size()).arg(CellCount));
            ok = false;
            continue;
        }
        bool groupOk = false;
        bool chOk = false;
        CsvRow row{lineNumber, cells.at(GroupCell).toInt(&groupOk), cells.at(ChCell).toInt(&chOk), cells};
        if (!groupOk || row.group < 1 || row.group > GroupCount) {
            malformed(lineNumber, QStringLiteral("Group \"%1\" is not a group 1-8").arg(cells.at(GroupCell)));
            ok = false;
            continue;
        }
        if (!chOk || row.ch < 1 || row.ch > RowsPerGroup) {
            malformed(lineNumber, QStringLiteral("CH \"%1\" is not a channel 1-16").arg(cells.at(ChCell)));
            ok = false;
            continue;
        }
        const int channel = ChannelIndexOf(row.group - 1, row.ch);
        if (lineOfChannel.contains(channel)) {
            malformed(lineNumber, QStringLiteral("group %1 CH %2 is already given on line %3")
                                      .arg(row.group)
                                      .arg(row.ch)
                                      .arg(lineOfChannel.value(channel)));
            ok = false;
            continue;
        }
        lineOfChannel.insert(channel, lineNumber);
        rows->append(row);
    }
    if (!headerSeen) {
        malformed(1, QStringLiteral("the header line is missing"));
        ok = false;
    }
    return ok;
}

// Whether the grid shows a frequency as the cell asked for it: the same text or the same
// number written another way (146.52 for 146.52000). Tones and options say themselves
// when they were not taken as written.
bool TakenAsWritten(const QString& written, const QString& shown) {
    if (written == shown)
        return true;
    bool a = false;
    bool b = false;
    const double w = written.toDouble(&a);
    const double s = shown.toDouble(&b);
    return a && b && qAbs(w - s) < 1e-9;
}

struct Importer {
    MemoryImage& image;
    BandLimits band;
    Language language;
    QStringList tones;
    const QString& fileName;

    void note(const CsvRow& row, int column, const QString& text) {
        const QString where = column > 0 ? QStringLiteral(", ") + ChannelColumnHeader(column, English) : QString();
        Err(QStringLiteral("kestrel-cli import: %1 line %2 (group %3, CH %4)%5: %6")
                .arg(fileName)
                .arg(row.lineNumber)
                .arg(row.group)
                .arg(row.ch)
                .arg(where, text));
    }

    QString written(const CsvRow& row, int column) const { return row.cells.at(CellOfColumn(column)); }

    void apply(const CsvRow& row) {
        const int channel = ChannelIndexOf(row.group - 1, row.ch);
        QList<CellNote> notes;
        CommitRowTexts(image, band, language, tones, channel, ColRxFreq,
                       row.cells.mid(CellOfColumn(ColRxFreq), LastOptionColumn), &notes);
        QSet<int> noted;
        for (const CellNote& n : notes) {
            noted << n.column;
            note(row, n.column, n.text()(English));
        }
        // Frequencies moved onto the raster, against what the list asked for.
        const ChannelTexts shown = ReadChannelForDisplay(image, band, tones, language, channel);
        for (int c : {int(ColRxFreq), int(ColTxFreq)}) {
            const QString text = written(row, c);
            if (text.isEmpty() || noted.contains(c) || TakenAsWritten(text, shown.cells[c]))
                continue;
            note(row, c, QStringLiteral("\"%1\" stored as \"%2\"").arg(text, shown.cells[c]));
        }
    }
};

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
    QList<CsvRow> rows;
    if (!ReadChannelList(args.at(1), &rows)) {
        Err(QStringLiteral("kestrel-cli import: nothing written"));
        return FileError;
    }

    Importer importer{image, DecodeBandLimits(image), language, BuildToneTable(language), args.at(1)};
    for (const CsvRow& row : rows)
        importer.apply(row);

    if (!image.SaveImageFile(output, &error)) {
        Err(QStringLiteral("kestrel-cli import: ") + error);
        return FileError;
    }
    return Ok;
}

} // namespace

KESTREL_CLI_COMMAND("import", "import FILE.dat CHANNELS.csv -o OUT.dat [--lang en|zh]",
                    "apply a channel list in the form `channels` prints to an image and write the result; rows are "
                    "found by Group and CH, every non-empty cell is stored as if typed into the channel grid (option "
                    "texts in either language, tones only from the tone table), an empty RX Freq clears the channel; "
                    "corrections are reported on stderr",
                    RunImport);

} // namespace kestrel::cli
