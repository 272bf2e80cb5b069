// Geometric transforms of pixel maps (mirrors, rotations, bends, skews) and
// the masks and measurements derived from them (1-bit masks of the non-white
// pixels, 8-bit alpha, bounding boxes of the inked pixels).
//
// Angles are tenths of a degree (3600 a full turn); a positive angle turns
// the picture counter-clockwise on the screen.
//
// Ownership for the operations that produce a new map `out`: `out` is
// written without being disposed of first and the input is never freed.
// When the operation leaves the picture unchanged (angle 0, bend or skew of
// 0) the input's pixels are handed over instead: `out` := `in` and `in`
// becomes a null map. Either way the caller disposes of `in` (a no-op when it
// is null) and owns `out`.
#pragma once

#include "host/HostRegion.h"
#include "pixel/SysPix.h"
#include "platform/Types.h"

enum a_filtering_kind : int16 { NEAREST = 0, BILINEAR = 1 };

// ---------------------------------------------------------------------------
// Mirrors
// ---------------------------------------------------------------------------

// In place; a null map is left alone. Depth 24 QUIT.
void PixMap_FlipX(PixMapPtr pix);
void PixMap_FlipY(PixMapPtr pix);
void PixMap_Rotate_180(PixMapPtr pix);
void PixMap1_FlipX(PixMapPtr pix);
// Reverses npixels units of unit_bytes (1, 2 or 4; others QUIT) at p.
void Reverse_Bytes(uint8* p, int32 npixels, int16 unit_bytes);
// Exchanges len bytes at a and b.
void Swap_Bytes(uint8* a, uint8* b, uint32 len);

// ---------------------------------------------------------------------------
// Rotations
// ---------------------------------------------------------------------------

// Nearest-neighbour at depths 1, 8, 16, 24 and 32, or bilinear for depths
// 8 to 32. The nearest kernels fill what lies outside the picture with 0
// (8-bit), white 0x7FFF (16-bit), white (24-bit), or white with alpha 0
// (32-bit); the bilinear ones leave it 0. A result larger than 32767 pixels
// either way calls the out-of-memory hook and leaves `out` null. A depth no
// kernel serves (2 or 4 bits) leaves `out` a null map and `in` as it was.
void PixMap_Rotate(a_filtering_kind filter, bool8 zerof, int16 angle, PixMap& in, PixMap& out);
// Multiples of 900 only (others QUIT).
void PixMap1_Rotate(int16 angle, PixMap& in, PixMap& out);
// Each takes a map of its own depth only; another leaves `out` null.
void PixMap8_Rotate(int16 angle, PixMap& in, PixMap& out);
void PixMap16_Rotate(int16 angle, PixMap& in, PixMap& out);
void PixMap24_Rotate(int16 angle, PixMap& in, PixMap& out);
void PixMap32_Rotate(int16 angle, PixMap& in, PixMap& out);
// The kernels (the one kernel of MAsm2, PixMap_RotateB): every pixel of
// `out` mapped back into `in` (sin and cos x 16384, doubled centres), tcolor
// where it falls outside; maps of another depth are left alone.
void PixMap16_RotateB(PixMapPtr in, PixMapPtr out, int16 sin, int16 cos, int16 scenterh, int16 scenterv,
                      int16 dcenterh, int16 dcenterv, uint16 tcolor);
void PixMap32_RotateB(PixMapPtr in, PixMapPtr out, int16 sin, int16 cos, int16 scenterh, int16 scenterv,
                      int16 dcenterh, int16 dcenterv, a_win_pixel32 tcolor);
// Bilinear: 8-bit maps, and 16-, 24- and 32-bit maps. With zerof, samples
// outside the picture count as 0; alpha always does, so edge pixels turn
// partly transparent. progressf drives g_progproc row by row.
void PixMap_Rotate_Bilinear8(bool8 progressf, bool8 zerof, int16 angle, PixMap& src, PixMap& dst);
void PixMap_Rotate_Bilinear(bool8 progressf, bool8 zerof, int16 angle, PixMap& src, PixMap& dst);

// ---------------------------------------------------------------------------
// Bends and skews (depths 8 and 16; others QUIT)
// ---------------------------------------------------------------------------

// `val` is a percentage of the larger side, signed. X operations widen the
// map by the offset, Y operations heighten it. A 16-bit result starts white,
// an 8-bit one 0.
void PixMap_BendX(int16 val, PixMap& in, PixMap& out);
void PixMap_BendY(int16 val, PixMap& in, PixMap& out);
void PixMap_SkewX(int16 val, PixMap& in, PixMap& out);
void PixMap_SkewY(int16 val, PixMap& in, PixMap& out);
void PixMap8_BendX(int16 bend, PixMap& in, PixMap& out);
void PixMap8_BendY(int16 bend, PixMap& in, PixMap& out);
void PixMap16_BendX(int16 bend, PixMap& in, PixMap& out);
void PixMap16_BendY(int16 bend, PixMap& in, PixMap& out);
void PixMap8_SkewX(int16 skew, PixMap& in, PixMap& out);
void PixMap8_SkewY(int16 skew, PixMap& in, PixMap& out);
void PixMap16_SkewX(int16 skew, PixMap& in, PixMap& out);
void PixMap16_SkewY(int16 skew, PixMap& in, PixMap& out);
// tot_y at the middle of 0 .. tot_x, 0 at both ends, along a parabola.
int32 Calc_Parabola(int16 tot_x, int16 tot_y, int16 x);

// ---------------------------------------------------------------------------
// Masks and measurements
// ---------------------------------------------------------------------------

// Bounding box of the inked pixels inside `search` (map coordinates):
// depth 1 set bits, 8 non-zero bytes, 16 non-white pixels; others QUIT.
// (0, 0, 0, 0) when there is none.
void PixMap_Bounding(PixMapPtr pix, const Rect& search, Rect& bounds);
void PixMap16_Bounding(PixMapPtr pixmap, const Rect& search, Rect& result);
// Clear `out`, then set the bit of every non-white pixel of `in` (16-bit:
// not 0x7FFF; 32-bit: blue, green, red not all 255, alpha ignored). Row i of
// `in` fills row i of `out`. Only the area both maps cover is converted.
void PixMap16_To_1(PixMapPtr in, PixMapPtr out);
void PixMap32_To_1(PixMapPtr in, PixMapPtr out);
// The same for the rows and columns of `subset` (in `in`'s coordinates).
void PixMap16_To_1S(PixMapPtr in, PixMapPtr out, const Rect& subset);
// Every dst_pix byte := the alpha of the src_pix pixel at the same place.
// some_opaque: an alpha was not 0; some_transp: an alpha was not 255.
void Pix32_To_Alpha(PixMapPtr src_pix, PixMapPtr dst_pix, bool8& some_transp, bool8& some_opaque);
// mask := a new 1-bit map over pixA's bounds, set where the two maps (of
// equal depth, 8 or 16; others QUIT) hold equal pixels.
void PixMap_Compare(PixMapPtr pixA, PixMapPtr pixB, PixMap& mask);
void PixMap8_Compare(PixMapPtr pixA, PixMapPtr pixB, PixMap& mask);
void PixMap16_Compare(PixMapPtr pixA, PixMapPtr pixB, PixMap& mask);
// A region of the set bits, in the map's coordinates; at most 20,000 runs.
// With no set bit `rgn` is left as it was; otherwise the old region is
// deleted and replaced.
void PixMap1_To_Region(PixMapPtr pix, HRGN& rgn);
// TRUE when no bit within the map's width is set (row padding ignored).
bool8 Is_PixMap1_Empty(PixMapPtr pix);
// Row i (padding included) := pat[(bounds.top + i) AND 7].
void PixMap1_FillPattern(PixMapPtr pix, const uint8 (&pat)[8]);
