#include "ui/VoskStus.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "objects/VoskAtom.h"
#include "objects/VoskCanv.h"
#include "objects/VoskPhot.h"
#include "objects/VoskSpra.h"
#include "objects/VoskStam.h"
#include "pixel/ArtKeys.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/Fast.h"
#include "pixel/Polar.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixColor.h"
#include "pixel/SysPixt.h"
#include "pixel/TextUtil.h"
#include "platform/Events.h"
#include "platform/LangUtil.h"
#include "platform/MString.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysErr.h"
#include "platform/SysSound.h"
#include "platform/SysTrack.h"
#include "platform/SysUnicode.h"
#include "platform/SysVideo.h"
#include "platform/Windowv.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskBar.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskFun2.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"

a_annot_state g_annot = {};
a_tick_table g_ticks = {};
a_nav_state g_nav = {};
Str255 g_ph_status = {};

namespace {

constexpr int16 STRLIST_SLIDERS = 500;
constexpr int16 kStatusInterval = 10;  // ticks between two looks at the pointer
int32 g_status_due = 0;

constexpr a_pixel24 kBlack{0, 0, 0};
constexpr a_pixel24 kStatusBack{192, 192, 192};
constexpr a_pixel24 kStatusLine{139, 139, 159};
constexpr a_pixel24 kRulerBack{200, 200, 200};
constexpr a_pixel24 kNavBack{204, 204, 204};
constexpr a_pixel24 kNavBlue{0, 0, 240};
constexpr a_pixel24 kNavLight{249, 255, 239};
constexpr a_pixel24 kTipFace{255, 244, 182};
constexpr a_pixel24 kDeadGrey{128, 128, 128};

void Paint24(const a_pixel24& c, const Rect& r) {
  SetForeColor24(c);
  PaintRect(r);
  ForeColor(1);
}

void Append(StrSpan str, const char* text) { mAppend(CStrSpan(text, std::strlen(text) + 1), str); }

void Append_Int(StrSpan str, int32 v) { mAppendInt(v, str); }

void Append_String(StrSpan str, int16 listx, int16 strx) {
  Str255 s{};
  Get_Translated_String(s, listx, strx);
  mAppend(s, str);
}

int16 Rect_W(const Rect& r) { return int16(r.right - r.left); }
int16 Rect_H(const Rect& r) { return int16(r.bottom - r.top); }

}  // namespace

// --- Value texts ------------------------------------------------------------------------

void Append_Slider_Tenths(int16 value, StrSpan str) {
  int32 v = value;
  if (v < 0) {
    Append(str, "-");
    v = -v;
  }
  Append_Int(str, v / 10);
  if (v % 10 != 0) {
    Append(str, ".");
    Append_Int(str, v % 10);
  }
}

void Calc_Slider_Info(int16 slider, StrSpan str) {
  mSetLength(str, 0);
  if (!Is_Slider(slider)) return;
  Get_Translated_String(str, STRLIST_SLIDERS, g_sliders[slider].stringx);
  if (slider == PRINT_INNERD_SLIDER || slider == PRINT_OUTERD_SLIDER || slider == PRINT_BIZSIDE_SLIDER) return;
  const int16 v = gs.slider_vals[slider];
  Append(str, "  ");
  switch (slider) {
    case PHOTO_SIZE_SLIDER:
    case PHOTO_SIZEH_SLIDER:
    case PHOTO_SIZEV_SLIDER:
    case SYMBOL_SIZE_SLIDER:
    case PACK_ITEM_SIZE_SLIDER:
      Append_Slider_Tenths(v, str);
      Append(str, "%");
      break;
    case PACK_LOTUS_N_SLIDER:
    case GRIDLINES_HORZ_SLIDER:
    case GRIDLINES_VERT_SLIDER:
      Append_Int(str, int32(v) * 2);
      break;
    case STAMP_SIZE_SLIDER:
      Append_Int(str, Stamp_Scaling(v));
      break;
    case PHOTO_ANGLE_SLIDER:
    case SYMBOL_ANGLE_SLIDER:
    case TEXT_LINEANGLE_SLIDER:
    case TEXTR_ANGLE_SLIDER:
      Append_Slider_Tenths(v, str);
      break;
    case TEXT_SIZE_SLIDER:
      Append_Int(str, v);
      if (Current_Language() == ENGLISH) Append(str, " points");
      break;
    case TEXT_GLOW_RADIUS_SLIDER:
    case TEXT_OUTL_RADIUS_SLIDER:
      Append_Int(str, v / 2);
      if (v % 2 != 0) Append(str, ".5");
      break;
    case PRINT_DENSITY_SLIDER:
      Append_String(str, STRLIST_DLOG, int16(390 + v - 1));
      break;
    case PRINT_QUALITY_SLIDER:
      Append_String(str, STRLIST_DLOG, int16(337 + v - 2));
      break;
    case LS_CONTRAST_SLIDER:
      Append_String(str, STRLIST_DLOG, int16(344 + v - 1));
      break;
    case LS_COVERAGE_SLIDER:
      Append_String(str, STRLIST_DLOG, int16(341 + v - 1));
      break;
    case FLEX_SPEED_SLIDER:
      Append_String(str, STRLIST_DLOG, int16(402 + v - 1));
      break;
    case PRINT_WIDTH_SLIDER:
    case PRINT_HEIGHT_SLIDER:
      Append_Slider_Tenths(v, str);
      Append(str, " mm");
      break;
    default:  // whole numbers, degrees among them
      Append_Int(str, v);
      break;
  }
}

// --- Rulers ------------------------------------------------------------------------------

void Cache_Tick_Table(float ppu) {
  if (ppu == g_ticks.pixels_per_unit && ppu != 0) return;
  g_ticks.pixels_per_unit = ppu;
  g_ticks.ticks.fill(a_tick{OUTSIDE_TICK, 0});
  if (!std::isfinite(ppu) || ppu <= 0) {
    g_ticks.pixels_per_unit = 0;
    return;
  }
  // The labelled step: 1, 2, 10, 20, 100 ... until it spans 50 pixels. A
  // scale so small that no step up to a billion units does shows no ticks.
  double step = 1;
  bool by2 = true;
  while (int64(step * ppu) < 50) {
    step *= by2 ? 2 : 5;
    by2 = !by2;
    if (step > 1e9) return;
  }
  g_ticks.ticks.fill(a_tick{PLAIN_TICK, 0});
  const int64 span = int64(step * ppu);
  auto mark = [](double units, double ppu_, a_tick_kind kind, int32 val) {
    const double pos = std::round(units * ppu_);
    if (pos < 0 || pos >= NTICKS) return false;
    a_tick& e = g_ticks.ticks[size_t(pos)];
    // A labelled tick wins over a half tick, which wins over a small one.
    if (e.kind == PLAIN_TICK || kind == FULL_TICK || (kind == HALF_TICK && e.kind == QUARTER_TICK)) e = a_tick{kind, val};
    return true;
  };
  double small = 0;
  if (span >= 60)
    small = step / 10;
  else if (span >= 30)
    small = step / 5;
  else if (span >= 12)
    small = step / 2;
  if (small > 0)
    for (int64 k = 0; mark(double(k) * small, ppu, QUARTER_TICK, 0); ++k) {
    }
  if (span >= 60)
    for (int64 k = 0; mark((double(k) + 0.5) * step, ppu, HALF_TICK, 0); ++k) {
    }
  for (int64 k = 0; mark(double(k) * step, ppu, FULL_TICK, int32(std::lround(double(k) * step))); ++k) {
  }
}

a_tick Tick_At(int32 d) {
  if (d < 0) d = d == INT32_MIN ? INT32_MAX : -d;
  if (d >= NTICKS) return a_tick{OUTSIDE_TICK, 0};
  return g_ticks.ticks[size_t(d)];
}

float Calc_Pixels_Per_MM() {
  if (!g_doc.doc_open || g_doc.up == nullptr || g_doc.upx == 0 || g_doc.upx > g_doc.doc_template.nunits) return 0;
  const a_unit& u = g_doc.doc_template.units[g_doc.upx - 1];
  const float mm = u.bbox.right - u.bbox.left;
  const float px = float(Rect_W(g_doc.up->paintbounds));
  if (!(mm > 0) || !(px > 0)) return 0;
  return px / mm;
}

float Calc_Pixels_Per_Unit() {
  const a_ratio z = gs.views[0].zoom_factor;
  if (z.num <= 0 || z.den <= 0) return 0;
  const float zoom = float(z.num) / float(z.den);
  switch (gs.grid_vals[RULERS_UNITS_GRID]) {
    case 0:
      return zoom * Calc_Pixels_Per_MM();
    case 1:
      return zoom * Calc_Pixels_Per_MM() * 25.4f;
    default:
      return zoom;
  }
}

namespace {

// The ruler origin of the current unit in the main window (FALSE: no unit).
bool Ruler_Origin(Point& origin) {
  if (!g_doc.doc_open || g_doc.up == nullptr) return false;
  CellToScreen(1, g_doc.up->ruler_origin, origin);
  return true;
}

void Ruler_Number(int32 val, StrSpan s) {
  mSetLength(s, 0);
  mAppendInt(val, s);
}

}  // namespace

namespace {

int16 Tick_Length(a_tick_kind kind, int16 across) {
  switch (kind) {
    case FULL_TICK: return across;
    case HALF_TICK: return 12;
    case QUARTER_TICK: return 6;
    default: return 0;
  }
}

// One ruler along the view: horizontal above it, else left of it, its
// ticks drawn from the edge next to the view.
void Paint_Ruler(const Rect& r, bool horizontal) {
  Paint24(kRulerBack, r);
  ForeColor(1);
  Point origin;
  if (Ruler_Origin(origin)) {
    Cache_Tick_Table(Calc_Pixels_Per_Unit());
    a_fontspec font = gs.font_12pt;
    font.size = 12;
    SetFont(font);
    TextMode(srcOr);
    const int16 from = horizontal ? r.left : r.top, to = horizontal ? r.right : r.bottom;
    const int16 edge = horizontal ? int16(r.bottom - 1) : int16(r.right - 1);
    const int16 across = horizontal ? Rect_H(r) : Rect_W(r);
    for (int16 x = from; x < to; ++x) {
      const a_tick t = Tick_At(int32(x) - (horizontal ? origin.h : origin.v));
      const int16 len = Tick_Length(t.kind, across);
      if (len == 0) continue;
      if (horizontal) {
        MoveTo(x, edge);
        LineTo(x, int16(edge - len + 1));
      } else {
        MoveTo(edge, x);
        LineTo(int16(edge - len + 1), x);
      }
      if (t.kind != FULL_TICK) continue;
      Str255 s{};
      Ruler_Number(t.val, s);
      if (horizontal) {
        MoveTo(int16(x + 3), int16(r.top + 12));
        DrawString(s);
      } else {
        // The digits one under the other.
        for (int32 i = 0; s[i] != 0; ++i) {
          const char digit[2] = {s[i], 0};
          MoveTo(int16(r.left + 3), int16(x + 12 * (i + 1)));
          DrawString(digit);
        }
      }
    }
  }
  ForeColor(1);
  if (horizontal) {
    MoveTo(r.left, int16(r.bottom - 1));
    LineTo(int16(r.right - 1), int16(r.bottom - 1));
  } else {
    MoveTo(int16(r.right - 1), r.top);
    LineTo(int16(r.right - 1), int16(r.bottom - 1));
  }
}

}  // namespace

void RulerH_Paint(const Rect& r) { Paint_Ruler(r, true); }
void RulerV_Paint(const Rect& r) { Paint_Ruler(r, false); }

// --- Navigator ------------------------------------------------------------------------------

void Nav_Init() {
  Nav_Stop();
  g_nav = a_nav_state{};
  g_nav.pix_dirty = true;
  g_nav.reduction = a_ratio{1, 1};
}

void Nav_Stop() {
  if (g_nav.mini_pix != nullptr) Dispose_GWorld(g_nav.mini_pix);
  g_nav.mini_pix = nullptr;
}

void Nav_Inval() { g_nav.pix_dirty = true; }

namespace {

// The current unit's merged layer, up to date (FALSE: none).
bool Nav_Layer(Rect& lrect, GWorldPtr& world) {
  lrect = Rect{0, 0, 0, 0};
  world = nullptr;
  if (!g_doc.doc_open || g_doc.up == nullptr) return false;
  Current_Unit_Merge_Check(lrect, world);
  return world != nullptr && !EmptyRect(lrect);
}

// The layer's size (merge pixels) without bringing it up to date.
bool Nav_Layer_Size(Point& size) {
  size = Point{0, 0};
  if (!g_doc.doc_open || g_doc.up == nullptr) return false;
  const Rect pb = g_doc.up->paintbounds;
  const a_ratio z = gs.views[0].zoom_factor;
  if (z.num > 0 && z.den > z.num) {
    size.h = int16(int32(Rect_W(pb)) * z.num / z.den);
    size.v = int16(int32(Rect_H(pb)) * z.num / z.den);
  } else {
    size.h = Rect_W(pb);
    size.v = Rect_H(pb);
  }
  return size.h > 0 && size.v > 0;
}

Rect Nav_Box() {
  HWND w;
  Rect box{0, 0, 0, 0};
  if (!Custom_Get_Info(CUSTOM_NAV, w, box)) return Rect{0, 0, 0, 0};
  return box;
}

// The miniature's rectangle for the box: the reduced layer centred in it.
Rect Nav_Doc_Rect(const Rect& box, Point lsize, a_ratio red) {
  Point out;
  Apply_Reduction(lsize, red, out);
  Rect d{0, 0, out.v, out.h};
  Rect b = box;
  CenterRectInRect(b, d);
  return d;
}

}  // namespace

void Nav_Recalc_Reduction() {
  const Rect box = Nav_Box();
  Point lsize;
  if (EmptyRect(box) || !Nav_Layer_Size(lsize)) {
    Nav_Stop();
    g_nav.doc = g_nav.vis = Rect{0, 0, 0, 0};
    return;
  }
  a_ratio red;
  Calc_Reduction(lsize, Point{Rect_H(box), Rect_W(box)}, 6, red);
  const Point tot{box.top, box.left};
  const Rect d = Nav_Doc_Rect(box, lsize, red);
  if (red.num == g_nav.reduction.num && red.den == g_nav.reduction.den && g_nav.mini_pix != nullptr &&
      Rect_W(d) == Rect_W(g_nav.doc) && Rect_H(d) == Rect_H(g_nav.doc)) {
    // Only the box moved: the miniature and its frame move with it. The
    // view may have changed all the same (another zoom): the frame follows.
    const int16 dh = int16(tot.h - g_nav.tot.h), dv = int16(tot.v - g_nav.tot.v);
    g_nav.tot = tot;
    if (dh != 0 || dv != 0) {
      OffsetRect(g_nav.doc, dh, dv);
      OffsetRect(g_nav.vis, dh, dv);
    }
    Nav_Recalc_Frame();
    return;
  }
  g_nav.reduction = red;
  g_nav.tot = tot;
  g_nav.doc = d;
  Nav_Recalc_Pix();
  Nav_Recalc_Frame();
}

void Nav_Recalc_Pix() {
  if (t.status_sizing || t.status_tracking) {
    g_nav.pix_dirty = true;
    return;
  }
  g_nav.pix_dirty = false;
  const Rect box = Nav_Box();
  Rect lrect;
  GWorldPtr layer;
  if (EmptyRect(box) || !Nav_Layer(lrect, layer)) {
    Nav_Stop();
    return;
  }
  const Point lsize{Rect_H(lrect), Rect_W(lrect)};
  Calc_Reduction(lsize, Point{Rect_H(box), Rect_W(box)}, 6, g_nav.reduction);
  g_nav.tot = Point{box.top, box.left};
  g_nav.doc = Nav_Doc_Rect(box, lsize, g_nav.reduction);
  Nav_Stop();
  const Rect wbounds{0, 0, Rect_H(box), Rect_W(box)};
  if (New_GWorld(wbounds, 32, nullptr, g_nav.mini_pix) != noErr || g_nav.mini_pix == nullptr) {
    g_nav.mini_pix = nullptr;
    return;
  }
  Push_GWorld(g_nav.mini_pix);
  Paint24(kNavBack, wbounds);
  Pop_GWorld();
  Rect dst = g_nav.doc;
  OffsetRect(dst, int16(-box.left), int16(-box.top));
  Port_To_Port(layer, g_nav.mini_pix, lrect, dst, ditherCopy, nullptr);
  Nav_Recalc_Frame();
  Custom_Inval(CUSTOM_NAV);
}

void Nav_Recalc_Frame() {
  if (!g_doc.doc_open || g_doc.up == nullptr || gs.nviews == 0 || EmptyRect(g_nav.doc)) return;
  Rect merge;
  ScreenToMergeRect(gs.views[0].bounds, merge);
  Rect v;
  Apply_Reduction_Rect(merge, g_nav.reduction, v);
  OffsetRect(v, g_nav.doc.left, g_nav.doc.top);
  Rect inner = g_nav.doc;
  InsetRect(inner, 3, 3);
  v.left = std::clamp(v.left, inner.left, inner.right);
  v.right = std::clamp(v.right, inner.left, inner.right);
  v.top = std::clamp(v.top, inner.top, inner.bottom);
  v.bottom = std::clamp(v.bottom, inner.top, inner.bottom);
  if (v == g_nav.vis) return;
  g_nav.vis = v;
  Custom_Inval(CUSTOM_NAV);
}

Point NavToCell(Point pt) {
  Point cell{0, 0};
  if (!g_doc.doc_open || g_doc.up == nullptr || g_nav.reduction.num <= 0) return cell;
  const Point merge{int16(int32(pt.v - g_nav.doc.top) * g_nav.reduction.den / g_nav.reduction.num),
                    int16(int32(pt.h - g_nav.doc.left) * g_nav.reduction.den / g_nav.reduction.num)};
  MergeToCell(g_doc.up, merge, cell);
  return cell;
}

void Nav_Paint(const Rect& r) {
  Custom_PushOff(CUSTOM_NAV);
  Paint24(kNavBack, r);
  if (g_nav.mini_pix != nullptr && !g_nav.pix_dirty) {
    Rect src = g_nav.doc;
    OffsetRect(src, int16(-g_nav.tot.h), int16(-g_nav.tot.v));
    Port_To_Port(g_nav.mini_pix, nullptr, src, g_nav.doc, srcCopy, nullptr);
    if (!EmptyRect(g_nav.vis)) {
      Rect f = g_nav.vis;
      for (const a_pixel24& c : {kNavBlue, kNavLight, kNavBlue}) {
        SetForeColor24(c);
        FrameRect(f);
        InsetRect(f, -1, -1);
      }
      ForeColor(1);
    }
  } else {
    g_nav.pix_dirty = true;
  }
  Node_PopAndUpdate();
}

void Animate_Focus(Point focus) {
  Focus_Set(focus);
  SV_Finish();
  Doc_Update();
  Custom_Paint(CUSTOM_NAV);
}

void Nav_MouseDown(const a_mousestroke& stroke) {
  const Point p = stroke.lmouse;
  const bool on_frame = PtInRect(p, g_nav.vis);
  if (!stroke.button1) {
    if (on_frame)
      Cursor_Set_Shape(GRABBER_CURSOR);
    else if (PtInRect(p, g_nav.doc))
      Cursor_Set_Shape(CENTER_CURSOR);
    else
      Cursor_Set_Shape(ARROW_CURSOR);
    return;
  }
  if (!g_doc.doc_open || g_doc.up == nullptr || g_nav.reduction.num <= 0) return;
  if (!on_frame) {
    if (!PtInRect(p, g_nav.doc)) return;
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    Animate_Focus(NavToCell(p));
    return;
  }
  // Dragging the frame: the focus follows the mouse scaled up to cells.
  const Point start_focus = gs.view_focus;
  const Point start_cell = NavToCell(p);
  TrackMouse_Init(stroke.window);
  Point m;
  Point last = p;
  while (TrackMouse_StillDown(m)) {
    if (m.h == last.h && m.v == last.v) continue;
    last = m;
    const Point c = NavToCell(m);
    Animate_Focus(Point{int16(start_focus.v + c.v - start_cell.v), int16(start_focus.h + c.h - start_cell.h)});
  }
  TrackMouse_Stop();
}

// --- Status --------------------------------------------------------------------------------

void Calc_Status_Text(Point mouse, StrSpan ss) {
  mSetLength(ss, 0);
  if (!g_doc.doc_open || g_doc.up == nullptr) return;
  if (gs.nviews > 0 && PtInRect(mouse, gs.views[0].bounds)) {
    Point cell;
    ScreenToCell(1, mouse, cell);
    Append(ss, "(");
    Append_Int(ss, cell.h);
    Append(ss, ", ");
    Append_Int(ss, cell.v);
    Append(ss, ")");
    if (t.status_sizing) {
      Append(ss, "   ");
      Append_Int(ss, t.status_size.h);
      Append(ss, " x ");
      Append_Int(ss, t.status_size.v);
    }
    return;
  }
  const Rect nav = Nav_Box();
  if (!EmptyRect(nav) && PtInRect(mouse, nav)) {
    Append_Int(ss, Rect_W(g_doc.up->paintbounds));
    Append(ss, " x ");
    Append_Int(ss, Rect_H(g_doc.up->paintbounds));
  }
}

void Status_ReCalc() {
  g_status_due = int32(TickCount()) + kStatusInterval;
  HWND w;
  Rect box;
  if (!Custom_Get_Info(CUSTOM_STATUS, w, box) || w == nullptr) return;
  Point mouse{0, 0};
  Push_Window(w);
  GetMouse(mouse);
  Pop_Window();
  Str255 s{};
  Calc_Status_Text(mouse, s);
  a_status_line& line = t.status_lines[0];
  line.color = kBlack;
  if (std::strcmp(s, line.ss) == 0) return;
  mStrCopy(s, line.ss);
  Custom_Paint(CUSTOM_STATUS);
}

int32 Status_Due() { return g_status_due; }

void Status_Paint(const Rect& r) {
  Paint24(kStatusBack, r);
  SetForeColor24(kStatusLine);
  MoveTo(r.left, int16(r.bottom - 1));
  LineTo(r.left, r.top);
  LineTo(int16(r.right - 1), r.top);
  Rect tr = r;
  InsetRect(tr, 4, 0);
  SetForeColor24(t.status_lines[0].color);
  TextMode(srcOr);
  if (t.status_lines[0].ss[0] != 0) (void)Draw_String_Fit(false, gs.font_14pt, t.status_lines[0].ss, tr);
  ForeColor(1);
}

void Status_MouseDown(const a_mousestroke&) { Cursor_Set_Shape(ARROW_CURSOR); }

void BarJump_Flush() {
  g_jump = a_jump_rec{};
  Status_ReCalc();
}

void PStatus_Set(CStrSpan text) {
  Str255 s{};
  mStrCopy(text, s);
  if (std::strcmp(s, g_ph_status) == 0) return;
  mStrCopy(s, g_ph_status);
  Custom_Paint(CUSTOM_PSTATUS);
}

void PStatus_Paint(const Rect& r) {
  Paint24(kStatusBack, r);
  if (g_ph_status[0] == 0) return;
  // The column is narrow: the text runs up it from its bottom, in the
  // largest size up to 14 points that fits its height, and never past it
  // (onto the cards beside it, where a repaint of the column would leave
  // it behind).
  const CStrSpan text(g_ph_status, std::strlen(g_ph_status));
  a_fontspec spec = gs.font_14pt;
  SetFont(spec);
  while (spec.size > 9 && StringWidth(text) > int32(r.bottom - r.top) - 6) {
    spec.size = Fit_Next_Size(spec.size);
    SetFont(spec);
  }
  a_font_info info{};
  Get_Font_Info(info);
  const Point start{int16(r.bottom - 3), int16(r.left + (r.right - r.left + info.ascent - info.descent) / 2)};
  PushClip(r);
  ForeColor(1);
  TextMode(srcOr);
  Point turned{0, 0};
  a_gworld_rec* scratch = nullptr;
  Draw_Rotated_String(text, 1, spec, start, 900, start, turned, scratch);
  Dispose_GWorld(scratch);
  PopClip();
}

// --- Keys and small helpers -------------------------------------------------------------

bool8 Tools_KeyFilter(const a_keystroke& key) {
  if ((key.mods & (Keymod_Bit(CONTROLKEY) | Keymod_Bit(COMMANDKEY) | Keymod_Bit(OPTIONKEY))) != 0) return false;
  const uint8 c = key.charcode;
  if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  const uint8 up = uint8(c >= 'a' ? c - 'a' + 'A' : c);
  for (int16 i = 0; i < NGRID_TOOLS; ++i) {
    uint8 sc = gs.tool_desc[i].shortcut;
    if (sc >= 'a' && sc <= 'z') sc = uint8(sc - 'a' + 'A');
    if (sc != 0 && sc == up) {
      Grid_Click(TOOL_GRID, i);
      return true;
    }
  }
  return false;
}

void Slide_To_Fit(const Rect& bounds, Rect& r) {
  if (r.right > bounds.right) OffsetRect(r, int16(bounds.right - r.right), 0);
  if (r.bottom > bounds.bottom) OffsetRect(r, 0, int16(bounds.bottom - r.bottom));
  if (r.left < bounds.left) OffsetRect(r, int16(bounds.left - r.left), 0);
  if (r.top < bounds.top) OffsetRect(r, 0, int16(bounds.top - r.top));
}

void Dead_Rect(const Rect& r) { Paint24(kDeadGrey, r); }

// --- Value tips ------------------------------------------------------------------------

namespace {

constexpr int16 kTipHeight = 24;
constexpr int16 kTipShadow = 3;

HWND Tip_Window() { return g_annot.window != nullptr ? g_annot.window : gs.outer_window; }

// A global rectangle in the tip window's client coordinates.
Rect To_Window(Rect g) {
  HWND w = Tip_Window();
  if (w == nullptr) return g;
  POINT tl{g.left, g.top};
  ScreenToClient(w, &tl);
  OffsetRect(g, int16(tl.x - g.left), int16(tl.y - g.top));
  return g;
}

Rect Window_Client() {
  HWND w = Tip_Window();
  RECT c{0, 0, 0, 0};
  if (w != nullptr) GetClientRect(w, &c);
  return Rect{int16(c.top), int16(c.left), int16(c.bottom), int16(c.right)};
}

bool Is_Tip_Color_Bar(int16 bar) { return bar >= 0 && bar < NBARS && Is_Palette_Bar(a_bar(bar)); }

bool Tip_Face(const a_annot_spec& spec, a_pixel24& face) {
  if (spec.kind != ANNOT_BAR || !Is_Tip_Color_Bar(spec.ix)) return false;
  if (spec.subx < 0 || spec.subx >= NCOLOR_TABLE) return false;
  const a_pixel32 c = gs.color_table[spec.subx];
  face = a_pixel24{c.r, c.g, c.b};
  return true;
}

void Ends_In_Blank(StrSpan str) {
  const int32 n = mStrLength(str);
  if (n > 0 && str[size_t(n - 1)] != ' ') Append(str, " ");
}

}  // namespace

void Annot_Init() {
  if (g_annot.off != nullptr) Dispose_GWorld(g_annot.off);
  g_annot = a_annot_state{};
  g_annot.window = gs.outer_window;
  g_ticks.pixels_per_unit = 0;
  g_ticks.ticks.fill(a_tick{OUTSIDE_TICK, 0});
  Nav_Init();
  g_status_due = 0;
  g_ph_status[0] = 0;
  g_annot_beginupdate_proc = Annot_BeginUpdate;
  g_annot_endupdate_proc = Annot_EndUpdate;
}

Rect Client_To_Screen_Rect(HWND window, Rect r) {
  if (window == nullptr) return r;
  POINT tl{r.left, r.top};
  ClientToScreen(window, &tl);
  OffsetRect(r, int16(tl.x - r.left), int16(tl.y - r.top));
  return r;
}

void Annot_Set_Targ(const a_annot_spec& spec) {
  g_annot.targ = spec;
  Annot_Tick();
}

void Annot_Set_Subx(int16 subx) {
  g_annot.targ.subx = subx;
  Annot_Tick();
}

void Annot_Zap() {
  g_annot.targ = a_annot_spec{};
  Annot_Tick();
}

void Annot_Tick() {
  if (g_annot.forced_nesting > 0) return;
  const int32 now = int32(TickCount());
  const a_annot_spec& tg = g_annot.targ;
  const a_annot_spec& cu = g_annot.curr;
  if (g_annot.onscreen && (tg.kind != cu.kind || tg.ix != cu.ix || tg.subx != cu.subx)) {
    Annot_Erase(false);
    g_annot.lastchange = now;
  }
  if (g_annot.onscreen || tg.kind == ANNOT_NULL || Tip_Window() == nullptr) return;
  if (now - g_tracked.enter_time < tg.delay1 || now - g_annot.lastchange < tg.delay2) return;
  g_annot.curr = tg;
  g_annot.lastchange = now;
  Annot_Draw(true);
}

void Annot_Calc_String(const a_annot_spec& spec, StrSpan ss) {
  mSetLength(ss, 0);
  switch (spec.kind) {
    case ANNOT_SLIDER:
      Calc_Slider_Info(spec.ix, ss);
      break;
    case ANNOT_ONESHOT:
      if (Is_OneShot(spec.ix) && !g_oneshots[size_t(spec.ix)].embed_flag)
        Get_Translated_String(ss, STRLIST_DLOG, g_oneshots[size_t(spec.ix)].stringx);
      break;
    case ANNOT_TOGGLE:
      if (Is_Toggle(spec.ix) && !g_toggles[size_t(spec.ix)].embed_flag)
        Get_Translated_String(ss, STRLIST_DLOG, g_toggles[size_t(spec.ix)].stringx);
      break;
    case ANNOT_GRID:
      if (Is_Grid(spec.ix) && !g_grid[size_t(spec.ix)].embed_flag && g_grid[size_t(spec.ix)].stringx != 0)
        Get_Translated_String(ss, STRLIST_DLOG, int16(g_grid[size_t(spec.ix)].stringx + spec.subx));
      break;
    case ANNOT_BAR:
      Bar_Tip_String(spec.ix, spec.subx, ss);
      break;
    default:
      break;
  }
}

void Annot_Calc_Box(const a_annot_spec& spec, CStrSpan ss, Rect& box) {
  box = Rect{0, 0, 0, 0};
  if (ss.empty() || ss[0] == 0) return;
  HWND w = Tip_Window();
  if (w == nullptr) return;
  Push_Window(w);
  SetFont(gs.font_14pt);
  int16 width = int16(StringWidth(ss) + 26);
  Pop_Window();
  if (spec.kind == ANNOT_SLIDER) width = int16(width + 50);
  const Rect node = To_Window(spec.gref);
  int16 left = int16(node.right - 30);
  if (spec.kind == ANNOT_GRID && Is_Grid(spec.ix)) {
    Rect cell;
    Calc_Grid_Cell(false, a_grid_enum(spec.ix), spec.subx, cell);
    left = int16(node.left + cell.left - 20);
  } else if (spec.kind == ANNOT_BAR) {
    left = node.left;
  }
  if (spec.just == JUST_RIGHT) left = int16(left - width);
  box = Rect{int16(node.bottom + 12), left, int16(node.bottom + 12 + kTipHeight), int16(left + width)};
  Rect fit = Window_Client();
  fit.left = int16(fit.left + 20);
  fit.right = int16(fit.right - 20);
  if (gs.nviews > 0) {
    fit.top = int16(gs.views[0].bounds.top + 4);
    fit.bottom = int16(gs.views[0].bounds.bottom - 4);
  }
  Slide_To_Fit(fit, box);
}

void Draw_Simple_Annotation(const Rect& box, CStrSpan ss, const a_pixel24* face) {
  constexpr int16 kCorner = 18;
  constexpr a_pixel24 kShadow[3] = {{150, 150, 150}, {100, 100, 100}, {50, 50, 50}};
  for (int16 i = 0; i < 3; ++i) {
    Rect s = box;
    OffsetRect(s, int16(kTipShadow - i), int16(kTipShadow - i));
    SetForeColor24(kShadow[i]);
    PaintRoundRect(s, kCorner, kCorner);
  }
  a_pixel24 back = kTipFace;
  a_pixel24 fore = kBlack;
  if (face != nullptr) {
    back = *face;
    a_pixel32 c{};
    c.r = face->r, c.g = face->g, c.b = face->b;
    a_hsv_color hsv{};
    RGB_To_HSV(c, hsv);
    if (hsv.v < 141) fore = a_pixel24{255, 255, 255};
  }
  SetForeColor24(back);
  PaintRoundRect(box, kCorner, kCorner);
  SetForeColor24(fore);
  FrameRoundRect(box, kCorner, kCorner);
  TextMode(srcOr);
  (void)Draw_String_Fit(true, gs.font_14pt, ss, box);
  ForeColor(1);
}

void Bar_Tip_String(int16 bar, int16 id, StrSpan str) {
  mSetLength(str, 0);
  if (bar < 0 || bar >= NBARS) return;
  const a_bar_row_desc& d = gs.bard[size_t(bar)];
  if (Is_Tip_Color_Bar(bar)) {
    const bool custom = id >= 0 && id < NCUSTOM_COLORS;
    if (custom)
      Append(str, "Custom Color");
    else if (d.stringx != 0)
      Get_Translated_String(str, STRLIST_DLOG, d.stringx);
    Ends_In_Blank(str);
    Append_Int(str, id);
    if (id >= 0 && id < NCOLOR_TABLE) {
      const a_pixel32 c = gs.color_table[size_t(id)];
      Append(str, "   R ");
      Append_Int(str, c.r);
      Append(str, "   G ");
      Append_Int(str, c.g);
      Append(str, "   B ");
      Append_Int(str, c.b);
    }
    if (custom) Append(str, " - control click to change");
    return;
  }
  if (bar == FONT_BAR) {
    if (id <= 0) return;
    uStr255 name{};
    FontX_To_Name(uint32(id), name);
    UTF16_To_UTF8(name, str);
    return;
  }
  a_keymod_set mods = 0;
  Set_Basic_Keymods(mods);
  if ((bar == STAMP_BAR || bar == PATTERN_BAR) && (mods & Keymod_Bit(SHIFTKEY)) != 0) {
    Append(str, "#");
    Append_Int(str, id);
    Append(str, " ");
    return;
  }
  if (d.stringx != 0) {
    Get_Translated_String(str, STRLIST_DLOG, d.stringx);
    Ends_In_Blank(str);
    Append_Int(str, id);
  }
}

void Annot_Draw(bool8 save) {
  if (g_annot.curr.kind == ANNOT_NULL) return;
  if (g_annot.curr.kind == ANNOT_ECHO) {
    g_annot.sliderx = g_annot.curr.ix;
    Echo_Draw();
    return;
  }
  HWND w = Tip_Window();
  if (w == nullptr) return;
  Annot_Calc_String(g_annot.curr, g_annot.ss);
  Rect box;
  Annot_Calc_Box(g_annot.curr, g_annot.ss, box);
  if (EmptyRect(box)) return;
  Rect whole = box;
  whole.right = int16(whole.right + kTipShadow);
  whole.bottom = int16(whole.bottom + kTipShadow);
  Push_Window(w);
  if (g_annot.off != nullptr) Dispose_GWorld(g_annot.off);
  if (save && New_GWorld(whole, 32, nullptr, g_annot.off) == noErr && g_annot.off != nullptr)
    Port_To_Port(nullptr, g_annot.off, whole, whole, srcCopy, nullptr);
  a_pixel24 face;
  const bool colored = Tip_Face(g_annot.curr, face);
  Draw_Simple_Annotation(box, g_annot.ss, colored ? &face : nullptr);
  Pop_Window();
  g_annot.bbox = whole;
  g_annot.onscreen = true;
}

void Annot_Erase(bool8 discard) {
  if (!g_annot.onscreen) return;
  g_annot.onscreen = false;
  if (g_annot.curr.kind == ANNOT_ECHO) {
    Echo_Erase();
    return;
  }
  HWND w = Tip_Window();
  if (w != nullptr) {
    Push_Window(w);
    if (g_annot.off != nullptr && !discard)
      Port_To_Port(g_annot.off, nullptr, g_annot.bbox, g_annot.bbox, srcCopy, nullptr);
    else if (!discard)
      InvalRect(g_annot.bbox);
    Pop_Window();
  }
  if (g_annot.off != nullptr) Dispose_GWorld(g_annot.off);
  g_annot.off = nullptr;
}

void Annot_BeginUpdate(HWND window, const Rect& bounds) {
  ++g_annot.forced_nesting;
  if (!g_annot.onscreen || window != Tip_Window()) return;
  Rect meet;
  if (!SectRect(bounds, g_annot.bbox, meet)) return;
  // A tip's saved area goes back first, so that the repaint draws over what
  // lies under it; the echo box, which saves nothing, is simply painted over.
  if (g_annot.curr.kind == ANNOT_ECHO)
    g_annot.onscreen = false;
  else
    Annot_Erase(false);
  g_annot.forced_to_hide = true;
}

void Annot_EndUpdate() {
  if (g_annot.forced_nesting > 0) --g_annot.forced_nesting;
  if (g_annot.forced_nesting > 0 || !g_annot.forced_to_hide) return;
  g_annot.forced_to_hide = false;
  const a_annot_spec& tg = g_annot.targ;
  if (tg.kind != ANNOT_NULL && tg.kind == g_annot.curr.kind && tg.ix == g_annot.curr.ix &&
      tg.subx == g_annot.curr.subx)
    Annot_Draw(true);
}

// --- Echo box -----------------------------------------------------------------------------

void Echo_Calc_Size(int16 slider, Point& size) {
  int16 w = 0, h = 0;
  if (slider == PRINT_INNERD_SLIDER || slider == PRINT_OUTERD_SLIDER) {
    w = 200, h = 235;
  } else if (slider == PRINT_BIZSIDE_SLIDER) {
    w = 265, h = 200;
  } else if (slider >= STAMP_SIZE_SLIDER && slider <= STAMP_STRETCH_SLIDER) {
    w = 200, h = 200;
  } else if (slider == BRUSH_SPACING_SLIDER) {
    w = 200, h = 50;
  } else if ((slider >= GRAD_TWIST_SLIDER && slider <= LINE_THICKNESS_SLIDER) || slider == PAINT_CORNER_SLIDER ||
             slider == TEXT_OPACITY_SLIDER) {
    w = 200, h = 120;
  } else if (slider == PAINT_OPACITY_SLIDER) {
    const int16 tool = gs.tool_net;
    if (tool == LINE_TOOL)
      w = 150, h = 120;
    else if (tool == BRUSH_TOOL)
      w = 200, h = 50;
    else if (gs.fill_kind == STAMP_FILL && tool != TEXT_TOOL)
      w = 200, h = 200;
    else
      w = 200, h = 120;
  }
  if (w == 0) {
    size = Point{0, 0};
    return;
  }
  w = std::clamp<int16>(w, 75, 300);
  h = std::min<int16>(int16(h + 18), 300);
  size = Point{h, w};
}

void Calc_Echo_Box(int16 slider, const Rect& sref, Rect& box) {
  Point size;
  Echo_Calc_Size(slider, size);
  box = Rect{0, 0, 0, 0};
  if (size.h == 0 || gs.nviews == 0) return;
  const Rect view = gs.views[0].bounds;
  const int16 mid = int16((sref.top + sref.bottom) / 2);
  box = Rect{int16(mid - size.v / 2), int16(view.left + 2), int16(mid - size.v / 2 + size.v),
             int16(view.left + 2 + size.h)};
  Rect fit = view;
  InsetRect(fit, 2, 2);
  Slide_To_Fit(fit, box);
}

namespace {

void Echo_Draw_Bevel(const Rect& box) {
  constexpr uint8 kGreys[4] = {129, 199, 219, 231};
  Rect f = box;
  for (uint8 g : kGreys) {
    SetForeColor24(a_pixel24{g, g, g});
    FrameRect(f);
    InsetRect(f, 1, 1);
  }
  ForeColor(1);
}

void Draw_Checkerboard(const Rect& r) {
  constexpr int16 kSquare = 12;
  for (int16 v = r.top; v < r.bottom; v = int16(v + kSquare))
    for (int16 h = r.left; h < r.right; h = int16(h + kSquare)) {
      const bool dark = ((h - r.left) / kSquare + (v - r.top) / kSquare) % 2 == 0;
      const Rect sq{v, h, std::min<int16>(int16(v + kSquare), r.bottom), std::min<int16>(int16(h + kSquare), r.right)};
      Paint24(dark ? a_pixel24{120, 120, 120} : a_pixel24{210, 210, 210}, sq);
    }
}

// The preview of a paint slider: the current tool's shape, stamps or brush
// imprints painted into the upper world and its mask with the paint atoms.
void Echo_Shape_Area(const Rect& preview, GWorldPtr upper, GWorldPtr mask) {
  Rect shape = preview;
  InsetRect(shape, 6, 6);
  if (EmptyRect(shape)) return;
  const Point c{int16((shape.top + shape.bottom) / 2), int16((shape.left + shape.right) / 2)};
  switch (gs.tool_net) {
    case BRUSH_TOOL:
    case BUCKET_TOOL: {
      a_atom_rec p;
      New_PaintParm(0, p);
      p.paint_world = upper;
      p.mask_world = mask;
      Push_GWorld(upper);
      Atom_Rect(p, shape);
      Pop_GWorld();
      Dispose_PaintParm(p);
      break;
    }
    case SPRAY_TOOL: {
      // The preview leaves the spray's random state as it found it.
      const int16 save_seed = gs.spray_seed;
      a_rand_rec save_rand{};
      if (gs.spray_seedU != nullptr) save_rand = *gs.spray_seedU;
      // At the radius the slider shows now.
      Spray_Init(a_spray_spread(gs.grid_vals[SPRAY_KIND_GRID]));
      const int16 bursts = gs.fill_kind == STAMP_FILL ? 2 : 6;
      for (int16 i = 0; i < bursts; ++i) Do_Atom_1(c, Atom_Spray, upper, mask);
      gs.spray_seed = save_seed;
      if (gs.spray_seedU != nullptr) *gs.spray_seedU = save_rand;
      const int16 r = gs.slider_vals[SPRAY_RADIUS_SLIDER];
      Push_GWorld(upper);
      SetForeColor32(gs.fill_color32);
      FrameOval(Rect{int16(c.v - r), int16(c.h - r), int16(c.v + r + 1), int16(c.h + r + 1)});
      ForeColor(1);
      Pop_GWorld();
      break;
    }
    case SPOLYGON_TOOL: {
      a_atom_rec p;
      New_PaintParm(0, p);
      p.paint_world = upper;
      p.mask_world = mask;
      RgnHandle tri = NewRgn();
      // The triangle is built in the preview's own port, whatever port is
      // current when the echo draws.
      Push_GWorld(upper);
      OpenRgn();
      MoveTo(c.h, shape.top);
      LineTo(shape.right, shape.bottom);
      LineTo(shape.left, shape.bottom);
      LineTo(c.h, shape.top);
      CloseRgn(tri);
      Atom_Rgn(p, tri);
      Pop_GWorld();
      DisposeRgn(tri);
      Dispose_PaintParm(p);
      break;
    }
    case SOVAL_TOOL:
    case SRECT_TOOL:
      Do_Atom_4(shape, gs.tool_net == SOVAL_TOOL ? Atom_SOval : Atom_SRect, upper, mask);
      if (gs.fill_kind == STAMP_FILL) {
        Push_GWorld(upper);
        ForeColor(1);
        if (gs.tool_net == SOVAL_TOOL)
          FrameOval(shape);
        else
          FrameRect(shape);
        Pop_GWorld();
      }
      break;
    case SFURTER_TOOL:
    case FFURTER_TOOL: {
      // A fixed piece of a ring standing on the shape's bottom edge.
      const int16 h = Rect_H(shape);
      a_atom_rec p;
      New_PaintParm(3, p);
      if (p.list != nullptr) {
        p.list->points[0] = Point{shape.bottom, c.h};
        p.list->points[1] = Point{600, int16(h / 3)};
        p.list->points[2] = Point{1200, int16(h - 2)};
        p.list->npoints = 3;
        p.paint_world = upper;
        p.mask_world = mask;
        Push_GWorld(upper);
        Atom_Furter(p);
        Pop_GWorld();
      }
      Dispose_PaintParm(p);
      break;
    }
    case STAMP_TOOL:
      Do_Atom_1(c, Atom_Stamp, upper, mask);
      break;
    case LINE_TOOL:
      Do_Atom_2(Point{shape.top, shape.left}, Point{shape.bottom, shape.right}, Atom_Line, upper, mask);
      break;
    case FOVAL_TOOL:
      Do_Atom_4(shape, Atom_FOval, upper, mask);
      break;
    case FRECT_TOOL:
      Do_Atom_4(shape, Atom_FRect, upper, mask);
      break;
    default:
      break;
  }
}

void Echo_Preview(int16 slider, const Rect& preview, GWorldPtr upper, GWorldPtr mask) {
  const Point c{int16((preview.top + preview.bottom) / 2), int16((preview.left + preview.right) / 2)};
  if ((slider >= GRAD_TWIST_SLIDER && slider <= SPRAY_RADIUS_SLIDER) || slider == STAMP_SPACINGF_SLIDER ||
      slider == LINE_THICKNESS_SLIDER || slider == PAINT_OPACITY_SLIDER) {
    // The gradient is centred on the preview meanwhile.
    const Point save_center = t.grad_center;
    const int16 save_radius = t.grad_radius;
    t.grad_center = c;
    t.grad_radius = int16(Rect_W(preview) / 2);
    Echo_Shape_Area(preview, upper, mask);
    t.grad_center = save_center;
    t.grad_radius = save_radius;
  } else if (slider == STAMP_SIZE_SLIDER || slider == STAMP_ROTATE_SLIDER ||
             (slider >= STAMP_DARKNESS_SLIDER && slider <= STAMP_STRETCH_SLIDER)) {
    Do_Atom_1(c, Atom_Stamp, upper, mask);
  } else if (slider == STAMP_SPACING_SLIDER) {
    const int16 step = gs.slider_vals[STAMP_SPACING_SLIDER];
    for (int16 i = -2; i <= 2; ++i) Do_Atom_1(Point{c.v, int16(c.h + i * step)}, Atom_Stamp, upper, mask);
  } else if (slider == BRUSH_SPACING_SLIDER) {
    const int16 step = gs.slider_vals[BRUSH_SPACING_SLIDER];
    const int16 n = step < 5 ? 9 : (step >= 20 ? 5 : 7);
    for (int16 i = 0; i < n; ++i)
      Do_Atom_1(Point{c.v, int16(c.h + (i - n / 2) * step)}, Atom_Brush, upper, mask);
  } else if (slider == PAINT_CORNER_SLIDER) {
    Rect third = preview;
    const int16 w3 = int16(Rect_W(preview) / 3), h3 = int16(Rect_H(preview) / 3);
    third = Rect{int16(preview.top + h3), int16(preview.left + w3), int16(preview.bottom - h3),
                 int16(preview.right - w3)};
    const bool stroked = gs.tool_net == SRECT_TOOL || gs.tool_net == SFURTER_TOOL;
    Do_Atom_4(third, stroked ? Atom_FRoundRect : Atom_SRoundRect, upper, mask);
  }
}

void Echo_Text(const Rect& preview, GWorldPtr merged) {
  // "abc ABC" in the text's font and colour at its opacity.
  GWorldPtr text = nullptr;
  Rect b;
  Get_GWorld_Bounds(merged, b);
  if (New_GWorld(b, 32, nullptr, text) != noErr || text == nullptr) return;
  Port_To_Port(merged, text, b, b, srcCopy, nullptr);
  Push_GWorld(text);
  a_fontspec font = gs.font_14pt;
  if (gs.bar_selection[FONT_BAR] > 0) font.fontID = uint32(gs.bar_selection[FONT_BAR]);
  font.size = 18;
  SetForeColor32(gs.fill_color32);
  TextMode(srcOr);
  (void)Draw_String_Fit(true, font, "abc ABC", preview);
  ForeColor(1);
  Pop_GWorld();
  Set_Blend_Value(uint16(std::clamp<int16>(gs.slider_vals[TEXT_OPACITY_SLIDER], 0, 100)));
  Port_To_Port(text, merged, preview, preview, blend, nullptr);
  Set_Blend_Value(100);
  Dispose_GWorld(text);
}

}  // namespace

void Echo_Draw() {
  const int16 slider = g_annot.sliderx;
  HWND w = Tip_Window();
  if (w == nullptr || !Is_Slider(slider)) return;
  Rect box;
  Calc_Echo_Box(slider, To_Window(g_annot.curr.gref), box);
  if (EmptyRect(box)) return;
  GWorldPtr merged = nullptr;
  if (New_GWorld(box, 32, nullptr, merged) != noErr || merged == nullptr) return;
  Push_GWorld(merged);
  Echo_Draw_Bevel(box);
  Rect inner = box;
  InsetRect(inner, 4, 4);
  Paint24(a_pixel24{192, 192, 192}, inner);
  Rect caption = inner;
  caption.bottom = int16(caption.top + 15);
  Rect preview = inner;
  preview.top = int16(preview.top + 18);
  if (slider == PAINT_OPACITY_SLIDER || slider == TEXT_OPACITY_SLIDER) Draw_Checkerboard(preview);
  if (slider == TEXT_OPACITY_SLIDER) {
    Echo_Text(preview, merged);
  } else if (slider < PRINT_INNERD_SLIDER || slider > PRINT_BIZSIDE_SLIDER) {
    GWorldPtr upper = nullptr, mask = nullptr;
    if (New_GWorld(box, 32, nullptr, upper) == noErr && upper != nullptr &&
        New_GWorld(box, 8, gray_ctable, mask) == noErr && mask != nullptr) {
      Pop_GWorld();
      Echo_Preview(slider, preview, upper, mask);
      Push_GWorld(merged);
      Port_To_Port_Deep(upper, mask, merged, preview, preview, preview, nullptr);
    }
    Dispose_GWorld(upper);
    Dispose_GWorld(mask);
  }
  if (slider == PRINT_INNERD_SLIDER)
    Echo_Template(preview, 1);
  else if (slider == PRINT_OUTERD_SLIDER)
    Echo_Template(preview, 0);
  else if (slider == PRINT_BIZSIDE_SLIDER)
    Echo_Template(preview, 2);
  Str255 s{};
  Calc_Slider_Info(slider, s);
  ForeColor(1);
  TextMode(srcOr);
  (void)Draw_String_Fit(true, gs.font_14pt, s, caption);
  Pop_GWorld();
  Push_Window(w);
  Port_To_Port(merged, nullptr, box, box, srcCopy, nullptr);
  Pop_Window();
  Dispose_GWorld(merged);
  g_annot.inner = inner;
  g_annot.bbox = box;
  g_annot.onscreen = true;
}

void Echo_Erase() {
  HWND w = Tip_Window();
  if (w == nullptr || EmptyRect(g_annot.bbox)) return;
  Push_Window(w);
  InvalRect(g_annot.bbox);
  Pop_Window();
}

// --- Colour wheel --------------------------------------------------------------------------

namespace {

constexpr int16 kWheelReach = ART_HUE_WHEEL_RADIUS;
bool g_wheel_tracking = false;

Point Wheel_Center(const Rect& r) {
  return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)};
}

}  // namespace

Point Colorize_HD_To_XY(Point center, int16 hue, int16 dist) {
  const double a = double(hue) * 3.14159265358979323846 / 180.0;
  return Point{int16(center.v - std::lround(dist * std::sin(a))), int16(center.h + std::lround(dist * std::cos(a)))};
}

void Colorize_XY_To_HD(Point center, Point pt, int16& hue, int16& dist) {
  const double dx = pt.h - center.h, dy = center.v - pt.v;
  const double r = std::sqrt(dx * dx + dy * dy);
  // The radius in tenths of a pixel, rounded to whole distances.
  dist = int16(std::min<int32>((int32(std::lround(r * 10)) + 5) / 10, kWheelReach));
  double deg = std::atan2(dy, dx) * 180.0 / 3.14159265358979323846;
  if (deg < 0) deg += 360;
  hue = int16(std::lround(deg) % 360);
}

void Colorize_Paint(const Rect& r) {
  Fill_LightStripe(r);
  const Point c = Wheel_Center(r);
  if (Pixt_Exists(ART_PICT_HUE_WHEEL)) {
    a_pixt pix;
    Null_Pixt(pix);
    (void)KPixt_Load_Checked(Pixt_Key(ART_PICT_HUE_WHEEL), pix);
    if (pix.bits != nullptr) {
      const Rect src{0, 0, ART_HUE_WHEEL_SIZE, ART_HUE_WHEEL_SIZE};
      Rect dst{int16(c.v - ART_HUE_WHEEL_CENTER), int16(c.h - ART_HUE_WHEEL_CENTER),
               int16(c.v - ART_HUE_WHEEL_CENTER + ART_HUE_WHEEL_SIZE),
               int16(c.h - ART_HUE_WHEEL_CENTER + ART_HUE_WHEEL_SIZE)};
      Pixt_DrawPartial(pix, src, dst, transparent, nullptr);
    }
    Pixt_Unload(pix);
  }
  if (g_wheel_tracking) return;
  const Point p = Colorize_HD_To_XY(c, gs.slider_vals[COLOR_HUE_SLIDER], gs.slider_vals[COLOR_DIST_SLIDER]);
  const Rect mark{int16(p.v - 4), int16(p.h - 4), int16(p.v + 5), int16(p.h + 5)};
  ForeColor(1);
  FrameOval(mark);
  Rect in = mark;
  InsetRect(in, 1, 1);
  SetForeColor24(a_pixel24{255, 255, 255});
  FrameOval(in);
  ForeColor(1);
}

namespace {

void Colorize_Apply(a_history_op photo_op, a_history_op canvas_op) {
  if (gs.curr_phase == PHOTO_PHASE) {
    pending_op = photo_op;
    Delta_Photo();
  } else if (gs.curr_phase == CANVAS_PHASE) {
    pending_op = canvas_op;
    Delta_Canvas();
  } else {
    QUIT();
  }
}

}  // namespace

void Colorize_MouseDown(const a_mousestroke& stroke) {
  HWND w;
  Rect r;
  if (!Custom_Get_Info(CUSTOM_COLORIZE, w, r)) return;
  const Point c = Wheel_Center(r);
  const int32 dh = stroke.lmouse.h - c.h, dv = stroke.lmouse.v - c.v;
  const bool near = dh * dh + dv * dv <= int32(kWheelReach) * kWheelReach;
  if (!stroke.button1) {
    Cursor_Set_Shape(near ? CROSSHAIR_CURSOR : ARROW_CURSOR);
    return;
  }
  if (gs.curr_phase != PHOTO_PHASE && gs.curr_phase != CANVAS_PHASE) {
    QUIT();
    return;
  }
  g_wheel_tracking = true;
  Custom_Paint(CUSTOM_COLORIZE);
  TrackMouse_Init(stroke.window);
  Point m = stroke.lmouse;
  do {
    int16 hue, dist;
    Colorize_XY_To_HD(c, m, hue, dist);
    if (hue != gs.slider_vals[COLOR_HUE_SLIDER] || dist != gs.slider_vals[COLOR_DIST_SLIDER]) {
      Slider_Blast(COLOR_HUE_SLIDER, hue);
      Slider_Blast(COLOR_DIST_SLIDER, dist);
      Colorize_Apply(OP_PHOTO_COLORIZE, OP_CANVAS_COLORIZE);
    }
  } while (TrackMouse_StillDown(m));
  TrackMouse_Stop();
  g_wheel_tracking = false;
  Custom_Paint(CUSTOM_COLORIZE);
}

void Colorize_Reset() {
  // The button shows only in these phases; a command for it elsewhere (a
  // script's) is a press nothing uses.
  if (gs.curr_phase != PHOTO_PHASE && gs.curr_phase != CANVAS_PHASE) {
    Sound_Effect(SND_NULL);
    return;
  }
  Slider_Blast(COLOR_HUE_SLIDER, g_sliders[COLOR_HUE_SLIDER].defaultval);
  Slider_Blast(COLOR_DIST_SLIDER, g_sliders[COLOR_DIST_SLIDER].defaultval);
  Custom_Paint(CUSTOM_COLORIZE);
  Colorize_Apply(OP_PHOTO_RESETHUE, OP_CANVAS_RESETHUE);
}
