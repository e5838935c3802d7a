#pragma once
// The Edit commands of the main window: Undo and Redo over the document's history,
// the clipboard and row commands of the channel grid, and the status bar panel that
// names the channel of the grid's current cell. The main window only passes their ids
// on and tells this room when its menus were rebuilt.
#include "core/AppContext.h"

#include <QObject>
#include <QString>

class QLabel;

namespace kestrel {

class MainForm;
class UndoHistory;

class EditCommands : public QObject {
    Q_OBJECT
public:
    EditCommands(MainForm& window, AppContext& app);

    // Runs an Edit command; false for ids that are not one.
    bool dispatch(const QString& id);
    // After the menus and tool bar were built anew: captions with the step names,
    // shortcuts, enabled states and the status bar panel in the current language.
    void refreshTexts();

    // Read from the radio is one step from its start to the end of the transfer.
    void readStarted();
    void readEnded();
    // Open starts a new, empty history.
    void clearHistory();

    UndoHistory& history() { return *m_history; }
    QLabel* channelPanel() const { return m_channelPanel; }

private:
    void refreshUndoActions();
    void showChannel(int number);
    void imageRestored(bool bandTouched);

    MainForm& m_window;
    AppContext& m_app;
    UndoHistory* m_history;
    QLabel* m_channelPanel;
    int m_channelNumber = 0;
    bool m_readOpen = false;
};

} // namespace kestrel
