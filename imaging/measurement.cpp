#include "imaging/measurement.h"

#include "imaging/display_preparation.h"
#include "imaging/profile_row.h"
#include "imaging/result_overlay.h"
#include "imaging/trapez.h"
#include "measure/analyse.h"

MeasurementOutcome DoAnalyze(MeasureState& state, MeasurementImages& images, Material material,
                             const DisplayOptions& options) {
  images.rBild = images.iBild;
  if (SettingsOf(material).grayPreparation) {
    PrepareForDrawing(images.iBild, images.rBild, images.dBild, 0.9);
  } else {
    PrepareForDrawingPertinax(images.iBild, images.rBild, images.dBild);
  }
  AnalyseLine(state, images.dBild, state.MyLine, state.MyChannel, WidthFactor(state.ImgCalibration, material));
  MeasurementOutcome outcome;
  outcome.analysed = true;
  outcome.shapeFound = state.MyChannel.shape;
  state.MyChannel.shape = MaskShape(state.MyChannel.shape, options);
  outcome.texts = MakeResultTexts(state, state.MyChannel, material, options);
  DrawResult(state, images.rBild);
  return outcome;
}

MeasurementOutcome CaptureResult(MeasureState& state, MeasurementImages& images, const Bitmap& image, int count,
                                 Material material, const DisplayOptions& options) {
  images.iBild = image;
  state.OLine = state.MyLine;
  if (count <= 1) {
    images.rBild = images.iBild;
    TrapezLin(images.iBild, images.rBild, state.ImgCalibration.top, state.ImgCalibration.Trapez);
    return MeasurementOutcome{};
  }
  return DoAnalyze(state, images, material, options);
}

MeasurementOutcome AnalyseStoredImage(MeasureState& state, MeasurementImages& images, Material material,
                                      const DisplayOptions& options) {
  UnpackProfileRow(images.iBild, state.MyLine);
  state.OLine = state.MyLine;
  return DoAnalyze(state, images, material, options);
}
