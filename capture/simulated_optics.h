#pragma once

// How the simulated gauge's camera sees a channel sample: the sample in
// millimetres becomes a light section at the gauge's scale, drawn as the
// program will see it after its own corrections (mirror top to bottom with a
// 3-row shift, then the trapezoid correction with `top` and `Trapez`), and
// then distorted back into the sensor's view. Each frame exposes that view
// for a shutter step and gain and applies the camera's mirror and flip.

#include <cstdint>

#include "base/bitmap.h"
#include "capture/videology.h"
#include "synth/channel_generator.h"
#include "synth/light_section.h"

// What lies under the gauge: a channel of a shape and size in a material, or
// a flat reference (the material's plain surface, no channel).
enum class SampleKind { Channel, FlatReference };

struct SimulatedSample {
  SampleKind kind = SampleKind::Channel;
  synth::Material material = synth::Material::Steel;
  synth::ChannelShape shape = synth::ChannelShape::Trapezoid;
  double depthMm = 0.5;
  double widthMm = 1.0;
  double flankAngle = 0;        // degrees from the vertical (trapezoid)
  double bottomRadiusMm = 0.3;  // round channels
  // Position in the corrected picture: the surface row at column 0, its
  // slope in rows per column, and the column of the channel centre.
  double surfaceRow = 300;
  double surfaceSlope = 0;
  double centreColumn = 640;
};

struct GaugeOptics {
  double pixelsPerInch = 3600;
  double zFactor = 1;  // one image row is zFactor horizontal pixels of height
  int top = 300;       // reference row of the trapezoid correction
  double trapez = -0.3;
  double noise = 1.5;      // read noise, grey levels (standard deviation)
  double shotNoise = 4;    // shot noise at full scale, grey levels (standard deviation)
  // Exposure time at gain 80 at which the core of the trace on a level steel
  // face just reaches full scale. With it the combination's chosen frames of
  // the surface and the floor lie in the middle of the scan's bracket.
  double fullScaleSeconds = 1.0 / 2500;
  // The light sheet, the camera's view and the lens (the material comes from
  // the sample).
  synth::LightSectionOptics light;
  std::uint32_t seed = 1;
};

// Nominal optics with the given scale, depth factor, trapezoid reference row
// and trapezoid, and the noise seed.
inline GaugeOptics ScaledOptics(double pixelsPerInch, double zFactor, int top, double trapez, std::uint32_t seed) {
  GaugeOptics optics;
  optics.pixelsPerInch = pixelsPerInch;
  optics.zFactor = zFactor;
  optics.top = top;
  optics.trapez = trapez;
  optics.seed = seed;
  return optics;
}

struct CameraSettings {
  std::uint32_t gain = 80;
  eShutterSpeedCMOS shutter = ssc200;
  bool mirror = false;
  bool flip = false;
};

inline constexpr int kSensorWidth = 1280;
inline constexpr int kSensorHeight = 1024;

// The sample as the channel generator's geometry, in pixels (a flat
// reference has no channel).
synth::ChannelGeometry SampleGeometry(const SimulatedSample& sample, const GaugeOptics& optics);

// Light collected relative to full scale on a level steel face: exposure time
// of the step relative to fullScaleSeconds, doubled for every 40 steps of
// gain above 80.
double ExposureFactor(const CameraSettings& settings, const GaugeOptics& optics = {});

class SimulatedOptics {
public:
  SimulatedOptics(const SimulatedSample& sample, const GaugeOptics& optics,
                  int width = kSensorWidth, int height = kSensorHeight);

  // Frame number `frame` (it varies the noise) as the sensor delivers it.
  void Render(const CameraSettings& settings, std::uint64_t frame, Bitmap& out) const;

  const synth::ChannelGeometry& Geometry() const { return geometry_; }

private:
  synth::ChannelGeometry geometry_;
  GaugeOptics optics_;
  double reflectance_ = 1;
  synth::LightSection sensor_;
};
