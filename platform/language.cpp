#include "platform/language.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/atomic_file.h"
#include "platform/file_names.h"
#include "platform/text_decoding.h"

namespace {

std::string NotFound(int i) { return std::to_string(i) + " not found"; }

}  // namespace

FileStatus LanguageStore::LoadLanguage(const std::filesystem::path& programFolder, const std::string& alang) {
  std::filesystem::path relative = std::filesystem::path("LANGUAGE") / (alang + ".txt");
  std::filesystem::path path = FindPathIgnoringCase(programFolder, relative);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return FileStatus::Failure("Language file " + (programFolder / relative).string() + " not found!");
  }
  std::string bytes;
  FileStatus status = ReadWholeFile(path, bytes, {kMaxTextFileBytes, "language file", {}, {}});
  if (!status.ok) return FileStatus::Failure("Language file " + path.string() + " cannot be read! " + status.message);
  LoadText(bytes);
  return FileStatus::Success();
}

void LanguageStore::LoadText(std::string_view bytes) { lines_ = SplitLines(DecodeTextToUtf8(bytes)); }

int LanguageStore::IndexOf(std::string_view s) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (EqualsIgnoringAsciiCase(lines_[i], s)) return static_cast<int>(i);
  }
  return -1;
}

std::string LanguageStore::GetLanguageString(int i) const {
  if (i < 0 || i >= Count()) return NotFound(i);
  return lines_[static_cast<std::size_t>(i)];
}

std::string LanguageStore::GetMessageString(int i) const {
  int header = IndexOf("MESSAGES");
  long long line = static_cast<long long>(header) + i;
  if (header < 0 || i < 0 || line >= Count()) return NotFound(i);
  std::string text = lines_[static_cast<std::size_t>(line)];
  std::replace(text.begin(), text.end(), '#', '\n');
  return text;
}

LanguageStore CreateLanguage() { return LanguageStore(); }
