#include "ports/frmPort.h"

#include "core/Settings.h"
#include "core/StringTable.h"
#include "ports/NetworkPort.h"
#include "ports/NetworkPortCheck.h"
#include "ports/PortInfo.h"
#include "ports/PortMap.h"
#include "ports/RadioProbe.h"

#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestrel {

frmPort::frmPort(AppContext& app, Prompter& prompter, QWidget* parent, VirtualRadios* radios,
                 SettingsStore* store)
    : QDialog(parent), m_app(app), m_prompter(prompter), m_probe(new RadioProbe(app.language, this)),
      m_settingsFile(PortSettingsFile(app)), m_virtual(radios),
      m_ownStore(store ? nullptr : std::make_unique<SettingsStore>(app.settingsKeyPath)),
      m_store(store ? store : m_ownStore.get()), m_check(new NetworkPortCheck(app.language, this)) {
    m_probe->setVirtualRadios(radios);
    setObjectName(QStringLiteral("frmPort"));
    setModal(true);
    setWindowTitle(Pick(app.language, "Port Select", "端口选择"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(2);
    // One group: choosing an option clears the others, as option buttons do.
    auto* group = m_group = new QButtonGroup(this);
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

    const Language l = app.language;
    fraNetwork =
        new QGroupBox(Pick(l, "Network ports (ser2net and the like)", "网络端口（ser2net 等）"), this);
    fraNetwork->setObjectName(QStringLiteral("fraNetwork"));
    m_networkGrid = new QGridLayout;
    m_networkGrid->setHorizontalSpacing(16);
    m_networkGrid->setVerticalSpacing(2);
    m_networkGrid->setColumnStretch(1, 1);
    auto* lblAdd = new QLabel(Pick(l, "&Network port:", "网络端口(&N)："), fraNetwork);
    lblAdd->setObjectName(QStringLiteral("lblNetwork"));
    txtNetwork = new QLineEdit(fraNetwork);
    txtNetwork->setObjectName(QStringLiteral("txtNetwork"));
    txtNetwork->setPlaceholderText(QStringLiteral("rfc2217://HOST:PORT  tcp://HOST:PORT"));
    txtNetwork->setAccessibleName(Pick(l, "Network port to add", "要添加的网络端口"));
    txtNetwork->setToolTip(
        Pick(l,
             "A serial port served over the network: rfc2217://HOST:PORT (the program sets "
             "9600 8N1 itself) or tcp://HOST:PORT (the server must be set to 9600 8N1)",
             "经网络提供的串口：rfc2217://主机:端口（本程序自行设定 9600 8N1）或 "
             "tcp://主机:端口（服务器须设为 9600 8N1）"));
    lblAdd->setBuddy(txtNetwork);
    cmdAddNetwork = new QPushButton(Pick(l, "Add", "添加"), fraNetwork);
    cmdAddNetwork->setObjectName(QStringLiteral("cmdAddNetwork"));
    cmdAddNetwork->setAccessibleName(Pick(l, "Add network port", "添加网络端口"));
    cmdAddNetwork->setAutoDefault(false);
    connect(cmdAddNetwork, &QPushButton::clicked, this, &frmPort::AddNetworkPort);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(lblAdd);
    addRow->addWidget(txtNetwork, 1);
    addRow->addWidget(cmdAddNetwork);
    auto* networkLayout = new QVBoxLayout(fraNetwork);
    networkLayout->addLayout(m_networkGrid);
    networkLayout->addLayout(addRow);
    connect(m_check, &NetworkPortCheck::checked, this, [this](int i) {
        if (i < 0 || i >= lblNetState.size())
            return;
        const NetworkPortStatus status = m_check->results().value(i);
        lblNetState[i]->setText(NetworkPortStatusText(status, m_app.language));
        optNetwork[i]->setAccessibleDescription(lblNetState[i]->text());
    });
    connect(m_check, &NetworkPortCheck::finished, this, &frmPort::networkChecked);

    // The remembered ports, and the chosen one even when it is not remembered.
    m_networkPorts = RememberedNetworkPorts(*m_store);
    if (!app.networkPort.isEmpty() && networkIndex(app.networkPort) < 0)
        m_networkPorts << app.networkPort;

    Rescan();
    // A stored number outside 1-20 has no option: nothing is selected.
    if (const int i = networkIndex(app.networkPort); !app.networkPort.isEmpty() && i >= 0)
        optNetwork[i]->setChecked(true);
    else if (app.portNumber >= FirstComPort && app.portNumber <= LastComPort)
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
    layout->addWidget(fraNetwork);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
    chainTabOrder();
}

frmPort::~frmPort() = default;

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
    if (m_networkGrid)
        showNetworkPorts(checkedNetworkPort());
}

bool frmPort::checkingNetwork() const {
    return m_check->running();
}

int frmPort::networkIndex(const QString& url) const {
    const std::optional<NetworkPort> port = ParseNetworkPort(url);
    for (int i = 0; i < m_networkPorts.size(); ++i)
        if (m_networkPorts[i] == url || (port && ParseNetworkPort(m_networkPorts[i]) == port))
            return i;
    return -1;
}

QString frmPort::checkedNetworkPort() const {
    for (int i = 0; i < optNetwork.size(); ++i)
        if (optNetwork[i]->isChecked())
            return m_networkPorts.value(i);
    return QString();
}

void frmPort::showNetworkPorts(const QString& select) {
    const Language l = m_app.language;
    // The rows go later: this may run from a click on one of their own buttons.
    for (QRadioButton* o : optNetwork)
        m_group->removeButton(o);
    QList<QWidget*> old;
    for (int i = 0; i < optNetwork.size(); ++i)
        old << optNetwork[i] << lblNetState[i] << cmdRemoveNetwork[i];
    for (QWidget* w : old) {
        m_networkGrid->removeWidget(w);
        w->hide();
        w->deleteLater();
    }
    optNetwork.clear();
    lblNetState.clear();
    cmdRemoveNetwork.clear();
    const int selected = select.isEmpty() ? -1 : networkIndex(select);
    for (int i = 0; i < m_networkPorts.size(); ++i) {
        const QString& url = m_networkPorts[i];
        auto* opt = new QRadioButton(url, fraNetwork);
        opt->setObjectName(QStringLiteral("optNetwork%1").arg(i));
        opt->setAccessibleName(url);
        m_group->addButton(opt);
        auto* state = new QLabel(NetworkPortStateText(NetworkPortState::Checking, l), fraNetwork);
        state->setObjectName(QStringLiteral("lblNetState%1").arg(i));
        auto* remove = new QPushButton(Pick(l, "Remove", "移除"), fraNetwork);
        remove->setObjectName(QStringLiteral("cmdRemoveNetwork%1").arg(i));
        remove->setAccessibleName(Pick(l, "Remove %1", "移除 %1").arg(url));
        remove->setAutoDefault(false);
        connect(remove, &QPushButton::clicked, this, [this, i] { RemoveNetworkPort(i); });
        m_networkGrid->addWidget(opt, i, 0);
        m_networkGrid->addWidget(state, i, 1);
        m_networkGrid->addWidget(remove, i, 2);
        optNetwork << opt;
        lblNetState << state;
        cmdRemoveNetwork << remove;
        if (i == selected)
            opt->setChecked(true);
    }
    chainTabOrder();
    m_check->start(m_networkPorts);
}

void frmPort::chainTabOrder() {
    // Reading order: the ports, the network rows, the field, then the buttons.
    QList<QWidget*> order;
    for (QRadioButton* o : optPort)
        order << o;
    for (int i = 0; m_virtual && i < VirtualRadioCount; ++i)
        order << optVirtual[i];
    for (int i = 0; i < optNetwork.size(); ++i)
        order << optNetwork[i] << cmdRemoveNetwork[i];
    order << txtNetwork << cmdAddNetwork << cmdRescan << cmdDetect << cmdOK << cmdCancel;
    order.removeAll(nullptr); // the buttons, while the constructor lists the ports
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool frmPort::AddNetworkPort() {
    const Language l = m_app.language;
    QString error;
    const std::optional<NetworkPort> port = ParseNetworkPort(txtNetwork->text(), l, &error);
    if (!port) {
        lblStatus->setText(error);
        txtNetwork->setFocus();
        txtNetwork->selectAll();
        return false;
    }
    const QString url = port->url();
    QString said = Pick(l, "%1 is added.", "已添加 %1。").arg(url);
    if (networkIndex(url) >= 0) {
        said = Pick(l, "%1 is listed already.", "%1 已在列表中。").arg(url);
    } else {
        if (!RememberNetworkPort(*m_store, url)) {
            const QString damage = m_store->damage();
            said = Pick(l, "%1 is listed for now, but it cannot be remembered: %2",
                        "%1 暂时列出，但无法记住：%2")
                       .arg(url, damage.isEmpty() ? QDir::toNativeSeparators(m_store->location()) : damage);
        }
        m_networkPorts << url;
    }
    txtNetwork->clear();
    showNetworkPorts(url);
    lblStatus->setText(said);
    return true;
}

void frmPort::RemoveNetworkPort(int index) {
    if (index < 0 || index >= m_networkPorts.size())
        return;
    const QString url = m_networkPorts.takeAt(index);
    const bool wasRemembered = RememberedNetworkPorts(*m_store).contains(url);
    const bool forgotten = ForgetNetworkPort(*m_store, url);
    const QString selected = checkedNetworkPort();
    showNetworkPorts(selected == url ? QString() : selected);
    lblStatus->setText(wasRemembered && !forgotten
                           ? Pick(m_app.language,
                                  "%1 is taken off the list, but the settings file cannot be "
                                  "written: it comes back next time.",
                                  "已从列表中移除 %1，但无法写入设置文件：下次仍会出现。")
                                 .arg(url)
                           : Pick(m_app.language, "%1 is removed.", "已移除 %1。").arg(url));
    txtNetwork->setFocus();
}

void frmPort::keyPressEvent(QKeyEvent* event) {
    // Enter in the field adds the port; it does not close the dialog.
    if (txtNetwork->hasFocus() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        AddNetworkPort();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmPort::detecting() const {
    return m_probe->running() || m_detectWaits;
}

void frmPort::DetectRadio() {
    if (m_probe->running() || m_detectWaits)
        return;
    if (m_check->running()) {
        // A serial server takes one connection at a time: the check's go first.
        m_detectWaits = true;
        cmdDetect->setEnabled(false);
        connect(
            m_check, &NetworkPortCheck::finished, this,
            [this] {
                m_detectWaits = false;
                DetectRadio();
            },
            Qt::SingleShotConnection);
        return;
    }
    QStringList devices = RadioCandidates(m_settingsFile);
    for (int n = 1; m_virtual && n <= VirtualRadioCount; ++n)
        devices << VirtualRadioDevice(n);
    devices << m_networkPorts;
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
    if (IsNetworkPortName(device)) {
        *where = device;
        const int i = networkIndex(device);
        return i >= 0 ? optNetwork.value(i) : nullptr;
    }
    if (const int v = VirtualRadioOfDevice(device); v > 0 && m_virtual) {
        *where = VirtualRadioName(v, m_app.language);
        return optVirtual[v - 1];
    }
    const int com = ComNumberOf(device, m_settingsFile);
    *where = com > 0 ? QStringLiteral("Com %1 (%2)").arg(com).arg(device) : device;
    return com > 0 ? optPort[com - 1] : nullptr;
}

void frmPort::cmdOK_Click() {
    m_app.networkPort = checkedNetworkPort();
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
