#pragma once
// The memory map: every byte of the image as two hexadecimal digits, 512 lines of 16.
#include "core/Band.h"
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QChar>
#include <QList>
#include <QString>

#include <optional>

namespace kestrel {

namespace MemoryMapGrid {
constexpr int Rows = LineCount + 1;    // header row + one row per image line
constexpr int Columns = LineSize + 1;  // label column + one column per position
constexpr int LastWrappingLine = 0x07E; // Enter in position F wraps to the next line up to here
constexpr int MaxAddress = ImageSize - 1;
} // namespace MemoryMapGrid

// A cell of the map, by image line (0-511) and position (0-15).
struct MapCell {
    int line = 0;
    int position = 0;
    Address address() const { return LineAddress(line) + position; }
    bool operator==(const MapCell& o) const { return line == o.line && position == o.position; }
};

QString CellText(quint8 value);          // "00" ... "FF"
QString LineLabel(int line);             // "000" ... "1FF"
QString PositionLabel(int position);     // "0" ... "F"
QString AddressText(const MapCell& cell); // row label + position digit, "01FA"

// The text a cell editor leaves in its cell: empty gives "FF", one digit c gives "0c".
QString CompleteCellText(const QString& text);
// The byte of a cell text (completed first); a character that is not a hexadecimal
// digit counts as 0.
quint8 CellValue(const QString& text);

// The address box text on leaving it: four digits, at most 1FFF.
QString NormalizeAddressText(const QString& text);
// The cell of a normalised address text.
MapCell AddressCell(const QString& normalized);

// The cell Enter moves to after a commit: one position to the right; from position F to
// the next line only up to line 0x07E, from line 0x07F on it stays.
MapCell NextCellAfterEnter(const MapCell& cell);

// Keys of the cell editor: hexadecimal digits (lower case turned into capitals), refused
// when the editor already holds two characters and nothing is selected.
std::optional<QChar> FilterCellKey(QChar typed, int textLength, bool hasSelection);
// Keys of the address box: hexadecimal digits, lower case turned into capitals.
std::optional<QChar> FilterAddressKey(QChar typed);
// A key typed in the grid that begins editing with itself: 0-9, A-F (a-f as capitals).
std::optional<QChar> GridStartKey(QChar typed);
// The text with every character that is not a hexadecimal digit left out, in capitals.
QString HexDigitsOnly(const QString& text);

// The rows (1-16, in order) of channels in the shown group that the channel grid
// empties after OK (see ShowsAsEmpty) although bytes were typed into them: bytes
// other than 0xFF, which emptying would lose. `before` is the image as the map found it, `after` as
// OK leaves it (its shown group byte counts); `band` is the band the grid shows.
QList<int> RowsTheGridWillClear(const MemoryImage& before, const MemoryImage& after, const BandLimits& band);
// The question that lists them: "Channels 1, 3 are not valid in this band and will be cleared."
QString ClearedChannelsText(const QList<int>& rows, Language language);

} // namespace kestrel
