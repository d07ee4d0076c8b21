#include "imaging/jpeg_export.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>
#include <jpeglib.h>

#include "tests/temp_folder.h"

namespace {

// Decodes with libjpeg's default error handling (a test failure aborts anyway).
Bitmap DecodeJpeg(const std::string& bytes) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  Bitmap image(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.Row(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return image;
}

TEST(JpegExport, WritesAPictureOfTheImage) {
  TempFolder folder;
  Bitmap image(96, 64);
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      std::uint8_t* p = image.Pixel(x, y);
      p[0] = static_cast<std::uint8_t>(x * 2);
      p[1] = static_cast<std::uint8_t>(y * 3);
      p[2] = x < 48 ? 200 : 40;
    }
  }
  auto file = folder / "picture.jpg";
  ASSERT_TRUE(SaveBmpAsJpeg(image, file).ok);
  std::string bytes = ReadBytes(file);
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9");
  Bitmap decoded = DecodeJpeg(bytes);
  ASSERT_EQ(decoded.Width(), 96);
  ASSERT_EQ(decoded.Height(), 64);
  for (auto [x, y] : {std::pair{10, 10}, {80, 50}, {30, 60}}) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(decoded.ByteAt(x, y, c), image.ByteAt(x, y, c), 12) << x << "," << y;
  }
  // Quality 75 is smaller than a near-lossless picture of the same image.
  ASSERT_TRUE(SaveBmpAsJpeg(image, folder / "fine.jpg", 98).ok);
  EXPECT_LT(bytes.size(), ReadBytes(folder / "fine.jpg").size());
}

TEST(JpegExport, FailuresAreReported) {
  TempFolder folder;
  WriteBytes(folder / "old.jpg", "old");
  EXPECT_FALSE(SaveBmpAsJpeg(Bitmap(), folder / "old.jpg").ok);
  EXPECT_EQ(ReadBytes(folder / "old.jpg"), "old");
  FileStatus status = SaveBmpAsJpeg(Bitmap(8, 8), folder / "missing" / "x.jpg");
  EXPECT_FALSE(status.ok);
  EXPECT_NE(status.message.find("x.jpg"), std::string::npos);
}

}  // namespace
