#pragma once

// The program settings of section "VELDRAQX" of the settings file, read and
// written key by key with their defaults.

#include <filesystem>
#include <string>

#include "measure/records.h"
#include "platform/file_status.h"

// SHOWMOREINFO must hold this service code to show the slope panel of the
// verification window.
constexpr int kShowMoreInfoCode = 417;

struct ProgramSettings {
  std::string Serial = "0000";      // SERIAL, at most 14 characters
  std::string Language = "English"; // Language, at most 14 characters
  int Digits = 3;                   // DIGITS: decimals for the unit mm
  int UnitsMm = 254;                // UNITS_mm: 254 mm, 10 Inch, 10000 mil
  bool ShowOpen = false;            // SHOWOPEN
  bool ShowRadius = false;          // SHOWRADIUS
  bool ShowAlpha = false;           // SHOWALPHA
  bool InvImg = false;              // INVIMG: report picture inverted
  bool ShowLevel = false;           // SHOWLEVEL: level shown in the report
  double Level = 0;                 // LEVEL, profile pixels
  double Fiber = 0;                 // FIBER, pixels
  int Material = 0;                 // MATERIAL: 1 Steel Bevel, 2 Pertinax, else Steel
  int ShowMoreInfo = 0;             // SHOWMOREINFO
  int PdfCompression = 0;           // PDFCOMPRESSION: 1 compressed reports
  // Failure when a value lay outside its plausible range (UNITS_mm 0 or
  // below would turn every length negative or infinite): the message names
  // the file, the key and the range, and the value holds its default.
  FileStatus status;
};

// The decimals a result may show; DIGITS and the display digits derived
// from it are limited to this range.
constexpr int kMinDigits = 0;
constexpr int kMaxDigits = 4;

// Reads every key above (missing keys and a missing file give the defaults).
ProgramSettings LoadSettings(const std::filesystem::path& file);

// Writes the keys the settings dialog changes, in this order: DIGITS ("1",
// "2", else "3"), UNITS_mm ("10000", "10", else "254"), Language, SHOWOPEN,
// SHOWRADIUS, SHOWALPHA, INVIMG, SHOWLEVEL ("1"/"0"), LEVEL and FIBER (the
// 23-character scientific form). SERIAL, MATERIAL, SHOWMOREINFO and
// PDFCOMPRESSION are not written. All keys are applied in memory and the
// file is replaced once; false when it cannot be read or written (it then
// stays as it was).
bool SaveSettings(const ProgramSettings& settings, const std::filesystem::path& file);

// Display state from the settings: Units = UNITS_mm / 10; Digits = DIGITS,
// plus 1 for Inch (Units 1), minus 1 for mil (Units 1000), kept within
// kMinDigits..kMaxDigits; Level and Fiber.
void ApplySettings(const ProgramSettings& settings, MeasureState& state);
