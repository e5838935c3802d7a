#pragma once
// The main window's safety net around the radio commands: the backup after every
// full read, the backup folder for "Open Backup…", the Verify After Write choice and
// the verdict of a read-back. The rules themselves live in core/Backup and
// link/WriteVerify; this room only shows their results.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "core/Settings.h"

#include <QList>

class QAction;
class QStatusBar;

namespace kestrel {

class CloneEngine;

class RadioSafety {
public:
    RadioSafety(AppContext& app, SettingsStore& store, Prompter& prompter, CloneEngine& engine,
                QStatusBar* statusBar);

    // After a full read: what the radio held goes into the backup folder, as the file
    // a read makes; the outcome is shown on the status bar and never fails the read.
    void BackupAfterRead();

    // The folder "Open Backup…" opens (made when missing, so the dialog can show it).
    QString BackupFolderForOpen() const;

    // Flips Verify After Write and remembers it in the settings store.
    void ToggleVerifyAfterWrite();
    // Check marks of the Verify After Write entries.
    void RefreshChecks(const QList<QAction*>& entries) const;

    // After the read-back of a write (`sent` is what was written): true when the radio
    // holds every byte that was sent. Otherwise the user has been told: a list of the
    // differences in an error box, or a status bar line when the read-back did not finish.
    bool ReportVerify(const MemoryImage& sent);

private:
    AppContext& m_app;
    SettingsStore& m_store;
    Prompter& m_prompter;
    CloneEngine& m_engine;
    QStatusBar* m_statusBar;
};

} // namespace kestrel
