#pragma once

// --record of vqx scan and vqx analyse, and vqx history: measurements into
// the measurement history of the home folder and out of it again.

#include <filesystem>
#include <string>

#include "base/bitmap.h"
#include "cli/arguments.h"
#include "cli/measurement_report.h"
#include "history/history.h"
#include "measure/material.h"
#include "measure/records.h"

// The home folder of the history: --home, else the working folder.
std::filesystem::path HistoryHome(const ParsedArguments& parsed);

// Days a recorded measurement's tool image is kept under History/ (key
// HISTORYDAYS of section [VELDRAQX], 0 keeps none).
inline constexpr int kDefaultHistoryDays = 90;

// The record of one measurement made with `state` (its calibration and
// settings) from the calibration file `calibrationFile`.
HistoryRecord RecordOf(const MeasurementReport& report, const MeasureState& state, Material material,
                       const std::filesystem::path& calibrationFile);

// Records `report` in the history of `home`, with its tool image kept under
// History/ (older images past the retention are removed). The message names
// the database or the image and the reason; the measurement itself stands.
FileStatus RecordMeasurement(const std::filesystem::path& home, const MeasurementReport& report,
                             const MeasureState& state, Material material, const std::filesystem::path& calibrationFile,
                             const Bitmap* toolImage, long long& id);
