// The clone engine through QSerialPort against the virtual radio on a real
// pseudo-terminal: every frame checked byte for byte, and the failure rules.
#include "link/CloneEngine.h"

#include "core/Band.h"
#include "core/Settings.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace kestrel;
using namespace kestrel::test;
using Answer = Prompter::Answer;
using Outcome = CloneEngine::Outcome;

namespace {

constexpr int RadioSeed = 7;
constexpr int ImageSeed = 100;

QList<QByteArray> ReadFrames(int first, int last) {
    QList<QByteArray> out;
    for (int n = first; n <= last; ++n)
        out << ReadFrameOf(n);
    return out;
}

class CloneEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = StartedApp(dir.filePath(QStringLiteral("settings.ini")));
        app.image.setBytes(BandedPattern(ImageSeed, 0));
        app.image.TakeImageSnapshot();
        app.band = DecodeBandLimits(app.image);
        original = app.image.bytes();
        engine = std::make_unique<CloneEngine>(app, prompter);
        QObject::connect(engine.get(), &CloneEngine::CloneExit, [this](int direction) {
            events << QStringLiteral("exit %1").arg(direction);
            imageAtExit = app.image.bytes();
        });
        QObject::connect(engine.get(), &CloneEngine::CloneError, [this] {
            events << QStringLiteral("error after %1 prompts").arg(prompter.asked.size());
        });
        QObject::connect(engine.get(), &CloneEngine::closed, [this] { ++closedCount; });
        QObject::connect(engine.get(), &CloneEngine::progressChanged, [this](int v) {
            progress << v;
            if (app.image.bytes() != original)
                imageChangedDuringTransfer = true;
        });
    }

    static QByteArray RadioMemory() { return BandedPattern(RadioSeed, 0); }

    // Runs one transfer against `sim` and waits for its end (at most 30 s).
    Outcome Run(RadioSim& sim, quint8 direction, qint16 stepData = 0, qint16 stepExit = 253) {
        EXPECT_TRUE(sim.started());
        engine->setDevicePath(sim.device());
        return RunHere(direction, stepData, stepExit, qint16(qMax(20, 300 / interval)));
    }
    // The same on the port the engine holds already.
    Outcome RunHere(quint8 direction, qint16 stepData, qint16 stepExit, qint16 tickCountMax) {
        engine->setDirection(direction);
        engine->setStepData(stepData);
        engine->setStepExit(stepExit);
        engine->setRecvInterval(qint16(interval));
        engine->setTickCountMax(tickCountMax);
        const int closedBefore = closedCount;
        engine->Start();
        const bool ended = RunUntil(
            engine.get(), &CloneEngine::closed, [&] { return closedCount > closedBefore; }, 30000);
        EXPECT_TRUE(ended) << "the transfer did not end";
        EXPECT_TRUE(engine->flagComplete());
        return engine->outcome();
    }

    QByteArray RadioLines(const QByteArray& memory, int first, int last) const {
        return memory.mid(first * 16, (last - first + 1) * 16);
    }

    QTemporaryDir dir;
    AppContext app;
    ScriptedPrompter prompter;
    std::unique_ptr<CloneEngine> engine;
    QByteArray original;
    QByteArray imageAtExit;
    QStringList events;
    QList<int> progress;
    int closedCount = 0;
    bool imageChangedDuringTransfer = false;
    int interval = 10; // ms between receive ticks
};

TEST_F(CloneEngineTest, FullReadGivesExactlyTheRadiosLines) {
    RadioSim sim({"--version", "1.5", "12.30"}, RadioMemory());
    ASSERT_EQ(Run(sim, clone::Read), Outcome::Completed);

    QList<QByteArray> expected{HandshakeFrame(), IdentifyFrame()};
    expected << ReadFrames(0, 253) << EndFrame();
    EXPECT_EQ(sim.frames(), expected);
    const QByteArray image = app.image.bytes();
    EXPECT_EQ(RadioLines(image, 0, 253), RadioLines(RadioMemory(), 0, 253));
    EXPECT_EQ(image.mid(254 * 16), original.mid(254 * 16)) << "lines beyond 253 are not read";
    EXPECT_EQ(app.radioVersion[0], QStringLiteral("1.5"));
    EXPECT_EQ(app.radioVersion[1], QStringLiteral("12.30"));
    EXPECT_EQ(events, QStringList{"exit 0"});
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(engine->progress(), 100);
    // Lines reach the image only when the read has ended, just before CloneExit.
    EXPECT_FALSE(imageChangedDuringTransfer);
    EXPECT_EQ(imageAtExit, image);
    EXPECT_EQ(engine->radioBand(), 0);
}

TEST_F(CloneEngineTest, FullWriteSendsLines0To236TheBandFrameAndLine253) {
    RadioSim sim({}, RadioMemory());
    ASSERT_EQ(Run(sim, clone::Write), Outcome::Completed);

    const QByteArray image = app.image.bytes();
    QList<QByteArray> expected{HandshakeFrame(), IdentifyFrame()};
    for (int n = 0; n <= 236; ++n)
        expected << WriteFrameOf(n, image);
    QByteArray band = Hex("57 0F C0 03");
    band.append(image.mid(0x0FC0, 3)).append('\0');
    expected << band << WriteFrameOf(253, image) << EndFrame();
    EXPECT_EQ(sim.frames(), expected);

    QByteArray radio = RadioMemory();
    radio.replace(0, 237 * 16, image.left(237 * 16));
    radio.replace(0x0FC0, 3, image.mid(0x0FC0, 3));
    radio.replace(253 * 16, 16, image.mid(253 * 16, 16));
    EXPECT_EQ(sim.stopAndTakeMemory(), radio) << "0x0ED0-0x0FBF and 0x0FC3-0x0FCF are never written";
    EXPECT_EQ(events, QStringList{"exit 1"});
    EXPECT_EQ(app.image.bytes(), original);
    EXPECT_FALSE(app.image.IsImageModified());
}

// Silence, lost handshakes and wrong replies: the retries within a transfer, the
// Connection Fail! box and Retry starting again from the handshake. Whatever ends a
// read early, the image stays byte for byte as it was and its saved-state copy
// still matches it.
TEST_F(CloneEngineTest, RetriesAndRecoveries) {
    const QList<QByteArray> h3{HandshakeFrame(), HandshakeFrame(), HandshakeFrame()};
    const QList<QByteArray> hi{HandshakeFrame(), IdentifyFrame()}, end{EndFrame()};
    const QList<QByteArray> retried = hi + ReadFrames(0, 100) + hi + ReadFrames(0, 253) + end;
    const Answer Retry = Answer::Retry, Cancel = Answer::Cancel;
    const Outcome Done = Outcome::Completed, Fail = Outcome::Failed;
    const QString e0 = QStringLiteral("error after 0 prompts"), e1 = QStringLiteral("error after 1 prompts");
    const struct {
        QStringList simOptions;
        QList<Answer> answers;
        Outcome outcome;
        QList<QByteArray> frames; // empty: not checked
        QStringList events;
        int handshakeRetries = -1; // -1: not checked
    } cases[] = {
        // clang-format off
        // The third handshake answered needs no prompt.
        {{"--ignore-handshakes", "2"}, {}, Done,
         h3 + QList<QByteArray>{IdentifyFrame()} + ReadFrames(0, 253) + end, {"exit 0"}, 2},
        // A silent radio is retried twice, then CloneError, then the box.
        {{"--ignore-handshakes", "1000"}, {Cancel}, Fail, h3, {e0}},
        // Retry does not reset the handshake retries: one more attempt prompts at once.
        {{"--ignore-handshakes", "1000"}, {Retry, Cancel}, Fail, h3 + QList<QByteArray>{HandshakeFrame()},
         {e0, e1}},
        {{"--silent-at-line", "100"}, {Retry}, Done, retried, {e0, "exit 0"}},
        // A reply for another line is refused; the retry reads the right one.
        {{"--wrong-address-at-line", "100"}, {Retry}, Done, retried, {e0, "exit 0"}},
        {{"--silent-at-line", "100"}, {Cancel}, Fail, {}, {e0}},
        {{"--cut-reply-at-line", "100"}, {Cancel}, Fail, {}, {e0}},
        {{"--wrong-address-at-line", "100"}, {Cancel}, Fail, {}, {e0}},
        {{"--drop-at-line", "50"}, {Cancel}, Fail, {}, {e0}},
        // The radio fails again after Retry.
        {{"--silent-at-line", "200", "--fault-times", "0"}, {Retry, Cancel}, Fail, {}, {e0, e1}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.simOptions.join(' ').toStdString());
        app.image.setBytes(original);
        events.clear();
        prompter.asked.clear();
        prompter.answers = c.answers;
        RadioSim sim(c.simOptions, RadioMemory());
        EXPECT_EQ(Run(sim, clone::Read), c.outcome);
        if (!c.frames.isEmpty()) {
            EXPECT_EQ(sim.frames(), c.frames);
        }
        EXPECT_EQ(events, c.events);
        if (c.handshakeRetries >= 0) {
            EXPECT_EQ(engine->handshakeRetries(), c.handshakeRetries);
        }
        ASSERT_EQ(prompter.asked.size(), c.answers.size());
        for (const auto& asked : prompter.asked) {
            EXPECT_EQ(asked.text, QStringLiteral("Connection Fail!"));
            EXPECT_EQ(asked.title, app.productName);
            EXPECT_EQ(asked.icon, Prompter::Icon::Critical);
            EXPECT_EQ(asked.buttons, Prompter::Buttons::RetryCancel);
        }
        if (c.outcome == Outcome::Completed) {
            EXPECT_EQ(RadioLines(app.image.bytes(), 0, 253), RadioLines(RadioMemory(), 0, 253));
        } else {
            EXPECT_EQ(app.image.bytes(), original);
            EXPECT_FALSE(app.image.IsImageModified());
            EXPECT_FALSE(sim.frames().contains(EndFrame()));
        }
    }
}

// Retry after a drop opens the port again; the device is gone, which is reported
// as a port error and ends the transfer.
TEST_F(CloneEngineTest, DroppedConnectionThenRetryReportsThePortError) {
    RadioSim sim({"--drop-at-line", "50"}, RadioMemory());
    prompter.answers = {Answer::Retry};
    EXPECT_EQ(Run(sim, clone::Read), Outcome::StartFailed);
    EXPECT_EQ(app.image.bytes(), original);
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(prompter.asked[1].icon, Prompter::Icon::Exclamation);
    EXPECT_TRUE(prompter.asked[1].text.contains(sim.device())) << prompter.asked[1].text.toStdString();
}

TEST_F(CloneEngineTest, PartialReplyFailsAtTheFirstQuietTick) {
    RadioSim sim({"--cut-reply-at-line", "5"}, RadioMemory());
    prompter.answers = {Answer::Cancel};
    engine->setDevicePath(sim.device());
    QElapsedTimer timer;
    qint64 elapsed = -1;
    QObject::connect(engine.get(), &CloneEngine::CloneError, [&] { elapsed = timer.elapsed(); });
    timer.start();
    EXPECT_EQ(RunHere(clone::Read, 0, 253, 200), Outcome::Failed); // silence alone would take over 2 s
    EXPECT_EQ(events, QStringList{"error after 0 prompts"});
    EXPECT_GE(elapsed, 0);
    EXPECT_LT(elapsed, 1500);
    EXPECT_EQ(app.image.bytes(), original);
}

struct QuirkCase {
    const char* name;
    QStringList simOptions;
    bool earlyReplies;
    int interval;                 // short where every exchange waits for a tick
    qint16 first = 0, last = 253; // lines transferred each way
};

class CloneQuirkTest : public CloneEngineTest, public ::testing::WithParamInterface<QuirkCase> {};

// Echoes, noise before replies and slow radios do not disturb a transfer. Paced
// cases run on a 9600-baud wire with the receive interval of Radio.INI: stray bytes
// around the replies, and a one-wire cable's echo before a radio that answers after
// 60 ms (longer than a receive interval). Lines 96-111 lie at 0x06xx: their write
// frames echo an 0x06 that is no acknowledgement.
TEST_P(CloneQuirkTest, ReadAndWriteStillExact) {
    const QuirkCase& c = GetParam();
    engine->setEarlyReplies(c.earlyReplies);
    interval = c.interval;
    {
        RadioSim sim(c.simOptions, RadioMemory());
        ASSERT_EQ(Run(sim, clone::Read, c.first, c.last), Outcome::Completed);
        EXPECT_EQ(RadioLines(app.image.bytes(), c.first, c.last), RadioLines(RadioMemory(), c.first, c.last));
    }
    {
        RadioSim sim(c.simOptions, RadioMemory());
        app.image.setBytes(original);
        ASSERT_EQ(Run(sim, clone::Write, c.first, c.last), Outcome::Completed);
        const QByteArray written = sim.stopAndTakeMemory();
        const qint16 last = qMin(c.last, qint16(236)); // 237-252 are never written
        EXPECT_EQ(RadioLines(written, c.first, last), RadioLines(original, c.first, last));
        EXPECT_EQ(RadioLines(written, 253, 253),
                  RadioLines(c.last == 253 ? original : RadioMemory(), 253, 253));
    }
    EXPECT_EQ(events, (QStringList{"exit 0", "exit 1"}));
    EXPECT_TRUE(prompter.asked.isEmpty());
}

const int Paced = DefaultRecvInterval;
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Quirks, CloneQuirkTest,
    ::testing::Values(
        QuirkCase{"Echo", {"--echo"}, true, 10}, QuirkCase{"Junk", {"--junk", "5"}, true, 2},
        QuirkCase{"EchoAndJunk", {"--echo", "--junk", "3"}, true, 2},
        QuirkCase{"Turnaround", {"--turnaround", "2", "--write-delay", "1"}, true, 10},
        QuirkCase{"TicksOnly", {}, false, 2}, QuirkCase{"TicksOnlyEcho", {"--echo"}, false, 2},
        QuirkCase{"PacedStrayReplyByteBefore", {"--pace", "--stray-before", "57"}, true, Paced, 0, 20},
        QuirkCase{"PacedStrayBytesAfter", {"--pace", "--stray-after", "57,57"}, true, Paced, 0, 20},
        QuirkCase{"PacedEchoAndSlowRadio", {"--pace", "--echo", "--turnaround", "60"}, true, Paced, 95, 112},
        QuirkCase{"PacedEchoAndStrayBytes",
                  {"--pace", "--echo", "--stray-before", "57", "--stray-after", "57"}, true, Paced, 95, 112}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(CloneEngineTest, BandMismatchWritesNothing) {
    RadioSim sim({"--band-code", "2"}, RadioMemory());
    EXPECT_EQ(Run(sim, clone::Write), Outcome::BandMismatch);
    EXPECT_EQ(sim.frames(), (QList<QByteArray>{HandshakeFrame(), IdentifyFrame()}));
    EXPECT_EQ(sim.stopAndTakeMemory(), RadioMemory());
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].text, QStringLiteral("Frequency not match!"));
    EXPECT_EQ(prompter.asked[0].icon, Prompter::Icon::Critical);
    EXPECT_EQ(prompter.asked[0].buttons, Prompter::Buttons::Ok);
    EXPECT_TRUE(events.isEmpty()) << "no CloneError, no CloneExit";
    EXPECT_EQ(engine->radioBand(), 1);
}

TEST_F(CloneEngineTest, OtherBandIsNoObstacleToReading) {
    RadioSim sim({"--band-code", "3", "--version", "2.1", "0.9"}, RadioMemory());
    ASSERT_EQ(Run(sim, clone::Read), Outcome::Completed);
    EXPECT_EQ(engine->radioBand(), 2);
    EXPECT_EQ(app.radioVersion[0], QStringLiteral("2.1"));
    EXPECT_EQ(app.radioVersion[1], QStringLiteral("0.9"));
    EXPECT_EQ(app.band.index, 0) << "the engine does not decide the band";
}

TEST_F(CloneEngineTest, RadioInformationLines254And335AndOneLine) {
    RadioSim sim({}, RadioMemory());
    ASSERT_EQ(Run(sim, clone::Read, 254, 335), Outcome::Completed);
    EXPECT_EQ(sim.frames(), (QList<QByteArray>{HandshakeFrame(), IdentifyFrame(), Hex("52 0F E0 10"),
                                               Hex("52 14 F0 10"), EndFrame()}));
    QByteArray expected = original;
    expected.replace(254 * 16, 16, RadioMemory().mid(254 * 16, 16));
    expected.replace(335 * 16, 16, RadioMemory().mid(335 * 16, 16));
    EXPECT_EQ(app.image.bytes(), expected);
    EXPECT_EQ(progress, QList<int>{100}) << "line 254 shows 0, line 335 100";

    RadioSim radio2({}, RadioMemory());
    ASSERT_EQ(Run(radio2, clone::Write, 254, 335), Outcome::Completed);
    EXPECT_EQ(radio2.frames().mid(2), (QList<QByteArray>{WriteFrameOf(254, app.image.bytes()),
                                                         WriteFrameOf(335, app.image.bytes()), EndFrame()}));

    // A one-line transfer shows full progress after its frame.
    RadioSim radio3({}, RadioMemory());
    ASSERT_EQ(Run(radio3, clone::Read, 10, 10), Outcome::Completed);
    EXPECT_EQ(progress.last(), 100);
    EXPECT_EQ(radio3.frames().mid(2), (QList<QByteArray>{ReadFrameOf(10), EndFrame()}));
}

TEST_F(CloneEngineTest, MissingPortOrUnusableLineRangeStartsNothing) {
    engine->setDevicePath(QStringLiteral("/dev/kestrel-no-such-port"));
    EXPECT_FALSE(engine->Start());
    EXPECT_TRUE(engine->flagComplete());
    EXPECT_EQ(engine->outcome(), Outcome::StartFailed);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(prompter.asked[0].title, app.productName);
    EXPECT_TRUE(prompter.asked[0].text.contains(QStringLiteral("/dev/kestrel-no-such-port")));
    EXPECT_TRUE(prompter.asked[0].text.contains(QStringLiteral("No such file")))
        << prompter.asked[0].text.toStdString();
    EXPECT_TRUE(events.isEmpty());
    // An unusable line range does not start either.
    engine->setDevicePath(QStringLiteral("/dev/null"));
    engine->setStepData(300);
    engine->setStepExit(254);
    EXPECT_FALSE(engine->Start());
    EXPECT_EQ(engine->outcome(), Outcome::StartFailed);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(CloneEngineTest, ComNumberReachesTheRadioThroughThePortsGroup) {
    RadioSim sim({}, RadioMemory());
    const QString file = dir.filePath(QStringLiteral("ports.ini"));
    QSettings(file, QSettings::IniFormat).setValue(QStringLiteral("Ports/Com7"), sim.device());
    app.portNumber = 7;
    engine->setPortSettingsFile(file);
    EXPECT_EQ(engine->portDevice(), sim.device());
    EXPECT_EQ(RunHere(clone::Read, 0, 253, 20), Outcome::Completed);
}

TEST_F(CloneEngineTest, CloseFormDuringReadRaisesNothingAndKeepsTheImage) {
    RadioSim sim({"--turnaround", "1"}, RadioMemory());
    QObject::connect(engine.get(), &CloneEngine::progressChanged, [this](int v) {
        if (v >= 30 && !engine->flagComplete())
            engine->CloseForm();
    });
    EXPECT_EQ(Run(sim, clone::Read), Outcome::Cancelled);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(app.image.bytes(), original);
    EXPECT_FALSE(sim.frames().contains(EndFrame()));
    // The port is closed: the same radio can be opened again at once.
    RadioSim again({}, RadioMemory());
    QObject::disconnect(engine.get(), &CloneEngine::progressChanged, nullptr, nullptr);
    EXPECT_EQ(Run(again, clone::Read), Outcome::Completed);
}

TEST_F(CloneEngineTest, NoReplyAtAllWithNegativeTickCountFailsAtTheFirstTick) {
    RadioSim sim({"--ignore-handshakes", "1000"});
    prompter.answers = {Answer::Cancel};
    engine->setDevicePath(sim.device());
    interval = -5;
    EXPECT_EQ(RunHere(clone::Read, 0, 253, -1), Outcome::Failed);
}

} // namespace
