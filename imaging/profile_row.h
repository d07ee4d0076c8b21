#pragma once

// The profile line travels with its image in the image's last row: pixel x
// carries line[x] as byte 0 = v & 0xFF, byte 1 = (v >> 8) & 0xFF,
// byte 2 = (v >> 16) & 0xFF.

#include "base/bitmap.h"
#include "measure/records.h"

// Writes line[0..min(width, 1281)-1] into the last row (entry 1280 only into
// an image wider than the camera's 1280 columns); further pixels of a wider
// image keep their content. An empty bitmap is left alone.
void PackProfileRow(Bitmap& bitmap, const TProfileLine& line);

// All 1281 entries := 0, then for x < min(width, 1281): v = b0 + 256 b1 +
// 65536 b2 of the last row, -1 when v exceeds the image height.
void UnpackProfileRow(const Bitmap& bitmap, TProfileLine& line);
