#pragma once

// The record file of a measurement series: one line per measurement, fields
// separated by a TAB, lines ended by CR LF; and the brightness view of the
// exposure combination's brightness map.

#include <chrono>
#include <filesystem>
#include <string>

#include "base/bitmap.h"
#include "platform/file_status.h"

// counter TAB depth TAB width TAB date-time CR LF; the date and time in
// ISO 8601 ("2026-12-10T07:05:09"), which spreadsheets read everywhere.
std::string SeriesRecordLine(int counter, const std::string& depth, const std::string& width,
                             std::chrono::system_clock::time_point when);

// Creates the record file empty, replacing an existing one.
FileStatus StartSeriesFile(const std::filesystem::path& file);

// Appends `line`; a file that cannot be opened for appending gets nothing.
FileStatus AppendSeriesRecord(const std::filesystem::path& file, const std::string& line);

// The brightness map as grey: each stored value (red * 65536 + green * 256 +
// blue) becomes Round(value * 255 / (32 * position)), limited to 255.
Bitmap BrightnessView(const Bitmap& brBild, int position);
