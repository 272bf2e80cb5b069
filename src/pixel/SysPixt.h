// Stored pictures ("pixtures"): picture-library objects holding pixel rows.
//
// Object layout (big-endian):
//   0  2  row bytes (int16)      2  2  width (int16)     4  2  height (int16)
//   6  1  flags (PIXT_FLAG_*)    7  1  depth: 8, 16 or 32
//   8     the rows (row bytes x height), raw or packed as the flags say
// 16-bit pixels are big-endian 0RRRRRGGGGGBBBBB; 32-bit pixels are stored
// as the bytes alpha, red, green, blue.
//
// Packing is chosen by the first packing flag set in the order JPEG,
// run-length, LZW; with none the rows are raw. Run-length data opens with its
// unpacked length as a little-endian 32-bit value (the one little-endian field
// of the object).
//
// Loading copies the object out of the library, expands its rows into a
// movable block and turns them into the in-memory layout (16-bit values
// little-endian, 32-bit pixels blue, green, red, alpha) once, in place.
//
// Every field of the header is checked against the object's length before
// anything is allocated or written: a picture whose rows would not fit its
// object, whose packed data do not expand to its rows, or whose size or depth
// makes no sense is refused as damaged.
#pragma once

#include "pixel/SysPix.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
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

// Resource type reported with a missing or damaged stored picture.
constexpr OSType kPixtType = FourCC("PIXT");

// Transfer modes a pixture is drawn with.
constexpr int16 PIXT_MODE_COPY = 0;          // srcCopy
constexpr int16 PIXT_MODE_TRANSPARENT = 36;  // transparent: white left out

// The key of stored picture id.
inline a_keyset Pixt_Key(int16 id) { return a_keyset{PIXT_KEY_FAMILY, id, 0, 0}; }

// A stored picture in memory. Owned by its user (a module variable or a field
// of a larger record); bracket every pixel access with Pixt_Lock/Pixt_Unlock.
struct a_pixt {
  a_keyset key;   // the library key of the object
  int16 mode;     // PIXT_MODE_TRANSPARENT when the object has the transparent flag
  Handle bits;    // the expanded pixels; NIL when not loaded
  a_pixt* next;   // links of the discard ring
  a_pixt* prev;
  uint32 ref;     // recency stamp in the discard ring; 0 when not in it
  uint32 len;     // size of bits when it entered the ring
  PixMap pixmap;  // bounds (0, 0, height, width); baseAddr set only while locked
};

// The discard ring of purgeable pixtures.
struct a_discard_rec {
  uint32 nextref;  // next recency stamp, never 0
  a_pixt* first;   // any member of the circular ring, NIL when empty
  uint32 used;     // bytes of all members
};
extern a_discard_rec g_discard;
extern uint32 pixt_cache_limit;  // byte budget of the ring
constexpr uint32 kPixtCacheLimit = 500000;

// Result of the checked loader.
enum a_pixt_result : int16 {
  PIXT_OK = 0,
  PIXT_MISSING = 1,  // no open pool holds the key
  PIXT_DAMAGED = 2,  // the object is not a stored picture we can expand
  PIXT_NOMEM = 3,    // no block for the pixels
};

// Module start-up: empty ring, budget 500,000 bytes.
void SysPixt_Init();

// key := (12, id, 0, 0), bits := NIL, then KPixt_Reload.
void Pixt_Load(int16 id, a_pixt& pixt);
// key := key, bits := NIL, then KPixt_Reload.
void KPixt_Load(const a_keyset& key, a_pixt& pixt);
// Pixels still present (not purged): pins them (Pixt_NoPurge) without reading
// the library. Otherwise loads them: a missing object calls g_err_key_proc
// ("PIXT", key), a damaged one too (the picture cannot be had either way), and
// no memory g_err_mem_proc. Should a hook return, the pixture is left unloaded.
void KPixt_Reload(a_pixt& pixt);
// The loader under KPixt_Reload without the hooks: loads key into pixt (whose
// old pixels are not freed, as with KPixt_Load) and tells what went wrong.
// On any failure pixt is unloaded: bits NIL, bounds empty.
a_pixt_result KPixt_Load_Checked(const a_keyset& key, a_pixt& pixt);
// Expands one stored-picture object held in memory (the bytes a library lock
// gives) into pixt; key is only recorded. The rest as KPixt_Load_Checked.
a_pixt_result Pixt_Load_Bytes(const a_keyset& key, const uint8* obj, uint32 obj_len, a_pixt& pixt);

// TRUE when an open picture library holds stored picture id.
bool8 Pixt_Exists(int16 id);
// Frees the pixels (leaving the ring first); bits := NIL.
void Pixt_Unload(a_pixt& pixt);
// Locks the pixels and sets the map's base address; reloads first when they
// were purged (or never loaded); renews the recency stamp when in the ring.
void Pixt_Lock(a_pixt& pixt);
void Pixt_Unlock(a_pixt& pixt);
// Pins the pixels and takes the pixture out of the ring.
void Pixt_NoPurge(a_pixt& pixt);
// Makes the pixels purgeable and enters the pixture into the ring.
void Pixt_Purge(a_pixt& pixt);
// Clears every field.
void Null_Pixt(a_pixt& pixt);

// Stored byte order to memory byte order, in place. Depth 8 is left alone;
// any depth other than 8, 16 or 32 calls QUIT.
void Mac_Win_PixMap(PixMap& p);
void Mac_Win_PixMap16(Ptr base, int16 width, int16 height, uint32 rowb);
void Mac_Win_PixMap32(Ptr base, int16 width, int16 height, uint32 rowb);

// The discard ring.
void Discard_Del(a_pixt& p);
a_pixt* Discard_LRU();
void Discard_Add(a_pixt& p);
void Dump_Discard();
