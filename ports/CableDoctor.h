#pragma once
// The cable check: whether this user may open serial devices, whether another
// program holds the port, whether ModemManager or brltty run (both take USB serial
// adapters), whether the port opens at 9600 8N1 and whether a radio answers on it.
// Each problem comes with its fix. GUI-free: `kestrel-cli doctor` and the "Check
// Cable…" window present the findings.
#include "ports/PortMap.h"
#include "ports/RadioProbe.h"
#include "ports/SystemChecks.h"

#include <QObject>

namespace kestrel {

struct Finding {
    enum Kind { Good, Warning, Problem };
    Kind kind = Good;
    QString text;
    QString fix; // empty for Good
};

// What the system says, gathered once per check.
struct SystemFacts {
    UserGroups groups;
    QString serialGroup;
    QList<ProcessInfo> takers;  // ModemManager, brltty
    QList<ProcessInfo> holders; // other programs that have the port open
    QStringList usbDevices;     // USB serial devices present
};
SystemFacts GatherSystemFacts(const QString& device);

// The findings about the user and the system; `device` is the port checked
// (empty: none was given, so the USB serial devices present are listed instead).
QList<Finding> SystemFindings(const SystemFacts& facts, const QString& device, quint8 language);

// The findings about the port: whether it opened (`facts` say why not), whether a
// radio answered.
QList<Finding> PortFindings(const ProbeResult& result, const QString& portLabel, const PortErrorFacts& facts,
                            quint8 language);

// Exit status of a check: 0 all is well, 2 the port did not open (or, with no
// port given, something keeps every port shut), 3 it opened but no radio answered.
enum class DoctorStatus { Ok = 0, PortFailed = 2, NoAnswer = 3 };
DoctorStatus StatusOf(const QList<Finding>& system, const std::optional<ProbeResult>& port);

// Runs the whole check: the system part at once, the port part on timers.
class CableDoctor : public QObject {
    Q_OBJECT
public:
    explicit CableDoctor(quint8 language, QObject* parent = nullptr);

    // `device` empty: check only the system. `portLabel` names the port in the texts.
    void start(const QString& device, const QString& portLabel);
    bool running() const { return m_running; }

    QList<Finding> findings() const { return m_findings; }
    DoctorStatus status() const { return m_status; }

signals:
    void finished();

private:
    void portDone();

    quint8 m_language;
    RadioProbe m_probe;
    QString m_device;
    QString m_label;
    bool m_running = false;
    QList<Finding> m_system;
    QList<Finding> m_findings;
    DoctorStatus m_status = DoctorStatus::Ok;
};

// "ok       …" / "warning  …" / "problem  …" lines, each fix on a line of its own.
QString FormatFindings(const QList<Finding>& findings, quint8 language);

} // namespace kestrel
