// The picture library: read-only files of keyed objects (stored pictures,
// gradients, sounds, palettes, canvases, stamps ...). Each object is a run of
// bytes addressed by a four-part key (a_keyset).
//
// An opened file is a pool. Up to five pools can be open at once; a key is
// looked up in all of them, the pool opened last first, so a later file can
// override objects of an earlier one. The key map of every pool is kept in
// memory (host byte order); an object's bytes are read from the file each
// time it is locked.
//
// File layout (all integers big-endian):
//   0  4  signature "[ED]"
//   4  4  version, 3
//   8  4  file size, equal to the file's length
//  12  2  nkeys
//  14  20 x nkeys map items: key a b c d (4 x int16), pos (int32, absolute),
//         len (int32), cachex (uint16), priority (uint8), flags (uint8)
//  anywhere: the objects' bytes
//
// A file is accepted only when its map is whole: every item lies inside the
// file, the items are in strictly ascending key order (lookups are binary
// searches), and every object's position and length lie inside the file. So
// once a file is open, every lookup and every read stays within it.
#pragma once

#include "platform/SysErr.h"
#include "platform/SysIO.h"
#include "platform/Types.h"

// "Any" in a part of a partial key, for that part and every part after it.
constexpr int16 WILDCARD = 32000;

// Most pools open at once, and most objects locked at once.
constexpr uint16 OP_MAX_FILES = 5;
constexpr uint16 OP_MAX_LOCKS = 3;

constexpr uint32 OP_VERSION = 3;
constexpr int32 OP_HEADER_SIZE = 14;
constexpr int32 OP_MAP_ITEM_SIZE = 20;

// One map item, in host byte order once read.
struct a_map_item {
  a_keyset key;
  int32 pos;       // absolute file offset of the object's first byte
  int32 len;       // object length in bytes
  uint16 cachex;   // carried, not interpreted
  uint8 priority;  // carried, not interpreted
  uint8 flags;     // carried, not interpreted
};
static_assert(sizeof(a_keyset) == 8);
static_assert(sizeof(a_map_item) == 20);
static_assert(offsetof(a_map_item, pos) == 8);
static_assert(offsetof(a_map_item, len) == 12);
static_assert(offsetof(a_map_item, cachex) == 16);
static_assert(offsetof(a_map_item, priority) == 18);
static_assert(offsetof(a_map_item, flags) == 19);

enum a_openfile_result : int16 {
  OPEN_INVALID,   // not a library we can use: header, version, size or map wrong
  OPEN_NOTFOUND,  // the file cannot be opened
  OPEN_TOOMANY,   // five pools are open already
  OPEN_OKAY,
};

// A family of keys matching a partial key (filled by Subset_Init).
struct a_subset {
  a_keyset basis;  // the partial key
  uint16 filex;    // pool (1-based) whose map holds the family
  int16 firstx;    // map item (1-based) of the family's first member
};

// Module life: OP_Init before the first open; OP_Stop closes every pool.
void OP_Init();
void OP_Stop();

// Opens and verifies one library file and adds it as the next pool. A file
// that is refused leaves the pools as they were.
a_openfile_result OP_OpenFile(const FSSpec& path);

// Number of pools open.
uint16 OP_Pool_Count();

bool8 OP_Exists(const a_keyset& key);
int32 OP_Size(const a_keyset& key);  // 0 when no pool holds the key
// A new fixed block holding a copy of the object, or NIL when no pool holds
// the key or its bytes could not be read (the file changed or the disk
// failed since it was opened). Release it with OP_Unlock; at most three are out at once (a fourth
// is an internal error).
Ptr OP_Lock(const a_keyset& key);
// Frees a block from OP_Lock and sets obj_ptr to NIL. NIL does nothing; a
// block that OP_Lock did not hand out is an internal error.
void OP_Unlock(Ptr& obj_ptr);

// Key order: lexicographic on a, b, c, d, each a signed 16-bit number.
int16 Compare_Keys(const a_keyset& key1, const a_keyset& key2);
bool8 Equal_Keys(const a_keyset& key1, const a_keyset& key2);
void Null_Key(a_keyset& key);
bool8 Is_Null_Key(const a_keyset& key);
bool8 Is_Multiple_Key(const a_keyset& key);

// Families. Subset_Init finds the keys matching a partial key (at least one
// part WILDCARD; no open pool, or no wildcard part, is an internal error).
// The family lies within one pool: the last-opened pool whose map holds it.
void Subset_Init(a_subset& subset, const a_keyset& wildcard);
int16 Subset_Count(const a_subset& subset);
// The key of the family's index-th member (1-based). An index outside 1 ..
// Subset_Count is an internal error and gives the null key.
void Subset_GetKey(const a_subset& subset, int16 index, a_keyset& key);
