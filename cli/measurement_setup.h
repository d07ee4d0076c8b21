#pragma once

// The measurement state a vqx command works with: calibration and settings
// from the INI file given with --cal (the ideal gauge below without one, for
// every command alike), the material and the level from the options.

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

// False with a one-line message and the exit code: 3 when the --cal file
// cannot be read (missing, a folder, not a regular file, too large,
// unreadable) or its calibration has no scale (PixelPerInch 0 or below); 2
// for an unknown material or a level that is no level.
//
// --level L: 0 the surface; -1 .. -6 the stored flank points; a positive
// value millimetres below the surface, converted to profile rows with the
// calibration as the settings dialog converts its level.
bool PrepareSetup(const ParsedArguments& args, MeasurementSetup& setup, std::string& error, int& exitCode);

// A calibration that matches an ideal gauge: 3600 pixels per inch, Z factor
// 1, every correction factor 1, no linearisation, the default trapezoid
// correction.
void IdealCalibration(MeasureState& state);
