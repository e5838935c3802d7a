#include "link/frmClone.h"

#include "core/StringTable.h"
#include "link/CloneEngine.h"
#include "link/CloneProtocol.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

frmClone::frmClone(CloneEngine& engine, const AppContext& app, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_app(app), m_progress(new QProgressBar(this)),
      m_ok(new QPushButton(this)), m_cancel(new QPushButton(this)) {
    setObjectName(QStringLiteral("frmClone"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_progress->setObjectName(QStringLiteral("prgClone"));
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_progress->setRange(0, 100);
    m_progress->setMinimumWidth(280);
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(&engine, &CloneEngine::captionChanged, this, &QWidget::setWindowTitle);
    connect(&engine, &CloneEngine::progressChanged, m_progress, &QProgressBar::setValue);
    connect(&engine, &CloneEngine::okEnabledChanged, m_ok, &QWidget::setEnabled);
    connect(&engine, &CloneEngine::closed, this, [this] {
        if (isVisible())
            done(m_engine.outcome() == CloneEngine::Outcome::Completed ? Accepted : Rejected);
    });
    connect(m_ok, &QPushButton::clicked, this, [this] { m_engine.Start(); });
    connect(m_cancel, &QPushButton::clicked, this, &frmClone::reject);

    RefreshDisplay();
    syncFromEngine();
}

void frmClone::RefreshDisplay() {
    m_ok->setText(Pick(m_app.language, "&Ok", "确定(&O)"));
    m_cancel->setText(Pick(m_app.language, "&Cancel", "取消(&C)"));
    const quint8 direction = m_engine.direction();
    m_progress->setAccessibleName(direction == clone::Read    ? Pick(m_app.language, "Reading", "正在读取")
                                  : direction == clone::Write ? Pick(m_app.language, "Writing", "正在写入")
                                                              : Pick(m_app.language, "Verifying", "正在校验"));
}

void frmClone::syncFromEngine() {
    setWindowTitle(m_engine.caption());
    m_progress->setValue(m_engine.progress());
    m_ok->setEnabled(m_engine.okEnabled());
}

void frmClone::reject() {
    if (!m_engine.flagComplete())
        m_engine.CloseForm();
    QDialog::reject();
}

void frmClone::showEvent(QShowEvent* event) {
    RefreshDisplay();
    syncFromEngine();
    QDialog::showEvent(event);
}

void frmClone::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !m_engine.flagComplete()) {
        const auto answer = m_engine.prompter().message(
            m_app.productName, Pick(m_app.language, "Stop the transfer now?", "现在停止传输吗？"),
            Prompter::Icon::Question, Prompter::Buttons::OkCancel, Prompter::Answer::Cancel);
        if (answer == Prompter::Answer::Ok && !m_engine.flagComplete())
            reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmClone::closeEvent(QCloseEvent* event) {
    if (!m_engine.flagComplete())
        m_engine.CloseForm();
    QDialog::closeEvent(event);
}

} // namespace kestrel
