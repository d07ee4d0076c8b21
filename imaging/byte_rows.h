#pragma once

// Vector loops over rows of single bytes (one channel of a picture), the
// inner loops of the exposure combination.

#include <cstdint>

// blue[x] := bgr[3 x] for x = 0..width-1.
void ExtractBlue(const std::uint8_t* bgr, std::uint8_t* blue, int width);

// counts[x] += 1 where row[x] > threshold (and mask[x] != 0 when a mask is
// given). The caller keeps every count below 65536.
void CountAbove(const std::uint8_t* row, int width, int threshold, const std::uint8_t* mask, std::uint16_t* counts);

// sums[x] += row[x] * factor; the caller keeps every sum below 65536.
void AddWeighted(const std::uint8_t* row, int width, int factor, std::uint16_t* sums);
