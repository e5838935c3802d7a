#include "settings/OptFeaturesRules.h"

#include "core/Bits.h"

namespace kestrel {

namespace {

using namespace OptFeaturesMap;

constexpr int TimeOutCount = 10, TimeOutFallback = 2;
constexpr int SquelchCount = 10, SquelchFallback = 3;
constexpr int ScanModeCount = 3, ScanModeFallback = 0;
constexpr int VoiceCount = 3, VoiceFallback = 2;
constexpr int ToneBurstCount = 4, ToneBurstFallback = 0;
constexpr int VoxGainCount = 9, VoxGainFallback = 0;
constexpr int VoxDelayCount = 6, VoxDelayFallback = 0;

int InList(int position, int count, int fallback) { return position < count ? position : fallback; }
int Get(quint8 flags, Field f) { return GetField(flags, f.mask, f.shift); }
quint8 Put(quint8 flags, Field f, int value) { return SetField(flags, f.mask, f.shift, value); }
quint8 Byte(int position) { return quint8(position); }

QString OffText(Language language) { return LoadText(1456, language); }

QStringList Numbers(int first, int count) {
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QString::number(first + i);
    return items;
}

} // namespace

bool OptFeaturesValues::operator==(const OptFeaturesValues& o) const {
    return timeOut == o.timeOut && squelch == o.squelch && beep == o.beep && voice == o.voice &&
           scanMode == o.scanMode && batterySave == o.batterySave && toneBurst == o.toneBurst &&
           resetProhibited == o.resetProhibited && vox == o.vox && voxGain == o.voxGain &&
           voxDelay == o.voxDelay;
}

OptFeaturesValues LoadOptFeatures(const MemoryImage& image) {
    const quint8 flags = image.byte(Flags);
    OptFeaturesValues v;
    v.timeOut = InList(image.byte(TimeOut), TimeOutCount, TimeOutFallback);
    v.squelch = InList(image.byte(Squelch), SquelchCount, SquelchFallback);
    v.beep = Get(flags, Beep);
    v.scanMode = InList(Get(flags, ScanMode), ScanModeCount, ScanModeFallback);
    v.batterySave = Get(flags, BatterySave);
    v.voice = InList(Get(flags, Voice), VoiceCount, VoiceFallback);
    v.toneBurst = InList(image.byte(ToneBurst), ToneBurstCount, ToneBurstFallback);
    v.resetProhibited = Get(flags, ResetAllowed) == 0;
    v.vox = Get(flags, Vox);
    v.voxGain = InList(image.byte(VoxGain), VoxGainCount, VoxGainFallback);
    v.voxDelay = InList(image.byte(VoxDelay), VoxDelayCount, VoxDelayFallback);
    return v;
}

void StoreOptFeatures(MemoryImage& image, const OptFeaturesValues& v) {
    image.setByte(TimeOut, Byte(v.timeOut));
    image.setByte(Squelch, Byte(v.squelch));

    quint8 flags = image.byte(Flags);
    flags = Put(flags, Beep, v.beep);
    flags = Put(flags, ScanMode, v.scanMode);
    flags = Put(flags, BatterySave, v.batterySave);
    flags = Put(flags, Voice, v.voice);
    image.setByte(Flags, flags);

    image.setByte(ToneBurst, Byte(v.toneBurst));

    flags = Put(image.byte(Flags), ResetAllowed, v.resetProhibited ? 0 : 1);
    flags = Put(flags, Vox, v.vox);
    image.setByte(Flags, flags);
    image.setByte(VoxGain, Byte(v.voxGain));
    image.setByte(VoxDelay, Byte(v.voxDelay));
}

QStringList TimeOutItems(Language language) {
    QStringList items{OffText(language)};
    for (int n = 1; n < TimeOutCount; ++n)
        items << QString::number(n * 30);
    return items;
}

QStringList SquelchItems() { return Numbers(0, SquelchCount); }

QStringList OffOnItems(Language language) { return {OffText(language), Pick(language, "On", "开")}; }

QStringList VoiceItems(Language language) {
    return {OffText(language), Pick(language, "English", "英文"), Pick(language, "Chinese", "中文")};
}

QStringList ScanModeItems() { return {QStringLiteral("TO"), QStringLiteral("SE"), QStringLiteral("CO")}; }

QStringList ToneBurstItems() {
    return {QStringLiteral("1750Hz"), QStringLiteral("1000Hz"), QStringLiteral("1450Hz"), QStringLiteral("2100Hz")};
}

QStringList VoxGainItems() { return Numbers(1, VoxGainCount); }

QStringList VoxDelayItems() {
    return {QStringLiteral("0.3"), QStringLiteral("0.5"), QStringLiteral("1.0"),
            QStringLiteral("1.5"), QStringLiteral("2.0"), QStringLiteral("3.0")};
}

} // namespace kestrel
