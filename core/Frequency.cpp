#include "core/Frequency.h"

#include "core/AppContext.h"
#include "core/Numbers.h"
#include "core/Prompter.h"
#include "core/StringTable.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {
constexpr int TenHzPerMHz = 100000;
constexpr int StepA = 250; // 2.5 kHz in 10 Hz units
constexpr int StepB = 625; // 6.25 kHz

bool ValidPlace(int line, int position) {
    return line >= 0 && line < LineCount && position >= 0 && position <= LastFrequencyPosition;
}

// The nearest multiple of `step`, halves away from zero.
qint64 NearestMultiple(qint64 f, qint64 step) {
    qint64 q = f / step;
    const qint64 r = f % step;
    if (2 * (r < 0 ? -r : r) >= step)
        q += f < 0 ? -1 : 1;
    return q * step;
}

// Beyond this many MHz a text is not a frequency; keeps the 10 Hz count well inside 64 bits.
constexpr double MaxMHz = 1e12;

qint64 TenHzOfText(const QString& text) {
    double v = LeadingNumber(text);
    if (!std::isfinite(v))
        v = v > 0 ? MaxMHz : -MaxMHz;
    v = qBound(-MaxMHz, v, MaxMHz);
    return RoundHalfEven(v * TenHzPerMHz);
}
} // namespace

QString FrequencyTextOfTenHz(qint64 tenHz) {
    const bool negative = tenHz < 0;
    const quint64 n = negative ? quint64(0) - quint64(tenHz) : quint64(tenHz);
    QString s = QString::number(n / TenHzPerMHz) + QLatin1Char('.') +
                QStringLiteral("%1").arg(n % TenHzPerMHz, 5, 10, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + s : s;
}

QString DecodeFrequency(const MemoryImage& image, int line, int position) {
    if (!ValidPlace(line, position))
        return FrequencyTextOfTenHz(0);
    QString digits;
    for (int k = 3; k >= 0; --k) {
        const quint8 b = image.byte(line, position + k);
        digits += QChar(0x30 + (b >> 4));
        digits += QChar(0x30 + (b & 0x0F));
    }
    // At most eight digits: the number is exact in a double.
    return FrequencyTextOfTenHz(qint64(LeadingNumber(digits)));
}

namespace {
// The eight digits of a frequency in 10 Hz units; empty when it does not fit.
QString FrequencyDigits(const QString& text) {
    // The usual form, "146.52500", is its digits as they stand (no double on the way).
    const qsizetype point = text.size() - 6;
    if (point >= 1 && point <= 3 && text.at(point) == QLatin1Char('.')) {
        QString digits(8 - point - 5, QLatin1Char('0'));
        digits += QStringView(text).left(point);
        digits += QStringView(text).mid(point + 1);
        if (std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return digits;
    }
    const double mhz = LeadingNumber(text);
    if (!std::isfinite(mhz) || mhz < 0 || mhz >= 1000)
        return QString();
    const QString digits = FormatInteger(mhz * TenHzPerMHz, 8);
    return digits.size() == 8 ? digits : QString(); // 999.999995 and above round up to nine digits
}
} // namespace

bool FrequencyFits(const QString& text) { return !FrequencyDigits(text).isEmpty(); }

bool EncodeFrequency(MemoryImage& image, int line, int position, const QString& text) {
    if (!ValidPlace(line, position))
        return false;
    const QString digits = FrequencyDigits(text);
    if (digits.isEmpty())
        return false;
    auto digit = [&](int i) { return digits[i].unicode() - '0'; };
    for (int k = 0; k < 4; ++k) {
        const int first = 6 - 2 * k; // byte +0 holds digits 7 and 8
        image.setByte(line, position + k, quint8(digit(first) * 16 + digit(first + 1)));
    }
    return true;
}

int CheckFrequencyRange(const BandLimits& band, const QString& text) {
    const double v = LeadingNumber(text);
    if (v >= band.upper)
        return AboveBand;
    if (v < band.lower)
        return BelowBand;
    return InBand;
}

QString SnapToChannelStep(const QString& text) {
    const qint64 f = TenHzOfText(text);
    const qint64 qa = NearestMultiple(f, StepA);
    const qint64 qb = NearestMultiple(f, StepB);
    qint64 result;
    if (f == qa)
        result = qa;
    else if (f == qb)
        result = qb;
    else {
        const qint64 da = f > qa ? f - qa : qa - f;
        const qint64 db = f > qb ? f - qb : qb - f;
        result = db < da ? qb : qa;
    }
    return FrequencyTextOfTenHz(result);
}

double SnapKilohertzToChannelStep(double kHz) {
    // Thousandths of the 10 Hz unit: fine enough to see 1.245 kHz below the halfway mark.
    constexpr qint64 Fine = 1000;
    constexpr double FinePerKHz = 100.0 * Fine;
    if (!std::isfinite(kHz) || qAbs(kHz) > MaxMHz)
        return 0;
    const qint64 f = RoundHalfEven(kHz * FinePerKHz);
    const qint64 qa = NearestMultiple(f, StepA * Fine);
    const qint64 qb = NearestMultiple(f, StepB * Fine);
    const qint64 da = f > qa ? f - qa : qa - f;
    const qint64 db = f > qb ? f - qb : qb - f;
    return double(db < da ? qb : qa) / FinePerKHz;
}

CorrectedText CorrectFrequency(const BandLimits& band, const QString& text) {
    switch (CheckFrequencyRange(band, text)) {
    case AboveBand:
        return {FormatFixed(band.upper - 0.0025, 5), true};
    case BelowBand:
        return {FormatFixed(band.lower, 5), true};
    default:
        break;
    }
    QString snapped = SnapToChannelStep(text);
    // Just below the upper limit the raster rounds up onto the limit itself, which is
    // outside the band and would empty the channel; take the highest step inside.
    if (CheckFrequencyRange(band, snapped) != InBand)
        snapped = FormatFixed(band.upper - 0.0025, 5);
    return {snapped, false};
}

CorrectedText CorrectFrequencySpan(const BandLimits& band, const QString& text) {
    const QString top = FormatFixed(band.width - 0.005, 5);
    if (LeadingNumber(text) >= band.width)
        return {top, true};
    const QString snapped = SnapToChannelStep(text);
    if (LeadingNumber(snapped) >= band.width)
        return {top, false};
    return {snapped, false};
}

void ShowOutOfRange(Prompter& prompter, const AppContext& app) {
    prompter.message(app.productName, LoadText(1229, app.language), Prompter::Icon::Exclamation,
                     Prompter::Buttons::Ok, Prompter::Answer::Ok);
}

} // namespace kestrel
