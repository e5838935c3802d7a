#include "link/frmEmbMsg.h"

#include "core/Log.h"
#include "core/StringTable.h"
#include "link/CloneEngine.h"
#include "link/CloneProtocol.h"
#include "link/EmbMsgText.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QValidator>

namespace kestrel {

namespace {

const TextPair TitleText = embmsg::CaptionText;
const TextPair WriteText{"&Write", "写入(&W)"};
const TextPair WriteDoneText{"Write Successful!", "写入成功！"};
// Shown in both languages as they are.
const QString ReadingText = QStringLiteral("Reading ESN \u2026");
const QString WritingText = QStringLiteral("Writing ESN \u2026");
const QString NoVersionText = QStringLiteral("1.0.0");

constexpr int Gap = 8;
constexpr int ReadTicks = 50;

// Takes out of edited text every character a line cannot hold and reports them,
// whether they were typed, pasted, dropped or composed by an input method.
class LineCharValidator : public QValidator {
public:
    using Report = std::function<void(const QString&)>;
    LineCharValidator(Report report, QObject* parent) : QValidator(parent), m_report(std::move(report)) {}

    State validate(QString& input, int& pos) const override {
        const QString refused = embmsg::Unstorable(input);
        if (refused.isEmpty())
            return Acceptable;
        QString kept;
        int keptPos = 0;
        for (int i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if (embmsg::FitsLine(c)) {
                kept.append(c);
                if (i < pos)
                    ++keptPos;
            }
        }
        input = kept;
        pos = keptPos;
        m_report(refused);
        return Acceptable;
    }

private:
    Report m_report;
};

bool IsEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

} // namespace

frmEmbMsg::frmEmbMsg(CloneEngine& engine, AppContext& app, Prompter& /*prompter*/, QWidget* parent)
    : QDialog(parent), frm1(engine), m_app(app) {
    // The engine asks its own questions (port errors, Retry/Cancel, band mismatch);
    // this view only shows the outcome on its status line.
    setObjectName(QStringLiteral("frmEmbMsg"));
    setModal(true);

    fraMsg = new QGroupBox(this);
    fraMsg->setObjectName(QStringLiteral("fraMsg"));
    auto* grid = new QGridLayout(fraMsg);
    for (int i = 0; i < 3; ++i) {
        lblMsg[i] = new QLabel(fraMsg);
        lblMsg[i]->setObjectName(QStringLiteral("lblMsg%1").arg(i));
        txtMsg[i] = new QLineEdit(fraMsg);
        txtMsg[i]->setObjectName(QStringLiteral("txtMsg%1").arg(i));
        txtMsg[i]->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * embmsg::TextLength * 3 / 4);
        lblMsg[i]->setBuddy(txtMsg[i]);
        grid->addWidget(lblMsg[i], i, 0);
        grid->addWidget(txtMsg[i], i, 1);
        txtMsg[i]->installEventFilter(this);
        SetEditable(txtMsg[i], false);
    }
    txtMsg[0]->setMaxLength(embmsg::TextLength);
    txtMsg[1]->setText(NoVersionText);
    txtMsg[2]->setText(NoVersionText);
    for (int i : {0, 2}) {
        QLineEdit* box = txtMsg[i];
        box->setValidator(new LineCharValidator([this, box](const QString& refused) { RefuseCharacters(box, refused); },
                                                box));
    }

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    cmdWrite = new QPushButton(this);
    cmdWrite->setObjectName(QStringLiteral("cmdWrite"));
    cmdClose = new QPushButton(this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdWrite->setAutoDefault(false);
    cmdClose->setAutoDefault(false);
    connect(cmdWrite, &QPushButton::clicked, this, &frmEmbMsg::cmdWrite_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    cmdWrite->installEventFilter(this);
    cmdClose->installEventFilter(this);
    fraMsg->installEventFilter(this);
    installEventFilter(this);

    RefreshDisplay();
    cmdWrite->hide();
    lblStatus->clear();

    // Fixed places, so that the service function can widen the window by the
    // Write button's width and move Close right by half of it.
    const QSize frame = fraMsg->sizeHint();
    const int buttonWidth = qMax(qMax(cmdWrite->sizeHint().width(), cmdClose->sizeHint().width()), 90);
    const int buttonHeight = qMax(cmdWrite->sizeHint().height(), cmdClose->sizeHint().height());
    const int width = qMax(frame.width(), 2 * buttonWidth + Gap) + 2 * Gap;
    const int statusHeight = lblStatus->fontMetrics().height() + 4;
    fraMsg->setGeometry(Gap, Gap, width - 2 * Gap, frame.height());
    lblStatus->setGeometry(Gap, Gap + frame.height() + Gap / 2, width - 2 * Gap, statusHeight);
    const int buttonsTop = lblStatus->geometry().bottom() + 1 + Gap / 2;
    cmdClose->setGeometry((width - buttonWidth) / 2, buttonsTop, buttonWidth, buttonHeight);
    cmdWrite->setGeometry(cmdClose->x() - buttonWidth - Gap, buttonsTop, buttonWidth, buttonHeight);
    setFixedSize(width, buttonsTop + buttonHeight + Gap);
    cmdClose->setFocus();

    connect(&frm1, &CloneEngine::CloneExit, this, &frmEmbMsg::OnCloneExit);
    connect(&frm1, &CloneEngine::CloneError, this, &frmEmbMsg::OnCloneError);
    connect(&frm1, &CloneEngine::closed, this, &frmEmbMsg::OnTransferClosed);
    m_attached = true;
    StartRead();
}

frmEmbMsg::~frmEmbMsg() {
    // Destroyed without being closed: the transfer must not outlive the view.
    Detach();
}

void frmEmbMsg::RefreshDisplay() {
    const Language lang = m_app.language;
    setWindowTitle(TitleText(lang));
    for (int i = 0; i < 3; ++i)
        lblMsg[i]->setText(embmsg::LabelTexts[i](lang));
    cmdWrite->setText(WriteText(lang));
    cmdClose->setText(LoadText(1408, lang));
}

void frmEmbMsg::StartRead() {
    frm1.setDirection(clone::Read);
    frm1.setStepData(embmsg::EsnLine);
    frm1.setStepExit(embmsg::HardwareLine);
    frm1.setTickCountMax(ReadTicks);
    m_started = true;
    // A port that does not open has been explained by the engine's own box; the
    // status line stays as it was.
    cmdWrite->setEnabled(false);
    if (frm1.Start())
        lblStatus->setText(ReadingText);
    else
        cmdWrite->setEnabled(true);
}

void frmEmbMsg::cmdWrite_Click() {
    // Not while a transfer runs: during the read the boxes do not hold the radio's texts yet.
    if (m_started && !frm1.flagComplete())
        return;
    const QString esn = txtMsg[0]->text();
    embmsg::StoreText(m_app.image, embmsg::EsnLine, esn);
    m_app.radioVersion[1] = txtMsg[2]->text();
    embmsg::StoreText(m_app.image, embmsg::HardwareLine, m_app.radioVersion[1]);
    frm1.setDirection(clone::Write);
    frm1.setStepData(embmsg::EsnLine);
    frm1.setStepExit(embmsg::HardwareLine);
    m_started = true;
    cmdWrite->setEnabled(false);
    if (frm1.Start())
        lblStatus->setText(WritingText);
    else
        cmdWrite->setEnabled(true);
}

void frmEmbMsg::OnCloneExit(int direction) {
    if (direction == clone::Read) {
        lblStatus->clear();
        txtMsg[0]->setText(embmsg::ReadText(m_app.image, embmsg::EsnLine));
        txtMsg[1]->setText(m_app.radioVersion[0]);
        m_app.radioVersion[1] = embmsg::ReadText(m_app.image, embmsg::HardwareLine);
        txtMsg[2]->setText(m_app.radioVersion[1]);
        // What the radio holds is no unsaved edit.
        m_app.image.TakeLineSnapshot(embmsg::EsnLine);
        m_app.image.TakeLineSnapshot(embmsg::HardwareLine);
        // A box being edited remembers what it now shows.
        for (int i = 0; i < 3; ++i) {
            if (txtMsg[i]->hasFocus())
                m_remembered[i] = txtMsg[i]->text();
        }
    } else if (direction == clone::Write) {
        lblStatus->setText(WriteDoneText(m_app.language));
    }
}

void frmEmbMsg::OnCloneError() { lblStatus->setText(clone::ConnectionFailText(m_app.language)); }

void frmEmbMsg::OnTransferClosed() {
    // Whatever ended the transfer, the boxes now hold what Write may send.
    cmdWrite->setEnabled(true);
}

void frmEmbMsg::Detach() {
    if (!m_attached)
        return;
    m_attached = false;
    disconnect(&frm1, nullptr, this, nullptr);
    if (m_started && !frm1.flagComplete()) {
        qCDebug(logLink) << "radio information view closed during a transfer";
        frm1.CloseForm();
    }
}

void frmEmbMsg::done(int result) {
    Detach();
    QDialog::done(result);
}

void frmEmbMsg::EnterService() {
    if (m_service)
        return;
    m_service = true;
    SetEditable(txtMsg[0], true);
    SetEditable(txtMsg[2], true);
    cmdWrite->show();
    const int grow = cmdWrite->width();
    fraMsg->resize(fraMsg->width() + grow, fraMsg->height());
    lblStatus->resize(lblStatus->width() + grow, lblStatus->height());
    cmdClose->move(cmdClose->x() + grow / 2, cmdClose->y());
    cmdWrite->move(cmdClose->x() - cmdWrite->width() - Gap, cmdWrite->y());
    setFixedSize(width() + grow, height());
    txtMsg[0]->setFocus(Qt::OtherFocusReason);
}

void frmEmbMsg::SetEditable(QLineEdit* box, bool editable) {
    box->setReadOnly(!editable);
    // Read-only boxes look like the window; editable ones have the normal background.
    QPalette p = box->palette();
    p.setBrush(QPalette::Base, editable ? palette().brush(QPalette::Base) : palette().brush(QPalette::Window));
    box->setPalette(p);
}

void frmEmbMsg::RefuseCharacters(QLineEdit* box, const QString& refused) {
    const QString text = embmsg::RefusedText(refused, m_app.language);
    qCDebug(logUi) << "refused" << refused << "in" << box->objectName();
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), text, box);
    // The status line belongs to a running transfer; otherwise it explains too.
    if (frm1.flagComplete() || !m_started)
        lblStatus->setText(text);
}

int frmEmbMsg::IndexOf(QObject* watched) const {
    for (int i = 0; i < 3; ++i) {
        if (watched == txtMsg[i])
            return i;
    }
    return -1;
}

bool frmEmbMsg::eventFilter(QObject* watched, QEvent* event) {
    const int box = IndexOf(watched);
    if (event->type() == QEvent::FocusIn && box >= 0) {
        QLineEdit* edit = txtMsg[box];
        m_remembered[box] = edit->text();
        edit->selectAll();
        // A click places the cursor after the focus arrives; select again after it.
        QTimer::singleShot(0, edit, [edit] {
            if (edit->hasFocus())
                edit->selectAll();
        });
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_K && mods == Qt::AltModifier) {
        // The view takes this key before any of its controls.
        if (event->type() == QEvent::KeyPress)
            EnterService();
        event->accept();
        return true;
    }
    if (box >= 0 && mods == Qt::NoModifier && (IsEnter(key) || key->key() == Qt::Key_Escape)) {
        if (event->type() == QEvent::ShortcutOverride) {
            // Keep Enter and Escape from the dialog's own buttons.
            event->accept();
            return true;
        }
        if (IsEnter(key))
            focusNextChild();
        else
            txtMsg[box]->setText(m_remembered[box]);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kestrel
