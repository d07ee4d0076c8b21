#include "imaging/pen_line.h"

#include <algorithm>
#include <cmath>

namespace {

double SquaredDistanceToSegment(double px, double py, double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((px - x1) * dx + (py - y1) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = x1 + t * dx - px;
  const double ey = y1 + t * dy - py;
  return ex * ex + ey * ey;
}

}  // namespace

void DrawPenLine(Bitmap& bitmap, double x1, double y1, double x2, double y2, double width, TColor color) {
  if (bitmap.Empty() || !(width > 0) || !std::isfinite(x1 + y1 + x2 + y2)) return;
  const double half = width / 2;
  const double limit = half * half;
  const int left = std::max(0, static_cast<int>(std::floor(std::min(x1, x2) - half)));
  const int right = std::min(bitmap.Width() - 1, static_cast<int>(std::ceil(std::max(x1, x2) + half)));
  const int top = std::max(0, static_cast<int>(std::floor(std::min(y1, y2) - half)));
  const int bottom = std::min(bitmap.Height() - 1, static_cast<int>(std::ceil(std::max(y1, y2) + half)));
  const std::uint8_t red = color & 0xFF;
  const std::uint8_t green = (color >> 8) & 0xFF;
  const std::uint8_t blue = (color >> 16) & 0xFF;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      if (SquaredDistanceToSegment(x + 0.5, y + 0.5, x1, y1, x2, y2) > limit) continue;
      std::uint8_t* pixel = bitmap.Pixel(x, y);
      pixel[0] = blue;
      pixel[1] = green;
      pixel[2] = red;
    }
  }
}
