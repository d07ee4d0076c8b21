#include "cli/history_records.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <system_error>

#include "imaging/tool_image.h"
#include "measure/units.h"
#include "platform/profile_file.h"

namespace {

std::optional<double> Value(double v) { return std::isfinite(v) ? std::optional<double>(v) : std::nullopt; }

std::string Shortest(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : std::string("nan");
}

std::string Table(const TImgCalibration& cal) {
  std::string table;
  for (int i = 0; i < 6; ++i) {
    if (i) table += ";";
    table += Shortest(cal.LUTX[i]) + ":" + Shortest(cal.LUTY[i]);
  }
  return table;
}

// Removes the kept images older than `days` (all of them for 0).
void RemoveOldImages(const std::filesystem::path& folder, int days) {
  std::error_code error;
  const auto limit = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24) * days;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error) && entry.path().extension() == ".CRY" && entry.last_write_time(error) < limit) {
      std::filesystem::remove(entry.path(), error);
    }
  }
}

}  // namespace

std::filesystem::path HistoryHome(const ParsedArguments& parsed) {
  const auto home = parsed.Option("--home");
  return home ? std::filesystem::path(*home) : std::filesystem::path(".");
}

HistoryRecord RecordOf(const MeasurementReport& report, const MeasureState& state, Material material,
                       const std::filesystem::path& calibrationFile) {
  HistoryRecord r;
  r.time = NowIso8601();
  r.serial = state.SNEditText;
  r.calibrationFile = calibrationFile.empty() ? "" : std::filesystem::absolute(calibrationFile).string();
  r.calibrationTime = FileTimeIso8601(calibrationFile);
  const TImgCalibration& cal = state.ImgCalibration;
  r.pixelPerInch = cal.PixelPerInch;
  r.zFactor = cal.ZFaktor;
  r.table = Table(cal);
  r.jobId = report.judgement ? report.judgement->jobId : "";
  r.material = SettingsOf(material).name;
  r.level = state.Level;
  r.fibre = state.Fiber;
  r.depthMm = Value(report.numbers.depthMm);
  r.widthMm = Value(report.numbers.widthMm);
  r.radiusMm = Value(report.numbers.radiusMm);
  r.openDeg = Value(report.numbers.openDeg);
  r.alphaVDeg = Value(report.numbers.alphaVDeg);
  const ResultTexts& t = report.outcome.texts;
  r.depthText = t.depth;
  r.widthText = t.width;
  r.radiusText = t.radius;
  r.openText = t.open;
  r.units = report.units;
  r.shape = report.outcome.shapeFound;
  r.levelOK = report.channel.levelOK;
  if (const auto& j = report.judgement) {
    r.verdict = std::string(VerdictText(j->overall));
    r.depthVerdict = std::string(VerdictText(j->depth));
    r.widthVerdict = std::string(VerdictText(j->width));
    r.depthU = j->depthU;
    r.widthU = j->widthU;
  }
  return r;
}

FileStatus RecordMeasurement(const std::filesystem::path& home, const MeasurementReport& report,
                             const MeasureState& state, Material material, const std::filesystem::path& calibrationFile,
                             const Bitmap* toolImage, long long& id) {
  std::unique_ptr<HistoryDb> db;
  if (FileStatus opened = HistoryDb::Open(home, db); !opened.ok) return opened;
  HistoryRecord record = RecordOf(report, state, material, calibrationFile);
  const int days = calibrationFile.empty() ? kDefaultHistoryDays
                                           : ReadProfileInt("VELDRAQX", "HISTORYDAYS", kDefaultHistoryDays, calibrationFile);
  if (toolImage && days > 0) {
    const std::filesystem::path folder = home / "History";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    RemoveOldImages(folder, days);
    std::string stamp = record.time.substr(0, 19);
    for (char& c : stamp) c = (c == ':') ? '-' : c;
    static int kept = 0;  // several measurements of one process in one second
    const std::string name = stamp + "_" + std::to_string(::getpid()) + "_" + std::to_string(++kept) + ".CRY";
    if (FileStatus saved = SaveBmpAsPNG(*toolImage, folder / name); !saved.ok) return saved;
    record.image = "History/" + name;
  }
  if (FileStatus recorded = db->Record(record); !recorded.ok) return recorded;
  id = record.id;
  return FileStatus::Success();
}
