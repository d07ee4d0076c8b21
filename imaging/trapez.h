#pragma once

// Trapezoid correction of the camera's oblique view: each row is stretched
// away from (below the top row y0) or towards (above it) the centre column.

#include <span>

#include "base/bitmap.h"

// Columns 0..Width-2 of every row of dbmp from sbmp; column Width-1 keeps its
// content. Returns false (nothing written) when sbmp is smaller than dbmp.
// When both are the same bitmap the source is read from a copy. Bitmaps
// narrower than 4 columns have no column to correct from: columns
// 0..Width-2 are copied unchanged.
bool TrapezLin(const Bitmap& sbmp, Bitmap& dbmp, int y0, double Faktor);

// Corrects every frame in place, as copying it and correcting the copy back
// into the frame would: the column offsets of a row are computed once for all
// frames of the same size.
void TrapezLinFrames(std::span<Bitmap> frames, int y0, double Faktor);
