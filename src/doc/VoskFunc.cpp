#include "doc/VoskFunc.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "host/HostRegion.h"
#include "host/HostWin.h"
#include "pixel/Fast.h"
#include "pixel/MAsm2.h"
#include "pixel/OPUtil.h"
#include "pixel/Polar.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPix.h"
#include "pixel/SysPixXform.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysRgn.h"
#include "platform/SysVideo.h"
#include "platform/VoskErr.h"
#include "ui/VoskIntI.h"

a_symmetry_map g_symmap;

namespace {

int16 Clamp16(int64 v) { return int16(v < -32768 ? -32768 : (v > 32767 ? 32767 : v)); }

// a / b rounded toward minus infinity (b > 0).
int64 Floor_Div(int64 a, int64 b) {
  const int64 q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}
int64 Ceil_Div(int64 a, int64 b) { return -Floor_Div(-a, b); }

const a_view_rec& View(uint16 vx) { return gs.views[vx == 2 ? 1 : 0]; }

// The view's zoom, 1/1 where it holds no usable ratio.
a_ratio Zoom(const a_view_rec& v) {
  if (v.zoom_factor.num <= 0 || v.zoom_factor.den <= 0) return a_ratio{1, 1};
  return v.zoom_factor;
}

int64 Cell_To_Screen_1(int64 d, const a_ratio& z) { return z.num == z.den ? d : Floor_Div(d * z.num, z.den); }
// Zoomed in: the cell the pixel shows; zoomed out: the first cell drawn
// into the pixel (so that CellToScreen gives the pixel back).
int64 Screen_To_Cell_1(int64 d, const a_ratio& z) {
  if (z.num == z.den) return d;
  return z.num > z.den ? Floor_Div(d * z.den, z.num) : Ceil_Div(d * z.den, z.num);
}

// The merge layer's extent when it is narrower than the unit's canvas;
// FALSE when merge pixels are cells.
bool Merge_Scale(const a_doc_unit* u, int32& cells_h, int32& cells_v, int32& merge_h, int32& merge_v) {
  if (u == nullptr) return false;
  const Rect& layer = u->statics[TOTAL_LAYER].bounds;
  const int32 lw = int32(layer.right) - layer.left, pw = int32(u->paintbounds.right) - u->paintbounds.left;
  if (lw <= 0 || lw >= pw || layer.right <= 0 || layer.bottom <= 0 || u->paintbounds.right <= 0 ||
      u->paintbounds.bottom <= 0)
    return false;
  cells_h = u->paintbounds.right;
  cells_v = u->paintbounds.bottom;
  merge_h = layer.right;
  merge_v = layer.bottom;
  return true;
}

Point Symmetry_Center() { return g_doc.up != nullptr ? g_doc.up->symmetry_center : Point{0, 0}; }

// p turned about c by the fixed-point sine and cosine, mirrored left to
// right when asked; rounded to the nearest cell.
Point Rotate_About(Point c, Point p, int32 sin, int32 cos, bool mirror) {
  const int32 dh = int32(p.h) - c.h, dv = int32(p.v) - c.v;
  const int32 th = int32(Floor_Div(int64(dh) * cos + int64(dv) * sin + 8192, 16384));
  const int32 tv = int32(Floor_Div(int64(cos) * dv - int64(sin) * dh + 8192, 16384));
  return Point{Clamp16(int64(c.v) + tv), Clamp16(mirror ? int64(c.h) - th : int64(c.h) + th)};
}

}  // namespace

// --- Screen and cell ---------------------------------------------------------------------

void CellToScreen(uint16 vx, Point cell, Point& screen) {
  const a_view_rec& v = View(vx);
  const a_ratio z = Zoom(v);
  screen.h = Clamp16(Cell_To_Screen_1(int64(cell.h) - v.origin.h, z) + v.bounds.left);
  screen.v = Clamp16(Cell_To_Screen_1(int64(cell.v) - v.origin.v, z) + v.bounds.top);
}

int16 CellToScreenInt(uint16 vx, int16 value) {
  const a_ratio z = Zoom(View(vx));
  return Clamp16(int64(value) * z.num / z.den);
}

void CellToScreenRect(uint16 vx, const Rect& cellr, Rect& screenr) {
  const a_view_rec& v = View(vx);
  const a_ratio z = Zoom(v);
  const auto lo = [&](int64 d) { return Cell_To_Screen_1(d, z); };
  const auto hi = [&](int64 d) { return z.num == z.den ? d : Ceil_Div(d * z.num, z.den); };
  const Rect r = cellr;
  screenr.left = Clamp16(lo(int64(r.left) - v.origin.h) + v.bounds.left);
  screenr.top = Clamp16(lo(int64(r.top) - v.origin.v) + v.bounds.top);
  screenr.right = Clamp16(hi(int64(r.right) - v.origin.h) + v.bounds.left);
  screenr.bottom = Clamp16(hi(int64(r.bottom) - v.origin.v) + v.bounds.top);
}

void CellToScreenZ(Point cell, Point& screen) {
  const a_ratio z = Zoom(gs.views[0]);
  const uint16 last = gs.nviews >= 2 ? 2 : 1;
  CellToScreen(z.num != z.den ? last : 1, cell, screen);
}

void ScreenToCell(uint16 vx, Point screen, Point& cell) {
  const a_view_rec& v = View(vx);
  const a_ratio z = Zoom(v);
  cell.h = Clamp16(Screen_To_Cell_1(int64(screen.h) - v.bounds.left, z) + v.origin.h);
  cell.v = Clamp16(Screen_To_Cell_1(int64(screen.v) - v.bounds.top, z) + v.origin.v);
}

int16 ScreenToCellInt(uint16 vx, int16 value) {
  const a_ratio z = Zoom(View(vx));
  return Clamp16(int64(value) * z.den / z.num);
}

void ScreenToCellRect(uint16 vx, const Rect& screenr, Rect& cellr) {
  const Rect r = screenr;
  Point tl, br;
  ScreenToCell(vx, Point{r.top, r.left}, tl);
  ScreenToCell(vx, Point{r.bottom, r.right}, br);
  cellr.left = Clamp16(int64(tl.h) - 1);
  cellr.top = Clamp16(int64(tl.v) - 1);
  cellr.right = Clamp16(int64(br.h) + 1);
  cellr.bottom = Clamp16(int64(br.v) + 1);
}

void GlobalToCell(uint16 vx, Point global, Point& cell) {
  POINT p{global.h, global.v};
  if (gs.outer_window != nullptr) ScreenToClient(gs.outer_window, &p);
  ScreenToCell(vx, Point{Clamp16(p.y), Clamp16(p.x)}, cell);
}

void CellToScreenRgn(uint16 vx, RgnHandle cellrgn, RgnHandle screenrgn) {
  if (cellrgn == nullptr || screenrgn == nullptr) return;
  const a_view_rec& v = View(vx);
  const a_ratio z = Zoom(v);
  CopyRgn(cellrgn, screenrgn);
  OffsetRgn(screenrgn, -int32(v.origin.h), -int32(v.origin.v));
  if (z.num != z.den) {
    RgnHandle scaled = NewRgn();
    if (scaled == nullptr) return;
    Rgn_Scale(a_rgn_factor{z.num, z.den}, screenrgn, scaled);
    CopyRgn(scaled, screenrgn);
    DisposeRgn(scaled);
  }
  OffsetRgn(screenrgn, v.bounds.left, v.bounds.top);
}

void CellToScreen_Pointlist(uint16 vx, const a_pointlist_rec* cells, a_pointlist_rec* screen) {
  if (cells == nullptr || screen == nullptr) return;
  const uint16 n = std::min(cells->npoints, screen->max);
  for (uint16 i = 0; i < n; ++i) {
    const Point p = cells->points[i];
    if (p.h == POINTLIST_BREAK.h)
      screen->points[i] = p;
    else
      CellToScreen(vx, p, screen->points[i]);
  }
  screen->npoints = n;
}

uint16 CalcView(Point global) {
  if (gs.nviews < 2) return 1;
  POINT p{global.h, global.v};
  if (gs.outer_window != nullptr) ScreenToClient(gs.outer_window, &p);
  return PtInRect(Point{Clamp16(p.y), Clamp16(p.x)}, gs.views[1].bounds) ? 2 : 1;
}

// --- Cell and merge ------------------------------------------------------------------------

void CellToMerge(const a_doc_unit* u, Point cell, Point& merge) {
  int32 ch, cv, mh, mv;
  if (!Merge_Scale(u, ch, cv, mh, mv)) {
    merge = cell;
    return;
  }
  merge.h = Clamp16(Floor_Div(int64(cell.h) * mh, ch));
  merge.v = Clamp16(Floor_Div(int64(cell.v) * mv, cv));
}

void MergeToCell(const a_doc_unit* u, Point merge, Point& cell) {
  int32 ch, cv, mh, mv;
  if (!Merge_Scale(u, ch, cv, mh, mv)) {
    cell = merge;
    return;
  }
  // The first cell that falls on the merge pixel.
  cell.h = Clamp16(Ceil_Div(int64(merge.h) * ch, mh));
  cell.v = Clamp16(Ceil_Div(int64(merge.v) * cv, mv));
}

void CellToMergePair(const a_doc_unit* u, int16& h, int16& v) {
  Point m;
  CellToMerge(u, Point{v, h}, m);
  h = m.h;
  v = m.v;
}

void CellToMergeRect(const a_doc_unit* u, const Rect& cellr, Rect& merger) {
  int32 ch, cv, mh, mv;
  if (!Merge_Scale(u, ch, cv, mh, mv)) {
    merger = cellr;
    return;
  }
  const Rect r = cellr;
  merger.left = Clamp16(Floor_Div(int64(r.left) * mh, ch));
  merger.top = Clamp16(Floor_Div(int64(r.top) * mv, cv));
  merger.right = Clamp16(Ceil_Div(int64(r.right) * mh, ch));
  merger.bottom = Clamp16(Ceil_Div(int64(r.bottom) * mv, cv));
}

void MergeToCellRect(const a_doc_unit* u, const Rect& merger, Rect& cellr) {
  int32 ch, cv, mh, mv;
  if (!Merge_Scale(u, ch, cv, mh, mv)) {
    cellr = merger;
    return;
  }
  const Rect r = merger;
  cellr.left = Clamp16(Floor_Div(int64(r.left) * ch, mh));
  cellr.top = Clamp16(Floor_Div(int64(r.top) * cv, mv));
  cellr.right = Clamp16(Ceil_Div(int64(r.right) * ch, mh));
  cellr.bottom = Clamp16(Ceil_Div(int64(r.bottom) * cv, mv));
}

void ScreenToMerge(Point screen, Point& merge) {
  const a_view_rec& v = gs.views[0];
  const a_ratio z = Zoom(v);
  merge.h = Clamp16(int64(screen.h) - v.bounds.left + Floor_Div(int64(v.origin.h) * z.num, z.den));
  merge.v = Clamp16(int64(screen.v) - v.bounds.top + Floor_Div(int64(v.origin.v) * z.num, z.den));
}

void ScreenToMergeRect(const Rect& screenr, Rect& merger) {
  const a_ratio z = Zoom(gs.views[0]);
  if (z.num < z.den) {
    const Rect r = screenr;
    Point tl, br;
    ScreenToMerge(Point{r.top, r.left}, tl);
    ScreenToMerge(Point{r.bottom, r.right}, br);
    merger = Rect{tl.v, tl.h, br.v, br.h};
  } else {
    ScreenToCellRect(1, screenr, merger);
  }
}

// --- Cell and print dots -------------------------------------------------------------------

namespace {
a_ratio Print_Ratio(const a_ratio& r) { return (r.num <= 0 || r.den <= 0) ? a_ratio{1, 1} : r; }
}  // namespace

void Cell_To_PPoint(Point cell, Point& dots) {
  const a_print_info& p = g_doc.doc_print;
  const a_ratio x = Print_Ratio(p.scaling_factorx), y = Print_Ratio(p.scaling_factory);
  dots.h = Clamp16(Floor_Div(int64(cell.h) * x.num, x.den) + p.doc_origin.h);
  dots.v = Clamp16(Floor_Div(int64(cell.v) * y.num, y.den) + p.doc_origin.v);
}

void Cell_To_PRect(const Rect& cellr, Rect& dotsr) {
  const Rect r = cellr;
  Point tl, br;
  Cell_To_PPoint(Point{r.top, r.left}, tl);
  Cell_To_PPoint(Point{r.bottom, r.right}, br);
  dotsr = Rect{tl.v, tl.h, br.v, br.h};
}

int16 Cell_To_P(int16 value) {
  const a_ratio x = Print_Ratio(g_doc.doc_print.scaling_factorx);
  return Clamp16(int64(value) * x.num / x.den);
}

// --- Symmetry -------------------------------------------------------------------------------

void Calc_Symmetry_Init(a_symmetry_kind kind, int16 cyclex, int16 ncycle) {
  if (ncycle == 0) ncycle = 1;
  const int16 angle = int16(int32(cyclex) * 360 / ncycle);
  const int16 tenths = int16((int32(angle) % 360) * 10);
  g_symmap.sin = IntSin(tenths);
  g_symmap.cos = IntCos(tenths);
  g_symmap.mirror = kind == MIRROR_SYMMETRY;
  g_symmap.saved = false;
  if (gs.fill_kind != GRADIENT_FILL) return;
  // The gradient turns (and mirrors) with the copy.
  g_symmap.save_grad_center = t.grad_center;
  g_symmap.save_grad_angle = gs.slider_vals[GRAD_ANGLE_SLIDER];
  g_symmap.save_grad_dir = gs.grid_vals[GRAD_DIR_GRID];
  g_symmap.saved = true;
  Calc_Symmetry_Map(g_symmap.save_grad_center, t.grad_center);
  gs.slider_vals[GRAD_ANGLE_SLIDER] = Normalize_Degrees(-180, 180, int16(g_symmap.save_grad_angle - angle % 360));
  const int16 gk = gs.grid_vals[GRAD_KIND_GRID];
  if (g_symmap.mirror && (gk == LINEAR_DITHER || gk == RIDGES_DITHER || gk == RAY_DITHER || gk == WAVY_DITHER)) {
    const int16 dir = gs.grid_vals[GRAD_DIR_GRID];
    if (dir == 0 || dir == 1) gs.grid_vals[GRAD_DIR_GRID] = int16(1 - dir);
  }
}

void Calc_Symmetry_Map(Point input, Point& output) {
  output = Rotate_About(Symmetry_Center(), input, g_symmap.sin, g_symmap.cos, g_symmap.mirror);
}

void Calc_Symmetry_Stop() {
  if (!g_symmap.saved) return;
  t.grad_center = g_symmap.save_grad_center;
  gs.slider_vals[GRAD_ANGLE_SLIDER] = g_symmap.save_grad_angle;
  gs.grid_vals[GRAD_DIR_GRID] = g_symmap.save_grad_dir;
  g_symmap.saved = false;
}

void Calc_Cyclic(int16 angle, Point input, Point& output) {
  const int16 tenths = int16((int32(angle) % 360) * 10);
  output = Rotate_About(Symmetry_Center(), input, IntSin(tenths), IntCos(tenths), false);
}

void Calc_Mirror(int16 angle, Point input, Point& output) {
  const int16 tenths = int16((int32(angle) % 360) * 10);
  output = Rotate_About(Symmetry_Center(), input, IntSin(tenths), IntCos(tenths), true);
}

// --- Other services -----------------------------------------------------------------------

void CalcScrollDelta(bool8 bigstep, int16& dx, int16& dy) {
  const a_view_rec& v = gs.views[0];
  const a_ratio z = Zoom(v);
  const int64 w = (int64(v.bounds.right) - v.bounds.left) * z.den / z.num;
  const int64 h = (int64(v.bounds.bottom) - v.bounds.top) * z.den / z.num;
  dx = Clamp16(bigstep ? w * 9 / 10 : w / 8);
  dy = Clamp16(bigstep ? h * 9 / 10 : h / 8);
}

void Apply_Line_Constraint(Point corner1, Point& corner2) {
  const int32 dh = int32(corner2.h) - corner1.h, dv = int32(corner2.v) - corner1.v;
  const int32 d = (std::abs(dh) + std::abs(dv)) / 2;
  switch (CalcOctant(corner1, corner2)) {
    case 0:
    case 4: corner2.v = corner1.v; break;  // right, left
    case 2:
    case 6: corner2.h = corner1.h; break;  // down, up
    case 1: corner2 = Point{Clamp16(int64(corner1.v) + d), Clamp16(int64(corner1.h) + d)}; break;
    case 3: corner2 = Point{Clamp16(int64(corner1.v) + d), Clamp16(int64(corner1.h) - d)}; break;
    case 5: corner2 = Point{Clamp16(int64(corner1.v) - d), Clamp16(int64(corner1.h) - d)}; break;
    case 7: corner2 = Point{Clamp16(int64(corner1.v) - d), Clamp16(int64(corner1.h) + d)}; break;
    default: break;
  }
}

void Calc_Stamp(const PixMap& stamp, Point center, Rect& dest) {
  SetRectCenter(dest, center.h, center.v, RectH(stamp.bounds), RectV(stamp.bounds));
}

void Stamp_To_Mask1(const PixMap& pix, PixMap& mask) {
  Dispose_PixMap(mask);
  Null_PixMap(mask);
  if (Is_Null_PixMap(pix) || EmptyRect(pix.bounds)) return;
  if (pix.pixelSize != 8 && pix.pixelSize != 16 && pix.pixelSize != 32) {
    QUIT();
    return;
  }
  New_PixMap(mask, pix.bounds, 1, mono_ctable);
  if (mask.baseAddr == nullptr) return;
  PixMap in = pix;
  switch (pix.pixelSize) {
    case 8: {
      bool8 some_off = false, some_on = false;
      PixMap8_To_1(White_transparent1, &in, &mask, some_off, some_on);
      break;
    }
    case 16: PixMap16_To_1(&in, &mask); break;
    default: PixMap32_To_1(&in, &mask); break;
  }
}

void Draw_XOR_Pointlist(const a_pointlist_rec* list) {
  if (list == nullptr || list->npoints == 0) return;
  a_pointlist_ptr screen = nullptr;
  New_Pointlist(list->npoints, screen);
  if (screen == nullptr) return;
  PenState pen;
  GetPenState(pen);
  const uint16 nviews = gs.nviews < 1 ? 1 : (gs.nviews > MAXNVIEWS ? MAXNVIEWS : gs.nviews);
  for (uint16 vx = 1; vx <= nviews; ++vx) {
    PushClip(gs.views[vx - 1].bounds);
    CellToScreen_Pointlist(vx, list, screen);
    PenMode(patXor);
    PenPat(gs.marq_pattern);
    Frame_Pointlist(1, screen);
    PopClip();
  }
  SetPenState(pen);
  Dispose_Pointlist(screen);
}

void Set_Pen_Opacity() {
  SetForeColor32(gs.fill_color32);
  PenPat(kPatBlack);
  const int16 opacity = gs.slider_vals[PAINT_OPACITY_SLIDER];
  if (opacity != 100) {
    Set_Blend_Value(uint16(opacity < 0 ? 0 : opacity));
    PenMode(blend);
  } else {
    PenMode(patCopy);
  }
}

void Aspect_Ratio(int16 value, a_ratio& a, a_ratio& b) {
  a = a_ratio{100, 100};
  b = a_ratio{100, 100};
  if (value < 0) a.num = int16(100 + value);
  if (value > 0) b.num = int16(100 - value);
}

bool8 Is_Doc_Changed() { return g_doc.doc_open && g_doc.doc_changed; }

bool8 Is_Gradient_Anchored() {
  const int16 gk = gs.grid_vals[GRAD_KIND_GRID];
  return gs.fill_kind == GRADIENT_FILL && (gk == CIRCULAR_DITHER || gk == RAY_DITHER);
}

void Doc_Update() {
  if (gs.outer_window != nullptr) Immediate_Window_Update(gs.outer_window);
}

void String_Substitutions(CStrSpan src, StrSpan dst) {
  if (dst.empty()) return;
  const size_t cap = std::min<size_t>(dst.size() - 1, 255);
  Str255 name{};
  if (!Path_To_Name(g_doc.doc_path, name)) name[0] = 0;
  size_t out = 0;
  auto put = [&](char c) {
    if (out < cap) dst[out++] = c;
  };
  for (size_t i = 0; i < src.size() && src[i] != 0 && out < cap; ++i) {
    if (src[i] == '%' && i + 1 < src.size() && (src[i + 1] == 'F' || src[i + 1] == 'f')) {
      for (size_t k = 0; name[k] != 0; ++k) put(name[k]);
      ++i;
      continue;
    }
    put(src[i]);
  }
  dst[out] = 0;
}

// --- The missing-picture placeholder --------------------------------------------------------

void Fill_Missing_Pattern(const Rect& dest) {
  if (dest.bottom <= dest.top || dest.right <= dest.left) return;
  BackColor(0);
  EraseRect(dest);
  RgnHandle saved = NewRgn();
  GetClip(saved);
  ClipRect(dest);
  a_fontspec font = gs.font_14pt;
  if (font.fontID == 0) {
    // Before the interface's fonts are set up: the base font, 14 points, bold.
    Null_FontSpec(font);
    font.fontID = BASE_PROP_FONT != 0 ? BASE_PROP_FONT : 1;
    font.size = 14;
    font.effects = Effect_Bit(EFFECT_BOLD);
  }
  SetFont(font);
  const RGBColor ink{242 * 257, 87 * 257, 185 * 257};
  RGBForeColor(ink);
  TextMode(1);  // transparent: the copies overlap nothing but white
  // The spacing comes from dialog string 12 (" (MISSING)"); the legend drawn
  // is the bare word.
  Str255 spacing{};
  Get_DLOG_String(spacing, 12);
  const int32 width = StringWidth(spacing);
  const int32 step = std::max<int32>(width + 12, 1);
  static const char kLegend[] = "MISSING";
  // Rows 20 pixels apart from the top, baseline 12 below the row; the first
  // row and every second one after it start half a string width further right.
  for (int32 row = 0, top = dest.top; top < int32(dest.bottom); ++row, top += 20) {
    const int32 x0 = int32(dest.left) + 5 + ((row & 1) == 0 ? width / 2 : 0);
    for (int32 x = x0; x < dest.right; x += step) {
      MoveTo(int16(x), int16(top + 12));
      DrawString(kLegend);
    }
  }
  SetClip(saved);
  DisposeRgn(saved);
  PenNormal();
  PenSize(1, 1);
  FrameRect(dest);
}

void VoskFunc_Init() {
  g_symmap = a_symmetry_map{};
  g_symmap.cos = 16384;
  g_missing_pattern_proc = Fill_Missing_Pattern;
}
