#include "channels/ChannelCsv.h"

#include "channels/ChannelCellRules.h"
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Tone.h"

#include <QHash>
#include <QList>

namespace kestrel {
namespace {

constexpr int GroupCell = 0;
constexpr int ChCell = 1;
constexpr int CellCount = 2 + LastOptionColumn; // Group, CH and the grid columns 1-16

// CSV cell of a grid column.
constexpr int CellOfColumn(int column) {
    return column + 1;
}

QStringList Header() {
    QStringList header{QStringLiteral("Group"), QStringLiteral("CH")};
    for (int c = ColRxFreq; c <= LastOptionColumn; ++c)
        header << ChannelColumnHeader(c, English);
    return header;
}

// A cell is quoted only when it holds a comma or a quote.
QString CsvCell(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
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
bool ReadRows(const QByteArray& data, QList<CsvRow>* rows, QStringList* problems) {
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QStringList header = Header();
    const auto malformed = [&](int lineNumber, const QString& why) {
        *problems << QStringLiteral("line %1: %2").arg(lineNumber).arg(why);
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
            malformed(lineNumber,
                      QStringLiteral("%1 cells where %2 are expected").arg(cells.size()).arg(CellCount));
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

// Whether the grid shows what the cell asked for: the same text, the same number
// written another way (146.52 for 146.52000, 100 for 100.0), or another text of the
// same option (both Chinese texts of an option that has two).
bool TakenAsWritten(int column, const QString& written, const QString& shown, Language language) {
    if (written == shown)
        return true;
    if (column >= ColRxFreq && column <= ColEncode) {
        bool a = false;
        bool b = false;
        const double w = written.toDouble(&a);
        const double s = shown.toDouble(&b);
        return a && b && qAbs(w - s) < 1e-9;
    }
    return ChannelOptionList(column, language).contains(written);
}

struct Importer {
    MemoryImage& image;
    BandLimits band;
    Language language;
    QStringList tones;
    QStringList& corrections;

    void note(const CsvRow& row, int column, const QString& text) {
        corrections << QStringLiteral("line %1 (group %2, CH %3), %4: %5")
                           .arg(row.lineNumber)
                           .arg(row.group)
                           .arg(row.ch)
                           .arg(ChannelColumnHeader(column, English), text);
    }

    QString written(const CsvRow& row, int column) const { return row.cells.at(CellOfColumn(column)); }

    void apply(const CsvRow& row) {
        const int channel = ChannelIndexOf(row.group - 1, row.ch);
        ChannelTexts cells = ReadChannelForDisplay(image, band, tones, language, channel);
        const auto edit = [&](int column) { return CellEdit{row.ch, column, channel, cells.cells[column]}; };

        QList<int> applied;
        const QString rx = written(row, ColRxFreq);
        CommitTextCell(image, band, language, cells, edit(ColRxFreq), rx);
        if (rx.isEmpty()) {
            for (int c = ColTxFreq; c <= LastOptionColumn; ++c)
                if (!written(row, c).isEmpty())
                    note(row, c,
                         QStringLiteral("\"%1\" ignored: the channel has no RX Freq").arg(written(row, c)));
            return;
        }
        applied << ColRxFreq;
        for (int c = ColTxFreq; c <= LastOptionColumn; ++c) {
            const QString text = written(row, c);
            if (text.isEmpty())
                continue;
            if (c == ColEncode && cells.cells[ColTxFreq].isEmpty()) {
                note(row, c, QStringLiteral("\"%1\" ignored: the channel has no TX Freq").arg(text));
                continue;
            }
            if (c == ColTxFreq)
                CommitTextCell(image, band, language, cells, edit(c), text);
            else
                CommitListCell(image, language, tones.value(0), cells, edit(c), text);
            applied << c;
        }

        // What the grid now shows, against what the list asked for.
        const ChannelTexts shown = ReadChannelForDisplay(image, band, tones, language, channel);
        for (int c : applied) {
            const QString text = written(row, c);
            const QString result = shown.cells[c];
            if (TakenAsWritten(c, text, result, language))
                continue;
            const bool outOfBand = c <= ColTxFreq && CheckFrequencyRange(band, text) != InBand;
            note(row, c,
                 QStringLiteral("\"%1\" %2 \"%3\"")
                     .arg(text,
                          outOfBand ? QStringLiteral("is out of range, stored as")
                                    : QStringLiteral("stored as"),
                          result));
        }
    }
};

} // namespace

QStringList WriteChannelList(const MemoryImage& source, Language language) {
    MemoryImage image = source;
    const BandLimits band = DecodeBandLimits(image);
    const QStringList tones = BuildToneTable(language);
    QStringList lines{Header().join(QLatin1Char(','))};
    for (int n = 0; n < ChannelCount; ++n) {
        const ChannelTexts row = ReadChannelForDisplay(image, band, tones, language, n);
        QStringList cells{QString::number(GroupIndexOfChannel(n) + 1), QString::number(RowOfChannel(n))};
        for (int c = ColRxFreq; c <= LastOptionColumn; ++c)
            cells << CsvCell(row.text(c));
        lines << cells.join(QLatin1Char(','));
    }
    return lines;
}

bool ImportChannelList(MemoryImage& image, const QByteArray& data, Language language,
                       ChannelListReport* report) {
    ChannelListReport scratch;
    ChannelListReport& r = report ? *report : scratch;
    QList<CsvRow> rows;
    if (!ReadRows(data, &rows, &r.problems))
        return false;
    Importer importer{image, DecodeBandLimits(image), language, BuildToneTable(language), r.corrections};
    for (const CsvRow& row : rows)
        importer.apply(row);
    return true;
}

} // namespace kestrel
