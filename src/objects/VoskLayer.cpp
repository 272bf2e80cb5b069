#include "objects/VoskLayer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "doc/VoskHist.h"
#include "doc/VoskRend.h"
#include "objects/VoskBlok.h"
#include "objects/VoskMove.h"
#include "objects/VoskPack.h"
#include "objects/VoskPhot.h"
#include "objects/VoskTrac.h"
#include "pixel/TextUtil.h"
#include "platform/Controls.h"
#include "platform/Events.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysSound.h"
#include "platform/SysTimer.h"
#include "platform/SysTrack.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"

namespace {

int32 Width(const Rect& r) { return int32(r.right) - r.left; }
int32 Height(const Rect& r) { return int32(r.bottom) - r.top; }

// The end of the layer map.
constexpr int16 kMapEnd = -1000;
// A tab's drop point lies this far left of the pointer.
constexpr int16 kBoundarySlack = 3;
// The insertion mark past the last layer is lowered this far.
constexpr int16 kMarkDrop = 19;

constexpr int16 kStrPaint = 136;
constexpr int16 kStrLayer = 137;

constexpr a_pixel24 kBarBack{206, 210, 218};
constexpr a_pixel24 kTabFace{238, 240, 245};
constexpr a_pixel24 kTabSelected{168, 196, 240};
constexpr a_pixel24 kTabEdge{96, 104, 120};
constexpr a_pixel24 kThumbGround{220, 220, 220};
constexpr a_pixel24 kEyeOpen{24, 24, 24};
constexpr a_pixel24 kEyeShut{150, 150, 150};
constexpr a_pixel24 kMarkColor{32, 64, 200};

// The first layer shown while the bar has no scroll bar.
int32 g_first = FIRST_LAYER_ID;
// The insertion point of a tab being dragged (0: none), and the tick of
// the drag's last automatic scroll (empty before the first, whatever the
// clock reads).
int32 g_insertpoint = 0;
std::optional<uint32> g_last_hotzone;
// The layer whose tab is being dragged (0: none).
int32 g_drag_layer = 0;

a_layer_bar_desc& Desc() { return gs.layerbard; }

a_oj_kind_set Bar_Kinds() { return gs.curr_phase == COLLAGE_PHASE ? SLOT_KINDS : LAYER_KINDS; }

int32 Cells_Shown() { return std::max<int32>(1, Desc().ncells_h); }

// The highest first layer: the last screenful ends at the last layer.
int32 Last_First() { return std::max<int32>(Desc().first_id, Desc().last_id + 1 - Cells_Shown()); }

bool Bar_Shown(HWND& window, Rect& box) { return Custom_Get_Info(CUSTOM_LAYERS, window, box); }

void Set_First_Visible(int32 first) {
  g_first = first;
  if (gs.lscroll_ctrl != nullptr) SetControlValue(gs.lscroll_ctrl, first);
}

// The map from layers to objects, listed bottom-up.
void Calc_Mapping() {
  a_layer_bar_desc& d = Desc();
  int32 k = 0;
  for (int32 omx = ENUM_START; k < MAXNLAYERS && Enum(true, false, Bar_Kinds(), omx);)
    d.lmapping[size_t(k++)] = int16(omx);
  d.lmapping[size_t(k)] = kMapEnd;
  d.first_id = FIRST_LAYER_ID;
  d.last_id = FIRST_LAYER_ID - 1 + k;
  ++d.lmapping_seq;
}

bool Is_Selectable(int32 omx) {
  const a_oj_item* item = Obj_Item(omx);
  return item != nullptr && item->kind != PAINT_BLOCK;
}

// The paint layer's place in the bar (0: the bar does not list it). It
// stays the bottom layer: its tab is not dragged and no boundary at or
// below it takes a dragged tab.
int32 Paint_Layer() {
  const a_layer_bar_desc& d = Desc();
  for (int32 layerx = d.first_id; layerx <= d.last_id && layerx - FIRST_LAYER_ID < MAXNLAYERS; ++layerx) {
    const a_oj_item* item = Obj_Item(d.lmapping[size_t(layerx - FIRST_LAYER_ID)]);
    if (item != nullptr && item->kind == PAINT_BLOCK) return layerx;
  }
  return 0;
}

// Whether moving item oldx to newx would take the paint layer off item 1 or
// put an object under it.
bool Moves_Paint_Layer(const a_oj_master& m, int32 oldx, int32 newx) {
  return (oldx == 1 || newx == 1) && m.nlist >= 1 && m.list[0].kind == PAINT_BLOCK;
}

// --- Drawing ---------------------------------------------------------------------------------

void Draw_Tab(const Rect& cell, bool selected) {
  const Rect tab{int16(cell.top + (selected ? 0 : 3)), cell.left, cell.bottom, cell.right};
  SetForeColor24(selected ? kTabSelected : kTabFace);
  PaintRoundRect(tab, 12, 12);
  SetForeColor24(kTabEdge);
  PenNormal();
  FrameRoundRect(tab, 12, 12);
}

void Draw_Eye(const Rect& eye, bool visible) {
  const Rect lid{int16(eye.top + 4), eye.left, int16(eye.bottom - 4), eye.right};
  SetForeColor(255, 255, 255);
  PaintOval(lid);
  SetForeColor24(visible ? kEyeOpen : kEyeShut);
  FrameOval(lid);
  if (visible) {
    const int16 cv = int16((eye.top + eye.bottom) / 2), ch = int16((eye.left + eye.right) / 2);
    PaintOval(Rect{int16(cv - 3), int16(ch - 3), int16(cv + 3), int16(ch + 3)});
  } else {
    // Shut: a lid line across.
    const int16 cv = int16((eye.top + eye.bottom) / 2);
    PaintRect(Rect{cv, int16(eye.left + 1), int16(cv + 2), int16(eye.right - 1)});
  }
}

// A photo's, symbol's or slot's picture reduced (never enlarged) into box,
// centred.
void Draw_Thumb_Picture(const a_ph_rec* ph, const Rect& box) {
  if (ph == nullptr || ph->spec.source.kind == SOURCE_EMPTYSLOT) return;
  const int32 w = Width(ph->dst_box), h = Height(ph->dst_box);
  const int32 bw = Width(box), bh = Height(box);
  if (w <= 0 || h <= 0 || bw <= 0 || bh <= 0) return;
  int32 tw = w, th = h;
  if (tw > bw || th > bh) {
    if (int64(w) * bh > int64(h) * bw) {
      tw = bw;
      th = std::max<int32>(1, int32(int64(h) * bw / w));
    } else {
      th = bh;
      tw = std::max<int32>(1, int32(int64(w) * bh / h));
    }
  }
  a_ph_rec copy = *ph;
  copy.spec.shadf = false;
  const int16 left = int16(box.left + (bw - tw) / 2), top = int16(box.top + (bh - th) / 2);
  copy.dst_box = Rect{top, left, int16(top + th), int16(left + tw)};
  copy.dst_center = Point{int16(top + th / 2), int16(left + tw / 2)};
  PH_Draw(nullptr, &copy, FOR_SCREEN, &box);
}

void Draw_Cell(int32 layerx, int32 first) {
  const int32 omx = Object_Of_Layer(layerx);
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  Rect cell, eye, thumb;
  Layer_Calc_Box(layerx, first, cell, eye, thumb);
  const bool selected = (item->flags & OJ_Flag_Bit(SELECTED_FLAG)) != 0;
  Draw_Tab(cell, selected);
  Draw_Eye(eye, (item->flags & OJ_Flag_Bit(VISIBLE_FLAG)) != 0);
  char label[8];
  Layer_Label(layerx, label, int32(sizeof label));
  ForeColor(1);
  Draw_String_Fit(true, gs.font_12pt, CStrSpan(label, std::strlen(label)),
                  Rect{int16(eye.bottom + 4), int16(cell.left + 8), int16(eye.bottom + 22), int16(thumb.left - 1)});
  SetForeColor24(kThumbGround);
  PaintRect(thumb);
  if (item->kind == PAINT_BLOCK) {
    Str255 paint{}, layer{};
    Get_DLOG_String(paint, kStrPaint);
    Get_DLOG_String(layer, kStrLayer);
    const int16 mid = int16((thumb.top + thumb.bottom) / 2);
    ForeColor(1);
    Draw_String_Fit(true, gs.font_12pt, CStrSpan(paint, std::strlen(paint)),
                    Rect{int16(mid - 16), thumb.left, mid, thumb.right});
    Draw_String_Fit(true, gs.font_12pt, CStrSpan(layer, std::strlen(layer)),
                    Rect{mid, thumb.left, int16(mid + 16), thumb.right});
  } else {
    PushClip(thumb);
    Draw_Thumb_Picture(item->ph, thumb);
    PopClip();
  }
  if (selected || gs.pref.showframes_option) {
    SetForeColor24(selected ? PH_SELECT_COLOR : PH_FRAME_COLOR);
    PenNormal();
    FrameRect(thumb);
  }
  ForeColor(1);
}

// The insertion mark before cell layerx (past the last layer: lowered).
void Draw_Insert_Mark(int32 layerx, int32 first) {
  Rect cell, eye, thumb;
  Layer_Calc_Box(layerx, first, cell, eye, thumb);
  const int16 x = int16(cell.left + (LAYER_CELL_H - LAYER_CELL_STEP) / 2);
  const int16 drop = layerx > Desc().last_id ? kMarkDrop : 0;
  SetForeColor24(kMarkColor);
  PaintRect(Rect{int16(cell.top + drop), int16(x - 2), cell.bottom, int16(x + 2)});
  for (int16 i = 0; i < 6; ++i)
    PaintRect(Rect{int16(cell.top + drop + i), int16(x - 6 + i), int16(cell.top + drop + i + 1), int16(x + 6 - i)});
  ForeColor(1);
}

// --- Tracking --------------------------------------------------------------------------------

// A tab held and dragged: the insertion point follows the pointer.
void Tab_Drag_Step(Point pt) {
  const int32 first_before = LayerBar_First_Visible();
  (void)LayerBar_Check_Hotzone(pt);
  int32 b = Find_Boundary(pt);
  if (b == 0) b = g_insertpoint;
  if (b != g_insertpoint || first_before != LayerBar_First_Visible()) {
    g_insertpoint = b;
    LayerBar_PaintAll();
  }
}

void Track_LayerTab(int32 layerx, const a_mousestroke& stroke) {
  const int32 omx = Object_Of_Layer(layerx);
  if (Obj_Item(omx) == nullptr) return;
  if (!Is_Mouse_Holding()) {
    // A quick click.
    if ((stroke.mods & Keymod_Bit(SHIFTKEY)) != 0 && Is_Selectable(omx)) {
      Sound_Effect(SND_OBJ_SELECT);
      Selection_Toggle(omx);
    } else {
      Selection_Set1_Sound(omx);
    }
    return;
  }
  if (!Is_Obj_Selected(omx)) Selection_Set1_Sound(omx);
  // The paint layer is held like a click: it chooses painting, and stays
  // where it is.
  if (!Is_Selectable(omx)) return;
  if (!StillDown()) return;
  // The selection may have changed the phase and so the layers listed.
  const int32 start = Layer_Of_Object(omx);
  if (start == 0) return;
  Cursor_Set_Shape(GRABBER_CURSOR);
  t.status_tracking = true;
  g_insertpoint = start;
  g_drag_layer = start;
  g_last_hotzone.reset();
  HWND window;
  Rect box;
  TrackMouse_Init(Bar_Shown(window, box) ? window : gs.outer_window);
  Point mouse{0, 0};
  while (TrackMouse_StillDown(mouse)) Tab_Drag_Step(mouse);
  // Where the button was let go (the loop read the pointer before it found
  // the release).
  GetMouse(mouse);
  Tab_Drag_Step(mouse);
  TrackMouse_Stop();
  LayerBar_Inval();
  t.status_tracking = false;
  Cursor_Set_Shape(FINGER_CURSOR);
  int32 b = g_insertpoint;
  g_insertpoint = 0;
  g_drag_layer = 0;
  if (b == start || b == 0) {
    LayerBar_PaintAll();
    return;
  }
  if (b > start) --b;
  Layer_Arrange(omx, Object_Of_Layer(std::min(b, Desc().last_id)));
}

void Track_LayerEye(int32 layerx) {
  const int32 omx = Object_Of_Layer(layerx);
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  Layer_Toggle_Visibility(layerx);
  Current_Unit_UpToDate();
  // Eyes passed over while the button is held take the clicked one's state.
  const bool visible = (item->flags & OJ_Flag_Bit(VISIBLE_FLAG)) != 0;
  HWND window;
  Rect box;
  TrackMouse_Init(Bar_Shown(window, box) ? window : gs.outer_window);
  Point mouse{0, 0};
  g_last_hotzone.reset();
  while (TrackMouse_StillDown(mouse)) {
    if (LayerBar_Check_Hotzone(mouse)) LayerBar_PaintAll();
    int16 part = 0;
    int32 over = 0;
    if (!Find_Layer(part, over, mouse) || part != 1) continue;
    const a_oj_item* other = Obj_Item(Object_Of_Layer(over));
    if (other == nullptr || ((other->flags & OJ_Flag_Bit(VISIBLE_FLAG)) != 0) == visible) continue;
    Layer_Toggle_Visibility(over);
    Current_Unit_UpToDate();
  }
  TrackMouse_Stop();
  LayerBar_PaintAll();
}

}  // namespace

// --- Stacking order --------------------------------------------------------------------------

int32 Constrain_Layer_Index(int32 base, int32 delta) {
  int32 lo = ENUM_START, hi = ENUM_START;
  if (!Enum(true, false, gs.curr_kindset, lo) || !Enum(false, false, gs.curr_kindset, hi)) return base;
  return int32(std::clamp<int64>(int64(base) + delta, lo, hi));
}

bool8 Layer_Can_Arrange(int32 delta) {
  int32 omx = 0;
  return Is_One_Selected(omx) && Constrain_Layer_Index(omx, delta) != omx;
}

void Layer_ArrangeRel(int32 delta) {
  int32 omx = 0;
  if (Is_One_Selected(omx)) Layer_Arrange(omx, Constrain_Layer_Index(omx, delta));
}

void Layer_Arrange(int32 oldx, int32 newx) {
  const a_oj_master* m = Curr_Obj_List();
  if (oldx == newx || m == nullptr || Moves_Paint_Layer(*m, oldx, newx)) return;
  if (gs.controller == HUMAN) Sound_Effect(SND_SUBTOOL_ONESHOT);
  Layer_Arrange2(oldx, newx);
  // The collage keeps no history of its own: a state holding slots would
  // bring them back after it ends.
  if (gs.curr_phase != COLLAGE_PHASE) History_Emit(OP_BLOCK_MOVEZ);
}

void Layer_Arrange2(int32 oldx, int32 newx) {
  a_oj_master* m = Curr_Obj_List();
  if (m == nullptr || oldx == newx) return;
  const int32 n = std::min<int32>(m->nlist, MAX_OJ);
  if (oldx < 1 || oldx > n || newx < 1 || newx > n) return;
  if (Moves_Paint_Layer(*m, oldx, newx)) return;
  const a_oj_item moving = m->list[oldx - 1];
  if (oldx < newx)
    std::copy(m->list + oldx, m->list + newx, m->list + oldx - 1);
  else
    std::copy_backward(m->list + newx - 1, m->list + oldx - 1, m->list + oldx);
  m->list[newx - 1] = moving;
  if (gs.curr_phase == COLLAGE_PHASE)
    Pack_Rebuild_Regions();
  else
    Obj_PostRender(newx);
  Calc_Mapping();
  LayerBar_Inval();
}

// --- The layer bar -----------------------------------------------------------------------------

void LayerBar_Calc(bool8 force) {
  HWND window;
  Rect box;
  if (!Bar_Shown(window, box) && !force) return;
  a_layer_bar_desc& d = Desc();
  Calc_Mapping();
  d.cell_h = LAYER_CELL_H;
  d.cell_v = LAYER_CELL_V;
  d.cell_margin = LAYER_CELL_H - LAYER_CELL_STEP;
  d.ncells_h = int16(std::max<int32>(1, (Width(d.bounds) - LAYER_BAR_INDENT) / LAYER_CELL_STEP));
  if (gs.lscroll_ctrl != nullptr) {
    const int32 count = d.last_id - d.first_id + 1;
    if (count > d.ncells_h)
      SetControlMinMax(gs.lscroll_ctrl, d.first_id, d.last_id + 1 - d.ncells_h, d.ncells_h);
    else
      SetControlMinMax(gs.lscroll_ctrl, d.first_id, d.first_id, d.ncells_h);
  }
  Set_First_Visible(d.first_id);
  LayerBar_Inval();
}

int32 LayerBar_First_Visible() {
  const int32 first = gs.lscroll_ctrl != nullptr ? GetControlValue(gs.lscroll_ctrl) : g_first;
  return std::clamp<int32>(first, Desc().first_id, Last_First());
}

int32 Layer_Of_Object(int32 omx) {
  const a_layer_bar_desc& d = Desc();
  for (int32 layerx = d.first_id; layerx <= d.last_id; ++layerx)
    if (d.lmapping[size_t(layerx - FIRST_LAYER_ID)] == omx) return layerx;
  return 0;
}

int32 Object_Of_Layer(int32 layerx) {
  const a_layer_bar_desc& d = Desc();
  if (layerx < d.first_id || layerx > d.last_id || layerx - FIRST_LAYER_ID >= MAXNLAYERS) return ENUM_DONE;
  return d.lmapping[size_t(layerx - FIRST_LAYER_ID)];
}

void Layer_Calc_Box(int32 layerx, int32 first, Rect& cell, Rect& eye, Rect& thumb) {
  const Rect& b = Desc().bounds;
  const int32 left = b.left + LAYER_BAR_INDENT + (layerx - first) * LAYER_CELL_STEP;
  const int16 l = int16(std::clamp<int32>(left, -30000, 30000));
  cell = Rect{b.top, l, int16(b.top + LAYER_CELL_V), int16(l + LAYER_CELL_H)};
  eye = Rect{int16(cell.top + 12), int16(l + 18), int16(cell.top + 12 + LAYER_EYE_SIZE), int16(l + 18 + LAYER_EYE_SIZE)};
  thumb = Rect{int16(cell.top + 9), int16(l + 37), int16(cell.bottom - 8), int16(cell.right - 6)};
}

bool8 Find_Layer(int16& part, int32& layerx, Point pt) {
  const a_layer_bar_desc& d = Desc();
  part = 0;
  layerx = 0;
  if (!PtInRect(pt, d.bounds)) return false;
  const int32 first = LayerBar_First_Visible();
  for (int32 x = d.last_id; x >= first; --x) {
    Rect cell, eye, thumb;
    Layer_Calc_Box(x, first, cell, eye, thumb);
    if (PtInRect(pt, eye)) {
      part = 1;
      layerx = x;
      return true;
    }
    if (PtInRect(pt, cell)) {
      layerx = x;
      return true;
    }
  }
  return false;
}

int32 Find_Boundary(Point pt) {
  const a_layer_bar_desc& d = Desc();
  const int32 first = LayerBar_First_Visible();
  int32 best = 0, best_dist = 0;
  for (int32 x = d.last_id + 1; x >= first; --x) {
    Rect cell, eye, thumb;
    Layer_Calc_Box(x, first, cell, eye, thumb);
    if (pt.v < cell.top || pt.v >= cell.bottom) continue;
    const int32 dist = std::abs(int32(cell.left) - (int32(pt.h) - kBoundarySlack));
    if (best == 0 || dist < best_dist) {
      best = x;
      best_dist = dist;
    }
  }
  // The last layer dragged past itself stays where it is.
  if (best > d.last_id && g_drag_layer == d.last_id) best = d.last_id;
  // Nothing goes under the paint layer.
  const int32 paint = Paint_Layer();
  if (best != 0 && best <= paint) best = paint + 1;
  return best;
}

void Layer_Label(int32 layerx, char* label, int32 cap) {
  if (cap <= 0) return;
  const int32 index = layerx - FIRST_LAYER_ID;
  if (gs.curr_phase != COLLAGE_PHASE) {
    std::snprintf(label, size_t(cap), "%d", int(index + 1));
  } else if (index < 26) {
    std::snprintf(label, size_t(cap), "%c", char('A' + index));
  } else {
    std::snprintf(label, size_t(cap), "%c%c", char('A' + std::min<int32>(index / 26, 25)), char('A' + index % 26));
  }
}

void LayerBar_Paint(const Rect& bounds) {
  const a_layer_bar_desc& d = Desc();
  PushClip(bounds);
  SetForeColor24(kBarBack);
  PaintRect(bounds);
  const int32 first = LayerBar_First_Visible();
  for (int32 x = first; x <= d.last_id; ++x) {
    Rect cell, eye, thumb;
    Layer_Calc_Box(x, first, cell, eye, thumb);
    if (cell.left >= bounds.right) break;
    Draw_Cell(x, first);
  }
  if (t.status_tracking && g_insertpoint != 0) Draw_Insert_Mark(g_insertpoint, first);
  ForeColor(1);
  PopClip();
  t.old_thumb = first;
}

void LayerBar_PaintAll() { Custom_Paint(CUSTOM_LAYERS); }

void LayerBar_Inval() { Custom_Inval(CUSTOM_LAYERS); }

void LayerBar_MouseDown(const a_mousestroke& stroke) {
  int16 part = 0;
  int32 layerx = 0;
  const bool found = Find_Layer(part, layerx, stroke.lmouse);
  if (!stroke.button1) {
    if (found) {
      Cursor_Set_Shape(FINGER_CURSOR);
      Calc_Hover_PStatus(Object_Of_Layer(layerx));
    } else {
      Cursor_Set_Shape(ARROW_CURSOR);
      Calc_Default_PStatus();
    }
    return;
  }
  if (!found) {
    Sound_Effect(SND_OBJ_SELECT);
    Obj_Select_None();
    return;
  }
  if (part == 1)
    Track_LayerEye(layerx);
  else
    Track_LayerTab(layerx, stroke);
}

void LayerBar_Exit() { Calc_Default_PStatus(); }

void LayerBar_NonThumbAction(int16 part, HWND) {
  const int32 first = LayerBar_First_Visible();
  const int32 page = std::max<int32>(1, Cells_Shown() - 1);
  int32 next = first;
  switch (part) {
    case 0: next = first - 1; break;
    case 1: next = first + 1; break;
    case 2: next = first - page; break;
    case 3: next = first + page; break;
    case SCROLL_WHEEL: next = first + Cells_Shown() * g_wheel_delta; break;
    default: return;
  }
  next = std::clamp<int32>(next, Desc().first_id, Last_First());
  if (next == first) {
    Sound_Effect(SND_NULL);
    Sleep(1);
    return;
  }
  Set_First_Visible(next);
  Sound_Effect(SND_SUBTOOL_SLIDER);
  LayerBar_PaintAll();
}

void LayerBar_ThumbAction(int16, HWND) {
  if (LayerBar_First_Visible() != t.old_thumb) LayerBar_PaintAll();
}

bool8 LayerBar_Check_Hotzone(Point pt) {
  const uint32 now = TickCount();
  if (g_last_hotzone && now - *g_last_hotzone < LAYER_HOTZONE_TICKS) return false;
  const Rect& b = Desc().bounds;
  const int32 first = LayerBar_First_Visible();
  int32 next = first;
  if (pt.h < b.left + LAYER_HOTZONE)
    next = first - 1;
  else if (pt.h >= b.right - LAYER_HOTZONE && g_insertpoint <= Desc().last_id)
    next = first + 1;
  next = std::clamp<int32>(next, Desc().first_id, Last_First());
  if (next == first) return false;
  g_last_hotzone = now;
  Set_First_Visible(next);
  Sound_Effect(SND_SUBTOOL_SLIDER);
  return true;
}

void Jump_To_Layer(int32 omx, bool8 force) {
  HWND window;
  Rect box;
  if (!Bar_Shown(window, box)) return;
  const int32 layerx = Layer_Of_Object(omx);
  if (layerx == 0) return;
  const int32 first = LayerBar_First_Visible();
  const int32 last = first + Cells_Shown() - 1;
  if (layerx < first) {
    Set_First_Visible(layerx);
    LayerBar_Inval();
  } else if (layerx > last) {
    Set_First_Visible(std::max<int32>(Desc().first_id, layerx - Cells_Shown() + 1));
    LayerBar_Inval();
  } else if (force) {
    LayerBar_Inval();
  }
}

void Jump_To_First_Layer() {
  Set_First_Visible(Desc().first_id);
  LayerBar_Inval();
}

void Layer_Toggle_Visibility(int32 layerx) {
  const int32 omx = Object_Of_Layer(layerx);
  a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) return;
  Sound_Effect(SND_SUBTOOL_ONESHOT);
  item->flags = uint8(item->flags ^ OJ_Flag_Bit(VISIBLE_FLAG));
  Obj_PostRender(omx);
  LayerBar_Inval();
}

int32 LayerBar_Insert_Point() { return g_insertpoint; }

void VoskLayer_Init() {
  g_first = FIRST_LAYER_ID;
  g_insertpoint = 0;
  g_drag_layer = 0;
  g_last_hotzone.reset();
  Set_Scroll_Actions(SCROLL_LAYER_BAR, LayerBar_NonThumbAction, LayerBar_ThumbAction);
}
