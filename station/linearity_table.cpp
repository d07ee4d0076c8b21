#include "station/linearity_table.h"

#include "measure/numbers.h"
#include "measure/units.h"
#include "station/station_setup.h"

namespace {

constexpr const char* kCalSection = "VELDRAQXCAL";

}  // namespace

void GetLUT(MeasureState& state, const VeryGridCells& aGrid, double calDepth) {
  TImgCalibration& cal = state.ImgCalibration;
  ClearLUTInMemory(cal);
  for (int i = 1; i <= 4; ++i) {
    const double ref = GetValues(aGrid[0][i], state.Units);
    const double meas = GetValues(aGrid[1][i], state.Units);
    cal.LUTX[i] = UnitsVal(state, meas);
    cal.LUTY[i] = UnitsVal(state, ref) - cal.LUTX[i];
  }
  cal.LUTX[5] = calDepth;
  cal.LUTY[5] = 0;
}

std::vector<ProfileEntry> LUTEntries(const TImgCalibration& calibration) {
  std::vector<ProfileEntry> entries;
  for (int i = 0; i < 6; ++i) {
    const std::string index = std::to_string(i);
    entries.push_back({kCalSection, "LUTX" + index, FormatFixedWidth(calibration.LUTX[i], 5, 6)});
    entries.push_back({kCalSection, "LUTY" + index, FormatFixedWidth(calibration.LUTY[i], 5, 6)});
  }
  return entries;
}

std::vector<ProfileEntry> ClearedLUTEntries() {
  std::vector<ProfileEntry> entries;
  for (int i = 0; i < 8; ++i) {
    const std::string index = std::to_string(i);
    entries.push_back({kCalSection, "LUTX" + index, "0"});
    entries.push_back({kCalSection, "LUTY" + index, "0"});
  }
  return entries;
}

void ClearLUTInMemory(TImgCalibration& calibration) {
  calibration.LUTX.fill(0);
  calibration.LUTY.fill(0);
}

std::string LinearityFileText(const VeryGridCells& aGrid) {
  std::string text;
  for (const std::string& cell : aGrid[1]) text += cell + "\r\n";
  return text;
}
