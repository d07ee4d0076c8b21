#include "app/program.h"

#include "app/about_dialog.h"
#include "app/connect_dialog.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/qt_event_loop.h"
#include "app/settings_dialog.h"
#include "app/simulated_gauge_panel.h"
#include "calibration/calibration_window.h"
#include "calibration/verification_window.h"
#include "capture/reference_samples.h"
#include "capture/simulated_gauge.h"
#include "capture/v4l2_camera.h"
#include "capture/video_capture.h"
#include "measure/calibration_file.h"
#include "report/report_composer.h"
#include "ui/sound.h"
#include "ui/user_dialogs.h"

VeldraProgram::VeldraProgram(const ProgramOptions& options, UserDialogs& dialogs) {
  context_.HomeDir = options.home;
  context_.programFile = options.programFile;
  context_.programFolder = options.programFile.parent_path();
  context_.dialogs = &dialogs;
  context_.state.Units = 25.4;
  SetSoundFolder(context_.programFolder);

  loop_ = std::make_unique<QtEventLoop>();
  std::vector<CaptureBackend*> backends;
  if (options.simulate) {
    // The station's simulated gauge: a scale, depth response, tilt and
    // trapezoid of its own, which the home folder's calibration describes as
    // well as a calibration finds them.
    SimulatedGaugeOptions gaugeOptions;
    gaugeOptions.realTime = options.simulatedRealTime;
    gauge_ = std::make_unique<SimulatedGauge>(UnderGauge(kSimulatedGaugeTruth, SimulatedSample{}),
                                              TrueOptics(kSimulatedGaugeTruth, 1), gaugeOptions);
    backends.push_back(gauge_.get());
  } else {
    camera_ = std::make_unique<V4l2Backend>(CaptureMode{1280, 1024}, options.cameraFolder, options.cameraNode);
    backends.push_back(camera_.get());
  }
  capture_ = std::make_unique<VideoCapture>(*loop_, backends);

  // The windows, in their order; the main window first.
  main_ = std::make_unique<TFrmMain>(context_);
  settings_ = std::make_unique<TFrmSettings>(context_, main_.get());
  preview_ = std::make_unique<TFrmPreview>(*loop_, *capture_, *main_, context_.state, context_.language);
  preview_->FormCreate();
  about_ = std::make_unique<TAboutFrm>(context_, main_.get());
  calibFrm_ = std::make_unique<TCalibFrm>(context_, preview_.get(), [this] { return main_->Brand; }, main_.get());
  composer_ = std::make_unique<ReportComposer>();
  connect_ = std::make_unique<TFrmConnect>(context_, main_.get());
  help_ = std::make_unique<TFrmHelp>(main_.get());
  frmVerify_ = std::make_unique<TFrmVerify>(
      context_, preview_.get(), [this]() -> const Bitmap& { return main_->Images().rBild; },
      [this] { main_->CapturebtnClick(); }, main_.get());
  main_->SetSettingsDialog(settings_.get());
  main_->SetCamera(preview_.get());
  main_->SetAboutBox(about_.get());
  main_->SetConnectWindow(connect_.get());
  main_->SetHelpWindow(help_.get());
  main_->SetReportComposer([this](int kind) { CreateReport(kind); });
  auto stationReport = [this](int kind, std::string& pdfPath) { return CreateStationReport(kind, pdfPath); };
  calibFrm_->SetReportHook(stationReport);
  frmVerify_->SetReportHook(stationReport);
  main_->SetCalibration(calibFrm_.get(), [this] { calibFrm_->ShowModal(); });
  main_->SetVerification(frmVerify_.get(), [this](bool slopePanel) { frmVerify_->ShowModal(slopePanel); });
  if (gauge_) panel_ = std::make_unique<SimulatedGaugePanel>(*gauge_, kSimulatedGaugeTruth, main_.get());
}

VeldraProgram::~VeldraProgram() {
  // The camera window stops its stream before the windows it calls go.
  preview_.reset();
  panel_.reset();
  frmVerify_.reset();
  help_.reset();
  connect_.reset();
  calibFrm_.reset();
  about_.reset();
  settings_.reset();
  main_.reset();
  capture_.reset();
}

bool VeldraProgram::CreateReport(int kind) {
  ReportEnvironment environment;
  environment.events = loop_.get();
  environment.openViewer = openReports;
  environment.showMessage = [this](const std::string& text) {
    context_.dialogs->Message(main_.get(), QString::fromStdString(text));
  };
  const ReportOutcome outcome = composer_->CreatePDF(kind, main_->ReportRecord(), environment);
  if (!outcome.status.ok) {
    context_.dialogs->Message(main_.get(), QString::fromStdString(outcome.status.message));
    return false;
  }
  lastReport = outcome.path;
  return true;
}

void VeldraProgram::Show() {
  main_->show();
  if (panel_) {
    panel_->move(main_->geometry().topRight() + QPoint(12, 0));
    panel_->show();
  }
}

bool VeldraProgram::CreateStationReport(int kind, std::string& pdfPath) {
  QWidget* window = kind == kCalibrationCertificate ? static_cast<QWidget*>(calibFrm_.get()) : frmVerify_.get();
  ReportEnvironment environment;
  environment.events = loop_.get();
  environment.openViewer = false;
  environment.showMessage = [&](const std::string& text) {
    context_.dialogs->Message(window, QString::fromStdString(text));
  };
  ReportInputs inputs = main_->ReportRecord();
  inputs.certificate = calibFrm_->ReportTexts();
  inputs.verification = frmVerify_->ReportTexts();
  const ReportOutcome outcome = composer_->CreatePDF(kind, inputs, environment);
  if (!outcome.status.ok) {
    context_.dialogs->Message(window, QString::fromStdString(outcome.status.message));
    return false;
  }
  pdfPath = outcome.path.string();
  return true;
}
