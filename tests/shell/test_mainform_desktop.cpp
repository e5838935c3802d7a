// The main window as a desktop program: Qt's own texts in Chinese, shortcuts and tips,
// files (data or radio text) dropped or chosen from Recent Files, the state kept between
// runs, File > Close, the view state, print preview and the about box's icon.
#include "shell/PrintCommands.h"
#include "shell/QtTranslation.h"
#include "shell/UserGuideCommand.h"
#include "core/UserGuide.h"
#include "shell/WidgetPrompter.h"
#include "shell/frmAbout.h"
#include "tests/shell/MainWindowFixture.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QUrl>
#include <list>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// Calls `inspect` with the next modal window once it shows (within 10 s); `inspect` closes it.
void WhenModalShows(std::function<void(QWidget*)> inspect) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    auto polls = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect, polls] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w && ++*polls < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (w)
            inspect(w);
    });
    timer->start();
}

class Desktop : public MainWindowTest {
protected:
    // A new run on the same settings store.
    std::unique_ptr<MainForm> nextRun(ScriptedPrompter& p) {
        runs.push_back(StartedApp(settingsFile));
        return std::make_unique<MainForm>(runs.back(), *store, p);
    }

    // Sends a drag and, when it is accepted, the drop of `path`; true when accepted.
    bool drop(const QString& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &dropped);
        QTest::qWait(50); // the file opens once the drop has finished
        return true;
    }

    // Entries that can be reached: visible, in a visible menu of the menu bar or on the tool bar.
    QList<QAction*> reachable(const QString& id) const {
        QList<QAction*> out;
        for (QAction* a : window->actions(id)) {
            auto* menu = qobject_cast<QMenu*>(a->parent());
            const bool inShownMenu = menu && menu->menuAction()->isVisible();
            if (a->isVisible() && (inShownMenu || window->ToolBar->actions().contains(a)))
                out << a;
        }
        return out;
    }

    std::list<AppContext> runs; // of nextRun(), which keeps references to them
};

} // namespace

TEST_F(Desktop, InChineseQtsOwnButtonsAreChineseAndTheAboutBoxShowsTheIcon) {
    ASSERT_TRUE(QFile::exists(QtTranslation::ChineseFile()))
        << "Qt's Chinese texts are missing: install qt6-translations-l10n";
    WidgetPrompter real(window.get());
    auto buttonsOfAQuestion = [&] {
        QStringList texts;
        WhenModalShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                texts << (box && box->button(b) ? box->button(b)->text() : QString());
            w->close();
        });
        EXPECT_EQ(real.message(app.productName, QStringLiteral("?"), Prompter::Icon::Question,
                               Prompter::Buttons::YesNoCancel, Answer::Yes),
                  Answer::Cancel);
        return texts;
    };
    run("miChinese");
    const QStringList zh = buttonsOfAQuestion();
    const char* starts[] = {"是", "否", "取消"};
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(zh.value(i).startsWith(QString::fromUtf8(starts[i]))) << zh.join('|').toStdString();
    run("miEnglish");
    EXPECT_EQ(buttonsOfAQuestion(), (QStringList{"&Yes", "&No", "Cancel"}));

    bool iconShown = false; // the about box shows the program's icon
    WhenModalShows([&](QWidget* w) {
        auto* about = qobject_cast<frmAbout*>(w);
        iconShown = about && !about->windowIcon().isNull() && !about->lblIcon->pixmap().isNull() &&
                    about->lblLicence->text().contains(QStringLiteral("GNU General Public License, version 3"));
        w->close();
    });
    run("miAbout");
    EXPECT_TRUE(iconShown);
}

// Help > User Guide opens the page of the language from the installed guide, else from the
// build folder's; without either, or without a browser, it says where the page is.
TEST_F(Desktop, UserGuideOpensThePageOfTheLanguageOrSaysWhereItIs) {
    struct Case {
        bool installed, built, browser;
        Language language;
        const char* opened; // "installed/..." or "built/...", empty: nothing opened
        const char* told;   // part of the message shown, empty: none
    } cases[] = {
        {true, true, true, English, "installed/index.html", ""},
        {true, false, true, Chinese, "installed/index-zh.html", ""},
        {false, true, true, English, "built/index.html", ""},
        {false, false, true, English, "", "not installed"},
        {false, false, true, Chinese, "", "未安装用户指南"},
        {true, false, false, English, "", "No browser"},
    };
    for (const Case& c : cases) {
        QTemporaryDir root;
        AppContext guideApp = app;
        guideApp.appFolder = root.filePath(QStringLiteral("lib/kestrel/"));
        guideApp.language = c.language;
        const QStringList folders = UserGuideFolders(guideApp.appFolder);
        for (int i : {0, 1})
            if (i == 0 ? c.installed : c.built) {
                QDir().mkpath(folders[i]);
                for (Language l : {English, Chinese})
                    ASSERT_TRUE(WriteFile(QDir(folders[i]).filePath(UserGuidePageName(l)), "<html></html>"));
            }
        ScriptedPrompter p;
        QList<QUrl> urls;
        const QString page = OpenUserGuide(guideApp, p, [&](const QUrl& url) {
            urls << url;
            return c.browser;
        });
        const QString opened = QString::fromUtf8(c.opened);
        if (opened.isEmpty()) {
            EXPECT_TRUE(page.isEmpty());
        } else {
            const QString expected =
                QDir(folders[opened.startsWith(QLatin1String("built")) ? 1 : 0]).filePath(opened.section('/', 1));
            EXPECT_EQ(page, expected);
            EXPECT_EQ(urls, QList<QUrl>{QUrl::fromLocalFile(expected)});
        }
        EXPECT_EQ(p.texts().join('\n').contains(QString::fromUtf8(c.told)), true) << p.texts().join('\n').toStdString();
        EXPECT_EQ(p.texts().isEmpty(), !*c.told);
        if (*c.told) {
            EXPECT_TRUE(p.texts().join(' ').contains(QDir::toNativeSeparators(folders[0])));
        }
    }
    // The menu entry: a program folder without a guide says where it would be.
    app.appFolder = QDir::tempPath() + QStringLiteral("/no-such-kestrel/lib/kestrel/");
    run("miUserGuide");
    EXPECT_TRUE(prompter.texts().join(' ').contains(QStringLiteral("not installed")));
}

TEST_F(Desktop, ShortcutsSitInTheMenusAndEveryEntryHasTips) {
    const std::pair<const char*, const char*> keys[] = {{"miNew", "Ctrl+N"},  {"miOpen", "Ctrl+O"},
                                                        {"miSave", "Ctrl+S"}, {"miPrint", "Ctrl+P"},
                                                        {"miExit", "Ctrl+Q"}, {"miUserGuide", "F1"},
                                                        {"miAbout", ""}};
    for (const auto& [id, k] : keys)
        EXPECT_EQ(entry(id)->shortcut(), QKeySequence(QString::fromLatin1(k))) << id;
    EXPECT_EQ(entry("miEnglish")->text(), QStringLiteral("English(&E)"));
    for (Language l : {Chinese, English}) {
        run(l == Chinese ? "miChinese" : "miEnglish");
        QList<QAction*> entries = window->ToolBar->actions();
        for (QAction* head : window->menuBar()->actions())
            entries << head << (head->menu() ? head->menu()->actions() : QList<QAction*>());
        for (QAction* a : entries) {
            if (a->isSeparator())
                continue;
            EXPECT_FALSE(a->statusTip().isEmpty()) << a->objectName().toStdString();
            EXPECT_FALSE(a->toolTip().contains(QLatin1Char('&'))) << a->toolTip().toStdString();
        }
    }
    EXPECT_EQ(window->actions(QStringLiteral("miSave")).last()->toolTip(), QStringLiteral("Save (Ctrl+S)"));
    EXPECT_EQ(entry("miSave")->statusTip(), QStringLiteral("Save the data to a file (.dat or .yaml)"));

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(prompter.saveDialogs, 1);
}

TEST_F(Desktop, ADroppedDataFileOpensAfterTheUnsavedChangesQuestion) {
    const QString dropped = fileWith("dropped.dat", DefaultImageBytes(1));
    EXPECT_FALSE(drop(path("notes.txt")));
    app.image.setByte(0x10, 0x22);
    prompter.answers << Answer::Cancel;
    ASSERT_TRUE(drop(dropped));
    EXPECT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(app.image.byte(0x10), 0x22) << "Cancel keeps the image";
    prompter.answers << Answer::No;
    ASSERT_TRUE(drop(dropped));
    EXPECT_EQ(app.image.bytes(), DefaultImageBytes(1));
    EXPECT_EQ(app.currentFileName, dropped);
    EXPECT_EQ(app.band.index, 1);
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Opened dropped.dat"));
}

TEST_F(Desktop, ADroppedRadioTextOpensLikeFileOpenAndOneWithAnErrorLoadsNothing) {
    const QString text = fileWith("dropped.yaml", "band: 400-470\nOptional Features:\n  Squelch Level: 7\n");
    const QString bad = fileWith("bad.YML", "Optional Features:\n  Squelch Level: 12\n");
    EXPECT_FALSE(drop(path("dropped.yaml.txt")));
    ASSERT_TRUE(drop(text));
    EXPECT_EQ(app.currentFileName, text);
    EXPECT_EQ(app.band.index, 1);
    EXPECT_EQ(app.image.byte(0x0FD3), 7) << "Squelch Level";
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Opened dropped.yaml"));
    const QByteArray opened = app.image.bytes();
    ASSERT_TRUE(drop(bad));
    EXPECT_EQ(app.image.bytes(), opened);
    EXPECT_EQ(app.currentFileName, text);
    EXPECT_EQ(lastAsked().icon, Prompter::Icon::Critical);
    EXPECT_TRUE(lastAsked().text.startsWith(bad + QStringLiteral(":2:18: Optional Features / Squelch Level")))
        << lastAsked().text.toStdString();
}

TEST_F(Desktop, RecentFilesFillPruneAndOutliveTheRun) {
    QStringList paths;
    for (int i = 0; i < 9; ++i)
        paths << fileWith(QStringLiteral("r%1.dat").arg(i), DefaultImageBytes(0));
    for (const QString& p : paths)
        ASSERT_TRUE(window->OpenPath(p));
    ASSERT_TRUE(window->OpenPath(paths[3]));
    QStringList expected{paths[3], paths[8], paths[7], paths[6], paths[5], paths[4], paths[2], paths[1]};
    EXPECT_EQ(window->recentFiles(), expected) << "newest first, at most 8, no doubles";
    QMenu* menu = entry("miRecent")->menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 8);
    EXPECT_EQ(menu->actions().first()->text(),
              QStringLiteral("&1 r3.dat  (%1)").arg(QDir::toNativeSeparators(dir.path())));

    // A file that has gone: said so, taken off, nothing opened.
    ASSERT_TRUE(QFile::remove(paths[5]));
    menu->actions().at(4)->trigger();
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_TRUE(lastAsked().text.contains(QLatin1String("no longer exists")));
    expected.removeAll(paths[5]);
    EXPECT_EQ(window->recentFiles(), expected);
    EXPECT_EQ(app.currentFileName, paths[3]);

    // Choosing one asks about unsaved changes first, and opens it.
    app.image.setByte(0x10, 0x22);
    prompter.answers << Answer::No;
    menu->actions().at(2)->trigger();
    EXPECT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(app.currentFileName, expected[2]);

    ScriptedPrompter other;
    EXPECT_EQ(nextRun(other)->recentFiles().size(), 7);

    // The language switch rebuilds the menus; the submenu stays.
    run("miChinese");
    EXPECT_EQ(entry("miRecent")->text(), QString::fromUtf8("最近的文件(&R)"));
    EXPECT_EQ(entry("miRecent")->menu()->actions().size(), 7);
}

TEST_F(Desktop, WindowPlaceTreeWidthAndLastFolderAreRestoredButNotLanguageOrBands) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->setGeometry(QRect(40, 50, 900, 600));
    window->resizeDocks({window->BandTree}, {260}, Qt::Horizontal);
    QTest::qWait(50);
    const int treeWidth = window->BandTree->width();
    prompter.openNames << fileWith("folder.dat", DefaultImageBytes(0));
    run("miOpen");
    run("miChinese");
    run("miToolBar");
    ASSERT_TRUE(window->close());

    ScriptedPrompter second;
    auto next = nextRun(second);
    next->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(next.get()));
    QTest::qWait(50);
    EXPECT_EQ(next->geometry(), QRect(40, 50, 900, 600));
    EXPECT_NEAR(next->BandTree->width(), treeWidth, 2);
    EXPECT_EQ(second.lastFolder(), dir.path());
    EXPECT_TRUE(next->ToolBar->isVisible()) << "bands are all shown at start";
    EXPECT_EQ(next->menuAction(QStringLiteral("miFile"))->text(), QStringLiteral("File(&F)"));

    next->showMaximized();
    QTest::qWait(50);
    ASSERT_TRUE(next->close());
    ScriptedPrompter third;
    auto last = nextRun(third);
    last->show();
    QTest::qWait(50);
    EXPECT_TRUE(last->isMaximized());
}

TEST_F(Desktop, FileDialogsStartInTheFolderUsedLast) {
    QTemporaryDir other;
    const QString elsewhere = QDir(other.path()).filePath(QStringLiteral("x.dat"));
    ASSERT_TRUE(WriteFile(elsewhere, DefaultImageBytes(0)));
    WidgetPrompter real(window.get());
    real.setLastFolder(dir.path());
    auto startFolder = [&](const QString& initialName, const QString& choose) {
        QString seen;
        WhenModalShows([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            seen = d ? d->directory().absolutePath() : QString();
            if (d && !choose.isEmpty()) {
                d->selectFile(choose);
                static_cast<QDialog*>(d)->accept(); // as the dialog's Open button does
            } else {
                w->close();
            }
        });
        real.openFileName(initialName, QStringLiteral("Data File(*.dat)"));
        return seen;
    };
    EXPECT_EQ(startFolder(QStringLiteral("Untitled"), QString()), dir.path());
    EXPECT_EQ(real.lastFolder(), dir.path()) << "a cancel changes nothing";
    EXPECT_EQ(startFolder(elsewhere, elsewhere), other.path()) << "a name with a folder starts there";
    EXPECT_EQ(real.lastFolder(), other.path());
}

TEST_F(Desktop, CloseGoesBackToTheDefaultImageOfTheBandAndUntitled) {
    const QString saved = fileWith("radio1.dat", DefaultImageBytes(2));
    ASSERT_TRUE(window->OpenPath(saved));
    run("miChinese");
    app.image.setByte(0x10, 0x22);
    prompter.answers << Answer::Cancel;
    run("miClose");
    EXPECT_EQ(app.currentFileName, saved) << "Cancel keeps the file";
    EXPECT_EQ(app.image.byte(0x10), 0x22);

    prompter.answers << Answer::Yes;
    prompter.saveNames << saved;
    run("miClose");
    EXPECT_EQ(ReadFile(saved).at(0x10), 0x22) << "Yes saves first";
    EXPECT_EQ(app.image.bytes(), DefaultImageBytes(2));
    EXPECT_EQ(app.currentFileName, QStringLiteral("Untitled"));
    EXPECT_FALSE(app.image.IsImageModified());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Kestrel[340-400 MHz] [文件名: Untitled]"));
    EXPECT_EQ(StatusNoteText(window.get()), QString::fromUtf8("已关闭 radio1.dat"));

    // A file that cannot be used at start: the usual error, the default image stays.
    ASSERT_TRUE(WriteFile(saved, QByteArray(100, 'x')));
    EXPECT_FALSE(window->OpenPath(saved));
    EXPECT_EQ(lastAsked().icon, Prompter::Icon::Critical);
    EXPECT_EQ(app.image.bytes(), DefaultImageBytes(2));
}

TEST_F(Desktop, ViewTogglesAndTheTreeBandsCloseButtonKeepViewInStepAndBandsHaveNoRightClickMenu) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* close = window->BandTree->findChild<QAbstractButton*>(QStringLiteral("qt_dockwidget_closebutton"));
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(window->BandTree->isVisible());
    EXPECT_EQ(window->flagView2 & 1, 0);
    EXPECT_FALSE(entry("miTreeView")->isChecked());
    run("miTreeView");
    EXPECT_TRUE(window->BandTree->isVisible());
    EXPECT_TRUE(entry("miTreeView")->isChecked());

    for (QWidget* band : {static_cast<QWidget*>(window->ToolBar), static_cast<QWidget*>(window->BandTree)}) {
        QWidget* popup = nullptr;
        QTimer closer; // closes a menu that should not have opened
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            popup = QApplication::activePopupWidget();
            if (popup)
                popup->close();
        });
        closer.start(200);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3), band->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(band, &event);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !closer.isActive(); }, 10000));
        EXPECT_EQ(popup, nullptr) << band->objectName().toStdString();
    }

    // The View toggles hide and restore the bands.
    run("miToolBar");
    EXPECT_FALSE(window->ToolBar->isVisible());
    EXPECT_FALSE(entry("miToolBar")->isChecked());
    run("miToolBar");
    EXPECT_TRUE(window->ToolBar->isVisible());
    EXPECT_TRUE(entry("miToolBar")->isChecked());
    run("miStatusBar");
    EXPECT_FALSE(window->statusBar()->isVisible());
    run("miTreeView");
    EXPECT_FALSE(window->BandTree->isVisible());
    EXPECT_EQ(window->flagView2 & 7, 2);
}

TEST_F(Desktop, WithoutLayoutFilesBothLanguageCommandsStayReachable) {
    QTemporaryDir bare;
    for (int band = 0; band < 3; ++band)
        ASSERT_TRUE(WriteFile(QDir(bare.path()).filePath(DefaultImageName(band)), DefaultImageBytes(band)));
    app.appFolder = WithTrailingSeparator(bare.path());
    window = std::make_unique<MainForm>(app, *store, prompter);
    EXPECT_TRUE(StatusNoteText(window.get()).contains(QLatin1String("toolbar_E.tlb")));
    ASSERT_FALSE(reachable(QStringLiteral("miEnglish")).isEmpty());
    ASSERT_FALSE(reachable(QStringLiteral("miChinese")).isEmpty());
    reachable(QStringLiteral("miChinese")).first()->trigger();
    EXPECT_EQ(app.language, Chinese);
    EXPECT_TRUE(StatusNoteText(window.get()).contains(QLatin1String("toolbar_C.tlb")));
    ASSERT_FALSE(reachable(QStringLiteral("miEnglish")).isEmpty());
    reachable(QStringLiteral("miEnglish")).first()->trigger();
    EXPECT_EQ(app.language, English);
}

TEST_F(Desktop, PrintPreviewFollowsTheChannelChoiceAndChineseIsPrintedInSimplifiedGlyphs) {
    CreateChannel(app.image, 0, 1, QStringLiteral("145.02500"));
    int inUse = 0;
    int all = 0;
    window->printing->showPreview = [&](QPrintPreviewDialog& dialog) {
        auto* view = dialog.findChild<QPrintPreviewWidget*>();
        auto* allEntry = dialog.findChild<QAction*>(QStringLiteral("previewAllChannels"));
        ASSERT_TRUE(view && allEntry);
        view->updatePreview();
        inUse = view->pageCount();
        allEntry->setChecked(true);
        all = view->pageCount();
    };
    run("miPrintPreview");
    EXPECT_EQ(inUse, 1);
    EXPECT_GT(all, inUse);

    run("miChinese");
    const QString pdf = path("zh.pdf");
    window->printing->printDialog = [&](QPrinter& printer, bool&) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    run("miPrint");
    const QByteArray out = ReadFile(pdf);
    ASSERT_TRUE(out.startsWith("%PDF"));
    if (!out.contains("CJK"))
        GTEST_SKIP() << "no Noto CJK font installed (fonts-noto-cjk)";
    EXPECT_TRUE(out.contains("CJKsc")) << "Simplified Chinese glyphs";
    EXPECT_FALSE(out.contains("CJKjp")) << "not the Japanese ones";
}
