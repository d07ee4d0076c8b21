#pragma once

// The steps of vqx calibrate and verify as the user reads them: one line per
// step ("max: SampleTop 318, BRLabel2 57, ..., BRTolShape green"), or with
// --json one object {"steps": [{"step": "max", "SampleTop": "318", ...}],
// ...} whose fields are the controls of the windows under their names.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/json_writer.h"
#include "station/station_panel.h"

const char* IndicatorName(Indicator indicator);

class StationOutput {
public:
  StationOutput(bool json, std::FILE* out);

  void BeginStep(const std::string& name);
  // A control's text as shown ("" shows as "-").
  void Text(const std::string& key, const std::string& value);
  void Number(const std::string& key, double value, int decimals);
  void Colour(const std::string& key, Indicator indicator);
  // Sounds, questions or messages of the step; nothing when empty.
  void List(const std::string& key, const std::vector<std::string>& items);
  void EndStep();

  // The closing fields after the steps (the summary), then the end.
  void BeginSummary();
  void Finish();
  // The error number of the first write to the output that failed, or 0: a
  // full output fails long before the command's last flush.
  int WriteError() const { return writeError_; }
  bool Json() const { return json_; }

private:
  void Separator();

  bool json_;
  void Print(const std::string& text);

  std::FILE* out_;
  int writeError_ = 0;
  JsonWriter writer_;
  std::string line_;
  bool firstField_ = true;
  bool inSummary_ = false;
};
