// vqx calibrate --simulate: a whole calibration of the simulated gauge as a
// technician runs it at the calibration window.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/command_output.h"
#include "cli/commands.h"
#include "cli/console_panel.h"
#include "cli/simulated_station.h"
#include "cli/station_output.h"
#include "cli/station_reports.h"
#include "measure/numbers.h"
#include "platform/atomic_file.h"
#include "platform/profile_file.h"
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
    "  tolerance or without certificate, 2 usage error, 3 a file could not be written, or the\n"
    "  settings file, its SERIAL or the station file was refused (nothing is written then).\n";

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

// The step's sounds, questions and messages.
void Feedback(StationOutput& output, ConsolePanel& panel) {
  output.List("sounds", panel.TakeSounds());
  output.List("questions", panel.TakeQuestions());
  output.List("messages", panel.TakeMessages());
}

// One calibration at the simulated station, step by step as the technician
// clicks through the calibration window; each step prints what it shows.
class CalibrationRun {
public:
  CalibrationRun(const std::filesystem::path& home, long long serial, long long seed, bool accept, bool json,
                 const LanguageStore& language, std::FILE* out)
      : home_(home),
        fileInUse_(home / kSettingsFileName),
        language_(language),
        panel_(CalibrationAnswers(accept),
               [this](ReportKind kind, std::string&) {
                 // The certificate is written after the commit, and only
                 // for a calibration that was committed.
                 if (kind != kCalibrationCertificate) return false;
                 certificateDue_ = true;
                 return true;
               }),
        station_(setup_.state, pictures_, panel_, home, fileInUse_),
        simulated_(kSimulatedGaugeTruth, static_cast<std::uint32_t>(seed)),
        output_(json, out) {
    loaded_ = LoadStationState(fileInUse_, setup_.state);
    serialGiven_ = serial >= 0;
    station_.controls.SNEdit = serialGiven_ ? std::to_string(serial) : setup_.state.SNEditText;
  }

  // The whole calibration; the exit code of the command.
  int Run(std::FILE* err) {
    // Files the calibration cannot rest on stop it before anything is
    // scanned or written: a settings file that is no 8-bit text (it would be
    // damaged by the save), a serial number that is none, a refused setup file.
    if (const FileStatus refused = Refusal(); !refused.ok) {
      std::fprintf(err, "vqx calibrate: %s\n", refused.message.c_str());
      return 3;
    }
    // A calibration in use with implausible values is replaced by the new
    // one; it is named.
    if (!loaded_.ok) std::fprintf(err, "vqx calibrate: %s\n", loaded_.message.c_str());
    if (const FileStatus setup = Setup(); !setup.ok) {
      output_.Finish();
      std::fprintf(err, "vqx calibrate: %s\n", setup.message.c_str());
      return 3;
    }
    Refresh();
    Max();
    const bool scanned = CalibrationCaptures() && LinearityCaptures();
    // The calibration, its table, the linearity file and the certificate's
    // save are one commit: a kill or a failed write leaves all of them old
    // or all of them new, and no other writer can come in between them.
    if (scanned) station_.BeginStep();
    bool saved = scanned && Save();
    const bool linearityComplete = station_.Chart().channel.size() == 4;
    bool tableSaved = Linearisation(saved, linearityComplete);
    const bool due = tableSaved && station_.CreatePDFbtnClick() && certificateDue_;
    if (scanned && !Commit()) saved = tableSaved = false;
    const bool certificate = Certificate(due && saved && tableSaved);
    Summary(certificate);
    if (!scanned) {
      std::fprintf(err, "vqx calibrate: %s\n", error_.c_str());
      return 1;
    }
    if (!saved || (linearityComplete && !tableSaved) || certificateUnwritable_) return 3;
    return certificate ? 0 : 1;
  }

  int WriteError() const { return output_.WriteError(); }

private:
  FileStatus Refusal() const {
    if (FileStatus usable = ProfileSnapshot(fileInUse_).Usable(); !usable.ok) {
      usable.message += "; the calibration cannot start";
      return usable;
    }
    if (serialGiven_) return FileStatus::Success();
    const std::string serial = ReadProfileString("VELDRAQX", "SERIAL", "00000", 15, fileInUse_);
    return CheckSerial(serial, QuotedPath(fileInUse_) + ": key SERIAL of section [VELDRAQX]");
  }

  FileStatus Setup() {
    const FileStatus setup = station_.InitCalRef(kProgramBrand);
    const CalibrationControls& c = station_.controls;
    output_.BeginStep("setup");
    output_.Text("SNEdit", station_.GetSerial());
    output_.Text("TopRefLabel", c.TopRefLabel);
    output_.Text("BRRefLabel", c.BRRefLabel);
    output_.Text("CalHEdit", c.CalHEdit);
    output_.Text("CALWEdit", c.CALWEdit);
    output_.Text("COUNTH", std::to_string(station_.MessCountH()));
    output_.List("VeryGrid", {c.VeryGrid[0][1], c.VeryGrid[0][2], c.VeryGrid[0][3], c.VeryGrid[0][4]});
    Feedback(output_, panel_);
    output_.EndStep();
    return setup;
  }

  void Refresh() {
    station_.RefreshbtnClick();
    const CalibrationControls& c = station_.controls;
    output_.BeginStep("refresh");
    output_.Text("ShutterCombo", kShutterTexts[c.ShutterCombo]);
    output_.Text("GainEdit", std::to_string(c.GainEdit));
    output_.Colour("BRTolShape", c.BRTolShape);
    output_.Colour("DimShape", c.DimShape);
    output_.EndStep();
  }

  // Max on the live frame of the flat reference.
  void Max() {
    station_.MaxBtnClick(simulated_.LiveFrame(FlatReferenceSample(), panel_.Camera()));
    const CalibrationControls& c = station_.controls;
    output_.BeginStep("max");
    output_.Text("SampleTop", c.SampleTop);
    output_.Text("BRLabel2", c.BRLabel2);
    output_.Text("HorizLabel", c.HorizLabel);
    output_.Colour("BRTolShape", c.BRTolShape);
    Feedback(output_, panel_);
    output_.EndStep();
  }

  // COUNTH scans of the calibration channel; false when a scan did not run.
  bool CalibrationCaptures() {
    const CalibrationControls& c = station_.controls;
    const SimulatedSample channel = RectangularChannel(station_.CalRef().CALD, station_.CalRef().CALW);
    for (int k = 1; k <= station_.MessCountH(); ++k) {
      SimulatedScan scan;
      const bool scanned = simulated_.Scan(setup_, channel, language_, scan, error_);
      output_.BeginStep("capture");
      if (scanned) {
        station_.Capture(scan.picture, CalibratePage::Calibrate);
        output_.Text("CountHLabel", c.CountHLabel);
        if (station_.CountH() == 0) {
          output_.Text("BWidth", c.BWidth);
          output_.Text("BHeight", c.BHeight);
          output_.Text("PPIRes", c.PPIRes);
          output_.Text("ZFactorRes", c.ZFactorRes);
          output_.Colour("DimShape", c.DimShape);
        }
      } else {
        output_.Text("error", error_);
      }
      Feedback(output_, panel_);
      output_.EndStep();
      if (!scanned) return false;
    }
    return true;
  }

  // The window compares each capture with the reference after the points
  // taken so far, so a refused point ends the captures. False when a scan
  // did not run.
  bool LinearityCaptures() {
    const CalibrationControls& c = station_.controls;
    station_.ClearGraphbtnClick();
    station_.VRefreshbtnClick();
    for (std::size_t n = 0; n < 4; ++n) {
      SimulatedScan scan;
      const bool scanned = simulated_.Scan(setup_, LinearityChannel(station_.VerRef()[n]), language_, scan, error_);
      output_.BeginStep("linearity");
      output_.Text("REF", c.VeryGrid[0][n + 1]);
      bool taken = false;
      if (scanned) {
        station_.Capture(scan.picture, CalibratePage::Verify);
        taken = station_.Chart().channel.size() > n;
        output_.Text("Depth", c.VeryGrid[1][n + 1]);
        if (taken) output_.Number("DIFF", station_.Chart().channelDiff.back().y, 3);
        output_.Text("taken", taken ? "yes" : "no");
      } else {
        output_.Text("error", error_);
      }
      Feedback(output_, panel_);
      output_.EndStep();
      if (!scanned) return false;
      if (!taken) break;
    }
    return true;
  }

  bool Save() {
    const bool saved = station_.SavebtnClick();
    output_.BeginStep("save");
    output_.Text("file", fileInUse_.string());
    output_.Text("device", DeviceFile(home_, station_.GetSerial()).string());
    output_.Text("saved", saved ? "yes" : "no");
    Feedback(output_, panel_);
    output_.EndStep();
    return saved;
  }

  // Writes what Save and Linearisation prepared, as one step.
  bool Commit() {
    const FileStatus committed = station_.CommitStep();
    output_.BeginStep("commit");
    output_.Text("committed", committed.ok ? "yes" : "no");
    if (!committed.ok) output_.Text("error", committed.message);
    output_.EndStep();
    return committed.ok;
  }

  // The linearisation table and the linearity file, after a saved
  // calibration with all four points.
  bool Linearisation(bool saved, bool linearityComplete) {
    bool tableSaved = false;
    output_.BeginStep("linearisation");
    if (saved && linearityComplete) {
      tableSaved = station_.SaveLUTbtnClick() && station_.SaveVerybtnClick().ok;
      const TImgCalibration& cal = setup_.state.ImgCalibration;
      std::vector<std::string> table;
      for (int i = 1; i <= 4; ++i) table.push_back(FormatFixed(cal.LUTX[i], 2) + ":" + FormatFixed(cal.LUTY[i], 3));
      output_.List("LUTX:LUTY", table);
      output_.Text("file", LinearityFile(home_, station_.GetSerial()).string());
    } else {
      output_.Text("reason", linearityComplete ? "the calibration was not saved"
                                               : "fewer than four linearity points taken (--accept takes them all)");
    }
    output_.Text("saved", tableSaved ? "yes" : "no");
    Feedback(output_, panel_);
    output_.EndStep();
    return tableSaved;
  }

  // Create PDF: with both indicators green the calibration was saved again
  // in the commit; the certificate of the committed calibration now.
  bool Certificate(bool due) {
    const CalibrationControls& c = station_.controls;
    output_.BeginStep("certificate");
    output_.Colour("BRTolShape", c.BRTolShape);
    output_.Colour("DimShape", c.DimShape);
    bool written = false;
    std::string message;
    if (due) {
      written = WriteCalibrationCertificate(station_, pictures_, home_, message);
      certificateUnwritable_ = !written;
    }
    output_.Text("written", written ? "yes" : "no");
    output_.List("sounds", panel_.TakeSounds());
    output_.List("questions", panel_.TakeQuestions());
    std::vector<std::string> messages = panel_.TakeMessages();
    if (!message.empty()) messages.push_back(message);
    output_.List("messages", messages);
    output_.EndStep();
    return written;
  }

  // What was found beside the simulated gauge's truth.
  void Summary(bool certificate) {
    const TImgCalibration& cal = setup_.state.ImgCalibration;
    const GaugeTruth& truth = simulated_.Gauge();
    output_.BeginSummary();
    output_.Number("PixelPerInch", cal.PixelPerInch, 1);
    output_.Number("truePixelPerInch", truth.pixelsPerInch, 1);
    output_.Number("scaleErrorPercent", (cal.PixelPerInch / truth.pixelsPerInch - 1) * 100, 3);
    output_.Number("ZFaktor", cal.ZFaktor, 4);
    output_.Number("trueZFactor", truth.zFactor, 4);
    output_.Text("top", std::to_string(cal.top));
    output_.Text("trueTop", std::to_string(truth.top));
    output_.Text("certificate", certificate ? "written" : "not written");
    output_.Finish();
  }

  std::filesystem::path home_;
  std::filesystem::path fileInUse_;
  FileStatus loaded_;
  bool serialGiven_ = false;
  bool certificateDue_ = false;        // Create PDF asked for the certificate
  bool certificateUnwritable_ = false;  // a certificate was due but could not be written
  const LanguageStore& language_;
  MeasurementSetup setup_;
  StationPictures pictures_;
  ConsolePanel panel_;
  CalibrationStation station_;
  SimulatedStation simulated_;
  StationOutput output_;
  std::string error_;
};

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

  CalibrationRun run(home, serial, seed, parsed.Has("--accept"), parsed.Has("--json"), language, out);
  const int exitCode = run.Run(err);
  // The steps printed are the record of the calibration: failing to print them is a write error.
  return FlushResults(out, err, "calibrate", run.WriteError()) ? exitCode : 3;
}
