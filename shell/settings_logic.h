#pragma once

// What the settings dialog computes, without its controls: the captions of
// the digit choices, the level and fibre fields (always millimetres), the
// settings the dialog writes back, and the report logo canvas.

#include <array>
#include <string>

#include "base/bitmap.h"
#include "measure/records.h"
#include "measure/settings_file.h"

// Unit choice of the dialog: 0 mm, 1 Inch, 2 mil.
int UnitIndexOf(double units);
std::array<std::string, 3> DigitCaptions(int unitIndex);
// "mm", "Inch" or "mil" as the unit labels of the result panel read.
std::string UnitLabel(double units);

// The level field: Level (profile rows) in millimetres, 3 decimals.
std::string LevelFieldText(const MeasureState& state);
// The fibre field: Fiber (pixels) in millimetres, 3 decimals.
std::string FiberFieldText(const MeasureState& state);
// Level and Fiber from the fields' millimetres; text that is no number counts as 0.
double LevelFromField(const std::string& text, const TImgCalibration& calibration);
double FiberFromField(const std::string& text, const TImgCalibration& calibration);

// What the dialog's controls hold when it closes.
struct SettingsChoice {
  int unitIndex = 0;    // 0 mm, 1 Inch, 2 mil
  int digitsIndex = 2;  // 0..2: 1..3 decimals for mm
  std::string language = "English";
  bool showOpen = false;
  bool showRadius = false;
  bool showAlpha = false;
  bool invertImage = false;
  bool showLevel = false;
  std::string levelText = "0.00";
  std::string fiberText = "0.00";
};

// Applies the closed dialog to the display state (Units, Digits, Level,
// Fiber) and gives the settings to write.
ProgramSettings ApplySettingsChoice(const SettingsChoice& choice, MeasureState& state);

// The report logo canvas for a picture of W x H: white, 200:78, the picture
// at the top left when it is wider than that ratio, else one pixel from the
// right edge. An empty picture gives an empty canvas.
Bitmap ComposeReportLogo(const Bitmap& picture);
