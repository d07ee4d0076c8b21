#pragma once

// The placement guide over the live picture: a line at the calibrated
// surface row with a notch of 320 columns in the middle, into which the
// operator sets the channel.

#include <array>

struct GuidePoint {
  int x = 0;
  int y = 0;
  bool operator==(const GuidePoint&) const = default;
};

struct LiveGuide {
  double scale = 1;                 // picture pixels per camera pixel
  int pictureWidth = 1280;          // the frame drawn into (0, 0)..(width, height)
  int pictureHeight = 1024;
  std::array<GuidePoint, 6> polyline{};
  bool centreLine = false;          // the main window's vertical centre mark
  GuidePoint centreFrom;
  GuidePoint centreTo;
};

// The main window's guide: the frame scaled to fit the image area of
// `areaWidth` x `areaHeight` (20 pixels kept for the scroll bars), the notch
// 150 scaled rows deep, with the centre mark.
LiveGuide MainWindowGuide(int areaWidth, int areaHeight, int top);

// The calibration and verification windows' guide at scale 1, the notch 450
// rows deep, no centre mark.
LiveGuide StationGuide(int top);
