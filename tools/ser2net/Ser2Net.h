#pragma once
// A ser2net serial server for the tests and benchmarks: started as
// `ser2net -n -d -u -c CONFIG` with a configuration generated for the devices
// given, one connection each on a free port of 127.0.0.1, every one with
// `chardelay: false` (by default ser2net holds every reply for two character
// times). Stopped (SIGTERM) when the object goes. Linux only: it waits for the
// ports to listen by reading /proc/net/tcp, so that no test connection opens a
// device before the test does.
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace kestrel::tools {

class Ser2Net {
public:
    enum class Accepter { Rfc2217, Raw };
    struct Link {
        QString device; // /dev/pts/N
        Accepter accepter = Accepter::Rfc2217;
    };

    explicit Ser2Net(const QList<Link>& links);
    ~Ser2Net();
    Ser2Net(const Ser2Net&) = delete;
    Ser2Net& operator=(const Ser2Net&) = delete;

    // False with error() when ser2net is not installed or did not start listening.
    bool started() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    // "rfc2217://127.0.0.1:PORT" or "tcp://127.0.0.1:PORT" for link `i`.
    QString url(int i) const;
    quint16 port(int i) const { return m_ports.value(i); }
    // Ends the server at once (SIGKILL): its connections break.
    void kill();
    bool running() const { return m_process.state() != QProcess::NotRunning; }

    // The ser2net program: on the PATH or in /usr/sbin; empty when not installed.
    static QString Program();
    // A port of 127.0.0.1 nobody listens on (a closed port, for a refused connection).
    static quint16 FreePort();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QList<Link> m_links;
    QList<quint16> m_ports;
    QString m_error;
};

} // namespace kestrel::tools
