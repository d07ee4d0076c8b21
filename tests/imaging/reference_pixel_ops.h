#pragma once

// Plain versions of the pixel operations, written step by step as the
// operations are defined, without tables, threads or vector code. The fast
// operations must agree with them byte for byte.

#include <array>
#include <vector>

#include "base/bitmap.h"
#include "measure/records.h"

namespace reference {

using Kernel = std::array<std::array<double, 3>, 3>;

void Img2Gray(const Bitmap& sbmp, Bitmap& dbmp, bool inv);
void ImgCh(const Bitmap& sbmp, Bitmap& dbmp, int c1, int c2);
void ImgChW(const Bitmap& sbmp, Bitmap& dbmp, int c1, int c2, double w);
void InvImg(const Bitmap& FromBit, Bitmap& NewBit);
void Contrast(const Bitmap& FromBit, Bitmap& NewBit, int f);
void ApplyFilter(const Bitmap& FromBit, Bitmap& NewBit, const Kernel& aFilter);
void Sharpbmp(const Bitmap& FromBit, Bitmap& NewBit);
void Smooth(const Bitmap& FromBit, Bitmap& NewBit);
void TrapezLin(const Bitmap& sbmp, Bitmap& dbmp, int y0, double Faktor);
int GetImgBrightnes(const Bitmap& sbmp, int left, int top, int right, int bottom, int acolor);

void Mitteln(Bitmap& rbmp, const std::vector<Bitmap>& bmps, int count1, int count2);
int Kombinieren(Bitmap& rbmp, Bitmap& bmp32, const std::vector<Bitmap>& bmps, int count1, int count2, int th1,
                int th2, TProfileLine& aLine);

void PrepareForDrawing(const Bitmap& iBild, Bitmap& rBild, Bitmap& dBild, double r);
void PrepareForDrawingPertinax(const Bitmap& iBild, Bitmap& rBild, Bitmap& dBild);

}  // namespace reference
