// The key assignment dialog on real widgets: what opens, keyboard changes stored on OK,
// Cancel writing nothing, and the same codes in both languages.
#include "settings/FrmKey.h"
#include "settings/KeyRules.h"
#include "tests/settings/DialogTest.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace kestrel;
using namespace kestrel::test;
using namespace kestrel::KeyMap;

namespace {

class FrmKeyTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        app.image.setByte(Side1Press, 4);  // Scan Skip
        app.image.setByte(Side1Hold, 3);   // Monitor Momentary
        app.image.setByte(Side2Press, 25); // out of the table
        app.image.setByte(Side2Hold, 19);
        app.image.setByte(TopKey, 7);      // out of the table
        app.image.setByte(LongPress, 52);
    }
    QByteArray keyBytes() const {
        QByteArray b;
        for (Address a : {Side1Press, Side1Hold, Side2Press, Side2Hold, TopKey, LongPress})
            b.append(char(app.image.byte(a)));
        return b;
    }
};

TEST_F(FrmKeyTest, OpensWithTheStoredFunctionsAndOkRewritesWhatIsShown) {
    FrmKey form(app, prompter);
    Show(form);
    EXPECT_EQ(form.cboKey1Press->count(), 18);
    EXPECT_EQ(form.cboKey1Hold->count(), 20);
    EXPECT_EQ(form.cboKey1Press->currentIndex(), 3);
    EXPECT_EQ(form.cboKey1Press->currentText(), QStringLiteral("Scan Skip"));
    EXPECT_EQ(form.cboKey1Hold->currentText(), QStringLiteral("Monitor Momentary"));
    EXPECT_EQ(form.cboKey2Press->currentText(), QStringLiteral("None"));
    EXPECT_EQ(form.cboKey2Hold->currentText(), QStringLiteral("Vox"));
    EXPECT_EQ(form.cboTopKey->currentText(), QStringLiteral("None"));
    EXPECT_EQ(form.cboLongPress->currentText(), QStringLiteral("5.0"));
    Click(form.cmdOK);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(keyBytes(), QByteArray::fromHex("040300130032"));
}

TEST_F(FrmKeyTest, KeyboardChangesAreStoredAsFunctionCodes) {
    FrmKey form(app, prompter);
    Show(form);
    form.cboKey1Press->setFocus();
    QTest::keyClick(form.cboKey1Press, Qt::Key_Down); // Scan Skip -> Check Squelch Level (code 5)
    form.cboKey2Press->setFocus();
    for (int i = 0; i < 9; ++i) // None -> Talk Around, the tenth item (code 11)
        QTest::keyClick(form.cboKey2Press, Qt::Key_Down);
    form.cboTopKey->setFocus();
    QTest::keyClick(form.cboTopKey, Qt::Key_End); // Special Alarm
    form.cboLongPress->setFocus();
    QTest::keyClick(form.cboLongPress, Qt::Key_Home); // 0.5
    EXPECT_EQ(form.cboKey2Press->currentText(), QStringLiteral("Talk Around"));
    EXPECT_EQ(keyBytes(), QByteArray::fromHex("04031913" "0734")); // nothing written yet
    Click(form.cmdOK);
    EXPECT_EQ(keyBytes(), QByteArray::fromHex("05030b130405"));
    EXPECT_EQ(recordedStep(), QStringLiteral("Key Assignment"));
}

TEST_F(FrmKeyTest, CancelAfterChangingEveryListWritesNothing) {
    const QByteArray before = app.image.bytes();
    FrmKey form(app, prompter);
    Show(form);
    for (QComboBox* list : form.findChildren<QComboBox*>()) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_End);
    }
    Click(form.cmdCancel);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(app.image.bytes(), before);
}

TEST_F(FrmKeyTest, ChineseShowsOtherTextsForTheSameCodes) {
    app.language = Chinese;
    FrmKey form(app, prompter);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("侧键功能"));
    EXPECT_EQ(form.fraKey2->title(), QString::fromUtf8("侧键功能-2"));
    EXPECT_EQ(form.fraTopKey->title(), QString::fromUtf8("顶键功能"));
    EXPECT_EQ(form.lblKey1Hold->text(), QString::fromUtf8("长按"));
    EXPECT_EQ(form.cboKey1Press->currentText(), QString::fromUtf8("妨害信道临时删除"));
    EXPECT_EQ(form.cboTopKey->currentText(), QString::fromUtf8("无"));
    Click(form.cmdOK);
    EXPECT_EQ(keyBytes(), QByteArray::fromHex("040300130032"));
}

TEST_F(FrmKeyTest, ShortPressHoldingAMomentaryFunctionShowsNoneAndStoresZero) {
    app.image.setByte(Side2Press, 10);
    FrmKey form(app, prompter);
    EXPECT_EQ(form.cboKey2Press->currentText(), QStringLiteral("None"));
    Click(form.cmdOK);
    EXPECT_EQ(app.image.byte(Side2Press), 0);
}

} // namespace
