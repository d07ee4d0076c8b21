#include "measure/plausible_values.h"

#include <array>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

#include "platform/ascii_case.h"

namespace {

constexpr std::string_view kCal = "VELDRAQXCAL";
constexpr std::string_view kCalSetup = "VELDRAQXCALSETUP";
constexpr std::string_view kSetup = "VELDRAQXSETUP";
constexpr std::string_view kTarget = "MORKELTARGET";

// Wide enough for every real gauge and camera, narrow enough that a value
// from a damaged file cannot pass: the nominal gauge has 3600 pixels per
// inch (a field of 9 mm on 1280 columns and 7.2 mm on 1024 rows) and a depth
// factor near 1. Channels it measures are 0.05 to 4 mm deep and 0.2 to 8 mm
// wide.
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
    PlausibleRange{kCal, "LUTX", 0, 1024, "linearisation table, measured depths in pixels", 0, 5},
    PlausibleRange{kCal, "LUTY", -200, 200, "linearisation table, corrections in pixels", 0, 5},
    PlausibleRange{"VELDRAQX", "UNITS_mm", 1, 100000, "ten times the display units per inch: 254 mm, 10 inch, 10000 mil"},
    PlausibleRange{kCalSetup, "CALTOP", 0, 1023, "expected surface row of the flat reference, camera rows"},
    PlausibleRange{kCalSetup, "CALB", 0, 65535, "expected brightness of the flat reference, grey value"},
    PlausibleRange{kCalSetup, "CALD", 50, 4000, "depth of the calibration channel, micrometres"},
    PlausibleRange{kCalSetup, "CALW", 200, 8000, "width of the calibration channel, micrometres"},
    PlausibleRange{kCalSetup, "COUNTH", 1, 100, "captures averaged into one calibration"},
    PlausibleRange{kCalSetup, "LEVEL", 0, 3, "points of the calibration width: 0 surface, 1 10 px, 2 20 %, 3 50 %"},
    PlausibleRange{kSetup, "D", 50, 4000, "depths of the linearity reference channels, micrometres", 1, 5},
    PlausibleRange{kTarget, "TD", 50, 4000, "target depth of the verification channel, micrometres"},
    PlausibleRange{kTarget, "TW", 200, 8000, "target width of the verification channel, micrometres"},
};

// The shortest text of a number (0.5, 3600, 1e+308), in every locale.
std::string RangeNumber(double value) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << std::setprecision(10) << value;
  return text.str();
}

// "LUTX3" has the range of "LUTX" (indices 0..5).
bool SameKey(std::string_view key, const PlausibleRange& range) {
  if (range.firstIndex < 0) return EqualsIgnoringAsciiCase(key, range.key);
  if (key.size() != range.key.size() + 1) return false;
  const int index = key.back() - '0';
  return index >= range.firstIndex && index <= range.lastIndex &&
         EqualsIgnoringAsciiCase(key.substr(0, range.key.size()), range.key);
}

}  // namespace

std::span<const PlausibleRange> PlausibleRanges() { return kRanges; }

const PlausibleRange* FindPlausibleRange(std::string_view section, std::string_view key) {
  for (const PlausibleRange& range : kRanges) {
    if (EqualsIgnoringAsciiCase(section, range.section) && SameKey(key, range)) return &range;
  }
  return nullptr;
}

FileStatus CheckPlausible(const std::filesystem::path& file, std::string_view section, std::string_view key,
                          double value, std::string_view consequence) {
  const PlausibleRange* range = FindPlausibleRange(section, key);
  if (!range || (std::isfinite(value) && value >= range->min && value <= range->max)) return FileStatus::Success();
  const std::string shown = std::isfinite(value) ? RangeNumber(value) : "no finite number";
  return FileStatus::Failure(QuotedPath(file) + ": key " + std::string(key) + " of section [" + std::string(section) +
                             "] is " + shown + ", outside " + RangeNumber(range->min) + " .. " +
                             RangeNumber(range->max) + " (" + std::string(range->meaning) +
                             "); " + std::string(consequence));
}
