#pragma once
// DTMF signalling: side tone, timing, end and group codes, automatic reset, the ANI
// code, the remote stun and kill codes, the PTT ID codes and a call list of 16
// numbers, from 0x0CF0 on. A DTMF number is one key per byte: 0-9 the digits, 10-13
// "A"-"D", 14 "*", 15 "#"; a byte above 15 ends it and 0xFF fills the rest.
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QChar>
#include <QList>
#include <QStringList>

#include <optional>

namespace kestrel {

namespace DtmfMap {
constexpr Address SideTone = 0x0CF0; // bit 0; the other bits are left alone
constexpr int SideToneBit = 0;
constexpr Address TxTime = 0x0CF1;     // 10 ms units, 5-50
constexpr Address PreCarrier = 0x0CF2; // 10 ms units, 0-255
constexpr Address EndCode = 0x0CF3;    // key byte 10-15
constexpr Address GroupCode = 0x0CF4;  // 0xFF off, or key byte 10-15
constexpr Address AutoReset = 0x0CF5;  // 0 off, tenths of a second
constexpr Address Ani = 0x0CFD;
constexpr int AniLength = 3;
constexpr Address Stun = 0x0D00;
constexpr int StunLength = 14;
constexpr Address Kill = 0x0D10;
constexpr int KillLength = 14;
constexpr Address Bot = 0x0D20;
constexpr int BotLength = 24;
constexpr Address Eot = 0x0D38;
constexpr int EotLength = 24;
constexpr Address CallList = 0x0D50;
constexpr int CallEntryLength = 24;
constexpr int CallEntryCount = 16;
constexpr Address CallEntry(int index) { return CallList + CallEntryLength * index; }

// Entries 9-16 (indices 8-15, 0x0E10-0x0ECF) lie in the radio's channel memory: the
// current channel byte 0x0E18 and the channel-valid and scan bitmaps 0x0E20-0x0E5F.
constexpr int FirstSharedEntry = 8;
constexpr Address SharedFirst = 0x0E10;
constexpr Address SharedLast = 0x0ECF;
} // namespace DtmfMap

// The view's labels.
namespace DtmfText {
constexpr TextPair SideTone{"Side Tone", "Dtmf侧音"};
constexpr TextPair TxTime{"Transmitting Time[ms]", "DTMF发送时间[毫秒]"};
constexpr TextPair PreCarrier{"Pretime[ms]", "预载波时间[毫秒]"};
constexpr TextPair EndCode{"End Code", "分隔符"};
constexpr TextPair GroupCode{"Group Code", "组呼码"};
constexpr TextPair AutoReset{"Auto Reset Time[s]", "自动复位时间[秒]"};
constexpr TextPair Ani{"ANI Code", "ANI码"};
constexpr TextPair Stun{"Remotely Stun", "遥晕码"};
constexpr TextPair Kill{"Remotely Kill", "遥毙码"};
constexpr TextPair Bot{"PTTID BOT", "PTTID起始码"};
constexpr TextPair Eot{"PTTID EOT", "PTTID结束码"};
constexpr TextPair CallList{"Call List", "呼叫列表"};
} // namespace DtmfText

// Whether call list entry `index` (0-15) shares its bytes with the channel memory.
constexpr bool CallEntrySharesChannelMemory(int index) { return index >= DtmfMap::FirstSharedEntry; }

// List positions of the six selectors and the texts of the numbers.
struct DtmfValues {
    int sideTone = 0;
    int txTime = 0;
    int preCarrier = 0;
    int endCode = 0;
    int groupCode = 0;
    int autoReset = 0;
    QString ani;
    QString stun;
    QString kill;
    QString bot;
    QString eot;
    QStringList callList = QStringList(DtmfMap::CallEntryCount, QString());

    bool operator==(const DtmfValues& o) const;
};

DtmfValues LoadDtmf(const MemoryImage& image);

// Writes every field. A call list entry in the channel memory (9-16) is written only
// when its text differs from `loaded` (what the view showed when it opened), so that
// confirming the view without touching those entries leaves the channel bookkeeping
// as it was. Entries 1-8 are always written.
void StoreDtmf(MemoryImage& image, const DtmfValues& values, const DtmfValues& loaded);

// Indices (8-15) of the shared entries whose text differs from `loaded`.
QList<int> ChangedSharedEntries(const DtmfValues& values, const DtmfValues& loaded);

// One key per byte; reading stops at the first byte above 15; "E" and "F" read as "*", "#".
QString DecodeDtmfNumber(const MemoryImage& image, Address address, int length);
// Each key of the text in turn, then 0xFF to the end of the field; a text longer than
// the field is cut, characters that are not DTMF keys are left out.
void EncodeDtmfNumber(MemoryImage& image, Address address, int length, const QString& text);
// The ANI code: digits until the first byte above 9.
QString DecodeAni(const MemoryImage& image);
void EncodeAni(MemoryImage& image, const QString& text);

// The key filter of the code boxes and the call list editor: digits, "A"-"D", "*" and
// "#" pass, "a"-"d" become capitals; with `digitsOnly` (the ANI box) only digits pass.
std::optional<QChar> FilterDtmfKey(QChar typed, bool digitsOnly);
// The text with every character the filter refuses left out (for pasted text).
QString DtmfKeysOnly(const QString& text, bool digitsOnly);

// Selector lists, position 0 first.
QStringList SideToneItems(Language language);
QStringList TxTimeItems();     // 50 ... 500
QStringList PreCarrierItems(); // 0 ... 2550
QStringList EndCodeItems();    // A B C D * #
QStringList GroupCodeItems(Language language);
QStringList AutoResetItems(Language language);

} // namespace kestrel
