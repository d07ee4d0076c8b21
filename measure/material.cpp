#include "measure/material.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

const MaterialSettings kMaterials[] = {
    {"Steel", 1, 50, false},
    {"Steel Bevel", 0, 80, true},
    {"Pertinax", 1, 50, false},
};

}  // namespace

const MaterialSettings& SettingsOf(Material material) { return kMaterials[static_cast<int>(material)]; }

Material MaterialFromIndex(int index) {
  if (index == 1) return Material::SteelBevel;
  if (index == 2) return Material::Pertinax;
  return Material::Steel;
}

bool ParseMaterial(const char* text, Material& material) {
  std::string lower(text ? text : "");
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  if (lower == "steel") {
    material = Material::Steel;
  } else if (lower == "bevel" || lower == "steel bevel" || lower == "steel-bevel") {
    material = Material::SteelBevel;
  } else if (lower == "pertinax") {
    material = Material::Pertinax;
  } else {
    return false;
  }
  return true;
}

double WidthFactor(const TImgCalibration& calibration, Material material) {
  return material == Material::Pertinax ? calibration.PWFaktor : calibration.WFaktor;
}
