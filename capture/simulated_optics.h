#pragma once

// How the simulated gauge's camera sees a channel sample: the sample in
// millimetres becomes a light section at the gauge's scale, drawn as the
// program will see it after its own corrections (mirror top to bottom with a
// 3-row shift, then the trapezoid correction with `top` and `Trapez`), and
// then distorted back into the sensor's view. Each frame exposes that view
// for a shutter step and gain and applies the camera's mirror and flip.

#include <cstdint>

#include "imaging/core/bitmap.h"
#include "capture/videology.h"
#include "synth/channel_generator.h"

struct SimulatedSample {
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
  double noise = 1.5;  // sensor noise, grey levels (standard deviation)
  // Thickness of the projected light line (full width at half maximum,
  // pixels). At the longest exposures of a scan the trace must be more than
  // ten rows thick above the combination's threshold, or its first frame
  // choice falls back to the darkest frame in every column.
  double bandThickness = 8;
  std::uint32_t seed = 1;
};

struct CameraSettings {
  std::uint32_t gain = 80;
  eShutterSpeedCMOS shutter = ssc200;
  bool mirror = false;
  bool flip = false;
};

inline constexpr int kSensorWidth = 1280;
inline constexpr int kSensorHeight = 1024;

// The sample as the channel generator's geometry, in pixels.
synth::ChannelGeometry SampleGeometry(const SimulatedSample& sample, const GaugeOptics& optics);

// Light collected relative to a full-scale surface: exposure time of the step
// relative to 1/55 s, doubled for every 40 steps of gain above 80. At gain
// 80 a scan over steps 1..14 runs from a band saturated even on the flanks
// (1/4 s) to a surface trace of about 14 grey levels (1/1000 s).
double ExposureFactor(const CameraSettings& settings);

class SimulatedOptics {
public:
  SimulatedOptics(const SimulatedSample& sample, const GaugeOptics& optics,
                  int width = kSensorWidth, int height = kSensorHeight);

  // Frame number `frame` (it varies the noise) as the sensor delivers it.
  void Render(const CameraSettings& settings, std::uint64_t frame, Bitmap& out) const;

  const synth::ChannelGeometry& Geometry() const { return geometry_; }

private:
  synth::ChannelGeometry geometry_;
  synth::LightSection sensor_;
  double peakRadiance_ = 1;
};
