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
const char* const Header =
    "Group,CH,RX Freq,TX Freq,Decode,Encode,W/N,BCL,Scan,TX Power,Opt Signal,Mute Dtmf,"
    "PTT ID,Call Group,Compand,Scrambler,Option,TX inhibit";

struct CliRun {
    int status = -1;
    QStringList lines; // stdout, UTF-8
    QString err;
};

CliRun Cli(const QStringList& args) {
    const CliOutput o = RunKestrelCli(args);
    CliRun r;
    r.status = o.status;
    QString out = QString::fromUtf8(o.out);
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    r.lines = out.isEmpty() ? QStringList() : out.split(QLatin1Char('\n'));
    r.err = o.err;
    return r;
}

// The 136-174 default image with a few crafted channels.
MemoryImage CraftedImage() {
    MemoryImage m;
    m.setBytes(DefaultImageBytes(0));
    // Group 2, row 2: a full channel.
    const int full = ChannelIndexOf(1, 2);
    CreateChannel(m, full, 2, QStringLiteral("146.52500"));
    // clang-format off
    for (auto [column, text] : {std::pair{ColTxFreq, "147.12500"}, {ColDecode, "67.0"}, {ColEncode, "D023I"},
                                {ColBandwidth, "Narrow"}, {ColLockout, "BTL"}, {ColScan, "Del"},
                                {ColTxPower, "Mid"}, {ColSignalling, "DTMF"}, {ColSquelch, "DTMF"},
                                {ColPttId, "BOTH"}, {ColCallGroup, "16"}, {ColCompander, "On"},
                                {ColScrambler, "On"}, {ColReverse, "Talk Around"}, {ColTxInhibit, "On"}})
        StoreChannelField(m, full, column, QString::fromLatin1(text), English);
    // clang-format on
    // Group 8, row 16: transmit side outside the band.
    CreateChannel(m, 127, 16, QStringLiteral("136"));
    EncodeFrequency(m, 127, 4, QStringLiteral("174"));
    // Group 1, row 3: receive frequency outside the band, other bytes set.
    m.setLine(2, QByteArray::fromHex("0000401700002514700623801234567F"));
    return m;
}
} // namespace

TEST(CliChannels, DefaultImagesPrintAHeaderAndOneLinePerChannel) {
    QTemporaryDir dir;
    for (int band = 0; band < BandCount; ++band) {
        const QString file = dir.filePath(QStringLiteral("default%1.dat").arg(band));
        ASSERT_TRUE(WriteFile(file, DefaultImageBytes(band)));
        for (const QStringList& lang :
             {QStringList(), QStringList{"--lang", "en"}, QStringList{"--lang", "zh"}}) {
            const CliRun r = Cli(QStringList{"channels", file} + lang);
            ASSERT_EQ(r.status, 0) << r.err.toStdString();
            ASSERT_EQ(r.lines.size(), 129);
            EXPECT_EQ(r.lines[0], Header);
            for (int n = 0; n < ChannelCount; ++n) {
                const QStringList cells = r.lines[n + 1].split(QLatin1Char(','));
                ASSERT_EQ(cells.size(), 18) << band << " " << n;
                EXPECT_EQ(cells[0], QString::number(n / 16 + 1));
                EXPECT_EQ(cells[1], QString::number(n % 16 + 1));
            }
        }
    }
}

TEST(CliChannels, ShowsWhatTheGridShowsAndLeavesTheFileAlone) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("crafted.dat"));
    const MemoryImage m = CraftedImage();
    ASSERT_TRUE(WriteFile(file, m.bytes()));

    const CliRun en = Cli({"channels", file});
    ASSERT_EQ(en.status, 0) << en.err.toStdString();
    ASSERT_EQ(en.lines.size(), 129);
    EXPECT_EQ(en.lines[1 + 17],
              "2,2,146.52500,147.12500,67.0,D023I,Narrow,BTL,Del,Mid,DTMF,DTMF,BOTH,16,On,On,Talk Around,On");
    EXPECT_EQ(en.lines[1 + 127], "8,16,136.00000,Off,None,,Wide,Off,Add,High,Off,Carrier,Off,1,Off,Off,Off,Off");
    EXPECT_EQ(en.lines[1 + 2], "1,3,,,,,,,,,,,,,,,,");

    const CliRun zh = Cli({"channels", "--lang", "zh", file});
    ASSERT_EQ(zh.status, 0);
    ASSERT_EQ(zh.lines.size(), 129);
    EXPECT_EQ(zh.lines[0], Header);
    EXPECT_EQ(zh.lines[1 + 17],
              QString::fromUtf8("2,2,146.52500,147.12500,67.0,D023I,窄,BTL,删除,中,DTMF,DTMF,BOTH,"
                                "16,开,开,脱网,开"));
    EXPECT_EQ(zh.lines[1 + 127],
              QString::fromUtf8("8,16,136.00000,关,无,,宽,关,添加,高,无,载波,无,1,关,关,关,关"));

    // Showing cleans only the program's copy: the file keeps every byte.
    EXPECT_EQ(ReadFile(file), m.bytes());
}

TEST(CliChannels, BandComesFromTheFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("uhf.dat"));
    MemoryImage m;
    m.setBytes(DefaultImageBytes(1));
    CreateChannel(m, 0, 1, QStringLiteral("446.00625"));
    CreateChannel(m, 1, 2, QStringLiteral("146.52500")); // not in 400-470
    ASSERT_TRUE(WriteFile(file, m.bytes()));
    const CliRun r = Cli({"channels", file});
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 129);
    EXPECT_TRUE(r.lines[1].startsWith("1,1,446.00625,446.00625,None,None,Wide,"));
    EXPECT_EQ(r.lines[2], "1,2,,,,,,,,,,,,,,,,");
}

// Band bytes that decode to a lower limit of 0 (or one not below the upper limit)
// are unusable: the list is that of 136-174 MHz, without 0.00000 MHz channels.
TEST(CliChannels, UnusableBandBytesShowNoPhantomChannels) {
    QTemporaryDir dir;
    const QString normal = dir.filePath(QStringLiteral("normal.dat"));
    ASSERT_TRUE(WriteFile(normal, DefaultImageBytes(0)));
    const CliRun expected = Cli({"channels", normal});
    ASSERT_EQ(expected.status, 0);
    for (const char* limits : {"00 17 04", "47 40 00"}) {
        QByteArray bytes = DefaultImageBytes(0);
        bytes.replace(0x0FC0, 3, QByteArray::fromHex(limits));
        const QString file = dir.filePath(QStringLiteral("odd.dat"));
        ASSERT_TRUE(WriteFile(file, bytes));
        const CliRun r = Cli({"channels", file});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.lines, expected.lines) << limits;
    }
}

TEST(CliChannels, BadArgumentsGiveAMessageAndNoOutput) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath("short.dat"), QByteArray(8191, char(0xFF))));
    ASSERT_TRUE(WriteFile(dir.filePath("long.dat"), QByteArray(8193, char(0xFF))));
    ASSERT_TRUE(WriteFile(dir.filePath("empty.dat"), QByteArray()));
    ASSERT_TRUE(WriteFile(dir.filePath("good.dat"), DefaultImageBytes(0)));
    const std::pair<QStringList, int> cases[] = {
        // clang-format off
        {{"short.dat"}, 2}, {{"missing.dat"}, 2}, {{"long.dat"}, 2}, {{"empty.dat"}, 2}, {{}, 1},
        {{"good.dat", "--lang", "fr"}, 1}, {{"good.dat", "--lang"}, 1}, {{"good.dat", "good.dat"}, 1},
        // clang-format on
    };
    for (const auto& [given, status] : cases) {
        QStringList args{"channels"};
        for (const QString& a : given)
            args << (a.endsWith(".dat") ? dir.filePath(a) : a);
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, status) << args.join(' ').toStdString();
        EXPECT_TRUE(r.lines.isEmpty());
        EXPECT_FALSE(r.err.trimmed().isEmpty());
    }
}
