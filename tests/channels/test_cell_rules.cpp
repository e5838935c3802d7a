// The channel grid's rules without a window: key filters, the moves
// of the current cell, the memory map gesture and the cell commits on a real image.
#include "channels/ChannelCellRules.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Tone.h"

#include <gtest/gtest.h>

#include <optional>

using namespace kestrel;

namespace {

std::optional<QChar> Ch(char c) { return QChar(QLatin1Char(c)); }
const std::optional<QChar> Refused;

// ---- key filters -----------------------------------------------------------------

struct KeyCase {
    const char* name;
    const char* text;
    int selected;
    QChar key;
    std::optional<QChar> expected;
};

std::ostream& operator<<(std::ostream& os, const KeyCase& c) { return os << c.name; }

class FrequencyKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(FrequencyKeys, AcceptOrRefuse) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(FilterFrequencyKey(QString::fromUtf8(c.text), c.selected, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Editor, FrequencyKeys,
    ::testing::Values(KeyCase{"digit_into_empty", "", 0, QLatin1Char('1'), Ch('1')},
                      KeyCase{"ninth_character", "146.5200", 0, QLatin1Char('0'), Ch('0')},
                      KeyCase{"tenth_character_refused", "146.52000", 0, QLatin1Char('1'), Refused},
                      KeyCase{"tenth_replacing_a_selection", "146.52000", 2, QLatin1Char('1'), Ch('1')},
                      KeyCase{"backspace_on_a_full_text", "146.52000", 0, BackspaceChar, BackspaceChar},
                      KeyCase{"letter_refused", "14", 0, QLatin1Char('a'), Refused},
                      KeyCase{"paste_control_refused", "", 0, QChar(0x16), Refused}));

class ToneKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ToneKeys, AcceptOrRefuse) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(FilterToneKey(QString::fromUtf8(c.text), c.selected, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Editor, ToneKeys,
    ::testing::Values(KeyCase{"qt_fifth_character", "100.", 0, QLatin1Char('0'), Ch('0')},
                      KeyCase{"qt_sixth_character_refused", "100.0", 0, QLatin1Char('1'), Refused},
                      KeyCase{"digit_over_whole_selection", "100.0", 5, QLatin1Char('1'), Ch('1')},
                      KeyCase{"digit_over_part_of_a_full_text", "100.0", 2, QLatin1Char('1'), Refused},
                      KeyCase{"dqt_fourth_character", "D02", 0, QLatin1Char('3'), Ch('3')},
                      KeyCase{"dqt_fifth_digit_refused", "D023", 0, QLatin1Char('1'), Refused},
                      KeyCase{"point_first_refused", "", 0, QLatin1Char('.'), Refused},
                      KeyCase{"point_after_digits", "88", 0, QLatin1Char('.'), Ch('.')},
                      KeyCase{"second_point_refused", "8.8", 0, QLatin1Char('.'), Refused},
                      KeyCase{"lower_d_as_upper", "", 0, QLatin1Char('d'), Ch('D')},
                      KeyCase{"d_inside_refused", "1", 0, QLatin1Char('D'), Refused},
                      KeyCase{"n_after_code", "D023", 0, QLatin1Char('n'), Ch('N')},
                      KeyCase{"n_before_three_digits_refused", "D02", 0, QLatin1Char('N'), Refused},
                      KeyCase{"n_after_a_qt_tone_refused", "67.0", 0, QLatin1Char('N'), Refused},
                      KeyCase{"backspace", "D023N", 0, BackspaceChar, BackspaceChar}));

TEST(GridStartChar, DigitsAndPointOfBothKeyboards) {
    EXPECT_EQ(GridStartChar(Qt::Key_0, false), Ch('0'));
    EXPECT_EQ(GridStartChar(Qt::Key_9, true), Ch('9'));
    EXPECT_EQ(GridStartChar(Qt::Key_Period, false), Ch('.'));
    EXPECT_EQ(GridStartChar(Qt::Key_Comma, true), Ch('.'));
    EXPECT_EQ(GridStartChar(Qt::Key_Comma, false), Refused);
    EXPECT_EQ(GridStartChar(Qt::Key_A, false), Refused);
    EXPECT_EQ(GridStartChar(Qt::Key_Minus, true), Refused);
}

// ---- moves of the current cell ---------------------------------------------------

TEST(CellMoves, EnterInTheEditors) {
    EXPECT_EQ(CellAfterTextEnter({4, ColRxFreq}), (GridCell{4, ColTxFreq}));
    EXPECT_EQ(CellAfterTextEnter({4, ColTxFreq}), (GridCell{4, ColDecode}));
    EXPECT_EQ(CellAfterToneEnter({2, ColDecode}, true), (GridCell{2, ColEncode}));
    EXPECT_EQ(CellAfterToneEnter({2, ColDecode}, false), (GridCell{2, ColBandwidth}));
    EXPECT_EQ(CellAfterToneEnter({2, ColEncode}, true), (GridCell{2, ColBandwidth}));
    EXPECT_EQ(CellAfterOptionEnter({7, ColBandwidth}), (GridCell{7, ColLockout}));
    EXPECT_EQ(CellAfterOptionEnter({7, ColTxInhibit}), (GridCell{8, ColRxFreq}));
    EXPECT_EQ(CellAfterOptionEnter({16, ColTxInhibit}), (GridCell{16, ColTxInhibit}));
}

TEST(CellMoves, WhereAnEditorOpens) {
    EXPECT_EQ(CellForEditor({5, ColScan}, false, false), (GridCell{5, ColRxFreq}));
    EXPECT_EQ(CellForEditor({5, ColEncode}, true, false), (GridCell{5, ColTxFreq}));
    EXPECT_EQ(CellForEditor({5, ColEncode}, true, true), (GridCell{5, ColEncode}));
    EXPECT_EQ(CellForEditor({5, ColDecode}, true, false), (GridCell{5, ColDecode}));
    EXPECT_EQ(CellForTypedStart({3, ColRxFreq}, false), (GridCell{3, ColRxFreq}));
    EXPECT_EQ(CellForTypedStart({3, ColTxFreq}, false), (GridCell{3, ColRxFreq}));
    EXPECT_EQ(CellForTypedStart({3, ColTxFreq}, true), (GridCell{3, ColTxFreq}));
    EXPECT_FALSE(CellForTypedStart({3, ColDecode}, true).has_value());
}

// ---- memory map gesture ----------------------------------------------------------

struct GestureCase {
    const char* name;
    double dpi;
    int x, y;
    bool right, ctrl, alt, shift;
    bool expected;
};

std::ostream& operator<<(std::ostream& os, const GestureCase& c) { return os << c.name; }

class MemoryMapGesture : public ::testing::TestWithParam<GestureCase> {};

TEST_P(MemoryMapGesture, HitTest) {
    const GestureCase& c = GetParam();
    EXPECT_EQ(IsMemoryMapGesture(QPoint(c.x, c.y), c.dpi, c.dpi, c.right, c.ctrl, c.alt, c.shift), c.expected);
}

// At 96 dpi 4200-5200 twips are 280-346.7 px and 200 twips 13.3 px; at 144 dpi 420-520 and 20.
INSTANTIATE_TEST_SUITE_P(
    Header, MemoryMapGesture,
    ::testing::Values(GestureCase{"inside", 96, 300, 5, true, true, true, false, true},
                      GestureCase{"left_edge_itself", 96, 280, 5, true, true, true, false, false},
                      GestureCase{"right_edge", 96, 347, 5, true, true, true, false, false},
                      GestureCase{"last_pixel", 96, 346, 13, true, true, true, false, true},
                      GestureCase{"below_200_twips", 96, 300, 14, true, true, true, false, false},
                      GestureCase{"with_shift", 96, 300, 5, true, true, true, true, false},
                      GestureCase{"without_alt", 96, 300, 5, true, true, false, false, false},
                      GestureCase{"left_button", 96, 300, 5, false, true, true, false, false},
                      GestureCase{"high_dpi_inside", 144, 430, 19, true, true, true, false, true}));

// ---- commits on an image ---------------------------------------------------------

class CellCommit : public ::testing::Test {
protected:
    void SetUp() override {
        QByteArray bytes(ImageSize, char(0x00));
        bytes.replace(0, ChannelCount * LineSize, QByteArray(ChannelCount * LineSize, char(0xFF)));
        image.setBytes(bytes);
        EncodeBandLimits(image, band);
    }

    ChannelTexts Shown(int channel) { return ReadChannelForDisplay(image, band, tones, English, channel); }

    // Creates a channel through the receive cell of an empty row.
    ChannelTexts Created(int channel, const char* rx) {
        ChannelTexts cells;
        CommitTextCell(image, band, English, cells, Edit(channel, ColRxFreq, cells), QString::fromLatin1(rx));
        return cells;
    }

    static CellEdit Edit(int channel, int column, const ChannelTexts& cells) {
        return {RowOfChannel(channel), column, channel, cells.cells[column]};
    }

    QByteArray Record(int channel) const { return image.line(channel); }

    MemoryImage image;
    BandLimits band = BandOfIndex(0);
    QStringList tones = BuildToneTable(English);
};

TEST_F(CellCommit, TextEqualToTheSavedTextStoresNothing) {
    ChannelTexts cells = Created(0, "146.52");
    const QByteArray before = image.bytes();
    const quint64 revision = image.revision();
    const CommitOutcome out =
        CommitTextCell(image, band, English, cells, Edit(0, ColRxFreq, cells), QStringLiteral("146.52000"));
    EXPECT_FALSE(out.stored);
    EXPECT_EQ(image.revision(), revision);
    EXPECT_EQ(image.bytes(), before);
    EXPECT_FALSE(CommitListCell(image, English, QStringLiteral("None"), cells, Edit(0, ColScan, cells),
                                QStringLiteral("Add"))
                     .stored);
    EXPECT_EQ(image.revision(), revision);
}

struct FrequencyCommitCase {
    const char* name;
    int column;
    const char* typed;
    const char* shown;
    bool outOfRange;
};

std::ostream& operator<<(std::ostream& os, const FrequencyCommitCase& c) { return os << c.name; }

class FrequencyCommit : public CellCommit, public ::testing::WithParamInterface<FrequencyCommitCase> {};

TEST_P(FrequencyCommit, CorrectedAndStored) {
    const FrequencyCommitCase& c = GetParam();
    ChannelTexts cells = Created(9, "150");
    const QByteArray before = Record(9);
    const CommitOutcome out = CommitTextCell(image, band, English, cells, Edit(9, c.column, cells),
                                             QString::fromLatin1(c.typed));
    EXPECT_TRUE(out.stored);
    EXPECT_FALSE(out.created);
    EXPECT_EQ(out.outOfRange, c.outOfRange);
    EXPECT_EQ(cells.cells[c.column], QString::fromLatin1(c.shown));
    const int first = c.column == ColRxFreq ? 0 : 4;
    QByteArray expected = before;
    MemoryImage probe;
    EncodeFrequency(probe, 0, 0, QString::fromLatin1(c.shown));
    expected.replace(first, 4, probe.line(0).left(4));
    EXPECT_EQ(Record(9), expected) << "only the frequency's four bytes change";
    EXPECT_EQ(Shown(9).cells[c.column], QString::fromLatin1(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, FrequencyCommit,
    ::testing::Values(FrequencyCommitCase{"rx_snapped", ColRxFreq, "146.5213", "146.52250", false},
                      FrequencyCommitCase{"rx_above_band", ColRxFreq, "180", "173.99750", true},
                      FrequencyCommitCase{"rx_upper_limit_itself", ColRxFreq, "174", "173.99750", true},
                      FrequencyCommitCase{"rx_below_band", ColRxFreq, "100", "136.00000", true},
                      FrequencyCommitCase{"rx_not_a_number", ColRxFreq, ".", "136.00000", true},
                      FrequencyCommitCase{"tx_on_6_25_raster", ColTxFreq, "146.50625", "146.50625", false},
                      FrequencyCommitCase{"tx_above_band", ColTxFreq, "999999999", "173.99750", true}));

TEST_F(CellCommit, EmptyTransmitFrequencyClearsOnlyTheTransmitSide) {
    ChannelTexts cells = Created(2, "146.52");
    CommitListCell(image, English, QStringLiteral("None"), cells, Edit(2, ColDecode, cells), QStringLiteral("67.0"));
    CommitListCell(image, English, QStringLiteral("None"), cells, Edit(2, ColEncode, cells), QStringLiteral("D023N"));
    const QByteArray before = Record(2);
    CommitTextCell(image, band, English, cells, Edit(2, ColTxFreq, cells), QString());
    EXPECT_TRUE(cells.cells[ColTxFreq].isEmpty());
    EXPECT_TRUE(cells.cells[ColEncode].isEmpty());
    EXPECT_EQ(cells.cells[ColRxFreq], QStringLiteral("146.52000"));
    EXPECT_EQ(cells.cells[ColDecode], QStringLiteral("67.0"));
    QByteArray expected = before;
    expected.replace(4, 4, QByteArray(4, char(0xFF)));
    expected[10] = char(0xFF);
    expected[11] = char(0xFF);
    EXPECT_EQ(Record(2), expected);

    // A transmit frequency given again shows no encode tone and clears byte 15 bit 1.
    image.setByte(2, 15, 0xFF);
    CommitTextCell(image, band, English, cells, Edit(2, ColTxFreq, cells), QStringLiteral("147"));
    EXPECT_EQ(cells.cells[ColTxFreq], QStringLiteral("147.00000"));
    EXPECT_EQ(cells.cells[ColEncode], QStringLiteral("None"));
    EXPECT_EQ(image.byte(2, 15), 0xFD);
    EXPECT_EQ(image.byte(2, 10), 0xFF);
    EXPECT_EQ(image.byte(2, 11), 0xFF);
}

TEST_F(CellCommit, ATypedToneOutsideTheTableSnapsOrIsRefused) {
    ChannelTexts cells = Created(3, "146.52");
    CommitListCell(image, English, QStringLiteral("None"), cells, Edit(3, ColDecode, cells), QStringLiteral("67.0"));
    const QByteArray before = Record(3);

    CommitOutcome out =
        CommitListCell(image, English, QStringLiteral("None"), cells, Edit(3, ColDecode, cells), QStringLiteral("D23"));
    EXPECT_TRUE(out.refused);
    EXPECT_FALSE(out.stored);
    EXPECT_EQ(out.message(English), QStringLiteral("Tone D230N is not in the tone table."));
    EXPECT_EQ(cells.cells[ColDecode], QStringLiteral("67.0")) << "the cell keeps its value";
    EXPECT_EQ(Record(3), before);

    out = CommitListCell(image, English, QStringLiteral("None"), cells, Edit(3, ColEncode, cells), QStringLiteral("88"));
    EXPECT_TRUE(out.stored);
    EXPECT_EQ(out.message(Chinese), QStringLiteral("亚音 88 不在亚音表中，已改为 88.5。"));
    EXPECT_EQ(cells.cells[ColEncode], QStringLiteral("88.5"));
    EXPECT_EQ(Shown(3).cells[ColEncode], QStringLiteral("88.5")) << "still shown after a refresh";
}

} // namespace
