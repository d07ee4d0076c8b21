#pragma once

// Plane geometry and small numerics: lines through points, intersections of
// lines and circles, a least-squares circle fit, a 3x3 determinant and
// inverse, the angle between two lines and decimal text input.
// Lines are y = m*x + c. No routine throws; degenerate input gives fixed results.

#include <array>
#include <span>
#include <string>

#include "measure/records.h"

using TMatrix3 = std::array<std::array<Extended, 3>, 3>;
using TGLSystem = std::array<std::array<Extended, 10>, 10>;

TRealPoint Rpoint(double x, double y);

// Line through two points; a vertical pair gives m = c = 0 and false.
bool GeradeDurch2Punkte(double x1, double y1, double x2, double y2, double& m, double& c);
// Intersection of two lines; parallel lines give (0, 0) and false.
bool SchnittpunktGeradenGL(double lm, double lc, double rm, double rc, double& px, double& py);
// Where the line through p1 and p2 meets y = tm*x + tc.
TRealPoint SchnittpunktGLPP(const TRealPoint& p1, const TRealPoint& p2, double tm, double tc);
// The line through p1 and p2 cut by the top line (-> x1, y1) and the bottom line (-> x2, y2).
void SchnittpunktGLPPreal(const TRealPoint& p1, const TRealPoint& p2, double tm, double tc, double bm, double bc,
                          double& x1, double& y1, double& x2, double& y2);
// Intersections of y = m*x + n with the circle (a, b, r): 0, 1 (tangent) or 2;
// x0 is the intersection with the larger x. Outputs untouched when 0.
int SchnittpunktKreisGerade(double m, double n, double a, double b, double r, double& x0, double& y0, double& x1,
                            double& y1);
// Distance with the vertical difference scaled by Zerrfakt.
double PTRAbstand(const TRealPoint& pt1, const TRealPoint& pt2, double Zerrfakt);
// Angle between lines of slopes m1 and m2 in degrees, [0, 180).
double Schnittwinke2Gerade(double m1, double m2);

// Least-squares circle through the first dim points (at most 100) from the
// start (mx, my, r): at most 11 Gauss-Newton steps, a step is applied only
// when it lowers the sum of squared residuals. False when the last step made
// the rounded sum grow.
bool Kreisausgleich(double& mx, double& my, double& r, std::span<const double> xx, std::span<const double> yy,
                    int dim, double eps);

double Determinante(const TMatrix3& A, int dim);
// Inverse of a 3x3 matrix through a 9-equation linear system; false when the
// determinant is 0 or the elimination finds the system singular.
bool InvMatrix(const TMatrix3& A, TMatrix3& B, int dim);
void GetGLSystem(const TMatrix3& A, TGLSystem& GL);
// Gaussian elimination without magnitude pivoting (rows are exchanged only
// for a zero pivot) of the system with rows 0..count, right-hand side in
// column count + 1; the solution replaces the right-hand side.
bool DoGauss(TGLSystem& GL, int count);

// Number from text; the first comma counts as the decimal point. Text that is
// not a number gives 0.
double GetReal(const std::string& s);
// The same on the text of an edit control.
void GetValue(const std::string& text, double& v);
