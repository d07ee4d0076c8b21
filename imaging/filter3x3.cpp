#include "imaging/filter3x3.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VQX_HAVE_AVX2_PATH 1
#endif

#include "imaging/cpu_features.h"
#include "imaging/fast_round.h"
#include "imaging/parallel_rows.h"

namespace {

// Bytes of one row that the filter writes: columns 1..Width-2, all channels.
constexpr int kFirstByte = Bitmap::kBytesPerPixel;
int EndByte(const Bitmap& bitmap) { return (bitmap.Width() - 1) * Bitmap::kBytesPerPixel; }
constexpr int kStep = Bitmap::kBytesPerPixel;  // bytes from one pixel to the next

// A kernel of small whole numbers: every partial sum of 64-bit floats is then
// an exact integer, so integer arithmetic gives the same bytes, and 16-bit
// lanes hold every sum.
bool IsSmallIntegerKernel(const TFilter& filter) {
  double magnitude = 0;
  for (const auto& row : filter) {
    for (double k : row) {
      if (!(std::nearbyint(k) == k)) return false;
      magnitude += std::fabs(k);
    }
  }
  return magnitude <= 128;
}

using RowPointers = std::array<const std::uint8_t*, 3>;

int IntegerTap(const RowPointers& rows, const std::array<std::array<int, 3>, 3>& k, int i) {
  int v = 0;
  for (int r = 0; r < 3; ++r) {
    for (int j = 0; j < 3; ++j) v += rows[r][i + (j - 1) * kStep] * k[r][j];
  }
  return std::clamp(v, 0, 255);
}

void IntegerFilterRow(const RowPointers& rows, std::uint8_t* out, int end,
                      const std::array<std::array<int, 3>, 3>& k) {
  int i = kFirstByte;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  __m128i weights[3][3];
  for (int r = 0; r < 3; ++r) {
    for (int j = 0; j < 3; ++j) weights[r][j] = _mm_set1_epi16(static_cast<short>(k[r][j]));
  }
  for (; i + 8 <= end; i += 8) {
    __m128i sum = zero;
    for (int r = 0; r < 3; ++r) {
      for (int j = 0; j < 3; ++j) {
        const auto* p = reinterpret_cast<const __m128i*>(rows[r] + i + (j - 1) * kStep);
        const __m128i bytes = _mm_unpacklo_epi8(_mm_loadl_epi64(p), zero);
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(bytes, weights[r][j]));
      }
    }
    // Saturating packing is the clamp to 0..255.
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(sum, zero));
  }
#endif
  for (; i < end; ++i) out[i] = static_cast<std::uint8_t>(IntegerTap(rows, k, i));
}

using DoubleRows = std::array<const double*, 3>;

double FloatTap(const DoubleRows& rows, const TFilter& k, int i) {
  double v = rows[0][i - kStep] * k[0][0];
  v = v + rows[0][i] * k[0][1];
  v = v + rows[0][i + kStep] * k[0][2];
  v = v + rows[1][i - kStep] * k[1][0];
  v = v + rows[1][i] * k[1][1];
  v = v + rows[1][i + kStep] * k[1][2];
  v = v + rows[2][i - kStep] * k[2][0];
  v = v + rows[2][i] * k[2][1];
  v = v + rows[2][i + kStep] * k[2][2];
  return v;
}

std::uint8_t ClampRound(double v) {
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  if (!(v == v)) v = 0;  // a kernel with a NaN: Round gives 0
  return pixel::RoundByte(v);
}

void FloatFilterRow(const DoubleRows& rows, std::uint8_t* out, int end, const TFilter& k) {
  int i = kFirstByte;
#if defined(__SSE2__)
  __m128d weights[3][3];
  for (int r = 0; r < 3; ++r) {
    for (int j = 0; j < 3; ++j) weights[r][j] = _mm_set1_pd(k[r][j]);
  }
  const __m128d low = _mm_setzero_pd();
  const __m128d high = _mm_set1_pd(255.0);
  const __m128d shift = _mm_set1_pd(6755399441055744.0);
  // Two lanes of the same nine-term sum in the same order as FloatTap.
  auto lanes = [&](int at) {
    __m128d v = _mm_mul_pd(_mm_loadu_pd(rows[0] + at - kStep), weights[0][0]);
    v = _mm_add_pd(v, _mm_mul_pd(_mm_loadu_pd(rows[0] + at), weights[0][1]));
    v = _mm_add_pd(v, _mm_mul_pd(_mm_loadu_pd(rows[0] + at + kStep), weights[0][2]));
    v = _mm_add_pd(v, _mm_mul_pd(_mm_loadu_pd(rows[1] + at - kStep), weights[1][0]));
    v = _mm_add_pd(v, _mm_mul_pd(_mm_loadu_pd(rows[1] + at), weights[1][1]));
    v = _mm_add_pd(v, _mm_mul_pd(_mm_loadu_pd(rows[1] + at + kStep), weights[1][2]));
    v = _mm_add_pd(v, _mm_mul_pd(_mm_loadu_pd(rows[2] + at - kStep), weights[2][0]));
    v = _mm_add_pd(v, _mm_mul_pd(_mm_loadu_pd(rows[2] + at), weights[2][1]));
    v = _mm_add_pd(v, _mm_mul_pd(_mm_loadu_pd(rows[2] + at + kStep), weights[2][2]));
    // max(v, 0) gives 0 for NaN, as ClampRound does.
    v = _mm_min_pd(_mm_max_pd(v, low), high);
    v = _mm_sub_pd(_mm_add_pd(v, shift), shift);
    return _mm_cvttpd_epi32(v);
  };
  for (; i + 8 <= end; i += 8) {
    const __m128i a = _mm_unpacklo_epi64(lanes(i), lanes(i + 2));
    const __m128i b = _mm_unpacklo_epi64(lanes(i + 4), lanes(i + 6));
    const __m128i words = _mm_packs_epi32(a, b);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(words, words));
  }
#endif
  for (; i < end; ++i) out[i] = ClampRound(FloatTap(rows, k, i));
}

#if defined(VQX_HAVE_AVX2_PATH)
using AvxWeights = __m256d[3][3];

// Four lanes of the same sum as FloatTap, clamped and rounded, as 32-bit integers.
__attribute__((target("avx2"))) __m128i FloatLanesAvx2(const DoubleRows& rows, const AvxWeights& w, int at) {
  __m256d v = _mm256_mul_pd(_mm256_loadu_pd(rows[0] + at - kStep), w[0][0]);
  v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_loadu_pd(rows[0] + at), w[0][1]));
  v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_loadu_pd(rows[0] + at + kStep), w[0][2]));
  v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_loadu_pd(rows[1] + at - kStep), w[1][0]));
  v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_loadu_pd(rows[1] + at), w[1][1]));
  v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_loadu_pd(rows[1] + at + kStep), w[1][2]));
  v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_loadu_pd(rows[2] + at - kStep), w[2][0]));
  v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_loadu_pd(rows[2] + at), w[2][1]));
  v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_loadu_pd(rows[2] + at + kStep), w[2][2]));
  // max(v, 0) gives 0 for NaN, as ClampRound does.
  v = _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
  const __m256d shift = _mm256_set1_pd(6755399441055744.0);
  v = _mm256_sub_pd(_mm256_add_pd(v, shift), shift);
  return _mm256_cvttpd_epi32(v);
}

// FloatFilterRow with four lanes, for processors with AVX2 (checked at run
// time). No FMA: each product is rounded before its sum.
__attribute__((target("avx2"))) void FloatFilterRowAvx2(const DoubleRows& rows, std::uint8_t* out, int end,
                                                        const TFilter& k) {
  AvxWeights weights;
  for (int r = 0; r < 3; ++r) {
    for (int j = 0; j < 3; ++j) weights[r][j] = _mm256_set1_pd(k[r][j]);
  }
  int i = kFirstByte;
  for (; i + 8 <= end; i += 8) {
    const __m128i words = _mm_packs_epi32(FloatLanesAvx2(rows, weights, i), FloatLanesAvx2(rows, weights, i + 4));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(words, words));
  }
  for (; i < end; ++i) out[i] = ClampRound(FloatTap(rows, k, i));
}

__attribute__((target("avx2"))) void ToDoublesAvx2(const std::uint8_t* s, double* d, std::size_t count) {
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    int bytes;
    std::memcpy(&bytes, s + i, 4);
    _mm256_storeu_pd(d + i, _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes))));
  }
  for (; i < count; ++i) d[i] = s[i];
}

#endif

void ToDoubles(const std::uint8_t* s, double* d, std::size_t count) {
#if defined(VQX_HAVE_AVX2_PATH)
  if (pixel::UseAvx2()) return ToDoublesAvx2(s, d, count);
#endif
  for (std::size_t i = 0; i < count; ++i) d[i] = s[i];
}

void FloatRow(const DoubleRows& rows, std::uint8_t* out, int end, const TFilter& k) {
#if defined(VQX_HAVE_AVX2_PATH)
  if (pixel::UseAvx2()) return FloatFilterRowAvx2(rows, out, end, k);
#endif
  FloatFilterRow(rows, out, end, k);
}

void IntegerFilter(const Bitmap& from, Bitmap& to, const TFilter& filter) {
  std::array<std::array<int, 3>, 3> k{};
  for (int r = 0; r < 3; ++r) {
    for (int j = 0; j < 3; ++j) k[r][j] = static_cast<int>(filter[r][j]);
  }
  const int end = EndByte(to);
  ParallelRows(1, to.Height() - 1, [&](int first, int last) {
    for (int y = first; y < last; ++y) {
      IntegerFilterRow({from.Row(y - 1), from.Row(y), from.Row(y + 1)}, to.Row(y), end, k);
    }
  });
}

void FloatFilter(const Bitmap& from, Bitmap& to, const TFilter& filter) {
  const int end = EndByte(to);
  const std::size_t rowLength = to.RowBytes();
  ParallelRows(1, to.Height() - 1, [&](int first, int last) {
    // Three source rows as 64-bit floats, reused as the window moves down.
    std::vector<double> buffer(3 * rowLength);
    auto slot = [&](int y) { return buffer.data() + static_cast<std::size_t>(y % 3) * rowLength; };
    auto convert = [&](int y) { ToDoubles(from.Row(y), slot(y), rowLength); };
    convert(first - 1);
    convert(first);
    for (int y = first; y < last; ++y) {
      convert(y + 1);
      FloatRow({slot(y - 1), slot(y), slot(y + 1)}, to.Row(y), end, filter);
    }
  });
}

}  // namespace

bool ApplyFilter(const Bitmap& FromBit, Bitmap& NewBit, const TFilter& aFilter) {
  if (FromBit.Width() < NewBit.Width() || FromBit.Height() < NewBit.Height()) return false;
  if (&FromBit == &NewBit) {
    const Bitmap copy = FromBit;
    return ApplyFilter(copy, NewBit, aFilter);
  }
  if (NewBit.Width() < 3 || NewBit.Height() < 3) return true;
  if (IsSmallIntegerKernel(aFilter)) {
    IntegerFilter(FromBit, NewBit, aFilter);
  } else {
    FloatFilter(FromBit, NewBit, aFilter);
  }
  return true;
}

bool Sharpbmp(const Bitmap& FromBit, Bitmap& NewBit) { return ApplyFilter(FromBit, NewBit, kSharpenKernel); }

bool Smooth(const Bitmap& FromBit, Bitmap& NewBit) { return ApplyFilter(FromBit, NewBit, kSmoothKernel); }
