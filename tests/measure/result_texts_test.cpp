#include <gtest/gtest.h>

#include "measure/result_texts.h"

namespace {

MeasureState MillimetreState() {
  MeasureState state;
  state.Units = 25.4;
  state.Digits = 3;
  auto& cal = state.ImgCalibration;
  cal.PixelPerInch = 2540;  // 100 px per mm
  cal.ZFaktor = 1;
  cal.RFaktor = 1;
  cal.DFaktor = 0.5;
  cal.WFaktor = 1;
  cal.PWFaktor = 0.5;
  return state;
}

TChannel Channel(int shape, int levelOK) {
  TChannel c;
  c.shape = shape;
  c.levelOK = levelOK;
  c.depth = 100;
  c.depthv = 120;
  c.depthr = 140;
  c.radius = 50;
  c.width = 300;
  c.alphav = 42.5;
  c.alphaO = 12.5;
  return c;
}

TEST(MaskShape, ClearsTheHiddenShapes) {
  struct Case {
    int shape;
    bool radius, alpha;
    int shown;
  } cases[] = {{2, true, true, 2}, {2, false, true, 0}, {1, true, false, 0},
               {1, false, true, 1}, {3, false, false, 0}, {0, true, true, 0}};
  for (const auto& c : cases) {
    DisplayOptions options;
    options.showRadius = c.radius;
    options.showAlpha = c.alpha;
    EXPECT_EQ(MaskShape(c.shape, options), c.shown) << c.shape;
  }
}

TEST(ResultTexts, DepthByShape) {
  const MeasureState state = MillimetreState();
  DisplayOptions options;
  const ResultTexts flat = MakeResultTexts(state, Channel(0, 0), Material::Steel, options);
  EXPECT_EQ(flat.depth, "0.500");  // 100 px * DFaktor 0.5 = 50 px = 0.5 mm
  EXPECT_FALSE(flat.alphaVisible);
  EXPECT_FALSE(flat.radiusVisible);
  EXPECT_EQ(flat.alphaV, "");

  const ResultTexts v = MakeResultTexts(state, Channel(1, 0), Material::Steel, options);
  EXPECT_EQ(v.depth, "0.600");
  EXPECT_EQ(v.alphaV, "42\u00b0");  // 42.5 rounds to even
  EXPECT_TRUE(v.alphaVisible);

  const ResultTexts round = MakeResultTexts(state, Channel(2, 0), Material::Steel, options);
  EXPECT_EQ(round.depth, "0.700");
  EXPECT_EQ(round.radius, "1.000");  // 2 * 50 px * RFaktor 1
  EXPECT_TRUE(round.radiusVisible);
  EXPECT_EQ(round.open, "12\u00b0");
}

TEST(ResultTexts, WidthByLevelGradeAndMaterial) {
  MeasureState state = MillimetreState();
  state.Fiber = 20;
  DisplayOptions options;
  struct Case {
    int levelOK;
    Material material;
    double width;
    const char* text;
    bool red;
  } cases[] = {
      {0, Material::Steel, 300, "3.000", false},
      {1, Material::Steel, 300, "3.000", true},
      {-1, Material::SteelBevel, 300, "3.000", true},
      {2, Material::Steel, 300, "- . - - -", true},
      {5, Material::Pertinax, 300, "- . - - -", true},
      {0, Material::Pertinax, 300, "1.700", false},  // 300 * 0.5 + 20 fibre
      {0, Material::Pertinax, 0, "0.000", false},    // no fibre without a width
  };
  for (const auto& c : cases) {
    TChannel channel = Channel(0, c.levelOK);
    channel.width = c.width;
    const ResultTexts texts = MakeResultTexts(state, channel, c.material, options);
    EXPECT_EQ(texts.width, c.text) << c.levelOK;
    EXPECT_EQ(texts.widthRed, c.red) << c.levelOK;
  }
}

TEST(ResultTexts, ClearedPanelAndHiddenGroups) {
  const ResultTexts cleared;
  EXPECT_EQ(cleared.depth, "0.000");
  EXPECT_EQ(cleared.width, "0.000");
  EXPECT_EQ(cleared.open, "0\u00b0");
  EXPECT_EQ(cleared.radius, "");

  DisplayOptions hidden;
  hidden.showOpen = false;
  hidden.showRadius = false;
  const MeasureState state = MillimetreState();
  const ResultTexts round = MakeResultTexts(state, Channel(2, 0), Material::Steel, hidden);
  EXPECT_FALSE(round.openVisible);
  EXPECT_FALSE(round.radiusVisible);

  MeasureState noScale = state;
  noScale.ImgCalibration.PixelPerInch = 0;
  const ResultTexts empty = MakeResultTexts(noScale, Channel(0, 0), Material::Steel, DisplayOptions{});
  EXPECT_EQ(empty.depth, "");
  EXPECT_EQ(empty.width, "");
}

TEST(Material, TableAndStoredIndex) {
  EXPECT_EQ(SettingsOf(Material::Steel).scanStart, 1);
  EXPECT_EQ(SettingsOf(Material::Steel).threshold, 50);
  EXPECT_EQ(SettingsOf(Material::SteelBevel).scanStart, 0);
  EXPECT_EQ(SettingsOf(Material::SteelBevel).threshold, 80);
  EXPECT_TRUE(SettingsOf(Material::SteelBevel).grayPreparation);
  EXPECT_FALSE(SettingsOf(Material::Pertinax).grayPreparation);
  EXPECT_EQ(MaterialFromIndex(3), Material::Steel);
  EXPECT_EQ(MaterialFromIndex(-1), Material::Steel);
  EXPECT_EQ(MaterialFromIndex(2), Material::Pertinax);
  TImgCalibration cal;
  cal.WFaktor = 0.97;
  cal.PWFaktor = 0.93;
  EXPECT_EQ(WidthFactor(cal, Material::Pertinax), 0.93);
  EXPECT_EQ(WidthFactor(cal, Material::SteelBevel), 0.97);
  Material m = Material::Steel;
  EXPECT_TRUE(ParseMaterial("BEVEL", m));
  EXPECT_EQ(m, Material::SteelBevel);
  EXPECT_FALSE(ParseMaterial("wood", m));
}

}  // namespace
