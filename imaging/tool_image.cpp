#include "imaging/tool_image.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "imaging/png_codec.h"
#include "platform/atomic_file.h"

namespace {

// Only the columns of a profile line that carry measurements (0..1279) are read back.
constexpr int kMeasuredColumns = kProfileLength - 1;

}  // namespace

FileStatus SaveBmpAsPNG(const Bitmap& abmp, const std::filesystem::path& fn) {
  std::string png;
  FileStatus status = EncodePng(abmp, png);
  if (!status.ok) return FileStatus::Failure("Cannot save " + QuotedPath(fn) + ": " + status.message);
  return WriteFileAtomically(fn, png);
}

FileStatus LoadBmpAsPng(Bitmap& abmp, const std::filesystem::path& fn) {
  std::string bytes;
  FileStatus status = ReadWholeFile(fn, bytes);
  if (!status.ok) return status;
  return DecodePng(bytes, QuotedPath(fn), abmp);
}

void PackProfileRow(const TProfileLine& line, Bitmap& abmp) {
  if (abmp.Empty()) return;
  int columns = std::min(abmp.Width(), kProfileLength);
  for (int x = 0; x < columns; ++x) {
    auto v = static_cast<std::uint32_t>(line[static_cast<std::size_t>(x)]);
    std::uint8_t* pixel = abmp.Pixel(x, abmp.Height() - 1);
    pixel[0] = static_cast<std::uint8_t>(v & 0xFF);
    pixel[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    pixel[2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
  }
}

TProfileLine UnpackProfileRow(const Bitmap& abmp) {
  TProfileLine line{};
  if (abmp.Empty()) return line;
  int columns = std::min(abmp.Width(), kMeasuredColumns);
  for (int x = 0; x < columns; ++x) {
    const std::uint8_t* pixel = abmp.Pixel(x, abmp.Height() - 1);
    int v = pixel[0] + pixel[1] * 256 + pixel[2] * 65536;
    line[static_cast<std::size_t>(x)] = v > abmp.Height() ? -1 : v;
  }
  return line;
}

void UnpackProfile(const Bitmap& image, MeasureState& state) {
  state.MyLine = UnpackProfileRow(image);
  state.OLine = state.MyLine;
}
