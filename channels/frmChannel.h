#pragma once
// The channel editor: one group of 16 channels as a grid, a group and a band selector
// above it, and the three in-place editors placed over the cell being edited. Every
// committed cell goes into the image at once through the channel record rules.
#include "channels/ChannelCellRules.h"
#include "core/AppContext.h"
#include "core/Prompter.h"

#include <QModelIndex>
#include <QWidget>

class QComboBox;
class QDropEvent;
class QEvent;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTableView;
class QTableWidget;

namespace kestrel {

class GridCommands;

class frmChannel : public QWidget {
    Q_OBJECT
public:
    frmChannel(AppContext& app, Prompter& prompter, QWidget* parent = nullptr);

    // Every language-dependent text: frame, labels, column headers, the no-tone item.
    void RefreshDisplay();
    // Shows the band and the shown group and fills the 16 rows from the image.
    void RefreshData();
    // Writes the current channel byte from the rows shown (before a write to the radio).
    void SetCurrentCH();
    // Commits the open in-place editor, if any.
    void TransferFocus();

    // The band selector's text ("136-174"), for the main window's caption.
    QString bandSelectorText() const;

    // The text box of the open editor (the frequency editor or the tone list's), if any.
    QLineEdit* openLineEditor() const;
    // Text pasted into the open frequency or tone editor, through its key filter; false
    // when no such editor is open.
    bool pasteIntoEditor(const QString& text);
    // Before a paste of several cells into an open editor: the editor closes without
    // storing its text, and its cell is the current and only selected one.
    void leaveEditorForPaste();
    // The grid text of the cell whose editor is open.
    QString editedCellText() const;
    // Shows another group, as choosing it in the group selector does.
    void showGroup(int groupIndex);

    // The group index shown, 0-7.
    int groupIndex() const { return m_groupIndex; }
    // Channel number 1-128 of the current cell; 0 when there is none.
    int currentChannelNumber() const;

    QGroupBox* fraGeneral = nullptr;
    QLabel* lblGroup = nullptr;
    QComboBox* CboGroup = nullptr;
    QLabel* lblGenFreq = nullptr;
    QComboBox* cboGenFreq = nullptr;
    QTableWidget* ChannelGrid = nullptr;
    QLineEdit* txtMemChannel = nullptr;
    QComboBox* cboFeature0 = nullptr; // tone list, editable
    QComboBox* cboFeature1 = nullptr; // option list
    // The row numbers, kept in place over column 0 while the grid scrolls sideways.
    QTableView* RowNumbers = nullptr;
    // Copy, cut, paste, delete and the row commands on the selection.
    GridCommands* commands = nullptr;

signals:
    // The band changed and the image was replaced: the main window refreshes its data
    // (which calls RefreshData here) and its caption.
    void requestRefreshData();
    // The memory map's opening gesture on the header.
    void memoryMapRequested();
    // The current cell moved to another channel (number 1-128), or another group is shown.
    void currentChannelChanged(int number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void shapeGrid();
    void RefreshSelectors();
    void nameGrid(); // "Channels, group N" for screen readers
    void RefreshRow(int row);
    void ShowCellEditor();
    void CommitTextCell();
    void CommitListCell(QComboBox* editor);
    void groupChanged(int position);
    void bandChanged(int position);

    // Grid rows are 1-16, grid columns 0-17.
    QString cellText(int row, int column) const;
    ChannelTexts rowTexts(int row) const;
    void setRowTexts(int row, const ChannelTexts& texts);
    GridCell currentCell() const;
    void setCurrentCell(GridCell cell);
    void leftReleased();
    void placeEditor(QWidget* editor, bool insideBorders);

    bool gridKey(QKeyEvent* key);
    bool textEditorKey(QKeyEvent* key);
    bool toneEditorKey(QKeyEvent* key);
    bool optionEditorKey(QKeyEvent* key);
    // Tab and Shift+Tab in an editor: stores it and moves one cell on.
    bool tabOut(QWidget* editor, QKeyEvent* key);
    bool editorOpen() const;
    // Text arriving at once in an editor's text box goes through its key filter.
    void typeThrough(QLineEdit* line, const QString& text);
    bool dropIntoEditor(QLineEdit* line, QDropEvent* drop);
    // Esc in an open list: the list and its editor close, nothing is stored.
    bool popupKey(QComboBox* editor, QKeyEvent* key);
    bool mouseEvent(QObject* watched, QEvent* event);
    void buildRowNumbers();
    void placeRowNumbers();
    void fitColumns();
    // Hides an editor (the grid takes the focus if the editor had it), then stores it.
    void closeEditor(QWidget* editor, bool commit);
    // Closes the open editor without storing it (the data behind it is being replaced).
    void hideEditors();

    AppContext& m_app;
    Prompter& m_prompter;
    int m_groupIndex = 0;
    CellEdit m_edit;
    bool m_closing = false; // an editor is being closed (its message box may move the focus)
    QModelIndex m_pressed;  // the cell a plain left press went down on
};

} // namespace kestrel
