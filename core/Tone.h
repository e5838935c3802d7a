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

// Stores ToneCodeOfText(text) at positions 8 + offset (low) and 9 + offset (high) of the
// line; an offset other than 0 or 2 stores nothing.
void EncodeTone(MemoryImage& image, int channelLine, const QString& text, int offset);

} // namespace kestrel
