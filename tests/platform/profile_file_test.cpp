#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>
#include <string>
#include <utility>

#include "tests/temp_folder.h"

namespace {

class ProfileFileTest : public testing::Test {
protected:
  std::filesystem::path Ini(const std::string& content) {
    WriteBytes(file_, content);
    return file_;
  }
  TempFolder folder_;
  std::filesystem::path file_ = folder_ / "TEST.INI";
};

const char* const kSample =
    "; comment line\r\n"
    "[Other]\r\n"
    "KEY=other\r\n"
    "  [ veldraqx ]  \r\n"  // the name is trimmed inside the brackets too
    "  Serial  =  12345  \r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Single='x'\r\n"
    "Mixed=\"abc'\r\n"
    "Lone=\"\r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    "Serial=second\r\n"
    "Long=abcdefghijklmnopqrstuvwxyz\r\n"
    "Eight=\xE4\xF6\xFC\xDF\r\n"
    "\r\n"
    "[VELDRAQX]\r\n"
    "Late=late\r\n";

TEST_F(ProfileFileTest, ReadsStringsAsTheWindowsFunctions) {
  auto file = Ini(kSample);
  struct Case {
    const char* section;
    const char* key;
    const char* fallback;
    std::size_t size;
    std::string expected;
  };
  const Case cases[] = {
      {"VELDRAQX", "SERIAL", "d", 255, "12345"},         // case-insensitive, blanks trimmed, first key wins
      {"veldraqx", "serial", "d", 255, "12345"},
      {" VELDRAQX ", " Serial ", "d", 255, "12345"},     // names trimmed
      {"VELDRAQX", "Quoted", "d", 255, "  spaced  "},    // one quote pair removed, inside kept
      {"VELDRAQX", "Single", "d", 255, "x"},
      {"VELDRAQX", "Mixed", "d", 255, "\"abc'"},         // quotes must match
      {"VELDRAQX", "Lone", "d", 255, "\""},
      {"VELDRAQX", "Empty", "d", 255, ""},               // present and empty: not the default
      {"VELDRAQX", "NoEquals", "dflt  ", 255, "dflt"},   // no key line; default loses trailing blanks
      {"VELDRAQX", "Late", "d", 255, "d"},               // only the first matching section counts
      {"VELDRAQX", "Long", "d", 15, "abcdefghijklmn"},   // at most size - 1 characters
      {"VELDRAQX", "Long", "d", 1, ""},
      {"VELDRAQX", "Long", "d", 0, ""},
      {"VELDRAQX", "Missing", "0123456789ABCDEF", 15, "0123456789ABCD"},
      {"VELDRAQX", "Eight", "d", 255, "\xE4\xF6\xFC\xDF"},  // 8-bit text byte for byte
      {"Other", "key", "d", 255, "other"},
      {"Absent", "KEY", "fallback", 255, "fallback"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadProfileString(c.section, c.key, c.fallback, c.size, file), c.expected)
        << c.section << "/" << c.key << " size " << c.size;
  }
}

TEST_F(ProfileFileTest, ReadsTheLeadingIntegerOrTheDefault) {
  auto file = Ini(
      "[S]\nPlain=42\nSigned=-17\nPlus=+8\nTrailing=12abc\nWord=abc\nEmpty=\nSpaced=  7  \n"
      "Quoted=\"5\"\nReal=2.75\nWrap=4294967297\nBlankSign=- 3\n");
  struct Case {
    const char* key;
    int expected;
  };
  const Case cases[] = {{"Plain", 42}, {"Signed", -17}, {"Plus", 8},     {"Trailing", 12}, {"Word", 0},
                        {"Empty", 99}, {"Spaced", 7},   {"Quoted", 5},   {"Real", 2},      {"Wrap", 1},
                        {"BlankSign", 0}, {"Missing", 99}};
  for (const Case& c : cases) EXPECT_EQ(ReadProfileInt("S", c.key, 99, file), c.expected) << c.key;
  EXPECT_EQ(ReadProfileInt("S", "Plain", 99, folder_ / "NONE.INI"), 99);
}

TEST_F(ProfileFileTest, ReadsLfAndCrLfAlike) {
  for (const char* text : {"[A]\nX=1\n[B]\nX=2\n", "[A]\r\nX=1\r\n[B]\r\nX=2\r\n", "[A]\r\nX=1\n[B]\r\nX=2"}) {
    auto file = Ini(text);
    EXPECT_EQ(ReadProfileString("B", "X", "", 10, file), "2");
    EXPECT_EQ(ReadProfileInt("A", "X", 0, file), 1);
  }
}

// Texts written by other systems and editors, and what a read finds in them.
TEST(ProfileText, ReadsWhatOtherEditorsWrite) {
  struct Case {
    const char* name;
    std::string text;
    std::optional<std::string> value;  // of VELDRAQXCAL/TOP
  };
  const Case cases[] = {
      {"blanks inside the brackets", "[ VELDRAQXCAL ]\r\nTOP=310\r\n", "310"},
      {"tab inside the brackets", "[\tVELDRAQXCAL\t]\nTOP=311\n", "311"},
      {"blanks around and inside", "  [  veldraqxcal  ]  \nTOP=312\n", "312"},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[VELDRAQXCAL]\r\nTOP=313\r\n", "313"},
      {"mark and a lone CR", "\xEF\xBB\xBF[VELDRAQXCAL]\rTOP=314\r", "314"},
      {"lone CR line ends", "[X]\rTOP=1\r[VELDRAQXCAL]\rA=0\rTOP=315\r", "315"},
      {"mixed line ends", "[X]\nTOP=1\r\n[VELDRAQXCAL]\rTOP=316\n", "316"},
      {"a mark inside the file is no mark", "[X]\n\xEF\xBB\xBF[VELDRAQXCAL]\nTOP=317\n", std::nullopt},
      {"inner blanks stay", "[VELDRAQX CAL]\nTOP=318\n", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(FindProfileValue(c.text, "VELDRAQXCAL", "TOP"), c.value) << c.name;
}

// A write into such a text finds the section that is there instead of adding
// a second one, and keeps the mark and the line ends.
TEST(ProfileText, ListsTheSectionsAsReadingFindsThem) {
  EXPECT_EQ(ProfileSectionNames("\xEF\xBB\xBF[ A ]\r\nk=1\r\n[JOB 12]\rx\n[a]\n  [B]\n[unclosed\n"),
            (std::vector<std::string>{"A", "JOB 12", "B"}));
  EXPECT_TRUE(ProfileSectionNames("").empty());
}

TEST(ProfileText, WritesIntoWhatOtherEditorsWrite) {
  const std::pair<std::string, std::string> cases[] = {
      {"[ VELDRAQXCAL ]\r\nTOP=310\r\n", "[ VELDRAQXCAL ]\r\nTOP=5\r\n"},
      {"\xEF\xBB\xBF[VELDRAQXCAL]\rTOP=1\r", "\xEF\xBB\xBF[VELDRAQXCAL]\rTOP=5\r"},
      {"\xEF\xBB\xBF[VELDRAQXCAL]\rA=1\r", "\xEF\xBB\xBF[VELDRAQXCAL]\rA=1\rTOP=5\r\n"},
      {"[X]\rA=1\r", "[X]\rA=1\r[VELDRAQXCAL]\r\nTOP=5\r\n"},
      {"\xEF\xBB\xBF", "\xEF\xBB\xBF[VELDRAQXCAL]\r\nTOP=5\r\n"},
  };
  for (const auto& [before, after] : cases) EXPECT_EQ(SetProfileValue(before, "VELDRAQXCAL", "TOP", "5"), after) << before;
}

TEST_F(ProfileFileTest, SeveralKeysReplaceTheFileOnce) {
  auto file = Ini("[A]\r\nK=1\r\n");
  const ProfileEntry entries[] = {{"A", "K", "2"}, {"B", "L", "3"}, {"A", "M", "4"}};
  ASSERT_TRUE(WriteProfileStrings(entries, file).ok);
  EXPECT_EQ(ReadBytes(file), "[A]\r\nK=2\r\nM=4\r\n[B]\r\nL=3\r\n");

  // One entry that cannot be stored fails the call and changes nothing.
  const std::string before = ReadBytes(file);
  const ProfileEntry bad[] = {{"A", "K", "9"}, {"A", "X", "two\nlines"}, {"A", "M", "9"}};
  FileStatus status = WriteProfileStrings(bad, file);
  EXPECT_FALSE(status.ok);
  EXPECT_NE(status.message.find("\"X\""), std::string::npos) << status.message;
  EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(ProfileFileTest, EveryReadGoesToTheFile) {
  auto file = Ini("[S]\nK=1\n");
  EXPECT_EQ(ReadProfileInt("S", "K", 0, file), 1);
  Ini("[S]\nK=2\n");
  EXPECT_EQ(ReadProfileInt("S", "K", 0, file), 2);
}

struct WriteCase {
  const char* name;
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

class ProfileWriteTest : public ProfileFileTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyTheKeyLine) {
  const WriteCase& c = GetParam();
  auto file = Ini(c.before);
  ASSERT_TRUE(WriteProfileString(c.section, c.key, c.value, file));
  EXPECT_EQ(ReadBytes(file), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWriteTest,
    testing::Values(
        WriteCase{"ReplaceKeepsKeySpellingAndOtherLines", "; c\r\n[S]\r\n  Key = old \r\nB=2\n", "s", "KEY", "new",
                  "; c\r\n[S]\r\nKey=new\r\nB=2\n"},
        WriteCase{"ReplaceKeepsLfEnding", "[S]\nK=1\nL=2\n", "S", "K", "9", "[S]\nK=9\nL=2\n"},
        WriteCase{"AddAfterLastLineOfSection", "[S]\r\nA=1\r\n\r\n[T]\r\nB=2\r\n", "S", "C", "3",
                  "[S]\r\nA=1\r\nC=3\r\n\r\n[T]\r\nB=2\r\n"},
        WriteCase{"AddToEmptySection", "[S]\r\n[T]\r\n", "S", "C", "3", "[S]\r\nC=3\r\n[T]\r\n"},
        WriteCase{"AddWhenLastLineHasNoBreak", "[S]\r\nA=1", "S", "C", "3", "[S]\r\nA=1\r\nC=3"},
        WriteCase{"AddSectionAtEnd", "[S]\r\nA=1\r\n", "NEW", "K", "v", "[S]\r\nA=1\r\n[NEW]\r\nK=v\r\n"},
        WriteCase{"AddSectionAfterUnterminatedLine", "[S]\nA=1", "NEW", "K", "v", "[S]\nA=1\r\n[NEW]\r\nK=v\r\n"},
        WriteCase{"OnlyFirstMatchingSection", "[S]\r\nA=1\r\n[S]\r\nK=old\r\n", "S", "K", "new",
                  "[S]\r\nA=1\r\nK=new\r\n[S]\r\nK=old\r\n"},
        WriteCase{"ValueWrittenAsGiven", "", "VELDRAQXCAL", "ZFaktor", " 9.75000000000000E-0001",
                  "[VELDRAQXCAL]\r\nZFaktor= 9.75000000000000E-0001\r\n"},
        WriteCase{"EightBitPassesThrough", "[S]\r\nA=\xE4\r\n", "S", "B", "\xFC\xDF",
                  "[S]\r\nA=\xE4\r\nB=\xFC\xDF\r\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

TEST_F(ProfileFileTest, WriteCreatesTheFile) {
  ASSERT_TRUE(WriteProfileString("VELDRAQX", "DIGITS", "3", file_));
  EXPECT_EQ(ReadBytes(file_), "[VELDRAQX]\r\nDIGITS=3\r\n");
  EXPECT_EQ(ReadProfileInt("VELDRAQX", "DIGITS", 0, file_), 3);
}

TEST_F(ProfileFileTest, WriteRefusesWhatCannotBeStored) {
  std::string before = "[S]\r\nA=1\r\n";
  auto file = Ini(before);
  EXPECT_FALSE(WriteProfileString("S", "A", "two\r\nlines", file));
  EXPECT_FALSE(WriteProfileString("S", "A=B", "1", file));
  EXPECT_FALSE(WriteProfileString("S", "", "1", file));
  EXPECT_FALSE(WriteProfileString("S", "[X", "1", file));
  EXPECT_FALSE(WriteProfileString("S]", "A", "1", file));
  EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(ProfileFileTest, WriteIntoMissingFolderOrOverAFolderFails) {
  EXPECT_FALSE(WriteProfileString("S", "A", "1", folder_ / "no/such/folder.ini"));
  std::filesystem::create_directory(folder_ / "DIR.INI");
  EXPECT_FALSE(WriteProfileString("S", "A", "1", folder_ / "DIR.INI"));
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "DIR.INI"));
}

TEST_F(ProfileFileTest, WriteKeepsPermissionsAndLeavesNoTemporaryFile) {
  auto file = Ini("[S]\r\nA=1\r\n");
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(WriteProfileString("S", "A", "2", file));
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}), 1);
}

TEST_F(ProfileFileTest, EmptyAndLargeFiles) {
  auto file = Ini("");
  EXPECT_EQ(ReadProfileString("S", "K", "d", 10, file), "d");
  ASSERT_TRUE(WriteProfileString("S", "K", "v", file));
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=v\r\n");

  std::string large;
  for (int i = 0; i < 100000; ++i) large += "[S" + std::to_string(i) + "]\r\nKEY=" + std::to_string(i) + "\r\n";
  Ini(large);
  EXPECT_EQ(ReadProfileInt("S99999", "KEY", -1, file), 99999);
  ASSERT_TRUE(WriteProfileString("S5", "KEY", "x", file));
  std::string expected = large;
  expected.replace(expected.find("[S5]\r\nKEY=5\r\n"), 13, "[S5]\r\nKEY=x\r\n");
  EXPECT_EQ(ReadBytes(file), expected);
}

TEST(ProfileText, FindsOnlyKeyLinesOfTheSection) {
  EXPECT_EQ(FindProfileValue("[A]\nK=1\n", "A", "K"), "1");
  EXPECT_EQ(FindProfileValue("K=0\n[A]\nK=1\n", "A", "K"), "1");  // lines before any section belong to none
  EXPECT_EQ(FindProfileValue("K=0\n", "", "K"), std::nullopt);
  EXPECT_EQ(FindProfileValue("[A] trailing\nK=1\n", "A", "K"), "1");
  EXPECT_EQ(FindProfileValue("[A]\n=1\n", "A", ""), std::nullopt);
  EXPECT_EQ(FindProfileValue("[A]\nK = a = b\n", "A", "K"), "a = b");  // first "=" separates
}

}  // namespace
