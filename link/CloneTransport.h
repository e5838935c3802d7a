#pragma once
// What the clone engine talks through: a byte pipe to the radio that opens, sends,
// hands over what came in, drops stale input and closes. The program talks through
// the serial port (SerialTransport) or a serial server on the network
// (NetworkTransport), chosen by the device's name (PortTransport); any other transport (a radio played in the same
// process, for example) lets the engine run without one.
#include <QByteArray>
#include <QObject>
#include <QString>

namespace kestrel {

class CloneTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens `device` for a transfer and drops whatever waited in it. False with a
    // message in `language` the user can act on.
    virtual bool open(const QString& device, quint8 language, QString* error) = 0;
    virtual bool isOpen() const = 0;
    // Open, but the connection is still being made (a network port): opened() or
    // openFailed() follows; nothing sent meanwhile is lost. False for a local device.
    virtual bool connecting() const { return false; }
    // Sends `bytes` on their way at once; the number of bytes taken, -1 on an error.
    virtual qint64 send(const QByteArray& bytes) = 0;
    // Everything received and not yet taken.
    virtual QByteArray readAll() = 0;
    // Drops what was received and not yet taken.
    virtual void clearInput() = 0;
    virtual void close() = 0;
    // For the frame trace: the device and the text of the last error.
    virtual QString name() const = 0;
    virtual QString errorString() const = 0;
    // The device port number `n` stands for when the link reaches devices of its own
    // beyond the serial ports (the demo mode's virtual radios); empty otherwise.
    virtual QString deviceForPort(int n) const {
        Q_UNUSED(n);
        return QString();
    }

signals:
    // The connection open() began is made, or could not be made (closed again).
    void opened();
    void openFailed(const QString& error);
    // Bytes came in.
    void readyRead();
    // The open connection broke (the device went away, a read or write failed).
    void lost();
};

} // namespace kestrel
