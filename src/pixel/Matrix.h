// 3 x 3 transformation matrices in fixed point, as the renderer and the
// matrix blit take them.
//
// A point is a row vector: (x', y', w) = (x, y, 1) x M, so
//   x' = x * m[0][0] + y * m[1][0] + m[2][0]
//   y' = x * m[0][1] + y * m[1][1] + m[2][1]
//   w  = x * m[0][2] + y * m[1][2] + m[2][2]
// and the result is (x' / w, y' / w). The first two columns are 16.16 fixed
// point (Fixed); the third column is 2.30 fixed point (Fract), so the
// identity has m[2][2] = fract1.
//
// Every call that changes a matrix appends its transformation: the new
// matrix first does what the old one did, then the new step. Products are
// rounded to the nearest unit of the result's format and saturate at the
// 32-bit range.
//
// Screen coordinates grow downwards, so a positive rotation angle turns
// clockwise as seen on the screen.
#pragma once

#include "pixel/FixMath.h"
#include "platform/Types.h"

using Fract = int32;
constexpr Fract fract1 = 0x40000000;

struct FixedPoint {
  Fixed x, y;
};

struct MatrixRecord {
  Fixed matrix[3][3];
};
using MatrixPtr = MatrixRecord*;

// Results of GetMatrixType.
enum : int16 {
  identityMatrixType = 0,
  translateMatrixType = 1,
  scaleMatrixType = 2,
  scaleTranslateMatrixType = 3,
  linearMatrixType = 4,
  linearTranslateMatrixType = 5,
  perspectiveMatrixType = 6
};

// (a * b) rounded to 16.16, saturated.
Fixed FixMul(Fixed a, Fixed b);
// a / b rounded to 16.16, saturated; a zero divisor gives the largest value
// of a's sign.
Fixed FixDiv(Fixed a, Fixed b);
// Rounded to the nearest integer (halves up).
int32 FixRound(Fixed f);

void SetIdentityMatrix(MatrixRecord* m);
void CopyMatrix(const MatrixRecord* from, MatrixRecord* to);
bool8 EqualMatrix(const MatrixRecord* a, const MatrixRecord* b);
// identity, translate, scale, scale + translate, linear (rotation or skew),
// linear + translate, or perspective (a third column other than (0, 0, 1)).
int16 GetMatrixType(const MatrixRecord* m);

// Appends a move by (dh, dv).
void TranslateMatrix(MatrixRecord* m, Fixed dh, Fixed dv);
// Appends a scale by (sx, sy) that keeps the point (about_x, about_y) in place.
void ScaleMatrix(MatrixRecord* m, Fixed sx, Fixed sy, Fixed about_x, Fixed about_y);
// Appends a rotation by `degrees` (16.16) about (about_x, about_y); positive
// angles turn clockwise on the screen. Sines and cosines of multiples of 90
// degrees are exact.
void RotateMatrix(MatrixRecord* m, Fixed degrees, Fixed about_x, Fixed about_y);
// b := b followed by a (a point goes through b first, then through a).
void ConcatMatrix(const MatrixRecord* a, MatrixRecord* b);
// m := the scale and move that map src onto dst (an empty src gives the identity).
void RectMatrix(MatrixRecord* m, const Rect* src, const Rect* dst);
// im := the inverse of m; FALSE (im unchanged) when m cannot be inverted or
// the inverse does not fit the fixed-point formats.
bool8 InverseMatrix(const MatrixRecord* m, MatrixRecord* im);

// m as reals: the first two columns from 16.16, the third from 2.30.
void Matrix_To_Reals(const MatrixRecord& m, double out[3][3]);
// inv := the inverse of a; FALSE (inv unchanged) when a's determinant is 0 or
// not finite.
bool Invert_Reals(const double a[3][3], double inv[3][3]);

// Transforms points in place. FALSE when some point maps to infinity (w of
// 0 or less); such points are left unchanged.
bool8 TransformFixedPoints(const MatrixRecord* m, FixedPoint* fpts, int32 count);
// r := the bounding box of its four corners under m, each edge rounded to
// the nearest integer and clamped to the 16-bit range; the transformed
// corners (top-left, top-right, bottom-right, bottom-left) go to fpts when it
// is not NIL. TRUE when the result is still an upright rectangle (no
// rotation other than by multiples of 90 degrees, no skew, no perspective).
bool8 TransformRect(const MatrixRecord* m, Rect* r, FixedPoint* fpts);
// out := in, then TransformRect(matrix, out, corners); returns its result.
bool8 TransformRectX(const MatrixRecord* matrix, const Rect& in, Rect& out);
