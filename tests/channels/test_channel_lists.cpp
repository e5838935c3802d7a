// Channel lists without a window: CSV records, format detection, Kestrel's own CSV by
// header name and the CHIRP generic CSV, checked on the stored bytes, and both formats
// exported and imported again on random images.
#include "channels/ChannelCellRules.h"
#include "channels/ChannelLists.h"
#include "channels/ChirpCsv.h"
#include "channels/CsvText.h"
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Tone.h"
#include "tests/channels/ErasedImage.h"

#include <QStringEncoder>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace kestrel;
using kestrel::test::ErasedImage;

namespace {

const QByteArray Erased(LineSize, char(0xFF));
const char* const ChirpHeaderLine = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                                    "DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,"
                                    "RPT1CALL,RPT2CALL,DVCODE";

// A channel record from its bytes in hex; blanks are for reading only.
QByteArray Record(const char* hex) { return QByteArray::fromHex(QByteArray(hex).replace(' ', "")); }

QString Joined(const ImportReport& r) { return r.lines(English).join(QLatin1Char('\n')); }

// The image after the list, against the one before: the channels named, byte for byte,
// and no other channel changed.
void ExpectChannels(const MemoryImage& before, const MemoryImage& after, const std::map<int, const char*>& lines) {
    for (int n = 0; n < ChannelCount; ++n) {
        const auto it = lines.find(n);
        const QByteArray want = it == lines.end() ? before.line(n) : Record(it->second);
        EXPECT_EQ(after.line(n).toHex(' ').toStdString(), want.toHex(' ').toStdString()) << "channel index " << n;
    }
}

// A list and what importing it stores: the channels named, byte for byte, the number of
// rows applied and parts of the report, one for each note. In a CHIRP list "H" alone on a
// line stands for the 21-column header.
struct ListCase {
    const char* name;
    const char* text;
    std::map<int, const char*> lines; // channel index -> record
    int applied;
    QStringList notes; // a Kestrel list refused changes nothing
};
using KestrelCase = ListCase;
using ChirpCase = ListCase;

std::ostream& operator<<(std::ostream& os, const ListCase& c) {
    return os << c.name;
}

void ExpectImport(const MemoryImage& before, const ListCase& c, ListFormat format) {
    MemoryImage image = before;
    QByteArray text(c.text);
    text.replace("H\n", QByteArray(ChirpHeaderLine) + "\n");
    const ImportReport r = ImportChannelList(image, text);
    EXPECT_EQ(r.format, format);
    if (format == ListFormat::Chirp) {
        EXPECT_FALSE(r.refused()) << Joined(r).toStdString();
    }
    EXPECT_EQ(r.rowsApplied, c.applied);
    EXPECT_EQ(r.notes.size(), c.notes.size()) << Joined(r).toStdString();
    for (const QString& note : c.notes)
        EXPECT_TRUE(Joined(r).contains(note)) << note.toStdString() << "\n" << Joined(r).toStdString();
    ExpectChannels(before, image, c.lines);
}

} // namespace

TEST(CsvText, RecordsLinesQuotesAndComments) {
    struct Case {
        const char* text;
        QList<int> lines;
        QList<QStringList> cells;
        const char* error; // of the last record
    } cases[] = {
        {"a,b\r\nc, d \n", {1, 2}, {{"a", "b"}, {"c", "d"}}, ""},
        {"\xEF\xBB\xBF" "a,b\rc\r\n", {1, 2}, {{"a", "b"}, {"c"}}, ""},
        {"# note\n\n  \n,,\na,\"x, \"\"y\"\"\"\n", {5}, {{"a", "x, \"y\""}}, ""},
        {"\"two\r\nlines\",z\nnext\n", {1, 3}, {{"two\r\nlines", "z"}, {"next"}}, ""},
        {"\" kept \" , b\n", {1}, {{" kept ", "b"}}, ""},
        {"a,\"open\nb,c\n", {1}, {{"a", "open\nb,c\n"}}, "a quoted cell is not closed"},
        {"a,\"b\"c,d\ne\n", {1, 2}, {{"a", "b"}, {"e"}}, ""},
        {"", {}, {}, ""},
    };
    for (const Case& c : cases) {
        const QList<CsvRecord> records = ReadCsvRecords(QString::fromUtf8(c.text));
        QList<int> lines;
        QList<QStringList> cells;
        for (const CsvRecord& r : records) {
            lines << r.line;
            cells << r.cells;
        }
        EXPECT_EQ(lines, c.lines) << c.text;
        EXPECT_EQ(cells, c.cells) << c.text;
        if (*c.error) {
            EXPECT_EQ(records.last().error(English), QString::fromUtf8(c.error)) << c.text;
        }
    }
    EXPECT_EQ(ReadCsvRecords(QStringLiteral("a,\"b\"c,d\n")).first().error(English),
              QStringLiteral("text follows the closing quote of cell 2"));
    const QStringList awkward{"plain", "a,b", "say \"hi\"", "two\nlines", ""};
    EXPECT_EQ(CsvLine(awkward), QStringLiteral("plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\","));
    EXPECT_EQ(ReadCsvRecords(CsvLine(awkward)).first().cells, awkward);
}

TEST(ChannelLists, WhatIsNoChannelListChangesNothing) {
    struct Case {
        QByteArray text;
        ListFormat format;
        const char* reason;
    } cases[] = {
        {"", ListFormat::Auto, "the file holds no channel list"},
        {"# only a comment\n", ListFormat::Auto, "the file holds no channel list"},
        {"Name,Value\nx,1\n", ListFormat::Auto, "line 1: not a channel list"},
        {QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), ListFormat::Auto, "not a channel list"},
        {"Group,CH,RX Freq\n1,1,146.52\n", ListFormat::Chirp, "not the header of a CHIRP list"},
        {"Location,Frequency\n0,146.52\n", ListFormat::Kestrel, "not the header of a Kestrel list"},
        {"CH,RX Freq\n1,146.52\n", ListFormat::Auto, "the header needs the columns Group and CH"},
        {"Location,\"Frequency\n0,146.52\n", ListFormat::Auto, "line 1: a quoted cell is not closed"},
    };
    for (const Case& c : cases) {
        MemoryImage image = ErasedImage();
        const ImportReport r = ImportChannelList(image, c.text, c.format);
        EXPECT_TRUE(r.refused()) << c.text.toStdString();
        EXPECT_TRUE(Joined(r).contains(QString::fromUtf8(c.reason))) << Joined(r).toStdString();
        EXPECT_EQ(image.bytes(), ErasedImage().bytes()) << c.text.toStdString();
    }
    MemoryImage image = ErasedImage();
    const ImportReport missing = ImportChannelListFile(image, QStringLiteral("/nonexistent/list.csv"));
    EXPECT_TRUE(missing.refused());
    EXPECT_TRUE(Joined(missing).startsWith(QStringLiteral("cannot open /nonexistent/list.csv: ")));
    EXPECT_EQ(ListFormatOfName(QStringLiteral("CHIRP")), ListFormat::Chirp);
    EXPECT_EQ(ListFormatOfName(QStringLiteral("csv")), std::nullopt);
}

namespace {

QByteArray Utf16(const QString& text, bool littleEndian) {
    QByteArray out = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        out += littleEndian ? QByteArray{&low, 1} + QByteArray{&high, 1} : QByteArray{&high, 1} + QByteArray{&low, 1};
    }
    return out;
}

} // namespace

// What spreadsheets write: the separator found from the header, a decimal comma where
// the comma does not separate, UTF-16 with its mark, GB18030; other bytes are refused
// with the offset of the first one that cannot be read.
TEST(ChannelLists, FilesThatSpreadsheetsWrite) {
    const QString kestrel = QString::fromUtf8("分组;信道;接收频率;发射频率;宽/窄\r\n1;1;146,52;关;窄\r\n");
    const QString chirp = QString::fromLatin1(ChirpHeaderLine).replace(QLatin1Char(','), QLatin1Char('\t')) +
                          QStringLiteral("\n0\t\t146,520000\t\t0\t\t88.5\t88.5\t023\tNN\t023\tTone->Tone\tNFM\t5.00\t\t1.0W\t\t\t\t\t\n");
    const char* const kestrelRecord = "00206514 FFFFFFFF FFFF FFFF E8 08 70 FD";
    const char* const chirpRecord = "00206514 00206514 FFFF FFFF C8 00 70 FD";
    const struct Case {
        const char* name;
        QByteArray bytes;
        const char* record; // channel 1; empty when the file is refused
        const char* note;   // the one note, if any
    } cases[] = {
        {"semicolons", kestrel.toUtf8(), kestrelRecord, ""},
        {"tabs", chirp.toUtf8(), chirpRecord, ""},
        {"utf16_le", Utf16(kestrel, true), kestrelRecord, ""},
        {"utf16_be", Utf16(chirp, false), chirpRecord, ""},
        {"gb18030", QStringEncoder("GB18030").encode(kestrel), kestrelRecord, "Read as GB18030 (the file is not UTF-8)."},
        {"latin1", QByteArray("Group,CH,RX Freq\n1,1,146\n\xE9,\n"), "",
         "the file is neither UTF-8 nor GB18030 text: the byte at offset 25 (0xE9) cannot be read as UTF-8"},
        {"utf16_half_unit", Utf16(kestrel, true) + "x", "", "the bytes at offset 76 cannot be read as UTF-16 LE"},
        {"no_separator_fits", "Group|CH|RX Freq\n1|1|146\n", "", "separators tried: comma, semicolon and tab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryImage image = ErasedImage();
        const ImportReport r = ImportChannelList(image, c.bytes);
        EXPECT_EQ(r.refused(), !*c.record) << Joined(r).toStdString();
        EXPECT_EQ(r.notes.size(), *c.note ? 1 : 0) << Joined(r).toStdString();
        if (*c.note) {
            EXPECT_TRUE(Joined(r).contains(QString::fromUtf8(c.note))) << Joined(r).toStdString();
        }
        EXPECT_EQ(image.line(0).toHex(' ').toStdString(), (*c.record ? Record(c.record) : Erased).toHex(' ').toStdString());
    }
}

// ---- Kestrel's own CSV -------------------------------------------------------------

namespace {

// The 136-174 MHz image the Kestrel cases start from: group 1 CH 2 holds a new channel
// of 146.52 MHz.
MemoryImage KestrelBase() {
    MemoryImage m = ErasedImage();
    CreateChannel(m, 1, 2, QStringLiteral("146.52000"));
    return m;
}

class KestrelLists : public ::testing::TestWithParam<ListCase> {};

} // namespace

TEST_P(KestrelLists, StoreTheBytesTypingWould) {
    ExpectImport(KestrelBase(), GetParam(), ListFormat::Kestrel);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, KestrelLists,
    ::testing::Values(
        // Cells go in grid order whatever the file's: RX creates the channel, then TX. A
        // spreadsheet's empty last column is no column.
        KestrelCase{"columns_in_any_order", "CH,TX Freq,Group,RX Freq,\n1,147,1,146.52,\n",
                    {{0, "00206514 00007014 FFFF FFFF F8 08 70 FD"}}, 1, {}},
        KestrelCase{"absent_columns_leave_fields", "Group,CH,W/N,TX Power\n1,2,Narrow,Mid\n",
                    {{1, "00206514 00206514 FFFF FFFF C8 08 70 FD"}}, 1, {}},
        KestrelCase{"empty_cells_leave_fields", "Group,CH,RX Freq,TX Freq,W/N,TX Power\n1,2,146.5,,,Low\n",
                    {{1, "00006514 00206514 FFFF FFFF D8 00 70 FD"}}, 1, {}},
        KestrelCase{"empty_rx_clears",
                    "Group,CH,RX Freq,W/N\n1,2,,Narrow\n", {{1, "FFFFFFFF FFFFFFFF FFFF FFFF FF FF FF FF"}},
                    1, {"line 2 (group 1, CH 2), W/N: \"Narrow\" ignored: the channel has no RX Freq."}},
        KestrelCase{"cells_of_an_empty_channel_ignored",
                    "Group,CH,RX Freq,TX Freq,Decode\n1,4,,,67.0\n", {}, 1,
                    {"line 2 (group 1, CH 4), Decode: \"67.0\" ignored: the channel has no RX Freq."}},
        KestrelCase{"no_rx_column_cannot_start_a_channel", "Group,CH,TX Freq\n1,5,147\n", {}, 0,
                    {"line 2 (group 1, CH 5): row skipped: an empty channel is started from its RX Freq."}},
        KestrelCase{"chinese_header_and_texts", "分组,信道,接收频率,宽/窄,扫描添加\n1,2,146.52,窄,删除\n",
                    {{1, "00206514 00206514 FFFF FFFF E0 08 70 FD"}}, 1, {}},
        KestrelCase{"bom_crlf_quotes",
                    "\xEF\xBB\xBFGroup,CH,\"RX Freq\",Decode\r\n\"1\",\"2\",\" 146.5 \",\"d023\"\r\n",
                    {{1, "00006514 00206514 2380 FFFF F8 08 70 FD"}}, 1, {}},
        KestrelCase{"corrections_and_left_out",
                    "Group,CH,RX Freq,Encode,BCL,ChName,Colour\n2,1,146.5213,69.4,Maybe,Home,red\n",
                    {{16, "50226514 50226514 FFFF 9306 F8 08 70 FD"}}, 1,
                    {"columns that are no channel field are left out: \"Colour\"",
                     "line 2 (group 2, CH 1), Encode: Tone 69.4 is not in the tone table; 69.3 is used.",
                     "line 2 (group 2, CH 1), BCL: \"Maybe\" is not a choice of this column",
                     "line 2 (group 2, CH 1), RX Freq: \"146.5213\" stored as \"146.52250\"",
                     "channel names are not kept in the radio"}},
        // A frequency that is none refuses its row; a tone that is none leaves its field
        // (echoed as written); a decimal comma; "Off" says the channel only receives.
        KestrelCase{"strict_frequencies_and_tones",
                    "Group,CH,RX Freq,TX Freq,Decode,Encode\n2,1,180,,,\n2,2,\"146,5\",Off,D23N,\n"
                    "2,3,146.52,abc,,\n2,4,146.52.1,,,\n2,5,146.52,关,12,\n2,6,146.52,146.6,D23X,301\n"
                    "2,7,146.52,none,D23,\n",
                    {{17, "00006514 FFFFFFFF FFFF FFFF F8 08 70 FD"},
                     {20, "00206514 FFFFFFFF FFFF FFFF F8 08 70 FD"},
                     {21, "00206514 00006614 FFFF FFFF F8 08 70 FD"},
                     {22, "00206514 FFFFFFFF FFFF FFFF F8 08 70 FD"}},
                    4,
                    {"line 2 (group 2, CH 1), RX Freq: Frequency 180 is outside the band 136-174 MHz; the row is left out.",
                     "line 3 (group 2, CH 2), RX Freq: \"146,5\" stored as \"146.50000\"",
                     "line 3 (group 2, CH 2), Decode: \"D23N\" is not a DCS code",
                     "line 4 (group 2, CH 3), TX Freq: \"abc\" is not a frequency in MHz; the row is left out.",
                     "line 5 (group 2, CH 4), RX Freq: \"146.52.1\" is not a frequency in MHz",
                     "line 6 (group 2, CH 5), Decode: Tone 12 is not between 60 and 300 Hz; the field is left as it was.",
                     "line 7 (group 2, CH 6), Decode: \"D23X\" is not a DCS code",
                     "line 7 (group 2, CH 6), Encode: Tone 301 is not between 60 and 300 Hz",
                     "line 8 (group 2, CH 7), Decode: Tone D23 is not in the tone table; the field is left as it was."}},
        // Cells past the header are said once; the header again is no row.
        KestrelCase{"extra_cells_and_the_header_again",
                    "Group,CH,RX Freq\n1,1,146,,\nGroup,CH,RX Freq\n1,3,147,x,y\n1,4,148,z\n", {{0, "00006014 00006014 FFFF FFFF F8 08 70 FD"},
                     {2, "00007014 00007014 FFFF FFFF F8 08 70 FD"}, {3, "00008014 00008014 FFFF FFFF F8 08 70 FD"}},
                    3, {"line 4: cells past the header's 3 columns are ignored (the first of them: \"x\")."}},
        KestrelCase{"rows_in_any_order", "Group,CH,RX Freq\n8,16,150\n\n1,1,137.5\n",
                    {{127, "00000015 00000015 FFFF FFFF F8 08 70 FD"},
                     {0, "00007513 00007513 FFFF FFFF F8 08 70 FD"}},
                    2, {}},
        KestrelCase{"cell_count_differs",
                    "Group,CH,RX Freq\n1,1,146\n1,3\n", {}, 0, {"line 3: 2 cells where 3 are expected"}},
        KestrelCase{"one_cell", "Group,CH,RX Freq\n1\n", {}, 0, {"line 2: 1 cell where 3 are expected"}},
        KestrelCase{"group_outside_after_a_blank_line", "Group,CH,RX Freq\n\n9,1,146\n", {}, 0,
                    {"line 3: Group \"9\" is not a group 1-8"}},
        KestrelCase{"ch_outside", "Group,CH,RX Freq\n1,17,146\n", {}, 0, {"line 2: CH \"17\" is not a channel 1-16"}},
        KestrelCase{"ch_not_a_number", "Group,CH,RX Freq\r\n1,x,146\r\n", {}, 0,
                    {"line 2: CH \"x\" is not a channel 1-16"}},
        KestrelCase{"same_channel_twice", "Group,CH,RX Freq\n1,1,146\n1,1,147\n", {}, 0,
                    {"line 3: group 1 CH 1 is already given on line 2"}},
        KestrelCase{"column_twice", "Group,CH,RX Freq,rx freq\n1,1,146,147\n", {}, 0,
                    {"line 1: column \"rx freq\" is given twice"}},
        KestrelCase{"quote_not_closed",
                    "Group,CH,RX Freq\n1,1,\"146\n", {}, 0, {"line 2: a quoted cell is not closed"}}));

// ---- the CHIRP generic CSV -----------------------------------------------------------

namespace {

class ChirpLists : public ::testing::TestWithParam<ListCase> {};

// A CHIRP row of the 21 columns with the values CHIRP writes for a plain FM channel,
// `changes` (column name -> value) put over them.
QString ChirpRow(int location, const std::map<QString, QString>& changes) {
    QStringList row =
        QStringLiteral(",,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,")
            .split(QLatin1Char(','));
    row[0] = QString::number(location);
    for (const auto& [column, value] : changes)
        row[ChirpHeader().indexOf(column)] = value;
    return row.join(QLatin1Char(','));
}

} // namespace

TEST_P(ChirpLists, StoreTheBytesTypingWould) {
    ExpectImport(ErasedImage(), GetParam(), ListFormat::Chirp);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChirpLists,
    ::testing::Values(
        ChirpCase{"plain_fm", "H\n0,,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\n",
                  {{0, "00206514 00206514 FFFF FFFF F8 08 70 FD"}}, 1, {}},
        ChirpCase{"tone_minus_nfm_skip_low",
                  "H\n1,,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,NFM,5.00,S,1.0W,,,,,\n",
                  {{1, "00406914 00406314 FFFF 0010 C0 00 70 FD"}}, 1, {}},
        ChirpCase{"tsql_plus_mid",
                  "H\n2,,147.000000,+,0.600000,TSQL,88.5,67.0,023,NN,023,Tone->Tone,FM,5.00,P,2.0W,,,,,\n",
                  {{2, "00007014 00007614 7006 7006 D8 08 70 FD"}}, 1, {}},
        ChirpCase{"dtcs_split_polarity",
                  "H\n3,,146.500000,split,147.000000,DTCS,88.5,88.5,23,RN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\n",
                  {{3, "00006514 00007014 2380 23C0 F8 08 70 FD"}}, 1, {}},
        ChirpCase{"off_duplex_inhibits_tx",
                  "H\n4,,146.520000,off,5.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\n",
                  {{4, "00206514 00206514 FFFF FFFF F8 08 F0 FD"}}, 1, {}},
        // rToneFreq 100.0, cToneFreq 67.0, DtcsCode 023, RxDtcsCode 754, polarity NR.
        ChirpCase{"every_cross_mode",
                  "H\n"
                  "0,,146.52,,0,Cross,100.0,67.0,023,NR,754,Tone->Tone,FM,,,5.0W,,,,,\n"
                  "1,,146.52,,0,Cross,100.0,67.0,023,NR,754,Tone->DTCS,FM,,,5.0W,,,,,\n"
                  "2,,146.52,,0,Cross,100.0,67.0,023,NR,754,DTCS->Tone,FM,,,5.0W,,,,,\n"
                  "3,,146.52,,0,Cross,100.0,67.0,023,NR,754,DTCS->DTCS,FM,,,5.0W,,,,,\n"
                  "4,,146.52,,0,Cross,100.0,67.0,023,NR,754,->Tone,FM,,,5.0W,,,,,\n"
                  "5,,146.52,,0,Cross,100.0,67.0,023,NR,754,->DTCS,FM,,,5.0W,,,,,\n"
                  "6,,146.52,,0,Cross,100.0,67.0,023,NR,754,Tone->,FM,,,5.0W,,,,,\n"
                  "7,,146.52,,0,Cross,100.0,67.0,023,NR,754,DTCS->,FM,,,5.0W,,,,,\n",
                  {{0, "00206514 00206514 7006 0010 F8 08 70 FD"},
                   {1, "00206514 00206514 54C7 0010 F8 08 70 FD"},
                   {2, "00206514 00206514 7006 2380 F8 08 70 FD"},
                   {3, "00206514 00206514 54C7 2380 F8 08 70 FD"},
                   {4, "00206514 00206514 7006 FFFF F8 08 70 FD"},
                   {5, "00206514 00206514 54C7 FFFF F8 08 70 FD"},
                   {6, "00206514 00206514 FFFF 0010 F8 08 70 FD"},
                   {7, "00206514 00206514 FFFF 2380 F8 08 70 FD"}},
                  8, {}},
        ChirpCase{"out_of_band_rx_and_tx",
                  "H\n0,,446.000000,,0,,,,,,,,FM,,,,,,,,\n1,,146.52,+,30.0,,,,,,,,FM,,,,,,,,\n"
                  "2,,146.52,-,20.0,,,,,,,,FM,,,,,,,,\n",
                  {}, 0,
                  {"line 2 (group 1, CH 1): RX 446.000000 MHz is outside the band 136-174 MHz",
                   "line 3 (group 1, CH 2): TX 176.520000 MHz is outside the band 136-174 MHz",
                   "line 4 (group 1, CH 3): TX 126.520000 MHz is outside the band 136-174 MHz"}},
        ChirpCase{"short_row_and_bad_rows",
                  "H\n0,,146.52\n1,,146.52,,0,,,,,,,,AM,,,,,,,,\n2,,,,,,,,,,,,FM,,,,,,,,\n"
                  "3,,0.000000,,,,,,,,,,FM,,,,,,,,\n4,,146.52,,0,TSQL-R,,,,,,,FM,,,,,,,,\n"
                  "5,,146.52,,0,DTCS,,,,XY,,,FM,,,,,,,,\n6,,146.52,x,0,,,,,,,,FM,,,,,,,,\n"
                  "7,,146.52,,0,Cross,,,,,,Tone->Nothing,FM,,,,,,,,\nseven,,146.52,,0,,,,,,,,FM,,,,,,,,\n"
                  "9,,146.52,,0,,,,,,,,FM,,,5.0W,,,,,\n9,,147,,0,,,,,,,,FM,,,,,,,,\n",
                  {{9, "00206514 00206514 FFFF FFFF F8 08 70 FD"}}, 1,
                  {"line 2: 3 cells where the header has 21",
                   "line 3 (group 1, CH 2): mode \"AM\" cannot be stored (only FM and NFM)",
                   "line 4 (group 1, CH 3): Frequency is empty; the row is skipped.",
                   "line 6 (group 1, CH 5): tone mode \"TSQL-R\" cannot be stored",
                   "line 7 (group 1, CH 6): DtcsPolarity \"XY\" is not NN, NR, RN or RR",
                   "line 8 (group 1, CH 7): Duplex \"x\" is not empty, +, -, split or off",
                   "line 9 (group 1, CH 8): CrossMode \"Tone->Nothing\" cannot be stored",
                   "line 10: Location \"seven\" is not a channel (0-127)",
                   "line 12 (group 1, CH 10): Location 9 is already given on line 11"}},
        ChirpCase{"bom_crlf_quotes_comments_names",
                  "\xEF\xBB\xBF# from a repeater directory\r\n"
                  "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
                  "CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
                  "\"17\",\"Hill, north\",\"145.500000\",\"\",\"0.000000\",\"Tone\",\"67.0\",\"88.5\",\"023\",\"NN\","
                  "\"023\",\"Tone->Tone\",\"FM\",\"12.50\",\"\",\"5.0W\",\"open \"\"24h\"\"\",,,,\r\n"
                  "# the end\r\n",
                  {{17, "00005514 00005514 FFFF 7006 F8 08 70 FD"}}, 1,
                  {"channel names are not kept in the radio", "comments are not kept in the radio"}},
        // Older files: no RxDtcsCode, CrossMode or Power; a Cross row takes Tone->Tone.
        ChirpCase{"older_file",
                  "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,"
                                "TStep,Skip,Comment\n0,,146.52,,0,Cross,100.0,67.0,023,NN,NFM,5.00,,\n",
                  {{0, "00206514 00206514 7006 0010 E8 08 70 FD"}}, 1, {}},
        // Columns in another order, most of them missing: their defaults, not old values.
        ChirpCase{"few_columns_any_order", "Mode,Power,Frequency,Location,Skip\nNFM,0.5,146.52,3,S\n,high,146.55,4,\n",
                  {{3, "00206514 00206514 FFFF FFFF C0 00 70 FD"}, {4, "00506514 00506514 FFFF FFFF F8 08 70 FD"}}, 2,
                  {"line 3 (group 1, CH 5): Mode is empty; FM is used."}},
        // An empty cell the row needs takes CHIRP's default, and says so.
        ChirpCase{"empty_cells_the_row_needs",
                  "H\n0,,146.52,,0,Tone,,88.5,023,NN,023,Tone->Tone,FM,,,5.0W,,,,,\n1,,,,0,,,,,,,,FM,,,5.0W,,,,,\n"
                  "2,,146.52,,0,DTCS,88.5,88.5,,,023,Tone->Tone,,,,,,,,,\n",
                  {{0, "00206514 00206514 FFFF 8508 F8 08 70 FD"}, {2, "00206514 00206514 2380 2380 F8 08 70 FD"}}, 2,
                  {"line 2 (group 1, CH 1): rToneFreq is empty; 88.5 is used.",
                   "line 3 (group 1, CH 2): Frequency is empty; the row is skipped.",
                   "line 4 (group 1, CH 3): DtcsPolarity is empty; NN is used.",
                   "line 4 (group 1, CH 3): DtcsCode is empty; 023 is used.",
                   "line 4 (group 1, CH 3): Mode is empty; FM is used.",
                   "line 4 (group 1, CH 3): Power is empty; 5.0W is used."}},
        ChirpCase{"corrections_and_tones_left_out",
                  "H\n0,,146.5213,+,0.6003,TSQL,88.5,69.4,023,NN,023,Tone->Tone,FM,,,5.0W,,,,,\n"
                  "1,,146.52,,0,DTCS,88.5,88.5,017,NN,023,Tone->Tone,FM,,Q,M,,,,,\n",
                  {{0, "50226514 50227114 9306 9306 F8 08 70 FD"}, {1, "00206514 00206514 FFFF FFFF D8 08 70 FD"}}, 2,
                  {"line 2 (group 1, CH 1), RX Freq: 146.521300 MHz is off the channel raster; 146.52250 is used",
                   "line 2 (group 1, CH 1), TX Freq: 147.121600 MHz is off the channel raster; 147.12250 is used",
                   "line 2 (group 1, CH 1), Decode: Tone 69.4 is not in the tone table; 69.3 is used.",
                   "line 2 (group 1, CH 1), Encode: Tone 69.4 is not in the tone table; 69.3 is used.",
                   "line 3 (group 1, CH 2), Scan: Skip \"Q\" is not S or P",
                   "line 3 (group 1, CH 2), Decode: Tone D017N is not in the tone table; the field is left as it was.",
                   "line 3 (group 1, CH 2), Encode: Tone D017N is not in the tone table; the field is left as it was."}}));

TEST(ChirpLists, MoreThan128RowsAndWhatTheFormatDoesNotCarry) {
    MemoryImage image = ErasedImage();
    for (Address a = ValidBitmap; a < ScanBitmap + 32; ++a)
        image.setByte(a, 0x00);
    // An existing channel keeps BCL, PTT ID and call group; the format sets the rest.
    CreateChannel(image, 9, 10, QStringLiteral("147.00000"));
    StoreChannelField(image, 9, ColLockout, QStringLiteral("BCL"), English);
    StoreChannelField(image, 9, ColPttId, QStringLiteral("BOTH"), English);
    StoreChannelField(image, 9, ColCallGroup, QStringLiteral("5"), English);
    QString text = QString::fromLatin1(ChirpHeaderLine) + QStringLiteral("\r\n");
    for (int location = 0; location < 130; ++location)
        text += ChirpRow(location, location == 9 ? std::map<QString, QString>{{"Mode", "NFM"}, {"Tone", "TSQL"},
                                                                                 {"cToneFreq", "67.0"}, {"Power", "1.0W"}}
                                                 : std::map<QString, QString>{}) +
                QStringLiteral("\r\n");
    const ImportReport r = ImportChannelList(image, text.toUtf8());
    EXPECT_EQ(r.rowsApplied, 128);
    EXPECT_EQ(Joined(r), QStringLiteral("line 130: Location \"128\" is not a channel (0-127)\n"
                                        "line 131: Location \"129\" is not a channel (0-127)"));
    EXPECT_EQ(image.line(9).toHex(' '), Record("00206514 00206514 7006 7006 CA 03 74 FD").toHex(' '));
    EXPECT_EQ(image.line(127).toHex(' '), Record("00206514 00206514 FFFF FFFF F8 08 70 FD").toHex(' '));
    // New channels set the bits of their rows in both bitmaps.
    for (Address a : {ValidBitmap, ValidBitmap + 1, ScanBitmap, ScanBitmap + 1})
        EXPECT_EQ(image.byte(a), 0xFF);
}

TEST(ChirpLists, ExportWritesTheHeaderAndARowPerChannelInUse) {
    MemoryImage image = ErasedImage();
    const auto channel = [&](int n, const char* rx, std::initializer_list<std::pair<int, const char*>> fields) {
        CreateChannel(image, n, RowOfChannel(n), QString::fromLatin1(rx));
        for (const auto& [column, text] : fields)
            StoreChannelField(image, n, column, QString::fromUtf8(text), English);
    };
    channel(0, "146.52000", {});
    channel(1, "146.94000", {{ColTxFreq, "146.34000"}, {ColEncode, "100.0"}, {ColBandwidth, "Narrow"},
                             {ColScan, "Del"}, {ColTxPower, "Low"}});
    channel(5, "147.00000", {{ColTxFreq, "147.60000"}, {ColDecode, "67.0"}, {ColEncode, "67.0"}, {ColTxPower, "Mid"}});
    channel(6, "146.50625", {{ColDecode, "D023I"}, {ColEncode, "D023N"}});
    channel(7, "146.52000", {{ColDecode, "D754N"}, {ColEncode, "D023N"}});
    channel(8, "146.52000", {{ColDecode, "67.0"}, {ColEncode, "D023I"}, {ColTxInhibit, "On"}});
    channel(9, "146.52000", {{ColDecode, "D023N"}});
    channel(127, "173.99750", {{ColEncode, "254.1"}});
    ClearTransmit(image, 127);
    const MemoryImage before = image;
    EXPECT_EQ(ChirpCsvText(image),
              QString::fromLatin1(ChirpHeaderLine) + QStringLiteral("\r\n") +
                  QStringLiteral("0,,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,2.50,,5.0W,,,,,\r\n"
                                 "1,,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,NFM,2.50,S,1.0W,,,,,\r\n"
                                 "5,,147.000000,+,0.600000,TSQL,88.5,67.0,023,NN,023,Tone->Tone,FM,2.50,,2.0W,,,,,\r\n"
                                 "6,,146.506250,,0.000000,DTCS,88.5,88.5,023,NR,023,Tone->Tone,FM,6.25,,5.0W,,,,,\r\n"
                                 "7,,146.520000,,0.000000,Cross,88.5,88.5,023,NN,754,DTCS->DTCS,FM,2.50,,5.0W,,,,,\r\n"
                                 "8,,146.520000,off,0.000000,Cross,88.5,67.0,023,RN,023,DTCS->Tone,FM,2.50,,5.0W,,,,,\r\n"
                                 "9,,146.520000,,0.000000,Cross,88.5,88.5,023,NN,023,->DTCS,FM,2.50,,5.0W,,,,,\r\n"
                                 "127,,173.997500,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,2.50,,5.0W,,,,,\r\n"));
    EXPECT_EQ(image.bytes(), before.bytes());
    EXPECT_EQ(ChannelsInUse(image), 8);
    EXPECT_EQ(ExportChannelList(image, ListFormat::Chirp, Chinese), ChirpCsvText(image).toUtf8());
    // TX inhibit on and TX away from RX: "off" loses the TX frequency, and says so.
    EXPECT_TRUE(ExportNotes(image, ListFormat::Chirp).isEmpty());
    StoreTransmit(image, 8, QStringLiteral("147.99000"));
    const QList<BilingualText> lost = ExportNotes(image, ListFormat::Chirp);
    ASSERT_EQ(lost.size(), 1);
    EXPECT_EQ(lost[0](English), QStringLiteral("Channel 9: TX frequency 147.99000 is not kept by this format."));
    EXPECT_EQ(lost[0](Chinese), QStringLiteral("信道 9：此格式不保存发射频率 147.99000。"));
    EXPECT_TRUE(ExportNotes(image, ListFormat::Kestrel).isEmpty());
}

// ---- both formats out and in again ---------------------------------------------------------

namespace {

// An image of random channels with in-band, on-raster frequencies and table tones:
// some without a transmit side; TX inhibit only where TX equals RX.
MemoryImage RandomImage(int band, std::mt19937& rng) {
    MemoryImage m = ErasedImage(band);
    const BandLimits limits = BandOfIndex(band);
    const QStringList tones = BuildToneTable(English);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const auto frequency = [&] {
        const int step = pick(2) ? 250 : 625;
        const qint64 first = (qint64(limits.lower) * 100000 + step - 1) / step;
        const qint64 last = (qint64(limits.upper) * 100000 - 1) / step;
        return FrequencyTextOfTenHz(std::uniform_int_distribution<qint64>(first, last)(rng) * step);
    };
    const auto tone = [&] { return pick(3) == 0 ? tones.first() : tones.at(1 + pick(ToneCount - 1)); };
    for (int n = 0; n < ChannelCount; ++n) {
        if (pick(5) == 0)
            continue;
        const QString rx = frequency();
        CreateChannel(m, n, RowOfChannel(n), rx);
        for (int c = FirstOptionColumn; c <= LastOptionColumn; ++c) {
            const QStringList items = ChannelOptionList(c, English);
            StoreChannelField(m, n, c, items.at(pick(int(items.size()))), English);
        }
        StoreChannelField(m, n, ColDecode, tone(), English);
        StoreChannelField(m, n, ColEncode, tone(), English);
        const int tx = pick(10);
        if (tx < 4 && !ChannelOptionText(m, n, ColTxInhibit, English).startsWith(QLatin1String("On")))
            StoreTransmit(m, n, frequency());
        else if (tx == 9)
            ClearTransmit(m, n);
    }
    return m;
}

// What comes back of an image: a channel without transmit side transmits on its RX
// frequency with TX inhibit on (CHIRP) or with TX equal to RX (Kestrel, into an empty image).
MemoryImage WithTransmitSides(MemoryImage m, bool inhibit) {
    const BandLimits band = DecodeBandLimits(m);
    const QStringList tones = BuildToneTable(English);
    for (int n = 0; n < ChannelCount; ++n) {
        MemoryImage copy = m;
        const ChannelTexts texts = ReadChannelForDisplay(copy, band, tones, English, n);
        if (texts.isEmpty() || !texts.cells[ColTxFreq].isEmpty())
            continue;
        StoreTransmit(m, n, texts.cells[ColRxFreq]);
        if (inhibit)
            StoreChannelField(m, n, ColTxInhibit, QStringLiteral("On"), English);
    }
    return m;
}

// The record typing a channel's grid texts into an empty row gives: RX, then TX (empty
// for none), then every tone and option cell. Hidden bits a random image may hold
// otherwise (the mid-power bit of a high-power channel) are the new channel's.
QByteArray TypedRecord(const MemoryImage& m, int n, const ChannelTexts& shown) {
    MemoryImage typed = ErasedImage(DecodeBandLimits(m).index);
    ChannelTexts cells;
    const auto commit = [&](int column) {
        const CellEdit edit{RowOfChannel(n), column, n, cells.cells[column]};
        if (column <= ColTxFreq)
            CommitTextCell(typed, DecodeBandLimits(m), English, cells, edit, shown.cells[column]);
        else if (!shown.cells[column].isEmpty())
            CommitListCell(typed, English, ChannelText::NoTone(English), cells, edit, shown.cells[column]);
    };
    for (int c = ColRxFreq; c <= LastOptionColumn; ++c)
        commit(c);
    return typed.line(n);
}

ChannelTexts Shown(MemoryImage m, int n) {
    static const QStringList tones = BuildToneTable(English);
    return ReadChannelForDisplay(m, DecodeBandLimits(m), tones, English, n);
}

} // namespace

TEST(ChannelListRoundTrip, RandomImagesComeBackAsTheyWere) {
    std::mt19937 rng(14);
    for (int round = 0; round < 12; ++round) {
        const int band = round % BandCount;
        SCOPED_TRACE("round " + std::to_string(round));
        const MemoryImage original = RandomImage(band, rng);

        // CHIRP into the same image: only channels without TX change.
        const QByteArray chirp = ExportChannelList(original, ListFormat::Chirp, English);
        const MemoryImage expected = WithTransmitSides(original, true);
        MemoryImage same = original;
        const ImportReport back = ImportChannelList(same, chirp);
        EXPECT_TRUE(back.notes.isEmpty()) << Joined(back).toStdString();
        EXPECT_EQ(back.rowsApplied, ChannelsInUse(original));
        EXPECT_EQ(same.bytes(), expected.bytes());

        // CHIRP into an empty image: every field the format carries, new-channel defaults
        // for the rest.
        MemoryImage fresh = ErasedImage(band);
        ImportChannelList(fresh, chirp);
        const int carried[] = {ColRxFreq,    ColTxFreq, ColDecode,  ColEncode,
                               ColBandwidth, ColScan,   ColTxPower, ColTxInhibit};
        for (int n = 0; n < ChannelCount; ++n) {
            const ChannelTexts want = Shown(expected, n);
            const ChannelTexts got = Shown(fresh, n);
            const ChannelTexts defaults = NewChannelTexts(want.cells[ColRxFreq], English);
            for (int c = ColRxFreq; c <= LastOptionColumn; ++c) {
                const bool isCarried = std::find(std::begin(carried), std::end(carried), c) != std::end(carried);
                const QString wanted = want.isEmpty() ? QString() : isCarried ? want.cells[c] : defaults.cells[c];
                EXPECT_EQ(got.cells[c], wanted) << "channel index " << n << " column " << c;
            }
        }

        // Kestrel's own, in either language: the same image gains nothing; into an empty
        // one every channel in use comes back byte for byte, receive-only ones too.
        for (Language l : {English, Chinese}) {
            const QByteArray own = ExportChannelList(original, ListFormat::Kestrel, l);
            MemoryImage again = original;
            EXPECT_TRUE(ImportChannelList(again, own).notes.isEmpty());
            EXPECT_EQ(again.bytes(), original.bytes());
            MemoryImage empty = ErasedImage(band);
            EXPECT_TRUE(ImportChannelList(empty, own).notes.isEmpty());
            int same = 0;
            int receiveOnly = 0;
            for (int n = 0; n < ChannelCount; ++n) {
                const ChannelTexts shown = Shown(original, n);
                if (shown.isEmpty() || TypedRecord(original, n, shown) != original.line(n))
                    continue;
                ++same;
                receiveOnly += shown.cells[ColTxFreq].isEmpty() ? 1 : 0;
                EXPECT_EQ(empty.line(n).toHex(' ').toStdString(), original.line(n).toHex(' ').toStdString())
                    << "channel index " << n;
            }
            EXPECT_GT(same, 30);
            EXPECT_GT(receiveOnly, 0);
        }
    }
}

TEST(ChannelListReport, OneMessageGroupedByKindAndCut) {
    MemoryImage image = ErasedImage();
    QByteArray text = QByteArray(ChirpHeaderLine) + "\n" + "0,Home,146.5213,,0,,,,,,,,FM,,,5.0W,,,,,\n";
    for (int location = 200; location < 240; ++location)
        text += QByteArray::number(location) + ",,146.52,,0,,,,,,,,FM,,,,,,,,\n";
    const ImportReport r = ImportChannelList(image, text);
    const QString shown = r.text(English, QStringLiteral("list.csv"), 3);
    EXPECT_EQ(shown, QStringLiteral("Rows applied from list.csv (CHIRP CSV): 1\n\n"
                                    "Values corrected:\n"
                                    "• line 2 (group 1, CH 1), RX Freq: 146.521300 MHz is off the channel raster; "
                                    "146.52250 is used\n\n"
                                    "Rows skipped:\n"
                                    "• line 3: Location \"200\" is not a channel (0-127)\n"
                                    "• line 4: Location \"201\" is not a channel (0-127)\n"
                                    "... and 39 more."));
    EXPECT_TRUE(r.text(Chinese, QStringLiteral("list.csv")).startsWith(QStringLiteral("已从 list.csv（CHIRP CSV）导入 1 行\n")));
    ImportReport refused;
    refused.add(ListNote::Refused, 2, -1, {QStringLiteral("bad"), QStringLiteral("坏")});
    EXPECT_EQ(refused.text(English, QStringLiteral("x.csv")),
              QStringLiteral("x.csv was not imported; nothing was changed:\n• line 2: bad"));
}
