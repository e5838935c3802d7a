// The main window's read and write commands against the virtual radio on a pseudo-terminal.
#include "tests/link/RadioSim.h"
#include "tests/shell/MainWindowFixture.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// A 400-470 MHz radio with a few channels programmed.
QByteArray RadioMemory() {
    QByteArray m = WithChannels(DefaultImageBytes(1), {0, 5}, "00 25 65 44"); // 446.52500
    m[0x0FD3] = 5;
    return m;
}

class MainFormRadio : public MainWindowTest {
protected:
    MainFormRadio() : MainWindowTest(QuickRadio) {}
};

} // namespace

TEST_F(MainFormRadio, ReadTakesTheRadiosBandAndLeavesTheImageUnmodifiedWriteSendsTheEdit) {
    RadioSim sim({"--band-code", "2"}, RadioMemory());
    ASSERT_TRUE(attach(sim));
    prompter.answers << Answer::Cancel; // a cancelled confirmation starts no transfer
    run("miRead");
    EXPECT_EQ(prompter.asked.size(), 1);
    EXPECT_TRUE(sim.frames().isEmpty());
    prompter.asked.clear();
    run("miRead");
    EXPECT_EQ(prompter.texts().value(0), QStringLiteral("Read data from radio.\nDo you wish to continue?"));
    EXPECT_EQ(lastAsked().text, QStringLiteral("Reading Complete!"));
    EXPECT_EQ(app.image.bytes().left(0x0FE0), RadioMemory().left(0x0FE0));
    EXPECT_EQ(app.band.index, 1);
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_FALSE(app.radioReadFlag);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[400-470 MHz] [File Name: Untitled]"));
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Read complete: 400-470 MHz"));

    // Write back an edit: the radio gets it, the image stays modified.
    app.image.setByte(0x0FD3, 2);
    prompter.asked.clear();
    run("miWrite");
    EXPECT_EQ(prompter.texts().value(0), QStringLiteral("Write data to radio.\nDo you wish to continue?"));
    EXPECT_EQ(lastAsked().text, QStringLiteral("Write Successful!"));
    EXPECT_TRUE(app.image.IsImageModified());
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Write complete: 400-470 MHz"));
    EXPECT_EQ(sim.stopAndTakeMemory().at(0x0FD3), 2);
}

TEST_F(MainFormRadio, TransfersOfTheRadioInformationViewAreNotAnnounced) {
    RadioSim sim({}, RadioMemory());
    ASSERT_TRUE(attach(sim));
    CloneEngine& engine = *window->frm1;
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
