// Writes frames of the simulated gauge as PNG pictures, as the camera
// delivers them (before the program's mirror and trapezoid correction):
//   vqx_sim_frames OUTPUT_FOLDER [STEP...]
// One file per shutter step, simulated_frame_step_NN.png; without steps, a
// long, a middle and a short exposure of a scan (steps 1, 7 and 14).

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/png_codec.h"
#include "capture/simulated_optics.h"

namespace {

bool WritePng(const Bitmap& frame, const std::string& path) {
  std::string png;
  if (!EncodePng(frame, png).ok) return false;
  std::ofstream file(path, std::ios::binary);
  file.write(png.data(), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [STEP...]\n", argv[0]);
    return 2;
  }
  std::vector<int> steps;
  for (int i = 2; i < argc; ++i) steps.push_back(std::atoi(argv[i]));
  if (steps.empty()) steps = {ssc4, ssc60, ssc1000};

  SimulatedSample sample;
  sample.widthMm = 1.5;
  sample.flankAngle = 15;
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
    const std::string path = argv[1] + std::string(name);
    if (!WritePng(frame, path)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s\n", path.c_str());
  }
  return 0;
}
