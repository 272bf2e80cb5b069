#include "pixel/Matrix.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using int128 = __int128;

// Fractional bits of a matrix entry: the third column is 2.30.
constexpr int Scale_Of_Column(int j) { return j == 2 ? 30 : 16; }

int32 Saturate(int128 v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return int32(v);
}

// v / 2^s rounded to the nearest integer, halves up.
int128 Round_Shift(int128 v, int s) {
  if (s <= 0) return v;
  return (v + (int128(1) << (s - 1))) >> s;
}

double Entry_Value(const MatrixRecord& m, int i, int j) {
  return double(m.matrix[i][j]) / double(int64(1) << Scale_Of_Column(j));
}

bool Entry_From_Value(double v, int j, Fixed& out) {
  const double scaled = std::nearbyint(v * double(int64(1) << Scale_Of_Column(j)));
  if (!std::isfinite(scaled) || scaled > double(INT32_MAX) || scaled < double(INT32_MIN)) return false;
  out = Fixed(scaled);
  return true;
}

void Identity(MatrixRecord& m) {
  std::memset(&m, 0, sizeof(m));
  m.matrix[0][0] = kFixedOne;
  m.matrix[1][1] = kFixedOne;
  m.matrix[2][2] = fract1;
}

// Cosine and sine of an angle in 16.16 degrees, as 16.16 values; exact at
// multiples of 90 degrees.
void Cos_Sin(Fixed degrees, Fixed& c, Fixed& s) {
  const int64 full = int64(360) << 16;
  int64 d = int64(degrees) % full;
  if (d < 0) d += full;
  const int64 quarter = int64(90) << 16;
  if (d % quarter == 0) {
    static constexpr Fixed kCos[4] = {kFixedOne, 0, -kFixedOne, 0};
    static constexpr Fixed kSin[4] = {0, kFixedOne, 0, -kFixedOne};
    c = kCos[d / quarter];
    s = kSin[d / quarter];
    return;
  }
  const double rad = double(d) / 65536.0 * (M_PI / 180.0);
  c = Fixed(std::lround(std::cos(rad) * 65536.0));
  s = Fixed(std::lround(std::sin(rad) * 65536.0));
}

}  // namespace

Fixed FixMul(Fixed a, Fixed b) { return Saturate(Round_Shift(int128(a) * b, 16)); }

Fixed FixDiv(Fixed a, Fixed b) {
  if (b == 0) return a < 0 ? INT32_MIN : INT32_MAX;
  // Round half away from zero on the magnitude, then put the sign back.
  const bool neg = (a < 0) != (b < 0);
  const int128 n = (a < 0 ? -int128(a) : int128(a)) << 16;
  const int128 d = b < 0 ? -int128(b) : int128(b);
  const int128 q = (n + d / 2) / d;
  return Saturate(neg ? -q : q);
}

int32 FixRound(Fixed f) { return int32((int64(f) + 0x8000) >> 16); }

void SetIdentityMatrix(MatrixRecord* m) {
  if (m) Identity(*m);
}

void CopyMatrix(const MatrixRecord* from, MatrixRecord* to) {
  if (from && to) *to = *from;
}

bool8 EqualMatrix(const MatrixRecord* a, const MatrixRecord* b) {
  if (!a || !b) return false;
  return std::memcmp(a, b, sizeof(MatrixRecord)) == 0;
}

int16 GetMatrixType(const MatrixRecord* m) {
  if (!m) return identityMatrixType;
  const auto& e = m->matrix;
  if (e[0][2] != 0 || e[1][2] != 0 || e[2][2] != fract1) return perspectiveMatrixType;
  const bool moves = e[2][0] != 0 || e[2][1] != 0;
  if (e[0][1] != 0 || e[1][0] != 0) return moves ? linearTranslateMatrixType : linearMatrixType;
  if (e[0][0] != kFixedOne || e[1][1] != kFixedOne) return moves ? scaleTranslateMatrixType : scaleMatrixType;
  return moves ? translateMatrixType : identityMatrixType;
}

void ConcatMatrix(const MatrixRecord* a, MatrixRecord* b) {
  if (!a || !b) return;
  // c = b x a. Entry (i, j) sums b[i][k] * a[k][j]; the product carries the
  // fraction bits of both, so each term is brought to 2^(30 + s_j) exactly
  // and the sum is rounded once.
  MatrixRecord c;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      int128 sum = 0;
      for (int k = 0; k < 3; ++k) {
        const int128 term = int128(b->matrix[i][k]) * a->matrix[k][j];  // 2^(s_k + s_j)
        sum += term << (30 - Scale_Of_Column(k));
      }
      c.matrix[i][j] = Saturate(Round_Shift(sum, 30));
    }
  }
  *b = c;
}

void TranslateMatrix(MatrixRecord* m, Fixed dh, Fixed dv) {
  if (!m) return;
  MatrixRecord t;
  Identity(t);
  t.matrix[2][0] = dh;
  t.matrix[2][1] = dv;
  ConcatMatrix(&t, m);
}

void ScaleMatrix(MatrixRecord* m, Fixed sx, Fixed sy, Fixed about_x, Fixed about_y) {
  if (!m) return;
  MatrixRecord t;
  Identity(t);
  t.matrix[0][0] = sx;
  t.matrix[1][1] = sy;
  // Keep (about_x, about_y) in place: about - about * s.
  t.matrix[2][0] = Saturate(int128(about_x) - Round_Shift(int128(about_x) * sx, 16));
  t.matrix[2][1] = Saturate(int128(about_y) - Round_Shift(int128(about_y) * sy, 16));
  ConcatMatrix(&t, m);
}

void RotateMatrix(MatrixRecord* m, Fixed degrees, Fixed about_x, Fixed about_y) {
  if (!m) return;
  Fixed c, s;
  Cos_Sin(degrees, c, s);
  MatrixRecord t;
  Identity(t);
  t.matrix[0][0] = c;
  t.matrix[0][1] = s;
  t.matrix[1][0] = -s;
  t.matrix[1][1] = c;
  // about - (about x R), so the centre stays where it is.
  const int128 rx = Round_Shift(int128(about_x) * c - int128(about_y) * s, 16);
  const int128 ry = Round_Shift(int128(about_x) * s + int128(about_y) * c, 16);
  t.matrix[2][0] = Saturate(int128(about_x) - rx);
  t.matrix[2][1] = Saturate(int128(about_y) - ry);
  ConcatMatrix(&t, m);
}

void RectMatrix(MatrixRecord* m, const Rect* src, const Rect* dst) {
  if (!m) return;
  Identity(*m);
  if (!src || !dst) return;
  const int32 sw = int32(src->right) - src->left, sh = int32(src->bottom) - src->top;
  const int32 dw = int32(dst->right) - dst->left, dh = int32(dst->bottom) - dst->top;
  if (sw <= 0 || sh <= 0) return;
  const Fixed sx = FixDiv(Long2Fix(dw), Long2Fix(sw));
  const Fixed sy = FixDiv(Long2Fix(dh), Long2Fix(sh));
  m->matrix[0][0] = sx;
  m->matrix[1][1] = sy;
  m->matrix[2][0] = Saturate((int128(dst->left) << 16) - int128(src->left) * sx);
  m->matrix[2][1] = Saturate((int128(dst->top) << 16) - int128(src->top) * sy);
}

void Matrix_To_Reals(const MatrixRecord& m, double out[3][3]) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out[i][j] = Entry_Value(m, i, j);
}

bool Invert_Reals(const double a[3][3], double inv[3][3]) {
  const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                     a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                     a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  if (det == 0.0 || !std::isfinite(det)) return false;
  inv[0][0] = (a[1][1] * a[2][2] - a[1][2] * a[2][1]) / det;
  inv[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) / det;
  inv[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
  inv[1][0] = (a[1][2] * a[2][0] - a[1][0] * a[2][2]) / det;
  inv[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
  inv[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
  inv[2][0] = (a[1][0] * a[2][1] - a[1][1] * a[2][0]) / det;
  inv[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
  inv[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) / det;
  return true;
}

bool8 InverseMatrix(const MatrixRecord* m, MatrixRecord* im) {
  if (!m || !im) return false;
  double a[3][3], inv[3][3];
  Matrix_To_Reals(*m, a);
  if (!Invert_Reals(a, inv)) return false;
  // A projective matrix means the same up to a factor: bring w back to 1
  // where it can be, so affine inverses stay affine.
  if (inv[2][2] != 0.0 && inv[0][2] == 0.0 && inv[1][2] == 0.0) {
    const double k = inv[2][2];
    for (auto& row : inv)
      for (double& v : row) v /= k;
  }
  MatrixRecord r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (!Entry_From_Value(inv[i][j], j, r.matrix[i][j])) return false;
  *im = r;
  return true;
}

bool8 TransformFixedPoints(const MatrixRecord* m, FixedPoint* fpts, int32 count) {
  if (!m || (!fpts && count > 0)) return false;
  const auto& e = m->matrix;
  const bool affine = e[0][2] == 0 && e[1][2] == 0 && e[2][2] == fract1;
  bool ok = true;
  for (int32 n = 0; n < count; ++n) {
    FixedPoint& p = fpts[n];
    if (affine) {
      const int128 x = Round_Shift(int128(p.x) * e[0][0] + int128(p.y) * e[1][0], 16) + e[2][0];
      const int128 y = Round_Shift(int128(p.x) * e[0][1] + int128(p.y) * e[1][1], 16) + e[2][1];
      p.x = Saturate(x);
      p.y = Saturate(y);
      continue;
    }
    const double x = double(p.x) / 65536.0, y = double(p.y) / 65536.0;
    const double xp = x * Entry_Value(*m, 0, 0) + y * Entry_Value(*m, 1, 0) + Entry_Value(*m, 2, 0);
    const double yp = x * Entry_Value(*m, 0, 1) + y * Entry_Value(*m, 1, 1) + Entry_Value(*m, 2, 1);
    const double w = x * Entry_Value(*m, 0, 2) + y * Entry_Value(*m, 1, 2) + Entry_Value(*m, 2, 2);
    if (!(w > 0.0)) {
      ok = false;
      continue;
    }
    const double fx = std::nearbyint(xp / w * 65536.0), fy = std::nearbyint(yp / w * 65536.0);
    p.x = Fixed(std::clamp(fx, double(INT32_MIN), double(INT32_MAX)));
    p.y = Fixed(std::clamp(fy, double(INT32_MIN), double(INT32_MAX)));
  }
  return ok;
}

bool8 TransformRect(const MatrixRecord* m, Rect* r, FixedPoint* fpts) {
  if (!m || !r) return false;
  FixedPoint p[4] = {{Long2Fix(r->left), Long2Fix(r->top)},
                     {Long2Fix(r->right), Long2Fix(r->top)},
                     {Long2Fix(r->right), Long2Fix(r->bottom)},
                     {Long2Fix(r->left), Long2Fix(r->bottom)}};
  const bool finite = TransformFixedPoints(m, p, 4);
  Fixed minx = p[0].x, maxx = p[0].x, miny = p[0].y, maxy = p[0].y;
  for (const FixedPoint& q : p) {
    minx = std::min(minx, q.x);
    maxx = std::max(maxx, q.x);
    miny = std::min(miny, q.y);
    maxy = std::max(maxy, q.y);
  }
  auto to16 = [](int32 v) { return int16(std::clamp<int32>(v, INT16_MIN, INT16_MAX)); };
  r->left = to16(FixRound(minx));
  r->top = to16(FixRound(miny));
  r->right = to16(FixRound(maxx));
  r->bottom = to16(FixRound(maxy));
  if (fpts) std::copy(p, p + 4, fpts);
  if (!finite) return false;
  const bool upright = (p[0].y == p[1].y && p[3].y == p[2].y && p[0].x == p[3].x && p[1].x == p[2].x) ||
                       (p[0].x == p[1].x && p[3].x == p[2].x && p[0].y == p[3].y && p[1].y == p[2].y);
  return upright;
}

bool8 TransformRectX(const MatrixRecord* matrix, const Rect& in, Rect& out) {
  out = in;
  FixedPoint corners[4];
  return TransformRect(matrix, &out, corners);
}
