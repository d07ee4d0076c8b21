#include "imaging/tool_image.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "imaging/png_codec.h"
#include "imaging/profile_row.h"
#include "platform/atomic_file.h"

FileStatus SaveBmpAsPNG(const Bitmap& abmp, const std::filesystem::path& fn) {
  std::string png;
  FileStatus status = EncodePng(abmp, png);
  if (!status.ok) return FileStatus::Failure("Cannot save " + QuotedPath(fn) + ": " + status.message);
  return WriteFileAtomically(fn, png);
}

FileStatus LoadBmpAsPng(Bitmap& abmp, const std::filesystem::path& fn) {
  constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
  std::string bytes;
  FileStatus status = ReadWholeFile(fn, bytes, {kMaxImageFileBytes, "tool image", kPngSignature, "PNG file"});
  if (!status.ok) return status;
  return DecodePng(bytes, QuotedPath(fn), abmp);
}

void UnpackProfile(const Bitmap& image, MeasureState& state) {
  UnpackProfileRow(image, state.MyLine);
  state.OLine = state.MyLine;
}
