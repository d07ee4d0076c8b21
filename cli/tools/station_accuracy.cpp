// The accuracy of a calibrated simulated gauge, as docs/accuracy.md reports
// it:
//   vqx_station_accuracy HOME [CAPTURES]
// HOME holds a calibration of the simulated gauge made by
// `vqx calibrate --simulate --home HOME`. Prints, as Markdown tables, the
// scale and depth factor found against the gauge's truth, scans of channels
// of known geometry measured without and with the linearisation table, and
// the repeatability of the verification at the target of HOME over CAPTURES
// captures (default 30), each with its own noise seed.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/console_panel.h"
#include "cli/simulated_station.h"
#include "measure/mymath.h"
#include "measure/numbers.h"
#include "shell/startup.h"
#include "station/linearity_table.h"
#include "station/verification_station.h"

namespace {

struct Channel {
  const char* name;
  SimulatedSample sample;
};

SimulatedSample Shape(synth::ChannelShape shape, double depth, double width, double angle = 0, double radius = 0) {
  SimulatedSample sample;
  sample.shape = shape;
  sample.depthMm = depth;
  sample.widthMm = width;
  sample.flankAngle = angle;
  sample.bottomRadiusMm = radius > 0 ? radius : width / 2;
  return sample;
}

std::vector<Channel> Channels() {
  using synth::ChannelShape;
  return {
      {"rectangle", Shape(ChannelShape::Flat, 0.15, 0.8)},
      {"rectangle", Shape(ChannelShape::Flat, 0.35, 1.5)},
      {"rectangle", Shape(ChannelShape::Flat, 0.8, 2.0)},
      {"rectangle", Shape(ChannelShape::Flat, 2.5, 4.0)},
      {"trapezoid 15°", Shape(ChannelShape::Trapezoid, 0.25, 1.2, 15)},
      {"trapezoid 20°", Shape(ChannelShape::Trapezoid, 0.6, 2.0, 20)},
      {"trapezoid 25°", Shape(ChannelShape::Trapezoid, 1.5, 4.0, 25)},
      {"V", Shape(ChannelShape::V, 0.1, 0.8)},
      {"V", Shape(ChannelShape::V, 0.5, 2.0)},
      {"V", Shape(ChannelShape::V, 1.2, 4.0)},
      {"round", Shape(ChannelShape::Round, 0.3, 1.0, 0, 0.5)},
      {"round", Shape(ChannelShape::Round, 0.6, 1.2, 0, 0.6)},
      {"round", Shape(ChannelShape::Round, 2.0, 4.0, 0, 2.0)},
  };
}

double Number(const std::string& text) {
  double value = 0;
  GetValue(text, value);
  return value;
}

std::string Signed(double v) { return (v >= 0 ? "+" : "") + FormatFixed(v, 3); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s HOME [CAPTURES]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path home = argv[1];
  const int captures = argc > 2 ? std::atoi(argv[2]) : 30;
  const std::filesystem::path fileInUse = home / kSettingsFileName;
  if (!std::filesystem::is_regular_file(fileInUse)) {
    std::fprintf(stderr, "%s: no calibration in %s\n", argv[0], home.string().c_str());
    return 3;
  }
  LanguageStore language;
  std::string error;
  if (!LoadStationLanguage(language, error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
  }
  MeasurementSetup setup;
  LoadStationState(fileInUse, setup.state);
  const TImgCalibration calibrated = setup.state.ImgCalibration;
  const GaugeTruth& truth = kSimulatedGaugeTruth;

  std::printf("| quantity | found | true | error |\n|---|---|---|---|\n");
  std::printf("| pixels per inch | %.1f | %.1f | %+.3f %% |\n", calibrated.PixelPerInch, truth.pixelsPerInch,
              (calibrated.PixelPerInch / truth.pixelsPerInch - 1) * 100);
  std::printf("| Z factor | %.4f | %.4f | %+.3f %% |\n", calibrated.ZFaktor, truth.zFactor,
              (calibrated.ZFaktor / truth.zFactor - 1) * 100);
  std::printf("| surface row | %d | %d | %+d |\n\n", calibrated.top, truth.top, calibrated.top - truth.top);

  std::printf("| channel | depth true | width true | depth without table | depth with table | width | "
              "depth error without | depth error with | width error |\n|---|---|---|---|---|---|---|---|---|\n");
  int seed = 1000;
  for (const Channel& channel : Channels()) {
    double depth[2] = {0, 0};
    double width = 0;
    for (int withTable = 0; withTable < 2; ++withTable) {
      SimulatedStation simulated(truth, static_cast<std::uint32_t>(seed));
      setup.state.ImgCalibration = calibrated;
      if (!withTable) ClearLUTInMemory(setup.state.ImgCalibration);
      SimulatedScan scan;
      if (!simulated.Scan(setup, channel.sample, language, scan, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
      }
      depth[withTable] = Number(scan.outcome.texts.depth);
      width = Number(scan.outcome.texts.width);
    }
    ++seed;
    const SimulatedSample& s = channel.sample;
    std::printf("| %s | %.3f | %.3f | %.3f | %.3f | %.3f | %s | %s | %s |\n", channel.name, s.depthMm, s.widthMm,
                depth[0], depth[1], width, Signed(depth[0] - s.depthMm).c_str(), Signed(depth[1] - s.depthMm).c_str(),
                Signed(width - s.widthMm).c_str());
  }

  // Repeatability: the verification window's judgement on a copy of the
  // calibration, one capture per noise seed.
  const std::filesystem::path copy = std::filesystem::temp_directory_path() / "vqx_station_accuracy.INI";
  std::filesystem::copy_file(fileInUse, copy, std::filesystem::copy_options::overwrite_existing);
  setup.state.ImgCalibration = calibrated;
  StationPictures pictures;
  ConsolePanel panel({}, {});
  VerificationStation station(setup.state, pictures, panel, copy);
  station.FormActivate();
  SimulatedStation simulated(truth, 1);
  const SimulatedSample target = RectangularChannel(Number(station.controls.CALDEdit),
                                                    Number(station.controls.CALWEdit));
  double sums[2] = {0, 0}, squares[2] = {0, 0};
  int passes = 0;
  for (int i = 0; i < captures; ++i) {
    SimulatedScan scan;
    if (!simulated.Scan(setup, target, language, scan, error)) {
      std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
      return 1;
    }
    station.SetValues(scan.picture);
    const double values[2] = {Number(station.controls.BDepth), Number(station.controls.BWidth)};
    for (int k = 0; k < 2; ++k) {
      sums[k] += values[k];
      squares[k] += values[k] * values[k];
    }
    if (station.controls.DepthShape == Indicator::Green) ++passes;
  }
  std::filesystem::remove(copy);
  std::printf("\n| target | captures | mean | std dev | pass rate |\n|---|---|---|---|---|\n");
  const char* names[2] = {"depth", "width"};
  const double targets[2] = {target.depthMm, target.widthMm};
  for (int k = 0; k < 2; ++k) {
    const double mean = sums[k] / captures;
    const double variance = captures > 1 ? (squares[k] - captures * mean * mean) / (captures - 1) : 0;
    std::printf("| %s %.3f | %d | %.4f | %.4f | %d/%d |\n", names[k], targets[k], captures, mean,
                std::sqrt(std::max(variance, 0.0)), passes, captures);
  }
  std::printf("\nstatistics of the verification window (mean:deviation): depth %s, width %s\n",
              station.controls.SLDepth.c_str(), station.controls.SLWidth.c_str());
  return 0;
}
