// The clone engine against a radio played in the same process, fed whatever the input
// makes of its replies: echoes, stray bytes, silence, cut, corrupted and paused replies,
// lost connections, a port that will not open, Retry or Cancel at every prompt and a
// window closed half-way. Whatever happens:
//   - a transfer ends within its time-outs (no more quiet ticks after a frame than the
//     tick count allows, a bounded number of frames), and closed() comes exactly once;
//   - a read that does not complete leaves the image and its saved state as they were,
//     a write or a read-back never touches the image;
//   - a completed read holds exactly the radio's lines, a completed read-back has them,
//     a completed write leaves them in the radio, and no line is written to a radio of
//     another band.
// The last three hold only where no disturbance could pass for the radio itself (a
// stray sequence that is a whole well-formed reply, a stray acknowledgement where the
// radio kept silent, corrupted data): the engine cannot tell those from the radio.
#include "tests/fuzz/FuzzSupport.h"

#include "core/AppContext.h"
#include "core/Band.h"
#include "core/Prompter.h"
#include "link/CloneEngine.h"
#include "link/InProcessRadio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

using namespace kestrel;
using namespace kestrel::fuzz;
using kestrel::InProcessRadio;

namespace {

constexpr int MaxRetries = 3; // Retry answers after which every prompt is answered Cancel

// An image whose every line differs, with some of its bytes from the input.
QByteArray Memory(const QByteArray& block, int salt) {
    QByteArray m(ImageSize, '\0');
    for (int i = 0; i < ImageSize; ++i) {
        const quint8 mix = quint8((i / LineSize) * 37 + (i % LineSize) * 11 + salt);
        m[i] = char(block.isEmpty() ? mix : quint8(block.at(i % block.size())) ^ mix);
    }
    return m;
}

// What the prompts answer and what happens around them.
class FuzzPrompter : public Prompter {
public:
    quint8 answers = 0;           // bit i: the i-th "Connection Fail!" is answered Retry
    bool closeWhileAsked = false; // the transfer is closed from outside while a question is open
    CloneEngine* engine = nullptr;
    int connectionFails = 0;
    int retries = 0;
    int asked = 0;

    Answer message(const QString&, const QString& text, Icon, Buttons buttons, Answer) override {
        ++asked;
        if (closeWhileAsked && engine)
            engine->CloseForm();
        if (buttons != Buttons::RetryCancel)
            return Answer::Ok;
        Check(text == QLatin1String("Connection Fail!"), "a Retry/Cancel question is the connection failure");
        const bool retry = (answers >> (connectionFails++ % 8)) & 1;
        if (retry && retries < MaxRetries) {
            ++retries;
            return Answer::Retry;
        }
        return Answer::Cancel;
    }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
};

// One exchange of the transfer as the radio saw it.
struct Exchange {
    QByteArray frame;
    InProcessRadio::Disturbance d;
    bool radioAnswers = false; // the radio was open and in programming mode (or this is the handshake)
};

// Whether what came back could have been taken for the radio's own reply although the
// radio did not give it (or gave another): then the engine cannot be held to the data.
bool Ambiguous(const QByteArray& frame, const InProcessRadio::Disturbance& d, bool radioAnswers) {
    if (frame.isEmpty())
        return false;
    const char kind = frame.at(0);
    const bool intact = radioAnswers && !d.silent && d.cut < 0 && d.corruptAt < 0;
    if (kind == 'R' && frame.size() >= 4) {
        QByteArray head = frame.left(4);
        head[0] = char(0x57);
        return d.before.contains(head) || (!intact && !d.after.isEmpty()) ||
               (d.corruptAt >= 0 && radioAnswers);
    }
    if (kind == 'M')
        return d.before.contains(char(0x46)) || (!intact && !d.after.isEmpty()) ||
               (d.corruptAt >= 0 && radioAnswers);
    if (kind == 'W' || kind == 0x02) {
        // An acknowledgement counts only where the radio did not take the frame.
        if (!d.silent && radioAnswers)
            return false;
        return d.before.contains(char(0x06)) || d.after.contains(char(0x06)) ||
               (d.echo && frame.contains(0x06) && !d.before.isEmpty());
    }
    return false;
}

InProcessRadio::Disturbance ReadDisturbance(Input& in) {
    InProcessRadio::Disturbance d;
    const quint8 what = in.byte();
    if (what == 0)
        return d;
    d.echo = what & 0x01;
    if (what & 0x02)
        d.before = in.take(in.below(24));
    if (what & 0x04)
        d.after = in.take(in.below(24));
    if ((what & 0x18) == 0x08)
        d.silent = true;
    if ((what & 0x18) == 0x10)
        d.cut = in.below(20);
    if ((what & 0x18) == 0x18) {
        d.corruptAt = in.below(20);
        d.corruptWith = in.byte() | 1;
    }
    if (what & 0x20) {
        const int pauses = 1 + in.below(3);
        for (int i = 0; i < pauses; ++i) {
            const int at = in.below(48);
            d.pauses << qMakePair(at, in.below(4));
        }
    }
    if ((what & 0xC0) == 0x40)
        d.lose = true;
    if ((what & 0xC0) == 0x80)
        d.refuseSend = (in.byte() & 7) == 0;
    return d;
}

// The lines a transfer from `first` to `last` moves, in order.
QList<int> Path(qint16 first, qint16 last, quint8 direction) {
    QList<int> lines;
    for (qint16 step = first; step != clone::StepEnd && lines.size() <= LineCount;
         step = clone::NextStep(step, direction, last))
        lines << step;
    return lines;
}

struct Range {
    qint16 first;
    qint16 last;
};

Range ChooseRange(Input& in) {
    const quint8 r = in.byte();
    switch (r % 8) {
    case 0:
    case 1:
    case 2: {
        const qint16 first = qint16(in.byte() % LineCount);
        return {first, qint16(qMin(LineCount - 1, first + in.below(8)))};
    }
    case 3:
        return {qint16(230 + in.below(7)), qint16(252 + in.below(2))};
    case 4:
        return {254, 335};
    case 5:
        // Not a range of lines: the transfer does not start.
        return {qint16(in.byte() - 128), qint16(in.byte() * 4 - 512)};
    case 6:
        return {qint16(LineCount - 2), qint16(LineCount - 1)};
    default:
        return {0, 253};
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    UseDefaultCorpus(argc, argv);
    EnsureApplication();
    QuietMessages(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096)
        return -1;
    Input in(data, size);
    const quint8 setup = in.byte();
    const quint8 direction = quint8(setup % 3); // read, write, read-back
    const Range range = ChooseRange(in);
    const qint16 interval = qint16(in.below(2));
    const qint16 ticks = qint16(in.below(5));
    const bool earlyReplies = !(setup & 0x04);
    const quint8 bandCode = quint8(1 + in.below(4)); // 4 is no band: it reads as band 0
    const int imageBand = in.below(BandCount);
    FuzzPrompter prompter;
    prompter.answers = in.byte();
    const quint8 extra = in.byte();
    prompter.closeWhileAsked = (extra & 0x07) == 0x07;
    const bool closeOnError = (extra & 0x38) == 0x38;
    const bool closeOnExit = (extra & 0xC0) == 0xC0;
    const int cancelAfter = (setup & 0x18) == 0x18 ? 1 + in.below(40) : 0;
    const int openFailsFrom = (setup & 0xE0) == 0xE0 ? 1 + in.below(3) : 0;
    const QByteArray radioMemory = Memory(in.take(in.below(33)), 0);
    QByteArray imageBytes = Memory(in.take(in.below(33)), 101);

    AppContext app;
    app.productName = QStringLiteral("Kestrel");
    app.image.setBytes(imageBytes);
    EncodeBandLimits(app.image, BandOfIndex(imageBand));
    app.image.TakeImageSnapshot();
    app.image.setByte(0x1000, quint8(app.image.byte(0x1000) + 1)); // an unsaved edit
    app.band = DecodeBandLimits(app.image);
    const QByteArray original = app.image.bytes();
    const QByteArray snapshot = app.image.snapshot();

    InProcessRadio radio(radioMemory);
    radio.setIdentity(bandCode, 0x01, 0x05, 0x12, 0x30);
    radio.setOpenFailsFrom(openFailsFrom);
    QList<Exchange> exchanges;
    radio.setPlan([&](int, const QByteArray& frame) {
        const bool answers = radio.isOpen() && (radio.programming() || frame.startsWith('\x02'));
        Exchange e{frame, ReadDisturbance(in), answers && !frame.isEmpty()};
        exchanges << e;
        return e.d;
    });

    CloneEngine engine(app, prompter);
    prompter.engine = &engine;
    engine.setTransport(&radio);
    if (setup & 0x80) {
        engine.setDevicePath(QStringLiteral("in-process"));
    } else {
        // The device through the port map (Com 0 and 21 are no ports).
        app.portNumber = quint8(in.below(22));
        engine.setPortSettingsFile(ScratchFile(QStringLiteral("no-ports.ini")));
    }
    engine.setDirection(direction);
    engine.setStepData(range.first);
    engine.setStepExit(range.last);
    engine.setRecvInterval(interval);
    engine.setTickCountMax(ticks);
    engine.setEarlyReplies(earlyReplies);

    int closedCount = 0;
    int exits = 0;
    int errors = 0;
    int quietTicks = 0;
    int framesAtTick = 0;
    QObject::connect(&engine, &CloneEngine::closed, [&] { ++closedCount; });
    QObject::connect(&engine, &CloneEngine::CloneExit, [&](int d) {
        ++exits;
        Check(d == direction, "CloneExit names the transfer's direction");
        Check(engine.outcome() == CloneEngine::Outcome::Completed, "CloneExit only for a completed transfer");
        if (closeOnExit)
            engine.CloseForm();
    });
    QObject::connect(&engine, &CloneEngine::CloneError, [&] {
        ++errors;
        if (closeOnError)
            engine.CloseForm();
    });
    QObject::connect(&engine, &CloneEngine::progressChanged,
                     [&](int v) { Check(v >= 0 && v <= 100, "progress is 0-100"); });
    auto* receive = engine.findChild<QTimer*>(QStringLiteral("TmrReceive"));
    auto* sendTimer = engine.findChild<QTimer*>(QStringLiteral("tmrSend"));
    Check(receive && sendTimer, "the engine's timers can be watched");
    // Every receive tick after the last frame counts; a frame starts the count again.
    QObject::connect(receive, &QTimer::timeout, [&] {
        if (radio.frames().size() != framesAtTick) {
            framesAtTick = int(radio.frames().size());
            quietTicks = 0;
        }
        ++quietTicks;
        Check(quietTicks <= ticks + 3, "an exchange ends within its receive ticks");
    });
    if (cancelAfter > 0)
        QObject::connect(&engine, &CloneEngine::progressChanged, [&] {
            if (radio.frames().size() >= cancelAfter)
                QMetaObject::invokeMethod(
                    &engine, [&engine] { engine.CloseForm(); }, Qt::QueuedConnection);
        });

    const bool started = engine.Start();
    if (!started)
        Check(engine.flagComplete() && closedCount == 1, "a transfer that does not start has ended");
    QElapsedTimer clock;
    clock.start();
    while (closedCount == 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        Check(clock.elapsed() < 20000, "the transfer ends");
    }
    // Nothing more happens after the end.
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    Check(closedCount == 1, "closed() comes exactly once");
    Check(engine.flagComplete() && !receive->isActive() && !sendTimer->isActive(),
          "an ended transfer is still");
    Check(!radio.isOpen(), "an ended transfer closes its link");
    Check(exits <= 1, "CloneExit comes at most once");
    Check(errors == prompter.connectionFails || closeOnError || prompter.closeWhileAsked,
          "every CloneError is followed by its question");

    const QList<int> path = Path(range.first, range.last, direction);
    const int attempts = 1 + clone::HandshakeRetries + MaxRetries * (1 + clone::HandshakeRetries);
    Check(radio.frames().size() <= attempts * (path.size() + 3),
          "a transfer sends a bounded number of frames");

    const CloneEngine::Outcome outcome = engine.outcome();
    const bool completed = outcome == CloneEngine::Outcome::Completed;
    Check(completed == (exits == 1), "a completed transfer raised CloneExit");
    if (direction != clone::Read || !completed) {
        Check(app.image.bytes() == original, "the image is touched only by a completed read");
        Check(app.image.snapshot() == snapshot, "the saved state stays as it was");
    }

    // Whether any exchange could have fooled the engine.
    bool ambiguous = false;
    for (const Exchange& e : exchanges)
        ambiguous = ambiguous || Ambiguous(e.frame, e.d, e.radioAnswers && !e.d.refuseSend);
    if (ambiguous)
        return 0;

    const QByteArray radioNow = radio.memory();
    if (direction == clone::Write && clone::BandIndexOfCode(bandCode) != app.band.index) {
        Check(radioNow == radioMemory, "nothing is written to a radio of another band");
        Check(!completed, "a write to a radio of another band does not complete");
    }
    if (!completed)
        return 0;
    if (direction == clone::Read) {
        QByteArray expected = original;
        for (int line : path)
            expected.replace(LineAddress(line), LineSize, radioMemory.mid(LineAddress(line), LineSize));
        Check(app.image.bytes() == expected, "a completed read holds exactly the radio's lines");
    } else if (direction == clone::Verify) {
        Check(engine.readBack().size() == path.size(), "a read-back holds every line of its range");
        for (int line : path)
            Check(engine.readBack().value(line) == radioMemory.mid(LineAddress(line), LineSize),
                  "a read-back holds the radio's lines");
    } else {
        QByteArray expected = radioMemory;
        for (int line : path) {
            const int count = line == clone::BandLine ? 3 : LineSize;
            expected.replace(LineAddress(line), count, original.mid(LineAddress(line), count));
        }
        Check(radioNow == expected, "a completed write leaves exactly the image's lines in the radio");
    }
    return 0;
}
