#pragma once

// Conversions from image pixels to display units (mm, inch, mil), the
// linearisation table and the serial number text.

#include <string>
#include <string_view>

#include "measure/records.h"

// r pixels in display units: r * Units / PixelPerInch; 0 when PixelPerInch is 0.
double ValUnits(const MeasureState& state, double r);
// r display units in pixels: r * PixelPerInch / Units; 0 when Units is 0.
double UnitsVal(const MeasureState& state, double r);
// v pixels as display text with `Digits` decimals; empty when PixelPerInch is 0.
std::string StrUnits(const MeasureState& state, double v);
// As StrUnits with d decimals.
std::string StrUnitsD(const MeasureState& state, double v, int d);

double GetWidth(double r, double f);
// LUTN(r * ZFaktor) * f; r below 1e-6 counts as 0.
double GetDepth(const MeasureState& state, double r, double f);
// LUTN(r * ZFaktor) * 2 * RFaktor; r below 1e-6 counts as 0.
double GetRadius(const MeasureState& state, double r);
// v corrected by the six-point linearisation table (LUTX, LUTY).
double LUTN(const TImgCalibration& calibration, double v);

// Normalises SNEditText to a decimal number of at least five digits,
// stores it back and returns it ("7" -> "00007", "12AB" -> "00012").
std::string GetSerial(MeasureState& state);
// The number a serial text holds: leading blanks skipped, the digits up to the
// first other character (0 when there are none), at most the largest int.
long long SerialNumber(std::string_view text);
// A serial number as text of at least five digits (42 -> "00042").
std::string SerialText(long long number);

// The inverse trapezoid correction is the identity: returns px.
double TrapezLinInv(double px, double py);
