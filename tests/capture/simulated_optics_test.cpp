#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <optional>
#include <vector>

#include "capture/simulated_optics.h"

namespace {

// What the program does to every frame before analysing it: the mirror top
// to bottom with its 3-row shift (frame row r to row 1026 - r, rows 0..2
// kept) ...
Bitmap ProgramMirror(const Bitmap& frame) {
  Bitmap out = frame;
  for (int r = 3; r < frame.Height(); ++r) {
    std::copy_n(frame.Row(r), frame.RowBytes(), out.Row(frame.Height() + 2 - r));
  }
  return out;
}

// ... and the trapezoid correction, written out here as the program defines
// it.
void TrapezLin(const Bitmap& sbmp, Bitmap& dbmp, int y0, double Faktor) {
  const int breite = dbmp.Width() - 2;
  const int mitte = breite / 2;
  const int rechts = breite - 2;
  for (int y = 0; y < dbmp.Height(); ++y) {
    for (int x = 0; x <= breite; ++x) {
      const int offset = x + static_cast<int>(std::nearbyint((y - y0) * Faktor * (mitte - x) / breite));
      const int from = offset < 0 ? 0 : offset < breite ? offset : rechts;
      std::copy_n(sbmp.Pixel(from, y), 3, dbmp.Pixel(x, y));
    }
  }
}

Bitmap Corrected(const Bitmap& frame, const GaugeOptics& optics) {
  const Bitmap mirrored = ProgramMirror(frame);
  Bitmap corrected(frame.Width(), frame.Height());
  TrapezLin(mirrored, corrected, optics.top, optics.trapez);
  return corrected;
}

// Intensity-weighted row of the light in column x (blue byte).
std::optional<double> TraceRow(const Bitmap& image, int x) {
  double weighted = 0;
  double weight = 0;
  for (int y = 0; y < image.Height(); ++y) {
    const double v = image.Pixel(x, y)[0];
    weighted += y * v;
    weight += v;
  }
  if (weight == 0) return std::nullopt;
  return weighted / weight;
}

GaugeOptics Noiseless(double trapez = -0.3, int top = 300) {
  GaugeOptics optics;
  optics.noise = 0;
  optics.shotNoise = 0;
  optics.trapez = trapez;
  optics.top = top;
  return optics;
}

CameraSettings AtStep(eShutterSpeedCMOS step) {
  CameraSettings settings;
  settings.shutter = step;
  return settings;
}

TEST(SimulatedOptics, SampleSizesBecomePixelsAtTheGaugeScale) {
  SimulatedSample sample;
  sample.shape = synth::ChannelShape::Round;
  sample.depthMm = 0.5;
  sample.widthMm = 1.27;
  sample.bottomRadiusMm = 0.254;
  GaugeOptics optics;
  optics.zFactor = 1.25;
  const synth::ChannelGeometry geometry = SampleGeometry(sample, optics);
  EXPECT_DOUBLE_EQ(geometry.width, 180);
  EXPECT_DOUBLE_EQ(geometry.depth, 0.5 * 3600 / 25.4 / 1.25);
  EXPECT_DOUBLE_EQ(geometry.bottomRadius, 36);
  EXPECT_EQ(geometry.shape, synth::ChannelShape::Round);
}

// Mirrored and corrected like every frame of a scan, a flat sample lies on
// the rows it was made for, under several trapezoid factors. Columns near the
// sides are left out: there the correction reaches beyond the sensor and
// repeats its last columns.
TEST(SimulatedOptics, CorrectedFlatSurfaceLiesOnItsRows) {
  for (const double trapez : {-0.3, 0.25, 0.0}) {
    SCOPED_TRACE(trapez);
    SimulatedSample sample;
    sample.depthMm = 0;  // a plain flat sample, no channel
    sample.surfaceRow = 420;
    sample.surfaceSlope = 0.03;
    const GaugeOptics optics = Noiseless(trapez, 300);
    const SimulatedOptics view(sample, optics);
    Bitmap frame;
    view.Render(AtStep(ssc100), 0, frame);
    const Bitmap corrected = Corrected(frame, optics);
    double worst = 0;
    for (int x = 40; x <= 1240; ++x) {
      const std::optional<double> row = TraceRow(corrected, x);
      ASSERT_TRUE(row) << x;
      worst = std::max(worst, std::abs(*row - synth::ProfileRowAt(view.Geometry(), x)));
    }
    EXPECT_LT(worst, 0.25);
  }
}

// A trapezoid channel: surface, floor (the depth scale) and flanks (the
// width scale) where they were made.
TEST(SimulatedOptics, CorrectedChannelHasItsDepthAndWidth) {
  SimulatedSample sample;
  sample.shape = synth::ChannelShape::Trapezoid;
  sample.depthMm = 0.6;
  sample.widthMm = 2.0;
  sample.flankAngle = 30;
  const GaugeOptics optics = Noiseless();
  const SimulatedOptics view(sample, optics);
  Bitmap frame;
  view.Render(AtStep(ssc100), 0, frame);
  const Bitmap corrected = Corrected(frame, optics);
  const double depthRows = 0.6 * 3600 / 25.4;
  const double halfWidth = 1.0 * 3600 / 25.4;
  for (int x : {100, 300, 1000, 1200}) EXPECT_NEAR(*TraceRow(corrected, x), 300, 0.25) << x;
  for (int x : {630, 640, 650}) EXPECT_NEAR(*TraceRow(corrected, x), 300 + depthRows, 0.25) << x;
  // On a flank the row climbs 1/tan(30 deg) rows per column, so the half
  // column the correction may be off by shows as up to one row here.
  for (int x : {static_cast<int>(640 - halfWidth + 30), static_cast<int>(640 + halfWidth - 30)}) {
    EXPECT_NEAR(*TraceRow(corrected, x), synth::ProfileRowAt(view.Geometry(), x), 1.0) << x;
  }
}

// Uncorrected, the camera sees the sample upside down.
TEST(SimulatedOptics, TheCameraSeesTheSampleUpsideDown) {
  SimulatedSample sample;
  sample.depthMm = 0;
  sample.surfaceRow = 300;
  const GaugeOptics optics = Noiseless();
  Bitmap frame;
  SimulatedOptics(sample, optics).Render(AtStep(ssc100), 0, frame);
  EXPECT_NEAR(*TraceRow(frame, 639), 1026 - 300, 0.25);
}

// Bright pixels (> 50) of column x over rows first..last.
int BrightRows(const Bitmap& image, int x, int first, int last) {
  int count = 0;
  for (int y = first; y <= last; ++y) count += image.Pixel(x, y)[0] > 50 ? 1 : 0;
  return count;
}

// The frames of a scan (steps 1..14), corrected as the program corrects them.
std::vector<Bitmap> ScanFrames(const SimulatedSample& sample, const GaugeOptics& optics) {
  const SimulatedOptics view(sample, optics);
  std::vector<Bitmap> frames;
  Bitmap frame;
  for (int step = ssc4; step <= ssc1000; ++step) {
    view.Render(AtStep(static_cast<eShutterSpeedCMOS>(step)), static_cast<std::uint64_t>(step), frame);
    frames.push_back(Corrected(frame, optics));
  }
  return frames;
}

// The combination's rule: the frame whose count is closest to 50, the
// earlier one on a tie.
int ChosenFrame(const std::vector<int>& counts) {
  int chosen = 0;
  for (int k = 0; k < static_cast<int>(counts.size()); ++k) {
    if (counts[chosen] < 5 || std::abs(counts[k] - 50) < std::abs(counts[chosen] - 50)) chosen = k;
  }
  return chosen;
}

// A flat steel channel 0.5 x 3.0 mm: surface at row 300, floor at row 371,
// walls at columns 427.4 and 852.6.
SimulatedSample FlatChannel() {
  SimulatedSample sample;
  sample.shape = synth::ChannelShape::Flat;
  sample.depthMm = 0.5;
  sample.widthMm = 3.0;
  return sample;
}

// The combination's zones (surface: 60 rows around the surface line but
// ending 20 rows above the floor; floor: from halfway down) choose frames
// inside the bracket, where a surface and a floor column have 30..70 bright
// pixels.
TEST(SimulatedOptics, ChosenExposuresLieInsideTheBracket) {
  const std::vector<Bitmap> frames = ScanFrames(FlatChannel(), GaugeOptics{});
  std::vector<int> surface, floor;
  for (const Bitmap& f : frames) {
    surface.push_back(BrightRows(f, 200, 240, 351));
    floor.push_back(BrightRows(f, 640, 336, 1023));
  }
  for (const std::vector<int>* counts : {&surface, &floor}) {
    const int k = ChosenFrame(*counts);
    EXPECT_GE(k, 2);
    EXPECT_LE(k, 11);
    EXPECT_GE((*counts)[k], 30);
    EXPECT_LE((*counts)[k], 70);
  }
  // The longest step shows the glow over a hundred rows, the shortest a
  // saturated core of a few rows.
  EXPECT_GT(surface.front(), 90);
  EXPECT_LT(surface.back(), 15);
  EXPECT_EQ(frames.back().Pixel(200, 300)[0], 255);
}

// The frame mean the analysis reads (frames r-1 .. 9, r about the chosen
// frame): beside the edge the surface's glow stays above half of full scale
// from the surface line down to 10..20 rows below it (the edge stage's
// 10-row walk looks there for the lit face), and the glow does not spread
// sideways into the channel.
TEST(SimulatedOptics, GlowBesideAnEdgeReachesBelowTheSurfaceNotIntoTheChannel) {
  const std::vector<Bitmap> frames = ScanFrames(FlatChannel(), GaugeOptics{});
  std::vector<int> surface;
  for (const Bitmap& f : frames) surface.push_back(BrightRows(f, 200, 240, 351));
  const int r = ChosenFrame(surface);
  auto mean = [&](int x, int y) {
    int sum = 0;
    for (int k = r - 1; k <= 9; ++k) sum += frames[static_cast<std::size_t>(k)].Pixel(x, y)[0];
    return sum / (10 - r + 1);
  };
  for (int x : {417, 422, 858, 863}) {
    int reach = 0;
    while (mean(x, 301 + reach) > 128) ++reach;
    EXPECT_GE(reach, 10) << x;
    EXPECT_LE(reach, 20) << x;
  }
  for (int x : {432, 437, 843, 848}) EXPECT_LT(mean(x, 310), 20) << x;
}

// The light comes from the left: the right wall, facing it, is lit along its
// height; the left wall and the floor in its shadow (about 5 columns wide)
// are dark.
TEST(SimulatedOptics, OneWallLitTheOtherInShadow) {
  const GaugeOptics optics = Noiseless();
  const SimulatedOptics view(FlatChannel(), optics);
  Bitmap frame;
  view.Render(AtStep(ssc100), 0, frame);
  const Bitmap picture = Corrected(frame, optics);
  const int litWall = picture.Pixel(853, 336)[0];
  const int shadowWall = picture.Pixel(427, 336)[0];
  EXPECT_GT(litWall, 40);
  EXPECT_LT(shadowWall, litWall / 4);
  EXPECT_LT(picture.Pixel(429, 371)[0], picture.Pixel(640, 371)[0] / 4);
  EXPECT_EQ(picture.Pixel(440, 371)[0], picture.Pixel(640, 371)[0]);
}

// Pertinax returns less light and glows further than steel.
TEST(SimulatedOptics, PertinaxGlowsLongerAndDarker) {
  SimulatedSample steel;
  steel.kind = SampleKind::FlatReference;
  SimulatedSample pertinax = steel;
  pertinax.material = synth::Material::Pertinax;
  const GaugeOptics optics = Noiseless();
  CameraSettings dim = AtStep(ssc1000);
  dim.gain = 0;  // a quarter of the light: no saturation
  Bitmap a, b;
  SimulatedOptics(steel, optics).Render(dim, 0, a);
  SimulatedOptics(pertinax, optics).Render(dim, 0, b);
  const Bitmap s = Corrected(a, optics);
  const Bitmap p = Corrected(b, optics);
  const double steelPeak = s.Pixel(640, 300)[0];
  const double pertinaxPeak = p.Pixel(640, 300)[0];
  EXPECT_LT(steelPeak, 250);
  EXPECT_NEAR(pertinaxPeak / steelPeak, 0.6, 0.05);
  CameraSettings bright = AtStep(ssc30);
  Bitmap c, d;
  SimulatedOptics(steel, optics).Render(bright, 0, c);
  SimulatedOptics(pertinax, optics).Render(bright, 0, d);
  EXPECT_GT(BrightRows(Corrected(d, optics), 640, 0, 1023), BrightRows(Corrected(c, optics), 640, 0, 1023) + 10);
}

// A flat reference is the plain surface, whatever channel sizes it carries.
TEST(SimulatedOptics, FlatReferenceHasNoChannel) {
  SimulatedSample sample = FlatChannel();
  sample.kind = SampleKind::FlatReference;
  const GaugeOptics optics = Noiseless();
  const SimulatedOptics view(sample, optics);
  EXPECT_EQ(view.Geometry().depth, 0);
  Bitmap frame;
  view.Render(AtStep(ssc500), 0, frame);
  const Bitmap picture = Corrected(frame, optics);
  for (int x : {200, 640, 1000}) EXPECT_NEAR(*TraceRow(picture, x), 300, 0.25) << x;
}

TEST(SimulatedOptics, ExposureFollowsStepAndGain) {
  const CameraSettings reference = AtStep(ssc100);
  CameraSettings doubled = reference;
  doubled.gain = 120;
  EXPECT_DOUBLE_EQ(ExposureFactor(doubled), 2 * ExposureFactor(reference));
  EXPECT_DOUBLE_EQ(ExposureFactor(AtStep(ssc50)), 2 * ExposureFactor(reference));
  GaugeOptics optics;
  optics.fullScaleSeconds = 1.0 / 100;
  EXPECT_DOUBLE_EQ(ExposureFactor(reference, optics), 1);
  EXPECT_GT(ExposureFactor(AtStep(ssc5000)), ExposureFactor(AtStep(sscMax)));
  EXPECT_GT(ExposureFactor(AtStep(sscMax)), 0);
}

TEST(SimulatedOptics, NoiseFollowsTheFrameNumber) {
  const SimulatedOptics view({}, GaugeOptics{});
  Bitmap first;
  Bitmap again;
  Bitmap next;
  view.Render(AtStep(ssc200), 7, first);
  view.Render(AtStep(ssc200), 7, again);
  view.Render(AtStep(ssc200), 8, next);
  EXPECT_TRUE(first == again);
  EXPECT_FALSE(first == next);
}

}  // namespace
