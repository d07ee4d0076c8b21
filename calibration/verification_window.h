#pragma once

// The verification window "Verify": captures of a target channel judged
// against its width and depth, the verification report, and (for service)
// statistics and correction slopes over the stored captures. The main window
// opens it modally, sends it the live picture and has every finished scan
// judged. The logic is VerificationStation; this window copies its controls
// into the station before each action and shows the station's controls
// afterwards.

#include <QDialog>

#include <functional>
#include <memory>

#include "calibration/window_station_panel.h"
#include "report/report_inputs.h"
#include "shell/measurement_destinations.h"
#include "station/verification_station.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPdfDocument;
class QPdfView;
class QPushButton;
class QTabWidget;
class PictureBox;
class TFrmPreview;
class ToleranceShape;
struct AppContext;

class TFrmVerify final : public QDialog, public VerificationDestination {
  Q_OBJECT
public:
  // `resultPicture` is the main window's result picture of the last scan;
  // `startCapture` the main window's measurement command.
  TFrmVerify(AppContext& context, TFrmPreview* camera, std::function<const Bitmap&()> resultPicture,
             std::function<void()> startCapture, QWidget* parent = nullptr);
  ~TFrmVerify() override;

  void SetReportHook(StationReportHook hook) { panel_->SetReportHook(std::move(hook)); }
  // The main window's command: the slope panel shown or not, activation,
  // then the window modally.
  void ShowModal(bool slopePanel);
  void FormActivate();
  void SetLanguage();

  // VerificationDestination.
  void ShowLiveFrame(const Bitmap& picture) override;
  void SetValues() override;

  VerificationStation& Station() { return *station_; }
  // The texts of the verification report as this window shows them.
  VerificationTexts ReportTexts() const;

  // Commands.
  void RefreshbtnClick();
  void CapturebtnClick();
  void CalcSlppebtnClick();
  void RESETSlopeClick();
  void VerifyPDFClick();

  // Controls, named as in the window's design.
  QTabWidget* VerifyPages;
  PictureBox* PrevImg;
  QPdfView* ReportWebBrowser;
  QLineEdit* CALWEdit;
  QLineEdit* CALDEdit;
  QLabel* WLabel;
  QLabel* DLabel;
  QLabel* BWidth;
  QLabel* BDepth;
  ToleranceShape* DepthShape;
  QPushButton* Refreshbtn;
  QPushButton* Capturebtn;
  QPushButton* VerifyPDF;
  QGroupBox* SlopePanel;
  QGroupBox* Levelgrp;
  QButtonGroup* levelButtons;
  QLabel* CountLabel;
  QListWidget* DListBx;
  QListWidget* WListBx;
  QLabel* SLDepth;
  QLabel* SLWidth;
  QPushButton* CalcSlppebtn;
  QPushButton* RESETSlope;

private:
  QWidget* BuildPictures();
  QWidget* BuildTargets();
  QWidget* BuildSlopePanel();
  void Act(const std::function<void()>& action);
  void ReadControls();
  void ShowControls();
  void ShowReport(const std::string& pdfPath);

  AppContext& context_;
  std::function<const Bitmap&()> resultPicture_;
  std::function<void()> startCapture_;
  std::unique_ptr<WindowStationPanel> panel_;
  std::unique_ptr<VerificationStation> station_;
  QPdfDocument* report_;
};
