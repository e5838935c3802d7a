// One history for the document, on the main window driven by keys and the mouse: steps
// of the grid, the batch editor, the settings dialogs, New, the band selector and Read,
// taken back and put again byte for byte; bytes changed outside the history stay.
#include "channels/FrmBatch.h"
#include "link/EmbMsgText.h"
#include "link/frmEmbMsg.h"
#include "settings/frmOptFeatures.h"
#include "shell/CommandTips.h"
#include "shell/EditCommands.h"
#include "shell/UndoHistory.h"
#include "tests/link/RadioSim.h"
#include "tests/shell/MainWindowFixture.h"

#include <QComboBox>

using namespace kestrel;
using namespace kestrel::test;

namespace {

class UndoTest : public MainWindowTest {
protected:
    UndoTest() : MainWindowTest(QuickRadio | Shown) {}

    frmChannel* channels() const { return window->channelEditor; }
    QTableWidget* grid() const { return channels()->ChannelGrid; }
    // Keys go to the grid, as the user's would; the window's shortcuts need it active
    // again after a dialog.
    void key(int k, Qt::KeyboardModifiers mods) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key(k), mods);
    }
    void undo() { key(Qt::Key_Z, Qt::ControlModifier); }
    QString undoText() const { return CaptionWithoutAccessKey(entry("miUndo")->text()); }
    QString redoText() const { return CaptionWithoutAccessKey(entry("miRedo")->text()); }
};

QByteArray Lines(const QByteArray& image, int line) {
    return image.mid(LineAddress(line), LineSize);
}

} // namespace

TEST_F(UndoTest, FourStepsTakenBackAndPutAgainByteForByte) {
    const QByteArray start = app.image.bytes();
    EXPECT_FALSE(entry("miUndo")->isEnabled());
    EXPECT_EQ(undoText(), QStringLiteral("Undo"));

    // 1. a frequency typed into the grid
    clickCell(1, ColRxFreq);
    QTest::keyClicks(channels()->txtMemChannel, QStringLiteral("146.52"));
    QTest::keyClick(channels()->txtMemChannel, Qt::Key_Return);
    EXPECT_EQ(undoText(), QStringLiteral("Undo Edit Channel 1"));

    // 2. three rows pasted
    QApplication::clipboard()->setText(QString::fromUtf8("147\t\t67.0\r\n148\r\n149\t\t\t\t窄\r\n"));
    clickCell(5, ColRxFreq);
    channels()->TransferFocus();
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(undoText(), QStringLiteral("Undo Paste 3 Channels"));

    // The radio information view reads the identification lines: outside the history.
    RadioSim sim({}, PatternImage(9));
    ASSERT_TRUE(attach(sim));
    {
        frmEmbMsg info(*window->frm1, app, prompter, window.get());
        info.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->frm1->flagComplete(); }, 20000));
    }
    const QByteArray esn = Lines(PatternImage(9), embmsg::EsnLine);
    ASSERT_EQ(Lines(app.image.bytes(), embmsg::EsnLine), esn);
    EXPECT_EQ(undoText(), QStringLiteral("Undo Paste 3 Channels"));

    // 3. batch Apply; 4. OK in the optional features
    withDialog<FrmBatch>("miBatch", [](FrmBatch& batch) {
        QTest::mouseClick(batch.findChild<QPushButton*>(QStringLiteral("cmdApply")), Qt::LeftButton);
        QTest::mouseClick(batch.findChild<QPushButton*>(QStringLiteral("cmdClose")), Qt::LeftButton);
    });
    withDialog<frmOptFeatures>("miCommonSet", [](frmOptFeatures& options) {
        options.cboFeatureGen[0]->setFocus();
        QTest::keyClick(options.cboFeatureGen[0], Qt::Key_Down);
        QTest::mouseClick(options.cmdOK, Qt::LeftButton);
    });
    EXPECT_EQ(undoText(), QStringLiteral("Undo Optional Features"));
    const QByteArray end = app.image.bytes();
    ASSERT_NE(end, start);

    for (int i = 0; i < 4; ++i)
        undo();
    QByteArray expected = start;
    expected.replace(LineAddress(embmsg::EsnLine), LineSize, esn);
    expected.replace(LineAddress(embmsg::HardwareLine), LineSize,
                     Lines(PatternImage(9), embmsg::HardwareLine));
    EXPECT_EQ(app.image.bytes(), expected) << "the identification lines read in between stay";
    EXPECT_FALSE(entry("miUndo")->isEnabled());
    EXPECT_EQ(redoText(), QStringLiteral("Redo Edit Channel 1"));
    EXPECT_TRUE(grid()->item(0, ColRxFreq)->text().isEmpty()) << "the grid shows the image undone";

    for (int i = 0; i < 2; ++i) { // redo by both keys
        key(Qt::Key_Y, Qt::ControlModifier);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
    EXPECT_EQ(app.image.bytes(), end);
    EXPECT_FALSE(entry("miRedo")->isEnabled());

    // The modified state follows the bytes: saved here, undone is modified, redone is not.
    prompter.saveNames << path("saved.dat");
    run("miSave");
    ASSERT_FALSE(app.image.IsImageModified());
    undo();
    EXPECT_TRUE(app.image.IsImageModified());
    run("miRedo");
    EXPECT_FALSE(app.image.IsImageModified());

    run("miChinese");
    EXPECT_EQ(undoText(), QStringLiteral("撤销 可选功能"));
    EXPECT_EQ(window->editCommands->channelPanel()->text(), QStringLiteral("信道 5"));
}

TEST_F(UndoTest, ReadBandChangeNewAndOpenOfTheHistory) {
    // A read from the radio is one step.
    const QByteArray radio = WithChannels(DefaultImageBytes(0), {0}, "00 25 65 14");
    RadioSim sim({}, radio);
    ASSERT_TRUE(attach(sim));
    const QByteArray before = app.image.bytes();
    run("miRead");
    const QByteArray read = app.image.bytes();
    ASSERT_EQ(read.left(16), radio.left(16));
    EXPECT_EQ(undoText(), QStringLiteral("Undo Read from Radio"));
    run("miUndo");
    EXPECT_EQ(app.image.bytes(), before);
    EXPECT_TRUE(app.image.IsImageModified());
    run("miRedo");
    EXPECT_EQ(app.image.bytes(), read);
    EXPECT_FALSE(app.image.IsImageModified());

    channels()->CboGroup->setCurrentIndex(2);
    EXPECT_EQ(window->editCommands->channelPanel()->text(), QStringLiteral("Channel 33"));
    channels()->CboGroup->setCurrentIndex(0);
    const QByteArray start = app.image.bytes();
    channels()->cboGenFreq->setCurrentIndex(1);
    ASSERT_EQ(app.band.index, 1);
    EXPECT_EQ(undoText(), QStringLiteral("Undo Band 400-470 MHz"));
    run("miUndo");
    EXPECT_EQ(app.image.bytes(), start);
    EXPECT_EQ(app.band.index, 0);
    EXPECT_EQ(channels()->bandSelectorText(), QStringLiteral("136-174"));
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("[136-174 MHz]")));
    run("miRedo");
    EXPECT_EQ(app.band.index, 1);
    EXPECT_EQ(channels()->bandSelectorText(), QStringLiteral("400-470"));

    // New, after "Clear All Data!" and OK, is a step too.
    StoreChannelField(app.image, 16, ColRxFreq, QStringLiteral("450.00000"), English);
    const QByteArray edited = app.image.bytes();
    prompter.answers << Answer::Ok;
    run("miNew");
    EXPECT_EQ(undoText(), QStringLiteral("Undo New"));
    run("miUndo");
    EXPECT_EQ(app.image.bytes().left(0x800), edited.left(0x800));

    // Open starts a new, empty history.
    prompter.answers << Answer::No;
    prompter.openNames << fileWith("a.dat", DefaultImageBytes(2));
    run("miOpen");
    EXPECT_EQ(window->editCommands->history().count(), 0);
    EXPECT_FALSE(entry("miUndo")->isEnabled());
    EXPECT_FALSE(entry("miRedo")->isEnabled());
}

TEST_F(UndoTest, KeepsAtLeast200Steps) {
    for (int i = 0; i < 300; ++i) {
        const RecordedStep step(app.changes, app.image, StepOf({"Edit", "编辑"}));
        app.image.setByte(0x0D00 + i % 0x100, quint8(i + 1));
    }
    UndoHistory& history = window->editCommands->history();
    EXPECT_GE(history.count(), 200);
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(history.canUndo()) << i;
}
