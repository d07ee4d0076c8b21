#pragma once

// Combination of a bracketed exposure series (frame 0 brightest) into one
// composite image and the profile line of the lit surface.

#include <span>

#include "base/bitmap.h"
#include "measure/records.h"

// Chooses per column, for the surface zone and the floor zone apart, the
// exposure whose bright trace (blue > th1) is closest to th2 pixels thick,
// locates the trace by squared-intensity centroids and cleans it with fitted
// straight lines of the surface and of the floor.
//
// rbmp: the composite (blue from the surface-zone frames, green from the
// floor-zone frames, red from the darkest frame) with aLine packed into its
// last row. bmp32: the brightness map (24-bit values, not a viewable image).
// aLine: the profile, entries 0..min(W, 1280)-1, -1 where there is none.
// Returns the mean chosen surface frame, or (count1 + count2) div 2 as given
// for fewer than two frames.
//
// Frames count1..count2-1 are used; count2 is limited to 16 and to the frames
// given, count1 to at least 0. All frames count at the size of frame
// count2-1, cut or padded with black.
int Kombinieren(Bitmap& rbmp, Bitmap& bmp32, std::span<const Bitmap> bmps, int count1, int count2, int th1, int th2,
                TProfileLine& aLine);
