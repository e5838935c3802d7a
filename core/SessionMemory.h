#pragma once
// What the GUI remembers from one run to the next beside "Language" and "Port": the
// main window's place, size and maximised state, the tree band's width, the folder of
// the last file dialog and the files used last. Kept as text values in the settings
// store. The language and which bands are shown are not remembered: every run starts
// in English with all bands shown.
#include "core/Settings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrel {

constexpr int MaxRecentFiles = 8;

struct SessionMemory {
    QByteArray windowGeometry; // as the window saved it; empty: not known
    int treeWidth = 0;         // pixels; 0: not known
    QString lastFolder;        // empty: not known
    QStringList recentFiles;   // newest first, at most MaxRecentFiles
};

SessionMemory ReadSessionMemory(const SettingsStore& store);
// The window's place, the tree width and the last folder; false when a value could not be stored.
bool WriteWindowMemory(SettingsStore& store, const SessionMemory& memory);
// The recent files ("RecentFile1" newest ... "RecentFile8", empty when unused).
bool WriteRecentFiles(SettingsStore& store, const QStringList& files);

// `files` with `path` at its head: the same file further down goes, and the list keeps
// its newest MaxRecentFiles entries. Paths are made absolute and clean.
QStringList WithRecentFile(const QStringList& files, const QString& path);
QStringList WithoutRecentFile(const QStringList& files, const QString& path);

} // namespace kestrel
