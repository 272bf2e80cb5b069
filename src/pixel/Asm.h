// Single bits and bit fields in byte buffers, zero fills, the lagged additive
// random streams and the random dot mask of the spray can.
//
// Bit n of a buffer lies in byte n div 8 under the mask 0x80 >> (n mod 8):
// bit 0 is the most significant bit of the first byte. A bit field of n bits
// at position p holds its top bit at bit p and its lowest at bit p + n - 1.
// The routines take raw addresses; callers keep the bits inside their buffers.
#pragma once

#include "pixel/Fast.h"
#include "pixel/SysPix.h"
#include "platform/Types.h"

bool GetBit(const void* buf, uint32 bit);
void PutBit(void* buf, uint32 bit, bool val);
// val := the field of nbits bits at pos (nbits 0 means 32; more than 32 is
// read as 32).
void BFEXT(const void* buf, uint32 pos, uint16 nbits, uint32& val);
// Writes the low nbits bits of val as a field at pos (0 means 32).
void BFINS(uint32 val, void* buf, uint32 pos, uint16 nbits);
void FillZero(void* buffer, int32 length);

// The next 16-bit value of a stream seeded by Init_RandRec.
uint16 RandomCardU(a_rand_rec& rand);
// A value from minval to maxval inclusive; a full 65,536-wide range gives minval.
int16 RandomRangeU(int16 minval, int16 maxval, a_rand_rec& rand);
// Sets up to nones random bits inside the disc of `radius` centred in the
// 1-bit map `mask` ((2 x radius + 1) pixels square). Bits are only set, so
// the caller clears the mask first. Larger `spread` crowds the dots toward
// the centre.
void GenRandomMask(uint16 nones, int16 spread, int16 radius, PixMapPtr mask, a_rand_rec& rand);
