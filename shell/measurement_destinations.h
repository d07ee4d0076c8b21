#pragma once

// Where a finished scan and the live picture go besides the main window's own
// result display: the calibration window, the verification window and the
// series recorder implement these, and the main window routes by its
// capture destination without knowing them.

#include <string>

#include "base/bitmap.h"

// Capture destinations.
enum CaptureDestination { kToResults = 0, kToCalibration = 1, kToVerification = 2, kToSeries = 3 };

class CalibrationDestination {
public:
  virtual ~CalibrationDestination() = default;
  // The live frame with the red guide drawn in, and the brightness of the
  // 640 x 40 rectangle around the calibrated surface row.
  virtual void ShowLiveFrame(const Bitmap& picture, const std::string& brightness) = 0;
  // The result picture of a finished scan (the channel record is in the
  // measurement state).
  virtual void Capture(const Bitmap& rBild) = 0;
};

class VerificationDestination {
public:
  virtual ~VerificationDestination() = default;
  virtual void ShowLiveFrame(const Bitmap& picture) = 0;
  // A finished scan is judged (the channel record is in the measurement state).
  virtual void SetValues() = 0;
};

class SeriesDestination {
public:
  virtual ~SeriesDestination() = default;
  // Appends the record of the result just shown.
  virtual void AppendRecord() = 0;
};
