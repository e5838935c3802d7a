#pragma once
// Where the user guide is. The package installs it in share/kestrel/guide (the programs
// live in lib/kestrel); a build makes it in the build folder's guide/, beside bin/. Each
// language has its own page: index.html (English) and index-zh.html (Chinese).
#include "core/StringTable.h"

#include <QString>
#include <QStringList>

namespace kestrel {

QString UserGuidePageName(Language language);

// The folders the guide may be in, for a program in `programFolder`: installed first.
QStringList UserGuideFolders(const QString& programFolder);

// The guide's page in this language, or empty when no folder holds it.
QString FindUserGuide(const QString& programFolder, Language language);

// What to tell the user when the guide is not found: where it would be.
QString UserGuideMissingText(const QString& programFolder, Language language);

} // namespace kestrel
