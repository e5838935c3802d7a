#pragma once
// Model type byte: which band family the image is for.
#include "core/MemoryImage.h"

#include <QStringList>

namespace kestrel {

namespace ModelInfoMap {
constexpr Address ModelType = 0x0F97;
constexpr quint8 Vhf = 0x56; // "V", 136-174 MHz
constexpr quint8 Uhf = 0x55; // "U", 400-470 MHz
} // namespace ModelInfoMap

// Numbers in the string table of the view's caption and label.
namespace ModelInfoText {
constexpr int Caption = 1309;
constexpr int ModelType = 1308;
} // namespace ModelInfoText

// Position 0 for a VHF byte, position 1 for any other value.
int ModelTypePosition(const MemoryImage& image);
// The byte a list position stores.
quint8 ModelTypeByte(int position);
// "136 - 174 MHz", "400 - 470 MHz" (the same in both languages).
QStringList ModelTypeItems();

} // namespace kestrel
