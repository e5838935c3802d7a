#pragma once
// The main window as the shell tests drive it: a started AppContext with a settings
// file of its own, the window on it and a scripted prompter answering its questions,
// with the headers those tests share.
#include "channels/frmChannel.h"
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "link/CloneEngine.h"
#include "shell/MainForm.h"
#include "shell/StatusNote.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

namespace kestrel::test {

using Answer = Prompter::Answer;

// `image` with the channel lines `lines` programmed to receive and send on the
// frequency whose four BCD bytes are `bcd` ("00 20 65 14" is 146.52000 MHz).
inline QByteArray WithChannels(QByteArray image, std::initializer_list<int> lines,
                               const char* bcd = "00 20 65 14") {
    const QByteArray f = QByteArray::fromHex(bcd);
    const QByteArray line = f + f + QByteArray::fromHex("FF FF FF FF F8 08 70 FF");
    for (int n : lines)
        image.replace(n * 16, 16, line);
    return image;
}

class MainWindowTest : public ::testing::Test {
protected:
    enum Option { Plain = 0, QuickRadio = 1, Shown = 2 };
    // QuickRadio shortens the waits of the clone engine for the virtual radio; Shown
    // shows the window and makes it active, for keys and the mouse.
    explicit MainWindowTest(int options = Plain) : options(options) {}

    void SetUp() override {
        settingsFile = path(QStringLiteral("settings.ini"));
        app = StartedApp(settingsFile);
        if (options & QuickRadio) {
            app.recvInterval = 10;
            app.recvCount = 30;
        }
        store = std::make_unique<SettingsStore>(app.settingsKeyPath, settingsFile);
        window = std::make_unique<MainForm>(app, *store, prompter);
        if (options & QuickRadio)
            window->frm1->setRecvInterval(app.recvInterval);
        if (options & Shown) {
            window->show();
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
    }

    // Runs `inside` on the modal dialog of type Dialog that the command `id` opens.
    template <typename Dialog, typename F> void withDialog(const char* id, F inside) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr) << id;
            inside(*dialog);
            ran = true;
        });
        run(id);
        EXPECT_TRUE(ran) << id;
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    // Writes `bytes` to the file `name` in the test's folder; its path.
    QString fileWith(const QString& name, const QByteArray& bytes) const {
        EXPECT_TRUE(WriteFile(path(name), bytes)) << name.toStdString();
        return path(name);
    }
    void run(const char* id) { window->Dispatch(QString::fromLatin1(id)); }
    QAction* entry(const char* id) const { return window->menuAction(QString::fromLatin1(id)); }
    // The last message shown, or an empty one when none was.
    ScriptedPrompter::Asked lastAsked() const {
        return prompter.asked.isEmpty() ? ScriptedPrompter::Asked{} : prompter.asked.last();
    }

    // Clicks the channel grid's cell in `row` (from 1) and `column`.
    void clickCell(int row, int column) {
        QTableWidget* grid = window->channelEditor->ChannelGrid;
        const QRect r = grid->visualItemRect(grid->item(row - 1, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }

    // Points the clone engine at a started virtual radio; false when it did not start.
    template <typename Radio> bool attach(Radio& radio) {
        if (!radio.started())
            return false;
        window->frm1->setDevicePath(radio.device());
        return true;
    }

    int options;
    QTemporaryDir dir;
    QString settingsFile;
    AppContext app;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompter prompter;
    std::unique_ptr<MainForm> window;
};

} // namespace kestrel::test
