#include "objects/VoskTrac.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskRend.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilDraw.h"
#include "pixel/Fast.h"
#include "pixel/FastFill.h"
#include "pixel/Polar.h"
#include "platform/Events.h"
#include "platform/VoskErr.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysLoop.h"
#include "platform/SysSound.h"
#include "platform/SysTimer.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBord.h"
#include "objects/VoskMarq.h"
#include "objects/VoskStam.h"
#include "platform/SysTrack.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskStus.h"

a_track1_rec* g_track1 = nullptr;
a_tool_sound g_tool_sound;

namespace {

constexpr Rect kNoRect{0, 0, 0, 0};

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

void Union_Into(Rect& total, const Rect& r) {
  if (Empty(r)) return;
  if (Empty(total)) {
    total = r;
    return;
  }
  total.left = std::min(total.left, r.left);
  total.top = std::min(total.top, r.top);
  total.right = std::max(total.right, r.right);
  total.bottom = std::max(total.bottom, r.bottom);
}

bool Same(Point a, Point b) { return a.h == b.h && a.v == b.v; }

// The rectangle with corners a and b, either way round.
Rect Spanned(Point a, Point b) {
  return Rect{std::min(a.v, b.v), std::min(a.h, b.h), std::max(a.v, b.v), std::max(a.h, b.h)};
}

// The mouse in the main window while the button is held (between
// TrackMouse_Init and TrackMouse_Stop): FALSE at the release, whose message
// it takes, or once the button is up; mouse is then where it was released.
bool Mouse_Held(Point& mouse) {
  if (TrackMouse_StillDown(mouse) && Button()) return true;
  if (gs.outer_window != nullptr) SetPort(gs.outer_window);
  GetMouse(mouse);
  return false;
}

bool Shift_Held(a_shift_set s) { return (s & Shift_Bit(SHIFT_KEY)) != 0; }

// The tools that create the paint layer when the unit has none.
bool Makes_Paint(a_tool tool) { return tool <= SRECT_TOOL || (tool >= STAMP_TOOL && tool <= FRECT_TOOL); }

// The square eraser's side for grid values 0 .. LAST_FIXED_ERASER (the
// table's entries); the values after them are shapes.
int16 Eraser_Side(int16 e) {
  static_assert(std::size(EraserxToSize) == LAST_FIXED_ERASER + 1);
  return e >= 0 && e <= LAST_FIXED_ERASER ? EraserxToSize[e] : 1;
}

// --- The queue and its copies ------------------------------------------------------

// One imprint of copy cx at queue entry q, drawn with the paint layer as
// the current port (the stamps are copied into it).
void Track1_Step2(uint16 cx, const a_track1q_rec& q) {
  a_track1_rec& r = *g_track1;
  const int16 angle = int16(int32(cx) * 360 / r.nchannels);
  auto draw = [&r] {
    r.parm.dirty = kNoRect;
    Push_GWorld(r.parm.paint_world);
    r.atomproc(r.parm);
    Pop_GWorld();
    Union_Into(r.total_dirty, r.parm.dirty);
    r.some_imprints = true;
  };
  auto imprint = [&](Point pt, Point& last) {
    if (r.single_point) {
      r.list->npoints = 1;
      r.list->points[0] = pt;
      draw();
    } else if (!q.jumps) {
      r.list->npoints = 2;
      r.list->points[0] = last;
      r.list->points[1] = pt;
      draw();
    }
    last = pt;
  };
  a_paint_channel& ch = r.channels[cx];
  Point pt = q.cell;
  if (cx != 0) Calc_Cyclic(angle, q.cell, pt);
  imprint(pt, ch.last_imprint);
  if (r.mirror) {
    Point mp;
    Calc_Mirror(angle, q.cell, mp);
    imprint(mp, ch.last_mirror);
  }
  Sound_Tool_NextNote();
}

// Up to limit imprints of copy cx, then the merged view redrawn over what
// they changed.
void Track1_Step(uint16 cx, int32 limit) {
  a_track1_rec& r = *g_track1;
  a_paint_channel& ch = r.channels[cx];
  r.total_dirty = kNoRect;
  for (int32 n = 0; n < limit && ch.out != r.in; ++n) {
    Track1_Step2(cx, r.queue[ch.out]);
    ch.out = uint16((ch.out + 1) % TRACK1_QUEUE);
  }
  if (gs.tool_desc[r.tracktool].paints && !Empty(r.total_dirty)) Doc_Merge_Draw(r.total_dirty);
}

void Track_1_Post(Point cell, bool8 jumps) {
  a_track1_rec& r = *g_track1;
  const uint16 next = uint16((r.in + 1) % TRACK1_QUEUE);
  if (next == r.channels[r.nchannels - 1].out)
    for (uint16 cx = 1; cx < r.nchannels; ++cx) Track1_Step(cx, 1);
  r.queue[r.in] = a_track1q_rec{cell, jumps};
  r.in = next;
  // Copy 0 follows at once; the others are served again from the first.
  Track1_Step(0, 32000);
  r.caught_up = r.nchannels == 1;
  r.serving = 1;
}

// The cell snapped to the stamp grid: on the row or the column through the
// grid's origin, whichever the pixel lies further along.
Point Snap_To_Grid(Point pt) {
  const Point o = t.stampgrid_origin;
  const int32 ih = std::max<int32>(t.stampgrid_interval.h, 1), iv = std::max<int32>(t.stampgrid_interval.v, 1);
  const int32 dh = RoundNearest(int32(pt.h) - o.h, ih);
  const int32 dv = RoundNearest(int32(pt.v) - o.v, iv);
  if (std::abs(dh) > std::abs(dv)) return Point{o.v, int16(o.h + dh)};
  return Point{int16(o.v + dv), o.h};
}

struct a_walk_ctx {
  a_track1_rec* r;
  bool snap;
};

void Walk_Step(Point pt, bool8 diagonal, void* data) {
  a_walk_ctx& c = *static_cast<a_walk_ctx*>(data);
  a_track1_rec& r = *c.r;
  if (c.snap) {
    const Point s = Snap_To_Grid(pt);
    const a_track1q_rec& last = r.queue[(r.in + TRACK1_QUEUE - 1) % TRACK1_QUEUE];
    if (!Same(s, last.cell)) Track_1_Post(s, false);
    return;
  }
  r.ds += diagonal ? 14 : 10;
  if (r.ds >= r.spacing10) {
    Track_1_Post(pt, false);
    r.ds = 0;
  }
}

}  // namespace

// --- The free-hand loop ------------------------------------------------------------

bool8 Track_1_Begin(int16 sinterval, int16 spacing, bool8 repeat, bool8 use_shift, uint16 vx, a_tool tracktool) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || unit->statics[PAINT1_LAYER].world == nullptr) return false;
  // One stroke at a time: a press that reaches here while a stroke is being
  // tracked (an alert's loop handing on queued input) starts none, so
  // nothing frees the stroke's record under its loop.
  if (g_track1 != nullptr) return false;
  t.status_tracking = true;
  t.status_sizing_vx = int16(vx);
  t.eyedropper_hit = false;
  t.too_complex = false;
  auto* r = new (std::nothrow) a_track1_rec{};
  if (r == nullptr) OutOfMemory(uint32(sizeof(a_track1_rec)));
  g_track1 = r;
  const a_tool_desc& desc = gs.tool_desc[tracktool];
  if (gs.toggle_vals[SYMMETRY_TOGGLE] && desc.symmetry) {
    r->nchannels = uint16(std::clamp<int16>(gs.slider_vals[SYMMETRY_COUNT_SLIDER], 1, int16(MAX_SYMMETRY)));
    r->mirror = gs.grid_vals[SYMMETRY_KIND_GRID] == MIRROR_SYMMETRY;
  } else {
    r->nchannels = 1;
    r->mirror = false;
  }
  r->single_point = desc.single_point;
  r->tracktool = tracktool;
  r->atomproc = desc.atom_proc != nullptr ? desc.atom_proc : Atom_Error;
  New_PaintParm(2, r->parm);
  r->list = r->parm.list;
  if (r->list == nullptr) OutOfMemory(4 + 2 * uint32(sizeof(Point)));
  r->list->npoints = r->single_point ? 1 : 2;
  r->parm.paint_world = unit->statics[PAINT1_LAYER].world;
  r->parm.mask_world = unit->statics[PAINT1_LAYER].mask;
  r->spacing10 = int32(spacing) * 10;
  r->ds = 0;
  r->prev = Point{0, -999};
  r->sinterval = sinterval;
  r->repeat = repeat;
  r->use_shift = use_shift;
  r->caught_up = true;
  r->serving = 1;
  if (tracktool == BRUSH_TOOL) Cursor_HideCustom();
  Sound_Tool_Init(tracktool);
  return true;
}

void Track_1_Sample(Point cell, a_sample_kind kind, a_shift_set shifts, uint32 now) {
  a_track1_rec& r = *g_track1;
  bool good = false;
  switch (kind) {
    case REGULAR_SAMPLE: good = !Same(cell, r.prev); break;
    case JUMP_SAMPLE:
      good = true;
      r.ds = 0;
      break;
    case HOLD_SAMPLE: good = r.repeat && now - r.last_good >= uint32(std::max<int16>(r.sinterval, 0)); break;
  }
  if (!good) return;
  r.last_good = now;
  if (r.spacing10 == 0 || kind == JUMP_SAMPLE) {
    Track_1_Post(cell, kind == JUMP_SAMPLE);
    r.ds = 0;
  } else {
    a_walk_ctx c{&r, r.use_shift && Shift_Held(shifts)};
    Bresenham(r.prev, cell, Walk_Step, &c);
  }
  r.prev = cell;
}

void Track_1_Idle() {
  a_track1_rec& r = *g_track1;
  if (r.caught_up) {
    // The copies have caught up: the status area shows where things stand.
    if (int32(TickCount()) - Status_Due() >= 0) Status_ReCalc();
    return;
  }
  while (r.serving < r.nchannels && r.channels[r.serving].out == r.in) ++r.serving;
  if (r.serving >= r.nchannels) {
    r.caught_up = true;
    r.serving = 1;
    return;
  }
  Track1_Step(r.serving, 1);
}

void Track_1_Release(Point startcell) {
  a_track1_rec& r = *g_track1;
  bool watch = false;
  if (!r.caught_up) {
    for (uint16 cx = 1; cx < r.nchannels; ++cx) {
      bool stop = false;
      while (r.channels[cx].out != r.in) {
        if (!watch && Track_1_Pending(cx) > 10) {
          Cursor_Push_Watch();
          watch = true;
        }
        if (EscapeKeyPending()) {
          Sound_Effect(SND_ALERT);
          stop = true;
          break;
        }
        Track1_Step(cx, 1);
      }
      if (stop) break;
    }
    r.caught_up = true;
  }
  if (!r.some_imprints) {
    // A click: one imprint of every copy.
    Track_1_Post(startcell, false);
    for (uint16 cx = 1; cx < r.nchannels; ++cx) Track1_Step(cx, 1);
  }
  if (watch) Cursor_Pop();
}

uint16 Track_1_Pending(uint16 cx) {
  const a_track1_rec& r = *g_track1;
  return uint16((r.in + TRACK1_QUEUE - r.channels[cx].out) % TRACK1_QUEUE);
}

void Track_1_End() {
  a_track1_rec* r = g_track1;
  if (r == nullptr) return;
  t.status_tracking = false;
  // The imprints still queued (a catch-up cut short by Escape) belong to the
  // stroke: drawn before the undo step records it.
  for (uint16 cx = 1; cx < r->nchannels; ++cx)
    if (r->channels[cx].out != r->in) Track1_Step(cx, 32000);
  if (r->some_imprints) {
    a_history_op op = OP_NOP;
    switch (r->tracktool) {
      case STAMP_TOOL: op = OP_PAINT_STAMP; break;
      case BRUSH_TOOL:
      case BRUSHLINE_TOOL: op = OP_PAINT_BRUSH; break;
      case SPRAY_TOOL: op = OP_PAINT_SPRAY; break;
      case ERASER_TOOL: op = OP_PAINT_ERASE; break;
      default: break;
    }
    History_Emit(op);
  }
  Dispose_PaintParm(r->parm);
  delete r;
  g_track1 = nullptr;
  Sound_Tool_Stop();
}

void Track_1(int16 sinterval, int16 spacing, bool8 repeat, bool8 use_shift, uint16 vx, Point startcell,
             a_tool tracktool) {
  if (!Track_1_Begin(sinterval, spacing, repeat, use_shift, vx, tracktool)) return;
  a_track1_rec* const stroke = g_track1;
  SmoothTrack_Init(sinterval);
  a_mouse_sample s;
  for (;;) {
    // Looking at the queue brings in the input that has arrived, the
    // release among it.
    MSG msg;
    PeekMessage(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE);
    if (!SmoothTrack_Sample(s)) break;
    // Samples are screen points.
    Point cell;
    GlobalToCell(vx, s.mouse, cell);
    const uint16 before = stroke->in;
    Track_1_Sample(cell, s.kind, s.shifts, TickCount());
    if (stroke->in == before) Track_1_Idle();
    if (s.kind == HOLD_SAMPLE) Sleep(1);
  }
  Track_1_Release(startcell);
  Track_1_End();
  SmoothTrack_Stop();
}

// --- Rubber shapes -----------------------------------------------------------------

namespace {

// The dragged shape is the bordered rectangle.
bool Border_Shape(a_tool toolx) {
  return toolx == FRECT_TOOL && gs.fill_kind == BORDER_FILL && gs.tool_net != SELECT_TOOL;
}

}  // namespace

void Apply_Constraints(a_tool toolx, uint16 vx, Point base, Point corner, int16 shaping, bool8 constrain,
                       Point& net1, Point& net2, Rect& dirty) {
  int16 outset = 0;
  if (toolx == LINE_TOOL) {
    net1 = base;
    net2 = corner;
    if (constrain) Apply_Line_Constraint(net1, net2);
    outset = std::max<int16>(gs.slider_vals[LINE_THICKNESS_SLIDER], 1);
    dirty = Rect{std::min(net1.v, net2.v), std::min(net1.h, net2.h), int16(std::max(net1.v, net2.v) + 1),
                 int16(std::max(net1.h, net2.h) + 1)};
  } else {
    if (corner.v == base.v) ++corner.v;
    if (corner.h == base.h) ++corner.h;
    int32 dv = int32(corner.v) - base.v, dh = int32(corner.h) - base.h;
    int32 mv = std::abs(dv), mh = std::abs(dh);
    if (constrain) mv = mh = (mv + mh) / 2;
    if (Border_Shape(toolx)) {
      // At least the border's corners.
      Point least{0, 0};
      Border_CalcSize(least, Point{0, 0});
      mv = std::max<int32>(mv, shaping == 0 ? least.v : (least.v + 1) / 2);
      mh = std::max<int32>(mh, shaping == 0 ? least.h : (least.h + 1) / 2);
    }
    mv = std::max<int32>(mv, 1);
    mh = std::max<int32>(mh, 1);
    auto axis = [&](int16 b, int32 d, int32 m, int16& n1, int16& n2) {
      if (shaping == 0) {
        n1 = b;
        n2 = int16(b + (d < 0 ? -m : m));
      } else if (d > 0) {
        n1 = int16(b - (m - 1));
        n2 = int16(b + m);
      } else {
        n1 = int16(b - m);
        n2 = int16(b + m + 1);
      }
    };
    axis(base.v, dv, mv, net1.v, net2.v);
    axis(base.h, dh, mh, net1.h, net2.h);
    dirty = Spanned(net1, net2);
  }
  const int16 fudge = vx >= 1 && vx <= MAXNVIEWS ? gs.views[vx - 1].zoom_fudge : 0;
  outset = int16(outset + std::max<int16>(fudge, 0));
  dirty = Rect{int16(dirty.top - outset), int16(dirty.left - outset), int16(dirty.bottom + outset),
               int16(dirty.right + outset)};
}

void Border_Fit_Corners(int16 shaping, Point& net1, Point& net2) {
  const Point frame{int16(std::abs(int32(net2.v) - net1.v)), int16(std::abs(int32(net2.h) - net1.h))};
  Point used{0, 0};
  Border_CalcSize(used, frame);
  if (used.h <= 0 || used.v <= 0) return;
  auto axis = [&](int16& a, int16& b, int16 size) {
    if (shaping == 0) {
      b = int16(b < a ? a - size : a + size);
    } else {
      const int16 lo = int16(std::min(a, b) + (std::abs(int32(b) - a) - size) / 2);
      a = lo;
      b = int16(lo + size);
    }
  };
  axis(net1.v, net2.v, used.v);
  axis(net1.h, net2.h, used.h);
}

void Set_4_Points(a_pointlist_rec& list, Point corner1, Point corner2) {
  list.npoints = 4;
  list.points[0] = corner1;
  list.points[1] = Point{corner1.v, corner2.h};
  list.points[2] = corner2;
  list.points[3] = Point{corner2.v, corner1.h};
}

namespace {

Rect Clip_To(const Rect& r, const Rect& bounds) {
  Rect c{std::max(r.top, bounds.top), std::max(r.left, bounds.left), std::min(r.bottom, bounds.bottom),
         std::min(r.right, bounds.right)};
  return Empty(c) ? kNoRect : c;
}

// The marquee outline of a dragged shape (an oval for the ovals, else a
// rectangle) over cells r, drawn into the merged layer and shown; the next
// merge of the area takes it off.
void Draw_Marq_In_Merged(a_tool toolx, const Rect& r) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || unit->statics[TOTAL_LAYER].world == nullptr || Empty(r)) return;
  Rect merge;
  CellToMergeRect(unit, r, merge);
  Push_GWorld(unit->statics[TOTAL_LAYER].world);
  PenNormal();
  if (toolx == SOVAL_TOOL || toolx == FOVAL_TOOL)
    Draw_Marq_Oval(merge);
  else
    Draw_Marq_Rect(merge);
  Pop_GWorld();
  Doc_Draw(r);
}

}  // namespace

void Track_4(a_tool toolx, uint16 vx, Point lanchor) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || unit->statics[PAINT1_LAYER].world == nullptr) return;
  const a_atom_proc proc = gs.tool_desc[toolx].atom_proc != nullptr ? gs.tool_desc[toolx].atom_proc : Atom_Error;
  t.layerx = PAINT1_LAYER;
  Undo_SaveLayer(PAINT1_LAYER);
  a_atom_rec parm;
  New_PaintParm(4, parm);
  if (parm.list == nullptr) OutOfMemory(4 + 4 * uint32(sizeof(Point)));
  parm.paint_world = unit->statics[PAINT1_LAYER].world;
  parm.mask_world = unit->statics[PAINT1_LAYER].mask;
  const bool select = gs.tool_net == SELECT_TOOL;
  const bool eraser = parm.fill == ERASER_FILL;
  bool marqf = false;
  if (select) {
    parm.fill = TRACKING_MARQUEE;
    marqf = true;
    if (t.marq_rgn == nullptr) t.marq_rgn = NewRgn();
    SetEmptyRgn(t.marq_rgn);
  } else if (eraser || gs.fill_kind == STAMP_FILL) {
    // Eraser shapes always erase and are previewed as a marquee.
    marqf = true;
  } else if (gs.fill_kind == GRADIENT_FILL && toolx != LINE_TOOL) {
    parm.fill = COLOR_FILL;
  }
  parm.marqf = marqf;
  Point base;
  ScreenToCell(vx, lanchor, base);
  t.status_sizing = true;
  Rect old_dirty = kNoRect;
  Point net1{0, -999}, net2{0, -999};
  bool shift = false, drawn = false;
  auto imprint_temporary = [&](const Rect& dirty) {
    const Rect old_clip = Clip_To(old_dirty, unit->paintbounds);
    if (!Empty(old_clip)) Undo_RestoreRect(old_clip);
    Set_4_Points(*parm.list, net1, net2);
    parm.dirty = kNoRect;
    Push_GWorld(parm.paint_world);
    proc(parm);
    Pop_GWorld();
    Rect both = old_clip;
    Union_Into(both, Clip_To(dirty, unit->paintbounds));
    Union_Into(unit->render_dirty, both);
    if (!Empty(both)) Doc_Merge_Draw(both);
    if (marqf)
      Draw_Marq_In_Merged(toolx, Spanned(net1, net2));
    t.status_size = Point{int16(std::abs(net2.v - net1.v)), int16(std::abs(net2.h - net1.h))};
    old_dirty = dirty;
    drawn = true;
  };
  TrackMouse_Init(gs.outer_window);
  Point mouse = lanchor;
  // Each place of the mouse while the button is down, the release's last.
  for (bool held = true;; held = held && Mouse_Held(mouse)) {
    Point cell;
    ScreenToCell(vx, mouse, cell);
    const bool now_shift = ShiftKeyDown();
    Point n1, n2;
    Rect dirty;
    Apply_Constraints(toolx, vx, base, cell, gs.grid_vals[FROM_CORNER_GRID], now_shift, n1, n2, dirty);
    if (!drawn || !Same(n1, net1) || !Same(n2, net2) || now_shift != shift) {
      net1 = n1;
      net2 = n2;
      shift = now_shift;
      imprint_temporary(dirty);
    }
    if (!held) break;
  }
  TrackMouse_Stop();
  t.status_sizing = false;
  if (Border_Shape(toolx) && drawn) {
    // The border in whole pieces.
    Border_Fit_Corners(gs.grid_vals[FROM_CORNER_GRID], net1, net2);
    imprint_temporary(Spanned(net1, net2));
  }
  // The final imprint, with the symmetry copies.
  const Rect final_clip = Clip_To(old_dirty, unit->paintbounds);
  a_history_op op = OP_NOP;
  if (select) {
    parm.fill = GETTING_MARQUEE;
    if (!Empty(final_clip)) {
      // The outline off the screen before the capture.
      Undo_RestoreRect(final_clip);
      Doc_Merge_Draw(final_clip);
    }
    Imprint(true, toolx, parm);
    if (!EmptyRgn(t.marq_rgn) && Marq_To_Stamp() && gs.grid_vals[MARQ_CUT_GRID] == CUT_SELECTION) op = OP_PAINT_CUT;
  } else {
    const bool redo = marqf || (gs.fill_kind == GRADIENT_FILL && toolx != LINE_TOOL && !eraser);
    if (redo) {
      if (gs.fill_kind == GRADIENT_FILL && !eraser) {
        Ask_Gradient_Spec(vx);
        parm.fill = GRADIENT_FILL;
      }
      parm.fill = eraser ? ERASER_FILL : parm.fill;
      if (gs.fill_kind == STAMP_FILL && !eraser) parm.fill = STAMP_FILL;
      parm.marqf = false;
      if (!Empty(final_clip)) {
        Undo_RestoreRect(final_clip);
        Doc_Merge_Draw(final_clip);
      }
      Cursor_Push_Watch();
      Imprint(true, toolx, parm);
      Cursor_Pop();
    } else {
      Imprint(false, toolx, parm);
    }
    switch (toolx) {
      case LINE_TOOL: op = OP_PAINT_LINE; break;
      case SOVAL_TOOL:
      case FOVAL_TOOL: op = OP_PAINT_OVAL; break;
      case SRECT_TOOL:
      case FRECT_TOOL:
      case SROUNDRECT_TOOL:
      case FROUNDRECT_TOOL: op = OP_PAINT_RECT; break;
      default: break;
    }
  }
  History_Emit(op);
  Dispose_PaintParm(parm);
  Undo_Dispose();
}

namespace {

constexpr int16 PROMPT_GRAD_CENTER = 10;  // "Click to set the center point"
constexpr int16 PROMPT_GRAD_EXTENT = 11;  // "Click to set the extent of the spread"

// Follows the mouse in view vx until a press (TRUE) or a key (FALSE; with
// escape_only, only Escape ends it, other keys are passed over, and so does
// the program's quitting); cell := the mouse's cell, passed through adjust.
// Meanwhile xor_draw shows a figure for each new cell in exclusive-or (drawn
// again to take it off), none left at the end.
template <typename Adjust, typename Draw>
bool Follow_Until_Press(uint16 vx, Point& cell, Adjust adjust, Draw xor_draw, bool escape_only = false) {
  bool shown = false, pressed = false;
  Point drawn{0, 0};
  for (bool done = false; !done;) {
    MSG msg;
    while (!done && PeekMessage(&msg, nullptr, WM_NCLBUTTONDOWN, WM_MOUSELAST, PM_REMOVE)) {
      if (msg.message == WM_KEYDOWN) {
        done = !escape_only || (msg.wParam & 0xFF) == VK_ESCAPE;
      } else if (msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN) {
        done = pressed = true;
      }
    }
    if (escape_only && g_quit_pending) done = true;
    Point mouse;
    if (gs.outer_window != nullptr) SetPort(gs.outer_window);
    GetMouse(mouse);
    ScreenToCell(vx, mouse, cell);
    adjust(cell);
    if (!done && (!shown || !Same(drawn, cell))) {
      if (shown) xor_draw(drawn);
      xor_draw(cell);
      drawn = cell;
      shown = true;
    }
    if (!done) Sleep(1);
  }
  if (shown) xor_draw(drawn);
  return pressed;
}

// The circle about the cell centre through the cell edge, in exclusive-or
// in view vx of the main window.
void XOR_Circle(uint16 vx, Point centre, Point edge) {
  if (gs.outer_window == nullptr || vx < 1 || vx > MAXNVIEWS) return;
  const double dv = edge.v - centre.v, dh = edge.h - centre.h;
  const int16 r = CellToScreenInt(vx, int16(std::min(std::sqrt(dv * dv + dh * dh), 16000.0)));
  Point c;
  CellToScreen(vx, centre, c);
  Push_Window(gs.outer_window);
  PenState pen;
  GetPenState(pen);
  PushClip(gs.views[vx - 1].bounds);
  PenNormal();
  PenMode(patXor);
  FrameOval(Rect{int16(c.v - r), int16(c.h - r), int16(c.v + r + 1), int16(c.h + r + 1)});
  PopClip();
  SetPenState(pen);
  Pop_Window();
}

}  // namespace

void Ask_Gradient_Spec(uint16 vx) {
  const int16 kind = gs.grid_vals[GRAD_KIND_GRID];
  if (kind != CIRCULAR_DITHER && kind != RAY_DITHER) return;
  Sound_Effect(SND_PROMPT);
  Prompt_Show(PROMPT_GRAD_CENTER);
  Cursor_Set_Shape(CROSSHAIR_CURSOR);
  Init_Capture();
  auto as_is = [](Point&) {};
  // Only a click sets the centre and the extent; keys are passed over, and
  // Escape keeps the ones set before.
  Point cell;
  if (Follow_Until_Press(vx, cell, as_is, [](Point) {}, true)) {
    Sound_Effect(SND_SET_GRAD_CENTER);
    t.grad_center = cell;
    if (kind == CIRCULAR_DITHER) {
      Prompt_Show(PROMPT_GRAD_EXTENT);
      const Point centre = cell;
      if (Follow_Until_Press(vx, cell, as_is, [&](Point edge) { XOR_Circle(vx, centre, edge); }, true)) {
        Sound_Effect(SND_SET_GRAD_RADIUS);
        const double dv = cell.v - centre.v, dh = cell.h - centre.h;
        t.grad_radius = int16(std::min(std::sqrt(dv * dv + dh * dh), 32767.0));
      }
    }
  }
  Stop_Capture();
  Prompt_Hide();
  Cursor_Set_Shape(ARROW_CURSOR);
}

void Track_Polygon(uint16 vx, Point startcell) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || unit->statics[PAINT1_LAYER].world == nullptr) return;
  a_atom_rec parm;
  New_PaintParm(kPointlistMax, parm);
  if (parm.list == nullptr) OutOfMemory(4 + uint32(kPointlistMax) * uint32(sizeof(Point)));
  parm.paint_world = unit->statics[PAINT1_LAYER].world;
  parm.mask_world = unit->statics[PAINT1_LAYER].mask;
  Rect bounds;
  Track_Lasso(vx, startcell, parm.list, bounds);
  if (!Empty(bounds)) {
    // The polygon eraser erases and never asks for a gradient.
    if (parm.fill == GRADIENT_FILL) Ask_Gradient_Spec(vx);
    Sound_Effect(SND_POLYGON_FILL);
    Cursor_Push_Watch();
    Imprint(true, SPOLYGON_TOOL, parm);
    Cursor_Pop();
    History_Emit(OP_PAINT_POLYGON);
    Doc_Merge_Draw(bounds);
  }
  Dispose_PaintParm(parm);
}

// --- The lasso ---------------------------------------------------------------------

namespace {

constexpr int16 PROMPT_LASSO = 23;  // "Click on starting point or press any key to complete polygon"

int32 Dist2(Point a, Point b) {
  const int32 dv = int32(a.v) - b.v, dh = int32(a.h) - b.h;
  return dv * dv + dh * dh;
}

// The line from one cell to the next on the saved merged layer, shown.
void Lasso_Line(a_lasso& l, Point from, Point to) {
  a_doc_unit* unit = g_doc.up;
  if (!l.saved || unit == nullptr || unit->statics[TOTAL_LAYER].world == nullptr) return;
  Point a, b;
  CellToMerge(unit, from, a);
  CellToMerge(unit, to, b);
  Push_GWorld(unit->statics[TOTAL_LAYER].world);
  PenNormal();
  if (gs.tool_net == SELECT_TOOL) {
    Prep_Marq();
  } else {
    ForeColor(1);
    BackColor(0);
  }
  MoveTo(a.h, a.v);
  LineTo(b.h, b.v);
  PenPat(kPatBlack);
  Pop_GWorld();
  const Rect r{std::min(from.v, to.v), std::min(from.h, to.h), int16(std::max(from.v, to.v) + 1),
               int16(std::max(from.h, to.h) + 1)};
  Union_Into(l.drawn, r);
  Doc_Draw(r);
}

void Add_Segment(a_lasso& l, Point cell) {
  l.boundary.top = std::min(l.boundary.top, cell.v);
  l.boundary.left = std::min(l.boundary.left, cell.h);
  l.boundary.bottom = std::max<int16>(l.boundary.bottom, int16(cell.v + 1));
  l.boundary.right = std::max<int16>(l.boundary.right, int16(cell.h + 1));
  Lasso_Line(l, l.last, cell);
  l.last = cell;
  if (l.list->npoints < l.list->max) l.list->points[l.list->npoints++] = cell;
}

}  // namespace

void Lasso_Start(a_lasso& l, a_pointlist_rec* list, Point origin) {
  l = a_lasso{list, origin, Rect{origin.v, origin.h, int16(origin.v + 1), int16(origin.h + 1)}, false, false,
              origin, kNoRect, false};
  list->npoints = 0;
  if (list->max > 0) list->points[list->npoints++] = origin;
  if (g_doc.up != nullptr) {
    // The outline is drawn on the merged layer as it stands, and taken off
    // again from this copy.
    Current_Unit_UpToDate();
    l.saved = Undo_SaveLayer(TOTAL_LAYER);
  }
  Prompt_Show(PROMPT_LASSO);
}

void Lasso_Drag(a_lasso& l, Point cell) {
  if (l.closed) return;
  const int32 d = Dist2(cell, l.origin);
  if (l.may_close && d <= 16) {
    l.closed = true;
    return;
  }
  Add_Segment(l, cell);
  if (d > 64) l.may_close = true;
}

void Lasso_Click(a_lasso& l, Point cell) {
  if (l.closed) return;
  Sound_Effect(SND_POLYGON_POINT);
  if ((l.may_close && Dist2(cell, l.origin) <= 16) || Same(cell, l.origin)) {
    l.closed = true;
    return;
  }
  Add_Segment(l, cell);
  if (l.list->npoints > 2) l.may_close = true;
}

void Lasso_Close(a_lasso& l) {
  Prompt_Hide();
  l.closed = true;
  Add_Segment(l, l.origin);
  a_doc_unit* unit = g_doc.up;
  if (l.saved) {
    if (unit != nullptr && !Empty(l.drawn)) {
      Rect merge;
      CellToMergeRect(unit, l.drawn, merge);
      Undo_RestoreRect(merge);
    }
    Undo_Dispose();
    l.saved = false;
    if (!Empty(l.drawn)) Doc_Draw(l.drawn);
  }
  if (unit != nullptr) l.boundary = Clip_To(l.boundary, unit->paintbounds);
}

namespace {

// The rubber line from the outline's last point to the mouse, in
// exclusive-or over the views: until a press (TRUE, cell := where, kept
// straight or diagonal with Shift) or a key (FALSE).
bool Lasso_Rubber(uint16 vx, const a_lasso& l, Point& cell) {
  a_pointlist_ptr line = nullptr;
  New_Pointlist(2, line);
  if (line == nullptr) OutOfMemory(4 + 2 * uint32(sizeof(Point)));
  const bool pressed = Follow_Until_Press(
      vx, cell,
      [&](Point& c) {
        if (ShiftKeyDown()) Apply_Line_Constraint(l.last, c);
      },
      [&](Point c) {
        if (gs.outer_window == nullptr) return;
        line->npoints = 2;
        line->points[0] = l.last;
        line->points[1] = c;
        Push_Window(gs.outer_window);
        Draw_XOR_Pointlist(line);
        Pop_Window();
      });
  Dispose_Pointlist(line);
  return pressed;
}

}  // namespace

void Track_Lasso(uint16 vx, Point origin, a_pointlist_rec* lasso, Rect& boundary) {
  a_lasso l;
  Lasso_Start(l, lasso, origin);
  TrackMouse_Init(gs.outer_window);
  Point mouse, cell;
  while (!l.closed) {
    // Drawing: every new cell until the button is released (after a click,
    // a press held on goes on drawing).
    for (bool held = true; held && !l.closed;) {
      held = Mouse_Held(mouse);
      ScreenToCell(vx, mouse, cell);
      if (!Same(cell, l.last)) Lasso_Drag(l, cell);
    }
    if (l.closed) break;
    // Straight sides: the next click, or a key to close.
    if (!Lasso_Rubber(vx, l, cell)) break;
    Lasso_Click(l, cell);
  }
  TrackMouse_Stop();
  Lasso_Close(l);
  boundary = l.boundary;
}

void Track_Lasso_Select(uint16 vx, Point startcell) {
  a_pointlist_ptr lasso = nullptr;
  New_Pointlist(kPointlistMax, lasso);
  if (lasso == nullptr) OutOfMemory(4 + uint32(kPointlistMax) * uint32(sizeof(Point)));
  Rect boundary;
  Track_Lasso(vx, startcell, lasso, boundary);
  Lasso_Select(*lasso, boundary);
  Dispose_Pointlist(lasso);
}

// --- Ring sectors ------------------------------------------------------------------

Point Calc_Furter_Origin(a_unit_kind kind, const Rect& paintbounds, Point anchor) {
  const int32 left = paintbounds.left, right = paintbounds.right;
  Point c{int16((int32(paintbounds.top) + paintbounds.bottom) / 2), int16((left + right) / 2)};
  switch (kind) {
    case UNIT_CD_WALLET:
    case UNIT_MINICD_LID2:
    case UNIT_JEWEL_LID2:
    case UNIT_DVDBOX_INSERT2: c.h = int16(anchor.h < c.h ? (3 * left + right) / 4 : (left + 3 * right) / 4); break;
    default: break;
  }
  return c;
}

void Furter_Unwrap_Start(a_furter_unwrap& u, int16 angle) {
  u.last = angle;
  u.offset = 0;
}

int32 Furter_Unwrap(a_furter_unwrap& u, int16 angle) {
  if (u.last >= 2701 && angle < 900) {
    if (u.offset < 3600) u.offset += 3600;
  } else if (u.last < 900 && angle > 2700) {
    if (u.offset > -3600) u.offset -= 3600;
  }
  u.last = angle;
  return angle + u.offset;
}

namespace {

// The ring sector being dragged.
struct a_furter_track {
  bool active;
  uint16 vx;
  a_tool saved_tool;  // the tool grid's tool, put back at the end
  bool gradient;      // previewed in colour, painted with the gradient at release
  Point origin;
  a_polar anchor;
  a_polar extend;
  a_furter_unwrap unwrap;
  a_atom_rec parm;
  Rect drawn;  // the area of the sector shown now (empty: none)
};
a_furter_track g_furter{};

// The shown sector replaced by the one from the anchor to the extent, the
// two ordered by angle.
void Imprint_Furter() {
  a_furter_track& f = g_furter;
  a_doc_unit* unit = g_doc.up;
  const Rect old_clip = Clip_To(f.drawn, unit->paintbounds);
  if (!Empty(old_clip)) Undo_RestoreRect(old_clip);
  a_polar lo = f.anchor, hi = f.extend;
  if (hi.angle < lo.angle) std::swap(lo, hi);
  auto polar_point = [](const a_polar& p) {
    return Point{int16(p.angle), int16(std::clamp<int32>(p.dist, 0, 32767))};
  };
  f.parm.list->npoints = 3;
  f.parm.list->points[0] = f.origin;
  f.parm.list->points[1] = polar_point(lo);
  f.parm.list->points[2] = polar_point(hi);
  f.parm.dirty = kNoRect;
  Push_GWorld(f.parm.paint_world);
  Atom_Furter(f.parm);
  Pop_GWorld();
  Rect both = old_clip;
  Union_Into(both, Clip_To(f.parm.dirty, unit->paintbounds));
  Union_Into(unit->render_dirty, both);
  if (!Empty(both)) Doc_Merge_Draw(both);
  f.drawn = f.parm.dirty;
}

}  // namespace

bool8 Furter_Begin(uint16 vx, bool8 solid, Point anchor) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || unit->statics[PAINT1_LAYER].world == nullptr || g_furter.active) return false;
  a_furter_track& f = g_furter;
  f = a_furter_track{};
  f.active = true;
  f.vx = vx;
  t.layerx = PAINT1_LAYER;
  Undo_SaveLayer(PAINT1_LAYER);
  New_PaintParm(3, f.parm);
  if (f.parm.list == nullptr) OutOfMemory(4 + 3 * uint32(sizeof(Point)));
  f.parm.paint_world = unit->statics[PAINT1_LAYER].world;
  f.parm.mask_world = unit->statics[PAINT1_LAYER].mask;
  f.gradient = f.parm.fill == GRADIENT_FILL;
  if (f.gradient) f.parm.fill = COLOR_FILL;
  const a_unit_kind kind = g_doc.upx >= 1 && g_doc.upx <= g_doc.doc_template.nunits
                               ? a_unit_kind(g_doc.doc_template.units[g_doc.upx - 1].kind)
                               : UNIT_EMPTY;
  f.origin = Calc_Furter_Origin(kind, unit->paintbounds, anchor);
  Point cyl;
  XY_To_Cyl(f.origin, anchor, cyl);
  f.anchor = a_polar{cyl.h, cyl.v};
  f.extend = f.anchor;
  Furter_Unwrap_Start(f.unwrap, cyl.v);
  // The ring atom frames or fills by the tool in the grid.
  f.saved_tool = gs.tool_net;
  gs.tool_net = solid ? SFURTER_TOOL : FFURTER_TOOL;
  Sound_Tool_Init(LINE_TOOL);
  return true;
}

void Furter_Move(Point cell) {
  a_furter_track& f = g_furter;
  if (!f.active) return;
  Point cyl;
  XY_To_Cyl(f.origin, cell, cyl);
  const a_polar e{cyl.h, Furter_Unwrap(f.unwrap, cyl.v)};
  if (e.dist == f.extend.dist && e.angle == f.extend.angle) return;
  f.extend = e;
  Imprint_Furter();
  Sound_Tool_NextNote();
}

void Furter_End() {
  a_furter_track& f = g_furter;
  if (!f.active) return;
  if (!Empty(f.drawn) && f.gradient) {
    Ask_Gradient_Spec(f.vx);
    f.parm.fill = GRADIENT_FILL;
    Cursor_Push_Watch();
    Imprint_Furter();
    Cursor_Pop();
  }
  if (!Empty(f.drawn)) History_Emit(OP_PAINT_FURTER);
  gs.tool_net = f.saved_tool;
  Dispose_PaintParm(f.parm);
  Undo_Dispose();
  Sound_Tool_Stop();
  f.active = false;
}

void Track_Furter(uint16 vx, bool8 solid, Point anchor_local) {
  Point anchor;
  ScreenToCell(vx, anchor_local, anchor);
  if (!Furter_Begin(vx, solid, anchor)) return;
  TrackMouse_Init(gs.outer_window);
  Point mouse = anchor_local;
  for (bool held = true;; held = held && Mouse_Held(mouse)) {
    Point cell;
    ScreenToCell(vx, mouse, cell);
    Furter_Move(cell);
    if (!held) break;
  }
  TrackMouse_Stop();
  Furter_End();
}

// --- The other tools ---------------------------------------------------------------

void Track_Bucket(uint16 vx, Point startcell) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || unit->statics[PAINT1_LAYER].world == nullptr) return;
  if (gs.fill_kind == GRADIENT_FILL) Ask_Gradient_Spec(vx);
  Sound_Effect(SND_BUCKET);
  Cursor_Push_Watch();
  a_atom_rec parm;
  New_PaintParm(1, parm);
  if (parm.list == nullptr) OutOfMemory(8);
  parm.list->npoints = 1;
  parm.list->points[0] = startcell;
  parm.paint_world = unit->statics[PAINT1_LAYER].world;
  parm.mask_world = unit->statics[PAINT1_LAYER].mask;
  Imprint(true, BUCKET_TOOL, parm);
  Dispose_PaintParm(parm);
  Cursor_Pop();
  History_Emit(OP_PAINT_BUCKET);
  FlushEvents(mDownMask, 0);
}

void Track_Dropper1(uint16 vx, Point startcell) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr) return;
  a_atom_rec parm;
  New_PaintParm(1, parm);
  if (parm.list == nullptr) OutOfMemory(8);
  a_pointlist_rec* list = parm.list;
  list->npoints = 1;
  parm.paint_world = unit->statics[PAINT1_LAYER].world;
  parm.mask_world = unit->statics[PAINT1_LAYER].mask;
  Point cell = startcell, last{0, -999};
  Point mouse;
  TrackMouse_Init(gs.outer_window);
  for (bool held = true;;) {
    if (!Same(cell, last)) {
      list->points[0] = cell;
      Atom_Eyedropper(parm);
      last = cell;
    }
    if (!held) break;
    held = Mouse_Held(mouse);
    ScreenToCell(vx, mouse, cell);
  }
  TrackMouse_Stop();
  Dispose_PaintParm(parm);
}

bool8 Grabber_Step(uint16 vx, Point& from, Point to) {
  const int16 dh = ScreenToCellInt(vx, int16(to.h - from.h));
  const int16 dv = ScreenToCellInt(vx, int16(to.v - from.v));
  if (dh == 0 && dv == 0) return false;
  Doc_Scroll(int16(-dh), int16(-dv));
  SV_Finish();
  Doc_Update();
  from = to;
  return true;
}

void Track_Grabber(uint16 vx) {
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  Cursor_Set_Shape(GRABBER2_CURSOR);
  TrackMouse_Init(gs.outer_window);
  Point from, mouse;
  if (gs.outer_window != nullptr) SetPort(gs.outer_window);
  GetMouse(from);
  for (bool held = true; held;) {
    held = Mouse_Held(mouse);
    if (!Grabber_Step(vx, from, mouse) && held) Sleep(1);
  }
  TrackMouse_Stop();
  Cursor_Set_Shape(GRABBER_CURSOR);
  Sound_Effect(SND_SUBTOOL_ONESHOT);
}

void Track_Dropper2(bool8 button, Point cell) {
  Cursor_Set_Shape(EYEDROPPER_CURSOR);
  if (button) Set_Color_From_Doc_Pixel(cell);
}

// --- Dispatch ----------------------------------------------------------------------

a_tool Eraser_Tracking(int16 e, int16& spacing) {
  spacing = 1;
  if (e >= 0 && e <= LAST_FIXED_ERASER) {
    spacing = std::max<int16>(int16(Eraser_Side(e) / 3), 1);
    return ERASER_TOOL;
  }
  if (e == 10) return SOVAL_TOOL;
  if (e == 11) return SPOLYGON_TOOL;
  return SRECT_TOOL;
}

namespace {
// A press is being tracked: set from the press to its release.
bool g_paint_pressed = false;
struct a_press_guard {
  a_press_guard() { g_paint_pressed = true; }
  ~a_press_guard() { g_paint_pressed = false; }
};
}  // namespace

void Paint_MouseDown(uint16 vx, const a_mousestroke& stroke) {
  a_tool tool = gs.tool_net;
  if ((stroke.mods & Keymod_Bit(CONTROLKEY)) != 0 && gs.tool_desc[tool].dropper) tool = DROPPER_TOOL;
  if (!stroke.button1) {
    Calc_Edit_Cursor(vx, stroke, tool);
    return;
  }
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr) return;
  // A press handed on while another is tracked (by an alert's loop) is
  // refused: the tracking loops keep their state for one press.
  if (g_paint_pressed) {
    Sound_Effect(SND_LIMIT);
    return;
  }
  const a_press_guard pressed;
  Point startcell;
  ScreenToCell(vx, stroke.lmouse, startcell);
  if (!unit->paintinuse && Makes_Paint(tool)) {
    unit->paintinuse = true;
    Sync_Existence(true, unit, PAINT1_LAYER);
  }
  switch (tool) {
    case BRUSH_TOOL:
      Track_1(1, gs.slider_vals[BRUSH_SPACING_SLIDER], false, false, vx, startcell, BRUSH_TOOL);
      return;
    case ERASER_TOOL: {
      int16 spacing = 1;
      switch (const a_tool how = Eraser_Tracking(gs.grid_vals[ERASER_GRID], spacing)) {
        case ERASER_TOOL: Track_1(1, spacing, false, false, vx, startcell, ERASER_TOOL); break;
        case SPOLYGON_TOOL: Track_Polygon(vx, startcell); break;
        default: Track_4(how, vx, stroke.lmouse); break;
      }
      return;
    }
    case SPOLYGON_TOOL: Track_Polygon(vx, startcell); return;
    case SOVAL_TOOL:
    case LINE_TOOL:
    case FOVAL_TOOL: Track_4(tool, vx, stroke.lmouse); return;
    case SRECT_TOOL:
      Track_4(gs.slider_vals[PAINT_CORNER_SLIDER] != 0 ? SROUNDRECT_TOOL : SRECT_TOOL, vx, stroke.lmouse);
      return;
    case FRECT_TOOL:
      Track_4(gs.slider_vals[PAINT_CORNER_SLIDER] != 0 && gs.fill_kind != BORDER_FILL ? FROUNDRECT_TOOL : FRECT_TOOL,
              vx, stroke.lmouse);
      return;
    case SELECT_TOOL: {
      const uint32 seq = gs.custom_stamp.seq;
      if (gs.grid_vals[MARQ_KIND_GRID] == OVAL_SELECTION)
        Track_4(FOVAL_TOOL, vx, stroke.lmouse);
      else if (gs.grid_vals[MARQ_KIND_GRID] == LASSO_SELECTION)
        Track_Lasso_Select(vx, startcell);
      else
        Track_4(FRECT_TOOL, vx, stroke.lmouse);
      if (gs.custom_stamp.seq != seq) {
        // A new custom stamp: the stamp tool takes it, without a sound,
        // with its ring, bar, fill and panel.
        SV_Set_Int(SV_TOOL_SELECTION, STAMP_TOOL);
      }
      return;
    }
    case SPRAY_TOOL:
      Track_1(gs.fill_kind == STAMP_FILL ? 5 : 1, 0, true, false, vx, startcell, SPRAY_TOOL);
      return;
    case STAMP_TOOL: {
      PixMapPtr stamp = nullptr, mask = nullptr;
      Get_Fill_Stamp(stamp, mask);
      if (stamp != nullptr) {
        t.stampgrid_interval = Point{int16(stamp->bounds.bottom - stamp->bounds.top),
                                     int16(stamp->bounds.right - stamp->bounds.left)};
      } else {
        t.stampgrid_interval = Point{1, 1};
      }
      t.stampgrid_origin = startcell;
      Track_1(1, gs.slider_vals[STAMP_SPACING_SLIDER], false, true, vx, startcell, STAMP_TOOL);
      return;
    }
    case SFURTER_TOOL:
    case FFURTER_TOOL: Track_Furter(vx, tool == SFURTER_TOOL, stroke.lmouse); return;
    case GRABBER_TOOL: Track_Grabber(vx); return;
    case BUCKET_TOOL: Track_Bucket(vx, startcell); return;
    case DROPPER_TOOL: Track_Dropper1(vx, startcell); return;
    default:
      Sound_Effect(SND_LIMIT);
      return;
  }
}

// --- Sounds ------------------------------------------------------------------------

void Sound_Tool_Init(a_tool tool) {
  if (gs.pref.sound2_option && tool < NTOOLS) {
    g_tool_sound.snd1 = gs.tool_desc[tool].snd_drag1;
    g_tool_sound.snd2 = gs.tool_desc[tool].snd_drag2;
  } else {
    g_tool_sound.snd1 = g_tool_sound.snd2 = 0;
  }
  g_tool_sound.next_time = 0;
}

void Sound_Tool_NextNote() {
  if (!gs.pref.sound2_option || gs.controller == STEALTH || g_tool_sound.snd1 == 0) return;
  const int32 now = int32(TickCount());
  if (now < g_tool_sound.next_time && !Sound_Done()) return;
  const int16 span = int16(std::max(g_tool_sound.snd2 - g_tool_sound.snd1, 0) + 1);
  Sound_Effect(int16(g_tool_sound.snd1 + std::rand() % span));
  g_tool_sound.next_time = now + 25;
}

void Sound_Tool_Stop() { Sound_Quiet(); }

// --- Holds and double presses ------------------------------------------------------

bool8 Is_Mouse_Holding() {
  const uint32 start = TickCount();
  const uint32 hold = uint32(info_doubleclick > 0 ? info_doubleclick : 0) / 2;
  for (;;) {
    // Looking at the queue brings in the release when it has come.
    MSG msg;
    PeekMessage(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE);
    if (!StillDown()) return false;
    if (TickCount() - start > hold) return true;
    Sleep(1);
  }
}

bool8 Is_Another_Click() {
  const uint32 start = TickCount();
  const uint32 wait = uint32(info_doubleclick > 0 ? info_doubleclick : 0) / 2;
  EventRecord ev;
  do {
    if (EventAvail(ev, mDownMask)) return true;
    Sleep(1);
  } while (TickCount() - start <= wait);
  return false;
}
