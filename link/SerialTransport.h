#pragma once
// The clone engine's link through a serial port: 9600 baud, 8N1, no flow control,
// DTR raised where the device has it, the adapter's low-latency flag asked for.
#include "link/CloneTransport.h"

class QSerialPort;

namespace kestrel {

class SerialTransport : public CloneTransport {
    Q_OBJECT
public:
    explicit SerialTransport(QObject* parent = nullptr);
    ~SerialTransport() override;

    bool open(const QString& device, quint8 language, QString* error) override;
    bool isOpen() const override;
    qint64 send(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void clearInput() override;
    void close() override;
    QString name() const override;
    QString errorString() const override;

private:
    QSerialPort* m_port;
};

} // namespace kestrel
