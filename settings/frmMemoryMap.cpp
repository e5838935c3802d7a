#include "settings/frmMemoryMap.h"

#include "settings/ViewSupport.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QShortcut>

namespace kestrel {

using namespace settings;

namespace {
constexpr int VisibleRows = 17; // header row and 16 lines
constexpr int WidthUnits = 19;  // label column 2 units, each byte column 1
} // namespace

frmMemoryMap::frmMemoryMap(AppContext& app, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_app(app), m_prompter(prompter) {
    setObjectName(QStringLiteral("frmMemoryMap"));
    setModal(true);
    setWindowTitle(QStringLiteral("Memory Map"));

    msgMemory = Make<QTableView>(this, QStringLiteral("msgMemory"));
    msgMemory->setModel(&m_model);
    msgMemory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    msgMemory->setSelectionMode(QAbstractItemView::SingleSelection);
    msgMemory->setTabKeyNavigation(false);
    msgMemory->setWordWrap(false);
    msgMemory->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    msgMemory->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    msgMemory->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    msgMemory->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    const int rowHeight = fontMetrics().height() + 6;
    msgMemory->verticalHeader()->setDefaultSectionSize(rowHeight);
    msgMemory->horizontalHeader()->setFixedHeight(rowHeight);
    msgMemory->setMinimumHeight(VisibleRows * rowHeight + 2 * msgMemory->frameWidth());
    msgMemory->installEventFilter(this);
    msgMemory->viewport()->installEventFilter(this);

    txtMemory = Make<QLineEdit>(msgMemory->viewport(), QStringLiteral("txtMemory"));
    txtMemory->setAlignment(Qt::AlignCenter);
    txtMemory->setMaxLength(2);
    txtMemory->setFrame(false);
    txtMemory->setContextMenuPolicy(Qt::NoContextMenu);
    txtMemory->setValidator(new CleaningValidator(HexDigitsOnly, txtMemory));
    txtMemory->hide();
    txtMemory->installEventFilter(this);

    TxtAddr = Make<QLineEdit>(this, QStringLiteral("TxtAddr"));
    TxtAddr->setMaxLength(4);
    TxtAddr->setContextMenuPolicy(Qt::NoContextMenu);
    TxtAddr->setValidator(new CleaningValidator(HexDigitsOnly, TxtAddr));
    TxtAddr->installEventFilter(this);
    Label1 = Make<QLabel>(this, QStringLiteral("Label1"));
    Label1->setText(QStringLiteral("="));
    LblValue = Make<QLabel>(this, QStringLiteral("LblValue"));
    LblValue->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    cmdOK = Make<QPushButton>(this, QStringLiteral("cmdOK"));
    cmdOK->setText(QStringLiteral("&OK"));
    cmdCancel = Make<QPushButton>(this, QStringLiteral("cmdCancel"));
    cmdCancel->setText(QStringLiteral("&Cancel"));
    // Names for screen readers; LblValue, the decimal value, follows the address.
    msgMemory->setAccessibleName(Pick(m_app.language, "Memory map", "存储器映像"));
    txtMemory->setAccessibleName(Pick(m_app.language, "Byte, hexadecimal", "字节（十六进制）"));
    TxtAddr->setAccessibleName(Pick(m_app.language, "Address, hexadecimal", "地址（十六进制）"));
    for (QPushButton* b : {cmdOK, cmdCancel})
        b->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(TxtAddr);
    bottom->addWidget(Label1);
    bottom->addWidget(LblValue);
    bottom->addStretch(1);
    bottom->addWidget(cmdOK);
    bottom->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(msgMemory, 1);
    layout->addLayout(bottom);
    resize(fontMetrics().horizontalAdvance(QStringLiteral("0000")) * WidthUnits, sizeHint().height());

    m_model.load(m_app.image);
    connect(msgMemory->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    cellEntered(MemoryMapModel::cellOf(current));
            });
    // Scrolling the grid under an open editor cancels the edit.
    for (QScrollBar* bar : {msgMemory->verticalScrollBar(), msgMemory->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (txtMemory->isVisible())
                cancelEdit();
        });
    // Enter moves on to the next field here; Ctrl+Enter presses OK as a click would.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter))})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [button = cmdOK] {
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
        });
    connect(cmdOK, &QPushButton::clicked, this, &frmMemoryMap::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    msgMemory->setCurrentIndex(m_model.indexOf(MapCell{0, 0}));
    cellEntered(MapCell{0, 0});
    msgMemory->setFocus(Qt::OtherFocusReason);
}

MapCell frmMemoryMap::currentCell() const {
    const QModelIndex i = msgMemory->currentIndex();
    return i.isValid() ? MemoryMapModel::cellOf(i) : MapCell{};
}

void frmMemoryMap::cellEntered(const MapCell& cell) {
    TxtAddr->setText(AddressText(cell));
    LblValue->setText(QString::number(CellValue(m_model.cellText(cell))));
}

void frmMemoryMap::BeginEdit(const MapCell& cell, const QString& typed) {
    const QModelIndex index = m_model.indexOf(cell);
    if (!index.isValid())
        return;
    if (txtMemory->isVisible())
        commitEdit();
    msgMemory->setCurrentIndex(index);
    msgMemory->scrollTo(index);
    m_editCell = cell;
    m_savedCell = m_model.cellText(cell);
    txtMemory->setGeometry(msgMemory->visualRect(index));
    txtMemory->setText(typed.isEmpty() ? m_savedCell : typed);
    txtMemory->show();
    if (typed.isEmpty())
        txtMemory->selectAll();
    else
        txtMemory->end(false);
    txtMemory->setFocus(Qt::OtherFocusReason);
}

void frmMemoryMap::commitEdit() {
    if (m_closingEditor || !txtMemory->isVisible())
        return;
    m_closingEditor = true;
    txtMemory->hide();
    m_model.setCellText(m_editCell, CompleteCellText(txtMemory->text()));
    if (currentCell() == m_editCell)
        cellEntered(m_editCell);
    m_closingEditor = false;
}

void frmMemoryMap::cancelEdit() {
    if (m_closingEditor || !txtMemory->isVisible())
        return;
    m_closingEditor = true;
    txtMemory->hide();
    m_model.setCellText(m_editCell, m_savedCell);
    msgMemory->setFocus(Qt::OtherFocusReason);
    m_closingEditor = false;
}

void frmMemoryMap::leaveAddress() {
    const QString text = NormalizeAddressText(TxtAddr->text());
    TxtAddr->setText(text);
    if (text == m_savedAddress)
        return;
    m_savedAddress = text; // the jump is done once, however the box is left afterwards
    const MapCell cell = AddressCell(text);
    const QModelIndex index = m_model.indexOf(cell);
    msgMemory->setCurrentIndex(index);
    msgMemory->scrollTo(index, QAbstractItemView::PositionAtTop);
    BeginEdit(cell);
}

void frmMemoryMap::fitColumns() {
    int width = msgMemory->contentsRect().width();
    if (msgMemory->verticalScrollBar()->isVisible())
        width -= msgMemory->verticalScrollBar()->width();
    const int unit = qMax(8, width / WidthUnits);
    msgMemory->verticalHeader()->setFixedWidth(2 * unit);
    msgMemory->horizontalHeader()->setDefaultSectionSize(unit);
    if (txtMemory->isVisible())
        txtMemory->setGeometry(msgMemory->visualRect(m_model.indexOf(m_editCell)));
}

bool frmMemoryMap::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtMemory)
        return editorEvent(event) || QDialog::eventFilter(watched, event);
    if (watched == TxtAddr)
        return addressEvent(event) || QDialog::eventFilter(watched, event);
    if (watched == msgMemory || watched == msgMemory->viewport())
        return gridEvent(event) || QDialog::eventFilter(watched, event);
    return QDialog::eventFilter(watched, event);
}

bool frmMemoryMap::gridEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
        fitColumns();
        return false;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex at = msgMemory->indexAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && at.isValid() && at == msgMemory->currentIndex())
            BeginEdit(MemoryMapModel::cellOf(at));
        return false;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsEnter(key)) {
            BeginEdit(currentCell());
            return true;
        }
        const QString text = key->text();
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier) || text.size() != 1)
            return false;
        if (const auto first = GridStartKey(text.at(0))) {
            BeginEdit(currentCell(), QString(*first));
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

bool frmMemoryMap::editorEvent(QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        commitEdit();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsEnter(key)) {
        const MapCell edited = m_editCell;
        commitEdit();
        msgMemory->setFocus(Qt::OtherFocusReason);
        msgMemory->setCurrentIndex(m_model.indexOf(NextCellAfterEnter(edited)));
        return true;
    }
    if (IsEscape(key)) {
        cancelEdit();
        return true;
    }
    const auto filter = [this](QChar c) {
        return FilterCellKey(c, int(txtMemory->text().size()), txtMemory->hasSelectedText());
    };
    return FilterTypedKey(txtMemory, key, filter, false);
}

bool frmMemoryMap::addressEvent(QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        m_savedAddress = TxtAddr->text();
        QTimer::singleShot(0, TxtAddr, &QLineEdit::selectAll);
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        leaveAddress();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsEnter(key)) {
        leaveAddress();
        return true;
    }
    if (IsEscape(key)) {
        TxtAddr->setText(m_savedAddress);
        TxtAddr->selectAll();
        return true;
    }
    return FilterTypedKey(TxtAddr, key, FilterAddressKey, false);
}

void frmMemoryMap::cmdOK_Click() {
    commitEdit();
    // The channel grid empties records of its group that hold no valid channel:
    // say so before bytes typed into them vanish.
    MemoryImage after = m_app.image;
    m_model.store(after);
    const QList<int> cleared = RowsTheGridWillClear(m_app.image, after, m_app.band);
    if (!cleared.isEmpty() &&
        m_prompter.message(m_app.productName, ClearedChannelsText(cleared, m_app.language), Prompter::Icon::Question,
                           Prompter::Buttons::OkCancel, Prompter::Answer::Cancel) != Prompter::Answer::Ok)
        return;
    {
        const RecordedStep step(m_app.changes, m_app.image, StepOf({"Memory Map", "内存映射"}));
        m_model.store(m_app.image);
    }
    accept();
}

} // namespace kestrel
