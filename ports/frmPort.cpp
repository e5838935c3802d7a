#include "ports/frmPort.h"

#include "core/StringTable.h"
#include "ports/PortInfo.h"
#include "ports/PortMap.h"
#include "ports/RadioProbe.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestrel {

frmPort::frmPort(AppContext& app, Prompter& prompter, QWidget* parent, VirtualRadios* radios)
    : QDialog(parent), m_app(app), m_prompter(prompter), m_probe(new RadioProbe(app.language, this)),
      m_settingsFile(PortSettingsFile(app)), m_virtual(radios) {
    m_probe->setVirtualRadios(radios);
    setObjectName(QStringLiteral("frmPort"));
    setModal(true);
    setWindowTitle(Pick(app.language, "Port Select", "端口选择"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(2);
    // One group: choosing an option clears the others, as option buttons do.
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < PortCount; ++i) {
        auto* opt = new QRadioButton(QStringLiteral("Com %1").arg(i + 1), this);
        opt->setObjectName(QStringLiteral("optPort%1").arg(i));
        group->addButton(opt, i);
        optPort[i] = opt;
        QLabel** labels[] = {&lblDevice[i], &lblAdapter[i], &lblState[i]};
        const char* names[] = {"lblDevice%1", "lblAdapter%1", "lblState%1"};
        grid->addWidget(opt, i, 0);
        for (int c = 0; c < 3; ++c) {
            *labels[c] = new QLabel(this);
            (*labels[c])->setObjectName(QString::fromLatin1(names[c]).arg(i));
            grid->addWidget(*labels[c], i, c + 1);
        }
    }
    for (int i = 0; m_virtual && i < VirtualRadioCount; ++i) {
        const QString name = VirtualRadioName(i + 1, app.language);
        auto* opt = new QRadioButton(name, this);
        opt->setObjectName(QStringLiteral("optVirtual%1").arg(i));
        opt->setAccessibleName(name);
        opt->setToolTip(VirtualRadioDevice(i + 1));
        group->addButton(opt, PortCount + i);
        optVirtual[i] = opt;
        lblVirtual[i] = new QLabel(
            VirtualRadioDevice(i + 1) + QStringLiteral("  ") + VirtualRadioPlace(app.language), this);
        lblVirtual[i]->setObjectName(QStringLiteral("lblVirtual%1").arg(i));
        lblVirtual[i]->setAccessibleName(Pick(app.language, "%1: device", "%1：设备").arg(name));
        grid->addWidget(opt, PortCount + i, 0);
        grid->addWidget(lblVirtual[i], PortCount + i, 1, 1, 3);
    }
    grid->setColumnStretch(2, 1);
    Rescan();
    // A stored number outside 1-20 has no option: nothing is selected.
    if (app.portNumber >= FirstComPort && app.portNumber <= LastComPort)
        optPort[app.portNumber - 1]->setChecked(true);
    else if (const int v = VirtualRadioOfPort(app.portNumber); v > 0 && m_virtual)
        optVirtual[v - 1]->setChecked(true);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    cmdRescan = new QPushButton(Pick(app.language, "Rescan", "重新扫描"), this);
    cmdRescan->setObjectName(QStringLiteral("cmdRescan"));
    cmdRescan->setAutoDefault(false);
    cmdDetect = new QPushButton(Pick(app.language, "Detect Radio", "检测电台"), this);
    cmdDetect->setObjectName(QStringLiteral("cmdDetect"));
    cmdDetect->setAutoDefault(false);
    cmdOK = new QPushButton(LoadText(1102, app.language), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(LoadText(1103, app.language), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmPort::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdRescan, &QPushButton::clicked, this, &frmPort::Rescan);
    connect(cmdDetect, &QPushButton::clicked, this, &frmPort::DetectRadio);
    connect(m_probe, &RadioProbe::finished, this, &frmPort::detectDone);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRescan);
    buttons->addWidget(cmdDetect);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
}

void frmPort::Rescan() {
    const QList<PortListing> ports = ListComPorts(m_settingsFile);
    for (int i = 0; i < PortCount && i < ports.size(); ++i) {
        const PortListing& p = ports[i];
        const bool ok = p.state == PortState::Ok;
        optPort[i]->setToolTip(p.device);
        optPort[i]->setEnabled(ok);
        QString device = p.device;
        if (!p.overrideOrigin.isEmpty())
            device += QStringLiteral("  ") +
                      Pick(m_app.language, "(set by %1)", "（由 %1 设定）").arg(p.overrideOrigin);
        lblDevice[i]->setText(device);
        lblAdapter[i]->setText(AdapterText(p.adapter, m_app.language));
        // A missing default device is no news; a missing device the user chose is.
        const bool sayState = p.state != PortState::Missing || !p.overrideOrigin.isEmpty();
        lblState[i]->setText(sayState ? PortStateText(p.state, m_app.language) : QString());
        lblState[i]->setToolTip(p.errorText);
        // A screen reader reads the row's device, adapter and state with the option.
        QStringList row;
        for (QLabel* l : {lblDevice[i], lblAdapter[i], lblState[i]})
            if (!l->text().isEmpty())
                row << l->text();
        optPort[i]->setAccessibleDescription(row.join(QStringLiteral(", ")));
        for (QLabel* l : {lblDevice[i], lblAdapter[i], lblState[i]})
            l->setEnabled(ok);
    }
}

bool frmPort::detecting() const {
    return m_probe->running();
}

void frmPort::DetectRadio() {
    if (m_probe->running())
        return;
    QStringList devices = RadioCandidates(m_settingsFile);
    for (int n = 1; m_virtual && n <= VirtualRadioCount; ++n)
        devices << VirtualRadioDevice(n);
    if (devices.isEmpty()) {
        lblStatus->setText(
            Pick(m_app.language,
                 "No USB serial device is plugged in and no Com number is set to a device of your own.",
                 "没有插入 USB 串口设备，也没有为任何 Com 号设定设备。"));
        emit detectFinished();
        return;
    }
    lblStatus->setText(Pick(m_app.language, "Detecting the radio on %1…", "正在 %1 上检测电台…")
                           .arg(devices.join(QStringLiteral(", "))));
    cmdDetect->setEnabled(false);
    cmdRescan->setEnabled(false);
    m_probe->start(devices);
}

void frmPort::detectDone() {
    cmdDetect->setEnabled(true);
    cmdRescan->setEnabled(true);
    Rescan();
    QStringList found;
    QList<ProbeResult> answered;
    for (const ProbeResult& r : m_probe->results()) {
        if (!r.answered)
            continue;
        answered << r;
        QString where;
        optionOf(r.device, &where);
        found << where + QStringLiteral(": ") + RadioIdentity(r, m_app.language);
    }
    if (found.isEmpty()) {
        lblStatus->setText(Pick(m_app.language,
                                "No radio answered. Help > Check Cable… looks for the reason.",
                                "没有电台应答。可用“帮助 > 检查数据线…”查找原因。"));
        emit detectFinished();
        return;
    }
    lblStatus->setText(found.join(QLatin1Char('\n')));
    for (const ProbeResult& r : answered) {
        QString where;
        QRadioButton* option = optionOf(r.device, &where);
        if (!option) {
            m_prompter.inform(m_app.productName,
                              Pick(m_app.language,
                                   "A radio answers on %1, which no Com number reaches. To use it, set a Com "
                                   "number to it under [Ports] in the settings, for example Com3=%1.",
                                   "电台在 %1 上应答，但没有 Com 号对应该设备。要使用它，请在设置的 [Ports] "
                                   "中为某个 Com 号设定该设备，例如 Com3=%1。")
                                  .arg(r.device),
                              Prompter::Icon::Information);
            continue;
        }
        if (option->isChecked())
            break; // the chosen port already: nothing to offer
        const int com = ComNumberOf(r.device, m_settingsFile);
        const QString text =
            com > 0 ? Pick(m_app.language, "A radio answers on Com %1 (%2): %3.\nSelect Com %1?",
                           "Com %1（%2）上有电台应答：%3。\n选择 Com %1？")
                          .arg(com)
                          .arg(r.device, RadioIdentity(r, m_app.language))
                    : Pick(m_app.language, "%1 answers: %2.\nSelect %1?", "%1 应答：%2。\n选择 %1？")
                          .arg(where, RadioIdentity(r, m_app.language));
        if (m_prompter.message(m_app.productName, text, Prompter::Icon::Question, Prompter::Buttons::OkCancel,
                               Prompter::Answer::Ok) == Prompter::Answer::Ok) {
            option->setEnabled(true);
            option->setChecked(true);
            break;
        }
    }
    emit detectFinished();
}

QRadioButton* frmPort::optionOf(const QString& device, QString* where) const {
    if (const int v = VirtualRadioOfDevice(device); v > 0 && m_virtual) {
        *where = VirtualRadioName(v, m_app.language);
        return optVirtual[v - 1];
    }
    const int com = ComNumberOf(device, m_settingsFile);
    *where = com > 0 ? QStringLiteral("Com %1 (%2)").arg(com).arg(device) : device;
    return com > 0 ? optPort[com - 1] : nullptr;
}

void frmPort::cmdOK_Click() {
    for (int i = 0; i < PortCount; ++i) {
        if (optPort[i]->isChecked()) {
            m_app.portNumber = quint8(i + 1);
            break;
        }
    }
    for (int i = 0; m_virtual && i < VirtualRadioCount; ++i)
        if (optVirtual[i]->isChecked())
            m_app.portNumber = quint8(FirstVirtualPort + i);
    accept();
}

} // namespace kestrel
