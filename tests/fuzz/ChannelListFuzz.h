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
//     namespace { KESTREL_CHANNEL_LIST_FORMAT("...", ListFormat::...) }
//     extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
//         kestrel::fuzz::UseDefaultCorpus(argc, argv, ChannelListDefaults());
//         return PrepareChannelLists();
//     }
//     extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
//         return CheckChannelList(Format, data, size);
//     }
#include "channels/ChannelLists.h"
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

// A format read and written through the one entry point of every import and export:
// the report counts at most one row per channel, its texts can be made in both
// languages, and a refused list is one the report says was refused.
#define KESTREL_CHANNEL_LIST_FORMAT(NAME, LIST_FORMAT)                                          \
    bool Read(MemoryImage& image, const QByteArray& list, Language) {                          \
        const ImportReport report = ImportChannelList(image, list, LIST_FORMAT);                \
        CheckReport(report);                                                                    \
        return !report.refused();                                                               \
    }                                                                                           \
    QByteArray Write(const MemoryImage& image, Language language) {                            \
        return ExportChannelList(image, LIST_FORMAT, language);                                 \
    }                                                                                           \
    const ChannelListFormat Format{NAME, Read, Write};

// The default images as seeds of the image mode (the build makes them).
Defaults ChannelListDefaults();
// Loads the default images once and quiets Qt's messages; 0.
int PrepareChannelLists();
// What every import report keeps to (rows applied within the channels, texts made in
// both languages).
void CheckReport(const ImportReport& report);
int CheckChannelList(const ChannelListFormat& format, const uint8_t* data, size_t size);

} // namespace kestrel::fuzz
