// Key assignment bytes: function codes, the short-press lists without the momentary
// functions, the top key and the long-press duration steps.
#include "settings/KeyRules.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::KeyMap;

namespace {

TEST(KeyRules, ShortPressListsLeaveOutTheMomentaryFunctions) {
    const QList<int> codes = ShortPressCodes();
    EXPECT_EQ(codes.size(), 18);
    EXPECT_FALSE(codes.contains(MonitorMomentary));
    EXPECT_FALSE(codes.contains(SquelchOffMomentary));
    EXPECT_EQ(codes.indexOf(4), 3);  // "Scan Skip" is the fourth item
    EXPECT_EQ(codes.indexOf(11), 9); // "Talk Around" is shifted by two
    EXPECT_EQ(LongPressCodes().size(), KeyFunctionCount);
}

TEST(KeyRules, FunctionTextsSkipTheUnusedTextNumber) {
    const QStringList en = KeyFunctionTexts(English), zh = KeyFunctionTexts(Chinese);
    ASSERT_EQ(en.size(), KeyFunctionCount);
    EXPECT_EQ(en.at(11), QStringLiteral("Talk Around"));
    EXPECT_EQ(en.at(12), QStringLiteral("Revert Freq"));
    EXPECT_EQ(en.at(16), QStringLiteral("Battery Power Indicate"));
    EXPECT_EQ(en.at(19), QStringLiteral("Vox"));
    EXPECT_EQ(QSet<QString>(zh.begin(), zh.end()).size(), KeyFunctionCount); // a text names one code
    EXPECT_EQ(AlarmFunctionTexts(Chinese).at(1), QString::fromUtf8("本地报警"));
}

// A long-press byte goes to the nearer step of 0.5 s, or to the first outside the list.
TEST(KeyRules, DurationByteGoesToTheNearerStepOrTheFirst) {
    for (auto [byte, position] : {std::pair{0, 0},
                                  {5, 0},
                                  {7, 0},
                                  {8, 1},
                                  {10, 1},
                                  {12, 1},
                                  {13, 2},
                                  {25, 4},
                                  {50, 9},
                                  {52, 9},
                                  {53, 0},
                                  {55, 0},
                                  {255, 0}}) {
        EXPECT_EQ(DurationPosition(quint8(byte)), position) << byte;
        MemoryImage image;
        image.setByte(LongPress, quint8(byte));
        StoreKeys(image, LoadKeys(image));
        EXPECT_EQ(image.byte(LongPress), (position + 1) * 5) << byte;
    }
}

// Side keys: codes above 19 show none, and so do the momentary ones on a short press;
// the top key shows none above 4.
TEST(KeyRules, EveryKeyByteLoadsAsAnOfferedCodeAndStoresIt) {
    for (int b = 0; b < 256; ++b) {
        MemoryImage image;
        for (Address a : {Side1Press, Side2Press, Side1Hold, Side2Hold, TopKey})
            image.setByte(a, quint8(b));
        const KeyValues v = LoadKeys(image);
        const int held = b <= 19 ? b : 0;
        const int pressed = (held == 3 || held == 10) ? 0 : held;
        EXPECT_EQ(v.side1Hold, held) << b;
        EXPECT_EQ(v.side2Hold, held) << b;
        EXPECT_EQ(v.side1Press, pressed) << b;
        EXPECT_EQ(v.side2Press, pressed) << b;
        EXPECT_EQ(v.topKey, b <= 4 ? b : 0) << b;
        StoreKeys(image, v);
        EXPECT_EQ(image.byte(Side1Hold), held);
        EXPECT_EQ(image.byte(Side2Press), pressed);
    }
}

TEST(KeyRules, StoringWritesTheSixBytesOnly) {
    MemoryImage image;
    for (Address a = 0; a < ImageSize; ++a)
        image.setByte(a, 0xA5);
    const QByteArray before = image.bytes();
    StoreKeys(image, KeyValues{4, 3, 11, 19, 2, 9});
    QByteArray expected = before;
    for (auto [a, value] : {std::pair{Side1Press, 4},
                            {Side1Hold, 3},
                            {Side2Press, 11},
                            {Side2Hold, 19},
                            {TopKey, 2},
                            {LongPress, 50}})
        expected[a] = char(value);
    EXPECT_EQ(image.bytes(), expected);
}

} // namespace
