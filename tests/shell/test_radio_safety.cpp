// The main window's backups, Verify After Write, Open Backup and Compare With File,
// against the virtual radio on a pseudo-terminal.
#include "core/Backup.h"
#include "shell/frmCompare.h"
#include "tests/link/RadioSim.h"
#include "tests/shell/MainWindowFixture.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// A 136-174 MHz image with channel 37 programmed (146.52000 MHz).
QByteArray Programmed() {
    return WithChannels(DefaultImageBytes(0), {36});
}

class RadioSafetyTest : public MainWindowTest {
protected:
    RadioSafetyTest() : MainWindowTest(QuickRadio) {}
    void SetUp() override {
        MainWindowTest::SetUp();
        app.backupFolder = path("backups");
    }
    QStringList Backups() const { return QDir(app.backupFolder).entryList(QDir::Files); }
    QString Status() const { return window->statusBar()->currentMessage(); }
};

} // namespace

TEST_F(RadioSafetyTest, AReadLeavesTheFileAReadMakesInTheBackupFolder) {
    RadioSim sim({"--band-code", "2"}, PatternImage(4));
    ASSERT_TRUE(attach(sim));
    run("miRead");
    EXPECT_EQ(lastAsked().text, QStringLiteral("Reading Complete!"));
    ASSERT_EQ(Backups().size(), 1);
    EXPECT_TRUE(Backups().first().endsWith(QLatin1String("_400-470.dat")));
    QByteArray expected = DefaultImageBytes(1);
    expected.replace(0, 0x0FE0, PatternImage(4).left(0x0FE0));
    const QString backup = QDir(app.backupFolder).filePath(Backups().first());
    EXPECT_EQ(ReadFile(backup), expected);
    EXPECT_EQ(Status(), QStringLiteral("Backup saved: ") + backup);

    // A folder that cannot be made is told on the status bar; the read still succeeds.
    ASSERT_TRUE(WriteFile(path("file"), "x"));
    app.backupFolder = path("file/backups");
    prompter.asked.clear();
    run("miRead");
    EXPECT_EQ(lastAsked().text, QStringLiteral("Reading Complete!"));
    EXPECT_TRUE(Status().startsWith(QLatin1String("No backup was saved: cannot make the backup folder")))
        << Status().toStdString();
    EXPECT_FALSE(app.image.IsImageModified());
}

TEST_F(RadioSafetyTest, VerifyAfterWriteIsRememberedAndShowsWhatTheRadioKeptWrongOrDidNotSend) {
    EXPECT_FALSE(app.verifyAfterWrite);
    run("miVerifyAfterWrite");
    EXPECT_TRUE(app.verifyAfterWrite);
    EXPECT_TRUE(entry("miVerifyAfterWrite")->isChecked());
    EXPECT_TRUE(ReadFile(settingsFile).contains("VerifyAfterWrite=1"));
    AppContext restarted = StartedApp(settingsFile);
    EXPECT_TRUE(restarted.verifyAfterWrite);

    app.image.setBytes(Programmed());
    window->RefreshData();
    // Writes to a new virtual radio; the number of read-back frames it saw.
    auto write = [&](const QStringList& options) {
        RadioSim sim(options, DefaultImageBytes(0));
        prompter.asked.clear();
        EXPECT_TRUE(attach(sim));
        run("miWrite");
        return sim.frames().count(ReadFrameOf(253));
    };
    write({"--keep-wrong-byte-at-line", "36"});
    EXPECT_EQ(lastAsked().text, QStringLiteral("The radio holds different data:\n"
                                               "Channel 37 / RX Freq: 146.52000 -> 146.52001"));
    EXPECT_EQ(lastAsked().icon, Prompter::Icon::Critical);
    EXPECT_EQ(lastAsked().title, app.productName);
    EXPECT_FALSE(prompter.texts().contains(QStringLiteral("Write Successful!")));
    EXPECT_EQ(app.image.bytes(), Programmed()) << "the read-back leaves the image alone";
    EXPECT_TRUE(Backups().isEmpty());

    EXPECT_EQ(write({}), 1) << "read back";
    EXPECT_EQ(prompter.texts().count(QStringLiteral("Write Successful!")), 1);
    EXPECT_EQ(lastAsked().text, QStringLiteral("Write Successful!"));

    // A radio silent during the read-back: asked as usual, not called a success.
    app.language = Chinese;
    window->RefreshAll();
    prompter.answers << Answer::Ok << Answer::Cancel;
    write({"--silent-at-line", "10", "--fault-skip", "1"});
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(lastAsked().text, QString::fromUtf8("通讯出错!"));
    EXPECT_EQ(lastAsked().buttons, Prompter::Buttons::RetryCancel);
    EXPECT_EQ(Status(), QString::fromUtf8("写入未经校验：未能回读电台。"));
    app.language = English;
    window->RefreshAll();

    // Switched off again: no read-back.
    run("miVerifyAfterWrite");
    EXPECT_TRUE(ReadFile(settingsFile).contains("VerifyAfterWrite=0"));
    EXPECT_EQ(write({}), 0);
    EXPECT_EQ(lastAsked().text, QStringLiteral("Write Successful!"));
}

TEST_F(RadioSafetyTest, OpenBackupStartsInTheBackupFolder) {
    ASSERT_FALSE(QFileInfo::exists(app.backupFolder));
    const QString backup = QDir(dir.path()).filePath(QStringLiteral("b.dat"));
    ASSERT_TRUE(WriteFile(backup, Programmed()));
    prompter.openNames << backup;
    run("miOpenBackup");
    EXPECT_EQ(prompter.openInitials, QStringList{app.backupFolder});
    EXPECT_TRUE(QFileInfo(app.backupFolder).isDir());
    EXPECT_EQ(app.image.bytes(), Programmed());
    EXPECT_EQ(app.currentFileName, backup);
}

// Both languages: the new entries in the menus, and Compare With File's table, sorted
// and copied; a file that is not an image is reported.
TEST_F(RadioSafetyTest, TheNewEntriesAndCompareWithFileInBothLanguages) {
    const QString file = path("other.dat");
    QByteArray other = DefaultImageBytes(0);
    other[0x0FD3] = char(other[0x0FD3] ^ 0x01);
    other[0x1234] = char(other[0x1234] ^ 0x01);
    ASSERT_TRUE(WriteFile(file, other));
    struct Case {
        Language language;
        const char *openBackup, *compare, *verify;
    } cases[] = {{English, "Open Backup…(&B)", "Compare With File…(&M)", "Verify After Write(&V)"},
                 {Chinese, "打开备份…(&B)", "与文件比较…(&M)", "写入后校验(&V)"}};
    for (const Case& c : cases) {
        app.language = c.language;
        window->RefreshAll();
        EXPECT_EQ(entry("miOpenBackup")->text(), QString::fromUtf8(c.openBackup));
        EXPECT_EQ(entry("miCompare")->text(), QString::fromUtf8(c.compare));
        QAction* verify = entry("miVerifyAfterWrite");
        EXPECT_EQ(verify->text(), QString::fromUtf8(c.verify));
        EXPECT_TRUE(verify->isCheckable());
        EXPECT_FALSE(verify->isChecked());

        prompter.openNames << file;
        QString summary, copied;
        int rows = -1;
        QStringList firstColumn;
        withDialog<frmCompare>("miCompare", [&](frmCompare& dialog) {
            summary = dialog.lblSummary->text();
            rows = dialog.tblDiff->rowCount();
            dialog.tblDiff->sortItems(1, Qt::AscendingOrder);
            for (int r = 0; r < rows; ++r)
                firstColumn << dialog.tblDiff->item(r, 1)->text();
            QTest::mouseClick(dialog.cmdCopy, Qt::LeftButton);
            copied = QApplication::clipboard()->text();
            QTest::mouseClick(dialog.cmdClose, Qt::LeftButton);
        });
        EXPECT_EQ(rows, 2);
        if (c.language == English) {
            EXPECT_EQ(summary, QStringLiteral("The open image and other.dat differ in 2 places."));
            EXPECT_EQ(firstColumn, (QStringList{"0x1234", "Squelch Level"}));
            EXPECT_EQ(copied,
                      QStringLiteral("0x1234: FF -> FE\nOptional Features / Squelch Level: 3 -> 2\n"));
        } else {
            EXPECT_EQ(summary, QString::fromUtf8("当前数据与 other.dat 有 2 处不同。"));
            EXPECT_TRUE(copied.endsWith(QString::fromUtf8("可选功能 / 静噪等级(SQ): 3 -> 2\n")));
        }
    }
    ASSERT_TRUE(WriteFile(file, "short"));
    prompter.openNames << file;
    run("miCompare");
    EXPECT_EQ(lastAsked().icon, Prompter::Icon::Critical);
    EXPECT_TRUE(lastAsked().text.contains(QLatin1String("5 bytes"))) << lastAsked().text.toStdString();
}
