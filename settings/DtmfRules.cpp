#include "settings/DtmfRules.h"

#include "core/Bits.h"
#include "core/Numbers.h"

namespace kestrel {

namespace {

using namespace DtmfMap;

constexpr int TxTimeCount = 46;
constexpr int PreCarrierCount = 256;
constexpr int EndCodeCount = 6;
constexpr int GroupCodeCount = 7;
constexpr int AutoResetCount = 256;
constexpr quint8 NoKey = 0xFF;

const QString KeyChars = QStringLiteral("0123456789ABCD*#");

// Position = byte - offset when the byte is above offset - 1, else 0; 0 also when
// the position is not in the list.
int Position(quint8 byte, int offset, int count) {
    const int position = byte >= offset ? byte - offset : 0;
    return position < count ? position : 0;
}

int KeyValue(QChar c) { return int(KeyChars.indexOf(c)); }

} // namespace

bool DtmfValues::operator==(const DtmfValues& o) const {
    return sideTone == o.sideTone && txTime == o.txTime && preCarrier == o.preCarrier && endCode == o.endCode &&
           groupCode == o.groupCode && autoReset == o.autoReset && ani == o.ani && stun == o.stun &&
           kill == o.kill && bot == o.bot && eot == o.eot && callList == o.callList;
}

QString DecodeDtmfNumber(const MemoryImage& image, Address address, int length) {
    QString text;
    for (int i = 0; i < length; ++i) {
        const quint8 b = image.byte(address + i);
        if (b > 15)
            break;
        text += KeyChars.at(b);
    }
    return text;
}

void EncodeDtmfNumber(MemoryImage& image, Address address, int length, const QString& text) {
    const QString keys = DtmfKeysOnly(text, false);
    for (int i = 0; i < length; ++i)
        image.setByte(address + i, i < keys.size() ? quint8(KeyValue(keys.at(i))) : NoKey);
}

QString DecodeAni(const MemoryImage& image) {
    QString text;
    for (int i = 0; i < AniLength; ++i) {
        const quint8 b = image.byte(Ani + i);
        if (b > 9)
            break;
        text += QChar(u'0' + b);
    }
    return text;
}

void EncodeAni(MemoryImage& image, const QString& text) {
    const QString digits = DtmfKeysOnly(text, true);
    for (int i = 0; i < AniLength; ++i)
        image.setByte(Ani + i, i < digits.size() ? quint8(digits.at(i).unicode() - u'0') : NoKey);
}

std::optional<QChar> FilterDtmfKey(QChar typed, bool digitsOnly) {
    const char16_t c = typed.unicode();
    if (c >= u'0' && c <= u'9')
        return typed;
    if (digitsOnly)
        return std::nullopt;
    if ((c >= u'A' && c <= u'D') || c == u'*' || c == u'#')
        return typed;
    if (c >= u'a' && c <= u'd')
        return QChar(char16_t(c - u'a' + u'A'));
    return std::nullopt;
}

QString DtmfKeysOnly(const QString& text, bool digitsOnly) {
    QString keys;
    for (QChar c : text)
        if (const auto k = FilterDtmfKey(c, digitsOnly))
            keys += *k;
    return keys;
}

DtmfValues LoadDtmf(const MemoryImage& image) {
    DtmfValues v;
    v.sideTone = GetBit(image.byte(SideTone), SideToneBit);
    v.txTime = Position(image.byte(TxTime), 5, TxTimeCount);
    v.preCarrier = Position(image.byte(PreCarrier), 0, PreCarrierCount);
    v.endCode = Position(image.byte(EndCode), 10, EndCodeCount);
    v.groupCode = Position(image.byte(GroupCode), 9, GroupCodeCount);
    v.autoReset = Position(image.byte(AutoReset), 0, AutoResetCount);
    v.ani = DecodeAni(image);
    v.stun = DecodeDtmfNumber(image, Stun, StunLength);
    v.kill = DecodeDtmfNumber(image, Kill, KillLength);
    v.bot = DecodeDtmfNumber(image, Bot, BotLength);
    v.eot = DecodeDtmfNumber(image, Eot, EotLength);
    for (int r = 0; r < CallEntryCount; ++r)
        v.callList[r] = DecodeDtmfNumber(image, CallEntry(r), CallEntryLength);
    return v;
}

QList<int> ChangedSharedEntries(const DtmfValues& values, const DtmfValues& loaded) {
    QList<int> changed;
    for (int r = FirstSharedEntry; r < CallEntryCount; ++r)
        if (values.callList.value(r) != loaded.callList.value(r))
            changed << r;
    return changed;
}

void StoreDtmf(MemoryImage& image, const DtmfValues& v, const DtmfValues& loaded) {
    image.setByte(SideTone, SetBit(image.byte(SideTone), SideToneBit, v.sideTone ? 1 : 0));
    image.setByte(TxTime, quint8(v.txTime + 5));
    image.setByte(PreCarrier, quint8(v.preCarrier));
    image.setByte(EndCode, quint8(v.endCode + 10));
    image.setByte(GroupCode, v.groupCode == 0 ? NoKey : quint8(v.groupCode + 9));
    image.setByte(AutoReset, quint8(v.autoReset));

    EncodeAni(image, v.ani);
    EncodeDtmfNumber(image, Stun, StunLength, v.stun);
    EncodeDtmfNumber(image, Kill, KillLength, v.kill);
    EncodeDtmfNumber(image, Bot, BotLength, v.bot);
    EncodeDtmfNumber(image, Eot, EotLength, v.eot);

    const QList<int> sharedChanged = ChangedSharedEntries(v, loaded);
    for (int r = 0; r < CallEntryCount; ++r)
        if (!CallEntrySharesChannelMemory(r) || sharedChanged.contains(r))
            EncodeDtmfNumber(image, CallEntry(r), CallEntryLength, v.callList.value(r));
}

QStringList SideToneItems(Language language) { return {LoadText(1456, language), Pick(language, "On", "开")}; }

QStringList TxTimeItems() {
    QStringList items;
    for (int i = 0; i < TxTimeCount; ++i)
        items << QString::number(50 + 10 * i);
    return items;
}

QStringList PreCarrierItems() {
    QStringList items;
    for (int i = 0; i < PreCarrierCount; ++i)
        items << QString::number(10 * i);
    return items;
}

QStringList EndCodeItems() {
    return {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
            QStringLiteral("D"), QStringLiteral("*"), QStringLiteral("#")};
}

QStringList GroupCodeItems(Language language) { return QStringList{LoadText(1456, language)} + EndCodeItems(); }

QStringList AutoResetItems(Language language) {
    QStringList items{LoadText(1456, language)};
    for (int i = 1; i < AutoResetCount; ++i)
        items << FormatFixed(i / 10.0, 1);
    return items;
}

} // namespace kestrel
