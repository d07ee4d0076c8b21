#include "station/profile_writes.h"

#include "platform/profile_file.h"

FileStatus WriteStationStep(const std::filesystem::path& home, std::string_view who,
                            const std::function<FileStatus(FileTransaction&)>& fill) {
  std::unique_ptr<FileTransaction> step;
  if (FileStatus begun = FileTransaction::Begin(home, who, step); !begun.ok) return begun;
  if (FileStatus filled = fill(*step); !filled.ok) return filled;
  return step->Commit();
}

FileStatus UpdateProfile(FileTransaction& step, const std::filesystem::path& file,
                         const std::vector<ProfileEntry>& entries) {
  return step.Update(file, [&](std::string& text) { return ApplyProfileEntries(text, entries, file); });
}

bool WriteProfileEntries(const std::filesystem::path& file, const std::vector<ProfileEntry>& entries) {
  const std::filesystem::path home = file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
  return WriteStationStep(home, kStationWriter, [&](FileTransaction& step) { return UpdateProfile(step, file, entries); })
      .ok;
}
