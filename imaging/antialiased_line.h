#pragma once

// Lines with sub-pixel end points, blended into the picture by coverage
// (Xiaolin Wu's scheme): walked along the major axis, every step colours the
// two pixels that straddle the exact line.

#include <cstdint>

#include "base/bitmap.h"

// A colour as the platform writes it, $00BBGGRR: byte 0 red, byte 1 green,
// byte 2 blue.
using TColor = std::uint32_t;

// A surface that reads and writes single pixels.
class PixelCanvas {
public:
  virtual ~PixelCanvas() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual TColor GetPixel(int x, int y) const = 0;
  virtual void SetPixel(int x, int y, TColor color) = 0;
};

// A Bitmap as a canvas. Pixels outside the bitmap read as black and ignore writes.
class BitmapCanvas : public PixelCanvas {
public:
  explicit BitmapCanvas(Bitmap& bitmap) : bitmap_(bitmap) {}
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  TColor GetPixel(int x, int y) const override;
  void SetPixel(int x, int y, TColor color) override;

private:
  Bitmap& bitmap_;
};

// Draws from (AX1, AY1) to (AX2, AY2). The walk along the major axis covers
// only the columns (rows, for a steep line) of the canvas, so a far-off end
// point costs no time.
void DrawAntialisedLine(PixelCanvas& Canvas, double AX1, double AY1, double AX2, double AY2, TColor LineColor);
