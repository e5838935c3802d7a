#pragma once
// The link to a port by its name: a network port (rfc2217://HOST:PORT,
// tcp://HOST:PORT) through NetworkTransport, any other device through the serial
// port. What the clone engine and the demo mode's pass-through open by default.
#include "link/CloneTransport.h"

namespace kestrel {

class PortTransport : public CloneTransport {
    Q_OBJECT
public:
    explicit PortTransport(QObject* parent = nullptr);

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
    CloneTransport* m_serial;
    CloneTransport* m_network = nullptr; // made when first needed
    CloneTransport* m_active;
};

// Passes the signals of `from` on as those of `to` (readyRead, lost, opened, openFailed).
void ForwardTransportSignals(CloneTransport* from, CloneTransport* to);

} // namespace kestrel
