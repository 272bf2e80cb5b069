#include "pixel/FixMath.h"

Fixed FixRatio(int16 num, int16 den) {
  const bool negative = (num < 0) != (den < 0);
  const uint32 n = num < 0 ? uint32(-int32(num)) : uint32(num);
  const uint32 d = den < 0 ? uint32(-int32(den)) : uint32(den);
  if (d == 0) return num < 0 ? Fixed(INT32_MIN) : Fixed(0x7FFFFFFF);
  if (n == 0) return 0;
  uint32 mag;
  if (d == 1) {
    mag = n << 16;
  } else {
    const uint32 q = n / d;
    const uint32 rem = n - q * d;
    mag = (q << 16) + ((rem << 16) + d / 2) / d;
  }
  // 32768 / 1 is 0x80000000: representable only as a negative result.
  if (!negative) return mag > 0x7FFFFFFFu ? Fixed(0x7FFFFFFF) : Fixed(mag);
  return mag >= 0x80000000u ? Fixed(INT32_MIN) : Fixed(-int32(mag));
}

Fixed Long2Fix(int32 x) { return Fixed(uint32(x) << 16); }

// The number is signed: 0xFFFF8000 is -0.5.
double Fix2X(Fixed f) { return double(f) / 65536.0; }
