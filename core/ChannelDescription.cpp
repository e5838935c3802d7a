#include "core/ChannelDescription.h"

#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/Tone.h"

namespace kestrel {

namespace {

constexpr TextPair ChannelWord{"Channel", "信道"};
constexpr TextPair EditorPlace{"Channel Information", "信道信息"};
constexpr TextPair CurrentChannel{"Current Channel", "当前信道"};
constexpr TextPair ValidChannels{"Valid Channels", "有效信道"};
constexpr TextPair ScanChannels{"Scan Channels", "扫描信道"};
constexpr TextPair BandPlace{"Band Limits", "频段范围"};
constexpr int BitmapBytes = 32;

// Built once per language: a comparison describes two images.
const QStringList& ToneTableOf(Language language) {
    static const QStringList tables[2] = {BuildToneTable(English), BuildToneTable(Chinese)};
    return tables[language == Chinese ? 1 : 0];
}

// The record bytes (and bits) each grid column is read from.
ByteSpans ColumnSpans(int channel, int column) {
    const Address base = LineAddress(channel);
    auto bits = [base](RecordBit b) { return ByteSpan{base + b.byte, 1, quint8(1u << b.bit)}; };
    namespace B = ChannelBit;
    switch (column) {
    case ColRxFreq:
        return {ByteSpan{base + ChannelByte::RxFrequency, 4}};
    case ColTxFreq:
        return {ByteSpan{base + ChannelByte::TxFrequency, 4}};
    case ColDecode:
        return {ByteSpan{base + ChannelByte::DecodeLow, 2}};
    case ColEncode:
        return {ByteSpan{base + ChannelByte::EncodeLow, 2}};
    case ColBandwidth:
        return {bits(B::Wide)};
    case ColLockout:
        return {ByteSpan{base + B::CarrierLockout.byte, 1, quint8(0x06)}};
    case ColScan:
        return {bits(B::ScanAdd)};
    case ColTxPower:
        return {bits(B::HighPower), bits(B::MidPower)};
    case ColSignalling:
        return {bits(B::SignallingDtmf)};
    case ColSquelch:
        return {bits(B::SquelchDtmf)};
    case ColPttId:
        return {ByteSpan{base + ChannelByte::Options2, 1, B::PttIdMask}};
    case ColCallGroup:
        return {ByteSpan{base + ChannelByte::Options3, 1, B::CallGroupMask}};
    case ColCompander:
        return {bits(B::Compander)};
    case ColScrambler:
        return {bits(B::Scrambler)};
    case ColReverse:
        return {ByteSpan{base + B::Reverse.byte, 1, quint8(0x60)}};
    case ColTxInhibit:
        return {bits(B::TxInhibit)};
    default:
        return {};
    }
}

} // namespace

QString ChannelPlace(int channelIndex, Language language) {
    return ChannelWord(language) + QLatin1Char(' ') + QString::number(channelIndex + 1);
}

void DescribeChannels(const MemoryImage& image, Language language, ImageDescription& out) {
    const BandLimits band = DecodeBandLimits(image);
    const QStringList& tones = ToneTableOf(language);
    QString headers[ChannelColumnCount];
    for (int c = ColRxFreq; c <= ColTxInhibit; ++c)
        headers[c] = ChannelColumnHeader(c, language);
    // The grid's own reading cleans the record it reads, so it reads a copy.
    MemoryImage scratch;
    for (int n = 0; n < ChannelCount; ++n) {
        scratch.setLine(0, image.line(n));
        const ChannelTexts texts = ReadChannelForDisplay(scratch, band, tones, language, 0);
        const QString where = ChannelPlace(n, language);
        for (int c = ColRxFreq; c <= ColTxInhibit; ++c)
            out.addField(where, headers[c], texts.text(c), ColumnSpans(n, c));
        out.addRegion(where, LineAddress(n), LineSize);
    }
}

QString BitmapNumbersText(const MemoryImage& image, Address base) {
    QStringList parts;
    int runStart = 0;
    for (int number = 1; number <= BitmapNumbers + 1; ++number) {
        const bool set = number <= BitmapNumbers && BitmapBit(image, base, number);
        if (set && runStart == 0)
            runStart = number;
        if (!set && runStart != 0) {
            const int last = number - 1;
            parts << (last == runStart
                          ? QString::number(last)
                          : QString::number(runStart) + QLatin1Char('-') + QString::number(last));
            runStart = 0;
        }
    }
    return parts.join(QStringLiteral(", "));
}

void DescribeChannelBookkeeping(const MemoryImage& image, Language language, ImageDescription& out) {
    const QString where = EditorPlace(language);
    const quint8 current = image.byte(CurrentChannelByte);
    // A position 0-15 in the shown group is shown as its row; anything else as it is.
    const QString currentText =
        current < RowsPerGroup ? QString::number(current + 1) : QStringLiteral("0x") + HexByteText(current);
    out.addField(where, CurrentChannel(language), currentText, {ByteSpan{CurrentChannelByte, 1}});
    out.addField(where, ValidChannels(language), BitmapNumbersText(image, ValidBitmap),
                 {ByteSpan{ValidBitmap, BitmapBytes}});
    out.addField(where, ScanChannels(language), BitmapNumbersText(image, ScanBitmap),
                 {ByteSpan{ScanBitmap, BitmapBytes}});
    out.addField(where, ChannelText::GroupLabel(language), QString::number(ReadShownGroup(image) + 1),
                 {ByteSpan{ShownGroupByte, 1}});
}

void DescribeBandLimits(const MemoryImage& image, Language language, ImageDescription& out) {
    const BandLimits band = DecodeBandLimits(image);
    out.addField(BandPlace(language), QString(),
                 QString::number(band.lower) + QLatin1Char('-') + QString::number(band.upper),
                 {ByteSpan{BandBytes::Lower, 3}});
}

} // namespace kestrel
