#include "imaging/profile_row.h"

#include <gtest/gtest.h>

namespace {

TEST(ProfileRow, PacksAndUnpacksTheLine) {
  Bitmap picture(1280, 1024);
  TProfileLine line{};
  for (int x = 0; x < 1280; ++x) line[x] = (x * 7) % 1025;
  line[3] = -1;
  line[4] = 1024;  // equal to the height: kept
  line[5] = 1025;  // one more: no profile
  PackProfileRow(picture, line);
  EXPECT_EQ(picture.Pixel(3, 1023)[0], 0xFF);
  EXPECT_EQ(picture.Pixel(3, 1023)[2], 0xFF);
  EXPECT_EQ(picture.Pixel(4, 1023)[1], 4);
  EXPECT_EQ(picture.Pixel(4, 1023)[2], 0);

  TProfileLine decoded;
  decoded.fill(5);
  UnpackProfileRow(picture, decoded);
  TProfileLine expected = line;
  expected[5] = -1;
  EXPECT_EQ(decoded, expected);
}

TEST(ProfileRow, OtherSizes) {
  TProfileLine line{};
  line.fill(3);
  Bitmap narrow(10, 4);
  PackProfileRow(narrow, line);
  TProfileLine decoded;
  UnpackProfileRow(narrow, decoded);
  for (int x = 0; x < 1281; ++x) EXPECT_EQ(decoded[x], x < 10 ? 3 : 0) << x;

  Bitmap wide(1400, 2);
  wide.Fill(9, 9, 9);
  PackProfileRow(wide, line);
  EXPECT_EQ(wide.Pixel(1300, 1)[0], 9);  // beyond the line's columns: untouched
  UnpackProfileRow(wide, decoded);
  EXPECT_EQ(decoded[1279], -1);  // 3 > height 2
  EXPECT_EQ(decoded[1280], -1);  // column 1280 of a wide image carries entry 1280

  Bitmap empty;
  PackProfileRow(empty, line);
  UnpackProfileRow(empty, decoded);
  EXPECT_EQ(decoded, TProfileLine{});
}

}  // namespace
