#pragma once
// Whether the network ports can be reached now: each one is connected to (a time-out
// of 2 seconds by default, name look-up included) and closed again at once, nothing
// sent. All of them at once on the caller's thread (the sockets' own signals and
// timers, no threads), for the port dialog and kestrel-cli ports alike.
#include "core/StringTable.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace kestrel {

enum class NetworkPortState {
    Checking,  // not known yet
    Reachable, // a server accepted the connection
    Refused,   // the host answered that nothing listens on the port
    NoResolve, // the host name does not resolve
    NoAnswer,  // no answer within the time-out
    Other,     // anything else (a malformed name, an unreachable network, ...): see detail
};

struct NetworkPortStatus {
    QString url;
    NetworkPortState state = NetworkPortState::Checking;
    QString detail; // the system's words for an Other state, or the malformed name's message
};

// "reachable", "refused", "no-resolve", "no-answer", "error" ("checking" before the
// answer): stable words for scripts and JSON.
QString NetworkPortStateName(NetworkPortState state);
// "reachable", "connection refused", "name does not resolve", ... in `language`.
QString NetworkPortStateText(NetworkPortState state, quint8 language);
// The state text, with the detail of an Other state after it.
QString NetworkPortStatusText(const NetworkPortStatus& status, quint8 language);

class NetworkPortCheck : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 2000;

    explicit NetworkPortCheck(quint8 language = English, QObject* parent = nullptr);
    ~NetworkPortCheck() override;

    void setTimeout(int ms) { m_timeoutMs = ms; }

    // Starts checking every port at once; a check under way is dropped first.
    // checked(i) follows as each answer comes in and finished() after the last one,
    // never from inside start() (an empty list finishes at the next event).
    void start(const QStringList& urls);
    // Drops the check under way: no more signals from it.
    void stop();
    bool running() const { return m_running; }
    // One status per port, in the order given.
    QList<NetworkPortStatus> results() const { return m_results; }

signals:
    void checked(int index);
    void finished();

private:
    struct Session;
    void settle(int index, NetworkPortState state, const QString& detail = QString());

    quint8 m_language;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_running = false;
    int m_generation = 0;
    QList<NetworkPortStatus> m_results;
    std::vector<std::unique_ptr<Session>> m_sessions;
};

// Runs a check to its end in a local event loop (kestrel-cli).
QList<NetworkPortStatus> CheckNetworkPorts(const QStringList& urls, quint8 language = English,
                                           int timeoutMs = NetworkPortCheck::DefaultTimeoutMs);

} // namespace kestrel
