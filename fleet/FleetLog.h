#pragma once
// The audit log of fleet writes: one CSV line per radio and run, appended to
// fleet-log.csv in the application-data folder (or a file the user names). A new
// file starts with the header line
//   time,port,device,usb_serial,band,version1,version2,image,sha256,verify,outcome,esn,values
// A log whose first line is another header (one kept by an earlier version) is renamed
// with ".old" appended (".old.1", ".old.2"... when taken) and a new one started. GUI-free; the fleet window and kestrel-cli write it through the same rules.
#include "core/StringTable.h"

#include <QDateTime>
#include <QString>

namespace kestrel {

struct FleetLogEntry {
    QDateTime time;
    QString port;      // as the user named it: "Com 5", "/dev/ttyUSB0"
    QString device;    // the device opened
    QString usbSerial; // the USB adapter's serial number, when the system knows it
    QString band;      // the band the radio reported ("136-174"); empty when it never did
    QString version1, version2;
    QString image;   // the file name of the image, or "Untitled"
    QString sha256;  // of the 8192 bytes sent, in lower-case hex
    QString verify;  // "ok", "failed", "off"
    QString outcome; // "ok", "verify-failed", "no-answer", "band-mismatch", "port-error", "stopped", "no-row"
    QString esn;     // the ESN read before a write with per-radio values chosen by ESN; empty otherwise
    QString values;  // the radio's own values: "DTMF / ANI Code=101;DTMF / PTTID BOT=1101"
};

QString FleetLogHeader();
// One line of the log (without its line end); fields holding a comma, a quote or a
// line break are quoted.
QString FleetLogLine(const FleetLogEntry& entry);
// ISO 8601 local time with its offset: "2026-03-01T14:05:09+01:00".
QString FleetLogTime(const QDateTime& time);

// fleet-log.csv in the application-data folder.
QString DefaultFleetLogFile();

// Makes the log's folder and opens the log for appending once, so a log that
// cannot be written is found before any radio is (a log with another header is
// renamed now). False with `error` set.
bool PrepareFleetLog(const QString& file, QString* error, Language language = English);

// Appends one line, after the header when the file is new or empty.
bool AppendFleetLog(const QString& file, const FleetLogEntry& entry, QString* error,
                    Language language = English);

} // namespace kestrel
