#pragma once
// The main window caption: Kestrel[136-174 MHz] [File Name: radio1.dat].
#include "core/StringTable.h"

#include <QString>

namespace kestrel {

// What follows the last path separator ("\" everywhere, and "/" on systems that use
// it); the whole name when there is none. "Untitled" stays "Untitled".
QString FilePartOfName(const QString& fileName);

// Kestrel[136-174 MHz] [File Name: radio1.dat], with "*" after the file name when
// the image has unsaved changes.
QString BuildCaption(const QString& productName, const QString& bandText, const QString& fileName,
                     Language language, bool modified = false);

} // namespace kestrel
