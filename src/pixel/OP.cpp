#include "pixel/OP.h"

#include <climits>
#include <cstring>

#include "host/HostByteOrder.h"
#include "platform/SysMem.h"
#include "platform/SysSound.h"

namespace {

struct a_op_file {
  a_fd fd;
  uint16 nkeys;
  a_map_item* map;  // nkeys items, host order; a block from New_Ptr (NIL when nkeys is 0)
};

struct a_cache_item {
  uint16 cfilex;  // pool of the locked object
  uint16 cmapx;   // its map item
  Ptr cobj;       // the block handed out; NIL marks a free slot
};

// Pools occupy slots 1 .. nfiles (files[0] is slot 1), in the order opened.
a_op_file files[OP_MAX_FILES];
uint16 nfiles = 0;
a_cache_item cache[OP_MAX_LOCKS];

const a_map_item& Item(uint16 filex, int32 mapx) { return files[filex - 1].map[mapx - 1]; }

// Binary search in one pool. On a hit mapx is the item; on a miss it is the
// first item above the key, or the last item when every item is below it.
// With no items the result is false and mapx is left alone.
bool Map_Find1(const a_keyset& key, uint16 filex, int32& mapx) {
  const a_op_file& f = files[filex - 1];
  if (f.nkeys == 0) return false;
  int32 l = 1, r = f.nkeys, m = 1;
  int16 c = 0;
  do {
    m = (l + r) / 2;
    c = Compare_Keys(key, f.map[m - 1].key);
    if (c < 0) {
      r = m - 1;
    } else {
      l = m + 1;
    }
  } while (c != 0 && l <= r);
  mapx = m;
  if (c > 0 && m < int32(f.nkeys)) mapx = m + 1;
  return c == 0;
}

// All pools, the one opened last first.
bool Map_Find(const a_keyset& key, uint16& filex, int32& mapx) {
  for (uint16 fx = nfiles; fx >= 1; --fx) {
    if (Map_Find1(key, fx, mapx)) {
      filex = fx;
      return true;
    }
  }
  return false;
}

int Cache_Find_Unused() {
  for (int i = 0; i < OP_MAX_LOCKS; ++i) {
    if (cache[i].cobj == nullptr) return i;
  }
  return -1;
}

int Cache_Find_Object(Ptr targ) {
  for (int i = 0; i < OP_MAX_LOCKS; ++i) {
    if (cache[i].cobj == targ) return i;
  }
  return -1;
}

// Number of fixed leading parts of a partial key: the position of the first
// WILDCARD part, or -1 when there is none.
int Key_Level(const a_keyset& k) {
  if (k.a == WILDCARD) return 0;
  if (k.b == WILDCARD) return 1;
  if (k.c == WILDCARD) return 2;
  if (k.d == WILDCARD) return 3;
  return -1;
}

bool Match_Level(const a_keyset& k, const a_keyset& basis, int level) {
  if (level > 0 && k.a != basis.a) return false;
  if (level > 1 && k.b != basis.b) return false;
  if (level > 2 && k.c != basis.c) return false;
  return true;
}

// Reads and checks the map of an open file; the map block on success.
// Every check that bounds an allocation or a later read is made before it.
a_openfile_result Read_Map(a_fd fd, uint32 filesize, uint16 nkeys, a_map_item*& out) {
  out = nullptr;
  const uint64 map_bytes = uint64(nkeys) * OP_MAP_ITEM_SIZE;
  if (uint64(OP_HEADER_SIZE) + map_bytes > filesize) return OPEN_INVALID;
  if (nkeys == 0) return OPEN_OKAY;

  Ptr block = New_Ptr(uint32(map_bytes));
  if (block == nullptr) {
    g_err_mem_proc(uint32(map_bytes));
    return OPEN_INVALID;
  }
  if (File_SetPos(fd, OP_HEADER_SIZE) != noErr || File_Read(fd, block, uint32(map_bytes)) != noErr) {
    Dispose_Ptr(block);
    return OPEN_INVALID;
  }

  // Byte-swap in place, checking each item as it is converted.
  auto* map = reinterpret_cast<a_map_item*>(block);
  for (uint16 i = 0; i < nkeys; ++i) {
    const uint8* p = reinterpret_cast<const uint8*>(block) + size_t(i) * OP_MAP_ITEM_SIZE;
    a_map_item it;
    it.key.a = int16(Load_BE16(p + 0));
    it.key.b = int16(Load_BE16(p + 2));
    it.key.c = int16(Load_BE16(p + 4));
    it.key.d = int16(Load_BE16(p + 6));
    it.pos = int32(Load_BE32(p + 8));
    it.len = int32(Load_BE32(p + 12));
    it.cachex = Load_BE16(p + 16);
    it.priority = p[18];
    it.flags = p[19];
    const bool inside =
        it.pos >= 0 && it.len >= 0 && uint64(uint32(it.pos)) + uint64(uint32(it.len)) <= filesize;
    const bool ascending = i == 0 || Compare_Keys(map[i - 1].key, it.key) < 0;
    if (!inside || !ascending) {
      Dispose_Ptr(block);
      return OPEN_INVALID;
    }
    std::memcpy(&map[i], &it, sizeof it);
  }
  out = map;
  return OPEN_OKAY;
}

}  // namespace

void OP_Init() {
  // Sound effects are objects of the library.
  g_sound_library = a_sound_library{OP_Size, OP_Lock, OP_Unlock};
  nfiles = 0;
  for (a_op_file& f : files) f = a_op_file{NULL_FD, 0, nullptr};
  for (a_cache_item& c : cache) c = a_cache_item{0, 0, nullptr};
}

void OP_Stop() {
  for (uint16 fx = 1; fx <= nfiles; ++fx) {
    a_op_file& f = files[fx - 1];
    File_Close(f.fd);
    Ptr block = reinterpret_cast<Ptr>(f.map);
    Dispose_Ptr(block);
    f = a_op_file{NULL_FD, 0, nullptr};
  }
  nfiles = 0;
}

uint16 OP_Pool_Count() { return nfiles; }

a_openfile_result OP_OpenFile(const FSSpec& path) {
  if (nfiles >= OP_MAX_FILES) return OPEN_TOOMANY;
  a_fd fd = File_Open(path, GENERIC_READ);
  if (Is_Null_Fd(fd)) return OPEN_NOTFOUND;

  a_openfile_result result = OPEN_INVALID;
  a_map_item* map = nullptr;
  uint8 hdr[OP_HEADER_SIZE];
  if (File_Read(fd, hdr, sizeof hdr) == noErr) {
    const uint32 version = Load_BE32(hdr + 4);
    const uint32 filesize = Load_BE32(hdr + 8);
    const uint16 nkeys = Load_BE16(hdr + 12);
    const int32 eof = File_GetEOF(fd);
    // File_GetEOF reads sizes of 2 GiB and more as INT32_MAX; no library is
    // that large, so such a file is refused rather than half-measured.
    if (std::memcmp(hdr, "[ED]", 4) == 0 && version == OP_VERSION && eof >= 0 &&
        eof < INT32_MAX && filesize == uint32(eof)) {
      result = Read_Map(fd, filesize, nkeys, map);
    }
    if (result == OPEN_OKAY) {
      files[nfiles] = a_op_file{fd, nkeys, map};
      ++nfiles;
      return OPEN_OKAY;
    }
  }
  File_Close(fd);
  return result;
}

bool8 OP_Exists(const a_keyset& key) {
  uint16 filex = 0;
  int32 mapx = 0;
  return Map_Find(key, filex, mapx);
}

int32 OP_Size(const a_keyset& key) {
  uint16 filex = 0;
  int32 mapx = 0;
  if (!Map_Find(key, filex, mapx)) return 0;
  return Item(filex, mapx).len;
}

Ptr OP_Lock(const a_keyset& key) {
  uint16 filex = 0;
  int32 mapx = 0;
  if (!Map_Find(key, filex, mapx)) return nullptr;
  // A fourth lock is a caller's fault; find out before reading anything.
  const int slot = Cache_Find_Unused();
  if (slot < 0) {
    QUIT();
    return nullptr;
  }
  const a_map_item& it = Item(filex, mapx);
  Ptr obj = New_Ptr(uint32(it.len));
  if (obj == nullptr) {
    g_err_mem_proc(uint32(it.len));
    return nullptr;
  }
  // The map was checked against the file's length at open, so a failure here
  // means the file changed or the disk failed under us: the object is
  // missing, which every caller reports and goes on from.
  const a_fd fd = files[filex - 1].fd;
  if (File_SetPos(fd, it.pos) != noErr || File_Read(fd, obj, uint32(it.len)) != noErr) {
    Dispose_Ptr(obj);
    return nullptr;
  }
  cache[slot] = a_cache_item{filex, uint16(mapx), obj};
  return obj;
}

void OP_Unlock(Ptr& obj_ptr) {
  if (obj_ptr == nullptr) return;
  const int slot = Cache_Find_Object(obj_ptr);
  if (slot < 0) {
    QUIT();
    return;
  }
  Dispose_Ptr(cache[slot].cobj);
  cache[slot] = a_cache_item{0, 0, nullptr};
  obj_ptr = nullptr;
}

int16 Compare_Keys(const a_keyset& key1, const a_keyset& key2) {
  const int16 p1[4] = {key1.a, key1.b, key1.c, key1.d};
  const int16 p2[4] = {key2.a, key2.b, key2.c, key2.d};
  for (int i = 0; i < 4; ++i) {
    if (p1[i] < p2[i]) return -1;
    if (p1[i] > p2[i]) return 1;
  }
  return 0;
}

bool8 Equal_Keys(const a_keyset& key1, const a_keyset& key2) { return Compare_Keys(key1, key2) == 0; }

void Null_Key(a_keyset& key) { key = a_keyset{0, 0, 0, 0}; }

bool8 Is_Null_Key(const a_keyset& key) {
  return key.a == 0 && key.b == 0 && key.c == 0 && key.d == 0;
}

bool8 Is_Multiple_Key(const a_keyset& key) {
  return key.a == WILDCARD || key.b == WILDCARD || key.c == WILDCARD || key.d == WILDCARD;
}

void Subset_Init(a_subset& subset, const a_keyset& wildcard) {
  // An empty family until found, so a subset left by a failed call counts 0.
  subset = a_subset{wildcard, 0, 0};
  if (nfiles == 0) {
    QUIT();
    return;
  }
  const int level = Key_Level(wildcard);
  if (level < 0) {
    QUIT();
    return;
  }
  // Search for the lowest key of the family: the free parts at their minimum,
  // so members with negative parts are not skipped.
  a_keyset k = wildcard;
  if (level <= 0) k.a = INT16_MIN;
  if (level <= 1) k.b = INT16_MIN;
  if (level <= 2) k.c = INT16_MIN;
  k.d = INT16_MIN;

  subset.filex = nfiles;
  int32 ix = 1;
  for (;;) {
    ix = 1;
    Map_Find1(k, subset.filex, ix);  // a miss still gives the insertion point
    const a_op_file& f = files[subset.filex - 1];
    const bool present =
        level == 0 || (f.nkeys > 0 && Match_Level(f.map[ix - 1].key, wildcard, level));
    if (present || subset.filex == 1) break;
    --subset.filex;
  }
  subset.firstx = int16(ix);  // at most 65535 items; see Subset_Count for the wrap
}

namespace {
// The first item of a subset as a 1-based index (firstx is stored in 16 bits).
int32 First_Index(const a_subset& subset) { return int32(uint16(subset.firstx)); }
}  // namespace

int16 Subset_Count(const a_subset& subset) {
  const int level = Key_Level(subset.basis);
  if (level < 0) {
    QUIT();
    return 0;
  }
  if (subset.filex < 1 || subset.filex > nfiles) return 0;
  const a_op_file& f = files[subset.filex - 1];
  int32 n = 0;
  for (int32 ix = First_Index(subset); ix >= 1 && ix <= int32(f.nkeys); ++ix) {
    if (!Match_Level(f.map[ix - 1].key, subset.basis, level)) break;
    ++n;
  }
  // The count is 16-bit; a family of more than 32767 members is cut there.
  return int16(n > INT16_MAX ? INT16_MAX : n);
}

void Subset_GetKey(const a_subset& subset, int16 index, a_keyset& key) {
  Null_Key(key);
  const int level = Key_Level(subset.basis);
  if (level < 0 || index < 1 || subset.filex < 1 || subset.filex > nfiles) {
    QUIT();
    return;
  }
  const a_op_file& f = files[subset.filex - 1];
  const int32 ix = First_Index(subset) + index - 1;
  // The family is contiguous from firstx, so an item inside the map that
  // still matches the basis is a member.
  if (ix < 1 || ix > int32(f.nkeys) || !Match_Level(f.map[ix - 1].key, subset.basis, level)) {
    QUIT();
    return;
  }
  key = f.map[ix - 1].key;
}
