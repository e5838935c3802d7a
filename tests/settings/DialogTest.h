#pragma once
// Shared fixture of the settings dialog tests: a started application with the first
// band's default image, a scripted prompter, and helpers to show a dialog and drive it.
#include "core/AppContext.h"
#include "core/Band.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace kestrel::test {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        app = StartedApp(dir.filePath(QStringLiteral("settings.ini")));
        QString error;
        ASSERT_TRUE(LoadDefaultImage(app.image, 0, BinDir(), &error)) << error.toStdString();
        app.image.TakeImageSnapshot();
        app.changes.setSink([this](const ImageStep& step) { steps << step; });
    }

    // The name of the one undoable step OK recorded; empty unless there is exactly one.
    QString recordedStep() const { return steps.size() == 1 ? steps[0].name.english : QString(); }

    // Shows the dialog as the main window's exec() would, without blocking the test.
    static void Show(QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    template <typename W> static W* Find(QWidget* root, const char* name) {
        W* w = root->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    static void Click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    // Focuses a widget and presses a key on it, `times` times.
    static void Press(QWidget* w, Qt::Key key, int times = 1) {
        w->setFocus();
        for (int i = 0; i < times; ++i)
            QTest::keyClick(w, key);
    }

    // Moves every list of the dialog to its last item with the keyboard.
    static void EndEveryList(QWidget* root) {
        for (QComboBox* list : root->findChildren<QComboBox*>())
            Press(list, Qt::Key_End);
    }

    // Types into a box as a user would: focus, then keys.
    static void Type(QLineEdit* box, const QString& keys) {
        box->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QTest::keyClicks(box, keys);
    }

    // Shown texts against the expected ones (UTF-8).
    static void ExpectTexts(std::initializer_list<std::pair<QString, const char*>> shown) {
        for (const auto& [text, expected] : shown)
            EXPECT_EQ(text, QString::fromUtf8(expected));
    }

    QTemporaryDir dir;
    AppContext app;
    ScriptedPrompter prompter;
    QList<ImageStep> steps;
};

} // namespace kestrel::test
