#pragma once

// Tool image files (".CRY"): a lossless 8-bit truecolour PNG holding the
// combined image in all rows but the last and the profile line packed into the
// last row (pixel x: blue = v & 0xFF, green = (v >> 8) & 0xFF, red =
// (v >> 16) & 0xFF of MyLine[x]).

#include <filesystem>

#include "imaging/core/bitmap.h"
#include "measure/records.h"
#include "platform/file_status.h"

// Writes `abmp` as a PNG to `fn`, replacing an existing file atomically: a
// failure leaves an existing file as it was. The message names the file.
FileStatus SaveBmpAsPNG(const Bitmap& abmp, const std::filesystem::path& fn);

// Reads the PNG `fn` into `abmp` (its size becomes the PNG's). A failure is
// reported before `abmp` changes; the message names the file.
FileStatus LoadBmpAsPng(Bitmap& abmp, const std::filesystem::path& fn);

// Packs line[x] into pixel x of the last row for every column the image and
// the line share; the other rows stay untouched.
void PackProfileRow(const TProfileLine& line, Bitmap& abmp);

// The profile of the last row: v = blue + 256 green + 65536 red for columns
// 0 .. min(Width, 1280) - 1; a v above the image height becomes -1; every
// other entry (and entry 1280) is 0.
TProfileLine UnpackProfileRow(const Bitmap& abmp);

// MyLine := the unpacked profile of `image`; OLine := MyLine.
void UnpackProfile(const Bitmap& image, MeasureState& state);
