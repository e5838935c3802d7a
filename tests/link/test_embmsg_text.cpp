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

TEST(EmbMsgText, LinesReadAsCharactersAndTextsStoreOneBytePerCharacter) {
    const struct {
        QByteArray line;
        QString text;
    } reads[] = {
        {Bytes({0x41, 0x42}), QStringLiteral("AB")},
        {Bytes({}), QString()}, // all fillers give no text
        // Fillers anywhere are skipped.
        {Bytes({0xFF, 0x41, 0xFF, 0xFF, 0x42, 0xFF, 0x43}), QStringLiteral("ABC")},
        {QByteArray("0123456789ABCDEF"), QStringLiteral("0123456789ABCDEF")},
    };
    for (const auto& c : reads)
        EXPECT_EQ(LineText(c.line), c.text) << c.line.toHex(' ').toStdString();
    const struct {
        QString text;
        QByteArray line;
    } stores[] = {
        {QStringLiteral("AB"), Bytes({0x41, 0x42})},
        {QString(), Bytes({})},
        {QStringLiteral("0123456789ABCDEF"), QByteArray("0123456789ABCDEF")},
        {QStringLiteral("HW-0123456789-XYZW"), QByteArray("HW-0123456789-XY")}, // the rest is dropped
        {QStringLiteral("A\u4E2DB"), Bytes({0x41, 0x3F, 0x42})}, // a wide character becomes '?'
    };
    for (const auto& c : stores)
        EXPECT_EQ(TextLine(c.text).toHex(' '), c.line.toHex(' ')) << c.text.toStdString();
}

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

TEST(EmbMsgText, UnstorableNamesEachRefusedCharacterOnce) {
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    const struct {
        QString text;
        QString refused;
    } cases[] = {
        {QStringLiteral("Ab1-\u00E9\u00FE"), QString()}, // ASCII and Latin-1 fit
        {QStringLiteral("A\u4E2D\u6587B\u4E2D"), QStringLiteral("\u4E2D\u6587")},
        // 0xFF is the filler: it would vanish when the line is read back.
        {QStringLiteral("\u00FF"), QStringLiteral("\u00FF")},
        {QStringLiteral("5\u20AC"), QStringLiteral("\u20AC")},      // the euro sign is not Latin-1
        {QStringLiteral("x") + emoji + QStringLiteral("y"), emoji}, // stays whole beyond the basic plane
    };
    for (const auto& c : cases)
        EXPECT_EQ(Unstorable(c.text), c.refused) << c.text.toStdString();
}

TEST(EmbMsgText, RefusalExplainsInBothLanguages) {
    const QString en = RefusedText(QStringLiteral("\u4E2D"), English);
    const QString zh = RefusedText(QStringLiteral("\u4E2D"), Chinese);
    EXPECT_TRUE(en.contains(QStringLiteral("\u4E2D")));
    EXPECT_TRUE(en.contains(QLatin1String("one byte")));
    EXPECT_TRUE(zh.contains(QStringLiteral("\u4E2D")));
    EXPECT_NE(en, zh);
}

} // namespace
