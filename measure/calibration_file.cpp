#include "measure/calibration_file.h"

#include <string>
#include <utility>
#include <vector>

#include "measure/units.h"
#include "platform/profile_file.h"

namespace {

constexpr const char* kCalSection = "VELDRAQXCAL";
constexpr const char* kMainSection = "VELDRAQX";
constexpr std::size_t kRealText = 255;   // reals are read up to 254 characters
constexpr std::size_t kTableText = 30;   // table entries up to 29
constexpr std::size_t kSerialText = 15;  // the serial number up to 14
constexpr double kMinimumFactor = 1e-6;

int CalInt(const char* key, int fallback, const std::filesystem::path& file) {
  return ReadProfileInt(kCalSection, key, fallback, file);
}

double CalReal(const char* key, const char* fallback, const std::filesystem::path& file) {
  return ReadProfileReal(kCalSection, key, fallback, kRealText, file);
}

// Correction factors outside [0.9, 1.1] are taken as 1; the bounds are accepted.
double CorrectionFactor(const char* key, const char* fallback, const std::filesystem::path& file) {
  double value = CalReal(key, fallback, file);
  return (value < 0.9 || value > 1.1) ? 1.0 : value;
}

double AtLeastMinimum(double value) { return value < kMinimumFactor ? 1.0 : value; }

}  // namespace

double ReadProfileReal(std::string_view section, std::string_view key, std::string_view fallback, std::size_t size,
                       const std::filesystem::path& file) {
  double value = 0;
  if (!ParseDecimal(ReadProfileString(section, key, fallback, size, file), value)) return 0;
  return value;
}

void LoadCal(MeasureState& state, const std::filesystem::path& file) {
  TImgCalibration& cal = state.ImgCalibration;
  cal.CalVer = CalInt("CALVER", 0, file);
  cal.top = CalInt("TOP", 300, file);
  cal.Shutter = CalInt("SHUTTER", 4, file);
  cal.Gain = CalInt("GAIN", 80, file);
  cal.Mirror = CalInt("MIRROR", 0, file) != 0;
  cal.Flip = CalInt("FLIP", 0, file) != 0;
  cal.PixelPerInch = CalInt("PixelPerInch", 3600, file);
  cal.angle = CalInt("ANGLE", 0, file) / 100.0;
  cal.ZFaktor = AtLeastMinimum(CalReal("ZFaktor", "1", file));
  cal.RFaktor = AtLeastMinimum(CalReal("RFaktor", "1", file));
  if (cal.CalVer != 0) {
    cal.PWFaktor = cal.WFaktor = cal.DFaktor = cal.WVFaktor = cal.DVFaktor = 1;
  } else {
    cal.WFaktor = CorrectionFactor("WFaktor", "0.9750", file);
    cal.PWFaktor = CorrectionFactor("PWFaktor", "0.9750", file);
    cal.WVFaktor = CorrectionFactor("WVFaktor", "0.9388", file);
    cal.DFaktor = CorrectionFactor("DFaktor", "0.954", file);
    cal.DVFaktor = CorrectionFactor("DVFaktor", "0.9326", file);
  }
  cal.Trapez = CalReal("Trapez", "0", file);
  if (cal.Trapez == 0) cal.Trapez = -0.3;
  LoadLUT(state, file);
  state.SNEditText = ReadProfileString(kMainSection, "SERIAL", "00000", kSerialText, file);
  GetSerial(state);
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

void LoadLUT(MeasureState& state, const std::filesystem::path& file) {
  TImgCalibration& cal = state.ImgCalibration;
  for (int i = 0; i < 6; ++i) {
    std::string index = std::to_string(i);
    cal.LUTX[i] = ReadProfileReal(kCalSection, ("LUTX" + index).c_str(), "0", kTableText, file);
    cal.LUTY[i] = ReadProfileReal(kCalSection, ("LUTY" + index).c_str(), "0", kTableText, file);
  }
}
