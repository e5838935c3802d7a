// kestrel-cli ports --add/--remove and the network ports in its list, with servers
// on 127.0.0.1 only and names under .invalid.
#include "tests/support/TestFiles.h"
#include "tests/support/LocalServers.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel::test;

namespace {
QStringList TextLines(const QByteArray& text) {
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

TEST(CliNetworkPortsTest, AddListRemove) {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("settings.ini"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTREL_SETTINGS"), settings);
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 closed = ClosedLocalPort();
    ASSERT_NE(closed, 0);
    const QString up = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.serverPort());
    const QString down = QStringLiteral("tcp://127.0.0.1:%1").arg(closed);
    const QString nowhere = QStringLiteral("tcp://radio-bench.invalid:3001");
    auto remembered = [&] {
        return QSettings(settings, QSettings::IniFormat).value("NetworkPorts").toString();
    };

    // Malformed names, and options without a value, change nothing.
    struct Refused {
        QStringList args;
        const char* says;
    } refused[] = {
        {{"--add", "tcp://radio-bench.invalid"}, "the port number is missing"},
        {{"--add", "telnet://host:1"}, "starts with neither"},
        {{"--add"}, "--add takes a network port"},
        {{"--remove", nowhere}, "is not a remembered network port"},
        {{"--add", up, "--json"}, "does not go with"},
    };
    for (const Refused& r : refused) {
        const CliOutput out = RunKestrelCli(QStringList{"ports"} + r.args, env);
        EXPECT_EQ(out.status, 1) << r.args.join(' ').toStdString();
        EXPECT_TRUE(out.err.contains(QLatin1String(r.says))) << out.err.toStdString();
        EXPECT_TRUE(remembered().isEmpty());
    }

    // Several at once, any spelling; one already there is not added twice.
    ASSERT_EQ(
        RunKestrelCli({"ports", "--add", up, "--add", QString(down).replace("tcp://", "TCP://")}, env).status,
        0);
    ASSERT_EQ(RunKestrelCli({"ports", "--add", nowhere, "--add", up}, env).status, 0);
    EXPECT_EQ(remembered(), QStringList({up, down, nowhere}).join(' '));

    const CliOutput text = RunKestrelCli({"ports"}, env);
    EXPECT_EQ(text.status, 0) << text.err.toStdString();
    const QStringList lines = TextLines(text.out);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.mid(lines.size() - 3), QStringList({"-\t" + up + "\tnetwork port\t\t\treachable",
                                                        "-\t" + down + "\tnetwork port\t\t\trefused",
                                                        "-\t" + nowhere + "\tnetwork port\t\t\tno-resolve"}));

    const CliOutput json = RunKestrelCli({"ports", "--json"}, env);
    EXPECT_EQ(json.status, 0);
    QJsonArray network;
    for (const QJsonValue& v : QJsonDocument::fromJson(json.out).array())
        if (v.toObject().value("network").toBool())
            network << v;
    ASSERT_EQ(network.size(), 3) << json.out.toStdString();
    EXPECT_EQ(network[1].toObject().value("device").toString(), down);
    EXPECT_EQ(network[1].toObject().value("state").toString(), QStringLiteral("refused"));
    EXPECT_TRUE(network[1].toObject().value("com").isNull());

    ASSERT_EQ(RunKestrelCli({"ports", "--remove", "TCP://127.0.0.1:" + QString::number(closed)}, env).status,
              0);
    EXPECT_EQ(remembered(), QStringList({up, nowhere}).join(' '));

    // The demo remembers nothing.
    const CliOutput demo = RunKestrelCli({"--demo", "ports", "--remove", up}, env);
    EXPECT_EQ(demo.status, 0) << demo.err.toStdString();
    EXPECT_TRUE(demo.err.contains(QLatin1String("remembers nothing")));
    EXPECT_EQ(remembered(), QStringList({up, nowhere}).join(' '));
}
