#include "station/profile_writes.h"

#include "platform/profile_file.h"

bool WriteProfileEntries(const std::filesystem::path& file, const std::vector<ProfileEntry>& entries) {
  for (const ProfileEntry& entry : entries) {
    if (!WriteProfileString(entry.section, entry.key, entry.value, file)) return false;
  }
  return true;
}
