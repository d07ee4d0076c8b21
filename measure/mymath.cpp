#include "measure/mymath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TRealPoint Rpoint(double x, double y) { return TRealPoint{x, y}; }

bool GeradeDurch2Punkte(double x1, double y1, double x2, double y2, double& m, double& c) {
  if (x2 - x1 == 0) {
    m = 0;
    c = 0;
    return false;
  }
  m = (y2 - y1) / (x2 - x1);
  c = y1 - m * x1;
  return true;
}

bool SchnittpunktGeradenGL(double lm, double lc, double rm, double rc, double& px, double& py) {
  const double r = lm - rm;
  if (r == 0) {
    px = 0;
    py = 0;
    return false;
  }
  px = (rc - lc) / r;
  py = lm * px + lc;
  return true;
}

TRealPoint SchnittpunktGLPP(const TRealPoint& p1, const TRealPoint& p2, double tm, double tc) {
  if (p1.x == p2.x) return TRealPoint{p1.x, p1.x * tm + tc};
  double m = 0, c = 0;
  GeradeDurch2Punkte(p1.x, p1.y, p2.x, p2.y, m, c);
  TRealPoint result;
  SchnittpunktGeradenGL(tm, tc, m, c, result.x, result.y);
  return result;
}

void SchnittpunktGLPPreal(const TRealPoint& p1, const TRealPoint& p2, double tm, double tc, double bm, double bc,
                          double& x1, double& y1, double& x2, double& y2) {
  if (p1.x == p2.x) {
    x1 = p1.x;
    y1 = p1.x * tm + tc;
    x2 = p1.x;
    y2 = p1.x * bm + bc;
    return;
  }
  double m = 0, c = 0;
  GeradeDurch2Punkte(p1.x, p1.y, p2.x, p2.y, m, c);
  SchnittpunktGeradenGL(tm, tc, m, c, x1, y1);
  SchnittpunktGeradenGL(bm, bc, m, c, x2, y2);
}

int SchnittpunktKreisGerade(double m, double n, double a, double b, double r, double& x0, double& y0, double& x1,
                            double& y1) {
  const Extended em = m, en = n, ea = a, eb = b, er = r;
  const Extended qa = em * em + 1;
  if (std::fabs(qa) < 1e-13L) return 0;
  const Extended offset = ea * em + en - eb;
  Extended d = er * er * qa - offset * offset;
  if (std::isnan(d) || d < 0) return 0;
  int result = 1;
  if (d != 0) {
    d = std::sqrt(d);
    result = 2;
  }
  const Extended qb = (eb - en) * em + ea;
  const Extended ex0 = (qb + d) / qa;
  const Extended ex1 = (qb - d) / qa;
  x0 = static_cast<double>(ex0);
  x1 = static_cast<double>(ex1);
  y0 = static_cast<double>(em * ex0 + en);
  y1 = static_cast<double>(em * ex1 + en);
  return result;
}

double PTRAbstand(const TRealPoint& pt1, const TRealPoint& pt2, double Zerrfakt) {
  const Extended dx = static_cast<Extended>(pt1.x) - pt2.x;
  const Extended dy = (static_cast<Extended>(pt1.y) - pt2.y) * Zerrfakt;
  return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

double Schnittwinke2Gerade(double m1, double m2) {
  return static_cast<double>(std::fabs(std::atan(static_cast<Extended>(m1)) - std::atan(static_cast<Extended>(m2))) *
                             180 / std::numbers::pi_v<Extended>);
}

namespace {

constexpr int kMaxCirclePoints = 100;

Extended CircleSquareSum(Extended mx, Extended my, Extended r, std::span<const double> xx,
                         std::span<const double> yy, int dim) {
  Extended sum = 0;
  for (int i = 0; i < dim; ++i) {
    const Extended residual = std::sqrt((mx - xx[i]) * (mx - xx[i]) + (my - yy[i]) * (my - yy[i])) - r;
    sum += residual * residual;
  }
  return sum;
}

// One Gauss-Newton step of the circle fit: the corrections (u, v, w) of
// centre and radius.
void CircleIteration(double mx, double my, double r, std::span<const double> xx, std::span<const double> yy,
                     int dim, Extended& u, Extended& v, Extended& w) {
  std::array<double, kMaxCirclePoints + 1> b{};
  std::array<std::array<double, 3>, kMaxCirclePoints + 1> A{};
  for (int i = 0; i < dim; ++i) {
    const Extended dx = static_cast<Extended>(mx) - xx[i];
    const Extended dy = static_cast<Extended>(my) - yy[i];
    b[i] = static_cast<double>(std::sqrt(dx * dx + dy * dy) - r);
    A[i][0] = static_cast<double>(dx / (static_cast<Extended>(b[i]) + r));
    A[i][1] = static_cast<double>(dy / (static_cast<Extended>(b[i]) + r));
    A[i][2] = -1;
  }
  TMatrix3 ata{};
  for (int j = 0; j < 3; ++j) {
    for (int k = 0; k < 3; ++k) {
      Extended sum = 0;
      for (int i = 0; i < dim; ++i) sum += static_cast<Extended>(A[i][j]) * A[i][k];
      ata[j][k] = sum;
    }
  }
  TMatrix3 inverse{};
  if (!InvMatrix(ata, inverse, 3)) {
    u = v = w = 1e-6L;
    return;
  }
  std::array<double, 3> atb{};
  for (int k = 0; k < 3; ++k) {
    Extended sum = 0;
    for (int i = 0; i < dim; ++i) sum += static_cast<Extended>(A[i][k]) * b[i];
    atb[k] = static_cast<double>(sum);
  }
  u = inverse[0][0] * atb[0] + inverse[0][1] * atb[1] + inverse[0][2] * atb[2];
  v = inverse[1][0] * atb[0] + inverse[1][1] * atb[1] + inverse[1][2] * atb[2];
  w = inverse[2][0] * atb[0] + inverse[2][1] * atb[1] + inverse[2][2] * atb[2];
}

}  // namespace

bool Kreisausgleich(double& mx, double& my, double& r, std::span<const double> xx, std::span<const double> yy,
                    int dim, double eps) {
  dim = std::min(dim, kMaxCirclePoints);
  dim = std::min<int>(dim, static_cast<int>(std::min(xx.size(), yy.size())));
  dim = std::max(dim, 0);
  Extended it1 = CircleSquareSum(mx, my, r, xx, yy, dim);
  Extended it0 = it1;
  Extended u = 0, v = 0, w = 0;
  int t = 0;
  do {
    ++t;
    CircleIteration(mx, my, r, xx, yy, dim, u, v, w);
    it0 = it1;
    it1 = CircleSquareSum(mx - u, my - v, r - w, xx, yy, dim);
    if (it0 > it1) {
      mx = static_cast<double>(mx - u);
      my = static_cast<double>(my - v);
      r = static_cast<double>(r - w);
    }
  } while (!(it1 < eps || it0 <= it1 || t > 10));
  return Round64(it0) >= Round64(it1);
}

double Determinante(const TMatrix3& A, int dim) {
  if (dim <= 0) return 0;
  if (dim == 1) return static_cast<double>(A[0][0]);
  if (dim == 2) return static_cast<double>(A[0][0] * A[1][1] - A[0][1] * A[1][0]);
  dim = std::min(dim, 3);
  Extended r = 0;
  for (int k = 0; k < dim; ++k) {
    TMatrix3 minor{};
    for (int row = 1; row < dim; ++row) {
      int column = 0;
      for (int j = 0; j < dim; ++j) {
        if (j == k) continue;
        minor[row - 1][column++] = A[row][j];
      }
    }
    const Extended term = A[0][k] * static_cast<Extended>(Determinante(minor, dim - 1));
    r = (k % 2 == 0) ? r + term : r - term;
  }
  return static_cast<double>(r);
}

void GetGLSystem(const TMatrix3& A, TGLSystem& GL) {
  for (auto& row : GL) row.fill(0);
  for (int i = 0; i <= 9; ++i) {
    if (i % 4 == 0) GL[i][9] = 1;
  }
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) GL[3 * i + j][3 * k + j] = A[i][k];
}

namespace {

void EliminateFrom(TGLSystem& GL, int count, int si, int sj) {
  // Iterative form of the recursive elimination: one pivot row per step.
  for (; si <= count && sj <= count + 1; ++si, ++sj) {
    if (si < count && GL[si][sj] == 0) {
      for (int i = si + 1; i <= count; ++i) {
        if (GL[i][sj] != 0) {
          for (int k = 0; k <= count + 1; ++k) {
            const double temporary = static_cast<double>(GL[si][k]);
            GL[si][k] = GL[i][k];
            GL[i][k] = temporary;
          }
          break;
        }
      }
    }
    if (GL[si][sj] != 1 && GL[si][sj] != 0) {
      const double pivot = static_cast<double>(GL[si][sj]);
      for (int k = sj; k <= count + 1; ++k) GL[si][k] = GL[si][k] / pivot;
    }
    for (int j = si + 1; j <= count; ++j) {
      if (GL[j][sj] == 0) continue;
      const Extended factor = GL[j][sj];
      for (int k = sj; k <= count + 1; ++k) GL[j][k] = GL[j][k] - factor * GL[si][k];
    }
  }
}

}  // namespace

bool DoGauss(TGLSystem& GL, int count) {
  if (count < 0 || count > 8) return false;
  EliminateFrom(GL, count, 0, 0);
  if (GL[count][count] == 0) return false;
  for (int si = count - 1; si >= 0; --si) {
    Extended sum = 0;
    for (int k = si + 1; k <= count; ++k) sum += GL[si][k] * GL[k][count + 1];
    GL[si][count + 1] = GL[si][count + 1] - sum;
  }
  return true;
}

bool InvMatrix(const TMatrix3& A, TMatrix3& B, int dim) {
  if (Determinante(A, dim) == 0) return false;
  dim = std::clamp(dim, 1, 3);
  TGLSystem GL{};
  GetGLSystem(A, GL);
  if (!DoGauss(GL, dim * dim - 1)) return false;
  for (int i = 0; i < dim; ++i)
    for (int j = 0; j < dim; ++j) B[i][j] = GL[i * dim + j][9];
  return true;
}

double GetReal(const std::string& s) {
  std::string text = s;
  if (auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  double value = 0;
  return ParseDecimal(text, value) ? value : 0;
}

void GetValue(const std::string& text, double& v) { v = GetReal(text); }
