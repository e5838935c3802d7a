// Memory map texts, the address box, Enter movement and key filters; the model type byte.
#include "settings/MemoryMapModel.h"
#include "settings/MemoryMapRules.h"
#include "settings/ModelInfoRules.h"

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
