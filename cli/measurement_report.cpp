#include "cli/measurement_report.h"

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

std::string ReportLine(const MeasureState& state, const MeasurementReport& report) {
  const ResultTexts& t = report.outcome.texts;
  const std::string unit = " " + UnitName(state);
  std::string line = report.file + ": " + ShapeName(report.channel.shape) + ", depth " + t.depth + unit +
                     ", width " + t.width + (t.widthRed ? "" : unit);
  if (t.widthRed) line += report.channel.levelOK >= 2 ? " (level too deep)" : unit + " (deep level)";
  if (t.openVisible) line += ", opening " + t.open;
  if (!t.radius.empty() && t.radiusVisible) line += ", radius " + t.radius + unit;
  if (!t.alphaV.empty() && t.alphaVisible) line += ", V angle " + t.alphaV;
  return line;
}

void WriteReport(JsonWriter& json, const MeasurementReport& report) {
  const ResultTexts& t = report.outcome.texts;
  json.BeginObject();
  json.Key("file");
  json.String(report.file);
  json.Key("shape");
  json.Integer(report.channel.shape);
  json.Key("shapeFound");
  json.Integer(report.outcome.shapeFound);
  json.Key("levelOK");
  json.Integer(report.channel.levelOK);
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
  json.EndObject();
}
