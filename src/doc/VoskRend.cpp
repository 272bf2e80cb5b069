#include "doc/VoskRend.h"

#include <algorithm>
#include <cmath>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskPrin.h"
#include "doc/VoskShap.h"
#include "objects/VoskCanv.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "objects/VoskTextDraw.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/Fast.h"
#include "pixel/SysBlt.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysVideo.h"
#include "platform/VoskErr.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntI.h"
#include "ui/VoskStus.h"

namespace {

constexpr int16 kAlertNoMemory = 16;    // "Sorry, there is not enough memory to do this."

const Rect kNoRect{0, 0, 0, 0};

int16 Clamp16(int64 v) { return int16(v < -32768 ? -32768 : (v > 32767 ? 32767 : v)); }
bool Fits16(int64 v) { return v >= -32768 && v <= 32767; }

// a / b rounded toward minus infinity, and toward plus infinity (b > 0).
int64 Floor_Div(int64 a, int64 b) {
  const int64 q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}
int64 Ceil_Div(int64 a, int64 b) { return -Floor_Div(-a, b); }

Rect Grown(const Rect& r, int32 by) {
  return Rect{Clamp16(int64(r.top) - by), Clamp16(int64(r.left) - by), Clamp16(int64(r.bottom) + by),
              Clamp16(int64(r.right) + by)};
}

bool Has_Flag(const a_oj_item& item, a_oj_flag f) { return (item.flags & OJ_Flag_Bit(f)) != 0; }

const a_unit* Template_Unit(uint32 ux) {
  if (ux < 1 || ux > g_doc.doc_template.nunits || ux > MAXNUNITS) return nullptr;
  return &g_doc.doc_template.units[ux - 1];
}

// The index of a unit record in the open document (0 when it is none of its units).
uint32 Unit_Index(const a_doc_unit* unit) {
  const uint32 n = std::min<uint32>(g_doc.doc_template.nunits, MAXNUNITS);
  for (uint32 ux = 1; ux <= n; ++ux)
    if (g_doc.doc_units[ux - 1] == unit) return ux;
  return 0;
}

// The object id a unit's layers leave out: the text being edited on it.
uint32 Edited_Id(uint32 ux) { return g_ed.edit_objid != 0 && g_ed.edit_ux == ux ? g_ed.edit_objid : 0; }

// A rectangular region of r (NIL when none could be made).
RgnHandle Rect_Region(const Rect& r) {
  RgnHandle rgn = NewRgn();
  if (rgn != nullptr) RectRgn(rgn, r);
  return rgn;
}

// src (with its 8-bit mask) blended into dst, scaled from src_rect onto
// dst_rect, only within clip (a rectangle of dst; the whole of dst_rect when
// it equals dst_rect).
void Blend_Scaled(GWorldPtr src, GWorldPtr mask, GWorldPtr dst, const Rect& src_rect, const Rect& dst_rect,
                  const Rect& clip) {
  if (src == nullptr || dst == nullptr || EmptyRect(clip)) return;
  if (EqualRect(clip, dst_rect)) {
    Port_To_Port_Deep(src, mask, dst, src_rect, src_rect, dst_rect, nullptr);
    return;
  }
  RgnHandle rgn = Rect_Region(clip);
  if (rgn == nullptr) return;
  Port_To_Port_Deep(src, mask, dst, src_rect, src_rect, dst_rect, rgn);
  DisposeRgn(rgn);
}

// A masked picture blended into world where it meets area (same coordinates).
void Blend_MW(const a_masked_gworld& mw, GWorldPtr world, const Rect& area) {
  if (mw.fore == nullptr || world == nullptr) return;
  Rect part;
  if (!SectRect(mw.bounds, area, part)) return;
  Port_To_Port_Deep(mw.fore, mw.mask, world, part, part, part, nullptr);
}

// --- Photo records turned into another space ------------------------------------------

// A scale from cells to a target space: x -> x * num / den + origin, per axis.
struct a_cell_scale {
  int32 numh, denh, numv, denv;
  int32 originh, originv;
  bool same;  // the target is the cells themselves
};

int64 Scale_Lo(int64 v, int32 num, int32 den, int32 origin) { return Floor_Div(v * num, den) + origin; }
int64 Scale_Hi(int64 v, int32 num, int32 den, int32 origin) { return Ceil_Div(v * num, den) + origin; }
int64 Scale_Near(int64 v, int32 num, int32 den) { return Floor_Div(2 * v * num + den, 2 * int64(den)); }

// A length that must not vanish when it was not 0.
bool Scale_Length(int16& v, int32 num, int32 den) {
  if (v == 0) return true;
  int64 s = Scale_Near(v, num, den);
  if (s == 0) s = v > 0 ? 1 : -1;
  if (!Fits16(s)) return false;
  v = int16(s);
  return true;
}

// ph turned from cells into the target of scale: its centre and box, its
// scalings, and the lengths in pixels of its edge and shadow. FALSE when
// something passes 16 bits there.
bool Scale_Photo(const a_cell_scale& s, a_ph_rec& ph) {
  if (s.same) return true;
  const int64 ch = Scale_Near(ph.dst_center.h, s.numh, s.denh) + s.originh;
  const int64 cv = Scale_Near(ph.dst_center.v, s.numv, s.denv) + s.originv;
  const int64 left = Scale_Lo(ph.dst_box.left, s.numh, s.denh, s.originh);
  const int64 top = Scale_Lo(ph.dst_box.top, s.numv, s.denv, s.originv);
  const int64 right = Scale_Hi(ph.dst_box.right, s.numh, s.denh, s.originh);
  const int64 bottom = Scale_Hi(ph.dst_box.bottom, s.numv, s.denv, s.originv);
  const int64 sh = Scale_Near(ph.spec.scalingh, s.numh, s.denh);
  const int64 sv = Scale_Near(ph.spec.scalingv, s.numv, s.denv);
  for (const int64 v : {ch, cv, left, top, right, bottom, sh, sv})
    if (!Fits16(v)) return false;
  ph.dst_center = Point{int16(cv), int16(ch)};
  ph.dst_box = Rect{int16(top), int16(left), int16(bottom), int16(right)};
  ph.spec.scalingh = int16(std::max<int64>(sh, 1));
  ph.spec.scalingv = int16(std::max<int64>(sv, 1));
  // Lengths in pixels keep their size on the label: a border or a shadow is
  // as wide at every zoom and in print as on the unit's cells.
  return Scale_Length(ph.spec.edge_border, s.numh, s.denh) && Scale_Length(ph.spec.edge_outline, s.numh, s.denh) &&
         Scale_Length(ph.spec.shad_dx, s.numh, s.denh) && Scale_Length(ph.spec.shad_dy, s.numv, s.denv) &&
         Scale_Length(ph.spec.shad_radius, s.numh, s.denh);
}

// Cells to merge pixels of the unit's TOTAL_LAYER.
a_cell_scale Merge_Scale(const a_doc_unit* unit) {
  a_cell_scale s{1, 1, 1, 1, 0, 0, true};
  const Rect& layer = unit->statics[TOTAL_LAYER].bounds;
  const Rect& pb = unit->paintbounds;
  if (layer.right > 0 && layer.bottom > 0 && pb.right > 0 && pb.bottom > 0 && layer.right < pb.right) {
    s = a_cell_scale{layer.right, pb.right, layer.bottom, pb.bottom, 0, 0, false};
  }
  return s;
}

// Cells to print dots (g_doc.doc_print).
a_cell_scale Print_Scale() {
  const a_print_info& p = g_doc.doc_print;
  a_cell_scale s{p.scaling_factorx.num, p.scaling_factorx.den, p.scaling_factory.num, p.scaling_factory.den,
                 p.doc_origin.h,        p.doc_origin.v,          false};
  if (s.numh <= 0 || s.denh <= 0 || s.numv <= 0 || s.denv <= 0) s = a_cell_scale{1, 1, 1, 1, 0, 0, false};
  s.same = s.numh == s.denh && s.numv == s.denv && s.originh == 0 && s.originv == 0;
  return s;
}

// The mapping of text pictures: the scale of s, no offset.
a_coord_mapping Text_Mapping(const a_cell_scale& s) {
  a_coord_mapping m{};
  m.multx = float(s.numh) / float(s.denh);
  m.multy = float(s.numv) / float(s.denv);
  m.originx = float(s.originh);
  m.originy = float(s.originv);
  return m;
}

}  // namespace

// --- Bringing units up to date ---------------------------------------------------------

void Current_Unit_UpToDate() {
  a_doc_unit* unit = g_doc.up;
  if (!g_doc.doc_open || unit == nullptr) return;
  Rect rect;
  GWorldPtr world = nullptr;
  Current_Unit_Merge_Check(rect, world);
  if (EmptyRect(unit->refresh_dirty)) return;
  Doc_Draw(unit->refresh_dirty);
  unit->refresh_dirty = kNoRect;
}

void Current_Unit_Merge_Check(Rect& rect, GWorldPtr& world) {
  rect = kNoRect;
  world = nullptr;
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr) return;
  const a_ratio z = gs.views[0].zoom_factor;
  if (z.num <= 0 || z.den <= 0 || z.num >= z.den) {
    rect = unit->paintbounds;
  } else {
    // The unit's size on the screen, whatever the view's origin.
    rect = Rect{0, 0, Clamp16(Ceil_Div(int64(unit->paintbounds.bottom) * z.num, z.den)),
                Clamp16(Ceil_Div(int64(unit->paintbounds.right) * z.num, z.den))};
  }
  Unit_Merge_Check(g_doc.upx, unit, rect, world);
}

void Unit_Merge_Check(uint32 ux, a_doc_unit* unit, const Rect& rect, GWorldPtr& world) {
  world = nullptr;
  if (unit == nullptr || EmptyRect(rect)) return;
  a_cached_gworld& total = unit->statics[TOTAL_LAYER];
  // 1. A layer of new bounds: everything to render.
  if (total.world == nullptr || !EqualRect(total.bounds, rect)) {
    Dispose_GWorld(total.world);
    total.bounds = kNoRect;
    New_GWorldF("Total Layer", rect, 32, nullptr, total.world);
    if (total.world == nullptr) return;
    total.bounds = rect;
    unit->render_dirty = unit->paintbounds;
  }
  // 2. The layer of everything but the edited text.
  const uint32 edited = Edited_Id(ux);
  a_cached_gworld& minus = unit->statics[MINUS_LAYER];
  if (edited != 0 && (minus.world == nullptr || !EqualRect(minus.bounds, total.bounds))) {
    Dispose_GWorld(minus.world);
    minus.bounds = kNoRect;
    New_GWorldF("Minus Layer", total.bounds, 32, nullptr, minus.world);
    if (minus.world != nullptr) minus.bounds = total.bounds;
  }
  // 3. Editing began, ended or moved to another object: the whole unit once.
  if (edited != unit->excluded_id) UnionRect2(unit->render_dirty, unit->paintbounds, unit->render_dirty);
  // 4. Text layouts.
  Check_Text_Formats(ux);
  // 5. Render what is stale; it is to be refreshed until it is drawn.
  if (!EmptyRect(unit->render_dirty)) {
    const Rect dirty = Grown(unit->render_dirty, 1);
    Render_Unit_Screen(ux, unit, dirty, rect);
    const bool zoomed_out = rect.right < unit->paintbounds.right;
    const int32 margin = zoomed_out ? ScreenToCellInt(1, REFRESH_MARGIN) : REFRESH_MARGIN;
    UnionRect2(unit->refresh_dirty, Grown(dirty, margin), unit->refresh_dirty);
    unit->render_dirty = kNoRect;
  }
  world = total.world;
}

void PrintPrevew_Unit_Merge_Check(uint32 ux, a_doc_unit* unit, const Rect& box, Rect& rect, GWorldPtr& world) {
  rect = kNoRect;
  world = nullptr;
  if (unit == nullptr) return;
  rect = unit->statics[TOTAL_LAYER].bounds;
  if (EmptyRect(rect)) {
    int32 w = int32(box.right) - box.left, h = int32(box.bottom) - box.top;
    // A box of no size would double for ever: it makes no layer.
    if (w <= 0 || h <= 0) {
      rect = kNoRect;
      return;
    }
    while (w < 100 && h < 100) {
      w *= 2;
      h *= 2;
    }
    rect = Rect{0, 0, Clamp16(h), Clamp16(w)};
  }
  Unit_Merge_Check(ux, unit, rect, world);
}

// --- Screen rendering ----------------------------------------------------------------------

void Render_Unit_Screen(uint32 ux, a_doc_unit* unit, const Rect& dirty, const Rect& rect) {
  if (unit == nullptr) return;
  // 1. The area, in cells and in merge pixels.
  Rect r;
  if (!SectRect(dirty, unit->paintbounds, r)) return;
  Rect mr;
  CellToMergeRect(unit, r, mr);
  if (!SectRect(mr, rect, mr)) return;
  // 2. The target: everything, or everything but the edited text.
  const uint32 edited = Edited_Id(ux);
  a_cached_gworld& total = unit->statics[TOTAL_LAYER];
  a_cached_gworld& minus = unit->statics[MINUS_LAYER];
  if (edited == 0) {
    Dispose_GWorld(minus.world);
    minus.bounds = kNoRect;
  }
  GWorldPtr target = edited != 0 && minus.world != nullptr ? minus.world : total.world;
  if (target == nullptr) return;
  // 3. Text sizes in the unit's cells, as the layout measured them: the
  // layer's scale reaches the glyphs through the mapping they render at.
  Push_TextSize_Mapping_U(ux);
  // 4. The canvas.
  Push_GWorld(target);
  Render_Canvas(target, true, ux, unit->canv, r, rect);
  // 5. The objects, bottom to top.
  const int32 n = std::min<int32>(unit->oj.nlist, MAX_OJ);
  for (int32 omx = 1; omx <= n; ++omx) {
    const a_oj_item& item = unit->oj.list[omx - 1];
    if (!Has_Flag(item, VISIBLE_FLAG)) continue;
    if (edited != 0 && item.objid == edited) continue;
    Merge_Object(unit, omx, item, mr, target);
  }
  // 6. The outline.
  Outer_Mask_Check(ux, unit, rect);
  const a_cached_gworld& outer = unit->statics[OUTERMASK_LAYER];
  if (outer.world != nullptr && outer.mask != nullptr)
    Port_To_Port_Deep(outer.world, outer.mask, target, mr, mr, mr, nullptr);
  Pop_GWorld();
  // 7. The edited text on top of the rest, whatever its place in the list.
  if (edited != 0 && target == minus.world) {
    Port_To_Port(minus.world, total.world, total.bounds, total.bounds, srcCopy, nullptr);
    a_oj_master& m = unit->oj;
    for (int32 omx = 1; omx <= n; ++omx)
      if (m.list[omx - 1].objid == edited && m.list[omx - 1].kind == TEXT_BLOCK) {
        Merge_Text_Block(2, unit, omx, m.list[omx - 1].om, total.bounds, total.world);
        break;
      }
  }
  // 8.
  Pop_TextSize_Mapping();
  unit->excluded_id = edited;
  // The navigator's miniature of the current unit is made again at idle.
  if (ux == g_doc.upx) Nav_Inval();
}

void Merge_Object(a_doc_unit* unit, int32 objx, const a_oj_item& item, const Rect& mrect, GWorldPtr world) {
  switch (item.kind) {
    case PHOTO_BLOCK:
    case SYMBOL_BLOCK: Merge_Photo_Block(unit, objx, item, mrect, world); break;
    case TEXT_BLOCK: Merge_Text_Block(0, unit, objx, item.om, mrect, world); break;
    case PAINT_BLOCK: Merge_Paint_Layer(unit, mrect, world); break;
    default: break;  // collage slots draw nothing here
  }
}

void Merge_Photo_Block(a_doc_unit* unit, int32, const a_oj_item& item, const Rect& mrect, GWorldPtr world) {
  if (unit == nullptr || item.ph == nullptr || world == nullptr) return;
  a_ph_rec ph = *item.ph;
  if (!Scale_Photo(Merge_Scale(unit), ph)) return;
  PH_Draw(world, &ph, FOR_SCREEN, &mrect);
}

void Merge_Text_Block(int16 mode, a_doc_unit* unit, int32 omx, a_om_rec* om, const Rect& rect, GWorldPtr world) {
  if (unit == nullptr || om == nullptr || world == nullptr) return;
  OM_Ensure_Cache_Bits(unit, omx, om);
  if (mode == 2 && Is_Editing_Text() && g_ed.sel_lo != g_ed.sel_hi) Draw_Selected_Range(world, om, unit);
  Blend_MW(om->cache.shad, world, rect);
  Blend_MW(om->cache.text, world, rect);
}

void Merge_Paint_Layer(a_doc_unit* unit, const Rect& mrect, GWorldPtr world) {
  if (unit == nullptr || !unit->paintinuse || EmptyRect(mrect)) return;
  const a_cached_gworld& paint = unit->statics[PAINT1_LAYER];
  if (paint.world == nullptr || paint.mask == nullptr) return;
  const Rect& layer = unit->statics[TOTAL_LAYER].bounds;
  if (EqualRect(layer, paint.bounds) || EmptyRect(layer))
    Port_To_Port_Deep(paint.world, paint.mask, world, mrect, mrect, mrect, nullptr);
  else
    Blend_Scaled(paint.world, paint.mask, world, paint.bounds, layer, mrect);
}

namespace {

void Ensure_Coord(uint32 ux, a_om_rec* om) {
  if ((om->cache.progress & Progress_Bit(READY_COORD)) == 0) OM_Recalc(om, ux);
}

}  // namespace

void OM_Ensure_Cache_Coord(int32, a_om_rec* om) {
  if (om != nullptr) Ensure_Coord(g_doc.upx, om);
}

void OM_Ensure_Cache_Bits(a_doc_unit* unit, int32, a_om_rec* om) {
  if (unit == nullptr || om == nullptr) return;
  Ensure_Coord(Unit_Index(unit), om);
  a_cell_scale s = Merge_Scale(unit);
  s.originh = s.originv = 0;
  const a_coord_mapping wanted = Text_Mapping(s);
  a_text_cache& cache = om->cache;
  if ((cache.progress & Progress_Bit(READY_BITS)) != 0 && Equal_CMapping(cache.mapping, wanted)) return;
  Dispose_MW(cache.text);
  Dispose_MW(cache.shad);
  OM_Render_In(wanted, om, Unit_Index(unit), cache.text, cache.shad);
  cache.mapping = wanted;
  cache.progress = a_cache_progress_set(cache.progress | Progress_Bit(READY_BITS));
}

// --- Print rendering -----------------------------------------------------------------------

bool8 Render_Unit_Print(uint32 ux, a_doc_unit* unit, const Rect& bounds, GWorldPtr& world) {
  world = nullptr;
  if (unit == nullptr || EmptyRect(bounds) || EmptyRect(unit->paintbounds)) return false;
  // The world's sides and bytes are counted in 64 bits: a size past what
  // can be held fails the print like a world that cannot be made.
  const int64 w = int64(bounds.right) - bounds.left, h = int64(bounds.bottom) - bounds.top;
  if (w > 32767 || h > 32767 || w * h * 4 > int64(0x7FFFFFFF) || New_GWorld(bounds, 32, nullptr, world) != 0 ||
      world == nullptr) {
    world = nullptr;
    OK_Alert(false, kAlertNoMemory);
    return false;
  }
  // 1. The scale: bounds over paintbounds.
  a_print_info& p = g_doc.doc_print;
  p.scaling_factorx = a_ratio{int16(w), int16(unit->paintbounds.right - unit->paintbounds.left)};
  p.scaling_factory = a_ratio{int16(h), int16(unit->paintbounds.bottom - unit->paintbounds.top)};
  p.doc_origin = Point{bounds.top, bounds.left};
  // 2. Text sizes in cells, as on the screen. 3. The picture.
  Push_TextSize_Mapping_U(ux);
  Push_GWorld(world);
  Render_Canvas(world, false, ux, unit->canv, bounds, bounds);
  const int32 n = std::min<int32>(unit->oj.nlist, MAX_OJ);
  for (int32 omx = 1; omx <= n; ++omx) {
    const a_oj_item& item = unit->oj.list[omx - 1];
    if (Has_Flag(item, VISIBLE_FLAG)) Print_Object(unit, omx, item, bounds);
  }
  // 4. The outline: white outside it on paper.
  GWorldPtr mworld = nullptr, mmask = nullptr;
  if (Calc_Outer_Mask(true, ux, unit, bounds, mworld, mmask))
    Port_To_Port_Deep(mworld, mmask, world, bounds, bounds, bounds, nullptr);
  Dispose_GWorld(mworld);
  Dispose_GWorld(mmask);
  Pop_GWorld();
  Pop_TextSize_Mapping();
  return true;
}

void Print_Object(a_doc_unit* unit, int32 objx, const a_oj_item& item, const Rect& bounds) {
  switch (item.kind) {
    case PHOTO_BLOCK:
    case SYMBOL_BLOCK: {
      if (item.ph == nullptr) return;
      a_ph_rec ph = *item.ph;
      if (!Scale_Photo(Print_Scale(), ph)) return;
      PH_Draw(Get_GWorld(), &ph, FOR_PRINTING, &bounds);
      break;
    }
    case TEXT_BLOCK: Print_Text_Block(unit, objx, item.om, bounds); break;
    case PAINT_BLOCK: Print_Paint_Layer(unit, bounds); break;
    default: break;
  }
}

void Print_Text_Block(a_doc_unit* unit, int32, a_om_rec* om, const Rect& bounds) {
  if (unit == nullptr || om == nullptr) return;
  Ensure_Coord(Unit_Index(unit), om);
  a_masked_gworld text, shad;
  Null_MW(text);
  Null_MW(shad);
  OM_Render_In(Text_Mapping(Print_Scale()), om, Unit_Index(unit), text, shad);
  GWorldPtr world = Get_GWorld();
  Blend_MW(shad, world, bounds);
  Blend_MW(text, world, bounds);
  Dispose_MW(shad);
  Dispose_MW(text);
}

void Print_Paint_Layer(a_doc_unit* unit, const Rect& bounds) {
  if (unit == nullptr || !unit->paintinuse) return;
  const a_cached_gworld& paint = unit->statics[PAINT1_LAYER];
  if (paint.world == nullptr || paint.mask == nullptr) return;
  Port_To_Port_Deep(paint.world, paint.mask, Get_GWorld(), paint.bounds, paint.bounds, bounds, nullptr);
}

// --- Marking units stale -------------------------------------------------------------------

void Unit_PostRender(a_doc_unit* unit) {
  if (unit == nullptr) return;
  unit->render_dirty = unit->paintbounds;
  unit->oj.seq = NextUniqueID();
}

void Curr_Unit_PostRender() { Unit_PostRender(g_doc.up); }

void All_Units_PostRender() {
  const uint32 n = std::min<uint32>(g_doc.doc_template.nunits, MAXNUNITS);
  for (uint32 ux = 1; ux <= n; ++ux) Unit_PostRender(g_doc.doc_units[ux - 1]);
}

void Check_Text_Formats(uint32 ux) {
  a_doc_unit* unit = Doc_Unit(ux);
  if (unit == nullptr) return;
  const int32 n = std::min<int32>(unit->oj.nlist, MAX_OJ);
  bool any = false;
  for (int32 omx = 1; omx <= n && !any; ++omx)
    any = unit->oj.list[omx - 1].kind == TEXT_BLOCK && Has_Flag(unit->oj.list[omx - 1], VISIBLE_FLAG);
  if (!any) return;
  // The unit made current for the while, without the interface following.
  const uint32 saved_upx = g_doc.upx;
  a_doc_unit* saved_up = g_doc.up;
  g_doc.upx = ux;
  g_doc.up = unit;
  for (int32 omx = 1; omx <= n; ++omx) {
    const a_oj_item& item = unit->oj.list[omx - 1];
    if (item.kind == TEXT_BLOCK && Has_Flag(item, VISIBLE_FLAG)) OM_BringUpToDate(omx);
  }
  g_doc.upx = saved_upx;
  g_doc.up = saved_up;
}

// --- The outer mask and the unit's regions -----------------------------------------------

bool8 Has_Outer_Mask(uint32 ux) {
  const a_unit* spec = Template_Unit(ux);
  if (spec == nullptr) return false;
  switch (Unit_Kind_Shape(spec->kind)) {
    case SHAPE_ROUNDRECT: return spec->meas[0] != 0;
    case SHAPE_RING:
    case SHAPE_AUDIOFACE:
    case SHAPE_BIZHOCKEY:
    case SHAPE_BIZRECT: return true;
    default: return false;
  }
}

bool8 Is_Unit_Fuzzed(uint32 ux, const a_doc_unit* unit) {
  const a_unit* spec = Template_Unit(ux);
  if (spec == nullptr || unit == nullptr) return false;
  if (spec->kind != UNIT_CD && spec->kind != UNIT_CD_CORE && spec->kind != UNIT_MINICD_RING) return false;
  return unit->canv.cv.canvas_fuzz_in != 0 || unit->canv.cv.canvas_fuzz_out != 0;
}

void Outer_Mask_Check(uint32 ux, a_doc_unit* unit, const Rect& bounds) {
  if (unit == nullptr) return;
  a_cached_gworld& layer = unit->statics[OUTERMASK_LAYER];
  if (!Has_Outer_Mask(ux)) {
    Dispose_GWorld(layer.world);
    Dispose_GWorld(layer.mask);
    layer.bounds = kNoRect;
    return;
  }
  if (layer.targ_seq == layer.curr_seq && EqualRect(layer.bounds, bounds) && layer.world != nullptr) return;
  layer.bounds = kNoRect;
  if (!Calc_Outer_Mask(false, ux, unit, bounds, layer.world, layer.mask)) return;
  layer.bounds = bounds;
  layer.curr_seq = layer.targ_seq;
}

bool8 Calc_Outer_Mask(bool8 forprint, uint32 ux, a_doc_unit* unit, const Rect& bounds, GWorldPtr& world,
                      GWorldPtr& mask) {
  // 1.
  Dispose_GWorld(world);
  Dispose_GWorld(mask);
  const a_unit* spec = Template_Unit(ux);
  if (unit == nullptr || spec == nullptr || !Has_Outer_Mask(ux) || EmptyRect(bounds)) return false;
  // 2. On paper a world that cannot be made fails the print; on the screen
  // the out-of-memory hook has its say.
  if (forprint) {
    if (New_GWorld(bounds, 32, nullptr, world) != 0 || New_GWorld(bounds, 8, gray_ctable, mask) != 0) {
      Dispose_GWorld(world);
      Dispose_GWorld(mask);
      return false;
    }
  } else {
    New_GWorldF("Calc_Outer_Mask", bounds, 32, nullptr, world);
    New_GWorldF("Calc_Outer_Mask", bounds, 8, gray_ctable, mask);
    if (world == nullptr || mask == nullptr) {
      Dispose_GWorld(world);
      Dispose_GWorld(mask);
      return false;
    }
  }
  Cursor_Push_Watch();
  // 3. The regions, and the unit as printed.
  RgnHandle inside = NewRgn(), outside = NewRgn();
  const bool lightscribe = (g_doc.doc_template.tflags & (uint32(1) << IS_LIGHTSCRIBE)) != 0;
  a_unit adjusted = *spec;
  if (lightscribe) {
    Calc_LS_Rgns(bounds, inside, outside);
  } else {
    Calc_Adjusted_Unit(true, false, 1, Calc_Direct_Print_Kind(), *spec, adjusted);
    Calc_Hole_Rgns(!forprint || Is_Direct_Print(), adjusted, bounds, inside, outside);
  }
  const uint8 level = forprint ? OUTER_LEVEL_PRINT : OUTER_LEVEL_SCREEN;
  // 4. The world: white, the pasteboard outside on the screen.
  Push_GWorld(world);
  BackColor(0);
  EraseRect(bounds);
  if (!forprint) Draw_PasteBoard_Rgn(outside);
  Pop_GWorld();
  // 5. The mask.
  if (!lightscribe && Is_Unit_Fuzzed(ux, unit)) {
    // The adjusted box already holds the bleeds.
    adjusted.bleed = a_frect{0, 0, 0, 0};
    Calc_Circular_Mask(level, unit->canv.cv.canvas_fuzz_in, unit->canv.cv.canvas_fuzz_out, adjusted, mask);
  } else {
    Push_GWorld(mask);
    SetForeColor8(255);
    PaintRect(bounds);
    SetForeColor8(uint8(255 - level));
    PaintRgn(outside);
    Pop_GWorld();
  }
  // 6.
  DisposeRgn(inside);
  DisposeRgn(outside);
  Cursor_Pop();
  return true;
}

namespace {

// inside := the unit's region through the mapping of frame onto bounds;
// outside := bounds less inside.
void Rgns_On(bool8 withhole, const a_unit& frame, const a_unit& spec, const Rect& bounds, RgnHandle inside,
             RgnHandle outside) {
  if (inside == nullptr || outside == nullptr) return;
  a_coord_mapping mapping;
  Calc_Unit_Mapping(frame, bounds, mapping);
  Push_Mapping(mapping);
  a_iunit iunit;
  Map_Unit(spec, iunit);
  Calc_Unit_Region(withhole, iunit, inside);
  Pop_Mapping();
  RectRgn(outside, bounds);
  DiffRgn(outside, inside, outside);
}

}  // namespace

void Calc_Hole_Rgns(bool8 withhole, const a_unit& spec, const Rect& bounds, RgnHandle inside, RgnHandle outside) {
  Rgns_On(withhole, spec, spec, bounds, inside, outside);
}

void Calc_LS_Rgns(const Rect& bounds, RgnHandle inside, RgnHandle outside) {
  constexpr float kFrame = 117.4f, kCentre = 58.7f;
  float d = 0, hole = 0;
  switch (gs.slider_vals[LS_COVERAGE_SLIDER]) {
    case 1: d = 73.0f, hole = 62.8f; break;
    case 2: d = 73.0f, hole = 50.1f; break;
    case 3: d = 117.4f, hole = 47.6f; break;
    default: QUIT(); return;
  }
  a_unit frame{};
  frame.kind = UNIT_CD;
  frame.bbox = a_frect{0, 0, kFrame, kFrame};
  a_unit disc = frame;
  disc.bbox = a_frect{kCentre - d / 2, kCentre - d / 2, kCentre + d / 2, kCentre + d / 2};
  disc.meas[0] = hole;
  Rgns_On(true, frame, disc, bounds, inside, outside);
}
