#include "channels/frmChannel.h"

#include "channels/GridBearings.h"
#include "channels/GridCommands.h"
#include "core/Frequency.h"
#include "core/Tone.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace kestrel {

namespace {

constexpr TextPair Descriptions[ChannelColumnCount] = {
    {"Channel number", "信道编号"},
    {"Receive frequency, MHz", "接收频率，MHz"},
    {"Transmit frequency, MHz", "发射频率，MHz"},
    {"Receive tone or code (CTCSS or DCS)", "接收亚音或数字亚音"},
    {"Transmit tone or code (CTCSS or DCS)", "发射亚音或数字亚音"},
    {"Bandwidth: wide or narrow", "带宽：宽带或窄带"},
    {"Busy channel lockout", "繁忙信道锁定"},
    {"Channel in the scan list", "信道加入扫描"},
    {"Transmit power", "发射功率"},
    {"Optional signalling (DTMF)", "可选信令（DTMF）"},
    {"Squelch mode: carrier or DTMF", "静噪方式：载波或 DTMF"},
    {"Push-to-talk identification: code sent when PTT is pressed or released", "PTT ID：按下或松开 PTT 时发送的身份码"},
    {"DTMF call group", "DTMF 呼叫组别"},
    {"Compander", "压扩"},
    {"Voice scrambler", "语音扰频"},
    {"Reverse (talk around)", "反频（脱网直通）"},
    {"Transmit inhibited on this channel", "本信道禁止发射"},
    {"Channel name", "信道名称"},
};

// What a column holds, spelled out (several headers are abbreviations): the header's
// tool tip and accessible description.
QString ColumnDescription(int column, Language language) {
    return column >= 0 && column < ChannelColumnCount ? Descriptions[column](language) : QString();
}

// Column widths in twips, columns 0-17; the name column is hidden.
constexpr std::array<int, ChannelColumnCount> ColumnTwips = {550,  1100, 1100, 1100, 1100, 1100, 1100, 1100, 1100,
                                                             1100, 1100, 1100, 1000, 1100, 1100, 1100, 1100, 0};

constexpr TextPair GeneralCaption{"General", "整机设置"};
constexpr TextPair FrequencyLabel{"Frequency", "频率"};
constexpr int BandWarningText = 1329; // "Frequency data will be cleared."
constexpr int NoToneText = 1104;

bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Keys an editor keeps for moving the caret and deleting: they type no character.
bool IsCaretKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        return true;
    default:
        return false;
    }
}

bool IsTabKey(const QKeyEvent* key) { return key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab; }

// Keys that still move the current cell through the grid.
bool IsGridMoveKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

// A focus change that leaves the editor in charge: a list's own popup, or another
// window (a message box, another application) taking over for a moment.
bool KeepsEditorOpen(const QFocusEvent* event) {
    return event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason;
}

} // namespace

frmChannel::frmChannel(AppContext& app, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_app(app), m_prompter(prompter) {
    setObjectName(QStringLiteral("frmChannel"));
    buildControls();
    shapeGrid();
    setCurrentCell({1, ColRxFreq});
    commands = new GridCommands(*this, m_app, m_prompter);
    RefreshDisplay();

    connect(CboGroup, &QComboBox::currentIndexChanged, this, &frmChannel::groupChanged);
    connect(cboGenFreq, &QComboBox::currentIndexChanged, this, &frmChannel::bandChanged);
    connect(ChannelGrid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { TransferFocus(); });
    connect(ChannelGrid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { TransferFocus(); });
    connect(ChannelGrid, &QTableWidget::currentCellChanged, this,
            [this] { emit currentChannelChanged(currentChannelNumber()); });
    connect(ChannelGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // A right click outside the selection selects the cell under it first.
        const QModelIndex cell = ChannelGrid->indexAt(at);
        if (cell.isValid() && cell.column() >= ColRxFreq && !ChannelGrid->selectionModel()->isSelected(cell))
            ChannelGrid->setCurrentIndex(cell);
        QMenu* menu = commands->contextMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(ChannelGrid->viewport()->mapToGlobal(at));
    });
}

void frmChannel::buildControls() {
    fraGeneral = new QGroupBox(this);
    fraGeneral->setObjectName(QStringLiteral("fraGeneral"));
    lblGroup = new QLabel(fraGeneral);
    lblGroup->setObjectName(QStringLiteral("lblGroup"));
    CboGroup = new QComboBox(fraGeneral);
    CboGroup->setObjectName(QStringLiteral("CboGroup"));
    for (int g = 1; g <= GroupCount; ++g)
        CboGroup->addItem(QString::number(g));
    lblGroup->setBuddy(CboGroup);

    lblGenFreq = new QLabel(fraGeneral);
    lblGenFreq->setObjectName(QStringLiteral("lblGenFreq"));
    cboGenFreq = new QComboBox(fraGeneral);
    cboGenFreq->setObjectName(QStringLiteral("cboGenFreq"));
    for (int b = 0; b < BandCount; ++b)
        cboGenFreq->addItem(BandText(b));
    lblGenFreq->setBuddy(cboGenFreq);
    cboGenFreq->installEventFilter(this);

    auto* frameLayout = new QHBoxLayout(fraGeneral);
    frameLayout->addWidget(lblGroup);
    frameLayout->addWidget(CboGroup);
    frameLayout->addSpacing(24);
    frameLayout->addWidget(lblGenFreq);
    frameLayout->addWidget(cboGenFreq);
    frameLayout->addStretch(1);

    ChannelGrid = new QTableWidget(RowsPerGroup, ChannelColumnCount, this);
    ChannelGrid->setObjectName(QStringLiteral("ChannelGrid"));

    // The grid keeps its top and takes the rest of the view.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraGeneral);
    layout->addWidget(ChannelGrid, 1);

    QWidget* cells = ChannelGrid->viewport();
    txtMemChannel = new QLineEdit(cells);
    txtMemChannel->setObjectName(QStringLiteral("txtMemChannel"));
    txtMemChannel->setFrame(false);
    txtMemChannel->setAlignment(Qt::AlignCenter);
    txtMemChannel->setContextMenuPolicy(Qt::NoContextMenu);
    txtMemChannel->hide();
    txtMemChannel->installEventFilter(this);

    cboFeature0 = new QComboBox(cells);
    cboFeature0->setObjectName(QStringLiteral("cboFeature0"));
    cboFeature0->setEditable(true);
    cboFeature0->setInsertPolicy(QComboBox::NoInsert);
    cboFeature0->setCompleter(nullptr);
    cboFeature0->addItems(m_app.toneTable);
    cboFeature0->lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
    cboFeature0->hide();
    cboFeature0->installEventFilter(this);
    cboFeature0->lineEdit()->installEventFilter(this);
    cboFeature0->view()->installEventFilter(this);

    cboFeature1 = new QComboBox(cells);
    cboFeature1->setObjectName(QStringLiteral("cboFeature1"));
    cboFeature1->hide();
    cboFeature1->installEventFilter(this);
    cboFeature1->view()->installEventFilter(this);
}

void frmChannel::shapeGrid() {
    QTableWidget* grid = ChannelGrid;
    grid->verticalHeader()->hide();
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);

    for (int c = 0; c < ChannelColumnCount; ++c) {
        grid->setHorizontalHeaderItem(c, new QTableWidgetItem);
        grid->setColumnHidden(c, ColumnTwips[c] == 0);
    }

    // Column 0 numbers the rows of whatever group is shown; it is never current.
    const QBrush fixedBackground = grid->palette().button();
    const QBrush fixedText = grid->palette().buttonText();
    for (int r = 0; r < RowsPerGroup; ++r) {
        for (int c = 0; c < ChannelColumnCount; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            if (c == 0) {
                item->setText(QString::number(r + 1));
                item->setFlags(Qt::NoItemFlags);
                item->setBackground(fixedBackground);
                item->setForeground(fixedText);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            grid->setItem(r, c, item);
        }
    }
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
    grid->horizontalHeader()->viewport()->installEventFilter(this);
    RowNumbers = new RowNumberColumn(grid);
}

void frmChannel::RefreshDisplay() {
    const Language l = m_app.language;
    fraGeneral->setTitle(GeneralCaption(l));
    lblGroup->setText(ChannelText::GroupLabel(l));
    lblGenFreq->setText(FrequencyLabel(l));
    for (int c = 0; c < ChannelColumnCount; ++c) {
        QTableWidgetItem* header = ChannelGrid->horizontalHeaderItem(c);
        header->setText(ChannelColumnHeader(c, l));
        header->setToolTip(ColumnDescription(c, l));
        header->setData(Qt::AccessibleDescriptionRole, ColumnDescription(c, l));
    }
    nameGrid();
    if (cboFeature0->count() > 0)
        cboFeature0->setItemText(0, LoadText(NoToneText, l));
    FitColumnWidths(ChannelGrid, l, ColumnTwips.data(), ChannelColumnCount);
}

void frmChannel::RefreshData() {
    hideEditors();
    RefreshSelectors();
    for (int r = 1; r <= RowsPerGroup; ++r)
        RefreshRow(r);
    emit currentChannelChanged(currentChannelNumber()); // the group shown may be another one
}

void frmChannel::RefreshSelectors() {
    // The band is already the image's: selecting it is no band change.
    cboGenFreq->setCurrentIndex(m_app.band.index);
    const int group = ReadShownGroup(m_app.image);
    CboGroup->setCurrentIndex(group);
    m_groupIndex = group;
    nameGrid();
}

void frmChannel::nameGrid() {
    const Language l = m_app.language;
    ChannelGrid->setAccessibleName(Pick(l, "Channels, group %1", "信道，第 %1 组").arg(m_groupIndex + 1));
    // The row headers are hidden, but a screen reader announces a cell with them: the
    // channel number of the row.
    for (int r = 0; r < RowsPerGroup; ++r) {
        const int channel = ChannelIndexOf(m_groupIndex, r + 1);
        QTableWidgetItem* header = ChannelGrid->verticalHeaderItem(r);
        if (!header) {
            header = new QTableWidgetItem;
            ChannelGrid->setVerticalHeaderItem(r, header);
        }
        header->setText(QString::number(channel + 1));
        header->setData(Qt::AccessibleTextRole, Pick(l, "Channel %1", "信道 %1").arg(channel + 1));
    }
}

int frmChannel::currentChannelNumber() const {
    const int channel = ChannelIndexOf(m_groupIndex, ChannelGrid->currentRow() + 1);
    return IsChannelIndex(channel) ? channel + 1 : 0;
}

void frmChannel::RefreshRow(int row) {
    const int channel = ChannelIndexOf(m_groupIndex, row);
    if (!IsChannelIndex(channel))
        return;
    setRowTexts(row, ReadChannelForDisplay(m_app.image, m_app.band, m_app.toneTable, m_app.language, channel));
}

void frmChannel::groupChanged(int position) {
    if (position < 0 || position >= GroupCount)
        return;
    TransferFocus(); // a wheel over the selector changes it without taking the focus
    m_groupIndex = position;
    nameGrid();
    if (position != m_app.image.byte(ShownGroupByte)) {
        WriteShownGroup(m_app.image, position);
        RefreshData();
    }
}

void frmChannel::bandChanged(int position) {
    if (position < 0 || position >= BandCount || position == m_app.band.index)
        return;
    TransferFocus();
    const BandLimits previous = m_app.band;
    m_app.band = BandOfIndex(position);
    if (m_app.radioReadFlag)
        return; // a read from the radio is selecting the radio's band

    const auto putBack = [&] {
        m_app.band = previous;
        const QSignalBlocker block(cboGenFreq);
        cboGenFreq->setCurrentIndex(previous.index);
    };
    const QString warning = LoadText(BandWarningText, m_app.language);
    if (m_app.image.IsImageModified()) {
        // Unsaved work would be replaced: the user may still back out.
        const auto answer = m_prompter.message(m_app.productName, warning, Prompter::Icon::Exclamation,
                                               Prompter::Buttons::OkCancel, Prompter::Answer::Cancel);
        if (answer != Prompter::Answer::Ok) {
            putBack();
            return;
        }
    } else {
        m_prompter.inform(m_app.productName, warning, Prompter::Icon::Exclamation);
    }

    QString error;
    {
        const RecordedStep step(m_app.changes, m_app.image,
                                {QStringLiteral("Band %1 MHz").arg(BandText(position)),
                                 QStringLiteral("频段 %1 MHz").arg(BandText(position))});
        if (!LoadDefaultImage(m_app.image, position, m_app.appFolder, &error)) {
            putBack();
            m_prompter.inform(m_app.productName, error, Prompter::Icon::Critical);
            return;
        }
        EncodeBandLimits(m_app.image, m_app.band);
    }
    emit requestRefreshData();
}

void frmChannel::SetCurrentCH() {
    std::array<bool, RowsPerGroup> filled{};
    for (int r = 1; r <= RowsPerGroup; ++r)
        filled[r - 1] = !cellText(r, ColRxFreq).isEmpty();
    SetCurrentChannelByte(m_app.image, filled);
}

void frmChannel::TransferFocus() {
    if (txtMemChannel->isVisible())
        closeEditor(txtMemChannel, true);
    else if (cboFeature0->isVisible())
        closeEditor(cboFeature0, true);
    else if (cboFeature1->isVisible())
        closeEditor(cboFeature1, true);
}

QString frmChannel::bandSelectorText() const { return cboGenFreq->currentText(); }

QString frmChannel::cellText(int row, int column) const {
    const QTableWidgetItem* item = ChannelGrid->item(row - 1, column);
    return item ? item->text() : QString();
}

ChannelTexts frmChannel::rowTexts(int row) const {
    ChannelTexts texts;
    for (int c = ColRxFreq; c < ChannelColumnCount; ++c)
        texts.cells[c] = cellText(row, c);
    return texts;
}

void frmChannel::setRowTexts(int row, const ChannelTexts& texts) {
    for (int c = ColRxFreq; c < ChannelColumnCount; ++c)
        if (QTableWidgetItem* item = ChannelGrid->item(row - 1, c))
            item->setText(texts.cells[c]);
}

GridCell frmChannel::currentCell() const { return {ChannelGrid->currentRow() + 1, ChannelGrid->currentColumn()}; }

void frmChannel::setCurrentCell(GridCell cell) { ChannelGrid->setCurrentCell(cell.row - 1, cell.column); }

void frmChannel::placeEditor(QWidget* editor, bool insideBorders) {
    const GridCell cell = currentCell();
    QRect rect = ChannelGrid->visualItemRect(ChannelGrid->item(cell.row - 1, cell.column));
    if (insideBorders)
        editor->setGeometry(rect.adjusted(1, 1, -1, -1));
    else
        editor->setGeometry(rect.left(), rect.top(), rect.width(), editor->sizeHint().height());
}

void frmChannel::ShowCellEditor() {
    const GridCell cell = currentCell();
    if (cell.column < ColRxFreq || cell.column > LastOptionColumn || ChannelGrid->isColumnHidden(cell.column))
        return;
    if (cell.row < 1 || cell.row > RowsPerGroup)
        return;
    ChannelGrid->scrollToItem(ChannelGrid->item(cell.row - 1, cell.column));
    m_edit.row = cell.row;
    m_edit.column = cell.column;
    m_edit.channel = ChannelIndexOf(m_groupIndex, cell.row);
    m_edit.savedText = cellText(cell.row, cell.column);

    QWidget* editor = nullptr;
    if (cell.column == ColRxFreq || cell.column == ColTxFreq) {
        placeEditor(txtMemChannel, true);
        txtMemChannel->setText(m_edit.savedText);
        txtMemChannel->selectAll();
        editor = txtMemChannel;
    } else if (cell.column == ColDecode || cell.column == ColEncode) {
        placeEditor(cboFeature0, false);
        cboFeature0->setCurrentIndex(cboFeature0->findText(m_edit.savedText, Qt::MatchExactly));
        cboFeature0->setEditText(m_edit.savedText);
        cboFeature0->lineEdit()->selectAll();
        editor = cboFeature0;
    } else {
        cboFeature1->clear();
        cboFeature1->addItems(ChannelOptionList(cell.column, m_app.language));
        placeEditor(cboFeature1, false);
        cboFeature1->setCurrentIndex(0);
        const int saved = cboFeature1->findText(m_edit.savedText, Qt::MatchExactly);
        if (saved >= 0)
            cboFeature1->setCurrentIndex(saved);
        editor = cboFeature1;
    }
    // A screen reader names the open editor as the cell: column and channel.
    editor->setAccessibleName(Pick(m_app.language, "%1, channel %2", "%1，信道 %2")
                                  .arg(ChannelColumnHeader(cell.column, m_app.language))
                                  .arg(m_edit.channel + 1));
    editor->setAccessibleDescription(ColumnDescription(cell.column, m_app.language));
    editor->show();
    editor->raise();
    editor->setFocus(Qt::OtherFocusReason);
}

namespace {
StepName EditChannelStep(int channel) {
    return {QStringLiteral("Edit Channel %1").arg(channel + 1), QStringLiteral("编辑信道 %1").arg(channel + 1)};
}
} // namespace

void frmChannel::CommitTextCell() {
    ChannelTexts cells = rowTexts(m_edit.row);
    CommitOutcome outcome;
    {
        const RecordedStep step(m_app.changes, m_app.image, EditChannelStep(m_edit.channel));
        outcome =
            kestrel::CommitTextCell(m_app.image, m_app.band, m_app.language, cells, m_edit, txtMemChannel->text());
    }
    if (outcome.stored)
        setRowTexts(m_edit.row, cells);
    m_edit.savedText = cellText(m_edit.row, m_edit.column);
    if (outcome.outOfRange)
        ShowOutOfRange(m_prompter, m_app);
}

void frmChannel::CommitListCell(QComboBox* editor) {
    ChannelTexts cells = rowTexts(m_edit.row);
    const QString noTone = cboFeature0->count() > 0 ? cboFeature0->itemText(0) : LoadText(NoToneText, m_app.language);
    CommitOutcome outcome;
    {
        const RecordedStep step(m_app.changes, m_app.image, EditChannelStep(m_edit.channel));
        outcome = kestrel::CommitListCell(m_app.image, m_app.language, noTone, cells, m_edit, editor->currentText());
    }
    if (outcome.stored)
        setRowTexts(m_edit.row, cells);
    m_edit.savedText = cellText(m_edit.row, m_edit.column);
    if (!outcome.message.isEmpty())
        m_prompter.inform(m_app.productName, outcome.message(m_app.language), Prompter::Icon::Exclamation);
}

void frmChannel::closeEditor(QWidget* editor, bool commit) {
    if (!editor->isVisible() || m_closing)
        return;
    m_closing = true;
    if (editor->hasFocus())
        ChannelGrid->setFocus(Qt::OtherFocusReason);
    editor->hide();
    if (commit) {
        if (editor == txtMemChannel)
            CommitTextCell();
        else
            CommitListCell(static_cast<QComboBox*>(editor));
    }
    m_closing = false;
}

void frmChannel::hideEditors() {
    for (QWidget* editor : {static_cast<QWidget*>(txtMemChannel), static_cast<QWidget*>(cboFeature0),
                            static_cast<QWidget*>(cboFeature1)})
        closeEditor(editor, false);
}

void frmChannel::leftReleased() {
    const GridCell cell = currentCell();
    if (cell.column < ColRxFreq || cell.row < 1)
        return;
    const GridCell target = CellForEditor(cell, !cellText(cell.row, ColRxFreq).isEmpty(),
                                          !cellText(cell.row, ColTxFreq).isEmpty());
    if (!(target == cell))
        setCurrentCell(target);
    ShowCellEditor();
}

bool frmChannel::gridKey(QKeyEvent* key) {
    // A key an open editor did not take stays with it: the grid's cell does not move.
    if (editorOpen() && !ChannelGrid->hasFocus())
        return true;
    if (commands->gridKey(key))
        return true;
    if (IsTabKey(key)) {
        setCurrentCell(CellAfterTab(currentCell(), key->key() == Qt::Key_Backtab));
        return true;
    }
    if (IsEnterKey(key->key())) {
        leftReleased();
        return true;
    }
    if (const auto typed = GridStartChar(key->key(), key->modifiers().testFlag(Qt::KeypadModifier))) {
        const GridCell cell = currentCell();
        if (const auto start = CellForTypedStart(cell, !cellText(cell.row, ColRxFreq).isEmpty())) {
            setCurrentCell(*start);
            ShowCellEditor();
            txtMemChannel->setText(QString(*typed));
            txtMemChannel->deselect();
            txtMemChannel->end(false);
        }
        return true;
    }
    if (key->matches(QKeySequence::SelectAll))
        return false; // the grid selects every cell of the group
    return !IsGridMoveKey(key->key());
}

bool frmChannel::textEditorKey(QKeyEvent* key) {
    if (IsTabKey(key))
        return tabOut(txtMemChannel, key);
    if (IsEnterKey(key->key())) {
        const GridCell next = CellAfterTextEnter({m_edit.row, m_edit.column});
        closeEditor(txtMemChannel, true);
        setCurrentCell(next);
        ChannelGrid->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        closeEditor(txtMemChannel, false);
        ChannelGrid->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Copy)) {
        commands->run(key->matches(QKeySequence::Paste) ? QStringLiteral("miPaste") : QStringLiteral("miCopy"));
        return true;
    }
    if (IsCaretKey(key->key()))
        return false;
    // The keypad's decimal key is the decimal point, whatever the keyboard layout sends.
    if (const auto typed = GridStartChar(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
        typed && *typed == QLatin1Char('.')) {
        typeThrough(txtMemChannel, QStringLiteral("."));
        return true;
    }
    if (key->text().isEmpty())
        return false;
    return !FilterFrequencyKey(txtMemChannel->text(), int(txtMemChannel->selectedText().length()), key->text().at(0));
}

bool frmChannel::toneEditorKey(QKeyEvent* key) {
    QLineEdit* line = cboFeature0->lineEdit();
    if (IsTabKey(key))
        return tabOut(cboFeature0, key);
    if (IsEnterKey(key->key())) {
        const GridCell next =
            CellAfterToneEnter({m_edit.row, m_edit.column}, !cellText(m_edit.row, ColEncode).isEmpty());
        closeEditor(cboFeature0, true);
        setCurrentCell(next);
        ChannelGrid->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        cboFeature0->setEditText(m_edit.savedText);
        line->selectAll();
        return true;
    }
    if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Copy)) {
        commands->run(key->matches(QKeySequence::Paste) ? QStringLiteral("miPaste") : QStringLiteral("miCopy"));
        return true;
    }
    if (const auto typed = GridStartChar(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
        typed && *typed == QLatin1Char('.')) {
        typeThrough(line, QStringLiteral("."));
        return true;
    }
    if (IsCaretKey(key->key()) || key->text().isEmpty())
        return false; // the list's own keys: arrows, page keys, opening the list
    const QChar typed = key->text().at(0);
    const auto accepted = FilterToneKey(line->text(), int(line->selectedText().length()), typed);
    if (!accepted)
        return true;
    if (*accepted != typed) {
        line->insert(QString(*accepted));
        return true;
    }
    return false;
}

bool frmChannel::optionEditorKey(QKeyEvent* key) {
    if (IsTabKey(key))
        return tabOut(cboFeature1, key);
    if (key->key() == Qt::Key_Escape) {
        closeEditor(cboFeature1, false);
        ChannelGrid->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (!IsEnterKey(key->key()))
        return false;
    const GridCell next = CellAfterOptionEnter({m_edit.row, m_edit.column});
    closeEditor(cboFeature1, true);
    setCurrentCell(next);
    ChannelGrid->setFocus(Qt::OtherFocusReason);
    return true;
}

bool frmChannel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == txtMemChannel)
            return textEditorKey(key);
        if (watched == cboFeature0)
            return toneEditorKey(key);
        if (watched == cboFeature1)
            return optionEditorKey(key);
        if (watched == cboFeature0->view())
            return popupKey(cboFeature0, key);
        if (watched == cboFeature1->view())
            return popupKey(cboFeature1, key);
        if (watched == ChannelGrid)
            return gridKey(key);
        if (watched == cboGenFreq) {
            if (IsEnterKey(key->key())) {
                focusNextChild();
                return true;
            }
            return !key->text().isEmpty() && key->text().at(0).isPrint();
        }
    } else if (type == QEvent::FocusOut) {
        auto* focus = static_cast<QFocusEvent*>(event);
        if ((watched == txtMemChannel || watched == cboFeature0 || watched == cboFeature1) && !KeepsEditorOpen(focus))
            closeEditor(static_cast<QWidget*>(watched), true);
    } else if (type == QEvent::Wheel) {
        // A list that is not open does not change its value under the wheel.
        if (watched == cboFeature0 || watched == cboFeature1)
            return true;
    } else if (type == QEvent::Drop) {
        if (watched == txtMemChannel || watched == cboFeature0->lineEdit())
            return dropIntoEditor(static_cast<QLineEdit*>(watched), static_cast<QDropEvent*>(event));
    } else if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
        if (mouseEvent(watched, event))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrel
