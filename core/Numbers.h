#pragma once
// The number rules every editor shares: typed numbers are read as the leading
// decimal number of the text, integer conversion rounds halves to even, and
// pattern formatting ("0.00000", "00000000", "0.0") rounds halves away from zero.
#include <QString>
#include <QtGlobal>

namespace kestrel {

// Leading decimal number of the text: optional blanks, an optional sign, digits with
// at most one decimal point. 0 when the text does not start with a number.
double LeadingNumber(const QString& text);

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
qint64 RoundHalfEven(double value);

// Rounds to the nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3).
// The value is first taken to 15 significant decimal digits, so that 146.525
// held in binary as 146.52499999... still counts as a half.
qint64 RoundHalfAway(double value);

// Formats with exactly `decimals` decimals, halves away from zero ("0.00000" style).
QString FormatFixed(double value, int decimals);

// Formats as an integer of at least `minDigits` digits, halves away from zero ("00000000").
QString FormatInteger(double value, int minDigits);

// Decimal text of a number with at most `significant` significant digits, rounded to
// nearest, without trailing zeros (the single-precision text rule of the batch editor).
QString FormatSignificant(double value, int significant);

} // namespace kestrel
