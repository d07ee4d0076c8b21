#pragma once

// Tool image files (".CRY"): a lossless 8-bit truecolour PNG holding the
// combined image in all rows but the last and the profile line packed into the
// last row (pixel x: blue = v & 0xFF, green = (v >> 8) & 0xFF, red =
// (v >> 16) & 0xFF of MyLine[x]).

#include <filesystem>

#include "base/bitmap.h"
#include "measure/records.h"
#include "platform/file_status.h"

// Writes `abmp` as a PNG to `fn`, replacing an existing file atomically: a
// failure leaves an existing file as it was. The message names the file.
FileStatus SaveBmpAsPNG(const Bitmap& abmp, const std::filesystem::path& fn);

// Reads the PNG `fn` into `abmp` (its size becomes the PNG's). A failure is
// reported before `abmp` changes; the message names the file.
FileStatus LoadBmpAsPng(Bitmap& abmp, const std::filesystem::path& fn);

// The profile row itself is packed and unpacked by imaging/profile_row.h.
// MyLine := the unpacked profile of `image`; OLine := MyLine.
void UnpackProfile(const Bitmap& image, MeasureState& state);
