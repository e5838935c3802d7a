#pragma once
// The process-wide values of one run: made by the start-up, owned by main() and
// handed by reference to whoever needs them. Nothing else holds codeplug state.
#include "core/Band.h"
#include "core/ImageHistory.h"
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QString>
#include <QStringList>

namespace kestrel {

struct AppContext {
    QString productName;
    QString companyName;
    QString settingsKeyPath;   // SoftWare\Varnel\Kestrel
    int versionMajor = 0;
    int versionMinor = 0;
    int versionRevision = 0;
    QString appFolder;         // the program's folder, always ending in a separator
    QString currentFileName;   // "Untitled" until a file is opened or saved
    Language language = English;
    quint8 portNumber = 1;
    // The network port chosen in the port dialog ("rfc2217://radio-bench.local:3001"):
    // every transfer goes through it instead of Com portNumber. Empty: Com portNumber.
    QString networkPort;
    qint16 recvInterval = 20;  // ms, for the clone engine's receive timer
    qint16 recvCount = 50;     // the clone engine's tickCountMax for full reads and writes
    QString releaseDate;
    QString radioVersion[2];   // versions the radio reported: firmware, hardware
    QStringList toneTable;     // the tone option table; position 0 follows the language

    MemoryImage image;         // the image and its saved-state copy
    ImageChanges changes;      // every undoable change to the image passes here
    BandLimits band;           // decoded from the image (or chosen in the channel editor)
    bool radioReadFlag = false; // true while the main window's read command runs

    QString backupFolder;          // every full read leaves a copy of the radio's memory here
    int backupDays = 365;          // [Backup] Days: older backups go when a new one is written; 0 keeps all
    bool verifyAfterWrite = false; // [Transfer] VerifyAfterWrite: read a full write back and compare

    // Version text "major.minor.revision".
    QString versionText() const;
};

// The program folder text with one trailing separator: "/" or "\" is kept when the
// text already ends in one, "/" is appended otherwise.
QString WithTrailingSeparator(const QString& folder);

} // namespace kestrel
