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

QByteArray WriteLine3() {
    return Hex("57 00 30 10") + Pattern().line(3);
}

QByteArray BandFrame() {
    return Hex("57 0F C0 03") + Pattern().bytes().mid(0x0FC0, 3) + QByteArray(1, '\0');
}

TEST(FrameTest, FrameBytesAndReplyLength) {
    const struct {
        const char* name;
        qint16 step;
        quint8 direction;
        QByteArray bytes;
        int replyLength;
    } cases[] = {
        {"HandshakeRead", StepHandshake, Read, Hex("02 50 52 4F 47 52 41"), 1},
        {"HandshakeWrite", StepHandshake, Write, Hex("02 50 52 4F 47 52 41"), 1},
        {"Identify", StepIdentify, Write, Hex("4D 02"), 7},
        {"ReadLine0", 0, Read, Hex("52 00 00 10"), 20},
        {"ReadLine3", 3, Read, Hex("52 00 30 10"), 20},
        {"ReadLine253", 253, Read, Hex("52 0F D0 10"), 20},
        {"ReadLine254", 254, Read, Hex("52 0F E0 10"), 20},
        {"ReadLine335", 335, Read, Hex("52 14 F0 10"), 20},
        {"ReadLine252IsAWholeLine", 252, Read, Hex("52 0F C0 10"), 20},
        {"WriteLine3", 3, Write, WriteLine3(), 1},
        {"WriteBandLimitsOnly", 252, Write, BandFrame(), 1},
        {"EndRead", StepEnd, Read, Hex("45"), 0},
        {"EndWrite", StepEnd, Write, Hex("45"), 0},
        {"LineOutsideTheImage", 512, Read, QByteArray(), 0},
    };
    for (const auto& c : cases) {
        const Frame f = BuildFrame(c.step, c.direction, Pattern());
        EXPECT_EQ(f.bytes.toHex(' '), c.bytes.toHex(' ')) << c.name;
        EXPECT_EQ(f.replyLength, c.replyLength) << c.name;
    }
}

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

TEST(NextStepTest, FollowsTheOrderOfLines) {
    const struct {
        qint16 line;
        quint8 direction;
        qint16 stepExit, next;
    } cases[] = {
        {0, Read, 253, 1},
        {236, Read, 253, 237},
        {236, Write, 253, 252},
        {252, Write, 253, 253},
        {253, Write, 253, StepEnd},
        {253, Read, 253, StepEnd},
        {254, Read, 335, 335},
        {254, Write, 335, 335},
        {335, Read, 335, StepEnd},
        {10, Read, 10, StepEnd},
        // The last line comes first: the end, even where a skip would apply.
        {236, Write, 236, StepEnd},
        {254, Read, 254, StepEnd},
        // A last line that a skip jumps over still ends the transfer instead of
        // running on past the end of the image.
        {236, Write, 240, StepEnd},
        {254, Read, 300, StepEnd},
        {511, Read, 511, StepEnd},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextStep(c.line, c.direction, c.stepExit), c.next) << c.line << " " << c.stepExit;
}

TEST(BandCode, MapsToBandIndex) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 0}, {0x46, 0}, {255, 0}};
    for (const auto& [code, band] : cases)
        EXPECT_EQ(BandIndexOfCode(quint8(code)), band) << "code " << code;
}

TEST(VersionText, BcdPairsWithoutLeadingZeros) {
    struct {
        quint8 a, b;
        const char* text;
    } cases[] = {{0x01, 0x05, "1.5"},
                 {0x12, 0x30, "12.30"},
                 {0x00, 0x00, "0.0"},
                 {0x99, 0x09, "99.9"},
                 {0x10, 0x01, "10.1"},
                 // Nibbles above 9 are taken as they come: 0x1A = 1 x 10 + 10.
                 {0x1A, 0x0F, "20.15"}};
    for (const auto& c : cases)
        EXPECT_EQ(VersionText(c.a, c.b), QString::fromLatin1(c.text));
}

TEST(Progress, ValuesAfterEachFrame) {
    struct {
        qint16 step, data, exit;
        int value; // -1: unchanged
    } cases[] = {{StepHandshake, 0, 253, -1},
                 {StepIdentify, 0, 253, -1},
                 {0, 0, 253, 0},
                 {126, 0, 253, 50},
                 {252, 0, 253, 100},
                 {253, 0, 253, 100},
                 {StepEnd, 0, 253, 100},
                 {254, 254, 335, 0},
                 {335, 254, 335, 100},
                 {10, 10, 10, 100},
                 {5, 10, 20, -1},
                 // Halves go to the even neighbour.
                 {1, 0, 8, 12},
                 {3, 0, 8, 38}};
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

const QByteArray ReadFrame3 = Hex("52 00 30 10");
const QByteArray Reply3 = Hex("57 00 30 10 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 00");
const QByteArray WriteFrame100 = Hex("57 06 40 10 06 06 00 06 01 02 03 04 05 06 07 08 09 0A 0B 0C");
const QByteArray WriteFrame3 = Hex("57 00 30 10 06 06 00 06 01 02 03 04 05 06 07 08 09 0A 0B 0C");
const QByteArray Ident = Hex("46 01 01 05 00 12 30");

constexpr ReplyState None = ReplyState::None;
constexpr ReplyState Begun = ReplyState::Begun;
constexpr ReplyState Complete = ReplyState::Complete;

TEST(FramingTest, FindsTheReplyAmongEchoAndStrayBytes) {
    const struct {
        const char* name;
        QByteArray frame;
        QByteArray received;
        ReplyState state;
        int offset; // where the reply starts; -1 for none
    } cases[] = {
        // Reading a line.
        {"ReplyAlone", ReadFrame3, Reply3, Complete, 0},
        {"EchoThenReply", ReadFrame3, ReadFrame3 + Reply3, Complete, 4},
        {"StrayReplyByteBefore", ReadFrame3, Hex("57") + Reply3, Complete, 1},
        {"SeveralStrayBytesBefore", ReadFrame3, Hex("57 57 00 FF") + Reply3, Complete, 4},
        {"StrayBytesWithAnAckBefore", ReadFrame3, Hex("57 06 57") + Reply3, Complete, 3},
        {"StrayBytesAfter", ReadFrame3, Reply3 + Hex("57 57"), Complete, 0},
        {"StrayEchoStrayReplyStray", ReadFrame3, Hex("57") + ReadFrame3 + Hex("57") + Reply3 + Hex("57"),
         Complete, 6},
        {"DataHoldingTheRequest", ReadFrame3,
         Hex("57 00 30 10 52 00 30 10 99 AA BB CC DD EE FF 00 01 02 03 04"), Complete, 0},
        {"DataEndingLikeTheRequest", ReadFrame3, Reply3.left(19) + Hex("52"), Complete, 0},
        {"Nothing", ReadFrame3, QByteArray(), None, -1},
        {"EchoOnly", ReadFrame3, ReadFrame3, None, -1},
        {"PartOfTheEcho", ReadFrame3, ReadFrame3.left(2), None, -1},
        {"StrayByteOnly", ReadFrame3, Hex("57"), None, -1},
        {"HeadOnlyMayBeStray", ReadFrame3, Reply3.left(4), None, -1},
        {"ReplyBegun", ReadFrame3, ReadFrame3 + Reply3.left(10), Begun, 4},
        {"StrayThenReplyBegun", ReadFrame3, Hex("57") + Reply3.left(5), Begun, 1},
        {"ReplyForAnotherLine", ReadFrame3, Hex("57 00 40 10") + Reply3.mid(4), None, -1},
        {"WrongLengthByte", ReadFrame3, Hex("57 00 30 11") + Reply3.mid(4), None, -1},
        {"WrongFirstByte", ReadFrame3, Hex("58") + Reply3.mid(1), None, -1},
        // Writing a line: line 100 lies at 0x0640, its frame holds 0x06 in its address and data.
        {"AckAlone", WriteFrame100, Hex("06"), Complete, 0},
        {"EchoThenAck", WriteFrame100, WriteFrame100 + Hex("06"), Complete, 20},
        {"EchoedDataAreNoAck", WriteFrame100, WriteFrame100, None, -1},
        {"PartOfTheEchoIsNoAck", WriteFrame100, WriteFrame100.left(9), None, -1},
        {"StrayBeforeTheEcho", WriteFrame100, Hex("57") + WriteFrame100 + Hex("06"), Complete, 21},
        {"StrayBetweenEchoAndAck", WriteFrame100, WriteFrame100 + Hex("57 06"), Complete, 21},
        {"StrayThenAck", WriteFrame3, Hex("57") + Hex("06"), Complete, 1},
        // 57 06 may be the echo still arriving: no doubtful acknowledgement is taken.
        {"StrayThenAckLikeAnEcho", WriteFrame100, Hex("57 06"), None, -1},
        {"NegativeAck", WriteFrame3, Hex("15"), None, -1},
        // Handshake, identification and end.
        {"Ack", kestrel::test::HandshakeFrame(), Hex("06"), Complete, 0},
        {"EchoThenAck", kestrel::test::HandshakeFrame(), kestrel::test::HandshakeFrame() + Hex("06"),
         Complete, 7},
        {"IdentReply", Hex("4D 02"), Ident, Complete, 0},
        {"IdentEchoStrayReply", Hex("4D 02"), Hex("4D 02 57") + Ident + Hex("57"), Complete, 3},
        {"IdentBegun", Hex("4D 02"), Ident.left(3), Begun, 0},
        {"EndFrameAwaitsNoReply", Hex("45"), Hex("06"), None, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FoundReply found = FindReply(c.received, c.frame);
        EXPECT_EQ(int(found.state), int(c.state));
        EXPECT_EQ(found.offset, c.offset);
        const int length = ExpectedReply(c.frame).length;
        EXPECT_EQ(found.reply,
                  c.state == ReplyState::Complete ? c.received.mid(c.offset, length) : QByteArray());
    }
}

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
