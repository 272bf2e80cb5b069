#include "objects/VoskText.h"

#include <algorithm>
#include <cstring>

#include "doc/VoskDoc.h"
#include "objects/VoskEdit.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/QDRect.h"
#include "platform/SysMem.h"
#include "platform/SysSound.h"

void OM_NetBox(const a_om_rec* om, Rect& box) { box = om != nullptr ? om->bbox : Rect{0, 0, 0, 0}; }

bool8 OM_Is_Inside(a_oj_part& part, Point cell, int32 omx) {
  part = OUTSIDE_PART;
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || item->kind != TEXT_BLOCK || item->om == nullptr) return false;
  const a_om_rec& om = *item->om;
  const int32 npoints = std::min<int32>({om.cache.frame.npoints, om.cache.frame.max, MAX_OM_POINTS});
  bool hit;
  if (npoints > 2) {
    hit = Pt_In_Frame(cell, om.cache.frame.points, npoints);
  } else {
    Rect box;
    OM_NetBox(&om, box);
    hit = PtInRect(cell, box);
  }
  if (!hit) return false;
  part = Is_Editing_Text() && g_ed.edit_objid == item->objid ? CONTENT_PART : DRAG_PART;
  return true;
}

void OM_Fresh_Cache(a_om_rec& om) {
  om.cache.progress = 0;
  Null_MW(om.cache.text);
  Null_MW(om.cache.shad);
  std::memset(static_cast<void*>(&om.cache.path), 0, sizeof om.cache.path);
}

void OM_Copy_Into(const a_om_rec& src, a_om_rec& dst) {
  if (&src == &dst) return;
  std::memcpy(static_cast<void*>(&dst), &src, sizeof(a_om_rec));
  OM_Fresh_Cache(dst);
}

a_om_rec* OM_Copy(const a_om_rec* om) {
  if (om == nullptr) return nullptr;
  Ptr p = New_Ptr(sizeof(a_om_rec));
  if (p == nullptr) {
    g_err_mem_proc(sizeof(a_om_rec));
    return nullptr;
  }
  a_om_rec* copy = reinterpret_cast<a_om_rec*>(p);
  OM_Copy_Into(*om, *copy);
  return copy;
}

void OM_Dup(const a_om_rec* om) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || om == nullptr) return;
  a_oj_master& m = unit->oj;
  if (m.nlist >= MAX_OJ) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  a_om_rec* copy = OM_Copy(om);
  if (copy == nullptr) return;
  copy->cache.frame.max = MAX_OM_POINTS;
  Obj_PostRender(Obj_Append(m, TEXT_BLOCK, uint8(OJ_Flag_Bit(PENDING_FLAG) | OJ_Flag_Bit(VISIBLE_FLAG)), nullptr, copy));
}

void Flush_Path_Cache(a_path_cache& path) {
  const uint32 n = std::min<uint32>(path.npaths, MAX_TEXT_PATHS);
  for (uint32 i = 0; i < n; ++i) {
    Ptr p = reinterpret_cast<Ptr>(path.paths[i].line);
    Dispose_Ptr(p);
    path.paths[i].line = nullptr;
  }
  path.npaths = 0;
}

void OM_Dispose(a_om_rec*& om) {
  if (om == nullptr) return;
  if (g_ed.edit_om == om) Null_Ed();  // the editor lets go of the record first
  Dispose_MW(om->cache.text);
  Dispose_MW(om->cache.shad);
  Flush_Path_Cache(om->cache.path);
  Ptr p = reinterpret_cast<Ptr>(om);
  Dispose_Ptr(p);
  om = nullptr;
}

bool8 Is_Editing_Text() { return gs.curr_phase == TEXT_PHASE && gs.txedit_phase == TXEDIT_EDIT; }

void OM_Draw_Frame(uint16, bool8, bool8, const a_om_rec*) {}

void OM_To_Sliders(const a_om_rec*) {}

void Text_New_At(Point) {}

void Push_TextSize_Mapping(float) {}

void Pop_TextSize_Mapping() {}

void OM_Recalc(a_om_rec* om, uint32) {
  if (om != nullptr) om->cache.progress = Progress_Bit(READY_COORD);
}

void OM_BringUpToDate(int32) {}

void OM_Render(const a_coord_mapping&, a_om_rec*, a_masked_gworld& text, a_masked_gworld& shad) {
  Null_MW(text);
  Null_MW(shad);
}

void Draw_Selected_Range(GWorldPtr, const a_om_rec*, const a_doc_unit*) {}
void Delta_Text_Major() {}
void Delta_Shad() {}
void Delta_Glow() {}
void Delta_Outl() {}
