#pragma once

// The calibration station's setup file "VELDRAQXEICH.INI" in the home folder
// (reference samples, captures per calibration, linearity references), the
// files a calibration writes beside it, and the parsing of the station's
// input fields.

#include <array>
#include <filesystem>
#include <string>

#include "platform/file_status.h"

// Nominal values of the reference samples: surface row and brightness of the
// flat reference, width and depth of the calibration channel in millimetres.
struct TCalRef {
  int CALTOP = 0;
  int CALB = 0;
  double CALW = 0;
  double CALD = 0;
};

// The setup file as the calibration window reads it on activation and at
// every capture.
struct StationSetup {
  int CALTOP = 200;     // expected surface row
  int CALB = 3000;      // expected brightness
  int CALD = 2100;      // calibration channel depth, thousandths of a millimetre
  int CALW = 3000;      // calibration channel width, thousandths of a millimetre
  int COUNTH = 1;       // captures per calibration
  int LEVEL = 0;        // which channel points define the calibration width, 0..3
  std::array<int, 5> D{100, 200, 300, 400, 500};  // linearity references D1..D5
  // The references where an edit holds no usable value: CALD and CALW, but
  // 2000 for a missing CALD.
  int FallbackCALD = 2000;
  int FallbackCALW = 3000;
};

std::filesystem::path StationFile(const std::filesystem::path& home);
// "VELDRAQXINI" in the home folder, where the device files are kept.
std::filesystem::path DeviceFolder(const std::filesystem::path& home);
// serial + "_VELDRAQX.INI" in the device folder.
std::filesystem::path DeviceFile(const std::filesystem::path& home, const std::string& serial);
// serial + "_LIN.TXT" in the device folder.
std::filesystem::path LinearityFile(const std::filesystem::path& home, const std::string& serial);

// The setup file, read once. A missing file or key gives the defaults above.
// Failure, with `setup` as it was, when the file is there but cannot be
// used (empty, unreadable, too large, no 8-bit text, no section in it) or
// a value lies outside its plausible range; the message names the file,
// the key and the range. A calibration never starts from such a file.
FileStatus ReadStationSetup(const std::filesystem::path& stationFile, StationSetup& setup);

// Success when `text` is a serial number: one to fourteen digits, blanks
// around them allowed. `origin` says where the text comes from (a file and
// key, or the edit) for the message.
FileStatus CheckSerial(const std::string& text, const std::string& origin);

// A grid cell in millimetres: blanks and "-" removed, "," read as ".", then
// converted from the display unit (units per inch) to millimetres. Text that
// is no number, or a zero unit, gives 0.
double GetValues(const std::string& text, double units);

// The serial number after `text`: its number plus one, at least five digits.
std::string NextSerial(const std::string& text);
