// Rows of texts applied as if typed: the tab-separated text of the clipboard, option
// texts of either language, and a pasted block with its corrections and omissions.
#include "channels/ChannelPaste.h"
#include "core/Frequency.h"
#include "core/Tone.h"
#include "tests/channels/ErasedImage.h"

#include <gtest/gtest.h>

using namespace kestrel;
using kestrel::test::ErasedImage;

namespace {

QStringList Row(std::initializer_list<const char*> cells) {
    QStringList row;
    for (const char* c : cells)
        row << QString::fromUtf8(c);
    return row;
}

} // namespace

TEST(TabText, SpreadsheetTextSplitsIntoRowsAndCells) {
    struct {
        const char* text;
        QList<QStringList> rows;
    } cases[] = {
        {"a\tb\r\nc\td\r\n", {Row({"a", "b"}), Row({"c", "d"})}},
        {"a\tb\t\nc", {Row({"a", "b", ""}), Row({"c"})}}, // a trailing tab is an empty cell
        {"a\rb\n\nc\n", {Row({"a"}), Row({"b"}), Row({""}), Row({"c"})}},
        {" \"x\ty\"\t\"say \"\"hi\"\"\" \n", {Row({"x\ty", "say \"hi\""})}},
        {"\"two\nlines\"\tz", {Row({"two\nlines", "z"})}},
        {"", {}},
        {"\n", {Row({""})}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseTabText(QString::fromUtf8(c.text)), c.rows) << c.text;
    const QList<QStringList> rows{Row({"146.52000", "None", "宽"}), Row({"", "", "Add"})};
    EXPECT_EQ(TabText(rows), QStringLiteral("146.52000\tNone\t宽\n\t\tAdd\n"));
    EXPECT_EQ(ParseTabText(TabText(rows)), rows);
}

TEST(TabText, OptionTextsOfEitherLanguage) {
    struct {
        int column;
        const char* written;
        Language language;
        const char* expected;
    } cases[] = {
        {ColBandwidth, "宽", English, "Wide"},      {ColBandwidth, "wide", Chinese, "宽"},
        {ColReverse, "脱网", English, "Talk Around"}, {ColPttId, "无", English, "Off"},
        {ColPttId, "关", Chinese, "关"},             {ColSignalling, "无", English, "Off"},
        {ColCallGroup, "03", English, "3"},         {ColCallGroup, "17", English, ""},
        {ColTxPower, "Medium", English, ""},        {ColDecode, "None", English, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OptionTextOf(c.column, QString::fromUtf8(c.written), c.language), QString::fromUtf8(c.expected))
            << c.written;
}

TEST(ChannelPaste, ASpreadsheetBlockIsStoredWithItsCorrectionsNoted) {
    MemoryImage image = ErasedImage();
    const BandLimits band = BandOfIndex(0);
    const QStringList tones = BuildToneTable(English);
    CreateChannel(image, 15, 16, QStringLiteral("150.00000"));
    StoreChannelField(image, 15, ColScan, QStringLiteral("Del"), English);
    const QString text = QString::fromUtf8("146.52\t\t88\tD754I\t窄\r\n"
                                           "500\t145\t\t\t\tBCL\t\r\n"
                                           "\t\t67.0\t\r\n"
                                           "147.5\t\t\t\t\t\t\t\t\t\t\t\t\t\t\tOn\t7\tignored\r\n");
    const PasteResult r = PasteRows(image, band, English, tones, 14, ColRxFreq, ParseTabText(text));
    EXPECT_EQ(r.rows, 3);

    const auto shown = [&](int channel) { return ReadChannelForDisplay(image, band, tones, English, channel); };
    // The existing channel (index 15) is left as it was: its row has a frequency outside
    // the band. An empty RX Freq clears the channel; the rows continue into group 2 and
    // set row 1's bits.
    const struct {
        int channel, column;
        const char* text;
    } cells[] = {{14, ColRxFreq, "146.52000"}, {14, ColDecode, "88.5"},      {14, ColEncode, "D754I"},
                 {14, ColBandwidth, "Narrow"}, {15, ColRxFreq, "150.00000"}, {15, ColTxFreq, "150.00000"},
                 {15, ColLockout, "Off"},      {15, ColScan, "Del"},         {17, ColRxFreq, "147.50000"},
                 {17, ColTxInhibit, "On"}};
    for (const auto& c : cells)
        EXPECT_EQ(shown(c.channel).text(c.column), QString::fromLatin1(c.text))
            << c.channel << " " << c.column;
    EXPECT_TRUE(shown(16).isEmpty());
    EXPECT_EQ(image.line(16), QByteArray(LineSize, char(0xFF)));
    EXPECT_TRUE(BitmapBit(image, ValidBitmap, 2));
    EXPECT_TRUE(BitmapBit(image, ScanBitmap, 2));

    const QString report = PasteReportText(r.notes, English);
    EXPECT_EQ(report, QStringLiteral("Some pasted values were corrected or left out:\n"
                                     "• Channel 15, Decode: Tone 88 is not in the tone table; 88.5 is used.\n"
                                     "• Pasted row 2 (channel 16), RX Freq: Frequency 500 is outside the band "
                                     "136-174 MHz; the row is left out.\n"
                                     "• Channel 17, Decode: \"67.0\" ignored: the channel has no RX Freq.\n"
                                     "• Pasted row 4 (channel 18): cells past the last column are ignored (the "
                                     "first of them: \"7\")."));
    EXPECT_EQ(PasteReportText(r.notes, Chinese, 2),
              QStringLiteral("部分粘贴的数值已更正或未采用：\n"
                             "• 信道 15，接收信令：亚音 88 不在亚音表中，已改为 88.5。\n"
                             "• 粘贴的第 2 行（信道 16），接收频率：频率 500 超出频段 136-174 MHz，该行未采用。\n"
                             "……另有 2 条。"));
}

// A pasted row is no typing: a frequency that is not one of the band refuses the row, a
// tone that is none leaves its field, both echoed as written; "Off" in TX Freq empties
// the transmit side; a header row is no row.
TEST(ChannelPaste, PastedRowsAreStrict) {
    const BandLimits band = BandOfIndex(0);
    const QStringList tones = BuildToneTable(English);
    const struct {
        const char* row; // "|" stands for a NUL character
        const char* note;
        bool unchanged;
        const char* tx; // TX Freq after the paste
    } cases[] = {
        {"abc\t147", "\"abc\" is not a frequency in MHz; the row is left out.", true, "150.00000"},
        {"146.52.1", "\"146.52.1\" is not a frequency in MHz; the row is left out.", true, "150.00000"},
        {"146|52", "\"146\\x0052\" is not a frequency in MHz; the row is left out.", true, "150.00000"},
        {"150\t180", "Frequency 180 is outside the band 136-174 MHz; the row is left out.", true, "150.00000"},
        {"135.9", "Frequency 135.9 is outside the band 136-174 MHz; the row is left out.", true, "150.00000"},
        {"150\t\t12", "Tone 12 is not between 60 and 300 Hz; the field is left as it was.", true, "150.00000"},
        {"150\t\t\t301", "Tone 301 is not between 60 and 300 Hz; the field is left as it was.", true, "150.00000"},
        {"150\t\tD23X", "\"D23X\" is not a DCS code (D, three digits, N or I); the field is left as it was.", true,
         "150.00000"},
        {"150\t\tD23N", "\"D23N\" is not a DCS code (D, three digits, N or I); the field is left as it was.", true,
         "150.00000"},
        {"150\t\tabc", "\"abc\" is not a tone; the field is left as it was.", true, "150.00000"},
        {"150\t\t300", "Tone 300 is not in the tone table; 254.1 is used.", false, "150.00000"},
        {"150\t\t88,5", "", false, "150.00000"},
        {"150\tOff", "", false, ""},
        {"150\t关\t\tNone", "", false, ""},
        {"150\tnone", "", false, ""},
        {"RX Freq\tTX Freq", "", true, "150.00000"},
        {"接收频率", "", true, "150.00000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        MemoryImage image = ErasedImage();
        CreateChannel(image, 0, 1, QStringLiteral("150.00000"));
        const MemoryImage before = image;
        const QString row = QString::fromUtf8(c.row).replace(QLatin1Char('|'), QChar(0));
        const PasteResult r = PasteRows(image, band, English, tones, 0, ColRxFreq, ParseTabText(row));
        EXPECT_EQ(r.notes.size(), *c.note ? 1 : 0);
        if (!r.notes.isEmpty()) {
            EXPECT_EQ(r.notes[0].text()(English), QString::fromUtf8(c.note));
        }
        EXPECT_EQ(image.line(0) == before.line(0), c.unchanged);
        EXPECT_EQ(ReadChannelForDisplay(image, band, tones, English, 0).text(ColTxFreq), QString::fromLatin1(c.tx));
    }
}

TEST(ChannelPaste, RowsWithoutReceiveFrequencyOrPastTheLastChannel) {
    MemoryImage image = ErasedImage();
    const BandLimits band = BandOfIndex(0);
    const QStringList tones = BuildToneTable(Chinese);
    CreateChannel(image, 126, 15, QStringLiteral("150.00000"));
    // From the Decode column: the existing channel takes it, the empty one is skipped.
    const QList<QStringList> rows{Row({"D023N", "", "宽"}), Row({"67.0"}), Row({"71.9"})};
    EXPECT_EQ(RowsPastLastChannel(126, int(rows.size())), 1);
    const PasteResult r = PasteRows(image, band, Chinese, tones, 126, ColDecode, rows);
    EXPECT_EQ(r.rows, 1);
    ASSERT_EQ(r.notes.size(), 1);
    EXPECT_EQ(r.notes[0].kind, CellNote::RowSkipped);
    EXPECT_EQ(r.notes[0].channel, 127);
    EXPECT_EQ(ReadChannelForDisplay(image, band, tones, Chinese, 126).text(ColDecode), QStringLiteral("D023N"));
    EXPECT_EQ(image.line(127), QByteArray(LineSize, char(0xFF)));
    EXPECT_EQ(RowsPastLastChannel(0, 128), 0);
}
