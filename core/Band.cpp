#include "core/Band.h"

#include <QDir>

namespace kestrel {

namespace {
struct BandRow {
    int lower, upper;
    const char* text;
    const char* file;
};
constexpr BandRow Bands[BandCount] = {
    {136, 174, "136-174", "Default_136174.dat"},
    {400, 470, "400-470", "Default_400470.dat"},
    {340, 400, "340-400", "Default_340400.dat"},
};

// Appends the decimal digits of the nibbles; a nibble above 9 ends the number there.
struct DigitText {
    QString text;
    bool ended = false;
    void add(int nibble) {
        if (ended)
            return;
        if (nibble > 9) {
            ended = true;
            return;
        }
        text += QChar('0' + nibble);
    }
    int value() const { return text.isEmpty() ? 0 : text.toInt(); }
};
} // namespace

BandLimits BandOfIndex(int index) {
    if (index < 0 || index >= BandCount)
        index = 0;
    BandLimits b;
    b.lower = Bands[index].lower;
    b.upper = Bands[index].upper;
    b.width = b.upper - b.lower;
    b.index = index;
    return b;
}

QString BandText(int index) {
    if (index < 0 || index >= BandCount)
        return QString();
    return QString::fromLatin1(Bands[index].text);
}

QString DefaultImageName(int index) {
    if (index < 0 || index >= BandCount)
        return QString();
    return QString::fromLatin1(Bands[index].file);
}

BandLimits DecodeBandLimits(const MemoryImage& image) {
    const int b0 = image.byte(BandBytes::Lower);
    const int b1 = image.byte(BandBytes::Upper);
    const int b2 = image.byte(BandBytes::Units);
    BandLimits band;
    if (b0 > 0x99 || b1 > 0x99 || b2 > 0x99) {
        band.lower = 136;
        band.upper = 174;
    } else {
        DigitText lo, hi;
        lo.add(b0 >> 4);
        lo.add(b0 & 0x0F);
        lo.add(b2 >> 4);
        hi.add(b1 >> 4);
        hi.add(b1 & 0x0F);
        hi.add(b2 & 0x0F);
        band.lower = lo.value();
        band.upper = hi.value();
        // No band starts at 0 MHz or ends where it starts: such bytes are as unusable
        // as bytes above 0x99 (and would make an erased frequency a channel).
        if (band.lower == 0 || band.lower >= band.upper) {
            band.lower = 136;
            band.upper = 174;
        }
    }
    band.index = 0;
    for (int i = 0; i < BandCount; ++i)
        if (Bands[i].lower == band.lower && Bands[i].upper == band.upper)
            band.index = i;
    band.width = band.upper - band.lower;
    return band;
}

void EncodeBandLimits(MemoryImage& image, const BandLimits& band) {
    auto bcd2 = [](int v) { return quint8((((v / 10) % 10) << 4) | (v % 10)); };
    image.setByte(BandBytes::Lower, bcd2(band.lower / 10));
    image.setByte(BandBytes::Upper, bcd2(band.upper / 10));
    image.setByte(BandBytes::Units, quint8(((band.lower % 10) << 4) | (band.upper % 10)));
}

bool LoadDefaultImage(MemoryImage& image, int bandIndex, const QString& folder, QString* error) {
    const QString name = DefaultImageName(bandIndex);
    if (name.isEmpty()) {
        if (error)
            *error = QStringLiteral("No default image for band %1.").arg(bandIndex);
        return false;
    }
    return image.LoadImageFile(QDir(folder).filePath(name), error);
}

} // namespace kestrel
