// Lines and images the analysis must survive: it has to end, stay inside the
// line and the image (the sanitizer build checks), and leave usable numbers.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "measure/analyse.h"
#include "synth/channel_generator.h"

namespace {

using synth::ChannelGeometry;
using synth::ChannelShape;

MeasureState Calibrated(double level) {
  MeasureState state;
  state.ImgCalibration.ZFaktor = 1;
  state.ImgCalibration.DFaktor = 1;
  state.ImgCalibration.RFaktor = 1;
  state.Level = level;
  return state;
}

// The results that the display and the reports show are numbers.
void ExpectFinite(const TChannel& ch, const std::string& what) {
  for (double v : {ch.depth, ch.depthr, ch.depthv, ch.width, ch.radius, ch.alphav, ch.alphaO, ch.plc.x, ch.prc.x}) {
    EXPECT_TRUE(std::isfinite(v)) << what;
  }
  EXPECT_GE(ch.alphaO, 0) << what;
  EXPECT_LE(ch.alphaO, 60) << what;
  EXPECT_GE(ch.shape, 0) << what;
  EXPECT_LE(ch.shape, 2) << what;
}

void AnalyseAndCheck(const Bitmap& image, TProfileLine line, const std::string& what, double level = 0) {
  TChannel channel;
  AnalyseLine(Calibrated(level), image, line, channel, 1.0);
  ExpectFinite(channel, what);
}

TEST(AnalyseRobustnessTest, DegenerateImages) {
  Bitmap dark(1280, 1024);
  Bitmap bright(1280, 1024);
  bright.Fill(255, 255, 255);
  TProfileLine flat{};
  flat.fill(300);
  flat[1280] = 0;
  const auto channelLine = synth::MakeProfileLine(ChannelGeometry{});
  for (const Bitmap* image : {&dark, &bright}) {
    AnalyseAndCheck(*image, flat, "flat line");
    AnalyseAndCheck(*image, channelLine, "channel line");
  }
  AnalyseAndCheck(Bitmap(), channelLine, "empty image");
  AnalyseAndCheck(Bitmap(200, 100), channelLine, "small image");
  AnalyseAndCheck(Bitmap(1400, 1100), channelLine, "large image");
}

TEST(AnalyseRobustnessTest, GeneratedChannelsNearTheLimits) {
  std::vector<std::pair<std::string, ChannelGeometry>> cases;
  auto add = [&](const std::string& name, ChannelShape shape, double surface, double depth, double width,
                 double centre) {
    ChannelGeometry g;
    g.shape = shape;
    g.surfaceRow = surface;
    g.depth = depth;
    g.width = width;
    g.centre = centre;
    g.flankAngle = 20;
    g.bottomRadius = depth;
    cases.emplace_back(name, g);
  };
  add("no channel", ChannelShape::Flat, 300, 0, 0, 640);
  add("touching the left border", ChannelShape::Flat, 300, 200, 500, 250);
  add("touching the right border", ChannelShape::V, 300, 200, 600, 1100);
  add("wider than the image", ChannelShape::Trapezoid, 300, 150, 1500, 640);
  add("surface near the top", ChannelShape::Round, 101, 80, 200, 640);
  add("surface near the bottom", ChannelShape::Flat, 610, 300, 300, 640);
  add("bottom below the image", ChannelShape::V, 400, 900, 300, 640);
  add("one column wide", ChannelShape::Flat, 300, 200, 1, 640);
  for (const auto& [name, g] : cases) {
    const synth::SyntheticChannel synthetic = synth::MakeChannel(g);
    for (double level : {0.0, -6.0, 30.0, 5000.0}) AnalyseAndCheck(synthetic.image, synthetic.line, name, level);
  }
  ChannelGeometry sloped;
  sloped.surfaceSlope = 0.3;
  sloped.surfaceRow = 120;
  const synth::SyntheticChannel synthetic = synth::MakeChannel(sloped);
  AnalyseAndCheck(synthetic.image, synthetic.line, "steep surface");
}

TEST(AnalyseRobustnessTest, LineValuesBeyondTheImage) {
  const synth::SyntheticChannel synthetic = synth::MakeChannel(ChannelGeometry{});
  TProfileLine line = synthetic.line;
  for (int x = 560; x < 720; ++x) line[x] = 5000;  // far below the last row
  AnalyseAndCheck(synthetic.image, line, "deep values");
  for (int x = 600; x < 680; ++x) line[x] = 1'000'000'000;
  AnalyseAndCheck(synthetic.image, line, "huge values");
  for (int x = 0; x < 1280; x += 3) line[x] = -7;
  AnalyseAndCheck(synthetic.image, line, "gaps");
}

TEST(AnalyseRobustnessTest, RandomLinesAndImages) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> row(-50, 1100);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20; ++round) {
    TProfileLine line{};
    // Half the lines are pure noise; half a channel with random spikes.
    if (round % 2 == 0) {
      for (int x = 0; x < 1280; ++x) line[x] = row(random);
    } else {
      ChannelGeometry g;
      g.shape = static_cast<ChannelShape>(round % 4);
      g.depth = 20 + round * 20;
      g.width = 60 + round * 30;
      line = synth::MakeProfileLine(g);
      for (int k = 0; k < 40; ++k) line[random() % 1280] = row(random);
    }
    Bitmap image(1280, 1024);
    for (int k = 0; k < 20000; ++k) {
      const int x = static_cast<int>(random() % 1280);
      const int y = static_cast<int>(random() % 1024);
      image.Pixel(x, y)[0] = static_cast<std::uint8_t>(byte(random));
      image.Pixel(x, y)[1] = static_cast<std::uint8_t>(byte(random));
    }
    AnalyseAndCheck(image, line, "random round " + std::to_string(round), round % 7 - 3.0);
  }
}

}  // namespace
