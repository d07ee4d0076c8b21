// Windows bitmap files: the layouts Windows writes, round trips and the
// damaged files that must be refused without touching the target.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bmp_codec.h"
#include "tests/temp_folder.h"

namespace {

void Put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

struct BmpSpec {
  int width = 3;
  int height = 2;  // negative: top-down
  int bits = 24;
  int infoSize = 40;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> masks;     // after a 40-byte header
  std::vector<std::uint32_t> palette;   // 0x00RRGGBB
  std::vector<std::string> rows;        // file order, without padding
};

// A file as Windows writes it: rows padded to four bytes.
std::string MakeBmp(const BmpSpec& spec) {
  std::string info;
  if (spec.infoSize == 12) {
    Put32(info, 12);
    Put16(info, static_cast<unsigned>(spec.width));
    Put16(info, static_cast<unsigned>(spec.height));
    Put16(info, 1);
    Put16(info, static_cast<unsigned>(spec.bits));
  } else {
    Put32(info, static_cast<std::uint32_t>(spec.infoSize));
    Put32(info, static_cast<std::uint32_t>(spec.width));
    Put32(info, static_cast<std::uint32_t>(spec.height));
    Put16(info, 1);
    Put16(info, static_cast<unsigned>(spec.bits));
    Put32(info, spec.compression);
    Put32(info, 0);
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, static_cast<std::uint32_t>(spec.palette.size()));
    Put32(info, 0);
    for (std::uint32_t m : spec.masks) Put32(info, m);
    info.resize(static_cast<std::size_t>(spec.infoSize) + (spec.infoSize == 40 ? spec.masks.size() * 4 : 0), '\0');
  }
  std::string palette;
  for (std::uint32_t c : spec.palette) {
    palette.push_back(static_cast<char>(c & 0xFF));
    palette.push_back(static_cast<char>((c >> 8) & 0xFF));
    palette.push_back(static_cast<char>((c >> 16) & 0xFF));
    if (spec.infoSize != 12) palette.push_back('\0');
  }
  std::string pixels;
  for (std::string row : spec.rows) {
    row.resize((row.size() + 3) / 4 * 4, '\0');
    pixels += row;
  }
  std::string file = "BM";
  const std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size() + palette.size());
  Put32(file, static_cast<std::uint32_t>(offset + pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  return file + info + palette + pixels;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

// Pixel (x, y) as 0xRRGGBB.
std::uint32_t Rgb(const Bitmap& b, int x, int y) {
  const std::uint8_t* p = b.Pixel(x, y);
  return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

std::vector<std::uint32_t> AllPixels(const Bitmap& b) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) out.push_back(Rgb(b, x, y));
  }
  return out;
}

constexpr std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0x000000;

TEST(BmpCodec, DecodesTheLayoutsWindowsWrites) {
  const struct {
    const char* name;
    BmpSpec spec;
    int width, height;
    std::vector<std::uint32_t> pixels;  // top row first
  } cases[] = {
      {"24-bit bottom-up", {3, 2, 24, 40, 0, {}, {}, {Bytes({0, 0, 255, 0, 255, 0, 255, 0, 0}), Bytes({255, 255, 255, 0, 0, 0, 1, 2, 3})}},
       3, 2, {W, K, 0x030201, R, G, B}},
      {"24-bit top-down", {3, -2, 24, 40, 0, {}, {}, {Bytes({0, 0, 255, 0, 255, 0, 255, 0, 0}), Bytes({255, 255, 255, 0, 0, 0, 1, 2, 3})}},
       3, 2, {R, G, B, W, K, 0x030201}},
      {"32-bit", {2, 1, 32, 40, 0, {}, {}, {Bytes({1, 2, 3, 99, 4, 5, 6, 99})}}, 2, 1, {0x030201, 0x060504}},
      {"32-bit bit fields", {2, 1, 32, 40, 3, {0xFF0000, 0xFF00, 0xFF}, {}, {Bytes({1, 2, 3, 0, 4, 5, 6, 0})}}, 2, 1, {0x030201, 0x060504}},
      {"32-bit V5 header", {1, 1, 32, 124, 0, {}, {}, {Bytes({9, 8, 7, 0})}}, 1, 1, {0x070809}},
      {"8-bit palette", {3, 1, 8, 40, 0, {}, {R, G, B}, {Bytes({2, 0, 1})}}, 3, 1, {B, R, G}},
      {"8-bit index beyond the palette", {2, 1, 8, 40, 0, {}, {R, G}, {Bytes({1, 7})}}, 2, 1, {G, K}},
      {"4-bit palette, odd width", {3, 2, 4, 40, 0, {}, {K, R, G, B, W}, {Bytes({0x12, 0x30}), Bytes({0x44, 0x40})}}, 3, 2,
       {W, W, W, R, G, B}},
      {"1-bit palette, 10 wide", {10, 1, 1, 40, 0, {}, {K, W}, {Bytes({0xA5, 0xC0})}}, 10, 1, {W, K, W, K, K, W, K, W, W, W}},
      {"core header, 3-byte palette", {2, 1, 8, 12, 0, {}, {G, B}, {Bytes({1, 0})}}, 2, 1, {B, G}},
  };
  for (const auto& c : cases) {
    Bitmap bitmap;
    const FileStatus status = DecodeBmp(MakeBmp(c.spec), c.name, bitmap);
    ASSERT_TRUE(status.ok) << c.name << ": " << status.message;
    EXPECT_EQ(bitmap.Width(), c.width) << c.name;
    EXPECT_EQ(bitmap.Height(), c.height) << c.name;
    EXPECT_EQ(AllPixels(bitmap), c.pixels) << c.name;
  }
}

TEST(BmpCodec, RefusesDamagedFilesAndKeepsTheBitmap) {
  const BmpSpec good{3, 2, 24, 40, 0, {}, {}, {std::string(9, 'a'), std::string(9, 'b')}};
  const std::string valid = MakeBmp(good);
  auto with = [](BmpSpec spec, auto change) {
    change(spec);
    return MakeBmp(spec);
  };
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"empty", "", "not a bitmap"},
      {"PNG", "\x89PNG\r\n\x1a\n0000000000000000000000", "not a bitmap"},
      {"header cut", valid.substr(0, 30), "cut short"},
      {"pixels cut", valid.substr(0, valid.size() - 10), "cut short"},
      {"RLE8", with(good, [](BmpSpec& s) { s.compression = 1; s.bits = 8; s.palette = {R}; }), "compressed"},
      {"16 bits", with(good, [](BmpSpec& s) { s.bits = 16; }), "16 bits"},
      {"odd masks", with(good, [](BmpSpec& s) { s.bits = 32; s.compression = 3; s.masks = {0xF800, 0x7E0, 0x1F}; }), "masks"},
      {"width 0", with(good, [](BmpSpec& s) { s.width = 0; }), "empty"},
      {"negative width", with(good, [](BmpSpec& s) { s.width = -3; }), "empty"},
      {"huge", with(good, [](BmpSpec& s) { s.width = 100000; s.height = 100000; }), "too large"},
      {"header size 20", with(good, [](BmpSpec& s) { s.infoSize = 20; }), "info header"},
      {"palette cut", MakeBmp({2, 1, 8, 40, 0, {}, {R, G}, {}}).substr(0, 14 + 40 + 5), "palette"},
  };
  for (const auto& c : cases) {
    Bitmap bitmap(2, 2);
    bitmap.Fill(1, 2, 3);
    const Bitmap before = bitmap;
    const FileStatus status = DecodeBmp(c.bytes, "\"logo.bmp\"", bitmap);
    EXPECT_FALSE(status.ok) << c.name;
    EXPECT_NE(status.message.find("logo.bmp"), std::string::npos) << c.name << ": " << status.message;
    EXPECT_NE(status.message.find(c.reason), std::string::npos) << c.name << ": " << status.message;
    EXPECT_EQ(bitmap, before) << c.name;
  }
}

TEST(BmpCodec, EncodedFilesDecodeToTheSamePixels) {
  for (const auto& [width, height] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{200, 78}, std::pair{5, 7}}) {
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        std::uint8_t* p = bitmap.Pixel(x, y);
        p[0] = static_cast<std::uint8_t>(x * 7 + y);
        p[1] = static_cast<std::uint8_t>(y * 13);
        p[2] = static_cast<std::uint8_t>(x ^ y);
      }
    }
    const std::string file = EncodeBmp(bitmap);
    EXPECT_EQ(file.size(), 54 + static_cast<std::size_t>((width * 3 + 3) / 4 * 4 * height));
    Bitmap decoded;
    ASSERT_TRUE(DecodeBmp(file, "round trip", decoded).ok);
    EXPECT_EQ(decoded, bitmap) << width << " x " << height;
  }
  TempFolder folder;
  Bitmap one(4, 3);
  one.Fill(10, 20, 30);
  ASSERT_TRUE(SaveBmpFile(one, folder / "a.bmp").ok);
  Bitmap loaded;
  ASSERT_TRUE(LoadBmpFile(loaded, folder / "a.bmp").ok);
  EXPECT_EQ(loaded, one);
  const FileStatus missing = LoadBmpFile(loaded, folder / "missing.bmp");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.message.find("missing.bmp"), std::string::npos);
  EXPECT_FALSE(SaveBmpFile(Bitmap(), folder / "empty.bmp").ok);
}

}  // namespace
