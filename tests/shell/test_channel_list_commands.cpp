// File > Import Channels… and Export Channels… on the main window, chosen with the mouse:
// the report, the grid, one undo step, the file type of the save dialog, and a file
// that is no channel list.
#include "channels/ChannelLists.h"
#include "channels/ChirpCsv.h"
#include "tests/shell/MainWindowFixture.h"

#include <QCoreApplication>

using namespace kestrel;
using namespace kestrel::test;

namespace {

const char* const Chirp =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
    "0,Call,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\r\n"
    "2,Hill,146.940000,-,0.600000,TSQL,88.5,67.0,023,NN,023,Tone->Tone,NFM,5.00,S,1.0W,,,,,\r\n"
    "3,,446.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\r\n";

class ChannelListCommands : public MainWindowTest {
protected:
    ChannelListCommands() : MainWindowTest(Shown) {}

    QString cell(int row, int column) const {
        return window->channelEditor->ChannelGrid->item(row - 1, column)->text();
    }

    // Opens the File menu with the mouse and clicks the entry of `id`.
    void choose(const char* id) {
        QAction* chosen = entry(id);
        ASSERT_NE(chosen, nullptr) << id;
        auto* menu = qobject_cast<QMenu*>(chosen->parent());
        ASSERT_NE(menu, nullptr);
        QMenuBar* bar = window->menuBar();
        // A language switch builds the menus anew and posts its language-change events;
        // the click comes after them, as a user's would.
        QCoreApplication::processEvents();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          bar->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(chosen).center());
        QTest::qWait(20);
    }
};

} // namespace

TEST_F(ChannelListCommands,
       ImportShowsOneReportTheGridShowsTheChannelsUndoTakesItBackAndBadFilesChangeNothing) {
    const QByteArray before = app.image.bytes();
    prompter.openNames << fileWith("repeaters.csv", Chirp);
    choose("miImportChannels");
    ASSERT_EQ(prompter.openDialogs, 1);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(prompter.asked[0].text,
              QStringLiteral("Rows applied from repeaters.csv (CHIRP CSV): 2\n\n"
                             "Rows skipped:\n"
                             "• line 4 (group 1, CH 4): RX 446.000000 MHz is outside the band 136-174 MHz\n\n"
                             "Not kept in the radio:\n"
                             "• channel names are not kept in the radio"));
    EXPECT_EQ(StatusNoteText(window.get()), QStringLiteral("Imported 2 rows from repeaters.csv"));
    EXPECT_EQ(cell(1, ColRxFreq), QStringLiteral("146.52000"));
    EXPECT_EQ(cell(3, ColTxFreq), QStringLiteral("146.34000"));
    EXPECT_EQ(cell(3, ColDecode), QStringLiteral("67.0"));
    EXPECT_EQ(cell(3, ColBandwidth), QStringLiteral("Narrow"));
    EXPECT_EQ(cell(4, ColRxFreq), QString());
    EXPECT_EQ(entry("miUndo")->text(), QStringLiteral("Undo Import Channels(&U)"));
    EXPECT_TRUE(app.image.IsImageModified());

    window->channelEditor->ChannelGrid->setFocus();
    QTest::keyClick(window->channelEditor->ChannelGrid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.image.bytes(), before);
    EXPECT_EQ(cell(1, ColRxFreq), QString());
    EXPECT_FALSE(app.image.IsImageModified());

    // A file that is no channel list, one that cannot be opened and a cancelled dialog
    // change nothing and add no step.
    run("miChinese");
    EXPECT_EQ(entry("miImportChannels")->text(), QString::fromUtf8("导入信道…(&I)"));
    EXPECT_EQ(entry("miExportChannels")->text(), QString::fromUtf8("导出信道…(&E)"));
    prompter.openNames << fileWith("notes.csv", "Name,Phone\nAnn,123\n") << path("missing.csv") << QString();
    for (int i = 0; i < 3; ++i)
        choose("miImportChannels");
    ASSERT_EQ(prompter.asked.size(), 3);
    EXPECT_TRUE(prompter.asked[1].text.startsWith(
        QString::fromUtf8("未导入 notes.csv，数据没有改动：\n• 第 1 行：不是信道列表")))
        << prompter.asked[1].text.toStdString();
    EXPECT_TRUE(prompter.asked[2].text.contains(QString::fromUtf8("无法打开")))
        << prompter.asked[2].text.toStdString();
    EXPECT_EQ(app.image.bytes(), before);
    EXPECT_FALSE(entry("miUndo")->isEnabled());
}

TEST_F(ChannelListCommands, ExportWritesTheTypeChosen) {
    ASSERT_TRUE(ImportChannelList(app.image, Chirp).rowsApplied == 2);
    StoreChannelField(app.image, 2, ColTxInhibit, QStringLiteral("On"), English);
    window->RefreshData();

    prompter.saveNames << path("out-chirp") + QStringLiteral(".csv") << path("out-own.csv");
    prompter.saveTypes << 1 << 0;
    choose("miExportChannels");
    EXPECT_EQ(prompter.saveFilters, (QStringList{"Kestrel CSV (*.csv)", "CHIRP CSV (*.csv)"}));
    EXPECT_EQ(ReadFile(path("out-chirp.csv")), ChirpCsvText(app.image).toUtf8());
    EXPECT_EQ(StatusNoteText(window.get()),
              QStringLiteral("Exported 2 channels to out-chirp.csv (CHIRP CSV)"));
    // What CHIRP's "off" cannot keep is said once, a line per channel; Kestrel CSV keeps all.
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].text, QStringLiteral("Exported to out-chirp.csv (CHIRP CSV). Not kept by this format:\n"
                                                     "• Channel 3: TX frequency 146.34000 is not kept by this format."));
    choose("miExportChannels");
    EXPECT_EQ(ReadFile(path("out-own.csv")), ExportChannelList(app.image, ListFormat::Kestrel, English));
    EXPECT_EQ(prompter.asked.size(), 1);
}
