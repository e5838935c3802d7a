#pragma once
// Files the tests share: the built program folder and temporary folders.
#include "core/AppContext.h"

#include <QByteArray>
#include <QString>

namespace kestrel::test {

// The folder holding the built programs, default images and Radio.INI.
QString BinDir();

// An AppContext as the start-up makes it, with the program folder of the build and
// the settings store in `settingsFile` (never the user's own).
AppContext StartedApp(const QString& settingsFile);

// The default image of a band, read from the build.
QByteArray DefaultImageBytes(int band);

bool WriteFile(const QString& path, const QByteArray& data);
QByteArray ReadFile(const QString& path);

} // namespace kestrel::test
