#pragma once

// The calibration window "Calibrate": camera settings, the surface reference
// of a flat sample, scale and depth factor from captures of the calibration
// channel, saving the calibration and the certificate (page "Calibrate"); the
// linearity check and the linearisation table (page "Verify"); the
// certificate (page "Report"). The main window opens it modally and sends it
// the live picture and every finished scan. The logic is CalibrationStation;
// this window copies its controls into the station before each action and
// shows the station's controls afterwards.

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

#include "calibration/window_station_panel.h"
#include "report/report_inputs.h"
#include "shell/measurement_destinations.h"
#include "station/calibration_station.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QChart;
class QChartView;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QBarSet;
class QPdfDocument;
class QPdfView;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class PictureBox;
class TFrmPreview;
class ToleranceShape;
struct AppContext;

class TCalibFrm final : public QDialog, public CalibrationDestination {
  Q_OBJECT
public:
  // `camera` gives the live picture and takes the camera settings; `brand`
  // is the main window's brand.
  TCalibFrm(AppContext& context, TFrmPreview* camera, std::function<int()> brand, QWidget* parent = nullptr);
  ~TCalibFrm() override;

  void SetReportHook(StationReportHook hook) { panel_->SetReportHook(std::move(hook)); }
  // The main window's command: activation, then the window modally.
  void ShowModal();
  void FormActivate();

  // CalibrationDestination.
  void ShowLiveFrame(const Bitmap& picture, const std::string& brightness) override;
  void Capture(const Bitmap& rBild) override;

  CalibrationStation& Station() { return *station_; }
  // The texts of the certificate as this window shows them.
  CertificateTexts ReportTexts() const;
  CalibratePage Page() const;

  // Commands.
  void ShutterComboChange();
  void GainEditChange();
  void RefreshbtnClick();
  void MaxBtnClick();
  void NextSNbtnClick();
  void SavebtnClick();
  void LoadIniBtnClick();
  void NewbtnClick();
  void DeletebtnClick();
  void CreatePDFbtnClick();
  void ClearGraphbtnClick();
  void VRefreshbtnClick();
  void SaveVerybtnClick();
  void ClearLUTBtnClick();
  void SaveLUTbtnClick();
  void LoadLUTbtnClick();

  // Controls, named as in the window's design.
  QTabWidget* CalibratePages;
  PictureBox* CALImg;
  QComboBox* ShutterCombo;
  QSpinBox* GainEdit;
  QCheckBox* Mirror;
  QCheckBox* Flip;
  QPushButton* Refreshbtn;
  QPushButton* Maxbtn;
  QLabel* BRLabel;
  QLabel* TopRefLabel;
  QLabel* BRRefLabel;
  QLabel* HRefLabel;
  QLabel* SampleTop;
  QLabel* BRLabel2;
  QLabel* HorizLabel;
  ToleranceShape* BRTolShape;
  PictureBox* BRImage;
  QLineEdit* CalHEdit;
  QLineEdit* CALWEdit;
  QLabel* BHeight;
  QLabel* BWidth;
  QLabel* PPIRes;
  QLabel* ZFactorRes;
  QLabel* CountHLabel;
  ToleranceShape* DimShape;
  PictureBox* BeadImage;
  QLineEdit* SNEdit;
  QPushButton* NextSNbtn;
  QGroupBox* BrandGrp;
  QButtonGroup* brandButtons;
  QPushButton* LoadIniBtn;
  QPushButton* Savebtn;
  QPushButton* CreatePDFbtn;
  QPushButton* Deletebtn;
  QPushButton* Newbtn;
  // Page "Verify".
  QTableWidget* VeryGrid;
  QChartView* Chart1;
  QLineSeries* Series2;
  QBarSet* Series4Bars;
  QPushButton* ClearGraphbtn;
  QPushButton* SaveVerybtn;
  QPushButton* VRefreshbtn;
  QPushButton* ClearLUTBtn;
  QPushButton* SaveLUTbtn;
  QPushButton* LoadLUTbtn;
  // Page "Report".
  QPdfView* ReportWebBrowser;

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  QWidget* BuildLeftColumn();
  QWidget* BuildCalibratePage();
  QWidget* BuildLinearityPage();
  QWidget* BuildReportPage();
  // Edits into the station, the action, the station's controls shown.
  void Act(const std::function<void()>& action);
  void ReadControls();
  void ShowControls();
  void ShowChart();
  void ShowReport(const std::string& pdfPath);

  AppContext& context_;
  TFrmPreview* camera_;
  std::function<int()> brand_;
  std::unique_ptr<WindowStationPanel> panel_;
  std::unique_ptr<CalibrationStation> station_;
  QPdfDocument* report_;
};
