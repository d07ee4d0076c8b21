#include "measure/result_numbers.h"

#include "measure/units.h"

ResultNumbers NumbersOf(const MeasureState& state, Material material, int shapeFound) {
  const TChannel& c = state.MyChannel;
  const TImgCalibration& cal = state.ImgCalibration;
  const double mmPerPixel = 25.4 / cal.PixelPerInch;
  // The depth as the panel shows it: of the shape shown.
  const double depth = c.shape == 1 ? c.depthv : c.shape == 2 ? c.depthr : c.depth;
  ResultNumbers n{};
  n.depthMm = GetDepth(state, depth, cal.DFaktor) * mmPerPixel;
  if (c.levelOK >= 2) {
    n.widthMm = kNoResult;
  } else if (material == Material::Pertinax && c.width > 0) {
    n.widthMm = (GetWidth(c.width, cal.PWFaktor) + state.Fiber) * mmPerPixel;
  } else {
    n.widthMm = GetWidth(c.width, cal.WFaktor) * mmPerPixel;
  }
  n.radiusMm = shapeFound == 2 ? GetRadius(state, c.radius) / 2 * mmPerPixel : kNoResult;
  n.openDeg = c.alphaO;
  n.alphaVDeg = shapeFound == 1 ? c.alphav : kNoResult;
  return n;
}

