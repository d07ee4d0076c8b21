#pragma once

// Every profile-file write of the calibration station goes through here, so
// that a group of keys that belongs together is written as one update.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/profile_file.h"

// Writes the entries in their order into `file` (created when missing; other
// keys and sections stay), replacing the file once: it holds either all old
// or all new values. Returns false when the write failed.
bool WriteProfileEntries(const std::filesystem::path& file, const std::vector<ProfileEntry>& entries);
