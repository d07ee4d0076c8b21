#pragma once

// The calibration station's setup file "VELDRAQXEICH.INI" in the home folder
// (reference samples, captures per calibration, linearity references), the
// files a calibration writes beside it, and the parsing of the station's
// input fields.

#include <array>
#include <filesystem>
#include <string>

// Nominal values of the reference samples: surface row and brightness of the
// flat reference, width and depth of the calibration channel in millimetres.
struct TCalRef {
  int CALTOP = 0;
  int CALB = 0;
  double CALW = 0;
  double CALD = 0;
};

// The setup file as the calibration window reads it on activation.
struct StationSetup {
  int CALTOP = 200;     // expected surface row
  int CALB = 3000;      // expected brightness
  int CALD = 2100;      // calibration channel depth, thousandths of a millimetre
  int CALW = 3000;      // calibration channel width, thousandths of a millimetre
  int COUNTH = 1;       // captures per calibration, at least 1
  std::array<int, 5> D{100, 200, 300, 400, 500};  // linearity references D1..D5
};

std::filesystem::path StationFile(const std::filesystem::path& home);
// "VELDRAQXINI" in the home folder, where the device files are kept.
std::filesystem::path DeviceFolder(const std::filesystem::path& home);
// serial + "_VELDRAQX.INI" in the device folder.
std::filesystem::path DeviceFile(const std::filesystem::path& home, const std::string& serial);
// serial + "_LIN.TXT" in the device folder.
std::filesystem::path LinearityFile(const std::filesystem::path& home, const std::string& serial);

// Missing file or keys give the defaults above; COUNTH below 1 gives 1.
StationSetup ReadStationSetup(const std::filesystem::path& stationFile);
// LEVEL: which channel points define the calibration width (0..3; default 0).
int ReadCalibrationLevel(const std::filesystem::path& stationFile);
// The references when an edit holds no usable value: CALW (default 3000) and
// CALD (default 2000) in millimetres.
double ReadFallbackWidth(const std::filesystem::path& stationFile);
double ReadFallbackDepth(const std::filesystem::path& stationFile);
// D1..D4 in millimetres (defaults 0.1 .. 0.4).
std::array<double, 4> ReadLinearityReferences(const std::filesystem::path& stationFile);

// A grid cell in millimetres: blanks and "-" removed, "," read as ".", then
// converted from the display unit (units per inch) to millimetres. Text that
// is no number, or a zero unit, gives 0.
double GetValues(const std::string& text, double units);

// The serial number after `text`: its number plus one, at least five digits.
std::string NextSerial(const std::string& text);
