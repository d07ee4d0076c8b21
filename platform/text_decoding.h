#pragma once

// Turns the bytes of a text file into UTF-8 the way the language files are
// read: a UTF-8 or UTF-16 (either byte order) byte-order mark is honoured and
// removed; without one, text that is valid UTF-8 stays as it is and anything
// else is taken as Windows-1252.

#include <string>
#include <string_view>
#include <vector>

std::string DecodeTextToUtf8(std::string_view bytes);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// The lines of a text: CR LF, LF and a lone CR each end a line; a break at the
// very end opens no further line.
std::vector<std::string> SplitLines(std::string_view text);
