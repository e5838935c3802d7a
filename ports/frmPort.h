#pragma once
// The port selection dialog: Com 1 to Com 20, each with the device it reaches and
// the USB adapter behind it, enabled only when the device can be opened right now;
// OK makes the chosen one the port of every transfer. Rescan looks again, Detect
// Radio asks every USB serial device and every mapped device for a radio and
// offers to select the port that answered. In demo mode the virtual radios follow
// Com 20, selected like any port and asked by Detect Radio too.
// Below them the network ports (rfc2217://HOST:PORT, tcp://HOST:PORT) remembered in
// the settings store, each with whether it can be reached now and a Remove button,
// and a field to add one; they are selected like any port (app.networkPort) and
// asked by Detect Radio too.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "link/VirtualRadios.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <memory>

class QButtonGroup;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestrel {

class NetworkPortCheck;
class RadioProbe;
class SettingsStore;

class frmPort : public QDialog {
    Q_OBJECT
public:
    static constexpr int PortCount = 20;

    // Examines all twenty ports; the option of app.portNumber is selected, even
    // when it is greyed out.
    // `store` remembers the network ports (the run's settings store; null: the
    // default one, opened by the dialog).
    frmPort(AppContext& app, Prompter& prompter, QWidget* parent = nullptr, VirtualRadios* radios = nullptr,
            SettingsStore* store = nullptr);
    ~frmPort() override;

    // optPort[i] stands for Com i + 1; its tool tip names the device.
    QRadioButton* optPort[PortCount] = {};
    QLabel* lblDevice[PortCount] = {};  // the device, marked when the user set it
    QLabel* lblAdapter[PortCount] = {}; // description, manufacturer, serial number, VID:PID
    QLabel* lblState[PortCount] = {};   // why it cannot be opened
    // Demo mode only: optVirtual[i] stands for Virtual radio i + 1.
    QRadioButton* optVirtual[VirtualRadioCount] = {};
    QLabel* lblVirtual[VirtualRadioCount] = {}; // its device and where it is
    // The network ports, one row each: optNetwork[i] stands for networkPorts()[i].
    QGroupBox* fraNetwork = nullptr;
    QList<QRadioButton*> optNetwork;
    QList<QLabel*> lblNetState;           // reachable, connection refused, ...
    QList<QPushButton*> cmdRemoveNetwork; // forgets the port
    QLineEdit* txtNetwork = nullptr;      // a network port to add
    QPushButton* cmdAddNetwork = nullptr;
    QLabel* lblStatus = nullptr;        // what Detect Radio found
    QPushButton* cmdRescan = nullptr;
    QPushButton* cmdDetect = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Rescan();
    void DetectRadio();
    bool detecting() const;
    // Adds the network port in txtNetwork, remembers it and selects it; a malformed
    // name is explained in lblStatus and nothing changes.
    bool AddNetworkPort();
    // Forgets network port `index` and takes its row away.
    void RemoveNetworkPort(int index);
    QStringList networkPorts() const { return m_networkPorts; }
    bool checkingNetwork() const;

signals:
    void detectFinished();
    void networkChecked(); // every listed network port has its state

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdOK_Click();
    // Lists m_networkPorts again (the one that was selected stays selected) and
    // checks them.
    void showNetworkPorts(const QString& select);
    QString checkedNetworkPort() const;
    void chainTabOrder();
    int networkIndex(const QString& url) const;
    void detectDone();
    // The option of a device Detect Radio asked, and how the texts name it; null
    // when no option reaches it.
    QRadioButton* optionOf(const QString& device, QString* where) const;

    AppContext& m_app;
    Prompter& m_prompter;
    RadioProbe* m_probe;
    QString m_settingsFile;
    VirtualRadios* m_virtual;
    std::unique_ptr<SettingsStore> m_ownStore;
    SettingsStore* m_store;
    QButtonGroup* m_group = nullptr;
    QGridLayout* m_networkGrid = nullptr;
    NetworkPortCheck* m_check = nullptr;
    QStringList m_networkPorts;
    bool m_detectWaits = false; // Detect Radio waits for the network check to end
};

} // namespace kestrel
