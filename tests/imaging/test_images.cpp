#include "test_images.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace test_images {

Bitmap Random(int width, int height, std::uint32_t seed) {
  Bitmap bitmap(width, height);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::size_t i = 0; i < bitmap.ByteCount(); ++i) bitmap.Data()[i] = static_cast<std::uint8_t>(byte(random));
  return bitmap;
}

namespace {

// Row of the lit profile: the surface, a trapezoid channel with 60-column
// flanks and a flat floor.
double ProfileRow(double x, double surfaceRow, double depth) {
  const double left = 500, right = 780, flank = 60;
  double d = 0;
  if (x > left && x < right) d = std::min({1.0, (x - left) / flank, (right - x) / flank});
  return surfaceRow + d * depth;
}

}  // namespace

std::vector<Bitmap> ExposureSeries(int width, int height, int frames, double surfaceRow, double depth) {
  std::vector<float> radiance(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double distance = y - ProfileRow(x, surfaceRow, depth);
      radiance[static_cast<std::size_t>(y) * width + x] = static_cast<float>(std::exp(-distance * distance / 8.0));
    }
  }
  std::minstd_rand random(7);
  std::vector<Bitmap> series;
  for (int k = 0; k < frames; ++k) {
    const double gain = 6.0 * std::pow(0.72, k) * 255;
    Bitmap frame(width, height);
    for (std::size_t i = 0; i < radiance.size(); ++i) {
      const double noise = static_cast<int>(random() % 5) - 2;
      const double v = std::clamp(std::nearbyint(radiance[i] * gain + noise), 0.0, 255.0);
      std::uint8_t* p = frame.Data() + 3 * i;
      p[0] = p[1] = static_cast<std::uint8_t>(v);
      p[2] = static_cast<std::uint8_t>(v / 2);
    }
    series.push_back(std::move(frame));
  }
  return series;
}

}  // namespace test_images
