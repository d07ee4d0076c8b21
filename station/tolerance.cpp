#include "station/tolerance.h"

#include <cmath>

#include "measure/numbers.h"

bool WithinTolerance(double deviation, double tolerance) {
  if (!std::isfinite(deviation)) return false;
  constexpr Extended kNanometresPerMillimetre = 1e6L;
  return Round64(std::fabs(static_cast<Extended>(deviation)) * kNanometresPerMillimetre) <
         Round64(static_cast<Extended>(tolerance) * kNanometresPerMillimetre);
}
