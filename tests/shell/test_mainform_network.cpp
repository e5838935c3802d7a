// The main window through a network port: chosen in the port dialog (added there,
// or found by Detect Radio), then read and write go through the real ser2net in
// front of the virtual radio, on 127.0.0.1 only.
#include "ports/frmCableCheck.h"
#include "ports/frmPort.h"
#include "tests/link/RadioSim.h"
#include "tests/shell/MainWindowFixture.h"
#include "tools/ser2net/Ser2Net.h"

#include <QRadioButton>
#include <QTextBrowser>

using namespace kestrel;
using namespace kestrel::test;
using kestrel::tools::Ser2Net;

namespace {

class MainFormNetwork : public MainWindowTest {
protected:
    MainFormNetwork() : MainWindowTest(QuickRadio) {}
};

QByteArray RadioMemory() {
    QByteArray m = WithChannels(DefaultImageBytes(1), {0, 5}, "00 25 65 44");
    m[0x0FD3] = 5;
    return m;
}

} // namespace

TEST_F(MainFormNetwork, ChosenNetworkPortCarriesReadAndWrite) {
    ASSERT_FALSE(Ser2Net::Program().isEmpty())
        << "ser2net is not installed: scripts/install-deps.sh installs it";
    RadioSim a({"--band-code", "2", "--version", "1.5", "12.30"}, RadioMemory());
    RadioSim b({"--band-code", "2"}, RadioMemory());
    ASSERT_TRUE(a.started() && b.started());
    Ser2Net server({{a.device(), Ser2Net::Accepter::Rfc2217}, {b.device(), Ser2Net::Accepter::Raw}});
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    const QString first = server.url(0), second = server.url(1);

    // Added in the dialog and chosen with OK: the read goes through it.
    withDialog<frmPort>("miComPort", [&](frmPort& d) {
        d.txtNetwork->setText(first);
        ASSERT_TRUE(d.AddNetworkPort());
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    ASSERT_EQ(app.networkPort, first);
    run("miRead");
    EXPECT_EQ(lastAsked().text, QStringLiteral("Reading Complete!"))
        << prompter.texts().join('|').toStdString();
    EXPECT_EQ(app.image.bytes().left(0x0FE0), RadioMemory().left(0x0FE0));

    // Another one added (and so selected); Detect Radio asks both and offers the first.
    withDialog<frmPort>("miComPort", [&](frmPort& d) {
        d.txtNetwork->setText(second);
        ASSERT_TRUE(d.AddNetworkPort());
        prompter.asked.clear();
        prompter.answers << Answer::Ok;
        d.DetectRadio(); // while the new port is being checked: the probe waits for the check
        EXPECT_TRUE(d.checkingNetwork());
        EXPECT_TRUE(d.detecting());
        ASSERT_TRUE(RunUntil(
            &d, &frmPort::detectFinished, [&] { return !d.detecting(); }, 10000));
        ASSERT_TRUE(RunUntil(
            &d, &frmPort::networkChecked, [&] { return !d.checkingNetwork(); }, 5000));
        EXPECT_EQ(d.lblNetState[0]->text(), QStringLiteral("reachable"));
        EXPECT_EQ(d.lblNetState[1]->text(), QStringLiteral("reachable"));
        ASSERT_EQ(prompter.asked.size(), 1) << d.lblStatus->text().toStdString();
        EXPECT_EQ(prompter.asked[0].text,
                  QStringLiteral("%1 answers: 400-470 MHz, versions 1.5 / 12.30.\nSelect %1?").arg(first));
        EXPECT_TRUE(d.lblStatus->text().contains(second)) << d.lblStatus->text().toStdString();
        EXPECT_TRUE(d.optNetwork[0]->isChecked());
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    EXPECT_EQ(app.networkPort, first);

    // So does the cable check.
    {
        frmCableCheck check(app);
        ASSERT_TRUE(RunUntil(
            &check, &frmCableCheck::checked, [&] { return !check.checking(); }, 10000));
        const QString report = check.txtReport->toPlainText();
        EXPECT_TRUE(report.contains(QStringLiteral("Port checked: ") + first)) << report.toStdString();
        EXPECT_TRUE(report.contains(QStringLiteral("radio answers"))) << report.toStdString();
    }

    // The write goes through it too.
    app.image.setByte(0x0FD3, 2);
    prompter.asked.clear();
    run("miWrite");
    EXPECT_EQ(lastAsked().text, QStringLiteral("Write Successful!"))
        << prompter.texts().join('|').toStdString();
    EXPECT_EQ(a.stopAndTakeMemory().at(0x0FD3), 2);
    EXPECT_EQ(b.stopAndTakeMemory().at(0x0FD3), 5);
}
