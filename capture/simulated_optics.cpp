#include "capture/simulated_optics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kShortestSeconds = 1.0 / 10000;  // the sensor's "Max" step
constexpr double kReferenceGain = 80;
constexpr double kGainPerDoubling = 40;
// The program mirrors each frame top to bottom shifted by 3 rows: frame row r
// becomes row height + 2 - r, the three top rows stay.
constexpr int kMirrorShift = 2;
constexpr int kUnmirroredRows = 3;

// Row of the corrected picture that sensor row r ends up in.
int PictureRowOfSensorRow(int r, int height) {
  return r < kUnmirroredRows ? r : height + kMirrorShift - r;
}

// Radiance of `row` at the fractional column x, linearly interpolated; dark
// outside the picture.
float Sample(const synth::LightSection& section, int row, double x) {
  if (x < 0 || x > section.width - 1) return 0;
  const int left = std::min(static_cast<int>(x), section.width - 2);
  const double t = x - left;
  return static_cast<float>((1 - t) * section.At(left, row) + t * section.At(left + 1, row));
}

// The program's trapezoid correction takes picture column x from sensor column
// x + k (mitte - x), k = (y - top) Trapez / Breite. Solving for x gives, per
// sensor column u, the picture column it shows.
void DistortRow(const synth::LightSection& picture, int pictureRow, const GaugeOptics& optics,
                float* sensorRow) {
  const int breite = picture.width - 2;
  const int mitte = breite / 2;
  const double k = (pictureRow - optics.top) * optics.trapez / breite;
  const double scale = 1 - k;
  for (int u = 0; u < picture.width; ++u) {
    sensorRow[u] = std::abs(scale) < 1e-9 ? 0.0f : Sample(picture, pictureRow, (u - k * mitte) / scale);
  }
}

void MirrorRows(Bitmap& frame) {
  for (int y = 0; y < frame.Height(); ++y) {
    std::uint8_t* row = frame.Row(y);
    for (int left = 0, right = frame.Width() - 1; left < right; ++left, --right) {
      std::swap_ranges(row + left * 3, row + left * 3 + 3, row + right * 3);
    }
  }
}

void FlipRows(Bitmap& frame) {
  for (int top = 0, bottom = frame.Height() - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(frame.Row(top), frame.Row(top) + frame.RowBytes(), frame.Row(bottom));
  }
}

}  // namespace

synth::ChannelGeometry SampleGeometry(const SimulatedSample& sample, const GaugeOptics& optics) {
  const double pixelsPerMm = optics.pixelsPerInch / kMillimetresPerInch;
  synth::ChannelGeometry geometry;
  geometry.shape = sample.shape;
  geometry.surfaceRow = sample.surfaceRow;
  geometry.surfaceSlope = sample.surfaceSlope;
  const bool channel = sample.kind == SampleKind::Channel;
  geometry.depth = channel ? sample.depthMm * pixelsPerMm / optics.zFactor : 0;
  geometry.width = channel ? sample.widthMm * pixelsPerMm : 0;
  geometry.centre = sample.centreColumn;
  geometry.flankAngle = sample.flankAngle;
  geometry.bottomRadius = sample.bottomRadiusMm * pixelsPerMm;
  geometry.noise = optics.noise;
  geometry.seed = optics.seed;
  return geometry;
}

double ExposureFactor(const CameraSettings& settings, const GaugeOptics& optics) {
  double seconds = ShutterSeconds(settings.shutter);
  if (seconds <= 0) seconds = kShortestSeconds;
  const double gain = std::pow(2.0, (static_cast<double>(settings.gain) - kReferenceGain) / kGainPerDoubling);
  return seconds / optics.fullScaleSeconds * gain;
}

SimulatedOptics::SimulatedOptics(const SimulatedSample& sample, const GaugeOptics& optics, int width,
                                 int height)
    : geometry_(SampleGeometry(sample, optics)), optics_(optics) {
  synth::LightSectionOptics light = optics.light;
  light.material = synth::OpticsOfMaterial(sample.material);
  reflectance_ = light.material.reflectance;
  const synth::LightSection picture = synth::RenderLightSection(geometry_, light, width, height);
  sensor_.width = width;
  sensor_.height = height;
  sensor_.radiance.assign(static_cast<std::size_t>(width) * height, 0.0f);
  for (int r = 0; r < height; ++r) {
    DistortRow(picture, PictureRowOfSensorRow(r, height), optics, sensor_.radiance.data() + static_cast<std::size_t>(r) * width);
  }
}

void SimulatedOptics::Render(const CameraSettings& settings, std::uint64_t frame, Bitmap& out) const {
  if (out.Width() != sensor_.width || out.Height() != sensor_.height) out.SetSize(sensor_.width, sensor_.height);
  const synth::SensorNoise noise{optics_.noise, optics_.shotNoise, static_cast<std::uint32_t>(optics_.seed + frame)};
  synth::ExposeFrame(sensor_, ExposureFactor(settings, optics_) * reflectance_, noise, out);
  if (settings.mirror) MirrorRows(out);
  if (settings.flip) FlipRows(out);
}
