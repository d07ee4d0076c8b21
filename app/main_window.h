#pragma once

// The main window: live picture with the placement guide, measurement start,
// the result panel and overlay, the commands on images and snapshots, the
// service panel of series recording; the hub that routes a finished scan to
// whoever asked for it.

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "imaging/measurement.h"
#include "measure/verdict.h"
#include "imaging/scan_sequence.h"
#include "measure/settings_file.h"
#include "platform/file_status.h"
#include "report/report_inputs.h"
#include "shell/measurement_destinations.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QScrollArea;
class QSlider;
class QStatusBar;
class QTimer;
class QToolButton;
class QPushButton;
class ImageView;
class TFrmSettings;
class TAboutFrm;
class TFrmConnect;
class TFrmHelp;
struct AppContext;

// Result snapshot kinds, one per snapshot button.
enum SnapshotKind { kSnapshotV = 0, kSnapshotH = 1, kSnapshotD = 2 };

class TFrmMain final : public QMainWindow, public PreviewHost {
  Q_OBJECT
public:
  explicit TFrmMain(AppContext& context);
  ~TFrmMain() override;

  // The other windows, created after this one.
  void SetSettingsDialog(TFrmSettings* settings) { settings_ = settings; }
  void SetCamera(TFrmPreview* camera) { camera_ = camera; }
  void SetAboutBox(TAboutFrm* about) { about_ = about; }
  void SetConnectWindow(TFrmConnect* connect) { connect_ = connect; }
  void SetHelpWindow(TFrmHelp* help) { help_ = help; }
  // Whoever takes a scan while calibrating or verifying; a modal window
  // shown by the command (returns when it closed). Empty until they exist.
  void SetCalibration(CalibrationDestination* destination, std::function<void()> showModal);
  void SetVerification(VerificationDestination* destination, std::function<void(bool slopePanel)> showModal);
  // The report composer: called with the report kind (1 current result,
  // 2 stored snapshots).
  void SetReportComposer(std::function<void(int kind)> createPdf) { createPdf_ = std::move(createPdf); }

  // First activation: the language, the device file, the start-up sequence.
  void FormActivate();
  void StartupSequence();
  void SelectDevice();

  // PreviewHost: what the camera window calls.
  void PreviewImage(const Bitmap& frame) override;
  void Capture(const Bitmap& abmp, int count) override;
  void ResetAnalyseImg() override;
  void ClearResults() override;
  void SetKeyIndicator(bool pressed) override;
  void SetProgress(int percent) override;
  Bitmap& BrightnessImage() override { return brBild; }
  void ShowMessage(const std::string& text) override;

  void DoAnalyze();
  void ShowResults();
  void DrawDebug(int zoom);
  void SetLanguage();
  void MatGrpClick(int item);
  int MaterialItem() const;

  // Commands.
  void RefreshbtnClick();
  void CapturebtnClick();
  void AnalyzebtnClick();
  void LoadbtnClick();
  void SavebtnClick();
  void CreateReportbtnClick();
  void SnapshotClick(int kind);
  void Settings1Click();
  void Calibrate1Click();
  void Verify1Click();
  void Connect1Click();
  void Info1Click();
  void Manual1Click();
  // Load and save with the file already chosen.
  void LoadImageFile(const QString& file);
  void SaveImageFile(const QString& file);

  // Service panel (series recording).
  void StartbtnClick();
  void STOPbtnClick();
  void Timer1Timer();
  void SaveDataToFile();
  void BRTrackbarChange();
  void ToggleServicePanel();

  // What the report composer reads from the windows, as they show it now.
  ReportInputs ReportRecord();

  const MeasurementImages& Images() const { return images_; }
  const TResult& Snapshot(int kind) const { return snapshots_[kind]; }
  const Bitmap& SnapshotImage(int kind) const { return snapshotImages_[kind]; }
  bool firstActivatePending() const { return FirstActivate; }
  int CECounter = 0;
  bool T1Semaphore = true;
  std::filesystem::path seriesFile;

  // Controls, named as in the window's design.
  QFrame* Menupanel;
  QToolButton* Refreshbtn;
  QToolButton* Capturebtn;
  QToolButton* Savebtn;
  QToolButton* Loadbtn;
  QToolButton* Analyzebtn;
  QToolButton* CreateReportbtn;
  QGroupBox* GroupBox1;
  QPushButton* Startbtn;
  QPushButton* STOPbtn;
  QLabel* CE_CounterLabel;
  QSlider* BRTrackbar;
  QComboBox* Shutterbox;
  QPushButton* DrawBtn;
  QLabel* LogoImg;
  QFrame* Panel1;
  QLabel* JobIDLabel;
  QLineEdit* JobIDEdit;
  // The decision on the result shown for the job in JobIDEdit (hidden
  // without a job of the catalogue): verdict, nominal, tolerance and U.
  QLabel* VerdictStrip;
  QGroupBox* MatGrp;
  QButtonGroup* matButtons;
  QToolButton* VBtn;
  QToolButton* Hbtn;
  QToolButton* dbtn;
  QGroupBox* DepthGrp;
  QLabel* DepthResult;
  QLabel* mmLabel1;
  QGroupBox* WidthGrp;
  QLabel* WidthResult;
  QLabel* mmLabel2;
  QGroupBox* OpenGroup;
  QLabel* OpenResult;
  QGroupBox* VGrp;
  QLabel* AlphaV;
  QGroupBox* RadiusGrp;
  QLabel* RadiusResult;
  QLabel* RadiusLabel;
  QRadioButton* Flash;
  QRadioButton* Taste;
  QProgressBar* ScanProgress;
  QScrollArea* ScrollBox1;
  ImageView* AnalysisImg;
  QStatusBar* StatusBar1;
  // Whether the last measurement was recorded in the history, or why not.
  QLabel* HistoryStatus;
  std::array<QLabel*, 6> statusPanels{};
  QAction* File1;
  QAction* LoadImage1;
  QAction* SaveImage1;
  QAction* Settings1;
  QAction* Exit1;
  QAction* Device1;
  QAction* Capture1;
  QAction* Verify1;
  QAction* Connect1;
  QAction* Calibrate1;
  QAction* Help1;
  QAction* Info1;
  QAction* Manual1;
  QTimer* Timer1;

  int Brand = 2;
  Bitmap brBild;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void BuildControls();
  void BuildMenu();
  void BuildTopPanel();
  void BuildResultPanel();
  void ApplyUnitLabels();
  DisplayOptions Options() const;
  Material CurrentMaterial() const;
  void ShowPicture(const Bitmap& picture, int zoom);
  void ScrollTo(int horizontal, int vertical);
  void SetStatus(int panel, const QString& text);
  void MouseMoved(int x, int y);
  int Zoom() const;
  void ApplyStartupSettings(const ProgramSettings& settings);
  // A calibration or settings file that was refused: its message to the operator.
  void ShowRefusedFile(const FileStatus& loaded);
  // The verdict strip for the result shown; the sound by the verdict.
  void JudgeResult();
  // The measurement just completed into the history of the home folder.
  void RecordResult();
  // The job IDs of the catalogue for JobIDEdit's completion.
  void RefreshJobIds();
  Bitmap BrandLogo() const;

  AppContext& context_;
  bool FirstActivate = true;
  MeasurementImages images_;
  MeasurementOutcome lastOutcome_;
  std::optional<Judgement> judgement_;
  std::string lastHistoryFailure_;  // shown once as a message, always in HistoryStatus
  std::array<TResult, 3> snapshots_{};
  std::array<Bitmap, 3> snapshotImages_{};
  TFrmSettings* settings_ = nullptr;
  TFrmPreview* camera_ = nullptr;
  TAboutFrm* about_ = nullptr;
  TFrmConnect* connect_ = nullptr;
  TFrmHelp* help_ = nullptr;
  CalibrationDestination* calibration_ = nullptr;
  std::function<void()> showCalibration_;
  VerificationDestination* verification_ = nullptr;
  std::function<void(bool)> showVerification_;
  std::function<void(int)> createPdf_;
};
