#include "station/linearity_table.h"

#include "measure/numbers.h"
#include "measure/units.h"
#include "platform/atomic_file.h"
#include "station/profile_writes.h"
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

bool SaveLUT(const TImgCalibration& calibration, const std::filesystem::path& file) {
  std::vector<ProfileEntry> entries;
  for (int i = 0; i < 6; ++i) {
    const std::string index = std::to_string(i);
    entries.push_back({kCalSection, "LUTX" + index, FormatFixedWidth(calibration.LUTX[i], 5, 6)});
    entries.push_back({kCalSection, "LUTY" + index, FormatFixedWidth(calibration.LUTY[i], 5, 6)});
  }
  return WriteProfileEntries(file, entries);
}

bool ClearLUT(const std::filesystem::path& file) {
  std::vector<ProfileEntry> entries;
  for (int i = 0; i < 8; ++i) {
    const std::string index = std::to_string(i);
    entries.push_back({kCalSection, "LUTX" + index, "0"});
    entries.push_back({kCalSection, "LUTY" + index, "0"});
  }
  return WriteProfileEntries(file, entries);
}

void ClearLUTInMemory(TImgCalibration& calibration) {
  calibration.LUTX.fill(0);
  calibration.LUTY.fill(0);
}

FileStatus WriteLinearityFile(const VeryGridCells& aGrid, const std::filesystem::path& file) {
  std::string text;
  for (const std::string& cell : aGrid[1]) text += cell + "\r\n";
  return WriteFileAtomically(file, text);
}
