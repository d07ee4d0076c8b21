#pragma once

// What a gauge can be: the plausible range of every value of the
// calibration ("VELDRAQXCAL") that the measurement uses, of the calibration
// station's setup ("VELDRAQXCALSETUP", "VELDRAQXSETUP") and of the
// verification target ("MORKELTARGET"). A value outside its
// range is no calibration of a real gauge (a damaged or hand-edited file, a
// number cut off by a crash) and is refused instead of measured with. The
// table is documented for technicians in docs/plausible-values.md.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "platform/file_status.h"

struct PlausibleRange {
  std::string_view section;
  std::string_view key;  // with indices: the keys key<firstIndex> .. key<lastIndex>
  double min;
  double max;
  std::string_view meaning;
  int firstIndex = -1;
  int lastIndex = -1;
};

std::span<const PlausibleRange> PlausibleRanges();
// The range of a key (its section and key matched without regard to case),
// or nullptr for a key without one.
const PlausibleRange* FindPlausibleRange(std::string_view section, std::string_view key);

// Success when `value` lies in the key's range (or the key has none); else
// the message names the file, the key, the value, the range and then
// `consequence`.
FileStatus CheckPlausible(const std::filesystem::path& file, std::string_view section, std::string_view key,
                          double value, std::string_view consequence = "the calibration was not loaded");
