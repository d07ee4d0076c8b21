// Tool image loader: any bytes as a PNG. A failure must leave the bitmap as
// it was; a success must give a bitmap whose profile row can be unpacked.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "imaging/png_codec.h"
#include "imaging/profile_row.h"
#include "imaging/tool_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bitmap bitmap(3, 2);
  bitmap.Fill(1, 2, 3);
  Bitmap before = bitmap;
  FileStatus status = DecodePng(std::string_view(reinterpret_cast<const char*>(data), size), "input", bitmap);
  if (!status.ok) {
    if (!(bitmap == before) || status.message.empty()) std::abort();
    return 0;
  }
  TProfileLine line;
  UnpackProfileRow(bitmap, line);
  // Entry 1280 comes only from an image wider than the camera's 1280 columns.
  const int last = line[kProfileLength - 1];
  if (bitmap.Width() < kProfileLength && last != 0) std::abort();
  if (last < -1 || last > bitmap.Height()) std::abort();
  return 0;
}
