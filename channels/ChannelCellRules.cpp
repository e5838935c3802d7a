#include "channels/ChannelCellRules.h"

#include "core/Frequency.h"
#include "core/Numbers.h"
#include "core/Tone.h"

#include <Qt>

namespace kestrel {

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The whole text counts as selected when there is nothing to select.
bool WhollySelected(const QString& text, int selectedLength) {
    return text.isEmpty() || selectedLength >= text.length();
}

constexpr int DqtLength = 4;  // "D" and three octal digits
constexpr int QtLength = 5;   // "254.1"

} // namespace

std::optional<QChar> FilterFrequencyKey(const QString& text, int selectedLength, QChar key) {
    if (key == BackspaceChar)
        return key;
    if (!IsDigit(key) && key != QLatin1Char('.'))
        return std::nullopt;
    if (text.length() <= FrequencyEditorFreeLength || selectedLength > 0)
        return key;
    return std::nullopt;
}

std::optional<QChar> FilterToneKey(const QString& text, int selectedLength, QChar key) {
    if (key == BackspaceChar)
        return key;
    const bool dqt = text.startsWith(QLatin1Char('D'));
    if (IsDigit(key)) {
        if (WhollySelected(text, selectedLength))
            return key;
        if (text.length() < (dqt ? DqtLength : QtLength))
            return key;
        return std::nullopt;
    }
    if (key == QLatin1Char('.')) {
        if (text.isEmpty() || text.length() >= 4 || text.contains(QLatin1Char('.')))
            return std::nullopt;
        return key;
    }
    const QChar upper = key.toUpper();
    if (upper == QLatin1Char('D'))
        return WhollySelected(text, selectedLength) ? std::optional<QChar>(upper) : std::nullopt;
    if (upper == QLatin1Char('N') || upper == QLatin1Char('I')) {
        if (dqt && text.length() == DqtLength)
            return upper;
        return std::nullopt;
    }
    return std::nullopt;
}

EditorText TypeThrough(EditorText editor, const QString& inserted, KeyFilter filter) {
    for (QChar c : inserted) {
        if (c == QLatin1Char(','))
            c = QLatin1Char('.');
        const std::optional<QChar> accepted = filter(editor.text, editor.selectionLength, c);
        if (!accepted || *accepted == BackspaceChar)
            continue;
        if (editor.selectionLength > 0) {
            editor.text.remove(editor.selectionStart, editor.selectionLength);
            editor.cursor = editor.selectionStart;
            editor.selectionLength = 0;
        }
        editor.text.insert(editor.cursor++, *accepted);
    }
    return editor;
}

std::optional<QChar> GridStartChar(int qtKey, bool keypad) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return QChar(QLatin1Char(char('0' + (qtKey - Qt::Key_0))));
    if (qtKey == Qt::Key_Period || (keypad && qtKey == Qt::Key_Comma))
        return QChar(QLatin1Char('.'));
    return std::nullopt;
}

GridCell CellAfterTextEnter(GridCell edited) { return {edited.row, edited.column + 1}; }

GridCell CellAfterToneEnter(GridCell edited, bool encodeShown) {
    if (edited.column == ColDecode && encodeShown)
        return {edited.row, ColEncode};
    return {edited.row, ColBandwidth};
}

GridCell CellAfterOptionEnter(GridCell edited) {
    if (edited.column < LastOptionColumn)
        return {edited.row, edited.column + 1};
    if (edited.row < RowsPerGroup)
        return {edited.row + 1, ColRxFreq};
    return edited;
}

GridCell CellAfterTab(GridCell cell, bool backwards) {
    const int column = qBound(int(ColRxFreq), cell.column, int(LastOptionColumn));
    if (!backwards) {
        if (column < LastOptionColumn)
            return {cell.row, column + 1};
        return cell.row < RowsPerGroup ? GridCell{cell.row + 1, ColRxFreq} : GridCell{cell.row, column};
    }
    if (column > ColRxFreq)
        return {cell.row, column - 1};
    return cell.row > 1 ? GridCell{cell.row - 1, LastOptionColumn} : GridCell{cell.row, column};
}

GridCell CellForEditor(GridCell clicked, bool rxShown, bool txShown) {
    if (!rxShown)
        return {clicked.row, ColRxFreq};
    if (!txShown && clicked.column == ColEncode)
        return {clicked.row, ColTxFreq};
    return clicked;
}

std::optional<GridCell> CellForTypedStart(GridCell current, bool rxShown) {
    if (current.column == ColRxFreq)
        return current;
    if (current.column == ColTxFreq)
        return GridCell{current.row, rxShown ? ColTxFreq : ColRxFreq};
    return std::nullopt;
}

bool IsMemoryMapGesture(QPoint pos, double logicalDpiX, double logicalDpiY, bool rightButton, bool ctrl, bool alt,
                        bool shift) {
    if (!rightButton || !ctrl || !alt || shift || logicalDpiX <= 0 || logicalDpiY <= 0)
        return false;
    const double left = 4200.0 * logicalDpiX / 1440.0;
    const double right = 5200.0 * logicalDpiX / 1440.0;
    const double bottom = 200.0 * logicalDpiY / 1440.0;
    return pos.x() > left && pos.x() < right && pos.y() > 0 && pos.y() < bottom;
}

int TwipsToPixels(int twips, double logicalDpi) { return int(RoundHalfAway(twips * logicalDpi / 1440.0)); }

void ClearTransmitCells(MemoryImage& image, ChannelTexts& cells, int channel) {
    cells.cells[ColTxFreq].clear();
    cells.cells[ColEncode].clear();
    ClearTransmit(image, channel);
}

bool StoreTransmitCells(MemoryImage& image, Language language, ChannelTexts& cells, int channel,
                        const QString& text) {
    if (!StoreTransmit(image, channel, text))
        return false;
    cells.cells[ColTxFreq] = text;
    if (cells.cells[ColEncode].isEmpty())
        cells.cells[ColEncode] = ChannelText::NoTone(language);
    return true;
}

CommitOutcome CommitTextCell(MemoryImage& image, const BandLimits& band, Language language, ChannelTexts& cells,
                             const CellEdit& edit, const QString& text) {
    CommitOutcome outcome;
    if (text == edit.savedText || !IsChannelIndex(edit.channel))
        return outcome;
    if (edit.column != ColRxFreq && edit.column != ColTxFreq)
        return outcome;

    if (text.isEmpty()) {
        if (edit.column == ColRxFreq) {
            for (int c = ColRxFreq; c < ChannelColumnCount; ++c)
                cells.cells[c].clear();
            ClearChannel(image, edit.channel);
        } else {
            ClearTransmitCells(image, cells, edit.channel);
        }
        outcome.stored = true;
        return outcome;
    }

    const CorrectedText corrected = CorrectFrequency(band, text);
    outcome.outOfRange = corrected.outOfRange;
    if (edit.column == ColTxFreq) {
        outcome.stored = StoreTransmitCells(image, language, cells, edit.channel, corrected.text);
        return outcome;
    }

    if (!cells.cells[ColDecode].isEmpty()) {
        outcome.stored = EncodeFrequency(image, edit.channel, ChannelByte::RxFrequency, corrected.text);
        if (outcome.stored)
            cells.cells[ColRxFreq] = corrected.text;
        return outcome;
    }

    // The row was empty: the channel starts with its defaults.
    if (!CreateChannel(image, edit.channel, edit.row, corrected.text))
        return outcome;
    const ChannelTexts fresh = NewChannelTexts(corrected.text, language);
    for (int c = ColRxFreq; c < ChannelColumnCount; ++c)
        cells.cells[c] = fresh.cells[c];
    outcome.stored = true;
    outcome.created = true;
    return outcome;
}

CommitOutcome CommitListCell(MemoryImage& image, Language language, const QString& noToneText, ChannelTexts& cells,
                             const CellEdit& edit, const QString& text) {
    CommitOutcome outcome;
    if (text == edit.savedText || !IsChannelIndex(edit.channel))
        return outcome;
    QString value = text;
    if (edit.column == ColDecode || edit.column == ColEncode) {
        const ToneEntry tone = ResolveToneText(text, noToneText);
        outcome.message = tone.message;
        if (tone.result == ToneEntry::Refused) {
            outcome.refused = true;
            return outcome;
        }
        value = tone.text;
    } else if (edit.column < FirstOptionColumn || edit.column > LastOptionColumn) {
        return outcome;
    }
    if (!StoreChannelField(image, edit.channel, edit.column, value, language))
        return outcome;
    cells.cells[edit.column] = value;
    outcome.stored = true;
    return outcome;
}

} // namespace kestrel
