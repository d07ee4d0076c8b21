#include "platform/file_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/temp_folder.h"

namespace {

TEST(Like, WildcardsTable) {
  struct Case {
    const char* text;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {
      {"english.txt", "*.txt", true},
      {"english.txt", "*.TXT", false},  // case-sensitive
      {"a", "?", true},
      {"", "?", false},
      {"", "*", true},
      {"abc", "a*", true},       // a trailing star matches whatever follows
      {"abc", "a*c", true},
      {"abcbc", "a*bc", true},   // resumes after a mismatch behind the star
      {"abcbd", "a*bc", false},
      {"57_veldraqx.ini", "*_veldraqx.ini", true},
      {"veldraqx.ini", "*_veldraqx.ini", false},
      {"x_veldraqx.ini.bak", "*_veldraqx.ini", false},
      {"ab", "a?b", false},
      {"axxb", "a**b", true},
  };
  for (const Case& c : cases) EXPECT_EQ(Like(c.text, c.pattern), c.match) << c.text << " ~ " << c.pattern;
}

class FindAllFilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    Touch("English.txt");
    Touch("German.TXT");
    Touch("notes.md");
    std::filesystem::create_directories(folder.Path() / "STATISTICS");
    Touch("STATISTICS/Hidden.txt");
    std::filesystem::create_directories(folder.Path() / "sub.txt");
    Touch("sub.txt/Inner.txt");
  }
  void Touch(const std::string& name) { std::ofstream(folder.Path() / name) << "x"; }
  static std::vector<std::string> Names(const std::vector<FoundEntry>& found) {
    std::vector<std::string> names;
    for (const FoundEntry& e : found) names.push_back(e.name + (e.folder ? "/" : ""));
    std::sort(names.begin(), names.end());
    return names;
  }
  TempFolder folder;
};

TEST_F(FindAllFilesTest, OptionsTable) {
  const std::string root = folder.Path().string();
  struct Case {
    const char* what;
    FindOptions options;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"mask case ignored, extension cut", {.DelExtension = true}, {"English", "German"}},
      {"bare names", {}, {"English.txt", "German.TXT"}},
      {"folders matching the mask", {.AddFolderNames = true}, {"English.txt", "German.TXT", "sub.txt/"}},
      {"recursion skips STATISTICS",
       {.Recurse = true},
       {"English.txt", "German.TXT", "Inner.txt"}},
      {"folders without the mask, with paths",
       {.AddFolderNames = true, .IgnoreMaskAtFolderNames = true, .AddPathName = true},
       {root + "/English.txt", root + "/German.TXT", root + "/sub.txt/"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Names(FindAllFiles(folder.Path(), "*.TXT", c.options)), c.expected) << c.what;
}

TEST_F(FindAllFilesTest, MissingFolderGivesNothing) {
  EXPECT_TRUE(FindAllFiles(folder.Path() / "absent", "*", {}).empty());
}

}  // namespace
