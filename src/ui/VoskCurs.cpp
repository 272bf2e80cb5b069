#include "ui/VoskCurs.h"

#include <algorithm>
#include <iterator>
#include <span>

#include "doc/VoskFunc.h"
#include "host/HostRegion.h"
#include "objects/VoskBrus.h"
#include "objects/VoskStam.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysRgn.h"
#include "platform/SysWin.h"
#include "ui/VoskIntI.h"

a_cursor_desc g_cursor_desc[NCURSOR_SHAPES];
a_cursor_spec g_curr_cursor;
a_cursor_spec g_cursor_stack[CURSOR_STACK_DEPTH];
int16 g_cursor_nstack = 0;
bool8 g_cursor_dirty = false;

namespace {

struct a_shape_def {
  a_cursor_class class_;
  int16 id;
  uint16 ticks;
};

// Each shape's cursor: the arrow, a mono (16 x 16) or colour (32 x 32)
// "CURS" resource, or the system's busy cursor for the animated shapes.
constexpr a_shape_def kShapes[NCURSOR_SHAPES] = {
    {DEFAULT_CURSOR, 0, 0},    // ARROW_CURSOR
    {MONO_CURSOR, 128, 0},     // TINY_CURSOR
    {COLOR_CURSOR, 139, 0},    // EYEDROPPER_CURSOR
    {MONO_CURSOR, 141, 0},     // EYEMINUS_CURSOR
    {MONO_CURSOR, 140, 0},     // EYEPLUS_CURSOR
    {COLOR_CURSOR, 138, 0},    // BRUSH_CURSOR
    {MONO_CURSOR, 132, 0},     // ZOOMEQUAL_CURSOR
    {MONO_CURSOR, 133, 0},     // ZOOMPLUS_CURSOR
    {MONO_CURSOR, 134, 0},     // ZOOMMINUS_CURSOR
    {MONO_CURSOR, 130, 0},     // PENCIL_CURSOR
    {MONO_CURSOR, 129, 0},     // CROSSHAIR_CURSOR
    {MONO_CURSOR, 131, 0},     // GRABBER_CURSOR
    {MONO_CURSOR, 142, 0},     // GRABBER2_CURSOR
    {MONO_CURSOR, 143, 0},     // RESIZE_L_CURSOR
    {MONO_CURSOR, 144, 0},     // RESIZE_R_CURSOR
    {COLOR_CURSOR, 135, 0},    // CENTER_CURSOR
    {COLOR_CURSOR, 137, 0},    // BUCKET_CURSOR
    {COLOR_CURSOR, 136, 0},    // SPRAY_CURSOR
    {ANIM_CURSOR, 128, 10},    // SPIN_CURSOR: the busy cursor
    {MONO_CURSOR, 146, 0},     // FINGER_CURSOR
    {MONO_CURSOR, 149, 0},     // FINGERX_CURSOR
    {MONO_CURSOR, 148, 0},     // LCORNER_CURSOR
    {MONO_CURSOR, 147, 0},     // RCORNER_CURSOR
    {MONO_CURSOR, 154, 0},     // UPDOWN_CURSOR
    {MONO_CURSOR, 150, 0},     // FOURCORNERS_CURSOR
    {COLOR_CURSOR, 151, 0},    // DRAG_PLUS_CURSOR
    {COLOR_CURSOR, 152, 0},    // DRAG_MINUS_CURSOR
    {MONO_CURSOR, 153, 0},     // CARET_CURSOR
    {MONO_CURSOR, 400, 0},     // FONT0_CURSOR
    {MONO_CURSOR, 401, 0},     // FONT1_CURSOR
    {MONO_CURSOR, 402, 0},     // FONT2_CURSOR
    {MONO_CURSOR, 403, 0},     // FONT3_CURSOR
    {ANIM_CURSOR, 129, 10},    // BLINKS_CURSOR: the busy cursor
};

static_assert(LOOP_ARROW_CURSOR == ARROW_CURSOR, "the main loop's arrow is the interface's");

// The marquee that is drawn as a free outline (the lasso) takes the
// crosshair; the others the tiny cursor with crosshair lines.
constexpr int16 kLassoMarquee = 2;

constexpr a_cursor_spec Plain_Spec(a_cursor_shape shape) {
  return a_cursor_spec{shape, false, Point{0, 0}, nullptr, nullptr, false, Rect{0, 0, 0, 0}, 1};
}

// Where outlines are drawn: while a document is open, into the main window.
bool Can_Draw() { return g_doc.doc_open && gs.outer_window != nullptr; }

// A view's rectangle; FALSE for a view not shown (any number but 2 is view 1).
bool Shown_View(uint16 vx, Rect& r) {
  const uint16 v = vx == 2 ? 2 : 1;
  if (v > gs.nviews || v > MAXNVIEWS) return false;
  r = gs.views[v - 1].bounds;
  return !EmptyRect(r);
}

// Custom_Cursor_Paint narrows the drawing to the area just painted; else
// outlines are limited by their view alone.
bool g_limit_on = false;
Rect g_limit{0, 0, 0, 0};

bool Narrow_To_Limit(Rect& r) {
  if (!g_limit_on) return !EmptyRect(r);
  Rect both;
  const bool meet = SectRect(r, g_limit, both);
  r = both;
  return meet;
}

int16 To16(int32 x) { return int16(std::clamp<int32>(x, -32768, 32767)); }

// A width x height box centred on centre (the odd pixel goes right and down).
Rect Centred_Box(Point centre, int32 width, int32 height) {
  const int32 left = int32(centre.h) - width / 2, top = int32(centre.v) - height / 2;
  return Rect{To16(top), To16(left), To16(top + height), To16(left + width)};
}

// Inverts rgn (main-window client pixels) in the main window, within clip.
void Invert_In_Window(RgnHandle rgn, const Rect& clip) {
  RgnHandle shown = NewRgn();
  if (shown == nullptr) return;
  RectRgn(shown, clip);
  SectRgn(rgn, shown, shown);
  if (!EmptyRgn(shown)) {
    Push_Window(gs.outer_window);
    InvertRgn(shown);
    Pop_Window();
  }
  DisposeRgn(shown);
}

// The one-pixel frame of rgn inside it: the pixels of rgn with a neighbour
// (left, right, above or below) outside it, inverted within view vx.
void Invert_Frame(uint16 vx, RgnHandle rgn) {
  Rect clip;
  if (!Shown_View(vx, clip) || !Narrow_To_Limit(clip) || EmptyRgn(rgn)) return;
  RgnHandle inner = NewRgn();
  RgnHandle moved = NewRgn();
  if (inner != nullptr && moved != nullptr) {
    CopyRgn(rgn, inner);
    constexpr int32 kSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& d : kSteps) {
      CopyRgn(rgn, moved);
      OffsetRgn(moved, d[0], d[1]);
      SectRgn(inner, moved, inner);
    }
    DiffRgn(rgn, inner, moved);
    Invert_In_Window(moved, clip);
  }
  DisposeRgn(inner);
  DisposeRgn(moved);
}

// The eraser's square around centre on the screen of view vx; FALSE for an
// eraser choice without an outline.
bool Eraser_Box(uint16 vx, Point centre, Rect& box) {
  const int16 ex = gs.grid_vals[ERASER_GRID];
  box = Rect{0, 0, 0, 0};
  if (ex < 0 || ex >= int16(std::size(EraserxToSize))) return false;
  const int32 side = std::max<int32>(1, CellToScreenInt(vx, EraserxToSize[ex]));
  box = Centred_Box(centre, side, side);
  return true;
}

// rgn := the stamp tool's stamp on the screen of view vx around centre: the
// set bits of its mask (the whole stamp without a 1-bit mask) scaled by the
// view's zoom. Empty without a stamp.
void Stamp_Tool_Rgn(uint16 vx, Point centre, RgnHandle rgn) {
  PixMapPtr stamp = nullptr, mask = nullptr;
  Get_Fill_Stamp(stamp, mask);
  if (stamp == nullptr || stamp->baseAddr == nullptr) return;
  const Rect cells = stamp->bounds;
  const int32 cw = cells.right - cells.left, ch = cells.bottom - cells.top;
  if (cw <= 0 || ch <= 0) return;
  const int32 w = std::max<int32>(1, CellToScreenInt(vx, To16(cw)));
  const int32 h = std::max<int32>(1, CellToScreenInt(vx, To16(ch)));
  const Rect box = Centred_Box(centre, w, h);
  if (mask == nullptr || mask->baseAddr == nullptr || mask->pixelSize != 1) {
    RectRgn(rgn, box);
    return;
  }
  const int32 rb = int32(PixMap_RowBytes(*mask));
  RgnHandle bits = Host_Mask_To_Rgn(
      std::span<const uint8>(reinterpret_cast<const uint8*>(mask->baseAddr), size_t(rb) * size_t(ch)), rb, cw, ch,
      cells.left, cells.top);
  if (bits == nullptr) {
    RectRgn(rgn, box);
    return;
  }
  CopyRgn(bits, rgn);
  DisposeRgn(bits);
  MapRgn(rgn, cells, box);
}

// rgn := the brush on the screen of view vx around centre: the brush
// region in cells scaled by the view's zoom (the stamp tool: its stamp).
// Empty while the brush region is not the one of the brush and shape chosen.
void Stamp_Rgn(uint16 vx, Point centre, RgnHandle rgn) {
  SetEmptyRgn(rgn);
  if (gs.tool_net == STAMP_TOOL) {
    Stamp_Tool_Rgn(vx, centre, rgn);
    return;
  }
  if (gs.tool_net != BRUSH_TOOL || b_cache.brush_rgn == nullptr || b_cache.brush_rgn_tool != BRUSH_TOOL ||
      b_cache.brush_rgn_id != gs.grid_vals[BRUSH_SHAPE_GRID])
    return;
  Rect cells;
  Rgn_GetBounds(b_cache.brush_rgn, cells);
  if (EmptyRect(cells)) return;
  const int32 w = std::max<int32>(1, CellToScreenInt(vx, int16(cells.right - cells.left)));
  const int32 h = std::max<int32>(1, CellToScreenInt(vx, int16(cells.bottom - cells.top)));
  CopyRgn(b_cache.brush_rgn, rgn);
  MapRgn(rgn, cells, Centred_Box(centre, w, h));
}

// Inverts the crosshair lines through centre in every view shown.
void Cross_Invert(Point centre) {
  if (!Can_Draw()) return;
  RgnHandle lines = NewRgn();
  RgnHandle line = NewRgn();
  if (lines != nullptr && line != nullptr) {
    for (uint16 vx = 1; vx <= MAXNVIEWS; ++vx) {
      Rect view;
      if (!Shown_View(vx, view) || !Narrow_To_Limit(view)) continue;
      SetEmptyRgn(lines);
      RectRgn(line, Rect{view.top, centre.h, view.bottom, To16(int32(centre.h) + 1)});
      UnionRgn(lines, line, lines);
      RectRgn(line, Rect{centre.v, view.left, To16(int32(centre.v) + 1), view.right});
      UnionRgn(lines, line, lines);
      // One region for both lines: the pixel where they cross is inverted once.
      Invert_In_Window(lines, view);
    }
  }
  DisposeRgn(lines);
  DisposeRgn(line);
}

bool Same_Outline(const a_cursor_spec& a, const a_cursor_spec& b) {
  return EqualPt(a.brush_center, b.brush_center) && a.brush_drawproc == b.brush_drawproc &&
         a.brush_calcproc == b.brush_calcproc && a.brush_view == b.brush_view;
}

void Set_Shape_Hook(int16 shape) { Cursor_Set_Shape(a_cursor_shape(shape)); }

}  // namespace

void Cursor_Init() {
  for (int s = 0; s < NCURSOR_SHAPES; ++s) {
    g_cursor_desc[s] = a_cursor_desc{kShapes[s].class_, kShapes[s].id, kShapes[s].ticks, nullptr};
    Cursor_Load(g_cursor_desc[s]);
  }
  g_curr_cursor = Plain_Spec(ARROW_CURSOR);
  g_cursor_nstack = 0;
  g_cursor_dirty = false;
  // The idle work of the main loop shows its shapes from here on.
  g_cursor_shape_proc = Set_Shape_Hook;
}

void Cursor_Stop() {
  Cursor_Reset();
  for (a_cursor_desc& c : g_cursor_desc) Cursor_Unload(c);
  g_curr_cursor = Plain_Spec(ARROW_CURSOR);
  g_cursor_nstack = 0;
}

void Cursor_Change(const a_cursor_spec& spec) {
  a_cursor_spec next = spec;
  if (next.shape < 0 || next.shape >= NCURSOR_SHAPES) next.shape = ARROW_CURSOR;
  if (next.brush_drawproc == nullptr || next.brush_calcproc == nullptr) next.brush_visible = false;
  if (next.brush_visible) next.cross_visible = false;  // an outline goes without crosshair lines
  const bool drawing = Can_Draw();
  a_cursor_spec& curr = g_curr_cursor;

  // What the new cursor does not have comes off first. The flags drop
  // before the window is painted again, so that Custom_Cursor_Paint draws
  // nothing back.
  if (curr.cross_visible && !next.cross_visible) {
    curr.cross_visible = false;
    if (drawing) Cross_Hide(curr.brush_center);
  }
  if (curr.brush_visible && !next.brush_visible) {
    curr.brush_visible = false;
    if (drawing) Merge_To_Erase(curr.brush_bounds);
  }

  Cursor_Set(g_cursor_desc[next.shape]);

  if (next.brush_visible) {
    if (!drawing) {
      next.brush_visible = false;
    } else if (curr.brush_visible && Same_Outline(curr, next) && !g_cursor_dirty) {
      next.brush_bounds = curr.brush_bounds;
    } else {
      if (curr.brush_visible) {
        curr.brush_visible = false;
        Merge_To_Erase(curr.brush_bounds);
      }
      next.brush_calcproc(next.brush_view, next.brush_bounds, next.brush_center);
      next.brush_drawproc(next.brush_view, next.brush_center);
    }
  } else if (next.cross_visible) {
    if (!drawing) {
      next.cross_visible = false;
    } else if (!curr.cross_visible) {
      Cross_Show(next.brush_center);
    } else if (!EqualPt(curr.brush_center, next.brush_center) || g_cursor_dirty) {
      Cross_Hide(curr.brush_center);
      Cross_Show(next.brush_center);
    }
  }

  g_cursor_dirty = false;
  curr = next;
}

void Cursor_Set_Shape(a_cursor_shape cursor) { Cursor_Change(Plain_Spec(cursor)); }

void Cursor_Arrow() { Cursor_Set_Shape(ARROW_CURSOR); }

void Cursor_HideCustom() {
  if (g_curr_cursor.brush_visible || g_curr_cursor.cross_visible) Cursor_Set_Shape(g_curr_cursor.shape);
}

void Cursor_Push() {
  if (g_cursor_nstack < CURSOR_STACK_DEPTH) g_cursor_stack[g_cursor_nstack] = g_curr_cursor;
  if (g_cursor_nstack < INT16_MAX) ++g_cursor_nstack;
}

void Cursor_Push_Watch() {
  Cursor_Push();
  Cursor_Set_Shape(SPIN_CURSOR);
}

void Cursor_Pop() {
  if (g_cursor_nstack <= 0) return;
  --g_cursor_nstack;
  if (g_cursor_nstack < CURSOR_STACK_DEPTH)
    Cursor_Change(g_cursor_stack[g_cursor_nstack]);
  else
    Cursor_Set_Shape(SPIN_CURSOR);  // a push that was not kept: still busy
}

void Custom_Cursor_Paint(const Rect& rect) {
  if (!Can_Draw() || EmptyRect(rect)) return;
  const a_cursor_spec& c = g_curr_cursor;
  g_limit_on = true;
  g_limit = rect;
  Rect meet;
  if (c.brush_visible && SectRect(c.brush_bounds, rect, meet)) c.brush_drawproc(c.brush_view, c.brush_center);
  if (c.cross_visible) Cross_Invert(c.brush_center);
  g_limit_on = false;
}

void Calc_Edit_Cursor(uint16 vx, const a_mousestroke& stroke, a_tool tool) {
  a_cursor_spec spec = Plain_Spec(ARROW_CURSOR);
  spec.brush_center = stroke.lmouse;
  spec.brush_view = vx;
  enum { NO_OUTLINE, STAMP_OUTLINE, ERASER_OUTLINE } outline = NO_OUTLINE;
  switch (tool) {
    case BRUSH_TOOL:
      spec.shape = BRUSH_CURSOR;
      outline = STAMP_OUTLINE;
      break;
    case ERASER_TOOL:
      if (gs.grid_vals[ERASER_GRID] >= 0 && gs.grid_vals[ERASER_GRID] < int16(std::size(EraserxToSize)))
        outline = ERASER_OUTLINE;
      else
        spec.shape = CROSSHAIR_CURSOR;
      break;
    case SPRAY_TOOL: spec.shape = SPRAY_CURSOR; break;
    case SPOLYGON_TOOL:
    case LINE_TOOL: spec.shape = CROSSHAIR_CURSOR; break;
    case SOVAL_TOOL:
    case SRECT_TOOL:
    case FOVAL_TOOL:
    case FRECT_TOOL: spec.shape = gs.pref.tinycurs_option ? TINY_CURSOR : CROSSHAIR_CURSOR; break;
    case GRABBER_TOOL: spec.shape = GRABBER_CURSOR; break;
    case STAMP_TOOL:
      spec.shape = gs.toggle_vals[STENCIL_TOGGLE] ? BLINKS_CURSOR : ARROW_CURSOR;
      outline = STAMP_OUTLINE;
      break;
    case SELECT_TOOL:
      spec.shape = gs.grid_vals[MARQ_KIND_GRID] == kLassoMarquee ? CROSSHAIR_CURSOR : TINY_CURSOR;
      break;
    case BUCKET_TOOL: spec.shape = BUCKET_CURSOR; break;
    case DROPPER_TOOL: spec.shape = EYEDROPPER_CURSOR; break;
    case SYMMETRY_TOOL: spec.shape = CENTER_CURSOR; break;
    case ZOOM_TOOL: {
      const int16 zx = gs.grid_vals[ZOOM_GRID];
      if ((stroke.mods & Keymod_Bit(OPTIONKEY)) != 0)
        spec.shape = zx <= 0 ? ZOOMEQUAL_CURSOR : ZOOMMINUS_CURSOR;
      else
        spec.shape = zx >= NZOOMS - 1 ? ZOOMEQUAL_CURSOR : ZOOMPLUS_CURSOR;
      break;
    }
    default: break;  // the arcs and every other tool: the arrow
  }
  if (spec.shape == TINY_CURSOR) {
    spec.cross_visible = true;
  } else if (outline == STAMP_OUTLINE) {
    spec.brush_visible = true;
    spec.brush_calcproc = Calc_Stamp_Cursor;
    spec.brush_drawproc = Draw_Stamp_Cursor;
  } else if (outline == ERASER_OUTLINE) {
    spec.brush_visible = true;
    spec.brush_calcproc = Calc_Eraser_Cursor;
    spec.brush_drawproc = Draw_Eraser_Cursor;
  }
  Cursor_Change(spec);
}

void Calc_Stamp_Cursor(uint16 vx, Rect& bounds, Point centre) {
  bounds = Rect{0, 0, 0, 0};
  RgnHandle rgn = NewRgn();
  if (rgn == nullptr) return;
  Stamp_Rgn(vx, centre, rgn);
  Rgn_GetBounds(rgn, bounds);
  DisposeRgn(rgn);
}

void Draw_Stamp_Cursor(uint16 vx, Point centre) {
  if (!Can_Draw()) return;
  RgnHandle rgn = NewRgn();
  if (rgn == nullptr) return;
  Stamp_Rgn(vx, centre, rgn);
  Invert_Frame(vx, rgn);
  DisposeRgn(rgn);
}

void Calc_Eraser_Cursor(uint16 vx, Rect& bounds, Point centre) { Eraser_Box(vx, centre, bounds); }

void Draw_Eraser_Cursor(uint16 vx, Point centre) {
  Rect box;
  if (!Can_Draw() || !Eraser_Box(vx, centre, box)) return;
  RgnHandle rgn = NewRgn();
  if (rgn == nullptr) return;
  RectRgn(rgn, box);
  Invert_Frame(vx, rgn);
  DisposeRgn(rgn);
}

void Merge_To_Erase(const Rect& bounds) {
  if (!Can_Draw() || EmptyRect(bounds)) return;
  bool any = false;
  for (uint16 vx = 1; vx <= MAXNVIEWS; ++vx) {
    Rect view, under;
    if (!Shown_View(vx, view) || !SectRect(bounds, view, under)) continue;
    const RECT r{under.left, under.top, under.right, under.bottom};
    InvalidateRect(gs.outer_window, &r, false);
    any = true;
  }
  if (any) Immediate_Window_Update(gs.outer_window);
}

void Merge_To_Erase_Cursor() {
  if (!g_curr_cursor.brush_visible) return;
  g_curr_cursor.brush_visible = false;
  Merge_To_Erase(g_curr_cursor.brush_bounds);
}

void Cross_Show(Point centre) { Cross_Invert(centre); }

void Cross_Hide(Point centre) { Cross_Invert(centre); }
