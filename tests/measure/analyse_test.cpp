#include "measure/analyse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "measure/mymath.h"
#include "measure/profile.h"
#include "synth/channel_generator.h"

namespace {

using synth::ChannelGeometry;
using synth::ChannelShape;

MeasureState CalibratedState(double level = 0) {
  MeasureState state;
  state.ImgCalibration.ZFaktor = 1;
  state.ImgCalibration.RFaktor = 1;
  state.ImgCalibration.DFaktor = 1;
  state.Level = level;
  return state;
}

ChannelGeometry Channel(ChannelShape shape, double depth, double width, double flankAngle = 0, double radius = 100) {
  ChannelGeometry g;
  g.shape = shape;
  g.depth = depth;
  g.width = width;
  g.flankAngle = flankAngle;
  g.bottomRadius = radius;
  return g;
}

struct Analysed {
  TChannel channel;
  TProfileLine line{};
};

Analysed Analyse(const ChannelGeometry& g, const MeasureState& state, double f = 1.0) {
  const synth::SyntheticChannel synthetic = synth::MakeChannel(g);
  Analysed result;
  result.line = synthetic.line;
  AnalyseLine(state, synthetic.image, result.line, result.channel, f);
  return result;
}

Extended Top(const TChannel& ch, Extended x) { return x * ch.tm + ch.tc; }

Extended Depth(const TChannel& ch) {
  return (ch.spunkt * ch.bm + ch.bc) - Top(ch, ch.spunkt);
}

// Twice the area of the triangle p, q, r: 0 when the three are collinear.
double Cross(const TRealPoint& p, const TRealPoint& q, const TRealPoint& r) {
  return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
}

// Every field of the record as numbers, to compare whole records.
std::vector<Extended> Fields(const TChannel& ch) {
  std::vector<Extended> v = {static_cast<Extended>(ch.spunkt), ch.tm, ch.tc, ch.mm, ch.mc, ch.bm, ch.bc, ch.mx, ch.my, ch.radius, ch.lvm, ch.lvc, ch.rvm, ch.rvc, ch.alphav, ch.alphaO, ch.RectDiff, ch.CircleDiff, ch.VDiff, ch.depth, ch.depthr, ch.depthv, ch.width, ch.widthb, static_cast<Extended>(ch.shape), static_cast<Extended>(ch.levelOK)};
  for (const TRealPoint* p : {&ch.plt, &ch.plb, &ch.prt, &ch.prb, &ch.plc, &ch.prc, &ch.pl10, &ch.pr10, &ch.pl20, &ch.pr20, &ch.pl30, &ch.pr30, &ch.pl40, &ch.pr40, &ch.pl50, &ch.pr50, &ch.pl80, &ch.pr80, &ch.plr, &ch.prr, &ch.plv, &ch.prv, &ch.psv}) {
    v.push_back(p->x);
    v.push_back(p->y);
  }
  return v;
}

TEST(AnalyseLineTest, SurfaceTooHighStopsAfterTheRoughFit) {
  ChannelGeometry g = Channel(ChannelShape::Flat, 0, 0);
  g.surfaceRow = 50;
  const synth::SyntheticChannel synthetic = synth::MakeChannel(g);
  TProfileLine line = synthetic.line;
  TChannel channel;
  channel.depth = 7;
  AnalyseLine(CalibratedState(), synthetic.image, line, channel, 1.0);
  EXPECT_EQ(line, synthetic.line);
  EXPECT_NEAR(static_cast<double>(channel.mc), 50, 1e-9);
  TChannel expected;
  expected.mm = channel.mm;
  expected.mc = channel.mc;
  EXPECT_EQ(Fields(channel), Fields(expected)) << "only mm and mc may be set";
}

TEST(AnalyseLineTest, RectangleBetweenWallsAt500And780) {
  const Analysed a = Analyse(Channel(ChannelShape::Flat, 200, 280), CalibratedState());
  const TChannel& ch = a.channel;
  EXPECT_EQ(ch.spunkt, 640);
  EXPECT_NEAR(ch.plt.x, 500, 3);
  EXPECT_NEAR(ch.prt.x, 780, 3);
  EXPECT_NEAR(ch.plb.x, 500, 10);
  EXPECT_NEAR(ch.prb.x, 780, 10);
  EXPECT_NEAR(ch.depth, 200, 1);
  EXPECT_NEAR(ch.width, 280, 4);
  EXPECT_NEAR(ch.RectDiff, 0, 0.5);
  EXPECT_EQ(ch.shape, 0);
  EXPECT_EQ(ch.levelOK, 0);
  EXPECT_NEAR(ch.plb.y, ch.plb.x * ch.bm + ch.bc, 1e-9) << "corner on the bottom line";
  for (int x = 0; x < 1280; ++x) {
    if (x < ch.plt.x || x > ch.prt.x) {
      ASSERT_EQ(a.line[x], Round(Top(ch, x))) << "column " << x;
    }
  }
}

// A level, noise-free surface has no profile point above its own line, and
// a floor in the lower half of the image leaves the rough fit exactly on the
// surface: the surface line must stay there.
TEST(AnalyseLineTest, LevelSurfaceOverADeepChannelKeepsTheRoughSurface) {
  const Analysed a = Analyse(Channel(ChannelShape::Flat, 500, 400), CalibratedState());
  const TChannel& ch = a.channel;
  EXPECT_NEAR(static_cast<double>(ch.tc), 300, 0.5);
  EXPECT_NEAR(static_cast<double>(ch.tm), 0, 1e-6);
  EXPECT_NEAR(ch.depth, 500, 2);
  EXPECT_NEAR(ch.width, 400, 4);
  EXPECT_EQ(ch.shape, 0);
}

class LevelTest : public testing::Test {
protected:
  static Analysed AtLevel(double level) { return Analyse(Trapezoid(), CalibratedState(level)); }
  static Analysed AtDepthFraction(double fraction) {
    const Extended d = Depth(AtLevel(0).channel);
    return AtLevel(static_cast<double>(fraction * d));
  }
  static ChannelGeometry Trapezoid() { return Channel(ChannelShape::Trapezoid, 200, 400, 30); }
  // plc and prc lie on the given chords and on the level line, width between them.
  static void ExpectOnChords(const TChannel& ch, const TRealPoint& l1, const TRealPoint& l2, const TRealPoint& r1,
                             const TRealPoint& r2, Extended height) {
    EXPECT_NEAR(Cross(l1, l2, ch.plc), 0, 1e-6);
    EXPECT_NEAR(Cross(r1, r2, ch.prc), 0, 1e-6);
    EXPECT_NEAR(ch.plc.y, static_cast<double>(Top(ch, ch.plc.x) + height), 1e-6);
    EXPECT_NEAR(ch.prc.y, static_cast<double>(Top(ch, ch.prc.x) + height), 1e-6);
    EXPECT_NEAR(ch.width, std::hypot(ch.prc.x - ch.plc.x, ch.prc.y - ch.plc.y), 1e-9);
  }
};

TEST_F(LevelTest, StoredPointLevelsTakeTheirPoints) {
  const Analysed surface = AtLevel(0);
  EXPECT_EQ(surface.channel.plc, surface.channel.plt);
  EXPECT_EQ(surface.channel.prc, surface.channel.prt);
  const Analysed level30 = AtLevel(-3);
  EXPECT_EQ(level30.channel.plc, level30.channel.pl30);
  EXPECT_EQ(level30.channel.prc, level30.channel.pr30);
  EXPECT_EQ(level30.channel.levelOK, 0);
  // The trapezoid opens by 30 degrees, so the edges were widened; a stored
  // level keeps its points all the same.
  ASSERT_GT(level30.channel.alphaO, 10);
  const Analysed level10 = AtLevel(-1);
  EXPECT_EQ(level10.channel.plc, level10.channel.pl10);
  EXPECT_EQ(level10.channel.prc, level10.channel.pr10);
}

TEST_F(LevelTest, ChordRowsByDepth) {
  const Analysed at60 = AtDepthFraction(0.6);
  const TChannel& a = at60.channel;
  EXPECT_EQ(a.levelOK, 0);
  ExpectOnChords(a, a.pl40, a.pl50, a.pr40, a.pr50, 0.6L * Depth(a));
  EXPECT_GT(a.plc.y, a.pl50.y) << "extrapolated below the 50 % point";

  const Analysed at75 = AtDepthFraction(0.75);
  const TChannel& b = at75.channel;
  EXPECT_EQ(b.levelOK, 1);
  ExpectOnChords(b, b.pl50, b.pl80, b.pr50, b.pr80, 0.75L * Depth(b));

  const Analysed at90 = AtDepthFraction(0.9);
  EXPECT_EQ(at90.channel.levelOK, 2);
  ExpectOnChords(at90.channel, at90.channel.pl20, at90.channel.pl80, at90.channel.pr20, at90.channel.pr80,
                 0.9L * Depth(at90.channel));

  // At or below the bottom the points are cut at the bottom height.
  const Analysed below = AtDepthFraction(1.5);
  const TChannel& c = below.channel;
  EXPECT_EQ(c.levelOK, 2);
  ExpectOnChords(c, c.pl20, c.pl80, c.pr20, c.pr80, Depth(c));
}

TEST_F(LevelTest, UnlistedNegativeLevelUsesTheFirstChord) {
  const Analysed a = AtLevel(-0.5);
  const TChannel& ch = a.channel;
  EXPECT_EQ(ch.levelOK, 0);
  ExpectOnChords(ch, ch.plt, ch.pl10, ch.prt, ch.pr10, -0.5L);
}

TEST(AnalyseLineTest, TenRowPointIsTenPercentForShallowChannels) {
  for (double depth : {40.0, 60.0}) {
    const Analysed a = Analyse(Channel(ChannelShape::Trapezoid, depth, 200, 30), CalibratedState());
    const TChannel& ch = a.channel;
    const double expected = depth > 50 ? 10 : static_cast<double>(0.1L * Depth(ch));
    EXPECT_NEAR(ch.pl10.y - Top(ch, ch.pl10.x), expected, 1e-6) << "depth " << depth;
    EXPECT_NEAR(ch.pr10.y - Top(ch, ch.pr10.x), expected, 1e-6) << "depth " << depth;
    EXPECT_NEAR(expected, depth > 50 ? 10 : 4, 0.3);
  }
}

TEST(AnalyseLineTest, SemicircleOfRadius100IsRound) {
  const Analysed a = Analyse(Channel(ChannelShape::Round, 100, 200, 0, 100), CalibratedState());
  const TChannel& ch = a.channel;
  EXPECT_EQ(ch.shape, 2);
  EXPECT_NEAR(ch.radius, 100, 3);
  EXPECT_NEAR(ch.mx, 640, 1);
  EXPECT_NEAR(ch.depthr, 100, 1.5);
  EXPECT_LT(ch.CircleDiff, 0.5);
  EXPECT_GT(ch.plr.y, ch.my) << "the flank chord meets the lower half of the circle";
}

TEST(AnalyseLineTest, VWithUnitSlopesIsV) {
  // Depth 150 over a width of 300: flanks of slope +1 and -1.
  const Analysed a = Analyse(Channel(ChannelShape::V, 150, 300), CalibratedState());
  const TChannel& ch = a.channel;
  EXPECT_EQ(ch.shape, 1);
  EXPECT_NEAR(static_cast<double>(ch.lvm), 1, 0.06);
  EXPECT_NEAR(static_cast<double>(ch.rvm), -1, 0.06);
  EXPECT_NEAR(ch.psv.x, 640, 1);
  EXPECT_NEAR(ch.psv.y, 450, 1.5);
  EXPECT_NEAR(ch.alphav, 0, 6);
  EXPECT_NEAR(ch.depthv, static_cast<double>(AbstandPunktGerade(ch.psv.x, ch.psv.y, ch.tm, ch.tc)), 1e-9);
  EXPECT_NEAR(ch.depthv, 150, 3);
}

TEST(AnalyseLineTest, WidthFactorChangesOnlyTheOpeningAngle) {
  const ChannelGeometry g = Channel(ChannelShape::Trapezoid, 200, 400, 30);
  const Analysed full = Analyse(g, CalibratedState(), 1.0);
  const Analysed reduced = Analyse(g, CalibratedState(), 0.9);
  EXPECT_EQ(full.line, reduced.line);
  TChannel masked = reduced.channel;
  EXPECT_NE(masked.alphaO, full.channel.alphaO);
  EXPECT_LT(masked.alphaO, full.channel.alphaO);
  masked.alphaO = full.channel.alphaO;
  EXPECT_EQ(Fields(masked), Fields(full.channel));
}

}  // namespace
