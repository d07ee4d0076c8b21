#include "shell/series_record.h"

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "tests/temp_folder.h"

namespace {

TEST(SeriesRecord, LineIsTabSeparatedWithCrLfAndIsoTime) {
  const auto when = std::chrono::system_clock::now();
  const std::string line = SeriesRecordLine(3, "0.521", "- . - - -", when);
  EXPECT_EQ(line.substr(0, 18), "3\t0.521\t- . - - -\t");
  const std::string stamp = line.substr(18, line.size() - 20);
  EXPECT_EQ(stamp.size(), 19u);
  EXPECT_EQ(stamp[4], '-');
  EXPECT_EQ(stamp[10], 'T');
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
}

TEST(SeriesRecord, StartEmptiesAndAppendAdds) {
  TempFolder folder;
  const auto file = folder / "series.txt";
  ASSERT_TRUE(AppendSeriesRecord(file, "old\r\n").ok);
  ASSERT_TRUE(StartSeriesFile(file).ok);
  ASSERT_TRUE(AppendSeriesRecord(file, "1\r\n").ok);
  ASSERT_TRUE(AppendSeriesRecord(file, "2\r\n").ok);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(file, bytes).ok);
  EXPECT_EQ(bytes, "1\r\n2\r\n");
  const FileStatus bad = StartSeriesFile(folder / "absent/series.txt");
  EXPECT_FALSE(bad.ok);
  EXPECT_NE(bad.message.find("series.txt"), std::string::npos);
  EXPECT_FALSE(AppendSeriesRecord(folder / "absent/series.txt", "x").ok);
}

TEST(SeriesRecord, BrightnessViewMapping) {
  struct Case {
    int value;
    int position;
    int grey;
  };
  const Case cases[] = {{32, 1, 255}, {16, 1, 128}, {2048, 64, 255}, {1024, 64, 128}, {70000, 64, 255}, {0, 1, 0}};
  for (const Case& c : cases) {
    Bitmap map(1, 1);
    map.Pixel(0, 0)[0] = c.value & 0xFF;
    map.Pixel(0, 0)[1] = (c.value >> 8) & 0xFF;
    map.Pixel(0, 0)[2] = (c.value >> 16) & 0xFF;
    const Bitmap view = BrightnessView(map, c.position);
    EXPECT_EQ(view.Pixel(0, 0)[0], c.grey) << c.value << " at " << c.position;
    EXPECT_EQ(view.Pixel(0, 0)[2], c.grey);
  }
}

}  // namespace
