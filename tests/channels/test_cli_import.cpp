// kestrel-cli import run as a program: round trips with `channels`, the grid's
// corrections reported per cell, and malformed lists refused without writing.
#include "channels/ChannelCellRules.h"
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Tone.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

const char* const Header = "Group,CH,RX Freq,TX Freq,Decode,Encode,W/N,BCL,Scan,TX Power,Opt Signal,Mute Dtmf,"
                           "PTT ID,Call Group,Compand,Scrambler,Option,TX inhibit";

using CliRun = CliOutput;
CliRun Cli(const QStringList& args) {
    return RunKestrelCli(args);
}

// An image of `band` with channels in several groups, one without transmit side.
MemoryImage Crafted(int band) {
    MemoryImage m;
    m.setBytes(DefaultImageBytes(band));
    const BandLimits limits = BandOfIndex(band);
    const QString base = QString::number(limits.lower + 2);
    CreateChannel(m, 0, 1, base + QStringLiteral(".02500"));
    const int full = ChannelIndexOf(2, 4);
    CreateChannel(m, full, 4, base + QStringLiteral(".50625"));
    for (auto [column, text] : {std::pair{ColDecode, "D754I"}, {ColEncode, "254.1"}, {ColBandwidth, "Narrow"},
                                {ColLockout, "BCL"}, {ColScan, "Del"}, {ColTxPower, "Low"}, {ColPttId, "EOT"},
                                {ColCallGroup, "9"}, {ColReverse, "Reverse"}, {ColTxInhibit, "On"}})
        StoreChannelField(m, full, column, QString::fromLatin1(text), English);
    CreateChannel(m, 127, 16, base);
    ClearTransmit(m, 127);
    return m;
}

class CliImport : public ::testing::Test {
protected:
    // empty.dat: the default image of the 136-174 MHz band.
    void SetUp() override { ASSERT_TRUE(WriteFile(path("empty.dat"), DefaultImageBytes(0))); }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QByteArray channels(const QString& image, const char* lang = "en") {
        const CliRun r = Cli({"channels", image, "--lang", lang});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return r.out;
    }

    // A list of the header and the given rows.
    QString list(const QStringList& rows, const char* name = "list.csv") {
        const QString file = path(name);
        WriteFile(file, (QString::fromLatin1(Header) + "\n" + rows.join("\n") + "\n").toUtf8());
        return file;
    }

    CliRun import(const QString& image, const QString& csv, const QString& out, const char* lang = "en") {
        return Cli({"import", image, csv, "-o", out, "--lang", lang});
    }

    QTemporaryDir dir;
};

// The rule over every band is checked without the program; here each language once.
TEST_F(CliImport, RoundTripIsStableInBothLanguages) {
    for (const auto& [band, lang] : {std::pair{0, "en"}, std::pair{BandCount - 1, "zh"}}) {
        SCOPED_TRACE(std::string("band ") + std::to_string(band) + " " + lang);
        const QString image = path("crafted.dat");
        ASSERT_TRUE(WriteFile(image, Crafted(band).bytes()));
        const QByteArray first = channels(image, lang);
        ASSERT_TRUE(WriteFile(path("first.csv"), first));

        const CliRun r = import(image, path("first.csv"), path("out.dat"), lang);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString(); // the summary alone
        EXPECT_EQ(channels(path("out.dat"), lang), first);

        // Into an empty image every channel comes back the same, channel 128 without its
        // transmit side too ("Off").
        ASSERT_TRUE(WriteFile(path("empty.dat"), DefaultImageBytes(band)));
        ASSERT_EQ(import(path("empty.dat"), path("first.csv"), path("fresh.dat"), lang).status, 0);
        EXPECT_EQ(channels(path("fresh.dat"), lang), first);
    }
}

// A correction is reported on stderr with the row and column of the cell, before the
// summary; `channels` then shows the stored value.
TEST_F(CliImport, CorrectionsReportedWithRowAndColumn) {
    const QString csv = list({"1,1,147,,,,,,,,,,,,,,,", "2,7,146.5213,,,,,,,,,,,,,,,"});
    const CliRun r = import(path("empty.dat"), csv, path("out.dat"));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(
        QStringLiteral("line 3 (group 2, CH 7), RX Freq: \"146.5213\" stored as \"146.52250\"\n")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith(
        QStringLiteral("\nkestrel-cli import: Kestrel CSV, rows applied: 2, rows skipped: 0\n")))
        << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 2) << r.err.toStdString();
    EXPECT_TRUE(channels(path("out.dat")).split('\n').at(1 + 16 + 6).startsWith("2,7,146.52250,146.52250,"));
}

// What is no channel list and a malformed Kestrel list; the other malformed lists are
// checked without the program.
TEST_F(CliImport, MalformedListsReportTheLineAndWriteNothing) {
    const struct {
        const char* content; // HEADER stands for the header of every column
        const char* reported;
    } cases[] = {
        {"", "the file holds no channel list"},
        {"HEADER\n1,1,146,,,,,,,,,,,,,,,\n1,1,147,,,,,,,,,,,,,,,\n",
         "line 3: group 1 CH 1 is already given on line 2"},
    };
    const QByteArray before("previous output");
    ASSERT_TRUE(WriteFile(path("out.dat"), before));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reported);
        ASSERT_TRUE(WriteFile(path("bad.csv"), QByteArray(c.content).replace("HEADER", Header)));
        const CliRun r = import(path("empty.dat"), path("bad.csv"), path("out.dat"));
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.reported))) << r.err.toStdString();
        EXPECT_EQ(ReadFile(path("out.dat")), before);
    }
}

// A list of which no row could be applied writes nothing and exits 2; one that applied
// some rows writes them and reports the others.
TEST_F(CliImport, NoChannelImportedExits2AndWritesNothing) {
    const struct {
        const char* content; // HEADER stands for the header of every column
        int status;
        const char* reported;
    } cases[] = {
        {"HEADER\n1,1,180,,,,,,,,,,,,,,,\n1,2,abc,,,,,,,,,,,,,,,\n", 2,
         "line 3 (group 1, CH 2), RX Freq: \"abc\" is not a frequency in MHz; the row is left out.\n"
         "kestrel-cli import: No channel was imported.\n"},
        {"Location,Frequency,Mode\n0,146.52,AM\n1,,FM\n", 2, "kestrel-cli import: No channel was imported.\n"},
        {"HEADER\n1,1,180,,,,,,,,,,,,,,,\n1,2,146.52,Off,,,,,,,,,,,,,,\n", 0,
         "Frequency 180 is outside the band 136-174 MHz; the row is left out.\n"
         "kestrel-cli import: Kestrel CSV, rows applied: 1, rows skipped: 1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        QFile::remove(path("out.dat"));
        ASSERT_TRUE(WriteFile(path("list.csv"), QByteArray(c.content).replace("HEADER", Header)));
        const CliRun r = import(path("empty.dat"), path("list.csv"), path("out.dat"));
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.endsWith(QString::fromLatin1(c.reported))) << r.err.toStdString();
        EXPECT_EQ(QFile::exists(path("out.dat")), c.status == 0);
    }
    EXPECT_TRUE(import(path("empty.dat"), path("list.csv"), path("o.dat"), "zh").err.contains(QString::fromUtf8("频率 180 超出频段 136-174 MHz，该行未采用。")));
}

// The README's example: CHIRP's CSV out of one image and into another, with what the
// format cannot carry reported and rows it cannot store skipped without failing.
TEST_F(CliImport, ChirpListsOutAndIn) {
    const QString image = path("crafted.dat");
    ASSERT_TRUE(WriteFile(image, Crafted(0).bytes()));
    const CliRun out = Cli({"channels", image, "--format", "chirp"});
    ASSERT_EQ(out.status, 0) << out.err.toStdString();
    const QList<QByteArray> lines = out.out.split('\n');
    ASSERT_EQ(lines.size(), 5); // the header, three channels, the end
    EXPECT_TRUE(lines[0].startsWith("Location,Name,Frequency,Duplex,Offset,Tone,"));
    EXPECT_EQ(lines[2], "35,,138.506250,off,0.000000,Cross,254.1,88.5,023,NR,754,Tone->DTCS,NFM,6.25,S,1.0W,,,,,\r");
    EXPECT_TRUE(lines[3].startsWith("127,,138.000000,off,")) << lines[3].toStdString();
    ASSERT_TRUE(WriteFile(path("chirp.csv"), out.out));

    const CliRun in = Cli({"import", path("empty.dat"), path("chirp.csv"), "-o", path("out.dat")});
    ASSERT_EQ(in.status, 0) << in.err.toStdString();
    EXPECT_EQ(in.err, QStringLiteral("kestrel-cli import: CHIRP CSV, rows applied: 3, rows skipped: 0\n"));
    EXPECT_EQ(Cli({"channels", path("out.dat"), "--format", "chirp"}).out, out.out);

    // A row the radio cannot take is skipped; the rest is written.
    ASSERT_TRUE(WriteFile(path("more.csv"), out.out + "5,Net,146.52,,0,,,,,,,,AM,,,,,,,,\r\n"));
    const CliRun skipped = Cli({"import", path("empty.dat"), path("more.csv"), "-o", path("more.dat"), "--lang", "zh"});
    ASSERT_EQ(skipped.status, 0) << skipped.err.toStdString();
    EXPECT_TRUE(skipped.err.contains(QString::fromUtf8("第 5 行（第 1 组，信道 6）：模式“AM”无法保存"))) << skipped.err.toStdString();
    EXPECT_TRUE(skipped.err.contains(QString::fromUtf8("对讲机不保存信道名称"))) << skipped.err.toStdString();

    // --format names the format: a CHIRP list read as Kestrel's is refused.
    const CliRun forced =
        Cli({"import", path("empty.dat"), path("chirp.csv"), "-o", path("no.dat"), "--format", "kestrel"});
    EXPECT_EQ(forced.status, 2);
    EXPECT_TRUE(forced.err.contains("line 1: the first line is not the header of a Kestrel list"))
        << forced.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("no.dat")));
    for (const char* command : {"channels", "import"})
        EXPECT_EQ(Cli({command, image, path("chirp.csv"), "-o", path("no.dat"), "--format", "icf"}).status, 1)
            << command;

    // TX inhibit on and TX away from RX: "off" cannot keep the TX frequency, said on stderr.
    EXPECT_TRUE(out.err.isEmpty()) << out.err.toStdString();
    MemoryImage lost = Crafted(0);
    StoreTransmit(lost, 35, QStringLiteral("139.00000"));
    ASSERT_TRUE(WriteFile(path("lost.dat"), lost.bytes()));
    const CliRun told = Cli({"channels", path("lost.dat"), "--format", "chirp", "--lang", "zh"});
    EXPECT_EQ(told.status, 0);
    EXPECT_EQ(told.err, QString::fromUtf8("kestrel-cli channels: 信道 36：此格式不保存发射频率 139.00000。\n"));
}

TEST_F(CliImport, BadArguments) {
    const QString csv = list({});
    EXPECT_EQ(Cli({"import", path("empty.dat"), csv}).status, 1);
    EXPECT_EQ(Cli({"import", path("empty.dat"), "-o", path("o.dat")}).status, 1);
    EXPECT_EQ(Cli({"import", path("empty.dat"), csv, "-o", path("o.dat"), "--lang", "fr"}).status, 1);
    EXPECT_EQ(Cli({"import", path("missing.dat"), csv, "-o", path("o.dat")}).status, 2);
    EXPECT_EQ(Cli({"import", path("empty.dat"), path("missing.csv"), "-o", path("o.dat")}).status, 2);
    EXPECT_FALSE(QFile::exists(path("o.dat")));
}

} // namespace
