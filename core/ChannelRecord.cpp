#include "core/ChannelRecord.h"

#include "core/Bits.h"
#include "core/Frequency.h"
#include "core/Numbers.h"
#include "core/Tone.h"

namespace kestrel {

namespace {
namespace T = ChannelText;

constexpr TextPair Headers[ChannelColumnCount] = {
    {"CH", "信道"},          {"RX Freq", "接收频率"},   {"TX Freq", "发射频率"}, {"Decode", "接收信令"},
    {"Encode", "发射信令"},  {"W/N", "宽/窄"},          {"BCL", "繁忙锁定"},     {"Scan", "扫描添加"},
    {"TX Power", "发射功率"}, {"Opt Signal", "可选信令"}, {"Mute Dtmf", "静噪方式"}, {"PTT ID", "PTT ID"},
    {"Call Group", "呼叫组别"}, {"Compand", "压扩"},      {"Scrambler", "扰频"},   {"Option", "可选功能"},
    {"TX inhibit", "禁发"},  {"ChName", "信道名称"},
};

quint8 RecordByte(const MemoryImage& image, int channel, int position) { return image.byte(channel, position); }

bool IsErasedFrequency(const MemoryImage& image, int channel, int position) {
    for (int i = 0; i < 4; ++i)
        if (RecordByte(image, channel, position + i) != 0xFF)
            return false;
    return true;
}

bool Bit(const MemoryImage& image, int channel, RecordBit b) {
    return GetBit(RecordByte(image, channel, b.byte), b.bit) == 1;
}

void PutBit(MemoryImage& image, int channel, RecordBit b, bool on) {
    image.setByte(channel, b.byte, SetBit(RecordByte(image, channel, b.byte), b.bit, on ? 1 : 0));
}

QString OnOff(bool on, Language lang) { return on ? T::On(lang) : T::Off(lang); }

void FillBytes(MemoryImage& image, int channel, std::initializer_list<int> positions) {
    for (int p : positions)
        image.setByte(channel, p, 0xFF);
}

bool BitmapPlace(Address base, int number, Address* address, int* bit) {
    if (number < 1 || number > BitmapNumbers)
        return false;
    *address = base + (number - 1) / 8;
    *bit = (number - 1) % 8;
    return true;
}
} // namespace

QString ChannelColumnHeader(int column, Language language) {
    if (column < 0 || column >= ChannelColumnCount)
        return QString();
    return Headers[column](language);
}

QStringList ChannelOptionList(int column, Language l) {
    switch (column) {
    case ColBandwidth:
        return {T::Narrow(l), T::Wide(l)};
    case ColLockout:
        return {T::Off(l), T::Bcl(l), T::Btl(l)};
    case ColScan:
        return {T::Add(l), T::Del(l)};
    case ColTxPower:
        return {T::Low(l), T::Mid(l), T::High(l)};
    case ColSignalling:
        return {T::OffNone(l), T::Dtmf(l)};
    case ColSquelch:
        return {T::Carrier(l), T::Dtmf(l)};
    case ColPttId:
        return {T::Off(l), T::Bot(l), T::Eot(l), T::Both(l)};
    case ColCallGroup: {
        QStringList groups;
        for (int g = 1; g <= 16; ++g)
            groups << QString::number(g);
        return groups;
    }
    case ColCompander:
    case ColScrambler:
    case ColTxInhibit:
        return {T::Off(l), T::On(l)};
    case ColReverse:
        return {T::Off(l), T::Reverse(l), T::TalkAround(l)};
    default:
        return {};
    }
}

QStringList ChannelColumnTexts(int column, Language l) {
    switch (column) {
    case ColRxFreq:
    case ColTxFreq:
        return {QStringLiteral("888.88888")};
    case ColDecode:
    case ColEncode: {
        QStringList tones = BuildToneTable(l);
        tones << T::NoTone(English) << T::NoTone(Chinese);
        return tones;
    }
    case ColPttId:
        return ChannelOptionList(column, l) << T::OffNone(l);
    default:
        return ChannelOptionList(column, l);
    }
}

QString ChannelTexts::text(int column) const {
    if (column < 1 || column >= ChannelColumnCount)
        return QString();
    return cells[size_t(column)];
}

int ChannelIndexOf(int groupIndex, int row) {
    if (groupIndex < 0 || groupIndex >= GroupCount || row < 1 || row > RowsPerGroup)
        return -1;
    return groupIndex * RowsPerGroup + row - 1;
}

QString ChannelOptionText(const MemoryImage& image, int n, int column, Language l) {
    if (!IsChannelIndex(n))
        return QString();
    namespace B = ChannelBit;
    switch (column) {
    case ColBandwidth:
        return Bit(image, n, B::Wide) ? T::Wide(l) : T::Narrow(l);
    case ColLockout:
        if (Bit(image, n, B::CarrierLockout))
            return T::Bcl(l);
        return Bit(image, n, B::ToneLockout) ? T::Btl(l) : T::Off(l);
    case ColScan:
        return Bit(image, n, B::ScanAdd) ? T::Add(l) : T::Del(l);
    case ColTxPower:
        if (Bit(image, n, B::HighPower))
            return T::High(l);
        return Bit(image, n, B::MidPower) ? T::Mid(l) : T::Low(l);
    case ColSignalling:
        return Bit(image, n, B::SignallingDtmf) ? T::Dtmf(l) : T::OffNone(l);
    case ColSquelch:
        return Bit(image, n, B::SquelchDtmf) ? T::Dtmf(l) : T::Carrier(l);
    case ColPttId:
        switch (RecordByte(image, n, ChannelByte::Options2) & B::PttIdMask) {
        case 1:
            return T::Bot(l);
        case 2:
            return T::Eot(l);
        case 3:
            return T::Both(l);
        default:
            return T::OffNone(l);
        }
    case ColCallGroup:
        return QString::number((RecordByte(image, n, ChannelByte::Options3) & B::CallGroupMask) + 1);
    case ColCompander:
        return OnOff(Bit(image, n, B::Compander), l);
    case ColScrambler:
        return OnOff(Bit(image, n, B::Scrambler), l);
    case ColReverse:
        if (Bit(image, n, B::Reverse))
            return T::Reverse(l);
        return Bit(image, n, B::TalkAround) ? T::TalkAround(l) : T::Off(l);
    case ColTxInhibit:
        return OnOff(Bit(image, n, B::TxInhibit), l);
    default:
        return QString();
    }
}

bool ShowsAsEmpty(const MemoryImage& image, const BandLimits& band, int n) {
    // Erased bytes are never a frequency, whatever limits the band was given.
    return IsErasedFrequency(image, n, ChannelByte::RxFrequency) ||
           CheckFrequencyRange(band, DecodeFrequency(image, n, ChannelByte::RxFrequency)) != InBand;
}

ChannelTexts ReadChannelForDisplay(MemoryImage& image, const BandLimits& band, const QStringList& toneTable,
                                   Language language, int n) {
    ChannelTexts row;
    if (!IsChannelIndex(n))
        return row;
    if (ShowsAsEmpty(image, band, n)) {
        ClearChannel(image, n);
        return row;
    }
    row.cells[ColRxFreq] = DecodeFrequency(image, n, ChannelByte::RxFrequency);
    row.cells[ColDecode] = DecodeTone(toneTable, RecordByte(image, n, ChannelByte::DecodeLow),
                                      RecordByte(image, n, ChannelByte::DecodeHigh));
    const QString tx = DecodeFrequency(image, n, ChannelByte::TxFrequency);
    if (CheckFrequencyRange(band, tx) != InBand) {
        ClearTransmit(image, n);
    } else {
        row.cells[ColTxFreq] = tx;
        row.cells[ColEncode] = DecodeTone(toneTable, RecordByte(image, n, ChannelByte::EncodeLow),
                                          RecordByte(image, n, ChannelByte::EncodeHigh));
    }
    for (int c = FirstOptionColumn; c <= LastOptionColumn; ++c)
        row.cells[size_t(c)] = ChannelOptionText(image, n, c, language);
    return row;
}

bool StoreChannelField(MemoryImage& image, int n, int column, const QString& text, Language l) {
    if (!IsChannelIndex(n))
        return false;
    namespace B = ChannelBit;
    switch (column) {
    case ColRxFreq:
        return EncodeFrequency(image, n, ChannelByte::RxFrequency, text);
    case ColTxFreq:
        return StoreTransmit(image, n, text);
    case ColDecode:
        EncodeTone(image, n, text, DecodeToneOffset);
        return true;
    case ColEncode:
        EncodeTone(image, n, text, EncodeToneOffset);
        return true;
    case ColBandwidth:
        PutBit(image, n, B::Wide, text == T::Wide(l));
        return true;
    case ColLockout: {
        const bool btl = text == T::Btl(l);
        const bool bcl = !btl && text == T::Bcl(l);
        PutBit(image, n, B::ToneLockout, btl);
        PutBit(image, n, B::CarrierLockout, bcl);
        return true;
    }
    case ColScan:
        PutBit(image, n, B::ScanAdd, text == T::Add(l));
        return true;
    case ColTxPower:
        PutBit(image, n, B::HighPower, false);
        PutBit(image, n, B::MidPower, false);
        if (text == T::High(l))
            PutBit(image, n, B::HighPower, true);
        else if (text != T::Low(l))
            PutBit(image, n, B::MidPower, true);
        return true;
    case ColSignalling:
        PutBit(image, n, B::SignallingDtmf, text != T::OffNone(l));
        return true;
    case ColSquelch:
        PutBit(image, n, B::SquelchDtmf, text != T::Carrier(l));
        return true;
    case ColPttId: {
        int id = 0;
        if (text == T::Bot(l))
            id = 1;
        else if (text == T::Eot(l))
            id = 2;
        else if (text == T::Both(l))
            id = 3;
        image.setByte(n, ChannelByte::Options2,
                      SetField(RecordByte(image, n, ChannelByte::Options2), B::PttIdMask, 0, id));
        return true;
    }
    case ColCallGroup: {
        const qint64 group = RoundHalfEven(LeadingNumber(text));
        if (group < 1 || group > 16)
            return false;
        image.setByte(n, ChannelByte::Options3,
                      SetField(RecordByte(image, n, ChannelByte::Options3), B::CallGroupMask, 0, int(group - 1)));
        return true;
    }
    case ColCompander:
        PutBit(image, n, B::Compander, text == T::On(l));
        return true;
    case ColScrambler:
        PutBit(image, n, B::Scrambler, text == T::On(l));
        return true;
    case ColReverse: {
        const bool reverse = text == T::Reverse(l);
        const bool talkAround = !reverse && text == T::TalkAround(l);
        PutBit(image, n, B::Reverse, reverse);
        PutBit(image, n, B::TalkAround, talkAround);
        return true;
    }
    case ColTxInhibit:
        PutBit(image, n, B::TxInhibit, text == T::On(l));
        return true;
    default:
        return false;
    }
}

bool CreateChannel(MemoryImage& image, int n, int row, const QString& rxText) {
    if (!IsChannelIndex(n))
        return false;
    // Check that the frequency fits before anything is written, so a refused text
    // leaves no half-made channel.
    if (!FrequencyFits(rxText))
        return false;
    EncodeFrequency(image, n, ChannelByte::RxFrequency, rxText);
    // No decode or encode tone; an empty record already holds these 0xFF.
    FillBytes(image, n, {ChannelByte::DecodeLow, ChannelByte::DecodeHigh, ChannelByte::EncodeLow,
                         ChannelByte::EncodeHigh});
    image.setByte(n, ChannelByte::Options1, RecordByte(image, n, ChannelByte::Options1) & 0xF8);
    image.setByte(n, ChannelByte::Options2, 0x08);
    image.setByte(n, ChannelByte::Options3, 0x70);
    StoreTransmit(image, n, rxText);
    SetBitmapBit(image, ValidBitmap, row);
    SetBitmapBit(image, ScanBitmap, row);
    return true;
}

ChannelTexts NewChannelTexts(const QString& rxText, Language l) {
    ChannelTexts row;
    row.cells[ColRxFreq] = rxText;
    row.cells[ColTxFreq] = rxText;
    row.cells[ColDecode] = T::NoTone(l);
    row.cells[ColEncode] = T::NoTone(l);
    row.cells[ColBandwidth] = T::Wide(l);
    row.cells[ColLockout] = T::Off(l);
    row.cells[ColScan] = T::Add(l);
    row.cells[ColTxPower] = T::High(l);
    row.cells[ColSignalling] = T::OffNone(l);
    row.cells[ColSquelch] = T::Carrier(l);
    row.cells[ColPttId] = T::Off(l);
    row.cells[ColCallGroup] = QStringLiteral("1");
    row.cells[ColCompander] = T::Off(l);
    row.cells[ColScrambler] = T::Off(l);
    row.cells[ColReverse] = T::Off(l);
    row.cells[ColTxInhibit] = T::Off(l);
    return row;
}

void ClearChannel(MemoryImage& image, int n) {
    if (IsChannelIndex(n))
        image.setLine(n, QByteArray(LineSize, char(0xFF)));
}

void ClearTransmit(MemoryImage& image, int n) {
    if (IsChannelIndex(n))
        FillBytes(image, n, {4, 5, 6, 7, ChannelByte::EncodeLow, ChannelByte::EncodeHigh});
}

bool StoreTransmit(MemoryImage& image, int n, const QString& text) {
    if (!IsChannelIndex(n))
        return false;
    if (!FrequencyFits(text))
        return false;
    PutBit(image, n, ChannelBit::TxPending, false);
    return EncodeFrequency(image, n, ChannelByte::TxFrequency, text);
}

void SetBitmapBit(MemoryImage& image, Address base, int number) {
    Address a;
    int bit;
    if (BitmapPlace(base, number, &a, &bit))
        image.setByte(a, SetBit(image.byte(a), bit, 1));
}

void ClearBitmapBit(MemoryImage& image, Address base, int number) {
    Address a;
    int bit;
    if (BitmapPlace(base, number, &a, &bit))
        image.setByte(a, SetBit(image.byte(a), bit, 0));
}

bool BitmapBit(const MemoryImage& image, Address base, int number) {
    Address a;
    int bit;
    return BitmapPlace(base, number, &a, &bit) && GetBit(image.byte(a), bit) == 1;
}

quint8 CurrentChannelOfRows(const std::array<bool, RowsPerGroup>& rowFilled) {
    // Rows 1 and 2 are not looked at.
    for (int row = 3; row <= RowsPerGroup; ++row)
        if (rowFilled[size_t(row - 1)])
            return quint8(row - 1);
    return 0;
}

void SetCurrentChannelByte(MemoryImage& image, const std::array<bool, RowsPerGroup>& rowFilled) {
    image.setByte(CurrentChannelByte, CurrentChannelOfRows(rowFilled));
}

std::array<bool, RowsPerGroup> ShownRowsFilled(const MemoryImage& image, const BandLimits& band) {
    std::array<bool, RowsPerGroup> filled{};
    const int group = ReadShownGroup(image);
    for (int row = 1; row <= RowsPerGroup; ++row)
        filled[size_t(row - 1)] = !ShowsAsEmpty(image, band, ChannelIndexOf(group, row));
    return filled;
}

int ReadShownGroup(const MemoryImage& image) {
    const int g = image.byte(ShownGroupByte);
    return g < GroupCount ? g : 0;
}

void WriteShownGroup(MemoryImage& image, int groupIndex) {
    if (groupIndex >= 0 && groupIndex < GroupCount)
        image.setByte(ShownGroupByte, quint8(groupIndex));
}

} // namespace kestrel
