#include "imaging/display_preparation.h"

#include "imaging/filter3x3.h"
#include "imaging/pixel_ops.h"

namespace {

// The main window's calls name the target channel with a Boolean: true is
// green, false is blue.
constexpr int kRed = 2;
constexpr int kTrueChannel = 1;
constexpr int kFalseChannel = 0;

// Sharpens rBild into itself by way of tmp and smooths it twice; tmp keeps
// the copy's border, which later passes through tmp read.
void SharpenAndSmooth(Bitmap& rBild, Bitmap& tmp) {
  tmp = rBild;
  Sharpbmp(tmp, rBild);
  Smooth(rBild, tmp);
  Smooth(tmp, rBild);
}

}  // namespace

void PrepareForDrawing(const Bitmap& iBild, Bitmap& rBild, Bitmap& dBild, double r) {
  Bitmap tmp;
  rBild = iBild;
  Contrast(iBild, rBild, 2);
  ImgChW(iBild, rBild, kRed, kTrueChannel, r);
  ImgChW(iBild, rBild, kRed, kFalseChannel, r);
  SharpenAndSmooth(rBild, tmp);
  dBild = rBild;
  Smooth(dBild, tmp);
  Smooth(tmp, dBild);
  Img2Gray(dBild, rBild, false);
  dBild = rBild;
}

void PrepareForDrawingPertinax(const Bitmap& iBild, Bitmap& rBild, Bitmap& dBild) {
  if (rBild.Width() != iBild.Width() || rBild.Height() != iBild.Height()) rBild = iBild;
  Bitmap tmp;
  Contrast(iBild, rBild, 2);
  ImgCh(iBild, rBild, kRed, kTrueChannel);
  ImgCh(iBild, rBild, kRed, kFalseChannel);
  SharpenAndSmooth(rBild, tmp);
  dBild = rBild;
}
