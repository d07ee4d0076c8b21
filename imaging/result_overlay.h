#pragma once

// The result overlay: the measured geometry of the channel record drawn into
// the 1280 x 1024 result picture that is shown, saved as JPEG, copied into the
// snapshots and put into reports. Plain pixels, no window needed.

#include "base/bitmap.h"
#include "imaging/antialiased_line.h"
#include "measure/records.h"

namespace overlay_colors {
inline constexpr TColor kRed = 0x000000FF;
inline constexpr TColor kYellow = 0x0000FFFF;
inline constexpr TColor kAqua = 0x00FFFF00;
inline constexpr TColor kFuchsia = 0x00FF00FF;
inline constexpr TColor kGray = 0x00808080;
inline constexpr TColor kGreen = 0x0000FF00;
}  // namespace overlay_colors

// Draws, in this order: the profile MyLine in yellow (three antialiased rows),
// the depth marker at the centre column (yellow, 3 pixels wide), the surface
// line in aqua (three antialiased rows), the measuring chord plc..prc (aqua,
// 1 pixel), the contour by shape (round: both flanks and the bottom arc; V:
// through the tip; flat: through the bottom corners) and, when an opening
// angle was found, the opening lines in fuchsia. Puts plr left of prr in
// state.MyChannel first, so the arc always runs along the bottom.
void DrawResult(MeasureState& state, Bitmap& picture);

// Pen lines as a raster device draws them: width 1 is a Bresenham line without
// its end point; wider pens put a round dot of that diameter on every point
// including both ends.
void DrawPenLine(PixelCanvas& canvas, int x1, int y1, int x2, int y2, TColor color, int width);

// The arc of the ellipse inside the bounding box (left, top) .. (right, bottom)
// from the radial through (startX, startY) counter-clockwise as seen on the
// screen (y grows downwards) to the radial through (endX, endY), 1 pixel wide.
void DrawArc(PixelCanvas& canvas, int left, int top, int right, int bottom, int startX, int startY, int endX,
             int endY, TColor color);
