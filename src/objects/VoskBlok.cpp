#include "objects/VoskBlok.h"

#include <cstring>

#include "doc/VoskDoc.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"

a_undo_rec g_undo;

namespace {
uint32 g_uniqueid = FIRST_OBJECT_ID - 1;
uint32 g_live_units = 0;
}  // namespace

uint32 NextUniqueID() { return ++g_uniqueid; }

a_doc_unit* New_Unit_Rec() {
  Ptr p = New_Ptr_Clear(sizeof(a_doc_unit));
  if (p == nullptr) {
    g_err_mem_proc(sizeof(a_doc_unit));
    return nullptr;
  }
  a_doc_unit* unit = reinterpret_cast<a_doc_unit*>(p);
  ++g_live_units;
  OMast_Init(unit->oj);
  return unit;
}

void OMast_Init(a_oj_master& m) {
  m.seq = 0;
  m.nlist = 1;
  m.list[0] = a_oj_item{};
  m.list[0].objid = NextUniqueID();
  m.list[0].flags = OJ_Flag_Bit(VISIBLE_FLAG);
  m.list[0].kind = PAINT_BLOCK;
}

void Dispose_Unit_Rec(a_doc_unit*& unit) {
  if (unit == nullptr) return;
  --g_live_units;
  Ptr p = reinterpret_cast<Ptr>(unit);
  Dispose_Ptr(p);
  unit = nullptr;
}

void OMast_Copy(const a_oj_master& src, a_oj_master& dst) {
  if (&src == &dst) return;
  const int32 n = src.nlist < 0 ? 0 : (src.nlist > MAX_OJ ? MAX_OJ : src.nlist);
  for (int32 i = 0; i < n; ++i) {
    // Photo and text records are not copied yet: no such object can be made.
    if (src.list[i].ph != nullptr || src.list[i].om != nullptr) QUIT();
  }
  dst.seq = src.seq;
  dst.nlist = n;
  for (int32 i = 0; i < n; ++i) dst.list[i] = src.list[i];
}

void OMast_Dispose(a_oj_master& m) {
  m.seq = 0;
  // Only paint layers exist so far, and they own no record.
  while (m.nlist > 0) {
    m.list[m.nlist - 1] = a_oj_item{};
    --m.nlist;
  }
}

uint32 Live_Unit_Recs() { return g_live_units; }

void VoskBlok_Init() { g_uniqueid = FIRST_OBJECT_ID - 1; }
