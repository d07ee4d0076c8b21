#pragma once

// The decision on one measured value against a tolerance, with the gauge's
// expanded uncertainty U (k = 2) taken into account: a value is OK only when
// it lies inside the tolerance shrunk by U on each side, NOT OK only when it
// lies outside the tolerance widened by U, and NOT DECIDABLE in between.

#include <optional>
#include <string>
#include <string_view>

enum class Verdict { Ok, NotDecidable, NotOk };

// "OK", "NOT DECIDABLE", "NOT OK".
std::string_view VerdictText(Verdict verdict);

// Lower and upper limits in the unit of the value; a missing limit is open.
struct Tolerance {
  std::optional<double> lower;
  std::optional<double> upper;
  bool Any() const { return lower.has_value() || upper.has_value(); }
};

// Without any limit: OK. A value that is no number (nothing measured) or a
// U that is negative or no number cannot be decided. Each limit is taken
// as it stands: L + U <= value <= U' - U is OK, value < L - U or value >
// U' + U is NOT OK.
Verdict Judge(double value, const Tolerance& tolerance, double uncertainty);

// The verdict of a measurement from those of its characteristics: NOT OK
// when one is, else NOT DECIDABLE when one is, else OK.
Verdict Worst(Verdict a, Verdict b);

// The decision on one measurement of a job: each characteristic with a
// tolerance, the measurement's verdict, and the gauge's U it was made with.
struct Judgement {
  std::string jobId;
  Verdict depth = Verdict::Ok;
  Verdict width = Verdict::Ok;
  std::optional<Verdict> open;  // only for a job with limits of the opening angle
  Verdict overall = Verdict::Ok;
  double depthU = 0;  // mm, k = 2
  double widthU = 0;
  bool verified = false;  // U rests on a verification's repeatability
};
