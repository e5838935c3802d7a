// The channel grid's rules without a window: key filters, the moves
// of the current cell, the memory map gesture and the cell commits on a real image.
#include "channels/ChannelCellRules.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Tone.h"
#include "tests/channels/ErasedImage.h"

#include <gtest/gtest.h>

#include <optional>

using namespace kestrel;

namespace {

std::optional<QChar> Ch(char c) { return QChar(QLatin1Char(c)); }
const std::optional<QChar> Refused;

// ---- key filters -----------------------------------------------------------------

// The two editors' key filters: QT/DQT tones when `tone`, frequencies otherwise.
TEST(EditorKeys, AcceptOrRefuse) {
    const struct {
        bool tone;
        const char* text;
        int selected;
        QChar key;
        std::optional<QChar> expected;
    } cases[] = {
        {false, "", 0, QLatin1Char('1'), Ch('1')},
        {false, "146.5200", 0, QLatin1Char('0'), Ch('0')},  // ninth character
        {false, "146.52000", 0, QLatin1Char('1'), Refused}, // tenth character
        {false, "146.52000", 2, QLatin1Char('1'), Ch('1')}, // tenth replacing a selection
        {false, "146.52000", 0, BackspaceChar, BackspaceChar},
        {false, "14", 0, QLatin1Char('a'), Refused},
        {false, "", 0, QChar(0x16), Refused},          // the paste control
        {true, "100.", 0, QLatin1Char('0'), Ch('0')},  // QT fifth character
        {true, "100.0", 0, QLatin1Char('1'), Refused}, // QT sixth character
        {true, "100.0", 5, QLatin1Char('1'), Ch('1')}, // over the whole selection
        {true, "100.0", 2, QLatin1Char('1'), Refused}, // over part of a full text
        {true, "D02", 0, QLatin1Char('3'), Ch('3')},   // DQT fourth character
        {true, "D023", 0, QLatin1Char('1'), Refused},  // DQT fifth digit
        {true, "", 0, QLatin1Char('.'), Refused},      // point first
        {true, "88", 0, QLatin1Char('.'), Ch('.')},
        {true, "8.8", 0, QLatin1Char('.'), Refused}, // second point
        {true, "", 0, QLatin1Char('d'), Ch('D')},    // lower d as upper
        {true, "1", 0, QLatin1Char('D'), Refused},   // D inside
        {true, "D023", 0, QLatin1Char('n'), Ch('N')},
        {true, "D02", 0, QLatin1Char('N'), Refused},  // N before three digits
        {true, "67.0", 0, QLatin1Char('N'), Refused}, // N after a QT tone
        {true, "D023N", 0, BackspaceChar, BackspaceChar},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(c.tone ? FilterToneKey(text, c.selected, c.key)
                         : FilterFrequencyKey(text, c.selected, c.key),
                  c.expected)
            << c.text << " + " << c.key.unicode();
    }
}

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

// At 96 dpi 4200-5200 twips are 280-346.7 px and 200 twips 13.3 px; at 144 dpi 420-520 and 20.
TEST(MemoryMapGesture, HitTest) {
    const struct {
        double dpi;
        int x, y;
        bool right, ctrl, alt, shift;
        bool expected;
    } cases[] = {
        {96, 300, 5, true, true, true, false, true},   // inside
        {96, 280, 5, true, true, true, false, false},  // the left edge itself
        {96, 347, 5, true, true, true, false, false},  // the right edge
        {96, 346, 13, true, true, true, false, true},  // the last pixel
        {96, 300, 14, true, true, true, false, false}, // below 200 twips
        {96, 300, 5, true, true, true, true, false},   // with Shift
        {96, 300, 5, true, true, false, false, false}, // without Alt
        {96, 300, 5, false, true, true, false, false}, // the left button
        {144, 430, 19, true, true, true, false, true}, // inside at a high dpi
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsMemoryMapGesture(QPoint(c.x, c.y), c.dpi, c.dpi, c.right, c.ctrl, c.alt, c.shift),
                  c.expected)
            << c.dpi << " dpi at " << c.x << "," << c.y;
}

// ---- commits on an image ---------------------------------------------------------

class CellCommit : public ::testing::Test {
protected:
    ChannelTexts Shown(int channel) { return ReadChannelForDisplay(image, band, tones, English, channel); }

    // Commits a typed text (a frequency) or a chosen or typed list text (a tone, an option)
    // into the cell of `channel` and `column`, as the grid's editors do.
    CommitOutcome Text(ChannelTexts& cells, int channel, int column, const QString& text) {
        return CommitTextCell(image, band, English, cells, Edit(channel, column, cells), text);
    }
    CommitOutcome List(ChannelTexts& cells, int channel, int column, const QString& text) {
        return CommitListCell(image, English, QStringLiteral("None"), cells, Edit(channel, column, cells),
                              text);
    }

    // Creates a channel through the receive cell of an empty row.
    ChannelTexts Created(int channel, const char* rx) {
        ChannelTexts cells;
        Text(cells, channel, ColRxFreq, QString::fromLatin1(rx));
        return cells;
    }

    static CellEdit Edit(int channel, int column, const ChannelTexts& cells) {
        return {RowOfChannel(channel), column, channel, cells.cells[column]};
    }

    MemoryImage image = test::ErasedImage(0, 0x00);
    BandLimits band = BandOfIndex(0);
    QStringList tones = BuildToneTable(English);
};

TEST_F(CellCommit, TextEqualToTheSavedTextStoresNothing) {
    ChannelTexts cells = Created(0, "146.52");
    const QByteArray before = image.bytes();
    const quint64 revision = image.revision();
    EXPECT_FALSE(Text(cells, 0, ColRxFreq, QStringLiteral("146.52000")).stored);
    EXPECT_FALSE(List(cells, 0, ColScan, QStringLiteral("Add")).stored);
    EXPECT_EQ(image.revision(), revision);
    EXPECT_EQ(image.bytes(), before);
}

TEST_F(CellCommit, FrequencyCorrectedAndStored) {
    const struct {
        int column;
        const char* typed;
        const char* shown;
        bool outOfRange;
    } cases[] = {
        // The band limits themselves are cases of the frequency correction.
        {ColRxFreq, "146.5213", "146.52250", false}, {ColRxFreq, "180", "173.99750", true},
        {ColRxFreq, ".", "136.00000", true},         {ColTxFreq, "146.50625", "146.50625", false},
        {ColTxFreq, "999999999", "173.99750", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ChannelTexts cells = Created(9, "150");
        const QByteArray before = image.line(9);
        const CommitOutcome out = Text(cells, 9, c.column, QString::fromLatin1(c.typed));
        EXPECT_TRUE(out.stored);
        EXPECT_FALSE(out.created);
        EXPECT_EQ(out.outOfRange, c.outOfRange);
        EXPECT_EQ(cells.cells[c.column], QString::fromLatin1(c.shown));
        QByteArray expected = before;
        MemoryImage probe;
        EncodeFrequency(probe, 0, 0, QString::fromLatin1(c.shown));
        expected.replace(c.column == ColRxFreq ? 0 : 4, 4, probe.line(0).left(4));
        EXPECT_EQ(image.line(9), expected) << "only the frequency's four bytes change";
        EXPECT_EQ(Shown(9).cells[c.column], QString::fromLatin1(c.shown));
        ClearChannel(image, 9);
    }
}

TEST_F(CellCommit, EmptyTransmitFrequencyClearsOnlyTheTransmitSide) {
    ChannelTexts cells = Created(2, "146.52");
    List(cells, 2, ColDecode, QStringLiteral("67.0"));
    List(cells, 2, ColEncode, QStringLiteral("D023N"));
    QByteArray expected = image.line(2);
    Text(cells, 2, ColTxFreq, QString());
    EXPECT_TRUE(cells.cells[ColTxFreq].isEmpty());
    EXPECT_TRUE(cells.cells[ColEncode].isEmpty());
    EXPECT_EQ(cells.cells[ColRxFreq], QStringLiteral("146.52000"));
    EXPECT_EQ(cells.cells[ColDecode], QStringLiteral("67.0"));
    expected.replace(4, 4, QByteArray(4, char(0xFF)));
    expected.replace(10, 2, QByteArray(2, char(0xFF)));
    EXPECT_EQ(image.line(2), expected);

    // A transmit frequency given again shows no encode tone and clears byte 15 bit 1.
    image.setByte(2, 15, 0xFF);
    Text(cells, 2, ColTxFreq, QStringLiteral("147"));
    EXPECT_EQ(cells.cells[ColTxFreq], QStringLiteral("147.00000"));
    EXPECT_EQ(cells.cells[ColEncode], QStringLiteral("None"));
    EXPECT_EQ(image.line(2).mid(10, 2), QByteArray(2, char(0xFF)));
    EXPECT_EQ(image.byte(2, 15), 0xFD);
}

TEST_F(CellCommit, ATypedToneOutsideTheTableSnapsOrIsRefused) {
    ChannelTexts cells = Created(3, "146.52");
    List(cells, 3, ColDecode, QStringLiteral("67.0"));
    const QByteArray before = image.line(3);

    CommitOutcome out = List(cells, 3, ColDecode, QStringLiteral("D23"));
    EXPECT_TRUE(out.refused);
    EXPECT_FALSE(out.stored);
    EXPECT_EQ(out.message(English), QStringLiteral("Tone D230N is not in the tone table."));
    EXPECT_EQ(cells.cells[ColDecode], QStringLiteral("67.0")) << "the cell keeps its value";
    EXPECT_EQ(image.line(3), before);

    out = List(cells, 3, ColEncode, QStringLiteral("88"));
    EXPECT_TRUE(out.stored);
    EXPECT_EQ(out.message(Chinese), QStringLiteral("亚音 88 不在亚音表中，已改为 88.5。"));
    EXPECT_EQ(cells.cells[ColEncode], QStringLiteral("88.5"));
    EXPECT_EQ(Shown(3).cells[ColEncode], QStringLiteral("88.5")) << "still shown after a refresh";
}

} // namespace
