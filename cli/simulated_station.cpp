#include "cli/simulated_station.h"

#include "capture/simulated_optics.h"
#include "cli/program_folder.h"
#include "imaging/scan_sequence.h"
#include "measure/calibration_file.h"
#include "measure/settings_file.h"
#include "shell/startup.h"

namespace {

constexpr double kMillimetresPerInch = 25.4;

}  // namespace

// The station's linearity references D1..D4 are channels 0.1, 0.4, 0.6 and
// 0.8 mm deep: the road reads channels between about 0.15 and 0.35 mm deep
// unreliably on this gauge (the combination's zone bands cut the light line,
// docs/accuracy.md), so a reference there would test the road's failure, not
// the gauge's depth response. D5 is only shown in the grid.
std::string SimulatedStationFileText() {
  return "[VELDRAQX]\r\n"
         "ISEICH=" + std::to_string(kCalibrationStationCode) + "\r\n"
         "[VELDRAQXCALSETUP]\r\n"
         "CALTOP=320\r\n"
         "CALB=122\r\n"
         "CALD=2100\r\n"
         "CALW=3000\r\n"
         "COUNTH=3\r\n"
         "LEVEL=0\r\n"
         "[VELDRAQXSETUP]\r\n"
         "D1=100\r\n"
         "D2=400\r\n"
         "D3=600\r\n"
         "D4=800\r\n"
         "D5=1000\r\n";
}

SimulatedStation::SimulatedStation(const GaugeTruth& gauge, std::uint32_t seed) : gauge_(gauge), nextSeed_(seed) {}

Bitmap SimulatedStation::LiveFrame(const SimulatedSample& sample, const CameraSettings& camera) {
  const SimulatedOptics optics(UnderGauge(gauge_, sample), TrueOptics(gauge_, nextSeed_++));
  Bitmap frame;
  optics.Render(camera, 0, frame);
  Bitmap shown;
  MirrorFrame(frame, shown);
  return shown;
}

bool SimulatedStation::Scan(MeasurementSetup& setup, const SimulatedSample& sample, const LanguageStore& language,
                            SimulatedScan& scan, std::string& error) {
  return RunSimulatedScan(setup, UnderGauge(gauge_, sample), TrueOptics(gauge_, nextSeed_++), language, scan, error);
}

std::filesystem::path StationHome(const ParsedArguments& parsed) {
  if (const auto home = parsed.Option("--home")) return *home;
  std::error_code ignored;
  return std::filesystem::current_path(ignored);
}

FileStatus LoadStationState(const std::filesystem::path& fileInUse, MeasureState& state) {
  const FileStatus loaded = LoadCal(state, fileInUse);
  ApplySettings(LoadSettings(fileInUse), state);
  state.Units = kMillimetresPerInch;
  state.Digits = 3;
  return loaded;
}

bool LoadStationLanguage(LanguageStore& language, std::string& error) {
  language = CreateLanguage();
  const FileStatus loaded = language.LoadLanguage(ProgramFolder(), "English");
  if (!loaded.ok) error = loaded.message;
  return loaded.ok;
}
