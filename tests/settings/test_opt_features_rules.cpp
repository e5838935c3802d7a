// Optional features bytes: every value of the flags byte and of each whole-byte
// setting loads, corrects and stores as the tables say; no other byte is touched.
#include "settings/OptFeaturesRules.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::OptFeaturesMap;

namespace {

// An image with a distinct value in every byte, so a stray write shows.
MemoryImage PatternImage() {
    MemoryImage image;
    for (Address a = 0; a < ImageSize; ++a)
        image.setByte(a, quint8(a * 7 + 3));
    return image;
}

TEST(OptFeaturesRules, EveryFlagsByteLoadsItsFieldsAndStoresThemBackCorrected) {
    for (int b = 0; b < 256; ++b) {
        MemoryImage image;
        image.setByte(Flags, quint8(b));
        const OptFeaturesValues v = LoadOptFeatures(image);
        const int scan = (b >> 2) & 3, voice = (b >> 4) & 3;
        EXPECT_EQ(v.resetProhibited, (b & 1) == 0) << b;
        EXPECT_EQ(v.vox, (b >> 1) & 1) << b;
        EXPECT_EQ(v.scanMode, scan == 3 ? 0 : scan) << b;
        EXPECT_EQ(v.voice, voice == 3 ? 2 : voice) << b;
        EXPECT_EQ(v.batterySave, (b >> 6) & 1) << b;
        EXPECT_EQ(v.beep, (b >> 7) & 1) << b;

        StoreOptFeatures(image, v);
        int expected = b;
        if (scan == 3)
            expected &= ~0x0C;
        if (voice == 3)
            expected = (expected & ~0x30) | 0x20;
        EXPECT_EQ(image.byte(Flags), expected) << b;
    }
}

// Every value of a whole-byte setting shows its position, or the fallback outside
// the list, and stores what it shows.
TEST(OptFeaturesRules, WholeByteSettingsShowTheirPositionOrTheFallbackAndStoreIt) {
    struct {
        const char* name;
        Address address;
        int count;    // items in the list
        int fallback; // position shown for a value outside it
        int OptFeaturesValues::*field;
    } const cases[] = {{"TimeOut", TimeOut, 10, 2, &OptFeaturesValues::timeOut},
                       {"Squelch", Squelch, 10, 3, &OptFeaturesValues::squelch},
                       {"ToneBurst", ToneBurst, 4, 0, &OptFeaturesValues::toneBurst},
                       {"VoxGain", VoxGain, 9, 0, &OptFeaturesValues::voxGain},
                       {"VoxDelay", VoxDelay, 6, 0, &OptFeaturesValues::voxDelay}};
    for (const auto& c : cases) {
        for (int b = 0; b < 256; ++b) {
            MemoryImage image;
            image.setByte(c.address, quint8(b));
            const OptFeaturesValues v = LoadOptFeatures(image);
            const int shown = b < c.count ? b : c.fallback;
            EXPECT_EQ(v.*c.field, shown) << c.name << " " << b;
            StoreOptFeatures(image, v);
            EXPECT_EQ(image.byte(c.address), shown) << c.name << " " << b;
        }
    }
}

TEST(OptFeaturesRules, StoringTouchesOnlyItsSixBytesAndKeepsTheFlagsItDoesNotKnow) {
    MemoryImage image = PatternImage();
    image.setByte(Flags, 0x00);
    const QByteArray before = image.bytes();
    OptFeaturesValues v = LoadOptFeatures(image);
    v.beep = 1;
    v.vox = 1;
    v.timeOut = 9;
    StoreOptFeatures(image, v);
    QByteArray expected = before; // the six bytes are checked on their own
    for (Address a : {Flags, TimeOut, Squelch, VoxGain, VoxDelay, ToneBurst})
        expected[a] = char(image.byte(a));
    EXPECT_EQ(image.bytes(), expected);
    EXPECT_EQ(image.byte(Flags), 0x80 | 0x02); // beep, VOX; bit 0 clear: reset still prohibited
    EXPECT_EQ(image.byte(TimeOut), 9);
}

} // namespace
