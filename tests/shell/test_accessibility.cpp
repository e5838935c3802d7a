// What a screen reader finds in every window, in both languages: each control that can
// take the focus has a name (never its own current value), the grid, tree and tool bar
// are named, and every menu entry has an access key of its own.
#include "settings/frmMemoryMap.h"
#include "link/frmClone.h"
#include "shell/WidgetPrompter.h"
#include "shell/frmTreeView.h"
#include "tests/shell/MainWindowFixture.h"

#include <QAbstractSpinBox>
#include <QScreen>
#include <cstdio>
#include <functional>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTreeWidget>

namespace kestrel::test {
namespace {

// Shown to the user: not hidden itself, and every hidden ancestor is only a page
// waiting in a stack (a tab) under `root`.
bool Reachable(QWidget* w, QWidget* root) {
    for (QWidget* p = w; p && p != root; p = p->parentWidget())
        if (p->isHidden() && !qobject_cast<QStackedWidget*>(p->parentWidget()))
            return false;
    return true;
}

// A part of a composite control that the control speaks for (the text box of a combo box).
bool InsideComposite(QWidget* w, QWidget* root) {
    for (QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractSpinBox*>(p))
            return true;
    return false;
}

// "ClassName objectName: why" for every control a screen reader could not identify.
QStringList Unnamed(QWidget* root) {
    QStringList out;
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (QWidget* w : all) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !Reachable(w, root) || InsideComposite(w, root))
            continue;
        const QString who = QStringLiteral("%1 %2 in %3")
                                .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(),
                                     root->objectName());
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a) {
            out << who + QStringLiteral(": not accessible");
            continue;
        }
        const QString name = a->text(QAccessible::Name).trimmed();
        // A combo box without a name of its own is named by the entry it shows.
        auto* combo = qobject_cast<QComboBox*>(w);
        const QString value = combo ? combo->currentText().trimmed() : QString();
        if (name.isEmpty())
            out << who + QStringLiteral(": no name");
        else if (!value.isEmpty() && name == value)
            out << who + QStringLiteral(": named by its value \"%1\"").arg(name);
    }
    return out;
}

QString Name(QObject* o) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
    return a ? a->text(QAccessible::Name) : QString();
}

class AccessibilityTest : public MainWindowTest {
protected:
    AccessibilityTest() : MainWindowTest(Shown) {}

    // Runs `inside` on the main window and on every window the menus open (then the
    // memory map and the transfer window), in the current language.
    void everyWindow(const std::function<void(QWidget&)>& inside) {
        inside(*window);
        for (const char* id : {"miCommonSet", "miKeySet", "miDTMF", "miModel", "miMessage", "miBatch", "miComPort",
                               "miCheckCable", "miFleetWrite", "miCompare", "miAbout"}) {
            if (QLatin1String(id) == QLatin1String("miCompare"))
                prompter.openNames << fileWith(QStringLiteral("other.dat"), WithChannels(app.image.bytes(), {1, 2}));
            withDialog<QDialog>(id, [&](QDialog& d) {
                inside(d);
                d.reject();
            });
        }
        frmMemoryMap map(app, prompter, window.get());
        map.show();
        inside(map);
        window->cloneWindow->show();
        inside(*window->cloneWindow);
        window->cloneWindow->hide();
    }
    // The controls without a usable name in every window, in the current language.
    QStringList unnamedEverywhere() {
        QStringList out;
        everyWindow([&](QWidget& w) { out << Unnamed(&w); });
        return out;
    }
};

TEST_F(AccessibilityTest, EveryControlOfEveryWindowHasANameInBothLanguages) {
    EXPECT_EQ(unnamedEverywhere().join('\n').toStdString(), "");
    EXPECT_EQ(Name(window->channelEditor->ChannelGrid), QStringLiteral("Channels, group 1"));
    EXPECT_EQ(Name(window->ToolBar), QStringLiteral("Tool bar"));
    EXPECT_EQ(Name(window->treeView->findChild<QTreeWidget*>()), QStringLiteral("Navigation"));
    run("miChinese");
    EXPECT_EQ(unnamedEverywhere().join('\n').toStdString(), "");
    EXPECT_EQ(Name(window->channelEditor->ChannelGrid), QString::fromUtf8("信道，第 1 组"));
    EXPECT_EQ(Name(window->treeView->findChild<QTreeWidget*>()), QString::fromUtf8("导航"));
}

// With KESTREL_SCREENSHOTS=FOLDER every window is saved there as a PNG in both languages
// (run it on a real display with QT_SCALE_FACTOR=2 and KESTREL_FONT_POINTS=16 to see large
// text), and every window must fit the screen.
TEST_F(AccessibilityTest, ScreenshotsOfEveryWindowFitTheScreen) {
    const QString folder = qEnvironmentVariable("KESTREL_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set KESTREL_SCREENSHOTS to a folder";
    QDir().mkpath(folder);
    if (const int points = qEnvironmentVariableIntValue("KESTREL_FONT_POINTS")) {
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    for (const char* language : {"miEnglish", "miChinese"}) {
        run(language);
        everyWindow([&](QWidget& w) {
            QApplication::processEvents();
            const QRect screen = w.screen()->availableGeometry();
            const QString file = QStringLiteral("%1/%2-%3.png").arg(folder, w.objectName(), QString::fromLatin1(language + 2));
            EXPECT_TRUE(w.grab().save(file)) << file.toStdString();
            const QSize size = w.frameGeometry().size();
            std::printf("%s: %dx%d on a %dx%d screen\n", qPrintable(file), size.width(), size.height(), screen.width(),
                        screen.height());
            EXPECT_TRUE(size.width() <= screen.width() && size.height() <= screen.height())
                << w.objectName().toStdString() << ' ' << size.width() << 'x' << size.height();
        });
    }
}

// Within each menu (the menu bar too) every shown entry has one access key of its own.
TEST_F(AccessibilityTest, EveryMenuEntryHasAnAccessKeyOfItsOwnInBothLanguages) {
    for (const char* language : {"miEnglish", "miChinese"}) {
        run(language);
        QList<QWidget*> menus{window->menuBar()};
        for (QMenu* m : window->menuBar()->findChildren<QMenu*>())
            menus << m;
        for (QMenu* m : window->findChildren<QMenu*>())
            if (!menus.contains(m))
                menus << m;
        for (QWidget* menu : menus) {
            QHash<int, QString> seen;
            for (QAction* a : menu->actions()) {
                if (a->isSeparator() || !a->isVisible())
                    continue;
                const QKeySequence key = QKeySequence::mnemonic(a->text());
                EXPECT_FALSE(key.isEmpty()) << language << ' ' << a->text().toStdString();
                if (key.isEmpty())
                    continue;
                EXPECT_FALSE(seen.contains(key[0].toCombined()))
                    << language << ' ' << a->text().toStdString() << " / " << seen.value(key[0].toCombined()).toStdString();
                seen.insert(key[0].toCombined(), a->text());
            }
        }
    }
}

} // namespace
} // namespace kestrel::test
