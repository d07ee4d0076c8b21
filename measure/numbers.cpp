#include "measure/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Adding and removing 1.5 * 2^63 pushes the fraction out of the 64-bit
// mantissa: the nearest integer, halves to even, for every |v| < 2^62, as
// nearbyintl gives it but without its costly save of the floating-point
// environment (the profile smoothing rounds hundreds of thousands of values).
Extended NearestIntegral(Extended v) {
  constexpr Extended kShift = 0x1.8p63L;
  return (v + kShift) - kShift;
}

}  // namespace

int Round(Extended v) {
  if (std::isnan(v)) return 0;
  constexpr Extended kLimit = 1e9L;
  if (v > kLimit) return static_cast<int>(kLimit);
  if (v < -kLimit) return static_cast<int>(-kLimit);
  return static_cast<int>(NearestIntegral(v));
}

std::int64_t Round64(Extended v) {
  if (std::isnan(v)) return 0;
  constexpr Extended kLimit = 4e18L;
  if (v > kLimit) return static_cast<std::int64_t>(kLimit);
  if (v < -kLimit) return static_cast<std::int64_t>(-kLimit);
  return static_cast<std::int64_t>(NearestIntegral(v));
}

std::string FormatFixed(Extended v, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 18) decimals = 18;
  char buffer[128];
  if (!std::isfinite(v)) {
    std::snprintf(buffer, sizeof buffer, "%s", std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF"));
    return buffer;
  }
  if (std::fabs(v) >= 1e12L) {
    std::snprintf(buffer, sizeof buffer, "%.11LE", v);
  } else {
    // Round to 12 significant digits first, then lay out the decimals.
    std::snprintf(buffer, sizeof buffer, "%.11Le", v);
    Extended significant = 0;
    std::string rounded(buffer);
    if (auto comma = rounded.find(','); comma != std::string::npos) rounded[comma] = '.';
    std::from_chars(rounded.data(), rounded.data() + rounded.size(), significant);
    std::snprintf(buffer, sizeof buffer, "%.*Lf", decimals, significant);
  }
  std::string text(buffer);
  // A locale set by a GUI toolkit may give a comma; the program always shows a point.
  if (auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  return text;
}

std::string FormatFixedWidth(Extended v, int decimals, int width) {
  std::string text = FormatFixed(v, decimals);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string FormatIniReal(double v) {
  char buffer[64];
  if (!std::isfinite(v)) v = 0;
  std::snprintf(buffer, sizeof buffer, "%.14E", v);  // e.g. 9.75000000000000E-01
  std::string text(buffer);
  if (auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  auto e = text.find('E');
  std::string mantissa = text.substr(0, e);
  char sign = text[e + 1];
  int exponent = std::atoi(text.c_str() + e + 2);
  char exponentText[16];
  std::snprintf(exponentText, sizeof exponentText, "E%c%04d", sign, exponent);
  if (mantissa[0] != '-') mantissa.insert(mantissa.begin(), ' ');
  return mantissa + exponentText;
}

bool ParseDecimal(const std::string& text, double& out) {
  std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return false;
  std::size_t end = text.find_last_not_of(" \t");
  std::string body = text.substr(begin, end - begin + 1);
  // Only plain decimal and scientific forms; no hex, inf or nan spellings.
  for (char ch : body) {
    bool allowed = (ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+' || ch == 'e' || ch == 'E';
    if (!allowed) return false;
  }
  if (body[0] == '+') body.erase(0, 1);  // from_chars takes no plus sign
  double value = 0;
  auto [stop, error] = std::from_chars(body.data(), body.data() + body.size(), value);
  if (error != std::errc() || stop != body.data() + body.size() || !std::isfinite(value)) return false;
  out = value;
  return true;
}
