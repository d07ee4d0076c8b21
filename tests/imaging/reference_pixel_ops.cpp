#include "reference_pixel_ops.h"

#include <algorithm>

#include "measure/numbers.h"

namespace reference {

namespace {

const Kernel kSharpen{{{-1, -1, -1}, {-1, 9, -1}, {-1, -1, -1}}};
const Kernel kSmooth{{{0.05, 0.1, 0.05}, {0.1, 0.4, 0.1}, {0.05, 0.1, 0.05}}};

}  // namespace

void Img2Gray(const Bitmap& sbmp, Bitmap& dbmp, bool inv) {
  for (int y = 0; y < dbmp.Height(); ++y) {
    const std::uint8_t* s = sbmp.Row(y);
    std::uint8_t* d = dbmp.Row(y);
    for (int x = 0; x < dbmp.Width(); ++x) {
      int g = Round(0.15 * s[3 * x] + 0.5 * s[3 * x + 1] + 0.35 * s[3 * x + 2]);
      if (inv) g = 255 - g;
      d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = static_cast<std::uint8_t>(g);
    }
  }
}

void ImgCh(const Bitmap& sbmp, Bitmap& dbmp, int c1, int c2) {
  for (int y = 0; y <= dbmp.Height() - 2; ++y) {
    for (int x = 0; x < dbmp.Width(); ++x) dbmp.Row(y)[3 * x + c2] = sbmp.Row(y)[3 * x + c1];
  }
}

void ImgChW(const Bitmap& sbmp, Bitmap& dbmp, int c1, int c2, double w) {
  for (int y = 0; y <= dbmp.Height() - 2; ++y) {
    for (int x = 0; x < dbmp.Width(); ++x) {
      std::uint8_t& d = dbmp.Row(y)[3 * x + c2];
      const double ws = w * sbmp.Row(y)[3 * x + c1];
      d = static_cast<std::uint8_t>(std::min(Round(ws + (1 - w) * d), 255));
    }
  }
}

void InvImg(const Bitmap& FromBit, Bitmap& NewBit) {
  for (int y = 0; y < NewBit.Height(); ++y) {
    for (std::size_t i = 0; i < NewBit.RowBytes(); ++i) NewBit.Row(y)[i] = 255 - FromBit.Row(y)[i];
  }
}

void Contrast(const Bitmap& FromBit, Bitmap& NewBit, int f) {
  for (int y = 0; y < NewBit.Height(); ++y) {
    for (std::size_t i = 0; i < NewBit.RowBytes(); ++i) {
      const int v = FromBit.Row(y)[i];
      NewBit.Row(y)[i] = static_cast<std::uint8_t>(std::clamp(v + Round(f * 0.1 * (v - 127)), 0, 255));
    }
  }
}

void ApplyFilter(const Bitmap& FromBit, Bitmap& NewBit, const Kernel& aFilter) {
  for (int y = 1; y <= NewBit.Height() - 2; ++y) {
    for (int x = 1; x <= NewBit.Width() - 2; ++x) {
      for (int z = 0; z < 3; ++z) {
        double v = 0;
        for (int i = -1; i <= 1; ++i) {
          for (int j = -1; j <= 1; ++j) v = v + FromBit.Pixel(x + j, y + i)[z] * aFilter[i + 1][j + 1];
        }
        if (v < 0) v = 0;
        if (v > 255) v = 255;
        NewBit.Pixel(x, y)[z] = static_cast<std::uint8_t>(Round(v));
      }
    }
  }
}

void Sharpbmp(const Bitmap& FromBit, Bitmap& NewBit) { ApplyFilter(FromBit, NewBit, kSharpen); }

void Smooth(const Bitmap& FromBit, Bitmap& NewBit) { ApplyFilter(FromBit, NewBit, kSmooth); }

void TrapezLin(const Bitmap& sbmp, Bitmap& dbmp, int y0, double Faktor) {
  const int Breite = dbmp.Width() - 2;
  const int mitte = Breite / 2;
  const int rechts = Breite - 2;
  for (int y = 0; y < dbmp.Height(); ++y) {
    for (int x = 0; x <= Breite; ++x) {
      const double t = (y - y0) * Faktor * (mitte - x) / Breite;
      const int offset = x + Round(t);
      int from = rechts;
      if (0 <= offset && offset < Breite) from = offset;
      if (offset < 0) from = 0;
      for (int z = 0; z < 3; ++z) dbmp.Pixel(x, y)[z] = sbmp.Pixel(from, y)[z];
    }
  }
}

int GetImgBrightnes(const Bitmap& sbmp, int left, int top, int right, int bottom, int acolor) {
  std::uint32_t br = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) br += sbmp.Pixel(x, y)[acolor];
  }
  return static_cast<int>(br / static_cast<std::uint32_t>((right - left) * (bottom - top)));
}

void Mitteln(Bitmap& rbmp, const std::vector<Bitmap>& bmps, int count1, int count2) {
  rbmp = bmps[0];
  if (count1 + 1 >= count2) return;
  if (count2 > 10) count2 = 10;
  for (int y = 0; y < rbmp.Height(); ++y) {
    for (std::size_t i = 0; i < rbmp.RowBytes(); ++i) {
      int sum = 0;
      for (int k = count1; k < count2; ++k) sum += bmps[k].Row(y)[i];
      rbmp.Row(y)[i] = static_cast<std::uint8_t>(sum / (count2 - count1));
    }
  }
}

void PrepareForDrawing(const Bitmap& iBild, Bitmap& rBild, Bitmap& dBild, double r) {
  rBild = iBild;
  Contrast(iBild, rBild, 2);
  ImgChW(iBild, rBild, 2, 1, r);
  ImgChW(iBild, rBild, 2, 0, r);
  Bitmap tmp = rBild;
  Sharpbmp(tmp, rBild);
  Smooth(rBild, tmp);
  Smooth(tmp, rBild);
  dBild = rBild;
  Smooth(dBild, tmp);
  Smooth(tmp, dBild);
  Img2Gray(dBild, rBild, false);
  dBild = rBild;
}

void PrepareForDrawingPertinax(const Bitmap& iBild, Bitmap& rBild, Bitmap& dBild) {
  Contrast(iBild, rBild, 2);
  ImgCh(iBild, rBild, 2, 1);
  ImgCh(iBild, rBild, 2, 0);
  Bitmap tmp = rBild;
  Sharpbmp(tmp, rBild);
  Smooth(rBild, tmp);
  Smooth(tmp, rBild);
  dBild = rBild;
}

}  // namespace reference
