#include "imaging/frame_series.h"

#include <algorithm>
#include <cstring>

namespace {

Bitmap Resized(const Bitmap& frame, int width, int height) {
  Bitmap copy(width, height);
  const int rows = std::min(height, frame.Height());
  const std::size_t bytes = std::min(copy.RowBytes(), frame.RowBytes());
  for (int y = 0; y < rows; ++y) std::memcpy(copy.Row(y), frame.Row(y), bytes);
  return copy;
}

}  // namespace

FrameSeries::FrameSeries(std::span<const Bitmap> frames, int count, int width, int height) {
  count = std::clamp(count, 0, static_cast<int>(frames.size()));
  for (int k = 0; k < count; ++k) {
    const Bitmap& frame = frames[k];
    if (frame.Width() == width && frame.Height() == height) {
      frames_.push_back(&frame);
    } else {
      frames_.push_back(&resized_.emplace_back(Resized(frame, width, height)));
    }
  }
}
