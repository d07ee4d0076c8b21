#pragma once

// The verification window's logic: captures of a target channel judged
// against its width and depth, the verification factors derived once per
// calibration file, statistics and correction slopes over up to 30 stored
// captures, and the verification report. The window copies its edits into
// `controls` before a call and shows `controls` afterwards.

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/bitmap.h"
#include "platform/file_status.h"
#include "measure/records.h"
#include "station/station_panel.h"
#include "station/station_pictures.h"

// Captures kept for the statistics; later captures are judged only.
constexpr int kStoredCaptures = 30;
// Items of the level group "Level"; item i sets Level to -i.
extern const std::array<const char*, 5> kLevelItems;

struct VerificationControls {
  // Edited by the user.
  std::string CALWEdit;  // target width, mm
  std::string CALDEdit;  // target depth, mm
  int Levelgrp = 0;
  // Shown.
  std::string BWidth = "...";
  std::string BDepth = "...";
  Indicator DepthShape = Indicator::White;
  bool VerifyPDF = false;  // the report button is enabled
  std::string CountLabel;
  std::vector<std::string> DListBx;
  std::vector<std::string> WListBx;
  std::string SLDepth;  // statistics "mean:deviation", or the depth slope
  std::string SLWidth;
};

class VerificationStation {
public:
  // `fileInUse` is the settings file holding the calibration in use.
  VerificationStation(MeasureState& state, StationPictures& pictures, StationPanel& panel,
                      std::filesystem::path fileInUse);

  VerificationControls controls;

  // The settings file in use changes when another device file is chosen.
  void SetFileInUse(std::filesystem::path file) { fileInUse_ = std::move(file); }
  int hwc() const { return hwc_; }
  const std::array<double, kStoredCaptures + 1>& hl() const { return hl_; }
  const std::array<double, kStoredCaptures + 1>& wl() const { return wl_; }

  // Display reset and the targets of section "MORKELTARGET" (3.000 / 0.520
  // when missing); the stored captures stay. A stored target outside its
  // plausible range is shown as it is, with a message.
  FileStatus FormActivate();
  // The live view with the camera settings of the calibration in use.
  void RefreshbtnClick();
  // Level := minus the index of the selected level item; the window then
  // starts the capture.
  void CapturebtnClick();
  // Judges the capture analysed into state.MyChannel (`rBild` its result picture).
  void SetValues(const Bitmap& rBild);
  void DrawStat();
  void CalcSlppebtnClick();
  void DrawSlopes();
  // Statistics cleared, slopes 1 (also in the file in use).
  void RESETSlopeClick();
  // Targets into the file in use, the report, and the slopes when the slope
  // panel is shown. Only after a pass; false when refused or a step failed.
  bool VerifyPDFClick(bool slopePanelVisible);

private:
  // Failure when the targets (mm) are no channel the gauge can measure.
  FileStatus TargetStatus(double width, double depth) const;
  bool DeriveFactor(const char* key, double target, double value, double& factor);

  MeasureState& state_;
  StationPictures& pictures_;
  StationPanel& panel_;
  std::filesystem::path fileInUse_;

  std::array<double, kStoredCaptures + 1> hl_{};
  std::array<double, kStoredCaptures + 1> wl_{};
  int hwc_ = 0;
  // False after a slope calculation that gave no number; such a slope is not written.
  bool depthSlopeValid_ = true;
  bool widthSlopeValid_ = true;
  std::string refusedTargets_;  // the message last shown for the targets
};
