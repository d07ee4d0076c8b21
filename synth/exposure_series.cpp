#include "synth/exposure_series.h"

#include <cmath>

namespace synth {

std::vector<Bitmap> MakeExposureSeries(const ChannelGeometry& geometry, const ExposureSteps& steps, int width,
                                       int height) {
  const LightSection section = RenderLightSection(geometry, width, height);
  std::vector<Bitmap> frames;
  frames.reserve(steps.frames > 0 ? steps.frames : 0);
  for (int k = 0; k < steps.frames; ++k) {
    ChannelGeometry frameGeometry = geometry;
    frameGeometry.seed = geometry.seed + static_cast<std::uint32_t>(k);
    Bitmap frame;
    Expose(section, steps.firstGain * std::pow(steps.ratio, k), frameGeometry, frame, 0b111);
    frames.push_back(std::move(frame));
  }
  return frames;
}

}  // namespace synth
