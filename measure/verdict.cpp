#include "measure/verdict.h"

#include <cmath>

std::string_view VerdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::Ok:
      return "OK";
    case Verdict::NotDecidable:
      return "NOT DECIDABLE";
    case Verdict::NotOk:
      return "NOT OK";
  }
  return "NOT DECIDABLE";
}

Verdict Judge(double value, const Tolerance& tolerance, double uncertainty) {
  if (!tolerance.Any()) return Verdict::Ok;
  if (!std::isfinite(value) || !std::isfinite(uncertainty) || uncertainty < 0) return Verdict::NotDecidable;
  const double u = uncertainty;
  if ((tolerance.lower && value < *tolerance.lower - u) || (tolerance.upper && value > *tolerance.upper + u)) {
    return Verdict::NotOk;
  }
  if ((tolerance.lower && value < *tolerance.lower + u) || (tolerance.upper && value > *tolerance.upper - u)) {
    return Verdict::NotDecidable;
  }
  return Verdict::Ok;
}

Verdict Worst(Verdict a, Verdict b) { return static_cast<int>(a) > static_cast<int>(b) ? a : b; }
