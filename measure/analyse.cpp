#include "measure/analyse.h"

#include <algorithm>

#include "measure/analyse_stages.h"

Extended ChannelAnalysis::BottomMargin() const { return std::max<Extended>(0.1L * D(), 10); }

void AnalyseLine(const MeasureState& state, const Bitmap& abmp, TProfileLine& aLine, TChannel& Channel, double f) {
  ChannelAnalysis a{state, abmp, aLine, Channel, f};
  if (!FindSurfaceAndCentre(a)) return;  // A
  FindLeftEdge(a);                       // B
  FindRightEdge(a);                      // C
  RefineBottomAndFlanks(a);              // D
  FindFlankPoints(a);                    // E
  ChooseMeasuringLevel(a);               // F
  MeasureDepthAndWidth(a);               // G
  FitFlatBottom(a);                      // H
  FitRoundBottom(a);                     // I
  FitV(a);                               // J
  ClassifyShape(a);                      // K
  MeasureOpeningAngle(a);                // L
  PlaceFlatBottomCorners(a);             // M
}
