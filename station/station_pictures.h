#pragma once

// The pictures a calibration or verification leaves for its report: the
// frame of the surface reference with the fitted line, and the channel of
// the last capture. The program owns one instance.

#include "base/bitmap.h"

struct StationPictures {
  Bitmap ImgBrightness;
  Bitmap ImgChannel;
};
