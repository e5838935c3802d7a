#include "channels/ChannelPaste.h"

#include "channels/ChannelCellRules.h"
#include "core/Frequency.h"
#include "core/Tone.h"

#include <QRegularExpression>

namespace kestrel {

namespace {

QString Quoted(const QString& text) { return QStringLiteral("\"%1\"").arg(Echo(text)); }
QString QuotedZh(const QString& text) { return QStringLiteral("“%1”").arg(Echo(text)); }

// A decimal comma, as a spreadsheet of some languages writes it, is a decimal point.
QString FrequencyCell(const QString& text) {
    QString t = text;
    if (!t.contains(QLatin1Char('.')) && t.count(QLatin1Char(',')) == 1)
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    return t;
}

// A plain decimal number: digits with at most one decimal point, nothing else.
bool IsPlainNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    return number.match(text).hasMatch();
}

constexpr double LowestToneHz = 60.0;
constexpr double HighestToneHz = 300.0;

// Why a tone cell of a pasted or imported row is no tone; empty when it is one: a
// no-tone text, a number from 60 to 300 (moved onto the table later) or a DCS code.
BilingualText ToneRefusal(const QString& text, const QString& noTone) {
    if (text.isEmpty() || text == noTone || text.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0 ||
        text == QString::fromUtf8("无"))
        return {};
    if (text.startsWith(QLatin1Char('D'), Qt::CaseInsensitive)) {
        static const QRegularExpression dcs(QStringLiteral("^[Dd]([0-9]{1,3}|[0-9]{3}[NnIi])$"));
        if (dcs.match(text).hasMatch())
            return {};
        return {QStringLiteral("%1 is not a DCS code (D, three digits, N or I); the field is left as it was.")
                    .arg(Quoted(text)),
                QStringLiteral("%1不是数字亚音码（D、三位数字、N 或 I），该项保持不变。").arg(QuotedZh(text))};
    }
    if (!IsPlainNumber(FrequencyCell(text)))
        return {QStringLiteral("%1 is not a tone; the field is left as it was.").arg(Quoted(text)),
                QStringLiteral("%1不是亚音，该项保持不变。").arg(QuotedZh(text))};
    const double hz = FrequencyCell(text).toDouble();
    if (hz < LowestToneHz || hz > HighestToneHz)
        return {QStringLiteral("Tone %1 is not between 60 and 300 Hz; the field is left as it was.").arg(Echo(text)),
                QStringLiteral("亚音 %1 不在 60-300 Hz 之间，该项保持不变。").arg(Echo(text))};
    return {};
}

void Note(QList<CellNote>* notes, CellNote note) {
    if (notes)
        notes->append(std::move(note));
}

} // namespace

BilingualText CellNote::text() const {
    switch (kind) {
    case RowRefused:
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
    case ExtraCells:
        return {QStringLiteral("cells past the last column are ignored (the first of them: %1).").arg(Quoted(written)),
                QStringLiteral("超出最后一列的单元格已忽略（第一个：%1）。").arg(QuotedZh(written))};
    }
    return {};
}

QString Echo(const QString& written) {
    QString out;
    for (const QChar c : written) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

BilingualText FrequencyRefusal(const BandLimits& band, const QString& written) {
    const QString text = FrequencyCell(written.trimmed());
    if (text.isEmpty())
        return {};
    if (!IsPlainNumber(text))
        return {QStringLiteral("%1 is not a frequency in MHz; the row is left out.").arg(Quoted(written)),
                QStringLiteral("%1不是以 MHz 为单位的频率，该行未采用。").arg(QuotedZh(written))};
    if (CheckFrequencyRange(band, text) != InBand)
        return {QStringLiteral("Frequency %1 is outside the band %2-%3 MHz; the row is left out.")
                    .arg(Echo(written))
                    .arg(band.lower)
                    .arg(band.upper),
                QStringLiteral("频率 %1 超出频段 %2-%3 MHz，该行未采用。").arg(Echo(written)).arg(band.lower).arg(band.upper)};
    return {};
}

bool SaysNoTransmit(const QString& written) {
    const QString text = written.trimmed();
    return text.compare(ChannelText::Off(English), Qt::CaseInsensitive) == 0 ||
           text.compare(ChannelText::NoTone(English), Qt::CaseInsensitive) == 0 || text == ChannelText::Off(Chinese);
}

bool IsColumnName(const QString& cell, int column) {
    const QString text = cell.trimmed();
    return !text.isEmpty() && (text.compare(ChannelColumnHeader(column, English), Qt::CaseInsensitive) == 0 ||
                               text == ChannelColumnHeader(column, Chinese));
}

QList<QStringList> WithoutHeaderRows(const QList<QStringList>& rows, int firstColumn) {
    QList<QStringList> out;
    for (const QStringList& row : rows)
        if (!IsColumnName(row.value(0), firstColumn))
            out << row;
    return out;
}

bool IsMultiCellText(const QString& text) {
    return text.contains(QLatin1Char('\t')) || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
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

    // A frequency that is none refuses the row before anything of it is stored.
    for (int c : {int(ColRxFreq), int(ColTxFreq)}) {
        if (c < firstColumn || c > lastColumn || (c == ColTxFreq && SaysNoTransmit(cellOf(c))))
            continue;
        const BilingualText why = FrequencyRefusal(band, cellOf(c));
        if (!why.isEmpty()) {
            outcome.refused = true;
            Note(notes, {CellNote::RowRefused, channel, c, cellOf(c), QString(), why});
            return outcome;
        }
    }

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
        outcome.changed = kestrel::CommitTextCell(image, band, language, texts, edit(ColRxFreq), rx).stored;
        from = ColTxFreq;
    }
    for (int c = from; c <= lastColumn; ++c) {
        const QString text = cellOf(c);
        if (text.isEmpty())
            continue;
        CommitOutcome out;
        if (c == ColTxFreq) {
            // "Off" empties the transmit side, as emptying the cell in the grid does.
            const QString tx = SaysNoTransmit(text) ? QString() : FrequencyCell(text);
            out = kestrel::CommitTextCell(image, band, language, texts, edit(c), tx);
        } else if (c == ColDecode || c == ColEncode) {
            if (c == ColEncode && texts.cells[ColTxFreq].isEmpty()) {
                if (!ToneRefusal(text, noTone).isEmpty() || ResolveToneText(text, noTone).text != noTone)
                    Note(notes, {CellNote::NoTransmit, channel, c, text, QString(), {}});
                continue;
            }
            const BilingualText why = ToneRefusal(text, noTone);
            if (!why.isEmpty()) {
                Note(notes, {CellNote::ToneRefused, channel, c, text, QString(), why});
                continue;
            }
            out = kestrel::CommitListCell(image, language, noTone, texts, edit(c), FrequencyCell(text));
            if (out.refused)
                Note(notes, {CellNote::ToneRefused, channel, c, text, QString(),
                             {QStringLiteral("Tone %1 is not in the tone table; the field is left as it was.")
                                  .arg(Echo(text)),
                              QStringLiteral("亚音 %1 不在亚音表中，该项保持不变。").arg(Echo(text))}});
            else if (!out.message.isEmpty())
                Note(notes, {CellNote::Tone, channel, c, text, texts.cells[c], out.message});
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
    const QList<QStringList> data = WithoutHeaderRows(rows, firstColumn);
    const int count = int(data.size()) - RowsPastLastChannel(firstChannel, int(data.size()));
    const int width = LastOptionColumn - firstColumn + 1;
    bool extraNoted = false;
    for (int i = 0; i < count; ++i) {
        const int channel = firstChannel + i;
        const QStringList& cells = data.at(i);
        QList<CellNote> notes;
        for (int k = width; k < cells.size() && !extraNoted; ++k) {
            if (cells.at(k).trimmed().isEmpty())
                continue;
            notes.append({CellNote::ExtraCells, channel, 0, cells.at(k).trimmed(), QString(), {}});
            extraNoted = true;
        }
        const RowOutcome row = CommitRowTexts(image, band, language, toneTable, channel, firstColumn, cells, &notes);
        if (!row.skipped && !row.refused)
            ++result.rows;
        for (CellNote& n : notes) {
            n.row = i + 1;
            result.notes.append(n);
        }
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
        if (n.kind == CellNote::RowRefused || n.kind == CellNote::ExtraCells) {
            QString where = Pick(language, "• Pasted row %1 (channel %2)", "• 粘贴的第 %1 行（信道 %2）")
                                .arg(n.row)
                                .arg(n.channel + 1);
            if (n.column > 0)
                where += Pick(language, ", ", "，") + ChannelColumnHeader(n.column, language);
            lines << where + Pick(language, ": ", "：") + detail;
        } else if (n.column == 0)
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
