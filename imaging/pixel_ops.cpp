#include "imaging/pixel_ops.h"

#include <algorithm>
#include <array>
#include <vector>

#include "imaging/fast_round.h"
#include "imaging/parallel_rows.h"

namespace {

bool Fits(const Bitmap& source, const Bitmap& destination) {
  return source.Width() >= destination.Width() && source.Height() >= destination.Height();
}

bool IsChannel(int c) { return c >= 0 && c <= 2; }

using ByteTable = std::array<std::uint8_t, 256>;

// Applies a per-byte table to every byte of the destination's rows.
void MapBytes(const Bitmap& source, Bitmap& destination, const ByteTable& table) {
  const int bytes = static_cast<int>(destination.RowBytes());
  ParallelRows(0, destination.Height(), [&](int first, int last) {
    for (int y = first; y < last; ++y) {
      const std::uint8_t* s = source.Row(y);
      std::uint8_t* d = destination.Row(y);
      for (int i = 0; i < bytes; ++i) d[i] = table[s[i]];
    }
  });
}

// The weighted blend of ImgChW depends on the two bytes only, so one table of
// 256 x 256 results computed with the exact formula serves every pixel.
std::vector<std::uint8_t> BlendTable(double w) {
  std::vector<std::uint8_t> table(256 * 256);
  for (int s = 0; s < 256; ++s) {
    const double ws = w * s;  // stored as a 64-bit float before the sum
    for (int d = 0; d < 256; ++d) {
      const double blended = ws + (1 - w) * d;
      const int v = pixel::RoundInt(blended);
      // The upper limit is the operation's own; the lower one keeps a weight
      // outside 0..1 from wrapping a negative result into a bright byte.
      table[s * 256 + d] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
    }
  }
  return table;
}

}  // namespace

bool Img2Gray(const Bitmap& sbmp, Bitmap& dbmp, bool inv) {
  if (!Fits(sbmp, dbmp)) return false;
  // Each product depends on one byte: tables give the same 64-bit values.
  std::array<double, 256> blue{}, green{}, red{};
  for (int v = 0; v < 256; ++v) {
    blue[v] = 0.15 * v;
    green[v] = 0.5 * v;
    red[v] = 0.35 * v;
  }
  const int width = dbmp.Width();
  ParallelRows(0, dbmp.Height(), [&](int first, int last) {
    for (int y = first; y < last; ++y) {
      const std::uint8_t* s = sbmp.Row(y);
      std::uint8_t* d = dbmp.Row(y);
      for (int x = 0; x < width; ++x, s += 3, d += 3) {
        int g = pixel::RoundByte(blue[s[0]] + green[s[1]] + red[s[2]]);
        if (inv) g = 255 - g;
        d[0] = d[1] = d[2] = static_cast<std::uint8_t>(g);
      }
    }
  });
  return true;
}

bool ImgCh(const Bitmap& sbmp, Bitmap& dbmp, int c1, int c2) {
  if (!Fits(sbmp, dbmp) || !IsChannel(c1) || !IsChannel(c2)) return false;
  const int width = dbmp.Width();
  for (int y = 0; y < dbmp.Height() - 1; ++y) {
    const std::uint8_t* s = sbmp.Row(y) + c1;
    std::uint8_t* d = dbmp.Row(y) + c2;
    for (int x = 0; x < width; ++x) d[3 * x] = s[3 * x];
  }
  return true;
}

bool ImgChW(const Bitmap& sbmp, Bitmap& dbmp, int c1, int c2, double w) {
  if (!Fits(sbmp, dbmp) || !IsChannel(c1) || !IsChannel(c2)) return false;
  const std::vector<std::uint8_t> table = BlendTable(w);
  const int width = dbmp.Width();
  ParallelRows(0, dbmp.Height() - 1, [&](int first, int last) {
    for (int y = first; y < last; ++y) {
      const std::uint8_t* s = sbmp.Row(y) + c1;
      std::uint8_t* d = dbmp.Row(y) + c2;
      for (int x = 0; x < width; ++x) d[3 * x] = table[s[3 * x] * 256 + d[3 * x]];
    }
  });
  return true;
}

bool InvImg(const Bitmap& FromBit, Bitmap& NewBit) {
  if (!Fits(FromBit, NewBit)) return false;
  ByteTable table{};
  for (int v = 0; v < 256; ++v) table[v] = static_cast<std::uint8_t>(255 - v);
  MapBytes(FromBit, NewBit, table);
  return true;
}

bool Contrast(const Bitmap& FromBit, Bitmap& NewBit, int f) {
  if (!Fits(FromBit, NewBit)) return false;
  ByteTable table{};
  for (int v = 0; v < 256; ++v) {
    const long long changed = v + static_cast<long long>(pixel::RoundInt(f * 0.1 * (v - 127)));
    table[v] = static_cast<std::uint8_t>(std::clamp(changed, 0LL, 255LL));
  }
  MapBytes(FromBit, NewBit, table);
  return true;
}

int GetImgBrightnes(const Bitmap& sbmp, const PixelRect& aRect, int acolor) {
  if (!IsChannel(acolor)) return 0;
  const int left = std::max(aRect.Left, 0);
  const int top = std::max(aRect.Top, 0);
  const int right = std::min(aRect.Right, sbmp.Width());
  const int bottom = std::min(aRect.Bottom, sbmp.Height());
  if (left >= right || top >= bottom) return 0;
  std::uint32_t br = 0;
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* s = sbmp.Row(y) + acolor;
    for (int x = left; x < right; ++x) br += s[3 * x];
  }
  const auto area = static_cast<std::uint32_t>(right - left) * static_cast<std::uint32_t>(bottom - top);
  return static_cast<int>(br / area);
}
