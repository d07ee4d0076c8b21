#pragma once

// PNG encoding and decoding of 24-bit bitmaps in memory (libpng).

#include <string>
#include <string_view>

#include "imaging/core/bitmap.h"
#include "platform/file_status.h"

// The largest PNG side and pixel count accepted, so that a damaged or hostile
// header cannot demand gigabytes.
constexpr int kMaxPngSide = 16384;
constexpr long long kMaxPngPixels = 64LL * 1024 * 1024;

// Encodes `bitmap` as an 8-bit truecolour PNG (no palette, no alpha, not
// interlaced); every pixel byte survives decoding unchanged.
FileStatus EncodePng(const Bitmap& bitmap, std::string& png);

// Decodes the PNG `bytes` into `bitmap`; `name` names the source in messages.
// Any PNG is accepted and converted to 8-bit blue, green, red: palette and
// grey images are expanded (lossless), 16-bit samples are scaled to 8 bits and
// transparency is composited over white (the conversions report logos need;
// tool images are 8-bit truecolour and pass unchanged). On failure `bitmap`
// keeps its size and content.
FileStatus DecodePng(std::string_view bytes, const std::string& name, Bitmap& bitmap);
