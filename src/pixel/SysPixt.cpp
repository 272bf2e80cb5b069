#include "pixel/SysPixt.h"

#include <cstring>

#include "host/HostByteOrder.h"
#include "pixel/DrawUtil.h"
#include "pixel/MAsm2.h"
#include "pixel/OP.h"
#include "pixel/ParsJPEG.h"
#include "platform/SysVideo.h"

a_discard_rec g_discard{1, nullptr, 0};
uint32 pixt_cache_limit = kPixtCacheLimit;

namespace {

// Largest expanded picture we accept: far beyond any stored picture, and it
// keeps a damaged header from asking for gigabytes.
constexpr uint64 kPixtMaxBytes = uint64(1) << 28;


// Recency stamps run 1 .. 4,294,967,295 and wrap to 1: 0 means "not in the ring".
uint32 Next_Ref() {
  const uint32 r = g_discard.nextref;
  g_discard.nextref = (r == 0xFFFFFFFFu) ? 1 : r + 1;
  return r == 0 ? Next_Ref() : r;
}

void Make_Unloaded(a_pixt& pixt) {
  pixt.bits = nullptr;
  pixt.pixmap.baseAddr = nullptr;
  pixt.pixmap.bounds = Rect{0, 0, 0, 0};
}

// An expanded block must hold the rows the header promises; a packed stream
// may state a little more (padding of its packer), never less.
bool Expanded_Fits(uint32 stated, uint64 needed) { return stated >= needed && stated - needed <= 65536; }

// What the last load that ran out of memory asked for, for the report.
uint32 s_need = 0;

}  // namespace

void SysPixt_Init() {
  pixt_cache_limit = kPixtCacheLimit;
  g_discard.nextref = 1;
  g_discard.first = nullptr;
  g_discard.used = 0;
}

a_pixt_result Pixt_Load_Bytes(const a_keyset& key, const uint8* obj, uint32 obj_len, a_pixt& pixt) {
  pixt.key = key;
  pixt.ref = 0;
  pixt.len = 0;
  pixt.next = pixt.prev = nullptr;
  Make_Unloaded(pixt);
  New_Empty_PixMap(pixt.pixmap, 32, nullptr);
  pixt.mode = PIXT_MODE_COPY;
  if (obj == nullptr || obj_len < uint32(PIXT_HEADER_SIZE)) return PIXT_DAMAGED;

  const int16 rowbytes = int16(Load_BE16(obj));
  const int16 width = int16(Load_BE16(obj + 2));
  const int16 height = int16(Load_BE16(obj + 4));
  const uint8 flags = obj[6];
  const int16 depth = obj[7];
  pixt.mode = (flags & PIXT_FLAG_TRANSPARENT) != 0 ? PIXT_MODE_TRANSPARENT : PIXT_MODE_COPY;

  if (depth != 8 && depth != 16 && depth != 32) return PIXT_DAMAGED;
  if (width <= 0 || height <= 0 || rowbytes <= 0) return PIXT_DAMAGED;
  const uint8* data = obj + PIXT_HEADER_SIZE;
  const uint32 data_len = obj_len - uint32(PIXT_HEADER_SIZE);

  // JPEG data always expand to 32-bit rows without padding, whatever the
  // header's depth and row bytes say: describe the rows as they come out.
  const bool jpeg = (flags & PIXT_FLAG_JPEG) != 0;
  const int16 net_depth = jpeg ? int16(32) : depth;
  const uint32 net_rowbytes = jpeg ? uint32(width) * 4u : uint32(rowbytes);
  // A row shorter than its pixels would make every reader run past it.
  if (net_rowbytes < uint32(width) * uint32(net_depth / 8)) return PIXT_DAMAGED;
  const uint64 needed = uint64(net_rowbytes) * uint64(height);
  if (needed > kPixtMaxBytes) return PIXT_DAMAGED;

  CTabHandle ctab = nullptr;
  if (net_depth <= 8) {
    if ((flags & PIXT_FLAG_GRAY_WHITE0) != 0)
      ctab = gray_ctable;
    else if ((flags & PIXT_FLAG_GRAY_BLACK0) != 0)
      ctab = gray_ctable2;
    else
      ctab = Get_Main_CTable();
  }
  New_Empty_PixMap(pixt.pixmap, net_depth, ctab);

  Handle bits = nullptr;
  if (jpeg) {
    const int16 r = Expand_JPEG(width, height, net_depth, data, data_len, bits);
    if (r == JPEG_ERR_NOMEM) {
      s_need = Calc_GWorld_Memory(Rect{0, 0, height, width}, 32);
      return PIXT_NOMEM;
    }
    if (r != JPEG_OK || bits == nullptr) {
      Dispose_Handle(bits);
      return PIXT_DAMAGED;
    }
  } else if ((flags & (PIXT_FLAG_RLE | PIXT_FLAG_LZW)) != 0) {
    const bool rle = (flags & PIXT_FLAG_RLE) != 0;
    if (data_len < 4) return PIXT_DAMAGED;
    // Refuse a stream that cannot fill the picture before expanding it.
    const uint32 stated = rle ? Load_LE32(data) : Load_BE32(data);
    if (!Expanded_Fits(stated, needed)) return PIXT_DAMAGED;
    const int16 r = rle ? Expand_RLE(data, data_len, bits) : Expand_LZW(data, data_len, bits);
    if (r == kExpandNoMem) {
      s_need = Calc_GWorld_Memory(Rect{0, 0, height, width}, depth);
      return PIXT_NOMEM;
    }
    if (r != kExpandOK || bits == nullptr) {
      Dispose_Handle(bits);
      return PIXT_DAMAGED;
    }
  } else {
    if (needed > data_len) return PIXT_DAMAGED;
    bits = New_Handle(uint32(needed));
    if (bits == nullptr) {
      s_need = uint32(needed);
      return PIXT_NOMEM;
    }
    Ptr p = Handle_Lock(bits);
    std::memcpy(p, data, size_t(needed));
    Handle_Unlock(bits);
  }
  if (Handle_GetSize(bits) < needed) {
    Dispose_Handle(bits);
    return PIXT_DAMAGED;
  }

  pixt.bits = bits;
  pixt.pixmap.bounds = Rect{0, 0, height, width};
  PixMap_Set_RowBytes(pixt.pixmap, net_rowbytes);
  pixt.pixmap.baseAddr = Handle_Lock(pixt.bits);
  Mac_Win_PixMap(pixt.pixmap);
  Handle_Unlock(pixt.bits);
  pixt.pixmap.baseAddr = nullptr;
  return PIXT_OK;
}

a_pixt_result KPixt_Load_Checked(const a_keyset& key, a_pixt& pixt) {
  Ptr raw = OP_Lock(key);
  if (raw == nullptr) {
    pixt.key = key;
    Make_Unloaded(pixt);
    pixt.ref = 0;
    return PIXT_MISSING;
  }
  const a_pixt_result r = Pixt_Load_Bytes(key, reinterpret_cast<const uint8*>(raw), Ptr_GetSize(raw), pixt);
  OP_Unlock(raw);
  return r;
}

void KPixt_Reload(a_pixt& pixt) {
  if (pixt.bits != nullptr) {
    if (!Is_Handle_Purged(pixt.bits)) {
      Pixt_NoPurge(pixt);
      return;
    }
    // Purged: the empty handle goes, and the pixels are read again.
    Discard_Del(pixt);
    Dispose_Handle(pixt.bits);
  }
  const a_keyset key = pixt.key;
  switch (KPixt_Load_Checked(key, pixt)) {
    case PIXT_OK: return;
    case PIXT_MISSING:
    case PIXT_DAMAGED: g_err_key_proc(kPixtType, key); return;
    case PIXT_NOMEM: g_err_mem_proc(s_need); return;
  }
}

void Pixt_Load(int16 id, a_pixt& pixt) {
  pixt.key = Pixt_Key(id);
  pixt.bits = nullptr;
  KPixt_Reload(pixt);
}

void KPixt_Load(const a_keyset& key, a_pixt& pixt) {
  pixt.key = key;
  pixt.bits = nullptr;
  KPixt_Reload(pixt);
}

bool8 Pixt_Exists(int16 id) { return OP_Exists(Pixt_Key(id)); }

void Pixt_Unload(a_pixt& pixt) {
  if (pixt.bits == nullptr) return;
  Discard_Del(pixt);
  Dispose_Handle(pixt.bits);
  pixt.bits = nullptr;
  pixt.pixmap.baseAddr = nullptr;
}

void Pixt_Lock(a_pixt& pixt) {
  pixt.pixmap.baseAddr = Handle_Lock(pixt.bits);
  if (pixt.pixmap.baseAddr == nullptr) {
    KPixt_Reload(pixt);
    pixt.pixmap.baseAddr = Handle_Lock(pixt.bits);
  }
  if (pixt.ref != 0) pixt.ref = Next_Ref();
}

void Pixt_Unlock(a_pixt& pixt) {
  Handle_Unlock(pixt.bits);
  pixt.pixmap.baseAddr = nullptr;
}

void Pixt_NoPurge(a_pixt& pixt) {
  Handle_SetPurgeFlag(false, pixt.bits);
  Discard_Del(pixt);
}

void Pixt_Purge(a_pixt& pixt) {
  Handle_SetPurgeFlag(true, pixt.bits);
  if (pixt.ref == 0) Discard_Add(pixt);
}

void Null_Pixt(a_pixt& pixt) { std::memset(&pixt, 0, sizeof(pixt)); }

void Mac_Win_PixMap16(Ptr base, int16 width, int16 height, uint32 rowb) {
  if (base == nullptr) return;
  for (int32 y = 0; y < height; ++y) {
    uint8* p = reinterpret_cast<uint8*>(base) + size_t(y) * rowb;
    for (int32 x = 0; x < width; ++x, p += 2) {
      const uint8 t = p[0];
      p[0] = p[1];
      p[1] = t;
    }
  }
}

void Mac_Win_PixMap32(Ptr base, int16 width, int16 height, uint32 rowb) {
  if (base == nullptr) return;
  for (int32 y = 0; y < height; ++y) {
    uint8* p = reinterpret_cast<uint8*>(base) + size_t(y) * rowb;
    for (int32 x = 0; x < width; ++x, p += 4) {
      uint8 t = p[0];
      p[0] = p[3];
      p[3] = t;
      t = p[1];
      p[1] = p[2];
      p[2] = t;
    }
  }
}

void Mac_Win_PixMap(PixMap& p) {
  const int16 width = int16(p.bounds.right - p.bounds.left);
  const int16 height = int16(p.bounds.bottom - p.bounds.top);
  const uint32 rowb = PixMap_RowBytes(p);
  switch (p.pixelSize) {
    case 8: return;
    case 16: Mac_Win_PixMap16(p.baseAddr, width, height, rowb); return;
    case 32: Mac_Win_PixMap32(p.baseAddr, width, height, rowb); return;
    default: QUIT(); return;
  }
}

// --- Discard ring ----------------------------------------------------------------

void Discard_Del(a_pixt& p) {
  if (p.ref == 0) return;
  if (p.next == &p || p.next == nullptr) {
    g_discard.first = nullptr;
  } else {
    g_discard.first = p.next;
    p.prev->next = p.next;
    p.next->prev = p.prev;
  }
  g_discard.used -= p.len <= g_discard.used ? p.len : g_discard.used;
  p.ref = 0;
  p.next = p.prev = nullptr;
}

a_pixt* Discard_LRU() {
  a_pixt* const first = g_discard.first;
  if (first == nullptr) return nullptr;
  a_pixt* best = nullptr;
  a_pixt* m = first;
  do {
    if (!Is_Handle_Locked(m->bits) && (best == nullptr || m->ref < best->ref)) best = m;
    m = m->next;
  } while (m != first && m != nullptr);
  return best;
}

void Discard_Add(a_pixt& p) {
  p.len = Handle_GetSize(p.bits);
  g_discard.used += p.len;
  while (g_discard.used > pixt_cache_limit) {
    a_pixt* victim = Discard_LRU();
    if (victim == nullptr) break;
    Discard_Del(*victim);
    Handle_Purge(victim->bits);
  }
  a_pixt* const first = g_discard.first;
  if (first == nullptr) {
    p.next = p.prev = &p;
    g_discard.first = &p;
  } else {
    // Before `first`: the end of the ring.
    p.next = first;
    p.prev = first->prev;
    first->prev->next = &p;
    first->prev = &p;
  }
  p.ref = Next_Ref();
}

void Dump_Discard() {}
