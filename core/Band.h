#pragma once
// The band limits stored in the image at 0x0FC0-0x0FC2 and the three bands the
// radios come in.
#include "core/MemoryImage.h"

#include <QString>

namespace kestrel {

namespace BandBytes {
constexpr Address Lower = 0x0FC0; // hundreds and tens digit of the lower limit
constexpr Address Upper = 0x0FC1; // hundreds and tens digit of the upper limit
constexpr Address Units = 0x0FC2; // units digits: lower in the high nibble, upper in the low
} // namespace BandBytes

// The process-wide band values: limits in whole MHz, the upper one exclusive.
struct BandLimits {
    int lower = 136;
    int upper = 174;
    int width = 38;
    int index = 0;
};

constexpr int BandCount = 3;

// The band table: 0 = 136-174, 1 = 400-470, 2 = 340-400 MHz. Other indexes give band 0.
BandLimits BandOfIndex(int index);

// "136-174", "400-470", "340-400": the band selector's texts.
QString BandText(int index);

// "Default_136174.dat" and so on; empty for an index outside the table.
QString DefaultImageName(int index);

// Reads 0x0FC0-0x0FC2: limits, band index (0 for any pair outside the table) and width.
// Unusable bytes (any above 0x99, a lower limit of 0 or one not below the upper
// limit) give 136-174 MHz.
BandLimits DecodeBandLimits(const MemoryImage& image);

// Writes the lower and upper limit into 0x0FC0-0x0FC2.
void EncodeBandLimits(MemoryImage& image, const BandLimits& band);

// Loads the default image of the band from `folder`. False (with `error`) when the
// index is outside the table or the file cannot be loaded; the image is then unchanged.
bool LoadDefaultImage(MemoryImage& image, int bandIndex, const QString& folder, QString* error);

} // namespace kestrel
