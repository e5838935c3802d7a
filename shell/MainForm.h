#pragma once
// The program's frame: a multiple-document window with the menu bar and tool bar of
// the layout files, the status bar, the docked navigation tree, the command
// dispatcher, the file and radio commands and the refresh fan-out.
#include "core/AppContext.h"
#include "core/Prompter.h"
#include "core/SessionMemory.h"
#include "core/Settings.h"
#include "shell/LayoutFile.h"
#include "shell/QtTranslation.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

namespace kestrel {

class CloneEngine;
class EditCommands;
class frmChannel;
class frmClone;
class frmTreeView;
class FrmBatch;
class PrintCommands;
class RecentFilesMenu;
class RadioSafety;
class VirtualRadios;

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
    // Sets the caption when it no longer says what ModifyCaption says (file name,
    // band, the unsaved-changes mark); run after every file command and four times a second.
    void UpdateCaption();
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

    // Opens a data file without asking first (the file named on the command line; the
    // commands below ask about unsaved changes themselves). An unusable file is
    // reported and changes nothing. True when the file was opened.
    bool OpenPath(const QString& path);
    // Asks about unsaved changes, then opens the file (a dropped file, a recent file).
    void OpenOtherFile(const QString& path);
    // The files opened or saved last, newest first.
    QStringList recentFiles() const { return m_memory.recentFiles; }

    PrintCommands* printing; // Print and Print Preview

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

    // Turns the demo mode on: the radio commands, the port dialog, the cable check
    // and the fleet window reach these virtual radios (Virtual radio 1 is chosen),
    // no backups are made and the settings store remembers nothing.
    void setVirtualRadios(VirtualRadios* radios);
    VirtualRadios* virtualRadios() const { return m_virtual; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildBands(const Layout& layout);
    QAction* makeAction(const LayoutEntry& entry, QObject* owner, bool inMenuBar);
    void applyViewFlags();
    void setLanguageChecks();
    // `folder`: where the file dialog opens (the backup folder); empty: the current file.
    void OpenCommand(const QString& folder = QString());
    void NewCommand();
    void CloseCommand();
    void OpenRecent(const QString& path);
    // The unsaved-changes question; true when the caller may go on (No, or Yes and saved).
    bool OfferToSave();
    void RememberFile(const QString& path);
    void ReadCommand();
    void WriteCommand();
    void RunTransfer(int direction);
    void OnCloneExit(int direction);
    void ShowWriteSuccessful();
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
    std::unique_ptr<RadioSafety> m_safety; // backups, Verify After Write
    bool m_ownTransfer = false; // the running transfer was started here
    QString m_layoutWarning;
    QtTranslation m_qtTexts;  // Qt's own texts in the current language
    SessionMemory m_memory;   // remembered from the last run, saved at close
    RecentFilesMenu* m_recent;
    VirtualRadios* m_virtual = nullptr; // the demo mode's radios; null outside it
    QLabel* m_demoNote = nullptr;       // the status bar's note in demo mode
};

} // namespace kestrel
