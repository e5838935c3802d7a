#include "channels/GridCommands.h"

#include "channels/ChannelPaste.h"
#include "channels/RowCommands.h"
#include "channels/frmChannel.h"
#include "core/ChannelRecord.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>

namespace kestrel {

namespace {

struct Command {
    const char* id;
    TextPair caption;
    QKeySequence key;
    void (GridCommands::*run)();
};

const QList<Command>& Commands() {
    static const QList<Command> commands = {
        {"miCut", {"Cut", "剪切"}, QKeySequence::Cut, &GridCommands::cut},
        {"miCopy", {"Copy", "复制"}, QKeySequence::Copy, &GridCommands::copy},
        {"miPaste", {"Paste", "粘贴"}, QKeySequence::Paste, &GridCommands::paste},
        {"miDelete", {"Delete", "删除"}, QKeySequence(Qt::Key_Delete), &GridCommands::clear},
        {"miInsertChannel", {"Insert Channel", "插入信道"}, QKeySequence(), &GridCommands::insertChannels},
        {"miDeleteChannel", {"Delete Channel", "删除信道"}, QKeySequence(Qt::CTRL | Qt::Key_Delete),
         &GridCommands::deleteChannels},
        {"miMoveUp", {"Move Up", "上移"}, QKeySequence(Qt::CTRL | Qt::Key_Up), &GridCommands::moveUp},
        {"miMoveDown", {"Move Down", "下移"}, QKeySequence(Qt::CTRL | Qt::Key_Down), &GridCommands::moveDown},
        {"miSortRx", {"Sort by RX Freq", "按接收频率排序"}, QKeySequence(), &GridCommands::sortByRx},
    };
    return commands;
}

const Command* Find(const QString& id) {
    for (const Command& c : Commands())
        if (id == QLatin1String(c.id))
            return &c;
    return nullptr;
}

StepName CountStep(const char* single, const char* singleZh, const char* verb, const char* verbZh, int count) {
    if (count == 1)
        return StepOf({single, singleZh});
    return ChannelCountStep(verb, verbZh, count);
}

} // namespace

GridCommands::GridCommands(frmChannel& view, AppContext& app, Prompter& prompter)
    : QObject(&view), m_view(view), m_app(app), m_prompter(prompter) {}

const QStringList& GridCommands::Ids() {
    static const QStringList ids = [] {
        QStringList out;
        for (const Command& c : Commands())
            out << QString::fromLatin1(c.id);
        return out;
    }();
    return ids;
}

QString GridCommands::Caption(const QString& id, Language language) {
    const Command* c = Find(id);
    return c ? c->caption(language) : QString();
}

QKeySequence GridCommands::KeyOf(const QString& id) {
    const Command* c = Find(id);
    return c ? c->key : QKeySequence();
}

bool GridCommands::run(const QString& id) {
    const Command* c = Find(id);
    if (!c)
        return false;
    (this->*(c->run))();
    return true;
}

bool GridCommands::gridKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (key->matches(QKeySequence::Copy))
        copy();
    else if (key->matches(QKeySequence::Cut))
        cut();
    else if (key->matches(QKeySequence::Paste))
        paste();
    else if (key->key() == Qt::Key_Delete && mods == Qt::NoModifier)
        clear();
    else if (key->key() == Qt::Key_Delete && mods == Qt::ControlModifier)
        deleteChannels();
    else if (key->key() == Qt::Key_Up && mods == Qt::ControlModifier)
        moveUp();
    else if (key->key() == Qt::Key_Down && mods == Qt::ControlModifier)
        moveDown();
    else
        return false;
    return true;
}

QMenu* GridCommands::contextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("mnuGrid"));
    for (const Command& c : Commands()) {
        if (c.run == &GridCommands::insertChannels)
            menu->addSeparator();
        QAction* a = menu->addAction(c.caption(m_app.language));
        a->setObjectName(QString::fromLatin1(c.id));
        a->setShortcut(c.key); // shown only: the grid's own key handler runs it
        a->setShortcutContext(Qt::WidgetShortcut);
        const auto run = c.run;
        connect(a, &QAction::triggered, this, [this, run] { (this->*run)(); });
    }
    return menu;
}

QRect GridCommands::selectedBlock() const {
    const QTableWidget* grid = m_view.ChannelGrid;
    QRect block;
    for (const QModelIndex& i : grid->selectionModel()->selectedIndexes()) {
        if (i.column() < ColRxFreq || i.column() > LastOptionColumn)
            continue;
        block |= QRect(i.column(), i.row() + 1, 1, 1);
    }
    if (block.isEmpty()) {
        const int column = qBound(int(ColRxFreq), grid->currentColumn(), int(LastOptionColumn));
        block = QRect(column, qMax(0, grid->currentRow()) + 1, 1, 1);
    }
    return block;
}

QList<int> GridCommands::selectedChannels() const {
    const QTableWidget* grid = m_view.ChannelGrid;
    QList<int> rows;
    for (const QModelIndex& i : grid->selectionModel()->selectedIndexes())
        rows << i.row() + 1;
    if (rows.isEmpty() && grid->currentRow() >= 0)
        rows << grid->currentRow() + 1;
    QList<int> channels;
    for (int r : rows)
        channels << ChannelIndexOf(m_view.groupIndex(), r);
    return ChannelSet(channels);
}

QString GridCommands::clipboardText() const { return QApplication::clipboard()->text(); }

void GridCommands::copy() {
    if (QLineEdit* editor = m_view.openLineEditor()) {
        // Nothing selected in the editor: the cell's own text.
        if (editor->hasSelectedText())
            editor->copy();
        else
            QApplication::clipboard()->setText(m_view.editedCellText());
        return;
    }
    const QTableWidget* grid = m_view.ChannelGrid;
    const QItemSelectionModel* selection = grid->selectionModel();
    const QRect block = selectedBlock();
    const bool any = selection->hasSelection();
    QList<QStringList> rows;
    for (int r = block.top(); r <= block.bottom(); ++r) {
        QStringList cells;
        for (int c = block.left(); c <= block.right(); ++c) {
            const QModelIndex at = grid->model()->index(r - 1, c);
            cells << (!any || selection->isSelected(at) ? at.data().toString() : QString());
        }
        rows << cells;
    }
    QApplication::clipboard()->setText(TabText(rows));
}

void GridCommands::cut() {
    if (QLineEdit* editor = m_view.openLineEditor()) {
        editor->cut();
        return;
    }
    copy();
    const QList<int> channels = selectedChannels();
    clearChannels(channels, ChannelCountStep("Cut", "剪切", int(channels.size())));
}

void GridCommands::clear() {
    if (QLineEdit* editor = m_view.openLineEditor()) {
        editor->del();
        return;
    }
    const QList<int> channels = selectedChannels();
    clearChannels(channels, ChannelCountStep("Clear", "清除", int(channels.size())));
}

void GridCommands::clearChannels(const QList<int>& channels, const StepName& name) {
    m_view.TransferFocus();
    {
        const RecordedStep step(m_app.changes, m_app.image, name);
        for (int c : channels)
            ClearChannel(m_app.image, c); // as emptying RX Freq does: the bitmaps keep their bits
    }
    showChannels(channels);
}

void GridCommands::paste() {
    const QString text = clipboardText();
    // Several cells are for the grid, at the open editor's cell; one goes into the editor.
    if (IsMultiCellText(text))
        m_view.leaveEditorForPaste();
    else if (m_view.pasteIntoEditor(text))
        return;
    m_view.TransferFocus();
    const QRect block = selectedBlock();
    QList<QStringList> rows = WithoutHeaderRows(ParseTabText(text), block.left());
    if (rows.isEmpty())
        return;
    const int firstChannel = ChannelIndexOf(m_view.groupIndex(), block.top());
    const int firstColumn = block.left();
    const int past = RowsPastLastChannel(firstChannel, int(rows.size()));
    if (past > 0) {
        const auto answer = m_prompter.message(
            m_app.productName,
            Pick(m_app.language, "The pasted rows run past channel 128: the last %1 of them are left out.",
                 "粘贴的行超出信道 128：最后 %1 行将被舍弃。")
                .arg(past),
            Prompter::Icon::Question, Prompter::Buttons::OkCancel, Prompter::Answer::Ok);
        if (answer != Prompter::Answer::Ok)
            return;
        rows = rows.mid(0, rows.size() - past);
    }
    PasteResult result;
    {
        RecordedStep step(m_app.changes, m_app.image, {});
        result = PasteRows(m_app.image, m_app.band, m_app.language, m_app.toneTable, firstChannel, firstColumn, rows);
        step.rename(ChannelCountStep("Paste", "粘贴", result.rows));
    }
    QList<int> pasted;
    int width = 0;
    for (int i = 0; i < rows.size(); ++i) {
        pasted << firstChannel + i;
        width = qMax(width, int(rows[i].size()));
    }
    showChannels(pasted, firstColumn, qMin(int(LastOptionColumn), firstColumn + qMax(width, 1) - 1));
    if (!result.notes.isEmpty())
        m_prompter.inform(m_app.productName, PasteReportText(result.notes, m_app.language),
                          Prompter::Icon::Exclamation);
}

void GridCommands::insertChannels() {
    m_view.TransferFocus();
    const QList<int> channels = selectedChannels();
    if (channels.isEmpty())
        return;
    const int first = channels.first();
    const int count = int(channels.size());
    const int lost = ChannelsLostByInsert(m_app.image, m_app.band, first, count);
    if (lost > 0) {
        const QString question =
            lost == 1 ? Pick(m_app.language, "Channel 128 is in use and drops off the end of the list. Insert anyway?",
                             "信道 128 已使用，插入后将被移出列表。是否仍要插入？")
                      : Pick(m_app.language,
                             "%1 channels in use drop off the end of the list. Insert anyway?",
                             "%1 个已使用的信道将被移出列表末尾。是否仍要插入？")
                            .arg(lost);
        const auto answer = m_prompter.message(m_app.productName, question, Prompter::Icon::Question,
                                               Prompter::Buttons::OkCancel, Prompter::Answer::Cancel);
        if (answer != Prompter::Answer::Ok)
            return;
    }
    {
        const RecordedStep step(m_app.changes, m_app.image,
                                CountStep("Insert Channel", "插入信道", "Insert", "插入", count));
        InsertChannels(m_app.image, first, count);
    }
    QList<int> inserted;
    for (int i = 0; i < count; ++i)
        inserted << first + i;
    showChannels(inserted);
}

void GridCommands::deleteChannels() {
    m_view.TransferFocus();
    const QList<int> channels = selectedChannels();
    if (channels.isEmpty())
        return;
    {
        const RecordedStep step(m_app.changes, m_app.image,
                                CountStep("Delete Channel", "删除信道", "Delete", "删除", int(channels.size())));
        DeleteChannels(m_app.image, channels);
    }
    showChannels({channels.first()});
}

void GridCommands::move(int direction) {
    m_view.TransferFocus();
    QList<int> channels = selectedChannels();
    {
        const RecordedStep step(m_app.changes, m_app.image,
                                direction < 0 ? StepOf({"Move Up", "上移"}) : StepOf({"Move Down", "下移"}));
        if (!MoveChannels(m_app.image, channels, direction))
            return;
    }
    // The channel leading the move stays in sight, also when it crosses into another group.
    const int group = GroupIndexOfChannel(direction < 0 ? channels.first() : channels.last());
    if (group != m_view.groupIndex())
        m_view.showGroup(group);
    const QRect block = selectedBlock();
    showChannels(channels, block.left(), block.right());
}

void GridCommands::sortByRx() {
    m_view.TransferFocus();
    const QList<int> channels = selectedChannels();
    if (channels.size() < 2)
        return;
    {
        const RecordedStep step(m_app.changes, m_app.image, StepOf({"Sort by RX Freq", "按接收频率排序"}));
        SortChannelsByRx(m_app.image, m_app.band, channels);
    }
    showChannels(channels);
}

void GridCommands::showChannels(const QList<int>& channels, int firstColumn, int lastColumn) {
    m_view.RefreshData();
    QTableWidget* grid = m_view.ChannelGrid;
    QItemSelection selection;
    int current = -1;
    for (int c : channels) {
        if (GroupIndexOfChannel(c) != m_view.groupIndex())
            continue;
        const int row = RowOfChannel(c) - 1;
        if (current < 0)
            current = row;
        selection.select(grid->model()->index(row, firstColumn), grid->model()->index(row, lastColumn));
    }
    if (current < 0)
        return;
    grid->selectionModel()->setCurrentIndex(grid->model()->index(current, firstColumn), QItemSelectionModel::NoUpdate);
    grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

} // namespace kestrel
