#pragma once

// Tolerance checks of measured lengths (millimetres).

// |deviation| < tolerance, both taken to the nanometre first, so that a
// deviation of exactly the tolerance fails whatever the binary representation
// of the values it came from (3.0 - 2.99 is 0.00999999999999979 in doubles).
// A deviation that is no number fails.
bool WithinTolerance(double deviation, double tolerance);
