#include "imaging/result_overlay.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "imaging/measurement.h"
#include "imaging/png_codec.h"
#include "measure/calibration_file.h"
#include "platform/atomic_file.h"
#include "synth/channel_generator.h"

namespace {

using namespace overlay_colors;

struct Rgb {
  int r, g, b;
};

Rgb At(const Bitmap& bmp, int x, int y) {
  const std::uint8_t* p = bmp.Pixel(x, y);
  return {p[2], p[1], p[0]};
}

bool Is(const Bitmap& bmp, int x, int y, TColor color) {
  const Rgb c = At(bmp, x, y);
  return c.r == static_cast<int>(color & 0xFF) && c.g == static_cast<int>((color >> 8) & 0xFF) &&
         c.b == static_cast<int>((color >> 16) & 0xFF);
}

// A measured channel with the images of the measurement step.
struct Measured {
  MeasureState state;
  MeasurementImages images;
  MeasurementOutcome outcome;
};

Measured Measure(const synth::ChannelGeometry& geometry) {
  Measured m;
  LoadCal(m.state, "no such folder/VELDRAQX.INI");  // the calibration defaults
  const synth::SyntheticChannel channel = synth::MakeChannel(geometry);
  // A combined image carries the light in all three bytes; the preparation
  // works from the red one.
  m.images.iBild = channel.image;
  for (int y = 0; y < m.images.iBild.Height(); ++y) {
    for (int x = 0; x < m.images.iBild.Width(); ++x) m.images.iBild.Pixel(x, y)[2] = m.images.iBild.Pixel(x, y)[0];
  }
  std::copy(channel.line.begin(), channel.line.end(), m.state.MyLine.begin());
  m.state.OLine = m.state.MyLine;
  m.outcome = DoAnalyze(m.state, m.images, Material::Steel, DisplayOptions{});
  return m;
}

synth::ChannelGeometry RoundChannel() {
  synth::ChannelGeometry g;
  g.shape = synth::ChannelShape::Round;
  g.depth = 150;
  g.width = 300;
  g.bottomRadius = 100;
  g.surfaceSlope = 0.002;  // a hand-held gauge is never exactly level
  return g;
}

TEST(ResultOverlay, MeasuredRoundChannelCarriesEachElementInItsColour) {
  Measured m = Measure(RoundChannel());
  const TChannel& c = m.state.MyChannel;
  const Bitmap& picture = m.images.rBild;
  ASSERT_EQ(c.shape, 2);

  // Depth marker: yellow, three columns wide, between surface and floor.
  const int surface = Round(c.spunkt * c.tm + c.tc);
  const int mid = (surface + m.state.MyLine[c.spunkt]) / 2;
  for (int dx = -1; dx <= 1; ++dx) EXPECT_TRUE(Is(picture, c.spunkt + dx, mid, kYellow)) << dx;

  // Surface line: aqua over the profile at the left end, where it runs
  // through the middle of its row.
  const Rgb surfacePixel = At(picture, 1, Round(c.tc));
  EXPECT_TRUE(surfacePixel.r < 10 && surfacePixel.g > 245 && surfacePixel.b > 245);
  // The profile outside the surface line rows stays visible in yellow only
  // where no later element covers it: on the flank between the 20 % points.
  const int flankRow = Round((c.pl20.y + c.pl30.y) / 2);
  bool yellowOnFlank = false;
  for (int x = 0; x < 1280; ++x) yellowOnFlank |= Is(picture, x, flankRow, kYellow);
  EXPECT_TRUE(yellowOnFlank);

  // Bottom arc: aqua at the lowest point of the circle.
  bool arcAtBottom = false;
  for (int dy = -1; dy <= 1; ++dy) arcAtBottom |= Is(picture, Round(c.mx), Round(c.my + c.radius) + dy, kAqua);
  EXPECT_TRUE(arcAtBottom);
}

TEST(ResultOverlay, OpeningLinesAreFuchsia) {
  synth::ChannelGeometry g;
  g.shape = synth::ChannelShape::Trapezoid;
  g.depth = 200;
  g.width = 400;
  g.flankAngle = 30;
  g.surfaceSlope = 0.002;
  Measured m = Measure(g);
  const TChannel& c = m.state.MyChannel;
  const Bitmap& picture = m.images.rBild;
  // Fuchsia dominates where the left line crosses the middle row.
  ASSERT_GT(c.alphaO, 0);
  const double my = (c.pl20.y + c.pl80.y) / 2;
  const double mx = (c.pl20.x + c.pl80.x) / 2;
  bool fuchsia = false;
  for (int dx = -1; dx <= 1; ++dx) {
    const Rgb p = At(picture, Round(mx) + dx, Round(my));
    fuchsia |= p.r > 200 && p.b > 200 && p.g < 100;
  }
  EXPECT_TRUE(fuchsia);
}

TEST(ResultOverlay, NoOpeningAngleDrawsNoFuchsia) {
  Measured m = Measure(RoundChannel());
  Bitmap picture = m.images.iBild;
  m.state.MyChannel.alphaO = 0;
  DrawResult(m.state, picture);
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      const Rgb p = At(picture, x, y);
      ASSERT_FALSE(p.r > 200 && p.b > 200 && p.g < 100) << x << "," << y;
    }
  }
}

TEST(ResultOverlay, ArcEndsAreSwappedInTheRecordSoTheArcRunsAlongTheBottom) {
  Measured m = Measure(RoundChannel());
  const TRealPoint left = m.state.MyChannel.plr;
  const TRealPoint right = m.state.MyChannel.prr;
  std::swap(m.state.MyChannel.plr, m.state.MyChannel.prr);
  Bitmap picture(1280, 1024);
  DrawResult(m.state, picture);
  EXPECT_EQ(m.state.MyChannel.plr, left);
  EXPECT_EQ(m.state.MyChannel.prr, right);
  // Nothing of the arc above the circle's centre row.
  const TChannel& c = m.state.MyChannel;
  EXPECT_FALSE(Is(picture, Round(c.mx), Round(c.my - c.radius), kAqua));
}

TEST(ResultOverlay, ProfileIsDrawnFromTheFirstLitColumnOfTheMargins) {
  struct Case {
    int firstLit;      // first column with a profile
    int lastLit;       // last column with a profile
    int expectFrom;    // first column drawn
    int expectTo;      // last column drawn (end of the last segment)
  };
  const Case cases[] = {
      {100, 1179, 100, 1180},  // margins without profile: 100 .. W-100
      {0, 1279, 0, 1279},      // lit from the first column to the last
      {40, 1250, 40, 1250},
  };
  for (const Case& k : cases) {
    MeasureState state;
    for (int i = 0; i < 1280; ++i) state.MyLine[i] = (i >= k.firstLit && i <= k.lastLit) ? 500 : -1;
    state.MyChannel.tc = 900;  // surface line far below the profile
    state.MyChannel.spunkt = 640;
    Bitmap picture(1280, 1024);
    DrawResult(state, picture);
    auto drawn = [&](int x) { return At(picture, x, 500).r > 0; };
    EXPECT_TRUE(drawn(k.expectFrom)) << k.firstLit;
    EXPECT_TRUE(drawn(k.expectTo)) << k.lastLit;
    if (k.expectFrom > 0) {
      EXPECT_FALSE(drawn(k.expectFrom - 1)) << k.firstLit;
    }
    if (k.expectTo < 1279) {
      EXPECT_FALSE(drawn(k.expectTo + 1)) << k.lastLit;
    }
  }
}

TEST(PenLine, WidthOneLeavesOutTheEndPointWiderPensCoverBothEnds) {
  Bitmap picture(20, 20);
  BitmapCanvas canvas(picture);
  DrawPenLine(canvas, 2, 5, 10, 5, kRed, 1);
  EXPECT_TRUE(Is(picture, 2, 5, kRed));
  EXPECT_TRUE(Is(picture, 9, 5, kRed));
  EXPECT_FALSE(Is(picture, 10, 5, kRed));
  DrawPenLine(canvas, 5, 10, 5, 15, kYellow, 3);
  for (int y = 9; y <= 16; ++y) {
    for (int x = 4; x <= 6; ++x) EXPECT_TRUE(Is(picture, x, y, kYellow)) << x << "," << y;
  }
  EXPECT_FALSE(Is(picture, 7, 12, kYellow));
  EXPECT_FALSE(Is(picture, 5, 17, kYellow));
}

// The whole overlay of a measured round channel against the committed picture.
// VQX_UPDATE_REFERENCES=1 writes the picture instead.
TEST(ResultOverlay, WholePictureMatchesReference) {
  Measured m = Measure(RoundChannel());
  const std::filesystem::path reference =
      std::filesystem::path(VQX_SOURCE_DIR) / "tests/imaging/data/result_overlay_round.png";
  if (std::getenv("VQX_UPDATE_REFERENCES")) {
    std::string png;
    ASSERT_TRUE(EncodePng(m.images.rBild, png).ok);
    ASSERT_TRUE(WriteFileAtomically(reference, png).ok);
  }
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(reference, bytes).ok) << reference;
  Bitmap expected;
  ASSERT_TRUE(DecodePng(bytes, reference.string(), expected).ok);
  ASSERT_EQ(expected.Width(), m.images.rBild.Width());
  ASSERT_EQ(expected.Height(), m.images.rBild.Height());
  int differing = 0;
  for (int y = 0; y < expected.Height(); ++y) {
    for (int x = 0; x < expected.Width(); ++x) {
      const Rgb a = At(expected, x, y);
      const Rgb b = At(m.images.rBild, x, y);
      if (std::abs(a.r - b.r) > 2 || std::abs(a.g - b.g) > 2 || std::abs(a.b - b.b) > 2) ++differing;
    }
  }
  EXPECT_EQ(differing, 0);
}

}  // namespace
