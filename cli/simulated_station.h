#pragma once

// The calibration station of vqx calibrate and verify: the simulated gauge
// of its own (capture/reference_samples.h) under which the station's
// reference samples are laid, the home folder with its calibration file in
// use and station file, and the live frames and scans the calibration and
// verification windows would be given.

#include <cstdint>
#include <filesystem>

#include "platform/file_status.h"
#include <string>

#include "capture/reference_samples.h"
#include "cli/arguments.h"
#include "cli/measurement_setup.h"
#include "cli/simulated_scan.h"
#include "platform/language.h"

// The station file made for the simulated gauge (its surface row and
// brightness under the calibration's camera settings, the calibration
// channel 2.100 x 3.000 mm, three captures per calibration, the linearity
// references 0.1 .. 0.5 mm, and the code that shows the "Calibrate" entry).
std::string SimulatedStationFileText();

class SimulatedStation {
public:
  // Scans and frames take the noise seeds seed, seed + 1, ... in turn.
  SimulatedStation(const GaugeTruth& gauge, std::uint32_t seed);

  const GaugeTruth& Gauge() const { return gauge_; }

  // The live frame of `sample` with the camera set as `camera`, as the camera
  // window keeps it (mirrored top to bottom).
  Bitmap LiveFrame(const SimulatedSample& sample, const CameraSettings& camera);

  // A whole scan of `sample` measured with the calibration of `setup`; the
  // channel lands in setup.state.MyChannel.
  bool Scan(MeasurementSetup& setup, const SimulatedSample& sample, const LanguageStore& language,
            SimulatedScan& scan, std::string& error);

private:
  GaugeTruth gauge_;
  std::uint32_t nextSeed_;
};

// The home folder of --home (default: the working folder).
std::filesystem::path StationHome(const ParsedArguments& parsed);

// The calibration and settings of the file in use as the station windows
// show them: millimetres with three decimals. A calibration that is refused
// (an implausible value) leaves the state's calibration and says why.
FileStatus LoadStationState(const std::filesystem::path& fileInUse, MeasureState& state);

// The English messages of the program folder; false with the reason.
bool LoadStationLanguage(LanguageStore& language, std::string& error);
