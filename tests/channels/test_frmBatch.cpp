// The batch editor on real widgets: texts, defaults, key rules, validation on leaving
// a box, enabling rules, values kept across Close, and Apply into the image.
#include "channels/FrmBatch.h"
#include "core/Frequency.h"
#include "tests/channels/GridFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace kestrel;
using namespace kestrel::test;

namespace {

class FrmBatchTest : public AppFixture {
protected:
    FrmBatch& open() {
        if (!form)
            form = std::make_unique<FrmBatch>(app, prompter);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return *form;
    }

    template <typename W>
    W* find(const char* name) {
        W* w = form->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
    QComboBox* list(const char* name) { return find<QComboBox>(name); }

    // Types into a box that has just received the focus (its text selected).
    void typeInto(QLineEdit* b, const QString& keys) {
        b->setFocus(Qt::TabFocusReason);
        b->selectAll();
        QTest::keyClicks(b, keys);
    }
    void leave(QLineEdit* b) { QTest::keyClick(b, Qt::Key_Tab); }
    // Types into the box and leaves it.
    void enter(const char* name, const char* keys) {
        typeInto(box(name), QString::fromUtf8(keys));
        leave(box(name));
    }
    // On the indicator: option buttons only take clicks on their indicator and text.
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }
    void click(const char* name) { click(find<QAbstractButton>(name)); }

    std::unique_ptr<FrmBatch> form;
};

TEST_F(FrmBatchTest, TextsComeFromTheTableWithColonOrUnitAttached) {
    // A label's or button's text, a list's item, or (no name) the window title.
    const struct {
        const char* name;
        int item;
        const char* english;
        const char* chinese;
    } texts[] = {
        {"", 0, "Batch ChannelEdit", "信道批量编辑"},
        {"lblRx", 0, "RX Freq:", "接收频率:"},
        {"lblRxStart", 0, "Incept Freq(Mhz)", "起始频率(Mhz)"},
        {"optTxStart", 0, "Incept Freq(MHz)", "起始频率(MHz)"},
        {"cboScan", 0, "Add", "添加"},
        {"cboLockout", 0, "Off", "关"},
        {"cboLockout", 2, "QT/DQT", "QT/DQT"},
        {"cboDecode", 0, "None", "无"},
        {"cboDecode", 260, "D754I", "D754I"},
    };
    for (Language l : {English, Chinese}) {
        app.language = l;
        FrmBatch f(app, prompter);
        EXPECT_EQ(f.findChild<QComboBox*>(QStringLiteral("cboDecode"))->count(), 261);
        const auto shown = [&f](const char* name, int item) {
            if (!*name)
                return f.windowTitle();
            QObject* o = f.findChild<QObject*>(QString::fromLatin1(name));
            if (auto* list = qobject_cast<QComboBox*>(o))
                return list->itemText(item);
            if (auto* button = qobject_cast<QAbstractButton*>(o))
                return button->text();
            return qobject_cast<QLabel*>(o)->text();
        };
        for (const auto& t : texts)
            EXPECT_EQ(shown(t.name, t.item), QString::fromUtf8(l == English ? t.english : t.chinese))
                << t.name << " " << t.item;
    }
}

TEST_F(FrmBatchTest, StartsWithDefaultsAndTheirEnablingRules) {
    open();
    EXPECT_EQ(box("txtFirst")->text(), "1");
    EXPECT_EQ(box("txtLast")->text(), "16");
    EXPECT_FALSE(box("txtFirst")->isEnabled());
    EXPECT_EQ(box("txtRxStart")->text(), "136.00000");
    EXPECT_EQ(box("txtOffset")->text(), "0.00000");
    EXPECT_EQ(box("txtTxStart")->text(), "136.00000");
    for (const char* name : {"txtOffset", "txtTxStart", "txtTxStep", "txtEncodeInterval"})
        EXPECT_FALSE(box(name)->isEnabled()) << name;
    EXPECT_FALSE(list("cboEncode")->isEnabled());
    EXPECT_FALSE(find<QCheckBox>("chkEncodeRandom")->isEnabled());
    EXPECT_TRUE(list("cboDecode")->isEnabled());
}

TEST_F(FrmBatchTest, ChannelFieldsClampWrapFollowEachOtherAndAllChannelResetsThem) {
    open();
    click("optFrom");
    QLineEdit* first = box("txtFirst");
    QLineEdit* last = box("txtLast");
    ASSERT_TRUE(first->isEnabled());

    typeInto(first, QStringLiteral("9"));
    EXPECT_EQ(first->text(), "9");
    QTest::keyClicks(first, QStringLiteral("9"));
    EXPECT_EQ(first->text(), "16");
    QTest::keyClicks(first, QStringLiteral("x-."));
    EXPECT_EQ(first->text(), "16");

    typeInto(first, QStringLiteral("1"));
    QTest::keyClick(first, Qt::Key_Up);
    EXPECT_EQ(first->text(), "16");
    QTest::keyClick(first, Qt::Key_Down);
    EXPECT_EQ(first->text(), "1");

    enter("txtFirst", "0");
    EXPECT_EQ(first->text(), "1");

    enter("txtFirst", "12");
    EXPECT_EQ(last->text(), "16");
    enter("txtLast", "5");
    EXPECT_EQ(last->text(), "5");
    EXPECT_EQ(first->text(), "5");

    // All Channel resets and disables the range.
    enter("txtFirst", "3");
    enter("txtLast", "9");
    click("optAll");
    EXPECT_EQ(box("txtFirst")->text(), "1");
    EXPECT_EQ(box("txtLast")->text(), "16");
    EXPECT_FALSE(box("txtFirst")->isEnabled());
    EXPECT_FALSE(box("txtLast")->isEnabled());
}

TEST_F(FrmBatchTest, StepAndIntervalBoxesSnapAndClamp) {
    open();
    struct Case {
        const char* box;
        const char* typed;
        const char* whileTyping; // text right after typing
        const char* afterLeaving;
    };
    const Case cases[] = {
        {"txtRxStep", "7", "7", "7.5"},           {"txtRxStep", "3", "3", "2.5"},
        {"txtRxStep", "12.5", "12.5", "12.5"},    {"txtRxStep", "1", "1", "0"},
        {"txtRxStep", "1000.5", "1000", "1000"},  {"txtRxStep", "6.25a", "6.25", "6.25"},
        {"txtRxStep", "1.245", "1.245", "0"},     {"txtRxStep", "3.745", "3.745", "2.5"}, // snapped once
        {"txtDecodeInterval", "25", "20", "20"},  {"txtDecodeInterval", "7", "7", "7"},
    };
    for (const Case& c : cases) {
        QLineEdit* b = box(c.box);
        typeInto(b, QString::fromLatin1(c.typed));
        EXPECT_EQ(b->text(), QString::fromLatin1(c.whileTyping)) << c.box << " " << c.typed;
        leave(b);
        EXPECT_EQ(b->text(), QString::fromLatin1(c.afterLeaving)) << c.box << " " << c.typed;
    }
    QLineEdit* interval = box("txtDecodeInterval");
    typeInto(interval, QStringLiteral("0"));
    QTest::keyClick(interval, Qt::Key_Up);
    EXPECT_EQ(interval->text(), "20");
    QTest::keyClick(interval, Qt::Key_Down);
    EXPECT_EQ(interval->text(), "0");
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(FrmBatchTest, StartFrequencyOutsideTheBandIsCorrectedWithOneMessage) {
    open();
    QLineEdit* rx = box("txtRxStart");
    typeInto(rx, QStringLiteral("180"));
    QTest::keyClick(rx, Qt::Key_Return); // validates and moves on
    EXPECT_EQ(rx->text(), "173.99750");
    EXPECT_FALSE(rx->hasFocus());
    expectMessage(1, "Frequency is out of range.");

    enter("txtRxStart", "146.5213");
    EXPECT_EQ(rx->text(), "146.52250");
    EXPECT_EQ(prompter.asked.size(), 1);
}

TEST_F(FrmBatchTest, DefaultTransmitModeResetsItsFieldsAndRandomChecksDisableTheToneWalks) {
    open();
    click("optTxOffset");
    QLineEdit* offset = box("txtOffset");
    ASSERT_TRUE(offset->isEnabled());
    EXPECT_FALSE(box("txtTxStart")->isEnabled());
    enter("txtOffset", "0.6");
    EXPECT_EQ(offset->text(), "0.60000");
    click("optMinus");

    click("optTxStart");
    EXPECT_FALSE(offset->isEnabled());
    enter("txtTxStart", "150");
    EXPECT_EQ(box("txtTxStart")->text(), "150.00000");

    click("optTxDefault");
    EXPECT_EQ(offset->text(), "0.00000");
    EXPECT_EQ(box("txtTxStart")->text(), "136.00000");
    EXPECT_TRUE(find<QRadioButton>("optPlus")->isChecked());
    EXPECT_FALSE(offset->isEnabled());
    EXPECT_FALSE(box("txtTxStart")->isEnabled());

    // The random checks disable the fields of their tone walks.
    click("chkDecodeRandom");
    EXPECT_FALSE(list("cboDecode")->isEnabled());
    EXPECT_FALSE(box("txtDecodeInterval")->isEnabled());
    EXPECT_FALSE(find<QRadioButton>("optDecodeDesc")->isEnabled());
    click("chkDecodeRandom");
    EXPECT_TRUE(list("cboDecode")->isEnabled());
    EXPECT_TRUE(box("txtDecodeInterval")->isEnabled());

    click("optEncodeOwn");
    EXPECT_TRUE(list("cboEncode")->isEnabled());
    click("chkEncodeRandom");
    EXPECT_FALSE(list("cboEncode")->isEnabled());
    list("cboEncode")->setCurrentIndex(7);
    click("optEncodeDefault");
    EXPECT_FALSE(find<QCheckBox>("chkEncodeRandom")->isChecked());
    EXPECT_EQ(list("cboEncode")->currentIndex(), 0);
    EXPECT_FALSE(find<QCheckBox>("chkEncodeRandom")->isEnabled());
}

TEST_F(FrmBatchTest, EscapeInABoxDoesNotCloseAndCloseKeepsTheValues) {
    FrmBatch& f = open();
    typeInto(box("txtRxStart"), QStringLiteral("145"));
    QTest::keyClick(box("txtRxStart"), Qt::Key_Escape);
    EXPECT_TRUE(f.isVisible());
    leave(box("txtRxStart"));
    enter("txtRxStep", "12.5");
    list("cboPower")->setCurrentIndex(1);

    click("cmdClose");
    EXPECT_FALSE(f.isVisible());
    open();
    EXPECT_EQ(box("txtRxStart")->text(), "145.00000");
    EXPECT_EQ(box("txtRxStep")->text(), "12.5");
    EXPECT_EQ(list("cboPower")->currentIndex(), 1);
}

TEST_F(FrmBatchTest, ApplyWritesTheImageAndSignalsEvenFromAnOpenBox) {
    FrmBatch& f = open();
    QSignalSpy spy(&f, &FrmBatch::applied);
    click("optFrom");
    enter("txtFirst", "3");
    enter("txtLast", "5");
    enter("txtRxStep", "12.5");
    typeInto(box("txtRxStart"), QStringLiteral("145")); // still being edited
    f.Apply();
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(box("txtRxStart")->text(), "145.00000");
    EXPECT_EQ(DecodeFrequency(app.image, 2, 0), "145.00000");
    EXPECT_EQ(DecodeFrequency(app.image, 4, 4), "145.02500");
    EXPECT_TRUE(app.image.IsImageModified());

    click("cmdApply");
    EXPECT_EQ(spy.count(), 2);
    EXPECT_TRUE(f.isVisible());
}

TEST_F(FrmBatchTest, NameTakesSixCapitalsEnterInListsMovesOnAndFromNamedByChannelToApply) {
    open();
    QLineEdit* name = box("txtName");
    name->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(name, QStringLiteral("ab{1-"));
    EXPECT_EQ(name->text(), "AB1-");
    QTest::keyClicks(name, QStringLiteral("xyz"));
    EXPECT_EQ(name->text(), "AB1-XY");

    auto* scan = list("cboScan");
    scan->setFocus(Qt::TabFocusReason);
    QTest::keyClick(scan, Qt::Key_Return);
    EXPECT_TRUE(list("cboPower")->hasFocus());
    auto* named = find<QCheckBox>("chkNamed");
    named->setFocus(Qt::TabFocusReason);
    QTest::keyClick(named, Qt::Key_Return);
    EXPECT_TRUE(find<QPushButton>("cmdApply")->hasFocus());
}

} // namespace
