// One measurement report with its 1280 x 1024 result picture, beside one JPEG
// encoding of the same picture measured in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "imaging/jpeg_export.h"
#include "report/report_composer.h"
#include "synth/channel_generator.h"

namespace {

const Bitmap& ResultPicture() {
  static const Bitmap picture = [] {
    synth::ChannelGeometry geometry;
    geometry.shape = synth::ChannelShape::Trapezoid;
    geometry.flankAngle = 15;
    geometry.noise = 2;
    return synth::MakeChannel(geometry).image;
  }();
  return picture;
}

void JpegEncodeResultPicture(benchmark::State& state) {
  std::string jpeg, error;
  for (auto _ : state) {
    EncodeJpeg(ResultPicture(), kReportJpegQuality, jpeg, error);
    benchmark::DoNotOptimize(jpeg.data());
  }
}

void MeasurementReport(benchmark::State& state) {
  const std::filesystem::path home = std::filesystem::temp_directory_path() / ("vqx_bench_report_" + std::to_string(::getpid()));
  std::filesystem::create_directories(home);
  ReportInputs inputs;
  inputs.homeDir = home;
  inputs.logoBmp = DrawBrandLogo();
  inputs.memoLines = {"Die Works Example Ltd."};
  inputs.rBild = ResultPicture();
  inputs.DepthResult = "0.512";
  inputs.WidthResult = "1.034";
  inputs.OpenResult = "21\u00b0";
  inputs.openGroupVisible = true;
  ReportComposer composer;
  for (auto _ : state) {
    const FileStatus status = composer.CreateJPPDF(home / "report.pdf", kMeasurementReport, false, inputs);
    if (!status.ok) state.SkipWithError(status.message.c_str());
  }
  std::filesystem::remove_all(home);
}

}  // namespace

BENCHMARK(JpegEncodeResultPicture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MeasurementReport)->Unit(benchmark::kMillisecond)->UseRealTime();
