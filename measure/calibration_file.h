#pragma once

// The device calibration in a profile file: section "VELDRAQXCAL" for the
// calibration and key "SERIAL" of section "VELDRAQX" for the serial number.

#include <cstddef>
#include <filesystem>
#include <vector>
#include <string_view>

#include "measure/records.h"
#include "platform/profile_file.h"

// Fills state.ImgCalibration (all fields of the file; m, c, ZSlope and XSlope
// stay) and state.SNEditText from `file`, read once. Missing file or keys give
// the defaults of an uncalibrated gauge; correction factors outside [0.9, 1.1]
// are taken as 1. A value outside what a gauge can be (measure/
// plausible_values.h) refuses the whole file: the state stays as it was and
// the message names the file, the key and the range.
FileStatus LoadCal(MeasureState& state, const std::filesystem::path& file);

// Writes the fields the calibration window changes, in their fixed order,
// each key replaced in place or added, and replaces the file once. Returns
// false when the file cannot be read or written; it then stays as it was.
bool SaveCal(const MeasureState& state, const std::filesystem::path& file);
// The keys SaveCal writes, in its order, for a write of several files at once.
std::vector<ProfileEntry> CalEntries(const MeasureState& state);

// Fills LUTX[0..5] and LUTY[0..5] from keys "LUTX0".."LUTY5", with the
// checks of LoadCal: a refused table leaves the one in memory.
FileStatus LoadLUT(MeasureState& state, const std::filesystem::path& file);

// A real of the profile file: the text of `key` (at most size - 1 characters)
// in decimal-point notation, `fallback` when the key is missing, 0 when the
// text is no number.
double ReadProfileReal(std::string_view section, std::string_view key, std::string_view fallback, std::size_t size,
                       const std::filesystem::path& file);
