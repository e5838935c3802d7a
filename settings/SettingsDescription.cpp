#include "settings/SettingsDescription.h"

#include "settings/DtmfRules.h"
#include "settings/KeyRules.h"
#include "settings/ModelInfoRules.h"
#include "settings/OptFeaturesRules.h"

#include <algorithm>

namespace kestrel {

namespace {

ByteSpans Bytes(Address first, int count = 1) {
    return {ByteSpan{first, count}};
}

// A code is read up to its first byte above `lastKey`: that byte and the ones before it
// make the text, the bytes after it do not.
ByteSpans CodeBytes(const MemoryImage& image, Address first, int length, quint8 lastKey) {
    int count = 0;
    while (count < length && image.byte(first + count) <= lastKey)
        ++count;
    return Bytes(first, std::min(count + 1, length));
}
ByteSpans Bits(Address address, quint8 mask) {
    return {ByteSpan{address, 1, mask}};
}

// The DTMF view's long lists, built once per language.
struct DtmfLists {
    QStringList sideTone, txTime, preCarrier, endCode, groupCode, autoReset;
};
const DtmfLists& DtmfListsOf(Language language) {
    auto make = [](Language l) {
        return DtmfLists{SideToneItems(l), TxTimeItems(),     PreCarrierItems(),
                         EndCodeItems(),   GroupCodeItems(l), AutoResetItems(l)};
    };
    static const DtmfLists lists[2] = {make(English), make(Chinese)};
    return lists[language == Chinese ? 1 : 0];
}

} // namespace

void DescribeOptFeatures(const MemoryImage& image, Language l, ImageDescription& out) {
    namespace T = OptFeaturesText;
    namespace M = OptFeaturesMap;
    const OptFeaturesValues v = LoadOptFeatures(image);
    const QString where = T::Caption(l);
    const QStringList offOn = OffOnItems(l);
    out.addField(where, T::TimeOut(l), TimeOutItems(l).value(v.timeOut), Bytes(M::TimeOut));
    out.addField(where, T::Squelch(l), SquelchItems().value(v.squelch), Bytes(M::Squelch));
    out.addField(where, T::Beep(l), offOn.value(v.beep), Bits(M::Flags, M::Beep.mask));
    out.addField(where, T::Voice(l), VoiceItems(l).value(v.voice), Bits(M::Flags, M::Voice.mask));
    out.addField(where, T::ScanMode(l), ScanModeItems().value(v.scanMode), Bits(M::Flags, M::ScanMode.mask));
    out.addField(where, T::BatterySave(l), offOn.value(v.batterySave), Bits(M::Flags, M::BatterySave.mask));
    out.addField(where, T::ToneBurst(l), ToneBurstItems().value(v.toneBurst), Bytes(M::ToneBurst));
    // The check box is ticked when the reset is prohibited.
    out.addField(where, T::ResetProhibition(l), offOn.value(v.resetProhibited ? 1 : 0),
                 Bits(M::Flags, M::ResetAllowed.mask));
    out.addField(where, T::VoxFunction(l), offOn.value(v.vox), Bits(M::Flags, M::Vox.mask));
    out.addField(where, T::VoxGain(l), VoxGainItems().value(v.voxGain), Bytes(M::VoxGain));
    out.addField(where, T::VoxDelay(l), VoxDelayItems().value(v.voxDelay), Bytes(M::VoxDelay));
}

void DescribeKeys(const MemoryImage& image, Language l, ImageDescription& out) {
    const KeyValues v = LoadKeys(image);
    const QString keyFunction = LoadText(KeyText::KeyFunction, l);
    const QString press = LoadText(KeyText::Press, l);
    const QString hold = LoadText(KeyText::Hold, l);
    const QStringList functions = KeyFunctionTexts(l);
    const QString side1 = keyFunction + QStringLiteral("-1 ");
    const QString side2 = keyFunction + QStringLiteral("-2 ");
    out.addField(keyFunction, side1 + press, functions.value(v.side1Press), Bytes(KeyMap::Side1Press));
    out.addField(keyFunction, side1 + hold, functions.value(v.side1Hold), Bytes(KeyMap::Side1Hold));
    out.addField(keyFunction, side2 + press, functions.value(v.side2Press), Bytes(KeyMap::Side2Press));
    out.addField(keyFunction, side2 + hold, functions.value(v.side2Hold), Bytes(KeyMap::Side2Hold));
    out.addField(keyFunction, LoadText(KeyText::TopKey, l) + QLatin1Char(' ') + press,
                 AlarmFunctionTexts(l).value(v.topKey), Bytes(KeyMap::TopKey));
    out.addField(keyFunction, LoadText(KeyText::LongPress, l), DurationTexts().value(v.duration),
                 Bytes(KeyMap::LongPress));
}

void DescribeDtmf(const MemoryImage& image, Language l, ImageDescription& out) {
    namespace T = DtmfText;
    using namespace DtmfMap;
    const DtmfValues v = LoadDtmf(image);
    const DtmfLists& lists = DtmfListsOf(l);
    const QString where = QStringLiteral("DTMF");
    out.addField(where, T::SideTone(l), lists.sideTone.value(v.sideTone), Bits(SideTone, 1u << SideToneBit));
    out.addField(where, T::TxTime(l), lists.txTime.value(v.txTime), Bytes(TxTime));
    out.addField(where, T::PreCarrier(l), lists.preCarrier.value(v.preCarrier), Bytes(PreCarrier));
    out.addField(where, T::EndCode(l), lists.endCode.value(v.endCode), Bytes(EndCode));
    out.addField(where, T::GroupCode(l), lists.groupCode.value(v.groupCode), Bytes(GroupCode));
    out.addField(where, T::AutoReset(l), lists.autoReset.value(v.autoReset), Bytes(AutoReset));
    struct Code {
        QString label;
        QString text;
        Address first;
        int length;
        quint8 lastKey;
    };
    QList<Code> codes = {{T::Ani(l), v.ani, Ani, AniLength, 9},
                         {T::Stun(l), v.stun, Stun, StunLength, 15},
                         {T::Kill(l), v.kill, Kill, KillLength, 15},
                         {T::Bot(l), v.bot, Bot, BotLength, 15},
                         {T::Eot(l), v.eot, Eot, EotLength, 15}};
    const QString callList = T::CallList(l) + QLatin1Char(' ');
    for (int r = 0; r < CallEntryCount; ++r)
        codes.append(
            {callList + QString::number(r + 1), v.callList.value(r), CallEntry(r), CallEntryLength, 15});
    for (const Code& c : codes) {
        out.addField(where, c.label, c.text, CodeBytes(image, c.first, c.length, c.lastKey));
        out.addRegion(where, c.first, c.length);
    }
}

void DescribeModelInfo(const MemoryImage& image, Language l, ImageDescription& out) {
    out.addField(LoadText(ModelInfoText::Caption, l), LoadText(ModelInfoText::ModelType, l),
                 ModelTypeItems().value(ModelTypePosition(image)), Bytes(ModelInfoMap::ModelType));
}

} // namespace kestrel
