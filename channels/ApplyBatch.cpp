#include "channels/ApplyBatch.h"

#include "core/Bits.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Numbers.h"
#include "core/Tone.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr int BatchChannels = 16;
constexpr int LastTonePosition = ToneCount - 1;
constexpr int MaxInterval = 20;

// Working frequencies are single precision: every new value is rounded to float.
float ValueOf(const QString& text) { return float(LeadingNumber(text)); }

int Sign(BatchDirection d) { return d == BatchDirection::Descending ? -1 : 1; }

// A frequency at or above the band becomes the lower limit, one below it the upper
// limit less 5 kHz.
float WrapIntoBand(float f, const BandLimits& band) {
    if (f >= float(band.upper))
        return float(band.lower);
    if (f < float(band.lower))
        return float(double(band.upper) - 0.005);
    return f;
}

// The corrected text of a working frequency: written with 7 significant digits, then
// moved onto the raster. After the wrap it lies in the band; a clamp, should the
// 7-digit text round up to the upper limit, is taken silently.
QString CorrectedTextOf(float f, const BandLimits& band) {
    return CorrectFrequency(band, FormatSignificant(double(f), 7)).text;
}

// The next tone position of a walk: past the end of the table it goes to the far end
// (258 + 5 gives 0, 2 - 5 gives 260), not round modulo 261.
int NextPosition(int k, int direction, int interval) {
    k += direction * interval;
    if (k > LastTonePosition)
        return 0;
    if (k < 0)
        return LastTonePosition;
    return k;
}

int IntervalOf(const QString& text) {
    return int(std::clamp<qint64>(RoundHalfEven(LeadingNumber(text)), 0, MaxInterval));
}

int ChannelNumberOf(const QString& text) {
    return int(std::clamp<qint64>(RoundHalfEven(LeadingNumber(text)), 1, BatchChannels));
}

// One tone walk over the range.
class ToneWalker {
public:
    explicit ToneWalker(const BatchToneWalk& walk)
        : m_k(std::clamp(walk.start, 0, LastTonePosition)), m_random(walk.random),
          m_direction(Sign(walk.direction)), m_interval(IntervalOf(walk.interval)) {}

    int positionFor(int j, ToneRandom& random) {
        if (m_random)
            m_k = random.next();
        else if (j > 0)
            m_k = NextPosition(m_k, m_direction, m_interval);
        return m_k;
    }

private:
    int m_k;
    bool m_random;
    int m_direction;
    int m_interval;
};

QString ToneText(const QStringList& toneTable, int position) {
    return position >= 0 && position < toneTable.size() ? toneTable[position] : QString();
}

void SetRecordBit(MemoryImage& image, int line, RecordBit b, bool on) {
    image.setByte(line, b.byte, SetBit(image.byte(line, b.byte), b.bit, on ? 1 : 0));
}

// The option bytes of a new channel, for a record that was empty: without them the
// 0xFF left in an erased record would switch on transmit inhibit, reverse, compander,
// DTMF squelch and call group 16.
void GiveNewChannelOptions(MemoryImage& image, int line) {
    image.setByte(line, ChannelByte::Options1, quint8(image.byte(line, ChannelByte::Options1) & 0xF8));
    image.setByte(line, ChannelByte::Options2, 0x08);
    image.setByte(line, ChannelByte::Options3, 0x70);
    SetRecordBit(image, line, ChannelBit::TxPending, false);
}

} // namespace

int ToneRandom::next() {
    // 32 bits of the generator as a fraction in [0, 1).
    const double u = double(m_generator()) / 4294967296.0;
    return std::min(int(u * ToneCount), LastTonePosition);
}

QString BatchChannelName(const BatchValues& values, int channelNumber) {
    if (!values.namedByChannel)
        return values.channelName;
    return values.channelName.left(2) + QStringLiteral("%1").arg(channelNumber, 3, 10, QLatin1Char('0'));
}

void ApplyBatch(MemoryImage& image, const BandLimits& band, const QStringList& toneTable,
                const BatchValues& values, ToneRandom& random, ChannelNameStore& names) {
    const int first = ChannelNumberOf(values.firstChannel);
    const int last = ChannelNumberOf(values.lastChannel);
    if (last < first)
        return;

    QString rxText = values.rxStart;
    const float r = float(LeadingNumber(values.rxStep) / 1000.0);
    const int dr = Sign(values.rxDirection);
    const float o = ValueOf(values.offset);
    const int so = values.offsetMinus ? -1 : 1;
    QString txText = values.txStart;
    const float t = float(LeadingNumber(values.txStep) / 1000.0);
    const int dt = Sign(values.txDirection);

    float fr = ValueOf(rxText);
    float ft = ValueOf(txText);
    ToneWalker decode(values.decode);
    ToneWalker encode(values.encode);

    for (int n = first; n <= last; ++n) {
        const int j = n - first;
        const int line = n - 1;

        const bool wasEmpty = CheckFrequencyRange(band, DecodeFrequency(image, line, ChannelByte::RxFrequency)) != InBand;
        if (wasEmpty)
            GiveNewChannelOptions(image, line);

        SetBitmapBit(image, ValidBitmap, n);

        if (j > 0) {
            fr = WrapIntoBand(fr + float(dr) * r, band);
            rxText = CorrectedTextOf(fr, band);
            fr = ValueOf(rxText);
        }
        EncodeFrequency(image, line, ChannelByte::RxFrequency, rxText);

        QString transmit;
        switch (values.transmit) {
        case BatchTransmit::SameAsReceive:
            transmit = rxText;
            break;
        case BatchTransmit::Offset:
            transmit = CorrectedTextOf(WrapIntoBand(fr + float(so) * o, band), band);
            break;
        case BatchTransmit::OwnStart:
            if (j > 0) {
                ft = WrapIntoBand(ft + float(dt) * t, band);
                txText = CorrectedTextOf(ft, band);
                ft = ValueOf(txText);
            }
            transmit = txText;
            break;
        }
        EncodeFrequency(image, line, ChannelByte::TxFrequency, transmit);

        // Draws come decode first, then encode, from the one sequence.
        const int kd = decode.positionFor(j, random);
        EncodeTone(image, line, ToneText(toneTable, kd), DecodeToneOffset);
        const int ke = values.encodeMode == BatchEncode::SameAsDecode ? kd : encode.positionFor(j, random);
        EncodeTone(image, line, ToneText(toneTable, ke), EncodeToneOffset);

        SetRecordBit(image, line, ChannelBit::Wide, true);

        const bool scanAdd = values.scan == 0;
        SetRecordBit(image, line, ChannelBit::ScanAdd, scanAdd);
        if (scanAdd)
            SetBitmapBit(image, ScanBitmap, n);
        else
            ClearBitmapBit(image, ScanBitmap, n);

        // The grid's power rule: High sets the high bit and clears mid, Low clears both.
        SetRecordBit(image, line, ChannelBit::HighPower, values.power == 0);
        SetRecordBit(image, line, ChannelBit::MidPower, false);

        SetRecordBit(image, line, ChannelBit::CarrierLockout, values.lockout == 1);
        SetRecordBit(image, line, ChannelBit::ToneLockout, values.lockout == 2);

        names.setName(line, BatchChannelName(values, n));
    }
}

} // namespace kestrel
