#include "measure/profile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kLastIndex = kProfileLength - 1;  // 1280

bool InLine(int x) { return x >= 0 && x <= kLastIndex; }

// The line value at x in extended precision, as the comparisons use it.
Extended LineAt(double m, double c, int x) { return static_cast<Extended>(x) * m + c; }

}  // namespace

double Abstand(double x1, double y1, double x2, double y2) {
  const Extended dx = static_cast<Extended>(x2) - x1;
  const Extended dy = static_cast<Extended>(y2) - y1;
  return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

Extended AbstandPunktGerade(Extended x0, Extended y0, Extended a, Extended b) {
  return std::fabs(x0 * a - y0 + b) / std::sqrt(a * a + 1);
}

bool regression(Extended& m, Extended& c, std::span<const double> xx, std::span<const double> yy, int n) {
  m = 0;
  c = 0;
  n = std::min<int>(n, static_cast<int>(std::min(xx.size(), yy.size())));
  if (n <= 1) return false;
  Extended x0 = 0, y0 = 0;
  for (int i = 0; i < n; ++i) {
    x0 += xx[i];
    y0 += yy[i];
  }
  x0 /= n;
  y0 /= n;
  Extended sxx = 0, sxy = 0;
  for (int i = 0; i < n; ++i) {
    sxx += (xx[i] - x0) * (xx[i] - x0);
    sxy += (xx[i] - x0) * (yy[i] - y0);
  }
  if (sxx == 0) {
    c = y0;
    return false;
  }
  m = sxy / sxx;
  c = y0 - m * x0;
  return true;
}

void StarkGlaetten(TProfileLine& aLine, int x1, int x2, int d, double c, double f) {
  x1 = std::max(x1, 0);
  x2 = std::min(x2, kLastIndex);
  if (x1 > x2) return;
  d = std::max(d, 0);
  std::vector<long long> sums(x2 - x1 + 1, 0);
  std::vector<int> counts(x2 - x1 + 1, 0);
  for (int x = x1; x <= x2; ++x) {
    // Columns 0 and 1280 never count.
    const int from = std::max(1, x - d);
    const int to = std::min(kLastIndex - 1, x + d);
    for (int i = from; i <= to; ++i) {
      if (aLine[i] > 0) {
        sums[x - x1] += Round(aLine[i] - static_cast<Extended>(c));
        counts[x - x1] += 1;
      }
    }
  }
  for (int x = x1; x <= x2; ++x) {
    const int count = counts[x - x1];
    aLine[x] = count > 0 ? Round(static_cast<Extended>(sums[x - x1]) * f / count + c) : -1;
  }
}

void Interpollieren(TProfileLine& aLine) {
  auto valid = [&](int i) { return aLine[i] >= 0 && aLine[i] < 10000; };
  int i = 0;
  while (i < kLastIndex && !valid(i)) ++i;
  for (int k = 0; k < i; ++k) aLine[k] = aLine[i];

  int anchor = i;
  int j = i + 1;
  while (j < kLastIndex) {
    if (valid(j)) {
      anchor = j;
      ++j;
      continue;
    }
    int next = j;
    while (next < kLastIndex && aLine[next] < 0) ++next;
    if (next >= kLastIndex) {
      for (int k = anchor + 1; k < kLastIndex; ++k) aLine[k] = aLine[anchor];
      return;
    }
    const double step = static_cast<double>(aLine[next] - aLine[anchor]) / (next - anchor);
    for (int k = anchor + 1; k < next; ++k) {
      aLine[k] = Round(aLine[anchor] + static_cast<Extended>(k - anchor) * step);
    }
    anchor = next;  // even when its value is 10000 or more
    j = next + 1;
  }
}

void GetRegression(const TProfileLine& aLine, int x0, int x1, double y0m, double y0c, double y1m, double y1c,
                   Extended& m, Extended& c) {
  const TProfileLine line = aLine;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, kLastIndex);
  std::array<double, kProfileLength> xx{};
  std::array<double, kProfileLength> yy{};
  int b = 0;
  for (int x = x0; x <= x1; ++x) {
    const int y = line[x];
    if (y > 0 && LineAt(y0m, y0c, x) < y && y < LineAt(y1m, y1c, x)) {
      xx[b] = x;
      yy[b] = y;
      ++b;
    }
  }
  if (b > 5) regression(m, c, xx, yy, b - 1);
}

void GetLine(const Bitmap& rbmp, TProfileLine& aLine, int y0, int y1) {
  std::array<Extended, kProfileLength> dt{};
  std::array<Extended, kProfileLength> dtz{};
  const int columns = std::min(rbmp.Width(), kProfileLength);
  // Rows outside the image contribute no light.
  y0 = std::max(y0, 0);
  y1 = std::min(y1, rbmp.Height());
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* row = rbmp.Row(y);
    for (int x = 0; x < columns; ++x) {
      const int v = row[3 * x];
      const Extended w = static_cast<Extended>(v * v);
      dt[x] += w * y;
      dtz[x] += w;
    }
  }
  for (int x = 0; x < columns; ++x) aLine[x] = dtz[x] != 0 ? Round(dt[x] / dtz[x]) : -1;
  Interpollieren(aLine);
}

void FindLine(const Bitmap& abmp, TProfileLine& aLine, int x0, int y0, int x1, int y1) {
  // The window is clipped to the image and the line: clipped pixels give no light.
  x0 = std::max(x0, 0);
  x1 = std::min({x1, abmp.Width() - 1, kLastIndex});
  y0 = std::max(y0, 0);
  y1 = std::min(y1, abmp.Height() - 1);
  if (x0 > x1 || y0 > y1) return;
  std::vector<double> dt(x1 - x0 + 1, 0.0);
  std::vector<double> dz(x1 - x0 + 1, 0.0);
  for (int y = y0; y <= y1; ++y) {
    const std::uint8_t* row = abmp.Row(y);
    for (int x = x0; x <= x1; ++x) {
      const int v = row[3 * x];
      const double w = v * v;
      dt[x - x0] = dt[x - x0] + y * w;
      dz[x - x0] = dz[x - x0] + w;
    }
  }
  for (int x = x0; x <= x1; ++x) {
    if (dz[x - x0] != 0) aLine[x] = Round(static_cast<Extended>(dt[x - x0]) / dz[x - x0]);
  }
}

namespace {

// Centroid of the histogram entries von..bis (inverted against histm when
// inv); entries outside 0..255 count as empty. With no weight the undivided
// sum is returned.
int GetTH(const THistogram& Hist, int histm, int von, int bis, bool inv) {
  Extended dz = 0, dn = 0;
  von = std::max(von, 0);
  bis = std::min(bis, 255);
  for (int i = von; i <= bis; ++i) {
    const Extended v = inv ? histm - Hist[i] : Hist[i];
    dz += i * v;
    dn += v;
  }
  if (dn > 0) dz /= dn;
  return Round(dz);
}

}  // namespace

int GetThreshold(const THistogram& Hist, int histm) {
  int th = GetTH(Hist, histm, 0, 255, false);
  // The threshold converges in a few passes; a histogram that makes it jump
  // between values is cut off after 256 passes with the last value.
  for (int pass = 0; pass < 256; ++pass) {
    const int oldth = th;
    const int lth = GetTH(Hist, histm, 0, th, false);
    const int rth = GetTH(Hist, histm, th, 255, false);
    th = GetTH(Hist, histm, lth, rth, true);
    if (std::abs(oldth - th) < 2) break;
  }
  return th;
}

void GetHist(const Bitmap& abmp, const TProfileLine& aLine, THistogram& aHist, int& Histm, double tm, double tc,
             int dy, int dv, int sp, int dim, int dir) {
  dy = std::min(dy, 40);
  aHist.fill(0);
  Histm = 0;
  int x1 = sp;
  while (dir != 0 && InLine(x1) && aLine[x1] > LineAt(tm, tc, x1) && x1 > dim + 1 && x1 < abmp.Width() - dim - 11) x1 += dir;
  // Pixels of the band outside the image are left out of the histogram.
  for (int x = x1 - 100; x <= x1 + 100; ++x) {
    if (x < 0 || x >= abmp.Width()) continue;
    const int y0 = Round(LineAt(tm, tc, x) + dv);
    for (int y = 0; y <= dy; ++y) {
      if (y0 + y < 0 || y0 + y >= abmp.Height()) continue;
      aHist[abmp.Pixel(x, y0 + y)[0]] += 1;
    }
  }
  Histm = *std::max_element(aHist.begin(), aHist.end());
}

int GetSpunkt(double tm, double tc, const TProfileLine& aLine) {
  Extended dz = 0, dt = 0;
  for (int x = 320; x <= 960; ++x) {
    const Extended dv = AbstandPunktGerade(x, aLine[x], tm, tc);
    if (dv > 0) {
      dt += x * dv * dv;
      dz += dv * dv;
    }
  }
  return dz > 0 ? Round(dt / dz) : 640;
}

void GetTHPos(const Bitmap& abmp, const TProfileLine& aLine, int& x, int& txl, int& tx, double tm, double tc,
              double dv, int th, int range, int plusrange, int dir, int ch) {
  // Windows of at least one row each way; pixels outside the image read as
  // dark, so a window cut by the image border looks darker than it is.
  range = std::clamp(range, 1, 15);
  ch = std::clamp(ch, 0, 2);
  int wcount = 0;
  int xc = 0;
  while (dir != 0 && 100 < x && x < 1180 && (LineAt(tm, tc, x) + dv < aLine[x] || xc < plusrange) && wcount < 3) {
    if (LineAt(tm, tc, x) + dv > aLine[x]) ++xc;
    const int yc = Round(LineAt(tm, tc, x));
    int above = 0;
    for (int y = -range; y <= 0; ++y) above += abmp.ByteAt(x, yc + y, ch);
    int below = 0;
    for (int y = 1; y <= range; ++y) below += abmp.ByteAt(x, yc + y, ch);
    const int ys = above / (range + 1);
    const int ys2 = below / range;
    if (ys < th) {
      txl = x;
      if (wcount > 0) --wcount;
    } else {
      ++wcount;
    }
    if (ys2 >= th && tx == 0) tx = x;
    x += dir;
  }
  tx = (txl - tx) * dir;
  if (tx < 0) tx = 0;
}

void Oeffnung(const TProfileLine& aLine, int spunkt, double m, double c, double Llimit, double rLimit, TRealPoint& pl,
              TRealPoint& pr) {
  // A centre outside the line stops both walks at once.
  int x = spunkt;
  while (x > Llimit && x > 100 && InLine(x) && aLine[x] > LineAt(m, c, x)) --x;
  pl = TRealPoint{static_cast<double>(x), static_cast<double>(LineAt(m, c, x))};
  x = spunkt;
  while (x < rLimit && x < 1270 && InLine(x) && aLine[x] > LineAt(m, c, x)) ++x;
  pr = TRealPoint{static_cast<double>(x), static_cast<double>(LineAt(m, c, x))};
}
