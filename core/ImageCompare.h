#pragma once
// Two images compared by meaning: every view's describer, from the channel records
// up to the radio information lines, in address order.
#include "core/ImageDescription.h"

namespace kestrel {

// Channels, DTMF, channel bookkeeping, model information, band limits, keys,
// optional features, radio information.
const QList<Describer>& ViewDescribers();

// Every difference from `a` to `b` in `language`; empty when all 8192 bytes are equal.
QList<ImageDifference> CompareImages(const MemoryImage& a, const MemoryImage& b, Language language);

} // namespace kestrel
