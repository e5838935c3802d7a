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
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

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
    EXPECT_EQ(Name(window->ToolBar), QString::fromUtf8("工具栏"));
}

// Where Enter moves on to the next field, Ctrl+Enter (and Ctrl with the keypad's Enter)
// presses the dialog's OK button (Apply in Batch Edit) from whatever field has the focus.
TEST_F(AccessibilityTest, CtrlEnterPressesOkWhereEnterMovesOn) {
    struct Case {
        const char* id;
        const char* button;
        Qt::Key key;
    };
    for (const Case& c : {Case{"miCommonSet", "cmdOK", Qt::Key_Return}, Case{"miDTMF", "Command10", Qt::Key_Enter},
                          Case{"miBatch", "cmdApply", Qt::Key_Return}, Case{"miMemoryMap", "cmdOK", Qt::Key_Return}}) {
        auto inside = [&](QDialog& d) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&d)) << c.id;
            EXPECT_TRUE(QTest::qWaitFor([&] { return d.focusWidget() != nullptr; }));
            auto* ok = d.findChild<QPushButton*>(QString::fromLatin1(c.button));
            QWidget* field = d.focusWidget();
            EXPECT_TRUE(ok && field && field != ok) << c.id;
            if (!ok || !field || field == ok)
                return d.reject();
            QSignalSpy clicked(ok, &QPushButton::clicked);
            const Qt::KeyboardModifiers mods =
                c.key == Qt::Key_Enter ? Qt::ControlModifier | Qt::KeypadModifier : Qt::ControlModifier;
            QTest::keyClick(field, c.key, mods);
            EXPECT_EQ(clicked.count(), 1) << c.id << ' ' << field->objectName().toStdString();
            if (d.isVisible())
                d.reject();
        };
        if (QLatin1String(c.id) == QLatin1String("miMemoryMap")) {
            QTimer::singleShot(0, [&] { inside(*qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
            emit window->channelEditor->memoryMapRequested();
        } else {
            withDialog<QDialog>(c.id, inside);
        }
    }
}

// Every dialog opens with the focus on its first field, Tab walks its fields in reading
// order (row by row, left to right, within a column of frames), and once it closes the
// focus is back on the control that had it.
TEST_F(AccessibilityTest, DialogsStartAtTheirFirstFieldTabInReadingOrderAndGiveTheFocusBack) {
    QWidget* grid = window->channelEditor->ChannelGrid;
    for (const char* id : {"miCommonSet", "miKeySet", "miDTMF", "miModel", "miMessage", "miBatch", "miComPort"}) {
        grid->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(grid->hasFocus()) << id;
        withDialog<QDialog>(id, [&](QDialog& d) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&d)) << id;
            EXPECT_TRUE(QTest::qWaitFor([&] { return d.focusWidget() != nullptr; }));
            QWidget* first = d.focusWidget();
            EXPECT_NE(first, nullptr) << id;
            if (!first)
                return d.reject();
            // The fields Tab reaches, from the first one (the dialog's first in its chain).
            QList<QWidget*> seen;
            for (QWidget* w = d.nextInFocusChain(); w != &d; w = w->nextInFocusChain())
                if (w->window() == &d && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled())
                    seen << w;
            EXPECT_FALSE(seen.isEmpty()) << id;
            if (seen.isEmpty())
                return d.reject();
            // (The radio information view starts on Close: its boxes are read-only there.)
            if (QLatin1String(id) != QLatin1String("miMessage")) {
                EXPECT_EQ(first, seen.first()) << id << ": " << first->objectName().toStdString() << " instead of "
                                               << seen.first()->objectName().toStdString();
            }
            // Reading order: a later field lies below, or on the same line to the right,
            // or starts a new column of frames (to the right and above).
            for (int i = 1; i < seen.size(); ++i) {
                const QRect a(seen[i - 1]->mapTo(&d, QPoint()), seen[i - 1]->size());
                const QRect b(seen[i]->mapTo(&d, QPoint()), seen[i]->size());
                const bool below = b.top() >= a.center().y() || b.center().y() > a.bottom();
                const bool right = b.left() >= a.center().x();
                EXPECT_TRUE(below || right) << id << ": " << seen[i - 1]->objectName().toStdString() << " then "
                                            << seen[i]->objectName().toStdString();
            }
            d.reject();
        });
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), grid) << id;
    }
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
