#include "platform/profile_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/ascii_case.h"
#include "platform/atomic_file.h"

namespace {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return TrimRight(s);
}

// One line of the text: content [begin, end) without its line break; the
// next line starts at `next` (== end when the text ends without a break).
struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t next = 0;
  bool HasBreak() const { return next > end; }
};

// CR LF, LF and a lone CR each end a line.
Line LineAt(std::string_view text, std::size_t begin) {
  std::size_t end = text.find_first_of("\r\n", begin);
  if (end == std::string_view::npos) return {begin, text.size(), text.size()};
  std::size_t next = end + 1;
  if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
  return {begin, end, next};
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Where the first line starts: after a UTF-8 byte-order mark.
std::size_t TextStart(std::string_view text) { return text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0; }

enum class LineKind { kOther, kSection, kKey };

struct Entry {
  LineKind kind = LineKind::kOther;
  std::string_view name;
  std::string_view value;
};

// A section header is "[" up to the last "]" of the line (leading blanks
// allowed), its name trimmed inside the brackets; a key line has a non-empty
// name before its first "=".
Entry Classify(std::string_view content) {
  std::string_view s = Trim(content);
  if (s.empty()) return {};
  if (s.front() == '[') {
    std::size_t close = s.rfind(']');
    if (close != std::string_view::npos) return {LineKind::kSection, Trim(s.substr(1, close - 1)), {}};
  }
  std::size_t equals = s.find('=');
  if (equals == std::string_view::npos) return {};
  std::string_view name = TrimRight(s.substr(0, equals));
  if (name.empty()) return {};
  return {LineKind::kKey, name, Trim(s.substr(equals + 1))};
}

struct SectionScan {
  bool sectionFound = false;
  bool keyFound = false;
  Line keyLine;
  Entry keyEntry;
  Line lastContent;  // last non-blank line of the section (its header when empty)
};

SectionScan ScanSection(std::string_view text, std::string_view section, std::string_view key) {
  SectionScan scan;
  for (std::size_t pos = TextStart(text); pos < text.size();) {
    Line line = LineAt(text, pos);
    pos = line.next;
    std::string_view content = text.substr(line.begin, line.end - line.begin);
    Entry entry = Classify(content);
    if (entry.kind == LineKind::kSection) {
      if (scan.sectionFound) break;
      if (EqualsIgnoringAsciiCase(entry.name, section)) {
        scan.sectionFound = true;
        scan.lastContent = line;
      }
      continue;
    }
    if (!scan.sectionFound) continue;
    if (!Trim(content).empty()) scan.lastContent = line;
    if (entry.kind == LineKind::kKey && EqualsIgnoringAsciiCase(entry.name, key)) {
      scan.keyFound = true;
      scan.keyLine = line;
      scan.keyEntry = entry;
      break;
    }
  }
  return scan;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool StorableNames(std::string_view section, std::string_view key, std::string_view value) {
  if (section.empty() || key.empty()) return false;
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  return section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos &&
         key.front() != '[';
}

std::string_view StripOneQuotePair(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// RtlUnicodeStringToInteger as the profile functions use it, decimal only:
// leading blanks, a sign, digits; 32-bit wrap-around.
int LeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key) {
  SectionScan scan = ScanSection(text, Trim(section), Trim(key));
  if (!scan.keyFound) return std::nullopt;
  return std::string(scan.keyEntry.value);
}

std::optional<std::string> SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                                           std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (!StorableNames(section, key, value)) return std::nullopt;
  SectionScan scan = ScanSection(text, section, key);
  std::string result(text);
  if (scan.keyFound) {
    std::string line = std::string(scan.keyEntry.name) + "=" + std::string(value);
    result.replace(scan.keyLine.begin, scan.keyLine.end - scan.keyLine.begin, line);
    return result;
  }
  std::string line = std::string(key) + "=" + std::string(value);
  if (scan.sectionFound) {
    if (scan.lastContent.HasBreak()) {
      result.insert(scan.lastContent.next, line + "\r\n");
    } else {
      result.insert(scan.lastContent.next, "\r\n" + line);
    }
    return result;
  }
  if (result.size() > TextStart(result) && result.back() != '\n' && result.back() != '\r') result += "\r\n";
  result += "[" + std::string(section) + "]\r\n" + line + "\r\n";
  return result;
}

std::vector<std::string> ProfileSectionNames(std::string_view text) {
  std::vector<std::string> names;
  for (std::size_t at = TextStart(text); at < text.size();) {
    const Line line = LineAt(text, at);
    const Entry entry = Classify(text.substr(line.begin, line.end - line.begin));
    if (entry.kind == LineKind::kSection) {
      const bool seen = std::any_of(names.begin(), names.end(),
                                    [&](const std::string& name) { return EqualsIgnoringAsciiCase(name, entry.name); });
      if (!seen) names.emplace_back(entry.name);
    }
    if (line.next == at) break;
    at = line.next;
  }
  return names;
}

FileStatus ReadProfileFile(const std::filesystem::path& file, std::string& bytes) {
  return ReadWholeFile(file, bytes, {kMaxTextFileBytes, "settings file", {}, {}});
}

FileStatus CheckProfileText(std::string_view bytes, const std::filesystem::path& file) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return FileStatus::Failure(QuotedPath(file) + " is UTF-16 text; settings files are 8-bit text (save it as "
                               "ANSI or UTF-8)");
  }
  if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
    return FileStatus::Failure(QuotedPath(file) + " holds a NUL byte at offset " + std::to_string(nul) +
                               ": it is no text file (damaged, or UTF-16 without a byte-order mark)");
  }
  return FileStatus::Success();
}

ProfileSnapshot::ProfileSnapshot(const std::filesystem::path& file) {
  read_ = ReadProfileFile(file, bytes_);
  if (!read_.ok) {
    struct stat info {};
    missing_ = ::stat(file.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
    bytes_.clear();
    return;
  }
  text_ = CheckProfileText(bytes_, file);
  if (!text_.ok) bytes_.clear();
}

FileStatus ProfileSnapshot::Usable() const {
  if (missing_) return FileStatus::Success();
  return read_.ok ? text_ : read_;
}

std::string ProfileSnapshot::String(std::string_view section, std::string_view key, std::string_view fallback,
                                    std::size_t size) const {
  if (size == 0) return {};
  std::optional<std::string> value;
  if (read_.ok && text_.ok) value = FindProfileValue(bytes_, section, key);
  std::string result;
  if (value) {
    result = std::string(StripOneQuotePair(*value));
  } else {
    std::string_view trimmed = fallback;
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
    result = std::string(trimmed);
  }
  if (result.size() > size - 1) result.resize(size - 1);
  return result;
}

int ProfileSnapshot::Int(std::string_view section, std::string_view key, int fallback) const {
  // The original reads the value through a 30-character buffer first.
  constexpr std::size_t kIntegerBuffer = 30;
  std::string text = String(section, key, "", kIntegerBuffer);
  if (text.empty()) return fallback;
  return LeadingInteger(text);
}

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view fallback,
                              std::size_t size, const std::filesystem::path& file) {
  return ProfileSnapshot(file).String(section, key, fallback, size);
}

int ReadProfileInt(std::string_view section, std::string_view key, int fallback, const std::filesystem::path& file) {
  return ProfileSnapshot(file).Int(section, key, fallback);
}

FileStatus ApplyProfileEntries(std::string& text, std::span<const ProfileEntry> entries,
                               const std::filesystem::path& file) {
  if (FileStatus usable = CheckProfileText(text, file); !usable.ok) {
    usable.message += "; it was not changed";
    return usable;
  }
  std::string updated = text;
  for (const ProfileEntry& entry : entries) {
    std::optional<std::string> next = SetProfileValue(updated, entry.section, entry.key, entry.value);
    if (!next) {
      return FileStatus::Failure("Cannot write " + QuotedPath(file) + ": key \"" + std::string(entry.key) +
                                 "\" of section \"" + std::string(entry.section) +
                                 "\" cannot be stored in a settings file");
    }
    updated = std::move(*next);
  }
  text = std::move(updated);
  return FileStatus::Success();
}

FileStatus WriteProfileStrings(std::span<const ProfileEntry> entries, const std::filesystem::path& file) {
  std::string bytes;
  struct stat info {};
  // A missing file is created; anything else at the path must be readable.
  const bool exists = ::stat(file.c_str(), &info) == 0 || errno != ENOENT;
  if (exists) {
    if (FileStatus read = ReadProfileFile(file, bytes); !read.ok) return read;
  }
  std::string updated = bytes;
  if (FileStatus applied = ApplyProfileEntries(updated, entries, file); !applied.ok) return applied;
  if (exists && updated == bytes) return FileStatus::Success();
  return WriteFileAtomically(file, updated);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::filesystem::path& file) {
  const ProfileEntry entry{std::string(section), std::string(key), std::string(value)};
  return WriteProfileStrings(std::span<const ProfileEntry>(&entry, 1), file).ok;
}
