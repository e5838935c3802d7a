// Asking devices for a radio: the reply check, and a probe over several real
// pseudo-terminals at once (virtual radios that answer plainly, through an echoing
// cable with stray bytes or in USB latency bursts, silent ones, a missing device).
#include "ports/RadioProbe.h"

#include "link/CloneProtocol.h"
#include "tests/link/RadioSim.h"
#include "tests/support/SilentPty.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace kestrel;
using namespace kestrel::test;

namespace {

TEST(RadioProbe, ReplyCheckSkipsAnEchoAndStrayBytes) {
    const QByteArray hs = HandshakeFrame();
    const QByteArray id = IdentifyFrame();
    const QByteArray ident = Hex("46 02 01 05 00 12 30");
    struct {
        QByteArray received;
        QByteArray frame;
        qint16 step;
        QByteArray reply; // empty: not (yet) a reply
    } cases[] = {
        {Hex("06"), hs, clone::StepHandshake, Hex("06")},
        {hs + Hex("06"), hs, clone::StepHandshake, Hex("06")},
        {Hex("11 36 5b 06"), hs, clone::StepHandshake, Hex("06")},
        {hs, hs, clone::StepHandshake, {}},
        {Hex("15"), hs, clone::StepHandshake, {}},
        {ident, id, clone::StepIdentify, ident},
        {id + ident, id, clone::StepIdentify, ident},
        {Hex("11 36") + ident, id, clone::StepIdentify, ident},
        {id + ident.left(5), id, clone::StepIdentify, {}},
        {Hex("47 02 01 05 00 12 30"), id, clone::StepIdentify, {}},
    };
    for (const auto& c : cases) {
        const std::optional<QByteArray> reply =
            ProbeReply(c.received, c.frame, c.step == clone::StepHandshake ? 1 : 7, c.step);
        EXPECT_EQ(reply.value_or(QByteArray()), c.reply) << c.received.toHex(' ').toStdString();
    }
}

TEST(RadioProbe, AsksEveryDeviceAtOnceAndKeepsToItsOwnTimeOut) {
    const QStringList ident = {"--band-code", "2", "--version", "1.5", "12.30"};
    RadioSim plain(ident);
    RadioSim echoing(ident + QStringList{"--echo", "--junk", "3"});
    RadioSim bursts(QStringList{"--band-code", "3", "--latency-timer", "16", "--pace"});
    RadioSim deaf({"--ignore-handshakes", "5"});
    std::vector<std::unique_ptr<SilentPty>> silent;
    QStringList devices = {plain.device(), echoing.device(), bursts.device(), deaf.device()};
    for (int i = 0; i < 5; ++i) {
        silent.push_back(std::make_unique<SilentPty>());
        devices << silent.back()->device();
    }
    devices << QStringLiteral("/dev/kestrel-no-such-port");
    for (const QString& d : devices)
        ASSERT_FALSE(d.isEmpty());

    QElapsedTimer t;
    t.start();
    const QList<ProbeResult> results = ProbeRadios(devices);
    const qint64 ms = t.elapsed();
    std::printf("probe over %lld devices: %lld ms\n", static_cast<long long>(devices.size()),
                static_cast<long long>(ms));
    EXPECT_LT(ms, 15000) << "each device has about a second, all at the same time";

    ASSERT_EQ(results.size(), devices.size());
    for (int i = 0; i < results.size(); ++i) {
        const ProbeResult& r = results[i];
        EXPECT_EQ(r.device, devices[i]);
        const bool answers = i < 3;
        EXPECT_EQ(r.answered, answers) << r.device.toStdString();
        EXPECT_EQ(r.opened, i < devices.size() - 1) << r.device.toStdString();
        if (i < 2) {
            EXPECT_EQ(r.band, 1);
            EXPECT_EQ(r.version[0], QStringLiteral("1.5"));
            EXPECT_EQ(r.version[1], QStringLiteral("12.30"));
            EXPECT_EQ(ProbeSummary(r, English),
                      QStringLiteral("radio answers: 400-470 MHz, versions 1.5 / 12.30"));
        }
    }
    EXPECT_EQ(results[2].band, 2);
    EXPECT_EQ(ProbeSummary(results[3], English), QStringLiteral("no answer from the radio"));
    EXPECT_TRUE(results.last().openError.startsWith(QStringLiteral("Cannot open /dev/kestrel-no-such-port")));
    // One handshake, the identification and the end frame: nothing read or written.
    EXPECT_EQ(plain.frames(), (QList<QByteArray>{HandshakeFrame(), IdentifyFrame(), EndFrame()}));
    EXPECT_EQ(deaf.frames(), (QList<QByteArray>{HandshakeFrame()}));
}

TEST(RadioProbe, FinishedComesLaterEvenWhenNothingOpens) {
    RadioProbe probe;
    int finished = 0;
    QObject::connect(&probe, &RadioProbe::finished, [&] { ++finished; });
    probe.start({QStringLiteral("/dev/kestrel-no-such-port")});
    EXPECT_EQ(finished, 0);
    EXPECT_TRUE(RunUntil(
        &probe, &RadioProbe::finished, [&] { return finished == 1; }, 5000));
    EXPECT_FALSE(probe.results().value(0).opened);
}

} // namespace
