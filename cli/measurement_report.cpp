#include "cli/measurement_report.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cli/job_verdicts.h"
#include "cli/text_escape.h"
#include "measure/units.h"

namespace {

// The early exit of the analysis leaves the surface line unset; a profile
// without a single lit column has nothing to measure.
bool ChannelFound(const MeasureState& state, const MeasurementOutcome& outcome) {
  if (!outcome.analysed) return false;
  const bool lit = std::any_of(state.OLine.begin(), state.OLine.end(), [](int row) { return row > 0; });
  const TChannel& c = state.MyChannel;
  return lit && !(c.tm == 0 && c.tc == 0);
}

void NumberOrNull(JsonWriter& json, const char* key, double value) {
  json.Key(key);
  if (std::isfinite(value)) {
    json.Number(value);
  } else {
    json.Null();
  }
}

}  // namespace

std::string UnitName(const MeasureState& state) {
  if (state.Units == 1) return "Inch";
  if (state.Units == 1000) return "mil";
  return "mm";
}

std::string ShapeName(int shape) {
  switch (shape) {
    case 1: return "V";
    case 2: return "round";
    default: return "flat";
  }
}

MeasurementReport MakeReport(const MeasureState& state, Material material, const std::string& file,
                             const MeasurementOutcome& outcome) {
  MeasurementReport report;
  report.file = file;
  report.outcome = outcome;
  report.channel = state.MyChannel;
  report.units = UnitName(state);
  report.channelFound = ChannelFound(state, outcome);
  report.numbers = report.channelFound ? NumbersOf(state, material, outcome.shapeFound)
                                       : ResultNumbers{};
  return report;
}

MeasurementReport FailedReport(const std::string& file, const std::string& error) {
  MeasurementReport report;
  report.file = file;
  report.error = error;
  return report;
}

std::string ReportLine(const MeasureState& state, const MeasurementReport& report) {
  std::string line = EscapeForTerminal(report.file) + ": ";
  if (!report.error.empty()) return line + "not measured: " + EscapeForTerminal(report.error);
  const std::string judged = report.judgement ? JudgementText(*report.judgement) : "";
  if (!report.channelFound) return line + "no channel found (no lit surface in the profile)" + judged;
  const ResultTexts& t = report.outcome.texts;
  const std::string unit = " " + report.units;
  line += ShapeName(report.outcome.shapeFound);
  if (report.channel.shape != report.outcome.shapeFound) line += " (shown as " + ShapeName(report.channel.shape) + ")";
  line += ", depth " + t.depth + unit + ", width " + t.width + (t.widthRed ? "" : unit);
  if (t.widthRed) line += report.channel.levelOK >= 2 ? " (level too deep)" : unit + " (deep level)";
  if (t.openVisible) line += ", opening " + t.open;
  if (report.outcome.shapeFound == 1) line += ", V angle " + std::to_string(Round(report.channel.alphav)) + "\u00b0";
  if (report.outcome.shapeFound == 2) {
    line += ", bottom radius " + StrUnits(state, GetRadius(state, report.channel.radius) / 2) + unit;
  }
  if (report.recordId) line += judged + ", recorded #" + std::to_string(*report.recordId);
  else line += judged;
  return line;
}

void WriteReport(JsonWriter& json, const MeasurementReport& report) {
  json.BeginObject();
  json.Key("file");
  json.String(report.file);
  json.Key("status");
  if (!report.error.empty()) {
    json.String("error");
    json.Key("error");
    json.String(report.error);
    json.EndObject();
    return;
  }
  json.String(report.channelFound ? "measured" : "no channel");
  const ResultTexts& t = report.outcome.texts;
  json.Key("shape");
  json.Integer(report.channel.shape);
  json.Key("shapeFound");
  json.Integer(report.outcome.shapeFound);
  json.Key("shapeName");
  json.String(ShapeName(report.outcome.shapeFound));
  json.Key("levelOK");
  json.Integer(report.channel.levelOK);
  json.Key("units");
  json.String(report.units);
  json.Key("depthText");
  json.String(t.depth);
  json.Key("widthText");
  json.String(t.width);
  json.Key("radiusText");
  json.String(t.radius);
  json.Key("alphaVText");
  json.String(t.alphaV);
  json.Key("openText");
  json.String(t.open);
  NumberOrNull(json, "depthMm", report.numbers.depthMm);
  NumberOrNull(json, "widthMm", report.numbers.widthMm);
  NumberOrNull(json, "radiusMm", report.numbers.radiusMm);
  NumberOrNull(json, "openDeg", report.numbers.openDeg);
  NumberOrNull(json, "alphaVDeg", report.numbers.alphaVDeg);
  json.Key("channel");
  WriteChannel(json, report.channel);
  if (report.truth) {
    json.Key("truth");
    json.BeginObject();
    json.Key("shape");
    json.String(report.truth->shape);
    json.Key("depthMm");
    json.Number(report.truth->depthMm);
    json.Key("widthMm");
    json.Number(report.truth->widthMm);
    json.Key("angle");
    json.Number(report.truth->angle);
    json.Key("radiusMm");
    json.Number(report.truth->radiusMm);
    json.EndObject();
  }
  if (report.recordId) {
    json.Key("recordId");
    json.Integer(*report.recordId);
  }
  if (report.judgement) {
    const Judgement& j = *report.judgement;
    json.Key("job");
    json.String(j.jobId);
    json.Key("verdict");
    json.String(std::string(VerdictText(j.overall)));
    json.Key("depthVerdict");
    json.String(std::string(VerdictText(j.depth)));
    json.Key("widthVerdict");
    json.String(std::string(VerdictText(j.width)));
    if (j.open) {
      json.Key("openVerdict");
      json.String(std::string(VerdictText(*j.open)));
    }
    json.Key("uncertainty");
    json.BeginObject();
    json.Key("depthMm");
    json.Number(j.depthU);
    json.Key("widthMm");
    json.Number(j.widthU);
    json.Key("verified");
    json.Bool(j.verified);
    json.EndObject();
  }
  json.EndObject();
}
