#pragma once

// The three channel materials and what each means for a scan and its analysis.

#include "measure/records.h"

enum class Material { Steel = 0, SteelBevel = 1, Pertinax = 2 };

struct MaterialSettings {
  const char* name;          // "Steel", "Steel Bevel", "Pertinax"
  int scanStart;             // shutter step of the first frame of a scan (brstart)
  int threshold;             // brightness threshold and target count of the combination (GKTH)
  bool grayPreparation;      // prepare with the grey steel preparation (weight 0.9) instead of the plain one
};

const MaterialSettings& SettingsOf(Material material);
// The material of a stored index: 1 and 2 as they stand, anything else Steel.
Material MaterialFromIndex(int index);
// Parses "steel", "bevel" / "steel bevel", "pertinax" (any case); false otherwise.
bool ParseMaterial(const char* text, Material& material);
// The width factor the analysis gets: PWFaktor for Pertinax, WFaktor otherwise.
double WidthFactor(const TImgCalibration& calibration, Material material);
