#pragma once
// The radio's two identification lines as text: line 254 holds the ESN, line 335
// the hardware version. One byte per character in the ANSI code page (Latin-1
// here); the byte 0xFF is a filler and never a character.
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QByteArray>
#include <QString>

namespace kestrel {
class ImageDescription;
}

namespace kestrel::embmsg {

constexpr int EsnLine = 254;
constexpr int HardwareLine = 335;
// Characters a line holds; the rest of a longer text is dropped.
constexpr int TextLength = LineSize;
constexpr quint8 Filler = 0xFF;

// The view's caption and the labels of its three boxes (ESN, firmware, hardware).
constexpr TextPair CaptionText{"Embedded Message", "嵌入信息"};
constexpr TextPair LabelTexts[3] = {{"ESN", "ESN"}, {"Firmware Version", "固件版本"}, {"Hardware Version", "硬件版本"}};

// The text of a line: bytes in address order, 0xFF skipped, every other byte the
// character of that code.
QString LineText(const QByteArray& line);

// The 16 bytes of a text: byte i is character i + 1, or 0xFF past the end of the
// text. Characters after the sixteenth are dropped; a character that does not fit
// one byte becomes '?' (the boxes refuse such characters before they get here).
QByteArray TextLine(const QString& text);

QString ReadText(const MemoryImage& image, int line);
void StoreText(MemoryImage& image, int line, const QString& text);

// Whether a character can be kept in a line and read back as itself: codes
// 0x00-0xFE. 0xFF (ÿ) is the filler, which reading skips.
bool FitsLine(QChar c);
// The characters of `text` that FitsLine refuses, each once, in order of appearance.
QString Unstorable(const QString& text);
// What the user is told when typed or pasted characters were refused.
QString RefusedText(const QString& refused, Language language);

// "Embedded Message / ESN: AB" and "... / Hardware Version: ...": the two lines the
// view shows from the image.
void DescribeRadioInfo(const MemoryImage& image, Language language, ImageDescription& out);

} // namespace kestrel::embmsg
