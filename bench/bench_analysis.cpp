// One channel analysis on a 1280 x 1024 image, against a plain copy of the
// profile line and the image bytes as the baseline of the same run.

#include <benchmark/benchmark.h>

#include <cstring>

#include "measure/analyse.h"
#include "synth/channel_generator.h"

namespace {

synth::SyntheticChannel TrapezoidChannel() {
  synth::ChannelGeometry g;
  g.shape = synth::ChannelShape::Trapezoid;
  g.depth = 200;
  g.width = 400;
  g.flankAngle = 30;
  g.surfaceSlope = 0.002;
  return synth::MakeChannel(g);
}

void BM_AnalyseLine(benchmark::State& state) {
  const synth::SyntheticChannel channel = TrapezoidChannel();
  MeasureState measure;
  measure.ImgCalibration.ZFaktor = 1;
  measure.ImgCalibration.DFaktor = 1;
  for (auto _ : state) {
    TProfileLine line = channel.line;
    TChannel result;
    AnalyseLine(measure, channel.image, line, result, 1.0);
    benchmark::DoNotOptimize(result);
    benchmark::DoNotOptimize(line);
  }
}

// Baseline: copying the image bytes once, the cheapest full pass over the
// picture the analysis could make.
void BM_AnalyseLineBaselineImageCopy(benchmark::State& state) {
  const synth::SyntheticChannel channel = TrapezoidChannel();
  Bitmap copy(channel.image.Width(), channel.image.Height());
  for (auto _ : state) {
    std::memcpy(copy.Data(), channel.image.Data(), channel.image.ByteCount());
    benchmark::DoNotOptimize(copy.Data());
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_AnalyseLine)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_AnalyseLineBaselineImageCopy)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
