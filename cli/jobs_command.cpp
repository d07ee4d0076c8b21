// vqx jobs: the job catalogue of a home folder (VELDRAQXJOBS.INI), as a
// quality engineer keeps it from scripts.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command_output.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "measure/job_catalogue.h"
#include "measure/material.h"
#include "measure/numbers.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx jobs add ID --depth MM --width MM [--depth-tol MM | --depth-min MM --depth-max MM]\n"
    "                [--width-tol MM | --width-min MM --width-max MM] [--angle DEG [--angle-tol DEG]]\n"
    "                [--material steel|bevel|pertinax] [--note TEXT] [--home DIR]\n"
    "       vqx jobs list [--json] [--home DIR]\n"
    "       vqx jobs remove ID [--home DIR]\n"
    "  The jobs of the home folder (default: the working folder), kept in VELDRAQXJOBS.INI:\n"
    "  for each JOB ID the nominal depth and width of its channel with their limits, the\n"
    "  opening angle, the material and a note. add replaces a job of the same ID. A\n"
    "  tolerance --depth-tol T is the limits nominal - T .. nominal + T; either limit of\n"
    "  --depth-min/--depth-max alone is a one-sided tolerance.\n"
    "  Exit codes: 0 done, 1 no such job (remove), 2 usage error, 3 the catalogue could not\n"
    "  be read or written.\n";

std::filesystem::path Home(const ParsedArguments& parsed) {
  const auto home = parsed.Option("--home");
  return home ? std::filesystem::path(*home) : std::filesystem::path(".");
}

// A length or angle option, when given.
bool Optional(const ParsedArguments& parsed, const std::string& name, std::optional<double>& value, std::string& error) {
  if (!parsed.Option(name)) return true;
  double number = 0;
  if (!NumberOption(parsed, name, number, error)) return false;
  value = number;
  return true;
}

// The limits of one quantity from --X-tol or --X-min/--X-max.
bool Limits(const ParsedArguments& parsed, const std::string& quantity, double nominal, Tolerance& tolerance,
            std::string& error) {
  std::optional<double> tol, low, high;
  if (!Optional(parsed, "--" + quantity + "-tol", tol, error) || !Optional(parsed, "--" + quantity + "-min", low, error) ||
      !Optional(parsed, "--" + quantity + "-max", high, error)) {
    return false;
  }
  if (tol && (low || high)) {
    error = "--" + quantity + "-tol and --" + quantity + "-min/-max exclude each other";
    return false;
  }
  if (tol) {
    if (!(*tol > 0)) {
      error = "--" + quantity + "-tol must be a number above 0";
      return false;
    }
    tolerance = {nominal - *tol, nominal + *tol};
  } else {
    tolerance = {low, high};
  }
  return true;
}

void Limit(JsonWriter& json, const char* key, const std::optional<double>& value) {
  json.Key(key);
  if (value) {
    json.Number(*value);
  } else {
    json.Null();
  }
}

void WriteJob(JsonWriter& json, const Job& job) {
  json.BeginObject();
  json.Key("id");
  json.String(job.id);
  json.Key("depthMm");
  json.Number(job.depth);
  Limit(json, "depthMinMm", job.depthTolerance.lower);
  Limit(json, "depthMaxMm", job.depthTolerance.upper);
  json.Key("widthMm");
  json.Number(job.width);
  Limit(json, "widthMinMm", job.widthTolerance.lower);
  Limit(json, "widthMaxMm", job.widthTolerance.upper);
  Limit(json, "openDeg", job.angle);
  Limit(json, "openMinDeg", job.angleTolerance.lower);
  Limit(json, "openMaxDeg", job.angleTolerance.upper);
  json.Key("material");
  json.String(job.material);
  json.Key("note");
  json.String(job.note);
  json.EndObject();
}

std::string LimitsText(const Tolerance& tolerance, int decimals) {
  auto text = [&](const std::optional<double>& v) { return v ? FormatFixed(*v, decimals) : std::string("-"); };
  return tolerance.Any() ? " [" + text(tolerance.lower) + " .. " + text(tolerance.upper) + "]" : "";
}

std::string JobLine(const Job& job) {
  std::string line = job.id + ": depth " + FormatFixed(job.depth, 3) + LimitsText(job.depthTolerance, 3) +
                     " mm, width " + FormatFixed(job.width, 3) + LimitsText(job.widthTolerance, 3) + " mm";
  if (job.angle) line += ", opening " + FormatFixed(*job.angle, 1) + LimitsText(job.angleTolerance, 1) + " deg";
  if (!job.material.empty()) line += ", " + job.material;
  if (!job.note.empty()) line += ", \"" + job.note + "\"";
  return line;
}

}  // namespace

int JobsCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  const bool parsedOk =
      ParseArguments(args,
                     {"--home", "--depth", "--width", "--depth-tol", "--depth-min", "--depth-max", "--width-tol",
                      "--width-min", "--width-max", "--angle", "--angle-tol", "--material", "--note"},
                     {"--json", "--help"}, parsed, error);
  if (parsedOk && parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return 0;
  }
  const std::string action = parsed.positional.empty() ? "" : parsed.positional[0];
  if (parsedOk && action != "add" && action != "list" && action != "remove") {
    error = action.empty() ? "add, list or remove?" : "unknown action '" + action + "' (add, list or remove)";
  }
  const std::size_t expected = action == "list" ? 1 : 2;
  if (error.empty() && parsed.positional.size() != expected) {
    error = action == "list" ? "list takes no ID" : action + " needs one JOB ID";
  }
  if (!error.empty()) {
    PrintError(err, "jobs", error + " (try vqx jobs --help)");
    return 2;
  }
  const std::filesystem::path home = Home(parsed);
  std::vector<Job> jobs;
  if (const FileStatus loaded = LoadJobs(JobFile(home), jobs); !loaded.ok) {
    PrintError(err, "jobs", loaded.message);
    return 3;
  }
  if (action == "list") {
    if (parsed.Has("--json")) {
      JsonWriter json;
      json.BeginArray();
      for (const Job& job : jobs) WriteJob(json, job);
      json.EndArray();
      std::fprintf(out, "%s\n", json.Text().c_str());
    } else {
      for (const Job& job : jobs) std::fprintf(out, "%s\n", JobLine(job).c_str());
    }
    return FlushResults(out, err, "jobs") ? 0 : 3;
  }
  const std::string id = parsed.positional[1];
  if (action == "remove") {
    const Job* found = FindJob(jobs, id);
    if (!found) {
      PrintError(err, "jobs", "no job \"" + id + "\" in " + QuotedPath(JobFile(home)));
      return 1;
    }
    jobs.erase(jobs.begin() + (found - jobs.data()));
  } else {
    Job job;
    job.id = id;
    double depth = NAN, width = NAN;
    if (!parsed.Option("--depth") || !parsed.Option("--width")) error = "add needs --depth and --width";
    if (error.empty() && NumberOption(parsed, "--depth", depth, error) && NumberOption(parsed, "--width", width, error)) {
      job.depth = depth;
      job.width = width;
      Limits(parsed, "depth", depth, job.depthTolerance, error) && Limits(parsed, "width", width, job.widthTolerance, error) &&
          Optional(parsed, "--angle", job.angle, error);
    }
    if (error.empty() && job.angle) {
      std::optional<double> tol;
      if (Optional(parsed, "--angle-tol", tol, error) && tol) job.angleTolerance = {*job.angle - *tol, *job.angle + *tol};
    } else if (error.empty() && parsed.Option("--angle-tol")) {
      error = "--angle-tol needs --angle";
    }
    if (error.empty() && parsed.Option("--material")) {
      Material material;
      if (!ParseMaterial(parsed.Option("--material")->c_str(), material)) {
        error = "unknown material '" + *parsed.Option("--material") + "' (steel, bevel or pertinax)";
      } else {
        job.material = material == Material::Pertinax ? "pertinax" : material == Material::SteelBevel ? "bevel" : "steel";
      }
    }
    if (parsed.Option("--note")) job.note = *parsed.Option("--note");
    if (error.empty()) {
      if (const FileStatus checked = CheckJob(job); !checked.ok) error = checked.message;
    }
    if (!error.empty()) {
      PrintError(err, "jobs", error);
      return 2;
    }
    if (const Job* existing = FindJob(jobs, id)) {
      jobs[static_cast<std::size_t>(existing - jobs.data())] = job;
    } else {
      jobs.push_back(job);
    }
  }
  if (const FileStatus saved = SaveJobs(home, "vqx jobs", jobs); !saved.ok) {
    PrintError(err, "jobs", saved.message);
    return 3;
  }
  return 0;
}
