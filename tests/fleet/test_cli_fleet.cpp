// kestrel-cli write with several ports: four radios at once through real
// pseudo-terminals, their result lines, the audit log and the exit status.
#include "link/WriteVerify.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/SilentPty.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

QByteArray FileImage() {
    return ImageWithChannels({5}, Hex("00 50 46 14 00 50 46 14 FF FF FF FF F8 08 70 FF"));
}

class CliFleetTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        ASSERT_TRUE(WriteFile(file, FileImage()));
    }
    static QStringList Log(const QString& path) { return TextLines(ReadFile(path)); }
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("shop.dat"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

} // namespace

TEST_F(CliFleetTest, FourRadiosAtOnceEachWithItsOwnOutcome) {
    const QByteArray before = PatternImage(9);
    RadioSim good1({"--version", "1.5", "12.30"}, before), good2({}, before);
    RadioSim otherBand({"--band-code", "2"}, before);
    SilentPty silent;
    ASSERT_TRUE(good1.started() && good2.started() && otherBand.started() && !silent.device().isEmpty());
    const CliOutput r = RunKestrelCli({"write", "--port", good1.device(), "--port", silent.device(), "-p",
                                       otherBand.device(), "--port", good2.device(), file},
                                      env);
    EXPECT_EQ(r.status, 4) << r.err.toStdString();

    const QString tab = QStringLiteral("\t");
    EXPECT_EQ(TextLines(r.out), (QStringList{good1.device() + "\tok\t136-174\t1.5\t12.30",
                                             silent.device() + "\tno-answer\t\t\t",
                                             otherBand.device() + "\tband-mismatch\t400-470\t\t",
                                             good2.device() + "\tok\t136-174\t1.0\t1.0"}));
    // The silent radio holds nobody up: the others are done before it gives up.
    const int silentEnd = int(r.err.indexOf(silent.device() + QStringLiteral(": Connection Fail!")));
    ASSERT_GE(silentEnd, 0) << r.err.toStdString();
    for (const RadioSim* sim : {&good1, &good2})
        EXPECT_LT(r.err.indexOf(sim->device() + QStringLiteral(": wrote ")), silentEnd)
            << r.err.toStdString();

    const QByteArray image = FileImage();
    for (RadioSim* sim : {&good1, &good2}) {
        const QByteArray radio = sim->stopAndTakeMemory();
        ASSERT_EQ(radio.size(), 8192);
        for (int a = 0; a < 8192; ++a)
            ASSERT_EQ(radio[a], FullWriteSends(Address(a)) ? image[a] : before[a]) << a;
    }
    for (const QByteArray& frame : otherBand.frames())
        EXPECT_NE(frame.at(0), 'W');
    EXPECT_EQ(otherBand.stopAndTakeMemory(), before);

    const QStringList log = Log(dir.filePath(QStringLiteral("data/Varnel/Kestrel/fleet-log.csv")));
    ASSERT_EQ(log.size(), 5) << log.join('\n').toStdString();
    EXPECT_EQ(log[0], QStringLiteral("time,port,device,usb_serial,band,version1,version2,image,sha256,verify,"
                                     "outcome,esn,values"));
    const QString sha = Sha256Hex(image);
    QStringList rest;
    for (const QString& line : log.mid(1))
        rest << line.section(QLatin1Char(','), 1);
    rest.sort();
    QStringList expected{
        good1.device() + "," + good1.device() + ",,136-174,1.5,12.30,shop.dat," + sha + ",off,ok,,",
        good2.device() + "," + good2.device() + ",,136-174,1.0,1.0,shop.dat," + sha + ",off,ok,,",
        otherBand.device() + "," + otherBand.device() + ",,400-470,,,shop.dat," + sha + ",off,band-mismatch,,",
        silent.device() + "," + silent.device() + ",,,,,shop.dat," + sha + ",off,no-answer,,"};
    expected.sort();
    EXPECT_EQ(rest, expected);
}

// What kestrel-cli refuses before any radio is written, and a single write that
// keeps today's behaviour and adds a log line only when asked.
TEST_F(CliFleetTest, BadListsAndLogsWriteNothingAndOnePortLogsOnlyWithLog) {
    RadioSim a({}, PatternImage(1)), b({}, PatternImage(2));
    ASSERT_TRUE(a.started() && b.started());
    const QString folderAsLog = dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkpath(folderAsLog));
    const struct {
        QStringList args;
        int status;
        const char* err;
    } cases[] = {
        {{"write", "--port", a.device(), "--port", a.device(), file}, 1, "are the same port"},
        {{"write", "--port", a.device(), "--port", b.device(), file, "--log"}, 1, "--log takes the name"},
        {{"write", "--port", a.device(), "--port", b.device(), file, "--retries", "x"}, 1, "--retries takes"},
        {{"write", "--port", a.device(), "--port", b.device(), file, "--log", folderAsLog},
         2,
         "Cannot write the log"},
        {{"write", "--port", a.device(), file, "--log", folderAsLog}, 2, "Cannot write the log"},
        {{"write", "--port", a.device(), "--port", b.device(), dir.filePath("none.dat")}, 2, "none.dat"},
    };
    for (const auto& c : cases) {
        const CliOutput r = RunKestrelCli(c.args, env);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.err))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(a.frames().isEmpty());
    EXPECT_TRUE(b.frames().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("data/Varnel/Kestrel/fleet-log.csv"))));

    CliOutput r = RunKestrelCli({"write", "--port", a.device(), file}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("data/Varnel/Kestrel/fleet-log.csv"))));
    const QString log = dir.filePath(QStringLiteral("single.csv"));
    r = RunKestrelCli({"write", "--port", a.device(), file, "--verify", "--log", log}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = Log(log);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",136-174,1.0,1.0,shop.dat,") + Sha256Hex(FileImage()) +
                                  QStringLiteral(",ok,ok,,")))
        << lines[1].toStdString();
}

namespace {

// A radio memory whose ESN line holds `esn`, 0xFF after it.
QByteArray WithEsn(quint8 seed, const QByteArray& esn) {
    QByteArray memory = PatternImage(seed);
    memory.replace(254 * 16, 16, esn.leftJustified(16, char(0xFF)));
    return memory;
}

QString Field(const QString& file, const QString& path) {
    return QString::fromUtf8(RunKestrelCli({"get", file, path}).out).trimmed();
}

} // namespace

// Per-radio values over four radios, first by port (with verify and a log), then by
// ESN with one radio the table does not know; each radio is read back and checked
// field by field. A bad cell and a table that does not fit the ports write nothing.
TEST_F(CliFleetTest, PerRadioValuesByPortAndByEsnGiveEachRadioItsOwnCodes) {
    const char* esns[] = {"KS-01", "KS-02", "KS-03", "KS-77"};
    RadioSim sims[4] = {RadioSim({}, WithEsn(1, esns[0])), RadioSim({}, WithEsn(2, esns[1])),
                        RadioSim({}, WithEsn(3, esns[2])), RadioSim({}, WithEsn(4, esns[3]))};
    QStringList ports;
    for (RadioSim& s : sims) {
        ASSERT_TRUE(s.started());
        ports << "--port" << s.device();
    }
    const QString table = dir.filePath(QStringLiteral("ids.csv"));
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    const QStringList paths{"DTMF / ANI Code", "DTMF / PTTID BOT", "DTMF / PTTID EOT"};
    QString run = QStringLiteral("1"); // the first digit of every value of a run
    auto values = [&](int n) {
        const QString v = run + QString::number(n);
        return QStringList{v, "1*" + v, "2#" + v};
    };
    auto checkRadio = [&](int i, int n) {
        const QString read = dir.filePath(QStringLiteral("radio%1.dat").arg(i));
        const CliOutput r = RunKestrelCli({"read", "--port", sims[i].device(), "-o", read}, env);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        for (int f = 0; f < 3; ++f)
            EXPECT_EQ(Field(read, paths[f]), values(n)[f]) << i << " " << paths[f].toStdString();
        EXPECT_EQ(Field(read, "Channel 6 / RX Freq"), Field(file, "Channel 6 / RX Freq"));
    };

    // Refused before any radio is touched: exit 2 and the place of the problem.
    QByteArray rows;
    for (int i = 0; i < 4; ++i)
        rows += (sims[i].device() + "," + values(i + 1).join(",") + "\n").toUtf8();
    const QByteArray header = "port,DTMF / ANI Code,DTMF / PTTID BOT,DTMF / PTTID EOT\n";
    const struct {
        QByteArray table;
        const char* err;
    } refused[] = {
        {header + rows + sims[0].device().toUtf8() + "x,1,2,3\n", "ids.csv:6: no radio on port"},
        {header + rows.left(rows.lastIndexOf('\n', rows.size() - 2) + 1), ": no row of " },
        {header + QByteArray(rows).replace(",12,", ",1O,"), "ids.csv:3:2: DTMF / ANI Code: \"1O\""},
    };
    for (const auto& c : refused) {
        ASSERT_TRUE(WriteFile(table, c.table));
        const CliOutput r = RunKestrelCli(QStringList{"write"} + ports + QStringList{file, "--per-radio", table}, env);
        EXPECT_EQ(r.status, 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.err))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("no radio was written"))) << r.err.toStdString();
    }
    for (RadioSim& s : sims)
        EXPECT_TRUE(s.frames().isEmpty());
    EXPECT_FALSE(QFile::exists(log));

    // By port: every radio its row.
    ASSERT_TRUE(WriteFile(table, header + rows));
    CliOutput r = RunKestrelCli(QStringList{"write"} + ports + QStringList{file, "--per-radio", table, "--verify",
                                                                          "--log", log},
                                env);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList out = TextLines(r.out);
    ASSERT_EQ(out.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QStringList assignments;
        for (int f = 0; f < 3; ++f)
            assignments << paths[f] + "=" + values(i + 1)[f];
        EXPECT_EQ(out[i], sims[i].device() + "\tok\t136-174\t1.0\t1.0\t\t" + assignments.join(';'));
        checkRadio(i, i + 1);
    }
    QStringList logLines = TextLines(ReadFile(log));
    ASSERT_EQ(logLines.size(), 5);
    for (const QString& line : logLines.mid(1)) {
        const int i = int(std::find_if(std::begin(sims), std::end(sims),
                                       [&](RadioSim& s) { return line.contains("," + s.device() + ","); }) -
                          std::begin(sims));
        ASSERT_LT(i, 4) << line.toStdString();
        // The hash is of the file with this radio's values set, as `set` makes it.
        const QString radioFile = dir.filePath(QStringLiteral("sent%1.dat").arg(i));
        QStringList setArgs{"set", file};
        for (int f = 0; f < 3; ++f)
            setArgs << paths[f] + "=" + values(i + 1)[f];
        ASSERT_EQ(RunKestrelCli(setArgs + QStringList{"-o", radioFile}).status, 0);
        EXPECT_TRUE(line.endsWith(Sha256Hex(ReadFile(radioFile)) + ",ok,ok,," + out[i].section('\t', 6)))
            << line.toStdString();
    }

    // By ESN (the rows in another order, one for a radio that is not there): KS-77 has
    // no row and is not written; the row of KS-09 is reported.
    ASSERT_TRUE(WriteFile(table, "esn,DTMF / ANI Code,DTMF / PTTID BOT,DTMF / PTTID EOT\n"
                                 "KS-03,23,1*23,2#23\nKS-09,29,1*29,2#29\nKS-01,21,1*21,2#21\n"
                                 "KS-02,22,1*22,2#22\n"));
    run = QStringLiteral("2");
    r = RunKestrelCli(QStringList{"write"} + ports + QStringList{file, "--per-radio", table, "--log", log, "--json"},
                      env);
    EXPECT_EQ(r.status, 3) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(sims[3].device() + ": no row of the table has the ESN \"KS-77\"; nothing was written"))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("ids.csv:3: no radio has the ESN \"KS-09\"")) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\"esn\": \"KS-77\"")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\"outcome\": \"no-row\"")) << r.out.toStdString();
    for (int i = 0; i < 3; ++i)
        checkRadio(i, i + 1);
    logLines = TextLines(ReadFile(log));
    ASSERT_EQ(logLines.size(), 9);
    QStringList tails;
    for (const QString& line : logLines.mid(5))
        tails << line.section(',', 10);
    tails.sort();
    EXPECT_EQ(tails, (QStringList{"no-row,KS-77,",
                                  "ok,KS-01,DTMF / ANI Code=21;DTMF / PTTID BOT=1*21;DTMF / PTTID EOT=2#21",
                                  "ok,KS-02,DTMF / ANI Code=22;DTMF / PTTID BOT=1*22;DTMF / PTTID EOT=2#22",
                                  "ok,KS-03,DTMF / ANI Code=23;DTMF / PTTID BOT=1*23;DTMF / PTTID EOT=2#23"}));
    run = QStringLiteral("1"); // KS-77 keeps the values of the run by port
    checkRadio(3, 4);
}
