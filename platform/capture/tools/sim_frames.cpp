// Writes frames of the simulated gauge as PNG pictures, as the camera
// delivers them (before the program's mirror and trapezoid correction):
//   vqx_sim_frames OUTPUT_FOLDER [STEP...]
// One file per shutter step, simulated_frame_step_NN.png; without steps, a
// long, a middle and a short exposure of a scan (steps 1, 7 and 14).

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/capture/simulated_optics.h"

namespace {

bool WritePng(const Bitmap& frame, const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  volatile bool written = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(frame.Width()), static_cast<png_uint_32>(frame.Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);  // our bytes are blue, green, red
    for (int y = 0; y < frame.Height(); ++y) png_write_row(png, frame.Row(y));
    png_write_end(png, info);
    written = true;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && written;
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
