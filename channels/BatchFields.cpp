#include "channels/BatchFields.h"

#include "core/Frequency.h"
#include "core/Numbers.h"

#include <algorithm>

namespace kestrel {

namespace {
constexpr int LastChannel = 16;
constexpr int MaxInterval = 20;
constexpr double MaxStepKHz = 1000.0;
constexpr QChar Backspace(0x08);
constexpr QChar Return(0x0D);
constexpr QChar Escape(0x1B);

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

qint64 WholeValue(const QString& text) { return RoundHalfEven(LeadingNumber(text)); }

QString LowerLimitText(int lowerLimit) { return FormatFixed(lowerLimit, 5); }
} // namespace

BatchValues DefaultBatchValues(const BandLimits& band) {
    BatchValues v;
    v.rxStart = LowerLimitText(band.lower);
    v.txStart = LowerLimitText(band.lower);
    return v;
}

BatchEnabling EnablingOf(const BatchValues& v) {
    BatchEnabling e{};
    e.channels = v.range == BatchRange::FromTo;
    e.offset = v.transmit == BatchTransmit::Offset;
    e.txOwn = v.transmit == BatchTransmit::OwnStart;
    e.decodeWalk = !v.decode.random;
    e.encodeRandom = v.encodeMode == BatchEncode::OwnStart;
    e.encodeWalk = e.encodeRandom && !v.encode.random;
    return e;
}

void ApplyModeRule(BatchValues& v, BatchMode mode, int lowerLimit) {
    if (mode == BatchMode::Range && v.range == BatchRange::All) {
        v.firstChannel = QStringLiteral("1");
        v.lastChannel = QStringLiteral("16");
    }
    if (mode == BatchMode::Transmit && v.transmit == BatchTransmit::SameAsReceive) {
        v.offset = QStringLiteral("0.00000");
        v.txStart = LowerLimitText(lowerLimit);
        v.txStep = QStringLiteral("0");
        v.offsetMinus = false;
        v.txDirection = BatchDirection::Ascending;
    }
    if (mode == BatchMode::Encode && v.encodeMode == BatchEncode::SameAsDecode)
        v.encode = BatchToneWalk{};
}

int MaxLengthOf(BatchField field) {
    switch (field) {
    case BatchField::ChannelNumber: return 3;
    case BatchField::Frequency: return 9;
    case BatchField::Step: return 6;
    case BatchField::Interval: return 2;
    case BatchField::ChannelName: return 6;
    }
    return 0;
}

BatchKey FilterBatchKey(BatchField field, const QString& text, bool replacesSelection, QChar typed) {
    const BatchKey ignore{BatchKey::Ignore, typed};
    const BatchKey accept{BatchKey::Accept, typed};
    if (typed == Return)
        return {BatchKey::Enter, typed};
    if (typed == Escape)
        return ignore;
    if (typed == Backspace)
        return accept;
    const double value = LeadingNumber(text);
    switch (field) {
    case BatchField::ChannelNumber:
        return IsDigit(typed) && value <= LastChannel ? accept : ignore;
    case BatchField::Frequency:
        return IsDigit(typed) || typed == QLatin1Char('.') ? accept : ignore;
    case BatchField::Step:
        return (IsDigit(typed) || typed == QLatin1Char('.')) && value <= MaxStepKHz ? accept : ignore;
    case BatchField::Interval:
        return IsDigit(typed) && value <= MaxInterval ? accept : ignore;
    case BatchField::ChannelName:
        if (typed.unicode() < 32 || typed.unicode() > 122)
            return ignore;
        if (text.size() >= MaxLengthOf(field) && !replacesSelection)
            return ignore;
        if (typed >= QLatin1Char('a') && typed <= QLatin1Char('z'))
            return {BatchKey::Accept, QChar(typed.unicode() - 'a' + 'A')};
        return accept;
    }
    return ignore;
}

QString WholeNumberText(const QString& text) { return QString::number(WholeValue(text)); }

QString ClampOnChange(BatchField field, const QString& text) {
    const double value = LeadingNumber(text);
    switch (field) {
    case BatchField::ChannelNumber:
        return value > LastChannel ? QStringLiteral("16") : text;
    case BatchField::Step:
        return value > MaxStepKHz ? QStringLiteral("1000") : text;
    case BatchField::Interval:
        return value > MaxInterval ? QStringLiteral("20") : text;
    default:
        return text;
    }
}

QString StepByArrow(BatchField field, const QString& text, bool up) {
    const qint64 value = WholeValue(text);
    if (field == BatchField::ChannelNumber) {
        qint64 next = up ? value - 1 : value + 1;
        if (next < 1)
            next = LastChannel;
        else if (next > LastChannel)
            next = 1;
        return QString::number(next);
    }
    if (field == BatchField::Interval) {
        qint64 next = up ? value - 1 : value + 1;
        if (next < 0)
            next = MaxInterval;
        else if (next > MaxInterval)
            next = 0;
        return QString::number(next);
    }
    return text;
}

QString ValidateChannelNumber(const QString& text) {
    const qint64 value = WholeValue(text);
    return QString::number(std::clamp<qint64>(value, 1, LastChannel));
}

QString ValidateStep(const QString& text) {
    const double kHz = std::clamp(LeadingNumber(text), 0.0, MaxStepKHz);
    // Snapped once, from the value typed; counted in 10 Hz units so the kHz text
    // carries no binary noise: 7 gives 7.5, 12.5 stays 12.5, 1 and 1.245 give 0.
    const qint64 units = RoundHalfEven(SnapKilohertzToChannelStep(kHz) * 100.0);
    QString out = FormatFixed(double(units) / 100.0, 2);
    if (out.contains(QLatin1Char('.'))) {
        while (out.endsWith(QLatin1Char('0')))
            out.chop(1);
        if (out.endsWith(QLatin1Char('.')))
            out.chop(1);
    }
    return out;
}

QString ValidateInterval(const QString& text) {
    const qint64 value = WholeValue(text);
    return QString::number(std::clamp<qint64>(value, 0, MaxInterval));
}

void LinkChannelRange(BatchValues& v, bool firstWasEdited) {
    const qint64 first = WholeValue(v.firstChannel);
    const qint64 last = WholeValue(v.lastChannel);
    if (first <= last)
        return;
    if (firstWasEdited)
        v.lastChannel = v.firstChannel;
    else
        v.firstChannel = v.lastChannel;
}

QString CleanChannelName(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (out.size() >= MaxLengthOf(BatchField::ChannelName))
            break;
        if (c.unicode() < 32 || c.unicode() > 122)
            continue;
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
        out += c;
    }
    return out;
}

} // namespace kestrel
