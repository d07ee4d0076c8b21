#pragma once

// --record of vqx scan and vqx analyse: the measurement into the history of
// the home folder.

#include <filesystem>

#include "base/bitmap.h"
#include "cli/arguments.h"
#include "cli/measurement_report.h"
#include "measure/material.h"
#include "measure/records.h"
#include "platform/file_status.h"

// The home folder of the history: --home, else the working folder.
std::filesystem::path HistoryHome(const ParsedArguments& parsed);

// Records `report` made with `state` from the calibration of --cal; its id on success.
FileStatus RecordReport(const ParsedArguments& parsed, const MeasurementReport& report, const MeasureState& state,
                        Material material, const Bitmap& toolImage, long long& id);
