#pragma once
// Optional features: the general settings byte 0x0FD2 with its bit fields and five
// whole-byte settings beside it. Every stored value is a list position.
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QStringList>

namespace kestrel {

namespace OptFeaturesMap {
constexpr Address Flags = 0x0FD2;
constexpr Address Squelch = 0x0FD3;
constexpr Address TimeOut = 0x0FD4;
constexpr Address VoxGain = 0x0FD5;
constexpr Address VoxDelay = 0x0FD6;
constexpr Address ToneBurst = 0x0FDA;

// A bit field of the flags byte: the bits of `mask`, value shifted by `shift`.
struct Field {
    quint8 mask;
    int shift;
};
constexpr Field ResetAllowed{0x01, 0}; // 0 = reset prohibited
constexpr Field Vox{0x02, 1};
constexpr Field ScanMode{0x0C, 2};
constexpr Field Voice{0x30, 4};
constexpr Field BatterySave{0x40, 6};
constexpr Field Beep{0x80, 7};
} // namespace OptFeaturesMap

// The view's caption and labels (the tone-burst label and the check box read the
// same in both languages).
namespace OptFeaturesText {
constexpr TextPair Caption{"Optional Features", "可选功能"};
constexpr TextPair TimeOut{"Time Out Timer[s]", "发射定时(秒)"};
constexpr TextPair Squelch{"Squelch Level", "静噪等级(SQ)"};
constexpr TextPair Beep{"BEEP", "提示音"};
constexpr TextPair Voice{"Voice", "语音"};
constexpr TextPair ScanMode{"ScanMode", "扫描模式"};
constexpr TextPair BatterySave{"Battery Save", "电池省电"};
constexpr TextPair ToneBurst{"TBST Frequency", "TBST Frequency"};
constexpr TextPair ResetProhibition{"Reset Prohibition", "Reset Prohibition"};
constexpr TextPair VoxFunction{"VOX Function", "VOX功能"};
constexpr TextPair VoxGain{"VOX Gain Level", "VOX增益电平"};
constexpr TextPair VoxDelay{"VOX Delay Time[s]", "VOX延迟时间(秒)"};
} // namespace OptFeaturesText

// List positions of every setting (0 = first item).
struct OptFeaturesValues {
    int timeOut = 0;
    int squelch = 0;
    int beep = 0;
    int voice = 0;
    int scanMode = 0;
    int batterySave = 0;
    int toneBurst = 0;
    bool resetProhibited = false;
    int vox = 0;
    int voxGain = 0;
    int voxDelay = 0;

    bool operator==(const OptFeaturesValues& o) const;
};

// Positions as stored; an out-of-range value is replaced by its fixed position
// (time-out "60", squelch 3, scan "TO", voice Chinese, TBST 1750 Hz, VOX gain 1, delay 0.3).
OptFeaturesValues LoadOptFeatures(const MemoryImage& image);

// Writes the six bytes; bit fields replace only their own bits of 0x0FD2.
void StoreOptFeatures(MemoryImage& image, const OptFeaturesValues& values);

// The selector lists, position 0 first.
QStringList TimeOutItems(Language language);
QStringList SquelchItems();
QStringList OffOnItems(Language language);
QStringList VoiceItems(Language language);
QStringList ScanModeItems();
QStringList ToneBurstItems();
QStringList VoxGainItems();
QStringList VoxDelayItems();

} // namespace kestrel
