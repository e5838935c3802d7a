// Kestrel's own channel list (kestrel-cli channels / import) under the properties
// every channel list format keeps (tests/fuzz/ChannelListFuzz.h).
#include "tests/fuzz/ChannelListFuzz.h"

#include "channels/ChannelCsv.h"

using namespace kestrel;
using namespace kestrel::fuzz;

namespace {

bool Read(MemoryImage& image, const QByteArray& list, Language language) {
    ChannelListReport report;
    const bool accepted = ImportChannelList(image, list, language, &report);
    Check(accepted == report.problems.isEmpty(), "a list is refused exactly when a line is malformed");
    return accepted;
}

QByteArray Write(const MemoryImage& image, Language language) {
    return WriteChannelList(image, language).join(QLatin1Char('\n')).toUtf8() + '\n';
}

const ChannelListFormat Format{"Kestrel CSV", Read, Write};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    UseDefaultCorpus(argc, argv, ChannelListDefaults());
    return PrepareChannelLists();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return CheckChannelList(Format, data, size);
}
