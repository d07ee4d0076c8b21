#include "measure/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/profile_file.h"
#include "tests/temp_folder.h"

namespace {

class SettingsFileTest : public testing::Test {
protected:
  TempFolder folder_;
  std::filesystem::path file_ = folder_ / "VELDRAQX.INI";
};

TEST_F(SettingsFileTest, MissingKeysGiveTheDefaults) {
  ProgramSettings s = LoadSettings(file_);
  EXPECT_EQ(s.Serial, "0000");
  EXPECT_EQ(s.Language, "English");
  EXPECT_EQ(s.Digits, 3);
  EXPECT_EQ(s.UnitsMm, 254);
  EXPECT_FALSE(s.ShowOpen || s.ShowRadius || s.ShowAlpha || s.InvImg || s.ShowLevel);
  EXPECT_EQ(s.Level, 0);
  EXPECT_EQ(s.Fiber, 0);
  EXPECT_EQ(s.Material, 0);
  EXPECT_EQ(s.ShowMoreInfo, 0);
  EXPECT_EQ(s.PdfCompression, 0);
}

TEST_F(SettingsFileTest, ReadsEveryKey) {
  WriteBytes(file_,
             "[VELDRAQX]\r\nSERIAL=123456789012345678\r\nLanguage=AVeryLongLanguageName\r\nDIGITS=2\r\n"
             "UNITS_mm=10\r\nSHOWOPEN=1\r\nSHOWRADIUS=0\r\nSHOWALPHA=7\r\nINVIMG=1\r\nSHOWLEVEL=1\r\n"
             "LEVEL= 2.50000000000000E+0001\r\nFIBER=1.5\r\nMATERIAL=2\r\nSHOWMOREINFO=417\r\nPDFCOMPRESSION=1\r\n");
  ProgramSettings s = LoadSettings(file_);
  EXPECT_EQ(s.Serial, "12345678901234");     // 14 characters
  EXPECT_EQ(s.Language, "AVeryLongLangu");
  EXPECT_EQ(s.Digits, 2);
  EXPECT_EQ(s.UnitsMm, 10);
  EXPECT_TRUE(s.ShowOpen);
  EXPECT_FALSE(s.ShowRadius);
  EXPECT_TRUE(s.ShowAlpha);
  EXPECT_TRUE(s.InvImg);
  EXPECT_TRUE(s.ShowLevel);
  EXPECT_EQ(s.Level, 25);
  EXPECT_EQ(s.Fiber, 1.5);
  EXPECT_EQ(s.Material, 2);
  EXPECT_EQ(s.ShowMoreInfo, kShowMoreInfoCode);
  EXPECT_EQ(s.PdfCompression, 1);
}

// A unit of 0 or below makes every length infinite or negative: refused and
// named, the unit stays mm. Any positive unit is kept as the file says.
TEST_F(SettingsFileTest, UnitThatIsNoneIsRefused) {
  const struct {
    const char* value;
    int unitsMm;
    bool ok;
  } cases[] = {{"-1", 254, false}, {"0", 254, false}, {"abc", 254, false}, {"300", 300, true}, {"1", 1, true}};
  for (const auto& c : cases) {
    WriteBytes(file_, std::string("[VELDRAQX]\r\nUNITS_mm=") + c.value + "\r\n");
    const ProgramSettings s = LoadSettings(file_);
    EXPECT_EQ(s.UnitsMm, c.unitsMm) << c.value;
    EXPECT_EQ(s.status.ok, c.ok) << c.value;
    if (!c.ok) EXPECT_NE(s.status.message.find("key UNITS_mm of section [VELDRAQX]"), std::string::npos) << s.status.message;
  }
}

TEST_F(SettingsFileTest, NonNumericLevelReadsZero) {
  WriteBytes(file_, "[VELDRAQX]\r\nLEVEL=0,05\r\nFIBER=abc\r\n");
  ProgramSettings s = LoadSettings(file_);
  EXPECT_EQ(s.Level, 0);
  EXPECT_EQ(s.Fiber, 0);
}

TEST_F(SettingsFileTest, SaveWritesTheDialogKeysInOrder) {
  WriteBytes(file_, "[VELDRAQX]\r\nSERIAL=00042\r\nMATERIAL=1\r\n[VELDRAQXCAL]\r\nTOP=300\r\n");
  ProgramSettings s;
  s.Digits = 7;       // written as 3
  s.UnitsMm = 10000;
  s.Language = "German";
  s.ShowRadius = true;
  s.InvImg = true;
  s.Level = 25;
  s.Fiber = -0.5;
  s.Material = 2;     // never written
  ASSERT_TRUE(SaveSettings(s, file_));
  EXPECT_EQ(ReadBytes(file_),
            "[VELDRAQX]\r\nSERIAL=00042\r\nMATERIAL=1\r\nDIGITS=3\r\nUNITS_mm=10000\r\nLanguage=German\r\n"
            "SHOWOPEN=0\r\nSHOWRADIUS=1\r\nSHOWALPHA=0\r\nINVIMG=1\r\nSHOWLEVEL=0\r\n"
            "LEVEL= 2.50000000000000E+0001\r\nFIBER=-5.00000000000000E-0001\r\n[VELDRAQXCAL]\r\nTOP=300\r\n");
}

TEST_F(SettingsFileTest, UnitsAreWrittenAsOneOfThree) {
  const std::pair<int, int> cases[] = {{254, 254}, {10, 10}, {10000, 10000}, {300, 254}};
  for (auto [given, written] : cases) {
    ProgramSettings s;
    s.UnitsMm = given;
    ASSERT_TRUE(SaveSettings(s, file_));
    EXPECT_EQ(LoadSettings(file_).UnitsMm, written) << given;
  }
}

TEST_F(SettingsFileTest, HandEditedDigitsAreLimited) {
  const std::pair<const char*, int> cases[] = {{"-3", 0}, {"0", 0}, {"4", 4}, {"9", 4}, {"2147483647", 4}};
  for (auto [text, digits] : cases) {
    WriteBytes(file_, std::string("[VELDRAQX]\r\nDIGITS=") + text + "\r\n");
    EXPECT_EQ(LoadSettings(file_).Digits, digits) << text;
  }
}

TEST_F(SettingsFileTest, FailedSaveLeavesTheOldFile) {
  const std::string old = "[VELDRAQX]\r\nDIGITS=2\r\n";
  WriteBytes(file_, old);
  ::chmod(file_.c_str(), 0444);
  EXPECT_FALSE(SaveSettings(ProgramSettings{}, file_));
  EXPECT_EQ(ReadBytes(file_), old);
}

TEST(ApplySettings, UnitsAndDigits) {
  struct Case {
    int unitsMm;
    int digits;
    double units;
    int shownDigits;
  };
  const Case cases[] = {{254, 3, 25.4, 3}, {10, 3, 1, 4}, {10000, 3, 1000, 2}, {300, 2, 30, 2},
                        {10, 4, 1, 4},  {10000, 0, 1000, 0}};  // shown digits stay within 0..4
  for (const Case& c : cases) {
    ProgramSettings s;
    s.UnitsMm = c.unitsMm;
    s.Digits = c.digits;
    s.Level = 4;
    s.Fiber = 2;
    MeasureState state;
    ApplySettings(s, state);
    EXPECT_DOUBLE_EQ(state.Units, c.units) << c.unitsMm;
    EXPECT_EQ(state.Digits, c.shownDigits) << c.unitsMm;
    EXPECT_EQ(state.Level, 4);
    EXPECT_EQ(state.Fiber, 2);
  }
}

}  // namespace
