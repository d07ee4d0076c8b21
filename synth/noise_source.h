#pragma once

// Deterministic sensor noise for synthetic pictures: a table of 4096 values
// of a sum of four uniforms (close enough to a Gaussian), read at positions
// drawn four at a time from one splitmix64 value. Much cheaper per pixel than
// a true Gaussian draw, which matters for a full frame at 15 frames per
// second.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

class NoiseSource {
public:
  NoiseSource(std::uint32_t seed, double sigma) : state_(seed), table_(kTableSize) {
    for (float& value : table_) {
      const std::uint64_t bits = NextBits();
      double sum = 0;
      for (int i = 0; i < 4; ++i) sum += static_cast<double>((bits >> (16 * i)) & 0xFFFF) / 65536.0 - 0.5;
      value = static_cast<float>(sum * std::sqrt(3.0) * sigma);  // the sum has variance 1/3
    }
  }
  float Next() {
    if (cached_ == 0) {
      bits_ = NextBits();
      cached_ = 4;
    }
    --cached_;
    const auto index = static_cast<std::size_t>(bits_ & (kTableSize - 1));
    bits_ >>= 16;
    return table_[index];
  }

private:
  static constexpr std::size_t kTableSize = 4096;
  std::uint64_t NextBits() {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t state_;
  std::vector<float> table_;
  std::uint64_t bits_ = 0;
  int cached_ = 0;
};

}  // namespace synth
