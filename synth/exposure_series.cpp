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

std::vector<Bitmap> MakeExposureSeries(const ChannelGeometry& geometry, const LightSectionOptics& optics,
                                       const std::vector<double>& exposures, const SensorNoise& noise, int width,
                                       int height) {
  const LightSection section = RenderLightSection(geometry, optics, width, height);
  std::vector<Bitmap> frames;
  frames.reserve(exposures.size());
  for (std::size_t k = 0; k < exposures.size(); ++k) {
    SensorNoise frameNoise = noise;
    frameNoise.seed = noise.seed + static_cast<std::uint32_t>(k);
    Bitmap frame;
    ExposeFrame(section, exposures[k] * optics.material.reflectance, frameNoise, frame);
    frames.push_back(std::move(frame));
  }
  return frames;
}

std::vector<double> ScanExposures(double fullScaleSeconds) {
  // The shutter steps 1/4 .. 1/1000 s of a scan.
  const double seconds[] = {1.0 / 4,   2.0 / 15,  1.0 / 15,  1.0 / 20,  1.0 / 30,  1.0 / 50,  1.0 / 60,
                            1.0 / 100, 1.0 / 120, 1.0 / 200, 1.0 / 250, 1.0 / 500, 1.0 / 750, 1.0 / 1000};
  std::vector<double> exposures;
  for (double s : seconds) exposures.push_back(s / fullScaleSeconds);
  return exposures;
}

}  // namespace synth
