// Writes pictures of the simulated gauge as PNG files:
//   vqx_sim_frames OUTPUT_FOLDER [STEP...]
// One frame per shutter step as the camera delivers it (before the program's
// mirror and trapezoid correction), simulated_frame_step_NN.png; without
// steps, a long, a middle and a short exposure of a scan (steps 1, 7 and 14).
// Then a whole scan of the same sample: simulated_combined.png, the combined
// image (blue from the surface's exposures, green from the floor's, red from
// the shortest) with its profile drawn in red, and the measurement beside the
// truth on standard output.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "capture/simulated_optics.h"
#include "cli/measurement_setup.h"
#include "cli/program_folder.h"
#include "cli/simulated_scan.h"
#include "imaging/png_codec.h"
#include "platform/language.h"

namespace {

bool WritePng(const Bitmap& frame, const std::string& path) {
  std::string png;
  if (!EncodePng(frame, png).ok) return false;
  std::ofstream file(path, std::ios::binary);
  file.write(png.data(), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(file.flush());
}

// The example sample: a trapezoid channel 0.5 mm deep, 1.5 mm wide, flanks at 15 degrees.
SimulatedSample ExampleSample() {
  SimulatedSample sample;
  sample.depthMm = 0.5;
  sample.widthMm = 1.5;
  sample.flankAngle = 15;
  return sample;
}

// The combined image with the profile of its last row drawn three rows thick
// in pure red; the last row itself is left out.
Bitmap WithProfile(const Bitmap& combined) {
  const int height = combined.Height() - 1;
  Bitmap out(combined.Width(), height);
  for (int y = 0; y < height; ++y) std::copy_n(combined.Row(y), combined.RowBytes(), out.Row(y));
  const std::uint8_t* last = combined.Row(height);
  for (int x = 0; x < combined.Width(); ++x) {
    const int row = last[3 * x + 2] * 65536 + last[3 * x + 1] * 256 + last[3 * x];
    for (int y = row - 1; y <= row + 1; ++y) {
      if (row <= 0 || y < 0 || y >= height) continue;
      std::uint8_t* pixel = out.Row(y) + 3 * x;
      pixel[0] = 0;
      pixel[1] = 0;
      pixel[2] = 255;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [STEP...]\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  std::vector<int> steps;
  for (int i = 2; i < argc; ++i) steps.push_back(std::atoi(argv[i]));
  if (steps.empty()) steps = {ssc4, ssc60, ssc1000};

  const SimulatedSample sample = ExampleSample();
  const SimulatedOptics optics(sample, GaugeOptics{});
  Bitmap frame;
  for (int step : steps) {
    if (step < 0 || step >= kShutterStepCount) {
      std::fprintf(stderr, "no shutter step %d\n", step);
      return 2;
    }
    CameraSettings settings;
    settings.shutter = static_cast<eShutterSpeedCMOS>(step);
    optics.Render(settings, 0, frame);
    char name[64];
    std::snprintf(name, sizeof name, "/simulated_frame_step_%02d.png", step);
    const std::string path = folder + name;
    if (!WritePng(frame, path)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s\n", path.c_str());
  }

  MeasurementSetup setup;
  std::string error;
  int exitCode = 1;
  if (!PrepareSetup(ParsedArguments{}, setup, error, exitCode)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  LanguageStore language = CreateLanguage();
  if (const FileStatus loaded = language.LoadLanguage(ProgramFolder(), "English"); !loaded.ok) {
    std::fprintf(stderr, "%s\n", loaded.message.c_str());
    return 1;
  }
  SimulatedScan scan;
  if (!RunSimulatedScan(setup, sample, 1, language, scan, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const std::string path = folder + "/simulated_combined.png";
  if (!WritePng(WithProfile(scan.image), path)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("%s\n", path.c_str());
  const ResultTexts& texts = scan.outcome.texts;
  std::printf("measured: depth %s mm, width %s mm; true: depth %.3f mm, width %.3f mm\n", texts.depth.c_str(),
              texts.width.c_str(), sample.depthMm, sample.widthMm);
  return 0;
}
