#pragma once
// The properties every channel list format keeps, for one harness per format:
//   - a list the reader refuses changes nothing;
//   - a list written from an image is always read back;
//   - with Y = import(export(X)) into X, import(export(Y)) into Y gives Y again.
// The input's first byte chooses the languages (bit 0 writing, bit 1 reading), the band
// of the default image a list is read into (bits 2-3) and whether the rest of the input
// is a list read into that image (bit 4 clear) or the image X itself (bit 4 set).
//
// A harness for a new format is a few lines:
//     const ChannelListFormat Format{"...", ReadIntoImage, WriteFromImage};
//     extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
//         kestrel::fuzz::UseDefaultCorpus(argc, argv, ChannelListDefaults());
//         return PrepareChannelLists();
//     }
//     extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
//         return CheckChannelList(Format, data, size);
//     }
#include "core/MemoryImage.h"
#include "core/StringTable.h"
#include "tests/fuzz/FuzzSupport.h"

namespace kestrel::fuzz {

struct ChannelListFormat {
    const char* name;
    // Applies the list to the image; false when the list is refused.
    bool (*read)(MemoryImage& image, const QByteArray& list, Language language);
    QByteArray (*write)(const MemoryImage& image, Language language);
};

// The default images as seeds of the image mode (the build makes them).
Defaults ChannelListDefaults();
// Loads the default images once and quiets Qt's messages; 0.
int PrepareChannelLists();
int CheckChannelList(const ChannelListFormat& format, const uint8_t* data, size_t size);

} // namespace kestrel::fuzz
