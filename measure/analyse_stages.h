#pragma once

// Internal to the channel analysis: the working set of one AnalyseLine call
// and its stages A to M, in the order AnalyseLine runs them.

#include "base/bitmap.h"
#include "measure/records.h"

struct ChannelAnalysis {
  const MeasureState& state;
  const Bitmap& abmp;
  TProfileLine& aLine;
  TChannel& ch;
  double f;

  int W() const { return abmp.Width(); }
  int H() const { return abmp.Height(); }
  int sp() const { return ch.spunkt; }
  // top(x) and bot(x): the surface and the bottom line.
  Extended Top(Extended x) const { return x * ch.tm + ch.tc; }
  Extended Bot(Extended x) const { return x * ch.bm + ch.bc; }
  // D: rows from the surface to the bottom at the centre, with the lines as they are now.
  Extended D() const { return Bot(ch.spunkt) - Top(ch.spunkt); }
  // 0.1 * D, at least 10 rows.
  Extended BottomMargin() const;
};

// True for a column that indexes the profile line (0..1280).
inline bool InProfile(int x) { return x >= 0 && x < kProfileLength; }

// A: surface and bottom lines, centre column. False for the early exit
// (no usable surface): then only mm and mc are set.
bool FindSurfaceAndCentre(ChannelAnalysis& a);
// B and C: the edges on the surface and the 10-row flank points.
void FindLeftEdge(ChannelAnalysis& a);
void FindRightEdge(ChannelAnalysis& a);
// D: bottom line, bottom corners, flanks re-extracted and smoothed.
void RefineBottomAndFlanks(ChannelAnalysis& a);
// E: flank points at 10 rows (10 %), 20, 30, 40, 50 and 80 % of the depth.
void FindFlankPoints(ChannelAnalysis& a);
// F: the measuring points plc, prc and levelOK for state.Level.
void ChooseMeasuringLevel(ChannelAnalysis& a);
// After the edges moved: the level choice of F again for the surface level
// and for a level in the first chord row, with the width between the new
// points; other levels keep their points.
void RepeatSurfaceLevelChoice(ChannelAnalysis& a);
// G: mean depth over the middle of the bottom and the width plc..prc.
void MeasureDepthAndWidth(ChannelAnalysis& a);
// Distance plc..prc, the width as stages G and L measure it.
double WidthBetweenMeasuringPoints(const TChannel& ch);
// H, I, J: the flat, round and V models with their residuals.
void FitFlatBottom(ChannelAnalysis& a);
void FitRoundBottom(ChannelAnalysis& a);
void FitV(ChannelAnalysis& a);
// K: shape from the residuals.
void ClassifyShape(ChannelAnalysis& a);
// L: opening angle; widens the edges of a channel opening by more than 10 degrees.
void MeasureOpeningAngle(ChannelAnalysis& a);
// M: bottom corners of a flat channel moved onto the bottom.
void PlaceFlatBottomCorners(ChannelAnalysis& a);
