// Small pixel services called in tight loops: dot accessors that bind a map
// once and then read or write single pixels, bounding boxes of 1- and 8-bit
// maps, integer ratios, and byte fills and moves.
//
// Each accessor set keeps one binding (set by its Init, read by GetDot and
// PutDot). The A and B sets are the same code on separate bindings, so one
// map can be read while another is written. A binding reads the map's fields
// only at Init: a map that is reallocated must be bound again. The accessors
// do not check coordinates; callers keep them inside the bound map.
#pragma once

#include "pixel/SysPix.h"
#include "platform/Types.h"

// 8-bit maps.
void Asm32_PixA_Init(PixMapPtr pix_arg);
void Asm32_PixB_Init(PixMapPtr pix_arg);
uint8 Asm32_PixA_GetDot(int16 col_arg, int16 row_arg);
uint8 Asm32_PixB_GetDot(int16 col_arg, int16 row_arg);
void Asm32_PixA_PutDot(int16 col_arg, int16 row_arg, uint8 val);
void Asm32_PixB_PutDot(int16 col_arg, int16 row_arg, uint8 val);

// 16-bit maps.
void Asm32_Pix16A_Init(PixMapPtr pix_arg);
void Asm32_Pix16B_Init(PixMapPtr pix_arg);
uint16 Asm32_Pix16A_GetDot(int16 col_arg, int16 row_arg);
uint16 Asm32_Pix16B_GetDot(int16 col_arg, int16 row_arg);
void Asm32_Pix16A_PutDot(int16 col_arg, int16 row_arg, uint16 val);
void Asm32_Pix16B_PutDot(int16 col_arg, int16 row_arg, uint16 val);

// 24- and 32-bit maps. A 24-bit map reads as blue, green, red with alpha 0
// and is written without its alpha.
void Asm32_Pix32A_Init(PixMapPtr pix_arg);
void Asm32_Pix32B_Init(PixMapPtr pix_arg);
void Asm32_Pix32A_GetDot(int16 col_arg, int16 row_arg, a_pixel32* result_arg);
void Asm32_Pix32B_GetDot(int16 col_arg, int16 row_arg, a_pixel32* result_arg);
void Asm32_Pix32A_PutDot(int16 col_arg, int16 row_arg, const a_pixel32* val);
void Asm32_Pix32B_PutDot(int16 col_arg, int16 row_arg, const a_pixel32* val);

// 1-bit maps: GetDot gives 0 or 1; PutDot clears for 0, sets for any other value.
void Asm32_BitA_Init(PixMapPtr pix_arg);
void Asm32_BitB_Init(PixMapPtr pix_arg);
uint8 Asm32_BitA_GetDot(int16 col_arg, int16 row_arg);
uint8 Asm32_BitB_GetDot(int16 col_arg, int16 row_arg);
void Asm32_BitA_PutDot(int16 col_arg, int16 row_arg, uint8 val);
void Asm32_BitB_PutDot(int16 col_arg, int16 row_arg, uint8 val);

// Smallest rectangle within *search_arg (map coordinates) holding every set
// bit (1-bit) or non-zero byte (8-bit), in map coordinates; all four fields 0
// when there is none. The search is limited to the map's bounds.
void Asm32_PixMap1_Bounding(PixMapPtr pix_arg, const Rect* search_arg, Rect* bounding_arg);
void Asm32_PixMap8_Bounding(PixMapPtr pix_arg, const Rect* search_arg, Rect* bounding_arg);

// Every fore pixel under a set mask bit that equals the back map's pixel at
// the same coordinates becomes 255 and its mask bit is cleared. Works on the
// area the three maps share.
void Asm32_PixMap8_Subtract(PixMapPtr mask_pix_arg, PixMapPtr fore_pix_arg, PixMapPtr back_pix_arg);

// Colour-table entry: red, green, blue and a flag byte (1 = not to be matched).
struct RGB32 {
  uint8 red, green, blue, flag;
};
static_assert(sizeof(RGB32) == 4);

// inverse_arg[c] for every 15-bit colour c (red in bits 10-14) := index of
// the nearest of the 256 entries by squared distance of 5-bit channels, the
// lower index on ties, flagged entries left out (0 when all are flagged).
void Asm32_Calc_Inverse(const RGB32* color_arg, uint8* inverse_arg);

// aa x bb / cc with the product in 32 (64) bits, the quotient truncated
// toward zero. A zero cc gives 0 and a quotient beyond the result's range is
// clamped to it, where the machine instruction would fault.
int16 Asm32_Fraction(int16 aa, int16 bb, int16 cc);
int32 Asm32_Fraction32(int32 aa, int32 bb, int32 cc);

void Asm32_FillBytes(void* buffer, uint32 buflen, uint8 bufval);
// Copies len bytes; overlapping ranges are copied exactly in either direction.
void Asm32_BlockMove(const void* src, void* dst, uint32 len);
