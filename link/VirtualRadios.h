#pragma once
// The demo mode's virtual radios: four radios played inside the program, each with
// a memory of its own (radios 1-3 start as the default image of 136-174 MHz, radio 4
// as the one of 400-470 MHz, so a band mismatch can be seen), answering reads,
// writes and the identification at the pace of a 9600-baud cable.
//
// They are reached through the clone engine's transport like any port: their
// devices are "virtual:1" to "virtual:4", and the port numbers after Com 20 stand
// for them. One object per run, owned by main() and passed to whatever talks to a
// radio; the memories last as long as it does. A demo run also keeps its fleet log
// in a temporary folder of its own.
#include "link/CloneTransport.h"
#include "link/InProcessRadio.h"
#include "ports/PortMap.h"

#include <QTemporaryDir>
#include <array>
#include <memory>

namespace kestrel {

constexpr int VirtualRadioCount = 4;
// The port number of Virtual radio 1; radio n has FirstVirtualPort + n - 1.
constexpr int FirstVirtualPort = LastComPort + 1;

// "virtual:3"; empty outside 1-4.
QString VirtualRadioDevice(int n);
// 1-4 for "virtual:1" to "virtual:4", 0 for anything else.
int VirtualRadioOfDevice(const QString& device);
// 1-4 for the port numbers of the virtual radios, 0 for any other.
int VirtualRadioOfPort(int portNumber);
// "Virtual radio 3".
QString VirtualRadioName(int n, quint8 language);

// What the port dialog and the fleet window say of where a virtual radio is.
QString VirtualRadioPlace(quint8 language);

// The pace of the virtual radios: KESTREL_DEMO_BAUD when it holds a number of 0 or
// more (0: they answer at once), 9600 otherwise.
int DemoBaudRate();

class VirtualRadios : public QObject {
    Q_OBJECT
public:
    // Four radios with empty (0xFF) memories, paced at `baud` (0: not paced).
    explicit VirtualRadios(int baud = 9600, QObject* parent = nullptr);
    ~VirtualRadios() override;

    // Fills the memories from the default images in `folder`. False (with `error`)
    // when one cannot be loaded.
    bool loadDefaultImages(const QString& folder, QString* error);

    // Radio n (1-4).
    InProcessRadio& radio(int n);

    // A link for one engine or probe, owned by `parent`: the virtual devices reach
    // these radios (one user at a time each, like a port), any other device the
    // serial port or the network port it names.
    CloneTransport* newLink(QObject* parent);

    // Where a demo run's fleet log goes (a temporary folder, gone after the run).
    QString fleetLogFile() const;

private:
    std::array<InProcessRadio*, VirtualRadioCount> m_radios{};
    QTemporaryDir m_logFolder;
};

// The link VirtualRadios::newLink makes.
class VirtualLink : public CloneTransport {
    Q_OBJECT
public:
    VirtualLink(VirtualRadios& radios, QObject* parent);

    bool open(const QString& device, quint8 language, QString* error) override;
    bool isOpen() const override;
    bool connecting() const override;
    qint64 send(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void clearInput() override;
    void close() override;
    QString name() const override;
    QString errorString() const override;
    QString deviceForPort(int n) const override;

private:
    void use(CloneTransport* link);

    VirtualRadios& m_radios;
    CloneTransport* m_serial;
    CloneTransport* m_active = nullptr; // the radio or the port in use
    QString m_error;
};

} // namespace kestrel
