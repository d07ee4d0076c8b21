// The exposure combination written step by step as it is defined: extended
// sums, one pass per step, no threads. Frames must be of one size and the
// frame range within the frames given and at least four frames long (the
// step-down of a dark surface column reads below the range otherwise).
#include <algorithm>
#include <cmath>
#include <vector>

#include "measure/numbers.h"
#include "measure/profile.h"
#include "reference_pixel_ops.h"

namespace reference {

int Kombinieren(Bitmap& rbmp, Bitmap& bmp32, const std::vector<Bitmap>& bmps, int count1, int count2, int th1,
                int th2, TProfileLine& aLine) {
  // Step 1.
  int result = (count1 + count2) / 2;
  if (count2 > 16) count2 = 16;
  aLine.fill(0);
  rbmp = bmps[count2 - 1];
  bmp32 = bmps[0];
  if (count1 + 1 >= count2) {
    rbmp = bmps[0];
    return result;
  }
  const int W = rbmp.Width();
  const int H = rbmp.Height();
  auto blue = [&](int k, int x, int y) { return static_cast<int>(bmps[k].Pixel(x, y)[0]); };
  std::vector<std::vector<int>> b(16, std::vector<int>(1281)), bb = b;
  std::vector<int> n(1281), nn(1281);
  std::vector<Extended> dt(1281), dz(1281), dtb(1281), dzb(1281);
  auto clear = [](auto& v) { std::fill(v.begin(), v.end(), 0); };
  Extended m = 0, c = 0, mb = 0, cb = H - 1;  // the start values of the two lines
  auto surface = [&](Extended x) { return m * x + c; };
  auto floorAt = [&](Extended x) { return mb * x + cb; };

  // Step 2.
  for (int y = 0; y < H; ++y) {
    int vv = 0;
    for (int x = 0; x < W; ++x) {
      for (int k = count1; k < count2; ++k) {
        if (blue(k, x, y) > th1) b[k][x] += 1;
        vv = vv + blue(k, x, y) * (k - count1 + 1);
      }
      vv = vv / (count2 - count1);
      bmp32.Pixel(x, y)[0] = vv & 0xFF;
      bmp32.Pixel(x, y)[1] = (vv >> 8) & 0xFF;
      bmp32.Pixel(x, y)[2] = (vv >> 16) & 0xFF;
    }
  }
  // Step 3.
  for (int x = 0; x < W; ++x) {
    for (int k = count1; k < count2; ++k) {
      if (b[n[x]][x] < 10 || std::abs(b[k][x] - th2) < std::abs(b[n[x]][x] - th2)) n[x] = k;
    }
  }
  // Step 4.
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const int v = blue(n[x], x, y);
      dt[x] += static_cast<Extended>(y) * (v * v);
      dz[x] += v * v;
    }
  }
  for (int x = 0; x < W; ++x) aLine[x] = dz[x] > 0 ? Round(dt[x] / dz[x]) : -1;
  Interpollieren(aLine);
  StarkGlaetten(aLine, 0, W - 1, 30, 0, 1);
  // Step 5.
  GetRegression(aLine, 80, W - 80, 0, 0, 0, H / 2, m, c);
  for (int i = 0; i < 2; ++i) GetRegression(aLine, 80, W - 80, 0, 0, 0, surface(640), m, c);
  GetRegression(aLine, 320, 960, 0, surface(640) + 10, 0, H - 1, mb, cb);
  for (int i = 0; i < 3; ++i) GetRegression(aLine, 320, 960, 0, floorAt(640) + 10, 0, H - 1, mb, cb);
  // Step 6.
  int y0 = std::max(1, Round(c - 60));
  int y1 = std::min(H - 1, Round(c + 60));
  if (y1 > floorAt(640) - 20) y1 = Round(floorAt(640) - 20);
  int y2 = std::max(Round(floorAt(640) + c) / 2, 1);
  int y3 = std::min(H - 1, Round(floorAt(640) + (y2 - y1)));
  if (y3 - y2 < y1 - y0) y3 = y2 + (y1 - y0);
  y3 = std::min(y3, H - 1);
  // Step 7.
  aLine.fill(0);
  clear(dt);
  clear(dz);
  for (int x = 0; x < W; ++x) {
    for (int y = y0; y <= y1; ++y) {
      const int v = blue(n[x], x, y);
      if (v > 10) {
        dt[x] += static_cast<Extended>(y) * (v * v);
        dz[x] += v * v;
      }
    }
    aLine[x] = dz[x] > 0 ? Round(dt[x] / dz[x]) : -1;
  }
  clear(dt);
  clear(dz);
  for (int x = 0; x < W; ++x) {
    for (int y = y2; y <= y3; ++y) {
      const int v = blue(n[x], x, y);
      if (v > 10) {
        dt[x] += static_cast<Extended>(y) * (v * v);
        dz[x] += v * v;
      }
    }
    if (dz[x] > 0) {
      const int v = Round(dt[x] / dz[x]);
      if (aLine[x] < 0 ||
          (std::abs(floorAt(x) - v) < std::abs(surface(x) - v) && std::abs(aLine[x] - surface(x)) > 5)) {
        aLine[x] = v;
      }
    }
  }
  Interpollieren(aLine);
  StarkGlaetten(aLine, 0, W - 1, 30, 0, 1);
  // Step 8.
  for (auto* counts : {&b, &bb}) {
    for (auto& row : *counts) clear(row);
  }
  clear(n);
  clear(nn);
  for (int y = y0; y <= y1; ++y) {
    for (int x = 0; x < W; ++x) {
      if (0 < aLine[x] && aLine[x] <= y1) {
        for (int k = count1; k < count2; ++k) {
          if (blue(k, x, y) > th1) b[k][x] += 1;
        }
      }
    }
  }
  for (int y = y2; y <= H - 1; ++y) {
    for (int x = 0; x < W; ++x) {
      if (aLine[x] >= y2) {
        for (int k = count1; k < count2; ++k) {
          if (blue(k, x, y) > th1) bb[k][x] += 1;
        }
      }
    }
  }
  // Step 9.
  for (int x = 0; x < W; ++x) {
    for (int k = count1; k < count2; ++k) {
      if (b[n[x]][x] < 5 || std::abs(b[k][x] - th2) < std::abs(b[n[x]][x] - th2)) n[x] = k;
      if (bb[nn[x]][x] < 5 || std::abs(bb[k][x] - th2) < std::abs(bb[nn[x]][x] - th2)) nn[x] = k;
    }
    if (n[x] == count2 - 1 && b[n[x]][x] == 0) {
      do {
        n[x] -= 1;
      } while (!(n[x] < count2 - 3 || b[n[x]][x] > 0));
    }
  }
  // Step 10.
  clear(dt);
  clear(dz);
  clear(dtb);
  clear(dzb);
  for (int y = 0; y < H; ++y) {
    for (int x = 5; x <= W - 6; ++x) {
      const int v = (blue(n[x - 1], x - 1, y) + blue(n[x], x, y) + blue(n[x + 1], x + 1, y)) / 3;
      const int w = (blue(nn[x - 1], x - 1, y) + blue(nn[x], x, y) + blue(nn[x + 1], x + 1, y)) / 3;
      rbmp.Pixel(x, y)[0] = static_cast<std::uint8_t>(v);
      rbmp.Pixel(x, y)[1] = static_cast<std::uint8_t>(w);
      if (v > 10) {
        if (y <= y1) {
          dt[x] += static_cast<Extended>(y) * (v * v);
          dz[x] += v * v;
        }
        if (y2 <= y && y <= y3) {
          dtb[x] += static_cast<Extended>(y) * (w * w);
          dzb[x] += w * w;
        }
      }
    }
  }
  // Step 11.
  aLine.fill(0);
  for (int x = 0; x < W; ++x) {
    if (dz[x] > 0 && dzb[x] < dz[x]) {
      aLine[x] = Round(dt[x] / dz[x]);
    } else if (dzb[x] > 0) {
      aLine[x] = Round(dtb[x] / dzb[x]);
    } else {
      aLine[x] = -1;
    }
  }
  Interpollieren(aLine);
  // Step 12.
  GetRegression(aLine, 0, W - 1, 0, c - 30, 0, c + 30, m, c);
  GetRegression(aLine, 320, 960, 0, cb - 30, 0, cb + 30, mb, cb);
  // Step 13: dz holds the weights, dzb the counters.
  clear(dz);
  clear(dzb);
  for (int y = std::max(1, Round(c - 40)); y <= std::min(H - 1, Round(c + 40)); ++y) {
    for (int x = 0; x < W; ++x) {
      const Extended r = surface(x) - y;
      const int q = rbmp.Pixel(x, y)[0];
      if (0 < r && r < 20 && q > 100) {
        dz[x] += q * q;
        dzb[x] += 1;
      }
    }
  }
  for (int x = 0; x < W; ++x) {
    if (dz[x] > 0 && dzb[x] > 10) aLine[x] = Round(surface(x));
  }
  // Step 14.
  int sumx = 0, cnt = 0, x0 = 100, x1 = W - 100;
  for (int x = 100; x <= W - 100; ++x) {
    if (dzb[x] < 5) {
      sumx += x;
      cnt += 1;
    }
  }
  if (cnt > 0) {
    x0 = x1 = sumx / cnt;
    while (dzb[x0] < 16 && x0 > 100) x0 -= 1;
    while (dzb[x1] < 16 && x1 < W - 100) x1 += 1;
  }
  // Step 15.
  clear(dt);
  clear(dz);
  clear(dtb);
  for (int y = std::max(1, Round(floorAt(640) - 100)); y <= std::min(H - 1, Round(floorAt(640) + 100)); ++y) {
    for (int x = x0; x <= x1; ++x) {
      const Extended s = y - floorAt(x);
      const Extended a = std::abs(y - surface(x));
      const int p = s >= a ? rbmp.Pixel(x, y)[0] : rbmp.Pixel(x, y)[1];
      if (p > 20) {
        dt[x] += static_cast<Extended>(y) * (p * p);
        dz[x] += p * p;
        dtb[x] += 1;
      }
    }
  }
  for (int x = 0; x < W; ++x) {
    if (dz[x] > 0 && dtb[x] > 20) aLine[x] = Round(dt[x] / dz[x]);
  }
  StarkGlaetten(aLine, 0, W - 1, 5, 0, 1);
  // Step 16.
  clear(dt);
  clear(dz);
  clear(dtb);
  const int centre = (x0 + x1) / 2;
  const int third = (x1 - x0) / 3;
  for (int y = std::max(1, Round(floorAt(640) - 100)); y <= std::min(H - 1, Round(floorAt(640) + 30)); ++y) {
    for (int x = x0; x <= x1; ++x) {
      if (std::abs(x - centre) >= third) {
        const int p = rbmp.Pixel(x, y)[0];
        if (p > 20) {
          dt[x] += static_cast<Extended>(y) * (p * p);
          dz[x] += p * p;
          dtb[x] += 1;
        }
      }
    }
  }
  for (int x = x0; x <= x1; ++x) {
    if (dz[x] > 0 && dtb[x] > 20) aLine[x] = Round(dt[x] / dz[x]);
  }
  StarkGlaetten(aLine, x0, x1, 20, 0, 1);
  // Step 17.
  for (int x = 0; x < W; ++x) {
    const int v = aLine[x];
    rbmp.Pixel(x, H - 1)[0] = v & 0xFF;
    rbmp.Pixel(x, H - 1)[1] = (v >> 8) & 0xFF;
    rbmp.Pixel(x, H - 1)[2] = (v >> 16) & 0xFF;
  }
  // Step 18.
  long long sum = 0;
  for (int x = 0; x < W; ++x) sum += n[x];
  result = static_cast<int>(sum / W);
  return result;
}

}  // namespace reference
