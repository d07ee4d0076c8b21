// Timings of the image processing after the 14th frame of a scan, each beside
// the copy of the same 14 frames measured in the same run (CopyFrames).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "imaging/cpu_features.h"
#include "imaging/display_preparation.h"
#include "imaging/exposure_combination.h"
#include "imaging/filter3x3.h"
#include "imaging/frame_mean.h"
#include "imaging/pixel_ops.h"
#include "imaging/trapez.h"
#include "synth/exposure_series.h"

namespace {

constexpr int kTopRow = 180;           // calibrated top row
constexpr double kTrapez = 0.04;       // calibrated trapezoid factor
constexpr int kThreshold = 50;         // "Steel"
constexpr double kSteelWeight = 0.9;   // red blend of the mean and of the preparation

// The scan as the camera delivers it, and the same frames corrected.
struct Scan {
  std::vector<Bitmap> frames;
  std::vector<Bitmap> corrected;
  Bitmap composite, brightness, mean;
  TProfileLine line{};
};

const Scan& TheScan() {
  static const Scan scan = [] {
    synth::ChannelGeometry geometry;
    geometry.shape = synth::ChannelShape::Trapezoid;
    geometry.surfaceRow = 300;
    geometry.depth = 220;
    geometry.flankAngle = 20;
    geometry.noise = 2;
    Scan s;
    s.frames = synth::MakeExposureSeries(geometry);
    s.corrected = s.frames;
    TrapezLinFrames(s.corrected, kTopRow, kTrapez);
    const int r = Kombinieren(s.composite, s.brightness, s.corrected, 0, 14, kThreshold, kThreshold, s.line);
    Mitteln(s.mean, s.corrected, std::max(r, 1) - 1, 11);
    return s;
  }();
  return scan;
}

void CopyFrames(benchmark::State& state) {
  const Scan& scan = TheScan();
  std::vector<Bitmap> work = scan.frames;
  for (auto _ : state) {
    for (std::size_t k = 0; k < work.size(); ++k) work[k] = scan.frames[k];
    benchmark::DoNotOptimize(work.back().Data());
  }
}

void TrapezLin14Frames(benchmark::State& state) {
  const Scan& scan = TheScan();
  std::vector<Bitmap> work = scan.frames;
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t k = 0; k < work.size(); ++k) work[k] = scan.frames[k];
    state.ResumeTiming();
    TrapezLinFrames(work, kTopRow, kTrapez);
    benchmark::DoNotOptimize(work.back().Data());
  }
}

void TrapezLinOneFrame(benchmark::State& state) {
  const Scan& scan = TheScan();
  Bitmap out = scan.frames[0];
  for (auto _ : state) {
    TrapezLin(scan.frames[0], out, kTopRow, kTrapez);
    benchmark::DoNotOptimize(out.Data());
  }
}

void KombinierenScan(benchmark::State& state) {
  const Scan& scan = TheScan();
  Bitmap composite, brightness;
  TProfileLine line{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(Kombinieren(composite, brightness, scan.corrected, 0, 14, kThreshold, kThreshold, line));
  }
}

void MittelnScan(benchmark::State& state) {
  const Scan& scan = TheScan();
  Bitmap mean;
  for (auto _ : state) {
    Mitteln(mean, scan.corrected, 2, 11);
    benchmark::DoNotOptimize(mean.Data());
  }
}

void ImgChWRed(benchmark::State& state) {
  const Scan& scan = TheScan();
  Bitmap composite = scan.composite;
  for (auto _ : state) {
    ImgChW(scan.mean, composite, 0, 2, kSteelWeight);
    benchmark::DoNotOptimize(composite.Data());
  }
}

void PrepareSteel(benchmark::State& state) {
  const Scan& scan = TheScan();
  Bitmap rBild, dBild;
  for (auto _ : state) {
    PrepareForDrawing(scan.composite, rBild, dBild, kSteelWeight);
    benchmark::DoNotOptimize(dBild.Data());
  }
}

void PreparePertinax(benchmark::State& state) {
  const Scan& scan = TheScan();
  Bitmap rBild = scan.composite, dBild;
  for (auto _ : state) {
    PrepareForDrawingPertinax(scan.composite, rBild, dBild);
    benchmark::DoNotOptimize(dBild.Data());
  }
}

template <bool (*Operation)(const Bitmap&, Bitmap&)>
void FilterPass(benchmark::State& state) {
  const Scan& scan = TheScan();
  Bitmap out = scan.composite;
  for (auto _ : state) {
    Operation(scan.composite, out);
    benchmark::DoNotOptimize(out.Data());
  }
}

void ContrastPass(benchmark::State& state) {
  const Scan& scan = TheScan();
  Bitmap out = scan.composite;
  for (auto _ : state) {
    Contrast(scan.composite, out, 2);
    benchmark::DoNotOptimize(out.Data());
  }
}

void Img2GrayPass(benchmark::State& state) {
  const Scan& scan = TheScan();
  Bitmap out = scan.composite;
  for (auto _ : state) {
    Img2Gray(scan.composite, out, false);
    benchmark::DoNotOptimize(out.Data());
  }
}

// Everything between the 14th frame and the analysis: correction of every
// frame, combination, mean of the darker frames, red blend and preparation.
void PostScan(benchmark::State& state) {
  const Scan& scan = TheScan();
  std::vector<Bitmap> work = scan.frames;
  Bitmap composite, brightness, mean, rBild, dBild;
  TProfileLine line{};
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t k = 0; k < work.size(); ++k) work[k] = scan.frames[k];
    state.ResumeTiming();
    TrapezLinFrames(work, kTopRow, kTrapez);
    int r = Kombinieren(composite, brightness, work, 0, 14, kThreshold, kThreshold, line);
    r = std::min(std::max(r, 1), 14 - 4);
    Mitteln(mean, work, r - 1, 14 - 3);
    ImgChW(mean, composite, 0, 2, kSteelWeight);
    PrepareForDrawing(composite, rBild, dBild, kSteelWeight);
    benchmark::DoNotOptimize(dBild.Data());
  }
}

// The same path with the SSE2 baseline only (no AVX2, no SSSE3).
void PostScanSse2Only(benchmark::State& state) {
  pixel::AllowVectorExtensions(false);
  PostScan(state);
  pixel::AllowVectorExtensions(true);
}

}  // namespace

BENCHMARK(CopyFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TrapezLin14Frames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TrapezLinOneFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(KombinierenScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MittelnScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImgChWRed)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PrepareSteel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PreparePertinax)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FilterPass<Sharpbmp>)->Name("Sharpbmp")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FilterPass<Smooth>)->Name("Smooth")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FilterPass<InvImg>)->Name("InvImg")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ContrastPass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Img2GrayPass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PostScanSse2Only)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PostScan)->Unit(benchmark::kMillisecond)->UseRealTime();
