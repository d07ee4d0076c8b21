#include "platform/language.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text_decoding.h"
#include "tests/temp_folder.h"

namespace {

TEST(TextDecoding, HonoursMarksAndFallsBackToWindows1252) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {"utf8 with mark", "\xEF\xBB\xBF" "Gr\xC3\xB6\xC3\x9F" "e", "Gr\xC3\xB6\xC3\x9F" "e"},
      {"utf8 without mark", "Gr\xC3\xB6\xC3\x9F" "e", "Gr\xC3\xB6\xC3\x9F" "e"},
      {"cp1252", "Gr\xF6\xDF" "e \x80\x93", "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\xE2\x80\x9C"},
      {"cp1252 undefined byte", "\x81", "\xC2\x81"},
      {"utf16le", std::string("\xFF\xFE" "A\0\xE4\0\x2C\x67", 8), "A\xC3\xA4\xE6\x9C\xAC"},
      {"utf16be", std::string("\xFE\xFF\0A\xD8\x3D\xDE\x00", 8), "A\xF0\x9F\x98\x80"},
      {"utf16 lone surrogate and odd byte", std::string("\xFF\xFE\x00\xD8" "A", 5), "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"marked utf8 with broken bytes", "\xEF\xBB\xBF" "a\xFF" "b", "a\xEF\xBF\xBD" "b"},
      {"overlong is not utf8", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
      {"surrogate in utf8 is not utf8", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
  };
  for (const Case& c : cases) {
    std::string decoded = DecodeTextToUtf8(c.bytes);
    EXPECT_EQ(decoded, c.utf8) << c.name;
    EXPECT_TRUE(IsValidUtf8(decoded)) << c.name;
  }
}

TEST(TextDecoding, SplitsAtEveryKindOfLineBreak) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("a"), Lines{"a"});
  EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("\n\n x \n"), (Lines{"", "", " x "}));
  EXPECT_EQ(SplitLines("a\n\r\nb"), (Lines{"a", "", "b"}));
}

class LanguageTest : public testing::Test {
protected:
  void SetUp() override { std::filesystem::create_directory(folder_ / "Language"); }
  void WriteLanguage(const std::string& name, const std::string& bytes) {
    WriteBytes(folder_.Path() / "Language" / name, bytes);
  }
  TempFolder folder_;
  LanguageStore store_ = CreateLanguage();
};

const char* const kFile =
    "mainmenu\r\n"
    "&File\r\n"
    "MAINHINTS \r\n"
    "\r\n"
    "MESSAGES\r\n"
    "No camera#Connect it\r\n"
    "second";

TEST_F(LanguageTest, LooksUpSectionsAndLines) {
  WriteLanguage("English.txt", kFile);
  ASSERT_TRUE(store_.LoadLanguage(folder_.Path(), "English").ok);
  EXPECT_EQ(store_.Count(), 7);
  EXPECT_EQ(store_.IndexOf("MAINMENU"), 0);        // header found without regard to case
  EXPECT_EQ(store_.IndexOf("MAINHINTS"), -1);      // a trailing space makes another line
  EXPECT_EQ(store_.GetLanguageString(store_.IndexOf("MAINMENU") + 1), "&File");
  EXPECT_EQ(store_.GetLanguageString(3), "");
  EXPECT_EQ(store_.GetLanguageString(7), "7 not found");
  EXPECT_EQ(store_.GetLanguageString(15), "15 not found");
  EXPECT_EQ(store_.GetLanguageString(-1), "-1 not found");
  EXPECT_EQ(store_.GetMessageString(1), "No camera\nConnect it");
  EXPECT_EQ(store_.GetMessageString(2), "second");
  EXPECT_EQ(store_.GetMessageString(3), "3 not found");
}

TEST_F(LanguageTest, MessagesWithoutSection) {
  store_.LoadText("A\nB\n");
  EXPECT_EQ(store_.GetMessageString(1), "1 not found");
}

TEST_F(LanguageTest, FindsFolderAndFileWithoutRegardToCase) {
  WriteLanguage("GERMAN.TXT", "\xEF\xBB\xBF" "FRMSETTINGS\r\n\xC3\x9C" "ber\r\n");
  ASSERT_TRUE(store_.LoadLanguage(folder_.Path(), "German").ok);
  EXPECT_EQ(store_.GetLanguageString(1), "\xC3\x9C" "ber");
}

TEST_F(LanguageTest, MissingFileFailsWithTheMessageAndKeepsTheLines) {
  store_.LoadText("KEEP\n");
  FileStatus status = store_.LoadLanguage(folder_.Path(), "Klingon");
  EXPECT_FALSE(status.ok);
  EXPECT_EQ(status.message, "Language file " + (folder_.Path() / "LANGUAGE" / "Klingon.txt").string() + " not found!");
  EXPECT_EQ(store_.GetLanguageString(0), "KEEP");
}

TEST_F(LanguageTest, LoadingReplacesEverything) {
  store_.LoadText("one\ntwo\nthree\n");
  store_.LoadText("\xFE\xFF");
  EXPECT_EQ(store_.Count(), 0);
}

TEST_F(LanguageTest, BinaryGarbageGivesValidText) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
  store_.LoadText(garbage);
  for (int i = 0; i < store_.Count(); ++i) EXPECT_TRUE(IsValidUtf8(store_.GetLanguageString(i)));
}

// The shipped language files hold every section and offset the windows read.
class ShippedLanguageTest : public testing::TestWithParam<const char*> {};

TEST_P(ShippedLanguageTest, HasEverySectionAndEntry) {
  LanguageStore store;
  FileStatus status = store.LoadLanguage(std::filesystem::path(VQX_SOURCE_DIR) / "data", GetParam());
  ASSERT_TRUE(status.ok) << status.message;
  const std::pair<const char*, int> sections[] = {{"MAINMENU", 13},   {"MAINHINTS", 9}, {"MAINPANEL", 4},
                                                  {"FRMSETTINGS", 7}, {"VERIFYFRM", 3}, {"JOBVERDICT", 8},
                                                  {"MESSAGES", 2}};
  for (const auto& [section, entries] : sections) {
    int header = store.IndexOf(section);
    ASSERT_GE(header, 0) << section;
    for (int k = 1; k <= entries; ++k) {
      std::string text = store.GetLanguageString(header + k);
      EXPECT_FALSE(text.empty()) << section << " " << k;
      for (const auto& other : sections) EXPECT_NE(text, other.first) << section << " " << k;
    }
  }
  EXPECT_GT(store.IndexOf("FRMSETTINGS"), 0);  // the dialogs ignore a header on line 0
  EXPECT_GT(store.IndexOf("VERIFYFRM"), 0);
  EXPECT_NE(store.GetMessageString(1).find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguageTest, testing::Values("English", "German", "Japanese"));

TEST(ShippedLanguage, JapaneseCarriesAByteOrderMark) {
  std::string bytes = ReadBytes(std::filesystem::path(VQX_SOURCE_DIR) / "data/LANGUAGE/Japanese.txt");
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
}

}  // namespace
