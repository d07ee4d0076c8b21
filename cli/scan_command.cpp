#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "cli/command_output.h"
#include "cli/history_records.h"
#include "cli/job_verdicts.h"
#include "cli/commands.h"
#include "cli/measurement_report.h"
#include "cli/program_folder.h"
#include "cli/simulated_scan.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx scan --simulate [--shape flat|trapezoid|v|round] [--depth MM] [--width MM]\n"
    "                [--angle DEG] [--radius MM] [--material steel|bevel|pertinax] [--cal INI]\n"
    "                [--level L] [--home DIR] [--job ID] [--record] [--seed N] [--save FILE.CRY|FILE.jpg]\n"
    "                [--json | --json-lines]\n"
    "  Takes a whole scan with the simulated gauge (live picture, key press, 14-frame\n"
    "  series, combination, analysis) and prints the result beside the sample's truth\n"
    "  and the error of each value.\n"
    "  --shape S      sample shape (default trapezoid)\n"
    "  --depth MM     depth (default 0.5)        --width MM   width at the surface (default 1.0)\n"
    "  --angle DEG    trapezoid only: flank angle from the vertical (default 15); the\n"
    "                 flanks must not meet above the bottom\n"
    "  --radius MM    round only: bottom radius (default half the width), at most the\n"
    "                 radius of the arc through both edges and the bottom\n"
    "  --material M   channel material (default: MATERIAL of the INI, else steel)\n"
    "  --cal INI      calibration and settings; the simulated gauge is built to match it\n"
    "                 (without: the ideal gauge of 3600 pixels per inch, as vqx analyse)\n"
    "  --level L      width level: 0 the surface, -1..-6 the flank points, > 0 millimetres\n"
    "                 below the surface\n"
    "  --home DIR     home folder: its VELDRAQX.INI is the calibration unless --cal is\n"
    "                 given, and its job catalogue (VELDRAQXJOBS.INI) holds the jobs\n"
    "  --job ID       judges each measurement against the job's tolerances with the\n"
    "                 gauge's uncertainty: OK, NOT OK or NOT DECIDABLE (vqx jobs)\n"
    "  --record       records the measurement in the history of the home folder\n"
    "                 (VELDRAQXHISTORY.sqlite, its tool image under History/; vqx history)\n"
    "  --seed N       sensor noise seed, a whole number 0..4294967295 (default 1)\n"
    "  --save FILE    the tool image of the scan (.CRY) or a JPEG of the result picture (.jpg)\n"
    "  --json         the result as a JSON object, with \"truth\" (--json-lines: the same)\n"
    "  Exit codes: 0 measured (also when no channel was found), 1 the scan did not run,\n"
    "  2 usage error, 3 a file could not be read or written.\n";

constexpr double kPi = 3.14159265358979323846;

bool ParseShape(const std::string& text, synth::ChannelShape& shape) {
  if (text == "flat") shape = synth::ChannelShape::Flat;
  else if (text == "trapezoid") shape = synth::ChannelShape::Trapezoid;
  else if (text == "v" || text == "V") shape = synth::ChannelShape::V;
  else if (text == "round") shape = synth::ChannelShape::Round;
  else return false;
  return true;
}

std::string Millimetres(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f mm", value);
  return text;
}

// A sample that fits the picture and is the shape it names: positive sizes,
// a depth the image can show, trapezoid flanks that do not meet above the
// bottom, a bottom arc that reaches the edges.
bool CheckSample(const SimulatedSample& sample, std::string& error) {
  const double half = sample.widthMm / 2;
  if (!(sample.depthMm > 0 && sample.depthMm <= 4)) {
    error = "--depth must lie above 0 and at most 4 mm";
  } else if (!(sample.widthMm > 0 && sample.widthMm <= 8)) {
    error = "--width must lie above 0 and at most 8 mm";
  } else if (sample.shape == synth::ChannelShape::Trapezoid) {
    const double steepest = std::atan(half / sample.depthMm) * 180 / kPi;
    if (!(sample.flankAngle >= 0 && sample.flankAngle < steepest)) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "--angle must lie from 0 to below %.1f degrees: the flanks of a %.3g mm deep, %.3g mm wide "
                    "trapezoid meet at the bottom there",
                    steepest, sample.depthMm, sample.widthMm);
      error = text;
    }
  } else if (sample.shape == synth::ChannelShape::Round) {
    const double widest = (half * half + sample.depthMm * sample.depthMm) / (2 * sample.depthMm);
    if (!(sample.bottomRadiusMm >= 0.01 && sample.bottomRadiusMm <= widest)) {
      error = "--radius must lie from 0.01 to " + Millimetres(widest) +
              ": a wider bottom arc does not reach the edges of this sample";
    }
  }
  return error.empty();
}

std::string SignedMillimetres(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%+.3f mm", value);
  return text;
}

// The sample and the error of each measured value against it.
void PrintTruth(std::FILE* out, const SimulatedSample& sample, const MeasurementReport& report, bool surfaceLevel) {
  std::fprintf(out, "sample: %s, depth %s, width %s", report.truth->shape.c_str(), Millimetres(sample.depthMm).c_str(),
               Millimetres(sample.widthMm).c_str());
  if (sample.shape == synth::ChannelShape::Trapezoid) std::fprintf(out, ", flank angle %.1f\u00b0", sample.flankAngle);
  if (sample.shape == synth::ChannelShape::Round) {
    std::fprintf(out, ", bottom radius %s", Millimetres(sample.bottomRadiusMm).c_str());
  }
  std::fprintf(out, "\n");
  if (!report.channelFound) return;
  const ResultNumbers& n = report.numbers;
  std::string errors = "error: depth " + SignedMillimetres(n.depthMm - sample.depthMm);
  if (surfaceLevel && std::isfinite(n.widthMm)) errors += ", width " + SignedMillimetres(n.widthMm - sample.widthMm);
  if (sample.shape == synth::ChannelShape::Round && std::isfinite(n.radiusMm)) {
    errors += ", bottom radius " + SignedMillimetres(n.radiusMm - sample.bottomRadiusMm);
  }
  std::fprintf(out, "%s\n", errors.c_str());
}

}  // namespace

int ScanCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  const bool parsedOk =
      ParseArguments(args, {"--shape", "--depth", "--width", "--angle", "--radius", "--material", "--cal", "--level",
                            "--seed", "--save", "--home", "--job"},
                     {"--simulate", "--json", "--json-lines", "--record", "--help"}, parsed, error);
  if (parsedOk && parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return FlushResults(out, err, "scan") ? 0 : 3;
  }
  if (parsedOk && !parsed.Has("--simulate")) error = "only --simulate scans run without a gauge";
  if (parsedOk && !parsed.positional.empty()) error = "unexpected argument '" + parsed.positional.front() + "'";
  SimulatedSample sample;
  sample.shape = synth::ChannelShape::Trapezoid;
  std::uint32_t seed = 1;
  if (error.empty() && parsed.Option("--shape") && !ParseShape(*parsed.Option("--shape"), sample.shape)) {
    error = "unknown shape '" + *parsed.Option("--shape") + "' (flat, trapezoid, v or round)";
  }
  const bool trapezoid = sample.shape == synth::ChannelShape::Trapezoid;
  const bool round = sample.shape == synth::ChannelShape::Round;
  if (error.empty() && parsed.Option("--angle") && !trapezoid) error = "--angle applies to a trapezoid sample only";
  if (error.empty() && parsed.Option("--radius") && !round) error = "--radius applies to a round sample only";
  sample.flankAngle = trapezoid ? 15 : 0;
  if (error.empty()) {
    NumberOption(parsed, "--depth", sample.depthMm, error) && NumberOption(parsed, "--width", sample.widthMm, error) &&
        NumberOption(parsed, "--angle", sample.flankAngle, error) && SeedOption(parsed, "--seed", seed, error);
  }
  sample.bottomRadiusMm = sample.widthMm / 2;
  if (error.empty()) NumberOption(parsed, "--radius", sample.bottomRadiusMm, error);
  if (error.empty()) CheckSample(sample, error);
  if (error.empty() && parsed.Has("--json") && parsed.Has("--json-lines")) {
    error = "--json and --json-lines exclude each other";
  }
  SaveKind saveKind = SaveKind::ToolImage;
  const auto save = parsed.Option("--save");
  if (error.empty() && save) SaveKindOf(*save, saveKind, error);
  if (!error.empty()) {
    PrintError(err, "scan", error + " (try vqx scan --help)");
    return 2;
  }
  CalibrationOfHome(parsed);
  MeasurementSetup setup;
  if (int code = 0; !PrepareSetup(parsed, setup, error, code)) {
    PrintError(err, "scan", error);
    return code;
  }
  std::optional<JobContext> job;
  if (int code = 0; !PrepareJob(parsed, setup.state, job, error, code)) {
    PrintError(err, "scan", error);
    return code;
  }
  // The sample is of the material the program is set to measure.
  sample.material = setup.material == Material::Pertinax ? synth::Material::Pertinax : synth::Material::Steel;
  LanguageStore language = CreateLanguage();
  if (const FileStatus loaded = language.LoadLanguage(ProgramFolder(), "English"); !loaded.ok) {
    PrintError(err, "scan", loaded.message);
    return 1;
  }
  const bool showProgress = isatty(fileno(err));
  SimulatedScan scan;
  const bool done = RunSimulatedScan(
      setup, sample, seed, language, scan, error,
      [&](int percent) {
        if (showProgress) std::fprintf(err, "\rscanning %3d %%", percent);
      },
      [&](const std::string& text) { PrintError(err, "scan", text); });
  if (showProgress) std::fputs("\r               \r", err);
  if (!done) {
    PrintError(err, "scan", error);
    return 1;
  }
  int exitCode = 0;
  std::string name = "simulated scan";
  if (save) {
    const FileStatus saved = SaveResult(*save, saveKind, scan.image, scan.picture);
    if (saved.ok) {
      name = *save;
    } else {
      PrintError(err, "scan", saved.message);
      exitCode = 3;
    }
  }
  MeasurementReport report = MakeReport(setup.state, setup.material, name, scan.outcome);
  if (job) report.judgement = JudgeMeasurement(*job, report.numbers);
  bool unrecorded = false;
  if (parsed.Has("--record")) {
    long long id = 0;
    const FileStatus recorded = RecordReport(parsed, report, setup.state, setup.material, scan.image, id);
    if (recorded.ok) {
      report.recordId = id;
    } else {
      PrintError(err, "scan", "the measurement was not recorded: " + recorded.message);
      unrecorded = true;
    }
  }
  const char* shapeNames[] = {"flat", "trapezoid", "v", "round"};
  report.truth = SampleTruth{shapeNames[static_cast<int>(sample.shape)], sample.depthMm, sample.widthMm,
                             sample.flankAngle, round ? sample.bottomRadiusMm : 0};
  if (parsed.Has("--json") || parsed.Has("--json-lines")) {
    JsonWriter writer;
    WriteReport(writer, report);
    std::fprintf(out, "%s\n", writer.Text().c_str());
  } else {
    std::fprintf(out, "%s\n", ReportLine(setup.state, report).c_str());
    PrintTruth(out, sample, report, setup.state.Level == 0);
  }
  if (!FlushResults(out, err, "scan")) return 3;
  return unrecorded ? 3 : exitCode;
}
