#pragma once
// What the main window shows while the demo mode is on: a mark after the caption's
// file name part and a note on the status bar.
#include "core/StringTable.h"

#include <QString>

namespace kestrel {

// " [Demo: virtual radios]", written like the caption's other parts.
QString DemoCaptionMark(Language language);

// The status bar's note.
QString DemoStatusText(Language language);

} // namespace kestrel
