#include "ports/NetworkPortCheck.h"

#include "ports/NetworkPort.h"

#include <QEventLoop>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace kestrel {

QString NetworkPortStateName(NetworkPortState state) {
    switch (state) {
    case NetworkPortState::Checking:
        return QStringLiteral("checking");
    case NetworkPortState::Reachable:
        return QStringLiteral("reachable");
    case NetworkPortState::Refused:
        return QStringLiteral("refused");
    case NetworkPortState::NoResolve:
        return QStringLiteral("no-resolve");
    case NetworkPortState::NoAnswer:
        return QStringLiteral("no-answer");
    case NetworkPortState::Other:
        break;
    }
    return QStringLiteral("error");
}

QString NetworkPortStateText(NetworkPortState state, quint8 language) {
    switch (state) {
    case NetworkPortState::Checking:
        return Pick(language, "checking…", "正在检查…");
    case NetworkPortState::Reachable:
        return Pick(language, "reachable", "可以连接");
    case NetworkPortState::Refused:
        return Pick(language, "connection refused", "连接被拒绝");
    case NetworkPortState::NoResolve:
        return Pick(language, "name does not resolve", "主机名无法解析");
    case NetworkPortState::NoAnswer:
        return Pick(language, "no answer", "没有应答");
    case NetworkPortState::Other:
        break;
    }
    return Pick(language, "cannot connect", "无法连接");
}

QString NetworkPortStatusText(const NetworkPortStatus& status, quint8 language) {
    const QString text = NetworkPortStateText(status.state, language);
    if (status.state != NetworkPortState::Other || status.detail.isEmpty())
        return text;
    return Pick(language, "%1 (%2)", "%1（%2）").arg(text, status.detail);
}

// One connection attempt; its socket and timer go with deleteLater, so a session
// may be dropped from inside one of their own signals.
struct NetworkPortCheck::Session {
    QPointer<QTcpSocket> socket;
    QPointer<QTimer> timer;
    ~Session() {
        if (timer) {
            timer->stop();
            timer->deleteLater();
        }
        if (socket) {
            socket->disconnect();
            socket->abort();
            socket->deleteLater();
        }
    }
};

NetworkPortCheck::NetworkPortCheck(quint8 language, QObject* parent)
    : QObject(parent), m_language(language) {}

NetworkPortCheck::~NetworkPortCheck() = default;

void NetworkPortCheck::stop() {
    ++m_generation;
    m_sessions.clear();
    m_running = false;
}

void NetworkPortCheck::start(const QStringList& urls) {
    stop();
    const int generation = m_generation;
    m_running = true;
    m_results.clear();
    for (const QString& url : urls) {
        NetworkPortStatus status;
        status.url = url;
        m_results << status;
    }
    for (int i = 0; i < urls.size(); ++i) {
        auto session = std::make_unique<Session>();
        QString error;
        const std::optional<NetworkPort> port = ParseNetworkPort(urls[i], m_language, &error);
        // Names under .invalid never resolve: no resolver is asked about them.
        const bool invalid = port && port->neverResolves();
        if (!port || invalid) {
            const NetworkPortState state = port ? NetworkPortState::NoResolve : NetworkPortState::Other;
            QTimer::singleShot(0, this, [this, generation, i, state, error] {
                if (generation == m_generation)
                    settle(i, state, error);
            });
            m_sessions.push_back(std::move(session));
            continue;
        }
        session->socket = new QTcpSocket(this);
        session->timer = new QTimer(this);
        session->timer->setSingleShot(true);
        connect(session->timer, &QTimer::timeout, this, [this, i] { settle(i, NetworkPortState::NoAnswer); });
        connect(session->socket, &QTcpSocket::connected, this,
                [this, i] { settle(i, NetworkPortState::Reachable); });
        QTcpSocket* socket = session->socket;
        connect(socket, &QTcpSocket::errorOccurred, this, [this, i, socket](QAbstractSocket::SocketError e) {
            switch (e) {
            case QAbstractSocket::ConnectionRefusedError:
                settle(i, NetworkPortState::Refused);
                break;
            case QAbstractSocket::HostNotFoundError:
                settle(i, NetworkPortState::NoResolve);
                break;
            case QAbstractSocket::SocketTimeoutError:
                settle(i, NetworkPortState::NoAnswer);
                break;
            default:
                settle(i, NetworkPortState::Other, socket->errorString());
            }
        });
        session->timer->start(m_timeoutMs);
        // A name look-up reports later, from the event loop: nothing settles in here.
        session->socket->connectToHost(port->host, port->port);
        m_sessions.push_back(std::move(session));
    }
    if (urls.isEmpty())
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation && m_running) {
                m_running = false;
                emit finished();
            }
        });
}

void NetworkPortCheck::settle(int index, NetworkPortState state, const QString& detail) {
    if (index < 0 || index >= m_results.size() || m_results[index].state != NetworkPortState::Checking)
        return;
    m_results[index].state = state;
    m_results[index].detail = detail;
    // Connected or not, the connection goes at once (later, out of its own signal).
    if (index < int(m_sessions.size()))
        m_sessions[size_t(index)].reset();
    const int generation = m_generation;
    emit checked(index);
    if (generation != m_generation)
        return; // a slot started another check or stopped this one
    for (const NetworkPortStatus& s : m_results)
        if (s.state == NetworkPortState::Checking)
            return;
    m_running = false;
    emit finished();
}

QList<NetworkPortStatus> CheckNetworkPorts(const QStringList& urls, quint8 language, int timeoutMs) {
    NetworkPortCheck check(language);
    check.setTimeout(timeoutMs);
    QEventLoop loop;
    QObject::connect(&check, &NetworkPortCheck::finished, &loop, &QEventLoop::quit);
    check.start(urls);
    loop.exec();
    return check.results();
}

} // namespace kestrel
