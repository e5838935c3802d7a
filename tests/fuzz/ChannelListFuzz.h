#pragma once
// The properties every channel list format keeps, for one harness per format:
//   - a list the reader refuses changes nothing;
//   - a list written from an image is always read back;
//   - with Y = import(export(X)) into X, import(export(Y)) into Y gives Y again;
//   - the import report applies at most one row per channel and has its texts in both
//     languages.
// Lists are read and written through the one entry point of every import and export.
// The input's first byte chooses the language written (bit 0), the band of the default
// image a list is read into (bits 2-3) and whether the rest of the input is a list read
// into that image (bit 4 clear) or the image X itself (bit 4 set).
//
// A harness for a new format is two lines:
//     KESTREL_CHANNEL_LIST_HARNESS(ListFormat::...)
#include "channels/ChannelLists.h"
#include "tests/fuzz/FuzzSupport.h"

namespace kestrel::fuzz {

// The default images as seeds of the image mode (the build makes them).
Defaults ChannelListDefaults();
// Loads the default images once and quiets Qt's messages; 0.
int PrepareChannelLists();
int CheckChannelList(ListFormat format, const uint8_t* data, size_t size);

} // namespace kestrel::fuzz

#define KESTREL_CHANNEL_LIST_HARNESS(LIST_FORMAT)                                            \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {                           \
        kestrel::fuzz::UseDefaultCorpus(argc, argv, kestrel::fuzz::ChannelListDefaults());   \
        return kestrel::fuzz::PrepareChannelLists();                                         \
    }                                                                                        \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {                \
        return kestrel::fuzz::CheckChannelList(kestrel::LIST_FORMAT, data, size);           \
    }
