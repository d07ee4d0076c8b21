#pragma once

// The pictures of our own that reports print: the PASS stamp of the
// calibration certificate and the verification report, the icons of the
// result rows, and the brand logo of the certificates. Drawn in code with
// antialiased strokes, so they are the same on every build.

#include "base/bitmap.h"

enum class ReportIcon { Depth, Width, Radius, FlankAngle, OpeningAngle, Level };

constexpr int kStampWidth = 270;
constexpr int kStampHeight = 170;
constexpr int kIconWidth = 100;  // printed in 50 x 16 point boxes
constexpr int kIconHeight = 32;
constexpr int kBrandLogoWidth = 200;
constexpr int kBrandLogoHeight = 78;

// The word PASS in dark letters inside a green ellipse on white, 270 x 170.
Bitmap DrawPassStamp();
// One icon, dark strokes on white, 100 x 32.
Bitmap DrawReportIcon(ReportIcon icon);
// "VELDRA" over a yellow bar with "QX", 200 x 78 (the file "VELDRA_Logo.bmp").
Bitmap DrawBrandLogo();
