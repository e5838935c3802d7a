#include "channels/ChannelCsv.h"

#include "channels/ChannelPaste.h"
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/Tone.h"

#include <QHash>
#include <array>

namespace kestrel {

namespace {

constexpr int Absent = -1;

// Where each column of the list stands in a row.
struct Columns {
    int group = Absent;
    int ch = Absent;
    std::array<int, ChannelColumnCount> grid; // grid column 1-17 -> cell; [0] unused
    Columns() { grid.fill(Absent); }
};

bool SameName(const QString& written, const QString& name) {
    return written.compare(name, Qt::CaseInsensitive) == 0;
}

bool Names(const QString& written, const TextPair& pair) {
    return SameName(written, pair(English)) || written == pair(Chinese);
}

bool NamesColumn(const QString& written, int column) {
    return SameName(written, ChannelColumnHeader(column, English)) ||
           written == ChannelColumnHeader(column, Chinese);
}

// The column names; false with notes when a column is named twice or Group/CH is missing.
bool ReadHeader(const CsvRecord& header, Columns* columns, ImportReport& report) {
    bool ok = true;
    QStringList unknown;
    for (int i = 0; i < header.cells.size(); ++i) {
        const QString name = header.cells.at(i).trimmed();
        int* slot = nullptr;
        if (Names(name, ChannelText::GroupLabel))
            slot = &columns->group;
        else if (NamesColumn(name, 0))
            slot = &columns->ch;
        for (int c = ColRxFreq; c <= ColName && !slot; ++c)
            if (NamesColumn(name, c))
                slot = &columns->grid[c];
        if (!slot) {
            if (!name.isEmpty()) // a spreadsheet's empty columns at the end
                unknown << name;
            continue;
        }
        if (*slot != Absent) {
            report.add(ListNote::Refused, header.line, -1,
                       {QStringLiteral("column \"%1\" is given twice").arg(name),
                        QStringLiteral("“%1”列出现了两次").arg(name)});
            ok = false;
        }
        *slot = i;
    }
    if (!unknown.isEmpty()) {
        // Said once, with the first few names.
        constexpr int MaxNames = 5;
        QStringList names;
        for (const QString& name : unknown.mid(0, MaxNames))
            names << QStringLiteral("\"%1\"").arg(name);
        const QString more = unknown.size() > MaxNames ? QStringLiteral(" …") : QString();
        report.add(
            ListNote::NotStored, 0, -1,
            {QStringLiteral("columns that are no channel field are left out: %1%2")
                 .arg(names.join(QStringLiteral(", ")), more),
             QStringLiteral("以下列不是信道字段，已忽略：%1%2").arg(names.join(QStringLiteral("、")), more)});
    }
    if (columns->group == Absent || columns->ch == Absent) {
        report.add(ListNote::Refused, header.line, -1,
                   {QStringLiteral("the header needs the columns Group and CH"),
                    QStringLiteral("标题行必须有 Group 和 CH 两列")});
        ok = false;
    }
    return ok;
}

struct Row {
    int line = 0;
    int channel = 0;
    QStringList cells;
};

// Whether the grid shows a frequency as the cell asked for it: the same text or the same
// number written another way (146.52 for 146.52000).
bool TakenAsWritten(const QString& written, const QString& shown) {
    if (written == shown)
        return true;
    bool a = false;
    bool b = false;
    const double w = written.toDouble(&a);
    const double s = shown.toDouble(&b);
    return a && b && qAbs(w - s) < 1e-9;
}

} // namespace

QString CellCount(qsizetype count, const QString& rest) {
    return (count == 1 ? QStringLiteral("1 cell %1") : QStringLiteral("%1 cells %2").arg(count))
        .arg(rest);
}

QString KestrelCsvText(const MemoryImage& image, Language language) {
    MemoryImage copy = image; // showing cleans out-of-band records
    const BandLimits band = DecodeBandLimits(copy);
    const QStringList tones = BuildToneTable(language);
    QStringList header{ChannelText::GroupLabel(English), ChannelColumnHeader(0, English)};
    for (int c = ColRxFreq; c <= LastOptionColumn; ++c)
        header << ChannelColumnHeader(c, English);
    QString out = CsvLine(header) + QLatin1Char('\n');
    for (int n = 0; n < ChannelCount; ++n) {
        const ChannelTexts row = ReadChannelForDisplay(copy, band, tones, language, n);
        QStringList cells{QString::number(GroupIndexOfChannel(n) + 1), QString::number(RowOfChannel(n))};
        for (int c = ColRxFreq; c <= LastOptionColumn; ++c)
            cells << row.text(c);
        // A channel that only receives says so: an empty cell would leave TX as it was.
        if (!row.isEmpty() && row.text(ColTxFreq).isEmpty())
            cells[ColTxFreq - ColRxFreq + 2] = ChannelText::Off(language);
        out += CsvLine(cells) + QLatin1Char('\n');
    }
    return out;
}

bool IsKestrelHeader(const QStringList& header) {
    for (const QString& cell : header)
        if (Names(cell.trimmed(), ChannelText::GroupLabel) || NamesColumn(cell.trimmed(), 0))
            return true;
    return false;
}

void ReadKestrelCsv(MemoryImage& image, const QList<CsvRecord>& records, ImportReport& report) {
    report.format = ListFormat::Kestrel;
    if (records.isEmpty())
        return;
    Columns columns;
    bool ok = ReadHeader(records.first(), &columns, report);
    const qsizetype width = records.first().cells.size();

    // Every row is checked before any is applied: a list that is refused changes nothing.
    QList<Row> rows;
    QHash<int, int> lineOfChannel;
    bool extraNoted = false; // cells past the header are reported once
    for (int r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records.at(r);
        const auto refuse = [&](const BilingualText& why) {
            report.add(ListNote::Refused, record.line, -1, why);
            ok = false;
        };
        if (!record.error.isEmpty()) {
            refuse(record.error);
            continue;
        }
        if (record.cells.size() < width) {
            refuse({CellCount(record.cells.size(), QStringLiteral("where %1 are expected").arg(width)),
                    QStringLiteral("有 %1 个单元格，应为 %2 个").arg(record.cells.size()).arg(width)});
            continue;
        }
        if (columns.group == Absent || columns.ch == Absent)
            continue;
        // The header again, pasted into the list by mistake: no row.
        const int rxCell = columns.grid[ColRxFreq];
        if ((rxCell != Absent && IsColumnName(record.cells.at(rxCell), ColRxFreq)) ||
            Names(record.cells.at(columns.group).trimmed(), ChannelText::GroupLabel))
            continue;
        report.noteExtraCells(record.line, record.cells, width, extraNoted);
        bool groupOk = false;
        bool chOk = false;
        const QString groupText = record.cells.at(columns.group);
        const QString chText = record.cells.at(columns.ch);
        const int group = groupText.toInt(&groupOk);
        const int ch = chText.toInt(&chOk);
        if (!groupOk || group < 1 || group > GroupCount) {
            refuse({QStringLiteral("Group \"%1\" is not a group 1-8").arg(groupText),
                    QStringLiteral("分组“%1”不是 1-8 组").arg(groupText)});
            continue;
        }
        if (!chOk || ch < 1 || ch > RowsPerGroup) {
            refuse({QStringLiteral("CH \"%1\" is not a channel 1-16").arg(chText),
                    QStringLiteral("信道“%1”不是 1-16").arg(chText)});
            continue;
        }
        const int channel = ChannelIndexOf(group - 1, ch);
        if (lineOfChannel.contains(channel)) {
            const int first = lineOfChannel.value(channel);
            refuse(
                {QStringLiteral("group %1 CH %2 is already given on line %3").arg(group).arg(ch).arg(first),
                 QStringLiteral("第 %1 组信道 %2 已在第 %3 行给出").arg(group).arg(ch).arg(first)});
            continue;
        }
        lineOfChannel.insert(channel, record.line);
        rows.append({record.line, channel, record.cells});
    }
    if (!ok)
        return;

    const BandLimits band = DecodeBandLimits(image);
    const QStringList tones = BuildToneTable(English);
    const bool rxGiven = columns.grid[ColRxFreq] != Absent;
    const int firstColumn = rxGiven ? int(ColRxFreq) : int(ColTxFreq);
    bool namesGiven = false;
    for (const Row& row : rows) {
        const auto cellOf = [&](int column) {
            const int i = columns.grid[column];
            return i == Absent ? QString() : row.cells.at(i).trimmed();
        };
        QStringList cells;
        for (int c = firstColumn; c <= LastOptionColumn; ++c)
            cells << cellOf(c);
        namesGiven = namesGiven || !cellOf(ColName).isEmpty();
        QList<CellNote> notes;
        const RowOutcome outcome =
            CommitRowTexts(image, band, English, tones, row.channel, firstColumn, cells, &notes);
        QList<int> noted;
        for (const CellNote& n : std::as_const(notes)) {
            noted << n.column;
            report.addCellNote(row.line, n);
        }
        if (outcome.skipped || outcome.refused)
            continue;
        ++report.rowsApplied;
        // Frequencies moved onto the raster, against what the list asked for.
        const ChannelTexts shown = ReadChannelForDisplay(image, band, tones, English, row.channel);
        for (int c : {int(ColRxFreq), int(ColTxFreq)}) {
            const QString written = cellOf(c);
            if (written.isEmpty() || noted.contains(c) || TakenAsWritten(written, shown.cells[c]) ||
                (c == ColTxFreq && SaysNoTransmit(written)))
                continue;
            report.add(ListNote::Corrected, row.line, row.channel,
                       {QStringLiteral("\"%1\" stored as \"%2\"").arg(written, shown.cells[c]),
                        QStringLiteral("“%1”存为“%2”").arg(written, shown.cells[c])},
                       {ChannelColumnHeader(c, English), ChannelColumnHeader(c, Chinese)});
        }
    }
    if (namesGiven)
        report.add(ListNote::NotStored, 0, -1,
                   {QStringLiteral("channel names are not kept in the radio"),
                    QStringLiteral("对讲机不保存信道名称")});
}

} // namespace kestrel
