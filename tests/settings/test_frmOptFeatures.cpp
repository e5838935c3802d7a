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
    auto gen = [&](int i) { return form.cboFeatureGen[i]->currentText(); };
    EXPECT_EQ(gen(0), QStringLiteral("60"));
    EXPECT_EQ(gen(1), QStringLiteral("3"));
    EXPECT_EQ(gen(2), QStringLiteral("On"));
    EXPECT_EQ(gen(5), QStringLiteral("TO"));
    EXPECT_EQ(gen(7), QStringLiteral("On"));
    EXPECT_EQ(gen(8), QStringLiteral("Chinese"));
    EXPECT_EQ(gen(9), QStringLiteral("1750Hz"));
    EXPECT_FALSE(Find<QCheckBox>(&form, "ChkSet19")->isChecked());
    EXPECT_EQ(form.cboFeatureVox[2]->currentText(), QStringLiteral("On"));
    EXPECT_EQ(form.cboFeatureVox[0]->currentText(), QStringLiteral("1"));
    EXPECT_EQ(form.cboFeatureVox[1]->currentText(), QStringLiteral("0.3"));
    EXPECT_TRUE(form.cboFeatureVox[0]->isEnabled());
    EXPECT_TRUE(form.cboFeatureVox[1]->isEnabled());
    EXPECT_EQ(app.image.byte(Flags), 0xFF); // nothing written before OK

    Click(Find<QPushButton>(&form, "cmdOK"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(app.image.byte(Flags), 0xE3);
    EXPECT_EQ(app.image.byte(TimeOut), 2);
    EXPECT_EQ(app.image.byte(Squelch), 3);
    EXPECT_EQ(app.image.byte(VoxGain), 0);
    EXPECT_EQ(app.image.byte(VoxDelay), 0);
    EXPECT_EQ(app.image.byte(ToneBurst), 0);
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
    vox->setFocus();
    QTest::keyClick(vox, Qt::Key_Up);
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
    for (QComboBox* list : form.findChildren<QComboBox*>()) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_End);
    }
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
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("可选功能"));
    EXPECT_EQ(form.fraGenFunction->title(), QString::fromUtf8("整机功能设置"));
    EXPECT_EQ(form.cboFeatureGen[0]->itemText(0), QString::fromUtf8("关"));
    EXPECT_EQ(form.ChkSet19->text(), QStringLiteral("Reset Prohibition"));
    EXPECT_EQ(form.lblFeatureGen[9]->text(), QStringLiteral("TBST Frequency"));
    EXPECT_EQ(form.cmdOK->text(), QString::fromUtf8("确定(&O)"));
}

} // namespace
