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
} // namespace

Frame BuildFrame(qint16 step, quint8 direction, const MemoryImage& image) {
    if (step == StepHandshake)
        return {Bytes({0x02, 'P', 'R', 'O', 'G', 'R', 'A'}), 1};
    if (step == StepIdentify)
        return {Bytes({'M', 0x02}), 7};
    if (step == StepEnd)
        return {Bytes({EndFrame}), 0};
    if (step < 0 || step >= LineCount)
        return {};
    const Address a = LineAddress(step);
    const int hi = (a >> 8) & 0xFF;
    const int lo = a & 0xFF;
    if (direction != Write)
        return {Bytes({ReadFrame, hi, lo, LineSize}), 4 + LineSize};
    if (step == BandLine) {
        QByteArray f = Bytes({LineReply, hi, lo, 3});
        for (Address b = a; b < a + 3; ++b)
            f.append(char(image.byte(b)));
        f.append('\0');
        return {f, 1};
    }
    QByteArray f = Bytes({LineReply, hi, lo, LineSize});
    f.append(image.line(step));
    return {f, 1};
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

QByteArray ReplyOf(const QByteArray& received, int replyLength) {
    if (replyLength <= 0 || received.size() < replyLength)
        return QByteArray();
    return received.right(replyLength);
}

bool CompleteReply(const QByteArray& received, const QByteArray& frame, int replyLength, qint16 step,
                   quint8 direction) {
    if (replyLength <= 0)
        return false;
    if (received.size() != replyLength &&
        !(received.size() == frame.size() + replyLength && received.startsWith(frame)))
        return false;
    return ReplyValid(step, direction, ReplyOf(received, replyLength));
}

QString CaptionText(quint8 direction, quint8 language) {
    if (direction == Verify)
        return Pick(language, "Verifying...", "校验中...");
    return direction == Write ? Pick(language, "Writting...  ", "写入中...") : Pick(language, "Reading...", "读取中...");
}

QString ConnectionFailText(quint8 language) { return Pick(language, "Connection Fail!", "通讯出错!"); }

QString BandMismatchText(quint8 language) { return Pick(language, "Frequency not match!", "频段不符，终止写入"); }

} // namespace kestrel::clone
