#pragma once
// The start-up sequence and the settings written back at exit.
#include "core/AppContext.h"
#include "core/Settings.h"

#include <QStringList>

namespace kestrel {

struct StartupOptions {
    QString programFolder;    // where Radio.INI and the default images live
    QString settingsLocation; // empty: the default settings store
};

// Runs the start-up in its order: names from the version resource, the settings key
// path, Radio.INI, the settings store (the language always starts as English), the
// application folder, the file name "Untitled", the tone option table and the radio
// version texts. Returns the warnings to report once (bad Radio.INI values, odd Port).
QStringList RunStartup(AppContext& app, const StartupOptions& options);

// The Radio.INI the run reads: the user's own in the settings file's folder (the folder of
// KESTREL_SETTINGS when set) when there is one, else the one beside the program, which
// needs root to edit and is replaced on upgrade.
QString RadioIniPath(const QString& settingsKeyPath, const StartupOptions& options);

// Reads "Port", [Backup] Days and [Transfer] VerifyAfterWrite (the stored "Language" is
// deliberately not applied: every run starts in English).
QStringList ReadRegistrySettings(AppContext& app, const SettingsStore& store);

// Writes "Language" and then "Port"; false when a value could not be stored.
bool SaveRegistrySettings(const AppContext& app, SettingsStore& store);

// A write that meets the file-size limit then fails with "File too large", which
// the save reports (keeping the old file and the edits), instead of the system
// ending the program. Both programs call it first thing in main().
void IgnoreFileSizeLimitSignal();

// The settings store the run uses.
SettingsStore OpenSettingsStore(const AppContext& app, const StartupOptions& options);

} // namespace kestrel
