// Stages E (flank points at fixed depths) and F (measuring level).

#include <array>

#include "measure/analyse_stages.h"
#include "measure/mymath.h"
#include "measure/profile.h"

namespace {

// The flank pair where the profile rises to h rows below the surface,
// searched from the centre outwards but not beyond the given limits.
void FlankPair(ChannelAnalysis& a, Extended h, double leftLimit, double rightLimit, TRealPoint& pl, TRealPoint& pr) {
  Oeffnung(a.aLine, a.sp(), a.ch.tm, a.ch.tc + h, leftLimit, rightLimit, pl, pr);
}

struct ChordRow {
  Extended fraction;  // the row applies when fraction * D > Level
  TRealPoint TChannel::*leftUpper;
  TRealPoint TChannel::*leftLower;
  TRealPoint TChannel::*rightUpper;
  TRealPoint TChannel::*rightLower;
  int levelOK;
};

// Chords by depth of the level. Levels from 50 to 70 % use the extension of
// the 40-50 % chord; from 80 % down the long 20-80 % chord.
constexpr std::array<ChordRow, 7> kChordRows{{
    {0.1L, &TChannel::plt, &TChannel::pl10, &TChannel::prt, &TChannel::pr10, 0},
    {0.2L, &TChannel::pl10, &TChannel::pl20, &TChannel::pr10, &TChannel::pr20, 0},
    {0.3L, &TChannel::pl20, &TChannel::pl30, &TChannel::pr20, &TChannel::pr30, 0},
    {0.4L, &TChannel::pl30, &TChannel::pl40, &TChannel::pr30, &TChannel::pr40, 0},
    {0.7L, &TChannel::pl40, &TChannel::pl50, &TChannel::pr40, &TChannel::pr50, 0},
    {0.8L, &TChannel::pl50, &TChannel::pl80, &TChannel::pr50, &TChannel::pr80, 1},
    {1.0L, &TChannel::pl20, &TChannel::pl80, &TChannel::pr20, &TChannel::pr80, 2},
}};

// Stored points for the levels 0, -1 .. -6.
constexpr std::array<std::pair<TRealPoint TChannel::*, TRealPoint TChannel::*>, 7> kStoredPoints{{
    {&TChannel::plt, &TChannel::prt},
    {&TChannel::pl10, &TChannel::pr10},
    {&TChannel::pl20, &TChannel::pr20},
    {&TChannel::pl30, &TChannel::pr30},
    {&TChannel::pl40, &TChannel::pr40},
    {&TChannel::pl50, &TChannel::pr50},
    {&TChannel::pl80, &TChannel::pr80},
}};

// Index into kStoredPoints for a level that names a stored pair, else -1.
int StoredPointIndex(double level) {
  for (int i = 0; i < static_cast<int>(kStoredPoints.size()); ++i) {
    if (level == -i) return i;
  }
  return -1;
}

void CutChords(ChannelAnalysis& a, const ChordRow& row, Extended height) {
  TChannel& ch = a.ch;
  ch.plc = SchnittpunktGLPP(ch.*row.leftUpper, ch.*row.leftLower, ch.tm, ch.tc + height);
  ch.prc = SchnittpunktGLPP(ch.*row.rightUpper, ch.*row.rightLower, ch.tm, ch.tc + height);
}

}  // namespace

void FindFlankPoints(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  const Extended d = a.D();
  FlankPair(a, 0.2L * d, ch.pl10.x, ch.pr10.x, ch.pl20, ch.pr20);
  FlankPair(a, 0.2L * d > 10 ? Extended{10} : 0.1L * d, ch.plt.x, ch.prt.x, ch.pl10, ch.pr10);
  FlankPair(a, 0.3L * d, ch.pl20.x, ch.pr20.x, ch.pl30, ch.pr30);
  FlankPair(a, 0.4L * d, ch.pl30.x, ch.pr30.x, ch.pl40, ch.pr40);
  FlankPair(a, 0.5L * d, ch.pl40.x, ch.pr40.x, ch.pl50, ch.pr50);
  FlankPair(a, 0.8L * d, ch.pl50.x, ch.pr50.x, ch.pl80, ch.pr80);
}

void ChooseMeasuringLevel(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  const double level = a.state.Level;
  ch.levelOK = 0;
  if (const int stored = StoredPointIndex(level); stored >= 0) {
    ch.plc = ch.*kStoredPoints[stored].first;
    ch.prc = ch.*kStoredPoints[stored].second;
    return;
  }
  const Extended d = a.D();
  for (const ChordRow& row : kChordRows) {
    if (row.fraction * d > level) {
      CutChords(a, row, level);
      ch.levelOK = row.levelOK;
      return;
    }
  }
  // At or below the bottom: the long chords cut at the bottom height.
  CutChords(a, kChordRows.back(), d);
  ch.levelOK = 2;
}

void RepeatSurfaceLevelChoice(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  const double level = a.state.Level;
  if (level == 0) {
    ch.plc = ch.plt;
    ch.prc = ch.prt;
  } else if (StoredPointIndex(level) < 0 && kChordRows.front().fraction * a.D() > level) {
    CutChords(a, kChordRows.front(), level);
  } else {
    return;
  }
  ch.width = WidthBetweenMeasuringPoints(ch);
}
