#pragma once
// The tone option table (no tone, 50 QT tones, 105 DQT codes normal and inverted)
// and the two-byte tone code of a channel record.
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QStringList>

namespace kestrel {

constexpr int ToneCount = 261;
constexpr int FirstQtTone = 1;
constexpr int FirstDqtNormal = 51;
constexpr int FirstDqtInverted = 156;

// Byte positions of a channel line that hold a tone: low byte at 8 + offset,
// high byte at 9 + offset.
constexpr int DecodeToneOffset = 0; // bytes 8-9, the decode (receive) tone
constexpr int EncodeToneOffset = 2; // bytes 10-11, the encode (transmit) tone
constexpr int ToneLowPosition = 8;

// Position 0 is the no-tone text of the language (text 1104), then the tones.
QStringList BuildToneTable(Language language);

// Rewrites position 0 for the language (the main window does this at every refresh).
void SetNoToneText(QStringList& table, Language language);

// The two stored bytes of a tone.
struct ToneCode {
    quint8 low = 0xFF;
    quint8 high = 0xFF;
    bool operator==(const ToneCode& o) const { return low == o.low && high == o.high; }
};

// The table text of a stored tone; position 0 (no tone) for 0xFF, for a high byte
// 0x40-0x7F and for any code that is not in the table. Empty only for an empty table.
QString DecodeTone(const QStringList& toneTable, quint8 low, quint8 high);

// The bytes for a tone text: "None" (any text starting with "N") and "无" give FF FF;
// "67.0" or "067.0" a QT tone, "D023N"/"D023I" a DQT code. Non-digits count as 0.
ToneCode ToneCodeOfText(const QString& text);

// A tone text typed or imported, held against the table. Only table tones are stored:
// a QT value that is not a table tone takes the nearest one (the lower one of two
// equally near), a DQT code that is not in the table is refused. Empty text, "None" (in
// any case) and "无" mean no tone; a DQT code is taken in capitals, padded with "0" to
// "D" and three digits and given "N" when it has no polarity (D23 -> D230N); a QT
// value is read as a number of Hz (100 -> 100.0). Text that is neither is refused.
struct ToneEntry {
    enum Result { Taken, Snapped, Refused } result = Taken;
    QString text;           // the table text to store; empty when refused
    BilingualText message;  // what the user is told; empty when taken as written
};
ToneEntry ResolveToneText(const QString& written, const QString& noToneText);

// Stores ToneCodeOfText(text) at positions 8 + offset (low) and 9 + offset (high) of the
// line; an offset other than 0 or 2 stores nothing.
void EncodeTone(MemoryImage& image, int channelLine, const QString& text, int offset);

} // namespace kestrel
