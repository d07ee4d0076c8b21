// Rendering cost of the simulated gauge: one frame must take well under the
// 1/15 s frame period. The baseline copies the bytes of one frame.
#include <benchmark/benchmark.h>

#include <cstring>

#include "platform/capture/simulated_optics.h"

namespace {

SimulatedSample BenchSample() {
  SimulatedSample sample;
  sample.widthMm = 1.5;
  sample.flankAngle = 15;
  return sample;
}

void BM_CaptureFrameCopyBaseline(benchmark::State& state) {
  const Bitmap source(kSensorWidth, kSensorHeight);
  Bitmap target(kSensorWidth, kSensorHeight);
  for (auto _ : state) {
    std::memcpy(target.Data(), source.Data(), source.ByteCount());
    benchmark::DoNotOptimize(target.Data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CaptureFrameCopyBaseline)->Unit(benchmark::kMillisecond);

void BM_SimulatedFrame(benchmark::State& state) {
  const SimulatedOptics optics(BenchSample(), GaugeOptics{});
  CameraSettings settings;
  settings.shutter = ssc60;
  settings.mirror = state.range(0) != 0;
  settings.flip = state.range(0) != 0;
  Bitmap frame;
  std::uint64_t number = 0;
  for (auto _ : state) {
    optics.Render(settings, number++, frame);
    benchmark::DoNotOptimize(frame.Data());
  }
}
BENCHMARK(BM_SimulatedFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Changing the sample renders and distorts its light section once.
void BM_SimulatedSampleChange(benchmark::State& state) {
  for (auto _ : state) {
    const SimulatedOptics optics(BenchSample(), GaugeOptics{});
    benchmark::DoNotOptimize(&optics);
  }
}
BENCHMARK(BM_SimulatedSampleChange)->Unit(benchmark::kMillisecond);

}  // namespace
