#include "shell/settings_logic.h"

#include <cstring>

#include "measure/mymath.h"
#include "measure/numbers.h"

int UnitIndexOf(double units) { return units == 1000 ? 2 : units == 1 ? 1 : 0; }

std::array<std::string, 3> DigitCaptions(int unitIndex) {
  switch (unitIndex) {
    case 1:
      return {"0.00 Inch", "0.000 Inch", "0.0000 Inch"};
    case 2:
      return {"0 mil", "0.0 mil", "0.00 mil"};
    default:
      return {"0.0 mm", "0.00 mm", "0.000 mm"};
  }
}

std::string UnitLabel(double units) { return units == 1 ? "Inch" : units == 1000 ? "mil" : "mm"; }

std::string LevelFieldText(const MeasureState& state) {
  const TImgCalibration& c = state.ImgCalibration;
  return FormatFixed(state.Level * c.ZFaktor * c.DFaktor * 25.4 / c.PixelPerInch, 3);
}

std::string FiberFieldText(const MeasureState& state) {
  return FormatFixed(state.Fiber * 25.4 / state.ImgCalibration.PixelPerInch, 3);
}

double LevelFromField(const std::string& text, const TImgCalibration& c) {
  return GetReal(text) * c.PixelPerInch / 25.4 / c.ZFaktor / c.DFaktor;
}

double FiberFromField(const std::string& text, const TImgCalibration& c) {
  return GetReal(text) * c.PixelPerInch / 25.4;
}

ProgramSettings ApplySettingsChoice(const SettingsChoice& choice, MeasureState& state) {
  ProgramSettings s;
  s.Digits = choice.digitsIndex + 1;
  state.Digits = s.Digits;
  switch (choice.unitIndex) {
    case 2:
      state.Units = 1000;
      s.UnitsMm = 10000;
      state.Digits -= 1;
      break;
    case 1:
      state.Units = 1;
      s.UnitsMm = 10;
      state.Digits += 1;
      break;
    default:
      state.Units = 25.4;
      s.UnitsMm = 254;
      break;
  }
  s.Language = choice.language;
  s.ShowOpen = choice.showOpen;
  s.ShowRadius = choice.showRadius;
  s.ShowAlpha = choice.showAlpha;
  s.InvImg = choice.invertImage;
  s.ShowLevel = choice.showLevel;
  state.Level = LevelFromField(choice.levelText, state.ImgCalibration);
  state.Fiber = FiberFromField(choice.fiberText, state.ImgCalibration);
  s.Level = state.Level;
  s.Fiber = state.Fiber;
  return s;
}

Bitmap ComposeReportLogo(const Bitmap& picture) {
  const int W = picture.Width();
  const int H = picture.Height();
  if (W <= 0 || H <= 0) return {};
  Bitmap logo;
  int left = 0;
  if (W > H * 200.0 / 78) {
    logo.SetSize(W, Round(W * 78.0 / 200));
  } else {
    logo.SetSize(Round(H * 200.0 / 78), H);
    left = logo.Width() - W - 1;
  }
  logo.Fill(255, 255, 255);
  for (int y = 0; y < H && y < logo.Height(); ++y) {
    const int from = std::max(0, -left);
    const int to = std::min(W, logo.Width() - left);
    if (to > from) std::memcpy(logo.Pixel(left + from, y), picture.Pixel(from, y), (to - from) * 3);
  }
  return logo;
}
