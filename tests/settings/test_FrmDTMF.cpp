// The DTMF dialog on real widgets: an erased image, typing codes through the key filter,
// editing the call list, the entries that share the channel memory, and Cancel.
#include "settings/DtmfRules.h"
#include "settings/FrmDTMF.h"
#include "tests/settings/DialogTest.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace kestrel;
using namespace kestrel::test;
using namespace kestrel::DtmfMap;

namespace {

QByteArray Keys(std::initializer_list<int> values, int length) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b + QByteArray(length - b.size(), char(0xFF));
}

class FrmDTMFTest : public DialogTest {
protected:
    QByteArray field(Address a, int length) const { return app.image.bytes().mid(a, length); }
    void erase() {
        for (Address a = SideTone; a <= SharedLast; ++a)
            app.image.setByte(a, 0xFF);
    }
    QPoint cellCentre(FrmDTMF& form, int row) {
        return form.GridDTMF->visualItemRect(form.GridDTMF->item(row, 1)).center();
    }
};

// An erased image opens on the first items and empty codes; typed codes pass the key
// filter and OK stores them.
TEST_F(FrmDTMFTest, ErasedImageOpensAndTypedCodesAreStored) {
    erase();
    FrmDTMF form(app, prompter);
    Show(form);
    const char* const shown[] = {"On", "50", "2550", "A", "Off", "25.5"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form.cboDTMF[i]->currentText(), QString::fromLatin1(shown[i])) << i;
    for (QLineEdit* box : form.txtDTMF)
        EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(form.GridDTMF->rowCount(), 16);
    EXPECT_EQ(form.GridDTMF->item(15, 0)->text(), QStringLiteral("16"));
    EXPECT_FALSE(form.txtInput->isVisible());
    EXPECT_FALSE(form.lblShared->text().isEmpty());
    EXPECT_FALSE(form.GridDTMF->item(8, 1)->toolTip().isEmpty());
    EXPECT_TRUE(form.GridDTMF->item(7, 1)->toolTip().isEmpty());

    Type(Find<QLineEdit>(&form, "txtDTMF2"), QStringLiteral("1.2T*g#a"));           // BOT
    Type(Find<QLineEdit>(&form, "txtDTMF4"), QStringLiteral("1a2b"));               // ANI
    Type(Find<QLineEdit>(&form, "txtDTMF0"), QStringLiteral("0123456789ABCDEF*#")); // stun: 14 keys
    EXPECT_EQ(form.txtDTMF[2]->text(), QStringLiteral("12*#A"));
    EXPECT_EQ(form.txtDTMF[4]->text(), QStringLiteral("12"));
    EXPECT_EQ(form.txtDTMF[0]->text(), QStringLiteral("0123456789ABCD"));

    QComboBox* group = Find<QComboBox>(&form, "cboDTMF4");
    Press(group, Qt::Key_End); // "#"
    QTest::keyClick(group, Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());

    EXPECT_EQ(field(Bot, BotLength), QByteArray(BotLength, char(0xFF))); // nothing before OK
    Click(Find<QPushButton>(&form, "Command10"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(field(Bot, BotLength), Keys({1, 2, 14, 15, 10}, BotLength));
    EXPECT_EQ(field(Ani, AniLength), Keys({1, 2}, AniLength));
    EXPECT_EQ(field(Stun, StunLength), Keys({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, StunLength));
    EXPECT_EQ(app.image.byte(GroupCode), 15);
    EXPECT_EQ(app.image.byte(TxTime), 5); // the erased byte corrected to 50 ms
    EXPECT_TRUE(prompter.asked.isEmpty());

    FrmDTMF again(app, prompter);
    EXPECT_EQ(again.txtDTMF[2]->text(), QStringLiteral("12*#A"));
}

// Esc puts back a code box's text, pasted text keeps only keys, and Cancel after
// edits writes nothing.
TEST_F(FrmDTMFTest, EscapePasteAndCancelAfterEdits) {
    erase();
    app.image.setByte(Kill, 7);
    const QByteArray before = app.image.bytes();
    FrmDTMF form(app, prompter);
    Show(form);
    QLineEdit* kill = form.txtDTMF[1];
    Type(kill, QStringLiteral("99"));
    EXPECT_EQ(kill->text(), QStringLiteral("99")); // the whole text was selected on entry
    QTest::keyClick(kill, Qt::Key_Escape);
    EXPECT_EQ(kill->text(), QStringLiteral("7"));
    EXPECT_TRUE(form.isVisible());

    QApplication::clipboard()->setText(QStringLiteral("1.2 Tg#x"));
    kill->end(false);
    QTest::keyClick(kill, Qt::Key_V, Qt::ControlModifier);
    kill->insert(QStringLiteral("e.4")); // however text arrives, only keys stay
    EXPECT_EQ(kill->text(), QStringLiteral("712#4"));

    Type(form.txtDTMF[3], QStringLiteral("123"));
    Press(form.cboDTMF[2], Qt::Key_End);
    form.BeginEdit(12, QStringLiteral("9"));
    Click(Find<QPushButton>(&form, "Command11"));
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(app.image.bytes(), before);
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(FrmDTMFTest, CallListCellEditorWritesItsCell) {
    erase();
    FrmDTMF form(app, prompter);
    Show(form);
    QWidget* viewport = form.GridDTMF->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, cellCentre(form, 1));
    ASSERT_TRUE(form.txtInput->isVisible());
    EXPECT_EQ(form.GridDTMF->currentRow(), 1);
    QTest::keyClicks(form.txtInput, QStringLiteral("12.aTg*"));
    EXPECT_EQ(form.txtInput->text(), QStringLiteral("12A*"));
    QTest::keyClick(form.txtInput, Qt::Key_Return);
    EXPECT_FALSE(form.txtInput->isVisible());
    EXPECT_EQ(form.GridDTMF->item(1, 1)->text(), QStringLiteral("12A*"));

    // A digit typed in the grid begins editing with that digit; Esc restores the old text.
    QTest::keyClick(form.GridDTMF, Qt::Key_5);
    ASSERT_TRUE(form.txtInput->isVisible());
    EXPECT_EQ(form.txtInput->text(), QStringLiteral("5"));
    QTest::keyClick(form.txtInput, Qt::Key_Escape);
    EXPECT_EQ(form.txtInput->text(), QStringLiteral("12A*"));
    QTest::keyClick(form.txtInput, Qt::Key_Return);

    // Enter in the grid edits the current cell; leaving the editor commits it.
    form.GridDTMF->setCurrentCell(3, 1);
    QTest::keyClick(form.GridDTMF, Qt::Key_Return);
    ASSERT_TRUE(form.txtInput->isVisible());
    QTest::keyClicks(form.txtInput, QStringLiteral("#0"));
    Click(form.Command1[0]);
    EXPECT_EQ(field(CallEntry(1), CallEntryLength), Keys({1, 2, 10, 14}, CallEntryLength));
    EXPECT_EQ(field(CallEntry(3), CallEntryLength), Keys({15, 0}, CallEntryLength));
    EXPECT_EQ(recordedStep(), QStringLiteral("DTMF"));
}

TEST_F(FrmDTMFTest, OkWithoutEditsLeavesTheChannelMemoryUnchanged) {
    // The default image keeps channel bookkeeping in 0x0E10-0x0E5F; give it values that
    // also read as keys, as a radio's image may.
    app.image.setByte(0x0E18, 0x02);
    app.image.setByte(0x0E20, 0x07);
    app.image.setByte(0x0E40, 0x05);
    app.image.TakeImageSnapshot();
    const QByteArray shared = field(SharedFirst, SharedLast - SharedFirst + 1);
    FrmDTMF form(app, prompter);
    Show(form);
    Click(form.Command1[0]);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(field(SharedFirst, SharedLast - SharedFirst + 1), shared);
}

TEST_F(FrmDTMFTest, ChangingASharedEntryAsksFirstAndWritesOnlyWhenConfirmed) {
    app.image.setByte(0x0E18, 0x02);
    const QByteArray before = app.image.bytes();
    FrmDTMF form(app, prompter);
    Show(form);
    form.BeginEdit(8);
    QTest::keyClicks(form.txtInput, QStringLiteral("77"));
    QTest::keyClick(form.txtInput, Qt::Key_Return);

    prompter.answers = {Prompter::Answer::Cancel};
    Click(form.Command1[0]);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].title, app.productName);
    EXPECT_EQ(prompter.asked[0].buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(prompter.asked[0].defaultAnswer, Prompter::Answer::Cancel);
    EXPECT_TRUE(form.isVisible()); // the user may undo the entry or cancel
    EXPECT_EQ(app.image.bytes(), before);

    prompter.answers = {Prompter::Answer::Ok};
    Click(form.Command1[0]);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(field(CallEntry(8), CallEntryLength), Keys({7, 7}, CallEntryLength));
    EXPECT_EQ(app.image.byte(0x0E18), 0xFF); // the user agreed to overwrite it
    EXPECT_EQ(field(CallEntry(9), 6 * CallEntryLength), before.mid(CallEntry(9), 6 * CallEntryLength));
}

TEST_F(FrmDTMFTest, ChineseTexts) {
    app.language = Chinese;
    FrmDTMF form(app, prompter);
    ExpectTexts({{form.windowTitle(), "DTMF"},
                 {form.lblDTMF[10]->text(), "ANI码"},
                 {form.Command1[0]->text(), "确定(&O)"},
                 {form.cboDTMF[4]->itemText(0), "关"}});
    app.language = English;
    FrmDTMF english(app, prompter);
    EXPECT_EQ(english.Command1[0]->text(), QStringLiteral("&Ok"));
    EXPECT_EQ(english.Command1[1]->text(), QStringLiteral("&Cancel"));
}

} // namespace
