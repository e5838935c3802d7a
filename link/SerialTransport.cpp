#include "link/SerialTransport.h"

#include "core/Log.h"
#include "ports/LowLatency.h"
#include "ports/PortMap.h"

#include <QSerialPort>

namespace kestrel {

SerialTransport::SerialTransport(QObject* parent) : CloneTransport(parent), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this, &CloneTransport::readyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        switch (error) {
        case QSerialPort::ResourceError:
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
            if (m_port->isOpen())
                emit lost();
            return;
        default:
            return; // open errors are reported by open(); DTR is optional
        }
    });
}

SerialTransport::~SerialTransport() {
    if (m_port->isOpen())
        m_port->close();
}

bool SerialTransport::open(const QString& device, quint8 language, QString* error) {
    if (m_port->isOpen())
        m_port->close();
    if (device.startsWith(QLatin1String("virtual:"))) {
        if (error)
            *error = Pick(language,
                          "%1 is a virtual radio: those are there only in demo mode (kestrel --demo, "
                          "kestrel-cli --demo).",
                          "%1 是虚拟电台：只有演示模式（kestrel --demo、kestrel-cli --demo）才有。")
                         .arg(device);
        return false;
    }
    m_port->setPortName(device);
    m_port->setBaudRate(9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        if (error)
            *error = PortErrorText(device, m_port->error(), m_port->errorString(), language);
        // The caller's message box (or console line) reports it; this is for tracing.
        qCDebug(logLink) << "cannot open" << device << m_port->errorString();
        m_port->clearError();
        return false;
    }
    // A pseudo-terminal has no modem lines; the radio does not need DTR there.
    if (!m_port->setDataTerminalReady(true)) {
        qCDebug(logLink) << "DTR not raised on" << device << ":" << m_port->errorString();
        m_port->clearError();
    }
    // USB adapters otherwise hold every reply up to their latency timer.
    RequestLowLatency(*m_port, device);
    m_port->clear(QSerialPort::AllDirections);
    qCDebug(logLink) << "opened" << device;
    return true;
}

bool SerialTransport::isOpen() const {
    return m_port->isOpen();
}

qint64 SerialTransport::send(const QByteArray& bytes) {
    const qint64 written = m_port->write(bytes);
    m_port->flush();
    return written;
}

QByteArray SerialTransport::readAll() {
    return m_port->isOpen() ? m_port->readAll() : QByteArray();
}

void SerialTransport::clearInput() {
    m_port->clear(QSerialPort::Input);
}

void SerialTransport::close() {
    // A vanished device keeps reporting errors: closing it ends them.
    if (m_port->isOpen())
        m_port->close();
    m_port->clearError();
}

QString SerialTransport::name() const {
    return m_port->portName();
}

QString SerialTransport::errorString() const {
    return m_port->errorString();
}

} // namespace kestrel
