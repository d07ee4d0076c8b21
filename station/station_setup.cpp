#include "station/station_setup.h"

#include "measure/numbers.h"
#include "measure/plausible_values.h"
#include "measure/units.h"
#include "platform/file_names.h"
#include "platform/profile_file.h"

namespace {

constexpr const char* kCalSetup = "VELDRAQXCALSETUP";
constexpr const char* kSetup = "VELDRAQXSETUP";

// True when a line of `text` opens a section.
bool HasSection(const std::string& text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string::npos) end = text.size();
    const std::size_t first = text.find_first_not_of(" \t", begin);
    if (first < end && text[first] == '[') return true;
    begin = end + 1;
  }
  return false;
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

FileStatus ReadStationSetup(const std::filesystem::path& stationFile, StationSetup& setup) {
  const ProfileSnapshot snapshot(stationFile);
  if (snapshot.Missing()) {
    setup = StationSetup{};
    return FileStatus::Success();
  }
  FileStatus status = snapshot.Usable();
  if (status.ok && snapshot.Bytes().empty()) status = FileStatus::Failure(QuotedPath(stationFile) + " is empty");
  if (status.ok && !HasSection(snapshot.Bytes())) {
    status = FileStatus::Failure(QuotedPath(stationFile) + " holds no section: it is no setup file");
  }
  if (!status.ok) {
    status.message += "; the calibration cannot start";
    return status;
  }
  StationSetup read;
  auto value = [&](const char* section, const std::string& key, int fallback) {
    const int v = snapshot.Int(section, key, fallback);
    if (status.ok) status = CheckPlausible(stationFile, section, key, v, "the calibration cannot start");
    return v;
  };
  read.CALTOP = value(kCalSetup, "CALTOP", read.CALTOP);
  read.CALB = value(kCalSetup, "CALB", read.CALB);
  read.CALD = value(kCalSetup, "CALD", read.CALD);
  read.FallbackCALD = value(kCalSetup, "CALD", read.FallbackCALD);
  read.CALW = read.FallbackCALW = value(kCalSetup, "CALW", read.CALW);
  read.COUNTH = value(kCalSetup, "COUNTH", read.COUNTH);
  read.LEVEL = value(kCalSetup, "LEVEL", read.LEVEL);
  for (int i = 0; i < 5; ++i) read.D[i] = value(kSetup, "D" + std::to_string(i + 1), read.D[i]);
  if (!status.ok) return status;
  setup = read;
  return status;
}

FileStatus CheckSerial(const std::string& text, const std::string& origin) {
  const std::size_t first = text.find_first_not_of(' ');
  const std::size_t last = text.find_last_not_of(' ');
  const std::size_t digits = first == std::string::npos ? 0 : last - first + 1;
  const bool number = digits >= 1 && digits <= 14 &&
                      text.find_first_not_of("0123456789", first) > last;
  if (number) return FileStatus::Success();
  return FileStatus::Failure(origin + " is \"" + text +
                             "\", no serial number (1 to 14 digits); nothing was saved under it");
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
