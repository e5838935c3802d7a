#pragma once
// Fleet programming: one image written into many radios at once, one port each.
//
// Every radio (a row) has a clone engine of its own with its own timers and port,
// all on the UI thread, and a copy of the program's values to work on: the image
// to send, the band it must match, the language, the timing. The engines never ask
// the user anything; what would have been a message box ("Connection Fail!", a band
// mismatch, a port that does not open) becomes the row's outcome. So the open image
// and the program's own radio version texts are never touched by a fleet write.
//
// With verify on, each row reads its radio back after the write and compares
// every byte the write sent (no backups are made of a read-back). Each finished run
// of a row appends one line to the audit log (FleetLog). A row that failed can be
// run again on its own while the others go on.
//
// With per-radio values (PerRadioTable) each radio gets the image with its table
// row's fields set. Rows keyed by port belong to their port for every run; with rows
// keyed by ESN each run first reads the radio's ESN in a session of its own (as the
// radio information view reads it) and then writes the image of the row of that ESN,
// or nothing when no row has it. Verify compares with the radio's own bytes.
#include "core/AppContext.h"
#include "fleet/FleetLog.h"
#include "fleet/PerRadioTable.h"

#include <QList>
#include <QObject>
#include <memory>
#include <vector>

namespace kestrel {

enum class FleetOutcome {
    None,         // not run yet
    Running,      // writing or verifying
    Ok,           // written (and, with verify on, read back alike)
    VerifyFailed, // written, but the radio holds different data
    NoAnswer,     // the radio did not answer (or stopped answering)
    BandMismatch, // the radio's band differs from the image's: nothing was written
    PortError,    // the port did not open, or went away during the transfer
    Stopped,      // stopped from outside (the fleet window closed)
    NoRow,        // per-radio values by ESN: no row has the radio's ESN, nothing was written
};

// "ok", "verify-failed", "no-answer", "band-mismatch", "port-error", "stopped", "no-row";
// empty for None and Running.
QString FleetOutcomeName(FleetOutcome outcome);
// kestrel-cli's exit status for a radio with this outcome: 0 ok, 3 no answer or
// port error (or stopped, or no row for its ESN), 4 band mismatch, 5 verify failed.
int FleetExitStatus(FleetOutcome outcome);

// The bytes a fleet sends for the open image: a copy with the current channel byte
// set from the shown group, as the write command sets it before writing.
MemoryImage FleetImageOf(const AppContext& app);

// A radio to write: the port as the user names it, the device it opens, and the
// USB adapter's serial number (for the log; may be empty).
struct FleetTarget {
    QString port;
    QString device;
    QString usbSerial;
};

struct FleetRow {
    enum class Phase { Idle, ReadingEsn, Writing, Verifying };
    FleetTarget target;
    Phase phase = Phase::Idle;
    FleetOutcome outcome = FleetOutcome::None;
    int progress = 0;     // 0-100 of the current phase
    bool written = false; // the radio acknowledged every line of the write
    int radioBand = -1;   // band index the radio reported; -1 before it did
    QString version[2];   // the radio's version texts
    QString verify;       // "ok", "failed", "off" once the run has ended; empty before
    QString detail;       // what the row would have shown in a message box, or the differences
    int runs = 0;         // runs started
    // Per-radio values: the table row the radio takes (-1: none, or its ESN not read
    // yet), its assignments as the log keeps them, the ESN read (rows keyed by ESN).
    int tableRow = -1;
    QString values;
    QString esn;
    QString sha256; // of the bytes this radio is sent
};

class VirtualRadios;

class FleetWrite : public QObject {
    Q_OBJECT
public:
    // `app`: language, product name, receive timing and the band the radios must be
    // (app.band); `image`: the bytes every radio gets, taken now.
    FleetWrite(const AppContext& app, const MemoryImage& image, QObject* parent = nullptr);
    ~FleetWrite() override;

    // The demo mode's virtual radios, which targets may name by their devices
    // ("virtual:1"); set before the targets.
    void setVirtualRadios(VirtualRadios* radios) { m_virtual = radios; }
    // The radios; only while nothing runs (false otherwise).
    bool setTargets(const QList<FleetTarget>& targets);
    // Read every radio back after its write and compare.
    void setVerify(bool on) { m_verify = on; }
    bool verify() const { return m_verify; }
    // How often a row answers "Connection Fail!" with Retry before giving up (0 by default).
    void setRetries(int retries) { m_retries = retries; }
    // The audit log and the image's name in it; an empty file name: no log.
    void setLog(const QString& file, const QString& imageName);
    // Per-radio values read on this fleet's image (an empty table: none); only while
    // nothing runs. Rows keyed by port are matched to the targets now.
    bool setPerRadio(const PerRadioTable& table);
    const PerRadioTable& perRadio() const { return m_table; }
    bool hasPerRadio() const { return !m_table.isEmpty(); }
    // With rows keyed by port, what keeps `rows` (the radios of a run) from being
    // written: a radio without a row, a row without a radio. Empty when nothing does.
    QStringList perRadioMismatches(const QList<int>& rows, Language language) const;
    // With rows keyed by ESN, the table rows that none of `rows` took in its last run.
    QList<int> tableRowsNotMet(const QList<int>& rows) const;

    const MemoryImage& image() const { return m_image; }
    QString sha256() const { return m_sha256; }
    int bandIndex() const { return m_band; }

    int rowCount() const { return int(m_rows.size()); }
    const FleetRow& row(int i) const;

    // Starts every row at once (or the rows listed). finished() follows when the last
    // one has ended.
    void start();
    void start(const QList<int>& rows);
    // Starts one row again (Retry); false when it runs already or does not exist.
    bool startRow(int i);
    // Ends every transfer now: the port of each closes, its row becomes Stopped.
    void stop();
    // Ends every transfer after its current frame with the end frame (Ctrl+C): each
    // running row becomes Stopped, with what its radio holds in its detail, and is
    // logged. Rows not started stay as they are; finished() follows as usual.
    void requestStop();
    bool running() const;
    bool rowRunning(int i) const;

    // The last problem writing the log; empty when every line went in.
    QString logError() const { return m_logError; }

signals:
    void rowChanged(int row);  // progress, phase, band or outcome changed
    void rowFinished(int row); // a run of the row has ended (its log line is written)
    void finished();           // nothing runs any more
    void logFailed(const QString& error);

private:
    struct Session;
    void beginRun(int i);
    void beginWrite(int i, quint64 run);
    void beginVerify(int i, quint64 run);
    void takeTableRow(int i, int tableRow);
    void onEsnRead(int i);
    void onProgress(int i);
    void onClosed(int i);
    void finish(int i, FleetOutcome outcome, const QString& verify);
    void writeLogLine(const FleetRow& row);
    void checkFinished();

    AppContext m_app; // the caller's values with the image to send and its band
    MemoryImage m_image;
    QString m_sha256;
    int m_band = 0;
    bool m_verify = false;
    VirtualRadios* m_virtual = nullptr;
    int m_retries = 0;
    QString m_logFile;
    QString m_imageName;
    QString m_logError;
    PerRadioTable m_table;
    bool m_stopping = false; // requestStop: no new transfer starts
    int m_starting = 0; // inside start()/startRow(): finished() waits until they end
    std::vector<FleetRow> m_rows;
    std::vector<std::unique_ptr<Session>> m_sessions;
};

// Runs a fleet to its end in a local event loop (kestrel-cli, the benchmark).
void RunFleetToEnd(FleetWrite& fleet);

} // namespace kestrel
