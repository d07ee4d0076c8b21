#include "cli/measurement_setup.h"

#include <cmath>
#include <filesystem>

#include "measure/calibration_file.h"
#include "measure/settings_file.h"
#include "platform/profile_file.h"

void IdealCalibration(MeasureState& state) {
  LoadCal(state, std::filesystem::path());  // the defaults of an uncalibrated gauge
  TImgCalibration& cal = state.ImgCalibration;
  cal.WFaktor = cal.PWFaktor = cal.DFaktor = cal.WVFaktor = cal.DVFaktor = 1;
  cal.RFaktor = 1;
}

namespace {

bool LevelOption(const ParsedArguments& args, MeasureState& state, std::string& error) {
  if (!args.Option("--level")) return true;
  double level = 0;
  if (!NumberOption(args, "--level", level, error)) return false;
  if (level < 0) {
    if (level < -6 || level != std::floor(level)) {
      error = "--level below 0 names a stored flank point, -1 to -6";
      return false;
    }
    state.Level = level;
    return true;
  }
  if (!std::isfinite(level)) {
    error = "--level needs a depth in millimetres";
    return false;
  }
  const TImgCalibration& cal = state.ImgCalibration;
  state.Level = level * cal.PixelPerInch / 25.4 / cal.ZFaktor / cal.DFaktor;
  return true;
}

}  // namespace

bool PrepareSetup(const ParsedArguments& args, MeasurementSetup& setup, std::string& error, int& exitCode) {
  ProgramSettings settings;
  IdealCalibration(setup.state);
  if (const auto cal = args.Option("--cal")) {
    // A file that cannot be read is an error, never a quiet fall-back to defaults.
    std::string bytes;
    if (const FileStatus readable = ReadProfileFile(*cal, bytes); !readable.ok) {
      error = readable.message;
      exitCode = 3;
      return false;
    }
    if (const FileStatus loaded = LoadCal(setup.state, *cal); !loaded.ok) {
      error = loaded.message;
      exitCode = 3;
      return false;
    }
    settings = LoadSettings(*cal);
    if (!settings.status.ok) {
      error = settings.status.message;
      exitCode = 3;
      return false;
    }
  }
  exitCode = 2;
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
  if (!LevelOption(args, setup.state, error)) return false;
  exitCode = 0;
  return true;
}
