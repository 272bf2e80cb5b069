// 16.16 fixed-point numbers as the transformation matrices take them.
#pragma once

#include "platform/Types.h"

// Signed 16.16 fixed point: the high 16 bits are the integer part, the low
// 16 bits the fraction.
using Fixed = int32;

// The parts of a fixed-point number (the fields `hi` and `lo`).
inline int16 Fix_Hi(Fixed f) { return int16(uint32(f) >> 16); }
inline uint16 Fix_Lo(Fixed f) { return uint16(uint32(f) & 0xFFFF); }

constexpr Fixed kFixedOne = 0x00010000;

// num / den with the fraction rounded to the nearest 1/65536 (halves up,
// applied to the magnitude). A zero denominator gives 0x7FFFFFFF, or
// 0x80000000 for a negative numerator.
Fixed FixRatio(int16 num, int16 den);
// x as a fixed-point number: its low 16 bits become the integer part.
Fixed Long2Fix(int32 x);
// The value of f as a real.
double Fix2X(Fixed f);
