// The model information dialog: the shown position, the warning before a change is
// written, and OK without a change leaving the byte alone.
#include "settings/ModelInfoRules.h"
#include "settings/frmModelInfo.h"
#include "tests/settings/DialogTest.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace kestrel;
using namespace kestrel::test;
using ModelInfoMap::ModelType;

namespace {

class FrmModelInfoTest : public DialogTest {};

TEST_F(FrmModelInfoTest, UnknownByteShowsTheSecondItemAndOkWithoutChangeKeepsIt) {
    for (int stored : {0x00, 0xFF, 0x55}) {
        app.image.setByte(ModelType, quint8(stored));
        app.image.TakeImageSnapshot();
        frmModelInfo form(app, prompter);
        Show(form);
        EXPECT_EQ(form.cboModelType->currentIndex(), 1) << stored;
        EXPECT_EQ(form.cboModelType->currentText(), QStringLiteral("400 - 470 MHz"));
        Click(Find<QPushButton>(&form, "cmdOK"));
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(app.image.byte(ModelType), stored);
        EXPECT_FALSE(app.image.IsImageModified());
    }
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(FrmModelInfoTest, ChangeIsWrittenOnlyWhenTheWarningIsConfirmed) {
    struct Case {
        Prompter::Answer answer;
        int written;
    };
    for (const Case c : {Case{Prompter::Answer::Cancel, 0x55}, Case{Prompter::Answer::Ok, 0x56}}) {
        app.image.setByte(ModelType, 0x55);
        app.image.TakeImageSnapshot();
        prompter.asked.clear();
        steps.clear();
        prompter.answers = {c.answer};
        frmModelInfo form(app, prompter);
        Show(form);
        Press(Find<QComboBox>(&form, "cboModelType"), Qt::Key_Up);
        EXPECT_EQ(app.image.byte(ModelType), 0x55); // nothing before OK
        Click(form.cmdOK);
        EXPECT_FALSE(form.isVisible()); // closed in either case
        ASSERT_EQ(prompter.asked.size(), 1);
        const auto& asked = prompter.asked[0];
        EXPECT_EQ(asked.title, QStringLiteral("Warning"));
        EXPECT_EQ(asked.text, QStringLiteral("Frequency data will be cleared."));
        EXPECT_EQ(asked.icon, Prompter::Icon::Exclamation);
        EXPECT_EQ(asked.buttons, Prompter::Buttons::OkCancel);
        EXPECT_EQ(asked.defaultAnswer, Prompter::Answer::Cancel);
        EXPECT_EQ(app.image.byte(ModelType), c.written);
        EXPECT_EQ(app.image.IsImageModified(), c.written == 0x56);
        EXPECT_EQ(steps.size(), c.written == 0x56 ? 1 : 0);
    }
}

TEST_F(FrmModelInfoTest, CancelWritesNothingAndTextsFollowTheLanguage) {
    app.language = Chinese;
    app.image.setByte(ModelType, 0x56);
    const QByteArray before = app.image.bytes();
    frmModelInfo form(app, prompter);
    Show(form);
    ExpectTexts({{form.windowTitle(), "机型信息"},
                 {form.lblModelType->text(), "机型类型"},
                 {form.cmdCancel->text(), "取消(&C)"}});
    EXPECT_EQ(form.cboModelType->currentIndex(), 0);
    Press(form.cboModelType, Qt::Key_Down);
    Click(form.cmdCancel);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(app.image.bytes(), before);
    EXPECT_TRUE(prompter.asked.isEmpty());
}

} // namespace
