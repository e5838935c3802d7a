// The optional features dialog on real widgets: corrected loading, VOX enabling, Enter
// moving on, OK storing the bytes and Cancel writing nothing.
#include "settings/OptFeaturesRules.h"
#include "settings/frmOptFeatures.h"
#include "tests/settings/DialogTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace kestrel;
using namespace kestrel::test;
using namespace kestrel::OptFeaturesMap;

namespace {

class FrmOptFeaturesTest : public DialogTest {
protected:
    void fill(quint8 value) {
        for (Address a : {Flags, Squelch, TimeOut, VoxGain, VoxDelay, ToneBurst})
            app.image.setByte(a, value);
    }
};

TEST_F(FrmOptFeaturesTest, ErasedBytesOpenCorrectedAndOkStoresTheShownPositions) {
    fill(0xFF);
    frmOptFeatures form(app, prompter);
    Show(form);
    const char* const gen[] = {"60", "3", "On", nullptr, nullptr, "TO", nullptr, "On", "Chinese", "1750Hz"};
    for (int i = 0; i < 10; ++i) {
        if (gen[i]) {
            EXPECT_EQ(form.cboFeatureGen[i]->currentText(), QString::fromLatin1(gen[i])) << i;
        }
    }
    EXPECT_FALSE(Find<QCheckBox>(&form, "ChkSet19")->isChecked());
    ExpectTexts({{form.cboFeatureVox[2]->currentText(), "On"},
                 {form.cboFeatureVox[0]->currentText(), "1"},
                 {form.cboFeatureVox[1]->currentText(), "0.3"}});
    EXPECT_TRUE(form.cboFeatureVox[0]->isEnabled());
    EXPECT_TRUE(form.cboFeatureVox[1]->isEnabled());
    EXPECT_EQ(app.image.byte(Flags), 0xFF); // nothing written before OK

    Click(Find<QPushButton>(&form, "cmdOK"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    for (auto [a, value] :
         {std::pair{Flags, 0xE3}, {TimeOut, 2}, {Squelch, 3}, {VoxGain, 0}, {VoxDelay, 0}, {ToneBurst, 0}})
        EXPECT_EQ(app.image.byte(a), value) << a;
    EXPECT_EQ(recordedStep(), QStringLiteral("Optional Features"));
}

TEST_F(FrmOptFeaturesTest, VoxOffDisablesGainAndDelayButTheirValuesAreStored) {
    app.image.setByte(Flags, 0x02); // VOX on, reset prohibited
    app.image.setByte(VoxGain, 4);
    app.image.setByte(VoxDelay, 5);
    frmOptFeatures form(app, prompter);
    Show(form);
    QComboBox* vox = Find<QComboBox>(&form, "cboFeatureVox2");
    EXPECT_TRUE(Find<QCheckBox>(&form, "ChkSet19")->isChecked());
    Press(vox, Qt::Key_Up);
    EXPECT_EQ(vox->currentIndex(), 0);
    EXPECT_FALSE(Find<QComboBox>(&form, "cboFeatureVox0")->isEnabled());
    EXPECT_FALSE(Find<QComboBox>(&form, "cboFeatureVox1")->isEnabled());

    // Enter in a selector moves the focus on instead of closing the dialog.
    QTest::keyClick(vox, Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(QApplication::focusWidget(), vox);

    QCheckBox* reset = Find<QCheckBox>(&form, "ChkSet19");
    QTest::mouseClick(reset, Qt::LeftButton, {}, QPoint(8, reset->height() / 2));
    Click(form.cmdOK);
    EXPECT_EQ(app.image.byte(Flags), 0x01); // VOX off, reset allowed
    EXPECT_EQ(app.image.byte(VoxGain), 4);
    EXPECT_EQ(app.image.byte(VoxDelay), 5);
}

TEST_F(FrmOptFeaturesTest, CancelAfterChangesWritesNothing) {
    const QByteArray before = app.image.bytes();
    frmOptFeatures form(app, prompter);
    Show(form);
    EndEveryList(&form);
    QTest::mouseClick(form.ChkSet19, Qt::LeftButton, {}, QPoint(8, form.ChkSet19->height() / 2));
    ASSERT_FALSE(LoadOptFeatures(app.image) == form.values());
    Click(Find<QPushButton>(&form, "cmdCancel"));
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(app.image.bytes(), before);
    EXPECT_FALSE(app.image.IsImageModified());
}

TEST_F(FrmOptFeaturesTest, ChineseTexts) {
    app.language = Chinese;
    frmOptFeatures form(app, prompter);
    ExpectTexts({{form.windowTitle(), "可选功能"},
                 {form.fraGenFunction->title(), "整机功能设置"},
                 {form.cboFeatureGen[0]->itemText(0), "关"},
                 {form.ChkSet19->text(), "Reset Prohibition"},
                 {form.lblFeatureGen[9]->text(), "TBST Frequency"},
                 {form.cmdOK->text(), "确定(&O)"}});
}

} // namespace
