#include "tools/ser2net/Ser2Net.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

namespace kestrel::tools {

namespace {

// Whether something listens on 127.0.0.1:`port` (a line of /proc/net/tcp with the
// local address 0100007F:PORT in state 0A).
bool Listening(quint16 port) {
    QFile file(QStringLiteral("/proc/net/tcp"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() > 3 && f[1] == local && f[3] == "0A")
            return true;
    }
    return false;
}

} // namespace

QString Ser2Net::Program() {
    QString program = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"),
                                                                             QStringLiteral("/usr/local/sbin")});
    return program;
}

quint16 Ser2Net::FreePort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

Ser2Net::Ser2Net(const QList<Link>& links) : m_links(links) {
    const QString program = Program();
    if (program.isEmpty()) {
        m_error = QStringLiteral("ser2net is not installed (Debian package ser2net; scripts/install-deps.sh "
                                 "installs it)");
        return;
    }
    QByteArray config;
    for (int i = 0; i < links.size(); ++i) {
        quint16 port = 0;
        while (port == 0 || m_ports.contains(port))
            port = FreePort();
        m_ports << port;
        config += "connection: &link" + QByteArray::number(i) + "\n";
        config += links[i].accepter == Accepter::Rfc2217 ? "  accepter: telnet(rfc2217),tcp,127.0.0.1,"
                                                           : "  accepter: tcp,127.0.0.1,";
        config += QByteArray::number(port) + "\n";
        config += "  connector: serialdev," + links[i].device.toLocal8Bit() + ",9600n81\n";
        config += "  options:\n    chardelay: false\n";
    }
    const QString file = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile out(file);
    if (!m_dir.isValid() || !out.open(QIODevice::WriteOnly) || out.write(config) != config.size()) {
        m_error = QStringLiteral("cannot write the ser2net configuration in %1").arg(m_dir.path());
        return;
    }
    out.close();
    m_process.setProgram(program);
    m_process.setArguments({QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"), QStringLiteral("-P"),
                            m_dir.filePath(QStringLiteral("ser2net.pid")), QStringLiteral("-c"), file});
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_dir.filePath(QStringLiteral("ser2net.log")));
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("%1 did not start: %2").arg(program, m_process.errorString());
        return;
    }
    // Listening on every port within 5 s.
    const QDeadlineTimer deadline(5000);
    for (int i = 0; i < m_ports.size();) {
        if (Listening(m_ports[i])) {
            ++i;
            continue;
        }
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired()) {
            QFile log(m_dir.filePath(QStringLiteral("ser2net.log")));
            log.open(QIODevice::ReadOnly);
            m_error = QStringLiteral("ser2net did not listen on 127.0.0.1:%1: %2")
                          .arg(m_ports[i])
                          .arg(QString::fromLocal8Bit(log.readAll()).trimmed());
            kill();
            return;
        }
        QThread::msleep(10);
    }
}

Ser2Net::~Ser2Net() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000))
        kill();
}

void Ser2Net::kill() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(2000);
}

QString Ser2Net::url(int i) const {
    const bool rfc = m_links.value(i).accepter == Accepter::Rfc2217;
    return QLatin1String(rfc ? "rfc2217://127.0.0.1:" : "tcp://127.0.0.1:") + QString::number(m_ports.value(i));
}

} // namespace kestrel::tools
