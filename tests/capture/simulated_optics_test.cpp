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

int Saturated(const Bitmap& frame) {
  return static_cast<int>(std::count(frame.Data(), frame.Data() + frame.ByteCount(), 255));
}

// A scan over steps 1..14 runs from a band saturated even on the flanks to
// a trace that is barely visible.
TEST(SimulatedOptics, ScanStepsSpanSaturatedBandToFaintTrace) {
  SimulatedSample sample;
  sample.flankAngle = 20;
  const GaugeOptics optics;  // with sensor noise
  const SimulatedOptics view(sample, optics);
  Bitmap frame;
  std::vector<std::uint64_t> totals;
  for (int step = ssc4; step <= ssc1000; ++step) {
    view.Render(AtStep(static_cast<eShutterSpeedCMOS>(step)), static_cast<std::uint64_t>(step), frame);
    totals.push_back(std::accumulate(frame.Data(), frame.Data() + frame.ByteCount(), std::uint64_t{0}));
    if (step == ssc4) {
      EXPECT_GT(Saturated(frame), 3 * 1280 * 4);
      const double flankColumn = 640 - 0.5 * 3600 / 25.4 + 20;
      const int flankSensorRow = 1026 - static_cast<int>(std::lround(synth::ProfileRowAt(view.Geometry(), flankColumn)));
      EXPECT_EQ(frame.ByteAt(static_cast<int>(flankColumn), flankSensorRow, 0), 255);
    }
    if (step == ssc1000) {
      const std::uint8_t peak = *std::max_element(frame.Data(), frame.Data() + frame.ByteCount());
      EXPECT_GT(peak, 8);
      EXPECT_LT(peak, 40);
      EXPECT_EQ(Saturated(frame), 0);
    }
  }
  for (std::size_t i = 1; i < totals.size(); ++i) EXPECT_LT(totals[i], totals[i - 1]) << i;
}

TEST(SimulatedOptics, ExposureFollowsStepAndGain) {
  const CameraSettings reference = AtStep(ssc100);
  CameraSettings doubled = reference;
  doubled.gain = 120;
  EXPECT_DOUBLE_EQ(ExposureFactor(doubled), 2 * ExposureFactor(reference));
  EXPECT_DOUBLE_EQ(ExposureFactor(AtStep(ssc50)), 2 * ExposureFactor(reference));
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
