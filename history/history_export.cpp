#include "history/history_export.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace {

// The shortest text that reads back as the same double, with a point.
std::string Number(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : std::string();
}

std::string Number(const std::optional<double>& value) {
  return value && std::isfinite(*value) ? Number(*value) : std::string();
}

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

// "2026-12-11T16:57:03+01:00" -> "11.12.2026/16:57:03"
std::string DfqTime(const std::string& iso) {
  if (iso.size() < 19) return iso;
  return iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4) + "/" + iso.substr(11, 8);
}

// K-field text: one line, no line breaks.
std::string KText(const std::string& text) {
  std::string line;
  for (const char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;
  return line;
}

}  // namespace

std::string HistoryCsv(const std::vector<HistoryRecord>& records) {
  std::string csv =
      "id,time,purpose,serial,job_id,material,depth_mm,width_mm,radius_mm,open_deg,alpha_v_deg,depth_text,"
      "width_text,radius_text,open_text,units,shape,level_ok,verdict,depth_verdict,width_verdict,depth_u_mm,"
      "width_u_mm,pixel_per_inch,z_factor,lut,calibration_file,calibration_time,level,fibre,image\r\n";
  for (const HistoryRecord& r : records) {
    const std::string fields[] = {
        std::to_string(r.id), r.time, r.purpose, r.serial, r.jobId, r.material,
        Number(r.depthMm), Number(r.widthMm), Number(r.radiusMm), Number(r.openDeg), Number(r.alphaVDeg),
        r.depthText, r.widthText, r.radiusText, r.openText, r.units, std::to_string(r.shape),
        std::to_string(r.levelOK), r.verdict.value_or(""), r.depthVerdict.value_or(""), r.widthVerdict.value_or(""),
        Number(r.depthU), Number(r.widthU), Number(r.pixelPerInch), Number(r.zFactor), r.table, r.calibrationFile,
        r.calibrationTime, Number(r.level), Number(r.fibre), r.image};
    bool first = true;
    for (const std::string& f : fields) {
      csv += (first ? "" : ",") + Field(f);
      first = false;
    }
    csv += "\r\n";
  }
  return csv;
}

std::string HistoryDfq(const std::string& jobId, const Job* job, const std::vector<HistoryRecord>& records) {
  std::string dfq;
  auto line = [&](const std::string& key, const std::string& value) { dfq += key + " " + value + "\r\n"; };
  line("K0100", "2");
  line("K1001", KText(jobId));
  if (job && !job->note.empty()) line("K1002", KText(job->note));
  const struct {
    const char* number;
    const char* description;
    double nominal;
    const Tolerance* tolerance;
  } characteristics[] = {{"Depth", "Channel depth", job ? job->depth : NAN, job ? &job->depthTolerance : nullptr},
                         {"Width", "Channel width", job ? job->width : NAN, job ? &job->widthTolerance : nullptr}};
  for (int i = 0; i < 2; ++i) {
    const auto& c = characteristics[i];
    const std::string k = "/" + std::to_string(i + 1);
    line("K2001" + k, c.number);
    line("K2002" + k, c.description);
    if (std::isfinite(c.nominal)) line("K2101" + k, Number(c.nominal));
    if (c.tolerance && c.tolerance->lower) line("K2110" + k, Number(*c.tolerance->lower));
    if (c.tolerance && c.tolerance->upper) line("K2111" + k, Number(*c.tolerance->upper));
    line("K2142" + k, "mm");
  }
  for (const HistoryRecord& r : records) {
    for (int i = 0; i < 2; ++i) {
      const std::string k = "/" + std::to_string(i + 1);
      const std::optional<double>& value = i == 0 ? r.depthMm : r.widthMm;
      // A value that was not measured is marked invalid (attribute 255).
      if (value && std::isfinite(*value)) {
        line("K0001" + k, Number(*value));
      } else {
        line("K0001" + k, "0");
        line("K0002" + k, "255");
      }
      line("K0004" + k, DfqTime(r.time));
      line("K0006" + k, KText(r.jobId));
      line("K0012" + k, KText(r.serial));
    }
  }
  return dfq;
}
