#include "imaging/frame_mean.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/frame_series.h"
#include "imaging/parallel_rows.h"

namespace {

constexpr int kMostFrames = 10;

// For sums below 2560 and 2 <= n <= 10, (s * ceil(65536 / n)) >> 16 is s div n:
// the rounding error of the factor stays below the gap to the next multiple.
std::uint16_t DivisionFactor(int n) { return static_cast<std::uint16_t>((65536 + n - 1) / n); }

void MeanRow(const FrameSeries& series, int count1, int count2, int y, std::uint8_t* out, std::size_t bytes) {
  const int n = count2 - count1;
  const std::uint16_t factor = DivisionFactor(n);
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i multiplier = _mm_set1_epi16(static_cast<short>(factor));
  for (; i + 16 <= bytes; i += 16) {
    __m128i low = zero;
    __m128i high = zero;
    for (int k = count1; k < count2; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(series[k].Row(y) + i));
      low = _mm_add_epi16(low, _mm_unpacklo_epi8(v, zero));
      high = _mm_add_epi16(high, _mm_unpackhi_epi8(v, zero));
    }
    low = _mm_mulhi_epu16(low, multiplier);
    high = _mm_mulhi_epu16(high, multiplier);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
  }
#endif
  for (; i < bytes; ++i) {
    unsigned sum = 0;
    for (int k = count1; k < count2; ++k) sum += series[k].Row(y)[i];
    out[i] = static_cast<std::uint8_t>(sum / static_cast<unsigned>(n));
  }
}

}  // namespace

void Mitteln(Bitmap& rbmp, std::span<const Bitmap> bmps, int count1, int count2) {
  if (bmps.empty()) {
    rbmp = Bitmap();
    return;
  }
  rbmp = bmps[0];
  if (count1 + 1 >= count2) return;
  count2 = std::min({count2, kMostFrames, static_cast<int>(bmps.size())});
  count1 = std::max(count1, 0);
  if (count1 >= count2 || rbmp.Empty()) return;
  const FrameSeries series(bmps, count2, rbmp.Width(), rbmp.Height());
  if (count2 - count1 == 1) {  // the mean of one frame is that frame
    rbmp = series[count1];
    return;
  }
  ParallelRows(0, rbmp.Height(), [&](int first, int last) {
    for (int y = first; y < last; ++y) MeanRow(series, count1, count2, y, rbmp.Row(y), rbmp.RowBytes());
  });
}
