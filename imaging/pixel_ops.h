#pragma once

// Pixel operations on 24-bit bitmaps (bytes blue, green, red). Each takes a
// source and a destination; the destination's size decides the loop bounds.
// An operation whose source is smaller than its destination, or whose channel
// index is not 0..2, writes nothing and returns false. Source and destination
// may be the same bitmap.

#include <cstdint>

#include "base/bitmap.h"

// A rectangle of pixels: columns Left..Right-1, rows Top..Bottom-1.
struct PixelRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// Grey value Round(0.15 blue + 0.5 green + 0.35 red) (or 255 minus it) into all three bytes.
bool Img2Gray(const Bitmap& sbmp, Bitmap& dbmp, bool inv);
// Byte c2 of the destination := byte c1 of the source, rows 0..Height-2.
bool ImgCh(const Bitmap& sbmp, Bitmap& dbmp, int c1, int c2);
// Byte c2 of the destination := Round(w s + (1 - w) d) limited to 0..255,
// rows 0..Height-2 (the profile row stays).
bool ImgChW(const Bitmap& sbmp, Bitmap& dbmp, int c1, int c2, double w);
// Every byte inverted: 255 - v.
bool InvImg(const Bitmap& FromBit, Bitmap& NewBit);
// Every byte v := v + Round(f 0.1 (v - 127)), clamped to 0..255.
bool Contrast(const Bitmap& FromBit, Bitmap& NewBit, int f);
// Mean of byte acolor over the rectangle (unsigned 32-bit sum, truncating
// division). The rectangle is clipped to the image; an empty one gives 0.
int GetImgBrightnes(const Bitmap& sbmp, const PixelRect& aRect, int acolor);
