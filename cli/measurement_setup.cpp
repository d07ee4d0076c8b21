#include "cli/measurement_setup.h"

#include <filesystem>

#include "measure/calibration_file.h"
#include "measure/settings_file.h"

void IdealCalibration(MeasureState& state) {
  LoadCal(state, std::filesystem::path());  // the defaults of an uncalibrated gauge
  TImgCalibration& cal = state.ImgCalibration;
  cal.WFaktor = cal.PWFaktor = cal.DFaktor = cal.WVFaktor = cal.DVFaktor = 1;
  cal.RFaktor = 1;
}

bool PrepareSetup(const ParsedArguments& args, bool idealWithoutFile, MeasurementSetup& setup, std::string& error) {
  ProgramSettings settings;
  if (const auto cal = args.Option("--cal")) {
    if (!std::filesystem::is_regular_file(*cal)) {
      error = "calibration file '" + *cal + "' not found";
      return false;
    }
    LoadCal(setup.state, *cal);
    settings = LoadSettings(*cal);
  } else if (idealWithoutFile) {
    IdealCalibration(setup.state);
  } else {
    LoadCal(setup.state, std::filesystem::path());
  }
  ApplySettings(settings, setup.state);
  setup.options.showOpen = settings.ShowOpen;
  setup.options.showAlpha = settings.ShowAlpha;
  setup.options.showRadius = settings.ShowRadius;
  setup.material = MaterialFromIndex(settings.Material);
  if (const auto material = args.Option("--material")) {
    if (!ParseMaterial(material->c_str(), setup.material)) {
      error = "unknown material '" + *material + "' (steel, bevel or pertinax)";
      return false;
    }
  }
  double level = setup.state.Level;
  if (!NumberOption(args, "--level", level, error)) return false;
  setup.state.Level = level;
  return true;
}
