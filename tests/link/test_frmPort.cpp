// The port selection dialog against real devices: a virtual radio's
// pseudo-terminal under the Com numbers it is mapped to, missing devices and a
// device another program holds open.
#include "link/frmPort.h"

#include "core/StringTable.h"
#include "link/PortMap.h"
#include "tests/link/RadioSim.h"
#include "tests/support/TestFiles.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <map>

using namespace kestrel;
using kestrel::test::RadioSim;

namespace {

// Points every Com n at a device of the test's choosing (a missing one unless
// mapped) and the settings store at a file of its own; restores both afterwards.
class PortEnvironment {
public:
    explicit PortEnvironment(const std::map<int, QString>& devices) {
        m_saved.insert("KESTREL_SETTINGS", qgetenv("KESTREL_SETTINGS"));
        qputenv("KESTREL_SETTINGS", m_dir.filePath(QStringLiteral("settings.ini")).toLocal8Bit());
        for (int n = 1; n <= 20; ++n) {
            const QByteArray name = "KESTREL_COM" + QByteArray::number(n);
            m_saved.insert(name, qgetenv(name.constData()));
            const auto it = devices.find(n);
            const QString device = it != devices.end() ? it->second : m_dir.filePath(QStringLiteral("missing%1").arg(n));
            if (device.isEmpty())
                qunsetenv(name.constData()); // left to the settings file or the default map
            else
                qputenv(name.constData(), device.toLocal8Bit());
        }
    }
    ~PortEnvironment() {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value().isEmpty())
                qunsetenv(it.key().constData());
            else
                qputenv(it.key().constData(), it.value());
        }
    }
    QString settingsFile() const { return m_dir.filePath(QStringLiteral("settings.ini")); }

private:
    QTemporaryDir m_dir;
    QMap<QByteArray, QByteArray> m_saved;
};

class FrmPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.started()) << "the virtual radio did not start";
        app = test::StartedApp(dir.filePath(QStringLiteral("app.ini")));
    }

    std::vector<int> enabledPorts(const frmPort& view) const {
        std::vector<int> ports;
        for (int i = 0; i < frmPort::PortCount; ++i)
            if (view.optPort[i]->isEnabled())
                ports.push_back(i + 1);
        return ports;
    }
    std::vector<int> checkedPorts(const frmPort& view) const {
        std::vector<int> ports;
        for (int i = 0; i < frmPort::PortCount; ++i)
            if (view.optPort[i]->isChecked())
                ports.push_back(i + 1);
        return ports;
    }

    QTemporaryDir dir;
    RadioSim sim;
    AppContext app;
};

TEST_F(FrmPortTest, PresentPortsEnabledCurrentSelectedAndOkKeepsIt) {
    const QString dev = sim.device();
    PortEnvironment env({{1, dev}, {2, dev}, {3, dev}, {4, dev}});
    app.portNumber = 3;
    frmPort view(app);
    EXPECT_EQ(enabledPorts(view), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(checkedPorts(view), (std::vector<int>{3}));
    for (int i = 0; i < frmPort::PortCount; ++i) {
        EXPECT_EQ(view.optPort[i]->text(), QStringLiteral("Com %1").arg(i + 1));
        EXPECT_EQ(view.optPort[i]->toolTip(), DeviceForPort(i + 1, env.settingsFile())) << i;
    }
    EXPECT_EQ(view.optPort[2]->toolTip(), dev);
    QTest::mouseClick(view.cmdOK, Qt::LeftButton);
    EXPECT_EQ(view.result(), QDialog::Accepted);
    EXPECT_EQ(app.portNumber, 3);
}

TEST_F(FrmPortTest, ChoosingAPortTakesEffectOnlyWithOk) {
    const QString dev = sim.device();
    PortEnvironment env({{2, dev}, {5, dev}});
    app.portNumber = 5;
    {
        frmPort view(app);
        view.show();
        QTest::mouseClick(view.optPort[1], Qt::LeftButton);
        EXPECT_EQ(checkedPorts(view), (std::vector<int>{2}));
        QTest::mouseClick(view.cmdCancel, Qt::LeftButton);
        EXPECT_EQ(view.result(), QDialog::Rejected);
        EXPECT_EQ(app.portNumber, 5);
    }
    {
        frmPort view(app);
        view.show();
        QTest::mouseClick(view.optPort[1], Qt::LeftButton);
        QTest::mouseClick(view.cmdOK, Qt::LeftButton);
        EXPECT_EQ(app.portNumber, 2);
    }
}

TEST_F(FrmPortTest, GreyedCurrentPortStaysSelectedAndCannotBeChosenOtherwise) {
    const QString dev = sim.device();
    PortEnvironment env({{1, dev}});
    app.portNumber = 7; // its device is missing
    frmPort view(app);
    view.show();
    EXPECT_FALSE(view.optPort[6]->isEnabled());
    EXPECT_EQ(checkedPorts(view), (std::vector<int>{7}));
    QTest::mouseClick(view.optPort[9], Qt::LeftButton); // greyed: the click does nothing
    EXPECT_EQ(checkedPorts(view), (std::vector<int>{7}));
    QTest::mouseClick(view.cmdOK, Qt::LeftButton);
    EXPECT_EQ(app.portNumber, 7);
}

TEST_F(FrmPortTest, StoredPortOutsideTheListSelectsNothingAndOkKeepsIt) {
    PortEnvironment env({{1, sim.device()}});
    for (quint8 stored : {quint8(0), quint8(21), quint8(255)}) {
        app.portNumber = stored;
        frmPort view(app);
        EXPECT_TRUE(checkedPorts(view).empty()) << int(stored);
        QTest::mouseClick(view.cmdOK, Qt::LeftButton);
        EXPECT_EQ(app.portNumber, stored);
    }
}

TEST_F(FrmPortTest, PortHeldByAnotherProgramIsGreyed) {
    PortEnvironment env({{1, sim.device()}, {2, sim.device()}});
    QSerialPort holder;
    holder.setPortName(sim.device());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << qPrintable(holder.errorString());
    {
        frmPort view(app);
        EXPECT_TRUE(enabledPorts(view).empty());
    }
    holder.close();
    frmPort view(app);
    EXPECT_EQ(enabledPorts(view), (std::vector<int>{1, 2}));
}

TEST_F(FrmPortTest, SettingsFileMapsAComNumberToTheRadio) {
    // No environment override for Com 9: the [Ports] group of the settings store decides.
    PortEnvironment env({{9, QString()}});
    {
        QSettings s(env.settingsFile(), QSettings::IniFormat);
        s.setValue(QStringLiteral("Ports/Com9"), sim.device());
    }
    frmPort view(app);
    EXPECT_EQ(enabledPorts(view), (std::vector<int>{9}));
    EXPECT_EQ(view.optPort[8]->toolTip(), sim.device());
}

struct TextCase {
    Language language;
    const char* caption;
    const char* ok;
    const char* cancel;
};

class FrmPortTextTest : public FrmPortTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(FrmPortTextTest, CaptionAndButtonsFollowTheLanguage) {
    PortEnvironment env({});
    app.language = GetParam().language;
    frmPort view(app);
    EXPECT_EQ(view.windowTitle(), QString::fromUtf8(GetParam().caption));
    EXPECT_EQ(view.cmdOK->text(), QString::fromUtf8(GetParam().ok));
    EXPECT_EQ(view.cmdCancel->text(), QString::fromUtf8(GetParam().cancel));
    EXPECT_EQ(view.optPort[19]->text(), QStringLiteral("Com 20"));
}

INSTANTIATE_TEST_SUITE_P(Languages, FrmPortTextTest,
                         ::testing::Values(TextCase{English, "Port Select", "&OK", "&Cancel"},
                                           TextCase{Chinese, "端口选择", "确定(&O)", "取消(&C)"}));

} // namespace
