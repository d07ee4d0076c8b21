#include "imaging/exposure_combination.h"

#include <gtest/gtest.h>

#include "imaging/cpu_features.h"
#include "imaging/frame_mean.h"
#include "imaging/profile_row.h"
#include "reference_pixel_ops.h"
#include "synth/exposure_series.h"
#include "test_images.h"

namespace {

synth::ChannelGeometry Trapezoid(double surfaceRow, double depth) {
  synth::ChannelGeometry geometry;
  geometry.shape = synth::ChannelShape::Trapezoid;
  geometry.surfaceRow = surfaceRow;
  geometry.depth = depth;
  geometry.flankAngle = 20;
  geometry.noise = 2;
  return geometry;
}

const std::vector<Bitmap>& CameraSeries() {
  // Camera width (the combination works in fixed columns), fewer rows to keep the tests quick.
  static const std::vector<Bitmap> series = synth::MakeExposureSeries(Trapezoid(250, 200), {}, 1280, 640);
  return series;
}

struct Combined {
  Bitmap rbmp, bmp32;
  TProfileLine line{};
  int result = 0;
  bool operator==(const Combined&) const = default;
};

Combined Fast(const std::vector<Bitmap>& frames, int count1, int count2, int th = 50) {
  Combined c;
  c.result = Kombinieren(c.rbmp, c.bmp32, frames, count1, count2, th, th, c.line);
  return c;
}

Combined Plain(const std::vector<Bitmap>& frames, int count1, int count2, int th = 50) {
  Combined c;
  c.result = reference::Kombinieren(c.rbmp, c.bmp32, frames, count1, count2, th, th, c.line);
  return c;
}

TEST(Kombinieren, MatchesTheReferenceOnAScan) {
  const Combined fast = Fast(CameraSeries(), 0, 14);
  const Combined plain = Plain(CameraSeries(), 0, 14);
  EXPECT_EQ(fast.result, plain.result);
  EXPECT_EQ(fast.line, plain.line);
  EXPECT_TRUE(fast.rbmp == plain.rbmp);
  EXPECT_TRUE(fast.bmp32 == plain.bmp32);
  // The scan finds the surface at row 250 and the floor 200 rows lower.
  EXPECT_NEAR(fast.line[200], 250, 2);
  EXPECT_NEAR(fast.line[640], 450, 3);
  EXPECT_GE(fast.result, 0);
  EXPECT_LE(fast.result, 13);
}

TEST(Kombinieren, MatchesTheReferenceOnOtherSeries) {
  // A deeper channel, a subrange of the frames with the bevel threshold, and
  // random pictures where every step meets noise.
  const auto deep = synth::MakeExposureSeries(Trapezoid(120, 380), {9, 5.0, 0.7}, 1280, 560);
  std::vector<Bitmap> noise;
  for (int k = 0; k < 5; ++k) noise.push_back(test_images::Random(1100, 300, 40 + k));
  EXPECT_TRUE(Fast(deep, 0, 9) == Plain(deep, 0, 9));
  EXPECT_TRUE(Fast(deep, 2, 8, 80) == Plain(deep, 2, 8, 80));
  EXPECT_TRUE(Fast(noise, 0, 5, 200) == Plain(noise, 0, 5, 200));
  pixel::AllowVectorExtensions(false);
  EXPECT_TRUE(Fast(deep, 0, 9) == Plain(deep, 0, 9)) << "SSE2 baseline";
  pixel::AllowVectorExtensions(true);
}

TEST(Kombinieren, LastRowDecodesToTheLine) {
  const Combined fast = Fast(CameraSeries(), 0, 14);
  TProfileLine decoded{};
  UnpackProfileRow(fast.rbmp, decoded);
  EXPECT_EQ(decoded, fast.line);
  EXPECT_EQ(fast.line[1280], 0);
}

TEST(Kombinieren, FewerThanTwoFramesCopyFrameZero) {
  const auto& series = CameraSeries();
  for (auto [count1, count2] : {std::pair{0, 1}, std::pair{5, 6}, std::pair{7, 3}}) {
    Combined c;
    c.line.fill(9);
    c.result = Kombinieren(c.rbmp, c.bmp32, series, count1, count2, 50, 50, c.line);
    EXPECT_EQ(c.result, (count1 + count2) / 2);
    EXPECT_TRUE(c.rbmp == series[0]);
    EXPECT_TRUE(c.bmp32 == series[0]);
    EXPECT_EQ(c.line, TProfileLine{});
  }
}

TEST(Kombinieren, DarkPictureGivesNoProfile) {
  const std::vector<Bitmap> dark(4, Bitmap(1280, 64));
  const Combined fast = Fast(dark, 0, 4);
  EXPECT_TRUE(fast == Plain(dark, 0, 4));
  for (int x = 0; x < 1280; ++x) ASSERT_LE(fast.line[x], 0) << x;
}

TEST(Kombinieren, BadInputGivesADefinedResult) {
  const auto& series = CameraSeries();
  // A range beyond the frames given is limited to them.
  const std::vector<Bitmap> five(series.begin(), series.begin() + 5);
  Combined limited = Fast(five, -3, 40);
  Combined exact = Fast(five, 0, 5);
  EXPECT_TRUE(limited.rbmp == exact.rbmp);
  EXPECT_EQ(limited.line, exact.line);

  // Frames of unequal size count as cut or padded with black to the size of
  // the darkest frame.
  std::vector<Bitmap> mixed = {test_images::Random(300, 50, 1), test_images::Random(200, 80, 2),
                               test_images::Random(220, 70, 3), test_images::Random(250, 60, 4)};
  std::vector<Bitmap> padded;
  for (const Bitmap& frame : mixed) {
    Bitmap p(250, 60);
    for (int y = 0; y < std::min(60, frame.Height()); ++y) {
      for (int x = 0; x < std::min(250, frame.Width()); ++x) {
        for (int z = 0; z < 3; ++z) p.Pixel(x, y)[z] = frame.Pixel(x, y)[z];
      }
    }
    padded.push_back(p);
  }
  EXPECT_TRUE(Fast(mixed, 0, 4) == Plain(padded, 0, 4));

  // With fewer than four frames the step-down of a dark surface column stops
  // at the first frame of the range instead of leaving it.
  const std::vector<Bitmap> dark(3, Bitmap(1280, 64));
  for (int count2 : {2, 3}) {
    const Combined c = Fast(dark, 0, count2);
    EXPECT_GE(c.result, 0);
    EXPECT_LT(c.result, count2);
  }

  // Tiny and odd sizes, wider than a profile line, and no frames at all.
  for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{1500, 40}}) {
    const std::vector<Bitmap> frames(3, test_images::Random(w, h, 5));
    const Combined c = Fast(frames, 0, 3);
    EXPECT_EQ(c.rbmp.Width(), w);
    EXPECT_EQ(c.line[1280], 0);
  }
  Combined none;
  EXPECT_EQ(Kombinieren(none.rbmp, none.bmp32, {}, 0, 14, 50, 50, none.line), 7);
  EXPECT_TRUE(none.rbmp.Empty());
}

TEST(Mitteln, MatchesTheReferenceAndLimitsTheRange) {
  const auto& series = CameraSeries();
  for (auto [count1, count2] : {std::pair{3, 10}, std::pair{0, 14}, std::pair{9, 11}, std::pair{4, 5}}) {
    Bitmap fast, plain;
    Mitteln(fast, series, count1, count2);
    reference::Mitteln(plain, series, count1, count2);
    EXPECT_TRUE(fast == plain) << count1 << ".." << count2;
  }
  Bitmap out;
  Mitteln(out, series, 10, 14);  // empty after the limit to 10 frames
  EXPECT_TRUE(out == series[0]);
  Mitteln(out, series, -2, 3);
  Bitmap expected;
  reference::Mitteln(expected, series, 0, 3);
  EXPECT_TRUE(out == expected);
  Mitteln(out, {}, 0, 5);
  EXPECT_TRUE(out.Empty());
  const std::vector<Bitmap> mixed = {test_images::Random(9, 4, 1), test_images::Random(3, 2, 2),
                                     test_images::Random(12, 7, 3)};
  Mitteln(out, mixed, 0, 3);
  EXPECT_EQ(out.Width(), 9);
  EXPECT_EQ(out.Pixel(8, 3)[0], (mixed[0].Pixel(8, 3)[0] + mixed[2].Pixel(8, 3)[0]) / 3);
}

// The light-section model's series of the gauge's bracket: the combination
// chooses frames inside the bracket and finds the surface and the floor on
// their rows, the flanks within a row or two.
TEST(Kombinieren, FindsTheProfileInTheModelsPictures) {
  synth::ChannelGeometry g = Trapezoid(300, 120);
  g.width = 400;
  const std::vector<Bitmap> frames =
      synth::MakeExposureSeries(g, synth::LightSectionOptics{}, synth::ScanExposures(), synth::SensorNoise{});
  Combined c;
  c.result = Kombinieren(c.rbmp, c.bmp32, frames, 0, 14, 50, 50, c.line);
  EXPECT_GE(c.result, 2);
  EXPECT_LE(c.result, 11);
  for (int x : {150, 300, 1000, 1150}) EXPECT_NEAR(c.line[x], 300, 1) << x;
  for (int x : {600, 640, 680}) EXPECT_NEAR(c.line[x], 420, 1) << x;
  for (int x : {470, 810}) EXPECT_NEAR(c.line[x], synth::ProfileRowAt(g, x), 2) << x;
}

}  // namespace
