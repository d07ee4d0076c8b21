#include "station/verification_station.h"

#include <cmath>
#include <utility>

#include "measure/calibration_file.h"
#include "measure/mymath.h"
#include "measure/numbers.h"
#include "measure/plausible_values.h"
#include "measure/units.h"
#include "platform/profile_file.h"
#include "station/profile_writes.h"
#include "station/tolerance.h"

const std::array<const char*, 5> kLevelItems = {"top", "10bit", "20%", "50%", "80%"};

namespace {

constexpr const char* kTargetSection = "MORKELTARGET";
constexpr const char* kCalSection = "VELDRAQXCAL";
constexpr const char* kMainSection = "VELDRAQX";
constexpr const char* kUncertaintySection = "VELDRAQXUNCERTAINTY";
constexpr double kDepthTolerance = 0.01;  // mm
constexpr double kWidthTolerance = 0.02;  // mm

// A number as the statistics show it, "-" where a conversion gave no number.
std::string StatText(double v) { return std::isfinite(v) ? FormatFixedWidth(v, 4, 5) : "-"; }

// The slopes and verification factors as the file keeps them.
std::string FactorText(double v) { return FormatFixedWidth(v, 10, 12); }

double EditValue(const std::string& text) {
  double value = 0;
  GetValue(text, value);
  return value;
}

// A length as the result labels show it, "-" where the conversion gave no number.
std::string ShownLength(const MeasureState& state, double v, int decimals) {
  return std::isfinite(v) ? StrUnitsD(state, v, decimals) : "-";
}

// The number a displayed text shows; false for an empty or non-numeric text.
bool ShownNumber(const std::string& text, double& value) { return ParseDecimal(text, value); }

}  // namespace

VerificationStation::VerificationStation(MeasureState& state, StationPictures& pictures, StationPanel& panel,
                                         std::filesystem::path fileInUse)
    : state_(state), pictures_(pictures), panel_(panel), fileInUse_(std::move(fileInUse)) {}

FileStatus VerificationStation::FormActivate() {
  controls.DepthShape = Indicator::White;
  controls.BWidth = controls.BDepth = "...";
  controls.VerifyPDF = false;
  refusedTargets_.clear();
  const ProfileSnapshot snapshot(fileInUse_);
  FileStatus status = snapshot.Usable();
  const int width = snapshot.Int(kTargetSection, "TW", 3000);
  const int depth = snapshot.Int(kTargetSection, "TD", 520);
  // A stored target that no gauge can measure stays in the edit as it is;
  // every capture against it fails until the technician corrects it.
  const char* kRefused = "the verification fails until the target is corrected";
  if (status.ok) status = CheckPlausible(fileInUse_, kTargetSection, "TW", width, kRefused);
  if (status.ok) status = CheckPlausible(fileInUse_, kTargetSection, "TD", depth, kRefused);
  controls.CALWEdit = FormatFixed(width / 1000.0, 3);
  controls.CALDEdit = FormatFixed(depth / 1000.0, 3);
  if (!status.ok) panel_.ShowMessage(status.message);
  return status;
}

FileStatus VerificationStation::TargetStatus(double width, double depth) const {
  auto check = [](const char* key, const char* name, double mm) {
    const PlausibleRange& range = *FindPlausibleRange(kTargetSection, key);
    const double micrometres = mm * 1000.0;
    if (std::isfinite(micrometres) && micrometres >= range.min && micrometres <= range.max) {
      return FileStatus::Success();
    }
    return FileStatus::Failure(std::string("The target ") + name + " " + FormatFixed(mm, 3) + " mm is outside " +
                               FormatFixed(range.min / 1000.0, 3) + " .. " + FormatFixed(range.max / 1000.0, 3) +
                               " mm: no channel the gauge can measure; the verification fails");
  };
  FileStatus status = check("TD", "depth", depth);
  return status.ok ? check("TW", "width", width) : status;
}

void VerificationStation::RefreshbtnClick() {
  const TImgCalibration& cal = state_.ImgCalibration;
  panel_.Refresh(cal.Shutter, cal.Gain, cal.Flip, cal.Mirror);
}

void VerificationStation::CapturebtnClick() { state_.Level = -controls.Levelgrp; }

// Derives a missing verification factor so that `value` shows the target, and
// writes it. False when the key is present or no factor can be derived (the
// displayed value is no number or 0); nothing is written then.
bool VerificationStation::DeriveFactor(const char* key, double target, double value, double& factor) {
  if (ReadProfileString(kCalSection, key, "NONE", 30, fileInUse_) != "NONE") return true;
  if (!std::isfinite(value)) return false;
  double shown = 0;
  if (!ShownNumber(StrUnits(state_, value), shown)) return false;
  const double derived = target / shown;
  if (!std::isfinite(derived)) return false;
  factor = derived;
  WriteProfileEntries(fileInUse_, {{kCalSection, key, FactorText(derived)}});
  return true;
}

void VerificationStation::SetValues(const Bitmap& rBild) {
  const TChannel& channel = state_.MyChannel;
  TImgCalibration& cal = state_.ImgCalibration;
  if (hwc_ < kStoredCaptures) {
    hl_[hwc_] = channel.depth;
    wl_[hwc_] = channel.width;
    ++hwc_;
    controls.CountLabel = std::to_string(hwc_);
  }
  const double W = EditValue(controls.CALWEdit);
  const double D = EditValue(controls.CALDEdit);

  double d = GetDepth(state_, channel.depth, 1);
  controls.DListBx.push_back(ShownLength(state_, d, 4));
  if (d > 0 && DeriveFactor("DVFaktor", D, d, cal.DVFaktor)) d = GetDepth(state_, channel.depth, cal.DVFaktor);
  controls.BDepth = ShownLength(state_, d, state_.Digits);
  double dv = 0;
  const bool depthShown = ShownNumber(controls.BDepth, dv);

  double w = GetWidth(channel.width, 1);
  controls.WListBx.push_back(ShownLength(state_, w, 4));
  if (w > 0 && DeriveFactor("WVFaktor", W, w, cal.WVFaktor)) w = GetWidth(channel.width, cal.WVFaktor);
  controls.BWidth = ShownLength(state_, w, state_.Digits);
  double wv = 0;
  const bool widthShown = ShownNumber(controls.BWidth, wv);

  pictures_.ImgChannel = rBild;
  // A capture without a channel, or a target no gauge can measure, never
  // passes, however close its zeros come to the target.
  const FileStatus targets = TargetStatus(W, D);
  if (!targets.ok && targets.message != refusedTargets_) panel_.ShowMessage(targets.message);
  refusedTargets_ = targets.ok ? std::string() : targets.message;
  const bool channelFound = channel.depth > 0 && channel.width > 0 && dv > 0 && wv > 0;
  const bool pass = targets.ok && channelFound && depthShown && widthShown &&
                    WithinTolerance(dv - D, kDepthTolerance) && WithinTolerance(wv - W, kWidthTolerance);
  controls.DepthShape = pass ? Indicator::Green : Indicator::Red;
  controls.VerifyPDF = pass;
  panel_.PlayMySound(pass ? StationSound::OK : StationSound::FAIL);
  DrawStat();
}

void VerificationStation::DrawStat() {
  const int n = hwc_;
  double meanDepth = hl_[0];
  double meanWidth = wl_[0];
  double devDepth = 0;
  double devWidth = 0;
  if (n >= 2) {
    auto meanAndDeviation = [n](const std::array<double, kStoredCaptures + 1>& x, double& mean, double& deviation) {
      double sum = 0;
      double squares = 0;
      for (int i = 0; i < n; ++i) {
        sum += x[i];
        squares += x[i] * x[i];
      }
      mean = sum / n;
      const double variance = (squares / n - mean * mean) * n / (n - 1);
      deviation = variance < 1e-10 ? 0 : std::sqrt(variance);
    };
    meanAndDeviation(hl_, meanDepth, devDepth);
    meanAndDeviation(wl_, meanWidth, devWidth);
  }
  auto depth = [this](double x) { return ValUnits(state_, GetDepth(state_, x, 1)); };
  auto width = [this](double x) { return ValUnits(state_, GetWidth(x, 1)); };
  controls.SLDepth = StatText(depth(meanDepth)) + ":" + StatText(depth(devDepth));
  controls.SLWidth = StatText(width(meanWidth)) + ":" + StatText(width(devWidth));
}

void VerificationStation::CalcSlppebtnClick() {
  const double W = EditValue(controls.CALWEdit);
  const double D = EditValue(controls.CALDEdit);
  double meanDepth = 0;
  double meanWidth = 0;
  if (hwc_ > 0) {
    for (int i = 0; i < hwc_; ++i) {
      meanDepth += hl_[i];
      meanWidth += wl_[i];
    }
    meanDepth /= hwc_;
    meanWidth /= hwc_;
  }
  const double mD = ValUnits(state_, GetDepth(state_, meanDepth, 1));
  const double mW = ValUnits(state_, GetWidth(meanWidth, 1));
  const double kD = mD == 0 ? 1 : D / mD;
  const double kW = mW == 0 ? 1 : W / mW;

  // A slope that would be no number is not taken; it shows "-" and is not written.
  TImgCalibration& cal = state_.ImgCalibration;
  const double zSlope = kD * cal.ZSlope;
  const double xSlope = kW * cal.XSlope;
  depthSlopeValid_ = std::isfinite(zSlope) && std::isfinite(mD * zSlope);
  widthSlopeValid_ = std::isfinite(xSlope) && std::isfinite(mW * xSlope);
  if (depthSlopeValid_) cal.ZSlope = zSlope;
  if (widthSlopeValid_) cal.XSlope = xSlope;
  controls.BDepth = depthSlopeValid_ ? FormatFixed(mD * cal.ZSlope, 3) : "-";
  controls.BWidth = widthSlopeValid_ ? FormatFixed(mW * cal.XSlope, 3) : "-";
  DrawSlopes();
}

void VerificationStation::DrawSlopes() {
  const TImgCalibration& cal = state_.ImgCalibration;
  controls.SLDepth = depthSlopeValid_ ? FormatFixedWidth(cal.ZSlope, 8, 12) : "-";
  controls.SLWidth = widthSlopeValid_ ? FormatFixedWidth(cal.XSlope, 8, 12) : "-";
}

void VerificationStation::RESETSlopeClick() {
  hl_.fill(0);
  wl_.fill(0);
  hwc_ = 0;
  controls.DListBx.clear();
  controls.WListBx.clear();
  state_.ImgCalibration.ZSlope = 1;
  state_.ImgCalibration.XSlope = 1;
  depthSlopeValid_ = widthSlopeValid_ = true;
  WriteProfileEntries(fileInUse_, {{kMainSection, "ZSLOPE", "1.0"}, {kMainSection, "XSLOPE", "1.0"}});
  DrawSlopes();
}

bool VerificationStation::VerifyPDFClick(bool slopePanelVisible) {
  if (!controls.VerifyPDF) return false;
  const double W = EditValue(controls.CALWEdit);
  const double D = EditValue(controls.CALDEdit);
  // The edits may have changed since the pass.
  if (const FileStatus targets = TargetStatus(W, D); !targets.ok) {
    panel_.ShowMessage(targets.message);
    return false;
  }
  // The target and the slopes change together, as one write of the file in use.
  std::vector<ProfileEntry> entries{{kTargetSection, "TW", std::to_string(Round(W * 1000.0L))},
                                    {kTargetSection, "TD", std::to_string(Round(D * 1000.0L))}};
  // The repeatability of the stored captures, for the gauge's uncertainty.
  if (hwc_ >= 2) {
    auto deviation = [this](const std::array<double, kStoredCaptures + 1>& x) {
      double sum = 0;
      for (int i = 0; i < hwc_; ++i) sum += x[i];
      const double mean = sum / hwc_;
      double squares = 0;
      for (int i = 0; i < hwc_; ++i) squares += (x[i] - mean) * (x[i] - mean);
      return std::sqrt(squares / (hwc_ - 1));
    };
    // Pixels to millimetres at the gauge's scale (the depth with its factor).
    const TImgCalibration& cal = state_.ImgCalibration;
    const double millimetres = cal.PixelPerInch > 0 ? 25.4 / cal.PixelPerInch : NAN;
    const double depth = deviation(hl_) * cal.ZFaktor * millimetres;
    const double width = deviation(wl_) * millimetres;
    if (std::isfinite(depth) && std::isfinite(width)) {
      entries.push_back({kUncertaintySection, "DEPTHREPEAT", FormatFixed(std::fabs(depth), 5)});
      entries.push_back({kUncertaintySection, "WIDTHREPEAT", FormatFixed(std::fabs(width), 5)});
    }
  }
  if (slopePanelVisible) {
    const TImgCalibration& cal = state_.ImgCalibration;
    if (depthSlopeValid_ && std::isfinite(cal.ZSlope)) entries.push_back({kMainSection, "ZSLOPE", FactorText(cal.ZSlope)});
    if (widthSlopeValid_ && std::isfinite(cal.XSlope)) entries.push_back({kMainSection, "XSLOPE", FactorText(cal.XSlope)});
  }
  const bool written = WriteProfileEntries(fileInUse_, entries);
  return panel_.CreatePDF(kVerificationReport) && written;
}
