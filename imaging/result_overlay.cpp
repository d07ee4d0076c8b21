#include "imaging/result_overlay.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <utility>
#include <vector>

#include "measure/numbers.h"

namespace {

using namespace overlay_colors;

void Dot(PixelCanvas& canvas, int cx, int cy, TColor color, int width) {
  if (width <= 1) {
    canvas.SetPixel(cx, cy, color);
    return;
  }
  const double r = width / 2.0;
  const int reach = width / 2;
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      if (dx * dx + dy * dy <= r * r) canvas.SetPixel(cx + dx, cy + dy, color);
    }
  }
}

// Calls plot(x, y) for every point of the Bresenham line, the end included.
template <typename Plot>
void WalkLine(int x1, int y1, int x2, int y2, Plot plot) {
  const int dx = std::abs(x2 - x1);
  const int dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1;
  const int sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  while (true) {
    plot(x1, y1);
    if (x1 == x2 && y1 == y2) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x1 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y1 += sy;
    }
  }
}

void Segments(PixelCanvas& canvas, const std::vector<TRealPoint>& points, TColor color) {
  for (std::size_t i = 1; i < points.size(); ++i) {
    DrawAntialisedLine(canvas, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, color);
  }
}


}  // namespace

void DrawPenLine(PixelCanvas& canvas, int x1, int y1, int x2, int y2, TColor color, int width) {
  if (width <= 1) {
    WalkLine(x1, y1, x2, y2, [&](int x, int y) {
      if (x != x2 || y != y2) canvas.SetPixel(x, y, color);
    });
    return;
  }
  WalkLine(x1, y1, x2, y2, [&](int x, int y) { Dot(canvas, x, y, color, width); });
}

void DrawArc(PixelCanvas& canvas, int left, int top, int right, int bottom, int startX, int startY, int endX,
             int endY, TColor color) {
  // The ellipse runs through the pixel centres of the box, right and bottom
  // edges excluded, as a raster device fills a bounding rectangle.
  const double cx = (left + right - 1) / 2.0;
  const double cy = (top + bottom - 1) / 2.0;
  const double rx = (right - left - 1) / 2.0;
  const double ry = (bottom - top - 1) / 2.0;
  if (rx < 0 || ry < 0) return;
  // Angles in the screen's own sense: counter-clockwise as seen means the
  // angle of (x - cx, cy - y) grows.
  const double a0 = std::atan2(cy - startY, startX - cx);
  double a1 = std::atan2(cy - endY, endX - cx);
  while (a1 <= a0) a1 += 2 * std::numbers::pi;
  const double sweep = a1 - a0;
  const int steps = std::max(8, static_cast<int>(std::ceil(sweep * std::max(rx, ry) * 2)));
  int px = Round(cx + rx * std::cos(a0));
  int py = Round(cy - ry * std::sin(a0));
  canvas.SetPixel(px, py, color);
  for (int i = 1; i <= steps; ++i) {
    const double a = a0 + sweep * i / steps;
    const int x = Round(cx + rx * std::cos(a));
    const int y = Round(cy - ry * std::sin(a));
    if (x == px && y == py) continue;
    WalkLine(px, py, x, y, [&](int lx, int ly) { canvas.SetPixel(lx, ly, color); });
    px = x;
    py = y;
  }
}

void DrawResult(MeasureState& state, Bitmap& picture) {
  BitmapCanvas canvas(picture);
  TChannel& c = state.MyChannel;
  const TProfileLine& line = state.MyLine;
  const int W = picture.Width();

  // Profile, between the first lit column of the left margin and the last of
  // the right margin.
  int i0 = 100;
  for (int i = 0; i <= 99; ++i) {
    if (line[i] > 0) {
      i0 = i;
      break;
    }
  }
  int n = W - 100;
  for (int i = W - 1; i >= W - 99; --i) {
    if (i < kProfileLength && line[i] > 0) {
      n = i;
      break;
    }
  }
  for (int i = i0; i < n && i + 1 < kProfileLength; ++i) {
    for (int j = -1; j <= 1; ++j) {
      DrawAntialisedLine(canvas, i, line[i] + j, i + 1, line[i + 1] + j, kYellow);
    }
  }

  // Depth marker at the centre column.
  if (c.spunkt >= 0 && c.spunkt < kProfileLength) {
    const int surfaceY = Round(static_cast<double>(c.spunkt * c.tm + c.tc));
    DrawPenLine(canvas, c.spunkt, surfaceY, c.spunkt, line[c.spunkt], kYellow, 3);
  }

  // Surface line.
  for (int j = -1; j <= 1; ++j) {
    DrawAntialisedLine(canvas, 0, Round(static_cast<double>(c.tc) + j), 1280,
                       Round(static_cast<double>(c.tm * 1280 + c.tc) + j), kAqua);
  }

  // Measuring chord at the chosen level.
  DrawPenLine(canvas, Round(c.plc.x), Round(c.plc.y), Round(c.prc.x), Round(c.prc.y), kAqua, 1);

  if (c.plr.x > c.prr.x) std::swap(c.plr, c.prr);

  switch (c.shape) {
    case 2: {
      Segments(canvas, {c.plt, c.pl10, c.pl20, c.pl30, c.pl40, c.pl50, c.plr}, kAqua);
      Segments(canvas, {c.prr, c.pr50, c.pr40, c.pr30, c.pr20, c.pr10, c.prt}, kAqua);
      DrawArc(canvas, Round(c.mx - c.radius), Round(c.my - c.radius), Round(c.mx + c.radius),
              Round(c.my + c.radius), Round(c.plr.x), Round(c.plr.y), Round(c.prr.x),
              Round(c.prr.y), kAqua);
      break;
    }
    case 1:
      Segments(canvas,
               {c.plt, c.pl10, c.pl20, c.pl30, c.pl40, c.pl50, c.plv, c.psv, c.prv, c.pr50, c.pr40, c.pr30, c.pr20,
                c.pr10, c.prt},
               kAqua);
      break;
    default:
      Segments(canvas,
               {c.plt, c.pl10, c.pl20, c.pl30, c.pl40, c.pl50, c.pl80, c.plb, c.prb, c.pr80, c.pr50, c.pr40, c.pr30,
                c.pr20, c.pr10, c.prt},
               kAqua);
      break;
  }

  if (c.alphaO > 0) {
    DrawAntialisedLine(canvas, c.pl20.x, c.pl20.y, c.pl80.x, c.pl80.y, kFuchsia);
    DrawAntialisedLine(canvas, c.pr80.x, c.pr80.y, c.pr20.x, c.pr20.y, kFuchsia);
  }
}
