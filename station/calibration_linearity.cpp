// The linearity page of the calibration window: reference depths measured
// one after another, the linearisation table built from them.

#include <cmath>
#include <system_error>

#include "measure/calibration_file.h"
#include "measure/numbers.h"
#include "measure/units.h"
#include "station/calibration_station.h"
#include "station/profile_writes.h"
#include "station/tolerance.h"

namespace {

constexpr int kLinearityPoints = 4;
constexpr double kLinearityTolerance = 0.015;  // mm

}  // namespace

void CalibrationStation::AddGraph(double /*dx*/, double depth) {
  const double a = GetDepth(state_, depth, state_.ImgCalibration.DFaktor);
  const double v = ValUnits(state_, a);
  const std::string s = StrUnits(state_, a);
  const int n = static_cast<int>(chart_.channel.size());
  if (n >= kLinearityPoints) return;
  const double delta = v - verRef_[n];
  if (WithinTolerance(delta, kLinearityTolerance)) {
    panel_.PlayMySound(StationSound::OK);
  } else {
    panel_.PlayMySound(StationSound::FAIL);
    const std::string question = "Out of Tolerance " + s + "\r\nDELTA:" + std::string(18, ' ') +
                                 FormatFixedWidth(delta, 3, 5) + "\r\n" + "trotzdem \u00fcbernehmen?";
    if (!panel_.AskYesNo(question, "")) return;
  }
  controls.VeryGrid[1][n + 1] = s;
  chart_.channel.push_back({verRef_[n], v});
  chart_.channelDiff.push_back({static_cast<double>(n + 1), delta});
}

void CalibrationStation::ClearGraphbtnClick() {
  chart_.channel.clear();
  chart_.channelDiff.clear();
  // A refused setup file is named at the next capture or save; the grid
  // then shows the references of the defaults.
  StationSetup setup;
  if (setupStatus_.ok) setupStatus_ = ReadStationSetup(StationFile(home_), setup);
  for (int i = 1; i <= 4; ++i) {
    verRef_[i - 1] = setup.D[i - 1] / 1000.0;
    controls.VeryGrid[0][i] = FormatFixed(verRef_[i - 1], 3);
    controls.VeryGrid[1][i].clear();
  }
  controls.VeryGrid[0][0] = "REF";
  controls.VeryGrid[1][0] = "Depth";
}

void CalibrationStation::VRefreshbtnClick() {
  panel_.Refresh(controls.ShutterCombo, controls.GainEdit, controls.Flip, controls.Mirror);
}

FileStatus CalibrationStation::SaveVerybtnClick() {
  if (FileStatus refused = Refusal(); !refused.ok) return refused;
  const std::string serial = GetSerial();
  std::error_code ignored;
  std::filesystem::create_directories(DeviceFolder(home_), ignored);
  return Write([&](FileTransaction& step) {
    step.Replace(LinearityFile(home_, serial), LinearityFileText(controls.VeryGrid));
    return FileStatus::Success();
  });
}

FileStatus CalibrationStation::WriteTables(const std::vector<ProfileEntry>& entries) {
  if (FileStatus refused = Refusal(); !refused.ok) {
    panel_.PlayMySound(StationSound::FAIL);
    panel_.ShowMessage("The linearisation table was not saved: " + refused.message);
    return refused;
  }
  std::error_code ignored;
  std::filesystem::create_directories(DeviceFolder(home_), ignored);
  const FileStatus written = Write([&](FileTransaction& step) {
    FileStatus status = UpdateProfile(step, fileInUse_, entries);
    return status.ok ? UpdateProfile(step, CurrentDeviceFile(), entries) : status;
  });
  // Inside an open step the files change at its commit, which reloads then.
  if (!stepOpen_) ShowRefusal(LoadLUT(state_, fileInUse_));
  panel_.PlayMySound(written.ok ? StationSound::OK : StationSound::FAIL);
  if (!written.ok) panel_.ShowMessage("The linearisation table was not saved: " + written.message);
  return written;
}

void CalibrationStation::ClearLUTBtnClick() {
  if (!panel_.AskYesNo("Delete LUT from INI file?", "")) return;
  ClearLUTInMemory(state_.ImgCalibration);
  WriteTables(ClearedLUTEntries());
}

bool CalibrationStation::SaveLUTbtnClick() {
  GetLUT(state_, controls.VeryGrid, calRef_.CALD);
  return WriteTables(LUTEntries(state_.ImgCalibration)).ok;
}

void CalibrationStation::LoadLUTbtnClick() {
  const FileStatus loaded = LoadLUT(state_, fileInUse_);
  if (loaded.ok) panel_.PlayMySound(StationSound::OK);
  ShowRefusal(loaded);
}
