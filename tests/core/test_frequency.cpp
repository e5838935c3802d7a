#include "core/AppContext.h"
#include "core/Band.h"
#include "core/Frequency.h"
#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace kestrel;

namespace {
const BandLimits Vhf = BandOfIndex(0);
const BandLimits Uhf = BandOfIndex(1);
const BandLimits Mid = BandOfIndex(2);

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}
} // namespace

// ---- stored frequencies ----

TEST(Frequency, EncodesToBcdAndDecodesBack) {
    struct {
        const char* text;
        QByteArray bytes; // +0..+3
        const char* decoded;
    } const cases[] = {
        // clang-format off
        {"146.525", Bytes({0x00, 0x25, 0x65, 0x14}), "146.52500"},
        {"145.02500", Bytes({0x00, 0x25, 0x50, 0x14}), "145.02500"},
        {"469.9975", Bytes({0x50, 0x97, 0x99, 0x46}), "469.99750"},
        {"0", Bytes({0, 0, 0, 0}), "0.00000"},
        {"136.000005", Bytes({0x01, 0x00, 0x60, 0x13}), "136.00001"}, // halves of 10 Hz round away from zero
        {"999.99999", Bytes({0x99, 0x99, 0x99, 0x99}), "999.99999"},
        {"12.5abc", Bytes({0x00, 0x00, 0x25, 0x01}), "12.50000"},
        // clang-format on
    };
    for (const auto& c : cases) {
        MemoryImage m;
        ASSERT_TRUE(EncodeFrequency(m, 5, 4, QString::fromUtf8(c.text))) << c.text;
        EXPECT_EQ(m.line(5).mid(4, 4), c.bytes) << c.text;
        EXPECT_EQ(DecodeFrequency(m, 5, 4), QString::fromLatin1(c.decoded));
    }
}

TEST(Frequency, DecodeStopsAtTheFirstNibbleAboveNine) {
    MemoryImage m;
    m.setLine(0, QByteArray(16, char(0xFF)));
    EXPECT_EQ(DecodeFrequency(m, 0, 0), "0.00000");
    m.setLine(0, Bytes({0x00, 0xA5, 0x65, 0x14})); // "1465:500" -> 1465
    EXPECT_EQ(DecodeFrequency(m, 0, 0), "0.01465");
}

TEST(Frequency, HugeNumbersAreHeldInsteadOfOverflowing) {
    EXPECT_EQ(SnapToChannelStep(QString(400, QLatin1Char('9'))), "1000000000000.00000");
    EXPECT_EQ(SnapToChannelStep(QLatin1Char('-') + QString(400, QLatin1Char('9'))), "-1000000000000.00000");
}

TEST(Frequency, ValuesThatDoNotFitAreNotStored) {
    MemoryImage m;
    m.setLine(1, QByteArray(16, char(0x33)));
    const QByteArray before = m.bytes();
    for (const QString& t : {QStringLiteral("1000"), QStringLiteral("999.999995"), QStringLiteral("-5"),
                             QString(400, QLatin1Char('9'))}) // too many digits for a double
        EXPECT_FALSE(EncodeFrequency(m, 1, 0, t)) << t.left(20).toStdString();
    EXPECT_FALSE(EncodeFrequency(m, 1, 13, QStringLiteral("146"))); // would run into the next line
    EXPECT_FALSE(EncodeFrequency(m, LineCount, 0, QStringLiteral("146")));
    EXPECT_EQ(m.bytes(), before);
    EXPECT_EQ(DecodeFrequency(m, -1, 0), "0.00000");
    EXPECT_EQ(DecodeFrequency(m, 0, 13), "0.00000");
}

// ---- band limits ----

TEST(BandLimits, BandBytesGiveLimitsIndexAndWidth) {
    struct {
        int b0, b1, b2;
        int lower, upper, index;
    } const cases[] = {
        // clang-format off
        {0x13, 0x17, 0x64, 136, 174, 0}, {0x40, 0x47, 0x00, 400, 470, 1}, {0x34, 0x40, 0x00, 340, 400, 2},
        {0xFF, 0xFF, 0xFF, 136, 174, 0},
        {0x40, 0x47, 0xA0, 136, 174, 0}, // any byte above 0x99
        {0x14, 0x17, 0x04, 140, 174, 0}, // not in the band table
        {0x04, 0x17, 0x54, 45, 174, 0},  // leading zero dropped
        {0x1A, 0x17, 0x64, 1, 174, 0},   // nibble above 9 ends it
        // limits no band can have count as unusable
        {0x00, 0x17, 0x04, 136, 174, 0}, // lower 0
        {0x0A, 0x47, 0x00, 136, 174, 0}, // lower 0, cut short
        {0x00, 0x00, 0x00, 136, 174, 0},
        {0x47, 0x40, 0x00, 136, 174, 0}, // 470-400
        {0x40, 0x40, 0x00, 136, 174, 0}, // 400-400
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.b0 << " " << c.b1 << " " << c.b2);
        MemoryImage m;
        m.setByte(0x0FC0, quint8(c.b0));
        m.setByte(0x0FC1, quint8(c.b1));
        m.setByte(0x0FC2, quint8(c.b2));
        const BandLimits b = DecodeBandLimits(m);
        EXPECT_EQ(b.lower, c.lower);
        EXPECT_EQ(b.upper, c.upper);
        EXPECT_EQ(b.index, c.index);
        EXPECT_EQ(b.width, c.upper - c.lower);
    }
}

TEST(BandLimits, EncodeWritesTheDigitsDecodeReads) {
    for (int i = 0; i < BandCount; ++i) {
        MemoryImage m;
        EncodeBandLimits(m, BandOfIndex(i));
        const BandLimits b = DecodeBandLimits(m);
        EXPECT_EQ(b.lower, BandOfIndex(i).lower);
        EXPECT_EQ(b.upper, BandOfIndex(i).upper);
        EXPECT_EQ(b.index, i);
    }
    MemoryImage m;
    EncodeBandLimits(m, Vhf);
    EXPECT_EQ(m.byte(0x0FC0), 0x13);
    EXPECT_EQ(m.byte(0x0FC1), 0x17);
    EXPECT_EQ(m.byte(0x0FC2), 0x64);
}

// ---- range check and correction ----

TEST(Frequency, CorrectionClampsOrSnaps) {
    struct {
        BandLimits band;
        const char* typed;
        int range;
        const char* corrected;
        bool message;
    } const cases[] = {
        // clang-format off
        {Vhf, "174", AboveBand, "173.99750", true},       {Vhf, "173.9975", InBand, "173.99750", false},
        {Vhf, "136", InBand, "136.00000", false},         {Vhf, "135.99999", BelowBand, "136.00000", true},
        {Vhf, "", BelowBand, "136.00000", true},          {Vhf, "abc", BelowBand, "136.00000", true},
        {Vhf, "999999", AboveBand, "173.99750", true},    {Vhf, "146.5213", InBand, "146.52250", false},
        // just below the limit the raster rounds up to 174.00000: the highest step inside is kept
        {Vhf, "173.99875", InBand, "173.99750", false},   {Vhf, "173.9999", InBand, "173.99750", false},
        {Uhf, "470", AboveBand, "469.99750", true},       {Uhf, "399", BelowBand, "400.00000", true},
        {Mid, "400", AboveBand, "399.99750", true},       {Mid, "12", BelowBand, "340.00000", true},
        {BandLimits{140, 174, 34, 0}, "139", BelowBand, "140.00000", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.band.lower << " " << c.typed);
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ(CheckFrequencyRange(c.band, typed), c.range);
        const CorrectedText r = CorrectFrequency(c.band, typed);
        EXPECT_EQ(r.text, QString::fromLatin1(c.corrected));
        EXPECT_EQ(r.outOfRange, c.message);
    }
}

TEST(Frequency, SnapMovesOntoTheNearestRasterStep) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"146.52", "146.52000"},    {"146.5213", "146.52250"},  {"146.50625", "146.50625"},
        {"146.5061", "146.50625"},  {"146.5031", "146.50250"},
        // 146.50125 is half way between 146.5000 and 146.5025 (away from zero: 146.5025)
        // and 0.00125 from 146.50 on 6.25 kHz: tie, 2.5 wins
        {"146.50125", "146.50250"},
        {"146.5044", "146.50500"},  // 2.5 kHz closer
        {"146.5064", "146.50625"},  // 6.25 kHz closer
        {"173.99875", "174.00000"}, {"0", "0.00000"},           {"-1.0001", "-1.00000"},
        {"1e400", "1.00000"},
    };
    // clang-format on
    for (const auto& [typed, snapped] : cases)
        EXPECT_EQ(SnapToChannelStep(QString::fromLatin1(typed)), QString::fromLatin1(snapped)) << typed;
}

// A span (an offset between two frequencies) stays below the band width.
TEST(Frequency, SpanStaysBelowTheBandWidth) {
    struct {
        BandLimits band;
        const char* typed;
        const char* corrected;
        bool message;
    } const cases[] = {
        // clang-format off
        {Vhf, "38", "37.99500", true},       {Vhf, "50", "37.99500", true},
        {Vhf, "37.9999", "37.99500", false}, // snapped up to 38
        {Vhf, "0.0123", "0.01250", false},   {Uhf, "70", "69.99500", true},  {Mid, "", "0.00000", false},
        // clang-format on
    };
    for (const auto& c : cases) {
        const CorrectedText r = CorrectFrequencySpan(c.band, QString::fromLatin1(c.typed));
        EXPECT_EQ(r.text, QString::fromLatin1(c.corrected)) << c.typed;
        EXPECT_EQ(r.outOfRange, c.message) << c.typed;
    }
}

TEST(Frequency, OutOfRangeMessageUsesTheProductNameAndLanguage) {
    AppContext app;
    app.productName = QStringLiteral("Kestrel");
    test::ScriptedPrompter p;
    ShowOutOfRange(p, app);
    app.language = Chinese;
    ShowOutOfRange(p, app);
    ASSERT_EQ(p.asked.size(), 2);
    EXPECT_EQ(p.asked[0].title, "Kestrel");
    EXPECT_EQ(p.asked[0].text, "Frequency is out of range.");
    EXPECT_EQ(p.asked[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(p.asked[0].buttons, Prompter::Buttons::Ok);
    EXPECT_EQ(p.asked[1].text, QString::fromUtf8("频率超出范围。"));
}
