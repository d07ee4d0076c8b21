#include "synth/channel_generator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using synth::ChannelGeometry;
using synth::ChannelShape;

ChannelGeometry Geometry(ChannelShape shape, double depth, double width) {
  ChannelGeometry g;
  g.shape = shape;
  g.depth = depth;
  g.width = width;
  return g;
}

struct RowCase {
  const char* name;
  ChannelGeometry geometry;
  double x;
  double row;
};

class ProfileRowTest : public testing::TestWithParam<RowCase> {};

TEST_P(ProfileRowTest, MatchesTheGeometry) {
  const RowCase& c = GetParam();
  EXPECT_NEAR(synth::ProfileRowAt(c.geometry, c.x), c.row, 1e-9) << c.name;
}

ChannelGeometry Trapezoid45() {
  ChannelGeometry g = Geometry(ChannelShape::Trapezoid, 100, 400);
  g.flankAngle = 45;
  return g;
}

ChannelGeometry RoundChannel(double depth, double width, double radius) {
  ChannelGeometry g = Geometry(ChannelShape::Round, depth, width);
  g.bottomRadius = radius;
  return g;
}

ChannelGeometry Sloped() {
  ChannelGeometry g = Geometry(ChannelShape::Flat, 200, 280);
  g.surfaceSlope = 0.05;
  return g;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ProfileRowTest,
    testing::Values(RowCase{"flat wall column is surface", Geometry(ChannelShape::Flat, 200, 280), 500, 300},
                    RowCase{"flat just inside the wall", Geometry(ChannelShape::Flat, 200, 280), 500.5, 500},
                    RowCase{"flat right wall column", Geometry(ChannelShape::Flat, 200, 280), 780, 300},
                    RowCase{"flat outside", Geometry(ChannelShape::Flat, 200, 280), 100, 300},
                    RowCase{"trapezoid floor", Trapezoid45(), 740, 400},
                    RowCase{"trapezoid mid flank", Trapezoid45(), 790, 350},
                    RowCase{"v tip", Geometry(ChannelShape::V, 100, 200), 640, 400},
                    RowCase{"v half way", Geometry(ChannelShape::V, 100, 200), 590, 350},
                    RowCase{"semicircle", RoundChannel(100, 200, 100), 700, 300 + 80},
                    RowCase{"u with walls", RoundChannel(300, 200, 100), 590, 300 + 200 + std::sqrt(7500.0)},
                    RowCase{"sloped surface", Sloped(), 1000, 350},
                    RowCase{"sloped floor", Sloped(), 640, 332 + 200}),
    [](const testing::TestParamInfo<RowCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == ' ') ch = '_';
      }
      return name;
    });

TEST(ChannelGeneratorTest, RoundFlanksAreTangentToTheArc) {
  // Width 300, radius 100, depth 150: the flanks must join the arc without
  // a kink, so the slope left and right of the tangent point agrees.
  const ChannelGeometry g = RoundChannel(150, 300, 100);
  double previousSlope = synth::ProfileRowAt(g, 641) - synth::ProfileRowAt(g, 640);
  for (double x = 641; x < 789; x += 1) {
    const double slope = synth::ProfileRowAt(g, x + 1) - synth::ProfileRowAt(g, x);
    EXPECT_LT(std::fabs(slope - previousSlope), 0.1) << "at column " << x;
    previousSlope = slope;
  }
}

TEST(ChannelGeneratorTest, ProfileLineIsTheRoundedProfile) {
  for (ChannelShape shape : {ChannelShape::Flat, ChannelShape::Trapezoid, ChannelShape::V, ChannelShape::Round}) {
    ChannelGeometry g = Geometry(shape, 123.4, 333.3);
    g.flankAngle = 20;
    g.surfaceSlope = -0.013;
    const auto line = synth::MakeProfileLine(g);
    for (int x = 0; x < 1280; ++x) {
      ASSERT_EQ(line[x], static_cast<int>(std::nearbyint(synth::ProfileRowAt(g, x)))) << "column " << x;
    }
    EXPECT_EQ(line[1280], 0);
  }
}

TEST(ChannelGeneratorTest, NarrowImageLeavesTheRestWithoutProfile) {
  const auto line = synth::MakeProfileLine(Geometry(ChannelShape::Flat, 200, 280), 700);
  EXPECT_EQ(line[699], 500);
  EXPECT_EQ(line[700], -1);
  EXPECT_EQ(line[1279], -1);
  EXPECT_EQ(line[1280], 0);
}

// Brightness-weighted row centroid of one column, squared weights as the
// profile extraction uses them.
double ColumnCentroid(const Bitmap& image, int x) {
  double sum = 0, weight = 0;
  for (int y = 0; y < image.Height(); ++y) {
    const double v = image.Pixel(x, y)[0];
    sum += v * v * y;
    weight += v * v;
  }
  return weight > 0 ? sum / weight : -1;
}

TEST(ChannelGeneratorTest, BandCentroidLiesOnTheProfile) {
  struct Case {
    ChannelGeometry geometry;
    std::vector<int> columns;  // away from corners, where the band is a single stripe
  };
  ChannelGeometry sloped = Geometry(ChannelShape::V, 150, 400);
  sloped.surfaceSlope = 0.02;
  const std::vector<Case> cases = {
      {Geometry(ChannelShape::Flat, 200, 280), {50, 300, 480, 520, 640, 760, 800, 1200}},
      {sloped, {100, 460, 500, 560, 600, 680, 720, 800, 1000}},
      {RoundChannel(100, 200, 100), {200, 560, 600, 640, 680, 720}},
  };
  for (const Case& c : cases) {
    const synth::SyntheticChannel channel = synth::MakeChannel(c.geometry);
    for (int x : c.columns) {
      EXPECT_NEAR(ColumnCentroid(channel.image, x), synth::ProfileRowAt(c.geometry, x), 0.25) << "column " << x;
    }
  }
}

int BrightRows(const Bitmap& image, int x, int threshold) {
  int count = 0;
  for (int y = 0; y < image.Height(); ++y) count += image.Pixel(x, y)[0] >= threshold;
  return count;
}

TEST(ChannelGeneratorTest, BandWidensWithExposure) {
  const ChannelGeometry g = Geometry(ChannelShape::Flat, 200, 280);
  const synth::LightSection section = synth::RenderLightSection(g);
  Bitmap frame;
  int previousSurface = 0, previousFloor = 0;
  for (double gain : {1.0, 4.0, 16.0, 64.0}) {
    synth::Expose(section, gain, g, frame);
    const int surface = BrightRows(frame, 200, 128);
    const int floor = BrightRows(frame, 640, 128);
    EXPECT_GT(surface, previousSurface) << "gain " << gain;
    EXPECT_GT(floor, previousFloor) << "gain " << gain;
    previousSurface = surface;
    previousFloor = floor;
  }
}

TEST(ChannelGeneratorTest, WallsAreDimmerButVisible) {
  const ChannelGeometry g = Geometry(ChannelShape::Flat, 200, 280);
  const synth::SyntheticChannel channel = synth::MakeChannel(g);
  const int wall = channel.image.Pixel(500, 400)[0];
  EXPECT_GE(wall, 100);
  EXPECT_LT(wall, channel.image.Pixel(640, 500)[0]);
  EXPECT_LT(channel.image.Pixel(640, 500)[0], channel.image.Pixel(200, 300)[0]);
  // Between the walls, above the floor, the channel is dark.
  EXPECT_EQ(channel.image.Pixel(640, 400)[0], 0);
}

TEST(ChannelGeneratorTest, ExposeWritesOnlyTheMaskedBytes) {
  ChannelGeometry g = Geometry(ChannelShape::V, 100, 300);
  const synth::LightSection section = synth::RenderLightSection(g, 200, 120);
  Bitmap frame(200, 120);
  frame.Fill(1, 2, 3);
  synth::Expose(section, 1.0, g, frame, 0b100);
  EXPECT_EQ(frame.Pixel(10, 60)[0], 1);
  EXPECT_EQ(frame.Pixel(10, 0)[2], 0);
  // The geometry's surface at row 300 lies outside this small section.
  g.surfaceRow = 60;
  synth::Expose(synth::RenderLightSection(g, 200, 120), 1.0, g, frame, 0b100);
  EXPECT_EQ(frame.Pixel(10, 60)[2], g.surfaceBrightness);
  EXPECT_EQ(frame.Pixel(10, 60)[1], 2);
}

TEST(ChannelGeneratorTest, NoiseFollowsTheSeed) {
  ChannelGeometry g = Geometry(ChannelShape::Flat, 200, 280);
  g.noise = 3;
  const synth::LightSection section = synth::RenderLightSection(g, 320, 256);
  Bitmap a, b, c;
  synth::Expose(section, 1.0, g, a);
  synth::Expose(section, 1.0, g, b);
  g.seed = 2;
  synth::Expose(section, 1.0, g, c);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  double sum = 0;
  for (int x = 0; x < 320; ++x) sum += a.Pixel(x, 100)[1];
  EXPECT_GT(sum / 320, 0.5);  // clipped noise lifts the dark background a little
  EXPECT_LT(sum / 320, 3.0);
}

TEST(ChannelGeneratorTest, DegenerateGeometriesRender) {
  ChannelGeometry none = Geometry(ChannelShape::Round, 0, 0);
  ChannelGeometry outside = Geometry(ChannelShape::Trapezoid, 5000, 3000);
  outside.flankAngle = 120;
  ChannelGeometry tiny = RoundChannel(50, 80, 0);
  for (const ChannelGeometry& g : {none, outside, tiny}) {
    const synth::SyntheticChannel channel = synth::MakeChannel(g, 64, 48);
    EXPECT_EQ(channel.image.Width(), 64);
    EXPECT_EQ(channel.image.Height(), 48);
    EXPECT_TRUE(std::isfinite(synth::ProfileRowAt(g, 640)));
  }
  const synth::SyntheticChannel empty = synth::MakeChannel(none, 0, 0);
  EXPECT_TRUE(empty.image.Empty());
}

}  // namespace
