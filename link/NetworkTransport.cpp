#include "link/NetworkTransport.h"

#include "core/Log.h"

#include <QTcpSocket>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace kestrel {

namespace telnet {

namespace {

constexpr quint8 Se = 240;
constexpr quint8 Sb = 250;
constexpr quint8 Will = 251;
constexpr quint8 Wont = 252;
constexpr quint8 Do = 253;
constexpr quint8 Dont = 254;

constexpr quint8 Binary = 0;
constexpr quint8 SuppressGoAhead = 3;
constexpr quint8 ComPort = 44;

// COM-PORT-OPTION commands (client to server; the server answers with 100 added).
constexpr quint8 SetBaudRate = 1;
constexpr quint8 SetDataSize = 2;
constexpr quint8 SetParity = 3;
constexpr quint8 SetStopSize = 4;
constexpr quint8 SetControl = 5;
constexpr quint8 PurgeData = 12;
constexpr quint8 ServerOffset = 100;

constexpr quint8 ParityNone = 1;
constexpr quint8 StopOne = 1;
constexpr quint8 NoFlowControl = 1;        // outbound, and both ways on most servers
constexpr quint8 NoInboundFlowControl = 14;
constexpr quint8 DtrOn = 8;
constexpr quint8 PurgeBoth = 3;

QByteArray Bytes(std::initializer_list<quint8> bytes) {
    QByteArray out;
    for (const quint8 b : bytes)
        out.append(char(b));
    return out;
}

QByteArray Negotiate(quint8 verb, quint8 option) {
    return Bytes({Iac, verb, option});
}

QByteArray ComPortCommand(quint8 command, const QByteArray& value) {
    return Bytes({Iac, Sb, ComPort, command}) + Escape(value) + Bytes({Iac, Se});
}

QByteArray Byte(quint8 b) {
    return QByteArray(1, char(b));
}

} // namespace

void Decoder::feed(const QByteArray& bytes, QByteArray& data, QList<Command>& commands) {
    for (const char c : bytes) {
        const quint8 b = quint8(c);
        switch (m_state) {
        case State::Data:
            if (b == Iac)
                m_state = State::Iac;
            else
                data.append(c);
            break;
        case State::Iac:
            if (b == Iac) {
                data.append(c);
                m_state = State::Data;
            } else if (b == Sb) {
                m_state = State::SbOption;
            } else if (b >= Will && b <= Dont) {
                m_verb = b;
                m_state = State::Verb;
            } else {
                m_state = State::Data; // NOP, GA and the like: nothing to do
            }
            break;
        case State::Verb:
            commands.append(Command{m_verb, b, {}});
            m_state = State::Data;
            break;
        case State::SbOption:
            m_sb = Command{Sb, b, {}};
            m_state = State::Sb;
            break;
        case State::Sb:
            if (b == Iac)
                m_state = State::SbIac;
            else if (m_sb.payload.size() < 256) // a runaway subnegotiation cannot grow
                m_sb.payload.append(c);
            break;
        case State::SbIac:
            if (b == Iac) {
                if (m_sb.payload.size() < 256)
                    m_sb.payload.append(c);
                m_state = State::Sb;
            } else {
                // IAC SE ends it (anything else after IAC ends it too).
                commands.append(m_sb);
                m_sb = Command();
                m_state = State::Data;
            }
            break;
        }
    }
}

QByteArray Escape(const QByteArray& bytes) {
    if (!bytes.contains(char(Iac)))
        return bytes;
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        out.append(c);
        if (quint8(c) == Iac)
            out.append(c);
    }
    return out;
}

QByteArray Rfc2217Opening() {
    QByteArray out;
    out += Negotiate(Will, Binary);
    out += Negotiate(Do, Binary);
    out += Negotiate(Will, SuppressGoAhead);
    out += Negotiate(Do, SuppressGoAhead);
    out += Negotiate(Will, ComPort);
    out += ComPortCommand(SetBaudRate, QByteArray("\x00\x00\x25\x80", 4)); // 9600
    out += ComPortCommand(SetDataSize, Byte(8));
    out += ComPortCommand(SetParity, Byte(ParityNone));
    out += ComPortCommand(SetStopSize, Byte(StopOne));
    out += ComPortCommand(SetControl, Byte(NoFlowControl));
    out += ComPortCommand(SetControl, Byte(NoInboundFlowControl));
    out += ComPortCommand(SetControl, Byte(DtrOn));
    out += ComPortCommand(PurgeData, Byte(PurgeBoth));
    return out;
}

} // namespace telnet

NetworkTransport::NetworkTransport(QObject* parent)
    : CloneTransport(parent), m_connectTimer(new QTimer(this)) {
    m_connectTimer->setSingleShot(true);
    connect(m_connectTimer, &QTimer::timeout, this, &NetworkTransport::onConnectTimeout);
}

NetworkTransport::~NetworkTransport() {
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

void NetworkTransport::dropSocket() {
    if (!m_socket)
        return;
    QTcpSocket* socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    socket->setParent(nullptr);
    if (socket->state() == QAbstractSocket::ConnectedState) {
        // What was sent still reaches the server (the end frame, say); unread input
        // would make the system reset the connection instead of closing it.
        socket->readAll();
        connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(1000, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
        return;
    }
    socket->abort();
    socket->deleteLater();
}

bool NetworkTransport::open(const QString& device, quint8 language, QString* error) {
    close();
    m_language = language;
    m_error.clear();
    const std::optional<NetworkPort> port = ParseNetworkPort(device, language, &m_error);
    if (!port) {
        if (error)
            *error = m_error;
        return false;
    }
    m_port = *port;
    m_open = true;
    m_connected = false;
    m_lostReported = false;
    m_dtrConfirmed = false;
    m_decoder.reset();
    qCDebug(logLink) << "connecting to" << m_port.url();
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &NetworkTransport::onConnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &NetworkTransport::onSocketError);
    connect(m_socket, &QTcpSocket::disconnected, this, &NetworkTransport::onDisconnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &NetworkTransport::readSocket);
    m_connectTimer->start(m_connectTimeoutMs);
    if (m_port.neverResolves()) {
        // As the resolver would answer, without asking it.
        QTimer::singleShot(0, m_socket, [this] {
            if (m_open && !m_connected)
                failConnect(unknownName());
        });
        return true;
    }
    m_socket->connectToHost(m_port.host, m_port.port);
    if (!m_open) { // refused on the spot
        if (error)
            *error = m_error;
        return false;
    }
    return true;
}

bool NetworkTransport::isOpen() const {
    return m_open;
}

bool NetworkTransport::connecting() const {
    return m_open && !m_connected;
}

void NetworkTransport::onConnected() {
    if (!m_open || m_connected)
        return;
    m_connectTimer->stop();
    m_connected = true;
    // Each frame goes out at once, not gathered with the next.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    acknowledgeAtOnce();
    if (m_port.protocol == NetworkProtocol::Rfc2217)
        m_socket->write(telnet::Rfc2217Opening());
    if (!m_pendingOut.isEmpty())
        m_socket->write(std::exchange(m_pendingOut, QByteArray()));
    m_socket->flush();
    qCDebug(logLink) << "connected to" << m_port.url();
    emit opened();
}

QString NetworkTransport::unknownName() const {
    return Pick(m_language, "the name %1 is not known", "找不到名称 %1").arg(m_port.host);
}

void NetworkTransport::failConnect(const QString& reason) {
    m_error = Pick(m_language, "Cannot connect to %1: %2.", "无法连接到 %1：%2。").arg(m_port.hostPort(), reason);
    qCDebug(logLink) << m_error;
    const quint64 generation = ++m_generation;
    m_open = false;
    m_connectTimer->stop();
    dropSocket();
    // Never from inside open(): it returns false with the message instead.
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation)
            emit openFailed(m_error);
    });
}

void NetworkTransport::onSocketError() {
    if (!m_open)
        return;
    if (m_connected) {
        onDisconnected();
        return;
    }
    switch (m_socket->error()) {
    case QAbstractSocket::ConnectionRefusedError:
        failConnect(Pick(m_language, "connection refused", "连接被拒绝"));
        return;
    case QAbstractSocket::HostNotFoundError:
        failConnect(unknownName());
        return;
    case QAbstractSocket::SocketTimeoutError:
        onConnectTimeout();
        return;
    default:
        failConnect(m_socket->errorString());
        return;
    }
}

void NetworkTransport::onConnectTimeout() {
    if (m_open && !m_connected)
        failConnect(Pick(m_language, "no answer within %1 seconds", "%1 秒内无应答")
                        .arg(QString::number(m_connectTimeoutMs / 1000.0)));
}

void NetworkTransport::onDisconnected() {
    if (!m_open || !m_connected || m_lostReported)
        return;
    readSocket(); // what came before the end still counts
    m_lostReported = true;
    m_error = Pick(m_language, "The connection to %1 was lost.", "与 %1 的连接已断开。").arg(m_port.hostPort());
    qCDebug(logLink) << m_error << m_socket->errorString();
    emit lost();
}

// Acknowledges what comes in at once rather than up to 40 ms later: a server that
// gathers small writes (Nagle's rule, ser2net's default) holds the rest of a
// reply, byte by byte off the radio's wire, until the first part is acknowledged.
// The system drops the flag again by itself, so it is set after every read.
void NetworkTransport::acknowledgeAtOnce() {
#if defined(Q_OS_LINUX) && defined(TCP_QUICKACK)
    const int on = 1;
    if (m_socket && m_socket->socketDescriptor() >= 0)
        setsockopt(int(m_socket->socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
}

void NetworkTransport::readSocket() {
    if (!m_open || !m_socket)
        return;
    const QByteArray bytes = m_socket->readAll();
    acknowledgeAtOnce();
    if (bytes.isEmpty())
        return;
    const int before = m_in.size();
    if (m_port.protocol == NetworkProtocol::Raw) {
        m_in += bytes;
    } else {
        QList<telnet::Decoder::Command> commands;
        m_decoder.feed(bytes, m_in, commands);
        for (const auto& c : commands)
            handleCommand(c);
    }
    if (m_in.size() > before)
        emit readyRead();
}

void NetworkTransport::handleCommand(const telnet::Decoder::Command& c) {
    using namespace telnet;
    if (c.verb == Sb) {
        if (c.option == ComPort && !c.payload.isEmpty() &&
            quint8(c.payload.at(0)) == SetControl + ServerOffset && c.payload.size() >= 2 &&
            quint8(c.payload.at(1)) == DtrOn)
            m_dtrConfirmed = true;
        return;
    }
    const bool ours = c.option == Binary || c.option == SuppressGoAhead || c.option == ComPort;
    if (ours)
        return; // answers to what the link asked for; asking again would loop
    // Anything else the server offers or asks for is declined.
    if (c.verb == Will)
        m_socket->write(Negotiate(Dont, c.option));
    else if (c.verb == Do)
        m_socket->write(Negotiate(Wont, c.option));
}

qint64 NetworkTransport::send(const QByteArray& bytes) {
    if (!m_open)
        return -1;
    const QByteArray out = m_port.protocol == NetworkProtocol::Rfc2217 ? telnet::Escape(bytes) : bytes;
    if (!m_connected || !m_socket) {
        m_pendingOut += out;
        return bytes.size();
    }
    if (m_socket->write(out) != out.size())
        return -1;
    m_socket->flush();
    return bytes.size();
}

QByteArray NetworkTransport::readAll() {
    if (!m_open)
        return QByteArray();
    return std::exchange(m_in, QByteArray());
}

void NetworkTransport::clearInput() {
    // The commands waiting in the socket still count; only the data goes.
    readSocket();
    m_in.clear();
}

void NetworkTransport::close() {
    ++m_generation;
    m_connectTimer->stop();
    if (m_open && m_connected && m_port.protocol == NetworkProtocol::Rfc2217 && !m_dtrConfirmed)
        qCDebug(logLink) << m_port.url() << ": the server did not confirm DTR (a pseudo-terminal has none); "
                           "the transfer went on without it";
    m_open = false;
    m_connected = false;
    m_in.clear();
    m_pendingOut.clear();
    m_decoder.reset();
    dropSocket();
}

QString NetworkTransport::name() const {
    return m_port.url();
}

QString NetworkTransport::errorString() const {
    return m_error;
}

} // namespace kestrel
