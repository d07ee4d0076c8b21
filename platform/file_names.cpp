#include "platform/file_names.h"

#include <string>

namespace {

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

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
