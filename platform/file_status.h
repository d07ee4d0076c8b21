#pragma once

// Outcome of an operation on a file: success, or a message for the user that
// names the file and says what is wrong. Nothing throws across callers.

#include <string>
#include <utility>

#include <filesystem>

// A path as messages show it: in double quotes.
inline std::string QuotedPath(const std::filesystem::path& path) { return "\"" + path.string() + "\""; }

struct FileStatus {
  bool ok = true;
  std::string message;

  static FileStatus Success() { return {}; }
  static FileStatus Failure(std::string text) { return {false, std::move(text)}; }
};
