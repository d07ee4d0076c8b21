// vqx calibrate --simulate: a whole calibration of the simulated gauge as a
// technician runs it at the calibration window.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/commands.h"
#include "cli/console_panel.h"
#include "cli/simulated_station.h"
#include "cli/station_output.h"
#include "cli/station_reports.h"
#include "measure/numbers.h"
#include "platform/atomic_file.h"
#include "shell/startup.h"
#include "station/calibration_station.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx calibrate --simulate [--home DIR] [--serial N] [--seed N] [--accept] [--json]\n"
    "  Calibrates the simulated gauge as the calibration window does: Refresh, Max on the\n"
    "  flat reference, COUNTH captures of the calibration channel, the four linearity\n"
    "  channels, Save, the linearisation table, and the certificate when both indicators\n"
    "  are green. Prints each step's values and indicator colours.\n"
    "  --home DIR   home folder (default: the working folder); created when missing. Without\n"
    "               a station file VELDRAQXEICH.INI the one made for the simulated gauge is\n"
    "               written there\n"
    "  --serial N   serial number of the gauge (default: SERIAL of VELDRAQX.INI)\n"
    "  --seed N     first sensor noise seed (default 1); each capture takes the next\n"
    "  --accept     takes linearity points that are out of tolerance\n"
    "  --json       the steps as a JSON object\n"
    "  Exit codes: 0 the certificate was written, 1 the calibration is incomplete, out of\n"
    "  tolerance or without certificate, 2 usage error, 3 a file could not be written.\n";

// Brand of the program (the main window's `Brand`).
constexpr int kProgramBrand = 2;

bool WholeNumberOption(const ParsedArguments& parsed, const std::string& name, long long& value, std::string& error) {
  double number = static_cast<double>(value);
  if (!NumberOption(parsed, name, number, error)) return false;
  if (!(number >= 0 && number <= 2147483647.0 && number == std::floor(number))) {
    error = name + " must be a whole number from 0";
    return false;
  }
  value = static_cast<long long>(number);
  return true;
}

void Sounds(StationOutput& output, ConsolePanel& panel) {
  output.List("sounds", panel.TakeSounds());
  output.List("questions", panel.TakeQuestions());
  output.List("messages", panel.TakeMessages());
}

}  // namespace

int CalibrateCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  const bool parsedOk = ParseArguments(args, {"--home", "--serial", "--seed"},
                                       {"--simulate", "--accept", "--json", "--help"}, parsed, error);
  if (parsedOk && parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return 0;
  }
  if (parsedOk && !parsed.Has("--simulate")) error = "only the simulated gauge is calibrated without a window";
  if (parsedOk && !parsed.positional.empty()) error = "unexpected argument '" + parsed.positional.front() + "'";
  long long seed = 1;
  long long serial = -1;
  if (error.empty()) WholeNumberOption(parsed, "--seed", seed, error);
  if (error.empty() && parsed.Option("--serial")) WholeNumberOption(parsed, "--serial", serial, error);
  if (!error.empty()) {
    std::fprintf(err, "vqx calibrate: %s (try vqx calibrate --help)\n", error.c_str());
    return 2;
  }

  const std::filesystem::path home = StationHome(parsed);
  std::error_code fileError;
  std::filesystem::create_directories(home, fileError);
  if (!std::filesystem::is_directory(home, fileError)) {
    std::fprintf(err, "vqx calibrate: cannot use the home folder '%s'\n", home.string().c_str());
    return 3;
  }
  const std::filesystem::path stationFile = StationFile(home);
  if (!std::filesystem::exists(stationFile, fileError)) {
    const FileStatus written = WriteFileAtomically(stationFile, SimulatedStationFileText());
    if (!written.ok) {
      std::fprintf(err, "vqx calibrate: %s\n", written.message.c_str());
      return 3;
    }
    std::fprintf(err, "vqx calibrate: %s written for the simulated gauge\n", stationFile.string().c_str());
  }
  LanguageStore language;
  if (!LoadStationLanguage(language, error)) {
    std::fprintf(err, "vqx calibrate: %s\n", error.c_str());
    return 1;
  }

  const std::filesystem::path fileInUse = home / kSettingsFileName;
  MeasurementSetup setup;
  LoadStationState(fileInUse, setup.state);
  StationPictures pictures;
  const bool accept = parsed.Has("--accept");
  CalibrationStation* current = nullptr;
  ConsolePanel panel(
      CalibrationAnswers(accept), [&](ReportKind kind, std::string& message) {
        return current && kind == ReportKind::Certificate &&
               WriteCalibrationCertificate(*current, pictures, home, message);
      });
  CalibrationStation station(setup.state, pictures, panel, home, fileInUse);
  current = &station;
  station.controls.SNEdit = serial >= 0 ? std::to_string(serial) : setup.state.SNEditText;
  SimulatedStation simulated(kSimulatedGaugeTruth, static_cast<std::uint32_t>(seed));
  StationOutput output(parsed.Has("--json"), out);
  const CalibrationControls& c = station.controls;

  station.InitCalRef(kProgramBrand);
  output.BeginStep("setup");
  output.Text("SNEdit", station.GetSerial());
  output.Text("TopRefLabel", c.TopRefLabel);
  output.Text("BRRefLabel", c.BRRefLabel);
  output.Text("CalHEdit", c.CalHEdit);
  output.Text("CALWEdit", c.CALWEdit);
  output.Text("COUNTH", std::to_string(station.MessCountH()));
  output.List("VeryGrid", {c.VeryGrid[0][1], c.VeryGrid[0][2], c.VeryGrid[0][3], c.VeryGrid[0][4]});
  output.EndStep();

  station.RefreshbtnClick();
  output.BeginStep("refresh");
  output.Text("ShutterCombo", kShutterTexts[c.ShutterCombo]);
  output.Text("GainEdit", std::to_string(c.GainEdit));
  output.Colour("BRTolShape", c.BRTolShape);
  output.Colour("DimShape", c.DimShape);
  output.EndStep();

  station.MaxBtnClick(simulated.LiveFrame(FlatReferenceSample(), panel.Camera()));
  output.BeginStep("max");
  output.Text("SampleTop", c.SampleTop);
  output.Text("BRLabel2", c.BRLabel2);
  output.Text("HorizLabel", c.HorizLabel);
  output.Colour("BRTolShape", c.BRTolShape);
  Sounds(output, panel);
  output.EndStep();

  bool scanned = true;
  const SimulatedSample calibrationChannel = RectangularChannel(station.CalRef().CALD, station.CalRef().CALW);
  for (int k = 1; scanned && k <= station.MessCountH(); ++k) {
    SimulatedScan scan;
    scanned = simulated.Scan(setup, calibrationChannel, language, scan, error);
    output.BeginStep("capture");
    if (scanned) {
      station.Capture(scan.picture, CalibratePage::Calibrate);
      output.Text("CountHLabel", c.CountHLabel);
      if (station.CountH() == 0) {
        output.Text("BWidth", c.BWidth);
        output.Text("BHeight", c.BHeight);
        output.Text("PPIRes", c.PPIRes);
        output.Text("ZFactorRes", c.ZFactorRes);
        output.Colour("DimShape", c.DimShape);
      }
    } else {
      output.Text("error", error);
    }
    Sounds(output, panel);
    output.EndStep();
  }

  // The window compares each capture with the reference after the points
  // taken so far, so a refused point ends the run of captures.
  station.ClearGraphbtnClick();
  station.VRefreshbtnClick();
  bool refused = false;
  while (scanned && !refused && station.Chart().channel.size() < 4) {
    const std::size_t n = station.Chart().channel.size();
    SimulatedScan scan;
    scanned = simulated.Scan(setup, LinearityChannel(station.VerRef()[n]), language, scan, error);
    output.BeginStep("linearity");
    output.Text("REF", c.VeryGrid[0][n + 1]);
    if (scanned) {
      station.Capture(scan.picture, CalibratePage::Verify);
      refused = station.Chart().channel.size() == n;
      output.Text("Depth", c.VeryGrid[1][n + 1]);
      if (!refused) output.Number("DIFF", station.Chart().channelDiff.back().y, 3);
      output.Text("taken", refused ? "no" : "yes");
    } else {
      output.Text("error", error);
    }
    Sounds(output, panel);
    output.EndStep();
  }
  const bool linearityComplete = station.Chart().channel.size() == 4;

  const bool saved = scanned && station.SavebtnClick();
  output.BeginStep("save");
  output.Text("file", fileInUse.string());
  output.Text("device", DeviceFile(home, station.GetSerial()).string());
  output.Text("saved", saved ? "yes" : "no");
  Sounds(output, panel);
  output.EndStep();

  bool tableSaved = false;
  output.BeginStep("linearisation");
  if (saved && linearityComplete) {
    tableSaved = station.SaveLUTbtnClick() && station.SaveVerybtnClick().ok;
    const TImgCalibration& cal = setup.state.ImgCalibration;
    std::vector<std::string> table;
    for (int i = 1; i <= 4; ++i) table.push_back(FormatFixed(cal.LUTX[i], 2) + ":" + FormatFixed(cal.LUTY[i], 3));
    output.List("LUTX:LUTY", table);
    output.Text("file", LinearityFile(home, station.GetSerial()).string());
  } else {
    output.Text("reason", linearityComplete ? "the calibration was not saved"
                                            : "fewer than four linearity points taken (--accept takes them all)");
  }
  output.Text("saved", tableSaved ? "yes" : "no");
  Sounds(output, panel);
  output.EndStep();

  bool certificate = false;
  output.BeginStep("certificate");
  output.Colour("BRTolShape", c.BRTolShape);
  output.Colour("DimShape", c.DimShape);
  if (tableSaved) certificate = station.CreatePDFbtnClick();
  output.Text("written", certificate ? "yes" : "no");
  Sounds(output, panel);
  output.EndStep();

  const TImgCalibration& cal = setup.state.ImgCalibration;
  const GaugeTruth& truth = simulated.Gauge();
  output.BeginSummary();
  output.Number("PixelPerInch", cal.PixelPerInch, 1);
  output.Number("truePixelPerInch", truth.pixelsPerInch, 1);
  output.Number("scaleErrorPercent", (cal.PixelPerInch / truth.pixelsPerInch - 1) * 100, 3);
  output.Number("ZFaktor", cal.ZFaktor, 4);
  output.Number("trueZFactor", truth.zFactor, 4);
  output.Text("top", std::to_string(cal.top));
  output.Text("trueTop", std::to_string(truth.top));
  output.Text("certificate", certificate ? "written" : "not written");
  output.Finish();
  if (!scanned) {
    std::fprintf(err, "vqx calibrate: %s\n", error.c_str());
    return 1;
  }
  if (!saved || (linearityComplete && !tableSaved)) return 3;
  return certificate ? 0 : 1;
}
