#pragma once
// The channel memory in words, as the channel editor shows it: the 128 channels
// with the grid's column headers as labels, the channel bookkeeping bytes and the
// band limits.
#include "core/ImageDescription.h"

namespace kestrel {

// "Channel 37" / "信道 37".
QString ChannelPlace(int channelIndex, Language language);

// Every channel, fields in grid column order, texts as the grid shows them (an empty
// channel shows empty texts, a channel without transmit side empty TX and Encode).
void DescribeChannels(const MemoryImage& image, Language language, ImageDescription& out);

// "Channel Information": the current channel byte, the channel-valid and scan
// bitmaps (the numbers whose bits are set, "1-5, 9") and the shown group.
void DescribeChannelBookkeeping(const MemoryImage& image, Language language, ImageDescription& out);

// "Band Limits: 136-174".
void DescribeBandLimits(const MemoryImage& image, Language language, ImageDescription& out);

// "1-3, 5, 9-16" for the numbers 1-256 whose bits are set in the bitmap at `base`.
QString BitmapNumbersText(const MemoryImage& image, Address base);

} // namespace kestrel
