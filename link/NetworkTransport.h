#pragma once
// The clone engine's link to a radio behind a serial server on the network
// (ser2net and the like), named rfc2217://HOST:PORT or tcp://HOST:PORT.
//
// tcp:// is a raw byte stream: the server's port must be set to 9600 8N1.
// rfc2217:// speaks Telnet with the COM-PORT-OPTION: once connected, the link asks
// for binary transmission both ways, sets 9600 baud, 8 data bits, no parity, one
// stop bit and no flow control, raises DTR and purges both buffers of the server's
// port, as a local port does when it opens. It waits for none of the server's
// acknowledgements (a server whose device is a pseudo-terminal never confirms DTR:
// the link log says so once). The byte 0xFF of the data is doubled on the way out
// and undoubled on the way in; the server's Telnet commands are taken out of the
// data, however the stream splits them.
//
// The connection is made in the background: open() returns at once with
// connecting() true; opened() or openFailed() follow from the event loop. A
// connection that is refused, not made within the time-out or whose host name does
// not resolve fails with a message naming the host and port; one that drops
// afterwards raises lost().
#include "link/CloneTransport.h"
#include "ports/NetworkPort.h"

class QTcpSocket;
class QTimer;

namespace kestrel {

namespace telnet {

constexpr quint8 Iac = 0xFF;

// Takes the data out of a Telnet stream: undoubles 0xFF, drops commands and
// subnegotiations (a command split across two reads is completed by the next).
class Decoder {
public:
    struct Command {
        quint8 verb = 0;      // WILL, WONT, DO, DONT, or SB for a subnegotiation
        quint8 option = 0;
        QByteArray payload;   // a subnegotiation's bytes after the option, undoubled
    };
    // Appends the data in `bytes` to `data`; the commands found go to `commands`.
    void feed(const QByteArray& bytes, QByteArray& data, QList<Command>& commands);
    void reset() { *this = Decoder(); }

private:
    enum class State { Data, Iac, Verb, Sb, SbOption, SbIac };
    State m_state = State::Data;
    quint8 m_verb = 0;
    Command m_sb;
};

// `bytes` with every 0xFF doubled.
QByteArray Escape(const QByteArray& bytes);
// What an RFC 2217 client sends once connected: the option negotiation, then 9600
// 8N1, no flow control, DTR on and a purge of both buffers.
QByteArray Rfc2217Opening();

} // namespace telnet

class NetworkTransport : public CloneTransport {
    Q_OBJECT
public:
    static constexpr int DefaultConnectTimeoutMs = 3000;

    explicit NetworkTransport(QObject* parent = nullptr);
    ~NetworkTransport() override;

    // How long a connection may take (3 s by default; the probe uses 2 s).
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }

    bool open(const QString& device, quint8 language, QString* error) override;
    bool isOpen() const override;
    bool connecting() const override;
    qint64 send(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void clearInput() override;
    void close() override;
    QString name() const override;
    QString errorString() const override;

private:
    void onConnected();
    void onSocketError();
    void onConnectTimeout();
    void onDisconnected();
    void readSocket();
    QString unknownName() const;
    void failConnect(const QString& message);
    void dropSocket();
    void acknowledgeAtOnce();
    void handleCommand(const telnet::Decoder::Command& command);

    QTcpSocket* m_socket = nullptr; // one per connection
    QTimer* m_connectTimer;
    int m_connectTimeoutMs = DefaultConnectTimeoutMs;
    NetworkPort m_port;
    quint8 m_language = 0;
    bool m_open = false;       // from open() to close(): connecting or connected
    bool m_connected = false;
    bool m_lostReported = false;
    bool m_dtrConfirmed = false;
    quint64 m_generation = 0;  // changes on every open and close
    telnet::Decoder m_decoder;
    QByteArray m_in;           // received data not yet taken
    QByteArray m_pendingOut;   // sent while connecting: goes out once connected
    QString m_error;
};

} // namespace kestrel
