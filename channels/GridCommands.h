#pragma once
// The channel grid's commands on its selection: copy, cut, paste and delete through the
// system clipboard (tab-separated text in the grid's own column texts), and the row
// commands insert, delete, move and sort. Each command that changes the image is one
// undoable step; corrections of a paste are reported once, in one message.
#include "core/AppContext.h"
#include "core/Prompter.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

class QKeyEvent;
class QMenu;
class QWidget;

namespace kestrel {

class frmChannel;

class GridCommands : public QObject {
    Q_OBJECT
public:
    GridCommands(frmChannel& view, AppContext& app, Prompter& prompter);

    // Command ids, shared with the main window's Edit menu.
    static const QStringList& Ids();
    // The caption of a command in a language, for the grid's context menu.
    static QString Caption(const QString& id, Language language);
    // The key that runs a command while the grid has the focus; empty for none.
    static QKeySequence KeyOf(const QString& id);

    // Runs the command with this id; false for an id that is not one.
    bool run(const QString& id);

    void copy();
    void cut();
    void paste();
    void clear();
    void insertChannels();
    void deleteChannels();
    void moveUp() { move(-1); }
    void moveDown() { move(1); }
    void sortByRx();

    // The keys of the commands in the grid; true when the key was one of them.
    bool gridKey(QKeyEvent* key);
    // The grid's context menu in the current language (the caller shows it).
    QMenu* contextMenu(QWidget* parent);

    // Channel indexes of the rows the selection touches (the current row without one).
    QList<int> selectedChannels() const;

private:
    // Rows 1-16 and columns 1-16 the selection spans (the current cell without one).
    QRect selectedBlock() const;
    QString clipboardText() const;
    void clearChannels(const QList<int>& channels, const StepName& name);
    void move(int direction);
    // Refills the grid and selects the rows of these channels that it shows.
    void showChannels(const QList<int>& channels, int firstColumn = 1, int lastColumn = 16);

    frmChannel& m_view;
    AppContext& m_app;
    Prompter& m_prompter;
};

} // namespace kestrel
