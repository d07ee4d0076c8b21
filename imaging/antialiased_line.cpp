#include "imaging/antialiased_line.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "measure/numbers.h"

namespace {

// The part of v above the pixel boundary below it, in [0, 1). For v >= 0
// this is v minus v truncated; for a point above the top (or left of the
// left) edge, truncation toward zero would give a negative part and push the
// coverage out of 0..1, so that the blended colour wrapped.
double Frac(double v) { return v - std::floor(v); }

class LinePlotter {
public:
  LinePlotter(PixelCanvas& canvas, TColor color, bool swapped) : canvas_(canvas), color_(color), swapped_(swapped) {}

  // Blends the line colour with coverage c into the pixel at (x, y), with the
  // axes exchanged for a steep line.
  void plot(double x, double y, double c) const {
    c = std::clamp(c, 0.0, 1.0);
    const int px = Round(swapped_ ? y : x);
    const int py = Round(swapped_ ? x : y);
    const TColor old = canvas_.GetPixel(px, py);
    TColor blended = 0;
    for (int k = 0; k < 3; ++k) {
      const int shift = 8 * k;
      const double p = (old >> shift) & 0xFF;
      const double l = (color_ >> shift) & 0xFF;
      const auto v = static_cast<std::uint32_t>(Round(p * (1 - c) + l * c)) & 0xFF;
      blended |= v << shift;
    }
    canvas_.SetPixel(px, py, blended);
  }

private:
  PixelCanvas& canvas_;
  TColor color_;
  bool swapped_;
};

}  // namespace

TColor BitmapCanvas::GetPixel(int x, int y) const {
  if (!bitmap_.Contains(x, y)) return 0;
  const std::uint8_t* p = bitmap_.Pixel(x, y);
  return TColor{p[2]} | TColor{p[1]} << 8 | TColor{p[0]} << 16;
}

void BitmapCanvas::SetPixel(int x, int y, TColor color) {
  if (!bitmap_.Contains(x, y)) return;
  std::uint8_t* p = bitmap_.Pixel(x, y);
  p[2] = static_cast<std::uint8_t>(color & 0xFF);
  p[1] = static_cast<std::uint8_t>((color >> 8) & 0xFF);
  p[0] = static_cast<std::uint8_t>((color >> 16) & 0xFF);
}

void DrawAntialisedLine(PixelCanvas& Canvas, double AX1, double AY1, double AX2, double AY2, TColor LineColor) {
  double x1 = AX1, y1 = AY1, x2 = AX2, y2 = AY2;
  double dx = x2 - x1;
  double dy = y2 - y1;
  const bool swapped = std::fabs(dy) > std::fabs(dx);
  if (swapped) {
    std::swap(x1, y1);
    std::swap(x2, y2);
    std::swap(dx, dy);
  }
  if (x2 < x1) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  // Not finite end points have no pixels; a line of zero length draws nothing.
  if (dx == 0 || !std::isfinite(dx) || !std::isfinite(dy)) return;
  const LinePlotter plotter(Canvas, LineColor, swapped);
  const double gradient = dy / dx;

  double xend = Round(x1);
  double yend = y1 + gradient * (xend - x1);
  double xgap = 1 - Frac(x1 + 0.5);
  const double xpxl1 = xend;
  const double ypxl1 = std::floor(yend);
  plotter.plot(xpxl1, ypxl1, (1 - Frac(yend)) * xgap);
  plotter.plot(xpxl1, ypxl1 + 1, Frac(yend) * xgap);
  double intery = yend + gradient;

  xend = Round(x2);
  yend = y2 + gradient * (xend - x2);
  xgap = Frac(x2 + 0.5);
  const double xpxl2 = xend;
  const double ypxl2 = std::floor(yend);
  plotter.plot(xpxl2, ypxl2, (1 - Frac(yend)) * xgap);
  plotter.plot(xpxl2, ypxl2 + 1, Frac(yend) * xgap);

  // Columns before -1 and after the canvas have no pixels on it; the
  // position is carried over the skipped columns in one step.
  auto start = static_cast<long long>(xpxl1) + 1;
  if (start < -1) {
    intery = intery + gradient * static_cast<double>(-1 - start);
    start = -1;
  }
  const long long last = std::min(static_cast<long long>(xpxl2) - 1,
                                  static_cast<long long>(swapped ? Canvas.Height() : Canvas.Width()));
  for (long long x = start; x <= last; ++x) {
    const auto column = static_cast<double>(x);
    plotter.plot(column, std::floor(intery), 1 - Frac(intery));
    plotter.plot(column, std::floor(intery) + 1, Frac(intery));
    intery = intery + gradient;
  }
}
