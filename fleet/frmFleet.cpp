#include "fleet/frmFleet.h"

#include "core/StringTable.h"
#include "link/CloneProtocol.h"
#include "fleet/FleetWrite.h"
#include "core/Settings.h"
#include "ports/NetworkPort.h"
#include "ports/PortInfo.h"
#include "ports/PortMap.h"
#include "ports/RadioProbe.h"
#include "link/VirtualRadios.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace kestrel {

namespace {

constexpr int ShortHash = 16;

QString FirstLine(const QString& text) {
    return text.section(QLatin1Char('\n'), 0, 0);
}

bool Failed(FleetOutcome o) {
    return o != FleetOutcome::None && o != FleetOutcome::Running && o != FleetOutcome::Ok;
}

} // namespace

frmFleet::frmFleet(const AppContext& app, Prompter& prompter, const QString& imageName, QWidget* parent,
                   VirtualRadios* radios)
    : QDialog(parent), m_app(app), m_prompter(prompter), m_virtual(radios), m_imageName(imageName),
      m_logFile(radios ? radios->fleetLogFile() : DefaultFleetLogFile()),
      m_fleet(std::make_unique<FleetWrite>(app, FleetImageOf(app))) {
    m_fleet->setVirtualRadios(radios);
    const Language l = app.language;
    setObjectName(QStringLiteral("frmFleet"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(Pick(l, "Fleet Write", "批量写频"));
    openFolder = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_fleet->setVerify(app.verifyAfterWrite);
    m_fleet->setLog(m_logFile, imageName);

    lblImage = new QLabel(this);
    lblImage->setObjectName(QStringLiteral("lblImage"));
    lblImage->setText(Pick(l, "Image: %1 (%2 MHz), SHA-256 %3…    Verify After Write: %4",
                           "数据：%1（%2 MHz），SHA-256 %3…    写入后校验：%4")
                          .arg(imageName, BandText(m_fleet->bandIndex()), m_fleet->sha256().left(ShortHash),
                               app.verifyAfterWrite ? Pick(l, "on", "开") : Pick(l, "off", "关")));
    lblImage->setToolTip(QStringLiteral("SHA-256 ") + m_fleet->sha256());

    grdFleet = new QTableWidget(0, ColumnCount, this);
    grdFleet->setObjectName(QStringLiteral("grdFleet"));
    grdFleet->setHorizontalHeaderLabels({Pick(l, "Port", "端口"), Pick(l, "Device", "设备"),
                                         Pick(l, "Progress", "进度"), Pick(l, "Band", "频段"),
                                         Pick(l, "Verify", "校验"), Pick(l, "Values", "取值"),
                                         Pick(l, "Outcome", "结果"), QString()});
    grdFleet->setColumnHidden(ColValues, true); // until per-radio values are loaded
    grdFleet->setAccessibleName(Pick(l, "Radios to write", "要写入的电台"));
    grdFleet->verticalHeader()->hide();
    grdFleet->setSelectionMode(QAbstractItemView::NoSelection);
    grdFleet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdFleet->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdFleet->horizontalHeader()->setSectionResizeMode(ColOutcome, QHeaderView::Stretch);
    grdFleet->setMinimumSize(820, 260);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);

    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdRescan = button("cmdRescan", Pick(l, "Rescan", "重新扫描"));
    cmdStart = button("cmdStart", Pick(l, "Start", "开始"));
    cmdRepeat = button("cmdRepeat", Pick(l, "Repeat", "重复"));
    cmdLogFolder = button("cmdLogFolder", Pick(l, "Open Log Folder", "打开日志文件夹"));
    cmdLogFolder->setToolTip(QDir::toNativeSeparators(m_logFile));
    cmdPerRadio = button("cmdPerRadio", Pick(l, "Per-radio values…", "各电台的值…"));
    cmdPerRadio->setAccessibleName(Pick(l, "Per-radio values", "各电台的值"));
    cmdPerRadio->setToolTip(Pick(l, "Load a table (CSV) of values each radio gets of its own, by port or by ESN",
                                 "加载每台电台各自取值的表格（CSV），按端口或 ESN 对应"));
    connect(cmdPerRadio, &QPushButton::clicked, this, qOverload<>(&frmFleet::LoadPerRadio));
    cmdClose = button("cmdClose", Pick(l, "Close", "关闭"));
    connect(cmdRescan, &QPushButton::clicked, this, &frmFleet::Rescan);
    connect(cmdStart, &QPushButton::clicked, this, &frmFleet::Start);
    connect(cmdRepeat, &QPushButton::clicked, this, &frmFleet::Repeat);
    connect(cmdLogFolder, &QPushButton::clicked, this, &frmFleet::OpenLogFolder);
    connect(cmdClose, &QPushButton::clicked, this, &frmFleet::reject);

    connect(m_fleet.get(), &FleetWrite::rowChanged, this, &frmFleet::showRow);
    connect(m_fleet.get(), &FleetWrite::rowFinished, this, &frmFleet::refreshButtons);
    connect(m_fleet.get(), &FleetWrite::finished, this, [this] {
        lblStatus->setText(summary());
        refreshButtons();
        emit runFinished();
    });
    connect(m_fleet.get(), &FleetWrite::logFailed, this,
            [this](const QString& error) { lblStatus->setText(error); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRescan);
    buttons->addWidget(cmdLogFolder);
    buttons->addWidget(cmdPerRadio);
    buttons->addStretch(1);
    buttons->addWidget(cmdStart);
    buttons->addWidget(cmdRepeat);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblImage);
    layout->addWidget(grdFleet, 1);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);

    Rescan();
}

frmFleet::~frmFleet() {
    // Nothing may report into a window that is going.
    m_fleet->disconnect(this);
    m_fleet->stop();
}

QPushButton* frmFleet::retryButton(int row) const {
    return qobject_cast<QPushButton*>(grdFleet->cellWidget(row, ColRetry));
}

QProgressBar* frmFleet::progressBar(int row) const {
    return qobject_cast<QProgressBar*>(grdFleet->cellWidget(row, ColProgress));
}

bool frmFleet::running() const {
    return m_fleet->running();
}

void frmFleet::Rescan() {
    if (!m_list.isEmpty() || running())
        return;
    const Language l = m_app.language;
    QList<PortListing> ports = ListPorts(PortSettingsFile(m_app));
    for (int n = 1; m_virtual && n <= VirtualRadioCount; ++n) {
        PortListing p;
        p.device = VirtualRadioDevice(n);
        p.state = PortState::Ok;
        ports << p;
    }
    // The network ports the port dialog remembers, named by their URL.
    for (const QString& url : RememberedNetworkPorts(SettingsStore(m_app.settingsKeyPath))) {
        PortListing p;
        p.device = url;
        p.state = PortState::Ok;
        ports << p;
    }
    QList<FleetTarget> targets;
    m_usable.clear();
    grdFleet->setRowCount(0);
    grdFleet->setRowCount(int(ports.size()));
    for (int r = 0; r < ports.size(); ++r) {
        const PortListing& p = ports[r];
        const bool usable = p.state == PortState::Ok;
        m_usable << usable;
        FleetTarget t;
        const int virtualRadio = m_virtual ? VirtualRadioOfDevice(p.device) : 0;
        t.port = p.com > 0          ? QStringLiteral("Com %1").arg(p.com)
                 : virtualRadio > 0 ? VirtualRadioName(virtualRadio, l)
                                    : p.device;
        t.device = p.device;
        t.usbSerial = p.adapter.serialNumber;
        targets << t;

        auto* port = new QTableWidgetItem(t.port);
        port->setToolTip(p.device);
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable;
        if (usable)
            flags |= Qt::ItemIsEnabled;
        port->setFlags(flags);
        // Adapters and ports the user pointed at are radios; a built-in port may be anything.
        const bool likely = !p.adapter.serialNumber.isEmpty() || !p.adapter.vidPid.isEmpty() ||
                            !p.overrideOrigin.isEmpty() || p.com == 0;
        port->setCheckState(usable && likely ? Qt::Checked : Qt::Unchecked);
        grdFleet->setItem(r, ColPort, port);
        const QString adapter = virtualRadio > 0 ? VirtualRadioPlace(l) : AdapterText(p.adapter, l);
        // A network port's row is named by its URL already.
        auto* device = new QTableWidgetItem(IsNetworkPortName(p.device) ? Pick(l, "network port", "网络端口")
                                            : adapter.isEmpty()         ? p.device
                                                                        : p.device + QStringLiteral("  ") + adapter);
        device->setFlags(usable ? Qt::ItemIsEnabled : Qt::NoItemFlags);
        grdFleet->setItem(r, ColDevice, device);
        for (int c : {ColBand, ColVerify, ColValues, ColOutcome}) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            grdFleet->setItem(r, c, item);
        }
        if (!usable) {
            grdFleet->item(r, ColOutcome)->setText(PortStateText(p.state, l));
            grdFleet->item(r, ColOutcome)->setToolTip(p.errorText);
        }
        auto* bar = new QProgressBar(grdFleet);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setEnabled(usable);
        bar->setAccessibleName(Pick(l, "Progress, %1", "进度，%1").arg(t.port));
        grdFleet->setCellWidget(r, ColProgress, bar);
        auto* retry = new QPushButton(Pick(l, "Retry", "重试"), grdFleet);
        retry->setObjectName(QStringLiteral("cmdRetry%1").arg(r));
        retry->setAccessibleName(Pick(l, "Retry %1", "重试 %1").arg(t.port));
        retry->setAutoDefault(false);
        connect(retry, &QPushButton::clicked, this, [this, r] { RetryRow(r); });
        grdFleet->setCellWidget(r, ColRetry, retry);
    }
    m_fleet->setTargets(targets);
    for (int r = 0; r < grdFleet->rowCount(); ++r)
        showRow(r);
    lblStatus->setText(
        ports.isEmpty()
            ? Pick(l, "No serial port is there. Plug in the cables and choose Rescan.",
                   "没有串口。请插入数据线后选择“重新扫描”。")
            : Pick(l, "Check the radios to write and choose Start.", "勾选要写入的电台后选择“开始”。"));
    refreshButtons();
}

void frmFleet::Start() {
    if (!m_list.isEmpty() || running())
        return;
    QList<int> rows;
    for (int r = 0; r < grdFleet->rowCount(); ++r)
        if (m_usable.value(r) && grdFleet->item(r, ColPort)->checkState() == Qt::Checked)
            rows << r;
    if (rows.isEmpty()) {
        lblStatus->setText(Pick(m_app.language, "No radio is checked.", "没有勾选电台。"));
        return;
    }
    m_list = rows;
    runList(true);
}

void frmFleet::Repeat() {
    if (m_list.isEmpty() || running())
        return;
    runList(false);
}

void frmFleet::runList(bool first) {
    // Values by port: every radio of the run needs its row, every row its radio.
    if (const QStringList problems = m_fleet->perRadioMismatches(m_list, m_app.language); !problems.isEmpty()) {
        if (first)
            m_list.clear();
        m_prompter.inform(m_app.productName,
                          problems.join(QLatin1Char('\n')) + QLatin1Char('\n') +
                              Pick(m_app.language,
                                   "Every checked radio needs a row and every row a checked radio. No radio was "
                                   "written.",
                                   "每台勾选的电台都需要一行，每行都需要一台勾选的电台。没有写入任何电台。"),
                          Prompter::Icon::Critical);
        refreshButtons();
        return;
    }
    QString error;
    if (!PrepareFleetLog(m_logFile, &error, m_app.language)) {
        if (first)
            m_list.clear();
        m_prompter.inform(m_app.productName,
                          error + QLatin1Char('\n') +
                              Pick(m_app.language, "No radio was written.", "没有写入任何电台。"),
                          Prompter::Icon::Critical);
        refreshButtons();
        return;
    }
    for (int r = 0; r < grdFleet->rowCount(); ++r) {
        QTableWidgetItem* port = grdFleet->item(r, ColPort);
        port->setFlags(port->flags() & ~Qt::ItemIsUserCheckable);
    }
    lblStatus->setText(Pick(m_app.language, "Writing %1 radios…", "正在写入 %1 台电台…").arg(m_list.size()));
    refreshButtons();
    m_fleet->start(m_list);
}

bool frmFleet::RetryRow(int row) {
    if (!m_list.contains(row) || m_fleet->rowRunning(row))
        return false;
    QString error;
    if (!PrepareFleetLog(m_logFile, &error, m_app.language)) {
        m_prompter.inform(m_app.productName, error, Prompter::Icon::Critical);
        return false;
    }
    lblStatus->setText(
        Pick(m_app.language, "Writing %1 again…", "正在重新写入 %1…").arg(m_fleet->row(row).target.port));
    const bool started = m_fleet->startRow(row);
    refreshButtons();
    return started;
}

bool frmFleet::LoadPerRadio() {
    const QString file = m_prompter.openFileName(
        QString(), Pick(m_app.language, "Per-radio values (*.csv *.txt);;All files (*)",
                        "各电台的值 (*.csv *.txt);;所有文件 (*)"));
    return !file.isEmpty() && LoadPerRadio(file);
}

bool frmFleet::LoadPerRadio(const QString& fileName) {
    if (running())
        return false;
    const Language l = m_app.language;
    PerRadioTable table;
    QStringList problems;
    if (!LoadPerRadioTable(fileName, m_fleet->image(), &table, &problems, l)) {
        constexpr int Shown = 20;
        QStringList lines = problems.mid(0, Shown);
        if (problems.size() > Shown)
            lines << Pick(l, "… and %1 more", "……另有 %1 处").arg(problems.size() - Shown);
        m_prompter.inform(m_app.productName,
                          lines.join(QLatin1Char('\n')) + QLatin1Char('\n') +
                              Pick(l, "The table was not loaded.", "未加载该表格。"),
                          Prompter::Icon::Critical);
        return false;
    }
    m_fleet->setPerRadio(table);
    if (table.key == PerRadioKey::Port && m_list.isEmpty()) {
        for (int r = 0; r < grdFleet->rowCount() && r < m_fleet->rowCount(); ++r)
            grdFleet->item(r, ColPort)->setCheckState(m_usable.value(r) && m_fleet->row(r).tableRow >= 0
                                                          ? Qt::Checked
                                                          : Qt::Unchecked);
    }
    grdFleet->setColumnHidden(ColValues, false);
    for (int r = 0; r < grdFleet->rowCount(); ++r)
        showRow(r);
    lblStatus->setText(
        (table.key == PerRadioKey::Port
             ? Pick(l, "Per-radio values of %1: %2 radios by port.", "%1 中的各电台取值：按端口，%2 台电台。")
             : Pick(l, "Per-radio values of %1: %2 radios by ESN; each radio's ESN is read before it is written.",
                    "%1 中的各电台取值：按 ESN，%2 台电台；写入前先读取每台电台的 ESN。"))
            .arg(QFileInfo(fileName).fileName())
            .arg(table.rows.size()));
    refreshButtons();
    return true;
}

void frmFleet::OpenLogFolder() {
    const QString folder = QFileInfo(m_logFile).absolutePath();
    QDir().mkpath(folder);
    if (!openFolder || !openFolder(QUrl::fromLocalFile(folder)))
        lblStatus->setText(Pick(m_app.language, "Cannot show the folder %1.", "无法打开文件夹 %1。")
                               .arg(QDir::toNativeSeparators(folder)));
}

void frmFleet::showRow(int r) {
    if (r < 0 || r >= grdFleet->rowCount() || r >= m_fleet->rowCount())
        return;
    const Language l = m_app.language;
    const FleetRow& row = m_fleet->row(r);
    if (QProgressBar* bar = progressBar(r))
        bar->setValue(row.progress);

    QString band;
    if (row.radioBand >= 0) {
        band = BandName(row.radioBand);
        if (row.radioBand != m_fleet->bandIndex())
            band += Pick(l, " (image: %1 MHz)", "（数据：%1 MHz）").arg(BandText(m_fleet->bandIndex()));
    }
    grdFleet->item(r, ColBand)->setText(band);

    QString verify;
    if (row.phase == FleetRow::Phase::Verifying)
        verify = QStringLiteral("…");
    else if (row.verify == QLatin1String("ok"))
        verify = Pick(l, "OK", "通过");
    else if (row.verify == QLatin1String("failed"))
        verify = row.written ? Pick(l, "Failed", "失败") : QStringLiteral("—"); // nothing to verify
    else if (row.verify == QLatin1String("off"))
        verify = Pick(l, "Off", "关闭");
    grdFleet->item(r, ColVerify)->setText(verify);

    if (m_fleet->hasPerRadio()) {
        const bool byEsn = m_fleet->perRadio().key == PerRadioKey::Esn;
        QString values = row.values;
        if (byEsn && row.esn.isEmpty() && row.values.isEmpty())
            values = row.phase == FleetRow::Phase::ReadingEsn ? QStringLiteral("…")
                                                              : Pick(l, "by its ESN", "按其 ESN");
        else if (row.tableRow < 0 && !(byEsn && row.esn.isEmpty()))
            values = Pick(l, "no row", "无对应行");
        values.replace(QLatin1Char(';'), QStringLiteral("; "));
        if (byEsn && !row.esn.isEmpty())
            values = QStringLiteral("ESN %1: ").arg(row.esn) + values;
        QTableWidgetItem* cell = grdFleet->item(r, ColValues);
        cell->setText(values);
        cell->setToolTip(values);
    }

    QString outcome;
    switch (row.outcome) {
    case FleetOutcome::None:
        break;
    case FleetOutcome::Running:
        outcome = row.phase == FleetRow::Phase::ReadingEsn
                      ? Pick(l, "Reading the ESN…", "正在读取 ESN…")
                      : clone::CaptionText(row.phase == FleetRow::Phase::Verifying ? clone::Verify : clone::Write, l)
                            .trimmed();
        break;
    case FleetOutcome::NoRow:
        outcome = row.esn.isEmpty() ? Pick(l, "No row: nothing was written", "无对应行：未写入")
                                    : Pick(l, "No row for ESN %1: nothing was written", "没有 ESN %1 的行：未写入")
                                          .arg(row.esn);
        break;
    case FleetOutcome::Ok:
        outcome = Pick(l, "Write Successful!", "写入成功！");
        break;
    case FleetOutcome::VerifyFailed:
        outcome = Pick(l, "Verify failed: the radio holds different data", "校验失败：电台中的数据不一致");
        break;
    case FleetOutcome::NoAnswer:
        outcome = row.detail.isEmpty() ? clone::ConnectionFailText(l) : FirstLine(row.detail);
        break;
    case FleetOutcome::BandMismatch:
        outcome = clone::BandMismatchText(l);
        break;
    case FleetOutcome::PortError:
        outcome = FirstLine(row.detail);
        break;
    case FleetOutcome::Stopped:
        outcome = Pick(l, "Stopped", "已停止");
        break;
    }
    QTableWidgetItem* item = grdFleet->item(r, ColOutcome);
    item->setText(outcome);
    item->setToolTip(row.detail);
    item->setForeground(row.outcome == FleetOutcome::Ok ? QColor(0x2e, 0x7d, 0x32)
                        : Failed(row.outcome)           ? QColor(0xc6, 0x28, 0x28)
                                                        : palette().color(QPalette::Text));
}

void frmFleet::refreshButtons() {
    const bool busy = running();
    const bool started = !m_list.isEmpty();
    cmdRescan->setEnabled(!busy && !started);
    cmdStart->setEnabled(!busy && !started);
    cmdRepeat->setEnabled(!busy && started);
    cmdPerRadio->setEnabled(!busy);
    for (int r = 0; r < grdFleet->rowCount(); ++r)
        if (QPushButton* retry = retryButton(r))
            retry->setEnabled(m_list.contains(r) && !m_fleet->rowRunning(r) &&
                              Failed(m_fleet->row(r).outcome));
}

QString frmFleet::summary() const {
    int ok = 0, failed = 0, stopped = 0;
    for (int r : m_list) {
        const FleetOutcome o = m_fleet->row(r).outcome;
        ok += o == FleetOutcome::Ok ? 1 : 0;
        stopped += o == FleetOutcome::Stopped ? 1 : 0;
        failed += Failed(o) && o != FleetOutcome::Stopped ? 1 : 0;
    }
    if (ok + failed + stopped == 0)
        return QString();
    QString text =
        Pick(m_app.language, "Fleet write: %1 written, %2 failed", "批量写频：成功 %1 台，失败 %2 台")
            .arg(ok)
            .arg(failed);
    if (stopped > 0)
        text += Pick(m_app.language, ", %1 stopped", "，停止 %1 台").arg(stopped);
    QStringList notMet;
    for (int t : m_fleet->tableRowsNotMet(m_list))
        notMet << m_fleet->perRadio().rows[t].key;
    if (!notMet.isEmpty())
        text += Pick(m_app.language, "; no radio had the ESN %1", "；没有电台的 ESN 为 %1")
                    .arg(notMet.join(Pick(m_app.language, ", ", "、")));
    return text;
}

bool frmFleet::mayClose() {
    if (!running())
        return true;
    const auto answer = m_prompter.message(
        m_app.productName,
        Pick(m_app.language, "Radios are being written. Stop every transfer and close?",
             "正在写入电台。停止所有传输并关闭？"),
        Prompter::Icon::Exclamation, Prompter::Buttons::OkCancel, Prompter::Answer::Cancel);
    if (answer != Prompter::Answer::Ok)
        return false;
    m_fleet->stop();
    return true;
}

void frmFleet::reject() {
    if (mayClose())
        QDialog::reject();
}

void frmFleet::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace kestrel
