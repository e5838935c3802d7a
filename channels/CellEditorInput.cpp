// The channel editor's in-place editors meeting the rest of the world: text that
// arrives at once (a paste, a drop, the X11 middle-click) goes through the editor's key
// filter, unless a paste holds several cells, which the grid pastes at the editor's
// cell; Tab moves on, Esc in an open list stores nothing, and a click opens an editor
// only when it is a plain click on one cell.
#include "channels/frmChannel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableWidget>

namespace kestrel {

void frmChannel::showGroup(int groupIndex) { CboGroup->setCurrentIndex(groupIndex); }

bool frmChannel::editorOpen() const {
    return txtMemChannel->isVisible() || cboFeature0->isVisible() || cboFeature1->isVisible();
}

QLineEdit* frmChannel::openLineEditor() const {
    if (txtMemChannel->isVisible())
        return txtMemChannel;
    if (cboFeature0->isVisible())
        return cboFeature0->lineEdit();
    return nullptr;
}

bool frmChannel::pasteIntoEditor(const QString& text) {
    QLineEdit* line = openLineEditor();
    if (!line)
        return false;
    typeThrough(line, text);
    return true;
}

void frmChannel::leaveEditorForPaste() {
    if (!editorOpen())
        return;
    const GridCell cell{m_edit.row, m_edit.column};
    hideEditors();
    setCurrentCell(cell);
    const QModelIndex at = ChannelGrid->model()->index(cell.row - 1, cell.column);
    ChannelGrid->selectionModel()->select(at, QItemSelectionModel::ClearAndSelect);
    ChannelGrid->setFocus(Qt::OtherFocusReason);
}

QString frmChannel::editedCellText() const { return cellText(m_edit.row, m_edit.column); }

void frmChannel::typeThrough(QLineEdit* line, const QString& text) {
    EditorText editor{line->text(), line->cursorPosition(), 0, 0};
    if (line->hasSelectedText()) {
        editor.selectionStart = line->selectionStart();
        editor.selectionLength = int(line->selectedText().length());
    }
    const KeyFilter filter = line == txtMemChannel ? FilterFrequencyKey : FilterToneKey;
    editor = TypeThrough(editor, text, filter);
    line->setText(editor.text);
    line->setCursorPosition(editor.cursor);
}

bool frmChannel::dropIntoEditor(QLineEdit* line, QDropEvent* drop) {
    if (!drop->mimeData()->hasText())
        return true;
    line->deselect();
    line->setCursorPosition(line->cursorPositionAt(drop->position().toPoint()));
    typeThrough(line, drop->mimeData()->text());
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    line->setFocus(Qt::OtherFocusReason);
    return true;
}

bool frmChannel::tabOut(QWidget* editor, QKeyEvent* key) {
    const GridCell next = CellAfterTab({m_edit.row, m_edit.column}, key->key() == Qt::Key_Backtab);
    closeEditor(editor, true);
    setCurrentCell(next);
    ChannelGrid->setFocus(Qt::OtherFocusReason);
    return true;
}

bool frmChannel::popupKey(QComboBox* editor, QKeyEvent* key) {
    if (key->key() != Qt::Key_Escape)
        return false;
    editor->hidePopup();
    closeEditor(editor, false);
    ChannelGrid->setFocus(Qt::OtherFocusReason);
    return true;
}

bool frmChannel::mouseEvent(QObject* watched, QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    QLineEdit* toneLine = cboFeature0->lineEdit();
    if ((watched == txtMemChannel || watched == toneLine) && mouse->button() == Qt::MiddleButton) {
        // The selection paste of X11 goes through the key filter like typing.
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* line = static_cast<QLineEdit*>(watched);
            line->deselect();
            line->setCursorPosition(line->cursorPositionAt(mouse->position().toPoint()));
            typeThrough(line, QApplication::clipboard()->text(QClipboard::Selection));
        }
        return true;
    }
    if (watched == ChannelGrid->viewport() && mouse->button() == Qt::LeftButton) {
        const QModelIndex at = ChannelGrid->indexAt(mouse->position().toPoint());
        if (event->type() == QEvent::MouseButtonPress) {
            m_pressed = mouse->modifiers() == Qt::NoModifier ? at : QModelIndex();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            // Only a plain click on one cell opens its editor; not a drag, not Shift or
            // Ctrl with the click, not the row numbers.
            const bool plainClick = m_pressed.isValid() && at == m_pressed && mouse->modifiers() == Qt::NoModifier;
            m_pressed = QModelIndex();
            if (plainClick && at.column() >= ColRxFreq)
                leftReleased();
        }
        return false;
    }
    if (watched == ChannelGrid->horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const QPoint inGrid =
            ChannelGrid->horizontalHeader()->viewport()->mapTo(ChannelGrid, mouse->position().toPoint());
        const Qt::KeyboardModifiers mods = mouse->modifiers();
        if (IsMemoryMapGesture(inGrid, ChannelGrid->logicalDpiX(), ChannelGrid->logicalDpiY(),
                               mouse->button() == Qt::RightButton, mods.testFlag(Qt::ControlModifier),
                               mods.testFlag(Qt::AltModifier), mods.testFlag(Qt::ShiftModifier)))
            emit memoryMapRequested();
    }
    return false;
}

} // namespace kestrel
