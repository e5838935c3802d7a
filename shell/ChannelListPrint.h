#pragma once
// The printed channel list: the shown band, the file name and the 128 channels in the
// columns and texts of the channel grid.
#include "core/AppContext.h"

class QPrinter;

namespace kestrel {

// The channel list as an HTML document (also what the printer gets).
QString ChannelListHtml(const AppContext& app, const QString& bandText);

void PrintChannels(const AppContext& app, const QString& bandText, QPrinter& printer);

} // namespace kestrel
