#pragma once
// Program > Fleet Write…: the open image into every checked radio at once. One row
// per port (the names of the port dialog) with its check box, progress, the band the
// radio reported, the verify result and the outcome; a radio that fails fails alone
// and its Retry runs it alone. Repeat runs the same list again for the next set of
// radios. Every run of a radio goes into the audit log, whose folder a button opens.
// Closing the window while radios are being written asks first, then stops them.
// In demo mode the virtual radios follow the ports and the log goes to the demo's
// temporary folder. "Per-radio values…" loads a table of values of each radio's own
// (PerRadioTable): a Values column then shows what each radio gets, and every run,
// Retry and Repeat too, gives each radio its own.
// The network ports the port dialog remembers come last, each named by its URL.
#include "core/AppContext.h"
#include "core/Prompter.h"

#include <QDialog>
#include <QList>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QUrl;

namespace kestrel {

class FleetWrite;
class VirtualRadios;

class frmFleet : public QDialog {
    Q_OBJECT
public:
    enum Column { ColPort, ColDevice, ColProgress, ColBand, ColVerify, ColValues, ColOutcome, ColRetry, ColumnCount };

    // The bytes to send are taken from `app` now (its image with the current channel
    // byte set); nothing of `app` is changed. `imageName`: the file name for the log.
    frmFleet(const AppContext& app, Prompter& prompter, const QString& imageName, QWidget* parent = nullptr,
             VirtualRadios* radios = nullptr);
    ~frmFleet() override;

    QLabel* lblImage = nullptr;
    QTableWidget* grdFleet = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdRescan = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdRepeat = nullptr;
    QPushButton* cmdLogFolder = nullptr;
    QPushButton* cmdPerRadio = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* retryButton(int row) const;
    QProgressBar* progressBar(int row) const;

    // Lists the ports again (only before the first Start).
    void Rescan();
    // Writes to every checked radio at once; the list is then fixed.
    void Start();
    // Runs the same list again, for the next set of radios.
    void Repeat();
    // Runs one row again on its own.
    bool RetryRow(int row);
    void OpenLogFolder();
    // Asks for a table of per-radio values and loads it (every value checked on the
    // fleet's image; a refused table changes nothing). With rows keyed by port, before
    // the first Start, the ports it names are checked and the others not.
    bool LoadPerRadio();
    bool LoadPerRadio(const QString& fileName);

    bool running() const;
    const FleetWrite& fleet() const { return *m_fleet; }
    QString logFile() const { return m_logFile; }
    // What the last run came to, for the main window's status bar; empty before a run.
    QString summary() const;

    // Shows a folder in the desktop's file manager; tests put their own in.
    std::function<bool(const QUrl&)> openFolder;

signals:
    void runFinished(); // no radio is being written any more

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showRow(int row);
    void refreshButtons();
    void runList(bool first);
    bool mayClose();

    const AppContext& m_app;
    Prompter& m_prompter;
    VirtualRadios* m_virtual;
    QString m_imageName;
    QString m_logFile;
    std::unique_ptr<FleetWrite> m_fleet;
    QList<bool> m_usable; // per row: the port opened when it was listed
    QList<int> m_list;    // the rows of the run, fixed by Start
};

} // namespace kestrel
