#pragma once

// The gauge's expanded measurement uncertainty U (k = 2) of depth and width,
// from a short budget (docs/uncertainty.md): the uncertainty of the
// calibration references, the repeatability of the last verification, the
// largest residual of the linearity check (depth only) and the resolution of
// one pixel at the gauge's scale. The inputs are kept with the calibration in
// section "VELDRAQXUNCERTAINTY"; missing ones take the documented defaults
// of a gauge not yet verified.

#include <filesystem>

#include "measure/records.h"
#include "platform/file_status.h"

// Defaults, in millimetres.
inline constexpr double kDefaultReferenceU = 0.002;   // references, k = 2
inline constexpr double kDefaultDepthRepeat = 0.003;  // a third of the verification's depth tolerance
inline constexpr double kDefaultWidthRepeat = 0.005;  // a quarter of its width tolerance
inline constexpr double kDefaultLinearity = 0.015;    // the linearity check's acceptance limit

struct UncertaintyBudget {
  double referenceU = kDefaultReferenceU;
  double depthRepeat = kDefaultDepthRepeat;
  double widthRepeat = kDefaultWidthRepeat;
  double linearity = kDefaultLinearity;
  double pixelWidth = 0;  // one column at the gauge's scale
  double pixelDepth = 0;  // one profile row as depth
  bool verified = false;  // the repeatabilities come from a verification
};

struct Uncertainty {
  double depth = 0;
  double width = 0;
};

// U = 2 * sqrt(u_ref^2 + s^2 + u_lin^2 + u_res^2) with u_ref = U_ref / 2,
// u_lin = residual / sqrt(3), u_res = pixel / sqrt(12).
Uncertainty ExpandedUncertainty(const UncertaintyBudget& budget);

// The budget of the calibration in `state` (its scale and depth factor)
// with the inputs kept in `calibrationFile`. A kept input outside 0 .. 0.1 mm
// is refused: the message names the file and the key.
FileStatus ReadUncertaintyBudget(const MeasureState& state, const std::filesystem::path& calibrationFile,
                                 UncertaintyBudget& budget);
