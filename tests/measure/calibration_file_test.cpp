#include "measure/calibration_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/atomic_file.h"
#include "platform/profile_file.h"
#include "tests/temp_folder.h"

namespace {

class CalibrationFileTest : public testing::Test {
protected:
  std::filesystem::path Cal(const std::string& keys, const std::string& serial = "") {
    std::string text = "[VELDRAQXCAL]\r\n" + keys;
    if (!serial.empty()) text += "[VELDRAQX]\r\nSERIAL=" + serial + "\r\n";
    WriteBytes(file_, text);
    return file_;
  }
  TempFolder folder_;
  std::filesystem::path file_ = folder_ / "VELDRAQX.INI";
  MeasureState state_;
};

TEST_F(CalibrationFileTest, MissingFileGivesAnUncalibratedGauge) {
  state_.ImgCalibration.m = 2.5L;
  state_.ImgCalibration.ZSlope = 1.25;
  state_.ImgCalibration.LUTX[3] = 7;
  LoadCal(state_, folder_ / "NONE.INI");
  const TImgCalibration& c = state_.ImgCalibration;
  EXPECT_EQ(c.CalVer, 0);
  EXPECT_EQ(c.top, 300);
  EXPECT_EQ(c.Shutter, 4);
  EXPECT_EQ(c.Gain, 80);
  EXPECT_FALSE(c.Mirror);
  EXPECT_FALSE(c.Flip);
  EXPECT_EQ(c.PixelPerInch, 3600);
  EXPECT_EQ(c.angle, 0);
  EXPECT_EQ(c.ZFaktor, 1);
  EXPECT_EQ(c.RFaktor, 1);
  EXPECT_EQ(c.WFaktor, 0.975);
  EXPECT_EQ(c.PWFaktor, 0.975);
  EXPECT_EQ(c.WVFaktor, 0.9388);
  EXPECT_EQ(c.DFaktor, 0.954);
  EXPECT_EQ(c.DVFaktor, 0.9326);
  EXPECT_EQ(c.Trapez, -0.3);
  EXPECT_EQ(c.LUTX, (std::array<double, 6>{}));
  EXPECT_EQ(c.LUTY, (std::array<double, 6>{}));
  EXPECT_EQ(c.m, 2.5L);  // not part of the file
  EXPECT_EQ(c.ZSlope, 1.25);
  EXPECT_EQ(state_.SNEditText, "00000");
}

TEST_F(CalibrationFileTest, ReadsIntegersFlagsAndAngle) {
  LoadCal(state_, Cal("CALVER=0\r\nTOP=280\r\nSHUTTER=6\r\nGAIN=120\r\nMIRROR=5\r\nFLIP=-1\r\n"
                      "PixelPerInch=3712\r\nANGLE=150\r\n",
                      "742"));
  const TImgCalibration& c = state_.ImgCalibration;
  EXPECT_EQ(c.top, 280);
  EXPECT_EQ(c.Shutter, 6);
  EXPECT_EQ(c.Gain, 120);
  EXPECT_TRUE(c.Mirror);
  EXPECT_TRUE(c.Flip);
  EXPECT_EQ(c.PixelPerInch, 3712);
  EXPECT_EQ(c.angle, 1.5);
  EXPECT_EQ(state_.SNEditText, "00742");
}

TEST_F(CalibrationFileTest, CorrectionFactorRanges) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {{"1.2", 1},  {"1.1", 1.1}, {"0.9", 0.9}, {"0.899", 1}, {"0.95", 0.95},
                        {" 9.75000000000000E-0001", 0.975}, {"0,95", 1}, {"abc", 1}};
  for (const Case& c : cases) {
    LoadCal(state_, Cal(std::string("WFaktor=") + c.text + "\r\nDVFaktor=" + c.text + "\r\n"));
    EXPECT_EQ(state_.ImgCalibration.WFaktor, c.expected) << c.text;
    EXPECT_EQ(state_.ImgCalibration.DVFaktor, c.expected) << c.text;
  }
}

TEST_F(CalibrationFileTest, CalVerOneSetsAllCorrectionFactorsToOne) {
  LoadCal(state_, Cal("CALVER=1\r\nWFaktor=0.95\r\nPWFaktor=0.95\r\nWVFaktor=0.95\r\nDFaktor=0.95\r\nDVFaktor=0.95\r\n"));
  const TImgCalibration& c = state_.ImgCalibration;
  for (double f : {c.WFaktor, c.PWFaktor, c.WVFaktor, c.DFaktor, c.DVFaktor}) EXPECT_EQ(f, 1);
}

TEST_F(CalibrationFileTest, ZFaktorTrapezAndTable) {
  ASSERT_TRUE(LoadCal(state_, Cal("ZFaktor=1.02\r\nRFaktor=1.05\r\nTrapez=0\r\nLUTX0=0.10000\r\nLUTY5=-2.5E-0001\r\n"
                                  "LUTX6=9999\r\n")).ok);
  EXPECT_EQ(state_.ImgCalibration.ZFaktor, 1.02);
  EXPECT_EQ(state_.ImgCalibration.RFaktor, 1.05);
  EXPECT_EQ(state_.ImgCalibration.Trapez, -0.3);
  EXPECT_EQ(state_.ImgCalibration.LUTX[0], 0.1);
  EXPECT_EQ(state_.ImgCalibration.LUTY[5], -0.25);
  ASSERT_TRUE(LoadCal(state_, Cal("Trapez=-0.25\r\n")).ok);
  EXPECT_EQ(state_.ImgCalibration.ZFaktor, 1);
  EXPECT_EQ(state_.ImgCalibration.Trapez, -0.25);
}

TEST_F(CalibrationFileTest, TableEntriesAreReadUpTo29Characters) {
  // The exponent lies beyond character 29: the entry reads 1, not 1000.
  ASSERT_TRUE(LoadCal(state_, Cal("LUTX1=1.0000000000000000000000000005E3\r\nZFaktor=1.0000000000000000000000000005E0\r\n")).ok);
  EXPECT_EQ(state_.ImgCalibration.LUTX[1], 1);
  EXPECT_EQ(state_.ImgCalibration.ZFaktor, 1);
}

// A value no gauge can have refuses the file: the last good calibration stays
// and the message names the file, the key and the range.
TEST_F(CalibrationFileTest, ImplausibleValuesAreRefusedAndTheLastCalibrationKept) {
  struct Case {
    const char* keys;
    const char* key;  // named in the message, or nullptr when the file is accepted
  };
  const Case cases[] = {
      {"PixelPerInch=1\r\n", "PixelPerInch"},
      {"PixelPerInch=35\r\n", "PixelPerInch"},  // a file cut in the middle of 3583
      {"PixelPerInch=1e308\r\n", "PixelPerInch"},
      {"PixelPerInch=3583\r\n", nullptr},
      {"ZFaktor=5\r\n", "ZFaktor"},
      {"ZFaktor=1e308\r\n", "ZFaktor"},
      {"ZFaktor=nan\r\n", "ZFaktor"},
      {"ZFaktor=inf\r\n", "ZFaktor"},
      {"ZFaktor=0\r\n", "ZFaktor"},
      {"ZFaktor=-1\r\n", "ZFaktor"},
      {"ZFaktor=1.046\r\n", nullptr},
      {"LUTY1=1e308\r\n", "LUTY1"},
      {"LUTX2=-3\r\n", "LUTX2"},
      {"TOP=1024\r\n", "TOP"},
      {"TOP=1023\r\n", nullptr},
      {"SHUTTER=19\r\n", "SHUTTER"},
      {"ANGLE=-1001\r\n", "ANGLE"},
      {"Trapez=3\r\n", "Trapez"},
      {"WFaktor=1.5\r\n", nullptr},  // outside [0.9, 1.1]: taken as 1, as ever
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    MeasureState state;
    ASSERT_TRUE(LoadCal(state, Cal("PixelPerInch=3500\r\nZFaktor=1.1\r\n", "42")).ok);
    const FileStatus loaded = LoadCal(state, Cal(c.keys, "77"));
    if (!c.key) {
      EXPECT_TRUE(loaded.ok) << loaded.message;
      continue;
    }
    EXPECT_FALSE(loaded.ok);
    EXPECT_NE(loaded.message.find(file_.string()), std::string::npos) << loaded.message;
    EXPECT_NE(loaded.message.find(std::string("key ") + c.key + " of section [VELDRAQXCAL]"), std::string::npos)
        << loaded.message;
    EXPECT_NE(loaded.message.find(" .. "), std::string::npos) << loaded.message;
    EXPECT_EQ(state.ImgCalibration.PixelPerInch, 3500);
    EXPECT_EQ(state.ImgCalibration.ZFaktor, 1.1);
    EXPECT_EQ(state.SNEditText, "00042");
  }
}

// A file that is no 8-bit text or too large reads as no key at all: it is
// refused, never taken as the defaults of an uncalibrated gauge.
TEST_F(CalibrationFileTest, FilesThatAreNoSettingsTextAreRefused) {
  const struct {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"UTF-16", std::string("\xFF\xFE[\0V\0]\0", 8), "is UTF-16 text"},
      {"NUL bytes", std::string("[VELDRAQXCAL]\r\nZFaktor=1\0\r\n", 27), "holds a NUL byte at offset 24"},
      {"too large", "[VELDRAQXCAL]\r\n" + std::string(17u << 20, ';'), "it is larger than"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MeasureState state;
    ASSERT_TRUE(LoadCal(state, Cal("PixelPerInch=3500\r\nZFaktor=1.1\r\n", "42")).ok);
    WriteBytes(file_, c.bytes);
    const FileStatus loaded = LoadCal(state, file_);
    EXPECT_FALSE(loaded.ok);
    EXPECT_NE(loaded.message.find(c.message), std::string::npos) << loaded.message;
    EXPECT_NE(loaded.message.find("the calibration was not loaded"), std::string::npos) << loaded.message;
    EXPECT_EQ(state.ImgCalibration.PixelPerInch, 3500);
    EXPECT_FALSE(LoadLUT(state, file_).ok);
    // Nothing is written into such a file either.
    EXPECT_FALSE(WriteProfileStrings(CalEntries(state), file_).ok);
    EXPECT_EQ(ReadBytes(file_), c.bytes);
  }
}

TEST_F(CalibrationFileTest, SaveWritesTheFixedFormsInOrder) {
  TImgCalibration& c = state_.ImgCalibration;
  c.CalVer = 0;
  c.top = 301;
  c.Shutter = 5;
  c.Gain = 90;
  c.Mirror = true;
  c.Flip = false;
  c.PixelPerInch = 3600.5;  // halves to even
  c.angle = 1.5;
  c.ZFaktor = 1.25;
  c.DFaktor = 0.954;
  c.WFaktor = 0.975;
  c.PWFaktor = 1;
  c.DVFaktor = 0.9326;
  c.WVFaktor = -25;
  ASSERT_TRUE(SaveCal(state_, file_));
  EXPECT_EQ(ReadBytes(file_),
            "[VELDRAQXCAL]\r\nCALVER=0\r\nTOP=301\r\nSHUTTER=5\r\nGAIN=90\r\nMIRROR=1\r\nFLIP=0\r\n"
            "PixelPerInch=3600\r\nANGLE=150\r\n"
            "ZFaktor= 1.25000000000000E+0000\r\nDFaktor= 9.54000000000000E-0001\r\n"
            "WFaktor= 9.75000000000000E-0001\r\nPWFaktor= 1.00000000000000E+0000\r\n"
            "DVFaktor= 9.32600000000000E-0001\r\nWVFaktor=-2.50000000000000E+0001\r\n");
}

TEST_F(CalibrationFileTest, SaveThenLoadGivesTheSavedFields) {
  Cal("; keep me\r\nRFaktor=1.02\r\nTrapez=-0.2\r\nLUTX2=0.30000\r\n", "123456");
  std::string before = ReadBytes(file_);
  TImgCalibration& c = state_.ImgCalibration;
  c = TImgCalibration{};
  c.top = 250;
  c.Shutter = 3;
  c.Gain = 70;
  c.Flip = true;
  c.PixelPerInch = 3655;
  c.angle = -0.37;
  c.ZFaktor = 1.0123456789012345;
  c.DFaktor = 0.96;
  c.WFaktor = 1.1;
  c.PWFaktor = 0.9;
  c.DVFaktor = 0.93;
  c.WVFaktor = 0.94;
  TImgCalibration saved = c;
  ASSERT_TRUE(SaveCal(state_, file_));
  std::string after = ReadBytes(file_);
  // The comment, the other keys and the other section stay byte for byte; new keys follow the section's last line.
  std::string serialSection = "[VELDRAQX]\r\nSERIAL=123456\r\n";
  std::string calSection = before.substr(0, before.find(serialSection));
  EXPECT_EQ(after.substr(0, calSection.size()), calSection);
  EXPECT_EQ(after.substr(after.size() - serialSection.size()), serialSection);
  MeasureState loaded;
  LoadCal(loaded, file_);
  const TImgCalibration& l = loaded.ImgCalibration;
  EXPECT_EQ(l.top, saved.top);
  EXPECT_EQ(l.Shutter, saved.Shutter);
  EXPECT_EQ(l.Gain, saved.Gain);
  EXPECT_EQ(l.Mirror, saved.Mirror);
  EXPECT_EQ(l.Flip, saved.Flip);
  EXPECT_EQ(l.PixelPerInch, saved.PixelPerInch);
  EXPECT_EQ(l.angle, saved.angle);
  EXPECT_NEAR(l.ZFaktor, saved.ZFaktor, 1e-14);
  for (auto [read, written] : {std::pair{l.DFaktor, saved.DFaktor}, {l.WFaktor, saved.WFaktor},
                               {l.PWFaktor, saved.PWFaktor}, {l.DVFaktor, saved.DVFaktor}, {l.WVFaktor, saved.WVFaktor}}) {
    EXPECT_DOUBLE_EQ(read, written);
  }
  EXPECT_EQ(l.RFaktor, 1.02);  // not written, read from the file as it was
  EXPECT_EQ(l.Trapez, -0.2);
  EXPECT_EQ(l.LUTX[2], 0.3);
  EXPECT_EQ(loaded.SNEditText, "123456");
}

TEST_F(CalibrationFileTest, SaveReportsFailure) {
  EXPECT_FALSE(SaveCal(state_, folder_ / "missing/folder.ini"));
}

// A save that cannot complete leaves the old file byte for byte: never some
// keys new and others old.
TEST_F(CalibrationFileTest, FailedSaveLeavesTheOldFile) {
  state_.ImgCalibration.PixelPerInch = 3600;
  state_.ImgCalibration.top = 123;
  state_.ImgCalibration.ZFaktor = 1.05;
  const std::string old = "[ VELDRAQXCAL ]\r\nTOP=300\r\nZFaktor=1\r\n[VELDRAQX]\r\nSERIAL=42\r\n";

  WriteBytes(file_, old);
  ::chmod(file_.c_str(), 0444);  // write-protected: refused even where the rename would be allowed
  EXPECT_FALSE(SaveCal(state_, file_));
  EXPECT_EQ(ReadBytes(file_), old);
  ::chmod(file_.c_str(), 0644);

  // Beyond the size a settings file may have: not read, so not rewritten.
  const std::string large = old + ";" + std::string(kMaxTextFileBytes, 'x') + "\r\n";
  WriteBytes(file_, large);
  EXPECT_FALSE(SaveCal(state_, file_));
  EXPECT_EQ(ReadBytes(file_), large);

  // The section with blanks in its brackets is the calibration section: a
  // save replaces its keys instead of appending a second section.
  WriteBytes(file_, old);
  ASSERT_TRUE(SaveCal(state_, file_));
  const std::string saved = ReadBytes(file_);
  EXPECT_EQ(saved.find("VELDRAQXCAL]", saved.find("VELDRAQXCAL]") + 1), std::string::npos) << saved;
  MeasureState loaded;
  ASSERT_TRUE(LoadCal(loaded, file_).ok);
  EXPECT_EQ(loaded.ImgCalibration.top, 123);
  EXPECT_DOUBLE_EQ(loaded.ImgCalibration.ZFaktor, 1.05);
  EXPECT_EQ(loaded.SNEditText, "00042");
}

TEST(IniReal, FormatsAndParsesTheFixedForm) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {{0.975, " 9.75000000000000E-0001"}, {-25, "-2.50000000000000E+0001"},
                        {25, " 2.50000000000000E+0001"},    {0, " 0.00000000000000E+0000"},
                        {1e-300, " 1.00000000000000E-0300"}, {123456.789, " 1.23456789000000E+0005"}};
  for (const Case& c : cases) {
    std::string text = FormatIniReal(c.value);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(text.size(), 23u);
    double back = 0;
    ASSERT_TRUE(ParseDecimal(text, back)) << text;
    EXPECT_EQ(back, c.value);
  }
  double value = 7;
  for (const char* bad : {"", "  ", "0,975", "1.0x", "inf", "nan", "0x10", "1e5000"}) {
    EXPECT_FALSE(ParseDecimal(bad, value)) << bad;
  }
  EXPECT_EQ(value, 7);
  ASSERT_TRUE(ParseDecimal(" 0.9750 ", value));
  EXPECT_EQ(value, 0.975);
}

}  // namespace
