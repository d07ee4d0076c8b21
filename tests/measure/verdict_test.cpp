#include "measure/verdict.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The decision rule with U = 0.01 on the tolerance 0.50 .. 0.54: OK inside
// 0.51 .. 0.53, NOT OK outside 0.49 .. 0.55, NOT DECIDABLE between.
TEST(Verdict, ToleranceShrunkAndWidenedByTheUncertainty) {
  const Tolerance both{0.50, 0.54};
  const Tolerance upperOnly{std::nullopt, 0.54};
  const Tolerance lowerOnly{0.50, std::nullopt};
  const struct {
    const Tolerance& tolerance;
    double value;
    double u;
    Verdict verdict;
  } cases[] = {
      {both, 0.520, 0.01, Verdict::Ok},
      {both, 0.510, 0.01, Verdict::Ok},  // on the shrunk lower limit
      {both, 0.530, 0.01, Verdict::Ok},  // on the shrunk upper limit
      {both, 0.5099, 0.01, Verdict::NotDecidable},
      {both, 0.5301, 0.01, Verdict::NotDecidable},
      {both, 0.500, 0.01, Verdict::NotDecidable},  // on the limit itself
      {both, 0.490, 0.01, Verdict::NotDecidable},  // on the widened lower limit
      {both, 0.550, 0.01, Verdict::NotDecidable},  // on the widened upper limit
      {both, 0.4899, 0.01, Verdict::NotOk},
      {both, 0.5501, 0.01, Verdict::NotOk},
      {both, 0.500, 0, Verdict::Ok},                // without uncertainty the limits as they stand
      {both, 0.4999, 0, Verdict::NotOk},
      {both, 0.520, 0.03, Verdict::NotDecidable},  // a tolerance narrower than 2U is never OK
      {upperOnly, 0.10, 0.01, Verdict::Ok},
      {upperOnly, 0.535, 0.01, Verdict::NotDecidable},
      {upperOnly, 0.56, 0.01, Verdict::NotOk},
      {lowerOnly, 3.0, 0.01, Verdict::Ok},
      {lowerOnly, 0.495, 0.01, Verdict::NotDecidable},
      {lowerOnly, 0.48, 0.01, Verdict::NotOk},
      {both, NAN, 0.01, Verdict::NotDecidable},  // nothing measured
      {both, 0.52, NAN, Verdict::NotDecidable},
      {both, 0.52, -0.01, Verdict::NotDecidable},
      {Tolerance{}, 9.9, 0.01, Verdict::Ok},  // no tolerance: nothing to judge
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Judge(c.value, c.tolerance, c.u), c.verdict) << c.value << " U " << c.u;
  }
}

TEST(Verdict, TheMeasurementTakesTheWorstOfItsCharacteristics) {
  const Verdict all[] = {Verdict::Ok, Verdict::NotDecidable, Verdict::NotOk};
  for (const Verdict a : all) {
    for (const Verdict b : all) {
      const Verdict expected = (a == Verdict::NotOk || b == Verdict::NotOk)                 ? Verdict::NotOk
                               : (a == Verdict::NotDecidable || b == Verdict::NotDecidable) ? Verdict::NotDecidable
                                                                                            : Verdict::Ok;
      EXPECT_EQ(Worst(a, b), expected);
    }
  }
  EXPECT_EQ(VerdictText(Verdict::NotDecidable), "NOT DECIDABLE");
}

}  // namespace
