#include "imaging/antialiased_line.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

// Records the coverage each pixel receives: the canvas starts black and the
// line is white, so the blended byte is Round(255 c).
class CoverageCanvas : public PixelCanvas {
public:
  int Width() const override { return 100; }
  int Height() const override { return 100; }
  TColor GetPixel(int x, int y) const override {
    const auto it = pixels.find({x, y});
    return it == pixels.end() ? 0 : it->second;
  }
  void SetPixel(int x, int y, TColor color) override { pixels[{x, y}] = color; }
  int Red(int x, int y) const { return static_cast<int>(GetPixel(x, y) & 0xFF); }
  std::map<std::pair<int, int>, TColor> pixels;
};

constexpr TColor kWhite = 0x00FFFFFF;

TEST(DrawAntialisedLine, ZeroLengthDrawsNothing) {
  CoverageCanvas canvas;
  DrawAntialisedLine(canvas, 10, 10, 10, 10, kWhite);
  EXPECT_TRUE(canvas.pixels.empty());
}

TEST(DrawAntialisedLine, VerticalLineCoversItsColumn) {
  CoverageCanvas canvas;
  DrawAntialisedLine(canvas, 5, 2, 5, 8, kWhite);
  for (int y = 3; y <= 7; ++y) {
    EXPECT_EQ(canvas.Red(5, y), 255) << y;
    EXPECT_EQ(canvas.Red(6, y), 0) << y;
  }
  EXPECT_EQ(canvas.Red(5, 2), 128);  // Round(127.5) = 128 (even)
  EXPECT_EQ(canvas.Red(5, 8), 128);
}

TEST(DrawAntialisedLine, HalfRowHorizontalSplitsCoverage) {
  CoverageCanvas canvas;
  DrawAntialisedLine(canvas, 0, 4.5, 6, 4.5, kWhite);
  for (int x = 1; x <= 5; ++x) {
    EXPECT_EQ(canvas.Red(x, 4), 128) << x;  // coverage 0.5
    EXPECT_EQ(canvas.Red(x, 5), 128) << x;
  }
  for (int x : {0, 6}) {
    EXPECT_EQ(canvas.Red(x, 4), 64) << x;  // coverage 0.25: Round(63.75)
    EXPECT_EQ(canvas.Red(x, 5), 64) << x;
  }
  EXPECT_EQ(canvas.pixels.size(), 14u);
}

TEST(DrawAntialisedLine, DirectionDoesNotMatter) {
  for (auto [x1, y1, x2, y2] : {std::tuple{1.3, 2.7, 40.2, 17.9}, std::tuple{3.0, 1.0, 9.5, 60.25}}) {
    CoverageCanvas forward, backward;
    DrawAntialisedLine(forward, x1, y1, x2, y2, 0x0012A0F0);
    DrawAntialisedLine(backward, x2, y2, x1, y1, 0x0012A0F0);
    EXPECT_EQ(forward.pixels, backward.pixels);
  }
}

TEST(DrawAntialisedLine, EndPointsRoundHalvesToEven) {
  CoverageCanvas left, right;
  DrawAntialisedLine(left, 2.5, 10, 8, 10, kWhite);
  EXPECT_TRUE(left.pixels.contains({2, 10}));
  EXPECT_FALSE(left.pixels.contains({3, 9}));
  DrawAntialisedLine(right, 3.5, 10, 8, 10, kWhite);
  EXPECT_TRUE(right.pixels.contains({4, 10}));
  EXPECT_FALSE(right.pixels.contains({3, 10}));
}

// Beyond the top and left edges the coverage stays within 0..1: the two
// pixels of a column share it, nothing wraps round.
TEST(DrawAntialisedLine, CoverageStaysWithinOneAboveTheTopEdge) {
  CoverageCanvas canvas;
  DrawAntialisedLine(canvas, 1, -0.25, 9, -0.25, kWhite);
  for (int x = 2; x <= 8; ++x) {
    EXPECT_EQ(canvas.Red(x, 0), 191) << x;  // Round(255 * 0.75)
    EXPECT_EQ(canvas.Red(x, -1), 64) << x;  // Round(255 * 0.25)
  }
  CoverageCanvas left;
  DrawAntialisedLine(left, -0.75, 5, 5, 5, kWhite);
  EXPECT_EQ(left.Red(-1, 5), 64);  // the end gap of a start 0.25 left of a pixel centre
  CoverageCanvas steep;
  DrawAntialisedLine(steep, 3, 4, 13, -30, kWhite);
  for (const auto& [pixel, colour] : steep.pixels) {
    if (pixel.second < -25 || pixel.second > 0) continue;  // away from the end points
    const int y = pixel.second;
    const int sum = steep.Red(pixel.first, y) + steep.Red(pixel.first + 1, y) + steep.Red(pixel.first - 1, y);
    EXPECT_NEAR(sum, 255, 1) << pixel.first << "," << y;
  }
}

TEST(BitmapCanvas, MapsColourBytesAndIgnoresOutsidePixels) {
  Bitmap picture(4, 3);
  BitmapCanvas canvas(picture);
  // $00BBGGRR: red 0x11, green 0x22, blue 0x33.
  DrawAntialisedLine(canvas, 0, 1, 3, 1, 0x00332211);
  const std::uint8_t* p = picture.Pixel(1, 1);
  EXPECT_EQ(p[0], 0x33);  // blue byte of the bitmap
  EXPECT_EQ(p[1], 0x22);
  EXPECT_EQ(p[2], 0x11);
  EXPECT_EQ(canvas.GetPixel(1, 1), 0x00332211u);
  // Coverage 0 leaves a pixel as it was.
  EXPECT_EQ(picture.Pixel(1, 2)[0], 0);
  // A line mostly outside the picture, and one with far-off end points.
  DrawAntialisedLine(canvas, -50, -3.5, 70, 9.25, 0x00FFFFFF);
  DrawAntialisedLine(canvas, -1e12, 1, 1e12, 1, 0x00FFFFFF);
  EXPECT_EQ(canvas.GetPixel(-1, 0), 0u);
  EXPECT_EQ(picture.Pixel(2, 1)[1], 0xFF);
}

}  // namespace
