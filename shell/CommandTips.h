#pragma once
// Tool tips, status tips and keyboard shortcuts of the menu and tool bar entries, by
// command id. Every entry gets tips without further work: an id this table does not
// know gets its caption without the access key as its tip, so a command added to the
// layout files is covered at once; a better sentence can be added here later.
#include "core/StringTable.h"

#include <QString>

namespace kestrel {

// "Read from Radio(&R)" -> "Read from Radio", "&Batch Edit" -> "Batch Edit", "A && B" -> "A & B".
QString CaptionWithoutAccessKey(const QString& caption);

// The sentence a command's entries show in the status bar (and as the tool tip of a
// menu entry): this table's text in `language`, else the caption without access key.
QString CommandStatusTip(const QString& id, const QString& caption, Language language);

// The tool tip of a tool bar button: the caption without access key, followed by the
// shortcut in brackets when the command has one ("Save (Ctrl+S)").
QString CommandToolTip(const QString& id, const QString& caption);

// The command's shortcut in portable text ("Ctrl+S", "F1"); empty when it has none.
QString CommandShortcut(const QString& id);

} // namespace kestrel
