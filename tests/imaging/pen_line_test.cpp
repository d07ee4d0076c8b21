#include <gtest/gtest.h>

#include <cmath>

#include "imaging/pen_line.h"

namespace {

bool IsPainted(const Bitmap& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.Pixel(x, y);
  return p[0] == 0x33 && p[1] == 0x22 && p[2] == 0x11;
}

constexpr TColor kColour = 0x332211;  // red 0x11, green 0x22, blue 0x33

TEST(PenLine, HorizontalLineCoversItsWidth) {
  Bitmap bitmap(100, 40);
  DrawPenLine(bitmap, 10, 20, 90, 20, 8, kColour);
  for (int y = 0; y < 40; ++y) EXPECT_EQ(IsPainted(bitmap, 50, y), y >= 16 && y <= 23) << y;
  // Round ends: four pixels beyond the end point on the line, not at the corner.
  EXPECT_TRUE(IsPainted(bitmap, 93, 20));
  EXPECT_FALSE(IsPainted(bitmap, 94, 20));
  EXPECT_FALSE(IsPainted(bitmap, 93, 16));
}

TEST(PenLine, EveryPixelWithinHalfTheWidthAndNoOther) {
  Bitmap bitmap(120, 120);
  DrawPenLine(bitmap, 5, 10, 110, 100, 6, kColour);
  const double dx = 105, dy = 90, length = std::hypot(dx, dy);
  for (int y = 0; y < 120; ++y) {
    for (int x = 20; x < 90; ++x) {  // away from the ends
      const double distance = std::fabs((x + 0.5 - 5) * dy - (y + 0.5 - 10) * dx) / length;
      if (std::fabs(distance - 3) < 1e-9) continue;
      ASSERT_EQ(IsPainted(bitmap, x, y), distance < 3) << x << "," << y;
    }
  }
}

TEST(PenLine, EndsOutsideTheBitmapAreClipped) {
  Bitmap bitmap(64, 32);
  DrawPenLine(bitmap, -1000, 16, 5000, 16, 8, kColour);
  EXPECT_TRUE(IsPainted(bitmap, 0, 16) && IsPainted(bitmap, 63, 16));
  Bitmap untouched(64, 32);
  Bitmap copy = untouched;
  DrawPenLine(copy, -50, -50, -10, -10, 8, kColour);
  DrawPenLine(copy, 0, 0, 60, 30, std::nan(""), kColour);
  EXPECT_EQ(copy, untouched);
}

}  // namespace
