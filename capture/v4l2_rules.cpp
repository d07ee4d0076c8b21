#include "capture/v4l2_rules.h"

#include <algorithm>
#include <cmath>

#include <linux/videodev2.h>

#include "capture/videology.h"

namespace {

constexpr double kUnitsPerSecond = 10000;  // the driver counts 100 us

}  // namespace

std::int64_t ClampToRange(std::int64_t value, const ControlRange& range) {
  if (range.maximum <= range.minimum) return range.minimum;
  value = std::clamp(value, range.minimum, range.maximum);
  if (range.step <= 1) return value;
  const std::int64_t steps = (value - range.minimum + (range.step - 1) / 2) / range.step;
  return std::min(range.minimum + steps * range.step, range.maximum);
}

std::int64_t ExposureUnits(int step, const ControlRange& range) {
  const double seconds = ShutterSeconds(step);
  if (seconds <= 0) return range.minimum;
  return ClampToRange(static_cast<std::int64_t>(std::nearbyint(seconds * kUnitsPerSecond)), range);
}

std::vector<CaptureMode> OrderModes(const std::vector<CaptureMode>& offered, CaptureMode preferred) {
  const auto same = [](CaptureMode a, CaptureMode b) { return a.width == b.width && a.height == b.height; };
  std::vector<CaptureMode> modes;
  if (std::any_of(offered.begin(), offered.end(), [&](CaptureMode m) { return same(m, preferred); })) {
    modes.push_back(preferred);
  }
  for (CaptureMode mode : offered) {
    if (std::none_of(modes.begin(), modes.end(), [&](CaptureMode m) { return same(m, mode); })) {
      modes.push_back(mode);
    }
  }
  return modes;
}

std::uint32_t AcceptedRowStride(const FormatAnswer& answer, CaptureMode requested) {
  if (answer.pixelFormat != V4L2_PIX_FMT_BGR24) return 0;
  if (answer.width != requested.width || answer.height != requested.height) return 0;
  const auto packed = static_cast<std::uint32_t>(requested.width) * 3;
  return std::max(answer.bytesPerLine, packed);
}
