// Memory map texts, the address box, Enter movement and key filters; the model type byte.
#include "settings/MemoryMapModel.h"
#include "settings/MemoryMapRules.h"
#include "settings/ModelInfoRules.h"

#include "core/ChannelRecord.h"

#include <gtest/gtest.h>

using namespace kestrel;

namespace {

TEST(MemoryMapRules, LabelsAndCellTexts) {
    EXPECT_EQ(CellText(0x0A), QStringLiteral("0A"));
    EXPECT_EQ(AddressText(MapCell{0x01F, 0xA}), QStringLiteral("01FA"));
    EXPECT_EQ(LineLabel(0x1FF), QStringLiteral("1FF"));
}

TEST(MemoryMapRules, EditorTextIsCompletedBeforeItGoesIntoTheCell) {
    struct Case {
        const char* typed;
        const char* cell;
        int value;
    };
    const Case cases[] = {{"", "FF", 255}, {"7", "07", 7}, {"3C", "3C", 60}, {"F", "0F", 15}, {"A0", "A0", 160}};
    for (const Case& c : cases) {
        EXPECT_EQ(CompleteCellText(QString::fromLatin1(c.typed)), QString::fromLatin1(c.cell)) << c.typed;
        EXPECT_EQ(CellValue(QString::fromLatin1(c.typed)), c.value) << c.typed;
    }
    for (int b = 0; b < 256; ++b)
        ASSERT_EQ(CellValue(CellText(quint8(b))), b);
}

TEST(MemoryMapRules, AddressBoxTextIsPaddedAndKeptInsideTheImage) {
    struct Case {
        const char* typed;
        const char* shown;
        int line, position;
    };
    const Case cases[] = {{"3C", "003C", 0x003, 0xC}, {"", "0000", 0, 0},       {"5000", "1FFF", 0x1FF, 0xF},
                          {"1FFF", "1FFF", 0x1FF, 0xF}, {"2000", "1FFF", 0x1FF, 0xF}, {"01FA", "01FA", 0x01F, 0xA},
                          {"7", "0007", 0, 7},           {"FFFFFFFFFFFFFFFFFFFFFF", "1FFF", 0x1FF, 0xF}};
    for (const Case& c : cases) {
        const QString shown = NormalizeAddressText(QString::fromLatin1(c.typed));
        EXPECT_EQ(shown, QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(AddressCell(shown), (MapCell{c.line, c.position})) << c.typed;
    }
}

TEST(MemoryMapRules, EnterMovesRightAndWrapsOnlyBelowLine7F) {
    struct Case {
        MapCell from, to;
    };
    const Case cases[] = {{{0, 0}, {0, 1}},         {{0, 14}, {0, 15}},       {{0, 15}, {1, 0}},
                          {{0x07E, 15}, {0x07F, 0}}, {{0x07F, 15}, {0x07F, 15}}, {{0x07F, 3}, {0x07F, 4}},
                          {{0x100, 15}, {0x100, 15}}, {{0x1FF, 15}, {0x1FF, 15}}};
    for (const Case& c : cases)
        EXPECT_EQ(NextCellAfterEnter(c.from), c.to) << c.from.line << "," << c.from.position;
}

TEST(MemoryMapRules, KeyFilters) {
    EXPECT_EQ(FilterCellKey(u'a', 0, false), QChar(u'A'));
    EXPECT_EQ(FilterCellKey(u'9', 1, false), QChar(u'9'));
    EXPECT_FALSE(FilterCellKey(u'1', 2, false));
    EXPECT_EQ(FilterCellKey(u'1', 2, true), QChar(u'1'));
    EXPECT_FALSE(FilterCellKey(u'G', 0, false));
    EXPECT_FALSE(FilterCellKey(u' ', 0, false));
    EXPECT_EQ(FilterAddressKey(u'f'), QChar(u'F'));
    EXPECT_FALSE(FilterAddressKey(u'x'));
    EXPECT_EQ(GridStartKey(u'c'), QChar(u'C'));
    EXPECT_FALSE(GridStartKey(u'-'));
    EXPECT_EQ(HexDigitsOnly(QStringLiteral("3c-zZ 1")), QStringLiteral("3C1"));
}

TEST(MemoryMapModel, StoringUnchangedCellsLeavesTheImageUnmodified) {
    MemoryImage image;
    for (Address a = 0; a < ImageSize; ++a)
        image.setByte(a, quint8(a ^ (a >> 8)));
    image.TakeImageSnapshot();
    MemoryMapModel model;
    model.load(image);
    EXPECT_EQ(model.rowCount() + 1, MemoryMapGrid::Rows);
    EXPECT_EQ(model.columnCount() + 1, MemoryMapGrid::Columns);
    EXPECT_EQ(model.headerData(10, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("A"));
    EXPECT_EQ(model.headerData(0x1FF, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("1FF"));
    model.store(image);
    EXPECT_FALSE(image.IsImageModified());
    model.setCellText(MapCell{0x1FF, 15}, QStringLiteral("5A"));
    model.store(image);
    EXPECT_EQ(image.byte(0x1FFF), 0x5A);
}

// Which typed records the channel grid will empty after OK: only changed records of
// the shown group that hold no valid channel, and only when something is lost.
TEST(MemoryMapRules, RecordsTheGridWillClear) {
    MemoryImage before; // every record empty, group 1 shown
    before.setBytes(QByteArray(ImageSize, char(0xFF)));
    before.setByte(ShownGroupByte, 0);
    CreateChannel(before, 1, 2, QStringLiteral("146.52500"));
    struct Case {
        const char* name;
        QList<std::pair<Address, quint8>> typed;
        QList<int> rows;
    } cases[] = {
        {"a byte in an empty record", {{0x0003, 0x14}}, {1}},
        {"a valid frequency in an empty record", {{0x20, 0x00}, {0x21, 0x25}, {0x22, 0x65}, {0x23, 0x14}}, {}},
        {"a valid channel moved out of the band", {{0x0013, 0x44}}, {2}},
        {"another byte of a valid channel", {{0x001C, 0x00}}, {}},
        {"several records", {{0x0005, 0x00}, {0x0020, 0x12}, {0x00F0, 0x99}}, {1, 3, 16}},
        {"a record of a group not shown", {{0x0100, 0x12}}, {}},
        {"a receive frequency erased", {{0x0010, 0xFF}, {0x0011, 0xFF}, {0x0012, 0xFF}, {0x0013, 0xFF}}, {}},
        {"erased, with a byte typed", {{0x0010, 0xFF}, {0x0011, 0xFF}, {0x0012, 0xFF}, {0x0013, 0xFF}, {0x001F, 1}},
         {2}},
        {"bytes outside the records", {{0x0E20, 0x01}, {0x0FD3, 0x07}}, {}},
        {"another group shown and typed into", {{ShownGroupByte, 1}, {0x0105, 0x00}}, {1}},
    };
    for (const Case& c : cases) {
        MemoryImage after = before;
        for (const auto& [address, value] : c.typed)
            after.setByte(address, value);
        EXPECT_EQ(RowsTheGridWillClear(before, after, BandOfIndex(0)), c.rows) << c.name;
    }
    EXPECT_EQ(ClearedChannelsText({1, 3}, English),
              QStringLiteral("Channels 1, 3 are not valid in this band and will be cleared."));
    EXPECT_EQ(ClearedChannelsText({4}, English),
              QStringLiteral("Channel 4 is not valid in this band and will be cleared."));
    EXPECT_EQ(ClearedChannelsText({1, 3}, Chinese), QString::fromUtf8("信道 1、3 在此频段无效，将被清除。"));
}

TEST(ModelInfoRules, OnlyTheVhfByteSelectsTheFirstItem) {
    struct Case {
        int byte;
        int position;
    };
    for (const Case c : {Case{0x56, 0}, Case{0x55, 1}, Case{0x00, 1}, Case{0xFF, 1}, Case{0x76, 1}}) {
        MemoryImage image;
        image.setByte(ModelInfoMap::ModelType, quint8(c.byte));
        EXPECT_EQ(ModelTypePosition(image), c.position) << c.byte;
    }
    EXPECT_EQ(ModelTypeByte(0), 0x56);
    EXPECT_EQ(ModelTypeByte(1), 0x55);
    EXPECT_EQ(ModelTypeItems(), QStringList({"136 - 174 MHz", "400 - 470 MHz"}));
}

} // namespace
