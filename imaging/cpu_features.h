#pragma once

// Which vector extensions beyond the x86-64 baseline (SSE2) the pixel loops
// may use: those the processor has, unless switched off (tests check the
// baseline code on machines with the extensions, benchmarks compare both).

namespace pixel {

bool UseAvx2();
bool UseSsse3();

// Switches the extensions on (where the processor has them) or off.
void AllowVectorExtensions(bool allow);

}  // namespace pixel
