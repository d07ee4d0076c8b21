#pragma once

// A whole scan with the simulated gauge, headless: live picture, key press,
// the 28 frames of the series, combination, analysis, key release.

#include <functional>
#include <string>

#include "cli/measurement_setup.h"
#include "imaging/measurement.h"
#include "capture/calibrated_optics.h"
#include "platform/language.h"

struct SimulatedScan {
  MeasurementOutcome outcome;
  Bitmap image;    // the combined image with the profile in its last row
  Bitmap picture;  // the result picture
  int frames = 0;
};


// Runs the scan; `progress` receives the scan gauge (0..100), `message` the
// camera messages of `language`. False with a message when the scan does not
// complete.
bool RunSimulatedScan(MeasurementSetup& setup, const SimulatedSample& sample, std::uint32_t seed,
                      const LanguageStore& language, SimulatedScan& scan, std::string& error,
                      const std::function<void(int)>& progress = {},
                      const std::function<void(const std::string&)>& message = {});
