#pragma once
// Files written and read the careful way: nothing but regular files is ever read as
// data or replaced by a save, and a save goes through a temporary file of Kestrel's
// own that is synced and renamed over the old file, its folder synced after.
#include "core/StringTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace kestrel {

// "FILE is not a regular file." / "FILE 不是普通文件。"
QString NotRegularFileText(const QString& fileName, Language language = English);

// Whether `fileName` names something that exists (links followed) and is neither a
// regular file nor a folder: a FIFO, a device, a socket. Such a name is never opened
// as data nor replaced by a save.
bool IsSpecialFile(const QString& fileName);

// False with NotRegularFileText in `error` for a special file; true for anything
// else (a missing file or a folder is left to the caller's own message).
bool CheckNotSpecial(const QString& fileName, QString* error);

// The temporary name a save of `fileName` writes first: ".radio1.dat.kestrel-XXXXXX"
// in the same folder (the Xs are filled in when it is made).
QString TemporaryNameFor(const QString& fileName);

// Removes the temporary files a killed save of Kestrel's left in `folder` that are
// older than an hour at `now`; every other file stays. Gives how many went.
int RemoveStaleTemporaries(const QString& folder, const QDateTime& now = QDateTime::currentDateTimeUtc());

// Writes `data` as `fileName`: a special file is refused, a link to a regular file
// keeps the link and replaces its target. The bytes go into a temporary file beside
// the target, synced, renamed over it, and the folder is synced, so a power cut
// leaves the old file or the new one. The new file keeps the old one's permissions.
// False with the system's reason in `reason` (the old file untouched).
bool WriteFileAtomically(const QString& fileName, const QByteArray& data, QString* reason);

} // namespace kestrel
