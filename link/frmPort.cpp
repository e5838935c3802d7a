#include "link/frmPort.h"

#include "core/StringTable.h"
#include "link/PortMap.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestrel {

frmPort::frmPort(AppContext& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("frmPort"));
    setModal(true);
    setWindowTitle(Pick(app.language, "Port Select", "端口选择"));

    auto* grid = new QGridLayout;
    // One group: choosing an option clears the others, as option buttons do.
    auto* group = new QButtonGroup(this);
    const QString settingsFile = PortSettingsFile(app);
    constexpr int Rows = 5;
    for (int i = 0; i < PortCount; ++i) {
        const int n = i + 1;
        auto* opt = new QRadioButton(QStringLiteral("Com %1").arg(n), this);
        opt->setObjectName(QStringLiteral("optPort%1").arg(i));
        const QString device = DeviceForPort(n, settingsFile);
        opt->setToolTip(device);
        opt->setEnabled(ProbeDevice(device));
        group->addButton(opt, i);
        grid->addWidget(opt, i % Rows, i / Rows);
        optPort[i] = opt;
    }
    // A stored number outside 1-20 has no option: nothing is selected.
    if (app.portNumber >= FirstComPort && app.portNumber <= LastComPort)
        optPort[app.portNumber - 1]->setChecked(true);

    cmdOK = new QPushButton(LoadText(1102, app.language), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(LoadText(1103, app.language), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmPort::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void frmPort::cmdOK_Click() {
    for (int i = 0; i < PortCount; ++i) {
        if (optPort[i]->isChecked()) {
            m_app.portNumber = quint8(i + 1);
            break;
        }
    }
    accept();
}

} // namespace kestrel
