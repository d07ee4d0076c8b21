#pragma once

// The frames of an exposure series as the combination reads them: all of one
// size. A frame of another size is replaced by a copy cut or padded with black
// to that size, so that a missing pixel counts as dark.

#include <deque>
#include <span>
#include <vector>

#include "base/bitmap.h"

class FrameSeries {
public:
  // Frames 0..count-1 of `frames` (count is limited to the frames given) at
  // width x height.
  FrameSeries(std::span<const Bitmap> frames, int count, int width, int height);

  int Count() const { return static_cast<int>(frames_.size()); }
  const Bitmap& operator[](int k) const { return *frames_[k]; }

private:
  std::deque<Bitmap> resized_;  // a deque keeps the addresses of its elements
  std::vector<const Bitmap*> frames_;
};
