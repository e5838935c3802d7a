// The radio information view against the virtual radio on a pseudo-terminal:
// the background read, the service function's write, a band mismatch, failures,
// closing during a transfer and the text boxes' keys.
#include "link/frmEmbMsg.h"

#include "core/Settings.h"
#include "link/CloneEngine.h"
#include "link/CloneProtocol.h"
#include "link/EmbMsgText.h"
#include "tests/link/RadioSim.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace kestrel;
using kestrel::test::RadioSim;
using kestrel::test::ScriptedPrompter;

namespace {

const QString Reading = QStringLiteral("Reading ESN \u2026");
const QString Writing = QStringLiteral("Writing ESN \u2026");

QByteArray RadioMemory() {
    QByteArray memory = test::PatternImage(9);
    memory.replace(LineAddress(embmsg::EsnLine), LineSize, embmsg::TextLine(QStringLiteral("ESN-0042")));
    memory.replace(LineAddress(embmsg::HardwareLine), LineSize, embmsg::TextLine(QStringLiteral("HW V2.3")));
    return memory;
}

QStringList SimOptions(const QStringList& more = {}) {
    return QStringList{"--version", "2.5", "3.10"} + more;
}

// Types characters QTest cannot (it sends Latin-1 keys only): one key press with
// the character as its text, as a keyboard layout for the language gives.
void TypeText(QWidget* box, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &release);
    }
}

// A phrase an input method composed, committed at once.
void CommitText(QWidget* box, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
}

class FrmEmbMsgTest : public ::testing::Test {
protected:
    void start(const QStringList& simOptions = SimOptions()) {
        sim = std::make_unique<RadioSim>(simOptions, RadioMemory());
        ASSERT_TRUE(sim->started()) << "the virtual radio did not start";
        engine->setDevicePath(sim->device());
    }
    void SetUp() override {
        app = test::StartedApp(dir.filePath(QStringLiteral("settings.ini")));
        app.band = BandOfIndex(0);
        engine = std::make_unique<CloneEngine>(app, prompter);
        exits = std::make_unique<QSignalSpy>(engine.get(), &CloneEngine::CloneExit);
    }
    void TearDown() override {
        engine.reset(); // before the radio goes
        sim.reset();
    }
    bool waitIdle(int ms = 10000) {
        return QTest::qWaitFor([&] { return engine->flagComplete(); }, ms);
    }
    // Opens the view and waits for its read to finish.
    std::unique_ptr<frmEmbMsg> openRead() {
        auto view = std::make_unique<frmEmbMsg>(*engine, app, prompter);
        view->show();
        EXPECT_TRUE(waitIdle());
        return view;
    }
    void pressAltK(frmEmbMsg& view) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &view;
        QTest::keyClick(target, Qt::Key_K, Qt::AltModifier);
    }
    bool waitForFrames(int count) {
        return QTest::qWaitFor([&] { return sim->frames().size() >= count; }, 5000);
    }

    QTemporaryDir dir;
    AppContext app;
    ScriptedPrompter prompter;
    std::unique_ptr<CloneEngine> engine;
    std::unique_ptr<QSignalSpy> exits;
    std::unique_ptr<RadioSim> sim;
};

struct WriteCase {
    Language language;
    const char* title;
    const char* labels[3];
    const char* write;
    const char* close;
    const char* done;
    QStringList simOptions; // beside the versions
};

class FrmEmbMsgWriteTest : public FrmEmbMsgTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(FrmEmbMsgWriteTest, ServiceWriteSendsTheTwoLinesAfterTheHandshake) {
    app.language = GetParam().language;
    start(SimOptions(GetParam().simOptions));
    if (GetParam().simOptions.contains(QLatin1String("--pace")))
        engine->setRecvInterval(DefaultRecvInterval);
    auto view = openRead();
    EXPECT_EQ(view->txtMsg[0]->text(), QStringLiteral("ESN-0042"));
    EXPECT_EQ(view->txtMsg[2]->text(), QStringLiteral("HW V2.3"));
    EXPECT_EQ(view->windowTitle(), QString::fromUtf8(GetParam().title));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(view->lblMsg[i]->text(), QString::fromUtf8(GetParam().labels[i]));
    EXPECT_EQ(view->cmdWrite->text(), QString::fromUtf8(GetParam().write));
    EXPECT_EQ(view->cmdClose->text(), QString::fromUtf8(GetParam().close));
    ASSERT_TRUE(waitForFrames(5));
    const int before = sim->frames().size();

    pressAltK(*view);
    ASSERT_TRUE(view->serviceMode());
    ASSERT_EQ(QApplication::focusWidget(), view->txtMsg[0]);
    QTest::keyClicks(view->txtMsg[0], QStringLiteral("AB")); // focus selected all: typing replaces
    view->txtMsg[2]->setFocus();
    const QString hardware = QStringLiteral("HW-0123456789-XYZW"); // 18 characters
    QTest::keyClicks(view->txtMsg[2], hardware);
    ASSERT_EQ(view->txtMsg[0]->text(), QStringLiteral("AB"));
    ASSERT_EQ(view->txtMsg[2]->text(), hardware);

    QTest::mouseClick(view->cmdWrite, Qt::LeftButton);
    EXPECT_EQ(view->lblStatus->text(), Writing);
    // Stored before the transfer starts.
    EXPECT_EQ(app.image.line(embmsg::EsnLine), embmsg::TextLine(QStringLiteral("AB")));
    EXPECT_EQ(app.image.line(embmsg::HardwareLine), QByteArray("HW-0123456789-XY"));
    EXPECT_EQ(app.radioVersion[1], hardware);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(view->lblStatus->text(), QString::fromUtf8(GetParam().done));
    EXPECT_TRUE(prompter.asked.isEmpty());

    ASSERT_TRUE(waitForFrames(before + 5));
    const QByteArray esnLine = test::Hex("41 42 FF FF FF FF FF FF FF FF FF FF FF FF FF FF");
    const QList<QByteArray> expected{
        test::HandshakeFrame(), test::IdentifyFrame(), test::Hex("57 0F E0 10") + esnLine,
        test::Hex("57 14 F0 10") + QByteArray("HW-0123456789-XY"), test::EndFrame()};
    EXPECT_EQ(sim->frames().mid(before), expected);
    const QByteArray radio = sim->stopAndTakeMemory();
    EXPECT_EQ(radio.mid(LineAddress(embmsg::EsnLine), LineSize), esnLine);
    EXPECT_EQ(radio.mid(0, LineAddress(embmsg::EsnLine)), RadioMemory().mid(0, LineAddress(embmsg::EsnLine)));
}

// clang-format off
const WriteCase WriteCases[] = {
    {English, "Embedded Message", {"ESN", "Firmware Version", "Hardware Version"}, "&Write", "&Close", "Write Successful!", {}},
    {Chinese, "嵌入信息", {"ESN", "固件版本", "硬件版本"}, "写入(&W)", "退出(&C)", "写入成功！", {}},
    // A one-wire cable echoes every frame; the radio answers 60 ms later, after several receive ticks.
    {English, "Embedded Message", {"ESN", "Firmware Version", "Hardware Version"}, "&Write", "&Close", "Write Successful!",
     {"--pace", "--echo", "--turnaround", "60"}}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Languages, FrmEmbMsgWriteTest, ::testing::ValuesIn(WriteCases));

TEST_F(FrmEmbMsgTest, BandMismatchWritesNothing) {
    start(SimOptions({"--band-code", "2"})); // a 400-470 MHz radio
    auto view = openRead();
    // Reading goes on whatever the band.
    EXPECT_EQ(view->txtMsg[0]->text(), QStringLiteral("ESN-0042"));
    ASSERT_TRUE(waitForFrames(5));
    const int before = sim->frames().size();

    pressAltK(*view);
    view->txtMsg[0]->setText(QStringLiteral("NEW"));
    QTest::mouseClick(view->cmdWrite, Qt::LeftButton);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(engine->outcome(), CloneEngine::Outcome::BandMismatch);
    EXPECT_EQ(prompter.texts(), QStringList{clone::BandMismatchText(English)});
    EXPECT_EQ(exits->count(), 1); // only the read's
    EXPECT_EQ(view->lblStatus->text(), Writing);
    EXPECT_TRUE(view->cmdWrite->isEnabled());
    QTest::qWait(100);
    const QList<QByteArray> sent = sim->frames().mid(before);
    EXPECT_EQ(sent, (QList<QByteArray>{test::HandshakeFrame(), test::IdentifyFrame()}));
    EXPECT_EQ(sim->stopAndTakeMemory(), RadioMemory());
}

TEST_F(FrmEmbMsgTest, ClosingDuringTheReadStopsItQuietly) {
    start(SimOptions({"--turnaround", "300"}));
    auto view = std::make_unique<frmEmbMsg>(*engine, app, prompter);
    view->show();
    QTest::qWait(50);
    ASSERT_FALSE(engine->flagComplete());
    QTest::mouseClick(view->cmdClose, Qt::LeftButton);
    EXPECT_FALSE(view->isVisible());
    EXPECT_TRUE(engine->flagComplete());
    EXPECT_EQ(engine->outcome(), CloneEngine::Outcome::Cancelled);
    EXPECT_EQ(view->lblStatus->text(), Reading);
    QTest::qWait(800); // the radio's late replies arrive at a closed port
    EXPECT_EQ(exits->count(), 0);
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(view->lblStatus->text(), Reading);
    // The port is free again.
    QSerialPort port;
    port.setPortName(sim->device());
    EXPECT_TRUE(port.open(QIODevice::ReadWrite)) << qPrintable(port.errorString());
}

// The two lines read when the view opens are the radio's, not edits: they go into
// the saved-state copy as well, and nothing else does. A closed view no longer
// follows the engine.
TEST_F(FrmEmbMsgTest, ReadingTheRadioIsNoEditAndAClosedViewIsLeftAlone) {
    start();
    app.image.TakeImageSnapshot();
    openRead()->close();
    EXPECT_EQ(app.image.line(embmsg::EsnLine), RadioMemory().mid(LineAddress(embmsg::EsnLine), LineSize));
    EXPECT_FALSE(app.image.IsImageModified());

    app.image.setByte(0x20, quint8(app.image.byte(0x20) ^ 0xFF)); // an edit of the user's stays one
    const QByteArray snapshot = app.image.snapshot();
    auto view = openRead();
    view->close();
    EXPECT_TRUE(app.image.IsImageModified());
    EXPECT_EQ(app.image.snapshot(), snapshot);
    view->txtMsg[0]->setText(QStringLiteral("kept"));
    view->lblStatus->setText(QStringLiteral("kept"));
    // A transfer someone else starts afterwards.
    engine->setDirection(clone::Read);
    engine->setStepData(embmsg::EsnLine);
    engine->setStepExit(embmsg::HardwareLine);
    ASSERT_TRUE(engine->Start());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(exits->count(), 3);
    EXPECT_EQ(view->txtMsg[0]->text(), QStringLiteral("kept"));
    EXPECT_EQ(view->lblStatus->text(), QStringLiteral("kept"));
}

TEST_F(FrmEmbMsgTest, SilentRadioShowsConnectionFailAndKeepsTheTexts) {
    start(SimOptions({"--ignore-handshakes", "1000"}));
    engine->setRecvInterval(2);
    QSignalSpy errors(engine.get(), &CloneEngine::CloneError);
    prompter.answers = {Prompter::Answer::Cancel};
    auto view = openRead();
    EXPECT_EQ(errors.count(), 1);
    EXPECT_EQ(view->lblStatus->text(), QStringLiteral("Connection Fail!"));
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].buttons, Prompter::Buttons::RetryCancel);
    EXPECT_EQ(view->txtMsg[0]->text(), QString());
    EXPECT_EQ(view->txtMsg[1]->text(), QStringLiteral("1.0.0"));
    EXPECT_EQ(view->txtMsg[2]->text(), QStringLiteral("1.0.0"));
}

// The engine's exclamation box is the message; the status line stays as it was.
TEST_F(FrmEmbMsgTest, PortThatCannotOpenLeavesTheStatusLineAsItWas) {
    engine->setDevicePath(dir.filePath(QStringLiteral("no-such-device")));
    frmEmbMsg view(*engine, app, prompter);
    EXPECT_TRUE(engine->flagComplete());
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(view.lblStatus->text(), QString());

    view.show();
    QTest::keyClick(&view, Qt::Key_K, Qt::AltModifier);
    ASSERT_TRUE(view.cmdWrite->isEnabled());
    view.lblStatus->setText(QStringLiteral("before"));
    QTest::mouseClick(view.cmdWrite, Qt::LeftButton);
    EXPECT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(view.lblStatus->text(), QStringLiteral("before"));
    EXPECT_TRUE(view.cmdWrite->isEnabled());
}

// Opening reads ESN, firmware and hardware from the radio in the background. Alt+K
// during the read shows Write, but it cannot be used until the read has ended: the
// boxes do not hold the radio's texts yet.
TEST_F(FrmEmbMsgTest, OpeningReadsTheRadioAndWriteWaitsForTheRead) {
    start(SimOptions({"--turnaround", "300"}));
    const QByteArray before = app.image.bytes();
    frmEmbMsg view(*engine, app, prompter);
    view.show();
    EXPECT_FALSE(engine->flagComplete());
    EXPECT_EQ(view.lblStatus->text(), Reading);
    EXPECT_EQ(view.txtMsg[1]->text(), QStringLiteral("1.0.0"));
    EXPECT_EQ(view.txtMsg[2]->text(), QStringLiteral("1.0.0"));
    EXPECT_FALSE(view.cmdWrite->isVisible());
    EXPECT_EQ(engine->tickCountMax(), 50);
    for (QLineEdit* box : view.txtMsg)
        EXPECT_TRUE(box->isReadOnly());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    pressAltK(view);
    ASSERT_TRUE(view.cmdWrite->isVisible());
    EXPECT_FALSE(view.cmdWrite->isEnabled());
    QTest::mouseClick(view.cmdWrite, Qt::LeftButton);
    QTest::keyClick(&view, Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(view.lblStatus->text(), Reading);
    EXPECT_EQ(app.image.bytes(), before);

    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(exits->count(), 1);
    EXPECT_TRUE(view.cmdWrite->isEnabled());
    EXPECT_EQ(view.lblStatus->text(), QString());
    EXPECT_EQ(view.txtMsg[0]->text(), QStringLiteral("ESN-0042"));
    EXPECT_EQ(view.txtMsg[1]->text(), QStringLiteral("2.5"));
    EXPECT_EQ(view.txtMsg[2]->text(), QStringLiteral("HW V2.3"));
    EXPECT_EQ(app.radioVersion[0], QStringLiteral("2.5"));
    EXPECT_EQ(app.radioVersion[1], QStringLiteral("HW V2.3"));
    EXPECT_TRUE(prompter.asked.isEmpty());
    ASSERT_TRUE(waitForFrames(5));
    EXPECT_EQ(sim->frames(),
              (QList<QByteArray>{test::HandshakeFrame(), test::IdentifyFrame(), test::Hex("52 0F E0 10"),
                                 test::Hex("52 14 F0 10"), test::EndFrame()}))
        << "nothing was written";

    QTest::mouseClick(view.cmdWrite, Qt::LeftButton);
    EXPECT_FALSE(view.cmdWrite->isEnabled()) << "not twice at once";
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(view.cmdWrite->isEnabled());
    EXPECT_EQ(sim->stopAndTakeMemory().mid(LineAddress(embmsg::EsnLine), LineSize),
              RadioMemory().mid(LineAddress(embmsg::EsnLine), LineSize));
}

TEST_F(FrmEmbMsgTest, AltKOpensTheServiceFunctionOnceAndItsBoxesKeys) {
    start();
    auto view = openRead();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    const int width = view->width();
    const int closeX = view->cmdClose->x();
    const int frameWidth = view->fraMsg->width();
    const int grow = view->cmdWrite->width();
    // Read-only boxes ignore typing.
    view->txtMsg[0]->setFocus();
    QTest::keyClicks(view->txtMsg[0], QStringLiteral("zz"));
    EXPECT_EQ(view->txtMsg[0]->text(), QStringLiteral("ESN-0042"));

    pressAltK(*view);
    EXPECT_TRUE(view->cmdWrite->isVisible());
    EXPECT_FALSE(view->txtMsg[0]->isReadOnly());
    EXPECT_TRUE(view->txtMsg[1]->isReadOnly());
    EXPECT_FALSE(view->txtMsg[2]->isReadOnly());
    EXPECT_EQ(view->width(), width + grow);
    EXPECT_EQ(view->fraMsg->width(), frameWidth + grow);
    EXPECT_EQ(view->cmdClose->x(), closeX + grow / 2);
    EXPECT_LE(view->cmdWrite->geometry().right(), view->cmdClose->x());
    EXPECT_GE(view->cmdWrite->x(), 0);
    EXPECT_EQ(QApplication::focusWidget(), view->txtMsg[0]);
    EXPECT_EQ(view->txtMsg[0]->text(), QStringLiteral("ESN-0042")); // no "k" typed

    pressAltK(*view);
    EXPECT_EQ(view->width(), width + grow);
    EXPECT_EQ(view->cmdClose->x(), closeX + grow / 2);
    EXPECT_EQ(view->txtMsg[0]->text(), QStringLiteral("ESN-0042"));
    // Boxes select all on focus; Enter moves on, Escape restores.
    view->txtMsg[1]->setFocus();
    view->txtMsg[0]->setFocus();
    QLineEdit* esn = view->txtMsg[0];
    EXPECT_EQ(esn->selectedText(), QStringLiteral("ESN-0042"));
    QTest::keyClicks(esn, QStringLiteral("XY"));
    EXPECT_EQ(esn->text(), QStringLiteral("XY"));
    QTest::keyClick(esn, Qt::Key_Escape);
    EXPECT_EQ(esn->text(), QStringLiteral("ESN-0042"));
    EXPECT_TRUE(view->isVisible()); // Escape in a box does not close the view
    QTest::keyClick(esn, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), view->txtMsg[1]);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->txtMsg[1]->selectedText(), QStringLiteral("2.5"));
    QTest::keyClick(view->txtMsg[1], Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(QApplication::focusWidget(), view->txtMsg[2]);
    // Characters that do not fit one byte are refused with a reason.
    for (int i : {0, 2}) {
        QLineEdit* box = view->txtMsg[i];
        box->setFocus();
        box->clear();
        TypeText(box, QStringLiteral("A\u4E2DB"));
        EXPECT_EQ(box->text(), QStringLiteral("AB")) << i;
        EXPECT_TRUE(view->lblStatus->text().contains(QStringLiteral("\u4E2D"))) << i;
        view->lblStatus->clear();
        CommitText(box, QStringLiteral("\u4E2D\u6587"));
        EXPECT_EQ(box->text(), QStringLiteral("AB")) << i;
        EXPECT_TRUE(view->lblStatus->text().contains(QStringLiteral("\u4E2D\u6587"))) << i;
        // Pasted text keeps its storable characters.
        QApplication::clipboard()->setText(QStringLiteral("\u00E91\u6587\u00FF2"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), QStringLiteral("AB\u00E912")) << i;
        EXPECT_TRUE(view->lblStatus->text().contains(QStringLiteral("\u6587"))) << i;
    }
    QTest::mouseClick(view->cmdWrite, Qt::LeftButton);
    EXPECT_EQ(app.image.line(embmsg::EsnLine), test::Hex("41 42 E9 31 32 FF FF FF FF FF FF FF FF FF FF FF"));
    ASSERT_TRUE(waitIdle());
}

} // namespace
