#include <gtest/gtest.h>

#include "measure/calibration_file.h"
#include "platform/profile_file.h"
#include "station_fixture.h"

namespace {

class LinearityTest : public StationTest {
protected:
  LinearityTest() {
    station.InitCalRef(0);
    station.ClearGraphbtnClick();
    station.controls.SNEdit = "42";
    // One pixel of depth is a thousandth of a millimetre.
    state.ImgCalibration.PixelPerInch = 25400;
  }
  std::filesystem::path Device() const { return home / "VELDRAQXINI" / "00042_VELDRAQX.INI"; }
};

TEST_F(LinearityTest, FourReferencesWithinToleranceAreAccepted) {
  const double depths[] = {104, 198, 301, 395};
  const char* texts[] = {"0.104", "0.198", "0.301", "0.395"};
  const double bars[] = {0.004, -0.002, 0.001, -0.005};
  for (double depth : depths) station.AddGraph(0, depth);
  EXPECT_EQ(panel.sounds, (std::vector<std::string>{"OK", "OK", "OK", "OK"}));
  EXPECT_TRUE(panel.questions.empty());
  const LinearityChart& chart = station.Chart();
  ASSERT_EQ(chart.channel.size(), 4u);
  ASSERT_EQ(chart.channelDiff.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(station.controls.VeryGrid[1][i + 1], texts[i]);
    EXPECT_DOUBLE_EQ(chart.channel[i].x, (i + 1) / 10.0);
    EXPECT_NEAR(chart.channel[i].y, depths[i] / 1000, 1e-12);
    EXPECT_EQ(chart.channelDiff[i].x, i + 1);
    EXPECT_NEAR(chart.channelDiff[i].y, bars[i], 1e-12);
  }
  // A fifth capture is ignored until the chart is cleared.
  station.AddGraph(0, 500);
  EXPECT_EQ(panel.sounds.size(), 4u);
  EXPECT_EQ(chart.channel.size(), 4u);
  EXPECT_EQ(station.controls.VeryGrid[1][5], "");

  station.controls.VeryGrid[0][5] = "0.777";
  station.ClearGraphbtnClick();
  EXPECT_TRUE(chart.channel.empty() && chart.channelDiff.empty());
  EXPECT_EQ(station.controls.VeryGrid[1][1], "");
  EXPECT_EQ(station.controls.VeryGrid[0][0], "REF");
  EXPECT_EQ(station.controls.VeryGrid[1][0], "Depth");
  EXPECT_EQ(station.controls.VeryGrid[0][5], "0.777");
}

TEST_F(LinearityTest, DepthUsesTheDepthFactor) {
  state.ImgCalibration.DFaktor = 0.5;
  station.AddGraph(0, 208);
  EXPECT_EQ(station.controls.VeryGrid[1][1], "0.104");
}

TEST_F(LinearityTest, DeviationOf0015AsksAnd00149DoesNot) {
  station.AddGraph(0, 114.9);
  EXPECT_TRUE(panel.questions.empty());
  EXPECT_EQ(panel.sounds, std::vector<std::string>{"OK"});

  station.AddGraph(0, 215);  // 0.215 against 0.200, answered No
  ASSERT_EQ(panel.questions.size(), 1u);
  EXPECT_EQ(panel.questions[0], "Out of Tolerance 0.215\r\nDELTA:" + std::string(18, ' ') +
                                    "0.015\r\ntrotzdem \u00fcbernehmen?");
  EXPECT_EQ(panel.sounds.back(), "FAIL");
  EXPECT_EQ(station.Chart().channel.size(), 1u);
  EXPECT_EQ(station.controls.VeryGrid[1][2], "");

  panel.answers = {true};
  station.AddGraph(0, 185);  // 0.185 against 0.200, answered Yes
  EXPECT_EQ(panel.questions.size(), 2u);
  EXPECT_NE(panel.questions[1].find("DELTA:" + std::string(18, ' ') + "-0.015"), std::string::npos);
  EXPECT_EQ(station.controls.VeryGrid[1][2], "0.185");
  EXPECT_EQ(station.Chart().channel.size(), 2u);
}

TEST_F(LinearityTest, TableFromTheGrid) {
  state.ImgCalibration.PixelPerInch = 3600;
  station.controls.VeryGrid[1] = {"Depth", "0.104", "0.198", "", "-0,395", "9"};
  GetLUT(state, station.controls.VeryGrid, station.CalRef().CALD);
  const TImgCalibration& cal = state.ImgCalibration;
  EXPECT_NEAR(cal.LUTX[1], 14.74, 0.005);
  EXPECT_NEAR(cal.LUTY[1], -0.567, 0.0005);
  EXPECT_NEAR(cal.LUTX[2], 0.198 * 3600 / 25.4, 1e-9);
  EXPECT_EQ(cal.LUTX[3], 0);  // an empty cell counts as 0
  EXPECT_NEAR(cal.LUTY[3], 0.3 * 3600 / 25.4, 1e-9);
  EXPECT_NEAR(cal.LUTX[4], 0.395 * 3600 / 25.4, 1e-9);  // sign dropped
  EXPECT_EQ(cal.LUTX[0], 0);
  EXPECT_EQ(cal.LUTY[0], 0);
  EXPECT_DOUBLE_EQ(cal.LUTX[5], 2.1);
  EXPECT_EQ(cal.LUTY[5], 0);
}

TEST_F(LinearityTest, SaveLutWritesBothFilesAndReloads) {
  state.ImgCalibration.PixelPerInch = 3600;
  station.controls.VeryGrid[1] = {"Depth", "0.104", "0.198", "0.301", "0.395", ""};
  ASSERT_TRUE(station.SaveLUTbtnClick());
  EXPECT_EQ(panel.sounds, std::vector<std::string>{"OK"});
  for (const auto& file : {inUse, Device()}) {
    EXPECT_EQ(ReadProfileString("VELDRAQXCAL", "LUTX5", "", 30, file), "2.10000") << file;
    EXPECT_EQ(ReadProfileString("VELDRAQXCAL", "LUTY5", "", 30, file), "0.00000");
    EXPECT_EQ(ReadProfileString("VELDRAQXCAL", "LUTX1", "", 30, file), "14.74016");
    EXPECT_EQ(ReadProfileString("VELDRAQXCAL", "LUTY1", "", 30, file), "-0.56693");
  }
  // The table in memory is the one read back (five decimals).
  EXPECT_EQ(state.ImgCalibration.LUTX[1], 14.74016);

  // SaveCal leaves the table keys alone.
  ASSERT_TRUE(SaveCal(state, inUse));
  EXPECT_EQ(ReadProfileString("VELDRAQXCAL", "LUTX1", "", 30, inUse), "14.74016");

  state.ImgCalibration.LUTX[1] = 0;
  station.LoadLUTbtnClick();
  EXPECT_EQ(state.ImgCalibration.LUTX[1], 14.74016);
}

TEST_F(LinearityTest, ClearLutAnsweredNoChangesNothing) {
  state.ImgCalibration.PixelPerInch = 3600;
  station.controls.VeryGrid[1] = {"Depth", "0.104", "0.198", "0.301", "0.395", ""};
  ASSERT_TRUE(station.SaveLUTbtnClick());
  const std::string inUseBefore = ReadBytes(inUse);
  const std::string deviceBefore = ReadBytes(Device());
  const TImgCalibration before = state.ImgCalibration;
  panel.sounds.clear();

  station.ClearLUTBtnClick();
  EXPECT_EQ(panel.questions, std::vector<std::string>{"Delete LUT from INI file?"});
  EXPECT_EQ(ReadBytes(inUse), inUseBefore);
  EXPECT_EQ(ReadBytes(Device()), deviceBefore);
  EXPECT_EQ(state.ImgCalibration.LUTX, before.LUTX);
  EXPECT_TRUE(panel.sounds.empty());

  panel.answers = {true};
  station.ClearLUTBtnClick();
  EXPECT_EQ(panel.sounds, std::vector<std::string>{"OK"});
  for (const auto& file : {inUse, Device()}) {
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(ReadProfileString("VELDRAQXCAL", "LUTX" + std::to_string(i), "", 30, file), "0") << i;
      EXPECT_EQ(ReadProfileString("VELDRAQXCAL", "LUTY" + std::to_string(i), "", 30, file), "0") << i;
    }
  }
  EXPECT_EQ(state.ImgCalibration.LUTX, (std::array<double, 6>{}));
  EXPECT_EQ(state.ImgCalibration.LUTY, (std::array<double, 6>{}));
}

TEST_F(LinearityTest, LinearityFileHoldsTheMeasuredColumn) {
  for (double depth : {104, 198, 301, 395}) station.AddGraph(0, depth);
  ASSERT_TRUE(station.SaveVerybtnClick().ok);
  EXPECT_EQ(ReadBytes(home / "VELDRAQXINI" / "00042_LIN.TXT"),
            "Depth\r\n0.104\r\n0.198\r\n0.301\r\n0.395\r\n\r\n");
}

TEST_F(LinearityTest, CaptureOnTheVerifyPageAddsAPoint) {
  state.MyChannel.depth = 104;
  station.Capture(Bitmap(2, 2), CalibratePage::Verify);
  EXPECT_EQ(station.controls.VeryGrid[1][1], "0.104");
  EXPECT_EQ(state.ImgCalibration.PixelPerInch, 25400);
}

}  // namespace
