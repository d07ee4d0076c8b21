#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "measure/mymath.h"

namespace {

TEST(Lines, ThroughTwoPointsAndIntersections) {
  double m = 9, c = 9;
  EXPECT_FALSE(GeradeDurch2Punkte(1, 2, 1, 5, m, c));
  EXPECT_EQ(m, 0);
  EXPECT_EQ(c, 0);
  EXPECT_TRUE(GeradeDurch2Punkte(0, 1, 2, 5, m, c));
  EXPECT_DOUBLE_EQ(m, 2);
  EXPECT_DOUBLE_EQ(c, 1);

  double px = 9, py = 9;
  EXPECT_FALSE(SchnittpunktGeradenGL(1, 0, 1, 5, px, py));
  EXPECT_EQ(px, 0);
  EXPECT_EQ(py, 0);
  EXPECT_TRUE(SchnittpunktGeradenGL(1, 0, -1, 4, px, py));
  EXPECT_DOUBLE_EQ(px, 2);
  EXPECT_DOUBLE_EQ(py, 2);

  // A vertical chord gives its x on the line without computing a line.
  EXPECT_EQ(SchnittpunktGLPP({3, 0}, {3, 9}, 2, 1), (TRealPoint{3, 7}));
  EXPECT_EQ(SchnittpunktGLPP({0, 0}, {2, 2}, 0, 1), (TRealPoint{1, 1}));
  // Parallel to the level line: (0, 0).
  EXPECT_EQ(SchnittpunktGLPP({0, 0}, {2, 2}, 1, 5), (TRealPoint{0, 0}));

  double x1, y1, x2, y2;
  SchnittpunktGLPPreal({4, 0}, {4, 1}, 0.5, 1, 0, 10, x1, y1, x2, y2);
  EXPECT_EQ(x1, 4);
  EXPECT_EQ(y1, 3);
  EXPECT_EQ(x2, 4);
  EXPECT_EQ(y2, 10);
  SchnittpunktGLPPreal({0, 0}, {1, 1}, 0, 2, 0, 6, x1, y1, x2, y2);
  EXPECT_DOUBLE_EQ(x1, 2);
  EXPECT_DOUBLE_EQ(y1, 2);
  EXPECT_DOUBLE_EQ(x2, 6);
  EXPECT_DOUBLE_EQ(y2, 6);
}

TEST(CircleLine, SecantTangentAndMiss) {
  double x0 = 7, y0 = 7, x1 = 7, y1 = 7;
  EXPECT_EQ(SchnittpunktKreisGerade(0, 0, 0, 0, 1, x0, y0, x1, y1), 2);
  EXPECT_DOUBLE_EQ(x0, 1);
  EXPECT_DOUBLE_EQ(x1, -1);
  EXPECT_DOUBLE_EQ(y0, 0);
  EXPECT_EQ(SchnittpunktKreisGerade(0, 1, 0, 0, 1, x0, y0, x1, y1), 1);
  EXPECT_DOUBLE_EQ(x0, 0);
  EXPECT_DOUBLE_EQ(x1, 0);
  EXPECT_DOUBLE_EQ(y0, 1);
  x0 = y0 = x1 = y1 = 7;
  EXPECT_EQ(SchnittpunktKreisGerade(0, 2, 0, 0, 1, x0, y0, x1, y1), 0);
  EXPECT_EQ(x0, 7);  // outputs untouched without intersection
  EXPECT_EQ(y1, 7);
  EXPECT_EQ(SchnittpunktKreisGerade(NAN, 0, 0, 0, 1, x0, y0, x1, y1), 0);
}

TEST(Angles, BetweenTwoLines) {
  EXPECT_DOUBLE_EQ(Schnittwinke2Gerade(1, -1), 90);
  EXPECT_DOUBLE_EQ(Schnittwinke2Gerade(0, 0), 0);
  EXPECT_NEAR(Schnittwinke2Gerade(0, std::sqrt(3.0)), 60, 1e-12);
  EXPECT_DOUBLE_EQ(PTRAbstand({0, 0}, {3, 2}, 2), 5);
}

// Points on a circle of centre (640, 420) and radius 100, lower half.
void CircleSamples(int count, std::vector<double>& xx, std::vector<double>& yy) {
  xx.clear();
  yy.clear();
  for (int i = 0; i < count; ++i) {
    const double a = std::numbers::pi * (0.1 + 0.8 * i / (count - 1));
    xx.push_back(640 + 100 * std::cos(a));
    yy.push_back(420 + 100 * std::sin(a));
  }
}

// The fit stops once the sum of squared residuals is below eps (0.001), so
// the circle is found to about a hundredth of a pixel.
TEST(Kreisausgleich, ConvergesOnExactCircleSamples) {
  std::vector<double> xx, yy;
  CircleSamples(60, xx, yy);
  double mx = 630, my = 400, r = 90;
  EXPECT_TRUE(Kreisausgleich(mx, my, r, xx, yy, 60, 0.001));
  EXPECT_NEAR(mx, 640, 1e-2);
  EXPECT_NEAR(my, 420, 1e-2);
  EXPECT_NEAR(r, 100, 1e-2);
}

TEST(Kreisausgleich, UsesAtMostOneHundredPoints) {
  std::vector<double> xx, yy;
  CircleSamples(100, xx, yy);
  // Points 100..149 lie on another circle; a fit that read them would move.
  for (int i = 0; i < 50; ++i) {
    xx.push_back(100 + i);
    yy.push_back(900 - 3 * i);
  }
  double mx = 630, my = 410, r = 95;
  Kreisausgleich(mx, my, r, xx, yy, 150, 0.001);
  EXPECT_NEAR(mx, 640, 1e-2);
  EXPECT_NEAR(my, 420, 1e-2);
  EXPECT_NEAR(r, 100, 1e-2);
}

TEST(Kreisausgleich, DegenerateInputEnds) {
  std::vector<double> xx(10, 5.0), yy(10, 5.0);
  double mx = 5, my = 5, r = 0;
  Kreisausgleich(mx, my, r, xx, yy, 10, 0.001);  // centre on the points: no crash, ends
  double mx2 = 1, my2 = 2, r2 = 3;
  EXPECT_TRUE(Kreisausgleich(mx2, my2, r2, xx, yy, 0, 0.001));
  EXPECT_EQ(mx2, 1);
}

TEST(Matrices, DeterminantAndInverse) {
  TMatrix3 identity{};
  for (int i = 0; i < 3; ++i) identity[i][i] = 1;
  TMatrix3 inverse{};
  ASSERT_TRUE(InvMatrix(identity, inverse, 3));
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(inverse[i][j], identity[i][j]);

  TMatrix3 equalRows{{{1, 2, 3}, {1, 2, 3}, {4, 5, 6}}};
  EXPECT_EQ(Determinante(equalRows, 3), 0);
  EXPECT_FALSE(InvMatrix(equalRows, inverse, 3));

  // A matrix with a zero leading pivot needs a row exchange.
  TMatrix3 a{{{0, 2, 1}, {1, 1, 0}, {3, 0, 1}}};
  EXPECT_DOUBLE_EQ(Determinante(a, 3), 0 * 1 - 2 * (1 - 0) + 1 * (0 - 3));
  ASSERT_TRUE(InvMatrix(a, inverse, 3));
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      Extended sum = 0;
      for (int k = 0; k < 3; ++k) sum += a[i][k] * inverse[k][j];
      EXPECT_NEAR(static_cast<double>(sum), i == j ? 1.0 : 0.0, 1e-15);
    }
  }
  EXPECT_EQ(Determinante(a, 0), 0);
  EXPECT_EQ(Determinante(a, 1), 0);
  EXPECT_EQ(Determinante(a, 2), -2);
}

TEST(GetReal, ReadsCommaOrPointAndGivesZeroForText) {
  EXPECT_DOUBLE_EQ(GetReal("1,5"), 1.5);
  EXPECT_DOUBLE_EQ(GetReal("2.25"), 2.25);
  EXPECT_DOUBLE_EQ(GetReal(" -0,125 "), -0.125);
  EXPECT_EQ(GetReal("abc"), 0);
  EXPECT_EQ(GetReal(""), 0);
  EXPECT_EQ(GetReal("1,5,6"), 0);
  double v = 3;
  GetValue("0,8", v);
  EXPECT_DOUBLE_EQ(v, 0.8);
}

}  // namespace
