#include "measure/units.h"

#include <cmath>
#include <limits>

double ValUnits(const MeasureState& state, double r) {
  const double ppi = state.ImgCalibration.PixelPerInch;
  if (ppi == 0) return 0;
  return r * state.Units / ppi;
}

double UnitsVal(const MeasureState& state, double r) {
  if (state.Units == 0) return 0;
  return r * state.ImgCalibration.PixelPerInch / state.Units;
}

std::string StrUnitsD(const MeasureState& state, double v, int d) {
  const double ppi = state.ImgCalibration.PixelPerInch;
  if (ppi == 0) return {};
  const Extended p = std::pow(10.0L, static_cast<Extended>(d));
  const Extended scaled = static_cast<Extended>(state.Units) / ppi * v * p;
  const Extended r = static_cast<Extended>(Round64(scaled)) / p;
  return FormatFixed(r, d);
}

std::string StrUnits(const MeasureState& state, double v) { return StrUnitsD(state, v, state.Digits); }

double GetWidth(double r, double f) { return r * f; }

double GetDepth(const MeasureState& state, double r, double f) {
  if (r < 1e-6) r = 0;
  return LUTN(state.ImgCalibration, r * state.ImgCalibration.ZFaktor) * f;
}

double GetRadius(const MeasureState& state, double r) {
  if (r < 1e-6) r = 0;
  return LUTN(state.ImgCalibration, r * state.ImgCalibration.ZFaktor) * 2 * state.ImgCalibration.RFaktor;
}

double LUTN(const TImgCalibration& calibration, double v) {
  const auto& x = calibration.LUTX;
  const auto& y = calibration.LUTY;
  if (x[1] <= 0) return v;
  int i = 1;
  while (i < 5 && v > x[i] && x[i] > 0) ++i;
  if (i == 5) return v + y[5];
  if (x[i] > x[i - 1]) {
    return v + ((x[i] - v) * y[i - 1] + (v - x[i - 1]) * y[i]) / (x[i] - x[i - 1]);
  }
  return v + (y[i - 1] + y[i]) / 2;
}

long long SerialNumber(std::string_view text) {
  std::size_t i = text.find_first_not_of(' ');
  long long number = 0;
  constexpr long long kMax = std::numeric_limits<int>::max();
  for (; i != std::string_view::npos && i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = number * 10 + (text[i] - '0');
    if (number > kMax) number = kMax;
  }
  return number;
}

std::string SerialText(long long number) {
  std::string serial = std::to_string(number);
  if (serial.size() < 5) serial.insert(0, 5 - serial.size(), '0');
  return serial;
}

std::string GetSerial(MeasureState& state) {
  state.SNEditText = SerialText(SerialNumber(state.SNEditText));
  return state.SNEditText;
}

double TrapezLinInv(double px, double /*py*/) { return px; }
