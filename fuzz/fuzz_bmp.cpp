// Bitmap file reader: any bytes as a .bmp. A failure must leave the bitmap as
// it was and say why; a success must give a picture within the limits whose
// re-encoding decodes to the same pixels.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "imaging/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bitmap bitmap(3, 2);
  bitmap.Fill(1, 2, 3);
  const Bitmap before = bitmap;
  const FileStatus status = DecodeBmp(std::string_view(reinterpret_cast<const char*>(data), size), "input", bitmap);
  if (!status.ok) {
    if (!(bitmap == before) || status.message.empty()) std::abort();
    return 0;
  }
  if (bitmap.Empty() || bitmap.Width() > kMaxBmpSide || bitmap.Height() > kMaxBmpSide) std::abort();
  Bitmap again;
  if (!DecodeBmp(EncodeBmp(bitmap), "again", again).ok || !(again == bitmap)) std::abort();
  return 0;
}
