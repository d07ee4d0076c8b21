// Stage A: the surface line, the bottom line and the centre column.

#include "measure/analyse_stages.h"
#include "measure/profile.h"

namespace {

constexpr int kCentreColumn = 640;

// Three passes, each fitting the points above the previous line's height
// at the centre column.
void FitSurface(ChannelAnalysis& a, Extended level) {
  TChannel& ch = a.ch;
  for (int pass = 0; pass < 3; ++pass) {
    GetRegression(a.aLine, 80, a.W() - 80, 0, 0, 0, level, ch.tm, ch.tc);
    level = ch.tm * kCentreColumn + ch.tc;
  }
}

// Three passes over the middle half of the image, the first below the rough
// surface, the others from 10 rows above the previous bottom down.
void FitBottom(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  Extended level = ch.mm * kCentreColumn + ch.mc + 20;
  for (int pass = 0; pass < 3; ++pass) {
    GetRegression(a.aLine, 320, 960, 0, level, 0, a.H() - 1, ch.bm, ch.bc);
    level = ch.bm * kCentreColumn + ch.bc - 10;
  }
}

}  // namespace

bool FindSurfaceAndCentre(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  ch = TChannel{};
  GetRegression(a.aLine, 100, a.W() - 100, 0, 0, 0, a.H() / 2, ch.mm, ch.mc);
  if (!(100 < ch.mc && ch.mc < a.H() / 2 + 100)) return false;

  // The surface passes start from the rough surface, so that passes which
  // find no point above the previous line keep it, as every other failed fit
  // keeps the line of the stage before. A perfectly level profile has no
  // point strictly above its own line; from the cleared record the surface
  // would otherwise stay at row 0.
  ch.tm = ch.mm;
  ch.tc = ch.mc;
  FitSurface(a, ch.mm * kCentreColumn + ch.mc);
  FitBottom(a);
  // The bottom parallel to the surface, through its height at the centre column.
  const Extended dz = (ch.bm * kCentreColumn + ch.bc) - (ch.tm * kCentreColumn + ch.tc);
  ch.bm = ch.tm;
  ch.bc = ch.tc + dz;
  ch.spunkt = GetSpunkt(ch.tm, ch.tc, a.aLine);

  // Provisional opening 10 % of the depth below the rough surface; it only
  // bounds the surface refit (stage E overwrites pl50, pr50).
  Extended dv = 0.1L * a.D();
  Oeffnung(a.aLine, a.sp(), ch.mm, ch.mc + dv, a.sp() - 500, a.sp() + 500, ch.pl50, ch.pr50);
  dv = 0.2L * a.D();
  GetRegression(a.aLine, Round(ch.pl50.x - 200), Round(ch.pr50.x + 200), 0, 0, 0, a.Top(kCentreColumn) + dv, ch.tm,
                ch.tc);
  ch.spunkt = GetSpunkt(ch.tm, ch.tc, a.aLine);
  return true;
}
