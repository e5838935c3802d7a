// The demo mode of the main window: the virtual radios stand in for radio and cable
// for every radio command, the caption and the status bar say so, and nothing is
// remembered or backed up.
#include "link/EmbMsgText.h"
#include "fleet/FleetWrite.h"
#include "link/VirtualRadios.h"
#include "ports/frmCableCheck.h"
#include "link/frmEmbMsg.h"
#include "fleet/frmFleet.h"
#include "ports/frmPort.h"
#include "tests/shell/MainWindowFixture.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextBrowser>

using namespace kestrel;
using namespace kestrel::test;

namespace {

class DemoMode : public MainWindowTest {
protected:
    DemoMode() : MainWindowTest(QuickRadio) {}
    void SetUp() override {
        MainWindowTest::SetUp();
        app.backupFolder = path(QStringLiteral("backups"));
        QString error;
        ASSERT_TRUE(radios.loadDefaultImages(app.appFolder, &error)) << error.toStdString();
        settingsBefore = ReadFile(settingsFile);
        window->setVirtualRadios(&radios);
    }
    QLabel* demoNote() const { return window->findChild<QLabel*>(QStringLiteral("lblDemo")); }
    // Runs the transfer command `id` with every question answered OK.
    void transfer(const char* id) {
        prompter.asked.clear();
        prompter.answers = {Answer::Ok, Answer::Ok, Answer::Ok, Answer::Ok};
        run(id);
    }

    VirtualRadios radios{0}; // no pacing: the tests do not wait for a real cable's pace
    QByteArray settingsBefore;
};

} // namespace

TEST_F(DemoMode, CaptionAndStatusBarSayItInBothLanguages) {
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("Kestrel[136-174 MHz] [File Name: Untitled] [Demo: virtual radios]"));
    ASSERT_NE(demoNote(), nullptr);
    EXPECT_TRUE(demoNote()->text().startsWith(QStringLiteral("Demo mode:")));
    run("miChinese");
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("Untitled] [演示: 虚拟电台]")))
        << window->windowTitle().toStdString();
    EXPECT_TRUE(demoNote()->text().startsWith(QStringLiteral("演示模式")));
}

TEST_F(DemoMode, ReadWriteWithVerifyAndRadioInformationReachTheVirtualRadio) {
    const QByteArray radio136 = DefaultImageBytes(0);
    ASSERT_EQ(radios.radio(1).memory(), radio136);
    EXPECT_EQ(app.portNumber, FirstVirtualPort) << "Virtual radio 1 is chosen";

    // Read: the radio's memory, no backup.
    app.image.setByte(0x0FD3, 7);
    transfer("miRead");
    EXPECT_EQ(lastAsked().text, QStringLiteral("Reading Complete!"));
    EXPECT_EQ(app.image.bytes().left(0x0FE0), radio136.left(0x0FE0));
    EXPECT_FALSE(QDir(app.backupFolder).exists()) << "no backups in demo mode";

    // Write with verify: the radio keeps the edit, the read-back agrees.
    app.verifyAfterWrite = true;
    app.image.setByte(0x0FD3, 2);
    transfer("miWrite");
    EXPECT_EQ(lastAsked().text, QStringLiteral("Write Successful!"))
        << prompter.texts().join('|').toStdString();
    EXPECT_EQ(radios.radio(1).memory().at(0x0FD3), 2);
    EXPECT_EQ(radios.radio(2).memory(), radio136) << "each radio has its own memory";

    // The radio information view reads the identification lines of the radio.
    QByteArray memory = radios.radio(1).memory();
    memory.replace(embmsg::EsnLine * 16, 6, "DEMO42");
    radios.radio(1).setMemory(memory);
    withDialog<frmEmbMsg>("miMessage", [&](frmEmbMsg& view) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->frm1->flagComplete(); }, 20000));
        EXPECT_EQ(window->frm1->outcome(), CloneEngine::Outcome::Completed);
        EXPECT_TRUE(view.txtMsg[0]->text().startsWith(QStringLiteral("DEMO42")))
            << view.txtMsg[0]->text().toStdString();
        view.reject();
    });
    EXPECT_EQ(app.radioVersion[0], QStringLiteral("1.0"));

    // Nothing is remembered, not the port either.
    window->close();
    EXPECT_EQ(ReadFile(settingsFile), settingsBefore);
}

TEST_F(DemoMode, PortDialogListsDetectsAndSelectsTheVirtualRadios) {
    withDialog<frmPort>("miComPort", [&](frmPort& dialog) {
        ASSERT_NE(dialog.optVirtual[3], nullptr);
        EXPECT_TRUE(dialog.optVirtual[0]->isChecked());
        EXPECT_EQ(dialog.optVirtual[3]->text(), QStringLiteral("Virtual radio 4"));
        bool detected = false;
        QObject::connect(&dialog, &frmPort::detectFinished, [&] { detected = true; });
        dialog.DetectRadio();
        EXPECT_TRUE(QTest::qWaitFor([&] { return detected; }, 20000));
        EXPECT_TRUE(dialog.lblStatus->text().contains(QStringLiteral("Virtual radio 4: 400-470 MHz")))
            << dialog.lblStatus->text().toStdString();
        dialog.optVirtual[3]->click();
        dialog.cmdOK->click();
    });
    EXPECT_EQ(app.portNumber, FirstVirtualPort + 3);
    transfer("miRead");
    EXPECT_EQ(app.band.index, 1) << "radio 4 is a 400-470 MHz radio";

    withDialog<frmCableCheck>("miCheckCable", [&](frmCableCheck& check) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !check.checking(); }, 20000));
        EXPECT_TRUE(
            check.txtReport->toPlainText().contains(QStringLiteral("Virtual radio 4 is a virtual radio")))
            << check.txtReport->toPlainText().toStdString();
        check.accept();
    });
}

TEST_F(DemoMode, FleetWindowWritesTheFourVirtualRadiosAndLogsToATemporaryFolder) {
    QStringList ports;
    withDialog<frmFleet>("miFleetWrite", [&](frmFleet& fleet) {
        for (int r = 0; r < fleet.grdFleet->rowCount(); ++r) {
            QTableWidgetItem* port = fleet.grdFleet->item(r, frmFleet::ColPort);
            const bool isVirtual = port->text().startsWith(QStringLiteral("Virtual radio"));
            if (isVirtual)
                ports << port->text();
            port->setCheckState(isVirtual ? Qt::Checked : Qt::Unchecked);
        }
        EXPECT_EQ(fleet.logFile(), radios.fleetLogFile());
        bool done = false;
        QObject::connect(&fleet, &frmFleet::runFinished, [&] { done = true; });
        fleet.Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 60000));
        QStringList outcomes;
        for (int r = 0; r < fleet.fleet().rowCount(); ++r)
            if (fleet.fleet().row(r).outcome != FleetOutcome::None)
                outcomes << FleetOutcomeName(fleet.fleet().row(r).outcome);
        EXPECT_EQ(outcomes, (QStringList{"ok", "ok", "ok", "band-mismatch"}));
        fleet.reject();
    });
    EXPECT_EQ(ports,
              (QStringList{"Virtual radio 1", "Virtual radio 2", "Virtual radio 3", "Virtual radio 4"}));
    EXPECT_TRUE(QFileInfo(radios.fleetLogFile()).absolutePath().startsWith(QDir::tempPath()));
    EXPECT_TRUE(QFile::exists(radios.fleetLogFile()));
}

TEST(VirtualRadio, AnswersAtTheRealPaceOfTheCable) {
    // Ten lines of 16 bytes: 10 x (4 + 20) bytes at 9600 baud take 250 ms on the cable.
    VirtualRadios radios(9600);
    radios.radio(2).setMemory(QByteArray(ImageSize, char(0x5A)));
    AppContext app;
    app.portNumber = quint8(FirstVirtualPort + 1);
    ScriptedPrompter prompter;
    CloneEngine engine(app, prompter);
    engine.setTransport(radios.newLink(&engine));
    engine.setDirection(clone::Read);
    engine.setStepData(0);
    engine.setStepExit(9);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.flagComplete(); }, 20000));
    EXPECT_EQ(engine.outcome(), CloneEngine::Outcome::Completed);
    EXPECT_GE(clock.elapsed(), 240);
    EXPECT_EQ(app.image.bytes().left(160), QByteArray(160, char(0x5A)));
}
