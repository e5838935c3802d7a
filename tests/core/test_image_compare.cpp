// Comparing two images by meaning: crafted pairs over every view's fields, the raw
// lines and both languages, through the function and through kestrel-cli diff.
#include "core/Tone.h"
#include "core/ImageCompare.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/TestFiles.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// A 136-174 MHz image with channel 37 programmed and every setting at a known value.
MemoryImage Base() {
    MemoryImage image;
    image.setBytes(DefaultImageBytes(0));
    image.setLine(36, Channel146());
    image.setLine(4, QByteArray(16, char(0xFF)));
    const QByteArray settings = QByteArray::fromHex("0102C10302000000070900000A");
    for (int i = 0; i < settings.size(); ++i)
        image.setByte(0x0FD0 + i, quint8(settings[i]));
    const QByteArray dtmf = QByteArray::fromHex("0105000AFF00FF");
    for (int i = 0; i < dtmf.size(); ++i)
        image.setByte(0x0CF0 + i, quint8(dtmf[i]));
    for (Address a : {0x0CFD, 0x0CFE, 0x0CFF})
        image.setByte(a, a == 0x0CFF ? 0xFF : quint8(a - 0x0CFC));
    for (Address a = 0x0D00; a < 0x0E10; ++a)
        image.setByte(a, 0xFF);
    image.setByte(0x0E18, 0);
    image.setByte(0x0F97, 0x56);
    image.setLine(254, QByteArray("AB") + QByteArray(14, char(0xFF)));
    image.setByte(0x1234, 0xFF);
    return image;
}

struct Flip {
    Address address;
    quint8 mask;
};

struct Case {
    QList<Flip> flips;
    QStringList en;
    QStringList zh;
    bool combines = true; // can be made together with the other combining cases
};

QByteArray ToneBytes(const char* tone) {
    const ToneCode code = ToneCodeOfText(QString::fromLatin1(tone));
    QByteArray bytes;
    bytes.append(char(code.low)).append(char(code.high));
    return bytes;
}

QList<Case> Cases() {
    const QByteArray ctcss = ToneBytes("67.0");
    const QByteArray dcs = ToneBytes("D023N");
    auto ch = [](int byte) { return Address(36 * 16 + byte); };
    // clang-format off
    return {
        // The channel grid, every column of channel 37.
        {{{ch(1), 0x05}}, {"Channel 37 / RX Freq: 146.52000 -> 146.52500"}, {"信道 37 / 接收频率: 146.52000 -> 146.52500"}},
        {{{ch(5), 0x10}}, {"Channel 37 / TX Freq: 146.52000 -> 146.53000"}, {"信道 37 / 发射频率: 146.52000 -> 146.53000"}},
        {{{ch(8), quint8(~ctcss[0])}, {ch(9), quint8(~ctcss[1])}}, {"Channel 37 / Decode: None -> 67.0"}, {"信道 37 / 接收信令: 无 -> 67.0"}},
        {{{ch(10), quint8(~dcs[0])}, {ch(11), quint8(~dcs[1])}}, {"Channel 37 / Encode: None -> D023N"}, {"信道 37 / 发射信令: 无 -> D023N"}},
        {{{ch(12), 0x10}}, {"Channel 37 / W/N: Wide -> Narrow"}, {"信道 37 / 宽/窄: 宽 -> 窄"}},
        {{{ch(12), 0x02}}, {"Channel 37 / BCL: Off -> BCL"}, {"信道 37 / 繁忙锁定: 关 -> BCL"}},
        {{{ch(12), 0x08}}, {"Channel 37 / Scan: Add -> Del"}, {"信道 37 / 扫描添加: 添加 -> 删除"}},
        {{{ch(12), 0x20}}, {"Channel 37 / TX Power: High -> Mid"}, {"信道 37 / 发射功率: 高 -> 中"}},
        {{{ch(13), 0x10}}, {"Channel 37 / Opt Signal: Off -> DTMF"}, {"信道 37 / 可选信令: 无 -> DTMF"}},
        {{{ch(13), 0x04}}, {"Channel 37 / Mute Dtmf: Carrier -> DTMF"}, {"信道 37 / 静噪方式: 载波 -> DTMF"}},
        {{{ch(13), 0x03}}, {"Channel 37 / PTT ID: Off -> BOTH"}, {"信道 37 / PTT ID: 无 -> BOTH"}},
        {{{ch(14), 0x02}}, {"Channel 37 / Call Group: 1 -> 3"}, {"信道 37 / 呼叫组别: 1 -> 3"}},
        {{{ch(13), 0x80}}, {"Channel 37 / Compand: Off -> On"}, {"信道 37 / 压扩: 关 -> 开"}},
        {{{ch(12), 0x01}}, {"Channel 37 / Scrambler: Off -> On"}, {"信道 37 / 扰频: 关 -> 开"}},
        {{{ch(13), 0x20}}, {"Channel 37 / Option: Off -> Reverse"}, {"信道 37 / 可选功能: 关 -> 倒频"}},
        {{{ch(14), 0x80}}, {"Channel 37 / TX inhibit: Off -> On"}, {"信道 37 / 禁发: 关 -> 开"}},
        // Bits no column shows, and the leftover bytes of an empty record.
        {{{ch(15), 0x01}}, {"Channel 37 / bytes: 0x024F: FF -> FE"}, {"信道 37 / 字节: 0x024F: FF -> FE"}},
        {{{ch(12), 0x40}}, {"Channel 37 / bytes: 0x024C: F8 -> B8"}, {"信道 37 / 字节: 0x024C: F8 -> B8"}, false},
        {{{0x0045, 0x01}}, {"Channel 5 / bytes: 0x0045: FF -> FE"}, {"信道 5 / 字节: 0x0045: FF -> FE"}},
        // Channel bookkeeping; the scan bitmap's bytes are also call list entry 11.
        {{{0x0E18, 0x04}}, {"Channel Information / Current Channel: 1 -> 5"}, {"信道信息 / 当前信道: 1 -> 5"}},
        {{{0x0E20, 0x05}}, {"Channel Information / Valid Channels: (empty) -> 1, 3"}, {"信道信息 / 有效信道: (空) -> 1, 3"}},
        {{{0x0E41, 0x07}},
         {"DTMF / Call List 11: 000000000000000000000000 -> 070000000000000000000000",
          "Channel Information / Scan Channels: (empty) -> 9-11"},
         {"DTMF / 呼叫列表 11: 000000000000000000000000 -> 070000000000000000000000", "信道信息 / 扫描信道: (空) -> 9-11"}},
        {{{0x0FD7, 0x02}}, {"Channel Information / Group: 1 -> 3"}, {"信道信息 / 分组: 1 -> 3"}},
        // Band limits: 136-174 to 140-174 keeps channel 37 in the band; a byte above 0x99 reads as 136-174.
        {{{0x0FC0, 0x07}, {0x0FC2, 0x60}}, {"Band Limits: 136-174 -> 140-174"}, {"频段范围: 136-174 -> 140-174"}},
        {{{0x0FC2, 0x90}}, {"Band Limits / bytes: 0x0FC2: 64 -> F4"}, {"频段范围 / 字节: 0x0FC2: 64 -> F4"}, false},
        // Optional features.
        {{{0x0FD3, 0x06}}, {"Optional Features / Squelch Level: 3 -> 5"}, {"可选功能 / 静噪等级(SQ): 3 -> 5"}},
        {{{0x0FD4, 0x01}}, {"Optional Features / Time Out Timer[s]: 60 -> 90"}, {"可选功能 / 发射定时(秒): 60 -> 90"}},
        {{{0x0FD2, 0x80}}, {"Optional Features / BEEP: On -> Off"}, {"可选功能 / 提示音: 开 -> 关"}},
        {{{0x0FD2, 0x20}}, {"Optional Features / Voice: Off -> Chinese"}, {"可选功能 / 语音: 关 -> 中文"}},
        {{{0x0FD2, 0x04}}, {"Optional Features / ScanMode: TO -> SE"}, {"可选功能 / 扫描模式: TO -> SE"}},
        {{{0x0FD2, 0x40}}, {"Optional Features / Battery Save: On -> Off"}, {"可选功能 / 电池省电: 开 -> 关"}},
        {{{0x0FDA, 0x03}}, {"Optional Features / TBST Frequency: 1750Hz -> 2100Hz"}, {"可选功能 / TBST Frequency: 1750Hz -> 2100Hz"}},
        {{{0x0FD2, 0x01}}, {"Optional Features / Reset Prohibition: Off -> On"}, {"可选功能 / Reset Prohibition: 关 -> 开"}},
        {{{0x0FD2, 0x02}}, {"Optional Features / VOX Function: Off -> On"}, {"可选功能 / VOX功能: 关 -> 开"}},
        {{{0x0FD5, 0x08}}, {"Optional Features / VOX Gain Level: 1 -> 9"}, {"可选功能 / VOX增益电平: 1 -> 9"}},
        {{{0x0FD6, 0x05}}, {"Optional Features / VOX Delay Time[s]: 0.3 -> 3.0"}, {"可选功能 / VOX延迟时间(秒): 0.3 -> 3.0"}},
        {{{0x0FD5, 0x10}}, {"Optional Features / bytes: 0x0FD5: 00 -> 10"}, {"可选功能 / 字节: 0x0FD5: 00 -> 10"}, false},
        // Keys; a momentary function is not offered for a short press and shows "None".
        {{{0x0FD0, 0x03}}, {"Key Function / Key Function-1 Press: Call request -> Monitor"}, {"侧键功能 / 侧键功能-1 短按: 呼叫 -> 监听"}},
        {{{0x0FD8, 0x0A}}, {"Key Function / Key Function-1 Hold: Scan -> Check Power Level"}, {"侧键功能 / 侧键功能-1 长按: 扫描 -> 检查功率等级"}},
        {{{0x0FD1, 0x01}}, {"Key Function / Key Function-2 Press: Monitor -> None"}, {"侧键功能 / 侧键功能-2 短按: 监听 -> 无"}},
        {{{0x0FD9, 0x03}}, {"Key Function / Key Function-2 Hold: Squelch Off -> Squelch Off Momentary"}, {"侧键功能 / 侧键功能-2 长按: 静噪消除 -> 瞬时静噪消除"}},
        {{{0x0FDB, 0x01}}, {"Key Function / Top Key Press: None -> Local Alarm"}, {"侧键功能 / 顶键功能 短按: 无 -> 本地报警"}},
        {{{0x0FDC, 0x1E}}, {"Key Function / Long Press Duration[s]: 1.0 -> 2.0"}, {"侧键功能 / 长按时间[s]: 1.0 -> 2.0"}},
        {{{0x0FDB, 0x08}}, {"Key Function / bytes: 0x0FDB: 00 -> 08"}, {"侧键功能 / 字节: 0x0FDB: 00 -> 08"}, false},
        // DTMF; bytes after a code's end and bits beside the side tone show as raw lines.
        {{{0x0CF0, 0x01}}, {"DTMF / Side Tone: On -> Off"}, {"DTMF / Dtmf侧音: 开 -> 关"}},
        {{{0x0CF1, 0x0F}}, {"DTMF / Transmitting Time[ms]: 50 -> 100"}, {"DTMF / DTMF发送时间[毫秒]: 50 -> 100"}},
        {{{0x0CF2, 0x0C}}, {"DTMF / Pretime[ms]: 0 -> 120"}, {"DTMF / 预载波时间[毫秒]: 0 -> 120"}},
        {{{0x0CF3, 0x04}}, {"DTMF / End Code: A -> *"}, {"DTMF / 分隔符: A -> *"}},
        {{{0x0CF4, 0xF0}}, {"DTMF / Group Code: Off -> #"}, {"DTMF / 组呼码: 关 -> #"}},
        {{{0x0CF5, 0x19}}, {"DTMF / Auto Reset Time[s]: Off -> 2.5"}, {"DTMF / 自动复位时间[秒]: 关 -> 2.5"}},
        {{{0x0CFF, 0xFC}}, {"DTMF / ANI Code: 12 -> 123"}, {"DTMF / ANI码: 12 -> 123"}},
        {{{0x0D00, 0xF1}}, {"DTMF / Remotely Stun: (empty) -> *"}, {"DTMF / 遥晕码: (空) -> *"}},
        {{{0x0D10, 0xF0}}, {"DTMF / Remotely Kill: (empty) -> #"}, {"DTMF / 遥毙码: (空) -> #"}},
        {{{0x0D20, 0xF5}}, {"DTMF / PTTID BOT: (empty) -> A"}, {"DTMF / PTTID起始码: (空) -> A"}},
        {{{0x0D38, 0xFE}}, {"DTMF / PTTID EOT: (empty) -> 1"}, {"DTMF / PTTID结束码: (空) -> 1"}},
        {{{0x0D50, 0xF8}}, {"DTMF / Call List 1: (empty) -> 7"}, {"DTMF / 呼叫列表 1: (空) -> 7"}},
        {{{0x0E10, 0xF6}}, {"DTMF / Call List 9: (empty) -> 9"}, {"DTMF / 呼叫列表 9: (空) -> 9"}},
        {{{0x0D05, 0xDF}}, {"DTMF / bytes: 0x0D05: FF -> 20"}, {"DTMF / 字节: 0x0D05: FF -> 20"}},
        {{{0x0CF0, 0x02}}, {"DTMF / bytes: 0x0CF0: 01 -> 03"}, {"DTMF / 字节: 0x0CF0: 01 -> 03"}, false},
        // Model information and radio information.
        {{{0x0F97, 0x03}}, {"Model Information / Model Type: 136 - 174 MHz -> 400 - 470 MHz"}, {"机型信息 / 机型类型: 136 - 174 MHz -> 400 - 470 MHz"}},
        {{{0x0FE2, 0xBC}}, {"Embedded Message / ESN: AB -> ABC"}, {"嵌入信息 / ESN: AB -> ABC"}},
        {{{0x14F0, 0xA9}}, {"Embedded Message / Hardware Version: (empty) -> V"}, {"嵌入信息 / 硬件版本: (空) -> V"}},
        {{{0x0FE1, 0xBD}, {0x0FE2, 0xBD}}, {"Embedded Message / bytes: 0x0FE1: 42 -> FF", "Embedded Message / bytes: 0x0FE2: FF -> 42"},
         {"嵌入信息 / 字节: 0x0FE1: 42 -> FF", "嵌入信息 / 字节: 0x0FE2: FF -> 42"}, false},
        // Bytes no view owns.
        {{{0x1234, 0x5A}}, {"0x1234: FF -> A5"}, {"0x1234: FF -> A5"}},
        {{{0x0CF6, 0x01}}, {"0x0CF6: FF -> FE"}, {"0x0CF6: FF -> FE"}},
    };
    // clang-format on
}

MemoryImage Apply(MemoryImage image, const QList<Flip>& flips) {
    for (const Flip& f : flips)
        image.setByte(f.address, image.byte(f.address) ^ f.mask);
    return image;
}

// One line per difference, as readable text for the failure messages.
std::string Lines(const QList<ImageDifference>& differences, Language language) {
    return DifferenceLines(differences, language).join('\n').toStdString();
}
std::string Text(const QStringList& lines) {
    return lines.join('\n').toStdString();
}

} // namespace

TEST(ImageCompare, EveryViewsFieldsAndTheRawLinesInBothLanguages) {
    const MemoryImage base = Base();
    for (const Case& c : Cases()) {
        const MemoryImage changed = Apply(base, c.flips);
        EXPECT_EQ(Lines(CompareImages(base, changed, English), English), Text(c.en));
        EXPECT_EQ(Lines(CompareImages(base, changed, Chinese), Chinese), Text(c.zh));
    }
}

TEST(ImageCompare, EqualOnlyWhenEveryByteIsEqual) {
    const MemoryImage base = Base();
    EXPECT_TRUE(CompareImages(base, base, English).isEmpty());
    // A change anywhere, in any bit, gives at least one line.
    QRandomGenerator random(15);
    for (int i = 0; i < 64; ++i) {
        const Address a = Address(random.bounded(ImageSize));
        const quint8 bit = quint8(1u << random.bounded(8));
        EXPECT_FALSE(CompareImages(base, Apply(base, {{a, bit}}), English).isEmpty()) << a;
    }
}

TEST(ImageCompare, LinesFollowTheImageAndNameTheOpenImageFirst) {
    const MemoryImage base = Base();
    const MemoryImage changed = Apply(base, {{0x1234, 0x01}, {0x0FD3, 0x06}, {0x0045, 0x01}});
    EXPECT_EQ(Lines(CompareImages(base, changed, English), English),
              Text({"Channel 5 / bytes: 0x0045: FF -> FE", "Optional Features / Squelch Level: 3 -> 5",
                    "0x1234: FF -> FE"}));
    EXPECT_EQ(CompareImages(changed, base, English).at(1).line(English).toStdString(),
              "Optional Features / Squelch Level: 5 -> 3");
}

// Crafted pairs in both languages, and an exit status like diff tools have.
TEST(CliDiff, CraftedPairsAndExitStatus) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.dat"));
    const QString b = dir.filePath(QStringLiteral("b.dat"));
    const QString shortFile = dir.filePath(QStringLiteral("short.dat"));
    const MemoryImage base = Base();
    MemoryImage changed = base;
    QStringList en, zh;
    for (const Case& c : Cases()) {
        if (!c.combines)
            continue;
        changed = Apply(changed, c.flips);
        en << c.en;
        zh << c.zh;
    }
    ASSERT_TRUE(WriteFile(a, base.bytes()));
    ASSERT_TRUE(WriteFile(b, changed.bytes()));
    ASSERT_TRUE(WriteFile(shortFile, base.bytes().left(8191)));
    const struct {
        QStringList args;
        int status;
        QStringList out;
        const char* err;
    } cases[] = {
        {{"diff", a, b}, 1, en, ""},
        {{"diff", a, b, "--lang", "zh"}, 1, zh, ""},
        {{"diff", "--lang", "en", a, b}, 1, en, ""},
        {{"diff", a, a}, 0, {}, ""},
        {{"diff", a, dir.filePath("missing.dat")}, 2, {}, "not found"},
        {{"diff", shortFile, a}, 2, {}, "8191 bytes"},
        {{"diff", a}, 2, {}, "name two images"},
        {{"diff", a, a, "--lang", "fr"}, 2, {}, "--lang takes en or zh"},
        {{"diff", a, a, "--quiet"}, 2, {}, "unexpected option"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliOutput r = RunKestrelCli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        QStringList got = TextLines(r.out), want = c.out;
        got.sort();
        want.sort();
        EXPECT_EQ(Text(got), Text(want));
        EXPECT_TRUE(r.err.contains(QLatin1String(c.err))) << r.err.toStdString();
    }
}
