#pragma once
// File > Import Channels… and Export Channels…: channel lists in Kestrel's own CSV or
// the CHIRP generic CSV. Import finds the format from the file's header, applies the
// list as one undoable step and shows one report; Export writes the format chosen by
// the file type in the save dialog. The main window only passes the ids on.
#include "core/AppContext.h"
#include "core/Prompter.h"

#include <functional>

class QMainWindow;

namespace kestrel {

// Asks for a file and imports it. `refresh` runs after the image changed, before the
// report shows, so that the grid behind the report shows the channels. Nothing
// changes when the file cannot be read or is not a channel list. True when the list
// was applied.
bool ImportChannels(AppContext& app, Prompter& prompter, QMainWindow* window,
                    const std::function<void()>& refresh);

// Asks for a file and a file type and writes the channel list. True when written.
bool ExportChannels(const AppContext& app, Prompter& prompter, QMainWindow* window);

} // namespace kestrel
