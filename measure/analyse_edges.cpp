// Stages B and C: the edges of the channel on the surface and the flank
// points 10 rows below it. Both sides run the same steps mirrored: dir is -1
// on the left (walking from the centre to smaller columns), +1 on the right.

#include <algorithm>

#include "measure/analyse_stages.h"
#include "measure/profile.h"

namespace {

constexpr int kBlue = 0;
constexpr int kGreen = 1;

// Walk from the centre along the surface line lowered by `lowered` rows,
// returning the last column whose window above that line was dark.
int WalkToEdge(const ChannelAnalysis& a, Extended lowered, int threshold, int range, int plusrange, int dir,
               int channel) {
  int x = a.sp();
  int edge = a.sp();
  int tx = 0;
  GetTHPos(a.abmp, a.aLine, x, edge, tx, a.ch.tm, a.ch.tc + lowered, 4, threshold, range, plusrange, dir, channel);
  return edge;
}

// The surface line on the outer side of the edge: columns 0..edge on the
// left, edge..1280 on the right (kept inside the line).
void FlattenOutside(ChannelAnalysis& a, int edge, int dir) {
  const int from = dir < 0 ? 0 : std::max(edge, 0);
  const int to = dir < 0 ? std::min(edge, kProfileLength - 1) : kProfileLength - 1;
  for (int x = from; x <= to; ++x) a.aLine[x] = Round(a.Top(x));
}

// Straight descent from the surface height at column `start` to `depth` rows
// below the surface at column `end`, which lies inwards of start; the ramp
// covers the columns after start up to end.
void LayRamp(ChannelAnalysis& a, double start, int end, Extended depth, int dir) {
  const Extended run = (start - end) * dir;
  const int from = dir < 0 ? Round(start + 1) : end;
  const int to = dir < 0 ? end : Round(start - 1);
  // Columns outside the line cannot be rewritten; the ramp is cut there.
  for (int k = std::max(from, 0); k <= std::min(to, kProfileLength - 1); ++k) {
    a.aLine[k] = Round(a.Top(k) + ((start - k) * dir) * depth / run);
  }
}

void FindEdge(ChannelAnalysis& a, int dir, TRealPoint& edge, TRealPoint& point10) {
  THistogram hist;
  int histm = 0;
  GetHist(a.abmp, a.aLine, hist, histm, a.ch.tm, a.ch.tc + 4, 15, -10, a.sp(), 100, dir);
  int myth = GetThreshold(hist, histm);

  int t = WalkToEdge(a, 0, myth, 15, 0, dir, kBlue);
  FlattenOutside(a, t, dir);
  edge = TRealPoint{static_cast<double>(t), static_cast<double>(a.Top(t))};

  // The green walk 10 rows down: a result less than 10 columns beyond the
  // edge moves the edge one column further out; otherwise the walk runs
  // again with the wide window.
  myth = Round(0.9L * myth);
  Extended dv = 10;
  t = WalkToEdge(a, dv, myth, 2, 10, dir, kGreen);
  const double beyond = (t - edge.x) * dir;
  if (0 < beyond && beyond < 10) {
    edge.x = t + dir;
  } else {
    t = WalkToEdge(a, dv, myth, 15, 0, dir, kGreen);
  }
  const double run10 = (edge.x - t) * dir;
  if (0 < run10 && run10 < 30) LayRamp(a, edge.x, t, dv, dir);
  point10 = TRealPoint{static_cast<double>(t), static_cast<double>(a.Top(t) + dv)};
  const int b = t;

  // 20 rows down: only a ramp; the point is not kept.
  dv = 20;
  t = WalkToEdge(a, dv, myth, 2, 10, dir, kGreen);
  if ((point10.x - t) * dir > 0 && (b - t) * dir > 0 && (b - t) * dir < 20) LayRamp(a, point10.x, t, dv, dir);
}

}  // namespace

void FindLeftEdge(ChannelAnalysis& a) { FindEdge(a, -1, a.ch.plt, a.ch.pl10); }

void FindRightEdge(ChannelAnalysis& a) { FindEdge(a, +1, a.ch.prt, a.ch.pr10); }
