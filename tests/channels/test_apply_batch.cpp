// Apply of the batch editor on a real image: frequency walks with their band wrap and
// single-precision rounding, tone walks, random tones, options, bitmaps and names.
#include "channels/ApplyBatch.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "core/Tone.h"
#include "tests/channels/ErasedImage.h"

#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>

#include <vector>

using namespace kestrel;

namespace {

// An image with every channel empty, zeros after the channels (both bitmaps among them)
// and the band limits of `bandIndex`.
MemoryImage ErasedImage(int bandIndex) {
    return test::ErasedImage(bandIndex, 0x00);
}

BatchValues Range(int first, int last) {
    BatchValues v = DefaultBatchValues(BandOfIndex(0));
    v.range = BatchRange::FromTo;
    v.firstChannel = QString::number(first);
    v.lastChannel = QString::number(last);
    return v;
}

struct Result {
    MemoryImage image;
    ChannelNameStore names;
};

// Apply into `image` of band `bandIndex` with a fresh random sequence.
ChannelNameStore ApplyTo(MemoryImage& image, const BatchValues& v, int bandIndex = 0) {
    ChannelNameStore names;
    ToneRandom random;
    ApplyBatch(image, BandOfIndex(bandIndex), BuildToneTable(English), v, random, names);
    return names;
}

Result Apply(const BatchValues& v, int bandIndex = 0) {
    Result run{ErasedImage(bandIndex), {}};
    run.names = ApplyTo(run.image, v, bandIndex);
    return run;
}

int TonePosition(const MemoryImage& image, int line, int offset) {
    const QStringList table = BuildToneTable(English);
    const QString text = DecodeTone(table, image.byte(line, ToneLowPosition + offset),
                                    image.byte(line, ToneLowPosition + 1 + offset));
    return int(table.indexOf(text));
}

// ---- frequency walks -------------------------------------------------------------

struct FrequencyCase {
    const char* name;
    int band;
    int first, last;
    const char* rxStart;
    const char* rxStep;
    bool rxDown;
    BatchTransmit transmit;
    const char* offset;
    bool minus;
    const char* txStart;
    const char* txStep;
    std::vector<const char*> rx;
    std::vector<const char*> tx; // empty: same as rx
};

const BatchTransmit Same = BatchTransmit::SameAsReceive;
const BatchTransmit Offset = BatchTransmit::Offset;
const BatchTransmit Own = BatchTransmit::OwnStart;

TEST(ApplyBatch, StoresTheWalkedFrequencies) {
    // clang-format off
    const FrequencyCase cases[] = {
        FrequencyCase{"AscendingStep12k5", 0, 3, 5, "145.00000", "12.5", false, Same, "0", false, "136", "0",
                      {"145.00000", "145.01250", "145.02500"}, {}},
        FrequencyCase{"DescendingWrapsBelowBandToUpperLess5k", 0, 1, 3, "136.00000", "25", true, Same, "0", false,
                      "136", "0", {"136.00000", "173.99500", "173.97000"}, {}},
        FrequencyCase{"AscendingWrapsAtUpperToLower", 0, 1, 3, "173.99000", "25", false, Same, "0", false, "136", "0",
                      {"173.99000", "136.00000", "136.02500"}, {}},
        FrequencyCase{"OffsetMinusEveryChannel", 0, 1, 3, "145.00000", "0", false, Offset, "0.6", true, "136", "0",
                      {"145.00000", "145.00000", "145.00000"}, {"144.40000", "144.40000", "144.40000"}},
        FrequencyCase{"OffsetPlusWrapsIntoBand", 0, 1, 2, "173.90000", "0", false, Offset, "0.5", false, "136", "0",
                      {"173.90000", "173.90000"}, {"136.00000", "136.00000"}},
        FrequencyCase{"OwnTransmitStartAndStep", 0, 1, 3, "145.00000", "0", false, Own, "0", false, "150.00000",
                      "6.25", {"145.00000", "145.00000", "145.00000"}, {"150.00000", "150.00625", "150.01250"}},
        // 136.00625 in single precision is written 136.0063, which the raster brings back.
        FrequencyCase{"SevenDigitTextSnapsBack", 0, 1, 4, "136.00000", "6.25", false, Same, "0", false, "136", "0",
                      {"136.00000", "136.00625", "136.01250", "136.01875"}, {}},
        // 173.99875 is exactly halfway; its single-precision text 173.9987 decides it.
        FrequencyCase{"HalfwayDecidedBySinglePrecision", 0, 1, 2, "173.99750", "1.25", false, Same, "0", false, "136",
                      "0", {"173.99750", "173.99750"}, {}},
        FrequencyCase{"UpperBandWraps", 1, 1, 2, "469.99000", "25", false, Same, "0", false, "400", "0",
                      {"469.99000", "400.00000"}, {}},
        // The first channel takes the start text as it is, even outside the band.
        FrequencyCase{"FirstChannelTakesStartTextUnchanged", 0, 1, 2, "400.00000", "12.5", false, Same, "0", false,
                      "136", "0", {"400.00000", "136.00000"}, {}}};
    // clang-format on
    for (const FrequencyCase& c : cases) {
        SCOPED_TRACE(c.name);
        BatchValues v = Range(c.first, c.last);
        v.rxStart = QString::fromLatin1(c.rxStart);
        v.rxStep = QString::fromLatin1(c.rxStep);
        v.rxDirection = c.rxDown ? BatchDirection::Descending : BatchDirection::Ascending;
        v.transmit = c.transmit;
        v.offset = QString::fromLatin1(c.offset);
        v.offsetMinus = c.minus;
        v.txStart = QString::fromLatin1(c.txStart);
        v.txStep = QString::fromLatin1(c.txStep);
        const Result run = Apply(v, c.band);
        const auto& tx = c.tx.empty() ? c.rx : c.tx;
        ASSERT_EQ(int(c.rx.size()), c.last - c.first + 1);
        for (int n = c.first; n <= c.last; ++n) {
            const size_t j = size_t(n - c.first);
            EXPECT_EQ(DecodeFrequency(run.image, n - 1, 0), QString::fromLatin1(c.rx[j])) << "channel " << n;
            EXPECT_EQ(DecodeFrequency(run.image, n - 1, 4), QString::fromLatin1(tx[j])) << "channel " << n;
        }
    }
}

// ---- tone walks ------------------------------------------------------------------

TEST(ApplyBatch, DecodeAndSameEncodeFollowTheToneWalk) {
    const struct {
        int start;
        const char* interval;
        bool down;
        std::vector<int> positions;
    } cases[] = {
        {1, "2", false, {1, 3, 5, 7}},
        {259, "5", false, {259, 0, 5}}, // past the end goes to no tone
        {2, "5", true, {2, 260, 255}},  // below no tone goes to the last
        {42, "0", false, {42, 42, 42}},
    };
    for (const auto& c : cases) {
        BatchValues v = Range(1, int(c.positions.size()));
        v.decode.start = c.start;
        v.decode.interval = QString::fromLatin1(c.interval);
        v.decode.direction = c.down ? BatchDirection::Descending : BatchDirection::Ascending;
        const Result run = Apply(v);
        for (size_t j = 0; j < c.positions.size(); ++j) {
            EXPECT_EQ(TonePosition(run.image, int(j), DecodeToneOffset), c.positions[j])
                << c.start << " " << j;
            EXPECT_EQ(TonePosition(run.image, int(j), EncodeToneOffset), c.positions[j])
                << c.start << " " << j;
        }
    }
}

TEST(ApplyBatch, OwnEncodeWalkRunsBesideTheDecodeWalk) {
    BatchValues v = Range(1, 3);
    v.decode.start = 1;
    v.decode.interval = QStringLiteral("2");
    v.encodeMode = BatchEncode::OwnStart;
    v.encode.start = 10;
    v.encode.interval = QStringLiteral("1");
    v.encode.direction = BatchDirection::Descending;
    const Result run = Apply(v);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(TonePosition(run.image, j, DecodeToneOffset), 1 + 2 * j);
        EXPECT_EQ(TonePosition(run.image, j, EncodeToneOffset), 10 - j);
    }
}

// ---- random tones ----------------------------------------------------------------

TEST(ApplyBatch, RandomDecodeWithSameEncodeGivesEqualTonesAndTheSequenceGoesOnAcrossApplies) {
    BatchValues v = Range(1, 16);
    v.decode.random = true;
    MemoryImage image = ErasedImage(0);
    ChannelNameStore names;
    ToneRandom random;
    ApplyBatch(image, BandOfIndex(0), BuildToneTable(English), v, random, names);
    QSet<int> seen;
    for (int line = 0; line < 16; ++line) {
        EXPECT_EQ(image.byte(line, 8), image.byte(line, 10));
        EXPECT_EQ(image.byte(line, 9), image.byte(line, 11));
        seen.insert(TonePosition(image, line, DecodeToneOffset));
    }
    EXPECT_GT(seen.size(), 1);
    const QByteArray firstPress = image.bytes();
    ApplyBatch(image, BandOfIndex(0), BuildToneTable(English), v, random, names);
    EXPECT_NE(image.bytes(), firstPress);
}

TEST(ApplyBatch, RandomDrawsComeDecodeThenEncodeFromOneFixedSequence) {
    BatchValues v = Range(1, 16);
    v.decode.random = true;
    v.encodeMode = BatchEncode::OwnStart;
    v.encode.random = true;
    const Result first = Apply(v);
    const Result again = Apply(v); // a fresh sequence: the same picks, as in every run of the program
    EXPECT_EQ(first.image.bytes(), again.image.bytes());

    ToneRandom sequence;
    const QStringList table = BuildToneTable(English);
    for (int line = 0; line < 16; ++line) {
        const int decode = sequence.next();
        const int encode = sequence.next();
        // Different texts can share a code only for no tone; compare the stored codes.
        EXPECT_EQ(ToneCodeOfText(table[decode]), (ToneCode{first.image.byte(line, 8), first.image.byte(line, 9)}));
        EXPECT_EQ(ToneCodeOfText(table[encode]), (ToneCode{first.image.byte(line, 10), first.image.byte(line, 11)}));
    }
}

TEST(ToneRandom, ReachesBothEndsOfTheTableAndNothingBeyond) {
    ToneRandom random;
    int low = ToneCount, high = -1;
    for (int i = 0; i < 100000; ++i) {
        const int k = random.next();
        low = std::min(low, k);
        high = std::max(high, k);
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, ToneCount - 1);
}

// ---- options, bitmaps, untouched bytes -------------------------------------------

TEST(ApplyBatch, LockoutSetsBothLockoutBits) {
    for (const auto& [lockout, bits] : {std::pair{0, 0}, {1, 0x02}, {2, 0x04}}) {
        BatchValues v = Range(1, 1);
        v.lockout = lockout;
        EXPECT_EQ(Apply(v).image.byte(0, 12) & 0x06, bits) << "lockout " << lockout;
    }
}

TEST(ApplyBatch, ScanDeleteAndLowPowerOnAnExistingChannelKeepItsOtherBytes) {
    MemoryImage image = ErasedImage(0);
    CreateChannel(image, 4, 5, QStringLiteral("146.52500"));
    image.setByte(4, 12, 0xFF); // scrambler, both lockout bits, scan, wide, high, 6-7
    image.setByte(4, 13, 0xA5);
    image.setByte(4, 14, 0x5A);
    image.setByte(4, 15, 0x3C);
    ASSERT_TRUE(BitmapBit(image, ScanBitmap, 5));

    BatchValues v = Range(5, 5);
    v.scan = 1;
    v.power = 1;
    ApplyTo(image, v);

    EXPECT_EQ(image.byte(4, 12), 0xD1); // bits 0, 4, 6, 7 left; scan, high power, lockout cleared
    EXPECT_EQ(image.byte(4, 13), 0xA5);
    EXPECT_EQ(image.byte(4, 14), 0x5A);
    EXPECT_EQ(image.byte(4, 15), 0x3C);
    EXPECT_FALSE(BitmapBit(image, ScanBitmap, 5));
    EXPECT_TRUE(BitmapBit(image, ValidBitmap, 5));
}

TEST(ApplyBatch, PowerFollowsTheGridsRuleOverAMidPowerChannel) {
    for (int power : {0, 1}) {
        MemoryImage image = ErasedImage(0);
        CreateChannel(image, 2, 3, QStringLiteral("146.52500"));
        StoreChannelField(image, 2, ColTxPower, QStringLiteral("Mid"), English);
        BatchValues v = Range(3, 3);
        v.power = power;
        ApplyTo(image, v);
        EXPECT_EQ(ChannelOptionText(image, 2, ColTxPower, English), power == 0 ? "High" : "Low");
        EXPECT_EQ(image.byte(2, 13) & 0x08, 0) << "mid bit cleared for power " << power;
    }
}

TEST(ApplyBatch, EmptyChannelGetsNewChannelOptionBytesAndShowsTransmitEnabled) {
    BatchValues v = Range(2, 3);
    v.rxStart = QStringLiteral("145.00000");
    v.scan = 1;
    v.power = 1;
    v.lockout = 1;
    Result run = Apply(v);
    for (int line : {1, 2}) {
        EXPECT_EQ(run.image.byte(line, 12), 0xD2) << line; // 0xF8 base: bits 6-7, wide, BCL
        EXPECT_EQ(run.image.byte(line, 13), 0x00) << line; // Low clears the new channel's mid bit
        EXPECT_EQ(run.image.byte(line, 14), 0x70) << line;
        EXPECT_EQ(run.image.byte(line, 15), 0xFD) << line;
    }
    const ChannelTexts shown =
        ReadChannelForDisplay(run.image, BandOfIndex(0), BuildToneTable(English), English, 1);
    for (const auto& [column, text] : {std::pair{ColRxFreq, "145.00000"},
                                       {ColTxInhibit, "Off"},
                                       {ColPttId, "Off"},
                                       {ColCallGroup, "1"},
                                       {ColReverse, "Off"},
                                       {ColCompander, "Off"},
                                       {ColSquelch, "Carrier"}})
        EXPECT_EQ(shown.text(column), QString::fromLatin1(text)) << column;
}

TEST(ApplyBatch, TouchesOnlyTheRangeAndItsBitmapBits) {
    MemoryImage image = ErasedImage(0);
    for (int i = ChannelCount * LineSize; i < ImageSize; ++i)
        image.setByte(i, quint8(i * 7));
    const QByteArray before = image.bytes();
    ApplyTo(image, Range(3, 5));
    for (int a = 0; a < ImageSize; ++a) {
        const bool inRange = a >= 2 * LineSize && a < 5 * LineSize;
        const bool bitmapByte = a == ValidBitmap || a == ScanBitmap;
        if (!inRange && !bitmapByte) {
            ASSERT_EQ(image.byte(a), quint8(before[a])) << "address " << a;
        }
    }
    const quint8 bits35 = 0x1C; // numbers 3, 4, 5
    EXPECT_EQ(image.byte(ValidBitmap), quint8(before[ValidBitmap]) | bits35);
    EXPECT_EQ(image.byte(ScanBitmap), quint8(before[ScanBitmap]) | bits35);
}

TEST(ApplyBatch, FirstAboveLastWritesNothing) {
    MemoryImage image = ErasedImage(0);
    const QByteArray before = image.bytes();
    EXPECT_TRUE(ApplyTo(image, Range(9, 3)).name(2).isNull());
    EXPECT_EQ(image.bytes(), before);
}

// ---- names -----------------------------------------------------------------------

TEST(ApplyBatch, NamesGoToTheStoreNotTheImage) {
    BatchValues v = Range(4, 5);
    v.channelName = QStringLiteral("CHAN");
    const Result plain = Apply(v);
    EXPECT_EQ(plain.names.name(3), QStringLiteral("CHAN"));
    EXPECT_EQ(plain.names.name(4), QStringLiteral("CHAN"));
    v.namedByChannel = true;
    const Result numbered = Apply(v);
    EXPECT_EQ(numbered.names.name(3), QStringLiteral("CH004"));
    EXPECT_EQ(numbered.names.name(4), QStringLiteral("CH005"));
    EXPECT_EQ(plain.image.bytes(), numbered.image.bytes());
}

} // namespace
