// The fleet window lists the network ports the port dialog remembers, after the
// local ports, each row named by its URL and checked.
#include "fleet/frmFleet.h"

#include "fleet/FleetWrite.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;

TEST(FrmFleetNetworkTest, RememberedNetworkPortsAreRows) {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("KESTREL_SETTINGS");
    const QString settings = dir.filePath(QStringLiteral("settings.ini"));
    qputenv("KESTREL_SETTINGS", settings.toLocal8Bit());
    QSettings(settings, QSettings::IniFormat)
        .setValue(QStringLiteral("NetworkPorts"),
                  QStringLiteral("rfc2217://127.0.0.1:3001 TCP://[::1]:3002 tcp://malformed"));
    AppContext app = test::StartedApp(settings);
    test::ScriptedPrompter prompter;
    frmFleet window(app, prompter, QStringLiteral("shop.dat"));
    qputenv("KESTREL_SETTINGS", saved);
    const QStringList urls{QStringLiteral("rfc2217://127.0.0.1:3001"), QStringLiteral("tcp://[::1]:3002")};
    const int rows = window.grdFleet->rowCount();
    ASSERT_GE(rows, 2);
    for (int i = 0; i < 2; ++i) {
        const int r = rows - 2 + i;
        QTableWidgetItem* port = window.grdFleet->item(r, frmFleet::ColPort);
        EXPECT_EQ(port->text(), urls[i]);
        EXPECT_EQ(port->checkState(), Qt::Checked);
        EXPECT_TRUE(port->flags() & Qt::ItemIsEnabled);
        EXPECT_EQ(window.grdFleet->item(r, frmFleet::ColDevice)->text(), QStringLiteral("network port"));
        EXPECT_EQ(window.fleet().row(r).target.device, urls[i]);
    }
}
