// The state of network ports, against real sockets on the loopback interface only:
// a listening server, a closed port, a server whose queue is full (no answer) and
// names under .invalid.
#include "ports/NetworkPortCheck.h"
#include "tests/support/LocalServers.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace kestrel;

namespace {

QString Url(const char* scheme, quint16 port) {
    return QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme)).arg(port);
}

// A server that never accepts and whose queue of one is taken: the kernel drops
// every further connection request, so a client hears nothing.
struct SilentServer {
    int fd = -1;
    quint16 port = 0;
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    SilentServer() {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd, 0) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port = ntohs(a.sin_port);
        for (int i = 0; i < 2; ++i) {
            fillers.push_back(std::make_unique<QTcpSocket>());
            fillers.back()->connectToHost(QHostAddress::LocalHost, port);
            fillers.back()->waitForConnected(200);
        }
    }
    ~SilentServer() {
        fillers.clear();
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

TEST(NetworkPortCheckTest, EachPortGetsItsStateAllAtOnce) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    SilentServer silent;
    ASSERT_NE(silent.port, 0);
    const quint16 closed = test::ClosedLocalPort();
    struct Case {
        QString url;
        NetworkPortState state;
        const char* name;
    };
    const Case cases[] = {
        {Url("rfc2217", server.serverPort()), NetworkPortState::Reachable, "reachable"},
        {Url("tcp", server.serverPort()), NetworkPortState::Reachable, "reachable"},
        {Url("tcp", closed), NetworkPortState::Refused, "refused"},
        {QStringLiteral("rfc2217://radio-bench.invalid:3001"), NetworkPortState::NoResolve, "no-resolve"},
        {QStringLiteral("TCP://Bench.INVALID:3002"), NetworkPortState::NoResolve, "no-resolve"},
        {Url("tcp", silent.port), NetworkPortState::NoAnswer, "no-answer"},
        {QStringLiteral("tcp://127.0.0.1"), NetworkPortState::Other, "error"},
    };
    QStringList urls;
    for (const Case& c : cases)
        urls << c.url;

    NetworkPortCheck check;
    check.setTimeout(600);
    QSignalSpy checked(&check, &NetworkPortCheck::checked);
    QSignalSpy finished(&check, &NetworkPortCheck::finished);
    QElapsedTimer clock;
    clock.start();
    check.start(urls);
    EXPECT_TRUE(check.running());
    EXPECT_EQ(checked.count() + finished.count(), 0) << "nothing is reported from inside start()";
    ASSERT_TRUE(finished.wait(5000));
    // All at once: one time-out, not one per port.
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_FALSE(check.running());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(checked.count(), int(std::size(cases)));
    const QList<NetworkPortStatus> results = check.results();
    ASSERT_EQ(results.size(), qsizetype(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(results[i].url, cases[i].url);
        EXPECT_EQ(results[i].state, cases[i].state)
            << qPrintable(cases[i].url) << ": " << qPrintable(results[i].detail);
        EXPECT_EQ(NetworkPortStateName(results[i].state), QLatin1String(cases[i].name));
    }
    // The malformed name says why; nothing was sent to the server, and the connections are gone.
    EXPECT_TRUE(results.last().detail.contains(QLatin1String("port number is missing")));
    EXPECT_TRUE(NetworkPortStatusText(results.last(), English).contains(results.last().detail));
    QTcpSocket* accepted = server.hasPendingConnections() || server.waitForNewConnection(1000)
                               ? server.nextPendingConnection()
                               : nullptr;
    ASSERT_NE(accepted, nullptr);
    EXPECT_TRUE(accepted->state() == QAbstractSocket::UnconnectedState ||
                accepted->waitForDisconnected(1000));
    EXPECT_EQ(accepted->readAll(), QByteArray());
}

TEST(NetworkPortCheckTest, TextsInBothLanguagesAndAnEmptyListFinishes) {
    for (auto s : {NetworkPortState::Checking, NetworkPortState::Reachable, NetworkPortState::Refused,
                   NetworkPortState::NoResolve, NetworkPortState::NoAnswer, NetworkPortState::Other}) {
        EXPECT_FALSE(NetworkPortStateText(s, English).isEmpty());
        EXPECT_NE(NetworkPortStateText(s, English), NetworkPortStateText(s, Chinese));
    }
    NetworkPortCheck check;
    QSignalSpy finished(&check, &NetworkPortCheck::finished);
    check.start({});
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(finished.wait(1000));
    EXPECT_TRUE(CheckNetworkPorts({}).isEmpty());
}

TEST(NetworkPortCheckTest, AStartFromAReportDropsTheOldCheck) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    SilentServer silent;
    const QString reachable = Url("tcp", server.serverPort());
    NetworkPortCheck check;
    check.setTimeout(400);
    int restarts = 0;
    // The first report starts the check again, from inside the socket's own signal.
    QObject::connect(&check, &NetworkPortCheck::checked, &check, [&] {
        if (restarts++ == 0)
            check.start({reachable});
    });
    QSignalSpy finished(&check, &NetworkPortCheck::finished);
    check.start({reachable, Url("tcp", silent.port)});
    ASSERT_TRUE(finished.wait(3000));
    QTest::qWait(600); // the dropped port's time-out would report now
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(restarts, 2);
    ASSERT_EQ(check.results().size(), 1);
    EXPECT_EQ(check.results()[0].state, NetworkPortState::Reachable);
}

TEST(NetworkPortCheckTest, Ipv6Loopback) {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHostIPv6))
        GTEST_SKIP() << "no IPv6 loopback here";
    const QList<NetworkPortStatus> r =
        CheckNetworkPorts({QStringLiteral("tcp://[::1]:%1").arg(server.serverPort())}, English, 1000);
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].state, NetworkPortState::Reachable);
}
