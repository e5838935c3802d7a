#include "link/CloneProtocol.h"

#include "core/Numbers.h"
#include "core/StringTable.h"

namespace kestrel::clone {

namespace {
QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QByteArray FrameBytes(qint16 step, quint8 direction, const MemoryImage& image) {
    if (step == StepHandshake)
        return Bytes({0x02, 'P', 'R', 'O', 'G', 'R', 'A'});
    if (step == StepIdentify)
        return Bytes({'M', 0x02});
    if (step == StepEnd)
        return Bytes({EndFrame});
    if (step < 0 || step >= LineCount)
        return {};
    const Address a = LineAddress(step);
    const int hi = (a >> 8) & 0xFF;
    const int lo = a & 0xFF;
    if (direction != Write)
        return Bytes({ReadFrame, hi, lo, LineSize});
    if (step == BandLine) {
        QByteArray f = Bytes({LineReply, hi, lo, 3});
        for (Address b = a; b < a + 3; ++b)
            f.append(char(image.byte(b)));
        f.append('\0');
        return f;
    }
    return Bytes({LineReply, hi, lo, LineSize}) + image.line(step);
}
} // namespace

Frame BuildFrame(qint16 step, quint8 direction, const MemoryImage& image) {
    Frame f;
    f.bytes = FrameBytes(step, direction, image);
    f.replyLength = ExpectedReply(f.bytes).length;
    return f;
}

bool ReplyValid(qint16 step, quint8 direction, const QByteArray& reply) {
    if (reply.isEmpty())
        return false;
    const char first = reply.at(0);
    if (step == StepHandshake)
        return first == Ack;
    if (step == StepIdentify)
        return first == IdentReply;
    if (step < 0 || step >= LineCount)
        return false;
    return first == (direction == Write ? Ack : LineReply);
}

qint16 NextStep(qint16 line, quint8 direction, qint16 stepExit) {
    if (line == stepExit)
        return StepEnd;
    qint16 next = qint16(line + 1);
    if (line == LastLineBeforeBand && direction != Read)
        next = BandLine;
    else if (line == InfoFirstLine)
        next = InfoSecondLine;
    if (next > stepExit || next >= LineCount)
        return StepEnd;
    return next;
}

int BandIndexOfCode(quint8 code) {
    switch (code) {
    case 2:
        return 1;
    case 3:
        return 2;
    default:
        return 0;
    }
}

QString VersionText(quint8 first, quint8 second) {
    auto number = [](quint8 b) { return (b >> 4) * 10 + (b & 0x0F); };
    return QString::number(number(first)) + QLatin1Char('.') + QString::number(number(second));
}

std::optional<int> ProgressValue(qint16 step, qint16 stepData, qint16 stepExit) {
    if (step < stepData)
        return std::nullopt;
    if (step == StepEnd || stepExit == stepData)
        return 100;
    const double value = double(step - stepData) / double(stepExit - stepData) * 100.0;
    return qBound(0, int(RoundHalfEven(value)), 100);
}

ReplyShape ExpectedReply(const QByteArray& frame) {
    if (frame.isEmpty())
        return {};
    switch (frame.at(0)) {
    case 0x02: // handshake
    case LineReply: // a write frame
        return {QByteArray(1, Ack), 1};
    case 'M':
        return {QByteArray(1, IdentReply), 7};
    case ReadFrame:
        if (frame.size() < 4)
            return {};
        return {QByteArray(1, LineReply) + frame.mid(1, 3), 4 + quint8(frame.at(3))};
    default:
        return {};
    }
}

namespace {

// Bytes from `at` that agree with the start of `frame`.
int EchoLength(const QByteArray& received, int at, const QByteArray& frame) {
    int n = 0;
    while (at + n < received.size() && n < frame.size() && received.at(at + n) == frame.at(n))
        ++n;
    return n;
}

struct Span {
    int begin = 0;
    int end = 0; // exclusive; begin == end: no echo
};

// Where the echo of `frame` lies: its first whole copy; otherwise the earliest
// leading part still arriving (reaching the end of what came in); otherwise a
// leading part at the very start.
Span FindEcho(const QByteArray& received, const QByteArray& frame) {
    if (frame.isEmpty())
        return {};
    Span arriving{-1, -1};
    for (int at = 0; at < received.size(); ++at) {
        const int n = EchoLength(received, at, frame);
        if (n == frame.size())
            return {at, at + n};
        if (n > 0 && at + n == received.size() && arriving.begin < 0)
            arriving = {at, at + n};
    }
    if (arriving.begin >= 0)
        return arriving;
    return {0, EchoLength(received, 0, frame)};
}

} // namespace

FoundReply FindReply(const QByteArray& received, const QByteArray& frame) {
    const ReplyShape shape = ExpectedReply(frame);
    if (shape.length <= 0 || shape.head.isEmpty())
        return {};
    const Span echo = FindEcho(received, frame);
    FoundReply begun;
    for (int at = 0; at < received.size(); ++at) {
        if (at >= echo.begin && at < echo.end)
            continue;
        const int available = int(received.size()) - at;
        const int compared = qMin(available, int(shape.head.size()));
        if (received.mid(at, compared) != shape.head.left(compared))
            continue;
        if (available >= shape.length)
            return {ReplyState::Complete, at, received.mid(at, shape.length)};
        if (begun.state == ReplyState::None && available > shape.head.size())
            begun = {ReplyState::Begun, at, QByteArray()};
    }
    return begun;
}

QString CaptionText(quint8 direction, quint8 language) {
    if (direction == Verify)
        return Pick(language, "Verifying...", "校验中...");
    return direction == Write ? Pick(language, "Writting...  ", "写入中...") : Pick(language, "Reading...", "读取中...");
}

QString ConnectionFailText(quint8 language) { return Pick(language, "Connection Fail!", "通讯出错!"); }

QString BandMismatchText(quint8 language) { return Pick(language, "Frequency not match!", "频段不符，终止写入"); }

} // namespace kestrel::clone
