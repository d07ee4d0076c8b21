#include <gtest/gtest.h>

#include <linux/videodev2.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "capture/v4l2_camera.h"
#include "capture/v4l2_rules.h"

namespace {

TEST(V4l2Rules, ShutterStepsBecomeHundredsOfMicroseconds) {
  const ControlRange wide{1, 10000, 1};
  struct Case {
    int step;
    std::int64_t units;
  };
  for (const Case& c : {Case{ssc2, 5000}, Case{ssc4, 2500}, Case{ssc7_5, 1333}, Case{ssc15, 667}, Case{ssc60, 167},
                        Case{ssc120, 83}, Case{ssc250, 40}, Case{ssc750, 13}, Case{ssc1000, 10},
                        Case{ssc3000, 3}, Case{ssc4000, 2}, Case{ssc5000, 2}, Case{sscMax, 1}}) {
    EXPECT_EQ(ExposureUnits(c.step, wide), c.units) << c.step;
  }
  const ControlRange narrow{3, 2047, 1};
  EXPECT_EQ(ExposureUnits(ssc2, narrow), 2047);
  EXPECT_EQ(ExposureUnits(ssc4000, narrow), 3);
  EXPECT_EQ(ExposureUnits(sscMax, narrow), 3);
  EXPECT_EQ(ExposureUnits(25, narrow), 3);
}

TEST(V4l2Rules, ValuesAreFittedIntoTheRangeAndOntoItsSteps) {
  struct Case {
    std::int64_t value;
    ControlRange range;
    std::int64_t fitted;
  };
  for (const Case& c : {Case{50, {0, 255, 1}, 50}, Case{-4, {0, 255, 1}, 0}, Case{300, {0, 255, 1}, 255},
                        Case{12, {0, 255, 5}, 10}, Case{13, {0, 255, 5}, 15}, Case{253, {0, 254, 5}, 254},
                        Case{7, {2, 20, 4}, 6}, Case{80, {16, 16, 1}, 16}}) {
    EXPECT_EQ(ClampToRange(c.value, c.range), c.fitted) << c.value;
  }
}

TEST(V4l2Rules, PreferredModeComesFirstWhenOffered) {
  const std::vector<CaptureMode> offered{{640, 480}, {1280, 1024}, {640, 480}, {1920, 1080}};
  const std::vector<CaptureMode> ordered = OrderModes(offered, {1280, 1024});
  ASSERT_EQ(ordered.size(), 3u);
  EXPECT_EQ(ordered[0].width, 1280);
  EXPECT_EQ(ordered[1].width, 640);
  EXPECT_EQ(ordered[2].width, 1920);
  const std::vector<CaptureMode> without = OrderModes({{640, 480}}, {1280, 1024});
  ASSERT_EQ(without.size(), 1u);
  EXPECT_EQ(without[0].width, 640);
}

TEST(V4l2Rules, OnlyTheRequestedBgrFormatIsAccepted) {
  const CaptureMode wanted{1280, 1024};
  struct Case {
    FormatAnswer answer;
    std::uint32_t stride;
  };
  for (const Case& c : {Case{{V4L2_PIX_FMT_BGR24, 1280, 1024, 3840}, 3840}, Case{{V4L2_PIX_FMT_BGR24, 1280, 1024, 0}, 3840},
                        Case{{V4L2_PIX_FMT_BGR24, 1280, 1024, 4096}, 4096},
                        Case{{V4L2_PIX_FMT_YUYV, 1280, 1024, 2560}, 0},
                        Case{{V4L2_PIX_FMT_BGR24, 1280, 960, 3840}, 0}}) {
    EXPECT_EQ(AcceptedRowStride(c.answer, wanted), c.stride);
  }
}

}  // namespace

namespace {

// A node that is no capture device (here a plain file) is neither listed nor
// opened.
TEST(V4l2Backend, ListsOnlyNodesThatCapture) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vqx_v4l2_backend_test";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "video0") << "not a device";
  V4l2Backend backend({1280, 1024}, folder.string());
  EXPECT_TRUE(backend.DeviceNames().empty());
  EXPECT_EQ(backend.Open("not a device"), nullptr);
  std::filesystem::remove_all(folder);
}

}  // namespace
