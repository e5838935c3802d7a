#pragma once
// The program's frame: a multiple-document window with the menu bar and tool bar of
// the layout files, the status bar, the docked navigation tree, the command
// dispatcher, the file and radio commands and the refresh fan-out.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "core/Settings.h"
#include "shell/LayoutFile.h"

#include <QHash>
#include <QMainWindow>
#include <functional>

class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;
class QToolBar;

namespace kestrel {

class CloneEngine;
class EditCommands;
class frmChannel;
class frmClone;
class frmTreeView;
class FrmBatch;

class MainForm : public QMainWindow {
    Q_OBJECT
public:
    MainForm(AppContext& app, SettingsStore& store, Prompter& prompter, QWidget* parent = nullptr);
    ~MainForm() override;

    void RefreshAll();
    void RefreshDisplay();
    void RefreshData();
    void SaveData();
    QString ModifyCaption() const;
    // The save dialog and save. True when the image was written; a failure is shown.
    bool FileSave();

    // Runs the command with this id (menu, tool bar and tree all come here).
    void Dispatch(const QString& id);

    // bit 0: the channel editor takes part in refresh and commit.
    quint8 flagView = 0;
    // bit 0 tree band, bit 1 tool bar, bit 2 status bar shown.
    quint8 flagView2 = 0;

    // Every placement of a command (menu entries and tool bar buttons).
    QList<QAction*> actions(const QString& id) const { return m_actions.value(id); }
    QAction* menuAction(const QString& id) const; // the placement in the menu bar band

    // Chooses the printer; the default shows the system print dialog. Tests replace it.
    std::function<bool(QPrinter&)> printDialog;
    // Prints the channel list on an already chosen printer.
    void PrintChannelList(QPrinter& printer);

    QMdiArea* mdi;
    QDockWidget* BandTree;
    QToolBar* ToolBar;
    frmTreeView* treeView;
    frmChannel* channelEditor;
    QMdiSubWindow* channelWindow;
    CloneEngine* frm1;
    frmClone* cloneWindow;
    EditCommands* editCommands;

    QString lastLayoutWarning() const { return m_layoutWarning; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildBands(const Layout& layout);
    QAction* makeAction(const LayoutEntry& entry, QObject* owner, bool inMenuBar);
    void applyViewFlags();
    void setLanguageChecks();
    void OpenCommand();
    void NewCommand();
    void PrintCommand();
    void ReadCommand();
    void WriteCommand();
    void RunTransfer(int direction);
    void OnCloneExit(int direction);
    void ShowChannelEditor();
    void SwitchTo(Language language);
    void OpenMemoryMap();
    void OpenBatch();
    void OnTreeNode(const QString& key);
    void ShowLoadError(const QString& error);

    AppContext& m_app;
    SettingsStore& m_store;
    Prompter& m_prompter;
    QHash<QString, QList<QAction*>> m_actions;
    QHash<QString, QAction*> m_menuActions;
    QList<QObject*> m_bandObjects; // menus and actions of the current layout
    QLabel* m_date;
    QLabel* m_time;
    FrmBatch* m_batch = nullptr;
    bool m_ownTransfer = false; // the running transfer was started here
    QString m_layoutWarning;
};

} // namespace kestrel
