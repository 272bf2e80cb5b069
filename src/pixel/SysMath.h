// Rounding of reals and a full-circle arc tangent. Reals are 32-bit; angles
// are radians.
#pragma once

#include "platform/Types.h"

namespace SysMath {
// Nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3). It lives in
// this namespace because the C library's round(double) already owns the
// global name; that one rounds the same way but returns a real.
int32 round(float val);
}  // namespace SysMath

// The angle of the vector (dx, dy), from 0 up to 2 pi: 0 along +dx, pi/2
// along +dy (also for a zero vector), pi along -dx, 3 pi/2 along -dy.
float arctan2(float dy, float dx);
