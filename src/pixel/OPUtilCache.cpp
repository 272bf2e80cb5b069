// The render cache: renderings keyed by rendering record and purpose, and the basis
// pictures of image files, the clipboard and collages.
#include <algorithm>
#include <cstring>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsQuik.h"
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

int32 Width(const Rect& r) { return int32(r.right) - r.left; }
int32 Height(const Rect& r) { return int32(r.bottom) - r.top; }

// A basis entry holds less than its whole picture.
bool Is_Reduced(const a_cache_item& e) {
  return e.basis && (Width(e.c.body.bounds) < Width(e.natural) || Height(e.c.body.bounds) < Height(e.natural));
}

// The fraction of its picture a rendering by its record needs: the larger of its
// scalings, at most the whole picture.
double Needed_Fraction(const a_spec& spec) {
  const int32 s = std::max(std::abs(int32(spec.scalingh)), std::abs(int32(spec.scalingv)));
  return std::min(1.0, s / 1000.0);
}

// The basis of entry e gives a rendering that needs fraction f of the picture.
bool Basis_Suffices(const a_cache_item& e, double f) {
  if (!Is_Reduced(e)) return true;
  return Width(e.c.body.bounds) >= int32(std::ceil(Width(e.natural) * f - 1e-9)) &&
         Height(e.c.body.bounds) >= int32(std::ceil(Height(e.natural) * f - 1e-9));
}

// Reads the picture of basis entry bx again at fraction f of its own size,
// from the bytes the entry keeps or else from its source's file, and puts
// it in place of the smaller basis. FALSE when neither can be read or they
// hold another picture: the entry is then not read again.
bool Reread_Basis(int32 bx, double f) {
  a_cache_item& e = g_list[bx];
  if (e.reread_failed || e.codec[0] == 0) return false;
  std::vector<uint8> file;
  const uint8* data = nullptr;
  size_t len = 0;
  if (e.c.raw != nullptr) {
    data = reinterpret_cast<const uint8*>(Handle_Lock(e.c.raw));
    len = Handle_GetSize(e.c.raw);
  } else if (e.spec.source.kind == SOURCE_EXTFILE && Scan_Read_File(e.spec.source.path, file)) {
    data = file.data();
    len = file.size();
  }
  auto scan = std::make_unique<a_picture_scan_rec>();
  Clear_Scan_Rec(*scan);
  Rect natural{};
  int16 r = QUIK_ERR_NO_IMPORTER;
  if (data != nullptr) {
    // Room for the larger basis first: renderings may go.
    Make_Room(int64(Width(e.natural)) * Height(e.natural) * 4 * f * f);
    const a_scan_want want{0, 0, int32(std::ceil(f * 1000.0 - 1e-9)), false};
    char codec[4];
    std::memcpy(codec, e.codec, 4);
    r = Scan_Quicktime_Codec_Reduced(codec, data, len, want, *scan, natural);
  }
  if (e.c.raw != nullptr) Handle_Unlock(e.c.raw);
  file.clear();
  file.shrink_to_fit();
  const bool larger = r == 0 && Width(scan->body.bounds) > Width(e.c.body.bounds);
  if (r != 0 || !(natural == e.natural) || !larger) {
    Dispose_MW(scan->body);
    e.reread_failed = true;
    return false;
  }
  g_used -= MW_Size(e.c.body);
  Dispose_MW(e.c.body);
  e.c.body = scan->body;
  e.c.union_ = e.c.body.bounds;
  g_used += MW_Size(e.c.body);
  e.size = int32(std::min<int64>(int64(MW_Size(e.c.body)) + Handle_GetSize(e.c.raw), std::numeric_limits<int32>::max()));
  return true;
}

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
  // A basis that holds its picture reduced is no rendering of the whole of it.
  auto matches = [&](int32 i) {
    const a_cache_item& e = g_list[i];
    return e.lru != kFreeLRU && Equal_Spec(subsetf, e.spec, spec) && (subsetf || !e.discardable) &&
           Purposes_Compatible(purpose, e.purpose) && !Is_Reduced(e);
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

namespace {

// A reduced basis too small for a rendering by its record is read again larger;
// TRUE when the basis then is the rendering (the whole picture as it is).
bool Enlarge_Basis(int32 bx, a_cache_purpose purpose, a_spec& spec) {
  const double f = Needed_Fraction(spec);
  if (purpose == FOR_SIZING || Basis_Suffices(g_list[bx], f) || !Reread_Basis(bx, f)) return false;
  return Cache_Find(true, purpose, spec);
}

}  // namespace

void Cache_Get2(a_cache_purpose targpurpose, a_spec& targspec, a_cache_result& outc) {
  int32 ix = 0;
  int32 bx = 0;
  if (Cache_Find(true, targpurpose, targspec)) {
    ix = targspec.hintx;
    outc = g_list[ix].c;
  } else if (targspec.source.kind != SOURCE_DATABASE && Find_Basis(targspec.source.sid, bx) &&
             Enlarge_Basis(bx, targpurpose, targspec)) {
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
      // No basis (a photo whose file was not found): an empty body, which
      // the designer shows as the missing-picture pattern on screen and
      // leaves out of print. Nothing is stored.
      if (!Find_Basis(targspec.source.sid, bx)) return;
      Apply_Effects(targpurpose, targspec, g_list[bx].c.body, g_list[bx].natural, outc.body, outc.shad);
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
      e.natural = Rect{0, 0, 0, 0};
      std::memset(e.codec, 0, sizeof(e.codec));
      e.reread_failed = false;
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
  const char none[4] = {0, 0, 0, 0};
  return Cache_Insert_Basis(new_source, new_body, new_raw, new_body.bounds, none);
}

bool8 Cache_Insert_Basis(a_source_desc& new_source, a_masked_gworld new_body, Handle new_raw,
                         const Rect& natural, const char (&codec)[4]) {
  if (g_list == nullptr) Cache_Init();
  Drop_Unstored();
  new_source.sid = Calc_Next_SID();
  const bool reduced = Width(natural) >= Width(new_body.bounds) && Height(natural) >= Height(new_body.bounds) &&
                       !(natural == new_body.bounds);
  const Rect own = reduced ? natural : new_body.bounds;
  a_spec spec;
  Null_Spec(spec);
  spec.source = new_source;
  spec.subset = own;
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
  e.natural = own;
  std::memcpy(e.codec, codec, sizeof(e.codec));
  e.reread_failed = false;
  return true;
}

bool8 Basis_Natural(uint16 sid, Rect& natural) {
  int32 ix = 0;
  natural = Rect{0, 0, 0, 0};
  if (g_list == nullptr || !Find_Basis(sid, ix)) return false;
  natural = g_list[ix].natural;
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
