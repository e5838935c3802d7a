// The main window on the offscreen platform: start-up, file cycle, language switch,
// view toggles, printing, and the radio commands against the virtual radio.
#include "channels/frmChannel.h"
#include "core/Band.h"
#include "shell/MainForm.h"
#include "shell/frmTreeView.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;
using Answer = Prompter::Answer;

namespace {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        settingsFile = dir.filePath(QStringLiteral("settings.ini"));
        app = StartedApp(settingsFile);
        store = std::make_unique<SettingsStore>(app.settingsKeyPath, settingsFile);
        window = std::make_unique<MainForm>(app, *store, prompter);
    }

    QStringList visibleMenuBarTitles() const {
        QStringList out;
        for (QAction* a : window->menuBar()->actions())
            if (a->isVisible())
                out << a->text();
        return out;
    }

    QStringList visibleEntries(const QString& menuId) const {
        QStringList out;
        QAction* head = window->menuAction(menuId);
        if (!head || !head->menu())
            return out;
        for (QAction* a : head->menu()->actions())
            if (a->isVisible() && !a->isSeparator())
                out << a->text();
        return out;
    }

    QTemporaryDir dir;
    QString settingsFile;
    AppContext app;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompter prompter;
    std::unique_ptr<MainForm> window;
};

} // namespace

TEST_F(MainFormTest, StartsWithTheFirstBandsDefaultImageAndTheWrittenMenus) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[136-174 MHz] [File Name: Untitled]"));
    EXPECT_EQ(app.band.index, 0);
    EXPECT_EQ(app.image.bytes(), DefaultImageBytes(0));
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_EQ(visibleMenuBarTitles(), (QStringList{"File(&F)", "Edit(&E)", "Program(&P)", "&Communication Port",
                                                   "View(&V)", "Help(&H)"}));
    const QStringList edit = visibleEntries(QStringLiteral("miEdit"));
    EXPECT_EQ(edit.mid(0, 2), (QStringList{"Undo", "Redo"}));
    EXPECT_EQ(edit.mid(edit.size() - 5), (QStringList{"Channel Information(&C)", "Optional Features(&O)", "DTMF",
                                                     "Key Assignment", "Embedded Message(&E)"}));
    EXPECT_EQ(window->treeView->keys(),
              (QStringList{"Item1", "Item9", "Item2", "Item3", "Item6", "Item8"}));
    EXPECT_EQ(window->flagView, 1);
    EXPECT_EQ(window->flagView2, 255);
    EXPECT_TRUE(window->lastLayoutWarning().isEmpty()) << window->lastLayoutWarning().toStdString();
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(MainFormTest, OpenEditSaveAsAndReopen) {
    const QString path = dir.filePath(QStringLiteral("radio1.dat"));
    app.image.setByte(0x0FD3, 7); // an edit
    ASSERT_TRUE(app.image.IsImageModified());
    prompter.saveNames << path;
    window->Dispatch(QStringLiteral("miSave"));
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_EQ(app.currentFileName, path);
    EXPECT_EQ(ReadFile(path).at(0x0FD3), 7);

    window->Dispatch(QStringLiteral("miNew"));  // Cancel is the scripted default
    EXPECT_EQ(app.image.byte(0x0FD3), 7) << "New then Cancel changes nothing";
    prompter.answers << Answer::Ok;
    window->Dispatch(QStringLiteral("miNew"));
    EXPECT_EQ(app.image.byte(0x0FD3), quint8(DefaultImageBytes(0).at(0x0FD3)));
    EXPECT_EQ(app.currentFileName, path) << "New keeps the file name";

    prompter.answers << Answer::No; // don't save the new image
    prompter.openNames << path;
    window->Dispatch(QStringLiteral("miOpen"));
    EXPECT_EQ(app.image.byte(0x0FD3), 7);
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[136-174 MHz] [File Name: radio1.dat]"));
}

TEST_F(MainFormTest, AWrongSizedFileChangesNothing) {
    const QString bad = dir.filePath(QStringLiteral("short.dat"));
    ASSERT_TRUE(WriteFile(bad, QByteArray(8191, 'x')));
    app.image.setByte(0x10, 0x22);
    const QByteArray before = app.image.bytes();
    const QString caption = window->windowTitle();
    prompter.answers << Answer::No;
    prompter.openNames << bad;
    window->Dispatch(QStringLiteral("miOpen"));
    EXPECT_EQ(app.image.bytes(), before);
    EXPECT_TRUE(app.image.IsImageModified());
    EXPECT_EQ(app.currentFileName, QStringLiteral("Untitled"));
    EXPECT_EQ(window->windowTitle(), caption);
    ASSERT_FALSE(prompter.asked.isEmpty());
    EXPECT_EQ(prompter.asked.last().icon, Prompter::Icon::Critical);
    EXPECT_EQ(prompter.asked.last().title, QStringLiteral("Kestrel"));
}

TEST_F(MainFormTest, OpenWhileModifiedAndCancelShowsNoFileDialog) {
    app.image.setByte(0x10, 0x22);
    prompter.answers << Answer::Cancel;
    window->Dispatch(QStringLiteral("miOpen"));
    EXPECT_EQ(prompter.openDialogs, 0);
    EXPECT_EQ(prompter.asked.last().text, QStringLiteral("File hasn't been saved, save it now?"));
}

TEST_F(MainFormTest, SaveItNowThenCancelledSaveDoesNotLoseTheImage) {
    const QString other = dir.filePath(QStringLiteral("other.dat"));
    ASSERT_TRUE(WriteFile(other, DefaultImageBytes(1)));
    app.image.setByte(0x10, 0x22);
    prompter.answers << Answer::Yes;
    prompter.saveNames << QString(); // the save dialog is cancelled
    prompter.openNames << other;
    window->Dispatch(QStringLiteral("miOpen"));
    EXPECT_EQ(prompter.openDialogs, 0) << "opening goes on only after a successful save";
    EXPECT_EQ(app.image.byte(0x10), 0x22);
}

TEST_F(MainFormTest, AFailedSaveIsReportedAndChangesNothing) {
    app.image.setByte(0x10, 0x22);
    prompter.saveNames << dir.filePath(QStringLiteral("missing/folder/x.dat"));
    window->Dispatch(QStringLiteral("miSave"));
    ASSERT_FALSE(prompter.asked.isEmpty());
    EXPECT_EQ(prompter.asked.last().icon, Prompter::Icon::Critical);
    EXPECT_TRUE(app.image.IsImageModified());
    EXPECT_EQ(app.currentFileName, QStringLiteral("Untitled"));
}

TEST_F(MainFormTest, ClosingAsksOnlyWhenModifiedAndWritesTheSettings) {
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(prompter.asked.isEmpty());
    SettingsStore check(app.settingsKeyPath, settingsFile);
    EXPECT_EQ(check.ReadRegistryText(QStringLiteral("Language")), QStringLiteral("0"));
    EXPECT_EQ(check.ReadRegistryText(QStringLiteral("Port")), QStringLiteral("1"));
}

TEST_F(MainFormTest, ClosingModifiedWithCancelOrAFailedSaveStaysOpen) {
    window->show();
    app.image.setByte(0x10, 0x22);
    prompter.answers << Answer::Cancel;
    EXPECT_FALSE(window->close());
    prompter.answers << Answer::Yes;
    prompter.saveNames << QString();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    prompter.answers << Answer::No;
    EXPECT_TRUE(window->close());
}

TEST_F(MainFormTest, LanguageSwitchChangesTextsAndKeepsOneVfoNode) {
    window->Dispatch(QStringLiteral("miChinese"));
    EXPECT_EQ(app.language, Chinese);
    EXPECT_EQ(app.toneTable.first(), QString::fromUtf8("无"));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Kestrel[136-174 MHz] [文件名: Untitled]"));
    EXPECT_TRUE(visibleMenuBarTitles().contains(QString::fromUtf8("文件(&F)")));
    EXPECT_TRUE(visibleEntries(QStringLiteral("miEdit")).contains(QString::fromUtf8("信道信息(&C)")));
    EXPECT_TRUE(window->menuAction(QStringLiteral("miChinese"))->isChecked());
    EXPECT_FALSE(window->menuAction(QStringLiteral("miEnglish"))->isChecked());
    EXPECT_EQ(window->treeView->node(QStringLiteral("Item1"))->text(0), QString::fromUtf8("信道信息"));
    EXPECT_EQ(window->treeView->node(QStringLiteral("Item9"))->text(0), QString::fromUtf8("全频信道 | Call"));

    window->Dispatch(QStringLiteral("miChinese")); // already Chinese: nothing more
    window->Dispatch(QStringLiteral("miEnglish"));
    EXPECT_EQ(app.language, English);
    EXPECT_EQ(app.toneTable.first(), QStringLiteral("None"));
    EXPECT_EQ(window->treeView->keys().count(QStringLiteral("Item9")), 1);
    EXPECT_EQ(window->treeView->node(QStringLiteral("Item9"))->text(0), QStringLiteral("VFO | Call"));
    EXPECT_TRUE(window->menuAction(QStringLiteral("miEnglish"))->isChecked());
}

TEST_F(MainFormTest, VfoNodeFollowsImageByteAtTheNextRefresh) {
    app.image.setByte(0x0C65, 0x80);
    window->Dispatch(QStringLiteral("miChinese"));
    EXPECT_FALSE(window->treeView->keys().contains(QStringLiteral("Item9")));
    app.image.setByte(0x0C65, 0x00);
    window->Dispatch(QStringLiteral("miEnglish"));
    EXPECT_EQ(window->treeView->keys().indexOf(QStringLiteral("Item9")), 1);
}

TEST_F(MainFormTest, ViewTogglesHideAndRestoreTheBands) {
    window->show();
    window->Dispatch(QStringLiteral("miToolBar"));
    EXPECT_FALSE(window->ToolBar->isVisible());
    EXPECT_FALSE(window->menuAction(QStringLiteral("miToolBar"))->isChecked());
    window->Dispatch(QStringLiteral("miToolBar"));
    EXPECT_TRUE(window->ToolBar->isVisible());
    EXPECT_TRUE(window->menuAction(QStringLiteral("miToolBar"))->isChecked());
    window->Dispatch(QStringLiteral("miStatusBar"));
    EXPECT_FALSE(window->statusBar()->isVisible());
    window->Dispatch(QStringLiteral("miTreeView"));
    EXPECT_FALSE(window->BandTree->isVisible());
    EXPECT_EQ(window->flagView2 & 7, 2);
}

TEST_F(MainFormTest, HiddenMenuCommandsStayReachableFromTheToolBar) {
    QStringList ids;
    for (QAction* a : window->ToolBar->actions())
        if (a->isVisible() && !a->isSeparator())
            ids << a->objectName();
    EXPECT_TRUE(ids.contains(QStringLiteral("miModel")));
    EXPECT_TRUE(ids.contains(QStringLiteral("miBatch")));
    EXPECT_FALSE(window->menuAction(QStringLiteral("miModel"))->isVisible());
}

TEST_F(MainFormTest, PrintingToAPdfFileGivesTheChannelList) {
    const QString pdf = dir.filePath(QStringLiteral("channels.pdf"));
    window->printDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    const QByteArray before = app.image.bytes();
    window->Dispatch(QStringLiteral("miPrint"));
    const QByteArray out = ReadFile(pdf);
    ASSERT_GT(out.size(), 1000);
    EXPECT_TRUE(out.startsWith("%PDF"));
    EXPECT_EQ(app.image.bytes(), before) << "printing changes nothing";

    window->printDialog = [](QPrinter&) { return false; }; // cancelled: nothing printed
    QFile::remove(pdf);
    window->Dispatch(QStringLiteral("miPrint"));
    EXPECT_FALSE(QFile::exists(pdf));
}
