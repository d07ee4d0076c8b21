#include "imaging/byte_rows.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void ExtractBlue(const std::uint8_t* bgr, std::uint8_t* blue, int width) {
  for (int x = 0; x < width; ++x) blue[x] = bgr[3 * x];
}

void CountAbove(const std::uint8_t* row, int width, int threshold, const std::uint8_t* mask, std::uint16_t* counts) {
  if (threshold >= 255) return;  // no byte lies above
  threshold = std::max(threshold, -1);
  int x = 0;
#if defined(__SSE2__)
  // Unsigned comparison as signed comparison of the bytes shifted by 128.
  const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i limit = _mm_set1_epi8(static_cast<char>((threshold + 128) & 0xFF));
  const bool all = threshold < 0;
  for (; x + 16 <= width; x += 16) {
    const __m128i v = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)), bias);
    __m128i above = all ? _mm_set1_epi8(-1) : _mm_cmpgt_epi8(v, limit);
    if (mask) above = _mm_and_si128(above, _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + x)));
    // A true lane is 0xFF; as a 16-bit lane 0xFFFF = -1, so subtracting adds one.
    auto* out = reinterpret_cast<__m128i*>(counts + x);
    _mm_storeu_si128(out, _mm_sub_epi16(_mm_loadu_si128(out), _mm_unpacklo_epi8(above, above)));
    _mm_storeu_si128(out + 1, _mm_sub_epi16(_mm_loadu_si128(out + 1), _mm_unpackhi_epi8(above, above)));
  }
#endif
  for (; x < width; ++x) {
    if (row[x] > threshold && (!mask || mask[x])) ++counts[x];
  }
}

void AddWeighted(const std::uint8_t* row, int width, int factor, std::uint16_t* sums) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i weight = _mm_set1_epi16(static_cast<short>(factor));
  for (; x + 16 <= width; x += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    auto* out = reinterpret_cast<__m128i*>(sums + x);
    _mm_storeu_si128(out, _mm_add_epi16(_mm_loadu_si128(out), _mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), weight)));
    _mm_storeu_si128(out + 1,
                     _mm_add_epi16(_mm_loadu_si128(out + 1), _mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), weight)));
  }
#endif
  for (; x < width; ++x) sums[x] = static_cast<std::uint16_t>(sums[x] + row[x] * factor);
}
