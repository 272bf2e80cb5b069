// The render cache: renderings keyed by rendering record and purpose, and the basis
// pictures of image files, the clipboard and collages.
#include <algorithm>
#include <cstring>
#include <limits>

#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "platform/Palettes.h"
#include "platform/QDRect.h"
#include "platform/SysVideo.h"
#include "platform/VoskErr.h"

namespace {

// Entries 1 .. kCacheEntries (g_list[0] unused), the highest entry ever
// used, the recency counter, bytes held, the byte budget, the next source id.
a_cache_item* g_list = nullptr;
int32 g_highx = 0;
uint32 g_lru = 0;
int64 g_used = 0;
int64 g_limit = kCacheMinLimit;
uint16 g_nextid = kFirstSID;

// Alert 16: "Sorry, there is not enough memory to do this."
constexpr int16 kAlertNoMemory = 16;

// A rendering that found no entry to live in (every entry holds a basis
// picture). The caller may use it until its next call into the cache, so it
// is kept here until then.
a_cache_result g_unstored{};
bool g_has_unstored = false;

void Drop_Unstored() {
  if (!g_has_unstored) return;
  Dispose_Cache_Result(g_unstored);
  g_has_unstored = false;
}

constexpr uint32 kPaletteTriplets = 768;
constexpr uint32 kCanvasCTabBytes = 2056;

// The pixture's pixels as a new world of its depth, colour table and bounds;
// the pixture is unloaded.
GWorldPtr Pixt_World(a_pixt& pixt) {
  GWorldPtr w = nullptr;
  New_GWorldF("Cache_Get/kpixt", pixt.pixmap.bounds, pixt.pixmap.pixelSize, pixt.pixmap.pmTable, w);
  if (w != nullptr) {
    Pixt_Lock(pixt);
    PixMapPtr d = Get_GWorld_PixMap(w);
    const PixMap& s = pixt.pixmap;
    if (s.baseAddr != nullptr && d->baseAddr != nullptr) {
      const size_t n = std::min(PixMap_RowBytes(s), PixMap_RowBytes(*d));
      for (int32 y = 0; y < s.bounds.bottom - s.bounds.top; ++y)
        std::memcpy(d->baseAddr + size_t(y) * PixMap_RowBytes(*d), s.baseAddr + size_t(y) * PixMap_RowBytes(s), n);
    }
    Pixt_Unlock(pixt);
  }
  Pixt_Unload(pixt);
  return w;
}

// The basis of a library picture: its pixels, or the missing-picture
// pattern over the record's subset when the library has no usable picture.
void Database_Basis(const a_spec& spec, a_masked_gworld& basis) {
  Null_MW(basis);
  a_pixt pixt{};
  if (OP_Exists(spec.source.key) && KPixt_Load_Checked(spec.source.key, pixt) == PIXT_OK) {
    basis.bounds = pixt.pixmap.bounds;
    if (spec.source.key.a == 1 && pixt.pixmap.pixelSize == 8) {
      GWorldPtr canv8 = Pixt_World(pixt);
      Canvas8_To_32(spec.source.key, canv8, basis.fore);
      Dispose_GWorld(canv8);
    } else {
      basis.fore = Pixt_World(pixt);
    }
    return;
  }
  Pixt_Unload(pixt);
  // A damaged picture is shown like a missing one rather than stopping the program.
  basis.bounds = EmptyRect(spec.subset) ? kMissingBasis : spec.subset;
  New_GWorldF("Cache_Get2", basis.bounds, 32, nullptr, basis.fore);
  Push_GWorld(basis.fore);
  g_missing_pattern_proc(basis.bounds);
  Pop_GWorld();
}

void No_Missing_Pattern(const Rect&) {}

}  // namespace

void (*g_missing_pattern_proc)(const Rect& dest) = No_Missing_Pattern;

// ---------------------------------------------------------------------------
// Sizes and results
// ---------------------------------------------------------------------------

int32 PixMap_Size(const PixMap& pix) {
  if (pix.baseAddr == nullptr) return 0;
  const int64 n = int64(pix.bounds.bottom - pix.bounds.top) * int64(PixMap_RowBytes(pix));
  return int32(std::min<int64>(n, std::numeric_limits<int32>::max()));
}

int32 GWorld_Size(GWorldPtr g) {
  if (g == nullptr) return 0;
  return PixMap_Size(*Get_GWorld_PixMap(g));
}

int32 MW_Size(const a_masked_gworld& mw) {
  return int32(std::min<int64>(int64(GWorld_Size(mw.fore)) + GWorld_Size(mw.mask), std::numeric_limits<int32>::max()));
}

void Null_Cache_Result(a_cache_result& outc) {
  Null_MW(outc.body);
  Null_MW(outc.shad);
  outc.union_ = Rect{0, 0, 0, 0};
  outc.raw = nullptr;
}

void Dispose_Masked_World(a_masked_gworld& mw) {
  Dispose_GWorld(mw.fore);
  Dispose_GWorld(mw.mask);
}

void Dispose_Cache_Result(a_cache_result& c) {
  Dispose_MW(c.body);
  Dispose_MW(c.shad);
  Dispose_Handle(c.raw);
}

void Dump_Cache() {}

uint16 Calc_Next_SID() { return g_nextid++; }

void Reset_Next_SID() { g_nextid = kFirstSID; }

const a_cache_item* Cache_Entry(int32 ix) {
  return g_list != nullptr && ix >= 1 && ix <= kCacheEntries ? &g_list[ix] : nullptr;
}
int32 Cache_Highest() { return g_highx; }
int64 Cache_Bytes_Used() { return g_used; }
int64 Cache_Byte_Limit() { return g_limit; }
void Cache_Set_Byte_Limit(int64 limit) { g_limit = limit; }

// ---------------------------------------------------------------------------
// Entries
// ---------------------------------------------------------------------------

void Cache_Init() {
  if (g_list == nullptr) {
    g_list = new (std::nothrow) a_cache_item[kCacheEntries + 1];
    if (g_list == nullptr) {
      g_err_mem_proc(uint32(sizeof(a_cache_item) * (kCacheEntries + 1)));
      return;
    }
  }
  for (int32 i = 0; i <= kCacheEntries; ++i) {
    std::memset(&g_list[i], 0, sizeof(a_cache_item));
    g_list[i].lru = kFreeLRU;
  }
  g_lru = 0;
  g_highx = 0;
  g_used = 0;
  g_has_unstored = false;
  g_limit = std::max<int64>(int64(Calc_Physical_MB() / 2) * 1000000, kCacheMinLimit);
}

void Cache_Stop() {
  Cache_Clear();
  Drop_Unstored();
  delete[] g_list;
  g_list = nullptr;
  g_highx = 0;
}

bool8 Purposes_Compatible(a_cache_purpose targ_purpose, a_cache_purpose cache_purpose) {
  return (targ_purpose == FOR_COLLAGE) == (cache_purpose == FOR_COLLAGE);
}

void Cache_Del(int32 ix) {
  if (g_list == nullptr || ix < 1 || ix > g_highx) return;
  a_cache_item& e = g_list[ix];
  if (e.lru == kFreeLRU) return;
  g_used -= e.size;
  e.lru = kFreeLRU;
  Dispose_Cache_Result(e.c);
  e.spec.source.sid = 0;
  e.spec.source.kind = SOURCE_NULL;
  e.size = 0;
}

int32 Drop_LRU() {
  int32 best = 0;
  for (int32 i = 1; i <= g_highx; ++i) {
    const a_cache_item& e = g_list[i];
    if (e.discardable && e.lru != kFreeLRU && (best == 0 || e.lru < g_list[best].lru)) best = i;
  }
  if (best != 0) Cache_Del(best);
  return best;
}

void Make_Room(int64 needed) {
  if (g_used + needed <= g_limit) return;
  const int64 target = std::max<int64>(g_limit - needed, 0);
  while (g_used > target)
    if (Drop_LRU() == 0) break;
}

void Flush_Discardable() { Make_Room(500000000); }

int32 Find_Unused(int64 newsize) {
  Make_Room(newsize);
  for (int32 i = 1; i <= g_highx; ++i)
    if (g_list[i].lru == kFreeLRU) {
      g_used += newsize;
      return i;
    }
  int32 ix = 0;
  if (g_highx < kCacheEntries)
    ix = ++g_highx;
  else
    ix = Drop_LRU();
  // Counted only when it has an entry: a rendering that cannot be stored
  // holds no bytes of the cache.
  if (ix != 0) g_used += newsize;
  return ix;
}

bool8 Find_Basis(uint16 targid, int32& ix) {
  for (int32 i = 1; i <= g_highx; ++i)
    if (g_list[i].basis && g_list[i].lru != kFreeLRU && g_list[i].spec.source.sid == targid) {
      ix = i;
      return true;
    }
  ix = 0;
  return false;
}

bool8 Cache_Find(bool8 subsetf, a_cache_purpose purpose, a_spec& spec) {
  Clean_Spec(spec);
  auto matches = [&](int32 i) {
    const a_cache_item& e = g_list[i];
    return e.lru != kFreeLRU && Equal_Spec(subsetf, e.spec, spec) && (subsetf || !e.discardable) &&
           Purposes_Compatible(purpose, e.purpose);
  };
  if (spec.hintx >= 1 && spec.hintx <= g_highx && matches(spec.hintx)) return true;
  for (int32 i = 1; i <= g_highx; ++i)
    if (matches(i)) {
      spec.hintx = i;
      return true;
    }
  return false;
}

void Cache_Clear1(uint16 targsid) {
  Drop_Unstored();
  for (int32 i = 1; i <= g_highx; ++i)
    if (g_list[i].lru != kFreeLRU && g_list[i].spec.source.sid == targsid) Cache_Del(i);
}

void Cache_Clear() {
  Drop_Unstored();
  for (int32 i = 1; i <= g_highx; ++i) Cache_Del(i);
}

// ---------------------------------------------------------------------------
// Getting and inserting
// ---------------------------------------------------------------------------

void Cache_Get2(a_cache_purpose targpurpose, a_spec& targspec, a_cache_result& outc) {
  int32 ix = 0;
  if (Cache_Find(true, targpurpose, targspec)) {
    ix = targspec.hintx;
    outc = g_list[ix].c;
  } else {
    Null_Cache_Result(outc);
    if (targspec.source.kind == SOURCE_DATABASE) {
      a_masked_gworld basis;
      Database_Basis(targspec, basis);
      Apply_Effects(targpurpose, targspec, basis, outc.body, outc.shad);
      Dispose_MW(basis);
    } else {
      int32 bx = 0;
      // No basis (a photo whose file was not found): an empty body, which
      // the designer shows as the missing-picture pattern on screen and
      // leaves out of print. Nothing is stored.
      if (!Find_Basis(targspec.source.sid, bx)) return;
      Apply_Effects(targpurpose, targspec, g_list[bx].c.body, outc.body, outc.shad);
    }
    const int64 size = int64(MW_Size(outc.body)) + MW_Size(outc.shad);
    if (EmptyRect(outc.shad.bounds))
      outc.union_ = outc.body.bounds;
    else
      UnionRect(outc.body.bounds, outc.shad.bounds, outc.union_);
    if (targpurpose != FOR_SIZING) {
      ix = Find_Unused(size);
      if (ix == 0) {
        g_unstored = outc;
        g_has_unstored = true;
        return;
      }
      targspec.hintx = ix;
      a_cache_item& e = g_list[ix];
      e.lru = 0;
      e.size = int32(std::min<int64>(size, std::numeric_limits<int32>::max()));
      e.spec = targspec;
      e.c = outc;
      e.discardable = true;
      e.basis = false;
      e.purpose = targpurpose;
    }
  }
  if (ix != 0 && g_list[ix].lru < kBasisLRU) g_list[ix].lru = ++g_lru;
}

void Cache_Get(a_cache_purpose purpose, a_spec& targspec, a_cache_result& c) {
  if (g_list == nullptr) Cache_Init();
  Drop_Unstored();
  switch (purpose) {
    case FOR_SAVING: {
      int32 ix = 0;
      Null_Cache_Result(c);
      if (Find_Basis(targspec.source.sid, ix)) c = g_list[ix].c;  // else nothing to save
      return;
    }
    case FOR_PRINTING: {
      a_spec copy = targspec;
      Cache_Get2(purpose, copy, c);
      return;
    }
    default: Cache_Get2(purpose, targspec, c); return;
  }
}

bool8 Cache_Insert_External(a_source_desc& new_source, a_masked_gworld new_body, Handle new_raw) {
  if (g_list == nullptr) Cache_Init();
  Drop_Unstored();
  new_source.sid = Calc_Next_SID();
  a_spec spec;
  Null_Spec(spec);
  spec.source = new_source;
  spec.subset = new_body.bounds;
  Clean_Spec(spec);
  const int64 size = int64(GWorld_Size(new_body.fore)) + GWorld_Size(new_body.mask) + Handle_GetSize(new_raw);
  const int32 ix = Find_Unused(size);
  if (ix == 0) {
    // Every entry holds a basis picture: there is nowhere to keep this one,
    // so the import is refused.
    Dispose_MW(new_body);
    Dispose_Handle(new_raw);
    new_source.sid = 0;
    OK_Alert(false, kAlertNoMemory);
    return false;
  }
  a_cache_item& e = g_list[ix];
  ++g_lru;
  e.lru = kBasisLRU + g_lru;
  e.size = int32(std::min<int64>(size, std::numeric_limits<int32>::max()));
  e.spec = spec;
  e.c.body = new_body;
  Null_MW(e.c.shad);
  e.c.union_ = new_body.bounds;
  e.c.raw = new_raw;
  e.discardable = false;
  e.basis = true;
  e.purpose = FOR_PRINTING;
  return true;
}

void Canvas8_To_32(const a_keyset& key, GWorldPtr canv8, GWorldPtr& canv32) {
  canv32 = nullptr;
  if (canv8 == nullptr) return;
  Lock_GWorld(canv8);
  Rect b;
  Get_GWorld_Bounds(canv8, b);
  New_GWorldF("Canvas8_To_32", b, 32, nullptr, canv32);
  PixMapPtr pm = Get_GWorld_PixMap(canv8);
  const CTabHandle old_table = pm->pmTable;
  CTabHandle table = nullptr;
  Ptr triplets = OP_Lock(a_keyset{4, key.b, key.c, key.d});
  if (triplets != nullptr) {
    HPALETTE pal = Palette_From_Triplets(
        std::span<const uint8>(reinterpret_cast<const uint8*>(triplets), Ptr_GetSize(triplets)));
    OP_Unlock(triplets);
    if (pal != nullptr) {
      table = New_Handle(kCanvasCTabBytes);
      if (table == nullptr) {
        DisposePalette(pal);
        g_err_mem_proc(kCanvasCTabBytes);
        Unlock_GWorld(canv8);
        return;
      }
      Palette2CTab(pal, table);
      DisposePalette(pal);
      pm->pmTable = table;
    }
  }
  // Without its palette the canvas keeps the colours of its own table.
  ForeColor(1);
  BackColor(0);
  Port_To_Port(canv8, canv32, b, b, 0, nullptr);
  pm->pmTable = old_table;
  Dispose_Handle(table);
  Unlock_GWorld(canv8);
}
