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
        app.image.setByte(TopKey, 7); // out of the table
        app.image.setByte(LongPress, 52);
    }
    QByteArray keyBytes() const {
        QByteArray b;
        for (Address a : {Side1Press, Side1Hold, Side2Press, Side2Hold, TopKey, LongPress})
            b.append(char(app.image.byte(a)));
        return b;
    }
};

// The same stored codes open as each language's texts, and OK rewrites what is shown.
TEST_F(FrmKeyTest, OpensWithTheStoredFunctionsAndOkRewritesWhatIsShown) {
    FrmKey form(app, prompter);
    Show(form);
    EXPECT_EQ(form.cboKey1Press->count(), 18);
    EXPECT_EQ(form.cboKey1Hold->count(), 20);
    EXPECT_EQ(form.cboKey1Press->currentIndex(), 3);
    ExpectTexts({{form.cboKey1Press->currentText(), "Scan Skip"},
                 {form.cboKey1Hold->currentText(), "Monitor Momentary"},
                 {form.cboKey2Press->currentText(), "None"},
                 {form.cboKey2Hold->currentText(), "Vox"},
                 {form.cboTopKey->currentText(), "None"},
                 {form.cboLongPress->currentText(), "5.0"}});
    Click(form.cmdOK);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(keyBytes(), QByteArray::fromHex("040300130032"));

    app.language = Chinese;
    FrmKey chinese(app, prompter);
    ExpectTexts({{chinese.windowTitle(), "侧键功能"},
                 {chinese.fraKey2->title(), "侧键功能-2"},
                 {chinese.fraTopKey->title(), "顶键功能"},
                 {chinese.lblKey1Hold->text(), "长按"},
                 {chinese.cboKey1Press->currentText(), "妨害信道临时删除"},
                 {chinese.cboTopKey->currentText(), "无"}});
    Click(chinese.cmdOK);
    EXPECT_EQ(keyBytes(), QByteArray::fromHex("040300130032"));
}

TEST_F(FrmKeyTest, KeyboardChangesAreStoredAsFunctionCodes) {
    FrmKey form(app, prompter);
    Show(form);
    Press(form.cboKey1Press, Qt::Key_Down);    // Scan Skip -> Check Squelch Level (code 5)
    Press(form.cboKey2Press, Qt::Key_Down, 9); // None -> Talk Around, the tenth item (code 11)
    Press(form.cboTopKey, Qt::Key_End);        // Special Alarm
    Press(form.cboLongPress, Qt::Key_Home);    // 0.5
    EXPECT_EQ(form.cboKey2Press->currentText(), QStringLiteral("Talk Around"));
    EXPECT_EQ(keyBytes(), QByteArray::fromHex("040319130734")); // nothing written yet
    Click(form.cmdOK);
    EXPECT_EQ(keyBytes(), QByteArray::fromHex("05030b130405"));
    EXPECT_EQ(recordedStep(), QStringLiteral("Key Assignment"));
}

TEST_F(FrmKeyTest, CancelAfterChangingEveryListWritesNothing) {
    const QByteArray before = app.image.bytes();
    FrmKey form(app, prompter);
    Show(form);
    EndEveryList(&form);
    Click(form.cmdCancel);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(app.image.bytes(), before);
}

TEST_F(FrmKeyTest, ShortPressHoldingAMomentaryFunctionShowsNoneAndStoresZero) {
    app.image.setByte(Side2Press, 10);
    FrmKey form(app, prompter);
    EXPECT_EQ(form.cboKey2Press->currentText(), QStringLiteral("None"));
    Click(form.cmdOK);
    EXPECT_EQ(app.image.byte(Side2Press), 0);
}

} // namespace
