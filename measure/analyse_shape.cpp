// Stages H to K (flat, round and V models, classification) and M (bottom
// corners of a flat channel).

#include <algorithm>
#include <array>
#include <cmath>

#include "measure/analyse_stages.h"
#include "measure/mymath.h"
#include "measure/profile.h"

namespace {

// Columns from..to clipped to the profile line: columns beyond it hold no
// profile and take no part in a residual sum.
int FirstColumn(int from) { return std::max(from, 0); }
int LastColumn(int to) { return std::min(to, kProfileLength - 1); }

// Half the width of the bottom band left out on each side of the 80 % points.
int BottomBandInset(const TChannel& ch) { return Round((ch.pr80.x - ch.pl80.x) / 6); }

// The lower of the two circle intersections of the chord p20..p80 (on a tie
// the one with the larger x); the point stays as it is when there is none.
void ChordMeetsCircle(const TChannel& ch, const TRealPoint& p20, const TRealPoint& p80, TRealPoint& meet) {
  double m = 0, c = 0;
  GeradeDurch2Punkte(p20.x, p20.y, p80.x, p80.y, m, c);
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  if (SchnittpunktKreisGerade(m, c, ch.mx, ch.my, ch.radius, x0, y0, x1, y1) > 0) {
    meet = y1 > y0 ? TRealPoint{x1, y1} : TRealPoint{x0, y0};
  }
}

}  // namespace

void FitFlatBottom(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  const int x1 = BottomBandInset(ch);
  const int from = Round(ch.pl80.x + x1);
  const int to = Round(ch.pr80.x - x1);
  GetRegression(a.aLine, from, to, ch.bm, ch.bc - 100, ch.bm, ch.bc + 100, ch.lvm, ch.lvc);
  Extended sum = 0;
  for (int x = FirstColumn(from); x <= LastColumn(to); ++x) sum += std::fabs(AbstandPunktGerade(x, a.aLine[x], ch.lvm, ch.lvc));
  // Divided by the span, not by the number of columns.
  if (ch.pl80.x + x1 < ch.pr80.x - x1) sum /= (ch.pr80.x - ch.pl80.x) - 2 * x1;
  ch.RectDiff = static_cast<double>(sum);
}

void FitRoundBottom(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  ch.mx = (ch.plt.x + ch.prt.x) / 2;
  ch.my = (ch.plt.y + ch.prt.y) / 2;
  ch.radius = static_cast<double>(a.D());

  // Samples between the 80 % points, at most 101.
  constexpr int kMaxSamples = 101;
  std::array<double, kMaxSamples> xx{};
  std::array<double, kMaxSamples> yy{};
  const int dx = Round(ch.pr80.x - ch.pl80.x) / 100 + 1;
  int i = 0;
  for (int x = Round(ch.pl80.x + 1); x < ch.pr80.x && i < kMaxSamples && InProfile(x) && dx > 0; x += dx, ++i) {
    xx[i] = x;
    yy[i] = a.aLine[x];
  }

  ch.depthr = 0;
  // The fit takes the first i - 1 samples.
  bool kreis = Kreisausgleich(ch.mx, ch.my, ch.radius, xx, yy, i - 1, 0.001);
  if (!kreis) {
    // Second start: half the radius, the centre half the old radius lower.
    ch.my = ch.my + ch.radius / 2;
    ch.radius = ch.radius / 2;
    kreis = Kreisausgleich(ch.mx, ch.my, ch.radius, xx, yy, i - 1, 0.001);
  }
  ch.CircleDiff = 1e11;
  if (!(kreis && 2 * ch.depth > ch.radius)) return;

  ch.CircleDiff = 0;
  ch.depthr = static_cast<double>((ch.my + ch.radius) - a.Top(a.sp()));
  ChordMeetsCircle(ch, ch.pl20, ch.pl80, ch.plr);
  ChordMeetsCircle(ch, ch.pr20, ch.pr80, ch.prr);
  Extended sum = 0;
  for (int x = FirstColumn(Round(ch.plr.x)); x <= LastColumn(Round(ch.prr.x)); ++x) {
    sum += std::fabs(Abstand(x, a.aLine[x], ch.mx, ch.my) - ch.radius);
  }
  if (ch.prr.x > ch.plr.x) sum /= ch.prr.x - ch.plr.x;
  ch.CircleDiff = static_cast<double>(sum);
}

void FitV(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  const int x1 = BottomBandInset(ch);
  GetRegression(a.aLine, Round(ch.pl80.x + x1), a.sp(), ch.bm, ch.bc - 100, ch.bm, ch.bc + 100, ch.lvm, ch.lvc);
  GetRegression(a.aLine, a.sp(), Round(ch.pr80.x - x1), ch.bm, ch.bc - 100, ch.bm, ch.bc + 100, ch.rvm, ch.rvc);
  ch.depthv = 0;
  const Extended dv = a.BottomMargin();

  // Where the profile leaves each V line upwards by more than dv; the walks
  // also stop at the ends of the profile line.
  int x = a.sp();
  while (x > 0 && a.aLine[x] > x * ch.lvm + ch.lvc - dv && x > ch.pl10.x) --x;
  ch.plv = TRealPoint{static_cast<double>(x), static_cast<double>(x * ch.lvm + ch.lvc)};
  x = a.sp();
  while (x < kProfileLength - 1 && a.aLine[x] > x * ch.rvm + ch.rvc - dv && x < ch.pr10.x) ++x;
  ch.prv = TRealPoint{static_cast<double>(x), static_cast<double>(x * ch.rvm + ch.rvc)};

  if (ch.lvm < 0.1L || ch.rvm > -0.1L) {
    ch.VDiff = 100;  // the flanks do not form a V opening upwards
  } else {
    Extended sum = 0;
    for (int k = FirstColumn(Round(ch.plv.x)); k <= LastColumn(a.sp()); ++k) {
      sum += std::fabs(AbstandPunktGerade(k, a.aLine[k], ch.lvm, ch.lvc));
    }
    for (int k = FirstColumn(a.sp() + 1); k <= LastColumn(Round(ch.prv.x)); ++k) {
      sum += std::fabs(AbstandPunktGerade(k, a.aLine[k], ch.rvm, ch.rvc));
    }
    if (ch.prv.x > ch.plv.x) sum /= ch.prv.x - ch.plv.x;
    ch.VDiff = static_cast<double>(sum);
  }

  double xr = 0, yr = 0;
  SchnittpunktGeradenGL(ch.lvm, ch.lvc, ch.rvm, ch.rvc, xr, yr);
  ch.depthv = static_cast<double>(AbstandPunktGerade(xr, yr, ch.tm, ch.tc));
  ch.psv = TRealPoint{xr, yr};
  ch.alphav = 2 * (90 - Schnittwinke2Gerade(ch.lvm, ch.rvm));
}

void ClassifyShape(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  if (0.8 * ch.RectDiff > ch.CircleDiff && 0.8 * ch.VDiff > ch.CircleDiff) {
    ch.shape = 2;  // round: the circle fits at least 20 % better than both others
  } else if (0.75 * ch.RectDiff > ch.VDiff &&
             std::fabs(ch.psv.x - (ch.pl50.x + ch.pr50.x) / 2) < (ch.pr50.x - ch.pl50.x) / 6) {
    ch.shape = 1;  // V: 25 % better than flat, tip near the middle of the 50 % width
  } else {
    ch.shape = 0;
  }
}

void PlaceFlatBottomCorners(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  if (ch.shape != 0) return;
  // The corners move inwards, at most halfway to the centre, until the
  // profile comes within 5 rows of the bottom line.
  int x = Round(ch.plb.x);
  int x0 = (a.sp() + x) / 2;
  while (x < x0 && InProfile(x) && a.aLine[x] < a.Bot(x) - 5) ++x;
  ch.plb = TRealPoint{static_cast<double>(x), static_cast<double>(a.Bot(x))};
  x = Round(ch.prb.x);
  x0 = (a.sp() + x) / 2;
  while (x > x0 && InProfile(x) && a.aLine[x] < a.Bot(x) - 5) --x;
  ch.prb = TRealPoint{static_cast<double>(x), static_cast<double>(a.Bot(x))};
}
