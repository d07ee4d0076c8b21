#include "measure/settings_file.h"

#include "measure/calibration_file.h"
#include "platform/profile_file.h"

namespace {

constexpr const char* kSection = "VELDRAQX";
constexpr std::size_t kNameText = 15;  // names are read up to 14 characters
constexpr std::size_t kRealText = 50;  // LEVEL and FIBER up to 49

int SettingInt(const char* key, int fallback, const std::filesystem::path& file) {
  return ReadProfileInt(kSection, key, fallback, file);
}

bool SettingFlag(const char* key, const std::filesystem::path& file) { return SettingInt(key, 0, file) != 0; }

bool Write(const char* key, const std::string& value, const std::filesystem::path& file) {
  return WriteProfileString(kSection, key, value, file);
}

std::string FlagText(bool set) { return set ? "1" : "0"; }

std::string DigitsText(int digits) { return digits == 1 ? "1" : digits == 2 ? "2" : "3"; }

std::string UnitsText(int unitsMm) { return unitsMm == 10000 ? "10000" : unitsMm == 10 ? "10" : "254"; }

}  // namespace

ProgramSettings LoadSettings(const std::filesystem::path& file) {
  ProgramSettings s;
  s.Serial = ReadProfileString(kSection, "SERIAL", "0000", kNameText, file);
  s.Language = ReadProfileString(kSection, "Language", "English", kNameText, file);
  s.Digits = SettingInt("DIGITS", 3, file);
  s.UnitsMm = SettingInt("UNITS_mm", 254, file);
  s.ShowOpen = SettingFlag("SHOWOPEN", file);
  s.ShowRadius = SettingFlag("SHOWRADIUS", file);
  s.ShowAlpha = SettingFlag("SHOWALPHA", file);
  s.InvImg = SettingFlag("INVIMG", file);
  s.ShowLevel = SettingFlag("SHOWLEVEL", file);
  s.Level = ReadProfileReal(kSection, "LEVEL", "0.00", kRealText, file);
  s.Fiber = ReadProfileReal(kSection, "FIBER", "0.00", kRealText, file);
  s.Material = SettingInt("MATERIAL", 0, file);
  s.ShowMoreInfo = SettingInt("SHOWMOREINFO", 0, file);
  s.PdfCompression = SettingInt("PDFCOMPRESSION", 0, file);
  return s;
}

bool SaveSettings(const ProgramSettings& s, const std::filesystem::path& file) {
  return Write("DIGITS", DigitsText(s.Digits), file) && Write("UNITS_mm", UnitsText(s.UnitsMm), file) &&
         Write("Language", s.Language, file) && Write("SHOWOPEN", FlagText(s.ShowOpen), file) &&
         Write("SHOWRADIUS", FlagText(s.ShowRadius), file) && Write("SHOWALPHA", FlagText(s.ShowAlpha), file) &&
         Write("INVIMG", FlagText(s.InvImg), file) && Write("SHOWLEVEL", FlagText(s.ShowLevel), file) &&
         Write("LEVEL", FormatIniReal(s.Level), file) && Write("FIBER", FormatIniReal(s.Fiber), file);
}

void ApplySettings(const ProgramSettings& settings, MeasureState& state) {
  state.Units = settings.UnitsMm / 10.0;
  state.Digits = settings.Digits;
  if (state.Units == 1) state.Digits += 1;
  if (state.Units == 1000) state.Digits -= 1;
  state.Level = settings.Level;
  state.Fiber = settings.Fiber;
}
