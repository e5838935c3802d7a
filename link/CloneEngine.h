#pragma once
// The clone engine: copies image lines between the program and a radio over a
// serial port (or another CloneTransport), driven by two single-shot timers on the
// UI thread.
//
// One object lives for the whole run; the main window (full read / write, with
// frmClone shown modally) and the radio information view (lines 254 and 335,
// no window) share it. Calling order:
//
//     engine.setDirection(clone::Read);          // or clone::Write
//     engine.setTickCountMax(app.recvCount);
//     engine.setStepData(0);
//     engine.setStepExit(253);
//     engine.Start();
//     if (!engine.flagComplete()) frmClone.exec(); // closes on closed()
//
// Outcome: CloneExit(direction) once when the transfer has sent its end frame;
// CloneError() each time a failure reaches the "Connection Fail!" prompt, just
// before it. A band mismatch, a Cancel or a port that cannot be opened raise no
// event (outcome() tells them apart). A network port is connected first: the
// handshake goes out once the connection is made, and a connection that cannot be
// made ends the transfer like a port that does not open. closed() says the transfer has ended for
// whatever reason and the clone window must go.
//
// A read collects the received lines and puts them into the image only when the
// transfer ends successfully, just before CloneExit: a failed or cancelled read
// leaves the image byte for byte as it was. A read-back after a write
// (clone::Verify) keeps its lines apart (readBack()) and never touches the image.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "link/CloneProtocol.h"

#include <QByteArray>
#include <QMap>
#include <QObject>

class QTimer;

namespace kestrel {

class CloneTransport;

class CloneEngine : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint16 stepData READ stepData WRITE setStepData)
    Q_PROPERTY(qint16 stepExit READ stepExit WRITE setStepExit)
    Q_PROPERTY(qint16 tickCountMax READ tickCountMax WRITE setTickCountMax)
    Q_PROPERTY(qint16 recvInterval READ recvInterval WRITE setRecvInterval)
    Q_PROPERTY(bool flagComplete READ flagComplete)

public:
    enum class Outcome {
        Idle,         // no transfer started yet
        Running,      // a transfer is under way
        Completed,    // the end frame was sent, CloneExit raised
        Cancelled,    // CloseForm from outside (Cancel button, a closing view)
        Failed,       // "Connection Fail!" answered with Cancel
        BandMismatch, // the radio's band differs from the image's: nothing written
        StartFailed,  // the port could not be opened (or the line range is unusable)
        Stopped,      // requestStop: ended early with the end frame, the image untouched
    };
    Q_ENUM(Outcome)

    // recvInterval and tickCountMax start from app.recvInterval and app.recvCount.
    CloneEngine(AppContext& app, Prompter& prompter, QObject* parent = nullptr);
    Prompter& prompter() const { return m_prompter; }
    ~CloneEngine() override;

    qint16 stepData() const { return m_stepData; }
    void setStepData(qint16 line) { m_stepData = line; }
    qint16 stepExit() const { return m_stepExit; }
    void setStepExit(qint16 line) { m_stepExit = line; }
    qint16 tickCountMax() const { return m_tickCountMax; }
    void setTickCountMax(qint16 ticks) { m_tickCountMax = ticks; }
    qint16 recvInterval() const { return m_recvInterval; }
    // Milliseconds between receive ticks; a negative value counts as 0.
    void setRecvInterval(qint16 ms) { m_recvInterval = ms; }
    bool flagComplete() const { return m_flagComplete; }

    // 0 (clone::Read) reads from the radio, 1 (clone::Write) writes to it.
    quint8 direction() const { return m_direction; }
    void setDirection(quint8 direction) { m_direction = direction; }

    // The link the next Start opens instead of the serial port (a radio played in
    // the same process, for example); the engine does not own it, and goes back to
    // the serial port when it is destroyed or on nullptr. Not while a transfer runs.
    void setTransport(CloneTransport* transport);
    CloneTransport* transport() const { return m_transport; }

    // The device to open instead of the one app.portNumber maps to (for example
    // "/dev/pts/7" from the command line). Empty: app.networkPort when one is
    // chosen, else the port map.
    void setDevicePath(const QString& device) { m_devicePath = device; }
    QString devicePath() const { return m_devicePath; }
    // The settings file whose [Ports] group overrides the port map; empty (the
    // default): the settings store of the run.
    void setPortSettingsFile(const QString& file) { m_portSettingsFile = file; }
    // The device the next Start opens.
    QString portDevice() const;

    // Move on as soon as a complete valid reply is in (on by default); off, the
    // transfer moves on only at receive ticks.
    void setEarlyReplies(bool on) { m_earlyReplies = on; }
    bool earlyReplies() const { return m_earlyReplies; }

    // What the clone window shows.
    int progress() const { return m_progress; }
    QString caption() const { return m_caption; }
    bool okEnabled() const { return m_okEnabled; }

    Outcome outcome() const { return m_outcome; }
    // The lines a completed read-back (clone::Verify) got from the radio, by line
    // number; empty after any other transfer.
    const QMap<int, QByteArray>& readBack() const { return m_readBack; }
    // Band index the radio reported in its last identification reply; -1 before one.
    int radioBand() const { return m_radioBand; }
    // Automatic handshake restarts used in the current transfer.
    int handshakeRetries() const { return m_retryCount; }
    // Why the link broke in the current transfer, as its transport said ("The
    // connection to radio-bench.local:3001 was lost."); empty while it holds.
    QString lostError() const { return m_lostError; }

    // Opens the port and schedules the first frame. False when the transfer could
    // not start (the user was told; flagComplete is true, no event).
    bool Start();
    // Ends the transfer at once: stops both timers, closes the port, raises no event.
    void CloseForm();
    // Ends the transfer after the current frame (Ctrl+C, SIGTERM): once its reply is
    // in or its wait has run out, the end frame goes out and the port closes. The
    // outcome is Stopped, the image untouched, no event. Nothing while none runs.
    void requestStop();
    bool stopRequested() const { return m_stopRequested; }
    // Line frames of the current transfer the radio has answered, and how many it has.
    int framesDone() const { return m_framesDone; }
    int frameCount() const;

signals:
    void CloneExit(int direction);
    void CloneError();
    void progressChanged(int value);
    void captionChanged(const QString& caption);
    void okEnabledChanged(bool enabled);
    // The transfer has ended (any way); the clone window unloads.
    void closed();

private:
    enum class Verdict { Valid, Invalid, Abort };

    void RestartClone();
    void tmrSendTick();
    void TmrReceiveTick();
    void Fail();
    Verdict Evaluate(const QByteArray& reply);
    void unload();
    bool openPort(QString* error);
    void portOpenFailed(const QString& error);
    void takeBytes();
    void onReadyRead();
    void onPortLost();
    void onPortOpened();
    void onPortOpenFailed(const QString& error);
    void scheduleFirstFrame();
    void portLost(quint64 generation);
    void setProgress(int value);
    void setCaption(const QString& caption);
    void setOkEnabled(bool enabled);

    AppContext& m_app;
    Prompter& m_prompter;
    CloneTransport* m_serial;    // the program's own link (a serial or network port), owned
    CloneTransport* m_transport; // the link in use: m_serial or one set from outside
    QTimer* tmrSend;
    QTimer* TmrReceive;

    qint16 m_stepData = 0;
    qint16 m_stepExit = 253;
    qint16 m_tickCountMax = 50;
    qint16 m_recvInterval = 20;
    bool m_flagComplete = true;
    quint8 m_direction = clone::Read;
    QString m_devicePath;
    QString m_portSettingsFile;
    bool m_earlyReplies = true;

    // Transfer state.
    qint16 m_step = clone::StepHandshake;
    qint16 m_nextStep = clone::StepHandshake;
    QByteArray m_frame;          // the frame last sent
    QByteArray m_received;       // bytes received since it was sent
    clone::FoundReply m_found;   // the framing rule's reading of m_received
    bool m_newBytes = false;     // bytes came in since the last receive tick
    bool m_waiting = false;      // collecting a reply (between send and verdict)
    bool m_awaitingOpen = false; // the first frame waits for the connection
    bool m_sendNow = false;      // a line's reply judged as it came in: the next frame goes at once
    QString m_lostError;
    qint16 m_tickCount = 0;
    int m_retryCount = 0;
    bool m_abort = false;
    bool m_stopRequested = false;
    int m_framesDone = 0;
    bool m_loaded = false;
    quint64 m_generation = 0;    // changes whenever a transfer starts or ends
    QMap<int, QByteArray> m_pending; // lines read, put into the image at the end
    QMap<int, QByteArray> m_readBack; // lines of a completed read-back

    int m_progress = 0;
    QString m_caption;
    bool m_okEnabled = true;
    Outcome m_outcome = Outcome::Idle;
    int m_radioBand = -1;
};

} // namespace kestrel
