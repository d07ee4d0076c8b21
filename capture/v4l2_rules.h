#pragma once

// The decisions of the V4L2 camera that need no device: exposure for a
// shutter step, fitting a value into a control's range, the order of the
// capture formats and whether the driver's answer to a format request is
// usable.

#include <cstdint>
#include <vector>

#include "capture/capture_device.h"

// A control's range as the driver reports it.
struct ControlRange {
  std::int64_t minimum = 0;
  std::int64_t maximum = 0;
  std::int64_t step = 1;
};

// `value` moved into the range and onto its step grid (nearest step, halves
// down).
std::int64_t ClampToRange(std::int64_t value, const ControlRange& range);

// Absolute exposure (units of 100 microseconds) for shutter step `step`:
// the step's time rounded, halves to even, then fitted into the range;
// sscMax and unknown steps give the shortest the driver allows.
std::int64_t ExposureUnits(int step, const ControlRange& range);

// The formats offered as capture modes: `preferred` first when offered,
// then the others in the driver's order, without repeats.
std::vector<CaptureMode> OrderModes(const std::vector<CaptureMode>& offered, CaptureMode preferred);

// What the driver answered to a request for BGR24 frames of `requested`.
struct FormatAnswer {
  std::uint32_t pixelFormat = 0;
  int width = 0;
  int height = 0;
  std::uint32_t bytesPerLine = 0;
};

// Frames can be taken only as asked: BGR24, the requested size, rows of at
// least three bytes per pixel. Returns the row stride in bytes, or 0 when
// the answer is unusable.
std::uint32_t AcceptedRowStride(const FormatAnswer& answer, CaptureMode requested);
