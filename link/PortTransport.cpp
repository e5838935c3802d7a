#include "link/PortTransport.h"

#include "link/NetworkTransport.h"
#include "link/SerialTransport.h"
#include "ports/NetworkPort.h"

namespace kestrel {

void ForwardTransportSignals(CloneTransport* from, CloneTransport* to) {
    QObject::connect(from, &CloneTransport::readyRead, to, &CloneTransport::readyRead);
    QObject::connect(from, &CloneTransport::lost, to, &CloneTransport::lost);
    QObject::connect(from, &CloneTransport::opened, to, &CloneTransport::opened);
    QObject::connect(from, &CloneTransport::openFailed, to, &CloneTransport::openFailed);
}

PortTransport::PortTransport(QObject* parent) : CloneTransport(parent), m_serial(new SerialTransport(this)) {
    m_active = m_serial;
    ForwardTransportSignals(m_serial, this);
}

bool PortTransport::open(const QString& device, quint8 language, QString* error) {
    close();
    if (IsNetworkPortName(device)) {
        if (!m_network) {
            m_network = new NetworkTransport(this);
            ForwardTransportSignals(m_network, this);
        }
        m_active = m_network;
    } else {
        m_active = m_serial;
    }
    return m_active->open(device, language, error);
}

bool PortTransport::isOpen() const {
    return m_active->isOpen();
}

bool PortTransport::connecting() const {
    return m_active->connecting();
}

qint64 PortTransport::send(const QByteArray& bytes) {
    return m_active->send(bytes);
}

QByteArray PortTransport::readAll() {
    return m_active->readAll();
}

void PortTransport::clearInput() {
    m_active->clearInput();
}

void PortTransport::close() {
    if (m_active->isOpen())
        m_active->close();
}

QString PortTransport::name() const {
    return m_active->name();
}

QString PortTransport::errorString() const {
    return m_active->errorString();
}

} // namespace kestrel
