#pragma once

// Random pictures for the imaging tests.

#include <cstdint>

#include "base/bitmap.h"

namespace test_images {

Bitmap Random(int width, int height, std::uint32_t seed);

}  // namespace test_images
