#include "measure/result_texts.h"

#include "measure/units.h"

int MaskShape(int shape, const DisplayOptions& options) {
  if (!options.showRadius) shape &= ~2;
  if (!options.showAlpha) shape &= ~1;
  return shape;
}

namespace {

std::string Degrees(double angle) { return std::to_string(Round(angle)) + "\u00b0"; }

}  // namespace

ResultTexts MakeResultTexts(const MeasureState& state, const TChannel& channel, Material material,
                            const DisplayOptions& options) {
  const TImgCalibration& cal = state.ImgCalibration;
  ResultTexts texts;
  texts.openVisible = options.showOpen;
  texts.open = Degrees(channel.alphaO);

  double depth = channel.depth;
  if (channel.shape == 1) {
    texts.alphaVisible = options.showAlpha;
    texts.alphaV = Degrees(channel.alphav);
    depth = channel.depthv;
  } else if (channel.shape == 2) {
    texts.radius = StrUnits(state, GetRadius(state, channel.radius));
    texts.radiusVisible = options.showRadius;
    depth = channel.depthr;
  }
  texts.depth = StrUnits(state, GetDepth(state, depth, cal.DFaktor));

  if (channel.levelOK >= 2) {
    texts.width = "- . - - -";
    texts.widthRed = true;
  } else {
    if (material == Material::Pertinax && channel.width > 0) {
      texts.width = StrUnits(state, GetWidth(channel.width, cal.PWFaktor) + state.Fiber);
    } else {
      texts.width = StrUnits(state, GetWidth(channel.width, cal.WFaktor));
    }
    texts.widthRed = channel.levelOK != 0;
  }
  return texts;
}
