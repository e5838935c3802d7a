// The identification lines as text: 0xFF fillers, one byte per character, the
// sixteen-character limit and the characters a line cannot hold.
#include "link/EmbMsgText.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::embmsg;

namespace {

QByteArray Bytes(std::initializer_list<int> head, int fill = 0xFF) {
    QByteArray line(LineSize, char(fill));
    int i = 0;
    for (int b : head)
        line[i++] = char(b);
    return line;
}

struct ReadCase {
    const char* name;
    QByteArray line;
    QString text;
};

class LineTextTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LineTextTest, ShowsTheBytesAsCharacters) { EXPECT_EQ(LineText(GetParam().line), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Lines, LineTextTest,
    ::testing::Values(ReadCase{"TwoLettersThenFillers", Bytes({0x41, 0x42}), QStringLiteral("AB")},
                      ReadCase{"AllFillersGiveNoText", Bytes({}), QString()},
                      ReadCase{"FillersAnywhereAreSkipped", Bytes({0xFF, 0x41, 0xFF, 0xFF, 0x42, 0xFF, 0x43}),
                               QStringLiteral("ABC")},
                      ReadCase{"SixteenCharacters", QByteArray("0123456789ABCDEF"),
                               QStringLiteral("0123456789ABCDEF")}),

    [](const auto& info) { return std::string(info.param.name); });

struct StoreCase {
    const char* name;
    QString text;
    QByteArray line;
};

class TextLineTest : public ::testing::TestWithParam<StoreCase> {};

TEST_P(TextLineTest, StoresOneBytePerCharacterPaddedWithFillers) {
    EXPECT_EQ(TextLine(GetParam().text).toHex(' '), GetParam().line.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextLineTest,
    ::testing::Values(StoreCase{"TwoLetters", QStringLiteral("AB"), Bytes({0x41, 0x42})},
                      StoreCase{"EmptyTextIsAllFillers", QString(), Bytes({})},
                      StoreCase{"SixteenCharactersFillTheLine", QStringLiteral("0123456789ABCDEF"),
                                QByteArray("0123456789ABCDEF")},
                      StoreCase{"CharactersAfterTheSixteenthAreDropped", QStringLiteral("HW-0123456789-XYZW"),
                                QByteArray("HW-0123456789-XY")},
                      StoreCase{"WideCharacterBecomesQuestionMark", QStringLiteral("A\u4E2DB"), Bytes({0x41, 0x3F, 0x42})}),
    [](const auto& info) { return std::string(info.param.name); });

// Latin-1 letters and control codes alike: every byte but the filler survives.
TEST(EmbMsgText, EveryStorableByteReadsBackAsItself) {
    for (int b = 0; b < 0xFF; ++b) {
        const QString text{QChar(char16_t(b))};
        ASSERT_TRUE(FitsLine(text.at(0))) << b;
        const QByteArray line = TextLine(text);
        EXPECT_EQ(quint8(line.at(0)), b);
        EXPECT_EQ(LineText(line), text) << b;
    }
}

struct RefuseCase {
    const char* name;
    QString text;
    QString refused;
};

class UnstorableTest : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(UnstorableTest, NamesEachRefusedCharacterOnce) { EXPECT_EQ(Unstorable(GetParam().text), GetParam().refused); }

INSTANTIATE_TEST_SUITE_P(
    Characters, UnstorableTest,
    ::testing::Values(RefuseCase{"AsciiAndLatin1Fit", QStringLiteral("Ab1-\u00E9\u00FE"), QString()},
                      RefuseCase{"ChineseIsRefused", QStringLiteral("A\u4E2D\u6587B\u4E2D"), QStringLiteral("\u4E2D\u6587")},
                      // 0xFF is the filler: it would vanish when the line is read back.
                      RefuseCase{"TheFillerCharacterIsRefused", QStringLiteral("\u00FF"), QStringLiteral("\u00FF")},
                      RefuseCase{"EuroSignDoesNotFitLatin1", QStringLiteral("5\u20AC"), QStringLiteral("\u20AC")},
                      RefuseCase{"CharacterBeyondTheBasicPlaneStaysWhole",
                                 QStringLiteral("x") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("y"),
                                 QString::fromUcs4(U"\U0001F600")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EmbMsgText, RefusalExplainsInBothLanguages) {
    const QString en = RefusedText(QStringLiteral("\u4E2D"), English);
    const QString zh = RefusedText(QStringLiteral("\u4E2D"), Chinese);
    EXPECT_TRUE(en.contains(QStringLiteral("\u4E2D")));
    EXPECT_TRUE(en.contains(QLatin1String("one byte")));
    EXPECT_TRUE(zh.contains(QStringLiteral("\u4E2D")));
    EXPECT_NE(en, zh);
}

} // namespace
