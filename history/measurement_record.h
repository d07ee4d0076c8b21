#pragma once

// A measurement as the history records it: its results, its calibration and
// its decision, with its tool image kept under History/ of the home folder.

#include <filesystem>
#include <optional>
#include <string>

#include "base/bitmap.h"
#include "history/history.h"
#include "measure/material.h"
#include "measure/records.h"
#include "measure/result_numbers.h"
#include "measure/result_texts.h"
#include "measure/verdict.h"

// Days a recorded measurement's tool image is kept under History/ (key
// HISTORYDAYS of section [VELDRAQX] of the settings file, 0 keeps none).
inline constexpr int kDefaultHistoryDays = 90;

// The record of one measurement made with `state` (its calibration and
// settings, read from `calibrationFile`), now.
HistoryRecord MeasurementRecord(const MeasureState& state, Material material, const ResultNumbers& numbers,
                                const ResultTexts& texts, const std::string& units, int shapeFound,
                                const std::optional<Judgement>& judgement,
                                const std::filesystem::path& calibrationFile);

// Records `record` in the history of `home`, with `toolImage` kept under
// History/ (images past the retention are removed first). The message names
// the database or the image and the reason; the measurement itself stands.
FileStatus RecordMeasurement(const std::filesystem::path& home, HistoryRecord& record, const Bitmap* toolImage,
                             const std::filesystem::path& calibrationFile);
