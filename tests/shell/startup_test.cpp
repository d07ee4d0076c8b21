#include "shell/startup.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/atomic_file.h"
#include "shell/live_guide.h"
#include "shell/view_zoom.h"
#include "tests/temp_folder.h"

namespace {

void Write(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

TEST(Startup, CalibrateEntryOnlyOnAStation) {
  struct Case {
    const char* what;
    const char* fileName;  // nullptr: no station file
    std::string content;
    bool visible;
  };
  const std::string code = std::to_string(kCalibrationStationCode);
  const Case cases[] = {
      {"no station file", nullptr, "", false},
      {"another code", "VELDRAQXEICH.INI", "[VELDRAQX]\nISEICH=1234\n", false},
      {"no key", "VELDRAQXEICH.INI", "[VELDRAQX]\nCALD=2100\n", false},
      {"the station code", "VELDRAQXEICH.INI", "[VELDRAQX]\nISEICH=" + code + "\n", true},
      {"name in another case", "veldraqxeich.ini", "[veldraqx]\niseich=" + code + "\n", true},
  };
  for (const Case& c : cases) {
    TempFolder home;
    if (c.fileName) Write(home / c.fileName, c.content);
    EXPECT_EQ(CalibrationMenuVisible(home.Path()), c.visible) << c.what;
  }
}

TEST(Startup, StationFileThatIsAFolderHidesTheEntry) {
  TempFolder home;
  std::filesystem::create_directories(home / "VELDRAQXEICH.INI");
  EXPECT_FALSE(CalibrationMenuVisible(home.Path()));
}

TEST(Startup, DeviceFilesListedWithoutExtension) {
  TempFolder home;
  Write(home / "VELDRAQX.INI", "");
  Write(home / "00057_VELDRAQX.INI", "");
  Write(home / "00058_veldraqx.ini", "");
  Write(home / "00059_VELDRAQX.INI.bak", "");
  std::filesystem::create_directories(home / "VELDRAQXINI");
  Write(home / "VELDRAQXINI/00060_VELDRAQX.INI", "");
  std::vector<std::string> names = DeviceFileNames(home.Path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"00057_VELDRAQX", "00058_veldraqx"}));
}

TEST(Startup, ChosenDeviceFileIsCopiedOverTheSettingsFile) {
  TempFolder home;
  Write(home / "VELDRAQX.INI", "[VELDRAQX]\nSERIAL=1\n");
  Write(home / "00057_VELDRAQX.INI", "[VELDRAQX]\nSERIAL=00057\n");
  EXPECT_EQ(UseDeviceFile(home.Path(), "00057_VELDRAQX"), home / "00057_VELDRAQX.INI");
  std::string copied;
  ASSERT_TRUE(ReadWholeFile(home / "VELDRAQX.INI", copied).ok);
  EXPECT_EQ(copied, "[VELDRAQX]\nSERIAL=00057\n");
  // A chosen file that vanished still becomes the file in use; nothing is reported.
  EXPECT_EQ(UseDeviceFile(home.Path(), "00099_VELDRAQX"), home / "00099_VELDRAQX.INI");
}

TEST(LiveGuide, MainWindowScalesToTheNarrowerSideOfTheArea) {
  // 760 x 560: height / 1024 = 0.547 is not above width / 1280 = 0.594,
  // so the height decides.
  const LiveGuide tall = MainWindowGuide(760, 560, 300);
  EXPECT_DOUBLE_EQ(tall.scale, 540.0 / 1024);
  const double s = tall.scale;
  EXPECT_EQ(tall.polyline[0], (GuidePoint{0, Round(300 * s)}));
  EXPECT_EQ(tall.polyline[1], (GuidePoint{Round(480 * s), Round(300 * s)}));
  EXPECT_EQ(tall.polyline[2], (GuidePoint{Round(480 * s), Round(300 * s + 150)}));
  EXPECT_EQ(tall.polyline[3], (GuidePoint{Round(800 * s), Round(300 * s + 150)}));
  EXPECT_EQ(tall.polyline[5], (GuidePoint{Round(1280 * s), Round(300 * s)}));
  const int xm = (Round(480 * s) + Round(800 * s)) / 2;
  EXPECT_EQ(tall.centreFrom, (GuidePoint{xm, Round(300 * s + 150) - 100}));
  EXPECT_EQ(tall.centreTo, (GuidePoint{xm, Round(300 * s + 150) + 100}));
  // A narrow area: the width decides.
  const LiveGuide narrow = MainWindowGuide(500, 900, 300);
  EXPECT_DOUBLE_EQ(narrow.scale, 480.0 / 1280);
}

TEST(LiveGuide, StationGuideIsUnscaledAndDeeper) {
  const LiveGuide g = StationGuide(250);
  EXPECT_EQ(g.polyline[1], (GuidePoint{480, 250}));
  EXPECT_EQ(g.polyline[3], (GuidePoint{800, 700}));
  EXPECT_FALSE(g.centreLine);
}

TEST(ViewZoom, ReadOutAndScrollAtZoomThree) {
  EXPECT_EQ(ImagePixel(3000, 3), 1000);
  EXPECT_EQ(ImagePixel(1500, 3), 500);
  EXPECT_EQ(ImagePixel(2, 3), 0);
  TChannel c;
  c.spunkt = 640;
  c.tm = 0.01;
  c.tc = 300;
  const ScrollTarget t = ChannelScroll(c, 3, 741);
  EXPECT_EQ(t.horizontal, 640 * 3 - 370);
  EXPECT_EQ(t.vertical, Round((640 * 0.01 + 300) * 3) - 100);
}

}  // namespace
