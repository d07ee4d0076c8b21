#include "platform/file_search.h"

#include <system_error>

#include "platform/ascii_case.h"

bool Like(std::string_view AString, std::string_view APattern) {
  std::size_t s = 0;
  std::size_t p = 0;
  std::size_t starPattern = std::string_view::npos;
  std::size_t starString = 0;
  while (s < AString.size()) {
    if (p < APattern.size() && APattern[p] == '*') {
      starPattern = p++;
      starString = s;
    } else if (p < APattern.size() && (APattern[p] == '?' || APattern[p] == AString[s])) {
      ++p;
      ++s;
    } else if (starPattern != std::string_view::npos) {
      p = starPattern + 1;
      s = ++starString;
    } else {
      return false;
    }
  }
  while (p < APattern.size() && APattern[p] == '*') ++p;
  return p == APattern.size();
}

namespace {

void Search(const std::filesystem::path& folder, const std::string& mask, const FindOptions& options,
            std::vector<FoundEntry>& found) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return;
  for (const std::filesystem::directory_entry& entry : it) {
    const std::string name = entry.path().filename().string();
    if (name == "." || name == ".." || name == "STATISTICS") continue;
    const bool matches = Like(AsciiLower(name), mask);
    std::error_code typeError;
    if (entry.is_directory(typeError)) {
      if (options.AddFolderNames && (options.IgnoreMaskAtFolderNames || matches)) {
        found.push_back({options.AddPathName ? (folder / name).string() : name, true});
      }
      if (options.Recurse) Search(folder / name, mask, options, found);
      continue;
    }
    if (!matches) continue;
    if (options.AddPathName) {
      found.push_back({(folder / name).string(), false});
    } else if (options.DelExtension) {
      found.push_back({name.substr(0, name.size() >= 4 ? name.size() - 4 : 0), false});
    } else {
      found.push_back({name, false});
    }
  }
}

}  // namespace

std::vector<FoundEntry> FindAllFiles(const std::filesystem::path& RootFolder, std::string_view Mask,
                                     const FindOptions& options) {
  std::vector<FoundEntry> found;
  Search(RootFolder, AsciiLower(std::string(Mask)), options, found);
  return found;
}
