#pragma once

// Windows bitmap files (.bmp) in memory and on disk: logos and pictures.

#include <filesystem>
#include <string>
#include <string_view>

#include "base/bitmap.h"
#include "platform/file_status.h"

// The largest side and pixel count accepted, so that a damaged or hostile
// header cannot demand gigabytes.
constexpr int kMaxBmpSide = 16384;
constexpr long long kMaxBmpPixels = 64LL * 1024 * 1024;

// Decodes the uncompressed bitmaps Windows writes: 1, 4 and 8 bits per pixel
// with a palette, 24 bits, and 32 bits (plain or with the standard bit-field
// masks; the fourth byte is ignored), stored bottom-up or top-down, with any
// of the usual info headers (core, 40, 52, 56, 108 or 124 bytes). `name`
// names the source in messages. On failure `bitmap` keeps its size and content.
FileStatus DecodeBmp(std::string_view bytes, const std::string& name, Bitmap& bitmap);

// Encodes `bitmap` as a bottom-up 24-bit file with a 40-byte info header.
std::string EncodeBmp(const Bitmap& bitmap);

FileStatus LoadBmpFile(Bitmap& bitmap, const std::filesystem::path& file);
// Replaces `file` atomically.
FileStatus SaveBmpFile(const Bitmap& bitmap, const std::filesystem::path& file);
