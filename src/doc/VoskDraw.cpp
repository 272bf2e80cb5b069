#include "doc/VoskDraw.h"

#include <algorithm>
#include <cmath>

#include "doc/VoskFunc.h"
#include "doc/VoskRend.h"
#include "doc/VoskShap.h"
#include "host/HostWin.h"
#include "objects/VoskBlok.h"
#include "objects/VoskEdit.h"
#include "objects/VoskMove.h"
#include "objects/VoskPack.h"
#include "objects/VoskTextDraw.h"
#include "objects/VoskTrac.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/Fast.h"
#include "pixel/SysBlt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysKey.h"
#include "platform/SysSound.h"
#include "platform/SysTrack.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"

namespace {

constexpr uint8 kPasteboardGrey = 165;
// How much darker the origin's lines and square are: 20 on each colour
// component, 20 points of opacity on the mask.
constexpr int16 kDarker = 20;
// The zoom menu and its items.
constexpr int16 kMenuZoom = 1000;
constexpr int16 kZoomBigger = 1, kZoomSmaller = 2;

uint16 View_Index(uint16 vx) { return vx == 2 && gs.nviews >= 2 ? 1 : 0; }
const a_view_rec& View(uint16 vx) { return gs.views[View_Index(vx)]; }

// The current unit's rectangle on the screen in view vx.
bool8 Unit_Screen_Rect(uint16 vx, Rect& r) {
  const a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || EmptyRect(unit->paintbounds)) return false;
  CellToScreenRect(vx, unit->paintbounds, r);
  return true;
}

bool8 Cell_In_Unit(Point cell) {
  const a_doc_unit* unit = g_doc.up;
  return unit != nullptr && PtInRect(cell, unit->paintbounds);
}

// The clip saved by Edit_PushClip (one level: the views are never nested).
RgnHandle g_saved_clip = nullptr;
int16 g_nclip = 0;

// The grid's clip: view vx and the unit on screen.
bool8 Grid_Clip(uint16 vx, Rect& clip) {
  Rect unitr;
  return Unit_Screen_Rect(vx, unitr) && SectRect(unitr, View(vx).bounds, clip);
}

// A line of the grid from a to b (one of them a pixel wide), solid or in
// dashes of the dash slider's length repeating every maximum of the slider,
// counted from the unit's top-left on the screen.
void Grid_Segment(const Rect& line, bool vertical, int16 anchor) {
  const int16 dash = gs.slider_vals[GRIDLINES_DASH_SLIDER];
  const int16 period = SLIDER_VALUES[GRIDLINES_DASH_SLIDER].maxval;
  if (dash >= period || dash < 1 || period < 1) {
    PaintRect(line);
    return;
  }
  const int32 from = vertical ? line.top : line.left, to = vertical ? line.bottom : line.right;
  const int32 back = from - anchor;
  int32 start = anchor + (back >= 0 ? back / period : -((-back + period - 1) / period)) * period;
  for (; start < to; start += period) {
    const int32 a = std::max<int32>(start, from), b = std::min<int32>(start + dash, to);
    if (a >= b) continue;
    Rect r = line;
    if (vertical) {
      r.top = int16(a);
      r.bottom = int16(b);
    } else {
      r.left = int16(a);
      r.right = int16(b);
    }
    PaintRect(r);
  }
}

}  // namespace

// --- Drawing services ------------------------------------------------------------------

void Edit_PushClip(uint16 vx) {
  Push_Window(gs.outer_window);
  if (g_nclip++ == 0) {
    if (g_saved_clip == nullptr) g_saved_clip = NewRgn();
    GetClip(g_saved_clip);
  }
  ClipRect(View(vx).bounds);
}

void Edit_PushOff(uint16 vx) { Edit_PushClip(vx); }

void Edit_PopClip() {
  if (g_nclip > 0 && --g_nclip == 0 && g_saved_clip != nullptr) SetClip(g_saved_clip);
  Pop_Window();
}

void Edit_InvalAll2(uint16 vx) {
  if (gs.outer_window == nullptr || gs.nviews < 1) return;
  const Rect& b = View(vx).bounds;
  const RECT r{b.left, b.top, b.right, b.bottom};
  InvalidateRect(gs.outer_window, &r, false);
}

void Edit_InvalAll() {
  const uint16 nviews = std::min<uint16>(gs.nviews, MAXNVIEWS);
  for (uint16 vx = 1; vx <= nviews; ++vx) Edit_InvalAll2(vx);
}

void Repaint_All() {
  Edit_InvalAll();
  Doc_Update();
}

void Separator_Paint(const Rect& r) {
  PenState pen;
  GetPenState(pen);
  RGBColor fore, back;
  GetForeColor(fore);
  GetBackColor(back);
  PenMode(patCopy);
  SetForeColor(115, 115, 115);
  SetBackColor(239, 219, 215);
  FillRect(r, gs.separator_pat);
  ForeColor(1);
  PenNormal();
  if (r.right > r.left && r.bottom > r.top) {
    MoveTo(r.left, r.top);
    LineTo(int16(r.right - 1), r.top);
    MoveTo(r.left, int16(r.bottom - 1));
    LineTo(int16(r.right - 1), int16(r.bottom - 1));
  }
  RGBForeColor(fore);
  RGBBackColor(back);
  SetPenState(pen);
}

void Draw_PasteBoard_Rect(const Rect& r) {
  RGBColor saved;
  GetForeColor(saved);
  SetForeColor(kPasteboardGrey, kPasteboardGrey, kPasteboardGrey);
  PaintRect(r);
  RGBForeColor(saved);
}

void Draw_PasteBoard_Rgn(RgnHandle rgn) {
  if (rgn == nullptr) return;
  RGBColor saved;
  GetBackColor(saved);
  SetBackColor(kPasteboardGrey, kPasteboardGrey, kPasteboardGrey);
  EraseRgn(rgn);
  RGBBackColor(saved);
}

void Calc_Darker_Color(const a_win_pixel32& in, a_win_pixel32& out) {
  out = in;
  out.r = uint8(std::max(0, int(in.r) - kDarker));
  out.g = uint8(std::max(0, int(in.g) - kDarker));
  out.b = uint8(std::max(0, int(in.b) - kDarker));
}

void Calc_Paper_Rect(const a_template& tmpl, a_frect& r) {
  const bool landscape = (tmpl.tflags & (1u << IS_LANDSCAPE)) != 0;
  r = a_frect{0, 0, landscape ? tmpl.papersize.y : tmpl.papersize.x,
              landscape ? tmpl.papersize.x : tmpl.papersize.y};
}

// --- The document view -----------------------------------------------------------------

bool8 Is_Doc_View_Shown() {
  if (!g_doc.doc_open || g_doc.up == nullptr || gs.nviews < 1 || gs.outer_window == nullptr) return false;
  switch (gs.curr_phase) {
    case PREVIEW_PHASE:
    case PAPER_PHASE:
    case NODOC_PHASE:
    case NULL_PHASE: return false;
    default: return true;
  }
}

void Doc_DrawS(const Rect& screenr) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || gs.nviews < 1 || gs.outer_window == nullptr) return;
  Rect r;
  if (!SectRect(screenr, gs.views[0].bounds, r)) return;
  GWorldPtr off = nullptr;
  if (New_GWorld(r, 32, nullptr, off) != 0 || off == nullptr) return;
  Push_GWorld(off);
  // 1. The pasteboard: the bands of r outside the unit.
  Rect unitr;
  CellToScreenRect(1, unit->paintbounds, unitr);
  Rect inside;
  if (!SectRect(r, unitr, inside)) {
    Draw_PasteBoard_Rect(r);
  } else {
    const Rect bands[4] = {{r.top, r.left, r.bottom, inside.left},
                           {r.top, inside.right, r.bottom, r.right},
                           {r.top, inside.left, inside.top, inside.right},
                           {inside.bottom, inside.left, r.bottom, inside.right}};
    for (const Rect& b : bands)
      if (!EmptyRect(b)) Draw_PasteBoard_Rect(b);
  }
  // 2. The unit from its merged layer.
  Rect cells, area;
  ScreenToCellRect(1, r, cells);
  const bool meets = SectRect(cells, unit->paintbounds, area);
  if (meets) {
    Rect layer_bounds;
    GWorldPtr layer = nullptr;
    Current_Unit_Merge_Check(layer_bounds, layer);
    if (layer != nullptr) {
      Rect merge, screen;
      CellToMergeRect(unit, area, merge);
      MergeToCellRect(unit, merge, area);
      CellToScreenRect(1, area, screen);
      Port_To_Port(layer, off, merge, screen, srcCopy, nullptr);
    }
  }
  // 3. The grid, blended through its mask.
  Rect gridr;
  if (meets && gs.toggle_vals[GRIDLINES_TOGGLE] && SectRect(r, inside, gridr)) {
    GWorldPtr world = nullptr, mask = nullptr;
    if (New_GWorld(gridr, 32, nullptr, world) == 0 && world != nullptr &&
        New_GWorld(gridr, 8, gray_ctable, mask) == 0 && mask != nullptr) {
      Push_GWorld(world);
      Draw_Grid_Lines(1, false);
      Pop_GWorld();
      Push_GWorld(mask);
      SetForeColor8(255);
      PaintRect(gridr);
      Draw_Grid_Lines(1, true);
      Pop_GWorld();
      Port_To_Port_Deep(world, mask, off, gridr, gridr, gridr, nullptr);
    }
    Dispose_GWorld(world);
    Dispose_GWorld(mask);
    ForeColor(1);
  }
  // 4. Cut lines.
  if (gs.pref.cutlines_option && gs.tool_show) Draw_CutLines();
  // 5. The overflow marks of texts.
  if (meets && gs.curr_phase == TEXT_PHASE) Draw_Overflow_Marks(1);
  // 6. Frames of the phase's objects.
  if (meets && (gs.curr_phase == SYMBOL_PHASE || gs.curr_phase == PHOTO_PHASE || gs.curr_phase == TEXT_PHASE))
    Enum_Draw_Frames(1, area);
  // 7. To the screen.
  Pop_GWorld();
  Push_Window(gs.outer_window);
  Port_To_Port(off, nullptr, r, r, srcCopy, nullptr);
  Pop_Window();
  Dispose_GWorld(off);
}

void Doc_Draw(const Rect& cellr) {
  if (EmptyRect(cellr) || !Is_Doc_View_Shown()) return;
  Rect screen;
  CellToScreenRect(1, cellr, screen);
  Doc_DrawS(screen);
}

void Doc_Merge_Draw(const Rect& cellr) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || EmptyRect(cellr)) return;
  UnionRect2(unit->render_dirty, cellr, unit->render_dirty);
  Current_Unit_UpToDate();
}

void Doc_InvalCells(const Rect& cellr) {
  if (gs.outer_window == nullptr || EmptyRect(cellr)) return;
  const uint16 nviews = std::min<uint16>(gs.nviews, MAXNVIEWS);
  for (uint16 vx = 1; vx <= nviews; ++vx) {
    Rect screen, shown;
    CellToScreenRect(vx, cellr, screen);
    if (!SectRect(screen, gs.views[vx - 1].bounds, shown)) continue;
    const RECT r{shown.left, shown.top, shown.right, shown.bottom};
    InvalidateRect(gs.outer_window, &r, false);
  }
}

void Edit1_PaintAll() {
  if (gs.nviews < 1) return;
  if (gs.curr_phase == COLLAGE_PHASE) {
    Pack_Paint();
    return;
  }
  Doc_DrawS(gs.views[0].bounds);
  if (g_doc.up != nullptr) g_doc.up->refresh_dirty = Rect{0, 0, 0, 0};
}

// --- The grid --------------------------------------------------------------------------

void Calc_Grid_Color(bool8 darker, bool8 maskmode) {
  if (maskmode) {
    int32 level = gs.slider_vals[GRIDLINES_OPACITY_SLIDER];
    if (darker) level = std::min<int32>(level + kDarker, 100);
    level = std::clamp<int32>(level, 0, 100);
    SetForeColor8(uint8(255 - level * 255 / 100));
    return;
  }
  // A copy: the preferences record is packed.
  const a_win_pixel32 base = gs.pref.gridlines_color;
  a_win_pixel32 c = base;
  if (darker) Calc_Darker_Color(base, c);
  SetForeColor(c.r, c.g, c.b);
}

Point Grid_Step() {
  const a_doc_unit* unit = g_doc.up;
  if (unit == nullptr) return Point{0, 0};
  const int32 nh = std::max<int16>(gs.slider_vals[GRIDLINES_HORZ_SLIDER], 1);
  const int32 nv = std::max<int16>(gs.slider_vals[GRIDLINES_VERT_SLIDER], 1);
  return Point{int16(unit->paintbounds.bottom / (2 * nv)), int16(unit->paintbounds.right / (2 * nh))};
}

void Vert_Grid_Line(uint16 vx, Point pt) {
  Rect clip, unitr;
  if (!Grid_Clip(vx, clip) || pt.h < clip.left || pt.h >= clip.right) return;
  Unit_Screen_Rect(vx, unitr);
  Grid_Segment(Rect{clip.top, pt.h, clip.bottom, int16(pt.h + 1)}, true, unitr.top);
}

void Horz_Grid_Line(uint16 vx, Point pt) {
  Rect clip, unitr;
  if (!Grid_Clip(vx, clip) || pt.v < clip.top || pt.v >= clip.bottom) return;
  Unit_Screen_Rect(vx, unitr);
  Grid_Segment(Rect{pt.v, clip.left, int16(pt.v + 1), clip.right}, false, unitr.left);
}

void Draw_Grid_Lines(uint16 vx, bool8 maskmode) {
  const a_doc_unit* unit = g_doc.up;
  if (unit == nullptr) return;
  const Rect& pb = unit->paintbounds;
  const Point o = unit->ruler_origin;
  // Real steps, so the lines keep their places across the unit.
  const double stepx = double(pb.right) / (2.0 * std::max<int16>(gs.slider_vals[GRIDLINES_HORZ_SLIDER], 1));
  const double stepy = double(pb.bottom) / (2.0 * std::max<int16>(gs.slider_vals[GRIDLINES_VERT_SLIDER], 1));
  auto line_at = [&](bool vertical, int32 k) -> bool {
    const double c = (vertical ? o.h : o.v) + k * (vertical ? stepx : stepy);
    const int32 cell = int32(std::floor(c));
    const int32 limit = vertical ? pb.right : pb.bottom;
    if (cell < 0 || cell >= limit) return false;
    Point screen;
    CellToScreen(vx, vertical ? Point{o.v, int16(cell)} : Point{int16(cell), o.h}, screen);
    Calc_Grid_Color(k == 0, maskmode);
    if (vertical)
      Vert_Grid_Line(vx, screen);
    else
      Horz_Grid_Line(vx, screen);
    return true;
  };
  for (const bool vertical : {true, false}) {
    if ((vertical ? stepx : stepy) < 1.0) continue;
    line_at(vertical, 0);
    for (int32 k = 1; line_at(vertical, k); ++k) {}
    for (int32 k = -1; line_at(vertical, k); --k) {}
  }
  // The origin's square.
  Point so;
  CellToScreen(vx, o, so);
  Rect clip;
  if (Grid_Clip(vx, clip)) {
    Rect sq{int16(so.v - 1), int16(so.h - 1), int16(so.v + 2), int16(so.h + 2)}, shown;
    if (SectRect(sq, clip, shown)) {
      Calc_Grid_Color(true, maskmode);
      PaintRect(shown);
    }
  }
  ForeColor(1);
}

// --- Presses and keys ------------------------------------------------------------------

void Edit1_MouseDown(const a_mousestroke& stroke) {
  Point cell;
  ScreenToCell(1, stroke.lmouse, cell);
  const bool pressed = stroke.button1 || stroke.button2;
  const a_phase phase = gs.curr_phase;
  if (stroke.mods == Keymod_Bit(SHIFTKEY) && Cell_In_Unit(cell) &&
      ((gs.curr_bar >= PAINT_COLORBAR && gs.curr_bar <= SYMBOLS_COLORBAR) || phase == PAINT_PHASE ||
       phase == SYMBOL_PHASE || phase == TEXT_PHASE)) {
    Track_Dropper2(pressed, cell);
    return;
  }
  switch (phase) {
    case SYMBOL_PHASE:
    case PHOTO_PHASE:
    case COLLAGE_PHASE: Obj_MouseDown(1, stroke); return;
    case TEXT_PHASE:
      if (gs.txedit_phase != TXEDIT_EDIT) {
        Obj_MouseDown(1, stroke);
        return;
      }
      Edit_MouseDown(1, stroke);
      return;
    case PAINT_PHASE: Paint_MouseDown(1, stroke); return;
    case PREVIEW_PHASE: return;
    case GRID_PHASE: GridLines_MouseDown(1, stroke); return;
    default:
      if (pressed)
        Sound_Effect(SND_NULL);
      else
        Cursor_Set_Shape(ARROW_CURSOR);
      return;
  }
}

void Edit1_Exit() {
  if (gs.curr_phase == PAINT_PHASE) Cursor_Set_Shape(ARROW_CURSOR);
}

void GridLines_MouseDown(uint16 vx, const a_mousestroke& stroke) {
  a_doc_unit* unit = g_doc.up;
  Point press;
  ScreenToCell(vx, stroke.lmouse, press);
  const bool over = gs.toggle_vals[GRIDLINES_TOGGLE] && unit != nullptr && PtInRect(press, unit->paintbounds);
  Cursor_Set_Shape(over ? FINGER_CURSOR : ARROW_CURSOR);
  if (!over || !stroke.button1) return;
  Cursor_Set_Shape(GRABBER_CURSOR);
  const Point start = unit->ruler_origin;
  TrackMouse_Init(stroke.window != nullptr ? stroke.window : gs.outer_window);
  Point mouse = stroke.lmouse;
  auto step = [&]() {
    int32 dh = ScreenToCellInt(vx, int16(mouse.h - stroke.lmouse.h));
    int32 dv = ScreenToCellInt(vx, int16(mouse.v - stroke.lmouse.v));
    if (ShiftKeyDown()) {
      if (std::abs(dh) >= std::abs(dv))
        dv = 0;
      else
        dh = 0;
    }
    const Point next{int16(std::clamp<int32>(start.v + dv, 0, unit->paintbounds.bottom)),
                     int16(std::clamp<int32>(start.h + dh, 0, unit->paintbounds.right))};
    if (next == unit->ruler_origin) return;
    unit->ruler_origin = next;
    Doc_Draw(unit->paintbounds);
  };
  while (TrackMouse_StillDown(mouse)) step();
  step();
  TrackMouse_Stop();
  Cursor_Set_Shape(FINGER_CURSOR);
}

void Print_MouseDown(const a_mousestroke& /*stroke*/) {}

bool8 Doc_KeyDown(const a_keystroke& key) {
  if (!g_doc.doc_open) return false;
  const a_phase phase = gs.curr_phase;
  const a_keymod_set shift = Keymod_Bit(SHIFTKEY), ctrl = Keymod_Bit(OPTIONKEY);
  const bool text_move = phase == TEXT_PHASE && gs.txedit_phase == TXEDIT_MOVE;
  const bool selecting = phase == SYMBOL_PHASE || phase == PHOTO_PHASE || phase == COLLAGE_PHASE || text_move;
  const bool arrow = key.charcode == 0 && (key.virtcode == VK_LEFT || key.virtcode == VK_RIGHT ||
                                           key.virtcode == VK_UP || key.virtcode == VK_DOWN);
  const bool scrolling = phase == PAINT_PHASE || phase == CANVAS_PHASE || phase == SYMBOL_PHASE ||
                         phase == PHOTO_PHASE || phase == TEXT_PHASE;
  // 1. Nudging the selection, ten steps with the command key.
  if (arrow && ((selecting && (key.mods & ~ctrl) == 0) ||
                (phase == TEXT_PHASE && gs.txedit_phase == TXEDIT_EDIT && key.mods == shift))) {
    const int16 sx = key.virtcode == VK_LEFT ? -1 : key.virtcode == VK_RIGHT ? 1 : 0;
    const int16 sy = key.virtcode == VK_UP ? -1 : key.virtcode == VK_DOWN ? 1 : 0;
    Obj_Nudge((key.mods & ctrl) != 0, sx, sy);
    return true;
  }
  // 2. Scrolling a line.
  if (arrow && (key.mods & shift) != 0 && scrolling) {
    int16 dx = 0, dy = 0;
    CalcScrollDelta(false, dx, dy);
    switch (key.virtcode) {
      case VK_LEFT: Doc_Scroll(int16(-dx), 0); break;
      case VK_RIGHT: Doc_Scroll(dx, 0); break;
      case VK_UP: Doc_Scroll(0, int16(-dy)); break;
      default: Doc_Scroll(0, dy); break;
    }
    return true;
  }
  // 3. Bigger and smaller.
  if (key.charcode == '+' || key.charcode == '-') {
    const bool up = key.charcode == '+';
    if (text_move) {
      if (up)
        Text_Plus();
      else
        Text_Minus();
      return true;
    }
    if (phase == PHOTO_PHASE || phase == COLLAGE_PHASE) {
      Slider_Via_Keyboard(phase == PHOTO_PHASE ? PHOTO_SIZEH_SLIDER : PACK_ITEM_SIZE_SLIDER,
                          (key.mods & shift) != 0, false, up);
      return true;
    }
  }
  // 4. Cycling and deleting the selection.
  if (selecting && key.charcode == '\t') {
    Selection_Cycle((key.mods & shift) == 0);
    return true;
  }
  if (selecting && key.mods == 0 && (key.charcode == 8 || key.charcode == 127)) {
    Oneshot_Click(OBJ_DEL_BUTTON);
    return true;
  }
  // 5. Zooming.
  if ((key.mods & ctrl) != 0 && scrolling && (key.charcode == '=' || key.charcode == '_')) {
    DoMenuEvent(kMenuZoom, key.charcode == '=' ? kZoomBigger : kZoomSmaller, (key.mods & shift) != 0, true);
    return true;
  }
  return false;
}

void Doc_Scroll(int16 dh, int16 dv) {
  if (dh == 0 && dv == 0) return;
  SV_Set_Point(SV_EDIT_FOCUS, Point{int16(gs.view_focus.v + dv), int16(gs.view_focus.h + dh)});
}

void Doc_Center(Point pt) {
  Sound_Effect(SND_CENTERDOC);
  SV_Set_Point(SV_EDIT_FOCUS, pt);
  if (gs.outer_window == nullptr || gs.nviews < 1) return;
  const Rect& b = gs.views[0].bounds;
  POINT p{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
  ClientToScreen(gs.outer_window, &p);
  SetCursorPos(p.x, p.y);
}
