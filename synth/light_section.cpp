#include "synth/light_section.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth/noise_source.h"

namespace synth {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
// Conversion of the full width at half maximum to the Gaussian sigma.
const double kFwhmToSigma = 1.0 / (2.0 * std::sqrt(2.0 * std::log(2.0)));
// Samples along the profile per pixel of its length.
constexpr double kSamplesPerPixel = 4;
// The streak is drawn while it is above this fraction of the core's peak: even
// the longest exposure of a scan (a few hundred times full scale) keeps what
// is left below half a grey level.
constexpr double kStreakFloor = 2e-6;
// Profile rows for the shadow test, this many per column.
constexpr int kShadowSteps = 4;

// Unit vectors in the sample's frame: X across the channel (the picture's
// columns), Y along it (towards the camera), Z up (against the picture's
// rows).
struct Vector3 {
  double x, y, z;
};
double Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Direction towards the light source: the rays lean lightTilt from the
// vertical, coming from the left for a positive tilt.
Vector3 TowardsLight(const LightSectionOptics& o) {
  return {-std::sin(o.lightTilt * kDegree), 0, std::cos(o.lightTilt * kDegree)};
}

Vector3 TowardsCamera(const LightSectionOptics& o) {
  return {0, std::sin(o.viewAngle * kDegree), std::cos(o.viewAngle * kDegree)};
}

// Specular part of a face with normal n: the Gaussian lobe around the mirror
// direction of the light, evaluated towards the camera.
double SpecularLobe(const LightSectionOptics& o, const Vector3& n) {
  const Vector3 l = TowardsLight(o);
  const double nl = Dot(n, l);
  const Vector3 mirror{2 * nl * n.x - l.x, 2 * nl * n.y - l.y, 2 * nl * n.z - l.z};
  const double angle = std::acos(std::clamp(Dot(mirror, TowardsCamera(o)), -1.0, 1.0));
  const double width = std::max(o.material.specularLobe, 0.1) * kDegree;
  return std::exp(-angle * angle / (2 * width * width));
}

// Radiance per unit length of a face, before normalising to a level face:
// the light falling on it (cosine of incidence) times the light it returns
// towards the camera (diffuse plus specular).
double RawBrightness(const LightSectionOptics& o, const Vector3& n) {
  const double incidence = Dot(n, TowardsLight(o));
  if (incidence <= 0) return 0;
  const double diffuse = std::clamp(o.material.diffuse, 0.0, 1.0);
  return incidence * (diffuse + (1 - diffuse) * SpecularLobe(o, n));
}

// The vertical streak of one point of the profile: the sheet's Gaussian core
// (widened by the lens blur) and the exponential scatter glow, 1.0 at its
// centre; entry k is the offset k - reach.
std::vector<double> Streak(const LightSectionOptics& o) {
  const double core = std::max(o.coreThickness, 0.1) * kFwhmToSigma;
  const double sigma = std::sqrt(core * core + o.lensBlur * o.lensBlur);
  const double glow = std::max(o.material.glowFraction, 0.0);
  const double length = std::max(o.material.glowLength, 0.1);
  int reach = static_cast<int>(std::ceil(sigma * std::sqrt(-2 * std::log(kStreakFloor))));
  if (glow > 0) reach = std::max(reach, static_cast<int>(std::ceil(length * std::log(glow / kStreakFloor))));
  std::vector<double> streak(2 * reach + 1);
  for (int k = -reach; k <= reach; ++k) {
    const double value = std::exp(-k * k / (2 * sigma * sigma)) + glow * std::exp(-std::abs(k) / length);
    streak[k + reach] = value / (1 + glow);
  }
  return streak;
}

// The profile's highest row (smallest row number) per quarter column, for the
// shadow test.
class ProfileHeights {
public:
  ProfileHeights(const ChannelGeometry& g, int width) : rows_(static_cast<std::size_t>(width + 2) * kShadowSteps) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      rows_[i] = ProfileRowAt(g, static_cast<double>(i) / kShadowSteps - 1);
    }
  }
  // The row of the profile at column x (the nearest quarter column); the
  // surface beyond the picture is taken as level.
  double At(double x) const {
    const long i = std::lround((x + 1) * kShadowSteps);
    return rows_[static_cast<std::size_t>(std::clamp<long>(i, 0, static_cast<long>(rows_.size()) - 1))];
  }

private:
  std::vector<double> rows_;
};

// Whether the ray from (x, y) towards the light meets the profile: the ray
// climbs one row per step and moves tan(lightTilt) columns against the light.
bool InShadow(const ProfileHeights& heights, const LightSectionOptics& o, double x, double y, double highest) {
  const double drift = -std::tan(o.lightTilt * kDegree);
  for (double t = 1; y - t >= highest - 1; t += 1) {
    if (heights.At(x + t * drift) < y - t - 0.5) return true;
  }
  return false;
}

}  // namespace

MaterialOptics OpticsOfMaterial(Material material) {
  MaterialOptics m;
  if (material == Material::Pertinax) {
    m.reflectance = 0.6;
    m.diffuse = 0.9;
    m.specularLobe = 30;
    m.glowFraction = 0.2;
    m.glowLength = 13;
  }
  return m;
}

double FaceBrightness(const LightSectionOptics& optics, double nx, double ny) {
  const double level = RawBrightness(optics, {0, 0, 1});
  return level > 0 ? RawBrightness(optics, {nx, 0, -ny}) / level : 0;
}

LightSection RenderLightSection(const ChannelGeometry& geometry, const LightSectionOptics& optics, int width,
                                int height) {
  LightSection section;
  section.width = std::max(width, 0);
  section.height = std::max(height, 0);
  section.radiance.assign(static_cast<std::size_t>(section.width) * section.height, 0.0f);
  if (section.width == 0 || section.height == 0) return section;

  // Light arriving per row of the picture in each column (split between the
  // two nearest rows), then the vertical streak around it.
  std::vector<float> density(section.radiance.size(), 0.0f);
  const std::vector<ProfileVertex> outline = ProfileOutline(geometry, section.width);
  const ProfileHeights heights(geometry, section.width);
  double highest = outline.front().y;
  for (const ProfileVertex& v : outline) highest = std::min(highest, v.y);
  const double blur = std::max(optics.lensBlur, 0.05);
  const int blurReach = static_cast<int>(std::ceil(3 * blur));
  for (std::size_t i = 1; i < outline.size(); ++i) {
    const ProfileVertex& a = outline[i - 1];
    const ProfileVertex& b = outline[i];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (length <= 0) continue;
    const double nx = (b.y - a.y) / length;
    const double ny = -(b.x - a.x) / length;
    const double lit = FaceBrightness(optics, nx, ny);
    const int samples = std::max(1, static_cast<int>(std::ceil(length * kSamplesPerPixel)));
    const double step = length / samples;
    for (int s = 0; s < samples; ++s) {
      const double t = (s + 0.5) / samples;
      const double x = a.x + t * (b.x - a.x);
      const double y = a.y + t * (b.y - a.y);
      double brightness = lit;
      if (lit > 0 && InShadow(heights, optics, x, y, highest)) brightness = 0;
      brightness = std::max(brightness, optics.ambient) * step;
      const int row = static_cast<int>(std::floor(y));
      const double below = y - row;
      double weights = 0;
      const int first = static_cast<int>(std::floor(x)) - blurReach;
      const int last = static_cast<int>(std::ceil(x)) + blurReach;
      for (int c = first; c <= last; ++c) weights += std::exp(-(c - x) * (c - x) / (2 * blur * blur));
      for (int c = std::max(first, 0); c <= std::min(last, section.width - 1); ++c) {
        const double w = brightness * std::exp(-(c - x) * (c - x) / (2 * blur * blur)) / weights;
        if (row >= 0 && row < section.height) density[static_cast<std::size_t>(row) * section.width + c] += static_cast<float>(w * (1 - below));
        if (row + 1 >= 0 && row + 1 < section.height) {
          density[static_cast<std::size_t>(row + 1) * section.width + c] += static_cast<float>(w * below);
        }
      }
    }
  }
  const std::vector<double> streak = Streak(optics);
  const int reach = static_cast<int>(streak.size() / 2);
  std::vector<double> column(section.height);
  for (int x = 0; x < section.width; ++x) {
    std::fill(column.begin(), column.end(), 0.0);
    for (int y = 0; y < section.height; ++y) {
      const double d = density[static_cast<std::size_t>(y) * section.width + x];
      if (d == 0) continue;
      const int first = std::max(0, y - reach);
      const int last = std::min(section.height - 1, y + reach);
      for (int r = first; r <= last; ++r) column[r] += d * streak[r - y + reach];
    }
    for (int y = 0; y < section.height; ++y) section.radiance[static_cast<std::size_t>(y) * section.width + x] = static_cast<float>(column[y]);
  }
  return section;
}

void ExposeFrame(const LightSection& section, double gain, const SensorNoise& noise, Bitmap& out) {
  if (out.Width() != section.width || out.Height() != section.height) out.SetSize(section.width, section.height);
  if (out.Empty()) return;
  // Standard deviation of the noise per grey level of the signal.
  float sigma[256];
  for (int v = 0; v < 256; ++v) {
    sigma[v] = static_cast<float>(std::sqrt(noise.read * noise.read + noise.shot * noise.shot * v / 255.0));
  }
  const bool noisy = noise.read > 0 || noise.shot > 0;
  NoiseSource unit(noise.seed, 1.0);
  const float scale = static_cast<float>(gain * 255);
  for (int y = 0; y < section.height; ++y) {
    const float* radiance = section.radiance.data() + static_cast<std::size_t>(y) * section.width;
    std::uint8_t* row = out.Row(y);
    for (int x = 0; x < section.width; ++x) {
      // Noise first, then the clip: a saturated pixel reads full scale.
      float value = std::min(radiance[x] * scale, 1000.0f);
      if (noisy) value += unit.Next() * sigma[static_cast<int>(std::min(value, 255.0f))];
      const auto byte = static_cast<std::uint8_t>(std::clamp(value, 0.0f, 255.0f) + 0.5f);
      row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = byte;
    }
  }
}

}  // namespace synth
