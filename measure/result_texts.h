#pragma once

// The texts of one measurement as the result panel shows them, derived from
// the channel record, the calibration and the display settings.

#include <string>

#include "measure/material.h"
#include "measure/records.h"

struct DisplayOptions {
  bool showOpen = true;     // opening angle shown
  bool showAlpha = true;    // V channels recognised and their angle shown
  bool showRadius = true;   // round channels recognised and their radius shown
};

// The shape as shown: without showRadius a round channel counts as flat,
// without showAlpha a V channel too.
int MaskShape(int shape, const DisplayOptions& options);

struct ResultTexts {
  std::string depth = "0.000";
  std::string width = "0.000";
  std::string open = "0\u00b0";
  std::string alphaV;
  std::string radius;
  bool widthRed = false;       // the level lies deep (grade 1) or too deep (grade 2)
  bool openVisible = false;
  bool alphaVisible = false;   // the V angle group is shown
  bool radiusVisible = false;  // the radius group is shown
};

// The texts of a cleared result panel are ResultTexts{}.
// `channel.shape` is read as it stands (mask it first with MaskShape).
ResultTexts MakeResultTexts(const MeasureState& state, const TChannel& channel, Material material,
                            const DisplayOptions& options);
