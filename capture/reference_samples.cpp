#include "capture/reference_samples.h"

#include <cmath>

namespace {

constexpr double kCentreColumn = 640;
constexpr double kLinearityWidthMm = 3.0;

}  // namespace

GaugeOptics TrueOptics(const GaugeTruth& gauge, std::uint32_t seed) {
  return ScaledOptics(gauge.pixelsPerInch, gauge.zFactor, gauge.top, gauge.trapez, seed);
}

double SeenDepth(const GaugeTruth& gauge, double depthMm) {
  return depthMm * (1 + gauge.shallowBend * std::exp(-depthMm / gauge.shallowDepthMm));
}

SimulatedSample UnderGauge(const GaugeTruth& gauge, SimulatedSample sample) {
  sample.surfaceSlope = gauge.tilt;
  sample.surfaceRow = gauge.top - gauge.tilt * kCentreColumn;
  sample.centreColumn = kCentreColumn;
  sample.depthMm = SeenDepth(gauge, sample.depthMm);
  return sample;
}

SimulatedSample FlatReferenceSample() {
  SimulatedSample sample;
  sample.kind = SampleKind::FlatReference;
  return sample;
}

SimulatedSample RectangularChannel(double depthMm, double widthMm) {
  SimulatedSample sample;
  sample.shape = synth::ChannelShape::Flat;
  sample.depthMm = depthMm;
  sample.widthMm = widthMm;
  sample.flankAngle = 0;
  return sample;
}

SimulatedSample LinearityChannel(double depthMm) { return RectangularChannel(depthMm, kLinearityWidthMm); }
