// The CHIRP generic CSV (kestrel-cli channels --format chirp / import) under the properties
// every channel list format keeps (tests/fuzz/ChannelListFuzz.h).
#include "tests/fuzz/ChannelListFuzz.h"

using namespace kestrel;
using namespace kestrel::fuzz;

namespace {
KESTREL_CHANNEL_LIST_FORMAT("CHIRP CSV", ListFormat::Chirp)
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    UseDefaultCorpus(argc, argv, ChannelListDefaults());
    return PrepareChannelLists();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return CheckChannelList(Format, data, size);
}
