// vqx verify --simulate: captures of the verification target with the
// simulated gauge and the calibration of the home folder, judged as the
// verification window judges them.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/commands.h"
#include "cli/console_panel.h"
#include "cli/simulated_station.h"
#include "cli/station_output.h"
#include "cli/station_reports.h"
#include "measure/mymath.h"
#include "measure/numbers.h"
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
         RangeOption(parsed, "--target-depth", 0.001, 4, false, targetDepth, error)) &&
        (!parsed.Option("--target-width") ||
         RangeOption(parsed, "--target-width", 0.001, 8, false, targetWidth, error));
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

  MeasurementSetup setup;
  LoadStationState(fileInUse, setup.state);
  const std::string serial = GetSerial(setup.state);
  StationPictures pictures;
  VerificationStation* current = nullptr;
  ConsolePanel panel([](const std::string&, const std::string&) { return false; },
                     [&](ReportKind kind, std::string& message) {
                       return current && kind == ReportKind::Verification &&
                              WriteVerificationReport(*current, serial, pictures, home, message);
                     });
  VerificationStation station(setup.state, pictures, panel, fileInUse);
  current = &station;
  const VerificationControls& c = station.controls;
  SimulatedStation simulated(kSimulatedGaugeTruth, static_cast<std::uint32_t>(seed));
  StationOutput output(parsed.Has("--json"), out);

  station.FormActivate();
  if (parsed.Option("--target-depth")) station.controls.CALDEdit = FormatFixed(targetDepth, 3);
  if (parsed.Option("--target-width")) station.controls.CALWEdit = FormatFixed(targetWidth, 3);
  double depth = 0;
  double width = 0;
  GetValue(c.CALDEdit, depth);
  GetValue(c.CALWEdit, width);
  output.BeginStep("activate");
  output.Text("serial", serial);
  output.Text("CALDEdit", c.CALDEdit);
  output.Text("CALWEdit", c.CALWEdit);
  output.Colour("DepthShape", c.DepthShape);
  output.EndStep();

  station.RefreshbtnClick();
  const SimulatedSample target = RectangularChannel(depth, width);
  int passes = 0;
  bool scanned = true;
  for (int i = 1; scanned && i <= static_cast<int>(captures); ++i) {
    station.CapturebtnClick();
    SimulatedScan scan;
    scanned = simulated.Scan(setup, target, language, scan, error);
    output.BeginStep("capture");
    output.Text("n", std::to_string(i));
    if (scanned) {
      station.SetValues(scan.picture);
      if (c.DepthShape == Indicator::Green) ++passes;
      output.Text("BDepth", c.BDepth);
      output.Text("BWidth", c.BWidth);
      output.Colour("DepthShape", c.DepthShape);
      output.Text("result", c.DepthShape == Indicator::Green ? "pass" : "fail");
    } else {
      output.Text("error", error);
    }
    output.List("sounds", panel.TakeSounds());
    output.EndStep();
  }

  output.BeginStep("statistics");
  output.Text("CountLabel", c.CountLabel);
  output.Text("SLDepth", c.SLDepth);
  output.Text("SLWidth", c.SLWidth);
  output.Text("passes", std::to_string(passes) + "/" + std::to_string(static_cast<int>(captures)));
  output.EndStep();

  const bool lastPassed = scanned && c.VerifyPDF;
  const bool written = lastPassed && station.VerifyPDFClick(false);
  output.BeginStep("report");
  output.Text("VerifyPDF", c.VerifyPDF ? "enabled" : "disabled");
  output.Text("written", written ? "yes" : "no");
  output.List("messages", panel.TakeMessages());
  output.EndStep();
  output.Finish();
  if (!scanned) {
    std::fprintf(err, "vqx verify: %s\n", error.c_str());
    return 1;
  }
  return written ? 0 : 1;
}
