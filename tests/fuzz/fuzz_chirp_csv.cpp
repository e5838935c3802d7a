// The CHIRP generic CSV (kestrel-cli channels --format chirp / import) under the
// properties every channel list format keeps (tests/fuzz/ChannelListFuzz.h).
#include "tests/fuzz/ChannelListFuzz.h"

KESTREL_CHANNEL_LIST_HARNESS(ListFormat::Chirp)
