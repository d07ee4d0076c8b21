#pragma once

// Every profile-file write of the calibration station goes through here, so
// that a group of keys that belongs together is written as one update.

#include <filesystem>
#include <string>
#include <vector>

struct ProfileEntry {
  std::string section;
  std::string key;
  std::string value;
};

// Writes the entries in their order into `file` (created when missing; other
// keys and sections stay). Returns false when a write failed.
bool WriteProfileEntries(const std::filesystem::path& file, const std::vector<ProfileEntry>& entries);
