#pragma once

// The per-byte mean of several frames of an exposure series.

#include <span>

#include "base/bitmap.h"

// rbmp := copy of frame 0; then, with count2 limited to 10 and to the frames
// given and count1 to at least 0, every byte (the last row too) := the sum of
// that byte over frames count1..count2-1 div their number. A range of fewer
// than two frames as given (count1 + 1 >= count2), or one that is empty after
// the limits, leaves the copy of frame 0. Frames of another size than frame 0
// count as cut or padded with black. No frames: rbmp becomes empty.
void Mitteln(Bitmap& rbmp, std::span<const Bitmap> bmps, int count1, int count2);
