#include "measure/plausible_values.h"

#include <array>
#include <cmath>

#include "measure/numbers.h"
#include "platform/ascii_case.h"

namespace {

constexpr std::string_view kCal = "VELDRAQXCAL";

// Wide enough for every real gauge and camera, narrow enough that a value
// from a damaged file cannot pass: the nominal gauge has 3600 pixels per
// inch (a field of 9 mm on 1280 columns) and a depth factor near 1.
constexpr std::array kRanges{
    PlausibleRange{kCal, "CALVER", 0, 1000, "calibration version (0: correction factors read, else all 1)"},
    PlausibleRange{kCal, "TOP", 0, 1023, "surface row of the reference sample, camera rows"},
    PlausibleRange{kCal, "SHUTTER", 0, 18, "live shutter step, index of the 19 shutter steps"},
    PlausibleRange{kCal, "GAIN", 0, 200, "camera gain"},
    PlausibleRange{kCal, "PixelPerInch", 1800, 7200, "image scale, pixels per inch (nominal 3600)"},
    PlausibleRange{kCal, "ANGLE", -1000, 1000, "tilt of the surface, hundredths of a degree"},
    PlausibleRange{kCal, "ZFaktor", 0.5, 2, "depth factor (nominal 1)"},
    PlausibleRange{kCal, "RFaktor", 0.5, 2, "radius factor (nominal 1)"},
    PlausibleRange{kCal, "Trapez", -2, 2, "trapezoid correction (0 reads as -0.3)"},
    PlausibleRange{kCal, "LUTX", 0, 1024, "linearisation table, measured depths in pixels"},
    PlausibleRange{kCal, "LUTY", -200, 200, "linearisation table, corrections in pixels"},
};

std::string RangeNumber(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e9) return std::to_string(static_cast<long long>(value));
  return FormatFixed(value, 3);
}

// "LUTX3" has the range of "LUTX".
bool SameKey(std::string_view key, std::string_view rangeKey) {
  if (key.size() == rangeKey.size() + 1 && (rangeKey == "LUTX" || rangeKey == "LUTY") && key.back() >= '0' &&
      key.back() <= '7') {
    key.remove_suffix(1);
  }
  return EqualsIgnoringAsciiCase(key, rangeKey);
}

}  // namespace

std::span<const PlausibleRange> PlausibleRanges() { return kRanges; }

const PlausibleRange* FindPlausibleRange(std::string_view section, std::string_view key) {
  for (const PlausibleRange& range : kRanges) {
    if (EqualsIgnoringAsciiCase(section, range.section) && SameKey(key, range.key)) return &range;
  }
  return nullptr;
}

FileStatus CheckPlausible(const std::filesystem::path& file, std::string_view section, std::string_view key,
                          double value) {
  const PlausibleRange* range = FindPlausibleRange(section, key);
  if (!range || (std::isfinite(value) && value >= range->min && value <= range->max)) return FileStatus::Success();
  const std::string shown = std::isfinite(value) ? RangeNumber(value) : "no finite number";
  return FileStatus::Failure(QuotedPath(file) + ": key " + std::string(key) + " of section [" + std::string(section) +
                             "] is " + shown + ", outside " + RangeNumber(range->min) + " .. " +
                             RangeNumber(range->max) + " (" + std::string(range->meaning) +
                             "); the calibration was not loaded");
}
