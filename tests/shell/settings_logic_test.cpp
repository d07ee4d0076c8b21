#include "shell/settings_logic.h"

#include <gtest/gtest.h>

#include <fstream>

#include "measure/settings_file.h"
#include "tests/temp_folder.h"

namespace {

MeasureState Calibrated() {
  MeasureState state;
  state.ImgCalibration.PixelPerInch = 3600;
  state.ImgCalibration.ZFaktor = 1.25;
  state.ImgCalibration.DFaktor = 0.98;
  return state;
}

TEST(SettingsLogic, StartupUnitsAndDigitsFromTheFile) {
  struct Case {
    const char* file;
    double units;
    int digits;
    const char* label;
  };
  const Case cases[] = {
      {"[VELDRAQX]\nUNITS_mm=10\nDIGITS=3\n", 1, 4, "Inch"},
      {"[VELDRAQX]\nUNITS_mm=300\nDIGITS=2\n", 30, 2, "mm"},  // not one of the three: mm, Units 30
      {"[VELDRAQX]\nUNITS_mm=10000\nDIGITS=3\n", 1000, 2, "mil"},
      {"", 25.4, 3, "mm"},
  };
  for (const Case& c : cases) {
    TempFolder home;
    std::ofstream(home / "VELDRAQX.INI") << c.file;
    MeasureState state;
    ApplySettings(LoadSettings(home / "VELDRAQX.INI"), state);
    EXPECT_DOUBLE_EQ(state.Units, c.units) << c.file;
    EXPECT_EQ(state.Digits, c.digits) << c.file;
    EXPECT_EQ(UnitLabel(state.Units), c.label) << c.file;
  }
}

TEST(SettingsLogic, DigitCaptionsByUnit) {
  EXPECT_EQ(DigitCaptions(0)[2], "0.000 mm");
  EXPECT_EQ(DigitCaptions(1)[0], "0.00 Inch");
  EXPECT_EQ(DigitCaptions(2)[2], "0.00 mil");
  EXPECT_EQ(UnitIndexOf(1000), 2);
  EXPECT_EQ(UnitIndexOf(30), 0);
}

TEST(SettingsLogic, ClosedDialogSetsUnitsDigitsLevelAndFiber) {
  MeasureState state = Calibrated();
  SettingsChoice choice;
  choice.unitIndex = 2;
  choice.digitsIndex = 2;  // "0.00 mil": DIGITS 3, two decimals shown
  choice.levelText = "0,05";
  choice.fiberText = "0.1";
  const ProgramSettings written = ApplySettingsChoice(choice, state);
  EXPECT_EQ(written.Digits, 3);
  EXPECT_EQ(written.UnitsMm, 10000);
  EXPECT_EQ(state.Digits, 2);
  EXPECT_DOUBLE_EQ(state.Units, 1000);
  EXPECT_DOUBLE_EQ(state.Level, 0.05 * 3600 / 25.4 / 1.25 / 0.98);
  EXPECT_DOUBLE_EQ(state.Fiber, 0.1 * 3600 / 25.4);
  // The fields read back what was stored, in millimetres.
  EXPECT_EQ(LevelFieldText(state), "0.050");
  EXPECT_EQ(FiberFieldText(state), "0.100");
  // Text that is no number counts as 0.
  choice.levelText = "deep";
  ApplySettingsChoice(choice, state);
  EXPECT_EQ(state.Level, 0);
}

TEST(SettingsLogic, ReportLogoCanvas) {
  struct Case {
    int w, h;
    int canvasW, canvasH;
    int left;
  };
  const Case cases[] = {
      {400, 100, 400, 156, 0},    // wider than 200:78: picture at the top left
      {100, 100, 256, 100, 155},  // narrower: one pixel from the right edge
      {200, 78, 200, 78, -1},     // exactly the ratio counts as narrower
  };
  for (const Case& c : cases) {
    Bitmap picture(c.w, c.h);
    picture.Fill(10, 20, 30);
    const Bitmap logo = ComposeReportLogo(picture);
    ASSERT_EQ(logo.Width(), c.canvasW) << c.w;
    ASSERT_EQ(logo.Height(), c.canvasH) << c.w;
    if (c.left >= 0) {
      EXPECT_EQ(logo.Pixel(c.left, 0)[0], 10) << c.w;
      EXPECT_EQ(logo.Pixel(c.left + c.w - 1, c.h - 1)[2], 30) << c.w;
      if (c.left > 0) {
        EXPECT_EQ(logo.Pixel(c.left - 1, 0)[0], 255) << c.w;
      }
      if (c.left + c.w < logo.Width()) {
        EXPECT_EQ(logo.Pixel(c.left + c.w, 0)[0], 255) << c.w;
      }
    }
    if (c.canvasH > c.h) {
      EXPECT_EQ(logo.Pixel(0, c.h)[1], 255) << c.w;
    }
  }
  EXPECT_TRUE(ComposeReportLogo(Bitmap()).Empty());
}

}  // namespace
