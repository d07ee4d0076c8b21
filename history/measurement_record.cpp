#include "history/measurement_record.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <system_error>

#include "imaging/tool_image.h"
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

HistoryRecord MeasurementRecord(const MeasureState& state, Material material, const ResultNumbers& numbers,
                                const ResultTexts& t, const std::string& units, int shapeFound,
                                const std::optional<Judgement>& judgement,
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
  r.jobId = judgement ? judgement->jobId : "";
  r.material = SettingsOf(material).name;
  r.level = state.Level;
  r.fibre = state.Fiber;
  r.depthMm = Value(numbers.depthMm);
  r.widthMm = Value(numbers.widthMm);
  r.radiusMm = Value(numbers.radiusMm);
  r.openDeg = Value(numbers.openDeg);
  r.alphaVDeg = Value(numbers.alphaVDeg);
  r.depthText = t.depth;
  r.widthText = t.width;
  r.radiusText = t.radius;
  r.openText = t.open;
  r.units = units;
  r.shape = shapeFound;
  r.levelOK = state.MyChannel.levelOK;
  if (const auto& j = judgement) {
    r.verdict = std::string(VerdictText(j->overall));
    r.depthVerdict = std::string(VerdictText(j->depth));
    r.widthVerdict = std::string(VerdictText(j->width));
    r.depthU = j->depthU;
    r.widthU = j->widthU;
  }
  return r;
}

FileStatus RecordMeasurement(const std::filesystem::path& home, HistoryRecord& record, const Bitmap* toolImage,
                             const std::filesystem::path& calibrationFile) {
  std::unique_ptr<HistoryDb> db;
  if (FileStatus opened = HistoryDb::Open(home, db); !opened.ok) return opened;
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
  return db->Record(record);
}
