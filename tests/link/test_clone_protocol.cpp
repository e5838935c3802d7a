// The clone protocol's rules without a port: frames, reply checks, the next-step
// rule, progress, band codes and version texts.
#include "link/CloneProtocol.h"

#include "core/StringTable.h"
#include "tests/link/RadioSim.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::clone;
using kestrel::test::Hex;

namespace {

MemoryImage Pattern() {
    MemoryImage image;
    image.setBytes(kestrel::test::PatternImage(3));
    return image;
}

struct FrameCase {
    const char* name;
    qint16 step;
    quint8 direction;
    QByteArray bytes; // empty: computed from the pattern image below
    int replyLength;
};

class FrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameTest, FrameBytesAndReplyLength) {
    const FrameCase& c = GetParam();
    const Frame f = BuildFrame(c.step, c.direction, Pattern());
    EXPECT_EQ(f.bytes.toHex(' '), c.bytes.toHex(' '));
    EXPECT_EQ(f.replyLength, c.replyLength);
}

QByteArray WriteLine3() {
    QByteArray f = Hex("57 00 30 10");
    f.append(Pattern().line(3));
    return f;
}

QByteArray BandFrame() {
    const MemoryImage image = Pattern();
    QByteArray f = Hex("57 0F C0 03");
    f.append(char(image.byte(0x0FC0))).append(char(image.byte(0x0FC1))).append(char(image.byte(0x0FC2)));
    f.append('\0');
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameTest,
    ::testing::Values(FrameCase{"HandshakeRead", StepHandshake, Read, Hex("02 50 52 4F 47 52 41"), 1},
                      FrameCase{"HandshakeWrite", StepHandshake, Write, Hex("02 50 52 4F 47 52 41"), 1},
                      FrameCase{"Identify", StepIdentify, Write, Hex("4D 02"), 7},
                      FrameCase{"ReadLine0", 0, Read, Hex("52 00 00 10"), 20},
                      FrameCase{"ReadLine3", 3, Read, Hex("52 00 30 10"), 20},
                      FrameCase{"ReadLine253", 253, Read, Hex("52 0F D0 10"), 20},
                      FrameCase{"ReadLine254", 254, Read, Hex("52 0F E0 10"), 20},
                      FrameCase{"ReadLine335", 335, Read, Hex("52 14 F0 10"), 20},
                      FrameCase{"ReadLine252IsAWholeLine", 252, Read, Hex("52 0F C0 10"), 20},
                      FrameCase{"WriteLine3", 3, Write, WriteLine3(), 1},
                      FrameCase{"WriteBandLimitsOnly", 252, Write, BandFrame(), 1},
                      FrameCase{"EndRead", StepEnd, Read, Hex("45"), 0},
                      FrameCase{"EndWrite", StepEnd, Write, Hex("45"), 0},
                      FrameCase{"LineOutsideTheImage", 512, Read, QByteArray(), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameTest, WriteFrameCarriesTheImageBytesInAddressOrder) {
    MemoryImage image;
    for (int i = 0; i < 16; ++i)
        image.setByte(0x0ED0 - 16 + i, quint8(0xA0 + i));
    const Frame f = BuildFrame(236, Write, image);
    ASSERT_EQ(f.bytes.size(), 20);
    EXPECT_EQ(f.bytes.left(4), Hex("57 0E C0 10"));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(quint8(f.bytes.at(4 + i)), 0xA0 + i);
}

struct NextCase {
    qint16 line;
    quint8 direction;
    qint16 stepExit;
    qint16 next;
};

class NextStepTest : public ::testing::TestWithParam<NextCase> {};

TEST_P(NextStepTest, FollowsTheOrderOfLines) {
    const NextCase& c = GetParam();
    EXPECT_EQ(NextStep(c.line, c.direction, c.stepExit), c.next);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NextStepTest,
    ::testing::Values(NextCase{0, Read, 253, 1}, NextCase{236, Read, 253, 237}, NextCase{236, Write, 253, 252},
                      NextCase{252, Write, 253, 253}, NextCase{253, Write, 253, StepEnd},
                      NextCase{253, Read, 253, StepEnd}, NextCase{254, Read, 335, 335},
                      NextCase{254, Write, 335, 335}, NextCase{335, Read, 335, StepEnd},
                      NextCase{10, Read, 10, StepEnd},
                      // The last line comes first: the end, even where a skip would apply.
                      NextCase{236, Write, 236, StepEnd}, NextCase{254, Read, 254, StepEnd},
                      // A last line that a skip jumps over still ends the transfer
                      // instead of running on past the end of the image.
                      NextCase{236, Write, 240, StepEnd}, NextCase{254, Read, 300, StepEnd},
                      NextCase{511, Read, 511, StepEnd}));

TEST(BandCode, MapsToBandIndex) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 0}, {0x46, 0}, {255, 0}};
    for (const auto& [code, band] : cases)
        EXPECT_EQ(BandIndexOfCode(quint8(code)), band) << "code " << code;
}

TEST(VersionText, BcdPairsWithoutLeadingZeros) {
    struct {
        quint8 a, b;
        const char* text;
    } cases[] = {{0x01, 0x05, "1.5"}, {0x12, 0x30, "12.30"}, {0x00, 0x00, "0.0"},
                 {0x99, 0x09, "99.9"}, {0x10, 0x01, "10.1"},
                 // Nibbles above 9 are taken as they come: 0x1A = 1 x 10 + 10.
                 {0x1A, 0x0F, "20.15"}};
    for (const auto& c : cases)
        EXPECT_EQ(VersionText(c.a, c.b), QString::fromLatin1(c.text));
}

TEST(Progress, ValuesAfterEachFrame) {
    struct {
        qint16 step, data, exit;
        int value; // -1: unchanged
    } cases[] = {{StepHandshake, 0, 253, -1}, {StepIdentify, 0, 253, -1}, {0, 0, 253, 0},
                 {126, 0, 253, 50},           {252, 0, 253, 100},        {253, 0, 253, 100},
                 {StepEnd, 0, 253, 100},      {254, 254, 335, 0},        {335, 254, 335, 100},
                 {10, 10, 10, 100},           {5, 10, 20, -1},
                 // Halves go to the even neighbour.
                 {1, 0, 8, 12},               {3, 0, 8, 38}};
    for (const auto& c : cases) {
        const std::optional<int> v = ProgressValue(c.step, c.data, c.exit);
        EXPECT_EQ(v.value_or(-1), c.value) << "step " << c.step;
    }
}

TEST(Replies, FirstByteForTheStep) {
    struct {
        qint16 step;
        quint8 direction;
        const char* reply;
        bool valid;
    } cases[] = {{StepHandshake, Read, "06", true},
                 {StepHandshake, Read, "15", false},
                 {StepIdentify, Write, "46 01 01 05 00 12 30", true},
                 {StepIdentify, Read, "47 01 01 05 00 12 30", false},
                 {3, Read, "57 00 30 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", true},
                 {3, Read, "06 00 30 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", false},
                 {3, Write, "06", true},
                 {3, Write, "57", false},
                 {3, Read, "", false}};
    for (const auto& c : cases)
        EXPECT_EQ(ReplyValid(c.step, c.direction, Hex(c.reply)), c.valid) << c.reply;
}

TEST(Replies, TheFrameSaysWhatItsReplyLooksLike) {
    struct {
        QByteArray frame;
        const char* head;
        int length;
    } cases[] = {{kestrel::test::HandshakeFrame(), "06", 1},
                 {Hex("4D 02"), "46", 7},
                 {Hex("52 00 30 10"), "57 00 30 10", 20},
                 {Hex("52 14 F0 10"), "57 14 F0 10", 20},
                 {Hex("52 0F C0 03"), "57 0F C0 03", 7},
                 {WriteLine3(), "06", 1},
                 {BandFrame(), "06", 1},
                 {Hex("45"), "", 0},
                 {QByteArray(), "", 0},
                 {Hex("52 00"), "", 0}};
    for (const auto& c : cases) {
        const ReplyShape shape = ExpectedReply(c.frame);
        EXPECT_EQ(shape.head, Hex(c.head)) << c.frame.toHex(' ').toStdString();
        EXPECT_EQ(shape.length, c.length) << c.frame.toHex(' ').toStdString();
    }
}

struct FramingCase {
    const char* name;
    QByteArray frame;
    QByteArray received;
    ReplyState state;
    int offset; // where the reply starts; -1 for none
};

class FramingTest : public ::testing::TestWithParam<FramingCase> {};

TEST_P(FramingTest, FindsTheReplyAmongEchoAndStrayBytes) {
    const FramingCase& c = GetParam();
    const FoundReply found = FindReply(c.received, c.frame);
    EXPECT_EQ(int(found.state), int(c.state));
    EXPECT_EQ(found.offset, c.offset);
    const int length = ExpectedReply(c.frame).length;
    EXPECT_EQ(found.reply, c.state == ReplyState::Complete ? c.received.mid(c.offset, length) : QByteArray());
}

const QByteArray ReadFrame3 = Hex("52 00 30 10");
const QByteArray Reply3 = Hex("57 00 30 10 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 00");
// Line 100 lies at 0x0640: its write frame holds 0x06 in its address and its data.
const QByteArray WriteFrame100 = Hex("57 06 40 10 06 06 00 06 01 02 03 04 05 06 07 08 09 0A 0B 0C");
const QByteArray WriteFrame3 = Hex("57 00 30 10 06 06 00 06 01 02 03 04 05 06 07 08 09 0A 0B 0C");
const QByteArray Ident = Hex("46 01 01 05 00 12 30");

constexpr ReplyState None = ReplyState::None;
constexpr ReplyState Begun = ReplyState::Begun;
constexpr ReplyState Complete = ReplyState::Complete;

INSTANTIATE_TEST_SUITE_P(
    Read, FramingTest,
    ::testing::Values(
        FramingCase{"ReplyAlone", ReadFrame3, Reply3, Complete, 0},
        FramingCase{"EchoThenReply", ReadFrame3, ReadFrame3 + Reply3, Complete, 4},
        FramingCase{"StrayReplyByteBefore", ReadFrame3, Hex("57") + Reply3, Complete, 1},
        FramingCase{"SeveralStrayBytesBefore", ReadFrame3, Hex("57 57 00 FF") + Reply3, Complete, 4},
        FramingCase{"StrayBytesAfter", ReadFrame3, Reply3 + Hex("57 57"), Complete, 0},
        FramingCase{"StrayEchoStrayReplyStray", ReadFrame3, Hex("57") + ReadFrame3 + Hex("57") + Reply3 + Hex("57"),
                    Complete, 6},
        FramingCase{"DataHoldingTheRequest", ReadFrame3,
                    Hex("57 00 30 10 52 00 30 10 99 AA BB CC DD EE FF 00 01 02 03 04"), Complete, 0},
        FramingCase{"DataEndingLikeTheRequest", ReadFrame3, Reply3.left(19) + Hex("52"), Complete, 0},
        FramingCase{"Nothing", ReadFrame3, QByteArray(), None, -1},
        FramingCase{"EchoOnly", ReadFrame3, ReadFrame3, None, -1},
        FramingCase{"PartOfTheEcho", ReadFrame3, ReadFrame3.left(2), None, -1},
        FramingCase{"StrayByteOnly", ReadFrame3, Hex("57"), None, -1},
        FramingCase{"HeadOnlyMayBeStray", ReadFrame3, Reply3.left(4), None, -1},
        FramingCase{"ReplyBegun", ReadFrame3, ReadFrame3 + Reply3.left(10), Begun, 4},
        FramingCase{"StrayThenReplyBegun", ReadFrame3, Hex("57") + Reply3.left(5), Begun, 1},
        FramingCase{"ReplyForAnotherLine", ReadFrame3, Hex("57 00 40 10") + Reply3.mid(4), None, -1},
        FramingCase{"WrongLengthByte", ReadFrame3, Hex("57 00 30 11") + Reply3.mid(4), None, -1},
        FramingCase{"WrongFirstByte", ReadFrame3, Hex("58") + Reply3.mid(1), None, -1}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Write, FramingTest,
    ::testing::Values(
        FramingCase{"AckAlone", WriteFrame100, Hex("06"), Complete, 0},
        FramingCase{"EchoThenAck", WriteFrame100, WriteFrame100 + Hex("06"), Complete, 20},
        FramingCase{"EchoedDataAreNoAck", WriteFrame100, WriteFrame100, None, -1},
        FramingCase{"PartOfTheEchoIsNoAck", WriteFrame100, WriteFrame100.left(9), None, -1},
        FramingCase{"StrayBeforeTheEcho", WriteFrame100, Hex("57") + WriteFrame100 + Hex("06"), Complete, 21},
        FramingCase{"StrayBetweenEchoAndAck", WriteFrame100, WriteFrame100 + Hex("57 06"), Complete, 21},
        FramingCase{"StrayThenAck", WriteFrame3, Hex("57") + Hex("06"), Complete, 1},
        // 57 06 may be the echo still arriving: no doubtful acknowledgement is taken.
        FramingCase{"StrayThenAckLikeAnEcho", WriteFrame100, Hex("57 06"), None, -1},
        FramingCase{"NegativeAck", WriteFrame3, Hex("15"), None, -1}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Handshake, FramingTest,
    ::testing::Values(FramingCase{"Ack", kestrel::test::HandshakeFrame(), Hex("06"), Complete, 0},
                      FramingCase{"EchoThenAck", kestrel::test::HandshakeFrame(),
                                  kestrel::test::HandshakeFrame() + Hex("06"), Complete, 7},
                      FramingCase{"IdentReply", Hex("4D 02"), Ident, Complete, 0},
                      FramingCase{"IdentEchoStrayReply", Hex("4D 02"), Hex("4D 02 57") + Ident + Hex("57"), Complete,
                                  3},
                      FramingCase{"IdentBegun", Hex("4D 02"), Ident.left(3), Begun, 0},
                      FramingCase{"EndFrameAwaitsNoReply", Hex("45"), Hex("06"), None, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Texts, CaptionAndMessagesFollowTheLanguage) {
    EXPECT_EQ(CaptionText(Read, English), QStringLiteral("Reading..."));
    EXPECT_EQ(CaptionText(Write, English), QStringLiteral("Writting...  "));
    EXPECT_EQ(CaptionText(Read, Chinese), QStringLiteral("读取中..."));
    EXPECT_EQ(CaptionText(Write, Chinese), QStringLiteral("写入中..."));
    EXPECT_EQ(ConnectionFailText(English), QStringLiteral("Connection Fail!"));
    EXPECT_EQ(ConnectionFailText(Chinese), QStringLiteral("通讯出错!"));
    EXPECT_EQ(BandMismatchText(English), QStringLiteral("Frequency not match!"));
    EXPECT_EQ(BandMismatchText(Chinese), QStringLiteral("频段不符，终止写入"));
}

} // namespace
