// vqx history: the recorded measurements of a home folder, filtered, as text,
// JSON, CSV or a Q-DAS DFQ file.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command_output.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "history/history.h"
#include "history/history_export.h"
#include "measure/job_catalogue.h"
#include "measure/numbers.h"
#include "platform/atomic_file.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx history [--home DIR] [--job ID] [--since ISO] [--until ISO] [--serial N] [--verdict V]\n"
    "                   [--json | --csv | --dfq FILE]\n"
    "  The measurements recorded in VELDRAQXHISTORY.sqlite of the home folder (default: the\n"
    "  working folder), oldest first: one line each, or\n"
    "  --json        an array of records (numbers in mm and degrees, verdict null without a job)\n"
    "  --csv         RFC 4180 with a header row (UTF-8, ISO 8601 times, numbers with a point)\n"
    "  --dfq FILE    the records of --job as a Q-DAS DFQ file (AQDEF K-field form)\n"
    "  --since, --until  ISO 8601 times or dates, inclusive (2026-12-01, 2026-12-11T18:00:00+01:00)\n"
    "  Exit codes: 0 done, 2 usage error, 3 the history could not be read or the file written.\n";

void Optional(JsonWriter& json, const char* key, const std::optional<double>& value) {
  json.Key(key);
  if (value) json.Number(*value);
  else json.Null();
}

void Optional(JsonWriter& json, const char* key, const std::optional<std::string>& value) {
  json.Key(key);
  if (value) json.String(*value);
  else json.Null();
}

void WriteRecord(JsonWriter& json, const HistoryRecord& r) {
  json.BeginObject();
  json.Key("id");
  json.Integer(r.id);
  for (const auto& [key, value] : {std::pair{"time", &r.time}, std::pair{"purpose", &r.purpose},
                                   std::pair{"serial", &r.serial}, std::pair{"jobId", &r.jobId},
                                   std::pair{"material", &r.material}}) {
    json.Key(key);
    json.String(*value);
  }
  json.Key("calibration");
  json.BeginObject();
  json.Key("file");
  json.String(r.calibrationFile);
  json.Key("time");
  json.String(r.calibrationTime);
  json.Key("pixelPerInch");
  json.Number(r.pixelPerInch);
  json.Key("zFactor");
  json.Number(r.zFactor);
  json.Key("table");
  json.String(r.table);
  json.EndObject();
  json.Key("level");
  json.Number(r.level);
  json.Key("fibre");
  json.Number(r.fibre);
  Optional(json, "depthMm", r.depthMm);
  Optional(json, "widthMm", r.widthMm);
  Optional(json, "radiusMm", r.radiusMm);
  Optional(json, "openDeg", r.openDeg);
  Optional(json, "alphaVDeg", r.alphaVDeg);
  for (const auto& [key, value] : {std::pair{"depthText", &r.depthText}, std::pair{"widthText", &r.widthText},
                                   std::pair{"radiusText", &r.radiusText}, std::pair{"openText", &r.openText},
                                   std::pair{"units", &r.units}}) {
    json.Key(key);
    json.String(*value);
  }
  json.Key("shape");
  json.Integer(r.shape);
  json.Key("levelOK");
  json.Integer(r.levelOK);
  Optional(json, "verdict", r.verdict);
  Optional(json, "depthVerdict", r.depthVerdict);
  Optional(json, "widthVerdict", r.widthVerdict);
  json.Key("uncertainty");
  if (r.depthU || r.widthU) {
    json.BeginObject();
    Optional(json, "depthMm", r.depthU);
    Optional(json, "widthMm", r.widthU);
    json.EndObject();
  } else {
    json.Null();
  }
  json.Key("image");
  json.String(r.image);
  json.EndObject();
}

std::string Line(const HistoryRecord& r) {
  auto mm = [](const std::optional<double>& v) { return v ? FormatFixed(*v, 3) : std::string("-"); };
  std::string line = "#" + std::to_string(r.id) + " " + r.time + " " + r.purpose + " SN " + r.serial;
  if (!r.jobId.empty()) line += " job " + r.jobId;
  line += ": depth " + mm(r.depthMm) + " mm, width " + mm(r.widthMm) + " mm";
  if (r.verdict) line += ", " + *r.verdict;
  return line;
}

// A date alone is the whole day.
std::string Since(const std::string& text) { return text.size() == 10 ? text + "T00:00:00" : text; }
std::string Until(const std::string& text) { return text.size() == 10 ? text + "T23:59:59~" : text; }

}  // namespace

int HistoryCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  if (!ParseArguments(args, {"--home", "--job", "--since", "--until", "--serial", "--verdict", "--dfq"},
                      {"--json", "--csv", "--help"}, parsed, error)) {
    PrintError(err, "history", error + " (try vqx history --help)");
    return 2;
  }
  if (parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return FlushResults(out, err, "history") ? 0 : 3;
  }
  const int formats = parsed.Has("--json") + parsed.Has("--csv") + (parsed.Option("--dfq") ? 1 : 0);
  if (formats > 1) error = "--json, --csv and --dfq exclude each other";
  if (parsed.Option("--dfq") && !parsed.Option("--job")) error = "--dfq needs --job: a DFQ file holds one part";
  if (!parsed.positional.empty()) error = "unexpected argument '" + parsed.positional.front() + "'";
  if (!error.empty()) {
    PrintError(err, "history", error + " (try vqx history --help)");
    return 2;
  }
  const std::filesystem::path home = parsed.Option("--home") ? *parsed.Option("--home") : ".";
  std::unique_ptr<HistoryDb> db;
  if (const FileStatus opened = HistoryDb::Open(home, db, false); !opened.ok) {
    PrintError(err, "history", opened.message);
    return 3;
  }
  HistoryFilter filter;
  filter.jobId = parsed.Option("--job");
  if (const auto since = parsed.Option("--since")) filter.since = Since(*since);
  if (const auto until = parsed.Option("--until")) filter.until = Until(*until);
  filter.serial = parsed.Option("--serial");
  filter.verdict = parsed.Option("--verdict");
  std::vector<HistoryRecord> records;
  if (const FileStatus read = db->Query(filter, records); !read.ok) {
    PrintError(err, "history", read.message);
    return 3;
  }
  if (const auto dfq = parsed.Option("--dfq")) {
    std::vector<Job> jobs;
    const FileStatus loaded = LoadJobs(JobFile(home), jobs);
    if (!loaded.ok) PrintError(err, "history", loaded.message + "; the DFQ file has no nominal or limits");
    const FileStatus written = WriteFileAtomically(*dfq, HistoryDfq(*parsed.Option("--job"), FindJob(jobs, *parsed.Option("--job")), records));
    if (!written.ok) {
      PrintError(err, "history", written.message);
      return 3;
    }
    return 0;
  }
  if (parsed.Has("--csv")) {
    std::fputs(HistoryCsv(records).c_str(), out);
  } else if (parsed.Has("--json")) {
    JsonWriter json;
    json.BeginArray();
    for (const HistoryRecord& r : records) WriteRecord(json, r);
    json.EndArray();
    std::fprintf(out, "%s\n", json.Text().c_str());
  } else {
    for (const HistoryRecord& r : records) std::fprintf(out, "%s\n", Line(r).c_str());
  }
  return FlushResults(out, err, "history") ? 0 : 3;
}
