#pragma once
// The port selection dialog: Com 1 to Com 20, each enabled only when its device
// can be opened right now, and OK makes the chosen one the port of every transfer.
#include "core/AppContext.h"

#include <QDialog>

class QPushButton;
class QRadioButton;

namespace kestrel {

class frmPort : public QDialog {
    Q_OBJECT
public:
    static constexpr int PortCount = 20;

    // Probes all twenty ports; the option of app.portNumber is selected, even
    // when it is greyed out.
    explicit frmPort(AppContext& app, QWidget* parent = nullptr);

    // optPort[i] stands for Com i + 1; its tool tip names the device.
    QRadioButton* optPort[PortCount] = {};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void cmdOK_Click();

    AppContext& m_app;
};

} // namespace kestrel
