// Program > Fleet Write… from the main window: the radios get the bytes the write
// command would send, the open image stays as it is, a status bar note follows.
#include "fleet/frmFleet.h"
#include "tests/link/RadioSim.h"
#include "tests/shell/MainWindowFixture.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {
class FleetCommand : public MainWindowTest {
protected:
    FleetCommand() : MainWindowTest(QuickRadio) {}
};
} // namespace

TEST_F(FleetCommand, RadiosGetWhatTheWriteCommandSendsAndTheOpenImageStays) {
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", path("data").toLocal8Bit());
    app.backupFolder = path("data/backups");
    RadioSim fleetRadio({}, PatternImage(5)), mainRadio({}, PatternImage(5));
    ASSERT_TRUE(fleetRadio.started() && mainRadio.started());
    qputenv("KESTREL_COM1", fleetRadio.device().toLocal8Bit());
    QByteArray file = WithChannels(DefaultImageBytes(0), {3, 6}); // rows 4 and 7 of group 1
    file[CurrentChannelByte] = 9;
    const QString shop = fileWith("shop.dat", file);
    ASSERT_TRUE(window->OpenPath(shop));
    const QByteArray open = app.image.bytes();

    QString outcome;
    withDialog<frmFleet>("miFleetWrite", [&](frmFleet& fleet) {
        int com1 = -1;
        for (int r = 0; r < fleet.grdFleet->rowCount(); ++r) {
            QTableWidgetItem* port = fleet.grdFleet->item(r, frmFleet::ColPort);
            if (port->text() == QLatin1String("Com 1"))
                com1 = r;
            port->setCheckState(port->text() == QLatin1String("Com 1") ? Qt::Checked : Qt::Unchecked);
        }
        bool done = false;
        QObject::connect(&fleet, &frmFleet::runFinished, [&] { done = true; });
        QTest::mouseClick(fleet.cmdStart, Qt::LeftButton);
        RunUntil(
            &fleet, &frmFleet::runFinished, [&] { return done; }, 60000);
        if (com1 >= 0)
            outcome = fleet.grdFleet->item(com1, frmFleet::ColOutcome)->text();
        QTest::mouseClick(fleet.cmdClose, Qt::LeftButton);
    });
    qputenv("XDG_DATA_HOME", savedData);
    qunsetenv("KESTREL_COM1");
    EXPECT_EQ(outcome, QStringLiteral("Write Successful!"));
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Fleet write: 1 written, 0 failed"));
    EXPECT_EQ(app.image.bytes(), open);
    EXPECT_TRUE(prompter.asked.isEmpty());

    ASSERT_TRUE(attach(mainRadio));
    run("miWrite");
    ASSERT_EQ(lastAsked().text, QStringLiteral("Write Successful!"));
    const QByteArray fleetMemory = fleetRadio.stopAndTakeMemory();
    EXPECT_EQ(quint8(fleetMemory[CurrentChannelByte]), 3);
    EXPECT_EQ(fleetMemory, mainRadio.stopAndTakeMemory());
}
