#include "imaging/pixel_ops.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "imaging/cpu_features.h"
#include "imaging/filter3x3.h"
#include "imaging/trapez.h"
#include "reference_pixel_ops.h"
#include "test_images.h"

namespace {

// One operation in its fast and its reference form, both writing into a
// destination that starts as a second random picture (so untouched bytes show).
struct OperationCase {
  std::string name;
  std::function<void(const Bitmap&, Bitmap&)> fast;
  std::function<void(const Bitmap&, Bitmap&)> plain;
};

std::vector<OperationCase> Operations() {
  return {
      {"Img2Gray", [](const Bitmap& s, Bitmap& d) { Img2Gray(s, d, false); },
       [](const Bitmap& s, Bitmap& d) { reference::Img2Gray(s, d, false); }},
      {"Img2GrayInv", [](const Bitmap& s, Bitmap& d) { Img2Gray(s, d, true); },
       [](const Bitmap& s, Bitmap& d) { reference::Img2Gray(s, d, true); }},
      {"ImgCh", [](const Bitmap& s, Bitmap& d) { ImgCh(s, d, 2, 0); },
       [](const Bitmap& s, Bitmap& d) { reference::ImgCh(s, d, 2, 0); }},
      {"ImgChW", [](const Bitmap& s, Bitmap& d) { ImgChW(s, d, 0, 2, 0.9); },
       [](const Bitmap& s, Bitmap& d) { reference::ImgChW(s, d, 0, 2, 0.9); }},
      {"ImgChWThird", [](const Bitmap& s, Bitmap& d) { ImgChW(s, d, 2, 1, 1.0 / 3); },
       [](const Bitmap& s, Bitmap& d) { reference::ImgChW(s, d, 2, 1, 1.0 / 3); }},
      {"InvImg", [](const Bitmap& s, Bitmap& d) { InvImg(s, d); },
       [](const Bitmap& s, Bitmap& d) { reference::InvImg(s, d); }},
      {"Contrast2", [](const Bitmap& s, Bitmap& d) { Contrast(s, d, 2); },
       [](const Bitmap& s, Bitmap& d) { reference::Contrast(s, d, 2); }},
      {"ContrastMinus7", [](const Bitmap& s, Bitmap& d) { Contrast(s, d, -7); },
       [](const Bitmap& s, Bitmap& d) { reference::Contrast(s, d, -7); }},
      {"Sharpbmp", [](const Bitmap& s, Bitmap& d) { Sharpbmp(s, d); },
       [](const Bitmap& s, Bitmap& d) { reference::Sharpbmp(s, d); }},
      {"Smooth", [](const Bitmap& s, Bitmap& d) { Smooth(s, d); },
       [](const Bitmap& s, Bitmap& d) { reference::Smooth(s, d); }},
      {"ApplyFilterOdd",
       [](const Bitmap& s, Bitmap& d) { ApplyFilter(s, d, {{{0.3, -0.7, 0.125}, {1.1, 0.5, -0.2}, {0, 0.25, 0.05}}}); },
       [](const Bitmap& s, Bitmap& d) {
         reference::ApplyFilter(s, d, {{{0.3, -0.7, 0.125}, {1.1, 0.5, -0.2}, {0, 0.25, 0.05}}});
       }},
      {"TrapezLin", [](const Bitmap& s, Bitmap& d) { TrapezLin(s, d, 180, 0.37); },
       [](const Bitmap& s, Bitmap& d) { reference::TrapezLin(s, d, 180, 0.37); }},
      {"TrapezLinSteep", [](const Bitmap& s, Bitmap& d) { TrapezLin(s, d, 600, -2.5); },
       [](const Bitmap& s, Bitmap& d) { reference::TrapezLin(s, d, 600, -2.5); }},
  };
}

class OperationMatchesReference : public testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(OperationMatchesReference, ByteForByteOnRandomPictures) {
  const auto [width, height] = GetParam();
  const Bitmap source = test_images::Random(width, height, 11);
  const Bitmap start = test_images::Random(width, height, 12);
  // With the processor's vector extensions and with the SSE2 baseline alone.
  for (bool extensions : {true, false}) {
    pixel::AllowVectorExtensions(extensions);
    for (const OperationCase& operation : Operations()) {
      Bitmap fast = start, plain = start;
      operation.fast(source, fast);
      operation.plain(source, plain);
      EXPECT_TRUE(fast == plain) << operation.name << " at " << width << " x " << height << ", extensions "
                                 << extensions;
    }
  }
  pixel::AllowVectorExtensions(true);
}

// The camera width, odd widths for the vector tails, and the smallest sizes a
// 3 x 3 filter and the trapezoid correction still write.
INSTANTIATE_TEST_SUITE_P(Sizes, OperationMatchesReference,
                         testing::Values(std::tuple{1280, 90}, std::tuple{331, 57}, std::tuple{37, 9}, std::tuple{4, 3},
                                         std::tuple{5, 4}));

Bitmap Uniform(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  Bitmap bitmap(width, height);
  bitmap.Fill(b, g, r);
  return bitmap;
}

TEST(Contrast, ScalesAroundTheMiddle) {
  struct Case {
    int f;
    std::uint8_t in, out;
  };
  for (const Case c : {Case{10, 200, 255}, Case{10, 100, 73}, Case{0, 200, 200}, Case{10, 127, 127},
                       Case{2, 0, 0}, Case{-10, 250, 127}}) {
    const Bitmap source = Uniform(3, 2, c.in, c.in, c.in);
    Bitmap out(3, 2);
    ASSERT_TRUE(Contrast(source, out, c.f));
    EXPECT_EQ(out.Pixel(2, 1)[1], c.out) << "f " << c.f << " byte " << int(c.in);
  }
}

TEST(Img2Gray, PureBlueGivesRoundedWeight) {
  const Bitmap blue = Uniform(2, 2, 255, 0, 0);
  Bitmap grey(2, 2), inverted(2, 2);
  Img2Gray(blue, grey, false);
  Img2Gray(blue, inverted, true);
  EXPECT_EQ(grey.Pixel(1, 1)[0], 38);
  EXPECT_EQ(grey.Pixel(1, 1)[2], 38);
  EXPECT_EQ(inverted.Pixel(0, 0)[1], 217);
}

TEST(ImgChW, KeepsTheProfileRowAndLimitsTo255) {
  Bitmap source = Uniform(6, 4, 255, 0, 0);
  Bitmap target = Uniform(6, 4, 0, 0, 255);
  target.Pixel(3, 3)[2] = 7;  // a profile byte in the last row
  ASSERT_TRUE(ImgChW(source, target, 0, 2, 0.9));
  EXPECT_EQ(target.Pixel(0, 0)[2], 255);  // 229.5 + 25.5 = 255 exactly
  EXPECT_EQ(target.Pixel(3, 3)[2], 7);
  EXPECT_EQ(target.Pixel(0, 3)[2], 255);
  // A weight outside 0..1 must not wrap a negative blend into a bright byte.
  Bitmap dark = Uniform(2, 2, 0, 0, 0);
  ASSERT_TRUE(ImgChW(Uniform(2, 2, 255, 0, 0), dark, 0, 1, -1.0));
  EXPECT_EQ(dark.Pixel(0, 0)[1], 0);
}

TEST(ImgCh, CopiesOneChannelAboveTheLastRow) {
  const Bitmap source = test_images::Random(5, 3, 3);
  Bitmap target = test_images::Random(5, 3, 4);
  const Bitmap before = target;
  ASSERT_TRUE(ImgCh(source, target, 1, 2));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(target.Pixel(x, y)[2], y < 2 ? source.Pixel(x, y)[1] : before.Pixel(x, y)[2]);
      EXPECT_EQ(target.Pixel(x, y)[0], before.Pixel(x, y)[0]);
    }
  }
}

TEST(Filters, UniformPictureIsReproducedInsideTheBorder) {
  const Bitmap uniform = Uniform(9, 7, 17, 140, 255);
  for (auto* filter : {&Sharpbmp, &Smooth}) {
    Bitmap out = Uniform(9, 7, 1, 2, 3);
    ASSERT_TRUE(filter(uniform, out));
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 9; ++x) {
        const bool inside = x > 0 && y > 0 && x < 8 && y < 6;
        EXPECT_EQ(out.Pixel(x, y)[0], inside ? 17 : 1);
        EXPECT_EQ(out.Pixel(x, y)[2], inside ? 255 : 3);
      }
    }
  }
}

TEST(Filters, SameBitmapReadsTheOriginal) {
  const Bitmap source = test_images::Random(20, 10, 5);
  Bitmap expected = source;
  reference::Smooth(source, expected);
  Bitmap inPlace = source;
  ASSERT_TRUE(Smooth(inPlace, inPlace));
  EXPECT_TRUE(inPlace == expected);
}

TEST(TrapezLin, FactorZeroCopiesAndFillsTheSecondLastColumn) {
  const Bitmap source = test_images::Random(10, 4, 8);
  Bitmap out = test_images::Random(10, 4, 9);
  const Bitmap before = out;
  ASSERT_TRUE(TrapezLin(source, out, 2, 0.0));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x <= 7; ++x) EXPECT_EQ(out.Pixel(x, y)[1], source.Pixel(x, y)[1]);
    EXPECT_EQ(out.Pixel(8, y)[0], source.Pixel(6, y)[0]);  // offset = Breite gives column Width-4
    EXPECT_EQ(out.Pixel(9, y)[2], before.Pixel(9, y)[2]);
  }
}

TEST(TrapezLin, OffsetsPastTheWidthTakeColumnWidthMinus4) {
  // Far below the top row with a large factor the left columns read past the
  // right edge and the right columns before the left edge.
  const Bitmap source = test_images::Random(12, 3, 21);
  Bitmap out(12, 3);
  ASSERT_TRUE(TrapezLin(source, out, -1000, 50.0));
  EXPECT_EQ(out.Pixel(0, 2)[0], source.Pixel(8, 2)[0]);
  EXPECT_EQ(out.Pixel(1, 2)[1], source.Pixel(8, 2)[1]);
  EXPECT_EQ(out.Pixel(10, 2)[2], source.Pixel(0, 2)[2]);
}

TEST(TrapezLin, FramesInPlaceEqualCopyAndCorrect) {
  std::vector<Bitmap> frames = {test_images::Random(64, 20, 1), test_images::Random(64, 20, 2),
                                test_images::Random(30, 9, 3)};
  std::vector<Bitmap> expected = frames;
  for (Bitmap& frame : expected) {
    const Bitmap copy = frame;
    reference::TrapezLin(copy, frame, 5, 0.8);
  }
  TrapezLinFrames(frames, 5, 0.8);
  for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_TRUE(frames[i] == expected[i]) << "frame " << i;
}

TEST(GetImgBrightnes, MeanOfARectangle) {
  Bitmap picture = Uniform(1280, 1024, 100, 3, 4);
  EXPECT_EQ(GetImgBrightnes(picture, {320, 300, 960, 340}, 0), 100);
  picture.Pixel(320, 300)[0] = 99;  // one less in the sum: the mean truncates
  EXPECT_EQ(GetImgBrightnes(picture, {320, 300, 960, 340}, 0), 99);
  EXPECT_EQ(GetImgBrightnes(picture, {320, 300, 960, 340}, 2),
            reference::GetImgBrightnes(picture, 320, 300, 960, 340, 2));
}

TEST(BadInput, DefinedResultsWithoutOutOfBoundsAccess) {
  const Bitmap small = test_images::Random(5, 5, 1);
  Bitmap large = test_images::Random(8, 8, 2);
  const Bitmap before = large;
  EXPECT_FALSE(Contrast(small, large, 2));
  EXPECT_FALSE(Sharpbmp(small, large));
  EXPECT_FALSE(TrapezLin(small, large, 0, 1.0));
  EXPECT_FALSE(ImgCh(large, large, 3, 0));
  EXPECT_TRUE(large == before);

  // A larger source serves a smaller destination: its rows are read as far as needed.
  Bitmap tiny(3, 3);
  EXPECT_TRUE(Smooth(large, tiny));
  EXPECT_TRUE(Img2Gray(large, tiny, false));

  for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 2}, std::pair{3, 1}, std::pair{0, 0}}) {
    const Bitmap source = test_images::Random(w, h, 4);
    Bitmap out = source;
    EXPECT_TRUE(TrapezLin(source, out, 0, 3.0));
    EXPECT_TRUE(out == source) << w << " x " << h;  // too narrow to correct: unchanged copy
    EXPECT_TRUE(Smooth(source, out));
    EXPECT_TRUE(Img2Gray(source, out, true));
    EXPECT_TRUE(ImgChW(source, out, 0, 2, 0.5));
  }
  EXPECT_EQ(GetImgBrightnes(small, {-10, -10, 100, 100}, 0), GetImgBrightnes(small, {0, 0, 5, 5}, 0));
  EXPECT_EQ(GetImgBrightnes(small, {4, 4, 4, 9}, 0), 0);
  EXPECT_EQ(GetImgBrightnes(small, {50, 50, 60, 60}, 1), 0);
}

}  // namespace
