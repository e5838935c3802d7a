#include "ports/frmCableCheck.h"

#include "core/StringTable.h"
#include "ports/CableDoctor.h"
#include "ports/PortMap.h"
#include "link/VirtualRadios.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kestrel {

frmCableCheck::frmCableCheck(const AppContext& app, QWidget* parent, const VirtualRadios* radios)
    : QDialog(parent), m_app(app), m_doctor(new CableDoctor(app.language, this)) {
    setObjectName(QStringLiteral("frmCableCheck"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(Pick(app.language, "Check Cable", "检查数据线"));
    txtReport = new QTextBrowser(this);
    txtReport->setObjectName(QStringLiteral("txtReport"));
    txtReport->setOpenLinks(false);
    txtReport->setAccessibleName(Pick(app.language, "Findings", "检查结果"));
    txtReport->setMinimumSize(560, 300);
    cmdAgain = new QPushButton(Pick(app.language, "Check Again", "重新检查"), this);
    cmdAgain->setObjectName(QStringLiteral("cmdAgain"));
    cmdAgain->setAutoDefault(false);
    cmdClose = new QPushButton(Pick(app.language, "Close", "关闭"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(cmdAgain, &QPushButton::clicked, this, &frmCableCheck::CheckAgain);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_doctor, &CableDoctor::finished, this, &frmCableCheck::showReport);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAgain);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtReport);
    layout->addLayout(buttons);

    if (!app.networkPort.isEmpty()) {
        m_device = m_label = app.networkPort;
    } else if (app.portNumber >= FirstComPort && app.portNumber <= LastComPort) {
        m_device = DeviceForPort(app.portNumber, app);
        m_label = QStringLiteral("Com %1 (%2)").arg(app.portNumber).arg(m_device);
    }
    if (radios) {
        const int v = app.networkPort.isEmpty() ? VirtualRadioOfPort(app.portNumber) : 0;
        m_demoNote =
            v > 0
                ? Pick(app.language,
                       "%1 is a virtual radio inside Kestrel (demo mode): it needs no cable and no serial "
                       "port, "
                       "so there is nothing to check on it. What follows is about the real cables and ports "
                       "of this computer.",
                       "%1 是 Kestrel 内置的虚拟电台（演示模式）：它不需要数据线和串口，因此无需检查。"
                       "以下内容针对本机真实的数据线和端口。")
                      .arg(VirtualRadioName(v, app.language))
                : Pick(app.language,
                       "Demo mode: Virtual radio 1 to %1 are inside Kestrel and need no cable. This check is "
                       "about the real cable and port.",
                       "演示模式：虚拟电台 1 到 %1 在 Kestrel "
                       "内部，不需要数据线。本检查针对真实的数据线和端口。")
                      .arg(VirtualRadioCount);
    }
    CheckAgain();
}

bool frmCableCheck::checking() const {
    return m_doctor->running();
}

void frmCableCheck::CheckAgain() {
    if (m_doctor->running())
        return;
    cmdAgain->setEnabled(false);
    txtReport->setPlainText(m_device.isEmpty()
                                ? Pick(m_app.language, "Checking…", "正在检查…")
                                : Pick(m_app.language, "Checking %1…", "正在检查 %1…").arg(m_label));
    m_doctor->start(m_device, m_label);
}

void frmCableCheck::showReport() {
    const quint8 lang = m_app.language;
    QString html;
    if (!m_demoNote.isEmpty())
        html += QStringLiteral("<p><i>%1</i></p>").arg(m_demoNote.toHtmlEscaped());
    html += QStringLiteral("<p><b>%1</b></p>")
                .arg((m_device.isEmpty() ? Pick(lang, "No port is chosen; the system was checked.",
                                                "未选择端口；只检查了系统。")
                                         : Pick(lang, "Port checked: %1", "检查的端口：%1").arg(m_label))
                         .toHtmlEscaped());
    for (const Finding& f : m_doctor->findings()) {
        const char* colour = f.kind == Finding::Good      ? "#2e7d32"
                             : f.kind == Finding::Warning ? "#b26a00"
                                                          : "#c62828";
        const QString mark = f.kind == Finding::Good      ? Pick(lang, "OK", "正常")
                             : f.kind == Finding::Warning ? Pick(lang, "Warning", "警告")
                                                          : Pick(lang, "Problem", "问题");
        html += QStringLiteral("<p><span style=\"color:%1\"><b>%2</b></span> %3")
                    .arg(QLatin1String(colour), mark.toHtmlEscaped(), f.text.toHtmlEscaped());
        if (!f.fix.isEmpty())
            html += QStringLiteral("<br>&nbsp;&nbsp;&nbsp;&nbsp;%1 %2")
                        .arg(Pick(lang, "Fix:", "解决：").toHtmlEscaped(), f.fix.toHtmlEscaped());
        html += QStringLiteral("</p>");
    }
    txtReport->setHtml(html);
    cmdAgain->setEnabled(true);
    emit checked();
}

} // namespace kestrel
