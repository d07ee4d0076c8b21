#pragma once

// The pictures prepared before a channel is analysed and shown: rBild (the
// display picture) and dBild (the working picture) from the captured iBild.

#include "base/bitmap.h"

// Steel: contrast, the red channel (the mean of the darker frames) blended
// with weight r into green and then into blue, sharpened and smoothed twice
// over; both pictures end as the same grey image.
void PrepareForDrawing(const Bitmap& iBild, Bitmap& rBild, Bitmap& dBild, double r);

// Pertinax: contrast, the red channel copied into green and into blue,
// sharpened and smoothed;
// no grey conversion. rBild must have the size of iBild (the main window
// keeps it so); otherwise it is made a copy of iBild first.
void PrepareForDrawingPertinax(const Bitmap& iBild, Bitmap& rBild, Bitmap& dBild);
