#include "station/surface_reference.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/pixel_ops.h"
#include "imaging/result_overlay.h"
#include "measure/profile.h"
#include "station/tolerance.h"

namespace {

constexpr int kProfileTop = 20;
constexpr int kProfileBottom = 400;
constexpr int kCentreColumn = 640;
constexpr int kLineWidth = 8;

}  // namespace

SurfaceReference MeasureSurfaceReference(Bitmap& frame, Extended& m, Extended& c) {
  TProfileLine profile{};
  GetLine(frame, profile, kProfileTop, kProfileBottom);
  GetRegression(profile, 0, 1279, 0, 0, 0, kProfileBottom, m, c);

  SurfaceReference found;
  found.top = std::max(kMinimumSurfaceRow, Round(m * kCentreColumn + c));
  const PixelRect rect{320, found.top - 20, 320 + 640, found.top - 20 + 40};
  found.brightness = GetImgBrightnes(frame, rect, 0);
  BitmapCanvas canvas(frame);
  DrawPenLine(canvas, 0, Round(c), 1280, Round(m * 1280 + c), overlay_colors::kRed, kLineWidth);
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
