#pragma once

// The results of a measurement as numbers, in millimetres and degrees
// whatever the display units, for records, exports and decisions.

#include <limits>

#include "measure/material.h"
#include "measure/records.h"

inline constexpr double kNoResult = std::numeric_limits<double>::quiet_NaN();

// Not a number where nothing was measured. `radiusMm` is the bottom radius
// itself (the result panel's radius field shows twice of it).
struct ResultNumbers {
  double depthMm = kNoResult;
  double widthMm = kNoResult;   // none when the level lies too deep
  double radiusMm = kNoResult;  // round channels only
  double openDeg = kNoResult;
  double alphaVDeg = kNoResult;  // V channels only
};

// The numbers of the channel in `state` (its MyChannel), measured as
// `shapeFound`: the depth of the shape shown, as the result panel shows it.
ResultNumbers NumbersOf(const MeasureState& state, Material material, int shapeFound);
