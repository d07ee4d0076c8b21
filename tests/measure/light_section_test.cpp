#include "synth/light_section.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "synth/exposure_series.h"

namespace {

synth::ChannelGeometry FlatChannel(double depth = 100, double width = 300) {
  synth::ChannelGeometry g;
  g.shape = synth::ChannelShape::Flat;
  g.surfaceRow = 300;
  g.depth = depth;
  g.width = width;
  g.centre = 640;
  return g;
}

// Intensity-weighted row of column x over rows first..last.
double CentroidRow(const synth::LightSection& s, int x, int first, int last) {
  double weighted = 0, weight = 0;
  for (int y = first; y <= last; ++y) {
    weighted += y * s.At(x, y);
    weight += s.At(x, y);
  }
  return weighted / weight;
}

// Rows of column x whose radiance exceeds `level`.
int RowsAbove(const synth::LightSection& s, int x, double level) {
  int count = 0;
  for (int y = 0; y < s.height; ++y) count += s.At(x, y) > level ? 1 : 0;
  return count;
}

// Every face's trace is a vertical streak centred on the profile: on the
// surface, on the floor, on a tilted surface, with the glow's rows far more
// than the core's.
TEST(LightSection, StreakIsVerticalAndCentredOnTheProfile) {
  synth::ChannelGeometry g = FlatChannel();
  g.surfaceSlope = 0.02;
  const synth::LightSectionOptics optics;
  const synth::LightSection s = synth::RenderLightSection(g, optics, 1280, 700);
  for (int x : {100, 300, 1000}) EXPECT_NEAR(CentroidRow(s, x, 200, 500), synth::ProfileRowAt(g, x), 0.2) << x;
  for (int x : {600, 640, 680}) EXPECT_NEAR(CentroidRow(s, x, 300, 600), synth::ProfileRowAt(g, x), 0.2) << x;
  // The core: half its peak over about coreThickness rows; the glow: a
  // hundredth of the peak over tens of rows.
  const int half = RowsAbove(s, 200, 0.5 * s.At(200, 304));
  EXPECT_GE(half, 4);
  EXPECT_LE(half, 7);
  const int hundredth = RowsAbove(s, 200, 0.01 * s.At(200, 304));
  EXPECT_GE(hundredth, 30);
  EXPECT_LE(hundredth, 60);
}

// The lens blur is the only sideways spread: across a wall the light of the
// surface ends within a few columns, even 10 rows below the surface where
// its glow is bright.
TEST(LightSection, WallsStaySharp) {
  const synth::ChannelGeometry g = FlatChannel(200, 400);  // walls at 440 and 840, the left one in shadow
  const synth::LightSectionOptics optics;
  const synth::LightSection s = synth::RenderLightSection(g, optics, 1280, 700);
  const float beside = s.At(430, 310);
  EXPECT_GT(beside, 0.01f);
  EXPECT_LT(s.At(443, 310), 0.01f * beside);
  EXPECT_LT(s.At(450, 310), 1e-4f * beside);
}

TEST(LightSection, FaceBrightnessFollowsSlopeAndLight) {
  const synth::LightSectionOptics optics;  // light from the left
  EXPECT_DOUBLE_EQ(synth::FaceBrightness(optics, 0, -1), 1.0);
  const double root = std::sqrt(0.5);
  const double flank45 = synth::FaceBrightness(optics, -root, -root);  // faces up and left
  EXPECT_GT(flank45, 0.05);
  EXPECT_LT(flank45, 0.5);
  const double wallFacingLight = synth::FaceBrightness(optics, -1, 0);
  EXPECT_GT(wallFacingLight, 0);
  EXPECT_LT(wallFacingLight, 0.1);
  EXPECT_EQ(synth::FaceBrightness(optics, 1, 0), 0);  // faces away from the light
  synth::LightSectionOptics straight = optics;
  straight.lightTilt = 0;
  EXPECT_EQ(synth::FaceBrightness(straight, -1, 0), 0);  // grazing light on both walls
}

synth::LightSection Uniform(float radiance) {
  synth::LightSection s;
  s.width = 256;
  s.height = 256;
  s.radiance.assign(256 * 256, radiance);
  return s;
}

double StandardDeviation(const Bitmap& frame) {
  double sum = 0, squares = 0;
  const int n = frame.Width() * frame.Height();
  for (int y = 0; y < frame.Height(); ++y) {
    for (int x = 0; x < frame.Width(); ++x) {
      const double v = frame.ByteAt(x, y, 0);
      sum += v;
      squares += v * v;
    }
  }
  const double mean = sum / n;
  return std::sqrt(squares / n - mean * mean);
}

// Saturation reads full scale; the noise grows with the signal (read noise
// in the dark, shot noise on top in the light).
TEST(LightSection, ExposureClipsAndNoiseGrowsWithSignal) {
  const synth::SensorNoise noise{1.5, 4, 3};
  Bitmap frame;
  synth::ExposeFrame(Uniform(2.0f), 1.0, noise, frame);
  EXPECT_EQ(frame.ByteAt(10, 10, 0), 255);
  EXPECT_EQ(StandardDeviation(frame), 0);
  synth::ExposeFrame(Uniform(40.0f / 255), 1.0, noise, frame);
  const double dark = StandardDeviation(frame);
  synth::ExposeFrame(Uniform(200.0f / 255), 1.0, noise, frame);
  const double light = StandardDeviation(frame);
  EXPECT_NEAR(dark, std::sqrt(1.5 * 1.5 + 16 * 40 / 255.0), 0.3);
  EXPECT_NEAR(light, std::sqrt(1.5 * 1.5 + 16 * 200 / 255.0), 0.3);
  EXPECT_EQ(frame.ByteAt(5, 5, 0), frame.ByteAt(5, 5, 2));
}

// The model's series for accuracy work: frame k at exposure k with its own
// noise; the gauge's bracket runs from 1/4 s to 1/1000 s.
TEST(LightSection, ModelSeriesFollowsTheExposures) {
  const std::vector<double> exposures = synth::ScanExposures(1.0 / 2500);
  ASSERT_EQ(exposures.size(), 14u);
  EXPECT_DOUBLE_EQ(exposures.front(), 625);
  EXPECT_DOUBLE_EQ(exposures.back(), 2.5);
  const std::vector<Bitmap> frames =
      synth::MakeExposureSeries(FlatChannel(), synth::LightSectionOptics{}, {0.2, 0.4}, {0, 0, 1}, 1280, 600);
  ASSERT_EQ(frames.size(), 2u);
  const int first = frames[0].ByteAt(200, 300, 0);
  const int second = frames[1].ByteAt(200, 300, 0);
  EXPECT_NEAR(second, 2 * first, 1);
  EXPECT_NEAR(first, 0.2 * 255, 1);
}

}  // namespace
