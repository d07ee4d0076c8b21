#include "imaging/profile_row.h"

#include <algorithm>

namespace {

// A camera image (1280 columns) stores entries 0..1279; a wider image also
// carries entry 1280 in its column 1280, and nothing beyond.
int StoredColumns(const Bitmap& bitmap) { return std::min(bitmap.Width(), kProfileLength); }

}  // namespace

void PackProfileRow(Bitmap& bitmap, const TProfileLine& line) {
  if (bitmap.Empty()) return;
  std::uint8_t* row = bitmap.Row(bitmap.Height() - 1);
  for (int x = 0; x < StoredColumns(bitmap); ++x) {
    const auto v = static_cast<std::uint32_t>(line[x]);
    row[3 * x] = static_cast<std::uint8_t>(v & 0xFF);
    row[3 * x + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    row[3 * x + 2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
  }
}

void UnpackProfileRow(const Bitmap& bitmap, TProfileLine& line) {
  line.fill(0);
  if (bitmap.Empty()) return;
  const std::uint8_t* row = bitmap.Row(bitmap.Height() - 1);
  for (int x = 0; x < StoredColumns(bitmap); ++x) {
    const int v = row[3 * x] + row[3 * x + 1] * 256 + row[3 * x + 2] * 65536;
    line[x] = v > bitmap.Height() ? -1 : v;
  }
}
