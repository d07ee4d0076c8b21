// vqx verify --simulate: captures of the verification target with the
// simulated gauge and the calibration of the home folder, judged as the
// verification window judges them.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "cli/command_output.h"
#include "cli/commands.h"
#include "cli/console_panel.h"
#include "cli/simulated_station.h"
#include "cli/station_output.h"
#include "cli/station_reports.h"
#include "measure/mymath.h"
#include "measure/numbers.h"
#include "measure/plausible_values.h"
#include "measure/units.h"
#include "shell/startup.h"
#include "station/verification_station.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx verify --simulate [--home DIR] [--captures N] [--target-depth MM --target-width MM]\n"
    "                  [--seed N] [--json]\n"
    "  Verifies the simulated gauge with the calibration of the home folder as the verification\n"
    "  window does: N captures of the target channel, each judged against the target (depth\n"
    "  within 0.01 mm, width within 0.02 mm), the statistics over the stored captures, and the\n"
    "  verification report when the last capture passes.\n"
    "  --home DIR          home folder holding VELDRAQX.INI (default: the working folder)\n"
    "  --captures N        captures of the target (default 10)\n"
    "  --target-depth MM   target depth (default TD of section MORKELTARGET, else 0.520)\n"
    "  --target-width MM   target width (default TW of section MORKELTARGET, else 3.000)\n"
    "  --seed N            first sensor noise seed (default 1); each capture takes the next\n"
    "  --json              the steps as a JSON object\n"
    "  Exit codes: 0 the last capture passed and the report was written, 1 otherwise,\n"
    "  2 usage error, 3 a file could not be read or written.\n";

constexpr double kMaxCaptures = 1000;

bool RangeOption(const ParsedArguments& parsed, const std::string& name, double low, double high, bool whole,
                 double& value, std::string& error) {
  if (!NumberOption(parsed, name, value, error)) return false;
  if (!(value >= low && value <= high) || (whole && value != std::floor(value))) {
    error = name + " must be a" + (whole ? " whole number" : " number") + " from " + FormatFixed(low, whole ? 0 : 3) +
            " to " + FormatFixed(high, whole ? 0 : 3);
    return false;
  }
  return true;
}

// A target in millimetres within the plausible range of its key (micrometres).
bool TargetOption(const ParsedArguments& parsed, const std::string& name, const char* key, double& value,
                  std::string& error) {
  const PlausibleRange& range = *FindPlausibleRange("MORKELTARGET", key);
  return RangeOption(parsed, name, range.min / 1000.0, range.max / 1000.0, false, value, error);
}

// A verification at the simulated station, step by step as the technician
// clicks through the verification window; each step prints what it shows.
class VerificationRun {
public:
  VerificationRun(const std::filesystem::path& home, std::uint32_t seed, bool json, const LanguageStore& language,
                  std::FILE* out)
      : home_(home),
        language_(language),
        panel_([](const std::string&, const std::string&) { return false; },
               [this](ReportKind kind, std::string& message) {
                 return kind == kVerificationReport &&
                        WriteVerificationReport(station_, serial_, pictures_, home_, message);
               }),
        station_(setup_.state, pictures_, panel_, home / kSettingsFileName),
        simulated_(kSimulatedGaugeTruth, seed),
        output_(json, out) {
    loaded_ = LoadStationState(home / kSettingsFileName, setup_.state);
    serial_ = GetSerial(setup_.state);
  }

  // `captures` of the target (the edits, or the depth and width given); the
  // exit code of the command.
  int Run(int captures, std::optional<double> depth, std::optional<double> width, std::FILE* err) {
    // A gauge is never verified with a calibration that was refused.
    if (!loaded_.ok) {
      std::fprintf(err, "vqx verify: %s\n", loaded_.message.c_str());
      return 3;
    }
    Activate(depth, width);
    station_.RefreshbtnClick();
    const bool scanned = Captures(captures);
    Statistics(captures);
    const bool written = scanned && Report();
    output_.Finish();
    if (!scanned) {
      std::fprintf(err, "vqx verify: %s\n", error_.c_str());
      return 1;
    }
    return written ? 0 : 1;
  }

  int WriteError() const { return output_.WriteError(); }

private:
  void Activate(std::optional<double> depth, std::optional<double> width) {
    // A stored target no gauge can measure is named; the captures against
    // it fail unless the options replace it.
    station_.FormActivate();
    VerificationControls& c = station_.controls;
    if (depth) c.CALDEdit = FormatFixed(*depth, 3);
    if (width) c.CALWEdit = FormatFixed(*width, 3);
    output_.BeginStep("activate");
    output_.Text("serial", serial_);
    output_.Text("CALDEdit", c.CALDEdit);
    output_.Text("CALWEdit", c.CALWEdit);
    output_.Colour("DepthShape", c.DepthShape);
    output_.List("messages", panel_.TakeMessages());
    output_.EndStep();
  }

  // Scans of the target channel the edits name; false when a scan did not run.
  bool Captures(int captures) {
    const VerificationControls& c = station_.controls;
    double depth = 0;
    double width = 0;
    GetValue(c.CALDEdit, depth);
    GetValue(c.CALWEdit, width);
    const SimulatedSample target = RectangularChannel(depth, width);
    for (int i = 1; i <= captures; ++i) {
      station_.CapturebtnClick();
      SimulatedScan scan;
      const bool scanned = simulated_.Scan(setup_, target, language_, scan, error_);
      output_.BeginStep("capture");
      output_.Text("n", std::to_string(i));
      if (scanned) {
        station_.SetValues(scan.picture);
        if (c.DepthShape == Indicator::Green) ++passes_;
        output_.Text("BDepth", c.BDepth);
        output_.Text("BWidth", c.BWidth);
        output_.Colour("DepthShape", c.DepthShape);
        output_.Text("result", c.DepthShape == Indicator::Green ? "pass" : "fail");
      } else {
        output_.Text("error", error_);
      }
      output_.List("sounds", panel_.TakeSounds());
      output_.EndStep();
      if (!scanned) return false;
    }
    return true;
  }

  void Statistics(int captures) {
    const VerificationControls& c = station_.controls;
    output_.BeginStep("statistics");
    output_.Text("CountLabel", c.CountLabel);
    output_.Text("SLDepth", c.SLDepth);
    output_.Text("SLWidth", c.SLWidth);
    output_.Text("passes", std::to_string(passes_) + "/" + std::to_string(captures));
    output_.EndStep();
  }

  // The targets and the verification report, when the last capture passed.
  bool Report() {
    const bool written = station_.controls.VerifyPDF && station_.VerifyPDFClick(false);
    output_.BeginStep("report");
    output_.Text("VerifyPDF", station_.controls.VerifyPDF ? "enabled" : "disabled");
    output_.Text("written", written ? "yes" : "no");
    output_.List("messages", panel_.TakeMessages());
    output_.EndStep();
    return written;
  }

  std::filesystem::path home_;
  FileStatus loaded_;
  const LanguageStore& language_;
  MeasurementSetup setup_;
  StationPictures pictures_;
  std::string serial_;
  ConsolePanel panel_;
  VerificationStation station_;
  SimulatedStation simulated_;
  StationOutput output_;
  std::string error_;
  int passes_ = 0;
};

}  // namespace

int VerifyCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  const bool parsedOk = ParseArguments(args, {"--home", "--captures", "--target-depth", "--target-width", "--seed"},
                                       {"--simulate", "--json", "--help"}, parsed, error);
  if (parsedOk && parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return 0;
  }
  if (parsedOk && !parsed.Has("--simulate")) error = "only the simulated gauge is verified without a window";
  if (parsedOk && !parsed.positional.empty()) error = "unexpected argument '" + parsed.positional.front() + "'";
  double captures = 10;
  double seed = 1;
  double targetDepth = 0;
  double targetWidth = 0;
  if (error.empty()) {
    RangeOption(parsed, "--captures", 1, kMaxCaptures, true, captures, error) &&
        RangeOption(parsed, "--seed", 0, 2147483647.0, true, seed, error) &&
        (!parsed.Option("--target-depth") ||
         TargetOption(parsed, "--target-depth", "TD", targetDepth, error)) &&
        (!parsed.Option("--target-width") ||
         TargetOption(parsed, "--target-width", "TW", targetWidth, error));
  }
  if (!error.empty()) {
    std::fprintf(err, "vqx verify: %s (try vqx verify --help)\n", error.c_str());
    return 2;
  }

  const std::filesystem::path home = StationHome(parsed);
  const std::filesystem::path fileInUse = home / kSettingsFileName;
  std::error_code fileError;
  if (!std::filesystem::is_regular_file(fileInUse, fileError)) {
    std::fprintf(err, "vqx verify: no calibration '%s' (vqx calibrate --simulate --home %s makes one)\n",
                 fileInUse.string().c_str(), home.string().c_str());
    return 3;
  }
  LanguageStore language;
  if (!LoadStationLanguage(language, error)) {
    std::fprintf(err, "vqx verify: %s\n", error.c_str());
    return 1;
  }

  std::optional<double> depth;
  std::optional<double> width;
  if (parsed.Option("--target-depth")) depth = targetDepth;
  if (parsed.Option("--target-width")) width = targetWidth;
  VerificationRun run(home, static_cast<std::uint32_t>(seed), parsed.Has("--json"), language, out);
  const int exitCode = run.Run(static_cast<int>(captures), depth, width, err);
  return FlushResults(out, err, "verify", run.WriteError()) ? exitCode : 3;
}
