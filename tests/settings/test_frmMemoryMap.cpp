// The memory map dialog on real widgets: the grid, the cell editor's keys and Enter
// rules, the address box, OK writing every cell and Cancel writing nothing.
#include "settings/MemoryMapRules.h"
#include "settings/frmMemoryMap.h"
#include "tests/settings/DialogTest.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

using namespace kestrel;
using namespace kestrel::test;

namespace {

class FrmMemoryMapTest : public DialogTest {
protected:
    QString cell(frmMemoryMap& form, int line, int position) {
        return form.cells().cellText(MapCell{line, position});
    }
    void go(frmMemoryMap& form, int line, int position) {
        form.msgMemory->setFocus();
        form.msgMemory->setCurrentIndex(form.cells().indexOf(MapCell{line, position}));
    }
    // Types an address into the box as a user would and presses Enter.
    void jump(frmMemoryMap& form, const QString& address) {
        Type(form.TxtAddr, address);
        QTest::keyClick(form.TxtAddr, Qt::Key_Return);
    }
};

TEST_F(FrmMemoryMapTest, OpensOnTheFirstCellAndOkWithoutEditsLeavesTheImageUnmodified) {
    app.image.setByte(0x0000, 0xFF);
    app.image.setByte(0x01FA, 0x3C);
    app.image.TakeImageSnapshot();
    const QByteArray before = app.image.bytes();
    frmMemoryMap form(app, prompter);
    Show(form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Memory Map"));
    EXPECT_EQ(form.msgMemory->model()->rowCount() + 1, 513);
    EXPECT_EQ(form.msgMemory->model()->columnCount() + 1, 17);
    EXPECT_EQ(form.TxtAddr->text(), QStringLiteral("0000"));
    EXPECT_EQ(form.LblValue->text(), QStringLiteral("255"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("="));
    EXPECT_FALSE(form.txtMemory->isVisible());
    go(form, 0x01F, 0xA);
    EXPECT_EQ(form.TxtAddr->text(), QStringLiteral("01FA"));
    EXPECT_EQ(form.LblValue->text(), QStringLiteral("60"));
    Click(Find<QPushButton>(&form, "cmdOK"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(app.image.bytes(), before);
    EXPECT_FALSE(app.image.IsImageModified());
}

TEST_F(FrmMemoryMapTest, TypedDigitsGoThroughTheEditorAndEnterMovesRight) {
    frmMemoryMap form(app, prompter);
    Show(form);
    go(form, 0, 0);
    QTest::keyClick(form.msgMemory, Qt::Key_7);
    ASSERT_TRUE(form.txtMemory->isVisible());
    EXPECT_EQ(form.txtMemory->text(), QStringLiteral("7"));
    QTest::keyClick(form.txtMemory, Qt::Key_Return);
    EXPECT_FALSE(form.txtMemory->isVisible());
    EXPECT_EQ(cell(form, 0, 0), QStringLiteral("07"));
    EXPECT_EQ(form.currentCell(), (MapCell{0, 1}));

    // Lower case becomes capitals, a third digit is refused, other keys are ignored.
    QTest::keyClick(form.msgMemory, Qt::Key_A);
    QTest::keyClicks(form.txtMemory, QStringLiteral("g-b9"));
    EXPECT_EQ(form.txtMemory->text(), QStringLiteral("AB"));
    QTest::keyClick(form.txtMemory, Qt::Key_Return);
    EXPECT_EQ(cell(form, 0, 1), QStringLiteral("AB"));

    // Enter opens the current cell with its text selected; clearing it and leaving stores FF.
    QTest::keyClick(form.msgMemory, Qt::Key_Return);
    ASSERT_TRUE(form.txtMemory->isVisible());
    EXPECT_TRUE(form.txtMemory->hasSelectedText());
    QTest::keyClick(form.txtMemory, Qt::Key_Backspace);
    EXPECT_TRUE(form.txtMemory->text().isEmpty());
    form.msgMemory->setFocus(); // the editor loses the focus
    EXPECT_FALSE(form.txtMemory->isVisible());
    EXPECT_EQ(cell(form, 0, 2), QStringLiteral("FF"));

    // Esc gives the cell back its digits.
    const QString old = cell(form, 0, 3);
    go(form, 0, 3);
    QTest::keyClick(form.msgMemory, Qt::Key_1);
    QTest::keyClick(form.txtMemory, Qt::Key_Escape);
    EXPECT_FALSE(form.txtMemory->isVisible());
    EXPECT_EQ(cell(form, 0, 3), old);

    prompter.answers << Prompter::Answer::Ok; // channel 1 now holds no valid channel
    Click(form.cmdOK);
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Channel 1 is not valid in this band and will be cleared.")});
    EXPECT_EQ(app.image.byte(0x0000), 0x07);
    EXPECT_EQ(app.image.byte(0x0001), 0xAB);
    EXPECT_EQ(app.image.byte(0x0002), 0xFF);
    EXPECT_EQ(app.image.byte(0x0003), quint8(old.toInt(nullptr, 16)));
    EXPECT_EQ(recordedStep(), QStringLiteral("Memory Map"));
}

// Where the cell editor opens, closes and goes: scrolling under it, a mouse release
// over the current cell, Enter in the last column, the address box.
TEST_F(FrmMemoryMapTest, CellEditorOpensMovesAndCancels) {
    frmMemoryMap form(app, prompter);
    Show(form);
    // Scrolling under an open editor cancels the edit.
    const QString old = cell(form, 0, 0);
    form.BeginEdit(MapCell{0, 0}, QStringLiteral("9"));
    form.msgMemory->verticalScrollBar()->setValue(40);
    EXPECT_FALSE(form.txtMemory->isVisible());
    EXPECT_EQ(cell(form, 0, 0), old);
    form.msgMemory->verticalScrollBar()->setValue(0);

    const QModelIndex target = form.cells().indexOf(MapCell{2, 5});
    const QPoint centre = form.msgMemory->visualRect(target).center();
    QTest::mouseClick(form.msgMemory->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(form.currentCell(), (MapCell{2, 5}));
    ASSERT_TRUE(form.txtMemory->isVisible());
    EXPECT_EQ(form.txtMemory->geometry(), form.msgMemory->visualRect(target));
    EXPECT_EQ(form.txtMemory->text(), cell(form, 2, 5));
    QTest::keyClick(form.txtMemory, Qt::Key_Escape);

    // Enter in the last column wraps only below line 7F.
    struct Case {
        MapCell from, to;
    };
    for (const Case c :
         {Case{{0x07E, 15}, {0x07F, 0}}, Case{{0x07F, 15}, {0x07F, 15}}, Case{{0x1FF, 15}, {0x1FF, 15}}}) {
        form.BeginEdit(c.from, QStringLiteral("5"));
        QTest::keyClick(form.txtMemory, Qt::Key_Return);
        EXPECT_EQ(cell(form, c.from.line, c.from.position), QStringLiteral("05"));
        EXPECT_EQ(form.currentCell(), c.to) << c.from.line;
    }

    // The address box jumps to the cell and begins editing it.
    jump(form, QStringLiteral("3c"));
    EXPECT_EQ(form.TxtAddr->text(), QStringLiteral("003C"));
    EXPECT_EQ(form.currentCell(), (MapCell{0x003, 0xC}));
    ASSERT_TRUE(form.txtMemory->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), form.txtMemory);
    QTest::keyClicks(form.txtMemory, QStringLiteral("42"));
    QTest::keyClick(form.txtMemory, Qt::Key_Return);
    EXPECT_EQ(cell(form, 0x003, 0xC), QStringLiteral("42"));

    jump(form, QStringLiteral("5000"));
    EXPECT_EQ(form.TxtAddr->text(), QStringLiteral("1FFF"));
    EXPECT_EQ(form.currentCell(), (MapCell{0x1FF, 0xF}));
    EXPECT_TRUE(form.txtMemory->isVisible());
    QTest::keyClick(form.txtMemory, Qt::Key_Escape);

    // Letters outside hexadecimal never reach the box; Esc puts back its text.
    Type(form.TxtAddr, QStringLiteral("xyz1"));
    EXPECT_EQ(form.TxtAddr->text(), QStringLiteral("1"));
    QTest::keyClick(form.TxtAddr, Qt::Key_Escape);
    EXPECT_EQ(form.TxtAddr->text(), QStringLiteral("1FFF"));
}

// Bytes typed into records of the shown group that the channel grid will empty:
// OK says so first; Cancel goes back to the map with nothing written.
TEST_F(FrmMemoryMapTest, OkWarnsBeforeTheGridClearsTypedChannels) {
    for (Language language : {English, Chinese}) {
        app.language = language;
        prompter.asked.clear();
        const QByteArray before = app.image.bytes();
        frmMemoryMap form(app, prompter);
        Show(form);
        for (int line : {0, 2, 0x20}) { // rows 1 and 3 of group 1; a record of group 3
            form.BeginEdit(MapCell{line, 12}, QStringLiteral("0"));
            QTest::keyClick(form.txtMemory, Qt::Key_Return);
        }
        prompter.answers = {Prompter::Answer::Cancel};
        Click(form.cmdOK);
        ASSERT_EQ(prompter.asked.size(), 1);
        EXPECT_EQ(prompter.asked[0].text, ClearedChannelsText({1, 3}, language));
        EXPECT_EQ(prompter.asked[0].buttons, Prompter::Buttons::OkCancel);
        EXPECT_EQ(prompter.asked[0].icon, Prompter::Icon::Question);
        EXPECT_TRUE(form.isVisible()) << "back to the map";
        EXPECT_EQ(app.image.bytes(), before);
        EXPECT_EQ(form.cells().cellText(MapCell{2, 12}), QStringLiteral("00")) << "the typed bytes are kept";

        prompter.answers = {Prompter::Answer::Ok};
        Click(form.cmdOK);
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(app.image.byte(0x002C), 0x00);
        EXPECT_EQ(app.image.byte(0x020C), 0x00);
        app.image.setBytes(before);
    }
}

TEST_F(FrmMemoryMapTest, CancelAfterEditsWritesNothing) {
    const QByteArray before = app.image.bytes();
    frmMemoryMap form(app, prompter);
    Show(form);
    for (int line : {0, 0x100, 0x1FF}) {
        form.BeginEdit(MapCell{line, 4}, QStringLiteral("E"));
        QTest::keyClick(form.txtMemory, Qt::Key_Return);
    }
    form.BeginEdit(MapCell{5, 5}, QStringLiteral("1")); // still open
    Click(Find<QPushButton>(&form, "cmdCancel"));
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(app.image.bytes(), before);
}

} // namespace
