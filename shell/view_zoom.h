#pragma once

// The zoomed result picture: its size, where it scrolls to after a
// measurement, and the pixel under the mouse.

#include "measure/records.h"

struct ScrollTarget {
  int horizontal = 0;
  int vertical = 0;
};

// The channel in view: centre column at the middle of the area, the surface
// 100 rows below the top.
ScrollTarget ChannelScroll(const TChannel& channel, int zoom, int areaWidth);

// Image pixel under the mouse at (x, y) on the zoomed picture.
inline int ImagePixel(int position, int zoom) { return zoom > 0 ? position / zoom : position; }
