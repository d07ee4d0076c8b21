// Rendering cost of the simulated gauge: one frame must take well under the
// 1/15 s frame period. The baseline copies the bytes of one frame.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

#include "capture/simulated_optics.h"

namespace {

SimulatedSample BenchSample() {
  SimulatedSample sample;
  sample.widthMm = 1.5;
  sample.flankAngle = 15;
  return sample;
}

using Clock = std::chrono::steady_clock;

void CopyFrame(const Bitmap& source, Bitmap& target) {
  std::memcpy(target.Data(), source.Data(), source.ByteCount());
  benchmark::DoNotOptimize(target.Data());
  benchmark::ClobberMemory();
}

// Seconds for one copy of a frame's bytes, measured now.
double CopySeconds() {
  const Bitmap source(kSensorWidth, kSensorHeight);
  Bitmap target(kSensorWidth, kSensorHeight);
  constexpr int kCopies = 50;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < kCopies; ++i) CopyFrame(source, target);
  return std::chrono::duration<double>(Clock::now() - start).count() / kCopies;
}

// Reports the time per iteration as a multiple of the baseline copy.
template <typename Body>
void RunAgainstCopy(benchmark::State& state, Body body) {
  const double copy = CopySeconds();
  const Clock::time_point start = Clock::now();
  for (auto _ : state) body();
  const double perIteration = std::chrono::duration<double>(Clock::now() - start).count() /
                              static_cast<double>(state.iterations());
  state.counters["x_copy"] = perIteration / copy;
}

void BM_CaptureFrameCopyBaseline(benchmark::State& state) {
  const Bitmap source(kSensorWidth, kSensorHeight);
  Bitmap target(kSensorWidth, kSensorHeight);
  RunAgainstCopy(state, [&] { CopyFrame(source, target); });
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
  RunAgainstCopy(state, [&] {
    optics.Render(settings, number++, frame);
    benchmark::DoNotOptimize(frame.Data());
  });
}
BENCHMARK(BM_SimulatedFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Changing the sample renders and distorts its light section once.
void BM_SimulatedSampleChange(benchmark::State& state) {
  RunAgainstCopy(state, [] {
    const SimulatedOptics optics(BenchSample(), GaugeOptics{});
    benchmark::DoNotOptimize(&optics);
  });
}
BENCHMARK(BM_SimulatedSampleChange)->Unit(benchmark::kMillisecond);

}  // namespace
