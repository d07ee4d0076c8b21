#pragma once

// What the main window decides at start-up, from the files of the home
// folder, before it touches a control.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_status.h"

// ISEICH in the station file must hold this code for the "Calibrate" entry
// to be shown: only a calibration station's computer has it.
constexpr int kCalibrationStationCode = 5731;

inline constexpr const char* kSettingsFileName = "VELDRAQX.INI";
inline constexpr const char* kStationFileName = "VELDRAQXEICH.INI";
inline constexpr const char* kDeviceFileMask = "*_VELDRAQX.INI";

// True when the home folder holds the station file with ISEICH equal to the
// station code; a missing or unreadable file hides the entry.
bool CalibrationMenuVisible(const std::filesystem::path& home);

// Names of the device files in the home folder (no subfolders), without
// their ".INI", in the order the folder lists them.
std::vector<std::string> DeviceFileNames(const std::filesystem::path& home);

// The settings file in use after device `name` (from DeviceFileNames) was
// chosen: it is copied over "VELDRAQX.INI" in the home folder; a failed copy
// is not reported and the chosen file is still used.
std::filesystem::path UseDeviceFile(const std::filesystem::path& home, const std::string& name);

// Copies the file in use over the settings file (nothing when both are the
// same file); the settings file is replaced whole or not at all.
FileStatus CopyOverSettingsFile(const std::filesystem::path& inUse, const std::filesystem::path& settingsFile);
