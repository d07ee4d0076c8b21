#pragma once

// The flat reference sample of a calibration: its surface row at the image
// centre, its brightness there and its orientation, and the tolerances.

#include "base/bitmap.h"
#include "measure/numbers.h"
#include "station/station_setup.h"

struct SurfaceReference {
  int top = 0;         // surface row at column 640, at least 20
  int brightness = 0;  // mean blue of the 640 x 40 rectangle centred on that row
  double angle = 0;    // orientation of the surface in degrees
};

// The topmost row the surface may be found at.
constexpr int kMinimumSurfaceRow = 20;

// Fits the surface line y = m x + c to the profile of the rows 20..399 of
// `frame` (m and c keep their values when too few columns are lit), measures
// the brightness and then draws the fitted line 8 pixels wide in red into
// `frame`.
SurfaceReference MeasureSurfaceReference(Bitmap& frame, Extended& m, Extended& c);

// |top - CALTOP| < 50, |brightness - CALB| < 20 and |angle| < 1.5 degrees.
bool SurfaceInTolerance(const TCalRef& reference, const SurfaceReference& found);

// Measured depth within 0.008 mm and width within 0.01 mm of the references
// (measured values in millimetres).
bool DimensionsInTolerance(const TCalRef& reference, double width, double depth);
