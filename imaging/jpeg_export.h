#pragma once

// JPEG export of a displayed image (a picture for documents; no profile).

#include <filesystem>
#include <string>

#include "base/bitmap.h"
#include "platform/file_status.h"

constexpr int kJpegExportQuality = 75;

// Encodes `abmp` as a baseline JPEG in memory with the settings below; false
// with the encoder's message in `error` (an empty bitmap is an error too).
bool EncodeJpeg(const Bitmap& abmp, int quality, std::string& jpeg, std::string& error);

// Writes `abmp` as a baseline JPEG with the encoder's best-quality settings
// (accurate integer DCT, optimised Huffman tables), replacing `fn` atomically.
FileStatus SaveBmpAsJpeg(const Bitmap& abmp, const std::filesystem::path& fn, int quality = kJpegExportQuality);
