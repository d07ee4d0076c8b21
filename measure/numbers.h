#pragma once

// Number conventions of the measurement code: Extended precision, rounding to
// the nearest integer with halves to even, and the fixed text forms of numbers.

#include <cstdint>
#include <string>

using Extended = long double;

// Nearest integer, halves to the even neighbour. Saturates at +-1e9 so that the
// result can index and be added to without overflow; NaN gives 0.
int Round(Extended v);

// As Round, for 64-bit results (sums of squares, scaled display values).
// Saturates at +-4e18; NaN gives 0.
std::int64_t Round64(Extended v);

// v in fixed-point notation with `decimals` decimals after rounding to 12
// significant digits; values of 1e12 or more are written in scientific form.
// Always a decimal point, never a comma, no thousands separator.
std::string FormatFixed(Extended v, int decimals);

// FormatFixed padded with leading blanks to at least `width` characters.
std::string FormatFixedWidth(Extended v, int decimals, int width);

// The 23-character scientific form of INI reals: a sign position (blank for
// positive values), one digit, a point, 14 digits, "E", a sign and four
// exponent digits, e.g. " 9.75000000000000E-0001".
std::string FormatIniReal(double v);

// Parses a decimal number: leading and trailing blanks are skipped; the whole
// rest must be a number ("0.975", "-2.5E+0001", "1e3"). Returns false (and
// leaves `out` untouched) for anything else.
bool ParseDecimal(const std::string& text, double& out);
