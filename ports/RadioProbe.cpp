#include "ports/RadioProbe.h"

#include "core/Band.h"
#include "core/Log.h"
#include "link/CloneProtocol.h"
#include "ports/LowLatency.h"
#include "ports/PortMap.h"
#include "link/NetworkTransport.h"
#include "link/VirtualRadios.h"
#include "ports/NetworkPort.h"

#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>

namespace kestrel {

struct RadioProbe::Session {
    ProbeResult result;
    QSerialPort* port = nullptr;
    CloneTransport* link = nullptr; // a virtual radio's or a network port's link instead of the port
    QTimer* timer = nullptr;
    qint16 step = clone::StepHandshake;
    QByteArray frame;
    int replyLength = 0;
    QByteArray received;
    bool done = false;
};

RadioProbe::RadioProbe(quint8 language, QObject* parent) : QObject(parent), m_language(language) {}

RadioProbe::~RadioProbe() {
    dropSessions();
}

void RadioProbe::dropSessions() {
    // The ports may be inside one of their own signals: they go later, silenced.
    for (auto& s : m_sessions) {
        s->timer->stop();
        if (s->link) {
            s->link->disconnect(this);
            s->link->close();
            s->link->deleteLater();
        }
        s->port->disconnect(this);
        s->timer->disconnect(this);
        if (s->port->isOpen())
            s->port->close();
        s->port->deleteLater();
        s->timer->deleteLater();
    }
    m_sessions.clear();
}

void RadioProbe::start(const QStringList& devices) {
    dropSessions();
    m_running = true;
    m_starting = true;
    // A link that did not open: the reason goes to the user as the system gave it.
    auto notOpened = [](Session& s, const QString& error) {
        s.result.openErrorCode = int(QSerialPort::ResourceError);
        s.result.systemError = s.result.openError = error;
    };
    for (const QString& device : devices) {
        auto session = std::make_unique<Session>();
        Session& s = *session;
        m_sessions.push_back(std::move(session));
        s.result.device = device;
        s.port = new QSerialPort(this);
        s.timer = new QTimer(this);
        s.timer->setSingleShot(true);
        s.port->setPortName(device);
        s.port->setBaudRate(9600);
        s.port->setDataBits(QSerialPort::Data8);
        s.port->setParity(QSerialPort::NoParity);
        s.port->setStopBits(QSerialPort::OneStop);
        s.port->setFlowControl(QSerialPort::NoFlowControl);
        if (IsNetworkPortName(device)) {
            // Connected in the background, all at once with the local devices.
            auto* network = new NetworkTransport(this);
            network->setConnectTimeout(NetworkConnectTimeoutMs);
            s.link = network;
            QString error;
            if (!s.link->open(device, m_language, &error)) {
                notOpened(s, error);
                s.done = true;
                continue;
            }
            connect(s.link, &CloneTransport::opened, this, [this, &s] {
                s.result.opened = true;
                send(s, clone::StepHandshake);
            });
            connect(s.link, &CloneTransport::openFailed, this, [this, &s, notOpened](const QString& error) {
                notOpened(s, error);
                finish(s);
            });
            connect(s.link, &CloneTransport::lost, this, [this, &s] { finish(s); });
            connect(s.link, &CloneTransport::readyRead, this, [this, &s] { onBytes(s); });
            connect(s.timer, &QTimer::timeout, this, [this, &s] { onTimeout(s); });
            continue;
        }
        if (m_virtual && VirtualRadioOfDevice(device) > 0) {
            s.link = m_virtual->newLink(this);
            QString error;
            if (!s.link->open(device, m_language, &error)) {
                notOpened(s, error);
                s.done = true;
                continue;
            }
            s.result.opened = true;
            connect(s.link, &CloneTransport::readyRead, this, [this, &s] { onBytes(s); });
            connect(s.timer, &QTimer::timeout, this, [this, &s] { onTimeout(s); });
            send(s, clone::StepHandshake);
            continue;
        }
        if (!s.port->open(QIODevice::ReadWrite)) {
            s.result.openErrorCode = int(s.port->error());
            s.result.systemError = s.port->errorString();
            s.result.openError = PortErrorText(device, s.port->error(), s.result.systemError, m_language);
            s.done = true;
            continue;
        }
        s.result.opened = true;
        s.port->setDataTerminalReady(true); // a pseudo-terminal has no modem lines
        s.port->clearError();
        SetLowLatency(*s.port);
        connect(s.port, &QSerialPort::readyRead, this, [this, &s] { onBytes(s); });
        connect(s.timer, &QTimer::timeout, this, [this, &s] { onTimeout(s); });
        send(s, clone::StepHandshake);
    }
    m_starting = false;
    // Devices that did not open are answered already; the rest answer later.
    QTimer::singleShot(0, this, &RadioProbe::checkDone);
}

QList<ProbeResult> RadioProbe::results() const {
    QList<ProbeResult> out;
    for (const auto& s : m_sessions)
        out << s->result;
    return out;
}

void RadioProbe::send(Session& s, qint16 step) {
    static const MemoryImage none; // the probe sends no line frames
    const clone::Frame frame = clone::BuildFrame(step, clone::Read, none);
    s.step = step;
    s.frame = frame.bytes;
    s.replyLength = frame.replyLength;
    s.received.clear();
    if (s.link) {
        s.link->clearInput();
        if (s.link->send(frame.bytes) != frame.bytes.size()) {
            finish(s);
            return;
        }
    } else {
        s.port->clear(QSerialPort::Input);
        if (s.port->write(frame.bytes) != frame.bytes.size()) {
            finish(s);
            return;
        }
        s.port->flush();
    }
    qCDebug(logLink) << "probe" << s.result.device << "sent" << frame.bytes.toHex(' ');
    s.timer->start(m_timeoutMs);
}

void RadioProbe::onBytes(Session& s) {
    if (s.done)
        return;
    s.received += s.link ? s.link->readAll() : s.port->readAll();
    if (s.received.size() > 4096)
        s.received.remove(0, s.received.size() - 4096);
    const std::optional<QByteArray> reply = ProbeReply(s.received, s.frame, s.replyLength, s.step);
    if (!reply)
        return;
    qCDebug(logLink) << "probe" << s.result.device << "received" << s.received.toHex(' ');
    s.timer->stop();
    if (s.step == clone::StepHandshake) {
        s.result.handshake = true;
        send(s, clone::StepIdentify);
        return;
    }
    s.result.answered = true;
    s.result.band = clone::BandIndexOfCode(quint8(reply->at(1)));
    s.result.version[0] = clone::VersionText(quint8(reply->at(2)), quint8(reply->at(3)));
    s.result.version[1] = clone::VersionText(quint8(reply->at(5)), quint8(reply->at(6)));
    finish(s);
}

void RadioProbe::onTimeout(Session& s) {
    if (!s.done)
        finish(s);
}

void RadioProbe::finish(Session& s) {
    if (s.done)
        return;
    s.timer->stop();
    s.done = true;
    if (s.link && s.link->isOpen()) {
        if (s.result.handshake)
            s.link->send(clone::BuildFrame(clone::StepEnd, clone::Read, MemoryImage()).bytes);
        s.link->close();
    }
    if (s.port->isOpen()) {
        // A radio that took the handshake is told the exchange is over.
        if (s.result.handshake) {
            s.port->write(clone::BuildFrame(clone::StepEnd, clone::Read, MemoryImage()).bytes);
            s.port->flush();
        }
        s.port->close();
    }
    checkDone();
}

void RadioProbe::checkDone() {
    if (!m_running || m_starting)
        return;
    for (const auto& s : m_sessions)
        if (!s->done)
            return;
    m_running = false;
    emit finished();
}

QList<ProbeResult> ProbeRadios(const QStringList& devices, quint8 language, int timeoutMs,
                               VirtualRadios* radios) {
    RadioProbe probe(language);
    probe.setTimeout(timeoutMs);
    probe.setVirtualRadios(radios);
    QEventLoop loop;
    QObject::connect(&probe, &RadioProbe::finished, &loop, &QEventLoop::quit);
    probe.start(devices);
    if (probe.running())
        loop.exec();
    return probe.results();
}

std::optional<QByteArray> ProbeReply(const QByteArray& received, const QByteArray& frame, int replyLength,
                                     qint16 step) {
    // The same framing rule as every transfer: echo, stray bytes, then the reply.
    const clone::FoundReply found = clone::FindReply(received, frame);
    if (found.state != clone::ReplyState::Complete || found.reply.size() != replyLength ||
        !clone::ReplyValid(step, clone::Read, found.reply))
        return std::nullopt;
    return found.reply;
}

QString BandName(int band) {
    return BandText(band) + QStringLiteral(" MHz");
}

QString RadioIdentity(const ProbeResult& r, quint8 language) {
    return Pick(language, "%1, versions %2 / %3", "%1，版本 %2 / %3")
        .arg(BandName(r.band), r.version[0], r.version[1]);
}

QString ProbeSummary(const ProbeResult& r, quint8 language) {
    if (r.answered)
        return Pick(language, "radio answers: ", "电台应答：") + RadioIdentity(r, language);
    if (!r.opened)
        return r.openError;
    if (r.handshake)
        return Pick(language, "the radio took the handshake but did not identify itself",
                    "电台响应了握手，但没有回答识别请求");
    return Pick(language, "no answer from the radio", "电台无应答");
}

} // namespace kestrel
