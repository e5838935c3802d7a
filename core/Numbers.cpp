#include "core/Numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kestrel {

double LeadingNumber(const QString& text) {
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    std::string digits;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        digits += char(text[i].unicode());
        ++i;
    }
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits += char(c.unicode());
            seenDigit = true;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            digits += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0.0;
    return std::strtod(digits.c_str(), nullptr);
}

namespace {
// Beyond +-2^62 a double no longer converts safely; such numbers are held there.
constexpr double IntegerLimit = 4611686018427387904.0;
double Saturated(double value) { return value > IntegerLimit ? IntegerLimit : value < -IntegerLimit ? -IntegerLimit : value; }
} // namespace

qint64 RoundHalfEven(double value) {
    if (!std::isfinite(value))
        return 0;
    return qint64(Saturated(std::nearbyint(value))); // default rounding mode: to nearest, ties to even
}

namespace {
// The value as a decimal number with 15 significant digits: the precision a
// double reliably carries, which is what a user typed.
long double Decimal15(double value) {
    if (!std::isfinite(value) || value == 0.0)
        return 0.0L;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    return std::strtold(buf, nullptr);
}
} // namespace

qint64 RoundHalfAway(double value) {
    long double d = Decimal15(value);
    d = d > IntegerLimit ? IntegerLimit : d < -IntegerLimit ? -IntegerLimit : d;
    return qint64(std::llround(d)); // llround: halves away from zero
}

QString FormatFixed(double value, int decimals) {
    if (!std::isfinite(value))
        value = 0.0;
    // Work on a decimal digit string so the half decision is made in decimal.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    // buf: [-]d.dddddddddddddde[+-]xx
    std::string s(buf);
    const bool negative = s[0] == '-';
    if (negative)
        s.erase(0, 1);
    const auto epos = s.find('e');
    const int exponent = std::atoi(s.c_str() + epos + 1);
    std::string mant = s.substr(0, 1) + s.substr(2, epos - 2); // 15 digits
    // Integer part has exponent + 1 digits. Build digits so that the decimal point
    // sits after position intDigits.
    int intDigits = exponent + 1;
    if (intDigits <= 0) {
        mant.insert(0, std::string(size_t(1 - intDigits), '0'));
        intDigits = 1;
    }
    const int keep = intDigits + decimals;
    if (int(mant.size()) < keep + 1)
        mant.append(size_t(keep + 1 - int(mant.size())), '0');
    const bool roundUp = mant[size_t(keep)] >= '5';
    std::string kept = mant.substr(0, size_t(keep));
    if (roundUp) {
        int k = keep - 1;
        while (k >= 0) {
            if (kept[size_t(k)] == '9') {
                kept[size_t(k)] = '0';
                --k;
            } else {
                ++kept[size_t(k)];
                break;
            }
        }
        if (k < 0) {
            kept.insert(0, "1");
            ++intDigits;
        }
    }
    std::string intPart = kept.substr(0, size_t(intDigits));
    const std::string fracPart = kept.substr(size_t(intDigits));
    const auto nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    std::string out = intPart;
    if (decimals > 0)
        out += "." + fracPart;
    const bool allZero = out.find_first_not_of("0.") == std::string::npos;
    if (negative && !allZero)
        out.insert(0, "-");
    return QString::fromStdString(out);
}

QString FormatInteger(double value, int minDigits) {
    QString s = FormatFixed(value, 0);
    const bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s.remove(0, 1);
    while (s.size() < minDigits)
        s.prepend(QLatin1Char('0'));
    return negative ? QLatin1Char('-') + s : s;
}

QString FormatSignificant(double value, int significant) {
    if (!std::isfinite(value) || value == 0.0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", significant, value);
    QString s = QString::fromLatin1(buf);
    if (s.contains(QLatin1Char('e'))) {
        // Plain decimal notation only.
        s = QString::number(std::strtod(buf, nullptr), 'f', significant);
    }
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s;
}

} // namespace kestrel
