// Time stamps, file names and the choice of the report font.
#include <gtest/gtest.h>

#include <set>

#include "report/report_font.h"
#include "report/report_names.h"
#include "tests/report/report_fixture.h"

namespace {

TEST(ReportNames, TimeStampsAreZeroPadded) {
  EXPECT_EQ(FileTimeStamp(FixedReportTime()), "20160308_090507");
  EXPECT_EQ(HeaderTimeStamp(FixedReportTime()), "08.03.2016-09:05:07");
  std::tm late = FixedReportTime();
  late.tm_mon = 11;
  late.tm_mday = 31;
  late.tm_hour = 23;
  late.tm_min = 59;
  late.tm_sec = 59;
  EXPECT_EQ(FileTimeStamp(late), "20161231_235959");
  EXPECT_EQ(HeaderTimeStamp(late), "31.12.2016-23:59:59");
}

TEST(ReportNames, FoldersAndFileNamesByKind) {
  const struct {
    int kind;
    const char* folder;
    const char* name;
  } cases[] = {
      {0, "CALReports", "00057_VQX_20160308_090507.pdf"},
      {1, "Reports", "VQX_DEFAULT_20160308_090507.pdf"},
      {2, "Reports", "VQX_DEFAULT_20160308_090507.pdf"},
      {3, "VerifyReports", "00057_VQX_20160308_090507.pdf"},
      {4, "", "00057_VQX_20160308_090507.pdf"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReportFolderName(c.kind), c.folder) << c.kind;
    EXPECT_EQ(ReportFileName(c.kind, "00057", "DEFAULT", "20160308_090507"), c.name) << c.kind;
  }
}

TEST(ReportNames, FileNamePartReplacesWhatNoFileNameHolds) {
  const std::pair<std::string, std::string> cases[] = {
      {"DEFAULT", "DEFAULT"},     {"../x", ".._x"},       {"a/b", "a_b"},     {"", "DEFAULT"},
      {".", "DEFAULT"},           {"..", "DEFAULT"},      {"...", "..."},     {std::string("a\0b", 3), "a_b"},
      {"x\x7fy\r\n", "x_y__"},    {"<>:\"|?*\\", "________"}, {"Auftrag 4711", "Auftrag 4711"},
      {"\u30b8\u30e7\u30d6", "\u30b8\u30e7\u30d6"},  // UTF-8 passes unchanged
  };
  for (const auto& [id, part] : cases) EXPECT_EQ(JobIdFileNamePart(id), part) << id;
}

TEST(ReportFont, ChoiceByInstalledFontsAndLanguage) {
  const struct {
    std::set<std::string> installed;
    const char* language;
    const char* font;
    bool message;
  } cases[] = {
      {{"Arial Unicode MS", "Meiryo"}, "Japanese", "Arial Unicode MS", false},
      {{"Arial Unicode MS"}, "German", "Arial Unicode MS", false},
      {{"Meiryo"}, "JAPANESE", "Meiryo", false},
      {{"Meiryo"}, "English", "Arial", false},
      {{}, "japanese", "Arial", true},
      {{}, "German", "Arial", false},
  };
  for (const auto& c : cases) {
    const ReportFontChoice choice =
        SetRepFont(c.language, [&c](std::string_view family) { return c.installed.count(std::string(family)) > 0; });
    EXPECT_EQ(choice.JPFontName, c.font) << c.language;
    EXPECT_EQ(choice.message.empty(), !c.message) << c.language;
    if (c.message) {
      EXPECT_EQ(choice.message, "\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb\u3057\u3066\u304f\u3060\u3055\u3044 <Arial Unicode MS>!");
    }
  }
}

}  // namespace
