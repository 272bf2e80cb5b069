// Text objects: the record's limits, making objects, the change bracket,
// the settings and sliders, moving, and what the object list asks of a
// text. The layout pass is VoskTextLayout.cpp, the paths VoskTextPath.cpp.
#include "objects/VoskText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "objects/VoskAtom.h"
#include "objects/VoskBlok.h"
#include "objects/VoskEdit.h"
#include "objects/VoskTextI.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/Fast.h"
#include "platform/QDRect.h"
#include "platform/SysMem.h"
#include "platform/SysSound.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"

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

void Flush_Path_Cache(a_path_cache& path) {
  const uint32 n = std::min<uint32>(path.npaths, MAX_TEXT_PATHS);
  for (uint32 i = 0; i < n; ++i) {
    Ptr p = reinterpret_cast<Ptr>(path.paths[i].line);
    Dispose_Ptr(p);
    path.paths[i].line = nullptr;
  }
  path.npaths = 0;
}

namespace {
// The frame of the text being dragged as it was before the preview moved it.
const a_om_rec* g_preview_om = nullptr;
a_om_pointlist g_preview_frame;

void End_Preview() { g_preview_om = nullptr; }
}  // namespace

void OM_Dispose(a_om_rec*& om) {
  if (om == nullptr) return;
  if (g_preview_om == om) End_Preview();
  if (g_ed.edit_om == om) Null_Ed();  // the editor lets go of the record first
  Dispose_MW(om->cache.text);
  Dispose_MW(om->cache.shad);
  Flush_Path_Cache(om->cache.path);
  Ptr p = reinterpret_cast<Ptr>(om);
  Dispose_Ptr(p);
  om = nullptr;
}

bool8 Is_Editing_Text() { return gs.curr_phase == TEXT_PHASE && gs.txedit_phase == TXEDIT_EDIT; }


// --- The record's limits ------------------------------------------------------------

namespace {

int16 Limit_To(a_slider_enum slider, int32 v) {
  const a_slider_values& r = SLIDER_VALUES[slider];
  return int16(std::clamp<int32>(v, r.minval, r.maxval));
}

// The record's fields that a text slider shows, one to one.
struct a_om_slider {
  a_slider_enum slider;
  int16 a_om_rec::*field;
};
constexpr a_om_slider kOMSliders[] = {
    {TEXT_HSPACING_SLIDER, &a_om_rec::hspacing},
    {TEXT_VSPACING_SLIDER, &a_om_rec::vspacing},
    {TEXT_RADIUS_SLIDER, &a_om_rec::radius},
    {TEXT_LINEANGLE_SLIDER, &a_om_rec::lineangle},
    {TEXT_SPOKE_OUTERD_SLIDER, &a_om_rec::spoke_outerd},
    {TEXT_SPOKE_THICKNESS_SLIDER, &a_om_rec::spoke_thickness},
    {TEXT_POLARANGLE_SLIDER, &a_om_rec::polarangle},
    {TEXT_SPOKE_TOTANGLE_SLIDER, &a_om_rec::spoke_totangle},
    {TEXT_SPOKE_TWIST_SLIDER, &a_om_rec::spoke_twist},
    {TEXT_CMARGIN_SLIDER, &a_om_rec::contour_margin},
    {TEXT_STRETCH_H_SLIDER, &a_om_rec::stretch_h},
    {TEXT_STRETCH_V_SLIDER, &a_om_rec::stretch_v},
    {TEXT_SKEW_H_SLIDER, &a_om_rec::skew_h},
    {TEXT_SKEW_V_SLIDER, &a_om_rec::skew_v},
    {TEXT_SHAD_DX_SLIDER, &a_om_rec::shad_dx},
    {TEXT_SHAD_DY_SLIDER, &a_om_rec::shad_dy},
    {TEXT_SHAD_OPACITY_SLIDER, &a_om_rec::shad_opacity},
    {TEXT_SHAD_RADIUS_SLIDER, &a_om_rec::shad_radius},
    {TEXT_GLOW_OPACITY_SLIDER, &a_om_rec::glow_opacity},
    {TEXT_GLOW_RADIUS_SLIDER, &a_om_rec::glow_radius},
    {TEXT_OUTL_RADIUS_SLIDER, &a_om_rec::outl_radius},
    {TEXT_OPACITY_SLIDER, &a_om_rec::opacity},
};

int16 Size_Limit(a_text_layout layout) { return TEXT_LAYOUT_SIZE_LIMITS[layout < NTEXT_LAYOUTS ? layout : 0]; }

a_doc_unit* Curr_Unit() { return g_doc.up; }

Rect Curr_Canvas() { return g_doc.up != nullptr ? g_doc.up->paintbounds : Rect{0, 0, 0, 0}; }

a_om_rec* Text_Of(int32 omx) {
  a_oj_item* item = Obj_Item(omx);
  return item != nullptr && item->kind == TEXT_BLOCK ? item->om : nullptr;
}

// The first (bottom-most) selected text of the current unit; 0 for none.
int32 First_Selected_Text() {
  const a_doc_unit* unit = Curr_Unit();
  if (unit == nullptr) return 0;
  const int32 n = std::min<int32>(unit->oj.nlist, MAX_OJ);
  for (int32 omx = 1; omx <= n; ++omx)
    if (unit->oj.list[omx - 1].kind == TEXT_BLOCK && Is_Obj_Selected(omx) && unit->oj.list[omx - 1].om != nullptr)
      return omx;
  return 0;
}

// The topmost selected text; 0 for none.
int32 Top_Selected_Text() {
  const a_doc_unit* unit = Curr_Unit();
  if (unit == nullptr) return 0;
  for (int32 omx = std::min<int32>(unit->oj.nlist, MAX_OJ); omx >= 1; --omx)
    if (unit->oj.list[omx - 1].kind == TEXT_BLOCK && Is_Obj_Selected(omx) && unit->oj.list[omx - 1].om != nullptr)
      return omx;
  return 0;
}

bool List_Full() { return Curr_Unit() == nullptr || Curr_Unit()->oj.nlist >= MAX_OJ; }

a_pixel32 Bar_Colour(a_bar bar) {
  const int16 x = gs.bar_selection[bar];
  if (x < 0 || x >= gs.ncolor_table || x >= NCOLOR_TABLE) return a_pixel32{{0, 0, 0, 0}};
  return gs.color_table[x];
}

// Where a new object goes after style source src (NIL: the unit's default).
void New_Anchor_For(const a_om_rec* src, Point& rotcenter, Point& anchor, int16& radius) {
  const Rect canvas = Curr_Canvas();
  const int16 ch = int16((canvas.left + canvas.right) / 2), cv = int16((canvas.top + canvas.bottom) / 2);
  const int32 w = canvas.right - canvas.left, h = canvas.bottom - canvas.top;
  if (src != nullptr) {
    rotcenter = src->rotcenter;
    radius = int16(src->radius - 10);
    if (radius < SLIDER_VALUES[TEXT_RADIUS_SLIDER].minval) radius = int16(src->radius + 10);
    Rect box;
    OM_NetBox(src, box);
    anchor = Point{Text_Clamp16(int64(src->anchor.v) + (box.bottom - box.top)), src->anchor.h};
    Rect inset = canvas;
    InsetRect(inset, 20, 20);
    if (!PtInRect(anchor, inset)) anchor = Point{cv, ch};
    return;
  }
  const a_unit* spec = g_doc.upx >= 1 && g_doc.upx <= g_doc.doc_template.nunits && g_doc.upx <= MAXNUNITS
                           ? &g_doc.doc_template.units[g_doc.upx - 1]
                           : nullptr;
  int32 v = cv;
  if (spec != nullptr && (spec->kind == UNIT_MINICD_LID2 || spec->kind == UNIT_JEWEL_LID2))
    v = canvas.top + 3 * h / 4;
  else if (spec != nullptr && spec->kind == UNIT_DVDBOX_WRAP)
    v = canvas.bottom - 24 * w / 100;
  rotcenter = Point{int16(v), ch};
  radius = SLIDER_VALUES[TEXT_RADIUS_SLIDER].defaultval;
  anchor = Point{int16(canvas.top + h / 4), ch};
}

}  // namespace

void Limit_OM(a_om_rec& om) {
  om.nxyl = std::clamp<int32>(om.nxyl, 1, MAX_NXYL);
  int32 eos = om.nxyl - 1;
  for (int32 i = 0; i < om.nxyl - 1; ++i)
    if (om.xyl[i].cc_char == EOS_CHAR) {
      eos = i;
      break;
    }
  om.nxyl = eos + 1;
  om.xyl[eos].cc_char = EOS_CHAR;
  om.xyl[eos].mm_cat = CC_EOS;
  if (om.layout >= NTEXT_LAYOUTS) om.layout = LAYOUT_HORZ;
  if (om.justify > JUST_RIGHT) om.justify = JUST_LEFT;
  om.size = int16(std::clamp<int32>(om.size, SLIDER_VALUES[TEXT_SIZE_SLIDER].minval, Size_Limit(om.layout)));
  for (const a_om_slider& row : kOMSliders) om.*row.field = Limit_To(row.slider, om.*row.field);
  om.noverflows = std::min<uint32>(om.noverflows, MAX_OVERFLOWS);
  if (om.cache.frame.max == 0 || om.cache.frame.max > MAX_OM_POINTS) om.cache.frame.max = MAX_OM_POINTS;
  om.cache.frame.npoints = std::min(om.cache.frame.npoints, om.cache.frame.max);
}

int16 Validate_Contour_Anchor(int32 v, int32 radius, int32 centre) {
  if (radius < 50) return Text_Clamp16(centre);
  return Text_Clamp16(std::clamp<int64>(v, int64(centre) - radius + 50, int64(centre) + radius - 50));
}

// --- Making text objects ----------------------------------------------------------

void Set_XYL_Defaults(a_xyl_char& c) {
  c = a_xyl_char{};
  c.cc_size = 100;
}

void UniStr_To_OM(a_om_rec* om, const UniChar* text, int32 len) {
  if (om == nullptr) return;
  for (a_xyl_char& c : om->xyl) Set_XYL_Defaults(c);
  int32 n = 0;
  if (text != nullptr) {
    for (int32 i = 0; i < len && text[i] != 0 && n < MAX_NXYL - 1; ++i) {
      if (text[i] == 10) continue;
      // A pair that would not fit whole is left out whole.
      if (Is_High_Surrogate(text[i]) && i + 1 < len && Is_Low_Surrogate(text[i + 1]) && n + 1 >= MAX_NXYL - 1) break;
      om->xyl[n++].cc_char = text[i];
    }
  }
  om->xyl[n].cc_char = EOS_CHAR;
  om->xyl[n].mm_cat = CC_EOS;
  om->nxyl = n + 1;
  om->cache.progress = 0;
  Caret_Inval();
}

int32 OM_New() {
  a_doc_unit* unit = Curr_Unit();
  if (unit == nullptr || unit->oj.nlist >= MAX_OJ) QUIT();
  a_om_rec* om = New_OM_Rec();
  if (om == nullptr) return 0;
  New_Anchor_For(nullptr, om->rotcenter, om->anchor, om->radius);
  om->targwidth = NEW_TEXT_TARGWIDTH;
  Sliders_To_OM(om);
  return Obj_Append(unit->oj, TEXT_BLOCK, uint8(OJ_Flag_Bit(VISIBLE_FLAG)), nullptr, om);
}

void Text_New4(int32& omx, const UniChar* text, int32 len, int16 radius, Point anchor, Point rotcenter, bool8 flag) {
  omx = 0;
  if (List_Full()) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  omx = OM_New();
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  UniStr_To_OM(om, text, len);
  om->anchor = anchor;
  om->rotcenter = rotcenter;
  om->radius = radius;
  om->targwidth = NEW_TEXT_TARGWIDTH;
  OM_Recalc(om, g_doc.upx);
  Text_PostRender(omx);
  Obj_Number_Changed();
  if (flag) Selection_Set1(omx);
}

void Calc_New_Anchor(int32 srcx, Point& rotcenter, Point& anchor, int16& radius) {
  New_Anchor_For(srcx != 0 ? Text_Of(srcx) : nullptr, rotcenter, anchor, radius);
}

void Text_New2(const UniChar* text, int32 len, int32 srcx, Point pt, bool8 flag) {
  Point rotcenter, anchor;
  int16 radius;
  Calc_New_Anchor(srcx, rotcenter, anchor, radius);
  if (pt.h != NO_POINT || pt.v != NO_POINT) anchor = pt;
  int32 omx = 0;
  Text_New4(omx, text, len, radius, anchor, rotcenter, flag);
  if (omx != 0) Selection_Set1(omx);
}

void Text_New_At(Point cell) {
  if (List_Full()) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  const a_om_rec* style = Text_Of(Top_Selected_Text());
  const int32 omx = OM_New();
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  if (style != nullptr) {
    // The style of the selected text, without its characters.
    const Point rotcenter = om->rotcenter;
    const int16 radius = style->radius;
    OM_Copy_Into(*style, *om);
    UniStr_To_OM(om, nullptr, 0);
    om->rotcenter = rotcenter;
    om->radius = radius;
    om->noverflows = 0;
  }
  om->anchor = cell;
  om->targwidth = NEW_TEXT_TARGWIDTH;
  OM_Recalc(om, g_doc.upx);
  Text_PostRender(omx);
  Obj_Number_Changed();
  Selection_Set1(omx);
  g_ed.edit_new = true;
  Text_Edit();
}

void Text_New() {
  if (g_doc.up == nullptr) return;
  Point rotcenter, anchor;
  int16 radius;
  Calc_New_Anchor(Top_Selected_Text(), rotcenter, anchor, radius);
  Text_New_At(anchor);
}

bool8 Text_Inject_Unicode(const UniChar* buf, int32 count) {
  if (buf == nullptr || count <= 0) return false;
  // While a text is edited, it goes in at the caret.
  if (Is_Editing_Text()) return Ed_Target() != nullptr && Ed_Ins_UBuf(buf, count);
  if (List_Full()) {
    Sound_Effect(SND_OBJ_REFUSED);
    return false;
  }
  Text_New2(buf, count, Top_Selected_Text(), Point{NO_POINT, NO_POINT}, true);
  return true;
}

bool8 Text_Inject_Roman(const char* buf, int32 count) {
  if (buf == nullptr || count <= 0) return false;
  const int32 n = std::min<int32>(count, MAX_NXYL);
  UniChar wide[MAX_NXYL];
  for (int32 i = 0; i < n; ++i) wide[i] = UniChar(uint8(buf[i]));
  return Text_Inject_Unicode(wide, n);
}

void OM_To_Str(const a_om_rec* om, char* str, int32 cap) {
  if (str == nullptr || cap <= 0) return;
  int32 n = 0;
  if (om != nullptr) {
    const int32 end = std::clamp<int32>(om->nxyl, 1, MAX_NXYL) - 1;
    for (int32 i = 0; i < end && n < cap - 1; ++i) {
      const UniChar c = om->xyl[i].cc_char;
      if (c == EOS_CHAR) break;
      if (c == HARDBREAK_CHAR)
        str[n++] = '\n';
      else if (Is_Low_Surrogate(c) && i > 0 && Is_High_Surrogate(om->xyl[i - 1].cc_char))
        continue;
      else if (c >= 32)
        str[n++] = c < 256 ? char(c) : '?';
    }
  }
  str[n] = 0;
}

void OM_Dup(const a_om_rec* om) {
  a_doc_unit* unit = Curr_Unit();
  if (unit == nullptr || om == nullptr) return;
  if (unit->oj.nlist >= MAX_OJ) {
    Sound_Effect(SND_OBJ_REFUSED);
    return;
  }
  a_om_rec* copy = OM_Copy(om);
  if (copy == nullptr) return;
  copy->cache.frame.max = MAX_OM_POINTS;
  New_Anchor_For(om, copy->rotcenter, copy->anchor, copy->radius);
  const int32 omx =
      Obj_Append(unit->oj, TEXT_BLOCK, uint8(OJ_Flag_Bit(PENDING_FLAG) | OJ_Flag_Bit(VISIBLE_FLAG)), nullptr, copy);
  Begin_Text_Change(omx);
  End_Text_Change(omx);
  Obj_Number_Changed();
}

// --- The change bracket ----------------------------------------------------------------

namespace {
int32 g_text_change_depth = 0;
}

void Begin_Text_Change(int32 omx) {
  if (++g_text_change_depth == 1) {
    Caret_Inval();
    Text_PostRender(omx);
  }
}

void End_Text_Change(int32 omx) {
  if (g_text_change_depth <= 0) return;
  if (--g_text_change_depth > 0) return;
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  OM_Recalc(om, g_doc.upx);
  Text_PostRender(omx);
}

// --- Settings and the sliders ------------------------------------------------------------

bool8 om_loading = false;

void Sliders_To_OM(a_om_rec* om) {
  if (om == nullptr) return;
  om->fontx = uint32(std::max<int16>(gs.bar_selection[FONT_BAR], 1));
  om->boldf = gs.toggle_vals[TEXT_BOLD_TOGGLE];
  om->italf = gs.toggle_vals[TEXT_ITAL_TOGGLE];
  om->glowf = gs.toggle_vals[TEXT_GLOW_TOGGLE];
  om->shadf = gs.toggle_vals[TEXT_SHAD_TOGGLE];
  om->outlf = gs.toggle_vals[TEXT_OUTL_TOGGLE];
  om->undf = gs.toggle_vals[TEXT_UNDL_TOGGLE];
  const int16 layout = gs.grid_vals[TEXT_LAYOUT_GRID];
  om->layout = layout >= 0 && layout < NTEXT_LAYOUTS ? a_text_layout(layout) : LAYOUT_HORZ;
  auto just = [](int16 v) { return v >= JUST_LEFT && v <= JUST_RIGHT ? a_horz_just(v) : JUST_LEFT; };
  switch (om->layout) {
    case LAYOUT_VERT: om->justify = just(gs.grid_vals[TEXT_VJUST_GRID]); break;
    case LAYOUT_CONTOUR: om->justify = gs.grid_vals[TEXT_CJUST_GRID] == 1 ? JUST_RIGHT : JUST_LEFT; break;
    case LAYOUT_SPIRAL_CW:
    case LAYOUT_SPIRAL_CCW:
    case LAYOUT_SPOKE: break;
    default: om->justify = just(gs.grid_vals[TEXT_HJUST_GRID]); break;
  }
  for (const a_om_slider& row : kOMSliders) om->*row.field = Limit_To(row.slider, gs.slider_vals[row.slider]);
  om->size = gs.slider_vals[TEXT_SIZE_SLIDER];
  if (om->size > Size_Limit(om->layout)) {
    om->size = Size_Limit(om->layout);
    gs.slider_vals[TEXT_SIZE_SLIDER] = om->size;
  }
  om->size = std::max(om->size, SLIDER_VALUES[TEXT_SIZE_SLIDER].minval);
  om->base_color = Bar_Colour(PAINT_COLORBAR);
  om->glow_color = Bar_Colour(TEXT_GLOW_COLORBAR);
  om->shad_color = Bar_Colour(TEXT_SHAD_COLORBAR);
  om->outl_color = Bar_Colour(TEXT_OUTL_COLORBAR);
  om->cache.progress = 0;
}

void OM_To_Sliders(const a_om_rec* om) {
  if (om == nullptr) return;
  om_loading = true;
  gs.bar_selection[FONT_BAR] = int16(std::min<uint32>(om->fontx, 32767));
  gs.toggle_vals[TEXT_BOLD_TOGGLE] = om->boldf;
  gs.toggle_vals[TEXT_ITAL_TOGGLE] = om->italf;
  gs.toggle_vals[TEXT_GLOW_TOGGLE] = om->glowf;
  gs.toggle_vals[TEXT_SHAD_TOGGLE] = om->shadf;
  gs.toggle_vals[TEXT_OUTL_TOGGLE] = om->outlf;
  gs.toggle_vals[TEXT_UNDL_TOGGLE] = om->undf;
  gs.grid_vals[TEXT_LAYOUT_GRID] = om->layout;
  switch (om->layout) {
    case LAYOUT_VERT: gs.grid_vals[TEXT_VJUST_GRID] = om->justify; break;
    case LAYOUT_CONTOUR: gs.grid_vals[TEXT_CJUST_GRID] = om->justify == JUST_RIGHT ? 1 : 0; break;
    case LAYOUT_SPIRAL_CW:
    case LAYOUT_SPIRAL_CCW:
    case LAYOUT_SPOKE: break;
    default: gs.grid_vals[TEXT_HJUST_GRID] = om->justify; break;
  }
  for (const a_om_slider& row : kOMSliders) gs.slider_vals[row.slider] = Slider_Limit_Value(row.slider, om->*row.field);
  gs.slider_vals[TEXT_SIZE_SLIDER] = std::clamp<int16>(om->size, SLIDER_VALUES[TEXT_SIZE_SLIDER].minval, Size_Limit(om->layout));
  gs.bar_selection[PAINT_COLORBAR] = Find_In_Palette32(om->base_color);
  gs.bar_selection[TEXT_GLOW_COLORBAR] = Find_In_Palette32(om->glow_color);
  gs.bar_selection[TEXT_SHAD_COLORBAR] = Find_In_Palette32(om->shad_color);
  gs.bar_selection[TEXT_OUTL_COLORBAR] = Find_In_Palette32(om->outl_color);
  om_loading = false;
}

void Delta_Text(bool8 major) {
  if (om_loading) return;
  const int32 omx = First_Selected_Text();
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  Text_PostRender(omx);
  Sliders_To_OM(om);
  OM_Recalc(om, g_doc.upx);
  Text_PostRender(omx);
  if (major) History_Set_Pending(OP_TEXT_ADJUST);
}

void Delta_Text_Major() { Delta_Text(true); }
void Delta_Text_Minor() { Delta_Text(false); }

namespace {
// Moving an effect's slider switches the effect on.
void Effect_On(a_toggle_enum toggle) {
  if (!om_loading) Toggle_Blast(toggle, true);
  Delta_Text_Major();
}
}  // namespace

void Delta_Shad() { Effect_On(TEXT_SHAD_TOGGLE); }
void Delta_Glow() { Effect_On(TEXT_GLOW_TOGGLE); }
void Delta_Outl() { Effect_On(TEXT_OUTL_TOGGLE); }

void Delta_Text_Layout() {
  if (om_loading) return;
  if (gs.grid_vals[TEXT_LAYOUT_GRID] == LAYOUT_HORZ) gs.slider_vals[TEXT_LINEANGLE_SLIDER] = 0;
  Delta_Text(false);
  History_Set_Pending(OP_TEXT_LAYOUT);
  SV_Set_Virtual(SV_CONFIG_LSIDE);
}

void Set_Text_Block_HJust(a_om_rec* om, int32, a_horz_just just) {
  if (om == nullptr || just > JUST_RIGHT) return;
  const bool straight = om->layout == LAYOUT_HORZ || om->layout == LAYOUT_90 || om->layout == LAYOUT_270;
  if (straight && (om->cache.progress & Progress_Bit(READY_COORD)) != 0) {
    const int16 angle = om->layout == LAYOUT_90 ? 900 : om->layout == LAYOUT_270 ? -900 : om->lineangle;
    const double base = -angle / 10.0 * 3.14159265358979323846 / 180.0;
    auto f = [](a_horz_just j) { return j == JUST_CENTER ? 0.5 : j == JUST_RIGHT ? 1.0 : 0.0; };
    const double by = om->cache.tot_along * (f(just) - f(om->justify));
    om->anchor.h = Text_Clamp16(std::lround(om->anchor.h + std::cos(base) * by));
    om->anchor.v = Text_Clamp16(std::lround(om->anchor.v + std::sin(base) * by));
  }
  om->justify = just;
  om->cache.progress = 0;
}

void Delta_Horz_Just() {
  if (om_loading) return;
  const int32 omx = First_Selected_Text();
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  const int16 v = gs.grid_vals[om->layout == LAYOUT_VERT ? TEXT_VJUST_GRID : TEXT_HJUST_GRID];
  Text_PostRender(omx);
  Set_Text_Block_HJust(om, omx, v >= JUST_LEFT && v <= JUST_RIGHT ? a_horz_just(v) : JUST_LEFT);
  OM_Recalc(om, g_doc.upx);
  Text_PostRender(omx);
  History_Set_Pending(OP_TEXT_JUST);
  Caret_Inval();
}

// The size slider moves as a step of its own would move it: its thumb is
// drawn again, its procedure applies the size to the selected text and its
// history step is pending.
void Text_Plus() { Slider_SetRel(TEXT_SIZE_SLIDER, 1); }
void Text_Minus() { Slider_SetRel(TEXT_SIZE_SLIDER, -1); }

void FontBar_Select() {
  const int32 omx = First_Selected_Text();
  a_om_rec* om = Text_Of(omx);
  const int16 fontx = gs.bar_selection[FONT_BAR];
  if (om == nullptr || fontx < 1 || om->fontx == uint32(fontx)) return;
  History_Set_Pending(OP_TEXT_SETFONT);
  Text_PostRender(omx);
  om->fontx = uint32(fontx);
  OM_Recalc(om, g_doc.upx);
  Text_PostRender(omx);
}

void Text_Enter() { Obj_Select_None_Except(TEXT_BLOCK); }

void Text_Leave() {
  // What the editor drew over its text is rendered away with the text (the
  // editor finds its text again by its id in the current unit).
  if (const a_om_rec* om = Ed_Target(); om != nullptr)
    UnionRect2(g_doc.up->render_dirty, om->bbox, g_doc.up->render_dirty);
  Null_Ed();
}

void Get_Curr_Font_Spec(a_fontspec& spec) {
  Null_FontSpec(spec);
  spec.fontID = uint32(std::max<int16>(gs.bar_selection[FONT_BAR], 1));
  spec.size = std::max<int32>(1, Points_To_Pixels(gs.slider_vals[TEXT_SIZE_SLIDER]));
  spec.effects = a_text_effect_set((gs.toggle_vals[TEXT_BOLD_TOGGLE] ? Effect_Bit(EFFECT_BOLD) : 0) |
                                   (gs.toggle_vals[TEXT_ITAL_TOGGLE] ? Effect_Bit(EFFECT_ITALIC) : 0));
}

// --- Moving -------------------------------------------------------------------------------

namespace {

constexpr double kPiT = 3.14159265358979323846;

uint8 Move_Kind(const a_om_rec& om) { return TEXT_MOVE_KINDS[om.layout < NTEXT_LAYOUTS ? om.layout : 0]; }

}  // namespace

void Text_Move_XY(int32 omx, int32 dx, int32 dy) {
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr || (dx == 0 && dy == 0)) return;
  End_Preview();
  Begin_Text_Change(omx);
  om->anchor.h = Text_Clamp16(int64(om->anchor.h) + dx);
  om->anchor.v = Text_Clamp16(int64(om->anchor.v) + dy);
  if (om->layout == LAYOUT_CONTOUR) {
    const Rect c = Curr_Canvas();
    om->anchor.v = Validate_Contour_Anchor(om->anchor.v, int32(Radius_To_Pixels(c, 100)), (c.top + c.bottom) / 2);
  }
  End_Text_Change(omx);
}

void Text_Move_Polar(int32 dangle, int32 dradius, Point centre, int32 omx) {
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  End_Preview();
  Begin_Text_Change(omx);
  om->rotcenter = centre;
  const Rect canvas = Curr_Canvas();
  const float side = float(std::min(canvas.right - canvas.left, canvas.bottom - canvas.top));
  const int32 dr = side > 0 ? int32(std::lround(float(dradius) * 200.0f / side)) : 0;
  if (om->layout == LAYOUT_SPOKE) {
    om->spoke_outerd = Limit_To(TEXT_SPOKE_OUTERD_SLIDER, om->spoke_outerd + dr);
    gs.slider_vals[TEXT_SPOKE_OUTERD_SLIDER] = om->spoke_outerd;
  } else {
    om->radius = Limit_To(TEXT_RADIUS_SLIDER, om->radius + dr);
    gs.slider_vals[TEXT_RADIUS_SLIDER] = om->radius;
  }
  const a_slider_values& pa = SLIDER_VALUES[TEXT_POLARANGLE_SLIDER];
  int32 a = om->polarangle + int32(std::lround(dangle / 10.0));
  const int32 span = pa.maxval - pa.minval;
  while (a > pa.maxval) a -= span;
  while (a < pa.minval) a += span;
  om->polarangle = int16(a);
  gs.slider_vals[TEXT_POLARANGLE_SLIDER] = om->polarangle;
  End_Text_Change(omx);
}

void Text_Preview_Move(int32 omx, int32 dx, int32 dy, float dangle) {
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  if (g_preview_om != om) {
    g_preview_om = om;
    std::memcpy(static_cast<void*>(&g_preview_frame), &om->cache.frame, sizeof g_preview_frame);
  }
  Obj_PostRefresh(omx);
  if (om->layout == LAYOUT_CONTOUR) {
    const Rect c = Curr_Canvas();
    const float radius = Radius_To_Pixels(c, 100);
    const int16 v = Validate_Contour_Anchor(om->anchor.v + dy, int32(radius), (c.top + c.bottom) / 2);
    Calc_Frame_Contour(*om, om->rotcenter, radius, v, true);
  } else {
    a_om_pointlist& f = om->cache.frame;
    f.npoints = std::min<uint16>(g_preview_frame.npoints, f.max);
    const double a = dangle / 10.0 * kPiT / 180.0;  // counter-clockwise on the screen
    for (int32 i = 0; i < f.npoints; ++i) {
      const Point p = g_preview_frame.points[i];
      if (Is_Pointlist_Break(p)) {
        f.points[i] = p;
        continue;
      }
      if (Move_Kind(*om) == 3) {
        const double vx = p.h - om->rotcenter.h, vy = p.v - om->rotcenter.v;
        f.points[i] = Point{Text_Clamp16(std::lround(om->rotcenter.v - vx * std::sin(a) + vy * std::cos(a))),
                            Text_Clamp16(std::lround(om->rotcenter.h + vx * std::cos(a) + vy * std::sin(a)))};
      } else {
        f.points[i] = Point{Text_Clamp16(int64(p.v) + dy), Text_Clamp16(int64(p.h) + dx)};
      }
    }
  }
  Obj_PostRefresh(omx);
}

void Apply_Move_Text(Point newpt, Point oldpt, bool8 constrain, bool8 final, int32 omx) {
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  const uint8 kind = Move_Kind(*om);
  if (kind != 3) {
    int32 dx = kind == 1 ? 0 : newpt.h - oldpt.h, dy = newpt.v - oldpt.v;
    if (constrain) (std::abs(dx) > std::abs(dy) ? dy : dx) = 0;
    if (final)
      Text_Move_XY(omx, dx, dy);
    else
      Text_Preview_Move(omx, dx, dy, 0);
    return;
  }
  auto polar = [&](Point p, double& r, double& tenths) {
    const double vx = p.h - om->rotcenter.h, vy = om->rotcenter.v - p.v;
    r = std::hypot(vx, vy);
    tenths = std::atan2(vy, vx) * 1800.0 / kPiT;
  };
  double r0, a0, r1, a1;
  polar(oldpt, r0, a0);
  polar(newpt, r1, a1);
  double da = std::remainder(a1 - a0, 3600.0);
  const int32 dr = constrain ? 0 : int32(std::lround(r1 - r0));
  if (final)
    Text_Move_Polar(int32(std::lround(da)), dr, om->rotcenter, omx);
  else
    Text_Preview_Move(omx, 0, 0, float(da));
}

void Text_Nudge(int32 omx, bool8 shift, int32 sx, int32 sy) {
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  const int32 mult = shift ? 10 : 1;
  const uint8 kind = Move_Kind(*om);
  if (kind != 3) {
    Text_Move_XY(omx, kind == 1 ? 0 : sx * mult, sy * mult);
    return;
  }
  int32 turn = sx * 10 * mult;
  if (om->layout == LAYOUT_CIRC_CW || om->layout == LAYOUT_SPIRAL_CW || om->layout == LAYOUT_SPOKE) turn = -turn;
  int32 dr = -5 * sy * mult;
  const a_ratio& zoom = gs.views[0].zoom_factor;
  if (zoom.num > 0 && zoom.den > zoom.num) dr = dr * zoom.den / zoom.num;
  Text_Move_Polar(turn, dr, om->rotcenter, omx);
}

void Text_AlignTo(Point pt, int32 omx) {
  a_om_rec* om = Text_Of(omx);
  if (om == nullptr) return;
  const uint8 kind = Move_Kind(*om);
  if (kind == 3) return;
  const int32 dx = kind == 2 && pt.h != -10000 ? pt.h - om->anchor.h : 0;
  const int32 dy = pt.v != -10000 ? pt.v - om->anchor.v : 0;
  Text_Move_XY(omx, dx, dy);
}

// --- Queries -------------------------------------------------------------------------------

void OM_NetBox(const a_om_rec* om, Rect& box) {
  if (om == nullptr) {
    box = Rect{0, 0, 0, 0};
    return;
  }
  // The box less what the effects added to it.
  int64 top = om->bbox.top, left = om->bbox.left, bottom = om->bbox.bottom, right = om->bbox.right;
  int64 all = (om->glowf ? om->glow_radius : 0) + (om->outlf ? om->outl_radius : 0);
  top += all;
  left += all;
  bottom -= all;
  right -= all;
  if (om->shadf) {
    if (om->shad_dx > 0)
      right -= om->shad_dx + om->shad_radius;
    else
      left += -int64(om->shad_dx) + om->shad_radius;
    if (om->shad_dy > 0)
      bottom -= om->shad_dy + om->shad_radius;
    else
      top += -int64(om->shad_dy) + om->shad_radius;
  }
  if (bottom < top || right < left) {
    box = om->bbox;
    return;
  }
  box = Rect{Text_Clamp16(top), Text_Clamp16(left), Text_Clamp16(bottom), Text_Clamp16(right)};
}

