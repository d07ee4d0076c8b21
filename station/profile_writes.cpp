#include "station/profile_writes.h"

#include "platform/profile_file.h"

bool WriteProfileEntries(const std::filesystem::path& file, const std::vector<ProfileEntry>& entries) {
  return WriteProfileStrings(entries, file).ok;
}
