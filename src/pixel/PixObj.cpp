#include "pixel/PixObj.h"

#include "platform/SysErr.h"

namespace {

uint32 g_next_seq = 1;

}  // namespace

void Null_Table(a_pixobj_table& table) {
  for (a_pixobj_rec& r : table) {
    r = a_pixobj_rec{};
    Null_PixMap(r.pix);
  }
}

void Dispose_Table(a_pixobj_table& table) {
  for (a_pixobj_rec& r : table) {
    if (r.nref != 0) {
      Dispose_PixMap(r.pix);
      r.nref = 0;
    }
  }
}

uint32 Next_Seq() { return ++g_next_seq; }

a_pixobj_ptr Find_Free_Slot(a_pixobj_table& table) {
  for (a_pixobj_rec& r : table) {
    if (r.nref == 0) {
      r.seq = Next_Seq();
      r.nref = 1;
      return &r;
    }
  }
  return nullptr;
}

void New_PixObj(a_pixobj_table& table, a_pixobj_ptr& obj, const Rect& nbounds, int16 depth, CTabHandle ctab) {
  // Maps still held by the table would be lost when it is emptied.
  Dispose_Table(table);
  Null_Table(table);
  a_pixobj_rec& r = table[0];
  r.seq = Next_Seq();
  r.nref = 1;
  New_PixMap(r.pix, nbounds, depth, ctab);
  obj = &r;
}

namespace {
void Release(a_pixobj_ptr obj) {
  if (obj == nullptr || obj->nref <= 0) return;
  if (--obj->nref == 0) Dispose_PixMap(obj->pix);
}
}  // namespace

void PixObj_Copy(a_pixobj_ptr src, a_pixobj_ptr& dst) {
  if (src != nullptr) ++src->nref;
  Release(dst);
  dst = src;
}

void PixObj_Replace(a_pixobj_table& table, a_pixobj_ptr& obj, const PixMap& newpix) {
  if (obj != nullptr && obj->nref == 1) {
    Dispose_PixMap(obj->pix);
    obj->pix = newpix;
    obj->seq = Next_Seq();
    return;
  }
  if (obj != nullptr) Release(obj);
  a_pixobj_ptr slot = Find_Free_Slot(table);
  if (slot == nullptr) {
    obj = nullptr;
    QUIT();
    return;
  }
  slot->pix = newpix;
  obj = slot;
}

void PixObj_Modify(a_pixobj_table& table, a_pixobj_ptr& obj) {
  if (obj == nullptr) return;
  if (obj->nref < 2) {
    obj->seq = Next_Seq();
    return;
  }
  a_pixobj_ptr slot = Find_Free_Slot(table);
  if (slot == nullptr) {
    QUIT();
    return;
  }
  PixMap_Copy(obj->pix, slot->pix);
  --obj->nref;
  obj = slot;
}
