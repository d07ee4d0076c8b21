#pragma once

// Every file write of the calibration station goes through here. The files
// of one step (a button of the station windows: Save, the LUT buttons, the
// linearity file, a verification's factors) are written as one transaction of
// the home folder under its lock: after a crash or a failed write they hold
// all their old or all their new contents.

#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/file_transaction.h"
#include "platform/profile_file.h"

// The station as named in the lock file, so that a second writer is told who
// holds the lock.
inline constexpr std::string_view kStationWriter = "the calibration station";

// Runs `fill` on a new transaction of `home` and commits what it collected.
// The first failure (the lock, a read, a check, a write) stops the step; the
// message names the file and the reason.
FileStatus WriteStationStep(const std::filesystem::path& home, std::string_view who,
                            const std::function<FileStatus(FileTransaction&)>& fill);

// Sets the keys in `file` as part of `step` (other keys and sections stay).
FileStatus UpdateProfile(FileTransaction& step, const std::filesystem::path& file,
                         const std::vector<ProfileEntry>& entries);

// Writes the entries in their order into `file` (created when missing; other
// keys and sections stay) as one step under the lock of the file's folder, the
// home folder of the file in use: it holds either all old or all new values.
// Returns false when the write failed.
bool WriteProfileEntries(const std::filesystem::path& file, const std::vector<ProfileEntry>& entries);
