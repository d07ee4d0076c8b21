#include <gtest/gtest.h>

#include "measure/units.h"

namespace {

MeasureState StateWithTable(std::array<double, 6> x, std::array<double, 6> y) {
  MeasureState state;
  state.ImgCalibration.LUTX = x;
  state.ImgCalibration.LUTY = y;
  state.ImgCalibration.ZFaktor = 1;
  state.ImgCalibration.RFaktor = 1;
  return state;
}

TEST(Lutn, CorrectsByTheTable) {
  const MeasureState full = StateWithTable({0, 100, 200, 300, 400, 500}, {0, 2, 4, 6, 8, 10});
  const MeasureState gap = StateWithTable({0, 100, 200, 0, 0, 0}, {0, 2, 4, 0, 0, 0});
  const MeasureState inactive = StateWithTable({0, 0, 0, 0, 0, 0}, {5, 5, 5, 5, 5, 5});
  struct Case {
    const MeasureState* state;
    double in;
    double out;
  } cases[] = {
      {&full, 150, 153},     // interpolated between 100 and 200
      {&full, 450, 460},     // above LUTX[4] the constant LUTY[5]
      {&full, -50, -51},     // first segment extrapolated
      {&full, 100, 102},     // on an entry
      {&gap, 250, 252},      // empty entry: mean of its neighbours' corrections
      {&inactive, 123.5, 123.5},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(LUTN(c.state->ImgCalibration, c.in), c.out) << c.in;
}

TEST(Conversions, DepthAndRadiusGoThroughZFaktorAndTable) {
  MeasureState state = StateWithTable({0, 0, 0, 0, 0, 0}, {});
  state.ImgCalibration.ZFaktor = 1.5;
  state.ImgCalibration.RFaktor = 0.9;
  EXPECT_DOUBLE_EQ(GetDepth(state, 100, 0.95), 100 * 1.5 * 0.95);
  EXPECT_DOUBLE_EQ(GetRadius(state, 100), 100 * 1.5 * 2 * 0.9);
  EXPECT_DOUBLE_EQ(GetWidth(280, 0.975), 280 * 0.975);

  // Below 1e-6 the value counts as 0 before the table correction.
  MeasureState table = StateWithTable({10, 100, 200, 300, 400, 500}, {4, 2, 4, 6, 8, 10});
  EXPECT_DOUBLE_EQ(GetRadius(table, 5e-7), 2 * LUTN(table.ImgCalibration, 0) * 1);
  EXPECT_DOUBLE_EQ(GetDepth(table, -3, 1), LUTN(table.ImgCalibration, 0));
}

TEST(Conversions, ZeroScaleGivesZeroAndEmptyText) {
  MeasureState state;
  state.ImgCalibration.PixelPerInch = 0;
  EXPECT_EQ(ValUnits(state, 100), 0);
  EXPECT_EQ(StrUnits(state, 100), "");
  state.ImgCalibration.PixelPerInch = 3600;
  state.Units = 0;
  EXPECT_EQ(UnitsVal(state, 1), 0);
  state.Units = 25.4;
  EXPECT_DOUBLE_EQ(ValUnits(state, 3600), 25.4);
  EXPECT_DOUBLE_EQ(UnitsVal(state, 25.4), 3600);
}

TEST(StrUnits, FormatsInDisplayUnits) {
  struct Case {
    double units;
    double ppi;
    int digits;
    double pixels;
    const char* text;
  } cases[] = {
      {25.4, 3600, 3, 100, "0.706"},
      {1000, 3600, 2, 100, "27.78"},
      {1, 3600, 4, 3600, "1.0000"},
      {25.4, 3600, 0, 3600, "25"},
      {25.4, 3600, 2, -36, "-0.25"},
      // Halves go to the even neighbour: 12.5 -> 12, 37.5 -> 38 (hundredths).
      {1, 4, 2, 0.5, "0.12"},
      {1, 4, 2, 1.5, "0.38"},
      {1, 1, 0, 2.5, "2"},
      {1, 1, 0, 3.5, "4"},
  };
  for (const auto& c : cases) {
    MeasureState state;
    state.Units = c.units;
    state.ImgCalibration.PixelPerInch = c.ppi;
    state.Digits = c.digits;
    EXPECT_EQ(StrUnits(state, c.pixels), c.text) << c.pixels << " px";
    EXPECT_EQ(StrUnitsD(state, c.pixels, c.digits), c.text);
  }
}

TEST(GetSerial, NormalisesToFiveDigitsAndStoresBack) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"7", "00007"}, {"", "00000"}, {"12AB", "00012"},   {"  42", "00042"},
               {"123456", "123456"}, {"abc", "00000"}, {"99999999999999", "2147483647"}};
  for (const auto& c : cases) {
    MeasureState state;
    state.SNEditText = c.in;
    EXPECT_EQ(GetSerial(state), c.out) << c.in;
    EXPECT_EQ(state.SNEditText, c.out);
  }
}

TEST(MeasureState, StartsWithInchScaleForMillimetres) {
  MeasureState state;
  EXPECT_EQ(state.Units, 25.4);
  EXPECT_EQ(state.NFaktor, 100);
  EXPECT_EQ(TrapezLinInv(12.5, 99), 12.5);
}

}  // namespace
