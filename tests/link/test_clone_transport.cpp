// The clone engine through a transport that is not a serial port: the in-process radio
// of the fuzz harness, with its disturbances counted in the engine's own polls.
#include "link/CloneEngine.h"

#include "core/Band.h"
#include "link/InProcessRadio.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;
using Outcome = CloneEngine::Outcome;
using Disturbance = InProcessRadio::Disturbance;

namespace {

struct TransportCase {
    const char* name;
    quint8 direction;
    int line; // the line whose exchange is disturbed (-1: every exchange)
    Disturbance disturbance;
    Outcome outcome;
    int times = 0; // how often the line is disturbed; 0: every time
};

class CloneTransportTest : public ::testing::TestWithParam<TransportCase> {};

TEST_P(CloneTransportTest, MovesExactlyTheLinesOrNothing) {
    const TransportCase& c = GetParam();
    const QByteArray radioMemory = PatternImage(7);
    AppContext app;
    app.image.setBytes(BandedPattern(100, 0));
    app.image.TakeImageSnapshot();
    app.band = DecodeBandLimits(app.image);
    const QByteArray original = app.image.bytes();

    InProcessRadio radio(radioMemory);
    const QByteArray frameOfLine =
        c.direction == clone::Read ? ReadFrameOf(c.line) : WriteFrameOf(c.line, original);
    int disturbed = 0;
    radio.setPlan([&](int, const QByteArray& frame) {
        if (c.line >= 0 && (frame != frameOfLine || (c.times > 0 && disturbed >= c.times)))
            return Disturbance();
        ++disturbed;
        return c.disturbance;
    });
    ScriptedPrompter prompter;
    prompter.answers = {Prompter::Answer::Retry, Prompter::Answer::Cancel};
    CloneEngine engine(app, prompter);
    engine.setTransport(&radio);
    engine.setDevicePath(QStringLiteral("in-process"));
    engine.setDirection(c.direction);
    engine.setStepData(90);
    engine.setStepExit(110);
    engine.setRecvInterval(1);
    engine.setTickCountMax(5);
    int closed = 0;
    QObject::connect(&engine, &CloneEngine::closed, [&] { ++closed; });
    engine.Start();
    ASSERT_TRUE(RunUntil(
        &engine, &CloneEngine::closed, [&] { return closed > 0; }, 30000));
    EXPECT_EQ(engine.outcome(), c.outcome);
    EXPECT_FALSE(radio.isOpen());

    QByteArray image = original;
    if (c.outcome == Outcome::Completed)
        image.replace(90 * LineSize, 21 * LineSize, radioMemory.mid(90 * LineSize, 21 * LineSize));
    EXPECT_EQ(app.image.bytes(), image);
}

Disturbance Paused(int at, int polls) {
    Disturbance d;
    d.pauses = {{at, polls}};
    return d;
}
Disturbance Silent(bool echo = false) {
    Disturbance d;
    d.silent = true;
    d.echo = echo;
    return d;
}
Disturbance Lost() {
    Disturbance d;
    d.lose = true;
    return d;
}

// Clean exchanges, echoes, stray bytes, slow radios, cut replies and replies for
// another line are the pseudo-terminal tests' cases; here what only exact polls reach.
// Lines 96-111 lie at 0x06xx: their write frames echo an 0x06 that is no acknowledgement.
INSTANTIATE_TEST_SUITE_P(
    Exchanges, CloneTransportTest,
    ::testing::Values(
        // A tick that finds no byte since the tick before ends a reply that has begun.
        TransportCase{"PauseInsideTheReply", clone::Read, 100, Paused(6, 2), Outcome::Failed},
        TransportCase{"SilentRadioTakesNoWrite", clone::Write, 100, Silent(), Outcome::Failed},
        TransportCase{"SilentWithEchoOfAnAcknowledgement", clone::Write, 100, Silent(true), Outcome::Failed},
        TransportCase{"LostThenRetryOpensAgain", clone::Read, 100, Lost(), Outcome::Completed, 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

TEST(CloneTransport, EngineGoesBackToTheSerialPortWhenItsLinkIsGone) {
    AppContext app;
    ScriptedPrompter prompter;
    CloneEngine engine(app, prompter);
    CloneTransport* serial = engine.transport();
    {
        InProcessRadio radio(PatternImage(7));
        engine.setTransport(&radio);
        EXPECT_EQ(engine.transport(), &radio);
    }
    EXPECT_EQ(engine.transport(), serial);
    engine.setDevicePath(QStringLiteral("/dev/kestrel-no-such-port"));
    EXPECT_FALSE(engine.Start());
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_TRUE(prompter.asked[0].text.contains(QStringLiteral("/dev/kestrel-no-such-port")));
}

} // namespace
