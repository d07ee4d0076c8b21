#pragma once

// Searching a folder for files by a wildcard mask, as the language list and
// the device-file selection do.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Case-sensitive wildcard match: "*" matches any run of characters (also
// none), "?" exactly one. After a mismatch behind a "*" the match resumes one
// character further from the last "*".
bool Like(std::string_view AString, std::string_view APattern);

struct FoundEntry {
  std::string name;  // as listed: bare name, name without extension, or folder + name
  bool folder = false;
};

struct FindOptions {
  bool Recurse = false;
  bool AddFolderNames = false;
  bool IgnoreMaskAtFolderNames = false;
  bool AddPathName = false;
  bool DelExtension = false;  // file names without their last four characters
};

// Lists the entries of `RootFolder` (and of its subfolders with Recurse)
// whose lower-cased names match the lower-cased `Mask`; ".", ".." and
// "STATISTICS" are skipped. Folders are listed only with AddFolderNames
// (matched against the mask unless IgnoreMaskAtFolderNames). Entries come in
// the order the file system returns them; an unreadable folder adds nothing.
std::vector<FoundEntry> FindAllFiles(const std::filesystem::path& RootFolder, std::string_view Mask,
                                     const FindOptions& options);
