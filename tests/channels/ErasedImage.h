#pragma once
// An image for the channel rules to work on: every channel record erased (0xFF), the
// bytes after them all `rest`, and the band limits of `band`.
#include "core/Band.h"
#include "core/ChannelRecord.h"

namespace kestrel::test {

inline MemoryImage ErasedImage(int band = 0, char rest = char(0xFF)) {
    QByteArray bytes(ImageSize, rest);
    bytes.replace(0, ChannelCount * LineSize, QByteArray(ChannelCount * LineSize, char(0xFF)));
    MemoryImage m;
    m.setBytes(bytes);
    EncodeBandLimits(m, BandOfIndex(band));
    return m;
}

} // namespace kestrel::test
