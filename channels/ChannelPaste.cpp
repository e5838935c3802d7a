#include "channels/ChannelPaste.h"

#include "channels/ChannelCellRules.h"
#include "core/Tone.h"

namespace kestrel {

namespace {

QString Quoted(const QString& text) { return QStringLiteral("\"%1\"").arg(text); }
QString QuotedZh(const QString& text) { return QStringLiteral("“%1”").arg(text); }

// A decimal comma, as a spreadsheet of some languages writes it, is a decimal point.
QString FrequencyCell(const QString& text) {
    QString t = text;
    if (!t.contains(QLatin1Char('.')) && t.count(QLatin1Char(',')) == 1)
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    return t;
}

void Note(QList<CellNote>* notes, CellNote note) {
    if (notes)
        notes->append(std::move(note));
}

} // namespace

BilingualText CellNote::text() const {
    switch (kind) {
    case OutOfRange:
        return {QStringLiteral("Frequency %1 is out of range; %2 is used.").arg(written, stored),
                QStringLiteral("频率 %1 超出范围，已改为 %2。").arg(written, stored)};
    case Tone:
    case ToneRefused:
        return message;
    case UnknownText:
        return {QStringLiteral("%1 is not a choice of this column; the field is left as it was.").arg(Quoted(written)),
                QStringLiteral("%1不是此列的选项，该项保持不变。").arg(QuotedZh(written))};
    case NoTransmit:
        return {QStringLiteral("%1 ignored: the channel has no TX Freq.").arg(Quoted(written)),
                QStringLiteral("已忽略%1：该信道没有发射频率。").arg(QuotedZh(written))};
    case NoReceive:
        return {QStringLiteral("%1 ignored: the channel has no RX Freq.").arg(Quoted(written)),
                QStringLiteral("已忽略%1：该信道没有接收频率。").arg(QuotedZh(written))};
    case RowSkipped:
        return {QStringLiteral("row skipped: an empty channel is started from its RX Freq."),
                QStringLiteral("已跳过该行：空信道须从接收频率开始。")};
    }
    return {};
}

QList<QStringList> ParseTabText(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;    // inside a quoted cell
    bool wasQuoted = false; // the cell began with a quote: keep its blanks
    const auto endCell = [&] {
        row << (wasQuoted ? cell : cell.trimmed());
        cell.clear();
        wasQuoted = false;
    };
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"'))
                cell += c;
            else if (i + 1 < n && text.at(i + 1) == QLatin1Char('"'))
                cell += text.at(++i);
            else
                quoted = false;
        } else if (c == QLatin1Char('"') && cell.trimmed().isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
            cell.clear();
        } else if (wasQuoted && c.isSpace() && c != QLatin1Char('\t') && c != QLatin1Char('\r') &&
                   c != QLatin1Char('\n')) {
            // blanks after the closing quote
        } else if (c == QLatin1Char('\t')) {
            endCell();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            endCell();
            rows << row;
            row.clear();
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty() || wasQuoted) {
        endCell();
        rows << row;
    }
    return rows;
}

QString TabText(const QList<QStringList>& rows) {
    QString out;
    for (const QStringList& row : rows)
        out += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return out;
}

QString OptionTextOf(int column, const QString& written, Language language) {
    const QString text = written.trimmed();
    const QStringList shown = ChannelOptionList(column, language);
    const QStringList english = ChannelOptionList(column, English);
    const QStringList chinese = ChannelOptionList(column, Chinese);
    for (int i = 0; i < shown.size(); ++i)
        if (text.compare(english[i], Qt::CaseInsensitive) == 0 || text == chinese[i])
            return shown[i];
    // A PTT ID of "off" shows as "无" when read from the image and "关" in the list.
    if (column == ColPttId && text == ChannelText::OffNone(Chinese))
        return shown.value(0);
    if (column == ColCallGroup) {
        bool ok = false;
        const int group = text.toInt(&ok);
        if (ok && group >= 1 && group <= 16)
            return QString::number(group);
    }
    return QString();
}

RowOutcome CommitRowTexts(MemoryImage& image, const BandLimits& band, Language language,
                          const QStringList& toneTable, int channel, int firstColumn, const QStringList& cells,
                          QList<CellNote>* notes) {
    RowOutcome outcome;
    if (!IsChannelIndex(channel) || firstColumn < ColRxFreq || firstColumn > LastOptionColumn)
        return outcome;
    const int lastColumn = qMin(LastOptionColumn, firstColumn + int(cells.size()) - 1);
    const auto cellOf = [&](int column) { return cells.at(column - firstColumn).trimmed(); };
    const auto noteOthers = [&](CellNote::Kind kind, int from) {
        for (int c = from; c <= lastColumn; ++c)
            if (!cellOf(c).isEmpty())
                Note(notes, {kind, channel, c, cellOf(c), QString(), {}});
    };
    const QString noTone = toneTable.value(0, ChannelText::NoTone(language));

    ChannelTexts texts = ReadChannelForDisplay(image, band, toneTable, language, channel);
    const auto edit = [&](int column) { return CellEdit{RowOfChannel(channel), column, channel, texts.cells[column]}; };
    const bool rxGiven = firstColumn == ColRxFreq && lastColumn >= ColRxFreq;
    int from = firstColumn;
    if (texts.isEmpty() && !rxGiven) {
        // Nothing to start the channel from.
        bool any = false;
        for (int c = firstColumn; c <= lastColumn; ++c)
            any = any || !cellOf(c).isEmpty();
        if (any) {
            outcome.skipped = true;
            Note(notes, {CellNote::RowSkipped, channel, 0, QString(), QString(), {}});
        }
        return outcome;
    }
    if (rxGiven) {
        const QString rx = FrequencyCell(cellOf(ColRxFreq));
        if (rx.isEmpty()) {
            // An empty RX Freq clears the channel; nothing else of the row can be stored.
            outcome.changed = kestrel::CommitTextCell(image, band, language, texts, edit(ColRxFreq), rx).stored;
            noteOthers(CellNote::NoReceive, ColTxFreq);
            return outcome;
        }
        const CommitOutcome out = kestrel::CommitTextCell(image, band, language, texts, edit(ColRxFreq), rx);
        outcome.changed = out.stored;
        if (out.outOfRange)
            Note(notes, {CellNote::OutOfRange, channel, ColRxFreq, cellOf(ColRxFreq), texts.cells[ColRxFreq], {}});
        from = ColTxFreq;
    }
    for (int c = from; c <= lastColumn; ++c) {
        const QString text = cellOf(c);
        if (text.isEmpty())
            continue;
        CommitOutcome out;
        if (c == ColTxFreq) {
            out = kestrel::CommitTextCell(image, band, language, texts, edit(c), FrequencyCell(text));
            if (out.outOfRange)
                Note(notes, {CellNote::OutOfRange, channel, c, text, texts.cells[c], {}});
        } else if (c == ColDecode || c == ColEncode) {
            if (c == ColEncode && texts.cells[ColTxFreq].isEmpty()) {
                Note(notes, {CellNote::NoTransmit, channel, c, text, QString(), {}});
                continue;
            }
            out = kestrel::CommitListCell(image, language, noTone, texts, edit(c), text);
            if (!out.message.isEmpty())
                Note(notes, {out.refused ? CellNote::ToneRefused : CellNote::Tone, channel, c, text,
                             texts.cells[c], out.message});
        } else {
            const QString option = OptionTextOf(c, text, language);
            if (option.isEmpty()) {
                Note(notes, {CellNote::UnknownText, channel, c, text, QString(), {}});
                continue;
            }
            out = kestrel::CommitListCell(image, language, noTone, texts, edit(c), option);
        }
        outcome.changed = outcome.changed || out.stored;
    }
    return outcome;
}

int RowsPastLastChannel(int firstChannel, int rowCount) {
    return qMax(0, firstChannel + rowCount - ChannelCount);
}

PasteResult PasteRows(MemoryImage& image, const BandLimits& band, Language language, const QStringList& toneTable,
                      int firstChannel, int firstColumn, const QList<QStringList>& rows) {
    PasteResult result;
    const int count = int(rows.size()) - RowsPastLastChannel(firstChannel, int(rows.size()));
    for (int i = 0; i < count; ++i) {
        const RowOutcome row =
            CommitRowTexts(image, band, language, toneTable, firstChannel + i, firstColumn, rows.at(i), &result.notes);
        if (!row.skipped)
            ++result.rows;
    }
    return result;
}

QString PasteReportText(const QList<CellNote>& notes, Language language, int maxLines) {
    QStringList lines{Pick(language, "Some pasted values were corrected or left out:",
                           "部分粘贴的数值已更正或未采用：")};
    const int shown = qMin(int(notes.size()), maxLines);
    for (int i = 0; i < shown; ++i) {
        const CellNote& n = notes.at(i);
        const QString detail = n.text()(language);
        // A bullet each, so that a line the message box wraps still reads as one.
        if (n.column == 0)
            lines << Pick(language, "• Channel %1: %2", "• 信道 %1：%2").arg(n.channel + 1).arg(detail);
        else
            lines << Pick(language, "• Channel %1, %2: %3", "• 信道 %1，%2：%3")
                         .arg(n.channel + 1)
                         .arg(ChannelColumnHeader(n.column, language), detail);
    }
    if (notes.size() > shown)
        lines << Pick(language, "... and %1 more.", "……另有 %1 条。").arg(notes.size() - shown);
    return lines.join(QLatin1Char('\n'));
}

} // namespace kestrel
