#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "cli/commands.h"
#include "cli/measurement_setup.h"
#include "cli/simulated_scan.h"
#include "imaging/display_preparation.h"
#include "imaging/exposure_combination.h"
#include "imaging/frame_mean.h"
#include "imaging/pixel_ops.h"
#include "imaging/scan_sequence.h"
#include "imaging/trapez.h"
#include "measure/analyse.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx bench [--runs N] [--material steel|bevel|pertinax]\n"
    "  Times the work after the 14th frame of a simulated scan (trapezoid correction of\n"
    "  the frames, combination, frame mean, red blend, preparation, analysis) and prints\n"
    "  the median of each stage over N runs (default 11).\n";

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int BenchCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  double runs = 11;
  if (!ParseArguments(args, {"--runs", "--material"}, {"--help"}, parsed, error) ||
      !NumberOption(parsed, "--runs", runs, error) || runs < 1 || runs > 1000) {
    if (error.empty()) error = "--runs must lie from 1 to 1000";
    std::fprintf(err, "vqx bench: %s (try vqx bench --help)\n", error.c_str());
    return 2;
  }
  if (parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return 0;
  }
  MeasurementSetup setup;
  int setupCode = 0;
  if (!PrepareSetup(parsed, setup, error, setupCode)) {
    std::fprintf(err, "vqx bench: %s\n", error.c_str());
    return setupCode;
  }
  const TImgCalibration& cal = setup.state.ImgCalibration;
  const MaterialSettings& material = SettingsOf(setup.material);

  // The 14 frames of a scan as the scan sequence stores them.
  SimulatedOptics optics(SimulatedSample{}, OpticsOf(setup.state.ImgCalibration, 1));
  std::vector<Bitmap> frames(TFrmPreview::kScanFrames);
  for (int i = 0; i < TFrmPreview::kScanFrames; ++i) {
    CameraSettings settings;
    settings.gain = static_cast<std::uint32_t>(cal.Gain);
    settings.shutter = static_cast<eShutterSpeedCMOS>(material.scanStart + i);
    Bitmap raw;
    optics.Render(settings, static_cast<std::uint64_t>(i), raw);
    MirrorFrame(raw, frames[i]);
  }

  struct Stage {
    const char* name;
    std::vector<double> times;
  };
  std::vector<Stage> stages = {{"copy of the 14 frames (baseline)", {}}, {"trapezoid correction, 14 frames", {}},
                               {"combination", {}},                      {"frame mean", {}},
                               {"red blend", {}},                        {"preparation", {}},
                               {"analysis", {}}};
  std::vector<double> totals;
  Bitmap composite, brightness, mean;
  MeasurementImages images;
  for (int run = 0; run < static_cast<int>(runs); ++run) {
    std::vector<Bitmap> work;
    auto timed = [&](int stage, const std::function<void()>& body) {
      const auto start = std::chrono::steady_clock::now();
      body();
      stages[stage].times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    };
    timed(0, [&] { work = frames; });
    int r = 0;
    timed(1, [&] { TrapezLinFrames(work, cal.top, cal.Trapez); });
    timed(2, [&] {
      r = Kombinieren(composite, brightness, work, 0, TFrmPreview::kScanFrames, material.threshold,
                      material.threshold, setup.state.MyLine);
    });
    r = std::clamp(r, 1, TFrmPreview::kScanFrames - 4);
    timed(3, [&] { Mitteln(mean, work, r - 1, TFrmPreview::kScanFrames - 3); });
    timed(4, [&] { ImgChW(mean, composite, 0, 2, 0.9); });
    images.iBild = composite;
    timed(5, [&] {
      if (material.grayPreparation) {
        PrepareForDrawing(images.iBild, images.rBild, images.dBild, 0.9);
      } else {
        PrepareForDrawingPertinax(images.iBild, images.rBild, images.dBild);
      }
    });
    timed(6, [&] {
      AnalyseLine(setup.state, images.dBild, setup.state.MyLine, setup.state.MyChannel,
                  WidthFactor(cal, setup.material));
    });
    double total = 0;
    for (std::size_t s = 1; s < stages.size(); ++s) total += stages[s].times.back();
    totals.push_back(total);
  }
  const double baseline = Median(stages[0].times);
  std::fprintf(out, "%-36s %10s %8s\n", "stage", "median ms", "x copy");
  for (const Stage& stage : stages) {
    const double median = Median(stage.times);
    std::fprintf(out, "%-36s %10.2f %8.2f\n", stage.name, median, median / baseline);
  }
  const double total = Median(totals);
  std::fprintf(out, "post-scan total: %.2f ms, %.2fx the copy of the 14 frames (%d runs, material %s)\n", total,
               total / baseline, static_cast<int>(runs), material.name);
  return 0;
}
