#include "settings/SettingsDescription.h"

#include "settings/DtmfRules.h"
#include "settings/KeyRules.h"
#include "settings/ModelInfoRules.h"
#include "settings/OptFeaturesRules.h"

namespace kestrel {

namespace {

// Text number of the key view's captions and labels.
constexpr int KeyFunctionText = 1457;
constexpr int TopKeyText = 1469;
constexpr int PressText = 1458;
constexpr int HoldText = 1461;
constexpr int LongPressText = 1657;
constexpr int ModelInfoText = 1309;
constexpr int ModelTypeText = 1308;

ByteSpans Bytes(Address first, int count = 1) { return {ByteSpan{first, count}}; }
ByteSpans Bits(Address address, quint8 mask) { return {ByteSpan{address, 1, mask}}; }

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
    const QString keyFunction = LoadText(KeyFunctionText, l);
    const QString press = LoadText(PressText, l);
    const QString hold = LoadText(HoldText, l);
    const QStringList functions = KeyFunctionTexts(l);
    const QString side1 = keyFunction + QStringLiteral("-1 ");
    const QString side2 = keyFunction + QStringLiteral("-2 ");
    out.addField(keyFunction, side1 + press, functions.value(v.side1Press), Bytes(KeyMap::Side1Press));
    out.addField(keyFunction, side1 + hold, functions.value(v.side1Hold), Bytes(KeyMap::Side1Hold));
    out.addField(keyFunction, side2 + press, functions.value(v.side2Press), Bytes(KeyMap::Side2Press));
    out.addField(keyFunction, side2 + hold, functions.value(v.side2Hold), Bytes(KeyMap::Side2Hold));
    out.addField(keyFunction, LoadText(TopKeyText, l) + QLatin1Char(' ') + press,
                 AlarmFunctionTexts(l).value(v.topKey), Bytes(KeyMap::TopKey));
    out.addField(keyFunction, LoadText(LongPressText, l), DurationTexts().value(v.duration),
                 Bytes(KeyMap::LongPress));
}

void DescribeDtmf(const MemoryImage& image, Language l, ImageDescription& out) {
    namespace T = DtmfText;
    using namespace DtmfMap;
    const DtmfValues v = LoadDtmf(image);
    const QString where = QStringLiteral("DTMF");
    out.addField(where, T::SideTone(l), SideToneItems(l).value(v.sideTone), Bits(SideTone, 1u << SideToneBit));
    out.addField(where, T::TxTime(l), TxTimeItems().value(v.txTime), Bytes(TxTime));
    out.addField(where, T::PreCarrier(l), PreCarrierItems().value(v.preCarrier), Bytes(PreCarrier));
    out.addField(where, T::EndCode(l), EndCodeItems().value(v.endCode), Bytes(EndCode));
    out.addField(where, T::GroupCode(l), GroupCodeItems(l).value(v.groupCode), Bytes(GroupCode));
    out.addField(where, T::AutoReset(l), AutoResetItems(l).value(v.autoReset), Bytes(AutoReset));
    out.addField(where, T::Ani(l), v.ani, Bytes(Ani, AniLength));
    out.addField(where, T::Stun(l), v.stun, Bytes(Stun, StunLength));
    out.addField(where, T::Kill(l), v.kill, Bytes(Kill, KillLength));
    out.addField(where, T::Bot(l), v.bot, Bytes(Bot, BotLength));
    out.addField(where, T::Eot(l), v.eot, Bytes(Eot, EotLength));
    const QString callList = T::CallList(l) + QLatin1Char(' ');
    for (int r = 0; r < CallEntryCount; ++r)
        out.addField(where, callList + QString::number(r + 1), v.callList.value(r),
                     Bytes(CallEntry(r), CallEntryLength));
}

void DescribeModelInfo(const MemoryImage& image, Language l, ImageDescription& out) {
    out.addField(LoadText(ModelInfoText, l), LoadText(ModelTypeText, l), ModelTypeItems().value(ModelTypePosition(image)),
                 Bytes(ModelInfoMap::ModelType));
}

} // namespace kestrel
