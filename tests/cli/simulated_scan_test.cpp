#include "cli/simulated_scan.h"

#include <gtest/gtest.h>

namespace {

struct ShapeCase {
  const char* name;
  synth::ChannelShape shape;
  double depthMm;
  double widthMm;
  double angle;
  int shape_found;
};

class WholeScanTest : public testing::TestWithParam<ShapeCase> {};

// A whole scan of each shape through the live picture, the key, the 28
// frames, the combination and the analysis: the shape is recognised and the
// depth lands near the sample's.
TEST_P(WholeScanTest, MeasuresTheSample) {
  const ShapeCase& c = GetParam();
  MeasurementSetup setup;
  IdealCalibration(setup.state);
  setup.state.Digits = 3;
  setup.options.showAlpha = setup.options.showRadius = true;
  SimulatedSample sample;
  sample.shape = c.shape;
  sample.depthMm = c.depthMm;
  sample.widthMm = c.widthMm;
  sample.flankAngle = c.angle;
  sample.bottomRadiusMm = c.widthMm / 2;
  SimulatedScan scan;
  std::string error;
  int lastProgress = -1;
  std::vector<std::string> messages;
  ASSERT_TRUE(RunSimulatedScan(
      setup, sample, 3, CreateLanguage(), scan, error, [&](int p) { lastProgress = p; },
      [&](const std::string& text) { messages.push_back(text); }))
      << error;
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(lastProgress, 100);
  EXPECT_EQ(scan.frames, 14);
  EXPECT_TRUE(scan.outcome.analysed);
  if (c.shape == synth::ChannelShape::V) {
    // The flank refinement of the combination smooths the line over 41
    // columns, which rounds the tip of a V: through the whole road a V
    // sample is found pointed (V or round), never flat.
    EXPECT_NE(scan.outcome.shapeFound, 0) << c.name;
  } else {
    EXPECT_EQ(scan.outcome.shapeFound, c.shape_found) << c.name;
  }
  const TChannel& ch = setup.state.MyChannel;
  const double pixelsPerMm = 3600 / 25.4;
  const int found = scan.outcome.shapeFound;
  const double depth = found == 1 ? ch.depthv : found == 2 ? ch.depthr : ch.depth;
  EXPECT_NEAR(depth / pixelsPerMm, c.depthMm, 0.1 * c.depthMm) << c.name;
  EXPECT_NEAR(ch.width / pixelsPerMm, c.widthMm, 0.15 * c.widthMm) << c.name;
  EXPECT_FALSE(scan.outcome.texts.depth.empty());
  // The tool image of the scan carries the line as extracted.
  EXPECT_EQ(scan.image.Width(), 1280);
  EXPECT_EQ(scan.image.Height(), 1024);
}

INSTANTIATE_TEST_SUITE_P(Shapes, WholeScanTest,
                         testing::Values(ShapeCase{"flat", synth::ChannelShape::Flat, 0.5, 1.2, 0, 0},
                                         ShapeCase{"trapezoid", synth::ChannelShape::Trapezoid, 0.8, 2.0, 20, 0},
                                         ShapeCase{"v", synth::ChannelShape::V, 0.8, 3.0, 0, 1},
                                         ShapeCase{"round", synth::ChannelShape::Round, 0.6, 1.2, 0, 2}),
                         [](const testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

}  // namespace
