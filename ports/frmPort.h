#pragma once
// The port selection dialog: Com 1 to Com 20, each with the device it reaches and
// the USB adapter behind it, enabled only when the device can be opened right now;
// OK makes the chosen one the port of every transfer. Rescan looks again, Detect
// Radio asks every USB serial device and every mapped device for a radio and
// offers to select the port that answered. In demo mode the virtual radios follow
// Com 20, selected like any port and asked by Detect Radio too.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "link/VirtualRadios.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace kestrel {

class RadioProbe;

class frmPort : public QDialog {
    Q_OBJECT
public:
    static constexpr int PortCount = 20;

    // Examines all twenty ports; the option of app.portNumber is selected, even
    // when it is greyed out.
    frmPort(AppContext& app, Prompter& prompter, QWidget* parent = nullptr, VirtualRadios* radios = nullptr);

    // optPort[i] stands for Com i + 1; its tool tip names the device.
    QRadioButton* optPort[PortCount] = {};
    QLabel* lblDevice[PortCount] = {};  // the device, marked when the user set it
    QLabel* lblAdapter[PortCount] = {}; // description, manufacturer, serial number, VID:PID
    QLabel* lblState[PortCount] = {};   // why it cannot be opened
    // Demo mode only: optVirtual[i] stands for Virtual radio i + 1.
    QRadioButton* optVirtual[VirtualRadioCount] = {};
    QLabel* lblVirtual[VirtualRadioCount] = {}; // its device and where it is
    QLabel* lblStatus = nullptr;        // what Detect Radio found
    QPushButton* cmdRescan = nullptr;
    QPushButton* cmdDetect = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Rescan();
    void DetectRadio();
    bool detecting() const;

signals:
    void detectFinished();

private:
    void cmdOK_Click();
    void detectDone();
    // The option of a device Detect Radio asked, and how the texts name it; null
    // when no option reaches it.
    QRadioButton* optionOf(const QString& device, QString* where) const;

    AppContext& m_app;
    Prompter& m_prompter;
    RadioProbe* m_probe;
    QString m_settingsFile;
    VirtualRadios* m_virtual;
};

} // namespace kestrel
