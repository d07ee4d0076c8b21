#pragma once

// The measurement state a vqx command works with: calibration and settings
// from the INI file given with --cal (defaults without one), the material
// and the level from the options.

#include <string>

#include "cli/arguments.h"
#include "measure/material.h"
#include "measure/records.h"
#include "measure/result_texts.h"

struct MeasurementSetup {
  MeasureState state;
  Material material = Material::Steel;
  DisplayOptions options;
};

// Without --cal the calibration is that of an uncalibrated gauge, or with
// `idealWithoutFile` the ideal one below. False with a one-line message for a
// missing --cal file, an unknown material or a level that is no number.
bool PrepareSetup(const ParsedArguments& args, bool idealWithoutFile, MeasurementSetup& setup, std::string& error);

// A calibration that matches an ideal gauge: 3600 pixels per inch, Z factor
// 1, every correction factor 1, no linearisation, the default trapezoid
// correction.
void IdealCalibration(MeasureState& state);
