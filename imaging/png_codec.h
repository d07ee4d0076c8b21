#pragma once

// PNG encoding and decoding of 24-bit bitmaps in memory (libpng).

#include <string>
#include <string_view>

#include "base/bitmap.h"
#include "platform/file_status.h"

// The largest PNG side and pixel count accepted, so that a damaged or hostile
// header cannot demand gigabytes: far above the camera image (1280 x 1024),
// and a decoded image of the largest size takes 48 MB.
constexpr int kMaxPngSide = 16384;
constexpr long long kMaxPngPixels = 16LL * 1024 * 1024;

// Encodes `bitmap` as an 8-bit truecolour PNG (no palette, no alpha, not
// interlaced); every pixel byte survives decoding unchanged.
FileStatus EncodePng(const Bitmap& bitmap, std::string& png);

// Decodes the PNG `bytes` into `bitmap`; `name` names the source in messages.
// Any PNG is accepted and converted to 8-bit blue, green, red: palette and
// grey images are expanded (lossless), 16-bit samples are scaled to 8 bits and
// transparency (an alpha channel, a tRNS chunk) is dropped, not blended, so
// the colour samples arrive as stored: a tool image written by another
// program with an alpha channel measures as the camera took it. On failure
// `bitmap` keeps its size and content.
FileStatus DecodePng(std::string_view bytes, const std::string& name, Bitmap& bitmap);
