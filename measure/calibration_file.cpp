#include "measure/calibration_file.h"

#include <string>
#include <utility>
#include <vector>

#include "measure/plausible_values.h"
#include "measure/units.h"
#include "platform/file_transaction.h"
#include "platform/profile_file.h"

namespace {

constexpr const char* kCalSection = "VELDRAQXCAL";
constexpr const char* kMainSection = "VELDRAQX";
constexpr std::size_t kRealText = 255;   // reals are read up to 254 characters
constexpr std::size_t kTableText = 30;   // table entries up to 29
constexpr std::size_t kSerialText = 15;  // the serial number up to 14

int CalInt(const ProfileSnapshot& file, const char* key, int fallback) { return file.Int(kCalSection, key, fallback); }

double SnapshotReal(const ProfileSnapshot& file, std::string_view section, std::string_view key,
                    std::string_view fallback, std::size_t size) {
  double value = 0;
  if (!ParseDecimal(file.String(section, key, fallback, size), value)) return 0;
  return value;
}

double CalReal(const ProfileSnapshot& file, const char* key, const char* fallback) {
  return SnapshotReal(file, kCalSection, key, fallback, kRealText);
}

// Correction factors outside [0.9, 1.1] are taken as 1; the bounds are accepted.
double CorrectionFactor(const ProfileSnapshot& file, const char* key, const char* fallback) {
  double value = CalReal(file, key, fallback);
  return (value < 0.9 || value > 1.1) ? 1.0 : value;
}

FileStatus CheckLUT(const std::filesystem::path& file, const TImgCalibration& cal) {
  for (int i = 0; i < 6; ++i) {
    const std::string index = std::to_string(i);
    FileStatus status = CheckPlausible(file, kCalSection, "LUTX" + index, cal.LUTX[i]);
    if (status.ok) status = CheckPlausible(file, kCalSection, "LUTY" + index, cal.LUTY[i]);
    if (!status.ok) return status;
  }
  return FileStatus::Success();
}

void LoadLUTFrom(const ProfileSnapshot& file, TImgCalibration& cal) {
  for (int i = 0; i < 6; ++i) {
    std::string index = std::to_string(i);
    cal.LUTX[i] = SnapshotReal(file, kCalSection, "LUTX" + index, "0", kTableText);
    cal.LUTY[i] = SnapshotReal(file, kCalSection, "LUTY" + index, "0", kTableText);
  }
}


}  // namespace

double ReadProfileReal(std::string_view section, std::string_view key, std::string_view fallback, std::size_t size,
                       const std::filesystem::path& file) {
  return SnapshotReal(ProfileSnapshot(file), section, key, fallback, size);
}

FileStatus LoadCal(MeasureState& state, const std::filesystem::path& file) {
  // A save that a crash interrupted is finished first (a damaged journal is
  // named by the next save, which refuses to write over it).
  if (!file.empty()) FinishInterruptedStep(file.parent_path().empty() ? "." : file.parent_path());
  // One read of the file for all keys: a save by another program in the
  // meantime can never mix two calibrations.
  const ProfileSnapshot snapshot(file);
  if (FileStatus usable = snapshot.Usable(); !usable.ok) {
    usable.message += "; the calibration was not loaded";
    return usable;
  }
  // Each value is checked against what a gauge can be before it replaces
  // anything: a refused file leaves the last good calibration in place.
  FileStatus plausible = FileStatus::Success();
  auto checked = [&](const char* key, double value) {
    if (plausible.ok) plausible = CheckPlausible(file, kCalSection, key, value);
    return value;
  };
  TImgCalibration cal = state.ImgCalibration;
  cal.CalVer = static_cast<int>(checked("CALVER", CalInt(snapshot, "CALVER", 0)));
  cal.top = static_cast<int>(checked("TOP", CalInt(snapshot, "TOP", 300)));
  cal.Shutter = static_cast<int>(checked("SHUTTER", CalInt(snapshot, "SHUTTER", 4)));
  cal.Gain = static_cast<int>(checked("GAIN", CalInt(snapshot, "GAIN", 80)));
  cal.Mirror = CalInt(snapshot, "MIRROR", 0) != 0;
  cal.Flip = CalInt(snapshot, "FLIP", 0) != 0;
  cal.PixelPerInch = checked("PixelPerInch", CalInt(snapshot, "PixelPerInch", 3600));
  cal.angle = checked("ANGLE", CalInt(snapshot, "ANGLE", 0)) / 100.0;
  cal.ZFaktor = checked("ZFaktor", CalReal(snapshot, "ZFaktor", "1"));
  cal.RFaktor = checked("RFaktor", CalReal(snapshot, "RFaktor", "1"));
  if (cal.CalVer != 0) {
    cal.PWFaktor = cal.WFaktor = cal.DFaktor = cal.WVFaktor = cal.DVFaktor = 1;
  } else {
    cal.WFaktor = CorrectionFactor(snapshot, "WFaktor", "0.9750");
    cal.PWFaktor = CorrectionFactor(snapshot, "PWFaktor", "0.9750");
    cal.WVFaktor = CorrectionFactor(snapshot, "WVFaktor", "0.9388");
    cal.DFaktor = CorrectionFactor(snapshot, "DFaktor", "0.954");
    cal.DVFaktor = CorrectionFactor(snapshot, "DVFaktor", "0.9326");
  }
  cal.Trapez = checked("Trapez", CalReal(snapshot, "Trapez", "0"));
  if (cal.Trapez == 0) cal.Trapez = -0.3;
  LoadLUTFrom(snapshot, cal);
  if (plausible.ok) plausible = CheckLUT(file, cal);
  if (!plausible.ok) return plausible;
  state.ImgCalibration = cal;
  state.SNEditText = snapshot.String(kMainSection, "SERIAL", "00000", kSerialText);
  GetSerial(state);
  return FileStatus::Success();
}

std::vector<ProfileEntry> CalEntries(const MeasureState& state) {
  const TImgCalibration& cal = state.ImgCalibration;
  auto flag = [](bool set) { return std::string(set ? "1" : "0"); };
  const std::pair<const char*, std::string> values[] = {
      {"CALVER", std::to_string(cal.CalVer)},
      {"TOP", std::to_string(cal.top)},
      {"SHUTTER", std::to_string(cal.Shutter)},
      {"GAIN", std::to_string(cal.Gain)},
      {"MIRROR", flag(cal.Mirror)},
      {"FLIP", flag(cal.Flip)},
      {"PixelPerInch", std::to_string(Round(cal.PixelPerInch))},
      {"ANGLE", std::to_string(Round(static_cast<Extended>(cal.angle) * 100))},
      {"ZFaktor", FormatIniReal(cal.ZFaktor)},
      {"DFaktor", FormatIniReal(cal.DFaktor)},
      {"WFaktor", FormatIniReal(cal.WFaktor)},
      {"PWFaktor", FormatIniReal(cal.PWFaktor)},
      {"DVFaktor", FormatIniReal(cal.DVFaktor)},
      {"WVFaktor", FormatIniReal(cal.WVFaktor)},
  };
  std::vector<ProfileEntry> entries;
  for (const auto& [key, value] : values) entries.push_back({kCalSection, key, value});
  return entries;
}

bool SaveCal(const MeasureState& state, const std::filesystem::path& file) {
  return WriteProfileStrings(CalEntries(state), file).ok;
}

FileStatus LoadLUT(MeasureState& state, const std::filesystem::path& file) {
  const ProfileSnapshot snapshot(file);
  if (FileStatus usable = snapshot.Usable(); !usable.ok) {
    usable.message += "; the calibration was not loaded";
    return usable;
  }
  TImgCalibration cal = state.ImgCalibration;
  LoadLUTFrom(snapshot, cal);
  if (FileStatus plausible = CheckLUT(file, cal); !plausible.ok) return plausible;
  state.ImgCalibration = cal;
  return FileStatus::Success();
}
