#include "imaging/byte_rows.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VQX_HAVE_SSSE3_PATH 1
#endif

#include "imaging/cpu_features.h"

namespace {

#if defined(VQX_HAVE_SSSE3_PATH)
// Sixteen pixels (48 bytes) at a time: each of the three loads gives the
// blue bytes that lie in it, shuffled to their places; -1 lanes give 0.
__attribute__((target("ssse3"))) int ExtractBlueSsse3(const std::uint8_t* bgr, std::uint8_t* blue, int width) {
  const __m128i first = _mm_setr_epi8(0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m128i second = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14, -1, -1, -1, -1, -1);
  const __m128i third = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1, 4, 7, 10, 13);
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    const auto* in = reinterpret_cast<const __m128i*>(bgr + 3 * x);
    const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(in), first);
    const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), second);
    const __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), third);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(blue + x), _mm_or_si128(_mm_or_si128(a, b), c));
  }
  return x;
}
#endif

}  // namespace

void ExtractBlue(const std::uint8_t* bgr, std::uint8_t* blue, int width) {
  int x = 0;
#if defined(VQX_HAVE_SSSE3_PATH)
  if (pixel::UseSsse3()) x = ExtractBlueSsse3(bgr, blue, width);
#endif
  for (; x < width; ++x) blue[x] = bgr[3 * x];
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
