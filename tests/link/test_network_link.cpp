// The clone engine, the radio probe and kestrel-cli through the real ser2net in
// front of the virtual radio's pseudo-terminal, over both accepters (Telnet with
// the COM-PORT-OPTION, raw TCP), on 127.0.0.1 only; and the Telnet decoding on its
// own, every command split at every byte.
#include "link/CloneEngine.h"
#include "fleet/FleetWrite.h"
#include "link/NetworkTransport.h"
#include "link/WriteVerify.h"
#include "ports/RadioProbe.h"

#include "core/Band.h"
#include "core/Settings.h"
#include "ports/NetworkPort.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"
#include "tools/ser2net/Ser2Net.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace kestrel;
using namespace kestrel::test;
using Outcome = CloneEngine::Outcome;
using Accepter = kestrel::tools::Ser2Net::Accepter;
using kestrel::tools::Ser2Net;

namespace {

// Telnet's 0xFF and the bytes that follow it in commands (SB 0xFA, SE 0xF0, WILL
// 0xFB, the COM-PORT-OPTION 0x2C), next to each other all over the image; and the
// line ends a Telnet link not in binary mode would change.
QByteArray FfImage() {
    static const quint8 pattern[] = {0xFF, 0xFF, 0xFA, 0xFF, 0xF0, 0xFF, 0xFB, 0x2C,
                                     0xFF, 0xFE, 0x00, 0x0D, 0x00, 0x0D, 0x0A};
    QByteArray bytes(ImageSize, '\0');
    for (int i = 0; i < ImageSize; ++i)
        bytes[i] = char(pattern[i % int(sizeof pattern)]);
    MemoryImage image;
    image.setBytes(bytes);
    EncodeBandLimits(image, BandOfIndex(0));
    return image.bytes();
}

QByteArray Lines(const QByteArray& memory, int first, int last) {
    return memory.mid(first * LineSize, (last - first + 1) * LineSize);
}

TEST(TelnetDecoder, TakesCommandsOutHoweverTheStreamSplits) {
    using telnet::Decoder;
    // Data with a doubled 0xFF, an option offer, a subnegotiation holding a doubled
    // 0xFF, a NOP and more data.
    const QByteArray stream = QByteArray::fromHex("41ffff42fffb01fffa2c65ffff00fff0fff143ff");
    const QByteArray data = QByteArray::fromHex("41ff4243");
    for (int split = 0; split <= stream.size(); ++split) {
        Decoder decoder;
        QByteArray out;
        QList<Decoder::Command> commands;
        decoder.feed(stream.left(split), out, commands);
        decoder.feed(stream.mid(split), out, commands);
        EXPECT_EQ(out, data) << "split at " << split;
        ASSERT_EQ(commands.size(), 2) << "split at " << split;
        EXPECT_EQ(commands[0].verb, 0xFB);
        EXPECT_EQ(commands[0].option, 1);
        EXPECT_EQ(commands[1].verb, 0xFA);
        EXPECT_EQ(commands[1].option, 0x2C);
        EXPECT_EQ(commands[1].payload, QByteArray::fromHex("65ff00"));
    }
    // What goes out comes back as it was; the trailing lone 0xFF above waits for more.
    QByteArray back;
    QList<Decoder::Command> none;
    Decoder decoder;
    decoder.feed(telnet::Escape(FfImage()), back, none);
    EXPECT_EQ(back, FfImage());
    EXPECT_TRUE(none.isEmpty());
    EXPECT_EQ(telnet::Escape(QByteArray::fromHex("00ff01ffff")), QByteArray::fromHex("00ffff01ffffffff"));
}

class NetworkLinkTest : public ::testing::TestWithParam<Accepter> {
protected:
    void SetUp() override {
        ASSERT_FALSE(Ser2Net::Program().isEmpty())
            << "ser2net is not installed: scripts/install-deps.sh installs it (Debian package ser2net)";
        app = StartedApp(dir.filePath(QStringLiteral("settings.ini")));
        app.image.setBytes(FfImage());
        app.image.TakeImageSnapshot();
        app.band = DecodeBandLimits(app.image);
        original = app.image.bytes();
        engine = std::make_unique<CloneEngine>(app, prompter);
        QObject::connect(engine.get(), &CloneEngine::closed, [this] { ++closedCount; });
    }

    // The virtual radio behind a ser2net of its own; the URL to reach it.
    QString Serve(const QStringList& simOptions, const QByteArray& memory) {
        sim = std::make_unique<RadioSim>(simOptions, memory);
        EXPECT_TRUE(sim->started());
        server = std::make_unique<Ser2Net>(QList<Ser2Net::Link>{{sim->device(), GetParam()}});
        EXPECT_TRUE(server->started()) << server->error().toStdString();
        return server->url(0);
    }

    Outcome Run(const QString& url, quint8 direction, qint16 first = 0, qint16 last = 253,
                int interval = 10) {
        engine->setDevicePath(url);
        engine->setDirection(direction);
        engine->setStepData(first);
        engine->setStepExit(last);
        engine->setRecvInterval(qint16(interval));
        engine->setTickCountMax(qint16(qMax(20, 300 / interval)));
        const int before = closedCount;
        engine->Start();
        EXPECT_TRUE(RunUntil(engine.get(), &CloneEngine::closed, [&] { return closedCount > before; }, 30000))
            << "the transfer did not end";
        return engine->outcome();
    }

    QTemporaryDir dir;
    AppContext app;
    ScriptedPrompter prompter;
    std::unique_ptr<CloneEngine> engine;
    std::unique_ptr<RadioSim> sim;
    std::unique_ptr<Ser2Net> server;
    QByteArray original;
    int closedCount = 0;
};

// Every 0xFF and its neighbours cross the server both ways unchanged: a full read,
// a full write and its read-back, the radio information lines.
TEST_P(NetworkLinkTest, FullReadWriteVerifyAndInformationAreExact) {
    const QString url = Serve({"--version", "1.5", "12.30"}, FfImage());
    app.image.setBytes(BandedPattern(3, 0));
    const QByteArray before = app.image.bytes();
    ASSERT_EQ(Run(url, clone::Read), Outcome::Completed);
    EXPECT_EQ(Lines(app.image.bytes(), 0, 253), Lines(FfImage(), 0, 253));
    EXPECT_EQ(app.radioVersion[0], QStringLiteral("1.5"));

    const QString url2 = Serve({}, BandedPattern(7, 0));
    app.image.setBytes(FfImage());
    ASSERT_EQ(Run(url2, clone::Write), Outcome::Completed);
    SetUpReadBack(*engine, 50);
    engine->setRecvInterval(10);
    const int closedBefore = closedCount;
    engine->Start();
    ASSERT_TRUE(RunUntil(engine.get(), &CloneEngine::closed, [&] { return closedCount > closedBefore; }, 30000));
    EXPECT_EQ(CheckReadBack(*engine, app.image, English).status, VerifyResult::Status::Matched);
    const QByteArray written = sim->stopAndTakeMemory();
    EXPECT_EQ(Lines(written, 0, 236), Lines(FfImage(), 0, 236));
    EXPECT_EQ(Lines(written, 253, 253), Lines(FfImage(), 253, 253));

    Serve({}, FfImage());
    app.image.setBytes(before);
    ASSERT_EQ(Run(server->url(0), clone::Read, 254, 335), Outcome::Completed);
    EXPECT_EQ(Lines(app.image.bytes(), 254, 254), Lines(FfImage(), 254, 254));
    EXPECT_EQ(Lines(app.image.bytes(), 335, 335), Lines(FfImage(), 335, 335));
    EXPECT_EQ(sim->frames(), (QList<QByteArray>{HandshakeFrame(), IdentifyFrame(), Hex("52 0F E0 10"),
                                                Hex("52 14 F0 10"), EndFrame()}));
    EXPECT_TRUE(prompter.asked.isEmpty());
}

// Echo, stray bytes and a slow radio, as on a local port, at the receive interval
// of Radio.INI.
TEST_P(NetworkLinkTest, RadioQuirksPassAsOnALocalPort) {
    const QList<QStringList> quirks{{"--pace", "--echo"},
                                    {"--pace", "--stray-before", "57", "--stray-after", "57,57"},
                                    {"--pace", "--echo", "--turnaround", "60"}};
    for (const QStringList& q : quirks) {
        app.image.setBytes(original);
        ASSERT_EQ(Run(Serve(q, BandedPattern(7, 0)), clone::Read, 95, 112, DefaultRecvInterval), Outcome::Completed)
            << q.join(' ').toStdString();
        EXPECT_EQ(Lines(app.image.bytes(), 95, 112), Lines(BandedPattern(7, 0), 95, 112));
        app.image.setBytes(original);
        ASSERT_EQ(Run(Serve(q, BandedPattern(7, 0)), clone::Write, 95, 112, DefaultRecvInterval),
                  Outcome::Completed)
            << q.join(' ').toStdString();
        EXPECT_EQ(Lines(sim->stopAndTakeMemory(), 95, 112), Lines(original, 95, 112));
    }
    EXPECT_TRUE(prompter.asked.isEmpty());
}

// A server that refuses, a name that does not resolve: the transfer never starts,
// with a message naming the host and port, like a port that does not open.
TEST_P(NetworkLinkTest, UnreachableServersEndLikeAPortThatDoesNotOpen) {
    const char* scheme = GetParam() == Accepter::Rfc2217 ? "rfc2217://" : "tcp://";
    const quint16 closed = Ser2Net::FreePort();
    const struct {
        QString url;
        Language language;
        QString message;
    } cases[] = {
        {scheme + QStringLiteral("127.0.0.1:%1").arg(closed), English,
         QStringLiteral("Cannot connect to 127.0.0.1:%1: connection refused.").arg(closed)},
        {scheme + QStringLiteral("[::1]:%1").arg(closed), Chinese,
         QStringLiteral("无法连接到 [::1]:%1：连接被拒绝。").arg(closed)},
        {scheme + QStringLiteral("radio-bench.invalid:3001"), English,
         QStringLiteral("Cannot connect to radio-bench.invalid:3001: the name radio-bench.invalid is not known.")},
    };
    for (const auto& c : cases) {
        app.language = c.language;
        prompter.asked.clear();
        EXPECT_EQ(Run(c.url, clone::Read), Outcome::StartFailed) << c.url.toStdString();
        ASSERT_EQ(prompter.asked.size(), 1);
        EXPECT_EQ(prompter.asked[0].text, c.message);
        EXPECT_EQ(app.image.bytes(), original);
    }
}

// The server goes away mid-read: "Connection Fail!" as for a pulled cable, the
// reason kept, nothing stored.
TEST_P(NetworkLinkTest, ServerKilledMidReadFailsCleanly) {
    const QString url = Serve({"--pace"}, BandedPattern(7, 0));
    prompter.answers = {Prompter::Answer::Cancel};
    engine->setDevicePath(url);
    engine->setDirection(clone::Read);
    engine->setStepData(0);
    engine->setStepExit(253);
    engine->setRecvInterval(DefaultRecvInterval);
    QObject::connect(engine.get(), &CloneEngine::progressChanged, [this](int value) {
        if (value >= 5 && server->running())
            server->kill();
    });
    engine->Start();
    ASSERT_TRUE(RunUntil(engine.get(), &CloneEngine::closed, [&] { return closedCount > 0; }, 30000));
    EXPECT_EQ(engine->outcome(), Outcome::Failed);
    EXPECT_EQ(engine->lostError(), QStringLiteral("The connection to %1 was lost.").arg(url.section('/', 2)));
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].buttons, Prompter::Buttons::RetryCancel);
    EXPECT_EQ(app.image.bytes(), original);
}

// In a fleet write the server's end is a pulled cable: port-error, with the reason.
TEST_P(NetworkLinkTest, ServerKilledMidFleetWriteIsAPortError) {
    const QString url = Serve({"--pace"}, BandedPattern(7, 0));
    FleetWrite fleet(app, app.image);
    fleet.setTargets({FleetTarget{url, url, QString()}});
    QObject::connect(&fleet, &FleetWrite::rowChanged, [&](int i) {
        if (fleet.row(i).progress >= 5 && server->running())
            server->kill();
    });
    RunFleetToEnd(fleet);
    EXPECT_EQ(fleet.row(0).outcome, FleetOutcome::PortError);
    EXPECT_EQ(fleet.row(0).detail, QStringLiteral("The connection to %1 was lost.").arg(url.section('/', 2)));
}

// Detection asks network ports beside local devices, each with its own verdict.
TEST_P(NetworkLinkTest, DetectionFindsTheRadioBehindTheServer) {
    const QString url = Serve({"--band-code", "2", "--version", "1.5", "12.30"}, {});
    const QString refused = QStringLiteral("tcp://127.0.0.1:%1").arg(Ser2Net::FreePort());
    RadioSim local({"--version", "2.0", "3.0"});
    const QList<ProbeResult> results = ProbeRadios({url, refused, local.device()});
    ASSERT_EQ(results.size(), 3);
    EXPECT_TRUE(results[0].answered);
    EXPECT_EQ(results[0].band, 1);
    EXPECT_EQ(results[0].version[1], QStringLiteral("12.30"));
    EXPECT_FALSE(results[1].opened);
    EXPECT_TRUE(results[1].openError.endsWith(QStringLiteral("connection refused.")));
    EXPECT_TRUE(results[2].answered);
}

INSTANTIATE_TEST_SUITE_P(Accepters, NetworkLinkTest, ::testing::Values(Accepter::Rfc2217, Accepter::Raw),
                         [](const auto& info) { return info.param == Accepter::Rfc2217 ? "Rfc2217" : "Raw"; });

// kestrel-cli through both accepters: read, info, detect of a remembered port, the
// exit statuses of a refused and a malformed port.
TEST(NetworkCli, ReadInfoDetectAndFailures) {
    ASSERT_FALSE(Ser2Net::Program().isEmpty()) << "ser2net is not installed";
    QTemporaryDir dir;
    RadioSim a({"--version", "1.5", "12.30"}, FfImage()), b({"--band-code", "2"}, {});
    Ser2Net server({{a.device(), Accepter::Rfc2217}, {b.device(), Accepter::Raw}});
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTREL_SETTINGS"), dir.filePath(QStringLiteral("settings.ini")));

    const QString out = dir.filePath(QStringLiteral("read.dat"));
    CliOutput r = RunKestrelCli({"read", "--port", server.url(0), "-o", out, "--no-backup"}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(Lines(ReadFile(out), 0, 253), Lines(FfImage(), 0, 253));
    r = RunKestrelCli({"info", "--port", server.url(1)}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();

    // Remembered ports are detected, beside the local ones.
    SettingsStore store(QStringLiteral("x"), env.value(QStringLiteral("KESTREL_SETTINGS")));
    ASSERT_TRUE(RememberNetworkPort(store, server.url(0)));
    ASSERT_TRUE(RememberNetworkPort(store, server.url(1)));
    r = RunKestrelCli({"detect"}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(("-\t" + server.url(0) + "\t136-174 MHz\t1.5\t12.30\n").toUtf8())) << r.out.data();
    EXPECT_TRUE(r.out.contains(("-\t" + server.url(1) + "\t400-470 MHz\t").toUtf8())) << r.out.data();

    const QString refused = QStringLiteral("rfc2217://127.0.0.1:%1").arg(Ser2Net::FreePort());
    r = RunKestrelCli({"read", "--port", refused, "-o", out + "2"}, env);
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Cannot connect to %1: connection refused.").arg(refused.mid(10))))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(out + "2"));
    r = RunKestrelCli({"doctor", "--port", refused}, env);
    EXPECT_EQ(r.status, 2) << r.out.data();
    r = RunKestrelCli({"read", "--port", "tcp://127.0.0.1:99999", "-o", out + "2"}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("the port number must be 1 to 65535"))) << r.err.toStdString();
}

// A fleet write of 8 radios: 3 behind each of 2 servers (both accepters), 2 on
// local ports, verified; one line and one log row per radio, the URL as its port.
TEST(NetworkCli, FleetWriteOverTwoServersAndTwoLocalPorts) {
    ASSERT_FALSE(Ser2Net::Program().isEmpty()) << "ser2net is not installed";
    QTemporaryDir dir;
    std::vector<std::unique_ptr<RadioSim>> radios;
    for (int i = 0; i < 8; ++i)
        radios.push_back(std::make_unique<RadioSim>(QStringList{}, BandedPattern(quint8(i), 0)));
    QList<Ser2Net::Link> first, second;
    for (int i = 0; i < 3; ++i) {
        first << Ser2Net::Link{radios[size_t(i)]->device(), i == 2 ? Accepter::Raw : Accepter::Rfc2217};
        second << Ser2Net::Link{radios[size_t(3 + i)]->device(), i == 2 ? Accepter::Rfc2217 : Accepter::Raw};
    }
    Ser2Net one(first), two(second);
    ASSERT_TRUE(one.started() && two.started()) << one.error().toStdString() << two.error().toStdString();
    const QStringList ports{one.url(0), one.url(1), one.url(2), two.url(0), two.url(1), two.url(2),
                            radios[6]->device(), radios[7]->device()};
    const QString image = dir.filePath(QStringLiteral("ff.dat"));
    const QString log = dir.filePath(QStringLiteral("fleet.csv"));
    ASSERT_TRUE(WriteFile(image, FfImage()));
    QStringList args{"write", image, "--verify", "--log", log};
    for (const QString& p : ports)
        args << "--port" << p;
    const CliOutput r = RunKestrelCli(args);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = TextLines(r.out);
    const QStringList logLines = TextLines(ReadFile(log));
    const QStringList header = logLines.value(0).split(QLatin1Char(','));
    const QStringList rows = logLines.mid(1);
    ASSERT_EQ(lines.size(), 8) << r.out.data();
    ASSERT_EQ(rows.size(), 8);
    for (const QString& p : ports) {
        EXPECT_EQ(lines.filter(p + QStringLiteral("\tok\t")).size(), 1) << p.toStdString();
        EXPECT_EQ(rows.filter(QLatin1Char(',') + p + QLatin1Char(',')).size(), 1) << p.toStdString();
    }
    for (const QString& row : rows) {
        const QStringList cells = row.split(QLatin1Char(','));
        EXPECT_EQ(cells.value(int(header.indexOf("verify"))), QStringLiteral("ok")) << row.toStdString();
        EXPECT_EQ(cells.value(int(header.indexOf("outcome"))), QStringLiteral("ok")) << row.toStdString();
    }
    for (auto& radio : radios)
        EXPECT_EQ(Lines(radio->stopAndTakeMemory(), 0, 236), Lines(FfImage(), 0, 236));
}

} // namespace
