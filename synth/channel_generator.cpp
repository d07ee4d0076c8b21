#include "synth/channel_generator.h"

#include "synth/noise_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace synth {

namespace {

constexpr double kPi = std::numbers::pi;
// Conversion of the full width at half maximum to the Gaussian sigma.
const double kFwhmToSigma = 1.0 / (2.0 * std::sqrt(2.0 * std::log(2.0)));
// The band is drawn out to this many sigmas: beyond it the Gaussian is below
// 4e-6 of its peak, which even a gain of a few hundred does not lift above 1.
constexpr double kBandReach = 5.0;

// A point of the channel relative to its centre: u columns right of the
// centre, d rows below the surface line at that column.
struct OutlinePoint {
  double u;
  double d;
};

// The round bottom: a circle of radius r whose centre lies zc rows below the
// surface (negative when above it). Between |u| = tangentU and the edge the
// profile is a straight flank from (tangentU, tangentD) up to the surface
// edge; when the edge lies inside the circle the flank is a vertical wall.
struct RoundBottom {
  double r;
  double zc;
  double tangentU;
  double tangentD;
};

double HalfWidth(const ChannelGeometry& g) { return g.width / 2; }

bool HasChannel(const ChannelGeometry& g) { return g.width > 0 && g.depth > 0; }

RoundBottom MakeRoundBottom(const ChannelGeometry& g) {
  const double half = HalfWidth(g);
  RoundBottom b{};
  b.r = std::max(g.bottomRadius, 0.5);
  b.zc = g.depth - b.r;
  const double distance = std::hypot(half, b.zc);
  if (distance <= b.r) {
    // The edge lies inside the circle: the arc runs up to the edge column
    // and a vertical wall joins it to the surface.
    b.tangentU = half;
    b.tangentD = b.zc + std::sqrt(std::max(b.r * b.r - half * half, 0.0));
    return b;
  }
  // Tangent from the edge to the lower side of the circle; a tangent point
  // past the lowest point (a circle wider than the opening allows) is
  // replaced by the lowest point, leaving straight flanks.
  const double toEdge = std::atan2(-b.zc, half);
  const double phi = std::min(toEdge + std::acos(b.r / distance), kPi / 2);
  b.tangentU = b.r * std::cos(phi);
  b.tangentD = b.zc + b.r * std::sin(phi);
  return b;
}

// Horizontal run of a trapezoid flank, at most half the width (then the
// floor has vanished and the channel is a V of the given depth).
double TrapezoidRun(const ChannelGeometry& g) {
  const double angle = std::clamp(g.flankAngle, 0.0, 89.9) * kPi / 180;
  return std::min(g.depth * std::tan(angle), HalfWidth(g));
}

// Rows below the surface at offset u from the centre (0 outside the channel).
double DepthAt(const ChannelGeometry& g, double u) {
  const double half = HalfWidth(g);
  const double a = std::fabs(u);
  if (!HasChannel(g) || a >= half) return 0;
  switch (g.shape) {
    case ChannelShape::Flat:
      return g.depth;
    case ChannelShape::Trapezoid: {
      const double run = TrapezoidRun(g);
      return a > half - run ? g.depth * (half - a) / run : g.depth;
    }
    case ChannelShape::V:
      return g.depth * (1 - a / half);
    case ChannelShape::Round: {
      const RoundBottom b = MakeRoundBottom(g);
      if (a <= b.tangentU) return b.zc + std::sqrt(std::max(b.r * b.r - a * a, 0.0));
      return b.tangentD * (half - a) / (half - b.tangentU);
    }
  }
  return 0;
}

// Corners of the right half of the channel from the deepest point at the
// centre up to the surface edge; the left half is its mirror image.
std::vector<OutlinePoint> RightHalfOutline(const ChannelGeometry& g) {
  const double half = HalfWidth(g);
  std::vector<OutlinePoint> points;
  switch (g.shape) {
    case ChannelShape::Flat:
      points = {{0, g.depth}, {half, g.depth}};
      break;
    case ChannelShape::Trapezoid:
      points = {{0, g.depth}, {half - TrapezoidRun(g), g.depth}};
      break;
    case ChannelShape::V:
      points = {{0, g.depth}};
      break;
    case ChannelShape::Round: {
      const RoundBottom b = MakeRoundBottom(g);
      const double endAngle = std::asin(std::clamp((b.tangentD - b.zc) / b.r, -1.0, 1.0));
      // Arc vertices about half a pixel apart.
      const int steps = std::max(1, static_cast<int>(std::ceil((kPi / 2 - endAngle) * b.r * 2)));
      for (int i = 0; i <= steps; ++i) {
        const double angle = kPi / 2 - (kPi / 2 - endAngle) * i / steps;
        points.push_back({b.r * std::cos(angle), b.zc + b.r * std::sin(angle)});
      }
      break;
    }
  }
  points.push_back({half, 0});
  return points;
}

double SurfaceRow(const ChannelGeometry& g, double x) { return g.surfaceRow + g.surfaceSlope * x; }

using Vertex = ProfileVertex;

// The whole profile as a polyline in image coordinates, reaching a little
// beyond both image borders so that the band does not fade at them.
std::vector<Vertex> ProfilePolyline(const ChannelGeometry& g, int width) {
  const double margin = 16;
  std::vector<Vertex> vertices;
  auto add = [&](double x, double d) { vertices.push_back({x, SurfaceRow(g, x) + d, d == 0}); };
  add(-margin, 0);
  if (HasChannel(g)) {
    const std::vector<OutlinePoint> right = RightHalfOutline(g);
    for (auto it = right.rbegin(); it != right.rend(); ++it) add(g.centre - it->u, it->d);
    for (const OutlinePoint& p : right) {
      if (p.u > 0) add(g.centre + p.u, p.d);
    }
  }
  add(width + margin, 0);
  return vertices;
}

// Peak brightness of a segment of the band: the surface keeps its own; inside
// the channel the brightness goes from the floor's to the flank's with the
// steepness of the segment (a steep flank spreads the light over many rows).
float SegmentPeak(const ChannelGeometry& g, const Vertex& a, const Vertex& b) {
  if (a.onSurface && b.onSurface) return g.surfaceBrightness / 255.0f;
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const double steepness = length > 0 ? std::fabs(b.y - a.y) / length : 1;
  return static_cast<float>((g.floorBrightness * (1 - steepness) + g.flankBrightness * steepness) / 255.0);
}

// Adds the Gaussian band around one segment, keeping the brighter value
// where bands of neighbouring segments overlap.
void DrawSegment(LightSection& section, const Vertex& a, const Vertex& b, float peak, double sigma) {
  const double reach = kBandReach * sigma;
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - reach)));
  const int x1 = std::min(section.width - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + reach)));
  const int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - reach)));
  const int y1 = std::min(section.height - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + reach)));
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double lengthSquared = dx * dx + dy * dy;
  const double reachSquared = reach * reach;
  const double scale = -1 / (2 * sigma * sigma);
  for (int y = y0; y <= y1; ++y) {
    float* row = section.radiance.data() + static_cast<std::size_t>(y) * section.width;
    for (int x = x0; x <= x1; ++x) {
      const double px = x - a.x;
      const double py = y - a.y;
      const double t = lengthSquared > 0 ? std::clamp((px * dx + py * dy) / lengthSquared, 0.0, 1.0) : 0.0;
      const double ex = px - t * dx;
      const double ey = py - t * dy;
      const double distanceSquared = ex * ex + ey * ey;
      if (distanceSquared > reachSquared) continue;
      const float value = peak * static_cast<float>(std::exp(distanceSquared * scale));
      row[x] = std::max(row[x], value);
    }
  }
}

}  // namespace

std::vector<ProfileVertex> ProfileOutline(const ChannelGeometry& geometry, int width) {
  return ProfilePolyline(geometry, width);
}

double ProfileRowAt(const ChannelGeometry& geometry, double x) {
  return SurfaceRow(geometry, x) + DepthAt(geometry, x - geometry.centre);
}

std::array<int, 1281> MakeProfileLine(const ChannelGeometry& geometry, int width) {
  std::array<int, 1281> line;
  line.fill(-1);
  width = std::clamp(width, 0, 1280);
  for (int x = 0; x < width; ++x) line[x] = static_cast<int>(std::nearbyint(ProfileRowAt(geometry, x)));
  line[1280] = 0;
  return line;
}

LightSection RenderLightSection(const ChannelGeometry& geometry, int width, int height) {
  LightSection section;
  section.width = std::max(width, 0);
  section.height = std::max(height, 0);
  section.radiance.assign(static_cast<std::size_t>(section.width) * section.height, 0.0f);
  if (section.width == 0 || section.height == 0) return section;
  const double sigma = std::max(geometry.bandThickness, 0.1) * kFwhmToSigma;
  const std::vector<Vertex> vertices = ProfilePolyline(geometry, section.width);
  for (std::size_t i = 1; i < vertices.size(); ++i) {
    DrawSegment(section, vertices[i - 1], vertices[i], SegmentPeak(geometry, vertices[i - 1], vertices[i]), sigma);
  }
  return section;
}

void Expose(const LightSection& section, double gain, const ChannelGeometry& geometry, Bitmap& out,
            unsigned channelMask) {
  if (out.Width() != section.width || out.Height() != section.height) out.SetSize(section.width, section.height);
  if (out.Empty()) return;
  const bool noisy = geometry.noise > 0;
  NoiseSource noise(geometry.seed, noisy ? geometry.noise : 0);
  const double scale = gain * 255;
  for (int y = 0; y < section.height; ++y) {
    const float* radiance = section.radiance.data() + static_cast<std::size_t>(y) * section.width;
    std::uint8_t* row = out.Row(y);
    for (int x = 0; x < section.width; ++x) {
      double value = radiance[x] * scale;
      if (noisy) value += noise.Next();
      // rint rounds halves to even in the default rounding mode.
      const auto byte = static_cast<std::uint8_t>(std::min(std::max(std::rint(value), 0.0), 255.0));
      for (int channel = 0; channel < 3; ++channel) {
        if (channelMask & (1u << channel)) row[3 * x + channel] = byte;
      }
    }
  }
}

SyntheticChannel MakeChannel(const ChannelGeometry& geometry, int width, int height) {
  SyntheticChannel channel;
  channel.line = MakeProfileLine(geometry, width);
  Expose(RenderLightSection(geometry, width, height), 1.0, geometry, channel.image);
  return channel;
}

}  // namespace synth
