// The main window's read and write commands against the virtual radio on a pseudo-terminal.
#include "link/CloneEngine.h"
#include "shell/MainForm.h"
#include "shell/StatusNote.h"
#include "tests/link/RadioSim.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// A 400-470 MHz radio with a few channels programmed.
QByteArray RadioMemory() {
    QByteArray m = DefaultImageBytes(1);
    const QByteArray channel = Hex("00 25 65 44 00 25 65 44 FF FF FF FF F8 08 70 FF"); // 446.52500
    m.replace(0, 16, channel);
    m.replace(16 * 5, 16, channel);
    m[0x0FD3] = 5;
    return m;
}

class MainFormRadio : public ::testing::Test {
protected:
    void SetUp() override {
        app = StartedApp(dir.filePath(QStringLiteral("s.ini")));
        app.recvInterval = 10;
        app.recvCount = 30;
        store = std::make_unique<SettingsStore>(app.settingsKeyPath, dir.filePath(QStringLiteral("s.ini")));
        window = std::make_unique<MainForm>(app, *store, prompter);
        window->frm1->setRecvInterval(app.recvInterval);
    }
    QTemporaryDir dir;
    AppContext app;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompter prompter;
    std::unique_ptr<MainForm> window;
};

} // namespace

TEST_F(MainFormRadio, ReadTakesTheRadiosBandAndLeavesTheImageUnmodified) {
    RadioSim sim({QStringLiteral("--band-code"), QStringLiteral("2")}, RadioMemory());
    ASSERT_TRUE(sim.started());
    window->frm1->setDevicePath(sim.device());
    window->Dispatch(QStringLiteral("miRead"));
    ASSERT_FALSE(prompter.asked.isEmpty());
    EXPECT_EQ(prompter.asked.first().text, QStringLiteral("Read data from radio.\nDo you wish to continue?"));
    EXPECT_EQ(prompter.asked.last().text, QStringLiteral("Reading Complete!"));
    EXPECT_EQ(app.image.bytes().left(0x0FE0), RadioMemory().left(0x0FE0));
    EXPECT_EQ(app.band.index, 1);
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_FALSE(app.radioReadFlag);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[400-470 MHz] [File Name: Untitled]"));
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Read complete: 400-470 MHz"));

    // Write back an edit: the radio gets it, the image stays modified.
    app.image.setByte(0x0FD3, 2);
    prompter.asked.clear();
    window->Dispatch(QStringLiteral("miWrite"));
    EXPECT_EQ(prompter.asked.first().text, QStringLiteral("Write data to radio.\nDo you wish to continue?"));
    EXPECT_EQ(prompter.asked.last().text, QStringLiteral("Write Successful!"));
    EXPECT_TRUE(app.image.IsImageModified());
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Write complete: 400-470 MHz"));
    EXPECT_EQ(sim.stopAndTakeMemory().at(0x0FD3), 2);
}

TEST_F(MainFormRadio, CancelledConfirmationStartsNoTransfer) {
    RadioSim sim({}, RadioMemory());
    ASSERT_TRUE(sim.started());
    window->frm1->setDevicePath(sim.device());
    prompter.answers << Prompter::Answer::Cancel;
    window->Dispatch(QStringLiteral("miRead"));
    EXPECT_EQ(prompter.asked.size(), 1);
    EXPECT_TRUE(sim.frames().isEmpty());
}

TEST_F(MainFormRadio, TransfersOfTheRadioInformationViewAreNotAnnounced) {
    RadioSim sim({}, RadioMemory());
    ASSERT_TRUE(sim.started());
    CloneEngine& engine = *window->frm1;
    engine.setDevicePath(sim.device());
    app.image.setByte(0x20, 0x33);
    const QByteArray snapshot = app.image.snapshot();
    engine.setDirection(0);
    engine.setTickCountMax(30);
    engine.setStepData(254);
    engine.setStepExit(335);
    engine.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.flagComplete(); }, 20000));
    EXPECT_TRUE(prompter.asked.isEmpty()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(app.image.snapshot(), snapshot) << "the snapshot is not retaken";
}
