// Stage L: the opening angle of the flanks, in calibrated units.

#include <cmath>
#include <numbers>

#include "measure/analyse_stages.h"
#include "measure/mymath.h"
#include "measure/profile.h"
#include "measure/units.h"

namespace {

// The flank points are ordered inwards with more than one column between them.
bool FlankPointsOrdered(const TChannel& ch) {
  return !(ch.pl80.x - 1 <= ch.pl20.x || ch.pr20.x - 1 <= ch.pr80.x || ch.pl50.x - 1 <= ch.pl20.x ||
           ch.pr20.x - 1 <= ch.pr50.x);
}

}  // namespace

void MeasureOpeningAngle(ChannelAnalysis& a) {
  TChannel& ch = a.ch;
  const Extended dz = GetDepth(a.state, ch.depth, a.state.ImgCalibration.DFaktor);
  if (dz <= 0 || !FlankPointsOrdered(ch)) {
    ch.alphaO = 0;
    return;
  }
  // Round and V channels lean by their upper flanks; flat ones by the long chord.
  const bool upperFlanks = ch.shape == 1 || ch.shape == 2;
  const TRealPoint& leftLower = upperFlanks ? ch.pl50 : ch.pl80;
  const TRealPoint& rightLower = upperFlanks ? ch.pr50 : ch.pr80;
  double px0 = 0, py0 = 0, px1 = 0, py1 = 0, px2 = 0, py2 = 0, px3 = 0, py3 = 0;
  SchnittpunktGLPPreal(ch.pl20, leftLower, ch.tm, ch.tc, ch.bm, ch.bc, px0, py0, px2, py2);
  SchnittpunktGLPPreal(ch.pr20, rightLower, ch.tm, ch.tc, ch.bm, ch.bc, px1, py1, px3, py3);
  Extended dt = GetWidth(Abstand(px0, py0, px1, py1), a.f);
  const Extended dv = GetWidth(Abstand(px2, py2, px3, py3), a.f);
  dt = (dt - dv) / 2;  // horizontal run of one flank

  Extended alpha = std::atan(dt / dz) * 180 / std::numbers::pi_v<Extended>;
  if (alpha < 0) alpha = 0;
  if (alpha > 60) alpha = 60;
  ch.alphaO = static_cast<double>(alpha);
  if (ch.alphaO > 10) {
    ch.plt.x -= 1;
    ch.prt.x += 1;
    RepeatSurfaceLevelChoice(a);
  }
}
