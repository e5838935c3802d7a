// Network port names and the remembered list of them.
#include "ports/NetworkPort.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;

TEST(NetworkPortTest, NamesParseToTheirCanonicalForm) {
    struct Case {
        const char* text;
        const char* url; // empty: refused
        const char* hostPort;
    };
    const Case cases[] = {
        {"rfc2217://radio-bench.local:3001", "rfc2217://radio-bench.local:3001", "radio-bench.local:3001"},
        {"  TCP://192.168.1.20:03002 ", "tcp://192.168.1.20:3002", "192.168.1.20:3002"},
        {"RFC2217://[::1]:7000", "rfc2217://[::1]:7000", "[::1]:7000"},
        {"tcp://[fe80::1:2]:1", "tcp://[fe80::1:2]:1", "[fe80::1:2]:1"},
        {"tcp://host_1.example:65535", "tcp://host_1.example:65535", "host_1.example:65535"},
        {"tcp://host:65536", "", ""},
        {"tcp://host:0", "", ""},
        {"tcp://host", "", ""},
        {"tcp://:3001", "", ""},
        {"tcp://", "", ""},
        {"tcp://host:3001/", "", ""},
        {"tcp://user@host:3001", "", ""},
        {"tcp://[not-v6]:3001", "", ""},
        {"tcp://::1:3001", "", ""},
        {"telnet://host:3001", "", ""},
        {"/dev/ttyUSB0", "", ""},
    };
    for (const Case& c : cases) {
        QString error;
        const std::optional<NetworkPort> p = ParseNetworkPort(QString::fromLatin1(c.text), English, &error);
        EXPECT_EQ(p ? p->url() : QString(), QString::fromLatin1(c.url)) << c.text;
        if (p) {
            EXPECT_EQ(p->hostPort(), QString::fromLatin1(c.hostPort)) << c.text;
        } else {
            EXPECT_TRUE(error.contains(QLatin1String("rfc2217://HOST:PORT or tcp://HOST:PORT"))) << error.toStdString();
            QString zh;
            ParseNetworkPort(QString::fromLatin1(c.text), Chinese, &zh);
            EXPECT_TRUE(zh.contains(QStringLiteral("网络端口"))) << zh.toStdString();
        }
    }
    EXPECT_TRUE(IsNetworkPortName(QStringLiteral("Tcp://oops")));
    EXPECT_FALSE(IsNetworkPortName(QStringLiteral("/dev/pts/3")));
}

TEST(NetworkPortTest, RememberedPortsKeepTheirOrderOnceEach) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    SettingsStore store(QStringLiteral("SoftWare\\Test"), file);
    EXPECT_TRUE(RememberedNetworkPorts(store).isEmpty());
    EXPECT_TRUE(RememberNetworkPort(store, QStringLiteral("rfc2217://bench:3001")));
    EXPECT_TRUE(RememberNetworkPort(store, QStringLiteral("TCP://[::1]:3002")));
    EXPECT_TRUE(RememberNetworkPort(store, QStringLiteral("rfc2217://BENCH:3001"))); // the same port
    EXPECT_FALSE(RememberNetworkPort(store, QStringLiteral("tcp://bench")));
    const QStringList both{QStringLiteral("rfc2217://bench:3001"), QStringLiteral("tcp://[::1]:3002")};
    EXPECT_EQ(RememberedNetworkPorts(SettingsStore(QStringLiteral("SoftWare\\Test"), file)), both);
    EXPECT_FALSE(ForgetNetworkPort(store, QStringLiteral("tcp://bench:3001")));
    EXPECT_TRUE(ForgetNetworkPort(store, QStringLiteral("rfc2217://Bench:3001")));
    EXPECT_EQ(RememberedNetworkPorts(store), QStringList{QStringLiteral("tcp://[::1]:3002")});

    // A hand-edited list: malformed words and repeats are left out.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("NetworkPorts=tcp://a:1 junk rfc2217://b:2 tcp://A:1\n");
    f.close();
    EXPECT_EQ(RememberedNetworkPorts(store), (QStringList{QStringLiteral("tcp://a:1"), QStringLiteral("rfc2217://b:2")}));
}
