#pragma once
// Key assignment: two side keys (short and long press), the top key and the long-press
// duration, six single bytes of line 0x0FD0. A stored key function is its code (its
// position in the 20-entry key function table).
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QList>
#include <QStringList>

namespace kestrel {

namespace KeyMap {
constexpr Address Side1Press = 0x0FD0;
constexpr Address Side2Press = 0x0FD1;
constexpr Address Side1Hold = 0x0FD8;
constexpr Address Side2Hold = 0x0FD9;
constexpr Address TopKey = 0x0FDB;
constexpr Address LongPress = 0x0FDC; // tenths of a second, 5-50 in steps of 5
} // namespace KeyMap

// Numbers in the string table of the view's captions and labels.
namespace KeyText {
constexpr int KeyFunction = 1457;
constexpr int TopKey = 1469;
constexpr int Press = 1458;
constexpr int Hold = 1461;
constexpr int LongPress = 1657;
} // namespace KeyText

constexpr int KeyFunctionCount = 20;
constexpr int AlarmFunctionCount = 5;
constexpr int DurationCount = 10;
constexpr int MonitorMomentary = 3;
constexpr int SquelchOffMomentary = 10;

// The key function table in code order (texts 1104, 1681-1697 and pairs).
QStringList KeyFunctionTexts(Language language);
// The alarm function table of the top key in code order.
QStringList AlarmFunctionTexts(Language language);
// "0.5", "1.0", ... "5.0".
QStringList DurationTexts();

// The momentary functions are offered only for a held key.
bool OfferedForShortPress(int code);
// Codes of the short-press lists in list order (18 codes) and of the long-press lists (20).
QList<int> ShortPressCodes();
QList<int> LongPressCodes();

// The list position a duration byte shows: round(d / 5 - 1), position 0 when outside the list.
int DurationPosition(quint8 tenths);
// The byte of a list position: the duration in tenths of a second.
quint8 DurationByte(int position);

// What the six lists show: function codes and the duration's list position.
struct KeyValues {
    int side1Press = 0;
    int side1Hold = 0;
    int side2Press = 0;
    int side2Hold = 0;
    int topKey = 0;
    int duration = 0;

    bool operator==(const KeyValues& o) const;
};

// Codes outside the tables read as 0 ("None"). A short-press byte naming a momentary
// function (3, 10), which the short-press list does not offer, also reads as "None",
// so OK stores 0 there: the view never stores a function it did not show.
KeyValues LoadKeys(const MemoryImage& image);
void StoreKeys(MemoryImage& image, const KeyValues& values);

} // namespace kestrel
