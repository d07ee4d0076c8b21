#include "platform/file_names.h"

#include <string>

#include "platform/ascii_case.h"

namespace {

std::filesystem::path ResolveComponent(const std::filesystem::path& folder, const std::filesystem::path& name) {
  std::filesystem::path exact = folder / name;
  std::error_code error;
  if (std::filesystem::exists(exact, error)) return exact;
  std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    std::filesystem::path found = entry->path().filename();
    if (EqualsIgnoringAsciiCase(found.string(), name.string())) return folder / found;
  }
  return exact;
}

}  // namespace

std::filesystem::path FindPathIgnoringCase(const std::filesystem::path& folder,
                                           const std::filesystem::path& relative) {
  std::filesystem::path result = folder;
  for (const auto& component : relative) result = ResolveComponent(result, component);
  return result;
}
