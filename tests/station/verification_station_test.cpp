#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/file_status.h"
#include "platform/profile_file.h"
#include "recording_panel.h"
#include "station/verification_station.h"
#include "tests/temp_folder.h"

namespace {

class VerificationTest : public testing::Test {
protected:
  VerificationTest() {
    state.Units = 25.4;
    state.Digits = 3;
    TImgCalibration& cal = state.ImgCalibration;
    cal.PixelPerInch = 25400;  // one pixel is a thousandth of a millimetre
    cal.ZFaktor = cal.RFaktor = 1;
    cal.DFaktor = cal.WFaktor = cal.PWFaktor = cal.WVFaktor = cal.DVFaktor = 1;
    station.FormActivate();
  }

  // A calibration file that already holds both verification factors.
  void WithFactors() { WriteBytes(inUse, "[VELDRAQXCAL]\r\nDVFaktor=1\r\nWVFaktor=1\r\n"); }

  void CaptureOf(double depth, double width) {
    state.MyChannel.depth = depth;
    state.MyChannel.width = width;
    station.SetValues(result);
  }

  std::string Key(const char* section, const char* key) {
    return ReadProfileString(section, key, "missing", 30, inUse);
  }

  TempFolder home;
  std::filesystem::path inUse = home / "VELDRAQX.INI";
  MeasureState state;
  StationPictures pictures;
  RecordingPanel panel;
  VerificationStation station{state, pictures, panel, inUse};
  Bitmap result{3, 2};
};

TEST_F(VerificationTest, JudgedOnTheDisplayedValues) {
  WithFactors();
  EXPECT_EQ(station.controls.CALDEdit, "0.520");
  EXPECT_EQ(station.controls.CALWEdit, "3.000");
  struct Case {
    double depth;
    double width;
    bool pass;
  } cases[] = {
      {529, 3019, true},  {511, 2981, true},  {530, 3000, false}, {510, 3000, false},
      {520, 3020, false}, {520, 2980, false}, {529.4, 3019.4, true},  // shown 0.529 / 3.019
      {529.6, 3000, false},                                            // shown 0.530
  };
  for (const Case& k : cases) {
    panel.sounds.clear();
    CaptureOf(k.depth, k.width);
    EXPECT_EQ(station.controls.DepthShape, k.pass ? Indicator::Green : Indicator::Red) << k.depth << " " << k.width;
    EXPECT_EQ(station.controls.VerifyPDF, k.pass);
    EXPECT_EQ(panel.sounds, std::vector<std::string>{k.pass ? "OK" : "FAIL"});
  }
  EXPECT_EQ(station.controls.BDepth, "0.530");
  EXPECT_EQ(station.controls.DListBx.back(), "0.5296");
  EXPECT_EQ(pictures.ImgChannel, result);
}

TEST_F(VerificationTest, MissingFactorIsDerivedOnceFromTheFirstCapture) {
  WriteBytes(inUse, "[VELDRAQXCAL]\r\nPixelPerInch=25400\r\n");
  CaptureOf(500, 2900);
  EXPECT_EQ(Key("VELDRAQXCAL", "DVFaktor"), "1.0400000000");
  EXPECT_EQ(Key("VELDRAQXCAL", "WVFaktor"), "1.0344827586");
  EXPECT_DOUBLE_EQ(state.ImgCalibration.DVFaktor, 0.52 / 0.5);
  EXPECT_EQ(station.controls.BDepth, "0.520");
  EXPECT_EQ(station.controls.BWidth, "3.000");
  EXPECT_EQ(station.controls.DepthShape, Indicator::Green);
  EXPECT_EQ(station.controls.DListBx, std::vector<std::string>{"0.5000"});  // the raw depth

  // Later captures use the factor in memory; the file keeps the first one.
  state.ImgCalibration.DVFaktor = 1.02;
  CaptureOf(510, 2900);
  EXPECT_EQ(station.controls.BDepth, "0.520");
  EXPECT_EQ(Key("VELDRAQXCAL", "DVFaktor"), "1.0400000000");
}

TEST_F(VerificationTest, NonPositiveOrUnconvertibleValuesDeriveNoFactor) {
  CaptureOf(0, 2900);  // no depth: factor step skipped for the depth only
  EXPECT_EQ(Key("VELDRAQXCAL", "DVFaktor"), "missing");
  EXPECT_EQ(Key("VELDRAQXCAL", "WVFaktor"), "1.0344827586");
  EXPECT_EQ(station.controls.BDepth, "0.000");
  EXPECT_EQ(station.controls.DepthShape, Indicator::Red);

  // A zero scale shows no number: nothing is derived, nothing written, the capture fails.
  std::filesystem::remove(inUse);
  state.ImgCalibration.PixelPerInch = 0;
  CaptureOf(500, 2900);
  EXPECT_FALSE(std::filesystem::exists(inUse));
  EXPECT_EQ(station.controls.BDepth, "");
  EXPECT_EQ(station.controls.DepthShape, Indicator::Red);
}

TEST_F(VerificationTest, ThirtyCapturesAreStoredAndLaterOnesOnlyJudged) {
  WithFactors();
  for (int i = 0; i < 30; ++i) CaptureOf(519 + i % 3, 3000);
  EXPECT_EQ(station.hwc(), 30);
  EXPECT_EQ(station.controls.CountLabel, "30");
  const std::string statistics = station.controls.SLDepth;
  EXPECT_EQ(statistics, "0.5200:0.0008");

  panel.sounds.clear();
  CaptureOf(600, 3000);
  EXPECT_EQ(panel.sounds, std::vector<std::string>{"FAIL"});
  EXPECT_EQ(station.hwc(), 30);
  EXPECT_EQ(station.controls.CountLabel, "30");
  EXPECT_EQ(station.controls.SLDepth, statistics);
  EXPECT_EQ(station.controls.DListBx.size(), 31u);
}

TEST_F(VerificationTest, StatisticsOverTheStoredCaptures) {
  WithFactors();
  CaptureOf(521, 3004);
  EXPECT_EQ(station.controls.SLDepth, "0.5210:0.0000");
  EXPECT_EQ(station.controls.SLWidth, "3.0040:0.0000");
  CaptureOf(519, 3002);
  CaptureOf(520, 3000);
  EXPECT_EQ(station.controls.SLDepth, "0.5200:0.0010");
  EXPECT_EQ(station.controls.SLWidth, "3.0020:0.0020");
  // Equal captures: the rounding residue of the variance gives no deviation.
  station.RESETSlopeClick();
  for (int i = 0; i < 5; ++i) CaptureOf(520.3, 3000.7);
  EXPECT_EQ(station.controls.SLDepth, "0.5203:0.0000");
}

TEST_F(VerificationTest, SlopesStayZeroWithoutResetAndAreTargetOverMeanAfter) {
  WithFactors();
  state.ImgCalibration.ZSlope = state.ImgCalibration.XSlope = 0;  // as at program start
  CaptureOf(500, 2900);
  station.CalcSlppebtnClick();
  EXPECT_EQ(state.ImgCalibration.ZSlope, 0);
  EXPECT_EQ(station.controls.BDepth, "0.000");
  EXPECT_EQ(station.controls.BWidth, "0.000");
  EXPECT_EQ(station.controls.SLDepth, "  0.00000000");

  station.RESETSlopeClick();
  EXPECT_EQ(station.hwc(), 0);
  EXPECT_TRUE(station.controls.DListBx.empty() && station.controls.WListBx.empty());
  EXPECT_EQ(Key("VELDRAQX", "ZSLOPE"), "1.0");
  EXPECT_EQ(Key("VELDRAQX", "XSLOPE"), "1.0");
  EXPECT_EQ(station.controls.SLDepth, "  1.00000000");

  CaptureOf(500, 2900);
  CaptureOf(500, 2900);
  station.CalcSlppebtnClick();
  EXPECT_DOUBLE_EQ(state.ImgCalibration.ZSlope, 0.52 / 0.5);
  EXPECT_DOUBLE_EQ(state.ImgCalibration.XSlope, 3.0 / 2.9);
  EXPECT_EQ(station.controls.BDepth, "0.520");
  EXPECT_EQ(station.controls.BWidth, "3.000");
  EXPECT_EQ(station.controls.SLDepth, "  1.04000000");
  EXPECT_EQ(station.controls.SLWidth, "  1.03448276");
}

TEST_F(VerificationTest, NoNumberShowsADashAndIsNotWritten) {
  WithFactors();
  station.RESETSlopeClick();
  station.controls.CALWEdit = "1e308";  // a huge target over a tiny mean: no number
  CaptureOf(1e-300, 1e-300);
  station.CalcSlppebtnClick();
  EXPECT_EQ(station.controls.SLWidth, "-");
  EXPECT_EQ(station.controls.BWidth, "-");
  EXPECT_EQ(station.controls.SLDepth, "  1.00000000");
  EXPECT_EQ(state.ImgCalibration.XSlope, 1);
  station.controls.CALWEdit = "3.000";
  CaptureOf(520, 3000);
  ASSERT_TRUE(station.VerifyPDFClick(true));
  EXPECT_EQ(Key("VELDRAQX", "ZSLOPE"), "1.0000000000");
  EXPECT_EQ(Key("VELDRAQX", "XSLOPE"), "1.0");  // the slope without a number is not written

  // A depth scale that gives no number: the statistics show "-".
  state.ImgCalibration.ZFaktor = std::numeric_limits<double>::infinity();
  CaptureOf(520, 3000);
  EXPECT_EQ(station.controls.SLDepth, "-:-");
  EXPECT_EQ(station.controls.BDepth, "-");
  EXPECT_NE(station.controls.SLWidth.find(':'), std::string::npos);
  EXPECT_NE(station.controls.SLWidth, "-:-");
}

TEST_F(VerificationTest, ReportWritesTargetsAndSlopesOnlyAfterAPass) {
  WithFactors();
  CaptureOf(540, 3000);
  EXPECT_FALSE(station.VerifyPDFClick(true));
  EXPECT_TRUE(panel.reports.empty());
  EXPECT_EQ(Key("MORKELTARGET", "TW"), "missing");

  station.RESETSlopeClick();
  station.controls.CALWEdit = "2,5";
  station.controls.CALDEdit = "0.5";
  CaptureOf(500, 2500);
  station.CalcSlppebtnClick();
  state.ImgCalibration.ZSlope = 1.0023456789;
  ASSERT_TRUE(station.VerifyPDFClick(false));
  EXPECT_EQ(panel.reports, std::vector<int>{3});
  EXPECT_EQ(Key("MORKELTARGET", "TW"), "2500");
  EXPECT_EQ(Key("MORKELTARGET", "TD"), "500");
  EXPECT_EQ(Key("VELDRAQX", "ZSLOPE"), "1.0");  // slope panel hidden: not written

  ASSERT_TRUE(station.VerifyPDFClick(true));
  EXPECT_EQ(Key("VELDRAQX", "ZSLOPE"), "1.0023456789");
  EXPECT_EQ(Key("VELDRAQX", "XSLOPE"), "1.0000000000");

  panel.reportWritten = false;
  EXPECT_FALSE(station.VerifyPDFClick(false));

  // Opening the window again reads the targets and resets the judgement only.
  station.FormActivate();
  EXPECT_EQ(station.controls.CALWEdit, "2.500");
  EXPECT_EQ(station.controls.CALDEdit, "0.500");
  EXPECT_EQ(station.controls.BDepth, "...");
  EXPECT_EQ(station.controls.DepthShape, Indicator::White);
  EXPECT_FALSE(station.controls.VerifyPDF);
  EXPECT_EQ(station.hwc(), 1);
}

// Zeros come close to a tiny target; neither a capture without a channel nor
// a target no gauge can measure is a pass: no report, no target stored.
TEST_F(VerificationTest, NoChannelOrImplausibleTargetNeverPasses) {
  WithFactors();
  struct Case {
    const char* depthEdit;
    const char* widthEdit;
    double depth;
    double width;
    const char* message;  // empty: no message
  } cases[] = {
      {"0.005", "0.010", 0, 0, "The target depth 0.005 mm is outside 0.050 .. 4.000 mm"},
      {"-5", "3.000", 0, 3000, "The target depth -5.000 mm is outside"},
      {"0.520", "0.010", 520, 10, "The target width 0.010 mm is outside 0.200 .. 8.000 mm"},
      {"0.520", "3.000", 0, 0, ""},
      {"0.008", "3.000", 0, 3000, "The target depth 0.008 mm"},
      {"0.520", "3.000", 520, 0, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.depthEdit) + " " + k.widthEdit);
    panel.messages.clear();
    station.controls.CALDEdit = k.depthEdit;
    station.controls.CALWEdit = k.widthEdit;
    CaptureOf(k.depth, k.width);
    EXPECT_EQ(station.controls.DepthShape, Indicator::Red);
    EXPECT_FALSE(station.controls.VerifyPDF);
    EXPECT_FALSE(station.VerifyPDFClick(false));
    if (*k.message == 0) {
      EXPECT_TRUE(panel.messages.empty());
    } else {
      ASSERT_EQ(panel.messages.size(), 1u);
      EXPECT_NE(panel.messages[0].find(k.message), std::string::npos) << panel.messages[0];
    }
  }
  EXPECT_TRUE(panel.reports.empty());
  EXPECT_EQ(Key("MORKELTARGET", "TD"), "missing");
  // The same refused target is named once, not at every capture.
  station.controls.CALDEdit = "0.005";
  panel.messages.clear();
  CaptureOf(0, 3000);
  CaptureOf(0, 3000);
  EXPECT_EQ(panel.messages.size(), 1u);
}

TEST_F(VerificationTest, StoredTargetOutsideItsRangeIsShownAndNamed) {
  WriteBytes(inUse, "[MORKELTARGET]\r\nTD=5\r\nTW=99999999\r\n");
  const FileStatus activated = station.FormActivate();
  EXPECT_FALSE(activated.ok);
  EXPECT_NE(activated.message.find("key TW of section [MORKELTARGET] is 99999999, outside 200 .. 8000"),
            std::string::npos)
      << activated.message;
  EXPECT_EQ(panel.messages, std::vector<std::string>{activated.message});
  EXPECT_EQ(station.controls.CALDEdit, "0.005");
  CaptureOf(5, 99999999);
  EXPECT_EQ(station.controls.DepthShape, Indicator::Red);

  WriteBytes(inUse, "[MORKELTARGET]\r\nTD=50\r\nTW=8000\r\n");
  EXPECT_TRUE(station.FormActivate().ok);
}

// The report keeps the repeatability of the stored captures (their sample
// standard deviation in mm) for the gauge's uncertainty.
TEST_F(VerificationTest, ReportKeepsTheRepeatabilityOfTheCaptures) {
  WithFactors();
  CaptureOf(519, 2990);
  CaptureOf(521, 3010);
  CaptureOf(520, 3000);
  ASSERT_TRUE(station.VerifyPDFClick(false));
  EXPECT_EQ(Key("VELDRAQXUNCERTAINTY", "DEPTHREPEAT"), "0.00100");
  EXPECT_EQ(Key("VELDRAQXUNCERTAINTY", "WIDTHREPEAT"), "0.01000");
}

TEST_F(VerificationTest, LevelItemSetsTheLevel) {
  for (int i = 0; i < static_cast<int>(kLevelItems.size()); ++i) {
    station.controls.Levelgrp = i;
    station.CapturebtnClick();
    EXPECT_EQ(state.Level, -i) << kLevelItems[i];
  }
  const auto fifty = std::find(kLevelItems.begin(), kLevelItems.end(), std::string("50%"));
  station.controls.Levelgrp = static_cast<int>(fifty - kLevelItems.begin());
  station.CapturebtnClick();
  EXPECT_EQ(state.Level, -3);

  state.ImgCalibration.Shutter = 6;
  state.ImgCalibration.Gain = 90;
  state.ImgCalibration.Mirror = true;
  station.RefreshbtnClick();
  EXPECT_EQ(panel.camera, std::vector<std::string>{"refresh 6 gain 90 flip 0 mirror 1"});
}

}  // namespace
