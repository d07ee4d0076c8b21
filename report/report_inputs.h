#pragma once

// Everything the report composer reads from the windows, in one plain record.
// The windows fill it from their controls just before a report (texts as the
// controls show them, flags as ticked, pictures as displayed); the command
// line and the tests fill it themselves. The composer never changes it.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "measure/records.h"
#include "report/report_artwork.h"

class LanguageStore;

// The brand tables of the main window (row `Brand`); every row holds the same texts.
constexpr const char* kProductName = "VELDRA QX";            // Productnames
constexpr const char* kProductDescription = "VELDRA QuadraGauge";  // Productdesc

// The calibration window's texts for the certificate (kind 0), each the
// caption or text its control shows.
struct CertificateTexts {
  std::string TopRefLabel;   // reference surface row
  std::string BRRefLabel;    // reference brightness
  std::string HRefLabel;     // reference orientation
  std::string CalHEdit;      // reference depth, mm
  std::string CALWEdit;      // reference width, mm
  std::string SampleTop;     // surface row found
  std::string BRLabel2;      // brightness found
  std::string HorizLabel;    // orientation found, with "°"
  std::string BHeight;       // depth measured, mm
  std::string BWidth;        // width measured, mm
  std::string PPIRes;        // pixels per inch
  std::string ZFactorRes;    // Z factor
};

// The verification window's texts for the verification report (kind 3).
struct VerificationTexts {
  std::string CALDEdit;  // target depth, mm
  std::string CALWEdit;  // target width, mm
  std::string BDepth;    // depth measured, mm
  std::string BWidth;    // width measured, mm
};

// The icons of the result rows: main window `Image1`..`Image5` and the
// settings dialog's level icon `Image2`. Default: our own drawings.
struct ReportIcons {
  Bitmap depth;         // Image1
  Bitmap width;         // Image2
  Bitmap radius;        // Image3
  Bitmap flankAngle;    // Image4
  Bitmap openingAngle;  // Image5
  Bitmap level;         // settings dialog Image2
};
ReportIcons StandardReportIcons();

// A stored result snapshot (`VResult`, `HResult`, `DResult`) with its own
// picture; `down` says whether its button (`VBtn`, `Hbtn`, `dbtn`) is down.
struct ReportSnapshot {
  bool down = false;
  Bitmap Img;
  TResult texts;  // Depth, Width, AngleO, Angle, Radius, Level, Fiber (Img unused)
};

struct ReportInputs {
  // Folders: the home folder receives the reports and may hold
  // "VELDRA_Logo.bmp"; otherwise the certificate logo is taken from the
  // program folder.
  std::filesystem::path homeDir;
  std::filesystem::path programDir;
  std::string language = "English";  // Sprache
  int pdfCompression = 0;            // PDFCOMPRESSION of the settings file in use

  // Settings dialog.
  Bitmap logoBmp;                       // LogoBmp: the user's logo (kinds 1, 2)
  std::vector<std::string> memoLines;   // Memo1: the user's report text, UTF-8
  bool invImage = false;                // InvImage
  bool showOpen = false;                // ShowOpenbx
  bool showRadius = false;              // ShowRadiusBx
  bool showAlpha = false;               // ShowAlphabx
  bool showLevel = false;               // ShowLevelInReport

  // Calibration window: serial (`GetSerial`) and the brand index of BrandGrp.
  std::string serial = "00000";
  CertificateTexts certificate;
  VerificationTexts verification;
  Bitmap ImgBrightness;  // brightness calibration picture with its fitted line
  Bitmap ImgChannel;     // last calibration or verification capture

  // Main window.
  std::string jobIdLabel = "JOB ID:";  // caption of JobIDLabel
  std::string jobId = "DEFAULT";       // text of JobIDEdit, as typed
  int materialIndex = 0;               // MatGrp item: 0 Steel, 1 Steel Bevel, 2 Pertinax
  std::array<std::string, 3> materialItems{"Steel", "Steel Bevel", "Pertinax"};
  std::string fiberText;               // StrUnits(Fiber) in the current unit
  std::string DepthResult;             // captions of the result labels
  std::string WidthResult;
  std::string OpenResult;
  std::string RadiusResult;
  std::string AlphaV;
  std::string mmLabel1 = "mm";         // unit labels of depth, width, radius
  std::string mmLabel2 = "mm";
  std::string RadiusLabel = "mm";
  bool openGroupVisible = false;       // OpenGroup, RadiusGrp, VGrp
  bool radiusGroupVisible = false;
  bool vGroupVisible = false;
  ReportIcons icons = StandardReportIcons();
  // Headings of the stored results: language section "MAINHINTS" entries 7, 8, 9.
  std::array<std::string, 3> snapshotHeadings{"Vertical", "Horizontal", "Diagonal"};
  std::array<ReportSnapshot, 3> snapshots;  // VResult, HResult, DResult
  Bitmap rBild;                             // the result picture with its overlay

  // The stamp picture of the composer (calibration and verification reports).
  Bitmap stamp = DrawPassStamp();
};

// The texts of the record that come from the language file: the JOB ID
// caption and the material items (section "MAINPANEL" offsets 1 and 2, 4, 3)
// and the headings of the stored results ("MAINHINTS" 7, 8, 9). A missing
// section leaves the texts as they are.
void ApplyLanguageTexts(const LanguageStore& store, ReportInputs& inputs);
