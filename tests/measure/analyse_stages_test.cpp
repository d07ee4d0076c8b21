// The shape and opening-angle stages on hand-made records, where the inputs
// of one stage can be set exactly.

#include "measure/analyse_stages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

class StageTest : public testing::Test {
protected:
  StageTest() {
    state.ImgCalibration.ZFaktor = 1;
    state.ImgCalibration.DFaktor = 1;
    line.fill(-1);
    ch.spunkt = 640;
    ch.tm = 0;
    ch.tc = 100;
    ch.bm = 0;
    ch.bc = 300;
    ch.depth = 200;
  }
  ChannelAnalysis Analysis() { return ChannelAnalysis{state, image, line, ch, f}; }

  // Flanks leaning inwards by `run` columns over the 200 rows from the
  // surface (row 100) to the bottom (row 300), edges at 400 and 880; the
  // flank points sit on them at their depths.
  void SetFlanks(double run) {
    auto left = [&](double fraction) { return TRealPoint{400 + fraction * run, 100 + fraction * 200}; };
    auto right = [&](double fraction) { return TRealPoint{880 - fraction * run, 100 + fraction * 200}; };
    ch.plt = left(0);
    ch.prt = right(0);
    ch.pl10 = left(0.05);
    ch.pr10 = right(0.05);
    ch.pl20 = left(0.2);
    ch.pr20 = right(0.2);
    ch.pl50 = left(0.5);
    ch.pr50 = right(0.5);
    ch.pl80 = left(0.8);
    ch.pr80 = right(0.8);
    ch.plc = ch.plt;
    ch.prc = ch.prt;
  }

  static double RunForAngle(double degrees) { return 200 * std::tan(degrees * std::numbers::pi / 180); }

  MeasureState state;
  Bitmap image{1280, 1024};
  TProfileLine line{};
  TChannel ch;
  double f = 1.0;
};

TEST_F(StageTest, ShallowLeftFlankIsNotAV) {
  // Left of the centre a floor rising by 0.05 rows per column, right of it a
  // steep flank: the profile there fits a line well, but not a V.
  for (int x = 300; x <= 640; ++x) line[x] = Round(468 + 0.05L * x);
  for (int x = 641; x <= 900; ++x) line[x] = 500 - (x - 640);
  ch.pl80 = TRealPoint{460, 260};
  ch.pr80 = TRealPoint{820, 260};
  ch.pl10 = TRealPoint{300, 110};
  ch.pr10 = TRealPoint{900, 110};
  ch.bc = 500;
  ChannelAnalysis a = Analysis();
  FitV(a);
  EXPECT_NEAR(static_cast<double>(ch.lvm), 0.05, 0.01);
  EXPECT_LT(ch.rvm, -0.9);
  EXPECT_EQ(ch.VDiff, 100);
}

TEST_F(StageTest, OpeningAngleOfTheFlanks) {
  SetFlanks(RunForAngle(30));
  ChannelAnalysis a = Analysis();
  MeasureOpeningAngle(a);
  EXPECT_NEAR(ch.alphaO, 30, 1e-6);
}

TEST_F(StageTest, OpeningAngleUsesTheCalibratedDepthAndTheWidthFactor) {
  SetFlanks(RunForAngle(30));
  state.ImgCalibration.ZFaktor = 2;  // one row is two horizontal pixels
  f = 0.5;
  ChannelAnalysis a = Analysis();
  MeasureOpeningAngle(a);
  EXPECT_NEAR(ch.alphaO, std::atan(0.5 * std::tan(std::numbers::pi / 6) / 2) * 180 / std::numbers::pi, 1e-6);
}

TEST_F(StageTest, OpeningAngleIsClampedTo0To60) {
  // 75 degrees: the flanks run 187 columns over a calibrated depth of 50.
  SetFlanks(50 * std::tan(75 * std::numbers::pi / 180));
  ch.depth = 50;
  ChannelAnalysis steep = Analysis();
  MeasureOpeningAngle(steep);
  EXPECT_EQ(ch.alphaO, 60);

  // A bottom line above the surface turns the opening negative: -3 degrees.
  SetFlanks(RunForAngle(3));
  ch.depth = 200;
  ch.bc = -100;
  ChannelAnalysis negative = Analysis();
  MeasureOpeningAngle(negative);
  EXPECT_EQ(ch.alphaO, 0);
  EXPECT_EQ(ch.plt.x, 400) << "no widening at 0 degrees";
}

TEST_F(StageTest, EdgesWidenOnlyAbove10Degrees) {
  SetFlanks(RunForAngle(9.9));
  ChannelAnalysis below = Analysis();
  MeasureOpeningAngle(below);
  EXPECT_NEAR(ch.alphaO, 9.9, 1e-6);
  EXPECT_EQ(ch.plt.x, 400);
  EXPECT_EQ(ch.prt.x, 880);

  SetFlanks(RunForAngle(10.5));
  ch.width = 480;
  ChannelAnalysis above = Analysis();
  MeasureOpeningAngle(above);
  EXPECT_NEAR(ch.alphaO, 10.5, 1e-6);
  EXPECT_EQ(ch.plt.x, 399);
  EXPECT_EQ(ch.prt.x, 881);
  EXPECT_EQ(ch.plc, ch.plt) << "level 0 takes the widened edges";
  EXPECT_EQ(ch.width, 482);
}

TEST_F(StageTest, WideningRepeatsOnlyTheFirstChordLevel) {
  SetFlanks(RunForAngle(20));
  state.Level = 5;  // first chord row: 0.1 * D = 20 > 5
  ChannelAnalysis first = Analysis();
  MeasureOpeningAngle(first);
  EXPECT_EQ(ch.plt.x, 399);
  EXPECT_NEAR(ch.plc.y, 105, 1e-9);
  EXPECT_NEAR((ch.plc.x - ch.plt.x) * (ch.pl10.y - ch.plt.y), (ch.plc.y - ch.plt.y) * (ch.pl10.x - ch.plt.x), 1e-6)
      << "plc on the widened chord plt-pl10";

  SetFlanks(RunForAngle(20));
  ch.plc = TRealPoint{1, 2};
  state.Level = 50;  // a deeper level keeps its points
  ChannelAnalysis deeper = Analysis();
  MeasureOpeningAngle(deeper);
  EXPECT_EQ(ch.plc, (TRealPoint{1, 2}));
}

TEST_F(StageTest, DisorderedFlankPointsGiveNoAngle) {
  SetFlanks(RunForAngle(30));
  ch.pl80.x = ch.pl20.x + 1;  // not more than one column inwards
  ChannelAnalysis a = Analysis();
  MeasureOpeningAngle(a);
  EXPECT_EQ(ch.alphaO, 0);
  EXPECT_EQ(ch.plt.x, 400);
}

}  // namespace
