#pragma once

// The six-point linearisation table from the linearity grid, its keys in a
// calibration file and the linearity text file.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "measure/records.h"
#include "platform/profile_file.h"

// The linearity grid, [column][row]: column 0 the reference depths, column 1
// the measured depths; row 0 the header, rows 1..5 the references D1..D5.
using VeryGridCells = std::array<std::array<std::string, 6>, 2>;

// Builds LUTX/LUTY from rows 1..4 of the grid (millimetres, signs dropped):
// LUTX[i] the measured depth in pixels, LUTY[i] reference minus measured in
// pixels; LUTX[5] := calDepth (the calibration depth in millimetres), LUTY[5] := 0.
void GetLUT(MeasureState& state, const VeryGridCells& aGrid, double calDepth);

// The keys "LUTX0".."LUTY5" of section "VELDRAQXCAL" with five decimals.
std::vector<ProfileEntry> LUTEntries(const TImgCalibration& calibration);
// "0" for "LUTX0".."LUTY7".
std::vector<ProfileEntry> ClearedLUTEntries();
void ClearLUTInMemory(TImgCalibration& calibration);

// The linearity file: column 1 of the grid rows 0..5, one line each ending in CR LF.
std::string LinearityFileText(const VeryGridCells& aGrid);
