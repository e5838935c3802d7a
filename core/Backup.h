#pragma once
// Automatic backups: every successful full read also leaves what the radio held in
// the backup folder, as the file a read makes, named after the local time and the
// band ("20250131-235959_136-174.dat"). Old backups are pruned when a new one is
// written. Also the two settings of the radio workflow: [Backup] Days and
// [Transfer] VerifyAfterWrite.
#include "core/AppContext.h"
#include "core/Settings.h"

#include <QDateTime>
#include <QStringList>

namespace kestrel {

// A full read fetches lines 0-253 (0x0000-0x0FDF).
constexpr int LastReadLine = 253;
constexpr int DefaultBackupDays = 365;

// The file a full read makes: lines 0-253 of `read` (what the radio sent), the rest
// from the default image of band `bandIndex` in `appFolder`. False, with `error`,
// when the default image cannot be loaded.
bool ReadResultImage(const MemoryImage& read, int bandIndex, const QString& appFolder, MemoryImage* out,
                     QString* error);

// backups/ under the application-data location (on Linux $XDG_DATA_HOME/Varnel/Kestrel/backups).
QString DefaultBackupFolder();

// "YYYYMMDD-HHMMSS_<band>.dat"; a `sequence` of 2 or more adds "-2", "-3" ... before ".dat".
QString BackupFileName(const QDateTime& when, int bandIndex, int sequence = 1);
// The time a backup's name carries; invalid for a name that is not a backup's.
QDateTime BackupNameTime(const QString& fileName);

struct BackupResult {
    bool ok = false;
    QString path;       // the file written
    QString error;      // why no backup was written
    QStringList pruned; // old backups deleted
};

// Writes `image` into `folder` (made when missing) under the name for `when` and the
// band, the next free sequence number when the name is taken, then deletes the
// backups whose name's time is more than `keepDays` days before `when` (0 keeps all).
BackupResult WriteBackup(const MemoryImage& image, int bandIndex, const QString& folder, int keepDays,
                         const QDateTime& when = QDateTime::currentDateTime());

// Deletes the backups in `folder` older than `keepDays` days before `now`; other files
// are left alone. Returns the names deleted.
QStringList PruneBackups(const QString& folder, int keepDays, const QDateTime& now);

// What the user is told after a backup: where it went, or why there is none.
QString BackupReport(const BackupResult& result, Language language);

// [Backup] Days (a whole number of days, 0 keeps all; default 365) and
// [Transfer] VerifyAfterWrite (0 or 1; default 0) into `app`. Unusable values keep the
// defaults and give a warning.
QStringList ReadTransferSettings(AppContext& app, const SettingsStore& store);
// Remembers the Verify After Write choice; false when it could not be stored.
bool StoreVerifyAfterWrite(bool on, SettingsStore& store);

} // namespace kestrel
