#pragma once

// The channel analysis: turns the profile line of one capture into the
// geometry of the creasing channel (surface and bottom lines, edges, flank
// points, depth, width at the chosen level, shape models, opening angle).

#include "base/bitmap.h"
#include "measure/records.h"

// Clears Channel and fills it from aLine and the prepared image abmp (only
// its blue and green bytes are read), rewriting aLine in place: the surface
// line outside the edges, ramps at the edges, re-extracted and smoothed
// flanks and bottom. Reads state.Level and, for the opening angle, the
// calibration. f is the material width factor; only the opening angle uses it.
void AnalyseLine(const MeasureState& state, const Bitmap& abmp, TProfileLine& aLine, TChannel& Channel, double f);
