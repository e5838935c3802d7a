#include "settings/FrmDTMF.h"

#include "settings/ViewSupport.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QShortcut>

namespace kestrel {

using namespace settings;
using namespace DtmfMap;

namespace {

constexpr int AniBox = 4;
constexpr int CodeLengths[5] = {StunLength, KillLength, BotLength, EotLength, AniLength};
// Label of each code box, in the order the boxes appear.
constexpr int BoxOrder[5] = {AniBox, 0, 1, 2, 3};
constexpr int BoxLabel[5] = {6, 7, 8, 9, 10}; // by box number
constexpr int NumberColumn = 0, TextColumn = 1;

int Twips(const QWidget* w, int twips) { return twips * w->logicalDpiX() / 1440; }

} // namespace

FrmDTMF::FrmDTMF(AppContext& app, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_app(app), m_prompter(prompter) {
    setObjectName(QStringLiteral("FrmDTMF"));
    setModal(true);
    buildControls();
    setTexts();
    m_loaded = LoadDtmf(m_app.image);
    setValues(m_loaded);
}

void FrmDTMF::buildControls() {
    auto* fields = new QGridLayout;
    int row = 0;
    for (int i = 0; i < 6; ++i) {
        lblDTMF[i] = Make<QLabel>(this, ArrayName("lblDTMF", i));
        cboDTMF[i] = Make<QComboBox>(this, ArrayName("cboDTMF", i));
        lblDTMF[i]->setBuddy(cboDTMF[i]);
        cboDTMF[i]->installEventFilter(this);
        fields->addWidget(lblDTMF[i], row, 0);
        fields->addWidget(cboDTMF[i], row, 1);
        ++row;
    }
    for (int k = 0; k < 5; ++k) {
        const int box = BoxOrder[k];
        const int label = BoxLabel[box];
        lblDTMF[label] = Make<QLabel>(this, ArrayName("lblDTMF", label));
        txtDTMF[box] = Make<QLineEdit>(this, ArrayName("txtDTMF", box));
        lblDTMF[label]->setBuddy(txtDTMF[box]);
        txtDTMF[box]->setMaxLength(CodeLengths[box]);
        const bool digitsOnly = box == AniBox;
        txtDTMF[box]->setValidator(new CleaningValidator(
            [digitsOnly](const QString& t) { return DtmfKeysOnly(t, digitsOnly); }, txtDTMF[box]));
        txtDTMF[box]->installEventFilter(this);
        fields->addWidget(lblDTMF[label], row, 0);
        fields->addWidget(txtDTMF[box], row, 1);
        ++row;
    }
    fields->setRowStretch(row, 1);

    fraCallList = Make<QGroupBox>(this, QStringLiteral("fraCallList"));
    GridDTMF = Make<QTableWidget>(fraCallList, QStringLiteral("GridDTMF"));
    GridDTMF->setRowCount(CallEntryCount);
    GridDTMF->setColumnCount(2);
    GridDTMF->horizontalHeader()->hide();
    GridDTMF->verticalHeader()->hide();
    GridDTMF->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridDTMF->setSelectionMode(QAbstractItemView::SingleSelection);
    GridDTMF->setTabKeyNavigation(false);
    GridDTMF->setColumnWidth(NumberColumn, Twips(this, 500));
    GridDTMF->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < CallEntryCount; ++r) {
        auto* number = new QTableWidgetItem(QString::number(r + 1));
        number->setTextAlignment(Qt::AlignCenter);
        number->setFlags(Qt::ItemIsEnabled);
        GridDTMF->setItem(r, NumberColumn, number);
        auto* text = new QTableWidgetItem;
        text->setTextAlignment(Qt::AlignCenter);
        text->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        GridDTMF->setItem(r, TextColumn, text);
    }
    GridDTMF->installEventFilter(this);
    GridDTMF->viewport()->installEventFilter(this);
    connect(GridDTMF, &QTableWidget::currentCellChanged, this, [this](int r, int c) {
        if (r >= 0 && c == NumberColumn)
            GridDTMF->setCurrentCell(r, TextColumn);
    });
    connect(GridDTMF->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (txtInput->isVisible())
            EndEdit();
    });

    txtInput = Make<QLineEdit>(GridDTMF->viewport(), QStringLiteral("txtInput"));
    txtInput->setMaxLength(CallEntryLength);
    txtInput->setAlignment(Qt::AlignCenter);
    txtInput->setValidator(
        new CleaningValidator([](const QString& t) { return DtmfKeysOnly(t, false); }, txtInput));
    txtInput->hide();
    txtInput->installEventFilter(this);

    lblShared = Make<QLabel>(fraCallList, QStringLiteral("lblShared"));
    lblShared->setWordWrap(true);
    auto* callList = new QVBoxLayout(fraCallList);
    callList->addWidget(GridDTMF, 1);
    callList->addWidget(lblShared);

    Command1[0] = Make<QPushButton>(this, ArrayName("Command1", 0));
    Command1[1] = Make<QPushButton>(this, ArrayName("Command1", 1));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (int i = 0; i < 2; ++i) {
        Command1[i]->setAutoDefault(false);
        buttons->addWidget(Command1[i]);
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
    // Enter moves on to the next field here; Ctrl+Enter presses OK as a click would.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter))})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [button = Command1[0]] {
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
        });

    auto* top = new QHBoxLayout;
    top->addLayout(fields);
    top->addWidget(fraCallList, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    resize(640, 480);
}

void FrmDTMF::setTexts() {
    const Language l = m_app.language;
    setWindowTitle(QStringLiteral("DTMF"));
    lblDTMF[0]->setText(DtmfText::SideTone(l));
    lblDTMF[1]->setText(DtmfText::TxTime(l));
    lblDTMF[2]->setText(DtmfText::PreCarrier(l));
    lblDTMF[3]->setText(DtmfText::EndCode(l));
    lblDTMF[4]->setText(DtmfText::GroupCode(l));
    lblDTMF[5]->setText(DtmfText::AutoReset(l));
    lblDTMF[10]->setText(DtmfText::Ani(l));
    lblDTMF[6]->setText(DtmfText::Stun(l));
    lblDTMF[7]->setText(DtmfText::Kill(l));
    lblDTMF[8]->setText(DtmfText::Bot(l));
    lblDTMF[9]->setText(DtmfText::Eot(l));
    fraCallList->setTitle(DtmfText::CallList(l));
    GridDTMF->setAccessibleName(DtmfText::CallList(l));
    txtInput->setAccessibleName(Pick(l, "Call list entry", "呼叫列表项"));
    Command1[0]->setText(Pick(l, "&Ok", "确定(&O)"));
    Command1[1]->setText(LoadText(1103, l));

    const QString shared = Pick(l,
                                "Entries 9-16 share the radio's channel memory (current channel, channel and "
                                "scan bitmaps); they are written only when changed.",
                                "第9-16项与对讲机的信道存储区（当前信道、信道及扫描位图）共用，仅在修改后写入。");
    lblShared->setText(shared);
    for (int r = FirstSharedEntry; r < CallEntryCount; ++r)
        GridDTMF->item(r, TextColumn)->setToolTip(shared);

    FillList(cboDTMF[0], SideToneItems(l));
    FillList(cboDTMF[1], TxTimeItems());
    FillList(cboDTMF[2], PreCarrierItems());
    FillList(cboDTMF[3], EndCodeItems());
    FillList(cboDTMF[4], GroupCodeItems(l));
    FillList(cboDTMF[5], AutoResetItems(l));
}

void FrmDTMF::setValues(const DtmfValues& v) {
    cboDTMF[0]->setCurrentIndex(v.sideTone);
    cboDTMF[1]->setCurrentIndex(v.txTime);
    cboDTMF[2]->setCurrentIndex(v.preCarrier);
    cboDTMF[3]->setCurrentIndex(v.endCode);
    cboDTMF[4]->setCurrentIndex(v.groupCode);
    cboDTMF[5]->setCurrentIndex(v.autoReset);
    txtDTMF[0]->setText(v.stun);
    txtDTMF[1]->setText(v.kill);
    txtDTMF[2]->setText(v.bot);
    txtDTMF[3]->setText(v.eot);
    txtDTMF[AniBox]->setText(v.ani);
    for (int r = 0; r < CallEntryCount; ++r)
        GridDTMF->item(r, TextColumn)->setText(v.callList.value(r));
    GridDTMF->setCurrentCell(0, TextColumn);
}

DtmfValues FrmDTMF::values() const {
    DtmfValues v;
    v.sideTone = cboDTMF[0]->currentIndex();
    v.txTime = cboDTMF[1]->currentIndex();
    v.preCarrier = cboDTMF[2]->currentIndex();
    v.endCode = cboDTMF[3]->currentIndex();
    v.groupCode = cboDTMF[4]->currentIndex();
    v.autoReset = cboDTMF[5]->currentIndex();
    v.stun = txtDTMF[0]->text();
    v.kill = txtDTMF[1]->text();
    v.bot = txtDTMF[2]->text();
    v.eot = txtDTMF[3]->text();
    v.ani = txtDTMF[AniBox]->text();
    for (int r = 0; r < CallEntryCount; ++r)
        v.callList[r] = GridDTMF->item(r, TextColumn)->text();
    if (txtInput->isVisible() && m_editRow >= 0)
        v.callList[m_editRow] = txtInput->text();
    return v;
}

void FrmDTMF::BeginEdit(int row, const QString& typed) {
    if (row < 0 || row >= CallEntryCount)
        return;
    GridDTMF->setCurrentCell(row, TextColumn);
    GridDTMF->scrollToItem(GridDTMF->item(row, TextColumn));
    const QRect cell = GridDTMF->visualItemRect(GridDTMF->item(row, TextColumn));
    const int inset = Twips(this, 50);
    txtInput->setGeometry(cell.x() + inset, cell.y(), qMax(1, cell.width() - inset), cell.height());
    m_editRow = row;
    m_savedCell = GridDTMF->item(row, TextColumn)->text();
    txtInput->setText(typed.isEmpty() ? m_savedCell : typed);
    txtInput->show();
    if (typed.isEmpty())
        txtInput->selectAll();
    else
        txtInput->end(false);
    txtInput->setFocus(Qt::OtherFocusReason);
}

void FrmDTMF::EndEdit() {
    if (m_ending || !txtInput->isVisible())
        return;
    m_ending = true;
    if (m_editRow >= 0)
        GridDTMF->item(m_editRow, TextColumn)->setText(txtInput->text());
    txtInput->hide();
    m_editRow = -1;
    m_ending = false;
}

bool FrmDTMF::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtInput)
        return editorEvent(event) || QDialog::eventFilter(watched, event);
    if (watched == GridDTMF || watched == GridDTMF->viewport())
        return gridEvent(event) || QDialog::eventFilter(watched, event);
    if (auto* box = qobject_cast<QLineEdit*>(watched))
        return codeBoxEvent(box, event) || QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && IsEnter(static_cast<QKeyEvent*>(event)) &&
        qobject_cast<QComboBox*>(watched)) {
        focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool FrmDTMF::codeBoxEvent(QLineEdit* box, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        m_remembered[box] = box->text();
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsEnter(key)) {
        focusNextChild();
        return true;
    }
    if (IsEscape(key)) {
        box->setText(m_remembered.value(box, box->text()));
        return true;
    }
    const bool digitsOnly = box == txtDTMF[AniBox];
    return FilterTypedKey(box, key, [digitsOnly](QChar c) { return FilterDtmfKey(c, digitsOnly); }, true);
}

bool FrmDTMF::gridEvent(QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && GridDTMF->indexAt(mouse->position().toPoint()).isValid())
            BeginEdit(GridDTMF->currentRow());
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsEnter(key)) {
        BeginEdit(qMax(0, GridDTMF->currentRow()));
        return true;
    }
    const QString text = key->text();
    if (!(key->modifiers() & Qt::ControlModifier) && text.size() == 1 && text.at(0).isDigit() &&
        text.at(0).unicode() < 128) {
        BeginEdit(qMax(0, GridDTMF->currentRow()), text);
        return true;
    }
    return false;
}

bool FrmDTMF::editorEvent(QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        EndEdit();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsEnter(key)) {
        GridDTMF->setFocus(Qt::OtherFocusReason);
        EndEdit(); // in case the grid already had the focus chain's attention
        return true;
    }
    if (IsEscape(key)) {
        txtInput->setText(m_savedCell);
        txtInput->selectAll();
        return true;
    }
    return FilterTypedKey(txtInput, key, [](QChar c) { return FilterDtmfKey(c, false); }, true);
}

void FrmDTMF::Command1_Click(int index) {
    if (index != 0) {
        reject();
        return;
    }
    const DtmfValues v = values();
    EndEdit();
    if (!ChangedSharedEntries(v, m_loaded).isEmpty()) {
        const Language l = m_app.language;
        const Prompter::Answer answer = m_prompter.message(
            m_app.productName,
            Pick(l,
                 "Call list entries 9-16 share the radio's channel memory. Writing the changed entries "
                 "alters the current channel and channel bitmaps stored there. Write them?",
                 "呼叫列表第9-16项与对讲机的信道存储区共用。写入修改的项将改变其中的当前信道及信道位图。是否写入？"),
            Prompter::Icon::Exclamation, Prompter::Buttons::OkCancel, Prompter::Answer::Cancel);
        if (answer != Prompter::Answer::Ok)
            return; // nothing written; the user can undo the entries or cancel
    }
    {
        const RecordedStep step(m_app.changes, m_app.image, StepOf({"DTMF", "DTMF"}));
        StoreDtmf(m_app.image, v, m_loaded);
    }
    accept();
}

} // namespace kestrel
