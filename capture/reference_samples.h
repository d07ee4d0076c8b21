#pragma once

// The simulated gauge as a calibration station meets it: a gauge of its own
// whose scale, depth response, tilt and trapezoid differ from the nominal
// ones a fresh calibration file assumes, and the reference samples of the
// station (the flat reference, the calibration channel, the linearity
// channels and the verification target). A calibration of this gauge has
// something real to find; the truth stays here for the checks.

#include <cstdint>

#include "capture/simulated_optics.h"

struct GaugeTruth {
  double pixelsPerInch = 3583;  // the true scale (nominal 3600)
  double zFactor = 1.046;       // horizontal pixels of height per image row (nominal 1)
  // The depth response bends at shallow depths: a floor d mm deep is seen
  // d (1 + shallowBend e^(-d / shallowDepthMm)) deep, the bend a linearisation
  // table exists for. At 2.1 mm it is below 0.1 micrometre.
  double shallowBend = 0.03;
  double shallowDepthMm = 0.3;
  int top = 318;               // surface row at the image centre; reference row of the trapezoid
  double tilt = 0.005;         // surface rows per column (0.29 degrees)
  double trapez = -0.26;       // trapezoid of the optics (nominal -0.3)
};

// The simulated gauge of the demo station and of vqx calibrate and verify.
inline constexpr GaugeTruth kSimulatedGaugeTruth{};

// The optics of the gauge for the frames of noise seed `seed`.
GaugeOptics TrueOptics(const GaugeTruth& gauge, std::uint32_t seed);

// The depth the gauge's optics show for a floor `depthMm` deep.
double SeenDepth(const GaugeTruth& gauge, double depthMm);

// `sample` resting under the gauge: its surface on the gauge's reference row
// with the gauge's tilt, centred, its depth as the optics show it.
SimulatedSample UnderGauge(const GaugeTruth& gauge, SimulatedSample sample);

// The reference samples of the station.
// A plain polished surface for the surface row, brightness and orientation.
SimulatedSample FlatReferenceSample();
// A rectangular channel of the given size: the calibration channel (CALD x
// CALW) and the verification target.
SimulatedSample RectangularChannel(double depthMm, double widthMm);
// A linearity channel `depthMm` deep (D1..D4): rectangular, 3 mm wide.
SimulatedSample LinearityChannel(double depthMm);
