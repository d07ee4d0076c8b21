#include "station/station_setup.h"

#include <algorithm>

#include "measure/numbers.h"
#include "measure/units.h"
#include "platform/file_names.h"
#include "platform/profile_file.h"

namespace {

constexpr const char* kCalSetup = "VELDRAQXCALSETUP";
constexpr const char* kSetup = "VELDRAQXSETUP";

int SetupInt(const char* section, const std::string& key, int fallback, const std::filesystem::path& file) {
  return ReadProfileInt(section, key, fallback, file);
}

}  // namespace

std::filesystem::path StationFile(const std::filesystem::path& home) {
  return FindPathIgnoringCase(home, "VELDRAQXEICH.INI");
}

std::filesystem::path DeviceFolder(const std::filesystem::path& home) {
  return FindPathIgnoringCase(home, "VELDRAQXINI");
}

std::filesystem::path DeviceFile(const std::filesystem::path& home, const std::string& serial) {
  return FindPathIgnoringCase(DeviceFolder(home), serial + "_VELDRAQX.INI");
}

std::filesystem::path LinearityFile(const std::filesystem::path& home, const std::string& serial) {
  return FindPathIgnoringCase(DeviceFolder(home), serial + "_LIN.TXT");
}

StationSetup ReadStationSetup(const std::filesystem::path& stationFile) {
  StationSetup setup;
  setup.CALTOP = SetupInt(kCalSetup, "CALTOP", setup.CALTOP, stationFile);
  setup.CALB = SetupInt(kCalSetup, "CALB", setup.CALB, stationFile);
  setup.CALD = SetupInt(kCalSetup, "CALD", setup.CALD, stationFile);
  setup.CALW = SetupInt(kCalSetup, "CALW", setup.CALW, stationFile);
  setup.COUNTH = std::max(1, SetupInt(kCalSetup, "COUNTH", setup.COUNTH, stationFile));
  for (int i = 0; i < 5; ++i) setup.D[i] = SetupInt(kSetup, "D" + std::to_string(i + 1), setup.D[i], stationFile);
  return setup;
}

int ReadCalibrationLevel(const std::filesystem::path& stationFile) {
  return SetupInt(kCalSetup, "LEVEL", 0, stationFile);
}

double ReadFallbackWidth(const std::filesystem::path& stationFile) {
  return SetupInt(kCalSetup, "CALW", 3000, stationFile) * 0.001;
}

double ReadFallbackDepth(const std::filesystem::path& stationFile) {
  return SetupInt(kCalSetup, "CALD", 2000, stationFile) * 0.001;
}

std::array<double, 4> ReadLinearityReferences(const std::filesystem::path& stationFile) {
  std::array<double, 4> references{};
  for (int i = 0; i < 4; ++i) references[i] = SetupInt(kSetup, "D" + std::to_string(i + 1), (i + 1) * 100, stationFile) / 1000.0;
  return references;
}

double GetValues(const std::string& text, double units) {
  if (units == 0) return 0;
  std::string cleaned;
  for (char ch : text) {
    if (ch == ' ' || ch == '-') continue;
    cleaned += ch == ',' ? '.' : ch;
  }
  double value = 0;
  if (!ParseDecimal(cleaned, value)) value = 0;
  return value * 25.4 / units;
}

std::string NextSerial(const std::string& text) { return SerialText(SerialNumber(text) + 1); }
