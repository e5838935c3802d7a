#include "channels/ChannelListReport.h"

#include "core/ChannelRecord.h"

#include <algorithm>

namespace kestrel {

QString NoChannelImported(Language language) {
    return Pick(language, "No channel was imported.", "没有导入任何信道。");
}

QString ListFormatName(ListFormat format) {
    switch (format) {
    case ListFormat::Kestrel:
        return QStringLiteral("Kestrel CSV");
    case ListFormat::Chirp:
        return QStringLiteral("CHIRP CSV");
    case ListFormat::Auto:
        break;
    }
    return QString();
}

QString ListNote::describe(Language language) const {
    QString where;
    if (line > 0 && IsChannelIndex(channel))
        where = Pick(language, "line %1 (group %2, CH %3)", "第 %1 行（第 %2 组，信道 %3）")
                    .arg(line)
                    .arg(GroupIndexOfChannel(channel) + 1)
                    .arg(RowOfChannel(channel));
    else if (line > 0)
        where = Pick(language, "line %1", "第 %1 行").arg(line);
    if (!field.isEmpty())
        where += (where.isEmpty() ? QString() : Pick(language, ", ", "，")) + field(language);
    return where.isEmpty() ? text(language) : where + Pick(language, ": ", "：") + text(language);
}

bool ImportReport::refused() const {
    return count(ListNote::Refused) > 0;
}

int ImportReport::count(ListNote::Kind kind) const {
    return int(
        std::count_if(notes.begin(), notes.end(), [kind](const ListNote& n) { return n.kind == kind; }));
}

void ImportReport::add(ListNote::Kind kind, int line, int channel, const BilingualText& text,
                       const BilingualText& field) {
    notes.append({kind, line, channel, field, text});
}

void ImportReport::noteExtraCells(int line, const QStringList& cells, qsizetype width, bool& noted) {
    for (qsizetype i = width; i < cells.size() && !noted; ++i) {
        const QString cell = cells.at(i).trimmed();
        if (cell.isEmpty())
            continue;
        add(ListNote::NotTaken, line, -1,
            {QStringLiteral("cells past the header's %1 columns are ignored (the first of them: \"%2\").")
                 .arg(width)
                 .arg(Echo(cell)),
             QStringLiteral("超出标题行 %1 列的单元格已忽略（第一个：“%2”）。").arg(width).arg(Echo(cell))});
        noted = true;
    }
}

void ImportReport::addCellNote(int line, const CellNote& note) {
    ListNote::Kind kind = ListNote::NotTaken;
    switch (note.kind) {
    case CellNote::Tone:
        kind = ListNote::Corrected;
        break;
    case CellNote::RowSkipped:
    case CellNote::RowRefused:
        kind = ListNote::Skipped;
        break;
    case CellNote::ExtraCells:
    case CellNote::ToneRefused:
    case CellNote::UnknownText:
    case CellNote::NoTransmit:
    case CellNote::NoReceive:
        break;
    }
    BilingualText field;
    if (note.column > 0)
        field = {ChannelColumnHeader(note.column, English), ChannelColumnHeader(note.column, Chinese)};
    add(kind, line, note.channel, note.text(), field);
}

QStringList ImportReport::lines(Language language) const {
    QStringList out;
    for (const ListNote& n : notes)
        out << n.describe(language);
    return out;
}

QString ImportReport::text(Language language, const QString& fileName, int maxNotes) const {
    QStringList out;
    if (refused()) {
        out << Pick(language, "%1 was not imported; nothing was changed:", "未导入 %1，数据没有改动：")
                   .arg(fileName);
        int shown = 0;
        for (const ListNote& n : notes)
            if (n.kind == ListNote::Refused && shown++ < maxNotes)
                out << QStringLiteral("• ") + n.describe(language);
        if (count(ListNote::Refused) > maxNotes)
            out << Pick(language, "... and %1 more.", "……另有 %1 条。")
                       .arg(count(ListNote::Refused) - maxNotes);
        return out.join(QLatin1Char('\n'));
    }
    if (rowsApplied == 0 && count(ListNote::Skipped) > 0)
        out << NoChannelImported(language);
    out << Pick(language, "Rows applied from %1 (%2): %3", "已从 %1（%2）导入 %3 行")
               .arg(fileName, ListFormatName(format))
               .arg(rowsApplied);
    struct Section {
        ListNote::Kind kind;
        TextPair title;
    };
    const Section sections[] = {
        {ListNote::Read, {"File:", "文件："}},
        {ListNote::Corrected, {"Values corrected:", "已更正的数值："}},
        {ListNote::NotTaken,
         {"Values not taken (the field is left as it was):", "未采用的数值（该项保持不变）："}},
        {ListNote::Skipped, {"Rows skipped:", "已跳过的行："}},
        {ListNote::NotStored, {"Not kept in the radio:", "对讲机不保存的内容："}},
    };
    int shown = 0;
    int hidden = 0;
    for (const Section& s : sections) {
        if (count(s.kind) == 0)
            continue;
        if (shown >= maxNotes) {
            hidden += count(s.kind);
            continue;
        }
        out << QString() << s.title(language);
        for (const ListNote& n : notes) {
            if (n.kind != s.kind)
                continue;
            if (shown < maxNotes) {
                out << QStringLiteral("• ") + n.describe(language);
                ++shown;
            } else {
                ++hidden;
            }
        }
    }
    if (hidden > 0)
        out << Pick(language, "... and %1 more.", "……另有 %1 条。").arg(hidden);
    return out.join(QLatin1Char('\n'));
}

} // namespace kestrel
