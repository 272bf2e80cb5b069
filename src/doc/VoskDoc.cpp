#include "doc/VoskDoc.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "doc/ParsDISC.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "pixel/OPUtil.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

constexpr uint32 Bit(uint32 b) { return uint32(1) << b; }
constexpr int16 kUntitledString = 48;  // dialog string "Untitled"
constexpr int16 kLayoutRefusedAlert = 77;

bool Is_Disc_Kind(uint8 kind) {
  return kind == UNIT_CD || kind == UNIT_MINICD_RING || kind == UNIT_MINICD_HOCKEY || kind == UNIT_MINICD_RECT;
}

bool Finite(float v) { return std::isfinite(v); }

// Tells the user why a layout cannot be used.
void Report_Refused_Layout(a_expand_result r) {
  const char* why = Expand_Result_Text(r);
  Param_Text(CStrSpan(why, std::strlen(why) + 1), "", "", "");
  OK_Alert(false, kLayoutRefusedAlert);
}

Point Rect_Centre(const Rect& r) {
  return Point{int16((int32(r.top) + r.bottom) / 2), int16((int32(r.left) + r.right) / 2)};
}

// The nearest master at or before ux among units[0 .. n - 1]; 0 when none.
uint32 Master_Of(a_doc_unit* const* units, uint32 n, uint32 ux) {
  if (ux < 1 || ux > n || units[ux - 1] == nullptr) return 0;
  while (ux >= 1 && units[ux - 1] != nullptr && units[ux - 1]->clonef) --ux;
  if (ux < 1 || units[ux - 1] == nullptr) return 0;
  return ux;
}

// Copies the pixels of rectangle r (in both worlds' coordinates) from src
// to dst, two worlds of one depth.
void Copy_World_Rect(GWorldPtr src, GWorldPtr dst, const Rect& r) {
  if (src == nullptr || dst == nullptr || r.right <= r.left || r.bottom <= r.top) return;
  const PixMap& s = src->pix;
  const PixMap& d = dst->pix;
  if (s.pixelSize != d.pixelSize) {
    QUIT();
    return;
  }
  const uint32 bpp = uint32(s.pixelSize) / 8;
  const uint32 srow = PixMap_RowBytes(s), drow = PixMap_RowBytes(d);
  const size_t len = size_t(r.right - r.left) * bpp;
  for (int32 y = r.top; y < r.bottom; ++y) {
    const char* from = s.baseAddr + size_t(y - s.bounds.top) * srow + size_t(r.left - s.bounds.left) * bpp;
    char* to = d.baseAddr + size_t(y - d.bounds.top) * drow + size_t(r.left - d.bounds.left) * bpp;
    std::memcpy(to, from, len);
  }
}

// dst := src's paint layer over the canvas newb: the same pixels at the same
// cells, cut off outside newb, unpainted white where src has none.
void Copy_Paint_Layer(const a_cached_gworld& src, const Rect& newb, a_cached_gworld& dst) {
  dst.curr_seq = src.curr_seq;
  dst.targ_seq = src.targ_seq;
  if (src.world == nullptr) {
    Dispose_GWorld(dst.world);
    Dispose_GWorld(dst.mask);
    dst.bounds = src.bounds;
    return;
  }
  dst.bounds = newb;
  if (src.world->pix.bounds == newb) {
    Copy_GWorld(src.world, dst.world);
    Copy_GWorld(src.mask, dst.mask);
    return;
  }
  Dispose_GWorld(dst.world);
  Dispose_GWorld(dst.mask);
  New_GWorldF("Doc world", newb, 32, nullptr, dst.world);
  if (dst.world == nullptr) return;
  Push_GWorld(dst.world);
  BackColor(0);
  EraseRect(newb);
  Pop_GWorld();
  Rect overlap;
  if (SectRect(src.world->pix.bounds, newb, overlap)) Copy_World_Rect(src.world, dst.world, overlap);
  if (src.mask != nullptr) {
    New_GWorldF("Doc mask", newb, 8, gray_ctable2, dst.mask);  // all 0: unpainted
    if (dst.mask != nullptr && SectRect(src.mask->pix.bounds, newb, overlap))
      Copy_World_Rect(src.mask, dst.mask, overlap);
  }
}

// Frees unit records left in g_doc (none when the document was closed).
void Free_All_Units() {
  for (a_doc_unit*& unit : g_doc.doc_units) {
    if (unit == nullptr) continue;
    Dispose_Unit_Content(unit);
    Dispose_Unit_Rec(unit);
  }
  g_doc.up = nullptr;
  g_doc.upx = 0;
}

// Makes a unit read as a clone a master with a fresh design.
void Make_Fresh_Master(uint32 ux) {
  a_doc_unit* unit = Doc_Unit(ux);
  if (unit == nullptr) return;
  Dispose_Unit_Content(unit);
  OMast_Init(unit->oj);
  unit->groupx = 1;
  New_Doc_Unit(ux, unit, 1);
}

}  // namespace

// --- Layouts -------------------------------------------------------------------------

a_expand_result Check_Template(const a_template& tmpl) {
  if (tmpl.nunits < 1 || tmpl.nunits > MAXNUNITS) return EXPAND_BAD_COUNT;
  if (!Finite(tmpl.papersize.x) || !Finite(tmpl.papersize.y) || !(tmpl.papersize.x > 0) ||
      !(tmpl.papersize.y > 0))
    return EXPAND_BAD_SIZE;
  if (tmpl.papersize.x > LAYOUT_MAX_MM || tmpl.papersize.y > LAYOUT_MAX_MM) return EXPAND_TOO_LARGE;
  const float lo = -float(LAYOUT_MAX_MM), hi = float(LAYOUT_MAX_MM);
  for (uint32 i = 0; i < tmpl.nunits; ++i) {
    const a_unit& u = tmpl.units[i];
    if (u.kind > LAST_UNIT_KIND) return EXPAND_BAD_KIND;
    for (float v : {u.bbox.left, u.bbox.top, u.bbox.right, u.bbox.bottom, u.bleed.left, u.bleed.top, u.bleed.right,
                    u.bleed.bottom, u.meas[0], u.meas[1], u.meas[2], u.meas[3]})
      if (!Finite(v)) return EXPAND_BAD_SIZE;
    if (!(u.bbox.right > u.bbox.left) || !(u.bbox.bottom > u.bbox.top)) return EXPAND_BAD_SIZE;
    if (u.bleed.left < 0 || u.bleed.top < 0 || u.bleed.right < 0 || u.bleed.bottom < 0)
      return EXPAND_NEGATIVE_BLEED;
    for (float e : {u.bbox.left - u.bleed.left, u.bbox.top - u.bleed.top, u.bbox.right + u.bleed.right,
                    u.bbox.bottom + u.bleed.bottom})
      if (!Finite(e) || e < lo || e > hi) return EXPAND_TOO_LARGE;
  }
  if ((tmpl.tflags & Bit(IS_CDPRINTER)) != 0 && !Is_Disc_Kind(tmpl.units[0].kind)) return EXPAND_NOT_DISC;
  return EXPAND_OK;
}

// --- Documents -----------------------------------------------------------------------

bool8 Doc_New(const a_template& tmpl) {
  const a_expand_result check = Check_Template(tmpl);
  if (check != EXPAND_OK) {
    Report_Refused_Layout(check);
    return false;
  }
  // The layout may be the open document's own: copy it before closing that.
  auto layout = std::make_unique<a_template>(tmpl);
  layout->label[sizeof layout->label - 1] = 0;
  if (g_doc.doc_open) Doc_Dispose();
  Free_All_Units();
  g_doc.doc_new = true;
  std::memcpy(static_cast<void*>(&g_doc.doc_template), layout.get(), sizeof g_doc.doc_template);
  Str255 name{};
  Get_DLOG_String(name, kUntitledString);
  if (!Name_To_Path(0, name, g_doc.doc_path)) std::memset(&g_doc.doc_path, 0, sizeof g_doc.doc_path);
  Doc_Name_Changed(name);
  New_Doc_Buffers();
  Init_SP1();
  Init_SP2();
  return true;
}

bool8 Doc_Read(bool8 is_template) {
  if (!Read_DISC(g_doc.doc_path, false)) {
    OK_Alert(false, 10);  // "Sorry, could not read the file."
    return false;
  }
  g_doc.doc_new = is_template;
  Fix_Clone_Flags();
  Init_SP1();
  const a_direct_print_kind kind = Calc_Direct_Print_Kind();
  int16 mediax = g_doc.doc_mediax;
  if (mediax < 0 || mediax >= NMEDIA_SPECS) mediax = 0;
  g_doc.doc_mediax = mediax;
  gs.pref.print_media[kind].listx = uint16(mediax);
  Init_SP2();
  History_Base();
  // Another document in the same phase (opened or reverted in the print
  // preview): every panel shows it, not what was there before.
  SV_Set_Virtual(SV_CONFIG_ALL);
  if (gs.outer_window != nullptr) Invalidate_Window(gs.outer_window);
  return true;
}

void Doc_Dispose() {
  // The panels hidden by Escape come back with the start screen.
  if (!gs.tool_show) SV_Set_Bool(SV_TOOL_SHOW, true);
  Dispose_Doc_Buffers();
  Stop_SP();
  SV_Set_Bool(SV_DOC_OPEN, false);
}

void Doc_Name_Changed(CStrSpan name) {
  Str255 title{};
  Get_Translated_String(title, STRLIST_PROGRAM, PROG_LONG_NAME);
  const size_t n = std::strlen(title);
  size_t len = 0;
  while (len < name.size() && name[len] != 0) ++len;
  if (len > 0 && n + 3 < sizeof title) {
    std::memcpy(title + n, " - ", 3);
    const size_t room = sizeof title - 1 - (n + 3);
    std::memcpy(title + n + 3, name.data(), len < room ? len : room);
    title[n + 3 + (len < room ? len : room)] = 0;
  }
  if (gs.outer_window != nullptr) SetWTitle(gs.outer_window, title);
}

bool8 Proj_PickLayout2(uint32 templatex) {
  a_ctemplate entry;
  if (!Get_CTemplate(templatex, entry)) return false;
  auto layout = std::make_unique<a_template>();
  const a_expand_result r = Expand_Template(entry, *layout);
  if (r != EXPAND_OK) {
    Report_Refused_Layout(r);
    return false;
  }
  if (!Doc_New(*layout)) return false;
  RecentLay_Add(CStrSpan(entry.label, sizeof entry.label));
  return true;
}

void Proj_PickLayout() {
  SV_Set_Enum(SV_PHASE, PAPER_PHASE);
  SV_Set_Virtual(SV_CONFIG_ALL);
}

// --- Units -----------------------------------------------------------------------------

a_doc_unit* Doc_Unit(uint32 ux) {
  if (ux < 1 || ux > g_doc.doc_template.nunits || ux > MAXNUNITS) return nullptr;
  return g_doc.doc_units[ux - 1];
}

void New_Doc_Buffers() {
  g_doc.doc_changed = false;
  g_doc.doc_ncopies = 1;
  const a_direct_print_kind kind = Calc_Direct_Print_Kind();
  const uint16 listx = gs.pref.print_media[kind].listx;
  g_doc.doc_mediax = int16(listx < NMEDIA_SPECS ? listx : 0);
  g_doc.upx = 0;
  g_doc.up = nullptr;
  const uint32 n = g_doc.doc_template.nunits <= MAXNUNITS ? g_doc.doc_template.nunits : MAXNUNITS;
  uint32 group = 1;
  for (uint32 ux = 1; ux <= n; ++ux) {
    a_doc_unit* unit = New_Unit_Rec();
    g_doc.doc_units[ux - 1] = unit;
    if (unit == nullptr) return;
    // A clone shares its master's design, so it must be of its kind and of
    // its canvas size.
    bool clone = false;
    if (ux > 1) {
      const a_doc_unit* prev = g_doc.doc_units[ux - 2];
      Rect bounds;
      Calc_Unit_Bounds(g_doc.doc_template.units[ux - 1], bounds);
      clone = g_doc.doc_template.units[ux - 1].kind == g_doc.doc_template.units[ux - 2].kind &&
              prev != nullptr && prev->paintbounds == bounds;
    }
    if (clone) {
      ++group;
      Null_Doc_Unit(ux, group);
    } else {
      group = 1;
      Null_Doc_Unit(ux, 1);
      New_Doc_Unit(ux, unit, 1);
    }
  }
  History_Base();
}

void Dispose_Doc_Buffers() {
  Free_All_Units();
  Cache_Clear();
  History_Flush();
}

void Null_Doc_Unit(uint32 ux, uint32 groupx) {
  a_doc_unit* unit = Doc_Unit(ux);
  if (unit == nullptr) return;
  unit->groupx = groupx;
  unit->clonef = true;
  unit->printf = true;
  Calc_Unit_Bounds(g_doc.doc_template.units[ux - 1], unit->paintbounds);
  unit->symmetry_center = Rect_Centre(unit->paintbounds);
  unit->edit_focus = unit->symmetry_center;
  unit->ruler_origin = unit->symmetry_center;
}

void New_Doc_Unit(uint32 ux, a_doc_unit* unit, uint32 /*groupx*/) {
  if (unit == nullptr || ux < 1 || ux > MAXNUNITS) return;
  unit->clonef = false;
  Init_CV(unit->canv.cv);
  CanvX_To_Key(unit->canv.cv.canvas_key, 1, g_doc.doc_template.units[ux - 1].kind);
  unit->statics[TOTAL_LAYER].targ_seq = 1;
  unit->statics[MINUS_LAYER].targ_seq = 1;
}

void Dispose_Unit_Content(a_doc_unit* unit) {
  if (unit == nullptr) return;
  Undo_Forget_Unit(unit);
  OMast_Dispose(unit->oj);
  for (a_cached_gworld& layer : unit->statics) {
    Dispose_GWorld(layer.world);
    Dispose_GWorld(layer.mask);
    layer.bounds = Rect{0, 0, 0, 0};
  }
  unit->paintinuse = false;
  Dispose_GWorld(unit->canv.cached_world);
}

void Copy_Unit_Content(uint32 srcx, uint32 dstx) { Copy_Unit_Content2(Doc_Unit(srcx), Doc_Unit(dstx)); }

void Copy_Unit_Content2(a_doc_unit* src, a_doc_unit* dst) {
  if (src == nullptr || dst == nullptr || src == dst) return;
  Dispose_Unit_Content(dst);
  Map_Unit_Content(src, dst);
}

void Map_Unit_Content(const a_doc_unit* src, a_doc_unit* dst) {
  if (src == nullptr || dst == nullptr || src == dst) return;
  dst->clonef = false;
  // Points that the destination's canvas does not hold go to its centre.
  const Point centre = Rect_Centre(dst->paintbounds);
  auto inside = [&](Point p) { return PtInRect(p, dst->paintbounds) ? p : centre; };
  dst->symmetry_center = inside(src->symmetry_center);
  dst->ruler_origin = inside(src->ruler_origin);
  dst->edit_focus = inside(src->edit_focus);
  dst->canv.cv = src->canv.cv;
  OMast_Copy(src->oj, dst->oj);
  dst->paintinuse = src->paintinuse;
  Copy_Paint_Layer(src->statics[PAINT1_LAYER], dst->paintbounds, dst->statics[PAINT1_LAYER]);
  // The merged layers are rebuilt from the copy.
  for (a_static_layer l : {TOTAL_LAYER, MINUS_LAYER}) dst->statics[l].targ_seq = dst->statics[l].curr_seq + 1;
}

void Sync_Existence(bool8 exists, a_doc_unit* unit, a_static_layer layer) {
  if (unit == nullptr || layer >= NSTATIC_LAYERS) return;
  a_cached_gworld& l = unit->statics[layer];
  if (!exists) {
    Dispose_GWorld(l.world);
    Dispose_GWorld(l.mask);
    return;
  }
  if (l.world != nullptr) return;
  l.bounds = unit->paintbounds;
  New_GWorldF("Doc world", l.bounds, 32, nullptr, l.world);
  if (l.world != nullptr) {
    Push_GWorld(l.world);
    BackColor(0);
    EraseRect(l.bounds);
    Pop_GWorld();
  }
  Dispose_GWorld(l.mask);
  New_GWorldF("Doc mask", l.bounds, 8, gray_ctable2, l.mask);
}

void Select_Doc_Unit(uint32 ux) {
  if (ux == g_doc.upx) return;
  a_doc_unit* unit = Doc_Unit(ux);
  if (unit == nullptr) return;
  g_doc.upx = ux;
  g_doc.up = unit;
  if (!unit->clonef) {
    gs.view_focus = unit->edit_focus;
    CV_To_Sliders(unit->canv.cv);
  }
  SV_Set_Virtual(SV_MENUBAR_CHECKMARKS);
}

uint32 Find_Clone_Master(uint32 startx) {
  const uint32 n = g_doc.doc_template.nunits <= MAXNUNITS ? g_doc.doc_template.nunits : MAXNUNITS;
  return Master_Of(g_doc.doc_units, n, startx);
}

bool8 Clone(uint32 ux) {
  a_doc_unit* unit = Doc_Unit(ux);
  if (ux < 2 || unit == nullptr || unit->clonef) return false;
  const uint32 masterx = Find_Clone_Master(ux - 1);
  const a_doc_unit* master = Doc_Unit(masterx);
  if (master == nullptr || !(master->paintbounds == unit->paintbounds)) return false;
  unit->clonef = true;
  Dispose_Unit_Content(unit);
  History_Emit(OP_CLONE);
  Custom_Inval(CUSTOM_PREVIEW);
  Custom_Inval(CUSTOM_UNITLIST);
  return true;
}

bool8 Unclone(uint32 ux) {
  a_doc_unit* unit = Doc_Unit(ux);
  if (unit == nullptr || !unit->clonef) return false;
  const uint32 masterx = Find_Clone_Master(ux);
  if (masterx == 0 || masterx == ux)
    Make_Fresh_Master(ux);
  else
    Copy_Unit_Content(masterx, ux);
  History_Emit(OP_UNCLONE);
  Custom_Inval(CUSTOM_UNITLIST);
  return true;
}

void Fix_Clone_Flags() {
  const uint32 n = g_doc.doc_template.nunits <= MAXNUNITS ? g_doc.doc_template.nunits : MAXNUNITS;
  for (uint32 ux = 1; ux <= n; ++ux) {
    a_doc_unit* unit = Doc_Unit(ux);
    if (unit == nullptr || !unit->clonef) continue;
    const a_doc_unit* master = ux > 1 ? Doc_Unit(Find_Clone_Master(ux - 1)) : nullptr;
    if (master == nullptr || !(master->paintbounds == unit->paintbounds)) Make_Fresh_Master(ux);
  }
}

bool8 Do_Remap(const a_template& new_tmpl, const a_template_mapping& map) {
  const a_expand_result check = Check_Template(new_tmpl);
  if (check != EXPAND_OK) {
    Report_Refused_Layout(check);
    return false;
  }
  if (!g_doc.doc_open) return false;
  // Both may point into g_doc: take copies before it changes.
  auto layout = std::make_unique<a_template>(new_tmpl);
  layout->label[sizeof layout->label - 1] = 0;
  auto mapping = std::make_unique<a_template_mapping>(map);
  SV_Set_Enum(SV_PHASE, PREVIEW_PHASE);
  History_Flush();
  auto old = std::make_unique<a_doc_rec>();
  std::memcpy(static_cast<void*>(old.get()), &g_doc, sizeof g_doc);
  std::memcpy(static_cast<void*>(&g_doc.doc_template), layout.get(), sizeof g_doc.doc_template);
  for (a_doc_unit*& unit : g_doc.doc_units) unit = nullptr;
  New_Doc_Buffers();
  g_doc.doc_ncopies = old->doc_ncopies;
  const uint32 old_n = old->doc_template.nunits <= MAXNUNITS ? old->doc_template.nunits : MAXNUNITS;
  for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux) {
    const a_unit_mapping& m = mapping->map[ux - 1];
    if (m.mapkind != UMP_COPY) continue;
    // A clone holds no design of its own: it copies its master's.
    const uint32 srcx = Master_Of(old->doc_units, old_n, m.src_ux);
    if (srcx == 0) continue;
    Map_Unit_Content(old->doc_units[srcx - 1], Doc_Unit(ux));
  }
  // A clone the layout made may now be a master: the groups counted again.
  uint32 group = 0;
  for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux) {
    a_doc_unit* unit = Doc_Unit(ux);
    if (unit == nullptr) continue;
    group = unit->clonef ? group + 1 : 1;
    unit->groupx = group;
  }
  Select_Doc_Unit(1);
  SV_Set_Virtual(SV_CONFIG_ALL);
  History_Base();
  for (uint32 i = 0; i < MAXNUNITS; ++i) {
    a_doc_unit*& unit = old->doc_units[i];
    if (unit == nullptr) continue;
    Dispose_Unit_Content(unit);
    Dispose_Unit_Rec(unit);
  }
  // The document is no longer what its file holds.
  SV_Set_Bool(SV_DOC_CHANGED, true);
  return true;
}

// --- Unit geometry ---------------------------------------------------------------------

namespace {
constexpr double kMMPerPixel = 0.0846667;  // 300 dots per inch
constexpr int32 kMaxUnitWidth = 4000;

int32 Round_Pixels(double v) {
  if (!(v > 0)) return 0;
  if (v > 32767) return 32767;
  return int32(std::lround(v));
}
}  // namespace

float Make_Nice_Number(float x) {
  if (x <= 320) return 320;
  if (x <= 640) return 640;
  if (x <= 1280) return 1280;
  return 2000;
}

void Calc_Unit_Bounds(const a_unit& spec, Rect& bounds) {
  bounds = Rect{0, 0, 0, 0};
  const double w_mm = double(spec.bbox.right) - double(spec.bbox.left);
  const double h_mm = double(spec.bbox.bottom) - double(spec.bbox.top);
  int32 right = Round_Pixels(w_mm / kMMPerPixel);
  int32 bottom = Round_Pixels(h_mm / kMMPerPixel);
  if (right > kMaxUnitWidth) {
    right = kMaxUnitWidth;
    bottom = Round_Pixels(h_mm * kMaxUnitWidth / w_mm);
  }
  switch (spec.kind) {
    case UNIT_CD:
    case UNIT_JEWEL_LID1: right = 1200, bottom = 1200; break;
    case UNIT_MINICD_RING: right = 800, bottom = 800; break;
    case UNIT_MINICD_HOCKEY: right = 800, bottom = 590; break;
    case UNIT_MINICD_RECT: right = 850, bottom = 590; break;
    default: break;
  }
  if (right == 0 || bottom == 0) {
    // Smaller than half a pixel one way: sized from the outline with its
    // bleeds, at 10 pixels a millimetre, to a round size.
    const double w = (w_mm + double(spec.bleed.left) + double(spec.bleed.right)) * 10;
    const double h = (h_mm + double(spec.bleed.top) + double(spec.bleed.bottom)) * 10;
    if (w > 0 && h > 0) {
      if (w <= h) {
        const double nice = Make_Nice_Number(float(h));
        bottom = Round_Pixels(nice);
        right = Round_Pixels(w * nice / h);
      } else {
        const double nice = Make_Nice_Number(float(w));
        right = Round_Pixels(nice);
        bottom = Round_Pixels(h * nice / w);
      }
    }
  }
  // Every layer of a unit is a world over these bounds: never empty.
  bounds.right = int16(right < 1 ? 1 : right);
  bounds.bottom = int16(bottom < 1 ? 1 : bottom);
}

void Calc_Unit_Mapping(const a_unit& spec, const Rect& bounds, a_coord_mapping& mapping) {
  const float w = spec.bbox.right - spec.bbox.left;
  const float h = spec.bbox.bottom - spec.bbox.top;
  mapping.fdecx = spec.bbox.left;
  mapping.fdecy = spec.bbox.top;
  mapping.multx = w > 0 ? float(bounds.right - bounds.left) / w : 0.0f;
  mapping.multy = h > 0 ? float(bounds.bottom - bounds.top) / h : 0.0f;
  mapping.originx = bounds.left;
  mapping.originy = bounds.top;
  mapping.netbox = bounds;
}

a_direct_print_kind Calc_Direct_Print_KindT(const a_template& tmpl) {
  if ((tmpl.tflags & Bit(IS_CDPRINTER)) == 0) return NOT_DIRECT;
  switch (tmpl.units[0].kind) {
    case UNIT_CD: return CD_DIRECT;
    case UNIT_MINICD_RING: return MINICD_DIRECT;
    case UNIT_MINICD_HOCKEY: return HOCKEY_DIRECT;
    case UNIT_MINICD_RECT: return RECT_DIRECT;
    default: break;
  }
  QUIT();
  return NOT_DIRECT;  // QUIT does not return in the program; tests' hooks throw
}

a_direct_print_kind Calc_Direct_Print_Kind() { return Calc_Direct_Print_KindT(g_doc.doc_template); }

bool8 Is_Landscape() { return (g_doc.doc_template.tflags & Bit(IS_LANDSCAPE)) != 0; }

bool8 Is_Document_Type(OSType type) { return type == FourCC("DISC"); }

void SwapFRect(a_frect& r) {
  const a_frect o = r;
  r.left = o.top;
  r.top = o.left;
  r.right = o.bottom;
  r.bottom = o.right;
}

void VoskDoc_Init() {
  // What the layers below ask of the open document.
  g_direct_print_kind_proc = Calc_Direct_Print_Kind;
  g_is_landscape_proc = Is_Landscape;
}
