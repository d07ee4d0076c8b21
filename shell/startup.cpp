#include "shell/startup.h"

#include <memory>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/file_names.h"
#include "platform/file_transaction.h"
#include "platform/file_search.h"
#include "platform/profile_file.h"

bool CalibrationMenuVisible(const std::filesystem::path& home) {
  const std::filesystem::path station = FindPathIgnoringCase(home, kStationFileName);
  std::error_code error;
  if (!std::filesystem::is_regular_file(station, error)) return false;
  return ReadProfileInt("VELDRAQX", "ISEICH", 0, station) == kCalibrationStationCode;
}

std::vector<std::string> DeviceFileNames(const std::filesystem::path& home) {
  std::vector<std::string> names;
  for (const FoundEntry& entry : FindAllFiles(home, kDeviceFileMask, FindOptions{.DelExtension = true})) {
    names.push_back(entry.name);
  }
  return names;
}

std::filesystem::path UseDeviceFile(const std::filesystem::path& home, const std::string& name) {
  const std::filesystem::path chosen = home / (name + ".INI");
  CopyOverSettingsFile(chosen, FindPathIgnoringCase(home, kSettingsFileName));
  return chosen;
}

FileStatus CopyOverSettingsFile(const std::filesystem::path& inUse, const std::filesystem::path& settingsFile) {
  std::error_code error;
  if (std::filesystem::equivalent(inUse, settingsFile, error)) return FileStatus::Success();
  std::string bytes;
  const FileStatus read = ReadWholeFile(inUse, bytes);
  if (!read.ok) return read;
  // Under the home folder's lock, so that it never interleaves with a
  // calibration being saved there.
  std::unique_ptr<FileTransaction> step;
  const std::filesystem::path home = settingsFile.parent_path().empty() ? "." : settingsFile.parent_path();
  if (FileStatus begun = FileTransaction::Begin(home, "the program", step); !begun.ok) return begun;
  step->Replace(settingsFile, std::move(bytes));
  return step->Commit();
}
