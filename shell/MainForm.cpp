#include "shell/MainForm.h"

#include "channels/FrmBatch.h"
#include "channels/frmChannel.h"
#include "core/About.h"
#include "core/Band.h"
#include "core/Log.h"
#include "core/Startup.h"
#include "core/Tone.h"
#include "link/CloneEngine.h"
#include "ports/frmCableCheck.h"
#include "link/CloneProtocol.h"
#include "link/frmClone.h"
#include "link/frmEmbMsg.h"
#include "ports/frmPort.h"
#include "link/VirtualRadios.h"
#include "settings/FrmDTMF.h"
#include "settings/FrmKey.h"
#include "settings/frmMemoryMap.h"
#include "settings/frmModelInfo.h"
#include "settings/frmOptFeatures.h"
#include "shell/Caption.h"
#include "shell/ChannelListCommands.h"
#include "shell/CommandTips.h"
#include "shell/DemoMode.h"
#include "shell/EditCommands.h"
#include "shell/FileDrop.h"
#include "shell/FleetCommand.h"
#include "shell/Icons.h"
#include "shell/PrintCommands.h"
#include "shell/RecentFilesMenu.h"
#include "shell/StatusNote.h"
#include "shell/UserGuideCommand.h"
#include "shell/ViewBands.h"
#include "shell/RadioSafety.h"
#include "shell/WindowCare.h"
#include "shell/frmAbout.h"
#include "shell/frmCompare.h"
#include "shell/RadioTextFiles.h"
#include "shell/frmTreeView.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace kestrel {

namespace {
const QString MenuBand = QStringLiteral("Menu Bar");
const QString ToolBand = QStringLiteral("ToolBar");

// Commands whose entries carry a check mark.
bool IsCheckable(const QString& id) {
    static const QStringList ids = {QStringLiteral("miChinese"), QStringLiteral("miEnglish"),
                                    QStringLiteral("miTreeView"), QStringLiteral("miToolBar"),
                                    QStringLiteral("miStatusBar"), QStringLiteral("miVerifyAfterWrite")};
    return ids.contains(id);
}

// Tiles the visible child windows side by side (Horizontal) or one above the other (Vertical).
void TileSubWindows(QMdiArea* area, Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area->subWindowList())
        if (w->isVisible() && !w->isMinimized())
            windows << w;
    if (windows.isEmpty())
        return;
    const QRect r = area->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (orientation == Qt::Horizontal)
            windows[i]->setGeometry(r.width() * i / n, 0, r.width() / n, r.height());
        else
            windows[i]->setGeometry(0, r.height() * i / n, r.width(), r.height() / n);
    }
}

// Lines the minimised child windows up along the bottom edge.
void ArrangeIcons(QMdiArea* area) {
    int x = 0;
    for (QMdiSubWindow* w : area->subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, area->viewport()->height() - w->height());
        x += w->width();
    }
}

// The channel editor stays for the whole run: closing its window only hides it.
class KeptSubWindow : public QMdiSubWindow {
public:
    using QMdiSubWindow::QMdiSubWindow;

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        hide();
    }
};
} // namespace

MainForm::MainForm(AppContext& app, SettingsStore& store, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_store(store), m_prompter(prompter) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowIcon(AppIcon());
    resize(QSize(1280, 720).boundedTo(screen()->availableGeometry().size())); // large text: a small screen
    InstallComboBoxNames();
    // Every dialog: lists named after their labels, and scrolling when taller than the screen.
    QCoreApplication::instance()->installEventFilter(new WindowCare(this));

    // 1. caption; 2. the clone object
    setWindowTitle(m_app.productName);
    frm1 = new CloneEngine(m_app, m_prompter, this);
    cloneWindow = new frmClone(*frm1, m_app, this);
    connect(frm1, &CloneEngine::CloneExit, this, &MainForm::OnCloneExit);

    mdi = new QMdiArea(this);
    mdi->setObjectName(QStringLiteral("mdi"));
    setCentralWidget(mdi);

    ToolBar = new QToolBar(QStringLiteral("ToolBar"), this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(ToolBar);

    BandTree = new QDockWidget(this);
    BandTree->setObjectName(QStringLiteral("BandTree"));
    BandTree->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    treeView = new frmTreeView(m_app, BandTree);
    BandTree->setWidget(treeView);
    addDockWidget(Qt::LeftDockWidgetArea, BandTree);
    resizeDocks({BandTree}, {200}, Qt::Horizontal);
    connect(treeView, &frmTreeView::nodeClicked, this, &MainForm::OnTreeNode);
    // The band's own close button clears the tree flag; the View entries are the only other switches.
    WatchBandClose(BandTree, [this] {
        flagView2 &= ~1u;
        applyViewFlags();
    });
    TurnOffBandMenus(this);

    m_date = new QLabel(this);
    m_time = new QLabel(this);
    AddStatusNote(this); // left of the date and the time
    statusBar()->addPermanentWidget(m_date);
    statusBar()->addPermanentWidget(m_time);
    auto* clock = new QTimer(this);
    auto tick = [this] {
        const QDateTime now = QDateTime::currentDateTime();
        m_date->setText(now.date().toString(Qt::ISODate));
        m_time->setText(now.time().toString(QStringLiteral("HH:mm:ss")));
    };
    connect(clock, &QTimer::timeout, this, tick);
    m_safety = std::make_unique<RadioSafety>(m_app, m_store, m_prompter, *frm1, statusBar());
    tick();
    clock->start(1000);

    printing = new PrintCommands(m_app, m_prompter, this, [this] { return channelEditor->bandSelectorText(); });
    connect(new FileDrop(this), &FileDrop::fileDropped, this, &MainForm::OpenOtherFile);
    m_memory = ReadSessionMemory(m_store);
    if (m_prompter.lastFolder().isEmpty())
        m_prompter.setLastFolder(m_memory.lastFolder);
    m_recent = new RecentFilesMenu(this);
    m_recent->setFiles(m_memory.recentFiles);
    connect(m_recent, &RecentFilesMenu::chosen, this, &MainForm::OpenRecent);

    // 3. band 0 and its default image
    m_app.band = BandOfIndex(0);
    QString error;
    if (!LoadDefaultImage(m_app.image, 0, m_app.appFolder, &error))
        ShowLoadError(error);

    // 4. the channel editor as the one child window
    channelEditor = new frmChannel(m_app, m_prompter);
    channelWindow = new KeptSubWindow;
    channelWindow->setWidget(channelEditor);
    channelWindow->setAttribute(Qt::WA_DeleteOnClose, false);
    channelWindow->setWindowTitle(Pick(m_app.language, "Channel Information", "信道信息"));
    mdi->addSubWindow(channelWindow);
    channelWindow->showMaximized();
    connect(channelEditor, &frmChannel::requestRefreshData, this, &MainForm::RefreshData);
    connect(channelEditor, &frmChannel::memoryMapRequested, this, &MainForm::OpenMemoryMap);
    editCommands = new EditCommands(*this, m_app);

    // 5. flags; 6. texts and data
    flagView = 1;
    flagView2 = 255;
    RefreshAll();
    RestoreWindowPlace(this, BandTree, m_memory);
    // The unsaved-changes mark follows every change, whichever view made it.
    auto* captionTimer = new QTimer(this);
    connect(captionTimer, &QTimer::timeout, this, &MainForm::UpdateCaption);
    captionTimer->start(250);
}

MainForm::~MainForm() = default;

void MainForm::ShowLoadError(const QString& error) {
    m_prompter.inform(m_app.productName, error, Prompter::Icon::Critical);
}

// ---- refresh fan-out -------------------------------------------------------------

void MainForm::RefreshAll() {
    RefreshDisplay();
    m_app.band = DecodeBandLimits(m_app.image);
    RefreshData();
}

void MainForm::RefreshDisplay() {
    const Language l = m_app.language;
    // 1. the no-tone text of the tone option table
    SetNoToneText(m_app.toneTable, l);
    QString qtWarning;
    if (!m_qtTexts.apply(l, &qtWarning))
        qCWarning(logUi).noquote() << qtWarning;
    // 2. the layout of the language, then the language check marks
    m_layoutWarning.clear();
    const Layout layout = LoadLayout(m_app.appFolder, l, &m_layoutWarning);
    if (!m_layoutWarning.isEmpty()) {
        qCWarning(logUi).noquote() << m_layoutWarning;
        ShowStatusNote(this, Pick(l, "Built-in menus in use: %1 is missing or broken",
                                  "正在使用内置菜单：%1 缺失或有误")
                                 .arg(LayoutFileName(l)));
    }
    buildBands(layout);
    m_recent->attach(menuAction(QStringLiteral("miRecent")));
    setLanguageChecks();
    m_safety->RefreshChecks(actions(QStringLiteral("miVerifyAfterWrite")));
    // 3. captions of five Edit entries
    struct Caption {
        const char* id;
        TextPair text;
        const char* suffix;
    };
    const Caption captions[] = {
        {"miChannel", {"Channel Information", "信道信息"}, "(&C)"},
        {"miCommonSet", {"Optional Features", "可选功能"}, "(&O)"},
        {"miRadio", {"Radio", "收音机"}, "(&R)"},
        {"miMessage", {"Embedded Message", "嵌入信息"}, "(&E)"},
        {"miBatch", {"Batch Edit", "信道批量编辑"}, "(&B)"},
    };
    for (const Caption& c : captions)
        if (QAction* a = menuAction(QString::fromLatin1(c.id)))
            a->setText(c.text(l) + QString::fromLatin1(c.suffix));
    // 4. the tree stays in its band (it was placed there once)
    BandTree->setWindowTitle(Pick(l, "TreeView", "树形视图"));
    ToolBar->setWindowTitle(Pick(l, "Tool bar", "工具栏"));
    ToolBar->setAccessibleName(Pick(l, "Tool bar", "工具栏"));
    // 5. entries without views, and the Windows and Language menus, are hidden (Model
    // Information and Batch Edit stay in the Edit menu: every command has a menu entry)
    for (const char* id : {"miWindows", "miLanguage", "miVFO", "miRadio", "miAM", "miMSK", "mi5Tone", "miStun"})
        if (QAction* a = menuAction(QString::fromLatin1(id)))
            a->setVisible(false);
    editCommands->refreshTexts();
    // 6. view flags; 7. the tree's texts; 8. the channel editor's texts
    applyViewFlags();
    treeView->RefreshDisplay();
    if (flagView & 1) {
        channelEditor->RefreshDisplay();
        channelWindow->setWindowTitle(Pick(l, "Channel Information", "信道信息"));
    }
    NameListsByTheirLabels(this); // the labels may have changed language
}

void MainForm::RefreshData() {
    if (flagView & 1)
        channelEditor->RefreshData();
    setWindowTitle(ModifyCaption());
    if (m_demoNote) {
        m_demoNote->setText(DemoStatusText(m_app.language));
        m_demoNote->setAccessibleName(Pick(m_app.language, "Demo mode", "演示模式"));
    }
}

void MainForm::SaveData() {
    if (flagView & 1)
        channelEditor->TransferFocus();
}

QString MainForm::ModifyCaption() const {
    return BuildCaption(m_app.productName, channelEditor->bandSelectorText(), m_app.currentFileName, m_app.language,
                        m_app.image.IsImageModified()) +
           (m_virtual ? DemoCaptionMark(m_app.language) : QString());
}

void MainForm::setVirtualRadios(VirtualRadios* radios) {
    if (m_virtual || !radios)
        return;
    m_virtual = radios;
    m_store.setRemembering(false);
    frm1->setTransport(radios->newLink(frm1));
    m_app.portNumber = quint8(FirstVirtualPort);
    m_demoNote = new QLabel(this);
    m_demoNote->setObjectName(QStringLiteral("lblDemo"));
    // Ahead of the date and the time.
    for (QLabel* clock : {m_date, m_time})
        statusBar()->removeWidget(clock);
    for (QLabel* label : {m_demoNote, m_date, m_time}) {
        statusBar()->addPermanentWidget(label);
        label->show();
    }
    RefreshData();
}

// ---- menu and tool bar ------------------------------------------------------------

QAction* MainForm::makeAction(const LayoutEntry& entry, QObject* owner, bool inMenuBar) {
    auto* action = new QAction(entry.caption, owner);
    action->setObjectName(entry.id);
    action->setData(entry.id);
    if (!entry.icon.isEmpty())
        action->setIcon(CommandIcon(entry.icon));
    if (IsCheckable(entry.id))
        action->setCheckable(true);
    const QString id = entry.id;
    // Tips and shortcuts come by id, so every entry of every layout has them. The
    // shortcut sits on one placement only (the menu's when there is one): two
    // placements with the same keys would make the keys do nothing.
    action->setStatusTip(CommandStatusTip(id, entry.caption, m_app.language));
    action->setToolTip(inMenuBar ? action->statusTip() : CommandToolTip(id, entry.caption));
    const QString keys = CommandShortcut(id);
    if (!keys.isEmpty() && !m_menuActions.contains(id))
        action->setShortcut(QKeySequence(keys, QKeySequence::PortableText));
    connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
    m_actions[id].append(action);
    if (inMenuBar && !m_menuActions.contains(id))
        m_menuActions.insert(id, action);
    return action;
}

QAction* MainForm::menuAction(const QString& id) const { return m_menuActions.value(id); }

void MainForm::buildBands(const Layout& layout) {
    menuBar()->clear();
    ToolBar->clear();
    m_actions.clear();
    m_menuActions.clear();
    for (QObject* o : std::as_const(m_bandObjects))
        o->deleteLater();
    m_bandObjects.clear();

    if (const LayoutBand* bar = layout.band(MenuBand)) {
        for (const LayoutEntry& e : bar->entries) {
            if (e.kind == LayoutEntry::Menu) {
                auto* menu = new QMenu(e.caption, this);
                menu->setObjectName(e.id);
                menu->setToolTipsVisible(true);
                m_bandObjects << menu;
                QAction* head = menu->menuAction();
                head->setObjectName(e.id);
                head->setStatusTip(CommandStatusTip(e.id, e.caption, m_app.language));
                m_actions[e.id].append(head);
                m_menuActions.insert(e.id, head);
                for (const LayoutEntry& c : e.children) {
                    if (c.kind == LayoutEntry::Separator)
                        menu->addSeparator();
                    else
                        menu->addAction(makeAction(c, menu, true));
                }
                menuBar()->addMenu(menu);
            } else if (e.kind == LayoutEntry::Item) {
                QAction* a = makeAction(e, this, true);
                m_bandObjects << a;
                menuBar()->addAction(a);
            }
        }
    }
    if (const LayoutBand* tools = layout.band(ToolBand)) {
        for (const LayoutEntry& e : tools->entries) {
            if (e.kind == LayoutEntry::Separator) {
                ToolBar->addSeparator();
            } else if (e.kind == LayoutEntry::Item) {
                QAction* a = makeAction(e, this, false);
                m_bandObjects << a;
                ToolBar->addAction(a);
            }
        }
    }
}

void MainForm::setLanguageChecks() {
    for (QAction* a : actions(QStringLiteral("miEnglish")))
        a->setChecked(m_app.language == English);
    for (QAction* a : actions(QStringLiteral("miChinese")))
        a->setChecked(m_app.language == Chinese);
}

void MainForm::applyViewFlags() {
    struct Flag {
        int bit;
        const char* id;
        QWidget* band;
    };
    const Flag flags[] = {{0, "miTreeView", BandTree}, {1, "miToolBar", ToolBar}, {2, "miStatusBar", statusBar()}};
    for (const Flag& f : flags) {
        const bool shown = (flagView2 >> f.bit) & 1;
        for (QAction* a : actions(QString::fromLatin1(f.id)))
            a->setChecked(shown);
        f.band->setVisible(shown);
    }
}

// ---- the dispatcher -----------------------------------------------------------------

void MainForm::Dispatch(const QString& id) {
    auto modal = [](QDialog& dialog) { dialog.exec(); };
    if (editCommands->dispatch(id))
        return;
    if (id == QLatin1String("miNew")) {
        NewCommand();
    } else if (id == QLatin1String("miOpen")) {
        OpenCommand();
    } else if (id == QLatin1String("miOpenBackup")) {
        OpenCommand(m_safety->BackupFolderForOpen());
    } else if (id == QLatin1String("miCompare")) {
        SaveData();
        CompareWithFile(m_app, m_prompter, this);
    } else if (id == QLatin1String("miVerifyAfterWrite")) {
        m_safety->ToggleVerifyAfterWrite();
        m_safety->RefreshChecks(actions(id));
    } else if (id == QLatin1String("miSave")) {
        SaveData();
        FileSave();
    } else if (id == QLatin1String("miClose")) {
        CloseCommand();
    } else if (id == QLatin1String("miImportChannels")) {
        SaveData();
        ImportChannels(m_app, m_prompter, this, [this] { RefreshData(); });
    } else if (id == QLatin1String("miExportChannels")) {
        SaveData();
        ExportChannels(m_app, m_prompter, this);
    } else if (id == QLatin1String("miPrint")) {
        SaveData();
        printing->print();
    } else if (id == QLatin1String("miPrintPreview")) {
        SaveData();
        printing->preview();
    } else if (id == QLatin1String("miExit")) {
        close();
    } else if (id == QLatin1String("miModel")) {
        frmModelInfo dialog(m_app, m_prompter, this);
        modal(dialog);
    } else if (id == QLatin1String("miChannel")) {
        ShowChannelEditor();
    } else if (id == QLatin1String("miCommonSet")) {
        frmOptFeatures dialog(m_app, m_prompter, this);
        modal(dialog);
    } else if (id == QLatin1String("miKeySet")) {
        FrmKey dialog(m_app, m_prompter, this);
        modal(dialog);
    } else if (id == QLatin1String("miDTMF")) {
        FrmDTMF dialog(m_app, m_prompter, this);
        modal(dialog);
    } else if (id == QLatin1String("miMessage")) {
        frmEmbMsg dialog(*frm1, m_app, m_prompter, this);
        modal(dialog);
    } else if (id == QLatin1String("miBatch")) {
        SaveData();
        OpenBatch();
    } else if (id == QLatin1String("miRead")) {
        ReadCommand();
    } else if (id == QLatin1String("miWrite")) {
        SaveData();
        WriteCommand();
    } else if (id == QLatin1String("miFleetWrite")) {
        SaveData();
        FleetWriteCommand(m_app, m_prompter, this, m_virtual);
    } else if (id == QLatin1String("miTreeView")) {
        flagView2 ^= 1u;
        applyViewFlags();
    } else if (id == QLatin1String("miToolBar")) {
        flagView2 ^= 2u;
        applyViewFlags();
    } else if (id == QLatin1String("miStatusBar")) {
        flagView2 ^= 4u;
        applyViewFlags();
    } else if (id == QLatin1String("miCascade")) {
        mdi->cascadeSubWindows();
    } else if (id == QLatin1String("miTileH")) {
        TileSubWindows(mdi, Qt::Vertical);
    } else if (id == QLatin1String("miTileV")) {
        TileSubWindows(mdi, Qt::Horizontal);
    } else if (id == QLatin1String("miArrange")) {
        ArrangeIcons(mdi);
    } else if (id == QLatin1String("miCloseAll")) {
        SaveData();
        flagView &= ~1u;
    } else if (id == QLatin1String("miAbout")) {
        frmAbout dialog(m_app, this);
        modal(dialog);
    } else if (id == QLatin1String("miComPort")) {
        frmPort dialog(m_app, m_prompter, this, m_virtual, &m_store);
        modal(dialog);
    } else if (id == QLatin1String("miUserGuide")) {
        OpenUserGuide(m_app, m_prompter, [](const QUrl& url) { return QDesktopServices::openUrl(url); });
    } else if (id == QLatin1String("miCheckCable")) {
        frmCableCheck dialog(m_app, this, m_virtual);
        modal(dialog);
    } else if (id == QLatin1String("miChinese")) {
        SaveData();
        SwitchTo(Chinese);
    } else if (id == QLatin1String("miEnglish")) {
        SaveData();
        SwitchTo(English);
    }
    // Every other id (miVFO, miMSK, mi5Tone, miRadio, miStun, miRecent, menu headers) does nothing.
}

void MainForm::SwitchTo(Language language) {
    if (!SwitchLanguage(m_app, language)) {
        setLanguageChecks();
        return;
    }
    setLanguageChecks();
    RefreshAll();
}

void MainForm::OnTreeNode(const QString& key) {
    SaveData();
    if (key == QLatin1String("Item1"))
        ShowChannelEditor();
    else if (key == QLatin1String("Item2"))
        Dispatch(QStringLiteral("miCommonSet"));
    else if (key == QLatin1String("Item3"))
        Dispatch(QStringLiteral("miDTMF"));
    else if (key == QLatin1String("Item6"))
        Dispatch(QStringLiteral("miKeySet"));
    else if (key == QLatin1String("Item8"))
        Dispatch(QStringLiteral("miMessage"));
}

void MainForm::ShowChannelEditor() {
    channelWindow->show();
    mdi->setActiveSubWindow(channelWindow);
    channelWindow->raise();
}

void MainForm::OpenMemoryMap() {
    frmMemoryMap dialog(m_app, m_prompter, this);
    if (dialog.exec() == QDialog::Accepted)
        RefreshData();
}

void MainForm::OpenBatch() {
    if (!m_batch) {
        m_batch = new FrmBatch(m_app, m_prompter, this);
        connect(m_batch, &FrmBatch::applied, this, [this] {
            if (flagView & 1)
                channelEditor->RefreshData();
        });
    }
    m_batch->RefreshFace(); // kept between openings: in the language chosen since
    m_batch->exec();
}

// ---- file commands ------------------------------------------------------------------

void MainForm::NewCommand() {
    SaveData(); // a value typed into the grid is the user's until the question is answered
    const auto answer = m_prompter.message(m_app.productName, Pick(m_app.language, "Clear All Data!", "清空所有数据!"),
                                           Prompter::Icon::Exclamation, Prompter::Buttons::OkCancel,
                                           Prompter::Answer::Cancel);
    if (answer != Prompter::Answer::Ok)
        return;
    QString error;
    {
        const RecordedStep step(m_app.changes, m_app.image, StepOf({"New", "新建"}));
        if (!LoadDefaultImage(m_app.image, m_app.band.index, m_app.appFolder, &error))
            ShowLoadError(error);
    }
    m_app.band = DecodeBandLimits(m_app.image);
    // A new image is no longer the file that was open: a Save asks for a new name.
    m_app.currentFileName = QStringLiteral("Untitled");
    m_app.image.TakeImageSnapshot();
    RefreshData();
}

void MainForm::OpenCommand(const QString& folder) {
    if (!OfferToSave())
        return;
    const QString path = m_prompter.openFileName(folder.isEmpty() ? m_app.currentFileName : folder,
                                                 OpenFileFilters(m_app, QStringLiteral("Data File(*.dat)")));
    if (path.isEmpty())
        return;
    OpenPath(path);
}

bool MainForm::FileSave() {
    // The written type first; a name ending in .yaml is saved as a radio text.
    const QString path = m_prompter.saveFileNameOfType(
        m_app.currentFileName, {m_app.productName + QStringLiteral(" Data Files (*.dat)"), RadioTextFilter(m_app)},
        nullptr);
    if (path.isEmpty())
        return false;
    QString error;
    if (!SaveDataOrTextFile(m_app, path, &error)) {
        // A failed save must never pass for a safe one.
        m_prompter.inform(m_app.productName, error, Prompter::Icon::Critical);
        return false;
    }
    m_app.image.TakeImageSnapshot();
    m_app.currentFileName = path;
    UpdateCaption();
    RememberFile(path);
    ShowStatusNote(this, Pick(m_app.language, "Saved %1", "已保存 %1").arg(FilePartOfName(path)));
    return true;
}

// ---- radio commands -----------------------------------------------------------------

void MainForm::RunTransfer(int direction) {
    frm1->setDirection(direction);
    frm1->setTickCountMax(m_app.recvCount);
    frm1->setStepData(0);
    frm1->setStepExit(253);
    m_ownTransfer = true;
    frm1->Start();
    if (!frm1->flagComplete())
        cloneWindow->exec();
    m_ownTransfer = false;
}

void MainForm::ReadCommand() {
    SaveData();
    const auto answer = m_prompter.message(
        m_app.productName, LoadText(1601, m_app.language) + QLatin1Char('\n') + LoadText(1602, m_app.language),
        Prompter::Icon::Question, Prompter::Buttons::OkCancel, Prompter::Answer::Ok);
    if (answer != Prompter::Answer::Ok)
        return;
    m_app.radioReadFlag = true;
    editCommands->readStarted();
    RunTransfer(0);
    editCommands->readEnded(); // a read that failed part way is a step too
    m_app.radioReadFlag = false;
}

void MainForm::WriteCommand() {
    channelEditor->SetCurrentCH();
    const auto answer = m_prompter.message(
        m_app.productName, LoadText(1603, m_app.language) + QLatin1Char('\n') + LoadText(1602, m_app.language),
        Prompter::Icon::Question, Prompter::Buttons::OkCancel, Prompter::Answer::Ok);
    if (answer != Prompter::Answer::Ok)
        return;
    RunTransfer(1);
    if (m_app.verifyAfterWrite && frm1->outcome() == CloneEngine::Outcome::Completed) {
        const MemoryImage sent = m_app.image;
        RunTransfer(clone::Verify);
        if (m_safety->ReportVerify(sent))
            ShowWriteSuccessful();
    }
}

void MainForm::OnCloneExit(int direction) {
    // The radio information view shares the clone engine; its transfers are its own business.
    if (!m_ownTransfer)
        return;
    if (direction == 0) {
        // The backup keeps the radio's bytes as they came, before the grid cleans empty records.
        if (!m_virtual)
            m_safety->BackupAfterRead();
        editCommands->readEnded();
        m_app.band = DecodeBandLimits(m_app.image);
        RefreshData();
        m_app.image.TakeImageSnapshot();
        UpdateCaption();
        ShowStatusNote(this, Pick(m_app.language, "Read complete: %1 MHz", "读取完成：%1 MHz")
                                 .arg(channelEditor->bandSelectorText()));
        m_prompter.inform(m_app.productName, Pick(m_app.language, "Reading Complete!", "读取完成!"),
                          Prompter::Icon::Information);
    } else if (direction == 1) {
        // With Verify After Write the success waits for the read-back.
        if (!m_app.verifyAfterWrite)
            ShowWriteSuccessful();
    }
}

void MainForm::ShowWriteSuccessful() {
    ShowStatusNote(this, Pick(m_app.language, "Write complete: %1 MHz", "写入完成：%1 MHz")
                             .arg(channelEditor->bandSelectorText()));
    m_prompter.inform(m_app.productName, Pick(m_app.language, "Write Successful!", "写入成功！"),
                      Prompter::Icon::Information);
}

// ---- closing ------------------------------------------------------------------------

void MainForm::closeEvent(QCloseEvent* event) {
    SaveData();
    if (!OfferToSave()) {
        event->ignore();
        return;
    }
    if (m_batch) {
        m_batch->hide();
        m_batch->deleteLater();
        m_batch = nullptr;
    }
    CaptureWindowPlace(this, BandTree, m_memory);
    m_memory.lastFolder = m_prompter.lastFolder();
    if (!SaveRegistrySettings(m_app, m_store) || !WriteWindowMemory(m_store, m_memory))
        qCWarning(logUi).noquote() << "could not write the settings to" << m_store.location();
    event->accept();
}

} // namespace kestrel
