#pragma once
// Runs one transfer of a CloneEngine to its end in a local event loop, for
// programs without a window of their own (kestrel-cli, kestrel-bench).
#include "link/CloneEngine.h"

namespace kestrel {

// Calls Start and returns once the transfer has ended, with its outcome.
CloneEngine::Outcome RunCloneToEnd(CloneEngine& engine);

} // namespace kestrel

namespace kestrel {

// Shows the engine's progress on stderr while a transfer runs: the caption and
// the percentage, rewritten in place on a terminal, one line per tenth otherwise.
void ShowProgressOnStderr(CloneEngine& engine, const QString& prefix);

} // namespace kestrel

namespace kestrel {

// What the radio holds after a transfer ended by CloneEngine::requestStop, with the
// frames done: "The write was stopped after 96 of 239 frames: the radio holds part of
// the new image. Write it again before use."
QString StoppedTransferText(const CloneEngine& engine, Language language);

} // namespace kestrel
