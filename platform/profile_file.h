#pragma once

// Profile (INI) files with the semantics of the Windows profile functions:
// "[SECTION]" lines followed by "key=value" lines, 8-bit text.
//
// Reading: sections and keys match without regard to case; blanks around
// names and values are ignored; the first matching section and in it the first
// matching key count; section names are trimmed inside their brackets too
// ("[ VELDRAQX ]"); a UTF-8 byte-order mark at the start is skipped; CR LF,
// LF and a lone CR end a line. Nothing is cached: every read goes to the
// file. Only regular files up to kMaxTextFileBytes are read; anything else
// reads as a missing file.
//
// Writing: a present key has its line replaced ("key=value", the key spelled
// as in the file); a missing key is added after the last line of its section;
// a missing section is added at the end of the file; a missing file is
// created. Every other byte of the file stays as it was; new lines end in
// CR LF. The file is replaced atomically, once per call: several keys
// written together (WriteProfileStrings) are all applied to the text in
// memory first, so the file holds either all old or all new values.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_status.h"

// The trimmed value of `key` in the first section named `section` of the file
// text `text`, as it stands (quotes kept); nothing when there is no such key
// line (a line without "=" is no key line).
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key);

// The names of the sections of the file text `text`, trimmed, in their order
// (a name that repeats is listed once, as reading finds only its first).
std::vector<std::string> ProfileSectionNames(std::string_view text);

// `text` with `key` of `section` set to `value` as described above. Section
// and key are trimmed. Returns nothing when the names or the value cannot be
// stored in a profile file: an empty key, a key holding "=" or starting with
// "[", a section holding "]", or any line break.
std::optional<std::string> SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                                           std::string_view value);

// Failure when `bytes` are no 8-bit text a profile file can hold: UTF-16
// (its byte-order mark) or any NUL byte. Reading such a file finds no key
// and writing to it would append 8-bit lines to 16-bit text, so callers
// that rely on the file refuse it; the message names `file`.
FileStatus CheckProfileText(std::string_view bytes, const std::filesystem::path& file);

// One read of a profile file, for an operation that reads several keys: all
// of them come from the same content, even while another program replaces
// the file. A file that cannot be read reads as missing (`Read()` says why).
class ProfileSnapshot {
public:
  explicit ProfileSnapshot(const std::filesystem::path& file);
  // Success for a missing file and for a readable 8-bit text; otherwise why
  // the file present cannot be used (too large, unreadable, UTF-16, NUL
  // bytes). The keys then read as missing.
  FileStatus Usable() const;
  bool Missing() const { return missing_; }
  // As ReadProfileString and ReadProfileInt below.
  std::string String(std::string_view section, std::string_view key, std::string_view fallback,
                     std::size_t size) const;
  int Int(std::string_view section, std::string_view key, int fallback) const;
  const FileStatus& Read() const { return read_; }
  const std::string& Bytes() const { return bytes_; }

private:
  std::string bytes_;
  FileStatus read_;
  FileStatus text_;
  bool missing_ = false;
};

// GetPrivateProfileString: the value with one pair of matching surrounding
// quotes (" or ') removed, or `fallback` without its trailing blanks when the
// key (or the file) is missing; either cut to at most size - 1 characters.
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view fallback,
                              std::size_t size, const std::filesystem::path& file);

// GetPrivateProfileInt: `fallback` when the key (or the file) is missing or its
// value is empty; otherwise the leading decimal integer of the value with its
// sign (wrapping modulo 2^32 as the 32-bit original), 0 when the value does
// not start with one.
int ReadProfileInt(std::string_view section, std::string_view key, int fallback, const std::filesystem::path& file);

// The whole text of a profile file, read under the limits above; the message
// names the file and the reason.
FileStatus ReadProfileFile(const std::filesystem::path& file, std::string& bytes);

// One key of a write: its section, its name and the value.
struct ProfileEntry {
  std::string section;
  std::string key;
  std::string value;
};

// Applies every entry, in order, to the text of a profile file as
// WriteProfileString would; on a name or value that cannot be stored, or a
// text that CheckProfileText refuses, the text stays as it was and the
// message names `file` (and the key).
FileStatus ApplyProfileEntries(std::string& text, std::span<const ProfileEntry> entries,
                               const std::filesystem::path& file);

// Writes every entry, in order, as WriteProfileString would, and replaces the
// file once. On any failure (the file cannot be read or written, a name or
// value cannot be stored) the file stays as it was, byte for byte, and the
// message names the file and the reason.
FileStatus WriteProfileStrings(std::span<const ProfileEntry> entries, const std::filesystem::path& file);

// WritePrivateProfileString. Returns false, leaving the file as it was, when
// the file cannot be read or written or the names or value cannot be stored.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::filesystem::path& file);
