#include "settings/MemoryMapRules.h"

#include "core/ChannelRecord.h"

namespace kestrel {

namespace {

QString Hex(int value, int digits) { return QString::number(value, 16).toUpper().rightJustified(digits, u'0'); }

int DigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return 0;
}

} // namespace

QString CellText(quint8 value) { return Hex(value, 2); }
QString LineLabel(int line) { return Hex(line, 3); }
QString PositionLabel(int position) { return Hex(position, 1); }
QString AddressText(const MapCell& cell) { return LineLabel(cell.line) + PositionLabel(cell.position); }

QString CompleteCellText(const QString& text) {
    if (text.isEmpty())
        return QStringLiteral("FF");
    if (text.size() == 1)
        return QLatin1Char('0') + text;
    return text.left(2);
}

quint8 CellValue(const QString& text) {
    const QString t = CompleteCellText(text).toUpper();
    return quint8(DigitValue(t.at(0)) * 16 + DigitValue(t.at(1)));
}

QString NormalizeAddressText(const QString& text) {
    const QString digits = HexDigitsOnly(text);
    bool ok = false;
    const qulonglong value = digits.isEmpty() ? 0 : digits.toULongLong(&ok, 16);
    if (!digits.isEmpty() && (!ok || value > qulonglong(MemoryMapGrid::MaxAddress)))
        return Hex(MemoryMapGrid::MaxAddress, 4);
    // Four digits as typed (leading zeros kept), so "3C" becomes "003C".
    return Hex(int(value), 4);
}

MapCell AddressCell(const QString& normalized) {
    const int value = NormalizeAddressText(normalized).toInt(nullptr, 16);
    return MapCell{value / LineSize, value % LineSize};
}

MapCell NextCellAfterEnter(const MapCell& cell) {
    if (cell.position < LineSize - 1)
        return MapCell{cell.line, cell.position + 1};
    if (cell.line <= MemoryMapGrid::LastWrappingLine)
        return MapCell{cell.line + 1, 0};
    return cell;
}

std::optional<QChar> FilterAddressKey(QChar typed) {
    const char16_t u = typed.unicode();
    if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F'))
        return typed;
    if (u >= u'a' && u <= u'f')
        return QChar(char16_t(u - u'a' + u'A'));
    return std::nullopt;
}

std::optional<QChar> FilterCellKey(QChar typed, int textLength, bool hasSelection) {
    if (textLength >= 2 && !hasSelection)
        return std::nullopt;
    return FilterAddressKey(typed);
}

std::optional<QChar> GridStartKey(QChar typed) { return FilterAddressKey(typed); }

QString HexDigitsOnly(const QString& text) {
    QString digits;
    for (QChar c : text)
        if (const auto d = FilterAddressKey(c))
            digits += *d;
    return digits;
}

QList<int> RowsTheGridWillClear(const MemoryImage& before, const MemoryImage& after, const BandLimits& band) {
    // A typed byte is lost when emptying the record changes it: it is not 0xFF.
    auto loses = [&](int n) {
        for (int i = 0; i < LineSize; ++i) {
            const quint8 typed = after.byte(n, i);
            if (typed != before.byte(n, i) && typed != 0xFF)
                return true;
        }
        return false;
    };
    QList<int> rows;
    const int group = ReadShownGroup(after);
    for (int row = 1; row <= RowsPerGroup; ++row) {
        const int n = ChannelIndexOf(group, row);
        if (loses(n) && ShowsAsEmpty(after, band, n))
            rows << row;
    }
    return rows;
}

QString ClearedChannelsText(const QList<int>& rows, Language language) {
    QStringList numbers;
    for (int row : rows)
        numbers << QString::number(row);
    if (rows.size() == 1)
        return Pick(language, "Channel %1 is not valid in this band and will be cleared.",
                    "信道 %1 在此频段无效，将被清除。")
            .arg(numbers.first());
    return Pick(language, "Channels %1 are not valid in this band and will be cleared.",
                "信道 %1 在此频段无效，将被清除。")
        .arg(numbers.join(Pick(language, ", ", "、")));
}

} // namespace kestrel
