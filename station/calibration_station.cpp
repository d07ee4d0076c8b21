#include "station/calibration_station.h"

#include <cmath>
#include <system_error>
#include <utility>

#include "measure/calibration_file.h"
#include "measure/mymath.h"
#include "measure/numbers.h"
#include "measure/units.h"
#include "station/profile_writes.h"

const std::array<const char*, 19> kShutterTexts = {
    "    1/2 second", "    1/4 second", "    2/15 second", "    1/15 second", "    1/20 second",
    "    1/30 second", "    1/50 second", "    1/60",        "    1/100",       "    1/120",
    "    1/200",       "    1/250",       "    1/500",       "    1/750",       "    1/1000",
    "    1/2000",      "    1/3000",      "    1/4000",      "    1/5000"};

const std::array<const char*, 3> kBrandTexts = {"SANTIR", "HOLMAR", "VELDRA"};

namespace {

constexpr const char* kMainSection = "VELDRAQX";

std::string CountText(int count, int of) { return std::to_string(count) + "/" + std::to_string(of); }

}  // namespace

CalibrationStation::CalibrationStation(MeasureState& state, StationPictures& pictures, StationPanel& panel,
                                       std::filesystem::path home, std::filesystem::path fileInUse)
    : state_(state), pictures_(pictures), panel_(panel), home_(std::move(home)), fileInUse_(std::move(fileInUse)) {}

std::filesystem::path CalibrationStation::CurrentDeviceFile() { return DeviceFile(home_, GetSerial()); }

FileStatus CalibrationStation::InitCalRef(int brand) {
  StationSetup setup;
  setupStatus_ = ReadStationSetup(StationFile(home_), setup);
  if (!setupStatus_.ok) {
    panel_.PlayMySound(StationSound::FAIL);
    panel_.ShowMessage(setupStatus_.message);
  }
  setup_ = setup;
  calRef_.CALTOP = setup.CALTOP;
  controls.TopRefLabel = std::to_string(setup.CALTOP);
  calRef_.CALB = setup.CALB;
  controls.BRRefLabel = std::to_string(setup.CALB);
  calRef_.CALD = setup.CALD / 1000.0;
  controls.CalHEdit = FormatFixed(calRef_.CALD, 3);
  calRef_.CALW = setup.CALW / 1000.0;
  controls.CALWEdit = FormatFixed(calRef_.CALW, 3);
  messCountH_ = setup.COUNTH;
  ResetAverage();
  controls.BrandGrp = brand;
  controls.ShutterCombo = kCalibrationShutter;
  controls.GainEdit = kCalibrationGain;
  controls.Mirror = false;
  controls.Flip = false;
  for (int i = 1; i <= 5; ++i) {
    verRef_[i - 1] = setup.D[i - 1] / 1000.0;
    controls.VeryGrid[0][i] = FormatFixed(verRef_[i - 1], 3);
    controls.VeryGrid[1][i].clear();
  }
  panel_.SetShutterSpeed(kCalibrationShutter, kCalibrationGain, false, false);
  return setupStatus_;
}

std::string CalibrationStation::GetSerial() {
  controls.SNEdit = SerialText(SerialNumber(controls.SNEdit));
  return controls.SNEdit;
}

void CalibrationStation::NextSNbtnClick() { controls.SNEdit = NextSerial(controls.SNEdit); }

void CalibrationStation::ShutterComboChange() {
  panel_.SetShutterSpeed(controls.ShutterCombo, controls.GainEdit, controls.Flip, controls.Mirror);
  state_.ImgCalibration.Shutter = controls.ShutterCombo;
}

void CalibrationStation::GainEditChange() {
  panel_.SetGain(controls.GainEdit);
  state_.ImgCalibration.Gain = controls.GainEdit;
}

void CalibrationStation::RefreshbtnClick() {
  panel_.Refresh(controls.ShutterCombo, controls.GainEdit, controls.Flip, controls.Mirror);
  controls.BRTolShape = Indicator::White;
  controls.DimShape = Indicator::White;
  TImgCalibration& cal = state_.ImgCalibration;
  cal.CalVer = 1;
  cal.DFaktor = cal.WFaktor = cal.PWFaktor = cal.WVFaktor = cal.DVFaktor = 1;
  cal.top = calRef_.CALTOP;
  ClearLUTInMemory(cal);
}

void CalibrationStation::MaxBtnClick(const Bitmap& bmpcap) {
  FindMaxPos(bmpcap);
  ResetAverage();
  ClearLUTInMemory(state_.ImgCalibration);
  ClearResults();
}

void CalibrationStation::FindMaxPos(const Bitmap& bmpcap) {
  pictures_.ImgBrightness = bmpcap;
  TImgCalibration& cal = state_.ImgCalibration;
  const SurfaceReference found = MeasureSurfaceReference(pictures_.ImgBrightness, cal.m, cal.c);
  cal.top = found.top;
  state_.SampleRep.ImgBr = found.top;
  controls.SampleTop = std::to_string(found.top);
  controls.BRLabel = controls.BRLabel2 = std::to_string(found.brightness);
  state_.SampleRep.ActBr = found.brightness;
  state_.SampleRep.Angle = found.angle;
  controls.HorizLabel = FormatFixed(found.angle, 1) + "\u00b0";
  controls.BRTolShape = SurfaceInTolerance(calRef_, found) ? Indicator::Green : Indicator::Red;
  controls.DimShape = Indicator::White;
}

void CalibrationStation::Capture(const Bitmap& abmp, CalibratePage page) {
  calImg_ = abmp;
  // The setup file is read again at every capture (the width level); a
  // capture never counts against references from a refused file.
  StationSetup setup;
  if (setupStatus_.ok) setupStatus_ = ReadStationSetup(StationFile(home_), setup);
  if (!setupStatus_.ok) {
    controls.DimShape = Indicator::Red;
    panel_.PlayMySound(StationSound::FAIL);
    panel_.ShowMessage(setupStatus_.message);
    return;
  }
  setup_ = setup;
  const TChannel& channel = state_.MyChannel;
  if (page == CalibratePage::Calibrate) {
    const std::pair<TRealPoint, TRealPoint> ends = [&] {
      switch (setup.LEVEL) {
        case 0:
          return std::pair{channel.plt, channel.prt};
        case 1:
          return std::pair{channel.pl10, channel.pr10};
        case 3:
          return std::pair{channel.pl50, channel.pr50};
        default:
          return std::pair{channel.pl20, channel.pr20};
      }
    }();
    CalcPPI(PTRAbstand(ends.first, ends.second, 1), channel.depth);
  } else if (page == CalibratePage::Verify) {
    AddGraph(PTRAbstand(channel.pl20, channel.pr20, 1), channel.depth);
  }
}

void CalibrationStation::CalcPPI(double dx, double depth) {
  ++countH_;
  controls.CountHLabel = CountText(countH_, messCountH_);
  hdx_ += dx;
  hdy_ += depth;
  if (countH_ != messCountH_) {
    panel_.PlayMySound(StationSound::OK);
    controls.DimShape = Indicator::White;
    return;
  }
  const double w = hdx_ / messCountH_;
  const double d = hdy_ / messCountH_;
  ResetAverage();

  double W = 0;
  GetValue(controls.CALWEdit, W);
  if (W == 0) W = setup_.FallbackCALW * 0.001;
  double D = 0;
  GetValue(controls.CalHEdit, D);
  if (D == 0) D = setup_.FallbackCALD * 0.001;

  // A capture without a channel, or references that are not lengths, give no
  // scale: the calibration in memory stays as it was.
  if (!(w > 0)) return RejectCapture("no channel width");
  if (!(d > 0)) return RejectCapture("no channel depth");
  if (!(W > 0)) return RejectCapture("no reference width");
  if (!(D > 0)) return RejectCapture("no reference depth");

  TImgCalibration& cal = state_.ImgCalibration;
  TImgCalReport& sample = state_.SampleRep;
  const TImgCalibration keptCalibration = cal;
  const TImgCalReport keptSample = sample;
  const TCalRef keptReference = calRef_;
  cal.ZFaktor = 1;
  calRef_.CALW = W;
  cal.PixelPerInch = 25.4 * w / W;
  sample.width = ValUnits(state_, w);
  calRef_.CALD = D;
  sample.depth = ValUnits(state_, d);
  cal.ZFaktor = D / sample.depth;
  if (!std::isfinite(cal.PixelPerInch) || cal.PixelPerInch == 0 || !std::isfinite(cal.ZFaktor)) {
    cal = keptCalibration;
    sample = keptSample;
    calRef_ = keptReference;
    return RejectCapture("no scale");
  }
  controls.BWidth = StrUnits(state_, w);
  controls.PPIRes = std::to_string(Round(cal.PixelPerInch));
  controls.BHeight = StrUnits(state_, GetDepth(state_, d, 1));
  sample.depth = ValUnits(state_, GetDepth(state_, d, 1));
  controls.ZFactorRes = FormatFixed(cal.ZFaktor, 3);
  pictures_.ImgChannel = calImg_;

  if (DimensionsInTolerance(calRef_, sample.width, sample.depth)) {
    controls.DimShape = Indicator::Green;
    panel_.PlayMySound(StationSound::tada);
  } else {
    controls.DimShape = Indicator::Red;
    panel_.PlayMySound(StationSound::FAIL);
  }
}

void CalibrationStation::RejectCapture(const std::string& reason) {
  controls.CountHLabel += " " + reason;
  controls.DimShape = Indicator::Red;
  panel_.PlayMySound(StationSound::FAIL);
}

std::vector<ProfileEntry> CalibrationStation::SerialAndBrandEntries(const std::string& serial) const {
  return {{kMainSection, "SERIAL", serial}, {kMainSection, "BRAND", std::to_string(controls.BrandGrp)}};
}

bool CalibrationStation::SavebtnClick() {
  if (const FileStatus refused = Refusal(); !refused.ok) {
    panel_.PlayMySound(StationSound::FAIL);
    panel_.ShowMessage("The calibration was not saved: " + refused.message);
    return false;
  }
  TImgCalibration& cal = state_.ImgCalibration;
  cal.CalVer = 1;
  cal.Shutter = controls.ShutterCombo;
  cal.Gain = controls.GainEdit;
  cal.Mirror = controls.Mirror;
  cal.Flip = controls.Flip;

  const std::string serial = GetSerial();
  std::error_code error;
  std::filesystem::create_directories(DeviceFolder(home_), error);
  const std::filesystem::path device = DeviceFile(home_, serial);
  const bool overwrite = !std::filesystem::exists(device, error) ||
                         panel_.AskYesNo("Calibration File exists!", "File exists - save anyway?");
  // The file in use and the device file change together or not at all.
  const FileStatus written = Write([&](FileTransaction& step) {
    std::vector<ProfileEntry> inUse = CalEntries(state_);
    if (!overwrite) return UpdateProfile(step, fileInUse_, inUse);
    const std::vector<ProfileEntry> serialAndBrand = SerialAndBrandEntries(serial);
    inUse.insert(inUse.end(), serialAndBrand.begin(), serialAndBrand.end());
    std::vector<ProfileEntry> deviceEntries = serialAndBrand;
    const std::vector<ProfileEntry> calibration = CalEntries(state_);
    deviceEntries.insert(deviceEntries.end(), calibration.begin(), calibration.end());
    FileStatus status = UpdateProfile(step, fileInUse_, inUse);
    return status.ok ? UpdateProfile(step, device, deviceEntries) : status;
  });
  if (!written.ok) {
    panel_.PlayMySound(StationSound::FAIL);
    panel_.ShowMessage("The calibration was not saved: " + written.message);
    return false;
  }
  panel_.PlayMySound(StationSound::OK);
  return true;
}

FileStatus CalibrationStation::Refusal() {
  FileStatus refused = setupStatus_.ok ? CheckSerial(controls.SNEdit, "The serial number") : setupStatus_;
  // A refusal inside an open step ends it: nothing of the step is written.
  if (!refused.ok && stepOpen_) {
    openStep_.reset();
    stepFailure_ = refused;
  }
  return refused;
}

FileStatus CalibrationStation::Write(const std::function<FileStatus(FileTransaction&)>& fill) {
  if (!stepOpen_) return WriteStationStep(home_, kStationWriter, fill);
  if (!openStep_) return stepFailure_;
  FileStatus filled = fill(*openStep_);
  if (!filled.ok) {
    openStep_.reset();
    stepFailure_ = filled;
  }
  return filled;
}

FileStatus CalibrationStation::BeginStep() {
  stepOpen_ = true;
  stepFailure_ = FileTransaction::Begin(home_, kStationWriter, openStep_);
  return stepFailure_;
}

FileStatus CalibrationStation::CommitStep() {
  stepOpen_ = false;
  if (!openStep_) return stepFailure_;
  const FileStatus committed = openStep_->Commit();
  openStep_.reset();
  // The table as the files hold it now.
  ShowRefusal(LoadLUT(state_, fileInUse_));
  return committed;
}

void CalibrationStation::LoadIni(const std::filesystem::path& file) {
  ShowRefusal(LoadCal(state_, file));
  controls.GainEdit = state_.ImgCalibration.Gain;
  controls.ShutterCombo = state_.ImgCalibration.Shutter;
}

void CalibrationStation::NewbtnClick(int brand) {
  InitCalRef(brand);
  ClearLUTInMemory(state_.ImgCalibration);
}

void CalibrationStation::DeletebtnClick() { ShowRefusal(LoadCal(state_, fileInUse_)); }

void CalibrationStation::ShowRefusal(const FileStatus& loaded) {
  if (loaded.ok) return;
  panel_.PlayMySound(StationSound::FAIL);
  panel_.ShowMessage(loaded.message);
}

bool CalibrationStation::CreatePDFbtnClick() {
  if (controls.BRTolShape != Indicator::Green || controls.DimShape != Indicator::Green) {
    panel_.ShowMessage("Calibration out of Tolerance or incomplete!");
    return false;
  }
  if (!SavebtnClick()) return false;
  return panel_.CreatePDF(kCalibrationCertificate);
}

void CalibrationStation::ResetAverage() {
  countH_ = 0;
  hdx_ = 0;
  hdy_ = 0;
}

void CalibrationStation::ClearResults() {
  controls.BHeight.clear();
  controls.BWidth.clear();
  controls.PPIRes.clear();
  controls.ZFactorRes.clear();
}
