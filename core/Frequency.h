#pragma once
// Frequencies in the image (four packed-BCD bytes in 10 Hz units, most significant
// byte last) and the rules that correct a typed frequency: clamp into the band and
// snap onto the radio's 2.5 kHz / 6.25 kHz raster.
#include "core/Band.h"
#include "core/MemoryImage.h"

#include <QString>

namespace kestrel {

class Prompter;
struct AppContext;

// Results of CheckFrequencyRange.
constexpr int InBand = 0;
constexpr int AboveBand = 1; // at or above the upper limit
constexpr int BelowBand = 2;

// Highest position in a line at which a four-byte frequency still fits.
constexpr int LastFrequencyPosition = LineSize - 4;

// "146.52500" from the four bytes at (line, position); erased bytes give "0.00000".
// A position outside 0-12 or a line outside the image gives "0.00000".
QString DecodeFrequency(const MemoryImage& image, int line, int position);

// Stores the leading number of `text` (MHz) into the four bytes at (line, position).
// A value that does not fit eight digits (negative, 1000 MHz or more) or a place
// outside the image stores nothing and gives false.
bool EncodeFrequency(MemoryImage& image, int line, int position, const QString& text);
// Whether EncodeFrequency would store the text (it fits eight digits).
bool FrequencyFits(const QString& text);

// InBand when lower <= value < upper, AboveBand when value >= upper, BelowBand otherwise;
// the value is the leading number of the text (0 when there is none).
int CheckFrequencyRange(const BandLimits& band, const QString& text);

// A corrected text and whether the out-of-range message is due for it.
struct CorrectedText {
    QString text;
    bool outOfRange = false;
};

// In band: snapped onto the raster. At or above the band: upper - 0.0025 MHz; below:
// the lower limit; both with outOfRange set and not snapped again.
CorrectedText CorrectFrequency(const BandLimits& band, const QString& text);

// The frequency text moved to the nearest multiple of 2.5 kHz or 6.25 kHz (2.5 kHz on a
// tie), five decimals.
QString SnapToChannelStep(const QString& text);

// A step in kHz moved to the nearest multiple of 2.5 kHz or 6.25 kHz (2.5 kHz on a tie),
// judged on the value itself, not on a text rounded to 10 Hz first (1.245 gives 0,
// 3.745 gives 2.5).
double SnapKilohertzToChannelStep(double kHz);

// A span or step in MHz: at least the band width gives width - 0.005 with outOfRange set;
// otherwise snapped, and kept below the band width without a second message.
CorrectedText CorrectFrequencySpan(const BandLimits& band, const QString& text);

// The frequency in 10 Hz units as a text with five decimals ("14652500" -> "146.52500").
QString FrequencyTextOfTenHz(qint64 tenHz);

// "Frequency is out of range." with the exclamation icon and the product name as title.
void ShowOutOfRange(Prompter& prompter, const AppContext& app);

} // namespace kestrel
