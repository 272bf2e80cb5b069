// Stored pictures ("pixtures"): picture-library objects holding pixel rows.
//
// Object layout (big-endian):
//   0  2  row bytes (int16)      2  2  width (int16)     4  2  height (int16)
//   6  1  flags (PIXT_FLAG_*)    7  1  depth: 8, 16 or 32
//   8     the rows (row bytes x height), raw or packed as the flags say
// 16-bit pixels are big-endian 0RRRRRGGGGGBBBBB; 32-bit pixels are stored
// as the bytes alpha, red, green, blue.
#pragma once

#include "platform/SysErr.h"
#include "platform/Types.h"

constexpr int16 PIXT_KEY_FAMILY = 12;  // a stored picture by id has the key (12, id, 0, 0)
constexpr int32 PIXT_HEADER_SIZE = 8;

constexpr uint8 PIXT_FLAG_TRANSPARENT = 0x02;
constexpr uint8 PIXT_FLAG_RLE = 0x04;
constexpr uint8 PIXT_FLAG_LZW = 0x10;
constexpr uint8 PIXT_FLAG_JPEG = 0x20;
constexpr uint8 PIXT_FLAG_GRAY_WHITE0 = 0x40;  // grey table, index 0 white
constexpr uint8 PIXT_FLAG_GRAY_BLACK0 = 0x80;  // grey table, index 0 black

// The stored picture of the About box; a library without it is out of date.
constexpr int16 PIXT_ABOUT_ID = 1000;

// The key of stored picture id.
inline a_keyset Pixt_Key(int16 id) { return a_keyset{PIXT_KEY_FAMILY, id, 0, 0}; }

// TRUE when an open picture library holds stored picture id.
bool8 Pixt_Exists(int16 id);
