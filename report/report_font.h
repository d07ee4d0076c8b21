#pragma once

// The font family of every text of a report (JPFontName).

#include <functional>
#include <string>
#include <string_view>

// Whether a font family is installed under its own name.
using FontInstalledCheck = std::function<bool(std::string_view family)>;

struct ReportFontChoice {
  std::string JPFontName;
  std::string message;  // to show the user before the report is written; empty for none
};

// "Arial Unicode MS" when installed; otherwise for the language "Japanese"
// (any case) "Meiryo" when installed, else "Arial" with a message asking to
// install "Arial Unicode MS"; "Arial" for every other language.
ReportFontChoice SetRepFont(std::string_view Sprache, const FontInstalledCheck& installed);
// The same with the fonts fontconfig lists.
ReportFontChoice SetRepFont(std::string_view Sprache);
