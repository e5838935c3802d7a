#pragma once
// The settings editors' fields in words, read through the same load rules and
// lists the dialogs use, under the dialogs' captions and labels.
#include "core/ImageDescription.h"

namespace kestrel {

// "Optional Features / Squelch Level: 3".
void DescribeOptFeatures(const MemoryImage& image, Language language, ImageDescription& out);
// "Key Function / Key Function-1 Press: Monitor", "... / Top Key Press", "... / Long Press Duration[s]".
void DescribeKeys(const MemoryImage& image, Language language, ImageDescription& out);
// "DTMF / ANI Code: 12", "DTMF / Call List 9: 123".
void DescribeDtmf(const MemoryImage& image, Language language, ImageDescription& out);
// "Model Information / Model Type: 136 - 174 MHz".
void DescribeModelInfo(const MemoryImage& image, Language language, ImageDescription& out);

} // namespace kestrel
