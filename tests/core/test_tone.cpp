#include "core/Tone.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace kestrel;

namespace {
ToneCode Stored(const MemoryImage& m, int line, int offset) {
    return {m.byte(line, ToneLowPosition + offset), m.byte(line, ToneLowPosition + offset + 1)};
}
} // namespace

TEST(ToneTable, HoldsNoToneQtAndBothDqtPolarities) {
    const QStringList t = BuildToneTable(English);
    ASSERT_EQ(t.size(), ToneCount);
    for (auto [i, text] : {std::pair{0, "None"},
                           {FirstQtTone, "67.0"},
                           {FirstDqtNormal - 1, "254.1"},
                           {FirstDqtNormal, "D023N"},
                           {FirstDqtInverted - 1, "D754N"},
                           {FirstDqtInverted, "D023I"},
                           {ToneCount - 1, "D754I"}})
        EXPECT_EQ(t[i], text) << i;
    EXPECT_EQ(QSet<QString>(t.begin(), t.end()).size(), ToneCount);
    QStringList zh = t;
    SetNoToneText(zh, Chinese);
    EXPECT_EQ(zh[0], QString::fromUtf8("无"));
    EXPECT_EQ(zh.mid(1), t.mid(1));
}

// Every table text, in both languages and at both offsets, comes back unchanged.
TEST(ToneCodec, EveryTableTextSurvivesEncodeThenDecode) {
    for (Language lang : {English, Chinese}) {
        const QStringList t = BuildToneTable(lang);
        for (int offset : {DecodeToneOffset, EncodeToneOffset}) {
            for (int i = 0; i < ToneCount; ++i) {
                MemoryImage m;
                EncodeTone(m, 7, t[i], offset);
                const ToneCode c = Stored(m, 7, offset);
                EXPECT_EQ(DecodeTone(t, c.low, c.high), t[i]) << t[i].toStdString() << " offset " << offset;
            }
        }
    }
}

TEST(ToneCodec, TextGivesTheStoredCode) {
    struct {
        const char* text;
        int low, high;
    } const cases[] = {{"None", 0xFF, 0xFF},  {"无", 0xFF, 0xFF},    {"N", 0xFF, 0xFF},
                       {"67.0", 0x70, 0x06},  {"067.0", 0x70, 0x06}, {"100.0", 0x00, 0x10},
                       {"254.1", 0x41, 0x25}, {"D023N", 0x23, 0x80}, {"D023I", 0x23, 0xC0},
                       {"D754I", 0x54, 0xC7}, {"", 0x00, 0x00},      {"x7.0", 0x70, 0x00},
                       {"D", 0x00, 0xC0}};
    for (const auto& c : cases) {
        const ToneCode code = ToneCodeOfText(QString::fromUtf8(c.text));
        EXPECT_EQ(code.low, c.low) << c.text;
        EXPECT_EQ(code.high, c.high) << c.text;
    }
}

TEST(ToneCodec, EncodeWritesOnlyItsPairOfTheLine) {
    MemoryImage m;
    m.setLine(3, QByteArray(16, char(0x11)));
    EncodeTone(m, 3, QStringLiteral("D023N"), EncodeToneOffset);
    EXPECT_EQ(m.line(3), QByteArray::fromHex("11111111111111111111238011111111"));
    EncodeTone(m, 3, QStringLiteral("67.0"), DecodeToneOffset);
    EXPECT_EQ(m.line(3), QByteArray::fromHex("11111111111111117006238011111111"));
    const QByteArray before = m.bytes();
    EncodeTone(m, 3, QStringLiteral("67.0"), 1);
    EncodeTone(m, 3, QStringLiteral("67.0"), 4);
    EncodeTone(m, -1, QStringLiteral("67.0"), 0);
    EncodeTone(m, LineCount, QStringLiteral("67.0"), 0);
    EXPECT_EQ(m.bytes(), before);
}

TEST(ToneCodec, CodesOutsideTheTableReadAsNoTone) {
    const QStringList t = BuildToneTable(Chinese);
    const QString none = QString::fromUtf8("无");
    EXPECT_EQ(DecodeTone(t, 0x80, 0x06), none); // 68.0 Hz is not a tone of the table
    for (int low = 0; low < 256; ++low)
        EXPECT_EQ(DecodeTone(t, quint8(low), 0x55), none);
    EXPECT_EQ(DecodeTone(t, 0x24, 0x80), none); // D024N: not an octal code of the list
    EXPECT_EQ(DecodeTone(t, 0x23, 0xFF), none);
    EXPECT_EQ(DecodeTone(QStringList(), 0x70, 0x06), QString());
}

// All 65536 byte pairs decode to a table text; every tone of the table is reached, and
// the text of any pair stores a code that reads back as the same text.
TEST(ToneCodec, EveryBytePairDecodesToATableText) {
    const QStringList t = BuildToneTable(English);
    const QSet<QString> table(t.begin(), t.end());
    QSet<QString> seen;
    for (int high = 0; high < 256; ++high) {
        for (int low = 0; low < 256; ++low) {
            const QString text = DecodeTone(t, quint8(low), quint8(high));
            ASSERT_TRUE(table.contains(text)) << high << " " << low;
            seen.insert(text);
            const ToneCode again = ToneCodeOfText(text);
            ASSERT_EQ(DecodeTone(t, again.low, again.high), text) << high << " " << low;
        }
    }
    EXPECT_EQ(seen.size(), ToneCount);
}

// Typed and imported tones: only table tones are stored.
TEST(ToneEntry, QtSnapsToTheNearestTableToneDqtOutsideTheTableIsRefused) {
    using R = ToneEntry::Result;
    struct {
        const char* written;
        R result;
        const char* stored;
    } cases[] = {
        {"88.5", R::Taken, "88.5"},    {"100", R::Taken, "100.0"},     {" 67 ", R::Taken, "67.0"},
        {"88", R::Snapped, "88.5"},    {"300", R::Snapped, "254.1"},   {"50", R::Snapped, "67.0"},
        {"68.15", R::Snapped, "67.0"}, {"68.151", R::Snapped, "69.3"}, // halfway goes to the lower tone
        {"D023", R::Taken, "D023N"},   {"d754i", R::Taken, "D754I"},   {"D23", R::Refused, ""},
        {"D999N", R::Refused, ""},     {"D023X", R::Refused, ""},      {"abc", R::Refused, ""},
        {"", R::Taken, "None"},        {"none", R::Taken, "None"},     {"无", R::Taken, "None"},
    };
    for (const auto& c : cases) {
        const ToneEntry e = ResolveToneText(QString::fromUtf8(c.written), QStringLiteral("None"));
        EXPECT_EQ(e.result, c.result) << c.written;
        EXPECT_EQ(e.text, QString::fromUtf8(c.stored)) << c.written;
        EXPECT_EQ(e.message.isEmpty(), c.result == R::Taken) << c.written;
    }
    const ToneEntry snapped = ResolveToneText(QStringLiteral("88"), QStringLiteral("None"));
    EXPECT_EQ(snapped.message(English), QStringLiteral("Tone 88 is not in the tone table; 88.5 is used."));
    EXPECT_EQ(snapped.message(Chinese), QStringLiteral("亚音 88 不在亚音表中，已改为 88.5。"));
    const ToneEntry refused = ResolveToneText(QStringLiteral("D23"), QStringLiteral("None"));
    EXPECT_EQ(refused.message(English), QStringLiteral("Tone D230N is not in the tone table."));
    EXPECT_EQ(refused.message(Chinese), QStringLiteral("亚音 D230N 不在亚音表中。"));
    EXPECT_EQ(ResolveToneText(QString(), QStringLiteral("无")).text, QStringLiteral("无"));
    // Every table text is taken as it is.
    for (const QString& t : BuildToneTable(English))
        EXPECT_EQ(ResolveToneText(t, QStringLiteral("None")).text, t);
}
