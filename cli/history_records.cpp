#include "cli/history_records.h"

#include "history/measurement_record.h"

std::filesystem::path HistoryHome(const ParsedArguments& parsed) {
  const auto home = parsed.Option("--home");
  return home ? std::filesystem::path(*home) : std::filesystem::path(".");
}

FileStatus RecordReport(const ParsedArguments& parsed, const MeasurementReport& report, const MeasureState& state,
                        Material material, const Bitmap& toolImage, long long& id) {
  const auto cal = parsed.Option("--cal");
  const std::filesystem::path calibrationFile = cal ? std::filesystem::path(*cal) : std::filesystem::path();
  HistoryRecord record = MeasurementRecord(state, material, report.numbers, report.outcome.texts, report.units,
                                           report.outcome.shapeFound, report.judgement, calibrationFile);
  const FileStatus recorded = RecordMeasurement(HistoryHome(parsed), record, &toolImage, calibrationFile);
  if (recorded.ok) id = record.id;
  return recorded;
}
