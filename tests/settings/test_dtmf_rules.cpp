// DTMF bytes: selector positions, one-key-per-byte numbers, the ANI code, the key
// filter, and the call list entries that share the channel memory.
#include "settings/DtmfRules.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::DtmfMap;

namespace {

MemoryImage Filled(quint8 value) {
    MemoryImage image;
    image.setBytes(QByteArray(ImageSize, char(value)));
    return image;
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

QByteArray Range(const MemoryImage& image, Address first, int length) {
    return image.bytes().mid(first, length);
}

void Put(MemoryImage& image, Address first, const QByteArray& bytes) {
    for (int i = 0; i < bytes.size(); ++i)
        image.setByte(first + i, quint8(bytes[i]));
}

TEST(DtmfRules, ErasedImageOpensWithTheFirstOrLastItems) {
    const DtmfValues v = LoadDtmf(Filled(0xFF));
    EXPECT_EQ(v.sideTone, 1);
    EXPECT_EQ(TxTimeItems().at(v.txTime), QStringLiteral("50"));
    EXPECT_EQ(PreCarrierItems().at(v.preCarrier), QStringLiteral("2550"));
    EXPECT_EQ(EndCodeItems().at(v.endCode), QStringLiteral("A"));
    EXPECT_EQ(GroupCodeItems(English).at(v.groupCode), QStringLiteral("Off"));
    EXPECT_EQ(AutoResetItems(English).at(v.autoReset), QStringLiteral("25.5"));
    EXPECT_TRUE(v.ani.isEmpty());
    EXPECT_TRUE(v.stun.isEmpty());
    EXPECT_TRUE(v.bot.isEmpty());
    for (const QString& entry : v.callList)
        EXPECT_TRUE(entry.isEmpty());
}

// Each selector byte opens at its position and OK writes the position's byte.
TEST(DtmfRules, SelectorOpensAtItsPositionAndWritesItsByte) {
    struct {
        const char* name;
        Address address;
        int stored;   // byte in the image
        int position; // what opens
        int written;  // byte after OK
    } const cases[] = {
        // clang-format off
        {"side tone, other bits kept", SideTone, 0xFE, 0, 0xFE}, {"side tone on", SideTone, 0x81, 1, 0x81},
        {"TX time below range", TxTime, 4, 0, 5},                {"TX time 50 ms", TxTime, 5, 0, 5},
        {"TX time 500 ms", TxTime, 50, 45, 50},                  {"TX time above range", TxTime, 51, 0, 5},
        {"pre-carrier, any byte", PreCarrier, 0xFF, 255, 0xFF},  {"end code below keys", EndCode, 9, 0, 10},
        {"end code *", EndCode, 14, 4, 14},                      {"end code #", EndCode, 15, 5, 15},
        {"end code erased", EndCode, 0xFF, 0, 10},               {"group code off", GroupCode, 0xFF, 0, 0xFF},
        {"group code below keys", GroupCode, 8, 0, 0xFF},        {"group code A", GroupCode, 10, 1, 10},
        {"group code #", GroupCode, 15, 6, 15},                  {"auto reset off", AutoReset, 0, 0, 0},
        {"auto reset 25.5 s", AutoReset, 0xFF, 255, 0xFF},
        // clang-format on
    };
    for (const auto& c : cases) {
        MemoryImage image = Filled(0xFF);
        image.setByte(c.address, quint8(c.stored));
        const DtmfValues v = LoadDtmf(image);
        const int positions[] = {v.sideTone, v.txTime, v.preCarrier, v.endCode, v.groupCode, v.autoReset};
        EXPECT_EQ(positions[c.address - SideTone], c.position) << c.name;
        StoreDtmf(image, v, v);
        EXPECT_EQ(image.byte(c.address), c.written) << c.name;
    }
}

TEST(DtmfRules, SelectorListEnds) {
    EXPECT_EQ(TxTimeItems().size(), 46);
    EXPECT_EQ(TxTimeItems().last(), QStringLiteral("500"));
    EXPECT_EQ(PreCarrierItems().size(), 256);
    EXPECT_EQ(AutoResetItems(English).at(3), QStringLiteral("0.3"));
    EXPECT_EQ(GroupCodeItems(English), QStringList({"Off", "A", "B", "C", "D", "*", "#"}));
}

// A number reads up to the first byte that is no key; writing gives its keys, then FF.
TEST(DtmfRules, NumberReadsUpToTheFirstNonKeyAndWritesKeysThenFF) {
    struct {
        QByteArray stored; // the first bytes of the field, the rest 0xFF
        const char* shown;
        QByteArray written; // the first bytes after OK, the rest 0xFF
    } const cases[] = {{Bytes({1, 2, 14, 15, 10}), "12*#A", Bytes({1, 2, 14, 15, 10})},
                       {Bytes({}), "", Bytes({})},
                       {Bytes({1, 2, 0x20, 3}), "12", Bytes({1, 2})}, // stops at a space
                       {Bytes({0, 13, 16, 4}), "0D", Bytes({0, 13})}, // stops at 16
                       {QByteArray(24, char(9)), "999999999999999999999999", QByteArray(24, char(9))}};
    for (const auto& c : cases) {
        MemoryImage image = Filled(0xFF);
        Put(image, Bot, c.stored);
        EXPECT_EQ(DecodeDtmfNumber(image, Bot, BotLength), QString::fromLatin1(c.shown));
        EncodeDtmfNumber(image, Bot, BotLength, QString::fromLatin1(c.shown));
        EXPECT_EQ(Range(image, Bot, BotLength),
                  c.written + QByteArray(BotLength - c.written.size(), char(0xFF)));
        EXPECT_EQ(image.byte(Eot), 0xFF) << c.shown; // the next field is not reached
    }
}

TEST(DtmfRules, EncodingCutsAtTheFieldAndLeavesOutNonKeys) {
    MemoryImage image = Filled(0x00);
    EncodeDtmfNumber(image, Stun, StunLength, QStringLiteral("1.2Tg3b*#0123456789"));
    EXPECT_EQ(Range(image, Stun, StunLength), Bytes({1, 2, 3, 11, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(image.byte(Stun + StunLength), 0x00);
}

TEST(DtmfRules, AniCodeIsDigitsOnly) {
    MemoryImage image = Filled(0xFF);
    EncodeAni(image, QStringLiteral("12"));
    EXPECT_EQ(Range(image, Ani, 3), Bytes({1, 2, 0xFF}));
    EXPECT_EQ(DecodeAni(image), QStringLiteral("12"));
    Put(image, Ani, Bytes({4, 10, 5}));
    EXPECT_EQ(DecodeAni(image), QStringLiteral("4"));
    EncodeAni(image, QStringLiteral("9A8"));
    EXPECT_EQ(Range(image, Ani, 3), Bytes({9, 8, 0xFF}));
    EXPECT_EQ(image.byte(Stun), 0xFF);
}

TEST(DtmfRules, KeyFilterLetsOnlyDtmfKeysThrough) {
    struct Case {
        char typed;
        char code; // result in a code box, 0 = refused
        char ani;  // result in the ANI box
    };
    const Case cases[] = {{'0', '0', '0'}, {'9', '9', '9'}, {'A', 'A', 0}, {'D', 'D', 0},
                          {'a', 'A', 0},   {'d', 'D', 0},   {'*', '*', 0}, {'#', '#', 0},
                          {'E', 0, 0},     {'e', 0, 0},     {'F', 0, 0},   {'.', 0, 0},
                          {'T', 0, 0},     {'g', 0, 0},     {' ', 0, 0},   {'+', 0, 0}};
    for (const Case& c : cases) {
        const auto code = FilterDtmfKey(QChar::fromLatin1(c.typed), false);
        const auto ani = FilterDtmfKey(QChar::fromLatin1(c.typed), true);
        EXPECT_EQ(code ? code->toLatin1() : 0, c.code) << c.typed;
        EXPECT_EQ(ani ? ani->toLatin1() : 0, c.ani) << c.typed;
    }
    EXPECT_EQ(DtmfKeysOnly(QStringLiteral("1.2Tgab*# 3"), false), QStringLiteral("12AB*#3"));
    EXPECT_EQ(DtmfKeysOnly(QStringLiteral("1.2Tgab*# 3"), true), QStringLiteral("123"));
}

// The channel memory inside entries 9-12: current channel byte and both bitmaps,
// with values that also read as keys.
MemoryImage ImageWithChannelBookkeeping() {
    MemoryImage image = Filled(0xFF);
    image.setByte(TxTime, 5); // selectors in range, so nothing is corrected
    image.setByte(EndCode, 10);
    image.setByte(0x0E18, 0x03);
    for (Address a = 0x0E20; a <= 0x0E5F; ++a)
        image.setByte(a, quint8(a * 37));
    Put(image, CallEntry(0), Bytes({5, 5, 5}));
    return image;
}

TEST(DtmfRules, ConfirmingUnchangedValuesLeavesTheChannelMemoryAlone) {
    MemoryImage image = ImageWithChannelBookkeeping();
    const QByteArray before = image.bytes();
    const DtmfValues loaded = LoadDtmf(image);
    StoreDtmf(image, loaded, loaded);
    EXPECT_EQ(image.bytes(), before); // the shared bytes among them
}

TEST(DtmfRules, AChangedSharedEntryIsWrittenAloneAndReported) {
    MemoryImage image = ImageWithChannelBookkeeping();
    const QByteArray before = image.bytes();
    const DtmfValues loaded = LoadDtmf(image);
    DtmfValues v = loaded;
    v.callList[12] = QStringLiteral("123"); // entry 13
    EXPECT_EQ(ChangedSharedEntries(v, loaded), QList<int>({12}));
    StoreDtmf(image, v, loaded);
    QByteArray expected = before;
    expected.replace(CallEntry(12), CallEntryLength, Bytes({1, 2, 3}) + QByteArray(21, char(0xFF)));
    EXPECT_EQ(image.bytes(), expected);
}

TEST(DtmfRules, EntriesOneToEightAreAlwaysWritten) {
    MemoryImage image = Filled(0xFF);
    Put(image, CallEntry(1), Bytes({7, 8, 0x20, 9}));
    const DtmfValues loaded = LoadDtmf(image);
    EXPECT_EQ(loaded.callList[1], QStringLiteral("78"));
    EXPECT_TRUE(ChangedSharedEntries(loaded, loaded).isEmpty());
    StoreDtmf(image, loaded, loaded);
    EXPECT_EQ(Range(image, CallEntry(1), 4), Bytes({7, 8, 0xFF, 0xFF}));
    EXPECT_FALSE(CallEntrySharesChannelMemory(7));
    EXPECT_TRUE(CallEntrySharesChannelMemory(8));
    EXPECT_EQ(CallEntry(8), SharedFirst);
    EXPECT_EQ(CallEntry(15) + CallEntryLength - 1, SharedLast);
}

} // namespace
