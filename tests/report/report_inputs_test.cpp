// The texts of a report record that come from the language files.
#include <gtest/gtest.h>

#include "platform/language.h"
#include "report/report_inputs.h"

namespace {

TEST(ReportInputs, LanguageTextsOfEveryShippedLanguage) {
  const struct {
    const char* language;
    const char* jobLabel;
    std::array<std::string, 3> materials;
    std::array<std::string, 3> headings;
  } cases[] = {
      {"English", "JOB ID:", {"Steel", "Steel Bevel", "Pertinax"}, {"Vertical", "Horizontal", "Diagonal"}},
      {"Japanese", "\u30b8\u30e7\u30d6ID:", {"\u30b9\u30c1\u30fc\u30eb", "\u30b9\u30c1\u30fc\u30eb\uff08\u9762\u53d6\u308a\uff09", "\u30da\u30eb\u30c1\u30ca\u30c3\u30af\u30b9"},
       {"\u7e26\u65b9\u5411", "\u6a2a\u65b9\u5411", "\u659c\u3081\u65b9\u5411"}},
  };
  for (const auto& c : cases) {
    LanguageStore store;
    ASSERT_TRUE(store.LoadLanguage(std::filesystem::path(VQX_SOURCE_DIR) / "data", c.language).ok) << c.language;
    ReportInputs inputs;
    ApplyLanguageTexts(store, inputs);
    EXPECT_EQ(inputs.jobIdLabel, c.jobLabel) << c.language;
    EXPECT_EQ(inputs.materialItems, c.materials) << c.language;
    EXPECT_EQ(inputs.snapshotHeadings, c.headings) << c.language;
  }
  LanguageStore german;
  ASSERT_TRUE(german.LoadLanguage(std::filesystem::path(VQX_SOURCE_DIR) / "data", "German").ok);
  ReportInputs inputs;
  ApplyLanguageTexts(german, inputs);
  for (const std::string& heading : inputs.snapshotHeadings) {
    EXPECT_EQ(heading.find("not found"), std::string::npos) << heading;
    EXPECT_FALSE(heading.empty());
  }
}

TEST(ReportInputs, MissingSectionsKeepTheTexts) {
  LanguageStore store;
  store.LoadText("MAINMENU\r\nFile\r\n");
  ReportInputs inputs;
  ApplyLanguageTexts(store, inputs);
  EXPECT_EQ(inputs.jobIdLabel, "JOB ID:");
  EXPECT_EQ(inputs.snapshotHeadings[2], "Diagonal");
}

}  // namespace
