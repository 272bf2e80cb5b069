// Small numeric toolbox used everywhere: 16-bit rectangle and point
// arithmetic, reduction ratios, rounding to multiples, integer interpolation,
// angles in tenths of a degree with table-driven trigonometry, a 16-bit
// linear congruential random generator, byte order, byte and word
// comparison, a heap sort of fixed-size records and the shared bit-mask
// tables. Nothing here allocates memory.
//
// Angles are 16-bit tenths of a degree, 0 to 3599 when normalised, counted
// counter-clockwise as seen on the screen (0 right, 900 up, 1800 left, 2700
// down). Sines and cosines are scaled by 16384.
#pragma once

#include <span>

#include "platform/Types.h"

// a_ratio, the scale factor num / den, is one of the basic types (Types.h).

// State of one lagged additive random stream (lags 17 and 5). `list` is
// numbered 1 to 17 by the stream's algorithm; element list[i - 1] holds
// entry i.
struct a_rand_rec {
  uint16 ii, jj;
  uint16 list[17];
};
static_assert(sizeof(a_rand_rec) == 38);
using a_rand_ptr = a_rand_rec*;

// ---------------------------------------------------------------------------
// Bit-mask tables shared by the bit and pixel routines (constant).
// ---------------------------------------------------------------------------
inline constexpr uint8 g_single_bits_8[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
inline constexpr uint8 g_not_single_bits_8[8] = {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE};
// Entry i has its i most significant bits set.
inline constexpr uint16 g_cum_bits_16[17] = {
    0x0000, 0x8000, 0xC000, 0xE000, 0xF000, 0xF800, 0xFC00, 0xFE00, 0xFF00,
    0xFF80, 0xFFC0, 0xFFE0, 0xFFF0, 0xFFF8, 0xFFFC, 0xFFFE, 0xFFFF};

// The module's random seed, which RandomRange and Fractalize step.
uint16 Random_Seed();

// Module start-up: seeds the module's random stream and clears its seed.
void Fast_Init();

// The constant tables: sine quarter (entry k = sin(k/10 deg) x 16384) and
// tangent (entry k = tan(k/10 deg) x 8192), 901 entries each.
std::span<const uint16, 901> Fast_Sine_Table();
std::span<const int32, 901> Fast_Tangent_Table();

// ---------------------------------------------------------------------------
// Rectangles and points
// ---------------------------------------------------------------------------
int16 RectV(const Rect& r);  // height
int16 RectH(const Rect& r);  // width
void RectSize(const Rect& r, Point& s);
int32 RectArea(const Rect& r);
void RectCenter(const Rect& r, Point& c);
bool EqualRectSize(const Rect& r1, const Rect& r2);
bool RectContainsRect(const Rect& outer, const Rect& inner);
// An empty `a` gives `b` (even when empty); an empty `b` gives `a`.
void UnionRect2(const Rect& a, const Rect& b, Rect& c);
void SetRect2(Rect& r, int16 cornerx, int16 cornery, int16 sizeh, int16 sizev);
void SetRectCenter(Rect& r, int16 centerx, int16 centery, int16 sizex, int16 sizey);
void SetRectFix(Rect& r, int16 left, int16 top, int16 right, int16 bottom);
void Center_Rect_On_Point(Point center, Rect& r);
void CenterRectInRect(const Rect& outer, Rect& inner);
// The source's size, reduced to fit the destination, centred on it.
void Calc_Rect_Fit(const Rect& src_bounds, const Rect& dst_bounds, Rect& fit_bounds);
void ScaleRect(a_ratio factor, const Rect& rectA, Rect& rectB);
// h is kept in left .. right - 1, v in top .. bottom.
void ForcePointInRect(const Rect& box, Point& p);
// The largest ratio <= 1 that fits src_size into dst_size less indent.
void Calc_Reduction(Point src_size, Point dst_size, int16 indent, a_ratio& reduction);
void Apply_Reduction(Point in_size, a_ratio reduction, Point& out_size);
void Apply_Reduction_Rect(const Rect& src, a_ratio reduction, Rect& dst);

// Kept for completeness (no caller): divide by 3 and multiply by 3.
int16 Int_Half(int16 n);
int16 Int_Double(int16 n);
void Point_Half(Point& p);
void Point_Double(Point& p);
void Rect_Half(Rect& r);
void Rect_Double(Rect& r);

// ---------------------------------------------------------------------------
// Numbers
// ---------------------------------------------------------------------------
int16 Sign(int32 val);  // -1 for negatives, +1 otherwise
int16 Min(int16 a, int16 b);
int16 Max(int16 a, int16 b);
float MinR(float a, float b);
float MaxR(float a, float b);
void Subtract_Guarded(uint32& a, uint32 b);  // a - b, or 0 when a < b
int32 RoundReal(float val);                  // halves away from zero
int32 RoundUp(int32 n, int32 interval);      // to a multiple, away from zero
int32 RoundDown(int32 n, int32 interval);    // to a multiple, toward minus infinity
int32 RoundNearest(int32 n, int32 interval); // to the nearest multiple, halves away from zero
int32 LongSqrt(int32 n);
int32 Point2PointSquared(Point pointA, Point pointB);
int32 Point2PointDistance(Point pointA, Point pointB);
// Not implemented; reports an internal error.
int32 Point2LineDistance(Point p, Point lineA, Point lineB);
int16 Interpolate(int16 inval, int16 inputA, int16 inputB, int16 outputC, int16 outputD);
int16 Interpolate_Rounded(int16 inval, int16 inputA, int16 inputB, int16 outputC, int16 outputD);
int16 Interpolate_Bounded(int16 inval, int16 inputA, int16 inputB, int16 outputC, int16 outputD);
float InterpolateReal(float inval, float inputA, float inputB, float outputC, float outputD);
// Midpoint displacement between a[startx] and a[stopx], using g_seed.
void Fractalize(std::span<int16> a, int16 startx, int16 stopx, int16 range);

// ---------------------------------------------------------------------------
// Angles
// ---------------------------------------------------------------------------
int16 Normalize_Angle(int16 angle);
int16 IntSin(int16 degrees);
int16 IntCos(int16 degrees);
int16 ArcCos(int16 val);  // 0 .. 1800 for val in -16384 .. 16384
int16 SegmentAngle(Point pointA, Point pointB);
void AngleBetweenLines(Point A, Point B, Point C, Point D, int16& angle);
int16 CalcOctant(Point pointA, Point pointB);  // 0 right, clockwise on screen to 7 up-right
float DyDx_To_Angle(float dy, float dx);       // degrees 0 .. 360

// ---------------------------------------------------------------------------
// Random numbers: seed := seed x 25173 + 13849 (mod 65536)
// ---------------------------------------------------------------------------
uint16 RandomCard(uint16& seed);
int16 RandomRange(int16 minval, int16 maxval);
int16 RandomRangeS(uint16& seed, int16 minval, int16 maxval);
void RandomPoint(uint16& seed, int16 spread, int16 radius, Point& result);
void Init_RandRec(a_rand_rec& table);

// ---------------------------------------------------------------------------
// Byte order (the machine is little-endian; files and type codes big-endian)
// ---------------------------------------------------------------------------
uint16 IntelCard16(uint16 val);
int16 IntelInt16(int16 val);
uint32 IntelCard32(uint32 val);
int32 IntelInt32(int32 val);
void IntelPoint(Point old, Point& out);
void IntelRect(const Rect& old, Rect& out);
uint16 MotorolaCard16(uint16 val);
int16 MotorolaInt16(int16 val);
uint32 MotorolaCard32(uint32 val);
int32 MotorolaInt32(int32 val);
void MotorolaPoint(Point old, Point& out);
void MotorolaRect(const Rect& old, Rect& out);
void MotorolaCodec(OSType old, OSType& out);
// OSType holds its first character in the high byte (see FourCC).
void OSType_To_Str4(OSType old, char (&str)[4]);
uint32 OSType_To_CARD32(OSType old);
void CARD32_To_OSType(uint32 old, OSType& out);
bool Eq_Str4(CStrSpan a, CStrSpan b);
bool Eq_OSType(OSType a, OSType b);

// ---------------------------------------------------------------------------
// Comparison and sorting
// ---------------------------------------------------------------------------
// -1, 0 or 1 by the first differing unsigned byte.
int16 CompareBytes(const void* adrA, const void* adrB, int16 len);
// Compares as bytes (chunk 1), 32-bit words (4) or 16-bit words (other).
int16 CompareChunks(const void* a, const void* b, int16 bytes_per_chunk, int32 tot_len);
// Heap sort of nitems records of itemlen bytes (at most 1024) in place.
void SortArray(bool ascending, void* table, int16 itemlen, int16 chunk, int32 nitems);
