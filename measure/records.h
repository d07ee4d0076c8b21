#pragma once

// The records that carry one measurement and one gauge calibration, and the
// measurement state the program shares between its windows.

#include <array>
#include <string>

#include "measure/numbers.h"

class Bitmap;

// Profile line: the image row of the lit surface in every column 0..1279;
// a value <= 0 marks a column without profile; entry 1280 stays 0.
constexpr int kProfileLength = 1281;
using TProfileLine = std::array<int, kProfileLength>;

struct TRealPoint {
  double x = 0;
  double y = 0;
  bool operator==(const TRealPoint&) const = default;
};

// Result of one channel analysis. All lengths in pixels, angles in degrees,
// a line (m, c) is y = m*x + c. Field order is part of the record.
struct TChannel {
  int spunkt = 0;       // centre column of the channel
  Extended tm = 0;      // surface line
  Extended tc = 0;
  Extended mm = 0;      // rough surface fit of the first stage
  Extended mc = 0;
  Extended bm = 0;      // bottom line
  Extended bc = 0;
  TRealPoint plt;       // left edge on the surface line
  TRealPoint plb;       // left bottom corner
  TRealPoint prt;       // right edge on the surface line
  TRealPoint prb;       // right bottom corner
  TRealPoint plc;       // ends of the width measurement at the chosen level
  TRealPoint prc;
  TRealPoint pl10;      // flank points: 10 px (10 % for shallow channels),
  TRealPoint pr10;      // 20, 30, 40, 50 and 80 % of the depth
  TRealPoint pl20;
  TRealPoint pr20;
  TRealPoint pl30;
  TRealPoint pr30;
  TRealPoint pl40;
  TRealPoint pr40;
  TRealPoint pl50;
  TRealPoint pr50;
  TRealPoint pl80;
  TRealPoint pr80;
  double mx = 0;        // fitted circle
  double my = 0;
  double radius = 0;
  TRealPoint plr;       // where the flank chords meet the circle
  TRealPoint prr;
  Extended lvm = 0;     // left V flank line (also the flat-bottom fit)
  Extended lvc = 0;
  Extended rvm = 0;     // right V flank line
  Extended rvc = 0;
  TRealPoint plv;       // upper ends of the V flanks and the V tip
  TRealPoint prv;
  TRealPoint psv;
  double alphav = 0;    // V angle
  double alphaO = 0;    // opening angle, 0..60
  double RectDiff = 0;  // mean residuals of the flat, round and V models
  double CircleDiff = 0;
  double VDiff = 0;
  double depth = 0;     // mean depth below the surface line
  double depthr = 0;    // depth of the circle's lowest point
  double depthv = 0;    // depth of the V tip
  double width = 0;     // distance plc..prc
  double widthb = 0;    // never set; stays 0
  int shape = 0;        // 0 flat, 1 V, 2 round
  int levelOK = 0;      // 0 fine, 1 deep (70..80 %), 2 too deep (width not valid)
};

// Calibration of one gauge (device calibration file).
struct TImgCalibration {
  int CalVer = 0;
  int Shutter = 0;
  int Gain = 0;
  bool Mirror = false;
  bool Flip = false;
  int top = 0;
  Extended m = 0;
  Extended c = 0;
  double PixelPerInch = 0;
  double angle = 0;
  double ZFaktor = 0;
  double RFaktor = 0;
  double WFaktor = 0;
  double DFaktor = 0;
  double PWFaktor = 0;
  double WVFaktor = 0;
  double DVFaktor = 0;
  double Trapez = 0;
  double ZSlope = 0;
  double XSlope = 0;
  std::array<double, 6> LUTX{};
  std::array<double, 6> LUTY{};
};

// Calibration sample record.
struct TImgCalReport {
  int ImgBr = 0;
  int ActBr = 0;
  double Angle = 0;
  double width = 0;
  double depth = 0;
};

// Texts of one displayed measurement (a snapshot of a view).
struct TResult {
  const Bitmap* Img = nullptr;
  std::string Depth;
  std::string Width;
  std::string AngleO;
  std::string Angle;
  std::string Radius;
  std::string Level;
  std::string Fiber;
};

// The measurement state one running program shares: calibration, display
// units, width level, fibre allowance, the profile lines and the last result.
// The program owns one instance; tests build their own.
struct MeasureState {
  TImgCalibration ImgCalibration;
  TImgCalReport SampleRep;
  std::string SNEditText;
  double Units = 25.4;   // display units per inch: 25.4 mm, 1 inch, 1000 mil
  int Digits = 0;
  double Level = 0;      // 0 surface, -1..-6 stored flank points, > 0 rows below the surface
  double Fiber = 0;      // Pertinax fibre allowance, horizontal pixels
  double NFaktor = 100;  // kept for the calibration tools; no computation reads it
  TProfileLine MyLine{};
  TProfileLine OLine{};
  TChannel MyChannel;
};
