#pragma once

// The calibration window's logic: the reference samples of the station, the
// surface reference, the scale and depth factor from captures of the
// calibration channel, saving and loading the calibration, the certificate
// gate and the linearity page. The window copies its edits into `controls`
// before a call and shows `controls` afterwards; sounds, questions, the
// camera and the report go through the StationPanel.

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/bitmap.h"
#include "measure/records.h"
#include "platform/file_transaction.h"
#include "platform/profile_file.h"
#include "station/linearity_table.h"
#include "station/station_panel.h"
#include "station/station_pictures.h"
#include "station/station_setup.h"
#include "station/surface_reference.h"

// Item texts of the shutter list; the item index is the camera's shutter step.
extern const std::array<const char*, 19> kShutterTexts;
// Items of the brand group "BRAND".
extern const std::array<const char*, 3> kBrandTexts;

// Camera settings of a fresh calibration: "    1/200", gain 70, no mirror, no flip.
constexpr int kCalibrationShutter = 10;
constexpr int kCalibrationGain = 70;

enum class CalibratePage { Calibrate, Verify, Report };

// The controls of the calibration window that the logic reads or sets.
struct CalibrationControls {
  // Edited by the user.
  std::string SNEdit = "00000";
  std::string CalHEdit;     // reference depth, mm
  std::string CALWEdit;     // reference width, mm
  int ShutterCombo = kCalibrationShutter;
  int GainEdit = kCalibrationGain;
  bool Mirror = false;
  bool Flip = false;
  int BrandGrp = 0;
  // Shown.
  std::string TopRefLabel;  // expected surface row
  std::string BRRefLabel;   // expected brightness
  std::string SampleTop;    // found surface row
  std::string BRLabel;      // brightness (also the live brightness)
  std::string BRLabel2;     // found brightness
  std::string HorizLabel;   // found orientation, e.g. "-1.2°"
  std::string BHeight;
  std::string BWidth;
  std::string PPIRes;
  std::string ZFactorRes;
  std::string CountHLabel;  // "2/3"; after a capture without channel also the reason
  Indicator BRTolShape = Indicator::White;
  Indicator DimShape = Indicator::White;
  VeryGridCells VeryGrid;   // linearity page
};

// The two series of the linearity chart: "CHANNEL" (reference, measured depth
// in mm) and "CHANNEL DIFF" (capture number 1..4, measured minus reference).
struct LinearityChart {
  std::vector<TRealPoint> channel;
  std::vector<TRealPoint> channelDiff;
};

class CalibrationStation {
public:
  // `fileInUse` is the settings file holding the calibration in use;
  // `home` holds the setup file and the device folder.
  CalibrationStation(MeasureState& state, StationPictures& pictures, StationPanel& panel, std::filesystem::path home,
                     std::filesystem::path fileInUse);

  CalibrationControls controls;

  // The settings file in use changes when another device file is chosen.
  void SetFileInUse(std::filesystem::path file) { fileInUse_ = std::move(file); }
  const TCalRef& CalRef() const { return calRef_; }
  int CountH() const { return countH_; }
  int MessCountH() const { return messCountH_; }
  const std::array<double, 6>& VerRef() const { return verRef_; }
  const LinearityChart& Chart() const { return chart_; }
  // The device file of the serial in SNEdit (normalises SNEdit).
  std::filesystem::path CurrentDeviceFile();

  // Setup file into the references, the controls and the camera; abandons a
  // calibration in progress. `brand` is the main window's brand. A refused
  // setup file is shown, the defaults fill the controls, and no capture
  // counts and nothing is saved until a later InitCalRef reads a good one.
  FileStatus InitCalRef(int brand);
  // Normalises SNEdit to at least five digits and returns it.
  std::string GetSerial();
  // "+": the next serial number.
  void NextSNbtnClick();

  void ShutterComboChange();
  void GainEditChange();
  // Start of a calibration: live view, indicators white, factors 1, table cleared.
  void RefreshbtnClick();
  // Surface reference on `bmpcap` (the last camera frame), then a new average.
  void MaxBtnClick(const Bitmap& bmpcap);
  void FindMaxPos(const Bitmap& bmpcap);

  // A capture analysed into state.MyChannel, with its result picture.
  void Capture(const Bitmap& abmp, CalibratePage page);
  // One capture of the calibration channel (width dx and depth in pixels);
  // the last of COUNTH derives PixelPerInch and ZFaktor from their means.
  void CalcPPI(double dx, double depth);

  // Calibration into the file in use and the device file (asking before it
  // overwrites one). False, with a message, when a write failed, the setup
  // file was refused or SNEdit is no serial number.
  bool SavebtnClick();
  // "Load.INI": a stored device file becomes the calibration in memory.
  void LoadIni(const std::filesystem::path& file);
  void NewbtnClick(int brand);
  // Discards unsaved changes: the calibration is reloaded from the file in use.
  void DeletebtnClick();
  // The certificate, only with both indicators green: saves, then asks the
  // panel for the report. False when refused or not written.
  bool CreatePDFbtnClick();

  // Linearity page.
  void AddGraph(double dx, double depth);
  void ClearGraphbtnClick();
  void VRefreshbtnClick();
  FileStatus SaveVerybtnClick();
  void ClearLUTBtnClick();
  bool SaveLUTbtnClick();
  void LoadLUTbtnClick();

  // Writes of the buttons after BeginStep join one step until CommitStep
  // writes them all as one transaction of the home folder: `vqx calibrate`
  // saves a whole calibration (Save, the table, the linearity file) so. The
  // first failure inside the step ends it; CommitStep then reports it.
  FileStatus BeginStep();
  FileStatus CommitStep();

private:
  void ResetAverage();
  void ClearResults();
  void RejectCapture(const std::string& reason);
  // Why nothing may be written now (a refused setup file, SNEdit no serial
  // number); ends an open step.
  FileStatus Refusal();
  // A calibration or table that was not loaded: its message and the fail sound.
  void ShowRefusal(const FileStatus& loaded);
  std::vector<ProfileEntry> SerialAndBrandEntries(const std::string& serial) const;
  // The linearisation table into the file in use and the device file, as one step.
  FileStatus WriteTables(const std::vector<ProfileEntry>& entries);
  // One button's files: into the open step, or as a step of their own.
  FileStatus Write(const std::function<FileStatus(FileTransaction&)>& fill);

  MeasureState& state_;
  StationPictures& pictures_;
  StationPanel& panel_;
  std::filesystem::path home_;
  std::filesystem::path fileInUse_;
  std::unique_ptr<FileTransaction> openStep_;
  FileStatus stepFailure_;
  bool stepOpen_ = false;

  FileStatus setupStatus_;
  StationSetup setup_;  // as read at the last capture
  TCalRef calRef_;
  int countH_ = 0;
  int messCountH_ = 1;
  double hdx_ = 0;
  double hdy_ = 0;
  std::array<double, 6> verRef_{};
  LinearityChart chart_;
  Bitmap calImg_;  // the picture of the last capture
};
