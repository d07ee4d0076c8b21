#pragma once

// How vqx prints the result of one measurement: a line of text or a JSON object.

#include <optional>
#include <string>

#include "cli/json_writer.h"
#include "imaging/measurement.h"
#include "measure/records.h"

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
  std::optional<SampleTruth> truth;
};

// "mm", "Inch" or "mil" for the display units of the state.
std::string UnitName(const MeasureState& state);
std::string ShapeName(int shape);

// One line: file, shape, depth, width, opening angle and radius or V angle.
std::string ReportLine(const MeasureState& state, const MeasurementReport& report);
void WriteReport(JsonWriter& json, const MeasurementReport& report);
