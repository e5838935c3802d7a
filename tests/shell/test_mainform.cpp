// The main window on the offscreen platform: start-up, file cycle, language switch,
// view toggles, printing, and the radio commands against the virtual radio.
#include "core/Frequency.h"
#include "core/Startup.h"
#include "shell/Caption.h"
#include "shell/PrintCommands.h"
#include "shell/frmTreeView.h"
#include "tests/shell/MainWindowFixture.h"

#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

class MainFormTest : public MainWindowTest {
protected:
    QStringList visibleMenuBarTitles() const { return visible(window->menuBar()->actions()); }
    QStringList visibleEntries(const char* menuId) const {
        QAction* head = entry(menuId);
        return head && head->menu() ? visible(head->menu()->actions()) : QStringList();
    }
    static QStringList visible(const QList<QAction*>& actions) {
        QStringList out;
        for (QAction* a : actions)
            if (a->isVisible() && !a->isSeparator())
                out << a->text();
        return out;
    }
};

} // namespace

TEST_F(MainFormTest, StartsWithTheFirstBandsDefaultImageAndTheWrittenMenus) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[136-174 MHz] [File Name: Untitled]"));
    EXPECT_EQ(app.band.index, 0);
    EXPECT_EQ(app.image.bytes(), DefaultImageBytes(0));
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_EQ(visibleMenuBarTitles(), (QStringList{"File(&F)", "Edit(&E)", "Program(&P)",
                                                   "Communication Port(&C)", "View(&V)", "Help(&H)"}));
    const QStringList edit = visibleEntries("miEdit");
    EXPECT_EQ(edit.mid(0, 2), (QStringList{"Undo(&U)", "Redo(&D)"}));
    EXPECT_EQ(edit.mid(edit.size() - 7),
              (QStringList{"Model Information(&N)", "Channel Information(&C)", "Optional Features(&O)", "DTMF(&F)",
                           "Key Assignment(&Y)", "Embedded Message(&E)", "Batch Edit(&B)"}));
    EXPECT_EQ(window->treeView->keys(), (QStringList{"Item1", "Item9", "Item2", "Item3", "Item6", "Item8"}));
    EXPECT_EQ(window->flagView, 1);
    EXPECT_EQ(window->flagView2, 255);
    EXPECT_TRUE(window->lastLayoutWarning().isEmpty()) << window->lastLayoutWarning().toStdString();
    EXPECT_TRUE(prompter.asked.isEmpty());
    // Model Information and Batch Edit are on the tool bar as well as in the Edit menu.
    QStringList onToolBar;
    for (QAction* a : window->ToolBar->actions())
        if (a->isVisible())
            onToolBar << a->objectName();
    EXPECT_TRUE(onToolBar.contains("miModel") && onToolBar.contains("miBatch"))
        << onToolBar.join(' ').toStdString();
}

TEST_F(MainFormTest, OpenEditSaveAsAndReopen) {
    const QString saved = path("radio1.dat");
    app.image.setByte(0x0FD3, 7); // an edit, made outside every command: the mark follows it
    ASSERT_TRUE(app.image.IsImageModified());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->windowTitle() == QStringLiteral("Kestrel[136-174 MHz] [File Name: Untitled*]"); }, 2000))
        << window->windowTitle().toStdString();
    prompter.saveNames << saved;
    run("miSave");
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_EQ(app.currentFileName, saved);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[136-174 MHz] [File Name: radio1.dat]"));
    EXPECT_EQ(ReadFile(saved).at(0x0FD3), 7);
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Saved radio1.dat"));

    run("miNew"); // Cancel is the scripted default
    EXPECT_EQ(app.image.byte(0x0FD3), 7) << "New then Cancel changes nothing";
    prompter.answers << Answer::Ok;
    run("miNew");
    EXPECT_EQ(app.image.byte(0x0FD3), quint8(DefaultImageBytes(0).at(0x0FD3)));
    EXPECT_EQ(app.currentFileName, QStringLiteral("Untitled")) << "a Save after New must not replace the file";
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[136-174 MHz] [File Name: Untitled]"));
    app.image.setByte(0x0FD3, 7);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowTitle().endsWith(QLatin1String("Untitled*]")); }, 2000));
    app.image.setByte(0x0FD3, quint8(DefaultImageBytes(0).at(0x0FD3))); // back as saved: no mark
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowTitle().endsWith(QLatin1String("Untitled]")); }, 2000));
    EXPECT_EQ(BuildCaption(QStringLiteral("Kestrel"), QStringLiteral("400-470"), saved, Chinese, true),
              QString::fromUtf8("Kestrel[400-470 MHz] [文件名: radio1.dat*]"));

    prompter.answers << Answer::No; // don't save the new image
    prompter.openNames << saved;
    run("miOpen");
    EXPECT_EQ(app.image.byte(0x0FD3), 7);
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kestrel[136-174 MHz] [File Name: radio1.dat]"));
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Opened radio1.dat"));
}

// Open on a modified image goes on only after a successful save: Cancel shows no file
// dialog; a cancelled or failed save and a wrong-sized file keep the image, modified
// and untitled.
TEST_F(MainFormTest, OpenAfterCancelAnUnfinishedSaveOrOfAWrongSizedFileKeepsTheImage) {
    const QString other = fileWith("other.dat", DefaultImageBytes(1));
    app.image.setByte(0x10, 0x22);
    prompter.answers << Answer::Cancel << Answer::Yes;
    run("miOpen");
    EXPECT_EQ(lastAsked().text, QStringLiteral("File hasn't been saved, save it now?"));
    prompter.saveNames << QString(); // the save dialog is cancelled
    prompter.openNames << other;
    run("miOpen");
    EXPECT_EQ(prompter.openDialogs, 0);
    EXPECT_EQ(app.image.byte(0x10), 0x22);

    prompter.saveNames = {path("missing/folder/x.dat")};
    run("miSave");
    EXPECT_EQ(lastAsked().icon, Prompter::Icon::Critical);
    EXPECT_TRUE(app.image.IsImageModified());
    EXPECT_EQ(app.currentFileName, QStringLiteral("Untitled"));

    const QString bad = fileWith("short.dat", QByteArray(8191, 'x'));
    const QByteArray before = app.image.bytes();
    const QString caption = window->windowTitle();
    prompter.asked.clear();
    prompter.answers = {Answer::No};
    prompter.openNames = {bad};
    run("miOpen");
    EXPECT_EQ(app.image.bytes(), before);
    EXPECT_TRUE(app.image.IsImageModified());
    EXPECT_EQ(app.currentFileName, QStringLiteral("Untitled"));
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(lastAsked().icon, Prompter::Icon::Critical);
    EXPECT_EQ(lastAsked().title, QStringLiteral("Kestrel"));
}

// A save that meets the file-size limit, as the program runs it (main() sets the
// signal aside): reported, the old file kept, the edits still there and unsaved.
TEST_F(MainFormTest, ASaveCutShortByTheFileSizeLimitKeepsTheEdits) {
    const QString saved = fileWith("radio.dat", DefaultImageBytes(0));
    app.image.setByte(0x10, 0x22);
    const auto previous = std::signal(SIGXFSZ, SIG_DFL);
    IgnoreFileSizeLimitSignal();
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    prompter.saveNames << saved;
    run("miSave");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(lastAsked().icon, Prompter::Icon::Critical);
    EXPECT_TRUE(lastAsked().text.contains(QStringLiteral("File too large")))
        << lastAsked().text.toStdString();
    EXPECT_EQ(app.image.byte(0x10), 0x22);
    EXPECT_TRUE(app.image.IsImageModified());
    EXPECT_EQ(ReadFile(saved), DefaultImageBytes(0));
}

// The program itself, started with the signal at its default disposition, sets it aside.
TEST(MainProgram, IgnoresTheFileSizeLimitSignal) {
    if (!QFile::exists(QStringLiteral("/proc/self/status")))
        GTEST_SKIP() << "no /proc to look into";
    QProcess gui;
    gui.setChildProcessModifier([] { std::signal(SIGXFSZ, SIG_DFL); });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    gui.setProcessEnvironment(env);
    gui.start(QDir(BinDir()).filePath(QStringLiteral("kestrel")), {});
    ASSERT_TRUE(gui.waitForStarted(10000));
    const QString status = QStringLiteral("/proc/%1/status").arg(gui.processId());
    auto ignored = [&] {
        for (const QByteArray& line : ReadFile(status).split('\n'))
            if (line.startsWith("SigIgn:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGXFSZ - 1)) & 1;
        return 0ULL;
    };
    const bool seen = QTest::qWaitFor([&] { return ignored() != 0; }, 20000);
    gui.kill();
    gui.waitForFinished(5000);
    EXPECT_TRUE(seen);
}

// A frequency typed into the grid without Enter is committed before Open, Read and
// New run: Open then asks its question, Read and New keep their own.
TEST_F(MainFormTest, OpenReadAndNewCommitTheOpenCellFirst) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    struct Case {
        const char* command;
        QString question;
    } cases[] = {{"miOpen", LoadText(1111, English)},
                 {"miRead", QStringLiteral("Read data from radio.\nDo you wish to continue?")},
                 {"miNew", QStringLiteral("Clear All Data!")}};
    for (const Case& c : cases) {
        app.image.setBytes(DefaultImageBytes(0));
        app.image.TakeImageSnapshot();
        window->RefreshAll();
        prompter.asked.clear();
        clickCell(1, ColRxFreq);
        ASSERT_TRUE(window->channelEditor->txtMemChannel->isVisible()) << c.command;
        QTest::keyClicks(window->channelEditor->txtMemChannel, QStringLiteral("146.52"));
        prompter.answers = {Answer::Cancel};
        window->Dispatch(QString::fromLatin1(c.command));
        EXPECT_EQ(prompter.texts(), QStringList{c.question}) << c.command;
        EXPECT_EQ(DecodeFrequency(app.image, 0, ChannelByte::RxFrequency), QStringLiteral("146.52000"))
            << c.command;
        EXPECT_TRUE(app.image.IsImageModified()) << c.command;
    }
}

TEST_F(MainFormTest, ADamagedSettingsFileIsNotOverwrittenAtExit) {
    window.reset();
    const QByteArray text = "[General]\nLanguage=0\nPort=3\n[Ports\nCom3=/tmp/radio\n";
    ASSERT_TRUE(WriteFile(settingsFile, text));
    app = StartedApp(settingsFile);
    EXPECT_EQ(app.portNumber, 3);
    window = std::make_unique<MainForm>(app, *store, prompter);
    run("miChinese");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ReadFile(settingsFile), text);
}

TEST_F(MainFormTest, ClosingAsksOnlyWhenModifiedWritesTheSettingsAndStaysOpenOnCancelOrAFailedSave) {
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(prompter.asked.isEmpty());
    SettingsStore check(app.settingsKeyPath, settingsFile);
    EXPECT_EQ(check.ReadRegistryText(QStringLiteral("Language")), QStringLiteral("0"));
    EXPECT_EQ(check.ReadRegistryText(QStringLiteral("Port")), QStringLiteral("1"));

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
    run("miChinese");
    EXPECT_EQ(app.language, Chinese);
    EXPECT_EQ(app.toneTable.first(), QString::fromUtf8("无"));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Kestrel[136-174 MHz] [文件名: Untitled]"));
    EXPECT_TRUE(visibleMenuBarTitles().contains(QString::fromUtf8("文件(&F)")));
    EXPECT_TRUE(visibleEntries("miEdit").contains(QString::fromUtf8("信道信息(&C)")));
    EXPECT_TRUE(entry("miChinese")->isChecked());
    EXPECT_FALSE(entry("miEnglish")->isChecked());
    EXPECT_EQ(window->treeView->node(QStringLiteral("Item1"))->text(0), QString::fromUtf8("信道信息"));
    EXPECT_EQ(window->treeView->node(QStringLiteral("Item9"))->text(0), QString::fromUtf8("全频信道 | Call"));

    run("miChinese"); // already Chinese: nothing more
    run("miEnglish");
    EXPECT_EQ(app.language, English);
    EXPECT_EQ(app.toneTable.first(), QStringLiteral("None"));
    EXPECT_EQ(window->treeView->keys().count(QStringLiteral("Item9")), 1);
    EXPECT_EQ(window->treeView->node(QStringLiteral("Item9"))->text(0), QStringLiteral("VFO | Call"));
    EXPECT_TRUE(entry("miEnglish")->isChecked());

    // The VFO node follows its image byte at the next refresh.
    app.image.setByte(0x0C65, 0x80);
    run("miChinese");
    EXPECT_FALSE(window->treeView->keys().contains(QStringLiteral("Item9")));
    app.image.setByte(0x0C65, 0x00);
    run("miEnglish");
    EXPECT_EQ(window->treeView->keys().indexOf(QStringLiteral("Item9")), 1);
}

TEST_F(MainFormTest, PrintingToAPdfFileGivesTheChannelsInUseOrAll) {
    const QString pdf = path("channels.pdf");
    auto pagesPrinted = [&](bool all) {
        QFile::remove(pdf);
        window->printing->printDialog = [&](QPrinter& printer, bool& allChannels) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            allChannels = all;
            return true;
        };
        run("miPrint");
        const QByteArray out = ReadFile(pdf);
        EXPECT_TRUE(out.startsWith("%PDF"));
        return int(out.count("/Type /Page\n") + out.count("/Type /Page\r"));
    };
    CreateChannel(app.image, 0, 1, QStringLiteral("145.02500"));
    CreateChannel(app.image, 37, 6, QStringLiteral("150.00000"));
    const QByteArray before = app.image.bytes();
    EXPECT_EQ(pagesPrinted(false), 1);
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Printed 2 channels"));
    EXPECT_GT(pagesPrinted(true), 1) << "all 128 channels take several pages";
    EXPECT_TRUE(window->printing->allChannels) << "the choice holds for the run";
    EXPECT_EQ(app.image.bytes(), before) << "printing changes nothing";

    window->printing->printDialog = [](QPrinter&, bool&) { return false; }; // cancelled: nothing printed
    QFile::remove(pdf);
    run("miPrint");
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(prompter.asked.isEmpty());

    // A file that cannot be written is a failure, not a silent nothing.
    window->printing->printDialog = [&](QPrinter& printer, bool&) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("missing/folder/x.pdf"));
        return true;
    };
    run("miPrint");
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(lastAsked().icon, Prompter::Icon::Critical);
    EXPECT_TRUE(lastAsked().text.startsWith(QLatin1String("Printing failed")));
}

// A FIFO is neither saved over nor opened: the error box says why, the edits stay.
TEST_F(MainFormTest, AFifoIsNeitherSavedOverNorOpened) {
    const QString fifo = path("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    app.image.setByte(0x10, 0x22);
    prompter.saveNames << fifo;
    run("miSave");
    EXPECT_EQ(lastAsked().text, fifo + QStringLiteral(" is not a regular file."));
    EXPECT_TRUE(app.image.IsImageModified());
    EXPECT_EQ(app.currentFileName, QStringLiteral("Untitled"));
    prompter.answers << Answer::No;
    prompter.openNames << fifo;
    run("miOpen");
    EXPECT_EQ(lastAsked().text, fifo + QStringLiteral(" is not a regular file."));
    EXPECT_EQ(app.image.byte(0x10), 0x22);
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}
