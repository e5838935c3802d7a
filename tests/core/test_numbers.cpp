#include "core/Numbers.h"

#include <gtest/gtest.h>

using namespace kestrel;

TEST(Numbers, LeadingDecimalNumber) {
    struct {
        const char* text;
        double value;
    } cases[] = {{"", 0},           {"abc", 0},         {"146.52", 146.52}, {"146.52MHz", 146.52},
                 {"  12", 12},      {"1.2.3", 1.2},     {".5", 0.5},        {"-3", -3},
                 {"7.", 7},         {"00012", 12},      {"1e5", 1},         {"+", 0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(Numbers, IntegerConversionRoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(14652500.4), 14652500);
}

TEST(Numbers, FormattingRoundsHalvesAwayFromZero) {
    struct {
        double v;
        int decimals;
        const char* text;
    } cases[] = {{146.525, 5, "146.52500"},  {146.525, 2, "146.53"},   {0.0, 5, "0.00000"},
                 {2.5, 0, "3"},              {-2.5, 0, "-3"},          {67.0, 1, "67.0"},
                 {173.9975, 5, "173.99750"}, {0.00005, 4, "0.0001"},   {999.999995, 5, "1000.00000"},
                 {146.52125, 4, "146.5213"}, {1.005, 2, "1.01"},       {-0.0001, 2, "0.00"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.v, c.decimals).toStdString(), c.text) << c.v;
    EXPECT_EQ(FormatInteger(146.525 * 100000, 8), QStringLiteral("14652500"));
    EXPECT_EQ(FormatInteger(5.5, 8), QStringLiteral("00000006"));
    EXPECT_EQ(RoundHalfAway(2.5), 3);
    EXPECT_EQ(RoundHalfAway(1.0049999999999999), 1);
}

TEST(Numbers, SignificantDigitTextOfSinglePrecisionValues) {
    EXPECT_EQ(FormatSignificant(double(float(136.00625)), 7), QStringLiteral("136.0063"));
    EXPECT_EQ(FormatSignificant(double(float(173.99875)), 7), QStringLiteral("173.9987"));
    EXPECT_EQ(FormatSignificant(double(float(145.0)), 7), QStringLiteral("145"));
    EXPECT_EQ(FormatSignificant(double(float(145.0125)), 7), QStringLiteral("145.0125"));
}
