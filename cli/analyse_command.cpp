#include "cli/commands.h"

#include <cstdio>

#include "cli/command_output.h"
#include "cli/history_records.h"
#include "cli/job_verdicts.h"
#include "cli/measurement_report.h"
#include "cli/measurement_setup.h"
#include "imaging/tool_image.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx analyse FILE... [--cal INI] [--material steel|bevel|pertinax] [--level L]\n"
    "                   [--home DIR] [--job ID] [--record] [--json | --json-lines] [--save FILE.CRY|FILE.jpg]\n"
    "  Measures tool images (.CRY) again from the profile in their last row.\n"
    "  --cal INI      calibration and display settings (units, digits, show flags,\n"
    "                 level, fibre) of this settings or device file; without it the\n"
    "                 ideal gauge that vqx scan uses (3600 pixels per inch, factors 1)\n"
    "  --material M   channel material (default: MATERIAL of the INI, else steel)\n"
    "  --level L      width level: 0 the surface, -1..-6 the flank points at 10 px/10 %,\n"
    "                 20, 30, 40, 50, 80 % of the depth, > 0 millimetres below the surface\n"
    "  --home DIR     home folder: its VELDRAQX.INI is the calibration unless --cal is\n"
    "                 given, and its job catalogue (VELDRAQXJOBS.INI) holds the jobs\n"
    "  --job ID       judges each measurement against the job's tolerances with the\n"
    "                 gauge's uncertainty: OK, NOT OK or NOT DECIDABLE (vqx jobs)\n"
    "  --record       records the measurement in the history of the home folder\n"
    "                 (VELDRAQXHISTORY.sqlite, its tool image under History/; vqx history)\n"
    "  --json         one JSON array with an object per file (failed files with \"error\")\n"
    "  --json-lines   one JSON object per line, each printed as soon as its file is measured\n"
    "  --save FILE    with one input file: the tool image again (.CRY) or a JPEG of\n"
    "                 the result picture (.jpg)\n"
    "  Exit codes: 0 every file measured (also when no channel was found),\n"
    "  2 usage error or an unknown job, 3 a file could not be read or written.\n";

}  // namespace

int AnalyseCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  if (!ParseArguments(args, {"--cal", "--material", "--level", "--save", "--home", "--job"},
                      {"--json", "--json-lines", "--record", "--help"}, parsed, error)) {
    PrintError(err, "analyse", error + " (try vqx analyse --help)");
    return 2;
  }
  if (parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return FlushResults(out, err, "analyse") ? 0 : 3;
  }
  if (parsed.positional.empty()) error = "no tool image given";
  if (parsed.Has("--json") && parsed.Has("--json-lines")) error = "--json and --json-lines exclude each other";
  SaveKind saveKind = SaveKind::ToolImage;
  const auto save = parsed.Option("--save");
  if (error.empty() && save) {
    if (parsed.positional.size() != 1) {
      error = "--save needs exactly one tool image";
    } else {
      SaveKindOf(*save, saveKind, error);
    }
  }
  if (!error.empty()) {
    PrintError(err, "analyse", error + " (try vqx analyse --help)");
    return 2;
  }
  CalibrationOfHome(parsed);
  MeasurementSetup setup;
  if (int code = 0; !PrepareSetup(parsed, setup, error, code)) {
    PrintError(err, "analyse", error);
    return code;
  }
  std::optional<JobContext> job;
  if (int code = 0; !PrepareJob(parsed, setup.state, job, error, code)) {
    PrintError(err, "analyse", error);
    return code;
  }
  const bool json = parsed.Has("--json");
  const bool jsonLines = parsed.Has("--json-lines");
  JsonWriter array;
  if (json) array.BeginArray();
  int exitCode = 0;
  for (const std::string& file : parsed.positional) {
    MeasurementImages images;
    MeasurementReport report;
    const FileStatus loaded = LoadBmpAsPng(images.iBild, file);
    if (!loaded.ok) {
      PrintError(err, "analyse", loaded.message);
      exitCode = 3;
      report = FailedReport(file, loaded.message);
    } else {
      const MeasurementOutcome outcome = AnalyseStoredImage(setup.state, images, setup.material, setup.options);
      report = MakeReport(setup.state, setup.material, file, outcome);
      if (job) report.judgement = JudgeMeasurement(*job, report.numbers);
      if (parsed.Has("--record")) {
        long long id = 0;
        const FileStatus recorded = RecordReport(parsed, report, setup.state, setup.material, images.iBild, id);
        if (recorded.ok) {
          report.recordId = id;
        } else {
          PrintError(err, "analyse", "the measurement was not recorded: " + recorded.message);
          exitCode = 3;
        }
      }
      if (save) {
        const FileStatus saved = SaveResult(*save, saveKind, images.iBild, images.rBild);
        if (!saved.ok) {
          PrintError(err, "analyse", saved.message);
          exitCode = 3;
        }
      }
    }
    if (json) {
      WriteReport(array, report);
    } else if (jsonLines) {
      JsonWriter line;
      WriteReport(line, report);
      std::fprintf(out, "%s\n", line.Text().c_str());
      std::fflush(out);
    } else if (report.error.empty()) {
      std::fprintf(out, "%s\n", ReportLine(setup.state, report).c_str());
    }
  }
  if (json) {
    array.EndArray();
    std::fprintf(out, "%s\n", array.Text().c_str());
  }
  if (!FlushResults(out, err, "analyse")) return 3;
  return exitCode;
}
