#pragma once
// What the channel grid's in-place editors accept and what a commit writes: the key
// filters of the frequency editor, the tone editor and the grid itself, the moves of
// the current cell, the tone text correction, and the commit of a text or list cell
// into the image through the channel record rules. No widgets here: the grid and
// `kestrel-cli import` both go through these functions.
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QChar>
#include <QPoint>
#include <QString>
#include <optional>

namespace kestrel {

// The key of a typed character that deletes the one before the caret.
constexpr QChar BackspaceChar = QChar(8);

// Longest frequency text that still takes a character without a selection.
constexpr int FrequencyEditorFreeLength = 8;

// Frequency editor (columns 1 and 2): digits and "." while the text has at most 8
// characters, or when part of it is selected; Backspace always. Nothing for any other.
std::optional<QChar> FilterFrequencyKey(const QString& text, int selectedLength, QChar key);

// Tone editor (columns 3 and 4), judged on the text before the key: digits up to 4
// characters for a DQT code and 5 for a QT tone (any number when the whole text is
// selected), one "." after the first character and before the fourth, "D"/"d" as "D"
// at the start, "N"/"I" in upper case after "D" and three characters; Backspace.
std::optional<QChar> FilterToneKey(const QString& text, int selectedLength, QChar key);

// An editor's text with its caret and selection.
struct EditorText {
    QString text;
    int cursor = 0;
    int selectionStart = 0;
    int selectionLength = 0;
};

// Text that arrives at once (a paste, a middle-click, a drop) typed into an editor one
// character at a time through its key filter: refused characters are left out, the
// first accepted one replaces the selection. A comma counts as the decimal point.
using KeyFilter = std::optional<QChar> (*)(const QString& text, int selectedLength, QChar key);
EditorText TypeThrough(EditorText editor, const QString& inserted, KeyFilter filter);

// The character a key typed into the grid starts a frequency with: the digits and the
// decimal point of the main keyboard and of the keypad (whose decimal key some layouts
// send as a comma).
std::optional<QChar> GridStartChar(int qtKey, bool keypad);

// A grid cell: row 1-16 of the shown group, column 1-17.
struct GridCell {
    int row = 1;
    int column = 1;
    bool operator==(const GridCell& o) const { return row == o.row && column == o.column; }
};

// The cell Enter in the frequency editor makes current: the one right of it.
GridCell CellAfterTextEnter(GridCell edited);
// After Enter in a tone editor: from Decode to Encode when the row shows an encode tone,
// otherwise (and from Encode) to W/N.
GridCell CellAfterToneEnter(GridCell edited, bool encodeShown);
// After Enter in an option list: the next column; from the last option column to RX
// Freq of the next row, except on row 16, which stays where it is.
GridCell CellAfterOptionEnter(GridCell edited);
// Tab: one cell right, after the last option column RX Freq of the next row (row 16
// stays). Shift+Tab (`backwards`): one cell left, before RX Freq the last option column
// of the row above (row 1 stays).
GridCell CellAfterTab(GridCell cell, bool backwards);

// Where a left click (or Enter) on a cell opens an editor: an empty row starts at its
// receive frequency; an encode tone without a transmit frequency opens the transmit one.
GridCell CellForEditor(GridCell clicked, bool rxShown, bool txShown);
// Where a digit typed into the grid starts a frequency; nothing outside the two
// frequency columns. TX Freq of an empty row starts at RX Freq.
std::optional<GridCell> CellForTypedStart(GridCell current, bool rxShown);

// The opening gesture of the memory map: right button released with Ctrl and Alt but
// not Shift, more than 4200 and less than 5200 twips from the grid's left edge and more
// than 0 and less than 200 twips from its top. `pos` in pixels from the grid's top left.
bool IsMemoryMapGesture(QPoint pos, double logicalDpiX, double logicalDpiY, bool rightButton, bool ctrl, bool alt,
                        bool shift);

// Pixels of a length in twips (1/1440 inch) on a screen of `logicalDpi`.
int TwipsToPixels(int twips, double logicalDpi);

// The cell being edited: set when its editor opened.
struct CellEdit {
    int row = 1;        // 1-16
    int column = 1;     // 1-16
    int channel = 0;    // channel index 0-127
    QString savedText;  // the cell's text when the editor opened
};

// What a commit did.
struct CommitOutcome {
    bool stored = false;     // the image and the row's texts were changed
    bool outOfRange = false; // the frequency was clamped: the out-of-range message is due
    bool created = false;    // an empty channel was created with the new-channel defaults
    bool refused = false;    // the text was refused; the cell keeps its value
    BilingualText message;   // a tone taken from the table or refused (ResolveToneText)
};

// Commits the frequency editor's text into channel `edit.channel` and the row's texts
// `cells`. Nothing when the text equals the saved cell text. An empty RX Freq clears the
// channel, an empty TX Freq its transmit side; any other text is corrected (clamped into
// the band or snapped onto the raster) and stored, and a receive frequency typed into an
// empty row creates the channel with its defaults.
CommitOutcome CommitTextCell(MemoryImage& image, const BandLimits& band, Language language, ChannelTexts& cells,
                             const CellEdit& edit, const QString& text);

// Commits a list editor's text (tone columns 3-4 through ResolveToneText, option columns
// 5-16 by their rule in `language`). Nothing when the text equals the saved cell text.
CommitOutcome CommitListCell(MemoryImage& image, Language language, const QString& noToneText, ChannelTexts& cells,
                             const CellEdit& edit, const QString& text);

// The transmit side of the channel gone: TX Freq and Encode empty, bytes 4-7, 10, 11 0xFF.
void ClearTransmitCells(MemoryImage& image, ChannelTexts& cells, int channel);
// Stores a transmit frequency; an empty Encode cell then shows the no-tone text.
bool StoreTransmitCells(MemoryImage& image, Language language, ChannelTexts& cells, int channel,
                        const QString& text);

} // namespace kestrel
