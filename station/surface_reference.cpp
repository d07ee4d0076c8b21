#include "station/surface_reference.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/pen_line.h"
#include "imaging/pixel_ops.h"
#include "measure/profile.h"
#include "station/tolerance.h"

namespace {

constexpr int kProfileTop = 20;
constexpr int kProfileBottom = 400;
constexpr int kCentreColumn = 640;
constexpr TColor kRed = 0x0000FF;
constexpr double kLineWidth = 8;

}  // namespace

SurfaceReference MeasureSurfaceReference(Bitmap& frame, Extended& m, Extended& c) {
  TProfileLine profile{};
  GetLine(frame, profile, kProfileTop, kProfileBottom);
  GetRegression(profile, 0, 1279, 0, 0, 0, kProfileBottom, m, c);

  SurfaceReference found;
  found.top = std::max(kMinimumSurfaceRow, Round(m * kCentreColumn + c));
  const PixelRect rect{320, found.top - 20, 320 + 640, found.top - 20 + 40};
  found.brightness = GetImgBrightnes(frame, rect, 0);
  DrawPenLine(frame, 0, Round(c), 1280, Round(m * 1280 + c), kLineWidth, kRed);
  found.angle = static_cast<double>(std::atan(m) * 180 / std::numbers::pi_v<Extended>);
  return found;
}

bool SurfaceInTolerance(const TCalRef& reference, const SurfaceReference& found) {
  return std::abs(found.top - reference.CALTOP) < 50 && std::abs(found.brightness - reference.CALB) < 20 &&
         std::abs(found.angle) < 1.5;
}

bool DimensionsInTolerance(const TCalRef& reference, double width, double depth) {
  return WithinTolerance(reference.CALD - depth, 0.008) && WithinTolerance(reference.CALW - width, 0.01);
}
