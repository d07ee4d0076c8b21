#pragma once

// Solid lines of a given width, as a drawing pen with round ends lays them.

#include "imaging/antialiased_line.h"
#include "imaging/core/bitmap.h"

// Every pixel whose centre lies within width / 2 of the segment from (x1, y1)
// to (x2, y2) gets `color` ($00BBGGRR); pixels outside the bitmap are skipped.
void DrawPenLine(Bitmap& bitmap, double x1, double y1, double x2, double y2, double width, TColor color);
