// Stage D (bottom line, bottom corners, re-extracted flanks) and stage G
// (depth and width).

#include <algorithm>

#include "measure/analyse_stages.h"
#include "measure/profile.h"
#include "measure/units.h"

namespace {

// The corners: where the profile rises to a margin above the bottom line
// (searched from the centre outwards, not beyond the edges), put back onto
// the bottom line.
void FindBottomCorners(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  const Extended dv = a.BottomMargin();
  Oeffnung(a.aLine, a.sp(), ch.bm, ch.bc - dv, ch.plt.x, ch.prt.x, ch.plb, ch.prb);
  ch.plb.y += dv;
  ch.prb.y += dv;
}

void MakeBottomParallel(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  const Extended dz = a.Bot(a.sp()) - a.Top(a.sp());
  ch.bm = ch.tm;
  ch.bc = ch.tc + dz;
}

// The flanks from the image, then an 11-column moving mean over each flank
// and over the bottom.
void ReextractFlanks(ChannelAnalysis& a) {
  const TChannel& ch = a.ch;
  FindLine(a.abmp, a.aLine, Round(ch.pl10.x), Round(ch.pl10.y - 20), Round(ch.plb.x), Round(ch.plb.y + 20));
  StarkGlaetten(a.aLine, Round(ch.pl10.x), Round(ch.plb.x), 5, 0, 1);
  StarkGlaetten(a.aLine, Round(ch.plt.x), Round(ch.plb.x), 5, 0, 1);
  FindLine(a.abmp, a.aLine, Round(ch.prb.x), Round(ch.pr10.y - 20), Round(ch.pr10.x), Round(ch.prb.y + 20));
  StarkGlaetten(a.aLine, Round(ch.prb.x), Round(ch.pr10.x), 5, 0, 1);
  StarkGlaetten(a.aLine, Round(ch.prb.x), Round(ch.prt.x), 5, 0, 1);
  StarkGlaetten(a.aLine, Round(ch.plb.x), Round(ch.prb.x), 5, 0, 1);
}

}  // namespace

void RefineBottomAndFlanks(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  Extended dv = a.BottomMargin();
  Oeffnung(a.aLine, a.sp(), ch.bm, ch.bc - dv, ch.plt.x, ch.prt.x, ch.plb, ch.prb);
  GetRegression(a.aLine, Round(ch.plb.x), Round(ch.prb.x), 0, ch.mm * a.sp() + ch.mc + 20, 0, a.H() - 1, ch.bm,
                ch.bc);
  MakeBottomParallel(a);
  FindBottomCorners(a);
  ReextractFlanks(a);

  // The final bottom line keeps its own slope: the points of the middle two
  // thirds within 20 rows of the bottom height at the centre.
  dv = a.Bot(a.sp());
  const int dx = Round((ch.prb.x - ch.plb.x) / 6);
  GetRegression(a.aLine, Round(ch.plb.x + dx), Round(ch.prb.x - dx), 0, Round(dv - 20), 0, Round(dv + 20), ch.bm,
                ch.bc);
  FindBottomCorners(a);
}

double WidthBetweenMeasuringPoints(const TChannel& ch) {
  return Abstand(TrapezLinInv(ch.plc.x, ch.plc.y), ch.plc.y, TrapezLinInv(ch.prc.x, ch.prc.y), ch.prc.y);
}

void MeasureDepthAndWidth(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  ch.plv = ch.plb;
  ch.prv = ch.prb;
  // Mean perpendicular depth over the middle two thirds of the bottom on the
  // rewritten profile; columns outside the line do not exist and are skipped.
  const int x1 = Round((ch.prb.x - ch.plb.x) / 6);
  Extended dz = 0;
  int i = 0;
  for (int x = std::max(Round(ch.plb.x + x1), 0); x <= std::min(Round(ch.prb.x - x1), kProfileLength - 1); ++x) {
    dz += AbstandPunktGerade(x, a.aLine[x], ch.tm, ch.tc);
    ++i;
  }
  ch.depth = i > 0 ? static_cast<double>(dz / i)
                   : static_cast<double>(AbstandPunktGerade(a.sp(), a.Bot(a.sp()), ch.tm, ch.tc));
  ch.width = WidthBetweenMeasuringPoints(ch);
}
