#pragma once
// Program > Fleet Write…: the fleet window over the open image, then a status bar
// note of what it came to. The open image is not changed.
#include "core/AppContext.h"
#include "core/Prompter.h"

class QMainWindow;

namespace kestrel {

void FleetWriteCommand(const AppContext& app, Prompter& prompter, QMainWindow* window);

} // namespace kestrel
