#pragma once

// How vqx prints the result of one measurement: a line of text or a JSON object.

#include <optional>
#include <string>

#include "cli/json_writer.h"
#include "imaging/measurement.h"
#include "measure/material.h"
#include "measure/records.h"
#include "measure/result_numbers.h"
#include "measure/verdict.h"

// The sample of a simulated scan, in millimetres and degrees.
struct SampleTruth {
  std::string shape;
  double depthMm = 0;
  double widthMm = 0;
  double angle = 0;
  double radiusMm = 0;
};

struct MeasurementReport {
  std::string file;
  MeasurementOutcome outcome;
  TChannel channel;
  bool channelFound = false;  // false: no surface, or a profile without light
  ResultNumbers numbers{};
  std::string units;          // "mm", "Inch" or "mil" of the texts
  std::optional<SampleTruth> truth;
  std::optional<Judgement> judgement;  // with --job
  std::optional<long long> recordId;   // with --record: its record in the history
  std::string error;          // the file could not be measured: why
};

// "mm", "Inch" or "mil" for the display units of the state.
std::string UnitName(const MeasureState& state);
std::string ShapeName(int shape);

// The report of the measurement just made with `state` (its MyChannel and OLine).
MeasurementReport MakeReport(const MeasureState& state, Material material, const std::string& file,
                             const MeasurementOutcome& outcome);
// The report of a file that could not be measured.
MeasurementReport FailedReport(const std::string& file, const std::string& error);

// One line: file, the measured shape (and the shape shown when the display
// masks it), depth, width, opening angle, V angle or bottom radius; or that
// no channel was found. Control characters of the file name are escaped.
std::string ReportLine(const MeasureState& state, const MeasurementReport& report);

// The object of one file: "status" ("measured", "no channel" or "error"),
// the display texts, the numbers with their units, the channel record,
// "truth" for a simulated sample or "error" for a failed file, and with a
// job "job", "verdict", "depthVerdict", "widthVerdict" ("openVerdict" when
// the job limits the opening angle) and "uncertainty" {"depthMm", "widthMm"}.
void WriteReport(JsonWriter& json, const MeasurementReport& report);
