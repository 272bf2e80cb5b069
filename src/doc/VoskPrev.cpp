#include "doc/VoskPrev.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "doc/VoskDoc.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFile.h"
#include "doc/VoskRend.h"
#include "doc/VoskShap.h"
#include "host/HostWin.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/SysBlt.h"
#include "pixel/TextUtil.h"
#include "platform/LangUtil.h"
#include "platform/QDRect.h"
#include "platform/SysSound.h"
#include "platform/SysVol.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "platform/VoskPref.h"
#include "ui/VoskBrow.h"
#include "ui/VoskConf.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntf.h"

a_cached_unit g_cached_unit = {};
a_examples_list exl = {};

namespace {

constexpr int16 kPreviewInset = 16;
constexpr int16 kPreviewFrame = 3;  // the halo of the main window's preview
constexpr int16 kExamplesBand = 24; // the box's height the page buttons keep

bool Is_Marked(uint32 ux) {
  const a_doc_unit* u = Doc_Unit(ux);
  return u != nullptr && u->printf;
}

// Unit ux adjusted for the layout's disc printer (nudged when asked), in
// pixels of the current mapping.
bool Map_Doc_Unit(uint32 ux, bool8 bleeds, bool8 nudge, a_iunit& iunit) {
  const a_template& tmpl = g_doc.doc_template;
  if (ux < 1 || ux > tmpl.nunits || ux > MAXNUNITS) return false;
  a_unit adjusted;
  Calc_Adjusted_Unit(bleeds, nudge, 1, Calc_Direct_Print_KindT(tmpl), tmpl.units[ux - 1], adjusted);
  Map_Unit(adjusted, iunit);
  return !EmptyRect(iunit.bbox);
}

// The region of iunit (with or without holes) grown by grow pixels.
RgnHandle Unit_Rgn(const a_iunit& iunit, bool8 holes, int16 grow) {
  a_iunit g = iunit;
  g.bbox.left = int16(g.bbox.left - grow);
  g.bbox.top = int16(g.bbox.top - grow);
  g.bbox.right = int16(g.bbox.right + grow);
  g.bbox.bottom = int16(g.bbox.bottom + grow);
  RgnHandle rgn = NewRgn();
  // A business-card disc's round ends are its outline even without its
  // hole (its region without holes is the rectangle a sheet prints whole).
  if (!holes && g.shape == SHAPE_BIZHOCKEY) {
    g.imeas[0] = 0;
    holes = true;
  }
  Calc_Unit_Region(holes, g, rgn);
  return rgn;
}

void Paint_Rgn_In(RgnHandle rgn, uint8 r, uint8 g, uint8 b) {
  SetForeColor(r, g, b);
  PaintRgn(rgn);
}
void Frame_Rgn_In(RgnHandle rgn, uint8 r, uint8 g, uint8 b) {
  SetForeColor(r, g, b);
  PenNormal();
  FrameRgn(rgn);
}

// The picture of master masterx at the size of box in g_cached_unit.
bool Cache_Master(uint32 masterx, const Rect& box) {
  const int16 w = int16(box.right - box.left), h = int16(box.bottom - box.top);
  if (g_cached_unit.world != nullptr && g_cached_unit.masterx == masterx &&
      g_cached_unit.bounds.right == w && g_cached_unit.bounds.bottom == h)
    return true;
  Free_Cached_Unit();
  a_doc_unit* master = Doc_Unit(masterx);
  if (master == nullptr || w <= 0 || h <= 0) return false;
  Rect rect;
  GWorldPtr layer = nullptr;
  PrintPrevew_Unit_Merge_Check(masterx, master, box, rect, layer);
  if (layer == nullptr || EmptyRect(rect)) return false;
  const Rect bounds{0, 0, h, w};
  if (New_GWorld(bounds, 32, nullptr, g_cached_unit.world) != 0 || g_cached_unit.world == nullptr) {
    g_cached_unit.world = nullptr;
    return false;
  }
  Port_To_Port(layer, g_cached_unit.world, rect, bounds, srcCopy, nullptr);
  g_cached_unit.bounds = bounds;
  g_cached_unit.masterx = masterx;
  return true;
}

void Draw_Number(uint32 ux, const Rect& box, const a_fontspec& font) {
  char s[12];
  std::snprintf(s, sizeof s, "%u", unsigned(ux));
  ForeColor(1);
  TextMode(srcOr);
  Draw_String_Fit(true, font, CStrSpan(s, std::strlen(s)), box);
}

Rect Centred(const Rect& box, int16 w, int16 h) {
  const int16 ch = int16((box.left + box.right) / 2), cv = int16((box.top + box.bottom) / 2);
  return Rect{int16(cv - h / 2), int16(ch - w / 2), int16(cv - h / 2 + h), int16(ch - w / 2 + w)};
}

bool Same_Iunit(const a_iunit& a, const a_iunit& b) {
  return a.shape == b.shape && EqualRect(a.bbox, b.bbox) && EqualRect(a.ibleed, b.ibleed) &&
         std::equal(std::begin(a.imeas), std::end(a.imeas), std::begin(b.imeas));
}

// Whether pt falls on iunit (its holes left out). A unit's region lies in
// its box, so a point outside the box needs no region; the region of the
// last unit looked at is kept, since the pointer resting over the preview
// asks about the same unit on every idle tick.
bool Hit_Unit(const a_iunit& iunit, Point pt) {
  if (!PtInRect(pt, iunit.bbox)) return false;
  static a_iunit kept_unit{};
  static RgnHandle kept_rgn = nullptr;
  if (kept_rgn == nullptr || !Same_Iunit(kept_unit, iunit)) {
    if (kept_rgn != nullptr) DisposeRgn(kept_rgn);
    kept_rgn = Unit_Rgn(iunit, true, 0);
    kept_unit = iunit;
  }
  return PtInRgn(pt, kept_rgn);
}

bool Preview_Find_With(const a_coord_mapping& mapping, Point pt, uint32& ux) {
  ux = 0;
  Push_Mapping(mapping);
  const uint32 n = std::min<uint32>(g_doc.doc_template.nunits, MAXNUNITS);
  for (uint32 i = 1; i <= n && ux == 0; ++i) {
    a_iunit iunit;
    if (!Map_Doc_Unit(i, false, true, iunit)) continue;
    if (Hit_Unit(iunit, pt)) ux = i;
  }
  // A unit's check box is drawn over its middle, which on a disc is the
  // hole: a press anywhere on the box is a press on its unit.
  for (uint32 i = 1; i <= n && ux == 0 && n > 1; ++i) {
    a_iunit iunit;
    if (!Map_Doc_Unit(i, false, true, iunit)) continue;
    Rect badge;
    Calc_Checkbox_Bounds(iunit.bbox, badge);
    if (PtInRect(pt, badge)) ux = i;
  }
  Pop_Mapping();
  return ux != 0;
}

bool Is_Example_File(const FSSpec& file) {
  Str255 name{};
  if (!Path_To_Name(file, name)) return false;
  return Matches_Suffix(CStrSpan(name, std::strlen(name)), CStrSpan(".CD4", 4));
}

void Add_If_Example(const FSSpec& file) {
  if (Is_Example_File(file)) Examples_AddItem(file);
}

}  // namespace

// --- The print preview -------------------------------------------------------------------

void Free_Cached_Unit() {
  Dispose_GWorld(g_cached_unit.world);
  g_cached_unit = a_cached_unit{};
}

bool8 Is_Skipping_Paper_Display(const a_template& tmpl, bool8 flag) {
  if ((tmpl.tflags & (1u << IS_SHOWNOPAPER)) != 0) return true;
  return flag && tmpl.nunits == 1 && (tmpl.tflags & (1u << IS_CDPRINTER)) != 0;
}

namespace {

void Calc_Mapping(const a_template& tmpl, const Rect& avail, int16 adjustf, a_coord_mapping& mapping,
                  a_frect& fused) {
  if (!Is_Skipping_Paper_Display(tmpl, true) || tmpl.nunits < 1) {
    Calc_Paper_Rect(tmpl, fused);
  } else {
    a_unit adjusted = tmpl.units[0];
    if (adjustf > 0) Calc_Adjusted_Unit(false, false, adjustf, Calc_Direct_Print_KindT(tmpl), tmpl.units[0], adjusted);
    fused = adjusted.bbox;
    fused.left -= 2;
    fused.top -= 2;
    fused.right += 2;
    fused.bottom += 2;
  }
  Calc_Fit_Mapping(fused, avail, mapping);
}

}  // namespace

void PrintPreview_Calc_Mapping(const a_template& tmpl, const Rect& avail, bool8 is_thumb, a_coord_mapping& mapping,
                               a_frect& fused) {
  Calc_Mapping(tmpl, avail, is_thumb ? 2 : 1, mapping, fused);
}

void PaperEcho_Calc_Mapping(const a_template& tmpl, const Rect& avail, a_coord_mapping& mapping, a_frect& fused) {
  Calc_Mapping(tmpl, avail, 0, mapping, fused);
}

void PrintPreview_Main_Mapping(a_coord_mapping& mapping) {
  Rect avail = gs.nviews >= 1 ? gs.views[0].bounds : Rect{0, 0, 0, 0};
  InsetRect(avail, kPreviewInset, kPreviewInset);
  a_frect fused;
  PrintPreview_Calc_Mapping(g_doc.doc_template, avail, false, mapping, fused);
}

void Draw_Unit_Faintly(uint32 ux) {
  a_iunit iunit;
  if (!Map_Doc_Unit(ux, false, false, iunit)) return;
  RgnHandle rgn = Unit_Rgn(iunit, false, 0);
  Frame_Rgn_In(rgn, 180, 180, 180);
  DisposeRgn(rgn);
}

void Calc_Checkbox_Bounds(const Rect& box, Rect& r) {
  const bool big = box.right - box.left >= 138 && box.bottom - box.top >= 60;
  r = Centred(box, big ? 69 : 47, big ? 30 : 23);
}

void Unit_Number_Paint1(uint32 ux, const Rect& box, bool8 hilite) {
  const Rect c = Centred(box, 24, 24);
  SetForeColor(hilite ? 215 : 220, hilite ? 140 : 220, hilite ? 139 : 220);
  PaintOval(c);
  SetForeColor(hilite ? 252 : 150, hilite ? 62 : 150, hilite ? 62 : 150);
  PenNormal();
  FrameOval(c);
  Draw_Number(ux, c, ux <= 99 ? gs.font_14pt : gs.font_12pt);
}

void Unit_CheckNum_Paint1(uint32 ux, const Rect& box, bool8 hilite) {
  Rect badge;
  Calc_Checkbox_Bounds(box, badge);
  const int16 h = int16(badge.bottom - badge.top);
  SetForeColor(hilite ? 215 : 235, hilite ? 140 : 235, hilite ? 139 : 235);
  PaintRoundRect(badge, 8, 8);
  SetForeColor(hilite ? 252 : 120, hilite ? 62 : 120, hilite ? 62 : 120);
  PenNormal();
  FrameRoundRect(badge, 8, 8);
  // The check box at the left, the number at the right.
  const int16 side = int16(h * 3 / 5);
  const Rect ck{int16(badge.top + (h - side) / 2), int16(badge.left + (h - side) / 2),
                int16(badge.top + (h - side) / 2 + side), int16(badge.left + (h - side) / 2 + side)};
  SetForeColor(255, 255, 255);
  PaintRect(ck);
  SetForeColor(60, 60, 60);
  FrameRect(ck);
  if (Is_Marked(ux)) {
    PenSize(2, 2);
    MoveTo(int16(ck.left + 2), int16((ck.top + ck.bottom) / 2));
    LineTo(int16((ck.left + ck.right) / 2 - 1), int16(ck.bottom - 4));
    LineTo(int16(ck.right - 4), int16(ck.top + 2));
    PenNormal();
  }
  const Rect num{badge.top, int16(ck.right + 2), badge.bottom, int16(badge.right - 2)};
  Draw_Number(ux, num, h >= 30 ? gs.font_14pt : gs.font_12pt);
}

void Preview_DrawUnit(bool8 showck, bool8 showid, bool8 showhi, int16 framet, uint32 ux) {
  a_doc_unit* unit = Doc_Unit(ux);
  a_iunit iunit, ibleed;
  if (unit == nullptr || !Map_Doc_Unit(ux, false, true, iunit)) return;
  Map_Doc_Unit(ux, true, true, ibleed);
  const bool marked = unit->printf;
  const bool current = ux == g_doc.upx;
  if (framet != 0) {
    const bool big = current && showhi;
    // A ring round the outline: the hole shows what lies under the unit.
    RgnHandle halo = Unit_Rgn(iunit, false, int16(big ? 2 * framet : framet));
    RgnHandle outline = Unit_Rgn(iunit, false, 0);
    DiffRgn(halo, outline, halo);
    DisposeRgn(outline);
    if (big)
      Paint_Rgn_In(halo, marked ? 252 : 250, marked ? 62 : 210, marked ? 62 : 210);
    else if (marked)
      Paint_Rgn_In(halo, 120, 120, 120);
    else
      Paint_Rgn_In(halo, 210, 210, 210);
    DisposeRgn(halo);
  }
  RgnHandle rgn = Unit_Rgn(iunit, true, 0);
  if (marked) {
    const uint32 masterx = Find_Clone_Master(ux);
    if (Cache_Master(masterx, ibleed.bbox)) {
      Port_To_Port(g_cached_unit.world, Get_GWorld(), g_cached_unit.bounds, ibleed.bbox, srcCopy, rgn);
    } else {
      Paint_Rgn_In(rgn, 255, 255, 255);
    }
  } else {
    Paint_Rgn_In(rgn, 255, 255, 255);
    Frame_Rgn_In(rgn, 200, 200, 200);
  }
  DisposeRgn(rgn);
  if (showck && g_doc.doc_template.nunits > 1)
    Unit_CheckNum_Paint1(ux, iunit.bbox, current && showhi);
  else if (showid)
    Unit_Number_Paint1(ux, iunit.bbox, current && showhi);
  ForeColor(1);
}

void PrintPreview_Paint2(bool8 showck, bool8 showid, bool8 showhi, bool8 is_thumb, int16 framet,
                         const a_coord_mapping& mapping) {
  const a_template& tmpl = g_doc.doc_template;
  if (!g_doc.doc_open) return;
  Push_Mapping(mapping);
  a_frect fpaper;
  Calc_Paper_Rect(tmpl, fpaper);
  Rect paper;
  Map_FRect(fpaper, paper);
  const bool paper_shown = !Is_Skipping_Paper_Display(tmpl, true);
  if (paper_shown) {
    SetForeColor(255, 255, 255);
    PaintRect(paper);
  }
  const uint32 n = std::min<uint32>(tmpl.nunits, MAXNUNITS);
  a_print_media_spec media{};
  Get_Media_Specs(media);
  if (media.nudge.h != 0 || media.nudge.v != 0)
    for (uint32 ux = 1; ux <= n; ++ux) Draw_Unit_Faintly(ux);
  for (uint32 ux = 1; ux <= n; ++ux) Preview_DrawUnit(showck, showid, showhi, framet, ux);
  Free_Cached_Unit();
  if (paper_shown && Calc_Direct_Print_KindT(tmpl) == NOT_DIRECT) {
    SetForeColor(50, 50, 50);
    PenNormal();
    FrameRect(paper);
  }
  (void)is_thumb;
  ForeColor(1);
  Pop_Mapping();
}

void PrintPreview_Paint(const Rect& bounds) {
  if (gs.outer_window == nullptr || EmptyRect(bounds)) return;
  GWorldPtr off = nullptr;
  if (New_GWorld(bounds, 32, nullptr, off) != 0 || off == nullptr) return;
  Push_GWorld(off);
  Draw_PasteBoard_Rect(bounds);
  a_coord_mapping mapping;
  PrintPreview_Main_Mapping(mapping);
  PrintPreview_Paint2(true, true, true, false, kPreviewFrame, mapping);
  Pop_GWorld();
  Push_Window(gs.outer_window);
  Port_To_Port(off, nullptr, bounds, bounds, srcCopy, nullptr);
  Pop_Window();
  Dispose_GWorld(off);
}

bool8 PrintPreview_Find(Point pt, uint32& ux) {
  a_coord_mapping mapping;
  PrintPreview_Main_Mapping(mapping);
  return Preview_Find_With(mapping, pt, ux);
}

void Preview_Toggle_Mark(uint32 ux) {
  a_doc_unit* unit = Doc_Unit(ux);
  if (unit == nullptr) return;
  unit->printf = !unit->printf;
  Toggle_Print(ux);
}

void PrintPreview_MouseDown(const a_mousestroke& stroke) {
  uint32 ux = 0;
  const bool hit = g_doc.doc_open && PrintPreview_Find(stroke.lmouse, ux);
  Cursor_Set_Shape(hit ? FINGER_CURSOR : ARROW_CURSOR);
  if (!stroke.button1) return;
  if (!hit) {
    Sound_Effect(SND_NULL);
  } else if (ux != g_doc.upx) {
    Jump_To_Unit(ux);
  } else if (g_doc.doc_template.nunits > 1) {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    Preview_Toggle_Mark(ux);
  }
}

void PrintPreview_SetToggleStates(bool8 state) {
  const uint32 n = std::min<uint32>(g_doc.doc_template.nunits, MAXNUNITS);
  if (!g_doc.doc_open || n <= 1) {
    Sound_Effect(SND_NULL);
    return;
  }
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  for (uint32 ux = 1; ux <= n; ++ux)
    if (Doc_Unit(ux) != nullptr && bool(Doc_Unit(ux)->printf) != bool(state)) Preview_Toggle_Mark(ux);
}

void PrintPreview_Select_All() { PrintPreview_SetToggleStates(true); }
void PrintPreview_Select_None() { PrintPreview_SetToggleStates(false); }

// --- The examples browser ----------------------------------------------------------------

void Examples_AddItem(const FSSpec& file) {
  if (exl.count >= MAX_EXAMPLES) return;
  exl.files[exl.count++] = file;
}

void Examples_BuildList_In(const FSSpec& base, const Rect& box) {
  exl = a_examples_list{};
  exl.box = box;
  static const char kFolder[] = "Templates";
  FSSpec folder{};
  if (Concat_Path(base, CStrSpan(kFolder, sizeof kFolder - 1), folder))
    Enumerate_Local_Files(Add_If_Example, folder, FourCC("????"), FourCC("????"));
  Str255 name{};
  std::memcpy(name, kFolder, sizeof kFolder);
  Append_Language_2(name, Current_Language());
  if (Concat_Path(base, CStrSpan(name, std::strlen(name)), folder))
    Enumerate_Local_Files(Add_If_Example, folder, FourCC("????"), FourCC("????"));
  const int16 w = int16(box.right - box.left);
  const int16 h = int16(box.bottom - box.top - kExamplesBand);
  // A box too small for one cell still shows one.
  exl.columns = int16(std::max(1, w / EXAMPLE_STEP_W));
  exl.rows = int16(std::max(1, h / EXAMPLE_STEP_H));
  exl.perpage = int16(exl.columns * exl.rows);
  exl.hgap = exl.columns > 1 ? int16((w - exl.columns * EXAMPLE_CELL_W) / (exl.columns - 1)) : int16(0);
  exl.vgap = exl.rows > 1 ? int16((h - exl.rows * EXAMPLE_CELL_H) / (exl.rows - 1)) : int16(0);
  exl.npages = int16((exl.count + exl.perpage - 1) / exl.perpage);
  exl.page = 1;
}

void Examples_BuildList(const Rect& box) {
  FSSpec base{};
  if (!Get_Application_Path(base)) {
    Examples_BuildList_In(FSSpec{}, box);
    return;
  }
  Examples_BuildList_In(base, box);
}

int16 Examples_Visx() { return int16((std::max<int16>(exl.page, 1) - 1) * exl.perpage + 1); }

int16 Examples_Page() { return std::max<int16>(exl.page, 1); }

void Example_To_Box(int16 index, Rect& r) {
  const int16 k = int16(index - Examples_Visx());
  const int16 cols = std::max<int16>(exl.columns, 1);
  const int16 col = int16(k % cols), row = int16(k / cols);
  const int16 left = int16(exl.box.left + col * (EXAMPLE_CELL_W + exl.hgap));
  const int16 top = int16(exl.box.top + EXAMPLE_NAME_H + row * (EXAMPLE_CELL_H + exl.vgap));
  r = Rect{top, left, int16(top + EXAMPLE_CELL_H), int16(left + EXAMPLE_CELL_W)};
}

int16 Find_Example(Point pt) {
  const int16 first = Examples_Visx();
  const int16 last = int16(std::min<int32>(exl.count, first + exl.perpage - 1));
  for (int16 i = first; i <= last; ++i) {
    Rect r;
    Example_To_Box(i, r);
    if (PtInRect(pt, r)) return i;
  }
  return 0;
}

void Examples_Paint1(int16 index) {
  if (index < 1 || index > exl.count) return;
  Rect cell;
  Example_To_Box(index, cell);
  // The project's stored preview fitted in the cell on white; a file
  // without one shows the white card.
  SetForeColor(255, 255, 255);
  PaintRect(cell);
  PixMap pix{};
  if (Scan_DISC_Preview(exl.files[index - 1], pix)) {
    a_coord_mapping fit;
    const Rect& pb = pix.bounds;
    Calc_Fit_Mapping(a_frect{float(pb.left), float(pb.top), float(pb.right), float(pb.bottom)}, cell, fit);
    if (!EmptyRect(fit.netbox)) Pix_To_Port(&pix, Get_GWorld(), pb, fit.netbox, srcCopy, nullptr);
    Dispose_PixMap(pix);
  }
  SetForeColor(150, 150, 150);
  PenNormal();
  FrameRect(cell);
  Str255 name{};
  if (Path_To_Name(exl.files[index - 1], name)) {
    const Rect band{int16(cell.top - EXAMPLE_NAME_H), cell.left, cell.top, cell.right};
    ForeColor(1);
    TextMode(srcOr);
    Draw_String_Fit(true, gs.font_12pt, CStrSpan(name, std::strlen(name)), band);
  }
  ForeColor(1);
}

void Examples_Paint(const Rect& bounds) {
  (void)bounds;
  const int16 first = Examples_Visx();
  const int16 last = int16(std::min<int32>(exl.count, first + exl.perpage - 1));
  for (int16 i = first; i <= last; ++i) Examples_Paint1(i);
}

void Examples_Inval() {
  if (gs.outer_window == nullptr) return;
  const RECT r{exl.box.left, exl.box.top, exl.box.right, exl.box.bottom};
  InvalidateRect(gs.outer_window, &r, false);
  // The page number under the examples.
  Node_Inval(EXAMPLES_PAGE_LABEL_LOC);
}

void Do_Example_Arrow_L() {
  if (exl.npages < 1) return;
  exl.page = exl.page <= 1 ? exl.npages : int16(exl.page - 1);
  Examples_Inval();
}

void Do_Example_Arrow_R() {
  if (exl.npages < 1) return;
  exl.page = exl.page >= exl.npages ? int16(1) : int16(exl.page + 1);
  Examples_Inval();
}

bool8 Examples_KeyFilter(const a_keystroke& key) {
  const uint8 v = key.charcode == 0 ? key.virtcode : 0;
  const uint8 c = key.charcode;
  if (v == VK_PRIOR || v == VK_UP || v == VK_RIGHT || c == '[') {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    Do_Example_Arrow_R();
    return true;
  }
  if (v == VK_NEXT || v == VK_DOWN || v == VK_LEFT || c == ']') {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    Do_Example_Arrow_L();
    return true;
  }
  if (v == VK_HOME || c == '{' || v == VK_END || c == '}') {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    exl.page = (v == VK_HOME || c == '{') ? int16(1) : std::max<int16>(exl.npages, 1);
    Examples_Inval();
    return true;
  }
  return false;
}

void Examples_MouseDown(const a_mousestroke& stroke) {
  const int16 i = Find_Example(stroke.lmouse);
  Cursor_Set_Shape(i != 0 ? FINGER_CURSOR : ARROW_CURSOR);
  if (!stroke.button1) return;
  if (i == 0) {
    Sound_Effect(SND_NULL);
    return;
  }
  Do_File_Open3(true, exl.files[i - 1]);
}
