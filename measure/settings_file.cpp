#include "measure/settings_file.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "measure/calibration_file.h"
#include "measure/plausible_values.h"
#include "platform/profile_file.h"

namespace {

constexpr const char* kSection = "VELDRAQX";
constexpr std::size_t kNameText = 15;  // names are read up to 14 characters
constexpr std::size_t kRealText = 50;  // LEVEL and FIBER up to 49

int SettingInt(const char* key, int fallback, const std::filesystem::path& file) {
  return ReadProfileInt(kSection, key, fallback, file);
}

bool SettingFlag(const char* key, const std::filesystem::path& file) { return SettingInt(key, 0, file) != 0; }

std::string FlagText(bool set) { return set ? "1" : "0"; }

std::string DigitsText(int digits) { return digits == 1 ? "1" : digits == 2 ? "2" : "3"; }

std::string UnitsText(int unitsMm) { return unitsMm == 10000 ? "10000" : unitsMm == 10 ? "10" : "254"; }

}  // namespace

ProgramSettings LoadSettings(const std::filesystem::path& file) {
  ProgramSettings s;
  s.Serial = ReadProfileString(kSection, "SERIAL", "0000", kNameText, file);
  s.Language = ReadProfileString(kSection, "Language", "English", kNameText, file);
  // A hand-edited DIGITS outside the decimals the display offers is limited to them.
  s.Digits = std::clamp(SettingInt("DIGITS", 3, file), kMinDigits, kMaxDigits);
  s.UnitsMm = SettingInt("UNITS_mm", 254, file);
  s.status = CheckPlausible(file, kSection, "UNITS_mm", s.UnitsMm, "the length unit is mm");
  if (!s.status.ok) s.UnitsMm = 254;
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
  const std::pair<const char*, std::string> values[] = {
      {"DIGITS", DigitsText(s.Digits)},          {"UNITS_mm", UnitsText(s.UnitsMm)},
      {"Language", s.Language},                  {"SHOWOPEN", FlagText(s.ShowOpen)},
      {"SHOWRADIUS", FlagText(s.ShowRadius)},    {"SHOWALPHA", FlagText(s.ShowAlpha)},
      {"INVIMG", FlagText(s.InvImg)},            {"SHOWLEVEL", FlagText(s.ShowLevel)},
      {"LEVEL", FormatIniReal(s.Level)},         {"FIBER", FormatIniReal(s.Fiber)},
  };
  std::vector<ProfileEntry> entries;
  for (const auto& [key, value] : values) entries.push_back({kSection, key, value});
  return WriteProfileStrings(entries, file).ok;
}

void ApplySettings(const ProgramSettings& settings, MeasureState& state) {
  state.Units = settings.UnitsMm / 10.0;
  state.Digits = settings.Digits;
  if (state.Units == 1) state.Digits += 1;
  if (state.Units == 1000) state.Digits -= 1;
  state.Digits = std::clamp(state.Digits, kMinDigits, kMaxDigits);
  state.Level = settings.Level;
  state.Fiber = settings.Fiber;
}
