// The fleet window over four virtual radios: Start, the rows' outcomes, Retry of
// the failed row alone, Repeat, closing during a transfer and the log folder.
#include "fleet/frmFleet.h"

#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "fleet/FleetWrite.h"
#include "text/RadioFields.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestFiles.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// PatternImage(n) with the ESN "KS-n" on its line.
QByteArray Memory(int n) {
    QByteArray memory = PatternImage(quint8(n));
    memory.replace(254 * 16, 16, QByteArray("KS-" + QByteArray::number(n)).leftJustified(16, char(0xFF)));
    return memory;
}

QString Field(const QByteArray& memory, const char* path) {
    MemoryImage image;
    image.setBytes(memory);
    return text::ReadField(image, *text::FieldCatalogue::instance().find(QLatin1String(path)));
}

class FrmFleetTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(sims[i].started());
            qputenv(qPrintable(QStringLiteral("KESTREL_COM%1").arg(i + 1)), sims[i].device().toLocal8Bit());
        }
        app = StartedApp(dir.filePath(QStringLiteral("s.ini")));
        app.recvInterval = 20;
        app.recvCount = 25;
        app.image.setBytes(ImageWithChannels({2})); // row 3 of group 1
        app.band = DecodeBandLimits(app.image);
        app.image.setByte(CurrentChannelByte, 9);
        app.radioVersion[0] = QStringLiteral("program's own");
        window = std::make_unique<frmFleet>(app, prompter, QStringLiteral("shop.dat"));
        // Only the four virtual radios take part, whatever else the machine has.
        for (int r = 0; r < window->grdFleet->rowCount(); ++r) {
            const int i = rows.indexOf(window->grdFleet->item(r, frmFleet::ColPort)->text());
            if (i >= 0)
                rowOf[i] = r;
            else
                window->grdFleet->item(r, frmFleet::ColPort)->setCheckState(Qt::Unchecked);
        }
    }
    void TearDown() override {
        qputenv("XDG_DATA_HOME", savedData);
        for (int i = 1; i <= 4; ++i)
            qunsetenv(qPrintable(QStringLiteral("KESTREL_COM%1").arg(i)));
    }
    bool RunToEnd(QPushButton* button) {
        bool done = false;
        const auto c = QObject::connect(window.get(), &frmFleet::runFinished, [&] { done = true; });
        QTest::mouseClick(button, Qt::LeftButton);
        const bool ended = RunUntil(
            window.get(), &frmFleet::runFinished, [&] { return done; }, 60000);
        QObject::disconnect(c);
        return ended;
    }
    QString Cell(int i, int column) const { return window->grdFleet->item(rowOf[i], column)->text(); }
    QStringList LogLines() const { return TextLines(ReadFile(window->logFile())); }

    QTemporaryDir dir;
    QByteArray savedData;
    // Com 1 and Com 4 good, Com 2 deaf to three handshakes (one run), Com 3 another band.
    RadioSim sims[4] = {RadioSim({}, Memory(1)), RadioSim({"--ignore-handshakes", "3"}, Memory(2)),
                        RadioSim({"--band-code", "2"}, Memory(3)), RadioSim({"--version", "2.1", "3.4"}, Memory(4))};
    const QStringList rows{"Com 1", "Com 2", "Com 3", "Com 4"};
    int rowOf[4] = {-1, -1, -1, -1};
    AppContext app;
    ScriptedPrompter prompter;
    std::unique_ptr<frmFleet> window;
};

} // namespace

TEST_F(FrmFleetTest, StartShowsEachRowsOutcomeRetryRunsTheFailedRowAloneAndClosingStops) {
    for (int i = 0; i < 4; ++i)
        ASSERT_GE(rowOf[i], 0) << i;
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Fleet Write"));
    EXPECT_TRUE(
        window->lblImage->text().startsWith(QStringLiteral("Image: shop.dat (136-174 MHz), SHA-256 ")));
    EXPECT_FALSE(window->cmdRepeat->isEnabled());

    ASSERT_TRUE(RunToEnd(window->cmdStart));
    const char* outcomes[] = {"Write Successful!", "Connection Fail!", "Frequency not match!",
                              "Write Successful!"};
    const char* bands[] = {"136-174 MHz", "", "400-470 MHz (image: 136-174 MHz)", "136-174 MHz"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Cell(i, frmFleet::ColOutcome), QLatin1String(outcomes[i])) << i;
        EXPECT_EQ(Cell(i, frmFleet::ColBand), QLatin1String(bands[i])) << i;
        EXPECT_EQ(Cell(i, frmFleet::ColVerify), QStringLiteral("Off")) << i;
        EXPECT_EQ(window->retryButton(rowOf[i])->isEnabled(), i == 1 || i == 2) << i;
    }
    EXPECT_EQ(window->progressBar(rowOf[0])->value(), 100);
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("Fleet write: 2 written, 2 failed"));
    EXPECT_FALSE(window->cmdStart->isEnabled());
    EXPECT_FALSE(window->cmdRescan->isEnabled());
    EXPECT_TRUE(window->cmdRepeat->isEnabled());
    EXPECT_TRUE(prompter.asked.isEmpty()); // no message box from any radio
    EXPECT_EQ(LogLines().size(), 5);

    // Retry of Com 2 alone: the fourth handshake is answered.
    int frames[4];
    for (int i = 0; i < 4; ++i)
        frames[i] = int(sims[i].frames().size());
    ASSERT_TRUE(RunToEnd(window->retryButton(rowOf[1])));
    EXPECT_EQ(Cell(1, frmFleet::ColOutcome), QStringLiteral("Write Successful!"));
    for (int i : {0, 2, 3})
        EXPECT_EQ(sims[i].frames().size(), frames[i]) << i;
    EXPECT_EQ(window->summary(), QStringLiteral("Fleet write: 3 written, 1 failed"));
    EXPECT_EQ(LogLines().size(), 6);
    EXPECT_TRUE(
        LogLines().last().contains(QStringLiteral(",Com 2,") + sims[1].device() + QStringLiteral(",")));

    // Closing during a transfer asks, then stops every radio.
    bool done = false;
    QObject::connect(window.get(), &frmFleet::runFinished, [&] { done = true; });
    QTest::mouseClick(window->cmdRepeat, Qt::LeftButton);
    ASSERT_TRUE(window->running());
    prompter.answers = {Prompter::Answer::Cancel, Prompter::Answer::Ok};
    window->show();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->running());
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(done);
    EXPECT_FALSE(window->running());
    ASSERT_EQ(prompter.asked.size(), 2); // none before: no message box from any radio
    EXPECT_EQ(prompter.asked[0].text,
              QStringLiteral("Radios are being written. Stop every transfer and close?"));
    EXPECT_EQ(Cell(0, frmFleet::ColOutcome), QStringLiteral("Stopped"));
    EXPECT_TRUE(window->summary().endsWith(QStringLiteral(" stopped"))) << window->summary().toStdString();
    EXPECT_TRUE(LogLines().last().endsWith(QStringLiteral(",stopped,,")));
    // The ports are closed: another program may open them at once.
    QSerialPort port;
    port.setPortName(sims[0].device());
    EXPECT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();

    QUrl shown;
    window->openFolder = [&](const QUrl& url) {
        shown = url;
        return true;
    };
    QTest::mouseClick(window->cmdLogFolder, Qt::LeftButton);
    EXPECT_EQ(shown.toLocalFile(), QFileInfo(window->logFile()).absolutePath());
    EXPECT_TRUE(window->logFile().endsWith(QStringLiteral("/Varnel/Kestrel/fleet-log.csv")));

    // What the radios got: the image with the current channel byte the write command
    // sets (row 3), while the open image and the version texts stay as they were.
    const QByteArray radio = sims[0].stopAndTakeMemory();
    EXPECT_EQ(quint8(radio[CurrentChannelByte]), 2);
    EXPECT_EQ(radio.mid(0x20, 16), app.image.line(2));
    EXPECT_EQ(app.image.byte(CurrentChannelByte), 9);
    EXPECT_EQ(app.radioVersion[0], QStringLiteral("program's own"));
    EXPECT_EQ(sims[2].stopAndTakeMemory(), Memory(3));
}

// Per-radio values by ESN: the Values column says what each radio gets once its ESN
// is read; the failed radio's Retry reads it again and gives it its own values.
TEST_F(FrmFleetTest, ValuesByEsnShowInTheirRowsAndRetryKeepsEachRadiosOwn) {
    for (int i = 0; i < 4; ++i)
        ASSERT_GE(rowOf[i], 0) << i;
    const QString table = dir.filePath(QStringLiteral("ids.csv"));
    ASSERT_TRUE(WriteFile(table, "esn,DTMF / ANI Code,DTMF / PTTID BOT\nKS-4,14,1*4\nKS-2,12,1*2\nKS-1,11,1*1\n"
                                 "KS-3,13,1*3\nKS-9,19,1*9\n"));
    EXPECT_TRUE(window->grdFleet->isColumnHidden(frmFleet::ColValues));
    EXPECT_EQ(window->cmdPerRadio->accessibleName(), QStringLiteral("Per-radio values"));
    prompter.openNames = {table};
    QTest::mouseClick(window->cmdPerRadio, Qt::LeftButton);
    ASSERT_FALSE(window->grdFleet->isColumnHidden(frmFleet::ColValues));
    EXPECT_EQ(Cell(0, frmFleet::ColValues), QStringLiteral("by its ESN"));

    ASSERT_TRUE(RunToEnd(window->cmdStart));
    const char* values[] = {"ESN KS-1: DTMF / ANI Code=11; DTMF / PTTID BOT=1*1", "by its ESN",
                            "ESN KS-3: DTMF / ANI Code=13; DTMF / PTTID BOT=1*3",
                            "ESN KS-4: DTMF / ANI Code=14; DTMF / PTTID BOT=1*4"};
    const char* outcomes[] = {"Write Successful!", "Connection Fail!", "Frequency not match!", "Write Successful!"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Cell(i, frmFleet::ColValues), QLatin1String(values[i])) << i;
        EXPECT_EQ(Cell(i, frmFleet::ColOutcome), QLatin1String(outcomes[i])) << i;
    }
    ASSERT_TRUE(RunToEnd(window->retryButton(rowOf[1])));
    EXPECT_EQ(Cell(1, frmFleet::ColValues), QStringLiteral("ESN KS-2: DTMF / ANI Code=12; DTMF / PTTID BOT=1*2"));
    EXPECT_EQ(Cell(1, frmFleet::ColOutcome), QStringLiteral("Write Successful!"));
    EXPECT_EQ(window->summary(), QStringLiteral("Fleet write: 3 written, 1 failed; no radio had the ESN KS-9"));
    for (int i : {0, 1, 3}) {
        const QByteArray memory = sims[i].stopAndTakeMemory();
        EXPECT_EQ(Field(memory, "DTMF / ANI Code"), QStringLiteral("1%1").arg(i + 1)) << i;
        EXPECT_EQ(Field(memory, "DTMF / PTTID BOT"), QStringLiteral("1*%1").arg(i + 1)) << i;
    }
    const QStringList log = LogLines();
    ASSERT_EQ(log.size(), 6);
    EXPECT_TRUE(log.last().endsWith(QStringLiteral(",ok,KS-2,DTMF / ANI Code=12;DTMF / PTTID BOT=1*2")))
        << log.last().toStdString();
}

// Values by port, in Chinese: loading checks the ports the table names; a bad table
// changes nothing; Repeat gives each port its values again.
TEST_F(FrmFleetTest, ValuesByPortCheckTheirPortsAndRepeatKeepsThem) {
    app.language = Chinese;
    window = std::make_unique<frmFleet>(app, prompter, QStringLiteral("shop.dat"));
    for (int r = 0; r < window->grdFleet->rowCount(); ++r)
        window->grdFleet->item(r, frmFleet::ColPort)->setCheckState(Qt::Checked);
    EXPECT_EQ(window->cmdPerRadio->text(), QStringLiteral("各电台的值…"));
    const QString bad = dir.filePath(QStringLiteral("bad.csv"));
    ASSERT_TRUE(WriteFile(bad, "port,DTMF / ANI Code\nCom 1,1234\n"));
    EXPECT_FALSE(window->LoadPerRadio(bad));
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_TRUE(prompter.asked[0].text.contains(QStringLiteral("bad.csv:2:2: DTMF / ANI Code")))
        << prompter.asked[0].text.toStdString();
    EXPECT_TRUE(prompter.asked[0].text.endsWith(QStringLiteral("未加载该表格。")));
    EXPECT_TRUE(window->grdFleet->isColumnHidden(frmFleet::ColValues));

    const QString table = dir.filePath(QStringLiteral("ports.csv"));
    ASSERT_TRUE(WriteFile(table, "Port;DTMF / ANI Code\ncom4;44\nCom 1;41\n"));
    ASSERT_TRUE(window->LoadPerRadio(table));
    int checked = 0;
    for (int r = 0; r < window->grdFleet->rowCount(); ++r)
        checked += window->grdFleet->item(r, frmFleet::ColPort)->checkState() == Qt::Checked ? 1 : 0;
    EXPECT_EQ(checked, 2);
    // A checked radio without a row: nothing is written.
    window->grdFleet->item(rowOf[1], frmFleet::ColPort)->setCheckState(Qt::Checked);
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_TRUE(prompter.asked[1].text.startsWith(QStringLiteral("Com 2：")) && prompter.asked[1].text.contains("ports.csv"))
        << prompter.asked[1].text.toStdString();
    EXPECT_FALSE(window->running());
    EXPECT_TRUE(window->cmdStart->isEnabled());
    window->grdFleet->item(rowOf[1], frmFleet::ColPort)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(RunToEnd(window->cmdStart));
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(Cell(0, frmFleet::ColValues), QStringLiteral("DTMF / ANI Code=41"));
        EXPECT_EQ(Cell(3, frmFleet::ColValues), QStringLiteral("DTMF / ANI Code=44"));
        EXPECT_EQ(Cell(1, frmFleet::ColValues), QStringLiteral("无对应行"));
        EXPECT_EQ(Cell(0, frmFleet::ColOutcome), QStringLiteral("写入成功！"));
        EXPECT_EQ(Cell(3, frmFleet::ColOutcome), QStringLiteral("写入成功！"));
        if (pass == 0) {
            ASSERT_TRUE(RunToEnd(window->cmdRepeat));
        }
    }
    EXPECT_EQ(Field(sims[0].stopAndTakeMemory(), "DTMF / ANI Code"), QStringLiteral("41"));
    EXPECT_EQ(Field(sims[3].stopAndTakeMemory(), "DTMF / ANI Code"), QStringLiteral("44"));
    EXPECT_EQ(sims[1].stopAndTakeMemory(), Memory(2));
    const QStringList log = LogLines();
    ASSERT_EQ(log.size(), 5);
    EXPECT_EQ(log.filter(QStringLiteral(",ok,,DTMF / ANI Code=44")).size(), 2);
}
