#include "cli/station_output.h"

#include <cerrno>

#include "measure/numbers.h"

const char* IndicatorName(Indicator indicator) {
  switch (indicator) {
    case Indicator::White:
      return "white";
    case Indicator::Green:
      return "green";
    case Indicator::Red:
      return "red";
  }
  return "white";
}

StationOutput::StationOutput(bool json, std::FILE* out) : json_(json), out_(out) {
  if (json_) {
    writer_.BeginObject();
    writer_.Key("steps");
    writer_.BeginArray();
  }
}

void StationOutput::BeginStep(const std::string& name) {
  firstField_ = true;
  if (json_) {
    writer_.BeginObject();
    writer_.Key("step");
    writer_.String(name);
  } else {
    line_ = name + ":";
  }
}

void StationOutput::Separator() {
  line_ += firstField_ ? " " : ", ";
  firstField_ = false;
}

void StationOutput::Text(const std::string& key, const std::string& value) {
  if (json_) {
    writer_.Key(key);
    writer_.String(value);
  } else {
    Separator();
    line_ += key + " " + (value.empty() ? "-" : value);
  }
}

void StationOutput::Number(const std::string& key, double value, int decimals) {
  if (json_) {
    writer_.Key(key);
    writer_.Number(value);
  } else {
    Separator();
    line_ += key + " " + FormatFixed(value, decimals);
  }
}

void StationOutput::Colour(const std::string& key, Indicator indicator) { Text(key, IndicatorName(indicator)); }

void StationOutput::List(const std::string& key, const std::vector<std::string>& items) {
  if (items.empty()) return;
  if (json_) {
    writer_.Key(key);
    writer_.BeginArray();
    for (const std::string& item : items) writer_.String(item);
    writer_.EndArray();
    return;
  }
  Separator();
  line_ += key;
  for (std::size_t i = 0; i < items.size(); ++i) line_ += (i == 0 ? " " : " / ") + items[i];
}

void StationOutput::EndStep() {
  if (json_) {
    writer_.EndObject();
  } else {
    Print(line_);
  }
}

void StationOutput::Print(const std::string& text) {
  errno = 0;
  if (std::fprintf(out_, "%s\n", text.c_str()) < 0 && writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
}

void StationOutput::BeginSummary() {
  inSummary_ = true;
  if (json_) {
    writer_.EndArray();
    writer_.Key("summary");
  }
  BeginStep("summary");
}

void StationOutput::Finish() {
  if (inSummary_) EndStep();
  if (json_) {
    if (!inSummary_) writer_.EndArray();
    writer_.EndObject();
    Print(writer_.Text());
  }
  errno = 0;
  if (std::fflush(out_) != 0 && writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
}
