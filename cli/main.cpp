// vqx: the measurement road without a window.
#include <cstdio>
#include <cstring>

#include "measure/profile.h"
#include "measure/units.h"

namespace {

void PrintUsage() {
  std::puts("usage: vqx example    measure the surface and centre of a built-in profile");
}

// A built-in profile: a surface at row 300 with a 200-row deep channel
// between the columns 500 and 780.
int RunExample() {
  MeasureState state;
  state.ImgCalibration.PixelPerInch = 3600;
  state.ImgCalibration.ZFaktor = 1;
  state.Digits = 3;
  TProfileLine line{};
  for (int x = 0; x < 1280; ++x) line[x] = (x > 500 && x < 780) ? 500 : 300;
  Extended tm = 0, tc = 0;
  GetRegression(line, 80, 1200, 0, 0, 0, 400, tm, tc);
  const int centre = GetSpunkt(static_cast<double>(tm), static_cast<double>(tc), line);
  std::printf("surface row %.1Lf, centre column %d, depth %s mm\n", tc, centre,
              StrUnits(state, GetDepth(state, line[centre] - static_cast<double>(tc), 1)).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "example") == 0) return RunExample();
  if (std::strcmp(argv[1], "--help") == 0) {
    PrintUsage();
    return 0;
  }
  std::fprintf(stderr, "vqx: unknown command '%s' (try vqx --help)\n", argv[1]);
  return 2;
}
