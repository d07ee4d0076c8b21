#pragma once

// A bracketed exposure series of one synthetic channel, as the gauge takes it
// during a scan: frame 0 has the longest exposure, every further frame a
// shorter one. The bright band of the light section widens with the exposure
// as it does on the camera, so the combination has a frame of the right
// thickness for the surface and another for the floor.

#include <vector>

#include "base/bitmap.h"
#include "synth/channel_generator.h"
#include "synth/light_section.h"

namespace synth {

struct ExposureSteps {
  int frames = 14;
  double firstGain = 8.0;   // gain of frame 0
  double ratio = 0.72;      // gain of frame k+1 / gain of frame k
};

// The frames, all width x height, with the light section in all three bytes;
// each frame has its own noise (the geometry's seed plus the frame index).
std::vector<Bitmap> MakeExposureSeries(const ChannelGeometry& geometry, const ExposureSteps& steps = {},
                                       int width = 1280, int height = 1024);

// The same series drawn with the light-section model, for accuracy work: one
// frame per exposure (1.0 = the core of a level face at full scale, before the
// material's reflectance), each with its own noise (the seed plus the frame
// index).
std::vector<Bitmap> MakeExposureSeries(const ChannelGeometry& geometry, const LightSectionOptics& optics,
                                       const std::vector<double>& exposures, const SensorNoise& noise = {},
                                       int width = 1280, int height = 1024);

// The exposures of the gauge's scan, shutter steps 1/4 s .. 1/1000 s, for a
// core that reaches full scale at `fullScaleSeconds`.
std::vector<double> ScanExposures(double fullScaleSeconds = 1.0 / 2500);

}  // namespace synth
