#include "objects/VoskBlok.h"

#include <limits>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskRend.h"
#include "objects/VoskEdit.h"
#include "objects/VoskLayer.h"
#include "objects/VoskMove.h"
#include "objects/VoskPack.h"
#include "objects/VoskPhot.h"
#include "objects/VoskSym.h"
#include "objects/VoskText.h"
#include "objects/VoskTrac.h"
#include "pixel/DrawUtilDraw.h"
#include "platform/Events.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysSound.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"

a_undo_rec g_undo;

namespace {

uint32 g_uniqueid = FIRST_OBJECT_ID - 1;
uint32 g_live_units = 0;

// Selection changes open (the outermost end publishes), and the selection
// class when the outermost one began.
int32 g_schange_depth = 0;
int16 g_old_class = 0;
// The last single selection, for double clicks: its object id (an index
// could hold another object after an arrangement) and its tick count.
uint32 g_last_sel_id = 0;
uint32 g_last_sel_time = 0;

// Handle margins of Obj_PostRefresh, screen pixels.
constexpr int16 kPhotoRefreshMargin = 8;
constexpr int16 kTextRefreshMargin = 3;
// Score steps of Obj_Find: the upper of two equal areas wins.
constexpr int64 kFindStep = 100;

bool Has_Flag(const a_oj_item& item, a_oj_flag f) { return (item.flags & OJ_Flag_Bit(f)) != 0; }

bool In_Kindset(a_oj_kind_set kindset, a_oj_kind kind) {
  return kind <= PAINT_BLOCK && (kindset & Kind_Bit(kind)) != 0;
}

// A zero-filled record; no memory: the out-of-memory hook with its size, and NIL.
template <typename T>
T* New_Clear() {
  Ptr p = New_Ptr_Clear(sizeof(T));
  if (p == nullptr) {
    g_err_mem_proc(sizeof(T));
    return nullptr;
  }
  return reinterpret_cast<T*>(p);
}

bool Is_Photo_Kind(a_oj_kind kind) { return kind == PHOTO_BLOCK || kind == SYMBOL_BLOCK || kind == SLOT_BLOCK; }

// dirty := dirty and box (an empty box adds nothing, an empty dirty becomes box).
void Add_Dirty(Rect& dirty, const Rect& box) {
  if (EmptyRect(box)) return;
  if (EmptyRect(dirty))
    dirty = box;
  else
    UnionRect(dirty, box, dirty);
}

int64 Area64(const Rect& r) {
  const int64 w = int64(r.right) - r.left, h = int64(r.bottom) - r.top;
  return w > 0 && h > 0 ? w * h : 0;
}

// The palette bar follows the selection: none for several objects, else
// the ring's own bar.
void Set_Appropriate_Bar() {
  if (Curr_Selection_Class() == 2) {
    SV_Set_Enum(SV_CURR_BAR, EMPTY_BAR);
    return;
  }
  const a_ring_kind ring = gs.curr_ring < NRINGS ? gs.curr_ring : NULL_RING;
  SV_Set_Enum(SV_CURR_BAR, gs.bar_in_ring[ring]);
}

// The sliders of the lone selected object.
void Update_Sliders() {
  int32 omx;
  if (!Is_One_Selected(omx)) return;
  const a_oj_item* item = Obj_Item(omx);
  switch (item->kind) {
    case PHOTO_BLOCK: PH_To_Sliders(item->ph); break;
    case SYMBOL_BLOCK: Symbol_To_Sliders(item->ph); break;
    case TEXT_BLOCK: OM_To_Sliders(item->om); break;
    default: break;
  }
}

// The outermost end of a selection change.
void Publish_Selection() {
  int32 omx;
  if (Is_One_Selected(omx)) {
    Jump_To_Layer(omx, false);
    switch (Obj_Item(omx)->kind) {
      case PHOTO_BLOCK: SV_Set_Enum(SV_PHASE, PHOTO_PHASE); break;
      case SYMBOL_BLOCK: SV_Set_Enum(SV_PHASE, SYMBOL_PHASE); break;
      case TEXT_BLOCK: SV_Set_Enum(SV_PHASE, TEXT_PHASE); break;
      case SLOT_BLOCK: Slot_To_Sliders(omx); break;
      default: break;
    }
  }
  Set_Appropriate_Bar();
  SV_Set_Virtual(SV_CONFIG_LSIDE);
  Check_Edit_Change();
  Update_Sliders();
  SV_Set_Virtual(SV_MENUBAR_CHECKMARKS);
  LayerBar_Inval();
}

// Exactly one object of kindset selected: omx := it, else ENUM_DONE.
bool8 Is_One_Selected_Of(a_oj_kind_set kindset, int32& omx) {
  omx = ENUM_START;
  if (!Enum(true, true, kindset, omx)) return false;
  const int32 first = omx;
  if (Enum(true, true, kindset, omx)) {
    omx = ENUM_DONE;
    return false;
  }
  omx = first;
  return true;
}

}  // namespace

// --- Ids, units and records ---------------------------------------------------------

uint32 NextUniqueID() { return ++g_uniqueid; }

a_doc_unit* New_Unit_Rec() {
  a_doc_unit* unit = New_Clear<a_doc_unit>();
  if (unit == nullptr) return nullptr;
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

uint32 Live_Unit_Recs() { return g_live_units; }

a_ph_rec* New_PH_Rec() { return New_Clear<a_ph_rec>(); }

a_om_rec* New_OM_Rec() {
  a_om_rec* om = New_Clear<a_om_rec>();
  if (om == nullptr) return nullptr;
  om->nxyl = 1;
  om->xyl[0].cc_char = EOS_CHAR;
  om->xyl[0].cc_size = 100;
  om->xyl[0].mm_cat = CC_EOS;
  om->cache.frame.max = MAX_OM_POINTS;
  return om;
}

void OJ_Copy(bool8 alloc, const a_oj_item& src, a_oj_item& dst) {
  dst.objid = src.objid;
  dst.flags = src.flags;
  dst.kind = src.kind;
  if (Is_Photo_Kind(src.kind)) {
    if (alloc) dst.ph = New_PH_Rec();
    if (dst.ph != nullptr && src.ph != nullptr) *dst.ph = *src.ph;
  } else if (src.kind == TEXT_BLOCK) {
    if (alloc)
      dst.om = OM_Copy(src.om);
    else if (dst.om != nullptr && src.om != nullptr)
      OM_Copy_Into(*src.om, *dst.om);
  } else {
    dst.ph = nullptr;
  }
}

void OMast_Copy(const a_oj_master& src, a_oj_master& dst) {
  if (&src == &dst) return;
  const int32 n = src.nlist < 0 ? 0 : (src.nlist > MAX_OJ ? MAX_OJ : src.nlist);
  dst.seq = src.seq;
  dst.nlist = n;
  for (int32 i = 0; i < n; ++i) {
    dst.list[i] = a_oj_item{};
    OJ_Copy(true, src.list[i], dst.list[i]);
  }
}

int32 Obj_Append(a_oj_master& m, a_oj_kind kind, uint8 flags, a_ph_rec* ph, a_om_rec* om) {
  if (m.nlist < 0 || m.nlist >= MAX_OJ) QUIT();
  a_oj_item& item = m.list[m.nlist];
  item = a_oj_item{};
  item.objid = NextUniqueID();
  item.flags = flags;
  item.kind = kind;
  if (kind == TEXT_BLOCK)
    item.om = om;
  else if (Is_Photo_Kind(kind))
    item.ph = ph;
  return ++m.nlist;
}

void Dispose_Obj1(a_oj_item& item) {
  if (Is_Photo_Kind(item.kind))
    PH_Dispose(item.ph);
  else if (item.kind == TEXT_BLOCK)
    OM_Dispose(item.om);
  item.ph = nullptr;
}

void Obj_Dispose(a_oj_master& m, int32 ix) {
  if (ix < 1 || ix > m.nlist || m.nlist > MAX_OJ) return;
  Dispose_Obj1(m.list[ix - 1]);
  for (int32 i = ix; i < m.nlist; ++i) m.list[i - 1] = m.list[i];
  m.list[m.nlist - 1] = a_oj_item{};
  --m.nlist;
}

void OMast_Dispose(a_oj_master& m) {
  m.seq = 0;
  if (m.nlist > MAX_OJ) m.nlist = MAX_OJ;
  while (m.nlist > 0) Obj_Dispose(m, m.nlist);
}

void OMast_Save(a_oj_master& copy) {
  a_oj_master* m = Curr_Obj_List();
  if (m == nullptr) return;
  // A copy without items was never made (a list keeps its paint layer).
  if (m->seq == copy.seq && copy.nlist > 0) return;
  OMast_Dispose(copy);
  OMast_Copy(*m, copy);
}

void OMast_Restore(const a_oj_master& copy) {
  a_oj_master* m = Curr_Obj_List();
  if (m == nullptr || copy.nlist <= 0 || m->seq == copy.seq) return;
  OMast_Dispose(*m);
  OMast_Copy(copy, *m);
  All_Units_PostRender();
  Obj_Number_Changed();
}

// --- Walking the list -----------------------------------------------------------------

a_doc_unit* g_oj_unit = nullptr;
a_oj_master* g_oj_list = nullptr;

a_oj_master* Find_Obj_List() {
  g_oj_unit = g_doc.up;
  g_oj_list = g_oj_unit != nullptr ? &g_oj_unit->oj : nullptr;
  return g_oj_list;
}

int32 Count(bool8 selected, a_oj_kind_set kindset) {
  int32 n = 0;
  for (int32 omx = ENUM_START; Enum(true, selected, kindset, omx);) ++n;
  return n;
}

bool8 Selection_Enum(int32& omx) { return Enum(true, true, gs.curr_kindset, omx); }

int32 Selection_Count() { return Count(true, gs.curr_kindset); }

bool8 Is_One_Selected(int32& omx) { return Is_One_Selected_Of(gs.curr_kindset, omx); }

bool8 Is_One_Text_Selected(int32& omx) { return Is_One_Selected_Of(TEXT_KINDS, omx); }

a_oj_item* Obj_Item(int32 omx) {
  a_oj_master* m = Curr_Obj_List();
  if (m == nullptr || omx < 1 || omx > m->nlist || omx > MAX_OJ) return nullptr;
  return &m->list[omx - 1];
}

bool8 Is_Obj_Selected(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  return item != nullptr && Has_Flag(*item, SELECTED_FLAG);
}

bool8 Is_Obj_Visible(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  return item != nullptr && Has_Flag(*item, VISIBLE_FLAG);
}

void Obj_BBox(int32 omx, Rect& box) {
  box = Rect{0, 0, 0, 0};
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  if (Is_Photo_Kind(item->kind)) {
    if (item->ph != nullptr) PH_NetBox(item->ph, box);
  } else if (item->kind == TEXT_BLOCK) {
    if (item->om != nullptr) OM_NetBox(item->om, box);
  }
}

// --- Selection --------------------------------------------------------------------------

void Begin_Selection_Change() {
  if (g_schange_depth++ == 0) g_old_class = Curr_Selection_Class();
}

void End_Selection_Change() {
  if (g_schange_depth <= 0) return;  // an end without its begin
  if (--g_schange_depth > 0) return;
  Publish_Selection();
}

int16 Curr_Selection_Class() {
  int32 omx = ENUM_START;
  if (!Selection_Enum(omx)) return 0;
  return Selection_Enum(omx) ? 2 : 1;
}

void Check_Edit_Change() {
  uint32 objid = 0;
  int32 omx = 0;
  a_om_rec* om = nullptr;
  int32 textx;
  if (gs.curr_phase == TEXT_PHASE && Is_One_Text_Selected(textx)) {
    const a_oj_item* item = Obj_Item(textx);
    objid = item->objid;
    omx = textx;
    om = item->om;
  }
  if (objid == g_ed.edit_objid) return;
  Caret_Inval();
  if (g_ed.edit_objid != 0 && g_ed.edit_om != nullptr && g_ed.edit_ux == g_doc.upx && g_doc.up != nullptr) {
    // What the editor drew over the old target is to be rendered away.
    Add_Dirty(g_doc.up->render_dirty, g_ed.edit_om->bbox);
  }
  const bool target = objid != 0;
  g_ed.edit_ux = target ? g_doc.upx : 0;
  g_ed.edit_objid = objid;
  g_ed.edit_omx = omx;
  g_ed.edit_om = om;
  g_ed.edit_lineud = false;
  g_ed.sel_lo = target ? 1 : 0;
  g_ed.sel_hi = target ? 1 : 0;
  g_ed.sel_omx = omx;
}

void Selection_Toggle(int32 omx) {
  a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || item->kind == PAINT_BLOCK) return;
  Begin_Selection_Change();
  const bool selecting = !Has_Flag(*item, SELECTED_FLAG);
  // The lone selection's handles become a plain frame.
  if (selecting && g_old_class == 1) Post_Refresh_For_Selected();
  item->flags = uint8(item->flags ^ OJ_Flag_Bit(SELECTED_FLAG));
  Obj_PostRefresh(omx);
  End_Selection_Change();
}

void Obj_Select_None_Except(a_oj_kind kind) {
  Begin_Selection_Change();
  const a_oj_kind_set kinds = a_oj_kind_set(OBJECT_KINDS & ~Kind_Bit(kind));
  for (int32 omx = ENUM_START; Enum(true, true, kinds, omx);) Selection_Toggle(omx);
  End_Selection_Change();
}

void Obj_Select_None() {
  Begin_Selection_Change();
  for (int32 omx = ENUM_START; Enum(true, true, OBJECT_KINDS, omx);) Selection_Toggle(omx);
  g_last_sel_id = 0;
  End_Selection_Change();
}

void Obj_Select_All() {
  Begin_Selection_Change();
  for (int32 omx = ENUM_START; Enum(true, false, gs.curr_kindset, omx);)
    if (!Is_Obj_Selected(omx)) Selection_Toggle(omx);
  End_Selection_Change();
}

void Selection_Set1(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  const uint32 objid = item->objid;
  const bool paint = item->kind == PAINT_BLOCK;
  Begin_Selection_Change();
  Obj_Select_None();
  if (paint)
    SV_Set_Enum(SV_PHASE, PAINT_PHASE);
  else
    Selection_Toggle(omx);
  End_Selection_Change();
  g_last_sel_time = TickCount();
  g_last_sel_id = objid;
}

void Selection_Set1_Sound(int32 omx) {
  Sound_Effect(SND_OBJ_SELECT);
  Selection_Set1(omx);
}

void Selection_Cycle(bool8 forward) {
  const a_oj_kind_set kinds = gs.curr_kindset;
  if (Count(false, kinds) < 2) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  // From the lowest selected object down (forward), or from the highest up.
  int32 from = ENUM_START;
  int32 target = ENUM_START;
  if (Enum(forward, true, kinds, from)) {
    target = from;
    Enum(!forward, false, kinds, target);
  }
  // Nothing selected, or past the end: the top (forward) or the bottom.
  if (target == ENUM_START || target == ENUM_DONE) {
    target = ENUM_START;
    Enum(!forward, false, kinds, target);
  }
  Selection_Set1_Sound(target);
}

void Selection_Convert_Pending() {
  Begin_Selection_Change();
  Obj_Select_None();
  for (int32 omx = ENUM_START; Enum(true, false, gs.curr_kindset, omx);) {
    a_oj_item* item = Obj_Item(omx);
    if (!Has_Flag(*item, PENDING_FLAG)) continue;
    item->flags = uint8(item->flags & ~OJ_Flag_Bit(PENDING_FLAG));
    Selection_Toggle(omx);
  }
  End_Selection_Change();
}

a_selection_mix Calc_Selection_Mix() {
  a_oj_kind own;
  switch (gs.curr_phase) {
    case TEXT_PHASE: own = TEXT_BLOCK; break;
    case PHOTO_PHASE: own = PHOTO_BLOCK; break;
    case SYMBOL_PHASE: own = SYMBOL_BLOCK; break;
    case COLLAGE_PHASE: own = SLOT_BLOCK; break;
    default: return ZERO_PURE;
  }
  const a_oj_master* m = Curr_Obj_List();
  if (m == nullptr) return ZERO_PURE;
  const a_oj_kind_set kinds = gs.curr_kindset;
  const int32 n = m->nlist < MAX_OJ ? m->nlist : MAX_OJ;
  int32 count = 0;
  for (int32 i = 0; i < n; ++i) {
    const a_oj_item& item = m->list[i];
    if (!Has_Flag(item, SELECTED_FLAG) || !In_Kindset(kinds, item.kind)) continue;
    if (item.kind != own) return MOTLEY;
    ++count;
  }
  return count == 0 ? ZERO_PURE : count == 1 ? ONE_PURE : count == 2 ? TWO_PURE : THREE_PURE;
}

int16 Calc_Hilite_Del() { return Selection_Count() == 0 ? HILITE_DIMMED : HILITE_ENABLED; }

int16 Calc_Hilite_Just1() { return Calc_Selection_Mix() == ONE_PURE ? HILITE_ENABLED : HILITE_DIMMED; }

int16 Calc_Hilite_Sel1() {
  const a_selection_mix mix = Calc_Selection_Mix();
  return mix == MOTLEY || mix == ZERO_PURE ? HILITE_DIMMED : HILITE_ENABLED;
}

int16 Calc_Hilite_ObjNew() {
  const a_oj_master* m = Curr_Obj_List();
  return m == nullptr || m->nlist >= MAX_OJ ? HILITE_DIMMED : HILITE_ENABLED;
}

// --- Hit-testing and the mouse ------------------------------------------------------

int32 Obj_Find(Point screen, Point cell, a_oj_part& part) {
  part = OUTSIDE_PART;
  if (gs.curr_phase == COLLAGE_PHASE) {
    const int32 slot = Slot_Find(cell);
    if (slot != ENUM_DONE) part = DRAG_PART;
    return slot;
  }
  int64 best_score = std::numeric_limits<int64>::max();
  int32 best = ENUM_DONE;
  int64 step = 0;
  for (int32 omx = ENUM_START; Enum(false, false, gs.curr_kindset, omx);) {
    step += kFindStep;
    const a_oj_item* item = Obj_Item(omx);
    a_oj_part p = OUTSIDE_PART;
    bool hit = false;
    if (item->kind == PHOTO_BLOCK || item->kind == SYMBOL_BLOCK)
      hit = PH_Is_Inside(screen, cell, omx, p);
    else if (item->kind == TEXT_BLOCK)
      hit = OM_Is_Inside(p, cell, omx);
    if (!hit) continue;
    Rect box;
    Obj_BBox(omx, box);
    // A box of 16-bit coordinates can be 65535 on a side: its area needs
    // 64 bits.
    const int64 score = Area64(box) + step;
    if (score < best_score) {
      best_score = score;
      best = omx;
      part = p;
    }
  }
  return best;
}

void Obj_MouseDown(uint16 vx, const a_mousestroke& stroke) {
  if (g_doc.up == nullptr) return;
  Point cell;
  ScreenToCell(vx, stroke.lmouse, cell);
  a_oj_part part;
  const int32 omx = Obj_Find(stroke.lmouse, cell, part);
  const bool shift = (stroke.mods & Keymod_Bit(SHIFTKEY)) != 0;
  const bool ctrl = (stroke.mods & Keymod_Bit(OPTIONKEY)) != 0;
  const a_oj_item* item = Obj_Item(omx);

  if (!stroke.button1) {
    if (item == nullptr)
      Cursor_Set_Shape(ARROW_CURSOR);
    else if (Has_Flag(*item, SELECTED_FLAG))
      Inside_Photo_Cursor(part, ctrl, false);
    else
      Cursor_Set_Shape(FINGER_CURSOR);
    Calc_Default_PStatus();
    return;
  }

  if (gs.curr_phase == TEXT_PHASE && ctrl) {
    Text_New_At(cell);
    return;
  }
  if (item == nullptr) {
    if (Selection_Count() > 0) {
      Sound_Effect(SND_OBJ_SELECT);
      Obj_Select_None();
    }
    return;
  }
  if (Is_Mouse_Holding()) {
    if (!Has_Flag(*item, SELECTED_FLAG)) {
      Sound_Effect(SND_OBJ_SELECT);
      Selection_Set1(omx);
    }
    switch (item->kind) {
      case PHOTO_BLOCK:
      case SYMBOL_BLOCK:
        if (part >= ULCORNER_PART && part <= LLCORNER_PART)
          Track_Photo_Scaling(vx, part, cell, omx);
        else
          Obj_Track_Move(vx, cell, omx);
        break;
      case TEXT_BLOCK:
        // A press on the edited text's characters selects them (the
        // editor's); elsewhere on a text it moves the text.
        if (part != CONTENT_PART) Obj_Track_Move(vx, cell, omx);
        break;
      case SLOT_BLOCK:
        if (item->ph != nullptr && item->ph->spec.source.kind != SOURCE_EMPTYSLOT) Obj_Track_Move(vx, cell, omx);
        break;
      default: break;
    }
    return;
  }
  // A quick click: the second on the same object within the double-click
  // time opens it.
  // A text clicked alone also takes the editing caret at the character
  // nearest the click, where its editor opens.
  const auto place_caret = [&] {
    const a_oj_item* now = Obj_Item(omx);
    if (now == nullptr || now->kind != TEXT_BLOCK || now->om == nullptr || g_ed.edit_omx != omx) return;
    const int32 p = Nearest_Position(*now->om, cell);
    if (p != 0) Set_Sel_Empty(p);
  };
  if (item->objid == g_last_sel_id && TickCount() - g_last_sel_time < GetDblTime()) {
    if (item->kind == TEXT_BLOCK && !Is_Editing_Text()) place_caret();
    Obj_DoubleClick(omx);
    return;
  }
  Sound_Effect(SND_OBJ_SELECT);
  if (shift) {
    Selection_Toggle(omx);
  } else {
    Selection_Set1(omx);
    place_caret();
  }
}

void Obj_DoubleClick(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  if (item->kind == PHOTO_BLOCK)
    Photo_Crop();
  else if (item->kind == TEXT_BLOCK && !Is_Editing_Text())
    Text_Edit();
}

// --- Posting changes --------------------------------------------------------------------

void Obj_PostRender(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  switch (item->kind) {
    case SLOT_BLOCK: Slot_Inval_Obj(omx); break;
    case PAINT_BLOCK: Curr_Unit_PostRender(); break;
    default: {
      Rect box;
      Obj_BBox(omx, box);
      Add_Dirty(g_doc.up->render_dirty, box);
      break;
    }
  }
  SV_Set_Virtual(SV_MENUBAR_CHECKMARKS);
  ++g_doc.up->oj.seq;
}

void Obj_PostRefresh(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  switch (item->kind) {
    case SLOT_BLOCK: Pack_Inval(); break;
    case PAINT_BLOCK: break;
    default: {
      Rect box;
      Obj_BBox(omx, box);
      const int16 pixels = item->kind == TEXT_BLOCK ? kTextRefreshMargin : kPhotoRefreshMargin;
      const int16 margin = int16(ScreenToCellInt(1, pixels) + gs.views[0].zoom_fudge);
      InsetRect(box, int16(-margin), int16(-margin));
      Doc_InvalCells(box);
      break;
    }
  }
}

void Post_Refresh_For_Selected() {
  for (int32 omx = ENUM_START; Selection_Enum(omx);) Obj_PostRefresh(omx);
}

void Merge_PostRender(const Rect& box) {
  if (g_doc.up == nullptr || EmptyRect(box)) return;
  Rect cells;
  MergeToCellRect(g_doc.up, box, cells);
  Add_Dirty(g_doc.up->render_dirty, cells);
}

void Obj_Number_Changed() { LayerBar_Calc(false); }

void Enum_Draw_Frames(uint16 vx, const Rect& dirty) {
  for (const bool selected : {false, true}) {
    if (!selected && !gs.pref.showframes_option) continue;
    for (int32 omx = ENUM_START; Enum(true, false, gs.curr_kindset, omx);) {
      const a_oj_item* item = Obj_Item(omx);
      if (Has_Flag(*item, SELECTED_FLAG) != selected) continue;
      Rect box, common;
      Obj_BBox(omx, box);
      if (!SectRect(box, dirty, common)) continue;
      const bool8 visible = Has_Flag(*item, VISIBLE_FLAG);
      if (item->kind == TEXT_BLOCK)
        OM_Draw_Frame(vx, visible, selected, item->om);
      else if (item->kind == PHOTO_BLOCK || item->kind == SYMBOL_BLOCK)
        PH_Draw_Frame(vx, visible, selected, item->ph);
    }
  }
}

// --- Commands -----------------------------------------------------------------------------

void Enum_Obj_Del() {
  if (gs.curr_phase == COLLAGE_PHASE) {
    Pack_ClearSlot();
    return;
  }
  a_oj_master* m = Curr_Obj_List();
  int32 deleted = 0;
  for (int32 omx = ENUM_START; Enum(false, true, gs.curr_kindset, omx);) {
    if (Obj_Item(omx)->kind == PAINT_BLOCK) continue;
    Obj_PostRender(omx);
    Obj_Dispose(*m, omx);
    ++deleted;
  }
  if (deleted == 0) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  Obj_Number_Changed();
  Obj_Select_None();
  History_Emit(OP_BLOCK_DEL);
}

void Enum_Obj_Dup() {
  int32 selected = 0;
  for (int32 omx = ENUM_START; Selection_Enum(omx);) {
    // The copies arrive on top, pending and unselected: the walk passes them by.
    const a_oj_item* item = Obj_Item(omx);
    ++selected;
    if (item->kind == PHOTO_BLOCK || item->kind == SYMBOL_BLOCK)
      PH_Dup(item->ph, item->kind);
    else if (item->kind == TEXT_BLOCK)
      OM_Dup(item->om);
  }
  if (selected == 0) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  Obj_Number_Changed();
  Selection_Convert_Pending();
  History_Emit(OP_BLOCK_DUP);
}

// --- Geometry ------------------------------------------------------------------------------

bool8 Pt_In_Polygon(Point pt, const Point* pts, int32 n) {
  if (n < 3) return false;
  // Pixel centres and corners doubled, so the test stays in integers.
  const int64 x = 2 * int64(pt.h) + 1, y = 2 * int64(pt.v) + 1;
  bool inside = false;
  for (int32 i = 0, j = n - 1; i < n; j = i++) {
    const int64 xi = 2 * int64(pts[i].h), yi = 2 * int64(pts[i].v);
    const int64 xj = 2 * int64(pts[j].h), yj = 2 * int64(pts[j].v);
    if ((yi > y) == (yj > y)) continue;
    // x lies left of the edge at height y (compared without dividing).
    const int64 lhs = (x - xi) * (yj - yi), rhs = (xj - xi) * (y - yi);
    if (yj > yi ? lhs < rhs : lhs > rhs) inside = !inside;
  }
  return inside;
}

bool8 Pt_In_Frame(Point pt, const Point* pts, int32 n) {
  for (int32 start = 0; start < n;) {
    int32 end = start;
    while (end < n && !Is_Pointlist_Break(pts[end])) ++end;
    if (Pt_In_Polygon(pt, pts + start, end - start)) return true;
    start = end + 1;
  }
  return false;
}

void VoskBlok_Init() {
  g_uniqueid = FIRST_OBJECT_ID - 1;
  g_schange_depth = 0;
  g_old_class = 0;
  g_last_sel_id = 0;
  g_last_sel_time = 0;
}
