#pragma once
// The program's state on the default image of the 136-174 MHz band, and the channel
// editor on the offscreen platform for tests driven by real key and mouse events.
#include "channels/frmChannel.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Tone.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace kestrel::test {

// Settings in a folder of the test's own; messages answered by `prompter`.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        app = StartedApp(dir.filePath(QStringLiteral("settings.ini")));
        QString error;
        ASSERT_TRUE(LoadDefaultImage(app.image, 0, app.appFolder, &error)) << error.toStdString();
        app.band = DecodeBandLimits(app.image);
    }

    // `count` messages asked so far, the last of them this one.
    void expectMessage(qsizetype count, const char* text, Prompter::Icon icon = Prompter::Icon::Exclamation,
                       Prompter::Buttons buttons = Prompter::Buttons::Ok) {
        ASSERT_EQ(prompter.asked.size(), count);
        const auto& m = prompter.asked.last();
        EXPECT_EQ(m.text, QString::fromUtf8(text));
        EXPECT_EQ(m.title, app.productName);
        EXPECT_EQ(m.icon, icon);
        EXPECT_EQ(m.buttons, buttons);
    }

    QTemporaryDir dir;
    AppContext app;
    ScriptedPrompter prompter;
};

// Group 1 starts empty except channel 7 (row 7), which has no transmit side.
class ChannelEditor : public AppFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(AppFixture::SetUp());
        for (int n = 0; n < RowsPerGroup; ++n)
            ClearChannel(app.image, n);
        ASSERT_TRUE(CreateChannel(app.image, 6, 7, QStringLiteral("150.00000")));
        ClearTransmit(app.image, 6);
        app.image.setByte(ShownGroupByte, 0);
        app.image.TakeImageSnapshot();
        app.band = DecodeBandLimits(app.image);

        view = std::make_unique<frmChannel>(app, prompter);
        QObject::connect(view.get(), &frmChannel::requestRefreshData, view.get(), &frmChannel::RefreshData);
        view->resize(1500, 700);
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
        view->RefreshData();
    }

    QTableWidget* grid() const { return view->ChannelGrid; }
    QString cell(int row, int column) const { return grid()->item(row - 1, column)->text(); }
    GridCell current() const { return {grid()->currentRow() + 1, grid()->currentColumn()}; }

    QPoint centre(int row, int column) const { return grid()->visualItemRect(grid()->item(row - 1, column)).center(); }

    void click(int row, int column, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, mods, centre(row, column));
    }

    // Opens the frequency editor of a cell with a click and types into it.
    void typeInto(int row, int column, const char* text) {
        click(row, column);
        QTest::keyClicks(view->txtMemChannel, QString::fromLatin1(text));
    }
    // Types a receive frequency into an empty row and presses Enter.
    void typeFrequency(int row, int column, const char* text) {
        typeInto(row, column, text);
        QTest::keyClick(view->txtMemChannel, Qt::Key_Return);
    }

    std::unique_ptr<frmChannel> view;
};

} // namespace kestrel::test
