#pragma once
// Runs one transfer of a CloneEngine to its end in a local event loop, for
// programs without a window of their own (kestrel-cli, kestrel-bench).
#include "link/CloneEngine.h"

namespace kestrel {

// Calls Start and returns once the transfer has ended, with its outcome.
CloneEngine::Outcome RunCloneToEnd(CloneEngine& engine);

} // namespace kestrel
