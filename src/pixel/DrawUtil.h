// Drawing utilities that need no worlds: conversions between the pixel and
// colour formats of the program, the run-length coding of stored pictures,
// the 3 x 3 blur of 8-bit masks and the 0 / 255 swap of 8-bit maps.
//
// Formats: a_pixel32 holds bytes blue, green, red, alpha; a_pixel24 red,
// green, blue; a 16-bit pixel 5 bits each of red, green, blue from bit 10
// down; a 48-bit colour three 16-bit channels red, green, blue.
//
// Run-length packed buffer: the unpacked length (unsigned 32-bit,
// little-endian), then PackBits data of the unpacked bytes cut into stretches
// of 32,000 bytes (the last one shorter), each packed on its own. A flag byte
// n of 0..127 copies the next n + 1 bytes, 129..255 repeats the next byte
// 257 - n times, 128 is skipped.
#pragma once

#include <vector>

#include "pixel/MAsm2.h"
#include "pixel/SysPix.h"
#include "platform/ColorTable.h"
#include "platform/SysMem.h"
#include "platform/Types.h"

// ---------------------------------------------------------------------------
// Pixel and colour conversions
// ---------------------------------------------------------------------------

// Copies red, green, blue; alpha := 0.
void RGB24_To_RGB32(const a_pixel24& in, a_pixel32& out);
void RGB32_To_RGB24(const a_pixel32& in, a_pixel24& out);
// blue := bits 0-4, green := 5-9, red := 10-14, each left as a 0..31 value;
// alpha untouched.
void RGB16_To_RGB32(uint16 in, a_pixel32& out);
// The same with each component widened to 0..255 (c x 8 + c div 4), the way
// the 16-bit dot accessors read pixels; alpha untouched. Colour arithmetic
// on 16-bit maps goes through this one.
void RGB16_To_RGB32_Full(uint16 in, a_pixel32& out);
// (red div 8) x 1024 + (green div 8) x 32 + blue div 8.
uint16 RGB32_To_RGB16(const a_pixel32& in);
// Each 5-bit c becomes (c x 8 + c div 4) x 257.
void RGB16_To_RGB48(uint16 in, a_pixel48& out);
// v := (77 red + 151 green + 28 blue) div 256 into all three channels; alpha copied.
void RGB32_To_Gray(const a_pixel32& in, a_pixel32& out);
void RGB32_To_RGB48(const a_pixel32& in, a_pixel48& out);  // each channel x 257
void RGB48_To_RGB32(const a_pixel48& in, a_pixel32& out);  // each channel div 256; alpha 0
bool8 Equal_RGB24(const a_pixel24& a, const a_pixel24& b);
// Seed 0, flags 0, ctSize 255, entry i value i and colour RGB32_To_RGB48 of pixel i.
void RGBA_To_Colortable(const a_pixel32 (&rgba)[256], ColorTable& ctable);
void Colortable48_To_16(const ColorTable& ctable, uint16 (&out)[256]);
void Colortable48_To_32(const ColorTable& ctable, a_pixel32 (&out)[256]);

// ---------------------------------------------------------------------------
// Run-length coding
// ---------------------------------------------------------------------------

constexpr uint32 kRLE_Stretch = 32000;

// Expands the packed buffer of in_len bytes into a new unlocked handle of
// the stated length. kExpandNoMem when the handle cannot be had,
// kExpandBadData when the input ends early, a run crosses the end of its
// stretch or the stated length is beyond what the input can hold. out_buf is
// NIL after any failure.
int16 Expand_RLE(const uint8* in_buf, uint32 in_len, Handle& out_buf);
// Packs in_len bytes into a new unlocked handle sized to the result.
// kExpandNoMem when no handle can be had (out_buf NIL).
int16 Compress_RLE(const uint8* in_buf, uint32 in_len, Handle& out_buf);
// Worst-case packed size of n bytes, length field included.
uint64 RLE_Max_Packed(uint32 n);
// PackBits of n bytes as one stretch, appended to out: runs of 3 to 128
// equal bytes as the flag 257 - run and the byte, everything else as
// literals of up to 128 bytes (flag length - 1, then the bytes). The
// pictures' row packing uses it too.
void Pack_Bits(const uint8* src, uint32 n, std::vector<uint8>& out);

// ---------------------------------------------------------------------------
// 8-bit maps
// ---------------------------------------------------------------------------

// 256 bytes, i at index i except 255 at 0 and 0 at 255.
extern uint8 map_0_255[256];
void Init_Map0();

// A 3 x 3 binomial blur (weights 1 2 1 each way, rounded) of the values in
// `subset`, run `radius` times, in place. Values before the subset's first
// row and column count as 0; its last row and column are not rewritten. The
// subset is limited to the map; it may be of any width.
void Blur_PixMap8(PixMapPtr pix, const Rect& subset, int16 radius);
// An 8-bit map's values 0 and 255 exchanged, and entries 0 and 255 of the
// colour table (when not NIL).
void Swap_0_255(PixMapPtr pix, CTabHandle ctable);
