// Pixel maps: whole-map fills and copies, 8-bit and depth-independent dot
// accessors, and a few utilities. The record itself, its pixel types and its
// creation and disposal (New_PixMap, Dispose_PixMap ...) are declared in
// platform/PixMaps.h, below the platform's worlds that are built on it; this
// header includes it, so users of pixel maps include this one alone.
//
// Pixel layouts by depth:
//   1   one bit per pixel, most significant bit leftmost; 1 = set (ink / inside)
//   8   one byte: colour-table index, or a level when the map is a mask
//   16  "L555": little-endian 16 bits, red 10-14, green 5-9, blue 0-4, bit 15 clear
//   24  three bytes blue, green, red
//   32  "BGRA": one a_win_pixel32
#pragma once

#include "platform/ColorTable.h"
#include "platform/PixMaps.h"
#include "platform/Types.h"

// ---------------------------------------------------------------------------
// Module state
// ---------------------------------------------------------------------------

using a_8_to_1_mapping = uint8[256];
using a_8_to_8_mapping = uint8[256];

// Index 255 maps to 0, every other index to 1: stamps turned into masks leave
// out their pixels of index 255.
extern a_8_to_1_mapping White_transparent1;

enum a_pix_range : int16 { PIX1A, PIX1B, PIX8A, PIX8B, PIX16A, PIX16B, PIX32A, PIX32B };

struct a_pix_rec {
  Ptr base;
  uint32 rowbytes;  // already without flags
  Rect bounds;
  int16 pixelsize;
};

// Module start-up: builds White_transparent1.
void SysPix_Init();

// ---------------------------------------------------------------------------
// Whole-map contents (all PixMap_Len bytes, row padding included)
// ---------------------------------------------------------------------------

void PixMap_Zero(const PixMap& pix);
struct a_gworld_rec;
// Every byte of the world's pixel map 0; a missing world is left alone.
void GWorld_Zero(a_gworld_rec* world);
void PixMap_Ones(const PixMap& pix);
void PixMap8_Fill(const PixMap& pix, uint8 val);
void PixMap16_Fill(const PixMap& pix, uint16 val);
// Depth 32: every pixel; depth 24: every pixel's blue, green, red; other depths QUIT.
void PixMap32_Fill(const PixMap& pix, a_win_pixel32 val);
void PixMap8_To_8(PixMapPtr pix, const a_8_to_8_mapping& map);
// dst gets new pixels of src's bounds, depth and colour table and a copy of
// src's pixels. A null src gives a null dst.
void PixMap_Copy(const PixMap& src, PixMap& dst);

// ---------------------------------------------------------------------------
// 8-bit dot accessors (unchecked: coordinates must lie inside the bound map)
// ---------------------------------------------------------------------------

void PixA_Init(PixMapPtr pix);
void PixB_Init(PixMapPtr pix);
uint8 PixA_GetDot(int16 col, int16 row);
uint8 PixB_GetDot(int16 col, int16 row);
void PixA_PutDot(int16 col, int16 row, uint8 val);
void PixB_PutDot(int16 col, int16 row, uint8 val);
// The byte p becomes p x val div 255.
void PixA_ScaleDot(int16 col, int16 row, uint8 val);
void PixB_ScaleDot(int16 col, int16 row, uint8 val);

// End of use of a binding; there is nothing to release.
void PixA_Stop();
void PixB_Stop();
void Pix16A_Stop();
void Pix16B_Stop();
void Pix32A_Stop();
void Pix32B_Stop();
void BitA_Stop();
void BitB_Stop();

// Short names of the 16- and 32-bit A accessors (the same bindings as the
// Asm32_Pix16A_ and Asm32_Pix32A_ routines, so the two may be mixed).
void Pix16A_Init(PixMapPtr pix);
uint16 Pix16A_GetDot(int16 col, int16 row);
void Pix16A_PutDot(int16 col, int16 row, uint16 val);
void Pix32A_Init(PixMapPtr pix);
void Pix32A_PutDot(int16 col, int16 row, const a_pixel32* val);

// ---------------------------------------------------------------------------
// Depth-independent accessors: one A binding (read), one B binding (written)
// ---------------------------------------------------------------------------

void GenericPixA_Init(PixMapPtr pix);
void GenericPixB_Init(PixMapPtr pix);
// Depth 1: r = 255 or 0; depth 8: r = the byte (g, b, a untouched in both);
// depth 16: r, g, b widened from 5 bits (a untouched); deeper: the pixel.
void GenericPixA_GetDot32(int16 col, int16 row, a_win_pixel32& pixel);
// Depth 1: set when r >= 128; depth 8: r; depth 16: top 5 bits of r, g, b.
void GenericPixB_PutDot32(int16 col, int16 row, const a_win_pixel32& pixel);
void GenericPixA_Stop();
void GenericPixB_Stop();

// ---------------------------------------------------------------------------
// Frames and row/column fills (no callers yet; kept for completeness)
// ---------------------------------------------------------------------------

// Paints a band of `thickness` pixels along the inside of `box`: depth 8 with
// color.a as the byte, depth 32 with the colour; other depths QUIT. Parts of
// the band outside the map are left out.
void PixMap_Frame(a_win_pixel32 color, const Rect& box, int16 thickness, PixMapPtr pix);
void PixMap8_Frame(a_win_pixel32 color, const Rect& box, int16 thickness, PixMapPtr pix);
void PixMap32_Frame(a_win_pixel32 color, const Rect& box, int16 thickness, PixMapPtr pix);

// Row fills go right from the start; column fills go up (each next pixel one
// row higher). 8-bit ones use the PixA binding, 32-bit ones M2_Pix32A_Init's.
void Pix8_FillRow(int16 startcol, int16 startrow, int16 len, uint8 color);
void Pix8_FillCol(int16 startcol, int16 startrow, int16 len, uint8 color);
void M2_Pix32A_Init(PixMapPtr pix);
void M2_Pix32A_Stop();
void M2_Pix32_FillRow(int16 startcol, int16 startrow, int16 len, a_win_pixel32 color);
void M2_Pix32_FillCol(int16 startcol, int16 startrow, int16 len, a_win_pixel32 color);
