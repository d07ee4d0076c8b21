#include "imaging/tool_image.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <random>
#include <string>

#include "imaging/png_codec.h"
#include "imaging/profile_row.h"
#include "tests/imaging/png_test_files.h"
#include "tests/temp_folder.h"

namespace {

Bitmap NoiseImage(int width, int height, unsigned seed) {
  Bitmap image(width, height);
  std::mt19937 random(seed);
  for (std::size_t i = 0; i < image.ByteCount(); ++i) image.Data()[i] = static_cast<std::uint8_t>(random());
  return image;
}

TProfileLine SampleLine() {
  TProfileLine line{};
  for (int x = 0; x < 1280; ++x) line[static_cast<std::size_t>(x)] = 300 + (x % 200);
  line[0] = -1;
  line[5] = 0;
  line[6] = 1023;
  line[7] = 1024;  // equal to the height: kept
  line[8] = 1025;  // above the height: no profile
  line[9] = 70000; // needs the red byte
  line[1280] = 555;
  return line;
}

class ToolImageTest : public testing::Test {
protected:
  TempFolder folder_;
  std::filesystem::path file_ = folder_ / "TOOL.CRY";
};

TEST_F(ToolImageTest, SaveAndLoadKeepEveryByteAndTheProfile) {
  Bitmap image = NoiseImage(1280, 1024, 1);
  PackProfileRow(image, SampleLine());
  EXPECT_EQ(image.ByteAt(0, 1023, 0), 0xFF);  // -1 is a white pixel
  EXPECT_EQ(image.ByteAt(0, 1023, 2), 0xFF);
  EXPECT_EQ(image.ByteAt(6, 1023, 2), 0);     // rows 0..1023 need no red
  ASSERT_TRUE(SaveBmpAsPNG(image, file_).ok);

  Bitmap loaded(3, 3);
  FileStatus status = LoadBmpAsPng(loaded, file_);
  ASSERT_TRUE(status.ok) << status.message;
  EXPECT_TRUE(loaded == image);

  MeasureState state;
  state.MyLine.fill(9);
  UnpackProfile(loaded, state);
  TProfileLine expected = SampleLine();
  expected[8] = -1;
  expected[9] = -1;
  expected[1280] = 0;
  EXPECT_EQ(state.MyLine, expected);
  EXPECT_EQ(state.OLine, state.MyLine);
}

TEST_F(ToolImageTest, AnIndependentDecoderReadsTheSameBytes) {
  Bitmap image = NoiseImage(1280, 1024, 2);
  PackProfileRow(image, SampleLine());
  ASSERT_TRUE(SaveBmpAsPNG(image, file_).ok);
  png_test::Decoded decoded = png_test::DecodeTruecolour(ReadBytes(file_));
  ASSERT_EQ(decoded.width, 1280);
  ASSERT_EQ(decoded.height, 1024);
  ASSERT_EQ(decoded.rgb.size(), image.ByteCount());
  for (std::size_t i = 0; i < image.ByteCount(); i += 3) {
    ASSERT_EQ(decoded.rgb[i], image.Data()[i + 2]) << i;
    ASSERT_EQ(decoded.rgb[i + 1], image.Data()[i + 1]) << i;
    ASSERT_EQ(decoded.rgb[i + 2], image.Data()[i]) << i;
  }
}

TEST_F(ToolImageTest, BadFilesFailBeforeTheBitmapChanges) {
  Bitmap good = NoiseImage(40, 30, 3);
  std::string png;
  ASSERT_TRUE(EncodePng(good, png).ok);
  std::string badCrc = png;
  badCrc[png.find("IDAT") + 10] ^= 0x55;
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"text", "[VELDRAQX]\r\nDIGITS=3\r\n"},
      {"signature only", png.substr(0, 8)},
      {"cut in the header", png.substr(0, 20)},
      {"cut in the data", png.substr(0, png.size() / 2)},
      {"cut before IEND", png.substr(0, png.size() - 12)},
      {"damaged data", badCrc},
  };
  for (const auto& [name, bytes] : cases) {
    WriteBytes(file_, bytes);
    Bitmap target = NoiseImage(7, 5, 4);
    Bitmap before = target;
    FileStatus status = LoadBmpAsPng(target, file_);
    EXPECT_FALSE(status.ok) << name;
    EXPECT_NE(status.message.find(file_.string()), std::string::npos) << name << ": " << status.message;
    EXPECT_TRUE(target == before) << name;
  }
  Bitmap target(2, 2);
  EXPECT_FALSE(LoadBmpAsPng(target, folder_ / "missing.CRY").ok);
  EXPECT_FALSE(LoadBmpAsPng(target, folder_.Path()).ok);
  EXPECT_EQ(target.Width(), 2);
}

TEST_F(ToolImageTest, FailedSaveLeavesTheOldFile) {
  WriteBytes(file_, "old content");
  EXPECT_FALSE(SaveBmpAsPNG(Bitmap(), file_).ok);
  EXPECT_EQ(ReadBytes(file_), "old content");
  std::filesystem::create_directory(folder_ / "folder.CRY");
  FileStatus status = SaveBmpAsPNG(NoiseImage(4, 4, 5), folder_ / "folder.CRY");
  EXPECT_FALSE(status.ok);
  EXPECT_NE(status.message.find("folder.CRY"), std::string::npos);
  EXPECT_FALSE(SaveBmpAsPNG(NoiseImage(4, 4, 5), folder_ / "no" / "x.CRY").ok);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}), 2);
}

// A tool image written by another program with transparency (an alpha
// channel, or a tRNS chunk naming a colour the image uses) arrives with the
// camera's bytes, so its profile and its picture measure as before.
TEST_F(ToolImageTest, TransparencyOfOtherProgramsIsDropped) {
  Bitmap image = NoiseImage(64, 40, 6);
  TProfileLine line{};
  for (int x = 0; x < 64; ++x) line[static_cast<std::size_t>(x)] = x % 3 == 0 ? -1 : 20 + x % 17;
  PackProfileRow(image, line);
  std::string rgba;
  std::string rgb;
  for (int y = 0; y < image.Height(); ++y) {
    rgba += '\0';
    rgb += '\0';
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t* p = image.Pixel(x, y);
      const char pixel[3] = {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0])};
      rgba.append(pixel, 3);
      rgba += static_cast<char>((x * 7 + y) & 0xFF);  // every alpha level, 0 included
      rgb.append(pixel, 3);
    }
  }
  // tRNS marks the colour of the first pixel transparent (also the white -1 pixels).
  const std::uint8_t* first = image.Pixel(0, 0);
  const std::string trns = {'\0', static_cast<char>(first[2]), '\0', static_cast<char>(first[1]), '\0',
                            static_cast<char>(first[0])};
  const std::pair<const char*, std::string> files[] = {
      {"RGBA", png_test::Build(64, 40, 8, 6, rgba)},
      {"tRNS", png_test::Build(64, 40, 8, 2, rgb, png_test::Chunk("tRNS", trns))},
  };
  for (const auto& [name, png] : files) {
    WriteBytes(file_, png);
    Bitmap loaded;
    FileStatus status = LoadBmpAsPng(loaded, file_);
    ASSERT_TRUE(status.ok) << name << ": " << status.message;
    EXPECT_TRUE(loaded == image) << name;
    MeasureState state;
    UnpackProfile(loaded, state);
    for (int x = 0; x < 64; ++x) EXPECT_EQ(state.MyLine[static_cast<std::size_t>(x)], line[static_cast<std::size_t>(x)]) << name << x;
  }
}

// A PNG wider and taller than the camera image is read whole; its profile
// row gives entries 0..1280 and no more.
TEST_F(ToolImageTest, WiderThanTheCameraImage) {
  Bitmap image = NoiseImage(1400, 1100, 7);
  TProfileLine line{};
  for (int x = 0; x < kProfileLength; ++x) line[static_cast<std::size_t>(x)] = 100 + x % 900;
  PackProfileRow(image, line);
  ASSERT_TRUE(SaveBmpAsPNG(image, file_).ok);
  Bitmap loaded;
  ASSERT_TRUE(LoadBmpAsPng(loaded, file_).ok);
  EXPECT_TRUE(loaded == image);
  MeasureState state;
  UnpackProfile(loaded, state);
  EXPECT_EQ(state.MyLine, line);
  EXPECT_EQ(state.MyLine[1280], 100 + 1280 % 900);
}

TEST_F(ToolImageTest, OnlyRegularPngFilesAreRead) {
  const auto fifo = folder_ / "pipe.CRY";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // Each load runs in a child with a deadline, so a read that blocked would
  // fail here instead of hanging.
  for (const std::filesystem::path& path : {fifo, std::filesystem::path("/dev/zero")}) {
    const pid_t child = ::fork();
    if (child == 0) {
      Bitmap target(2, 2);
      FileStatus status = LoadBmpAsPng(target, path);
      ::_exit(!status.ok && status.message.find(path.string()) != std::string::npos && target.Width() == 2 ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::waitpid(child, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (::waitpid(child, &status, WNOHANG) == 0) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      ADD_FAILURE() << path << ": the load did not return";
      continue;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << path;
  }
  // A file that does not start as a PNG is refused from its first bytes.
  WriteBytes(file_, "GIF89a" + std::string(1000, 'x'));
  Bitmap target;
  FileStatus status = LoadBmpAsPng(target, file_);
  EXPECT_NE(status.message.find("is not a PNG file"), std::string::npos) << status.message;
}

// Other PNG kinds are converted to 8-bit blue, green, red.
TEST(PngKinds, ConvertToTruecolour) {
  using png_test::Build;
  using png_test::Chunk;
  struct Case {
    const char* name;
    std::string png;
    std::uint8_t blue, green, red;  // expected first pixel
  };
  const Case cases[] = {
      {"grey 8", Build(2, 1, 8, 0, std::string("\0\x40\x80", 3)), 0x40, 0x40, 0x40},
      {"grey 1", Build(2, 1, 1, 0, std::string("\0\x80", 2)), 0xFF, 0xFF, 0xFF},
      {"palette 4", Build(2, 1, 4, 3, std::string("\0\x10", 2), Chunk("PLTE", "\x01\x02\x03\x0A\x0B\x0C")), 0x0C, 0x0B,
       0x0A},
      {"rgb 16", Build(1, 1, 16, 2, std::string("\0\x12\x34\x56\x78\x9A\xBC", 7)), 0x9A, 0x56, 0x12},
      // Transparency is dropped: the colour samples arrive as stored.
      {"rgba half", Build(1, 1, 8, 6, std::string("\0\x00\x00\x00\x80", 5)), 0x00, 0x00, 0x00},
      {"rgba clear", Build(1, 1, 8, 6, std::string("\0\x10\x20\x30\x00", 5)), 0x30, 0x20, 0x10},
      {"grey alpha clear", Build(1, 1, 8, 4, std::string("\0\x05\x00", 3)), 0x05, 0x05, 0x05},
      {"rgb with tRNS colour", Build(1, 1, 8, 2, std::string("\0\x01\x02\x03", 4), Chunk("tRNS", std::string("\0\x01\0\x02\0\x03", 6))),
       0x03, 0x02, 0x01},
      {"palette with tRNS", Build(1, 1, 8, 3, std::string("\0\x00", 2), Chunk("PLTE", "\x0A\x0B\x0C") + Chunk("tRNS", std::string("\0", 1))),
       0x0C, 0x0B, 0x0A},
  };
  for (const Case& c : cases) {
    Bitmap bitmap;
    FileStatus status = DecodePng(c.png, c.name, bitmap);
    ASSERT_TRUE(status.ok) << c.name << ": " << status.message;
    EXPECT_EQ(bitmap.ByteAt(0, 0, 0), c.blue) << c.name;
    EXPECT_EQ(bitmap.ByteAt(0, 0, 1), c.green) << c.name;
    EXPECT_EQ(bitmap.ByteAt(0, 0, 2), c.red) << c.name;
  }
}

TEST(PngKinds, RejectsHugeAndUnsupportedHeaders) {
  using png_test::Build;
  Bitmap bitmap(1, 1);
  EXPECT_FALSE(DecodePng(Build(kMaxPngSide + 1, 1, 8, 2, std::string(1 + 3 * (kMaxPngSide + 1), '\0')), "wide", bitmap).ok);
  // Each side within the limit, together more pixels than an image may have.
  const FileStatus many = DecodePng(Build(4097, 4097, 8, 2, ""), "many", bitmap);
  EXPECT_NE(many.message.find("4097 x 4097 pixels is too large"), std::string::npos) << many.message;
  EXPECT_FALSE(DecodePng(Build(1, 1, 8, 5, std::string(2, '\0')), "bad colour type", bitmap).ok);
  EXPECT_FALSE(DecodePng(Build(1, 1, 8, 2, std::string("\x07\0\0\0", 4)), "bad filter", bitmap).ok);
  EXPECT_EQ(bitmap.Width(), 1);
}

TEST(ProfileRow, FollowsTheImageWidth) {
  TProfileLine line{};
  for (int x = 0; x < kProfileLength; ++x) line[static_cast<std::size_t>(x)] = x + 1;
  struct Case {
    int width;
    int filled;
  };
  for (Case c : {Case{100, 100}, Case{1280, 1280}, Case{1281, 1281}, Case{1300, 1281}}) {
    Bitmap image(c.width, 2000);
    PackProfileRow(image, line);
    TProfileLine back;
    UnpackProfileRow(image, back);
    for (int x = 0; x < kProfileLength; ++x) {
      EXPECT_EQ(back[static_cast<std::size_t>(x)], x < c.filled ? x + 1 : 0) << c.width << " " << x;
    }
    EXPECT_EQ(image.ByteAt(1, 1998, 0), 0);  // only the last row is written
  }
  TProfileLine none;
  none.fill(7);
  UnpackProfileRow(Bitmap(), none);
  EXPECT_EQ(none, TProfileLine{});
}

}  // namespace
