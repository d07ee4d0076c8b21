#pragma once

// The language store: the lines of one language file, in which a window finds
// the line of its section header and takes its texts at fixed offsets below it.
// Texts are UTF-8 whatever the file's encoding (see text_decoding.h).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_status.h"

class LanguageStore {
public:
  // Replaces the lines with those of programFolder/LANGUAGE/<alang>.txt (folder
  // and file found without regard to case). A missing file leaves the store as
  // it was and fails with "Language file <path> not found!"; the caller shows
  // that text and ends the program with exit code 1.
  FileStatus LoadLanguage(const std::filesystem::path& programFolder, const std::string& alang);

  // Replaces the lines with those of the file content `bytes`.
  void LoadText(std::string_view bytes);

  // Index of the first line equal to `s` without regard to case, or -1.
  int IndexOf(std::string_view s) const;

  // Line i; outside the file the decimal i followed by " not found".
  std::string GetLanguageString(int i) const;

  // Line i below the "MESSAGES" header with every "#" turned into a line
  // break ("\n"); the number followed by " not found" when the section or the
  // line is missing.
  std::string GetMessageString(int i) const;

  int Count() const { return static_cast<int>(lines_.size()); }

private:
  std::vector<std::string> lines_;
};

// The empty store the main window creates before any language is loaded.
LanguageStore CreateLanguage();
