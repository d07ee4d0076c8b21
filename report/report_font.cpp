#include "report/report_font.h"

#include "platform/ascii_case.h"
#include "platform/font_lookup.h"

ReportFontChoice SetRepFont(std::string_view Sprache, const FontInstalledCheck& installed) {
  ReportFontChoice choice{"Arial", {}};
  if (installed("Arial Unicode MS")) {
    choice.JPFontName = "Arial Unicode MS";
  } else if (EqualsIgnoringAsciiCase(Sprache, "JAPANESE")) {
    if (installed("Meiryo")) {
      choice.JPFontName = "Meiryo";
    } else {
      choice.message = "インストールしてください <Arial Unicode MS>!";
    }
  }
  return choice;
}

ReportFontChoice SetRepFont(std::string_view Sprache) { return SetRepFont(Sprache, FontFamilyInstalled); }
