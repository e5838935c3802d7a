#pragma once
// Asks serial devices (and network ports, each connected with a time-out of 2 s)
// whether a radio is on them: one handshake, the
// identification request and the end frame each, nothing read from or written to
// the radio's memory. All devices at once on the UI thread (timers and the ports'
// own signals, no threads), with a time-out of its own per exchange. The program's
// radio version texts are left alone: what a radio says stays in the results.
#include "core/StringTable.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace kestrel {

class VirtualRadios;

struct ProbeResult {
    QString device;
    bool opened = false;
    QString openError;      // why the device did not open, for the user
    int openErrorCode = 0;  // QSerialPort::SerialPortError of the failed open
    QString systemError;    // the system's own description of it
    bool handshake = false; // the radio acknowledged the handshake
    bool answered = false;  // and identified itself
    int band = -1;          // band index from its identification
    QString version[2];     // its two version texts
};

class RadioProbe : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 1000;
    // How long the connection to a network port may take.
    static constexpr int NetworkConnectTimeoutMs = 2000;

    explicit RadioProbe(quint8 language = English, QObject* parent = nullptr);
    ~RadioProbe() override;

    // Milliseconds each reply may take (1 s by default; Radio.INI plays no part).
    void setTimeout(int ms) { m_timeoutMs = ms; }
    // The demo mode's virtual radios, asked through their devices ("virtual:1").
    void setVirtualRadios(VirtualRadios* radios) { m_virtual = radios; }

    // Starts asking every device at once; finished() follows, never from inside start().
    void start(const QStringList& devices);
    bool running() const { return m_running; }
    // Results in the order the devices were given.
    QList<ProbeResult> results() const;

signals:
    void finished();

private:
    struct Session;
    void send(Session& s, qint16 step);
    void onBytes(Session& s);
    void onTimeout(Session& s);
    void finish(Session& s);
    void checkDone();
    void dropSessions();

    quint8 m_language;
    VirtualRadios* m_virtual = nullptr;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_running = false;
    bool m_starting = false; // inside start(): finished() waits
    std::vector<std::unique_ptr<Session>> m_sessions;
};

// Runs a probe to its end in a local event loop (kestrel-cli, the cable check).
QList<ProbeResult> ProbeRadios(const QStringList& devices, quint8 language = English,
                               int timeoutMs = RadioProbe::DefaultTimeoutMs, VirtualRadios* radios = nullptr);

// The reply to `frame` in what came back, once complete (`replyLength` bytes with
// the right first byte for the step), found by the clone engine's framing rule:
// after an echo of the frame (a cable that echoes) and any stray bytes.
std::optional<QByteArray> ProbeReply(const QByteArray& received, const QByteArray& frame, int replyLength,
                                     qint16 step);

// "400-470 MHz".
QString BandName(int band);

// "400-470 MHz, versions 1.5 / 12.30" for a radio that answered.
QString RadioIdentity(const ProbeResult& result, quint8 language);

// "radio answers: 400-470 MHz, versions 1.5 / 12.30", or what went wrong instead.
QString ProbeSummary(const ProbeResult& result, quint8 language);

} // namespace kestrel
