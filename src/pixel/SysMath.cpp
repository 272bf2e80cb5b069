#include "pixel/SysMath.h"

#include <cmath>
#include <limits>

namespace SysMath {

int32 round(float val) {
  // Added in double precision, where val + 0.5 is exact for every float (in
  // single precision 0.49999997 + 0.5 would already give 1). NaN and values
  // beyond 32 bits are pinned instead of being converted undefined.
  const double v = val;
  const double t = v >= 0 ? v + 0.5 : v - 0.5;
  if (std::isnan(t)) return 0;
  if (t >= 2147483647.0) return std::numeric_limits<int32>::max();
  if (t <= -2147483648.0) return std::numeric_limits<int32>::min();
  return int32(t);
}

}  // namespace SysMath

float arctan2(float dy, float dx) {
  constexpr double kPi = 3.141592653589793;
  const bool xpos = dx >= 0;
  const bool ypos = dy >= 0;
  const float adx = std::fabs(dx);
  const float ady = std::fabs(dy);
  double theta;
  // A slope beyond tan(89.999 degrees) counts as vertical; this also covers dx = 0.
  if (ady >= adx * 57296.0f) {
    theta = kPi / 2;
  } else {
    theta = std::atan(double(ady) / double(adx));
  }
  double result;
  if (xpos && ypos) {
    result = theta;
  } else if (xpos) {
    result = 2 * kPi - theta;
  } else if (ypos) {
    result = kPi - theta;
  } else {
    result = kPi + theta;
  }
  return float(result);
}
