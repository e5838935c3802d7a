// Program > Fleet Write… from the main window: the radios get the bytes the write
// command would send, the open image stays as it is, a status bar note follows.
#include "core/ChannelRecord.h"
#include "link/CloneEngine.h"
#include "link/frmFleet.h"
#include "shell/MainForm.h"
#include "shell/StatusNote.h"
#include "tests/link/RadioSim.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

TEST(FleetCommand, RadiosGetWhatTheWriteCommandSendsAndTheOpenImageStays) {
    QTemporaryDir dir;
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    RadioSim fleetRadio({}, PatternImage(5)), mainRadio({}, PatternImage(5));
    ASSERT_TRUE(fleetRadio.started() && mainRadio.started());
    qputenv("KESTREL_COM1", fleetRadio.device().toLocal8Bit());

    AppContext app = StartedApp(dir.filePath(QStringLiteral("s.ini")));
    app.recvInterval = 10;
    app.recvCount = 30;
    SettingsStore store(app.settingsKeyPath, dir.filePath(QStringLiteral("s.ini")));
    ScriptedPrompter prompter;
    MainForm window(app, store, prompter);
    window.frm1->setRecvInterval(app.recvInterval);
    QByteArray file = DefaultImageBytes(0);
    for (int n : {3, 6}) // rows 4 and 7 of group 1
        file.replace(n * 16, 16, Hex("00 20 65 14 00 20 65 14 FF FF FF FF F8 08 70 FF"));
    file[CurrentChannelByte] = 9;
    const QString path = dir.filePath(QStringLiteral("shop.dat"));
    ASSERT_TRUE(WriteFile(path, file));
    ASSERT_TRUE(window.OpenPath(path));
    const QByteArray open = app.image.bytes();

    QString outcome;
    QTimer::singleShot(0, [&] {
        auto* fleet = qobject_cast<frmFleet*>(QApplication::activeModalWidget());
        ASSERT_NE(fleet, nullptr);
        int com1 = -1;
        for (int r = 0; r < fleet->grdFleet->rowCount(); ++r) {
            QTableWidgetItem* port = fleet->grdFleet->item(r, frmFleet::ColPort);
            if (port->text() == QLatin1String("Com 1"))
                com1 = r;
            port->setCheckState(port->text() == QLatin1String("Com 1") ? Qt::Checked : Qt::Unchecked);
        }
        bool done = false;
        QObject::connect(fleet, &frmFleet::runFinished, [&] { done = true; });
        QTest::mouseClick(fleet->cmdStart, Qt::LeftButton);
        RunUntil(
            fleet, &frmFleet::runFinished, [&] { return done; }, 60000);
        if (com1 >= 0)
            outcome = fleet->grdFleet->item(com1, frmFleet::ColOutcome)->text();
        QTest::mouseClick(fleet->cmdClose, Qt::LeftButton);
    });
    window.Dispatch(QStringLiteral("miFleetWrite"));
    qputenv("XDG_DATA_HOME", savedData);
    qunsetenv("KESTREL_COM1");
    EXPECT_EQ(outcome, QStringLiteral("Write Successful!"));
    EXPECT_EQ(StatusNoteText(&window), QStringLiteral("Fleet write: 1 written, 0 failed"));
    EXPECT_EQ(app.image.bytes(), open);
    EXPECT_TRUE(prompter.asked.isEmpty());

    window.frm1->setDevicePath(mainRadio.device());
    window.Dispatch(QStringLiteral("miWrite"));
    ASSERT_EQ(prompter.asked.last().text, QStringLiteral("Write Successful!"));
    const QByteArray fleetMemory = fleetRadio.stopAndTakeMemory();
    EXPECT_EQ(quint8(fleetMemory[CurrentChannelByte]), 3);
    EXPECT_EQ(fleetMemory, mainRadio.stopAndTakeMemory());
}
