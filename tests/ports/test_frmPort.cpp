// The port selection dialog against real devices: a virtual radio's
// pseudo-terminal under the Com numbers it is mapped to, missing devices and a
// device another program holds open.
#include "ports/frmPort.h"
#include "tests/support/LocalServers.h"

#include "core/Settings.h"
#include "link/CloneEngine.h"

#include "core/StringTable.h"
#include "tests/link/RadioSim.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <map>

using namespace kestrel;

namespace {

class FrmPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.started()) << "the virtual radio did not start";
        savedSettings = qgetenv("KESTREL_SETTINGS");
        qputenv("KESTREL_SETTINGS", settingsFile().toLocal8Bit());
        app = test::StartedApp(dir.filePath(QStringLiteral("app.ini")));
    }
    void TearDown() override { qputenv("KESTREL_SETTINGS", savedSettings); }
    QString settingsFile() const { return dir.filePath(QStringLiteral("settings.ini")); }

    // [Ports] of the settings store: the given Com numbers on the radio, every
    // other one on a device that does not exist.
    void mapPorts(const std::vector<int>& onRadio) {
        QSettings s(settingsFile(), QSettings::IniFormat);
        for (int n = 1; n <= frmPort::PortCount; ++n) {
            const bool radio = std::find(onRadio.begin(), onRadio.end(), n) != onRadio.end();
            s.setValue(QStringLiteral("Ports/Com%1").arg(n),
                       radio ? sim.device() : dir.filePath(QStringLiteral("missing%1").arg(n)));
        }
    }
    static std::vector<int> ports(const frmPort& view, bool (QRadioButton::*state)() const) {
        std::vector<int> out;
        for (int i = 0; i < frmPort::PortCount; ++i)
            if ((view.optPort[i]->*state)())
                out.push_back(i + 1);
        return out;
    }
    static std::vector<int> enabled(const frmPort& v) { return ports(v, &QRadioButton::isEnabled); }
    static std::vector<int> checked(const frmPort& v) { return ports(v, &QRadioButton::isChecked); }

    QTemporaryDir dir;
    test::RadioSim sim{{"--band-code", "2", "--version", "1.5", "12.30"}};
    QByteArray savedSettings;
    AppContext app;
    test::ScriptedPrompter prompter;
};

TEST_F(FrmPortTest, PresentPortsEnabledCurrentSelectedAndOkKeepsIt) {
    mapPorts({1, 2, 3, 4});
    app.portNumber = 3;
    frmPort view(app, prompter);
    EXPECT_EQ(enabled(view), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(checked(view), (std::vector<int>{3}));
    EXPECT_EQ(view.optPort[2]->toolTip(), sim.device());
    EXPECT_EQ(view.optPort[19]->toolTip(), dir.filePath(QStringLiteral("missing20")));
    EXPECT_EQ(view.optPort[19]->text(), QStringLiteral("Com 20"));
    QTest::mouseClick(view.cmdOK, Qt::LeftButton);
    EXPECT_EQ(view.result(), QDialog::Accepted);
    EXPECT_EQ(app.portNumber, 3);
}

TEST_F(FrmPortTest, ChoosingAPortTakesEffectOnlyWithOk) {
    mapPorts({2, 5});
    app.portNumber = 5;
    for (QPushButton* frmPort::*button : {&frmPort::cmdCancel, &frmPort::cmdOK}) {
        frmPort view(app, prompter);
        view.show();
        QTest::mouseClick(view.optPort[1], Qt::LeftButton);
        EXPECT_EQ(checked(view), (std::vector<int>{2}));
        QTest::mouseClick(view.*button, Qt::LeftButton);
    }
    EXPECT_EQ(app.portNumber, 2); // Cancel kept 5, OK took 2
}

// A stored port whose device is missing stays selected; one outside the list selects
// nothing. Greyed ports cannot be chosen, and OK keeps what was stored.
TEST_F(FrmPortTest, GreyedOrUnknownStoredPortIsKeptByOk) {
    mapPorts({1});
    for (quint8 stored : {quint8(7), quint8(0), quint8(21), quint8(255)}) {
        app.portNumber = stored;
        frmPort view(app, prompter);
        view.show();
        const std::vector<int> selected = stored == 7 ? std::vector<int>{7} : std::vector<int>{};
        EXPECT_EQ(checked(view), selected) << int(stored);
        QTest::mouseClick(view.optPort[9], Qt::LeftButton); // greyed: the click does nothing
        EXPECT_EQ(checked(view), selected) << int(stored);
        QTest::mouseClick(view.cmdOK, Qt::LeftButton);
        EXPECT_EQ(app.portNumber, stored);
    }
}

TEST_F(FrmPortTest, PortHeldByAnotherProgramIsGreyedAndSaysBusy) {
    mapPorts({1, 2});
    QSerialPort holder;
    holder.setPortName(sim.device());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << qPrintable(holder.errorString());
    frmPort view(app, prompter);
    EXPECT_TRUE(enabled(view).empty());
    EXPECT_EQ(view.lblState[0]->text(), QStringLiteral("busy"));
    EXPECT_EQ(view.lblState[2]->text(), QStringLiteral("missing")) << "a device the user chose is missing";
    holder.close();
    QTest::mouseClick(view.cmdRescan, Qt::LeftButton);
    EXPECT_EQ(enabled(view), (std::vector<int>{1, 2}));
    EXPECT_TRUE(view.lblState[0]->text().isEmpty());
}

TEST_F(FrmPortTest, RowsNameTheDeviceAndWhoSetIt) {
    mapPorts({7});
    // A radio behind a link that goes away with it (pseudo-terminal numbers come back quickly).
    const QString link = dir.filePath(QStringLiteral("radio-link"));
    test::RadioSim linked({QStringLiteral("--link"), link});
    QSettings(settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("Ports/Com8"), link);
    frmPort view(app, prompter);
    EXPECT_EQ(view.lblDevice[6]->text(), sim.device() + QStringLiteral("  (set by [Ports] Com7)"));
    EXPECT_TRUE(view.lblAdapter[6]->text().isEmpty()) << "a pseudo-terminal has no USB adapter";
    EXPECT_TRUE(view.lblDevice[7]->isEnabled());
    EXPECT_FALSE(view.lblDevice[8]->isEnabled());
    linked.stop();
    view.Rescan();
    EXPECT_FALSE(view.optPort[7]->isEnabled());
    EXPECT_TRUE(view.optPort[6]->isEnabled());
}

TEST_F(FrmPortTest, DetectRadioOffersThePortThatAnswered) {
    mapPorts({7});
    app.portNumber = 2;
    const QString versions = app.radioVersion[0] + app.radioVersion[1];
    frmPort view(app, prompter);
    view.show();
    prompter.answers = {Prompter::Answer::Ok};
    QTest::mouseClick(view.cmdDetect, Qt::LeftButton);
    EXPECT_FALSE(view.cmdDetect->isEnabled());
    ASSERT_TRUE(test::RunUntil(&view, &frmPort::detectFinished, [&] { return !view.detecting(); }, 10000));
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].text,
              QStringLiteral("A radio answers on Com 7 (%1): 400-470 MHz, versions 1.5 / 12.30.\nSelect Com 7?")
                  .arg(sim.device()));
    EXPECT_EQ(checked(view), (std::vector<int>{7}));
    EXPECT_TRUE(view.lblStatus->text().contains(QStringLiteral("400-470 MHz")));
    EXPECT_EQ(app.radioVersion[0] + app.radioVersion[1], versions) << "the program's version texts stay as they were";
    QTest::mouseClick(view.cmdDetect, Qt::LeftButton); // again: the port is chosen already, nothing to ask
    ASSERT_TRUE(test::RunUntil(&view, &frmPort::detectFinished, [&] { return !view.detecting(); }, 10000));
    EXPECT_EQ(prompter.asked.size(), 1);
    QTest::mouseClick(view.cmdOK, Qt::LeftButton);
    EXPECT_EQ(app.portNumber, 7);
}

TEST_F(FrmPortTest, EnvironmentOverridesTheSettingsFile) {
    mapPorts({});
    const QByteArray name = "KESTREL_COM9";
    qputenv(name.constData(), sim.device().toLocal8Bit());
    frmPort view(app, prompter);
    qunsetenv(name.constData());
    EXPECT_EQ(enabled(view), (std::vector<int>{9}));
    EXPECT_EQ(view.optPort[8]->toolTip(), sim.device());
}

// Network ports: typed into the field (Enter adds, it does not close the dialog),
// remembered, listed with their state, chosen by OK for every transfer, removed again.
// Servers on 127.0.0.1 only.
TEST_F(FrmPortTest, NetworkPortsAreAddedCheckedChosenAndRemoved) {
    mapPorts({2});
    app.portNumber = 2;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 closed = test::ClosedLocalPort();
    ASSERT_NE(closed, 0);
    const QString up = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.serverPort());
    const QString down = QStringLiteral("tcp://127.0.0.1:%1").arg(closed);
    auto remembered = [&] {
        return QSettings(settingsFile(), QSettings::IniFormat)
            .value(QStringLiteral("NetworkPorts"))
            .toString();
    };
    auto type = [](frmPort& view, const QString& text) {
        view.txtNetwork->setFocus();
        view.txtNetwork->selectAll();
        QTest::keyClicks(view.txtNetwork, text);
        QTest::keyClick(view.txtNetwork, Qt::Key_Return);
    };
    {
        frmPort view(app, prompter);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        EXPECT_TRUE(view.optNetwork.isEmpty());
        type(view, QStringLiteral("rfc2217://radio-bench.local"));
        EXPECT_EQ(
            view.lblStatus->text(),
            QStringLiteral("rfc2217://radio-bench.local is not a network port (the port number is missing): "
                           "write rfc2217://HOST:PORT or tcp://HOST:PORT."));
        EXPECT_TRUE(view.optNetwork.isEmpty());
        EXPECT_TRUE(remembered().isEmpty());
        EXPECT_TRUE(view.isVisible()) << "Enter in the field does not close the dialog";

        type(view, QStringLiteral("TCP://127.0.0.1:%1").arg(closed));
        view.txtNetwork->setText(up);
        QTest::mouseClick(view.cmdAddNetwork, Qt::LeftButton);
        EXPECT_EQ(view.networkPorts(), QStringList({down, up}));
        EXPECT_EQ(remembered(), down + QLatin1Char(' ') + up);
        EXPECT_TRUE(view.txtNetwork->text().isEmpty());
        EXPECT_TRUE(view.optNetwork[1]->isChecked()) << "the port just added is selected";
        EXPECT_TRUE(checked(view).empty());
        ASSERT_TRUE(test::RunUntil(
            &view, &frmPort::networkChecked, [&] { return !view.checkingNetwork(); }, 5000));
        EXPECT_EQ(view.lblNetState[0]->text(), QStringLiteral("connection refused"));
        EXPECT_EQ(view.lblNetState[1]->text(), QStringLiteral("reachable"));
        EXPECT_EQ(view.cmdRemoveNetwork[1]->accessibleName(), QStringLiteral("Remove ") + up);
        // Tab reads the rows in order: the Com ports, the network rows, the field, the buttons.
        QStringList chain;
        for (QWidget* w = view.nextInFocusChain(); w != &view; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled())
                chain << w->objectName();
        EXPECT_EQ(chain.join(' '), QStringLiteral("optPort1 optNetwork0 cmdRemoveNetwork0 optNetwork1 "
                                                  "cmdRemoveNetwork1 txtNetwork cmdAddNetwork cmdRescan "
                                                  "cmdDetect cmdOK cmdCancel"));
        QTest::mouseClick(view.cmdOK, Qt::LeftButton);
    }
    EXPECT_EQ(app.networkPort, up);
    EXPECT_EQ(app.portNumber, 2) << "the port number keeps its meaning";
    EXPECT_EQ(CloneEngine(app, prompter).portDevice(), up) << "every transfer goes through the network port";

    {
        frmPort view(app, prompter);
        view.show();
        ASSERT_EQ(view.optNetwork.size(), 2);
        EXPECT_TRUE(view.optNetwork[1]->isChecked());
        EXPECT_TRUE(checked(view).empty());
        QTest::mouseClick(view.cmdRemoveNetwork[1], Qt::LeftButton); // the chosen one
        EXPECT_EQ(view.networkPorts(), QStringList({down}));
        EXPECT_EQ(remembered(), down);
        EXPECT_FALSE(view.optNetwork[0]->isChecked());
        QTest::mouseClick(view.optNetwork[0], Qt::LeftButton);
        QTest::mouseClick(view.optPort[1], Qt::LeftButton);
        EXPECT_FALSE(view.optNetwork[0]->isChecked()) << "one selection among Com and network ports";
        QTest::mouseClick(view.cmdOK, Qt::LeftButton);
    }
    EXPECT_TRUE(app.networkPort.isEmpty());
    EXPECT_EQ(app.portNumber, 2);
    EXPECT_EQ(CloneEngine(app, prompter).portDevice(), sim.device());
}

// A store that cannot be written still lists the port for this run and says so; a
// chosen port that is not remembered is listed too.
TEST_F(FrmPortTest, NetworkPortThatCannotBeRemembered) {
    mapPorts({});
    const QString chosen = QStringLiteral("tcp://radio-bench.invalid:3002");
    app.networkPort = chosen;
    ASSERT_TRUE(test::WriteFile(dir.filePath(QStringLiteral("file")), "x"));
    SettingsStore store(app.settingsKeyPath, dir.filePath(QStringLiteral("file/below/settings.ini")));
    frmPort view(app, prompter, nullptr, nullptr, &store);
    ASSERT_EQ(view.optNetwork.size(), 1);
    EXPECT_TRUE(view.optNetwork[0]->isChecked());
    view.txtNetwork->setText(QStringLiteral("rfc2217://[::1]:4001"));
    EXPECT_TRUE(view.AddNetworkPort());
    EXPECT_EQ(view.networkPorts(), QStringList({chosen, QStringLiteral("rfc2217://[::1]:4001")}));
    EXPECT_TRUE(view.lblStatus->text().contains(QStringLiteral("cannot be remembered")))
        << view.lblStatus->text().toStdString();
    ASSERT_TRUE(test::RunUntil(
        &view, &frmPort::networkChecked, [&] { return !view.checkingNetwork(); }, 5000));
    EXPECT_EQ(view.lblNetState[0]->text(), QStringLiteral("name does not resolve"));
}

TEST_F(FrmPortTest, CaptionAndButtonsFollowTheLanguage) {
    mapPorts({});
    const char* texts[2][5] = {{"Port Select", "&OK", "&Cancel", "Rescan", "Detect Radio"},
                               {"端口选择", "确定(&O)", "取消(&C)", "重新扫描", "检测电台"}};
    for (Language language : {English, Chinese}) {
        app.language = language;
        frmPort view(app, prompter);
        EXPECT_EQ(view.windowTitle(), QString::fromUtf8(texts[language][0]));
        EXPECT_EQ(view.cmdOK->text(), QString::fromUtf8(texts[language][1]));
        EXPECT_EQ(view.cmdCancel->text(), QString::fromUtf8(texts[language][2]));
        EXPECT_EQ(view.cmdRescan->text(), QString::fromUtf8(texts[language][3]));
        EXPECT_EQ(view.cmdDetect->text(), QString::fromUtf8(texts[language][4]));
    }
}

} // namespace
