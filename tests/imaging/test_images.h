#pragma once

// Pictures for the imaging tests: random bytes, and a bracketed exposure
// series of a light section across a trapezoid channel.

#include <cstdint>
#include <vector>

#include "imaging/core/bitmap.h"

namespace test_images {

Bitmap Random(int width, int height, std::uint32_t seed);

// Frame 0 brightest; the bright band widens as the exposure grows. The
// surface lies at row `surfaceRow`, the floor `depth` rows lower between
// the columns 500 and 780.
std::vector<Bitmap> ExposureSeries(int width, int height, int frames, double surfaceRow = 300, double depth = 200);

}  // namespace test_images
