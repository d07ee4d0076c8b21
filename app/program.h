#pragma once

// The whole program: its shared state, the camera, and the windows created in
// their fixed order, each living until the end.

#include <filesystem>
#include <memory>
#include <string>

#include "ui/app_context.h"

class CaptureBackend;
class QtEventLoop;
class SimulatedGauge;
class SimulatedGaugePanel;
class TAboutFrm;
class TCalibFrm;
class TFrmConnect;
class TFrmVerify;
class TFrmHelp;
class TFrmMain;
class TFrmPreview;
class TFrmSettings;
class UserDialogs;
class ReportComposer;
class VideoCapture;

struct ProgramOptions {
  std::filesystem::path home;           // the home folder (the working folder by default)
  std::filesystem::path programFile;    // the running program
  bool simulate = false;                // the simulated gauge instead of a camera
  bool simulatedRealTime = true;        // frames at the camera's pace (tests render at once)
  std::string cameraFolder = "/dev";    // where V4L2 cameras are looked for
  std::string cameraNode;               // only this node of the folder ("video2"), when given
};

class VeldraProgram {
public:
  VeldraProgram(const ProgramOptions& options, UserDialogs& dialogs);
  ~VeldraProgram();

  AppContext& Context() { return context_; }
  TFrmMain& Main() { return *main_; }
  TFrmSettings& Settings() { return *settings_; }
  TFrmPreview& Camera() { return *preview_; }
  TAboutFrm& About() { return *about_; }
  TFrmConnect& Connect() { return *connect_; }
  TFrmHelp& Help() { return *help_; }
  TCalibFrm& Calibration() { return *calibFrm_; }
  TFrmVerify& Verification() { return *frmVerify_; }
  SimulatedGauge* Gauge() { return gauge_.get(); }
  SimulatedGaugePanel* GaugePanel() { return panel_.get(); }

  // Writes a measurement report (kind 1 current result, 2 stored results)
  // and opens it in the desktop's viewer; false with a message on failure.
  bool CreateReport(int kind);
  // Reports open in the desktop's viewer unless this is false (tests).
  bool openReports = true;
  std::filesystem::path lastReport;

  // Shows the main window (its first activation follows) and the simulated
  // gauge's panel beside it.
  void Show();

private:
  // The certificate (kind 0) or the verification report (kind 3) written;
  // false with a message to the user when it could not be.
  bool CreateStationReport(int kind, std::string& pdfPath);

  AppContext context_;
  std::unique_ptr<QtEventLoop> loop_;
  std::unique_ptr<SimulatedGauge> gauge_;
  std::unique_ptr<CaptureBackend> camera_;
  std::unique_ptr<VideoCapture> capture_;
  std::unique_ptr<TFrmMain> main_;
  std::unique_ptr<TFrmSettings> settings_;
  std::unique_ptr<TFrmPreview> preview_;
  std::unique_ptr<TAboutFrm> about_;
  std::unique_ptr<TCalibFrm> calibFrm_;
  std::unique_ptr<ReportComposer> composer_;
  std::unique_ptr<TFrmConnect> connect_;
  std::unique_ptr<TFrmHelp> help_;
  std::unique_ptr<TFrmVerify> frmVerify_;
  std::unique_ptr<SimulatedGaugePanel> panel_;
};
