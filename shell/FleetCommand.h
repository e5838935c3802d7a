#pragma once
// Program > Fleet Write…: the fleet window over the open image, then a status bar
// note of what it came to. The open image is not changed. In demo mode (`radios`
// given) the virtual radios are listed too.
#include "core/AppContext.h"
#include "core/Prompter.h"

class QMainWindow;

namespace kestrel {

class VirtualRadios;

void FleetWriteCommand(const AppContext& app, Prompter& prompter, QMainWindow* window,
                       VirtualRadios* radios = nullptr);

} // namespace kestrel
