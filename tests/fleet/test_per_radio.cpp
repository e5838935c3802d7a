// Per-radio values of a fleet write: reading and checking the table, the fields a
// write cannot carry, the log that changes its columns, and a fleet of four radios
// on pseudo-terminals choosing their rows by ESN.
#include "fleet/FleetWrite.h"
#include "fleet/PerRadioTable.h"
#include "link/EmbMsgText.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

MemoryImage FleetImage() {
    MemoryImage image;
    image.setBytes(ImageWithChannels({0, 1}));
    return image;
}

QString Field(const QByteArray& memory, const char* path) {
    MemoryImage image;
    image.setBytes(memory);
    return text::ReadField(image, *text::FieldCatalogue::instance().find(QLatin1String(path)));
}

// A radio memory whose ESN line holds `esn` (blanks and 0xFF fillers after it).
QByteArray WithEsn(quint8 seed, const QByteArray& esn) {
    QByteArray memory = PatternImage(seed);
    QByteArray line = esn.leftJustified(16, char(0xFF));
    memory.replace(embmsg::EsnLine * 16, 16, line);
    return memory;
}

} // namespace

TEST(PerRadioTable, ReadsEverySeparatorAndEncodingAndRefusesEachBadCellWithItsPlace) {
    const MemoryImage image = FleetImage();
    const QString good = QStringLiteral("port,DTMF / ANI Code,dtmf/pttid bot\nCom 1,101,1101\n\"COM2\",102,\n");
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QStringEncoder gb("GB18030");
    const QByteArray goods[] = {
        good.toUtf8(),
        "\xEF\xBB\xBF" + QString(good).replace(QLatin1Char(','), QLatin1Char(';')).toUtf8(),
        utf16.encode(QString(good).replace(QLatin1Char(','), QLatin1Char('\t'))),
        gb.encode(QStringLiteral("# 车队\n") + good),
    };
    for (const QByteArray& data : goods) {
        PerRadioTable table;
        QStringList errors;
        ASSERT_TRUE(ReadPerRadioTable(data, "t.csv", image, &table, &errors)) << errors.join('\n').toStdString();
        EXPECT_EQ(table.key, PerRadioKey::Port);
        ASSERT_EQ(table.rows.size(), 2);
        EXPECT_EQ(table.valuesText(0), QStringLiteral("DTMF / ANI Code=101;DTMF / PTTID BOT=1101"));
        EXPECT_EQ(table.valuesText(1), QStringLiteral("DTMF / ANI Code=102;DTMF / PTTID BOT="));
        EXPECT_EQ(table.findPort("com 2", "/dev/x"), 1);
        EXPECT_EQ(table.findPort("Com 3", "com1"), 0); // by its device
        EXPECT_EQ(table.findEsn("Com 1"), -1);
        MemoryImage radio = image;
        ASSERT_TRUE(table.apply(0, radio));
        EXPECT_EQ(Field(radio.bytes(), "DTMF / PTTID BOT"), QStringLiteral("1101"));
    }

    const struct {
        const char* table;
        const char* error;
    } bad[] = {
        {"port,DTMF / ANI Code\nCom 1,101\nCom 2,12A\n", "t.csv:3:2: DTMF / ANI Code: \"12A\" holds characters"},
        {"esn,DTMF / PTTID EOT\nA1,12345678901234567890123456789\n", "t.csv:2:2: DTMF / PTTID EOT: "},
        {"port,DTMF / ANI Cod\nCom 1,1\n", "t.csv:1:2: no field is called \"DTMF / ANI Cod\"; did you mean"},
        {"port,Model Information / Model Type\nCom 1,400 - 470 MHz\n", "t.csv:1:2: Model Information / Model "
                                                                       "Type: a write does not send"},
        {"esn,Embedded Message / ESN\nA1,B2\n", "t.csv:1:2: Embedded Message / ESN: a write does not send"},
        {"DTMF / ANI Code\n101\n", "t.csv:1: the first line has no key column"},
        {"port,esn,DTMF / ANI Code\nCom 1,A,1\n", "t.csv:1:2: a second key column"},
        {"port,DTMF / ANI Code,DTMF / ANI Code\nCom 1,1,2\n", "t.csv:1:3: DTMF / ANI Code is a column twice"},
        {"port,DTMF / ANI Code\nCom 1,1\ncom1,2\n", "t.csv:3:1: \"com1\" has a row already (line 2)"},
        {"esn,DTMF / ANI Code\n,1\n", "t.csv:2:1: no esn in this row"},
        {"port,DTMF / ANI Code,DTMF / PTTID BOT\nCom 1,1\n", "t.csv:2:3: DTMF / PTTID BOT: the row ends"},
        {"port,DTMF / ANI Code\nCom 1,1,9\n", "t.csv:2:3: a value past the last column"},
        {"port,DTMF / ANI Code\n", "t.csv:1: the table has no rows"},
        {"port\nCom 1\n", "t.csv:1: the table names no field"},
        {"port,DTMF / ANI Code\nCom 1,\"1\n", "t.csv:2: "},
        {"\xFF\xFE" "a", "t.csv: the file starts as UTF-16 LE text"},
    };
    for (const auto& c : bad) {
        PerRadioTable table;
        QStringList errors;
        EXPECT_FALSE(ReadPerRadioTable(QByteArray(c.table), "t.csv", image, &table, &errors)) << c.table;
        EXPECT_TRUE(table.isEmpty());
        EXPECT_TRUE(!errors.isEmpty() && errors.first().startsWith(QLatin1String(c.error)))
            << c.table << "\n" << errors.join('\n').toStdString();
    }
    // Every problem is named, not only the first.
    PerRadioTable table;
    QStringList errors;
    EXPECT_FALSE(ReadPerRadioTable("port,DTMF / ANI Code,Embedded Message / ESN\nCom 1,x,A\nCom 2,1234,B\n", "t.csv",
                                   image, &table, &errors));
    EXPECT_EQ(errors.size(), 3) << errors.join('\n').toStdString();
    // A folder is no table.
    QTemporaryDir dir;
    EXPECT_FALSE(LoadPerRadioTable(dir.path(), image, &table, &errors));
    EXPECT_FALSE(errors.isEmpty());
}

TEST(PerRadioTable, OnlyModelTypeAndTheTwoTextLinesAreBytesAWriteDoesNotSend) {
    QStringList unsent;
    for (const text::TextField& f : text::FieldCatalogue::instance().fields())
        if (!WriteSendsField(f))
            unsent << f.path();
    EXPECT_EQ(unsent, (QStringList{"Model Information / Model Type", "Embedded Message / ESN",
                                   "Embedded Message / Hardware Version"}));
    EXPECT_EQ(EsnKey(QStringLiteral("A 12  \u00FF\u00FF ")), QStringLiteral("A 12"));
    MemoryImage radio;
    radio.setBytes(WithEsn(1, "KS-0042  "));
    EXPECT_EQ(RadioEsn(radio), QStringLiteral("KS-0042"));
}

TEST(FleetLog, ALogWithOtherColumnsIsSetAsideUnderANumberedOldName) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("fleet-log.csv"));
    const QByteArray older = "time,port,device,usb_serial,band,version1,version2,image,sha256,verify,outcome\n"
                             "2026-01-01T10:00:00+00:00,Com 1,,,,,,,,off,ok\n";
    FleetLogEntry e;
    e.port = QStringLiteral("Com 2");
    e.outcome = QStringLiteral("ok");
    e.esn = QStringLiteral("KS-1");
    e.values = QStringLiteral("DTMF / ANI Code=101;DTMF / PTTID BOT=1,2");
    QString error;
    for (const char* aside : {"fleet-log.csv.old", "fleet-log.csv.old.1"}) {
        ASSERT_TRUE(WriteFile(log, older));
        ASSERT_TRUE(PrepareFleetLog(log, &error)) << error.toStdString();
        EXPECT_EQ(ReadFile(dir.filePath(QLatin1String(aside))), older) << aside;
        ASSERT_TRUE(AppendFleetLog(log, e, &error));
        ASSERT_TRUE(AppendFleetLog(log, e, &error)); // the new header stays
        const QStringList lines = TextLines(ReadFile(log));
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[0], FleetLogHeader());
        EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",ok,KS-1,\"DTMF / ANI Code=101;DTMF / PTTID BOT=1,2\"")))
            << lines[1].toStdString();
    }
    EXPECT_TRUE(FleetLogHeader().endsWith(QLatin1String(",verify,outcome,esn,values")));
}

// Four radios with their ESNs in their memories; the table has rows for three of them
// and one for a radio that is not there. Verify on.
TEST(FleetWrite, RowsChosenByEsnGiveEachRadioItsOwnValuesAndARadioWithoutARowIsNotWritten) {
    QTemporaryDir dir;
    AppContext app = StartedApp(dir.filePath(QStringLiteral("s.ini")));
    app.recvInterval = 10;
    app.recvCount = 40;
    const MemoryImage image = FleetImage();
    app.band = DecodeBandLimits(image);
    const QByteArray memories[4] = {WithEsn(1, "KS-0001"), WithEsn(2, "KS-0002   "), WithEsn(3, "KS-0099"),
                                    WithEsn(4, "ks-0004")};
    RadioSim sims[4] = {RadioSim({}, memories[0]), RadioSim({}, memories[1]), RadioSim({}, memories[2]),
                        RadioSim({}, memories[3])};
    for (RadioSim& s : sims)
        ASSERT_TRUE(s.started());
    const QString csv = dir.filePath(QStringLiteral("ids.csv"));
    ASSERT_TRUE(WriteFile(csv, "esn;DTMF / ANI Code;DTMF / PTTID BOT;DTMF / PTTID EOT\n"
                               "KS-0001;101;1101;2101\nKS-0002;102;1102;2102\nKS-0004;104;1104;2104\n"
                               "KS-0005;105;1105;2105\n"));
    PerRadioTable table;
    QStringList errors;
    ASSERT_TRUE(LoadPerRadioTable(csv, image, &table, &errors)) << errors.join('\n').toStdString();
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    FleetWrite fleet(app, image);
    fleet.setVerify(true);
    fleet.setLog(log, QStringLiteral("shop.dat"));
    QList<FleetTarget> targets;
    for (int i = 0; i < 4; ++i)
        targets << FleetTarget{QStringLiteral("Com %1").arg(i + 1), sims[i].device(), QString()};
    ASSERT_TRUE(fleet.setTargets(targets));
    ASSERT_TRUE(fleet.setPerRadio(table));
    EXPECT_TRUE(fleet.perRadioMismatches({0, 1, 2, 3}, English).isEmpty()); // by ESN: found while running
    RunFleetToEnd(fleet);

    const struct {
        FleetOutcome outcome;
        const char* esn;
        const char* ani; // nullptr: the radio keeps its memory
    } expected[] = {{FleetOutcome::Ok, "KS-0001", "101"},
                    {FleetOutcome::Ok, "KS-0002", "102"},
                    {FleetOutcome::NoRow, "KS-0099", nullptr},
                    {FleetOutcome::NoRow, "ks-0004", nullptr}}; // compared exactly
    QStringList logTails;
    for (int i = 0; i < 4; ++i) {
        const FleetRow& row = fleet.row(i);
        EXPECT_EQ(row.outcome, expected[i].outcome) << i << row.detail.toStdString();
        EXPECT_EQ(row.esn, QLatin1String(expected[i].esn)) << i;
        const QByteArray memory = sims[i].stopAndTakeMemory();
        if (!expected[i].ani) {
            EXPECT_EQ(memory, memories[i]) << i;
            EXPECT_TRUE(row.sha256.isEmpty());
            continue;
        }
        const QString n = QString::number(i + 1);
        EXPECT_EQ(row.values, table.valuesText(i));
        EXPECT_EQ(Field(memory, "DTMF / ANI Code"), QLatin1String(expected[i].ani));
        EXPECT_EQ(Field(memory, "DTMF / PTTID BOT"), QStringLiteral("110") + n);
        EXPECT_EQ(Field(memory, "DTMF / PTTID EOT"), QStringLiteral("210") + n);
        EXPECT_EQ(memory.mid(0, 32), image.bytes().mid(0, 32)); // the fleet's channels
        EXPECT_EQ(memory.mid(embmsg::EsnLine * 16, 16), memories[i].mid(embmsg::EsnLine * 16, 16));
        MemoryImage sent = image;
        ASSERT_TRUE(table.apply(i, sent));
        EXPECT_EQ(row.sha256, Sha256Hex(sent.bytes()));
    }
    EXPECT_EQ(fleet.tableRowsNotMet({0, 1, 2, 3}), (QList<int>{2, 3}));

    const QStringList lines = TextLines(ReadFile(log));
    ASSERT_EQ(lines.size(), 5);
    for (const QString& line : lines.mid(1))
        logTails << line.section(QLatin1Char(','), 1, 1) + QLatin1Char(' ') + line.section(QLatin1Char(','), 8);
    logTails.sort();
    EXPECT_EQ(logTails, (QStringList{
                            "Com 1 " + fleet.row(0).sha256 +
                                ",ok,ok,KS-0001,DTMF / ANI Code=101;DTMF / PTTID BOT=1101;DTMF / PTTID EOT=2101",
                            "Com 2 " + fleet.row(1).sha256 +
                                ",ok,ok,KS-0002,DTMF / ANI Code=102;DTMF / PTTID BOT=1102;DTMF / PTTID EOT=2102",
                            "Com 3 ,failed,no-row,KS-0099,",
                            "Com 4 ,failed,no-row,ks-0004,",
                        }));
}
