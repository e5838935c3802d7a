#pragma once
// The 128 channel records (one image line each) and the channel bookkeeping around
// them: the channel-valid and scan bitmaps, the current channel byte and the shown
// group byte. The channel editors read and write channels only through these rules.
#include "core/Band.h"
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QString>
#include <QStringList>
#include <array>

namespace kestrel {

constexpr int ChannelCount = 128;
constexpr int GroupCount = 8;
constexpr int RowsPerGroup = 16;

// Byte positions inside a channel record.
namespace ChannelByte {
constexpr int RxFrequency = 0; // bytes 0-3
constexpr int TxFrequency = 4; // bytes 4-7
constexpr int DecodeLow = 8;
constexpr int DecodeHigh = 9;
constexpr int EncodeLow = 10;
constexpr int EncodeHigh = 11;
constexpr int Options1 = 12; // scrambler, lockout, scan, bandwidth, high power
constexpr int Options2 = 13; // PTT ID, squelch, mid power, signalling, reverse, talk around, compander
constexpr int Options3 = 14; // call group, transmit inhibit
constexpr int Extra = 15;
} // namespace ChannelByte

// One bit of a channel record.
struct RecordBit {
    int byte;
    int bit;
};

namespace ChannelBit {
constexpr RecordBit Scrambler{12, 0};
constexpr RecordBit CarrierLockout{12, 1}; // "BCL"
constexpr RecordBit ToneLockout{12, 2};    // "BTL", counts only when CarrierLockout is 0
constexpr RecordBit ScanAdd{12, 3};
constexpr RecordBit Wide{12, 4};
constexpr RecordBit HighPower{12, 5};
constexpr RecordBit SquelchDtmf{13, 2};
constexpr RecordBit MidPower{13, 3};       // counts only when HighPower is 0
constexpr RecordBit SignallingDtmf{13, 4};
constexpr RecordBit Reverse{13, 5};
constexpr RecordBit TalkAround{13, 6};     // counts only when Reverse is 0
constexpr RecordBit Compander{13, 7};
constexpr RecordBit TxInhibit{14, 7};
constexpr RecordBit TxPending{15, 1};      // cleared whenever a transmit frequency is stored
constexpr quint8 PttIdMask = 0x03;         // byte 13: 0 off, 1 BOT, 2 EOT, 3 BOTH
constexpr quint8 CallGroupMask = 0x0F;     // byte 14: call group 1-16 stored as 0-15
} // namespace ChannelBit

// Bookkeeping bytes around the records.
constexpr Address ValidBitmap = 0x0E20;        // 32 bytes, one bit per number 1-256
constexpr Address ScanBitmap = 0x0E40;         // 32 bytes, one bit per number 1-256
constexpr int BitmapNumbers = 256;
constexpr Address CurrentChannelByte = 0x0E18; // channel position 0-15 in the shown group
constexpr Address ShownGroupByte = 0x0FD7;     // 0-7 for groups 1-8; 8 or more shows group 1

// Grid columns (column 0 is the row number).
enum ChannelColumn : int {
    ColRxFreq = 1,
    ColTxFreq = 2,
    ColDecode = 3,
    ColEncode = 4,
    ColBandwidth = 5,
    ColLockout = 6,
    ColScan = 7,
    ColTxPower = 8,
    ColSignalling = 9,
    ColSquelch = 10,
    ColPttId = 11,
    ColCallGroup = 12,
    ColCompander = 13,
    ColScrambler = 14,
    ColReverse = 15, // reverse / talk around
    ColTxInhibit = 16,
    ColName = 17,
};
constexpr int ChannelColumnCount = 18;  // with column 0
constexpr int FirstOptionColumn = ColBandwidth;
constexpr int LastOptionColumn = ColTxInhibit;

// The texts of field values, English and Chinese.
namespace ChannelText {
constexpr TextPair NoTone{"None", "无"};
constexpr TextPair Narrow{"Narrow", "窄"};
constexpr TextPair Wide{"Wide", "宽"};
constexpr TextPair Off{"Off", "关"};
constexpr TextPair OffNone{"Off", "无"}; // optional signalling off; PTT ID off when shown from the image
constexpr TextPair Bcl{"BCL", "BCL"};
constexpr TextPair Btl{"BTL", "BTL"};
constexpr TextPair Add{"Add", "添加"};
constexpr TextPair Del{"Del", "删除"};
constexpr TextPair Low{"Low", "低"};
constexpr TextPair Mid{"Mid", "中"};
constexpr TextPair High{"High", "高"};
constexpr TextPair Dtmf{"DTMF", "DTMF"};
constexpr TextPair Carrier{"Carrier", "载波"};
constexpr TextPair Bot{"BOT", "BOT"};
constexpr TextPair Eot{"EOT", "EOT"};
constexpr TextPair Both{"BOTH", "BOTH"};
constexpr TextPair On{"On", "开"};
constexpr TextPair Reverse{"Reverse", "倒频"};
constexpr TextPair TalkAround{"Talk Around", "脱网"};
constexpr TextPair GroupLabel{"Group", "分组"}; // the label of the channel editor's group selector
} // namespace ChannelText

// Header text of grid column 0-17 ("CH", "RX Freq", ... "ChName"); empty outside.
QString ChannelColumnHeader(int column, Language language);

// The in-place list of an option column 5-16 in list order; empty for other columns.
QStringList ChannelOptionList(int column, Language language);

// Every text grid column 1-16 can show in `language` (option lists with their other
// spellings, the tone table, a widest frequency), for sizing the column.
QStringList ChannelColumnTexts(int column, Language language);

// Texts of one grid row: cells[c] is grid column c (1-17); cells[0] is not used.
struct ChannelTexts {
    std::array<QString, ChannelColumnCount> cells;
    // Empty text for a column outside 1-17.
    QString text(int column) const;
    // An empty channel shows an empty receive frequency.
    bool isEmpty() const { return cells[ColRxFreq].isEmpty(); }
};

// Channel index (0-127) of row 1-16 in group index 0-7; -1 outside.
int ChannelIndexOf(int groupIndex, int row);
// Group index 0-7 and row 1-16 of a channel index.
inline int GroupIndexOfChannel(int channelIndex) { return channelIndex / RowsPerGroup; }
inline int RowOfChannel(int channelIndex) { return channelIndex % RowsPerGroup + 1; }
inline bool IsChannelIndex(int channelIndex) { return channelIndex >= 0 && channelIndex < ChannelCount; }

// Reads a channel the way the grid shows it, and cleans the record as it goes: an
// out-of-band receive frequency makes the record all 0xFF (all texts empty); an
// out-of-band transmit frequency sets bytes 4-7, 10, 11 to 0xFF (TX and Encode empty).
// Tones come from `toneTable`; option texts in `language`. Column 17 is always empty.
ChannelTexts ReadChannelForDisplay(MemoryImage& image, const BandLimits& band, const QStringList& toneTable,
                                   Language language, int channelIndex);

// Whether showing channel n empties it: its receive frequency bytes are erased
// (all 0xFF) or hold a frequency outside the band. ReadChannelForDisplay then makes
// the record all 0xFF.
bool ShowsAsEmpty(const MemoryImage& image, const BandLimits& band, int channelIndex);

// The shown text of option column 5-16 for the record as it stands; empty elsewhere.
QString ChannelOptionText(const MemoryImage& image, int channelIndex, int column, Language language);

// Stores a value chosen by text: option columns 5-16 by their rule in `language`
// (an unknown text takes the rule's last branch), the tone columns with EncodeTone, the
// frequency columns with EncodeFrequency (the text is taken as given; column 2 also
// clears byte 15 bit 1). False when nothing could be stored (column or channel outside,
// a call group outside 1-16, a frequency that does not fit).
bool StoreChannelField(MemoryImage& image, int channelIndex, int column, const QString& text, Language language);

// Makes a new channel from an empty one: receive and transmit frequency `rxText`, no
// tones, byte 12 AND 0xF8, byte 13 = 0x08, byte 14 = 0x70, byte 15 bit 1 cleared, and the
// bit of number `row` (1-16) set in the channel-valid and scan bitmaps. A receive text
// that does not fit (see EncodeFrequency) or a channel outside 0-127 changes nothing: false.
bool CreateChannel(MemoryImage& image, int channelIndex, int row, const QString& rxText);

// The texts a newly created channel shows (receive and transmit `rxText`).
ChannelTexts NewChannelTexts(const QString& rxText, Language language);

// All 16 record bytes 0xFF; the bitmaps keep their bits.
void ClearChannel(MemoryImage& image, int channelIndex);

// No transmit side: bytes 4-7, 10 and 11 0xFF.
void ClearTransmit(MemoryImage& image, int channelIndex);

// Clears byte 15 bit 1 and stores the transmit frequency into bytes 4-7.
bool StoreTransmit(MemoryImage& image, int channelIndex, const QString& text);

// Bit of number 1-256 in the bitmap at `base` (ValidBitmap or ScanBitmap); other numbers
// are ignored (false when read).
void SetBitmapBit(MemoryImage& image, Address base, int number);
void ClearBitmapBit(MemoryImage& image, Address base, int number);
bool BitmapBit(const MemoryImage& image, Address base, int number);

// The current channel byte for rows 1-16 of the shown group (rowFilled[r - 1] true when
// row r shows a receive frequency): the first filled row of 3-16 less one, else 0.
quint8 CurrentChannelOfRows(const std::array<bool, RowsPerGroup>& rowFilled);
void SetCurrentChannelByte(MemoryImage& image, const std::array<bool, RowsPerGroup>& rowFilled);
// Rows 1-16 of the shown group that show a receive frequency, judged from the image as
// the grid shows it: a record that shows as empty is an empty row.
std::array<bool, RowsPerGroup> ShownRowsFilled(const MemoryImage& image, const BandLimits& band);

// The shown group as a group index 0-7 (a byte of 8 or more shows group index 0).
int ReadShownGroup(const MemoryImage& image);
// Writes group index 0-7; other values are ignored.
void WriteShownGroup(MemoryImage& image, int groupIndex);

} // namespace kestrel
