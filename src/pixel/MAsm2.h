// Pixel routines beside the blit kernels: the LZW coding of stored pictures,
// 8-bit to 1-bit masks through a truth table, 1-bit maps widened to 8, 16, 24
// and 32 bits with two given pixel values, and the nearest-neighbour rotation
// kernel of every depth.
//
// LZW stream: a big-endian 32-bit count of the bytes it expands to, then
// variable-width codes, most significant bit first. Codes 0..255 are bytes,
// 256 clears the table, 257 ends the stream, 258 and above are table entries.
// Codes start 9 bits wide and grow to at most 12 bits.
#pragma once

#include "pixel/SysPix.h"
#include "platform/SysMem.h"
#include "platform/Types.h"

// Results of the expanders (LZW here, run-length in DrawUtil).
constexpr int16 kExpandOK = 0;
constexpr int16 kExpandNoMem = -1;    // a block could not be had
constexpr int16 kExpandBadData = -2;  // the stream is truncated, overlong or invalid

constexpr uint16 kLZW_Clear = 256;
constexpr uint16 kLZW_End = 257;
constexpr uint16 kLZW_First = 258;
constexpr uint16 kLZW_MaxBits = 12;
constexpr uint16 kLZW_TableSize = 4097;

// 2 to the power i, i = 0 .. 12.
extern uint32 powers_of_2[13];

// Module start-up: fills powers_of_2 (it is also filled at load time).
void MAsm2_Init();

// Expands the stream of in_len bytes at in_buf into a new unlocked handle of
// exactly the stated length. kExpandNoMem when a block cannot be had,
// kExpandBadData for a stream that ends early, names a code the table does
// not hold, overfills the table or would write more or fewer bytes than it
// states; out_buf is NIL after any failure.
int16 Expand_LZW(const uint8* in_buf, uint32 in_len, Handle& out_buf);

// Writes in_len bytes as a stream into a new unlocked handle sized to the
// stream. kExpandNoMem when a block cannot be had (out_buf is then NIL).
int16 Compress_LZW(const uint8* in_buf, uint32 in_len, Handle& out_buf);

// Clears pixB_ptr, then sets the bit of every pixel of pixA_ptr (same row and
// column counted from each map's top-left) whose mapping entry is non-zero.
// some_on: a bit was set; some_off: a bit was left clear. Returns some_on.
// Only the area both maps cover is converted.
bool8 PixMap8_To_1(const a_8_to_1_mapping& mapping, PixMapPtr pixA_ptr, PixMapPtr pixB_ptr,
                   bool8& some_off, bool8& some_on);
// The same for the pixels of `subset` only, setting or clearing each bit and
// leaving the rest of pixB_ptr alone. The subset's rows are counted upward
// from the bottom of pixA_ptr: rows B - subset.bottom .. B - subset.top - 1
// with B = pixA_ptr->bounds.bottom.
void PixMap8_To_1S(const a_8_to_1_mapping& mapping, PixMapPtr pixA_ptr, PixMapPtr pixB_ptr,
                   const Rect& subset);

// Every pixel of dst at the row and column of a pixel of src gets oneval for
// a set bit and zeroval for a clear one. Only the area both maps cover is
// written.
void PixMap1_To_8(PixMapPtr src, PixMapPtr dst, uint8 zeroval, uint8 oneval);
void PixMap1_To_16(PixMapPtr src, PixMapPtr dst, uint16 zeroval, uint16 oneval);
// 24-bit pixels are written blue, green, red, the layout of 24-bit maps.
void PixMap1_To_24(PixMapPtr src, PixMapPtr dst, a_pixel24 zeroval, a_pixel24 oneval);
void PixMap1_To_32(PixMapPtr src, PixMapPtr dst, a_pixel32 zeroval, a_pixel32 oneval);
// By dst's depth: 16, 24 or 32; any other depth QUIT.
void PixMap1_To_N(PixMapPtr src, PixMapPtr dst, a_pixel32 zeroval, a_pixel32 oneval);

// The nearest-neighbour rotation kernel of every depth (8 bits here, and
// the 16-, 24- and 32-bit rotations of SysPixXform): fills every pixel of
// `out` by inverse rotation from `in`, sin and cos scaled by 16384, centres
// doubled (left + right, top + bottom); pixels that fall outside `in` get
// the first `bytes` bytes of tcolor. Pixels of `bytes` bytes (1 to 4) are
// copied whole; maps of another depth are left alone.
void PixMap_RotateB(int16 bytes, PixMapPtr in, PixMapPtr out, int16 sin, int16 cos, int32 scenterh,
                    int32 scenterv, int32 dcenterh, int32 dcenterv, const uint8 (&tcolor)[4]);
// The kernel for 8-bit maps.
void PixMap8_RotateB(PixMapPtr in, PixMapPtr out, int16 sin, int16 cos, int16 scenterh,
                     int16 scenterv, int16 dcenterh, int16 dcenterv, uint8 tcolor);
