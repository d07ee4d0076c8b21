#include "base/bitmap.h"

#include <algorithm>

Bitmap::Bitmap(int width, int height) { SetSize(width, height); }

void Bitmap::SetSize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  if (width_ == 0 || height_ == 0) {
    width_ = height_ = 0;
  }
  data_.assign(static_cast<std::size_t>(width_) * height_ * kBytesPerPixel, 0);
}

void Bitmap::Fill(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  for (std::size_t i = 0; i < data_.size(); i += kBytesPerPixel) {
    data_[i] = blue;
    data_[i + 1] = green;
    data_[i + 2] = red;
  }
}
