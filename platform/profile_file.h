#pragma once

// Profile (INI) files with the semantics of the Windows profile functions:
// "[SECTION]" lines followed by "key=value" lines, 8-bit text.
//
// Reading: sections and keys match without regard to case; blanks around
// names and values are ignored; the first matching section and in it the first
// matching key count; CR LF and LF line ends are read. Nothing is cached:
// every read goes to the file.
//
// Writing: a present key has its line replaced ("key=value", the key spelled
// as in the file); a missing key is added after the last line of its section;
// a missing section is added at the end of the file; a missing file is
// created. Every other byte of the file stays as it was; new lines end in
// CR LF. The file is replaced atomically.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The trimmed value of `key` in the first section named `section` of the file
// text `text`, as it stands (quotes kept); nothing when there is no such key
// line (a line without "=" is no key line).
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key);

// `text` with `key` of `section` set to `value` as described above. Section
// and key are trimmed. Returns nothing when the names or the value cannot be
// stored in a profile file: an empty key, a key holding "=" or starting with
// "[", a section holding "]", or any line break.
std::optional<std::string> SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                                           std::string_view value);

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

// WritePrivateProfileString. Returns false, leaving the file as it was, when
// the file cannot be read or written or the names or value cannot be stored.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::filesystem::path& file);
