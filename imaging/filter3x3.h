#pragma once

// 3 x 3 convolution of every channel, with the program's sharpen and smooth
// kernels. Rows 1..Height-2 and columns 1..Width-2 of the destination are
// written; its outermost rows and columns keep their content.

#include <array>

#include "base/bitmap.h"

// Indexed [row offset + 1][column offset + 1].
using TFilter = std::array<std::array<double, 3>, 3>;

inline constexpr TFilter kSharpenKernel{{{-1, -1, -1}, {-1, 9, -1}, {-1, -1, -1}}};
inline constexpr TFilter kSmoothKernel{{{0.05, 0.1, 0.05}, {0.1, 0.4, 0.1}, {0.05, 0.1, 0.05}}};

// Per byte: v := sum of the nine products in row-major order, each partial sum
// a 64-bit float; clamped to 0..255 and rounded (halves to even). Returns
// false (and writes nothing) when the source is smaller than the destination.
// When both are the same bitmap the source is read from a copy.
bool ApplyFilter(const Bitmap& FromBit, Bitmap& NewBit, const TFilter& aFilter);
bool Sharpbmp(const Bitmap& FromBit, Bitmap& NewBit);
bool Smooth(const Bitmap& FromBit, Bitmap& NewBit);
