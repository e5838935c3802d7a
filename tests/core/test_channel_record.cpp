#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Tone.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace kestrel;

namespace {
const BandLimits Vhf = BandOfIndex(0);
const QString Zh(const char* s) {
    return QString::fromUtf8(s);
}

// A record in band: RX 146.52500, TX 140.00000, decode 67.0, encode D023N, then bytes 12-15.
QByteArray Record(quint8 b12, quint8 b13, quint8 b14, quint8 b15 = 0x00) {
    QByteArray r = QByteArray::fromHex("00256514000000147006238000000000");
    r[12] = char(b12);
    r[13] = char(b13);
    r[14] = char(b14);
    r[15] = char(b15);
    return r;
}

ChannelTexts Show(MemoryImage& m, int n, Language lang = English) {
    return ReadChannelForDisplay(m, Vhf, BuildToneTable(lang), lang, n);
}
} // namespace

TEST(ChannelRecord, ChannelIndexFollowsGroupAndRow) {
    EXPECT_EQ(ChannelIndexOf(0, 1), 0);
    EXPECT_EQ(ChannelIndexOf(2, 1), 32);
    EXPECT_EQ(ChannelIndexOf(2, 16), 47);
    EXPECT_EQ(ChannelIndexOf(7, 16), 127);
    for (auto [g, r] : {std::pair{-1, 1}, {8, 1}, {0, 0}, {0, 17}})
        EXPECT_EQ(ChannelIndexOf(g, r), -1);
    EXPECT_EQ(GroupIndexOfChannel(36), 2);
    EXPECT_EQ(RowOfChannel(36), 5);
}

TEST(ChannelRecord, ShowsAllFieldsOfAnInBandChannel) {
    MemoryImage m;
    m.setLine(9, Record(0xF8, 0x08, 0x70));
    const ChannelTexts t = Show(m, 9);
    const QStringList expected = {"146.52500", "140.00000", "67.0", "D023N",   "Wide", "Off",
                                  "Add",       "High",      "Off",  "Carrier", "Off",  "1",
                                  "Off",       "Off",       "Off",  "Off",     ""};
    for (int c = 1; c <= ColName; ++c)
        EXPECT_EQ(t.text(c), expected[c - 1]) << "column " << c;
    EXPECT_EQ(m.line(9), Record(0xF8, 0x08, 0x70)); // nothing to clean
}

TEST(ChannelRecord, OutOfBandReceiveEmptiesTheRowAndTheRecord) {
    for (const char* rx : {"174", "135.99999", "0", "400"}) {
        MemoryImage m;
        m.setLine(4, Record(0x12, 0x34, 0x56, 0x78));
        ASSERT_TRUE(EncodeFrequency(m, 4, 0, QString::fromLatin1(rx)));
        m.setLine(5, Record(0x12, 0x34, 0x56, 0x78));
        const ChannelTexts t = Show(m, 4);
        EXPECT_TRUE(t.isEmpty()) << rx;
        for (int c = 0; c < ChannelColumnCount; ++c)
            EXPECT_TRUE(t.cells[size_t(c)].isEmpty()) << rx << " column " << c;
        EXPECT_EQ(m.line(4), QByteArray(16, char(0xFF))) << rx;
        EXPECT_EQ(m.line(5), Record(0x12, 0x34, 0x56, 0x78)) << rx; // the neighbours are left alone
    }
}

// Erased receive bytes are an empty channel, however wide the limits a caller passes
// (no 0.00000 MHz channel), and showing is the same the second time.
TEST(ChannelRecord, ErasedReceiveFrequencyIsEmptyInAnyBand) {
    BandLimits fromZero;
    fromZero.lower = 0;
    fromZero.upper = 174;
    fromZero.width = 174;
    const QStringList tones = BuildToneTable(English);
    for (const BandLimits& band : {Vhf, fromZero}) {
        MemoryImage m;
        m.setLine(0, QByteArray::fromHex("FFFFFFFF000000147006238012345678"));
        m.setLine(1, QByteArray(16, char(0xFF)));
        m.setLine(2, Record(0xF8, 0x08, 0x70));
        for (int pass = 0; pass < 2; ++pass) {
            SCOPED_TRACE(testing::Message() << "lower " << band.lower << " pass " << pass);
            EXPECT_TRUE(ReadChannelForDisplay(m, band, tones, English, 0).isEmpty());
            EXPECT_TRUE(ReadChannelForDisplay(m, band, tones, English, 1).isEmpty());
            EXPECT_EQ(ReadChannelForDisplay(m, band, tones, English, 2).text(ColRxFreq),
                      QStringLiteral("146.52500"));
            EXPECT_EQ(m.line(0), QByteArray(16, char(0xFF)));
        }
    }
    // Band bytes that decode to a lower limit of 0 give 136-174 MHz.
    MemoryImage m;
    m.setByte(0x0FC0, 0x00);
    m.setByte(0x0FC1, 0x17);
    m.setByte(0x0FC2, 0x04);
    EXPECT_EQ(DecodeBandLimits(m).lower, 136);
}

TEST(ChannelRecord, OutOfBandTransmitLosesOnlyTheTransmitSide) {
    MemoryImage m;
    m.setLine(2, Record(0xF8, 0x08, 0x70, 0x42));
    ASSERT_TRUE(EncodeFrequency(m, 2, 4, QStringLiteral("174")));
    const ChannelTexts t = Show(m, 2);
    EXPECT_EQ(t.text(ColRxFreq), "146.52500");
    EXPECT_EQ(t.text(ColDecode), "67.0");
    EXPECT_TRUE(t.text(ColTxFreq).isEmpty());
    EXPECT_TRUE(t.text(ColEncode).isEmpty());
    EXPECT_EQ(t.text(ColBandwidth), "Wide");
    EXPECT_EQ(m.line(2), QByteArray::fromHex("00256514FFFFFFFF7006FFFFF8087042"));
}

// ---- option texts shown from record bytes, and stored by text ----

TEST(ChannelRecord, OptionTextOfTheBits) {
    struct {
        int column;
        int byte, value; // the byte of the record and its value (the others 0)
        const char* en;
        const char* zh;
    } const cases[] = {
        // clang-format off
        {ColBandwidth, 12, 0x10, "Wide", "宽"},        {ColBandwidth, 12, 0xEF, "Narrow", "窄"},
        {ColLockout, 12, 0x06, "BCL", "BCL"},          {ColLockout, 12, 0x04, "BTL", "BTL"},
        {ColLockout, 12, 0xF9 & ~0x02, "Off", "关"},   {ColScan, 12, 0x08, "Add", "添加"},
        {ColScan, 12, 0x00, "Del", "删除"},            {ColTxPower, 12, 0x20, "High", "高"},
        {ColTxPower, 13, 0x08, "Mid", "中"},           {ColTxPower, 13, 0xF7, "Low", "低"},
        {ColSignalling, 13, 0x10, "DTMF", "DTMF"},     {ColSignalling, 13, 0xEF, "Off", "无"},
        {ColSquelch, 13, 0x04, "DTMF", "DTMF"},        {ColSquelch, 13, 0xFB, "Carrier", "载波"},
        {ColPttId, 13, 0xFC, "Off", "无"},             {ColPttId, 13, 0x01, "BOT", "BOT"},
        {ColPttId, 13, 0x02, "EOT", "EOT"},            {ColPttId, 13, 0x03, "BOTH", "BOTH"},
        {ColCallGroup, 14, 0x7F, "16", "16"},          {ColCallGroup, 14, 0xF0, "1", "1"},
        {ColCallGroup, 14, 0x72, "3", "3"},            {ColCompander, 13, 0x80, "On", "开"},
        {ColCompander, 13, 0x7F, "Off", "关"},         {ColScrambler, 12, 0x01, "On", "开"},
        {ColScrambler, 12, 0xFE, "Off", "关"},         {ColReverse, 13, 0x60, "Reverse", "倒频"},
        {ColReverse, 13, 0x40, "Talk Around", "脱网"}, {ColReverse, 13, 0x9F, "Off", "关"},
        {ColTxInhibit, 14, 0x80, "On", "开"},          {ColTxInhibit, 14, 0x7F, "Off", "关"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "column " << c.column << " byte " << c.byte << " value " << c.value);
        MemoryImage m;
        m.setLine(1, Record(0, 0, 0));
        m.setByte(1, c.byte, quint8(c.value));
        EXPECT_EQ(ChannelOptionText(m, 1, c.column, English), QString::fromUtf8(c.en));
        EXPECT_EQ(ChannelOptionText(m, 1, c.column, Chinese), QString::fromUtf8(c.zh));
        EXPECT_EQ(Show(m, 1, Chinese).text(c.column), QString::fromUtf8(c.zh));
    }
}

// Storing a value chosen by text changes only the bits of its field.
TEST(ChannelRecord, StoredOptionChangesOnlyTheFieldBits) {
    struct {
        int column;
        const char* text;
        Language lang;
        const char* before; // bytes 12-14 in hex
        const char* after;
    } const cases[] = {
        // clang-format off
        // (an English text chosen in Chinese takes the last branch: narrow)
        {ColBandwidth, "Wide", English, "000000", "100000"}, {ColBandwidth, "宽", Chinese, "000000", "100000"},
        {ColBandwidth, "Narrow", English, "FF0000", "EF0000"}, {ColBandwidth, "Wide", Chinese, "FF0000", "EF0000"},
        {ColLockout, "BTL", English, "060000", "040000"},    {ColLockout, "BCL", English, "040000", "020000"},
        {ColLockout, "关", Chinese, "FF0000", "F90000"},      {ColScan, "Del", English, "FF0000", "F70000"},
        {ColScan, "添加", Chinese, "000000", "080000"},        {ColTxPower, "Low", English, "FFFF00", "DFF700"},
        {ColTxPower, "High", English, "000800", "200000"},   {ColTxPower, "Mid", English, "200000", "000800"},
        {ColTxPower, "中", Chinese, "200000", "000800"},      {ColSignalling, "DTMF", English, "006B00", "007B00"},
        {ColSignalling, "无", Chinese, "00FF00", "00EF00"},   {ColSquelch, "DTMF", English, "000000", "000400"},
        {ColSquelch, "载波", Chinese, "00FF00", "00FB00"},     {ColPttId, "EOT", English, "00FD00", "00FE00"},
        {ColPttId, "BOTH", English, "000000", "000300"},     {ColPttId, "关", Chinese, "00FF00", "00FC00"},
        {ColCallGroup, "3", English, "00007F", "000072"},    {ColCallGroup, "16", Chinese, "000080", "00008F"},
        {ColCompander, "开", Chinese, "000000", "008000"},    {ColCompander, "Off", English, "00FF00", "007F00"},
        {ColScrambler, "On", English, "000000", "010000"},   {ColReverse, "Talk Around", English, "002000", "004000"},
        {ColReverse, "倒频", Chinese, "004000", "002000"},     {ColReverse, "Off", English, "00FF00", "009F00"},
        {ColTxInhibit, "On", English, "000000", "000080"},
        // clang-format on
    };
    auto record = [](const char* hex) {
        const QByteArray b = QByteArray::fromHex(hex);
        return Record(quint8(b[0]), quint8(b[1]), quint8(b[2]), 0xAA);
    };
    for (const auto& c : cases) {
        MemoryImage m;
        m.setLine(6, record(c.before));
        EXPECT_TRUE(StoreChannelField(m, 6, c.column, QString::fromUtf8(c.text), c.lang)) << c.text;
        EXPECT_EQ(m.line(6), record(c.after)) << c.text;
    }
}

// Every item of every option list, stored and shown again, reads back as itself (the
// Chinese PTT ID "off" item is shown as the image's own off text).
TEST(ChannelRecord, EveryListItemSurvivesStoreThenShow) {
    for (Language lang : {English, Chinese}) {
        for (int column = FirstOptionColumn; column <= LastOptionColumn; ++column) {
            const QStringList items = ChannelOptionList(column, lang);
            ASSERT_FALSE(items.isEmpty()) << column;
            for (const QString& item : items) {
                MemoryImage m;
                m.setLine(3, Record(0xA5, 0x5A, 0x3C, 0x0F));
                ASSERT_TRUE(StoreChannelField(m, 3, column, item, lang));
                QString expected = item;
                if (lang == Chinese && column == ColPttId && item == Zh("关"))
                    expected = Zh("无");
                EXPECT_EQ(Show(m, 3, lang).text(column), expected) << column << " " << item.toStdString();
            }
        }
    }
}

TEST(ChannelRecord, RefusedStoresChangeNothing) {
    MemoryImage m;
    m.setLine(3, Record(0xA5, 0x5A, 0x3C, 0x0F));
    const QByteArray before = m.bytes();
    struct {
        int channel, column;
        const char* text;
    } const refused[] = {{3, ColCallGroup, "0"},
                         {3, ColCallGroup, "17"},
                         {3, ColCallGroup, ""},
                         {3, ColName, "x"},
                         {3, 0, "1"},
                         {128, ColBandwidth, "Wide"},
                         {-1, ColBandwidth, "Wide"},
                         {3, ColTxFreq, "1000"}};
    for (const auto& r : refused)
        EXPECT_FALSE(StoreChannelField(m, r.channel, r.column, QString::fromLatin1(r.text), English))
            << r.text;
    EXPECT_FALSE(CreateChannel(m, 3, 4, QStringLiteral("1234")));
    EXPECT_FALSE(CreateChannel(m, 200, 4, QStringLiteral("146")));
    ClearChannel(m, 128);
    ClearTransmit(m, -1);
    EXPECT_EQ(m.bytes(), before);
}

TEST(ChannelRecord, FrequencyAndToneColumnsUseTheCodecs) {
    MemoryImage m;
    m.setLine(8, Record(0, 0, 0, 0xFF));
    EXPECT_TRUE(StoreChannelField(m, 8, ColRxFreq, QStringLiteral("145.025"), English));
    EXPECT_EQ(m.byte(8, 15), 0xFF); // a receive frequency leaves byte 15 alone
    EXPECT_TRUE(StoreChannelField(m, 8, ColTxFreq, QStringLiteral("145.6"), English));
    EXPECT_TRUE(StoreChannelField(m, 8, ColDecode, Zh("无"), English));
    EXPECT_TRUE(StoreChannelField(m, 8, ColEncode, QStringLiteral("D754I"), English));
    EXPECT_EQ(m.line(8), QByteArray::fromHex("0025501400005614FFFF54C7000000FD"));
}

// ---- creating, clearing, bitmaps ----

TEST(ChannelRecord, NewChannelGetsItsDefaultsAndBitmapBits) {
    MemoryImage m;
    ClearChannel(m, 36);
    m.setByte(36, 15, 0xFF);
    ASSERT_TRUE(CreateChannel(m, 36, RowOfChannel(36), QStringLiteral("146.52500")));
    EXPECT_EQ(m.line(36), QByteArray::fromHex("0025651400256514FFFFFFFFF80870FD"));
    EXPECT_EQ(m.byte(ValidBitmap), 0x10); // row 5: bit 4, whatever the group
    EXPECT_EQ(m.byte(ScanBitmap), 0x10);
    ASSERT_TRUE(CreateChannel(m, ChannelIndexOf(6, 9), 9, QStringLiteral("150")));
    EXPECT_EQ(m.byte(ValidBitmap + 1), 0x01);
    EXPECT_EQ(m.byte(ScanBitmap + 1), 0x01);
    EXPECT_TRUE(BitmapBit(m, ValidBitmap, 5));
    EXPECT_FALSE(BitmapBit(m, ValidBitmap, 4));

    // What the grid shows after a refresh is what it showed on creation.
    for (Language lang : {English, Chinese}) {
        ChannelTexts shown = Show(m, 36, lang);
        ChannelTexts made = NewChannelTexts(QStringLiteral("146.52500"), lang);
        if (lang == Chinese) // the Chinese PTT ID off text differs between a new and a shown row
            made.cells[ColPttId] = Zh("无");
        for (int c = 1; c <= ColName; ++c)
            EXPECT_EQ(shown.text(c), made.text(c)) << c;
    }

    // The bits of bytes 12 and 15 that a new channel does not own are kept.
    m.setLine(0, QByteArray::fromHex("FFFFFFFFFFFFFFFFFFFFFFFF3FFFFF02"));
    ASSERT_TRUE(CreateChannel(m, 0, 1, QStringLiteral("136")));
    EXPECT_EQ(m.byte(0, 12), 0x38);
    EXPECT_EQ(m.byte(0, 15), 0x00);
}

TEST(ChannelRecord, ClearingTransmitAndStoringItAgain) {
    MemoryImage m;
    m.setLine(10, Record(0xF8, 0x08, 0x70, 0x02));
    ClearTransmit(m, 10);
    EXPECT_EQ(m.line(10), QByteArray::fromHex("00256514FFFFFFFF7006FFFFF8087002"));
    ASSERT_TRUE(StoreTransmit(m, 10, QStringLiteral("146.52500")));
    EXPECT_EQ(m.line(10), QByteArray::fromHex("00256514002565147006FFFFF8087000"));
    ClearChannel(m, 10);
    EXPECT_EQ(m.line(10), QByteArray(16, char(0xFF)));
}

TEST(ChannelRecord, BitmapNumbersOutsideOneTo256AreIgnored) {
    MemoryImage m;
    const QByteArray before = m.bytes();
    for (int number : {0, -1, 257, 100000})
        SetBitmapBit(m, ValidBitmap, number);
    EXPECT_EQ(m.bytes(), before);
    SetBitmapBit(m, ScanBitmap, 256);
    EXPECT_EQ(m.byte(ScanBitmap + 31), 0x80);
    ClearBitmapBit(m, ScanBitmap, 256);
    EXPECT_EQ(m.bytes(), before);
}

// ---- current channel and shown group ----

TEST(ChannelRecord, CurrentChannelIsTheFirstFilledRowFromThree) {
    auto rows = [](const QList<int>& filled) {
        std::array<bool, RowsPerGroup> r{};
        for (int row : filled)
            r[size_t(row - 1)] = true;
        return r;
    };
    for (const auto& [filled, current] :
         {std::pair<QList<int>, int>{{1, 5}, 4}, {{1, 2}, 0}, {{}, 0}, {{3, 4}, 2}, {{16}, 15}})
        EXPECT_EQ(CurrentChannelOfRows(rows(filled)), current) << current;
    MemoryImage m;
    m.setByte(CurrentChannelByte, 9);
    SetCurrentChannelByte(m, rows({2, 7}));
    EXPECT_EQ(m.byte(CurrentChannelByte), 6);
}

// The rows are read from the image as the grid shows them: the shown group, and a
// receive frequency outside the band counts as an empty row.
TEST(ChannelRecord, ShownRowsFilledFollowTheShownGroupAndTheBand) {
    struct Case {
        int shownByte;
        QList<int> inBand, outOfBand; // channel indexes given a record
        int current;                  // the current channel byte that follows
    } cases[] = {
        {0, {0, 4}, {}, 4}, // rows 1 and 5 of group 1
        {0, {0, 1}, {}, 0}, // rows 1 and 2 are not looked at
        {2, {36}, {34}, 4}, // group 3: row 3 out of band, row 5 in band
        {2, {4}, {}, 0},    // row 5 of group 1 is not shown
        {0xFF, {2}, {}, 2}, // an unusable byte shows group 1
    };
    for (const Case& c : cases) {
        MemoryImage m;
        m.setBytes(QByteArray(ImageSize, char(0xFF)));
        m.setByte(ShownGroupByte, quint8(c.shownByte));
        for (int n : c.inBand)
            m.setLine(n, Record(0, 0, 0));
        for (int n : c.outOfBand)
            m.setLine(n, QByteArray::fromHex("00000045000000450000000000000000"));
        SetCurrentChannelByte(m, ShownRowsFilled(m, Vhf));
        EXPECT_EQ(m.byte(CurrentChannelByte), c.current) << c.shownByte;
    }
}

TEST(ChannelRecord, ShownGroupByte) {
    MemoryImage m;
    for (auto [stored, group] : {std::pair{0xFF, 0}, {8, 0}, {7, 7}, {2, 2}, {0, 0}}) {
        m.setByte(ShownGroupByte, quint8(stored));
        EXPECT_EQ(ReadShownGroup(m), group) << stored;
    }
    WriteShownGroup(m, 2);
    EXPECT_EQ(m.byte(ShownGroupByte), 2);
    WriteShownGroup(m, 8);
    WriteShownGroup(m, -1);
    EXPECT_EQ(m.byte(ShownGroupByte), 2);
}

// ---- arbitrary records ----

// Any record bytes show without reading outside the image, and every shown text is one
// the grid knows: a table tone, an item of the column's list (or the shown off text).
TEST(ChannelRecord, ArbitraryRecordsShowOnlyKnownTexts) {
    QRandomGenerator rng(20240611);
    const QStringList tones = BuildToneTable(English);
    const QStringList chineseTones = BuildToneTable(Chinese);
    for (int round = 0; round < 8 * 256 * 4; ++round) {
        MemoryImage m;
        QByteArray rec(16, '\0');
        for (int i = 0; i < 16; ++i)
            rec[i] = char(rng.bounded(256));
        // Sweep every value of each of bytes 8-15 in turn; keep RX and TX in band mostly.
        rec[8 + (round / 256) % 8] = char(round % 256);
        if (round % 4 != 0) {
            rec.replace(0, 4, QByteArray::fromHex("00256514"));
            if (round % 4 != 1)
                rec.replace(4, 4, QByteArray::fromHex("00506514"));
        }
        const int n = round % ChannelCount;
        m.setLine(n, rec);
        const Language lang = round % 2 ? Chinese : English;
        const QStringList& table = lang == Chinese ? chineseTones : tones;
        const ChannelTexts t = ReadChannelForDisplay(m, Vhf, table, lang, n);
        if (t.isEmpty()) {
            ASSERT_EQ(m.line(n), QByteArray(16, char(0xFF)));
            continue;
        }
        ASSERT_TRUE(table.contains(t.text(ColDecode)));
        if (!t.text(ColTxFreq).isEmpty()) {
            ASSERT_TRUE(table.contains(t.text(ColEncode)));
        }
        for (int c = FirstOptionColumn; c <= LastOptionColumn; ++c) {
            QStringList known = ChannelOptionList(c, lang);
            known << Zh("无");
            ASSERT_TRUE(known.contains(t.text(c))) << c << " " << t.text(c).toStdString();
        }
        // Displaying twice changes nothing more.
        const QByteArray once = m.bytes();
        ReadChannelForDisplay(m, Vhf, table, lang, n);
        ASSERT_EQ(m.bytes(), once);
    }
    MemoryImage m;
    EXPECT_TRUE(ReadChannelForDisplay(m, Vhf, tones, English, -1).isEmpty());
    EXPECT_TRUE(ReadChannelForDisplay(m, Vhf, tones, English, ChannelCount).isEmpty());
}

TEST(ChannelRecord, HeadersAndListsOfBothLanguages) {
    QStringList en;
    for (int c = 0; c < ChannelColumnCount; ++c)
        en << ChannelColumnHeader(c, English);
    EXPECT_EQ(en.join(','),
              "CH,RX Freq,TX Freq,Decode,Encode,W/N,BCL,Scan,TX Power,Opt Signal,Mute Dtmf,PTT ID,"
              "Call Group,Compand,Scrambler,Option,TX inhibit,ChName");
    EXPECT_EQ(ChannelColumnHeader(ColTxInhibit, Chinese), Zh("禁发"));
    EXPECT_TRUE(ChannelColumnHeader(18, English).isEmpty());
    EXPECT_EQ(ChannelOptionList(ColSignalling, Chinese), (QStringList{Zh("无"), "DTMF"}));
    EXPECT_EQ(ChannelOptionList(ColPttId, Chinese), (QStringList{Zh("关"), "BOT", "EOT", "BOTH"}));
    EXPECT_EQ(ChannelOptionList(ColReverse, English), (QStringList{"Off", "Reverse", "Talk Around"}));
    EXPECT_EQ(ChannelOptionList(ColCallGroup, English).size(), 16);
    EXPECT_TRUE(ChannelOptionList(ColDecode, English).isEmpty());
}
