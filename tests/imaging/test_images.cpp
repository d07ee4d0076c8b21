#include "test_images.h"

#include <random>

namespace test_images {

Bitmap Random(int width, int height, std::uint32_t seed) {
  Bitmap bitmap(width, height);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::size_t i = 0; i < bitmap.ByteCount(); ++i) bitmap.Data()[i] = static_cast<std::uint8_t>(byte(random));
  return bitmap;
}

}  // namespace test_images
