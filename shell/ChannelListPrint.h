#pragma once
// The printed channel list: the channels in use (or all 128) in the columns and texts of
// the channel grid, with the caption (band and file name) and the date at the top of
// every page and the page number at the bottom.
#include "core/AppContext.h"

#include <QDate>

class QPrinter;

namespace kestrel {

// The channel table as an HTML document; its header row repeats on every page.
QString ChannelListHtml(const AppContext& app, bool allChannels);

// How many channels the list holds: those in use, or all 128.
int PrintedChannelCount(const AppContext& app, bool allChannels);

// "Page 2 of 5" / "第 2 页，共 5 页".
QString PageNumberText(int page, int pages, Language language);

// Prints on an already chosen printer. False when the printer could not be started (a
// PDF file that cannot be written); the image is never changed.
bool PrintChannels(const AppContext& app, const QString& bandText, QPrinter& printer, bool allChannels,
                   const QDate& date = QDate::currentDate());

} // namespace kestrel
