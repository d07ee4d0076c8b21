#include "report/report_artwork.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct Point {
  double x, y;
};
using Stroke = std::vector<Point>;

struct Colour {
  double blue, green, red;
};

double SegmentDistance(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return std::sqrt(ex * ex + ey * ey);
}

void Blend(Bitmap& bitmap, int x, int y, Colour c, double coverage) {
  if (coverage <= 0 || !bitmap.Contains(x, y)) return;
  coverage = std::min(coverage, 1.0);
  std::uint8_t* p = bitmap.Pixel(x, y);
  const double target[3] = {c.blue, c.green, c.red};
  for (int k = 0; k < 3; ++k) p[k] = static_cast<std::uint8_t>(std::lround(p[k] + (target[k] - p[k]) * coverage));
}

// Strokes of `width` pixels with round ends and joins; coverage by distance
// gives a one-pixel soft edge.
void DrawStrokes(Bitmap& bitmap, const std::vector<Stroke>& strokes, double width, Colour c) {
  const double half = width / 2;
  for (const Stroke& stroke : strokes) {
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (Point p : stroke) {
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    for (int y = static_cast<int>(minY - half - 1); y <= static_cast<int>(maxY + half + 1); ++y) {
      for (int x = static_cast<int>(minX - half - 1); x <= static_cast<int>(maxX + half + 1); ++x) {
        const Point centre{x + 0.5, y + 0.5};
        double distance = 1e9;
        for (std::size_t i = 0; i + 1 < stroke.size(); ++i) distance = std::min(distance, SegmentDistance(centre, stroke[i], stroke[i + 1]));
        if (stroke.size() == 1) distance = SegmentDistance(centre, stroke[0], stroke[0]);
        Blend(bitmap, x, y, c, half + 0.5 - distance);
      }
    }
  }
}

void FillEllipse(Bitmap& bitmap, Point centre, double rx, double ry, Colour c) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      const double dx = (x + 0.5 - centre.x) / rx, dy = (y + 0.5 - centre.y) / ry;
      const double r = std::sqrt(dx * dx + dy * dy);
      Blend(bitmap, x, y, c, (1 - r) * std::min(rx, ry) + 0.5);
    }
  }
}

Stroke Arc(Point centre, double r, double fromDegrees, double toDegrees) {
  Stroke arc;
  const int steps = 24;
  for (int i = 0; i <= steps; ++i) {
    const double a = (fromDegrees + (toDegrees - fromDegrees) * i / steps) * std::numbers::pi / 180;
    arc.push_back({centre.x + r * std::cos(a), centre.y - r * std::sin(a)});
  }
  return arc;
}

// Letters on a grid 4 wide and 6 high, as strokes.
std::vector<Stroke> Letter(char c) {
  switch (c) {
    case 'P': return {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}};
    case 'A': return {{{0, 6}, {2, 0}, {4, 6}}, {{0.7, 4}, {3.3, 4}}};
    case 'S':
      return {{{4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 2}, {1, 3}, {3, 3}, {4, 4}, {4, 5}, {3, 6}, {1, 6}, {0, 5}}};
    case 'V': return {{{0, 0}, {2, 6}, {4, 0}}};
    case 'E': return {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}};
    case 'L': return {{{0, 0}, {0, 6}, {4, 6}}};
    case 'D': return {{{0, 0}, {0, 6}, {2.5, 6}, {4, 4.5}, {4, 1.5}, {2.5, 0}, {0, 0}}};
    case 'R': return {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}, {{2, 3}, {4, 6}}};
    case 'Q': return {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}, {{2.6, 4.4}, {4.2, 6.4}}};
    case 'X': return {{{0, 0}, {4, 6}}, {{4, 0}, {0, 6}}};
    default: return {};
  }
}

// A word with letters `scale` pixels per grid unit, left edge at x, top at y.
std::vector<Stroke> Word(const char* text, double x, double y, double scale, double gap) {
  std::vector<Stroke> strokes;
  for (const char* c = text; *c; ++c) {
    for (Stroke stroke : Letter(*c)) {
      for (Point& p : stroke) p = {x + p.x * scale, y + p.y * scale};
      strokes.push_back(stroke);
    }
    x += 4 * scale + gap;
  }
  return strokes;
}

double WordWidth(const char* text, double scale, double gap) {
  const double n = static_cast<double>(std::char_traits<char>::length(text));
  return n * 4 * scale + (n - 1) * gap;
}

constexpr Colour kInk{40, 40, 40};
constexpr Colour kBlue{120, 50, 20};  // dark blue (blue, green, red)

// The channel outline the icons share: surface on both sides, flanks down to
// a bottom between x 38 and 62.
std::vector<Stroke> Channel(bool round, bool vee) {
  if (vee) return {{{4, 6}, {34, 6}, {50, 27}, {66, 6}, {96, 6}}};
  if (round) {
    Stroke s{{4, 6}, {32, 6}};
    for (Point p : Arc({50, 8}, 18, 180, 360)) s.push_back(p);
    s.push_back({96, 6});
    return {s};
  }
  return {{{4, 6}, {30, 6}, {38, 26}, {62, 26}, {70, 6}, {96, 6}}};
}

std::vector<Stroke> Arrow(Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
  const double ux = dx / length, uy = dy / length, head = 4;
  return {{a, b},
          {{a.x + head * (ux - uy), a.y + head * (uy + ux)}, a, {a.x + head * (ux + uy), a.y + head * (uy - ux)}},
          {{b.x - head * (ux - uy), b.y - head * (uy + ux)}, b, {b.x - head * (ux + uy), b.y - head * (uy - ux)}}};
}

}  // namespace

Bitmap DrawPassStamp() {
  Bitmap stamp(kStampWidth, kStampHeight);
  stamp.Fill(255, 255, 255);
  const Point centre{kStampWidth / 2.0, kStampHeight / 2.0};
  FillEllipse(stamp, centre, 128, 78, {40, 140, 30});   // dark green ring
  FillEllipse(stamp, centre, 118, 68, {90, 200, 80});   // green face
  const double scale = 11, gap = 12;
  const double left = centre.x - WordWidth("PASS", scale, gap) / 2;
  DrawStrokes(stamp, Word("PASS", left, centre.y - 3 * scale, scale, gap), 9, {25, 45, 20});
  return stamp;
}

Bitmap DrawReportIcon(ReportIcon icon) {
  Bitmap bitmap(kIconWidth, kIconHeight);
  bitmap.Fill(255, 255, 255);
  std::vector<Stroke> strokes;
  auto add = [&strokes](const std::vector<Stroke>& more) { strokes.insert(strokes.end(), more.begin(), more.end()); };
  switch (icon) {
    case ReportIcon::Depth:
      add(Channel(false, false));
      add(Arrow({50, 8}, {50, 24}));
      break;
    case ReportIcon::Width:
      add(Channel(false, false));
      add(Arrow({32, 12}, {68, 12}));
      break;
    case ReportIcon::Radius:
      add(Channel(true, false));
      add({{{50, 8}, {50 + 18 * std::cos(-0.9), 8 - 18 * std::sin(-0.9)}}});
      add({{{50, 8}}});
      break;
    case ReportIcon::FlankAngle:
      add(Channel(false, true));
      add({Arc({50, 27}, 11, 53, 127)});
      break;
    case ReportIcon::OpeningAngle:
      add(Channel(false, false));
      add({{{50, 26}, {24, 2}}, {{50, 26}, {76, 2}}});
      add({Arc({50, 26}, 13, 47, 133)});
      break;
    case ReportIcon::Level:
      add(Channel(false, false));
      add({{{30, 16}, {37, 16}}, {{41, 16}, {48, 16}}, {{52, 16}, {59, 16}}, {{63, 16}, {70, 16}}});
      add(Arrow({84, 6}, {84, 16}));
      break;
  }
  DrawStrokes(bitmap, strokes, 2.2, kInk);
  return bitmap;
}

Bitmap DrawBrandLogo() {
  Bitmap logo(kBrandLogoWidth, kBrandLogoHeight);
  logo.Fill(255, 255, 255);
  const double scale = 6.5, gap = 7;
  DrawStrokes(logo, Word("VELDRA", (kBrandLogoWidth - WordWidth("VELDRA", scale, gap)) / 2, 6, scale, gap), 5, kBlue);
  for (int y = 52; y < 74; ++y) {
    for (int x = 8; x < kBrandLogoWidth - 8; ++x) Blend(logo, x, y, {0, 242, 255}, 1);
  }
  const double small = 2.6;
  DrawStrokes(logo, Word("QX", (kBrandLogoWidth - WordWidth("QX", small, 5)) / 2, 55, small, 5), 2.6, kBlue);
  return logo;
}
