#pragma once

// The simulated gauge built as its calibration describes it: the scale, the
// depth factor, the reference row and the trapezoid of the calibration file.

#include <cstdint>

#include "capture/simulated_optics.h"
#include "measure/records.h"

inline GaugeOptics OpticsOf(const TImgCalibration& cal, std::uint32_t seed) {
  return ScaledOptics(cal.PixelPerInch, cal.ZFaktor, cal.top, cal.Trapez, seed);
}
