#include "objects/VoskPack.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "objects/VoskLayer.h"
#include "objects/VoskPhot.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/SysBlt.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysIONav.h"
#include "platform/SysMem.h"
#include "platform/SysRgn.h"
#include "platform/SysSound.h"
#include "platform/SysVideo.h"
#include "platform/VoskErr.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

a_pack* g_pack = nullptr;

namespace {

// The forbidden region of the ring of boxes reaches this far past the area.
constexpr int16 kForbiddenMargin = 10;
// The smallest inner radius of a clock, cells.
constexpr double kMinInner = 30.0;
// Where a ring's slot centre lies between its inner and outer radius, on a
// scale of 1 to 100.
constexpr double kCentreAt = 55.0;
// Angles of the paths of sectors and petals step by a tenth of a degree.
constexpr double kArcStep = 0.1;

int16 Clamp16(int64 v) { return int16(std::clamp<int64>(v, -32768, 32767)); }

int32 Width(const Rect& r) { return int32(r.right) - r.left; }
int32 Height(const Rect& r) { return int32(r.bottom) - r.top; }

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

int16 Round16(double v) { return Clamp16(std::llround(v)); }

// The point at angle degrees (counter-clockwise from the right) and radius r
// about the collage's centre.
Point Polar(double degrees, double r) {
  const double a = Radians(degrees);
  return Point{Round16(PACK_CENTER.v - r * std::sin(a)), Round16(PACK_CENTER.h + r * std::cos(a))};
}

// An angle in tenths of a degree brought into -1800 .. 1800.
int16 Normalize_180(int32 tenths) {
  while (tenths > 1800) tenths -= 3600;
  while (tenths < -1800) tenths += 3600;
  return int16(tenths);
}

a_slot& Slot(int32 slotx) { return g_pack->slots[slotx - PACK_FIRST_SLOT]; }

bool Is_Slot_Number(int32 slotx) {
  return g_pack != nullptr && slotx >= PACK_FIRST_SLOT && slotx < PACK_FIRST_SLOT + g_pack->totnslots;
}

a_ph_rec* Slot_PH(int32 slotx) {
  const a_oj_item* item = Obj_Item(Slotx_To_Omx(slotx));
  return item != nullptr && item->kind == SLOT_BLOCK ? item->ph : nullptr;
}

bool Is_Filled(const a_ph_rec* ph) { return ph != nullptr && ph->spec.source.kind != SOURCE_EMPTYSLOT; }

// Slot objects in the list: from first_slot_omx up to the top.
int32 Slot_Objects() {
  const a_oj_master* m = Curr_Obj_List();
  if (g_pack == nullptr || m == nullptr) return 0;
  int32 n = 0;
  for (int32 omx = g_pack->first_slot_omx; omx <= m->nlist && m->list[omx - 1].kind == SLOT_BLOCK; ++omx) ++n;
  return n;
}

// Whether the list has room for n slots (the slot objects already there
// count).
bool Room_For_Slots(int32 n) {
  const a_oj_master* m = Curr_Obj_List();
  if (m == nullptr) return false;
  const int32 more = std::max<int32>(0, n - Slot_Objects());
  return m->nlist + more <= MAX_OJ;
}

void Set_Rgn(int32 slotx, RgnHandle rgn) {
  a_slot& s = Slot(slotx);
  if (s.slot_rgn != rgn) DisposeRgn(s.slot_rgn);
  s.slot_rgn = rgn != nullptr ? rgn : NewRgn();
}

void Polygon_Slot(int32 slotx, const std::vector<Point>& pts) {
  RgnHandle rgn = nullptr;
  PolygonRgn(pts.data(), int32(pts.size()), rgn);
  Set_Rgn(slotx, rgn);
}

// The sliders the layout's numbers come from.
constexpr struct {
  a_slider_enum slider;
  int16 a_pack_spec::*field;
} kPackSliders[] = {
    {PACK_CLOCK_NOUTER_SLIDER, &a_pack_spec::clock_nouter},       {PACK_CLOCK_NINNER_SLIDER, &a_pack_spec::clock_ninner},
    {PACK_CLOCK_TOTANGLE_SLIDER, &a_pack_spec::clock_totangle},   {PACK_CLOCK_START_SLIDER, &a_pack_spec::clock_start},
    {PACK_CLOCK_SPACING_SLIDER, &a_pack_spec::clock_spacing},     {PACK_CLOCK_THICKNESS_SLIDER, &a_pack_spec::clock_thickness},
    {PACK_CLOCK_OUTERD_SLIDER, &a_pack_spec::clock_outerd},       {PACK_GRID_NX_SLIDER, &a_pack_spec::grid_nx},
    {PACK_GRID_NY_SLIDER, &a_pack_spec::grid_ny},                 {PACK_GRID_SPACING_SLIDER, &a_pack_spec::grid_spacing},
    {PACK_GRID_CORNER_SLIDER, &a_pack_spec::grid_corner},         {PACK_LOTUS_N_SLIDER, &a_pack_spec::lotus_n},
    {PACK_OUTLINE_SLIDER, &a_pack_spec::outline},
};

a_pack_spec Spec_From_Sliders() {
  a_pack_spec s{};
  s.version = 1;
  s.packkind = a_pack_kind(std::clamp<int16>(gs.grid_vals[PACK_KIND_GRID], PACK_GRID, PACK_LOTUS));
  s.orient = gs.grid_vals[PACK_ORIENT_GRID] == PACK_ORIENT_VERT ? PACK_ORIENT_VERT : PACK_ORIENT_RAD;
  for (const auto& row : kPackSliders) s.*row.field = gs.slider_vals[row.slider];
  return s;
}

// The sliders and grids set back to spec (a layout refused).
void Pack_To_Sliders(const a_pack_spec& s) {
  gs.grid_vals[PACK_KIND_GRID] = s.packkind;
  gs.grid_vals[PACK_ORIENT_GRID] = int16(s.orient);
  for (const auto& row : kPackSliders) gs.slider_vals[row.slider] = s.*row.field;
  SV_Set_Virtual(SV_CONFIG_LSIDE);
}

// --- Layouts ---------------------------------------------------------------------------

// The angle a(k) of the ring's k-th boundary (k from 1), degrees.
double Ring_Angle(const a_pack_spec& s, int32 n, int32 k) {
  const double offset = 90.0 - (360.0 - s.clock_totangle) / 2.0;
  return -double(s.clock_totangle) * (k - 1) / n + s.clock_start + offset;
}

// A ring of n sectors between the radii, each losing the arc margin on its
// clockwise side; slotx advances.
void Calc_Clock_Regions(int32 n, double inner, double outer, double margin, int32& slotx) {
  const a_pack_spec& s = g_pack->packspec;
  const double mo = margin / outer * 180.0 / std::numbers::pi;
  const double mi = margin / std::max(inner, 1.0) * 180.0 / std::numbers::pi;
  std::vector<Point> pts;
  for (int32 i = 1; i <= n; ++i, ++slotx) {
    const double a0 = Ring_Angle(s, n, i), a1 = Ring_Angle(s, n, i + 1);
    const double mid = (a0 + a1) / 2.0;
    // The sector runs clockwise from a0 to a1 (a1 < a0).
    const double oend = a1 + mo, iend = a1 + mi;
    pts.clear();
    if (oend < a0 && iend < a0) {
      pts.push_back(Polar(a0, inner));
      for (double a = a0; a > oend; a -= kArcStep) pts.push_back(Polar(a, outer));
      pts.push_back(Polar(oend, outer));
      for (double a = iend; a < a0; a += kArcStep) pts.push_back(Polar(a, inner));
    }
    Polygon_Slot(slotx, pts);
    a_slot& sl = Slot(slotx);
    sl.slot_base_angle = s.orient == PACK_ORIENT_VERT ? 0 : Normalize_180(std::lround(mid * 10.0) - 900);
    sl.slot_rgn_center = Polar(mid, inner + (outer - inner) * (kCentreAt - 1.0) / 99.0);
    sl.slot_dirty = true;
  }
}

void Calc_Clock1() {
  const a_pack_spec& s = g_pack->packspec;
  if (!Set_Number_Of_Slots(s.clock_nouter)) return;
  double ro, ri, sp;
  Calc_Clock_Radii(s, ro, ri, sp);
  int32 slotx = PACK_FIRST_SLOT;
  Calc_Clock_Regions(s.clock_nouter, ri, ro, sp, slotx);
}

void Calc_Clock2() {
  const a_pack_spec& s = g_pack->packspec;
  if (!Set_Number_Of_Slots(s.clock_nouter + s.clock_ninner)) return;
  double ro, ri, sp;
  Calc_Clock_Radii(s, ro, ri, sp);
  const double g = 0.9 * sp, mid = (ri + ro) / 2.0, a = mid - g / 2.0, b = a + g;
  int32 slotx = PACK_FIRST_SLOT;
  Calc_Clock_Regions(s.clock_nouter, b, ro, sp, slotx);
  Calc_Clock_Regions(s.clock_ninner, ri, a, sp, slotx);
}

// The geometry of the ring of boxes: the boxes' centres and the region they
// must keep out of.
struct a_box_ring {
  int32 outer, inner, middle;
  std::vector<Point> centers;
  RgnHandle forbidden;
};

a_box_ring Box_Ring(const a_pack_spec& s) {
  a_box_ring r{};
  double ro, ri, sp;
  Calc_Clock_Radii(s, ro, ri, sp);
  r.outer = int32(ro);
  r.inner = int32(ri);
  r.middle = (r.outer + r.inner) / 2;
  const int32 n = std::max<int32>(s.clock_nouter, 0);
  for (int32 i = 1; i <= n; ++i) {
    const double mid = std::round((Ring_Angle(s, n, i) + Ring_Angle(s, n, i + 1)) / 2.0 * 10.0) / 10.0;
    r.centers.push_back(Polar(mid, r.middle));
  }
  r.forbidden = NewRgn();
  RectRgn(r.forbidden, Rect{-kForbiddenMargin, -kForbiddenMargin, int16(PACK_SIDE + kForbiddenMargin),
                            int16(PACK_SIDE + kForbiddenMargin)});
  RgnHandle disc = nullptr;
  OvalRgn(Rect{int16(PACK_CENTER.v - r.outer), int16(PACK_CENTER.h - r.outer), int16(PACK_CENTER.v + r.outer),
               int16(PACK_CENTER.h + r.outer)},
          disc);
  if (disc != nullptr) DiffRgn(r.forbidden, disc, r.forbidden);
  OvalRgn(Rect{int16(PACK_CENTER.v - r.inner), int16(PACK_CENTER.h - r.inner), int16(PACK_CENTER.v + r.inner),
               int16(PACK_CENTER.h + r.inner)},
          disc);
  if (disc != nullptr) {
    UnionRgn(r.forbidden, disc, r.forbidden);
    DisposeRgn(disc);
  }
  return r;
}

// The box of side d about c, its corners rounded by corner per cent.
RgnHandle Calc_Box_Rgn(Point c, int32 d, int16 corner) {
  const int16 half = int16(d / 2);
  const Rect box{int16(c.v - half), int16(c.h - half), int16(c.v - half + d), int16(c.h - half + d)};
  const int16 oval = int16(d * corner / 100);
  RgnHandle rgn = nullptr;
  RoundRectRgn(rgn, box, oval, oval);
  return rgn;
}

bool All_Blocks_Fit(const a_box_ring& r, int32 d, int16 corner) {
  RgnHandle meet = NewRgn();
  bool fit = true;
  for (Point c : r.centers) {
    RgnHandle box = Calc_Box_Rgn(c, d, corner);
    if (box == nullptr) continue;
    SectRgn(box, r.forbidden, meet);
    DisposeRgn(box);
    if (!EmptyRgn(meet)) {
      fit = false;
      break;
    }
  }
  DisposeRgn(meet);
  return fit;
}

// The largest fitting side by bisection (0 when even a side of 1 fails).
int32 Largest_Side(const a_box_ring& r, int16 corner) {
  int32 lo = 1, hi = r.outer - r.inner, best = 0;
  while (lo <= hi) {
    const int32 d = (lo + hi) / 2;
    if (All_Blocks_Fit(r, d, corner)) {
      best = d;
      lo = d + 1;
    } else {
      hi = d - 1;
    }
  }
  return best;
}

void Calc_ClockSQ() {
  const a_pack_spec& s = g_pack->packspec;
  if (!Set_Number_Of_Slots(s.clock_nouter)) return;
  a_box_ring r = Box_Ring(s);
  const int32 d = Largest_Side(r, s.grid_corner);
  int32 slotx = PACK_FIRST_SLOT;
  for (Point c : r.centers) {
    Set_Rgn(slotx, d > 0 ? Calc_Box_Rgn(c, d, s.grid_corner) : NewRgn());
    a_slot& sl = Slot(slotx);
    sl.slot_base_angle = 0;
    sl.slot_rgn_center = c;
    sl.slot_dirty = true;
    ++slotx;
  }
  const int32 n = int32(r.centers.size());
  if (n > 1) DiffRgn(Slot(PACK_FIRST_SLOT + n - 1).slot_rgn, Slot(PACK_FIRST_SLOT).slot_rgn,
                     Slot(PACK_FIRST_SLOT + n - 1).slot_rgn);
  DisposeRgn(r.forbidden);
}

// Petals: each a closed curve from the inner circle out to the outer one at
// its middle angle, filling the ring within its own step of the turn.
void Calc_Lotus_Regions() {
  const a_pack_spec& s = g_pack->packspec;
  const int32 n = s.lotus_n;
  if (n <= 0 || !Set_Number_Of_Slots(n)) return;
  double ro, ri, sp;
  Calc_Clock_Radii(s, ro, ri, sp);
  const double half = 180.0 / n;
  std::vector<Point> pts;
  for (int32 i = 0; i < n; ++i) {
    const int32 slotx = PACK_FIRST_SLOT + i;
    const double mid = 90.0 - 2.0 * half * i;
    pts.clear();
    for (double a = -half; a <= half; a += kArcStep) {
      const double c = std::cos(a / half * std::numbers::pi / 2.0);
      pts.push_back(Polar(mid + a, ri + (ro - ri) * std::sqrt(std::max(c, 0.0))));
    }
    for (double a = half; a >= -half; a -= kArcStep) pts.push_back(Polar(mid + a, ri));
    Polygon_Slot(slotx, pts);
    a_slot& sl = Slot(slotx);
    sl.slot_base_angle = s.orient == PACK_ORIENT_VERT ? 0 : Normalize_180(std::lround(mid * 10.0) - 900);
    sl.slot_rgn_center = Polar(mid, ri + (ro - ri) * (kCentreAt - 1.0) / 99.0);
    sl.slot_dirty = true;
  }
  // Neighbours share no pixel.
  for (int32 i = 0; i < n && n > 1; ++i) {
    RgnHandle self = Slot(PACK_FIRST_SLOT + i).slot_rgn;
    DiffRgn(self, Slot(PACK_FIRST_SLOT + (i + 1) % n).slot_rgn, self);
  }
}

void Calc_Grid_Regions() {
  const a_pack_spec& s = g_pack->packspec;
  const int32 nx = std::max<int16>(s.grid_nx, 1), ny = std::max<int16>(s.grid_ny, 1);
  if (!Set_Number_Of_Slots(nx * ny)) return;
  const Rect area = g_pack->composite_bounds;
  const double cw = double(Width(area)) / nx, ch = double(Height(area)) / ny;
  const double iw = cw * (100 - s.grid_spacing) / 100.0, ih = ch * (100 - s.grid_spacing) / 100.0;
  int32 slotx = PACK_FIRST_SLOT;
  for (int32 row = 0; row < ny; ++row)
    for (int32 col = 0; col < nx; ++col, ++slotx) {
      const double cx = area.left + cw * (col + 0.5), cy = area.top + ch * (row + 0.5);
      const Rect box{Round16(cy - ih / 2), Round16(cx - iw / 2), Round16(cy + ih / 2), Round16(cx + iw / 2)};
      RgnHandle rgn = nullptr;
      RoundRectRgn(rgn, box, Round16(iw * s.grid_corner / 100.0), Round16(ih * s.grid_corner / 100.0));
      Set_Rgn(slotx, rgn);
      a_slot& sl = Slot(slotx);
      sl.slot_base_angle = 0;
      sl.slot_rgn_center = Point{Round16(cy), Round16(cx)};
      sl.slot_dirty = true;
    }
}

// --- Drawing ---------------------------------------------------------------------------

// The main view's screen region of slot slotx (a new region).
RgnHandle Screen_Rgn(int32 slotx) {
  RgnHandle rgn = NewRgn();
  CellToScreenRgn(1, Slot(slotx).slot_rgn, rgn);
  return rgn;
}

// The collage view within area (screen pixels) drawn off-screen and copied
// to the window.
void Paint_Area(const Rect& area) {
  if (g_pack == nullptr || gs.nviews < 1 || gs.outer_window == nullptr) return;
  Rect r;
  if (!SectRect(area, gs.views[0].bounds, r)) return;
  GWorldPtr off = nullptr;
  if (New_GWorld(r, 32, nullptr, off) != 0 || off == nullptr) return;
  Push_GWorld(off);
  Draw_PasteBoard_Rect(r);
  Pop_GWorld();
  for (int32 slotx = PACK_FIRST_SLOT; slotx < PACK_FIRST_SLOT + g_pack->totnslots; ++slotx) {
    RgnHandle rgn = Screen_Rgn(slotx);
    Rect bb, seen;
    Rgn_GetBounds(rgn, bb);
    if (SectRect(bb, r, seen)) {
      const int32 omx = Slotx_To_Omx(slotx);
      Push_GWorld(off);
      SetForeColor(255, 255, 255);
      PaintRgn(rgn);
      Pop_GWorld();
      Paint_Slot2(off, true, slotx, omx, rgn);
      Push_GWorld(off);
      PenNormal();
      SetForeColor24(Is_Obj_Selected(omx) ? PH_SELECT_COLOR : PH_FRAME_COLOR);
      FrameRgn(rgn);
      Pop_GWorld();
    }
    DisposeRgn(rgn);
  }
  const a_pack_kind kind = g_pack->packspec.packkind;
  if (kind != PACK_GRID) {
    Rect ring;
    CellToScreenRect(1, g_pack->composite_bounds, ring);
    Push_GWorld(off);
    PenNormal();
    SetForeColor24(PACK_RING_GREY);
    FrameOval(ring);
    Pop_GWorld();
  }
  SetForeColor(0, 0, 0);
  Push_Window(gs.outer_window);
  Port_To_Port(off, nullptr, r, r, srcCopy, nullptr);
  Pop_Window();
  Dispose_GWorld(off);
}

void Inval_Screen(const Rect& screen) {
  if (gs.outer_window == nullptr || EmptyRect(screen)) return;
  const RECT r{screen.left, screen.top, screen.right, screen.bottom};
  InvalidateRect(gs.outer_window, &r, false);
}

// The first empty slot from slotx on, wrapping round; -1 when none.
int32 Next_Empty_From(int32 slotx) {
  if (g_pack == nullptr || g_pack->totnslots <= 0) return -1;
  const int32 n = g_pack->totnslots;
  const int32 start = Is_Slot_Number(slotx) ? slotx - PACK_FIRST_SLOT : 0;
  for (int32 k = 0; k < n; ++k) {
    const int32 s = PACK_FIRST_SLOT + (start + k) % n;
    if (Is_Empty_Slot(s)) return s;
  }
  return -1;
}

// The selected slots within the layout, in slot order.
std::vector<int32> Selected_Slots() {
  std::vector<int32> out;
  for (int32 omx = ENUM_START; Enum(true, true, SLOT_KINDS, omx);)
    if (const int32 s = Omx_To_Slotx(omx); Is_Slot_Number(s)) out.push_back(s);
  return out;
}

// Every slot object disposed of from the top down, with its picture.
void Dispose_Slots() {
  a_oj_master* m = Curr_Obj_List();
  if (g_pack == nullptr || m == nullptr) return;
  bool any = false;
  for (int32 omx = m->nlist; omx >= g_pack->first_slot_omx && omx >= 1; --omx) {
    a_oj_item& item = m->list[omx - 1];
    if (item.kind != SLOT_BLOCK) continue;
    if (item.ph != nullptr && item.ph->spec.source.sid != 0) Cache_Clear1(item.ph->spec.source.sid);
    Obj_Dispose(*m, omx);
    any = true;
  }
  if (any) Obj_Number_Changed();
}

// Whether another slot object than omx shows the picture sid.
bool Sid_Shared(int32 omx, uint16 sid) {
  const a_oj_master* m = Curr_Obj_List();
  if (g_pack == nullptr || m == nullptr) return false;
  for (int32 i = g_pack->first_slot_omx; i <= m->nlist; ++i) {
    const a_oj_item& item = m->list[i - 1];
    if (i != omx && item.kind == SLOT_BLOCK && Is_Filled(item.ph) && item.ph->spec.source.sid == sid) return true;
  }
  return false;
}

}  // namespace

// --- Entering and leaving ------------------------------------------------------------------

bool8 Pack_Enter() {
  a_doc_unit* unit = g_doc.up;
  const a_oj_master* m = Curr_Obj_List();
  if (unit == nullptr || m == nullptr || g_pack != nullptr) return false;
  g_pack = reinterpret_cast<a_pack*>(New_Ptr_Clear(sizeof(a_pack)));
  if (g_pack == nullptr) {
    OutOfMemory(int32(sizeof(a_pack)));
    return false;
  }
  for (a_slot& s : g_pack->slots) {
    s.slot_rgn = NewRgn();
    s.slot_base_angle = 0;
  }
  Null_MW(g_pack->compositemw);
  g_pack->save_phase = gs.curr_phase;
  g_pack->save_doc_bounds = unit->paintbounds;
  g_pack->first_slot_omx = m->nlist + 1;
  g_pack->save_hist_seq = g_hist.cumseq;
  unit->paintbounds = Rect{0, 0, 10, 10};
  SV_Set_Enum(SV_PHASE, COLLAGE_PHASE);
  SV_Set_Virtual(SV_CONFIG_LSIDE);
  return true;
}

void Pack_New() {
  if (g_doc.up == nullptr || g_pack != nullptr || !Room_For_Slots(Pack_Slot_Count(Spec_From_Sliders()))) {
    Sound_Effect(SND_NULL);
    return;
  }
  if (!Pack_Enter()) return;
  Sliders_To_Pack();
}

void Pack_RestoreBounds() {
  if (g_pack != nullptr && g_doc.up != nullptr) g_doc.up->paintbounds = g_pack->save_doc_bounds;
}

void Pack_OK() {
  if (g_pack == nullptr) return;
  if (Is_Pack_Empty()) {
    Pack_Cancel();
    return;
  }
  Pack_RestoreBounds();
  a_masked_gworld& cw = g_pack->compositemw;
  New_MW("Collage", g_pack->composite_bounds, cw);
  if (cw.fore == nullptr || cw.mask == nullptr) {
    Dispose_MW(cw);
    Pack_Leave(false);
    return;
  }
  Fill_World_White(cw.fore, cw.bounds);
  Push_GWorld(cw.mask);
  SetForeOpacity(0);
  PaintRect(cw.bounds);
  Pop_GWorld();
  for (int32 slotx = PACK_FIRST_SLOT; slotx < PACK_FIRST_SLOT + g_pack->totnslots; ++slotx)
    Paint_Slot2(cw.fore, false, slotx, Slotx_To_Omx(slotx), Slot(slotx).slot_rgn);
  SetForeColor(0, 0, 0);
  a_masked_gworld world = cw;
  Null_MW(cw);
  // The slots leave the list before the picture joins it: a list the slots
  // filled still takes the collage.
  Dispose_Slots();
  Pack_Leave(true);
  Photo_Paste(world, SOURCE_COLLAGE);
  SV_Finish();
}

void Pack_Cancel() {
  if (g_pack == nullptr) return;
  Pack_RestoreBounds();
  Pack_Leave(false);
}

void Pack_Leave(bool8 ok) {
  if (g_pack == nullptr) return;
  SV_Set_Enum(SV_PHASE, ok ? PHOTO_PHASE : g_pack->save_phase);
  Dispose_Slots();
  const bool recorded = g_hist.cumseq != g_pack->save_hist_seq;
  for (a_slot& s : g_pack->slots) DisposeRgn(s.slot_rgn);
  Dispose_MW(g_pack->compositemw);
  Ptr block = reinterpret_cast<Ptr>(g_pack);
  g_pack = nullptr;
  Dispose_Ptr(block);
  if (recorded) History_Base();
  SV_Set_Virtual(SV_CONFIG_EDIT);
  Edit_InvalAll();
  LayerBar_Inval();
}

// --- Layout ----------------------------------------------------------------------------------

Rect Pack_Area(const a_pack_spec& s) {
  if (s.packkind != PACK_GRID) return Rect{0, 0, PACK_SIDE, PACK_SIDE};
  const int32 nx = std::max<int16>(s.grid_nx, 1), ny = std::max<int16>(s.grid_ny, 1);
  if (nx >= ny) return Rect{0, 0, int16(PACK_SIDE * ny / nx), PACK_SIDE};
  return Rect{0, 0, PACK_SIDE, int16(PACK_SIDE * nx / ny)};
}

int32 Pack_Slot_Count(const a_pack_spec& s) {
  switch (s.packkind) {
    case PACK_GRID: return std::max<int32>(s.grid_nx, 1) * std::max<int32>(s.grid_ny, 1);
    case PACK_CLOCK1:
    case PACK_CLOCKSQ: return std::max<int32>(s.clock_nouter, 0);
    case PACK_CLOCK2: return std::max<int32>(s.clock_nouter, 0) + std::max<int32>(s.clock_ninner, 0);
    case PACK_LOTUS: return std::max<int32>(s.lotus_n, 0);
  }
  return 0;
}

bool8 Sliders_To_Pack() {
  a_doc_unit* unit = g_doc.up;
  if (g_pack == nullptr || unit == nullptr) return false;
  const a_pack_spec spec = Spec_From_Sliders();
  const int32 n = Pack_Slot_Count(spec);
  if (n > PACK_MAX_SLOTS || !Room_For_Slots(n)) {
    Sound_Effect(SND_NULL);
    if (g_pack->packspec.version != 0) Pack_To_Sliders(g_pack->packspec);
    return false;
  }
  ++unit->oj.seq;
  g_pack->packspec = spec;
  const Rect area = Pack_Area(spec);
  g_pack->composite_bounds = area;
  if (!EqualRect(area, unit->paintbounds)) {
    unit->paintbounds = area;
    SV_Set_Virtual(SV_CONFIG_EDIT);
    SV_Set_Int(SV_ZOOM_IX, 0);
  }
  Pack_Rebuild_Regions();
  return true;
}

void Delta_Pack() {
  if (g_pack == nullptr) return;
  Sliders_To_Pack();
  Pack_Paint();
}

void Delta_Pack_Orient() { Delta_Pack(); }

void Delta_Pack_Item() {
  if (g_pack == nullptr) return;
  const int16 v = gs.slider_vals[PACK_ITEM_SIZE_SLIDER];
  for (int32 slotx : Selected_Slots()) {
    a_ph_rec* ph = Slot_PH(slotx);
    if (!Is_Filled(ph)) continue;
    ph->spec.scalingh = ph->spec.scalingv = v;
    Slot(slotx).slot_dirty = true;
    Obj_PostRender(Slotx_To_Omx(slotx));
  }
  Pack_Paint();
}

void Slot_To_Sliders(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || item->kind != SLOT_BLOCK || item->ph == nullptr) return;
  gs.slider_vals[PACK_ITEM_SIZE_SLIDER] = Slider_Limit_Value(PACK_ITEM_SIZE_SLIDER, item->ph->spec.scalingh);
}

void Pack_Rebuild_Regions() {
  if (g_pack == nullptr) return;
  switch (g_pack->packspec.packkind) {
    case PACK_GRID: Calc_Grid_Regions(); break;
    case PACK_CLOCK1: Calc_Clock1(); break;
    case PACK_CLOCK2: Calc_Clock2(); break;
    case PACK_CLOCKSQ: Calc_ClockSQ(); break;
    case PACK_LOTUS: Calc_Lotus_Regions(); break;
  }
  Pack_Inval();
  LayerBar_Inval();
}

bool8 New_SlotObj(int32& omx) {
  omx = ENUM_DONE;
  a_oj_master* m = Curr_Obj_List();
  if (m == nullptr || m->nlist >= MAX_OJ) return false;
  a_ph_rec* ph = New_PH_Rec();
  if (ph == nullptr) return false;
  Null_Spec(ph->spec);
  ph->spec.source.kind = SOURCE_EMPTYSLOT;
  omx = Obj_Append(*m, SLOT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);
  return true;
}

bool8 Set_Number_Of_Slots(int32 n) {
  a_oj_master* m = Curr_Obj_List();
  if (g_pack == nullptr || m == nullptr) return false;
  n = std::clamp<int32>(n, 0, PACK_MAX_SLOTS);
  if (!Room_For_Slots(n)) {
    Sound_Effect(SND_NULL);
    return false;
  }
  g_pack->totnslots = n;
  int32 have = Slot_Objects();
  bool changed = false;
  for (; have < n; ++have) {
    int32 omx;
    if (!New_SlotObj(omx)) break;
    changed = true;
  }
  for (; have > n; --have) {
    const int32 omx = g_pack->first_slot_omx + have - 1;
    if (Is_Filled(m->list[omx - 1].ph)) break;
    Obj_Dispose(*m, omx);
    changed = true;
  }
  if (changed) Obj_Number_Changed();
  return true;
}

void Calc_Clock_Radii(const a_pack_spec& s, double& outer, double& inner, double& spacing) {
  outer = s.clock_outerd * 6.0;
  inner = std::max(outer * (100 - s.clock_thickness) / 100.0, kMinInner);
  spacing = Radians(s.clock_totangle * s.clock_spacing / 1000.0) * outer;
}

int32 Calc_ClockSQ_Side(const a_pack_spec& s) {
  a_box_ring r = Box_Ring(s);
  const int32 d = Largest_Side(r, s.grid_corner);
  DisposeRgn(r.forbidden);
  return d;
}

// --- Slots -------------------------------------------------------------------------------------

int32 Slotx_To_Omx(int32 slotx) {
  if (g_pack == nullptr) return ENUM_DONE;
  return g_pack->first_slot_omx + slotx - PACK_FIRST_SLOT;
}

int32 Omx_To_Slotx(int32 omx) {
  if (g_pack == nullptr) return -1;
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || item->kind != SLOT_BLOCK || omx < g_pack->first_slot_omx) return -1;
  return PACK_FIRST_SLOT + omx - g_pack->first_slot_omx;
}

int32 Slot_Find(Point cell) {
  if (g_pack == nullptr) return ENUM_DONE;
  for (int32 slotx = PACK_FIRST_SLOT; slotx < PACK_FIRST_SLOT + g_pack->totnslots; ++slotx)
    if (PtInRgn(cell, Slot(slotx).slot_rgn)) return Slotx_To_Omx(slotx);
  return ENUM_DONE;
}

bool8 Calc_Slot_Dest_Rect(int32 slotx, bool8 toscreen, Rect& dest) {
  dest = Rect{0, 0, 0, 0};
  if (!Is_Slot_Number(slotx)) return false;
  a_ph_rec* ph = Slot_PH(slotx);
  if (!Is_Filled(ph)) return false;
  const a_slot& sl = Slot(slotx);
  ph->spec.angle = Normalize_180(int32(sl.slot_base_angle) + sl.slot_extra_angle);
  int32 w = 0, h = 0;
  if (!Is_Photo_Missing(ph)) {
    a_spec spec = ph->spec;
    a_cache_result c;
    Cache_Get(FOR_SIZING, spec, c);
    w = Width(c.union_);
    h = Height(c.union_);
  }
  if (w <= 0 || h <= 0) {
    w = Width(ph->spec.subset) * ph->spec.scalingh / 1000;
    h = Height(ph->spec.subset) * ph->spec.scalingv / 1000;
  }
  const int32 cx = int32(sl.slot_rgn_center.h) + ph->dst_center.h, cy = int32(sl.slot_rgn_center.v) + ph->dst_center.v;
  ph->dst_box = Rect{Clamp16(cy - h / 2), Clamp16(cx - w / 2), Clamp16(cy - h / 2 + h), Clamp16(cx - w / 2 + w)};
  dest = ph->dst_box;
  if (toscreen) CellToScreenRect(1, ph->dst_box, dest);
  return true;
}

void Slot_Calc_Frame(a_pointlist_rec* pointlist, int32 omx) {
  if (pointlist == nullptr || pointlist->max < PH_FRAME_POINTS) return;
  const int32 slotx = Omx_To_Slotx(omx);
  Rect b{0, 0, 0, 0};
  if (Is_Slot_Number(slotx)) Rgn_GetBounds(Slot(slotx).slot_rgn, b);
  const Point pts[PH_FRAME_POINTS] = {{b.top, b.left}, {b.top, b.right}, {b.bottom, b.right}, {b.bottom, b.left},
                                     {b.top, b.left}};
  pointlist->npoints = PH_FRAME_POINTS;
  std::copy(std::begin(pts), std::end(pts), pointlist->points);
}

// --- Drawing -----------------------------------------------------------------------------------

void Paint_Slot2(GWorldPtr target, bool8 toscreen, int32 slotx, int32 omx, RgnHandle rgn) {
  if (g_pack == nullptr || target == nullptr || rgn == nullptr) return;
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr || item->kind != SLOT_BLOCK || !Is_Filled(item->ph) || !Is_Obj_Visible(omx)) return;
  Rect dest, bb, area;
  if (!Calc_Slot_Dest_Rect(slotx, toscreen, dest)) return;
  Rgn_GetBounds(rgn, bb);
  if (!SectRect(bb, Get_GWorld_PixMap(target)->bounds, area)) return;
  GWorldPtr pict = nullptr, mask = nullptr;
  if (New_GWorld(area, 32, nullptr, pict) == 0 && pict != nullptr &&
      New_GWorld(area, 8, gray_ctable, mask) == 0 && mask != nullptr) {
    Fill_World_White(pict, area);
    a_ph_rec placed = *item->ph;
    placed.dst_box = dest;
    PH_Draw(pict, &placed, toscreen ? FOR_SCREEN : FOR_COLLAGE, &area);
    Push_GWorld(mask);
    SetForeOpacity(0);
    PaintRect(area);
    SetForeOpacity(100);
    PaintRgn(rgn);
    Pop_GWorld();
    Port_To_Port_Deep(pict, mask, target, area, area, area, nullptr);
  }
  Dispose_GWorld(pict);
  Dispose_GWorld(mask);
  if (const int16 outline = g_pack->packspec.outline; outline != 0) {
    const int16 pen = toscreen ? std::max<int16>(1, CellToScreenInt(1, outline)) : outline;
    Push_GWorld(target);
    PenSize(pen, pen);
    SetForeColor(0, 0, 0);
    FrameRgn(rgn);
    PenNormal();
    Pop_GWorld();
  }
  if (!toscreen && g_pack->compositemw.mask != nullptr) {
    Push_GWorld(g_pack->compositemw.mask);
    SetForeOpacity(100);
    PaintRgn(rgn);
    Pop_GWorld();
  }
  Slot(slotx).slot_dirty = false;
}

void Pack_Paint() {
  if (g_pack == nullptr || gs.nviews < 1) return;
  Paint_Area(gs.views[0].bounds);
}

void Paint_Slot(int32 slotx, bool8 direct) {
  if (!Is_Slot_Number(slotx)) return;
  RgnHandle rgn = Screen_Rgn(slotx);
  Rect bb;
  Rgn_GetBounds(rgn, bb);
  DisposeRgn(rgn);
  InsetRect(bb, -2, -2);
  if (direct)
    Paint_Area(bb);
  else
    Inval_Screen(bb);
}

void Slot_Inval_Obj(int32 omx) {
  const int32 slotx = Omx_To_Slotx(omx);
  if (!Is_Slot_Number(slotx)) return;
  Slot(slotx).slot_dirty = true;
  Paint_Slot(slotx, false);
}

void Pack_Inval() {
  if (g_pack == nullptr) return;
  Edit_InvalAll();
}

// --- Filling -----------------------------------------------------------------------------------

int32 Find_Slot_To_Fill() {
  if (g_pack == nullptr) return -1;
  const std::vector<int32> sel = Selected_Slots();
  return Next_Empty_From(sel.empty() ? PACK_FIRST_SLOT : sel.front());
}

bool8 Is_Pack_Full() { return Find_Slot_To_Fill() < 0; }

bool8 Is_Pack_Empty() {
  if (g_pack == nullptr) return true;
  for (int32 slotx = PACK_FIRST_SLOT; slotx < PACK_FIRST_SLOT + g_pack->totnslots; ++slotx)
    if (!Is_Empty_Slot(slotx)) return false;
  return true;
}

bool8 Is_Empty_Slot(int32 slotx) { return Is_Slot_Number(slotx) && !Is_Filled(Slot_PH(slotx)); }

bool8 Is_Pack_Sizeable() {
  if (g_pack == nullptr || Count(true, OBJECT_KINDS) != 1) return false;
  int32 omx = ENUM_START;
  if (!Enum(true, true, SLOT_KINDS, omx)) return false;
  return Is_Filled(Obj_Item(omx)->ph);
}

void Calc_Reasonable_Size(int32& w, int32& h) {
  if (w <= PACK_REASONABLE || h <= PACK_REASONABLE) return;
  if (w >= h) {
    h = std::max<int32>(1, int32(int64(h) * PACK_REASONABLE / w));
    w = PACK_REASONABLE;
  } else {
    w = std::max<int32>(1, int32(int64(w) * PACK_REASONABLE / h));
    h = PACK_REASONABLE;
  }
}

bool8 Inject_In_Slot(a_source_kind kind, const FSSpec* path, a_masked_gworld world, int32 slotx) {
  a_ph_rec* ph = Is_Slot_Number(slotx) ? Slot_PH(slotx) : nullptr;
  if (ph == nullptr || world.fore == nullptr || EmptyRect(world.bounds)) {
    Dispose_MW(world);
    return false;
  }
  int32 w = Width(world.bounds), h = Height(world.bounds);
  Calc_Reasonable_Size(w, h);
  if (w != Width(world.bounds) || h != Height(world.bounds)) {
    a_masked_gworld small;
    Null_MW(small);
    small.bounds = Rect{0, 0, int16(h), int16(w)};
    New_GWorldF("Collage Slot", small.bounds, 32, nullptr, small.fore);
    if (world.mask != nullptr) New_GWorldF("Collage Slot", small.bounds, 8, gray_ctable, small.mask);
    if (small.fore != nullptr) Port_To_Port(world.fore, small.fore, world.bounds, small.bounds, srcCopy, nullptr);
    if (small.mask != nullptr) Port_To_Port(world.mask, small.mask, world.bounds, small.bounds, srcCopy, nullptr);
    Dispose_MW(world);
    world = small;
    if (world.fore == nullptr) {
      Dispose_MW(world);
      return false;
    }
  }
  a_source_desc source{};
  source.kind = kind;
  if (path != nullptr) source.path = *path;
  const Rect subset = world.bounds;
  if (!Cache_Insert_External(source, world, nullptr)) return false;
  const int32 omx = Slotx_To_Omx(slotx);
  if (Is_Filled(ph) && !Sid_Shared(omx, ph->spec.source.sid)) Cache_Clear1(ph->spec.source.sid);
  ph->spec.source = source;
  ph->spec.subset = subset;
  ph->dst_center = Point{0, 0};
  Obj_Item(omx)->flags = uint8(OJ_Flag_Bit(VISIBLE_FLAG) | OJ_Flag_Bit(PENDING_FLAG));
  Slot(slotx).slot_dirty = true;
  Calc_Slot_Dest_Rect(slotx, false, ph->dst_box);
  Obj_PostRender(omx);
  return true;
}

bool8 Pack_Add_Photo(bool8& full, const FSSpec& path) {
  full = false;
  const int32 slotx = Find_Slot_To_Fill();
  if (slotx < 0) {
    full = true;
    return false;
  }
  a_picture_scan_rec scan;
  Rect natural;
  if (!Read_BitMap(true, path, scan, natural)) return false;
  a_masked_gworld world = scan.body;
  Null_MW(scan.body);
  if (!Inject_In_Slot(SOURCE_EXTFILE, &path, world, slotx)) return false;
  Selection_Convert_Pending();
  Pack_Inval();
  LayerBar_Inval();
  return true;
}

void Pack_Paste(a_masked_gworld world) {
  const int32 slotx = Find_Slot_To_Fill();
  if (slotx < 0) {
    Sound_Effect(SND_NULL);
    Dispose_MW(world);
    return;
  }
  if (!Inject_In_Slot(SOURCE_CLIPBOARD, nullptr, world, slotx)) return;
  Selection_Convert_Pending();
  Pack_Inval();
  LayerBar_Inval();
}

void Pack_Get() {
  const a_oj_master* m = Curr_Obj_List();
  if (g_pack == nullptr || m == nullptr || m->nlist >= MAX_OJ || Is_Pack_Full()) {
    Sound_Effect(SND_NULL);
    return;
  }
  std::vector<FSSpec> paths(static_cast<size_t>(PACK_MAX_FILES));
  const int16 n = Ask_Get_Path(false, CStrSpan(""), FourCC("????"), Photo_File_Types(), kPhotoDialogKey, nullptr,
                               nullptr, nullptr, nullptr, PACK_MAX_FILES, paths.data());
  const bool progress = n > 1;
  if (progress) Progress_Tick(PROGRESS_INIT, PROGRESS_INIT);
  bool no_slot = false;
  for (int16 i = 0; i < n; ++i) {
    bool8 full = false;
    if (!Pack_Add_Photo(full, paths[size_t(i)]) && full) no_slot = true;
    if (progress) Progress_Tick(int16(i + 1), n);
  }
  if (progress) Progress_Tick(PROGRESS_STOP, PROGRESS_STOP);
  if (no_slot) Sound_Effect(SND_NULL);
}

void Pack_DupSlot() {
  if (g_pack == nullptr) return;
  bool no_slot = false;
  for (int32 slotx : Selected_Slots()) {
    const a_ph_rec* from = Slot_PH(slotx);
    if (!Is_Filled(from)) continue;
    const int32 to = Next_Empty_From(slotx);
    if (to < 0) {
      no_slot = true;
      continue;
    }
    a_ph_rec* ph = Slot_PH(to);
    ph->spec = from->spec;
    ph->dst_center = from->dst_center;
    Slot(to).slot_extra_angle = Slot(slotx).slot_extra_angle;
    Slot(to).slot_dirty = true;
    const int32 omx = Slotx_To_Omx(to);
    Obj_Item(omx)->flags |= OJ_Flag_Bit(PENDING_FLAG);
    Obj_PostRender(omx);
  }
  Selection_Convert_Pending();
  Pack_Inval();
  LayerBar_Inval();
  if (no_slot) Sound_Effect(SND_NULL);
}

void Pack_ClearSlot() {
  if (g_pack == nullptr) return;
  for (int32 slotx : Selected_Slots()) {
    a_ph_rec* ph = Slot_PH(slotx);
    if (!Is_Filled(ph)) continue;
    const int32 omx = Slotx_To_Omx(slotx);
    if (!Sid_Shared(omx, ph->spec.source.sid)) Cache_Clear1(ph->spec.source.sid);
    const Rect subset{0, 0, 0, 0};
    ph->spec.source = a_source_desc{};
    ph->spec.source.kind = SOURCE_EMPTYSLOT;
    ph->spec.subset = subset;
    Slot(slotx).slot_dirty = true;
    Obj_PostRender(omx);
  }
  Pack_Inval();
  LayerBar_Inval();
  SV_Set_Virtual(SV_CONFIG_LSIDE);
}

void Slot_Rotate(int32 omx, int16 delta) {
  const int32 slotx = Omx_To_Slotx(omx);
  if (!Is_Slot_Number(slotx)) return;
  a_slot& sl = Slot(slotx);
  sl.slot_extra_angle = Normalize_180(int32(sl.slot_extra_angle) + delta);
  sl.slot_dirty = true;
  Obj_PostRender(omx);
}
