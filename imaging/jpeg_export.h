#pragma once

// JPEG export of a displayed image (a picture for documents; no profile).

#include <filesystem>

#include "imaging/core/bitmap.h"
#include "platform/file_status.h"

constexpr int kJpegExportQuality = 75;

// Writes `abmp` as a baseline JPEG with the encoder's best-quality settings
// (accurate integer DCT, optimised Huffman tables), replacing `fn` atomically.
FileStatus SaveBmpAsJpeg(const Bitmap& abmp, const std::filesystem::path& fn, int quality = kJpegExportQuality);
