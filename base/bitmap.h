#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A 24-bit image of our own: three bytes per pixel in the order blue, green,
// red; rows top to bottom, each row a contiguous run of 3 * width bytes.
class Bitmap {
public:
  static constexpr int kBytesPerPixel = 3;

  Bitmap() = default;
  Bitmap(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::size_t RowBytes() const { return static_cast<std::size_t>(width_) * kBytesPerPixel; }
  std::size_t ByteCount() const { return data_.size(); }

  // Resizes to width x height; the content is cleared to black.
  // Negative sizes count as 0.
  void SetSize(int width, int height);

  std::uint8_t* Row(int y) { return data_.data() + static_cast<std::size_t>(y) * RowBytes(); }
  const std::uint8_t* Row(int y) const { return data_.data() + static_cast<std::size_t>(y) * RowBytes(); }

  std::uint8_t* Pixel(int x, int y) { return Row(y) + static_cast<std::size_t>(x) * kBytesPerPixel; }
  const std::uint8_t* Pixel(int x, int y) const { return Row(y) + static_cast<std::size_t>(x) * kBytesPerPixel; }

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Byte `channel` (0 blue, 1 green, 2 red) of pixel (x, y), or 0 for a pixel
  // outside the image.
  std::uint8_t ByteAt(int x, int y, int channel) const {
    return Contains(x, y) ? Pixel(x, y)[channel] : 0;
  }

  void Fill(std::uint8_t blue, std::uint8_t green, std::uint8_t red);

  std::uint8_t* Data() { return data_.data(); }
  const std::uint8_t* Data() const { return data_.data(); }

  bool operator==(const Bitmap& other) const = default;

private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> data_;
};
