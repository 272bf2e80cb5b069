#include "ui/VoskIntf.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

#include "doc/VoskPrin.h"
#include "host/HostClock.h"
#include "pixel/ArtKeys.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilList.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "pixel/TextUtil.h"
#include "platform/Controls.h"
#include "platform/Events.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysKey.h"
#include "platform/SysMenu.h"
#include "platform/SysSound.h"
#include "platform/SysWin.h"
#include "platform/UString.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "platform/VoskPref.h"
#include "platform/Windowv.h"
#include "doc/VoskDraw.h"
#include "doc/VoskPrev.h"
#include "ui/VoskBar.h"
#include "ui/VoskBrow.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDisp.h"
#include "ui/VoskFun2.h"
#include "ui/VoskSlid.h"
#include "ui/VoskStus.h"

void (*g_intf_key_observer)(const a_keystroke& key) = nullptr;
void (*g_intf_menu_observer)(int16, int16, bool8, bool8) = nullptr;
void (*g_intf_mouse_observer)(const a_mousestroke& stroke, bool8 docursor) = nullptr;
void (*g_intf_nav_observer)() = nullptr;

int16 g_config_depth = 0;
a_tracked_rec g_tracked = {};

namespace {

// --- Module state --------------------------------------------------------------------

// The two generations; index 0 of each is not a slot.
std::vector<a_node_rec> g_n[2];
// Slot numbers are 16-bit (the items' back pointers).
constexpr size_t kMaxSlots = 32767;

// The tool pictures. A deque: growing it leaves the entries where they are,
// so the items' pointers to them stay good.
std::deque<a_cached_tool> g_tool_cache;

// The last stroke seen, for leaving a node that a new description moved.
a_mousestroke g_last_stroke = {};
// Strokes being dispatched (a description closed meanwhile checks the
// tracked node once the dispatch is over).
int16 g_dispatch_depth = 0;
bool8 g_recheck_tracked = false;
// Whether this stroke may set the cursor where no item does.
bool8 g_docursor = true;

// The main window's paint procedure before ours: it shows the start-up
// picture while no description exists.
WinUpdateProc g_plain_update = nullptr;

constexpr a_node_rec kFreeNode = [] {
  a_node_rec n{};
  n.loc = FREE_LOCATOR;
  n.kind = UNUSED_NODE;
  return n;
}();

constexpr a_pixel24 kWhite{255, 255, 255};
constexpr a_pixel24 kBlack{0, 0, 0};
constexpr a_pixel24 kEmbedDark{29, 51, 85};
constexpr a_pixel24 kStripeLine{100, 100, 100};
constexpr int16 kFlashMillis = 5;
constexpr int16 kTipDelay = 60;
constexpr int16 kDimPercent = 30;

bool Same_Color(const a_pixel24& a, const a_pixel24& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
bool Same_Rect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
RECT To_RECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
bool Is_Free(const a_node_rec& n) { return n.kind == UNUSED_NODE; }

int16 Slots(a_node_age age) { return int16(g_n[age].empty() ? 0 : g_n[age].size() - 1); }

a_node_rec& Slot(a_node_age age, int16 nx) { return g_n[age][size_t(nx)]; }

// The screen's node nx, or NIL outside the used slots.
a_node_rec* Curr(int16 nx) {
  if (nx < 1 || nx > Slots(CURR)) return nullptr;
  a_node_rec& n = Slot(CURR, nx);
  return Is_Free(n) ? nullptr : &n;
}

// --- The item row of a node ----------------------------------------------------------

a_basic_item* Item_Of(const a_node_rec& n) {
  switch (n.kind) {
    case SLIDER_NODE:
      return Is_Slider(n.slider_ix) ? &g_sliders[n.slider_ix] : nullptr;
    case ONESHOT_NODE:
      return Is_OneShot(n.oneshot_ix) ? &g_oneshots[n.oneshot_ix] : nullptr;
    case ICONGRID_NODE:
      return Is_Grid(n.grid_ix) ? &g_grid[n.grid_ix] : nullptr;
    case TOGGLE_NODE:
      return Is_Toggle(n.toggle_ix) ? &g_toggles[n.toggle_ix] : nullptr;
    case CUSTOM_NODE:
      return Is_Custom(n.custom_ix) ? &g_custom[n.custom_ix] : nullptr;
    default:
      return nullptr;
  }
}

// The index of an item node within its table (labels: their alias).
int32 Item_Index(const a_node_rec& n) {
  switch (n.kind) {
    case SLIDER_NODE: return n.slider_ix;
    case ONESHOT_NODE: return n.oneshot_ix;
    case ICONGRID_NODE: return n.grid_ix;
    case TOGGLE_NODE: return n.toggle_ix;
    case CUSTOM_NODE: return n.custom_ix;
    case LABEL_NODE: return n.label_alias;
    default: return 0;
  }
}

// The display state of an item: its state procedure's answer, else the
// state last shown.
a_tri_state Item_State(const a_basic_item& item) { return item.hiproc != nullptr ? item.hiproc(0) : item.state; }

template <typename Table>
void Clear_Back_Pointers(Table& table) {
  for (auto& row : table) row.nodex = 0;
}

// The screen node of a shown item (NIL when it is not shown).
a_node_rec* Shown_Node(int16 nodex, a_node_kind kind) {
  a_node_rec* n = Curr(nodex);
  return n != nullptr && n->kind == kind ? n : nullptr;
}

// --- Windows and invalidation ------------------------------------------------------------

void Inval_In(HWND owner, const Rect& r) {
  if (owner == nullptr || EmptyRect(r)) return;
  const RECT rr = To_RECT(r);
  InvalidateRect(owner, &rr, false);
}

// The bounds of window node nx of generation age on the screen: its bounds
// moved by the top-left corner of every window node above it.
Rect Global_Bounds(a_node_age age, int16 nx) {
  const a_node_rec& w = Slot(age, nx);
  Rect g = w.nbounds;
  for (int16 i = 1; i <= Slots(age); ++i) {
    const a_node_rec& a = Slot(age, i);
    if (a.kind == WINDOW_NODE && Is_Node_Below(w.loc, a.loc)) OffsetRect(g, a.nbounds.left, a.nbounds.top);
  }
  return g;
}

bool Is_Child_Window(HWND w) { return (uint32(GetWindowLong(w, GWL_STYLE)) & WS_CHILD) != 0; }

// Moves and sizes the window of node nx of NEXT to its bounds (a child
// window within its parent, any other on the screen).
void Place_Window(int16 nx) {
  const a_node_rec& n = Slot(NEXT, nx);
  if (n.window_ptr == nullptr) return;
  const Rect at = Is_Child_Window(n.window_ptr) ? n.nbounds : Global_Bounds(NEXT, nx);
  MoveWindow(n.window_ptr, at.left, at.top, false);
  SizeWindow(n.window_ptr, int16(n.nbounds.right - n.nbounds.left), int16(n.nbounds.bottom - n.nbounds.top), true);
}

void Place_Control(const a_node_rec& n) {
  MoveControl(n.scroll_hdl, n.nbounds.left, n.nbounds.top);
  SizeControl(n.scroll_hdl, int16(n.nbounds.right - n.nbounds.left), int16(n.nbounds.bottom - n.nbounds.top));
}

void Close_Area(a_off_area& area) {
  if (area.gworld != nullptr) Off_Close(area);
  area = a_off_area{};
}

// --- The merge -------------------------------------------------------------------------

// A node of the screen that the new description has no more.
void Delete_Node(a_node_rec& n) {
  switch (n.kind) {
    case WINDOW_NODE:
      if (n.window_ptr != nullptr) HideWindow(n.window_ptr);
      break;
    case SCROLLBAR_NODE:
      if (n.scroll_hdl != nullptr) HideControl(n.scroll_hdl);
      break;
    case DIVISION_NODE:
    case UNUSED_NODE:
      break;
    default:
      Inval_In(n.nowner, n.nbounds);
      break;
  }
  Close_Area(n.noffarea);
}

// Whether the node is drawn through an offscreen area.
bool Needs_Area(const a_node_rec& n) {
  switch (n.kind) {
    case LABEL_NODE: return n.label_bopacity != 100;
    case CUSTOM_NODE: return n.custom_off;
    case ONESHOT_NODE:
    case ICONGRID_NODE:
    case TOGGLE_NODE: return true;
    default: return false;
  }
}

// A node of the new description that the screen has not.
void Insert_Node(int16 nx) {
  a_node_rec& n = Slot(NEXT, nx);
  switch (n.kind) {
    case WINDOW_NODE:
      if (n.window_ptr != nullptr) {
        Place_Window(nx);
        ShowWindow(n.window_ptr);
      }
      break;
    case SCROLLBAR_NODE:
      if (n.scroll_hdl != nullptr) {
        Place_Control(n);
        ShowControl(n.scroll_hdl);
      }
      break;
    case UNUSED_NODE:
      break;
    default:
      Inval_In(n.nowner, n.nbounds);
      break;
  }
  n.noffarea = a_off_area{};
  if (Needs_Area(n) && !EmptyRect(n.nbounds)) Off_Open(n.nbounds, n.noffarea);
  n.drawn = false;
}

// Whether what a label shows differs (beside its text, size and bounds).
bool Label_Look_Differs(const a_node_rec& a, const a_node_rec& b) {
  return !Same_Color(a.label_fore, b.label_fore) || !Same_Color(a.label_back, b.label_back) ||
         a.label_bopacity != b.label_bopacity || a.label_just != b.label_just || a.label_alias != b.label_alias;
}

// Old and new node with the same locator and kind.
void Merge_Same(a_node_rec& old, int16 nx) {
  a_node_rec& x = Slot(NEXT, nx);
  // The new node takes over the old one's area and drawing.
  x.noffarea = old.noffarea;
  x.drawn = old.drawn;
  const bool moved = !Same_Rect(old.nbounds, x.nbounds);
  auto replace = [&] {
    Delete_Node(old);
    Insert_Node(nx);
  };
  switch (x.kind) {
    case DIVISION_NODE: {
      const bool colored =
          old.division_decoration == DECORATION_SOLIDCOLOR || x.division_decoration == DECORATION_SOLIDCOLOR;
      if (moved || old.division_decoration != x.division_decoration ||
          (colored && !Same_Color(old.division_color, x.division_color))) {
        Inval_In(old.nowner, old.nbounds);
        Inval_In(x.nowner, x.nbounds);
      }
      break;
    }
    case WINDOW_NODE:
      if (old.window_ptr != x.window_ptr)
        replace();
      else if (moved)
        Place_Window(nx);
      break;
    case SCROLLBAR_NODE:
      if (old.scroll_hdl != x.scroll_hdl) {
        replace();
      } else if (moved && x.scroll_hdl != nullptr) {
        HideControl(x.scroll_hdl);
        Place_Control(x);
        ShowControl(x.scroll_hdl);
      }
      break;
    case LABEL_NODE:
      if (moved || old.label_strx != x.label_strx || old.label_size != x.label_size ||
          Needs_Area(old) != Needs_Area(x))
        replace();
      else if (Label_Look_Differs(old, x))
        Inval_In(x.nowner, x.nbounds);
      break;
    case DECORATION_NODE:
      if (moved || old.decorationx != x.decorationx) replace();
      break;
    case CUSTOM_NODE:
      if (moved || old.custom_ix != x.custom_ix || old.custom_off != x.custom_off) replace();
      break;
    case SLIDER_NODE:
    case ONESHOT_NODE:
    case ICONGRID_NODE:
    case TOGGLE_NODE:
      if (moved || Item_Index(old) != Item_Index(x)) replace();
      break;
    case UNUSED_NODE:
      break;
  }
}

const a_node_rec& At(a_node_age age, int16 nx) { return nx <= Slots(age) ? Slot(age, nx) : kFreeNode; }

void Merge() {
  int16 i = 1, j = 1;
  for (;;) {
    const a_locator lc = At(CURR, i).loc, ln = At(NEXT, j).loc;
    if (lc == FREE_LOCATOR && ln == FREE_LOCATOR) break;
    if (lc < ln) {
      Delete_Node(Slot(CURR, i++));
    } else if (ln < lc) {
      Insert_Node(j++);
    } else {
      a_node_rec& old = Slot(CURR, i++);
      if (old.kind != Slot(NEXT, j).kind) {
        Delete_Node(old);
        Insert_Node(j);
      } else {
        Merge_Same(old, j);
      }
      ++j;
    }
  }
}

void Set_Back_Pointers() {
  Clear_Back_Pointers(g_sliders);
  Clear_Back_Pointers(g_grid);
  Clear_Back_Pointers(g_oneshots);
  Clear_Back_Pointers(g_toggles);
  Clear_Back_Pointers(g_custom);
  for (int16 nx = 1; nx <= Slots(NEXT); ++nx) {
    const a_node_rec& n = Slot(NEXT, nx);
    if (Is_Free(n)) break;
    if (a_basic_item* item = Item_Of(n)) item->nodex = nx;
  }
}

// --- Tracking ----------------------------------------------------------------------------

// Two nodes are the same for the mouse: same kind, and for items the same
// row, for labels the same alias.
bool Same_For_Mouse(const a_node_rec& a, const a_node_rec& b) {
  return a.kind == b.kind && Item_Index(a) == Item_Index(b);
}

void Dispatch_To_Node(bool8 enterf, bool8 leavef, const a_mousestroke& stroke, const a_node_rec& node);

void Forget_Tracked() {
  g_tracked.node = kFreeNode;
  g_tracked.nx = 0;
  g_tracked.elementx = NO_ELEMENT;
}

// After a new description: a tracked node that is no more where it was is
// left; the next stroke finds what lies under the mouse afresh.
void Recheck_Tracked() {
  g_recheck_tracked = false;
  if (Is_Free(g_tracked.node)) return;
  const a_node_rec* now = Curr(g_tracked.nx);
  if (now != nullptr && now->loc == g_tracked.node.loc && Same_For_Mouse(*now, g_tracked.node) &&
      Same_Rect(now->nbounds, g_tracked.node.nbounds)) {
    g_tracked.node = *now;
    return;
  }
  const a_node_rec left = g_tracked.node;
  Forget_Tracked();
  Annot_Zap();
  ++g_dispatch_depth;
  Dispatch_To_Node(false, true, g_last_stroke, left);
  --g_dispatch_depth;
}

// --- Drawing ---------------------------------------------------------------------------

// Drawing of node nx: its window is the port, the node's area (if any) the world.
bool Begin_Node_Draw(int16 nx) {
  const a_node_rec* n = Curr(nx);
  if (n == nullptr || n->nowner == nullptr) return false;
  Push_Window(n->nowner);
  Node_PushOff(nx);
  return true;
}
void End_Node_Draw() {
  Node_PopAndUpdate();
  Pop_Window();
}

// The parent division of loc on the screen (NIL: none).
const a_node_rec* Parent_Division(a_locator loc) {
  const a_locator p = Parent_Locator(loc);
  for (int16 nx = 1; nx <= Slots(CURR); ++nx) {
    const a_node_rec& n = Slot(CURR, nx);
    if (Is_Free(n)) break;
    if (n.loc == p) return n.kind == DIVISION_NODE ? &n : nullptr;
  }
  return nullptr;
}

void Paint_Color(const a_pixel24& c, const Rect& r) {
  SetForeColor24(c);
  PaintRect(r);
  ForeColor(1);
}

// Paints a division's own background.
void Paint_Division_Look(const a_node_rec& d, const Rect& r) {
  if (d.division_decoration == DECORATION_SOLIDCOLOR)
    Paint_Color(d.division_color, r);
  else if (d.division_decoration != DECORATION_BARLINE)
    Draw_Decoration(d.division_decoration, r);
}

void Tile_Picture(a_pixt* p, const Rect& r) {
  if (p == nullptr || p->bits == nullptr || EmptyRect(r)) return;
  Pixt_Lock(*p);
  const Rect tile = p->pixmap.bounds;
  PixMap_FillRect(r, &p->pixmap, tile, 0, 0, 0, true, true);
  Pixt_Unlock(*p);
}

void Draw_Artwork(const a_basic_item& item, const Rect& src, const Rect& dst, int16 mode) {
  if (item.src_pixtptr == nullptr || item.src_pixtptr->bits == nullptr) return;
  Pixt_DrawPartial(*item.src_pixtptr, src, dst, mode, nullptr);
}

Rect Version_Rect(const a_basic_item& item, const Rect& r, int16 version) {
  Rect s = r;
  OffsetRect(s, int16(item.src_verh * version), int16(item.src_verv * version));
  return s;
}

// A one-shot drawn in the given state at node nx.
void Paint_OneShot_As(a_oneshot_enum ix, int16 nx, a_tri_state state) {
  a_oneshot_item& item = g_oneshots[ix];
  if (!Begin_Node_Draw(nx)) return;
  const a_node_rec& n = Slot(CURR, nx);
  const Rect b = n.nbounds;
  Draw_Node_Background(n.loc, b);
  if (state != HIDDEN_BUTTON) {
    const bool hilite = state == HILITE_BUTTON;
    const bool second = item.src_verh != 0 || item.src_verv != 0;
    const Rect src = Version_Rect(item, item.src_rect, hilite && second ? 1 : 0);
    if (item.one_draw != nullptr)
      item.one_draw(b, item.src_pixtptr);
    else
      Draw_Artwork(item, src, b, item.translucent ? ALPHA : transparent);
    Draw_Embed_String(item, 0, state, b);
    if (item.embed_color != nullptr) Draw_Embed_Color(*item.embed_color, b);
    if (hilite && !second) InvertRect(b);
    if (state == DIM_BUTTON) Dim_Out(kDimPercent, n.loc, b);
  }
  End_Node_Draw();
  item.state = state;
}

void Paint_OneShot_Node(int16 nx) {
  const a_node_rec* n = Curr(nx);
  if (n == nullptr || !Is_OneShot(n->oneshot_ix)) return;
  if (gs.controller == STEALTH) {
    Node_Inval3(nx);
    return;
  }
  if (gs.controller == GHOST2) return;
  Paint_OneShot_As(n->oneshot_ix, nx, OneShot_Get_State(n->oneshot_ix));
}

void Paint_Toggle_Node(int16 nx) {
  const a_node_rec* n = Curr(nx);
  if (n == nullptr || !Is_Toggle(n->toggle_ix)) return;
  if (gs.controller == STEALTH) {
    Node_Inval3(nx);
    return;
  }
  if (gs.controller == GHOST2) return;
  const a_toggle_enum ix = n->toggle_ix;
  a_toggle_item& item = g_toggles[ix];
  const a_tri_state state = Toggle_Get_State(ix);
  item.state = state;
  if (state == HIDDEN_BUTTON) return;
  if (!Begin_Node_Draw(nx)) return;
  const a_locator loc = n->loc;
  const Rect b = n->nbounds;
  Draw_Node_Background(loc, b);
  Draw_Artwork(item, Version_Rect(item, item.src_rect, gs.toggle_vals[ix] ? 1 : 0), b, transparent);
  Draw_Embed_String(item, 0, state, b);
  if (state == DIM_BUTTON) Dim_Out(kDimPercent, loc, b);
  End_Node_Draw();
}

// The cell of element e of the grid at node n, in window coordinates.
Rect Screen_Cell(const a_node_rec& n, a_grid_enum ix, int16 e) {
  Rect cell;
  Calc_Grid_Cell(false, ix, e, cell);
  OffsetRect(cell, n.nbounds.left, n.nbounds.top);
  return cell;
}

// One cell into the current port.
void Draw_Grid_Cell(const a_node_rec& n, a_grid_enum ix, int16 e) {
  const a_grid_item& item = g_grid[ix];
  const Rect cell = Screen_Cell(n, ix, e);
  Rect src;
  Calc_Grid_Cell(true, ix, e, src);
  OffsetRect(src, item.src_rect.left, item.src_rect.top);
  const bool8 current = Grid_Get_State(ix, e);
  src = Version_Rect(item, src, current ? 1 : 0);
  Draw_Node_Background(n.loc, cell);
  Draw_Artwork(item, src, cell, item.translucent ? ALPHA : transparent);
  Draw_Embed_String(item, e, current ? HILITE_BUTTON : PLAIN_BUTTON, cell);
}

void Paint_Grid_Node(int16 nx) {
  const a_node_rec* n = Curr(nx);
  if (n == nullptr || !Is_Grid(n->grid_ix)) return;
  if (gs.controller == STEALTH) {
    Node_Inval3(nx);
    return;
  }
  if (gs.controller == GHOST2) return;
  if (!Begin_Node_Draw(nx)) return;
  const a_grid_enum ix = n->grid_ix;
  const a_grid_item& item = g_grid[ix];
  const Rect b = n->nbounds;
  Draw_Node_Background(n->loc, b);
  const int16 count = Grid_Elements(ix);
  for (int16 e = 0; e < count; ++e) Draw_Grid_Cell(*n, ix, e);
  const int16 s = item.grid_shadow;
  if (s > 0) {
    const Rect& a = item.src_rect;
    const int16 mode = item.translucent ? ALPHA : transparent;
    Draw_Artwork(item, Rect{a.top, int16(a.right - s), a.bottom, a.right}, Rect{b.top, int16(b.right - s), b.bottom, b.right},
                 mode);
    Draw_Artwork(item, Rect{int16(a.bottom - s), a.left, a.bottom, a.right},
                 Rect{int16(b.bottom - s), b.left, b.bottom, b.right}, mode);
  }
  End_Node_Draw();
}

void Paint_Custom_Node(int16 nx) {
  const a_node_rec* n = Curr(nx);
  if (n == nullptr || !Is_Custom(n->custom_ix)) return;
  if (gs.controller == STEALTH) {
    Node_Inval3(nx);
    return;
  }
  const a_custom_draw_proc draw = g_custom[n->custom_ix].custom_draw;
  if (n->nowner == nullptr) return;
  const Rect b = n->nbounds;
  Push_Window(n->nowner);
  if (draw != nullptr) {
    draw(b);
  } else {
    // An area whose owner paints nothing yet shows its division's
    // background, or the pasteboard where the division paints none.
    const a_node_rec* d = Parent_Division(n->loc);
    if (d == nullptr || d->division_decoration == DECORATION_NOPAINT)
      Draw_PasteBoard_Rect(b);
    else
      Draw_Node_Background(n->loc, b);
  }
  Pop_Window();
}

// The division's look over the part r of it.
void Paint_Division(const a_node_rec& d, const Rect& r) {
  Paint_Division_Look(d, r);
  if (d.division_decoration == DECORATION_STRIPED_RT && d.nbounds.right > d.nbounds.left) {
    SetForeColor24(kStripeLine);
    MoveTo(int16(d.nbounds.right - 1), d.nbounds.top);
    LineTo(int16(d.nbounds.right - 1), int16(d.nbounds.bottom - 1));
    ForeColor(1);
  }
}

// The decoration of node nx over the part r of it.
void Paint_Decoration_Part(int16 nx, const Rect& r) {
  const a_node_rec* n = Curr(nx);
  if (n == nullptr || n->nowner == nullptr) return;
  if (n->decorationx == DECORATION_SOLIDCOLOR || n->decorationx == DECORATION_BARLINE) return;
  const a_decoration d = n->decorationx;
  Push_Window(n->nowner);
  Draw_Decoration(d, r);
  Pop_Window();
}
void Paint_Decoration_Node(int16 nx) {
  if (const a_node_rec* n = Curr(nx)) Paint_Decoration_Part(nx, n->nbounds);
}

// --- The main window ---------------------------------------------------------------------

void Main_Window_Paint(HostWindow* window) {
  if (Node_Used(CURR) == 0) {
    if (g_plain_update != nullptr) g_plain_update(window);
    return;
  }
  Intf_Paint(window);
}

// --- Input -------------------------------------------------------------------------------

void Set_Cursor(a_cursor_shape shape) {
  if (shape == ARROW_CURSOR && !g_docursor) return;
  Cursor_Set_Shape(shape);
}

void Ask_Tip(a_annot_kind kind, int16 ix, int16 subx, const a_node_rec& node) {
  a_annot_spec spec{};
  spec.kind = kind;
  spec.just = JUST_CENTER;
  spec.ix = ix;
  spec.subx = subx;
  spec.delay1 = kTipDelay;
  spec.delay2 = kTipDelay;
  spec.gref = Client_To_Screen_Rect(node.nowner, node.nbounds);
  Annot_Set_Targ(spec);
}

void Oneshot_Track(bool8 leavef, const a_mousestroke& stroke, const a_node_rec& node) {
  if (leavef) return;
  const a_oneshot_enum ix = node.oneshot_ix;
  Set_Cursor(FINGER_CURSOR);
  if (stroke.button1) {
    Annot_Zap();
    Oneshot_Click(ix);
  } else if (!g_oneshots[ix].embed_flag) {
    Ask_Tip(ANNOT_ONESHOT, ix, 0, node);
  }
}

void Toggle_Track(bool8 leavef, const a_mousestroke& stroke, const a_node_rec& node) {
  if (leavef) return;
  Set_Cursor(FINGER_CURSOR);
  if (stroke.button1) {
    Annot_Zap();
    Toggle_Click(node.toggle_ix);
  } else {
    Ask_Tip(ANNOT_TOGGLE, node.toggle_ix, 0, node);
  }
}

void Grid_Track(bool8 leavef, const a_mousestroke& stroke, const a_node_rec& node) {
  if (leavef) return;
  const a_grid_enum ix = node.grid_ix;
  Set_Cursor(FINGER_CURSOR);
  const int16 e = Grid_Find_Element(stroke.lmouse, ix);
  g_tracked.elementx = e;
  if (stroke.button1) {
    if (e == NO_ELEMENT)
      Sound_Effect(SND_NULL);
    else
      Grid_Click(ix, e);
  } else if (e == NO_ELEMENT) {
    Annot_Zap();
  } else {
    Ask_Tip(ANNOT_GRID, ix, e, node);
  }
}

void Custom_Track(bool8 leavef, const a_mousestroke& stroke, const a_node_rec& node) {
  const a_custom_item& item = g_custom[node.custom_ix];
  if (leavef) {
    if (item.custom_exit != nullptr) item.custom_exit();
  } else if (item.custom_hit != nullptr) {
    item.custom_hit(stroke);
  } else {
    Set_Cursor(ARROW_CURSOR);
  }
}

void Dispatch_To_Node(bool8 enterf, bool8 leavef, const a_mousestroke& stroke, const a_node_rec& node) {
  switch (node.kind) {
    case SLIDER_NODE:
      if (Is_Slider(node.slider_ix)) Slider_Track(enterf, leavef, stroke, node.slider_ix);
      break;
    case ONESHOT_NODE:
      if (Is_OneShot(node.oneshot_ix)) Oneshot_Track(leavef, stroke, node);
      break;
    case ICONGRID_NODE:
      if (Is_Grid(node.grid_ix)) Grid_Track(leavef, stroke, node);
      break;
    case TOGGLE_NODE:
      if (Is_Toggle(node.toggle_ix)) Toggle_Track(leavef, stroke, node);
      break;
    case CUSTOM_NODE:
      if (Is_Custom(node.custom_ix)) Custom_Track(leavef, stroke, node);
      break;
    default:
      if (!leavef) Set_Cursor(ARROW_CURSOR);
      break;
  }
}

// The first item node of the window holding pt; a hidden toggle, one-shot or
// slider there hides everything beneath it. 0: none.
int16 Find_Node(HWND window, Point pt) {
  for (int16 nx = 1; nx <= Slots(CURR); ++nx) {
    const a_node_rec& n = Slot(CURR, nx);
    if (Is_Free(n)) break;
    if (!Is_Item_Kind(n.kind) || n.nowner != window || !PtInRect(pt, n.nbounds)) continue;
    a_tri_state state = PLAIN_BUTTON;
    if (n.kind == TOGGLE_NODE && Is_Toggle(n.toggle_ix))
      state = Toggle_Get_State(n.toggle_ix);
    else if (n.kind == ONESHOT_NODE && Is_OneShot(n.oneshot_ix))
      state = OneShot_Get_State(n.oneshot_ix);
    else if (n.kind == SLIDER_NODE && Is_Slider(n.slider_ix))
      state = Slider_Get_State(n.slider_ix);
    return state == HIDDEN_BUTTON ? 0 : nx;
  }
  return 0;
}

// The step buttons of the sliders shown whose look follows the key.
void Redraw_Step_Buttons(bool8 big) {
  for (int16 s = 0; s < NSLIDERS; ++s) {
    if (g_sliders[size_t(s)].nodex == 0) continue;
    const a_slider_enum sl = a_slider_enum(s);
    if (big ? Is_Slider_Biggable(sl) : Is_Slider_Tinyable(sl)) Slider_Draw_PlusMinus(sl);
  }
}

// --- Tool pictures ---------------------------------------------------------------------

int16 Language_Id(int16 id) {
  if (id < ART_PICT_LANGUAGE_FIRST || id > ART_PICT_LANGUAGE_LAST) return id;
  const int32 lid = int32(id) + Current_Language();
  return lid != id && lid <= 32767 && Pixt_Exists(int16(lid)) ? int16(lid) : id;
}

void Add_Ref(int16 id, a_pixt*& ptr) {
  ptr = nullptr;
  if (id == 0) return;
  const int16 lid = Language_Id(id);
  a_cached_tool* free_entry = nullptr;
  for (a_cached_tool& e : g_tool_cache) {
    if (e.nref >= 0 && e.id == lid) {
      ++e.nref;
      ptr = &e.pixt;
      return;
    }
    if (e.nref < 0 && free_entry == nullptr) free_entry = &e;
  }
  if (free_entry == nullptr) free_entry = &g_tool_cache.emplace_back();
  Null_Pixt(free_entry->pixt);
  free_entry->id = lid;
  free_entry->nref = 1;
  Pixt_Load(lid, free_entry->pixt);
  ptr = &free_entry->pixt;
}

template <typename Table>
void Clear_Pictures(Table& table) {
  for (auto& row : table) row.src_pixtptr = nullptr;
}

void Free_Tool_Cache() {
  for (a_cached_tool& e : g_tool_cache)
    if (e.nref >= 0) Pixt_Unload(e.pixt);
  g_tool_cache.clear();
  Clear_Pictures(g_sliders);
  Clear_Pictures(g_grid);
  Clear_Pictures(g_oneshots);
  Clear_Pictures(g_toggles);
}

// --- Start and stop ----------------------------------------------------------------------

void No_Node_PushOff(int16) {}
void No_Node_PopAndUpdate() {}

// Whether each push in force pushed an area.
constexpr int kMaxNodePush = 4;
// Per push: 0 nothing pushed, 1 the node's area, 2 also its window (no
// port was current: a list painted outside the window's paint).
uint8 g_node_pushed[kMaxNodePush];
int g_node_npush = 0;

void Close_All_Nodes() {
  // NEXT shares the areas of CURR between descriptions; an open description
  // holds areas of its own only for nodes it inserted, which it has not yet.
  if (!g_n[CURR].empty())
    for (size_t i = 1; i < g_n[CURR].size(); ++i) Close_Area(g_n[CURR][i].noffarea);
  g_n[CURR].assign(1, kFreeNode);
  g_n[NEXT].assign(1, kFreeNode);
  g_config_depth = 0;
  g_node_npush = 0;
  g_tracked = a_tracked_rec{};
  Forget_Tracked();
  g_recheck_tracked = false;
  g_dispatch_depth = 0;
  Clear_Back_Pointers(g_sliders);
  Clear_Back_Pointers(g_grid);
  Clear_Back_Pointers(g_oneshots);
  Clear_Back_Pointers(g_toggles);
  Clear_Back_Pointers(g_custom);
  Free_Tool_Cache();
}

}  // namespace

// --- Locators --------------------------------------------------------------------------

bool8 Is_Node_Below(a_locator child, a_locator parent) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    const uint32 p = (parent >> shift) & 0xFF, c = (child >> shift) & 0xFF;
    if (p == 0) return c != 0;
    if (p != c) return false;
  }
  return false;
}

a_locator Parent_Locator(a_locator loc) {
  for (int shift = 0; shift <= 24; shift += 8)
    if (((loc >> shift) & 0xFF) != 0) return loc & ~(a_locator(0xFF) << shift);
  return 0;
}

// --- Nodes -------------------------------------------------------------------------------

int16 Node_Slots(a_node_age age) { return Slots(age); }

int16 Node_Used(a_node_age age) {
  int16 used = 0;
  for (int16 nx = 1; nx <= Slots(age); ++nx)
    if (!Is_Free(Slot(age, nx))) used = nx;
  return used;
}

const a_node_rec& Node_Get(a_node_age age, int16 nx) {
  if (nx < 1 || nx > Slots(age)) return kFreeNode;
  return Slot(age, nx);
}

// --- Descriptions --------------------------------------------------------------------------

void Node_BeginConfigAll(bool8 menubar, Rect& total) {
  Recalc_Menubar_Config();
  if (menubar)
    Menus_Show();
  else
    Menus_Hide();
  Node_BeginConfig(0, total);
}

void Node_BeginConfig(a_locator loc, Rect& total) {
  Annot_Zap();
  total = gs.pref.tot_window;
  Rect frame{0, 0, 0, 0};
  if (gs.outer_window != nullptr) Calc_Window_Frame(gs.outer_window, frame);
  total.left = int16(total.left + frame.left);
  total.top = int16(total.top + frame.top);
  total.right = int16(total.right - frame.right);
  total.bottom = int16(total.bottom - frame.bottom);
  if (g_config_depth == 0) {
    g_n[NEXT] = g_n[CURR];
    for (size_t i = 1; i < g_n[NEXT].size(); ++i)
      if (Is_Node_Below(g_n[NEXT][i].loc, loc)) g_n[NEXT][i] = kFreeNode;
  }
  if (loc != 0)
    if (const int16 nx = Find_Next_Node(loc)) total = Slot(NEXT, nx).nbounds;
  ++g_config_depth;
}

void Node_EndConfig() {
  if (g_config_depth <= 0) return;
  if (--g_config_depth > 0) return;
  std::vector<a_node_rec>& next = g_n[NEXT];
  std::stable_sort(next.begin() + 1, next.end(),
                   [](const a_node_rec& a, const a_node_rec& b) { return a.loc < b.loc; });
  Set_Back_Pointers();
  Merge();
  g_n[CURR] = g_n[NEXT];
  Load_Tool_Pixt();
  if (g_dispatch_depth > 0)
    g_recheck_tracked = true;
  else
    Recheck_Tracked();
}

namespace {

// The lowest free slot of the description, grown when all are used (0: no
// description open, or no slot number left).
int16 New_Slot(a_locator loc) {
  if (g_config_depth <= 0 || loc == FREE_LOCATOR) return 0;
  std::vector<a_node_rec>& next = g_n[NEXT];
  for (size_t i = 1; i < next.size(); ++i)
    if (Is_Free(next[i])) return int16(i);
  if (next.size() > kMaxSlots) return 0;
  next.push_back(kFreeNode);
  return int16(next.size() - 1);
}

// The window of the deepest window node above loc in the description (NIL: none).
HWND Owner_Of(a_locator loc) {
  const a_node_rec* best = nullptr;
  for (size_t i = 1; i < g_n[NEXT].size(); ++i) {
    const a_node_rec& n = g_n[NEXT][i];
    if (n.kind == WINDOW_NODE && Is_Node_Below(loc, n.loc) && (best == nullptr || n.loc > best->loc)) best = &n;
  }
  return best != nullptr ? best->window_ptr : nullptr;
}

// Fills a new node of the description; NIL when there is no slot.
a_node_rec* Add_Node(a_locator loc, const Rect& bounds, a_node_kind kind) {
  const int16 nx = New_Slot(loc);
  if (nx == 0) return nullptr;
  const HWND owner = Owner_Of(loc);
  a_node_rec& n = Slot(NEXT, nx);
  n = a_node_rec{};
  n.loc = loc;
  n.nbounds = bounds;
  n.nowner = owner;
  n.kind = kind;
  return &n;
}

// An item node of the size of its artwork, and the pen moved on.
a_node_rec* Add_Item(a_locator loc, Point& corner, int16 dx, int16 dy, const a_basic_item& item, a_node_kind kind,
                     int16 shift_h) {
  const int16 w = int16(item.src_rect.right - item.src_rect.left);
  const int16 h = int16(item.src_rect.bottom - item.src_rect.top);
  const int16 left = int16(corner.h + shift_h);
  a_node_rec* n = Add_Node(loc, Rect{corner.v, left, int16(corner.v + h), int16(left + w)}, kind);
  if (dx > 0) corner.h = int16(corner.h + w);
  if (dy > 0) corner.v = int16(corner.v + h);
  return n;
}

}  // namespace

void Node_Add_Window(a_locator loc, const Rect& bounds, HWND window, Rect& gbounds) {
  gbounds = bounds;
  a_node_rec* n = Add_Node(loc, bounds, WINDOW_NODE);
  if (n == nullptr) return;
  n->window_ptr = window;
  for (size_t i = 1; i < g_n[NEXT].size(); ++i) {
    const a_node_rec& a = g_n[NEXT][i];
    if (a.kind == WINDOW_NODE && Is_Node_Below(loc, a.loc)) OffsetRect(gbounds, a.nbounds.left, a.nbounds.top);
  }
}

void Node_Add_Division(a_locator loc, const Rect& bounds, a_decoration decor, a_pixel24 color) {
  if (g_config_depth > 0 && Owner_Of(loc) == nullptr) {
    QUIT();
    return;
  }
  a_node_rec* n = Add_Node(loc, bounds, DIVISION_NODE);
  if (n == nullptr) return;
  n->division_decoration = decor;
  n->division_color = color;
}

void Node_Add_Custom(a_locator loc, const Rect& bounds, bool8 needoff, a_custom_enum ix) {
  if (g_config_depth > 0 && Owner_Of(loc) == nullptr) {
    QUIT();
    return;
  }
  a_node_rec* n = Add_Node(loc, bounds, CUSTOM_NODE);
  if (n == nullptr) return;
  n->custom_ix = ix;
  n->custom_off = needoff;
}

void Node_Add_ScrollBar(a_locator loc, const Rect& bar_bounds, int32 bar_priority, ControlHandle bar_hdl) {
  a_node_rec* n = Add_Node(loc, bar_bounds, SCROLLBAR_NODE);
  if (n == nullptr) return;
  n->scroll_hdl = bar_hdl;
  n->scroll_priority = bar_priority;
}

void Node_Add_Label(a_locator loc, const Rect& bbox, a_pixel24 fore, a_pixel24 back, uint16 bopacity, int16 strx,
                    a_horz_just just, int16 size, int16 alias) {
  a_node_rec* n = Add_Node(loc, bbox, LABEL_NODE);
  if (n == nullptr) return;
  n->label_fore = fore;
  n->label_back = back;
  n->label_bopacity = bopacity;
  n->label_strx = strx;
  n->label_just = just;
  n->label_size = size;
  n->label_alias = alias;
}

void Node_Add_Decoration(a_locator loc, const Rect& bbox, a_decoration dx) {
  a_node_rec* n = Add_Node(loc, bbox, DECORATION_NODE);
  if (n != nullptr) n->decorationx = dx;
}

void Node_Add_OneShot(a_locator loc, Point& corner, int16 dx, int16 dy, a_oneshot_enum ix) {
  if (!Is_OneShot(ix)) return;
  if (a_node_rec* n = Add_Item(loc, corner, dx, dy, g_oneshots[ix], ONESHOT_NODE, 0)) n->oneshot_ix = ix;
}

void Node_Add_Toggle(a_locator loc, Point& corner, int16 dx, int16 dy, a_toggle_enum ix) {
  if (!Is_Toggle(ix)) return;
  if (a_node_rec* n = Add_Item(loc, corner, dx, dy, g_toggles[ix], TOGGLE_NODE, 0)) n->toggle_ix = ix;
}

void Node_Add_Grid(a_locator loc, Point& corner, int16 dx, int16 dy, a_grid_enum ix) {
  if (!Is_Grid(ix)) return;
  if (a_node_rec* n = Add_Item(loc, corner, dx, dy, g_grid[ix], ICONGRID_NODE, 0)) n->grid_ix = ix;
}

void Node_Add_Slider(a_locator loc, Point& corner, int16 dx, int16 dy, a_slider_enum ix) {
  if (!Is_Slider(ix)) return;
  if (a_node_rec* n = Add_Item(loc, corner, dx, dy, g_sliders[ix], SLIDER_NODE, SLIDER_NODE_DH)) n->slider_ix = ix;
}

// --- Queries -----------------------------------------------------------------------------

bool8 Node_Exists(a_locator loc) {
  const a_node_age age = g_config_depth > 0 ? NEXT : CURR;
  for (int16 nx = 1; nx <= Slots(age); ++nx)
    if (!Is_Free(Slot(age, nx)) && Slot(age, nx).loc == loc) return true;
  return false;
}

int16 Find_Next_Node(a_locator loc) {
  if (loc == FREE_LOCATOR) return 0;
  for (int16 nx = 1; nx <= Slots(NEXT); ++nx)
    if (Slot(NEXT, nx).loc == loc) return nx;
  return 0;
}

int16 Find_Parent_Node(a_locator loc) { return loc == 0 ? 0 : Find_Next_Node(Parent_Locator(loc)); }

bool8 Custom_Get_Info(a_custom_enum ix, HWND& window, Rect& bounds) {
  if (!Is_Custom(ix)) return false;
  const a_node_rec* n = Shown_Node(g_custom[ix].nodex, CUSTOM_NODE);
  if (n == nullptr) return false;
  window = n->nowner;
  bounds = n->nbounds;
  return true;
}

ControlHandle Find_Priority_Scrollbar() {
  const a_node_rec* best = nullptr;
  for (int16 nx = 1; nx <= Slots(CURR); ++nx) {
    const a_node_rec& n = Slot(CURR, nx);
    if (Is_Free(n)) break;
    if (n.kind == SCROLLBAR_NODE && (best == nullptr || n.scroll_priority > best->scroll_priority)) best = &n;
  }
  return best != nullptr ? best->scroll_hdl : nullptr;
}

a_locator NX_To_Loc(int16 nx) {
  const a_node_rec* n = Curr(nx);
  return n != nullptr ? n->loc : FREE_LOCATOR;
}

// --- Painting and invalidation -------------------------------------------------------------

void Intf_Paint(HWND window) {
  // The pictures that tile divisions and decorations are copied without
  // the port's clip, over whole rectangles: the clip becomes its box, they
  // are painted over that box, and every node that meets it is painted
  // again.
  Rect box{-32768, -32768, 32767, 32767};
  RECT clip{};
  if (theHDC != nullptr && GetClipBox(theHDC, &clip) > NULLREGION) {
    box = Rect{int16(clip.top), int16(clip.left), int16(clip.bottom), int16(clip.right)};
    POINT corners[2] = {{clip.left, clip.top}, {clip.right, clip.bottom}};
    LPtoDP(theHDC, corners, 2);
    HRGN rgn = CreateRectRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    SelectClipRgn(theHDC, rgn);
    DeleteRgn(rgn);
  }
  for (int16 nx = 1; nx <= Slots(CURR); ++nx) {
    const a_node_rec& n = Slot(CURR, nx);
    if (Is_Free(n)) break;
    if (window != nullptr && n.nowner != window) continue;
    Rect part;
    if (n.kind == WINDOW_NODE || !SectRect(n.nbounds, box, part)) continue;
    if (n.kind == DIVISION_NODE) {
      if (IsRectVisible(part)) Paint_Division(n, part);
    } else if (n.kind == DECORATION_NODE) {
      Paint_Decoration_Part(nx, part);
      if (a_node_rec* still = Curr(nx)) still->drawn = true;
    } else {
      Node_Paint1(nx);
    }
  }
}

void Node_Paint1(int16 nx) {
  const a_node_rec* n = Curr(nx);
  if (n == nullptr) return;
  switch (n->kind) {
    case SLIDER_NODE:
      if (Is_Slider(n->slider_ix)) Slider_Paint(n->slider_ix);
      break;
    case ONESHOT_NODE:
      Paint_OneShot_Node(nx);
      break;
    case ICONGRID_NODE:
      Paint_Grid_Node(nx);
      break;
    case TOGGLE_NODE:
      Paint_Toggle_Node(nx);
      break;
    case LABEL_NODE:
      Draw_Label(nx);
      break;
    case DECORATION_NODE:
      Paint_Decoration_Node(nx);
      break;
    case CUSTOM_NODE:
      Paint_Custom_Node(nx);
      break;
    default:
      break;  // scroll bars draw themselves
  }
  // The paint may have described the tree again.
  if (a_node_rec* still = Curr(nx)) still->drawn = true;
}

void Node_Paint(a_locator loc) {
  for (int16 nx = 1; nx <= Slots(CURR); ++nx) {
    const a_node_rec& n = Slot(CURR, nx);
    if (Is_Free(n)) break;
    if (n.loc == loc || Is_Node_Below(n.loc, loc)) Node_Paint1(nx);
  }
}

void Node_Inval(a_locator loc) {
  for (int16 nx = 1; nx <= Slots(CURR); ++nx) {
    const a_node_rec& n = Slot(CURR, nx);
    if (Is_Free(n)) break;
    if (n.loc == loc || Is_Node_Below(n.loc, loc)) Node_Inval3(nx);
  }
}

void Node_Inval3(int16 nx) {
  const a_node_rec* n = Curr(nx);
  if (n == nullptr) return;
  if (n->kind == WINDOW_NODE) {
    if (n->window_ptr != nullptr) Invalidate_Window(n->window_ptr);
    return;
  }
  Inval_In(n->nowner, n->nbounds);
}

void Slider_Inval(a_slider_enum ix) {
  if (Is_Slider(ix)) Node_Inval3(g_sliders[ix].nodex);
}
void OneShot_Inval(a_oneshot_enum ix) {
  if (Is_OneShot(ix)) Node_Inval3(g_oneshots[ix].nodex);
}
void Grid_Inval(a_grid_enum ix) {
  if (Is_Grid(ix)) Node_Inval3(g_grid[ix].nodex);
}
void Toggle_Inval(a_toggle_enum ix) {
  if (Is_Toggle(ix)) Node_Inval3(g_toggles[ix].nodex);
}
void Custom_Inval(int16 customx) {
  if (!Is_Custom(customx)) return;
  Node_Inval3(g_custom[size_t(customx)].nodex);
}

void Custom_Paint(a_custom_enum ix) {
  if (Is_Custom(ix) && Shown_Node(g_custom[ix].nodex, CUSTOM_NODE) != nullptr) Paint_Custom_Node(g_custom[ix].nodex);
}

void Draw_Node_Background(a_locator loc, const Rect& rect) {
  const a_node_rec* d = Parent_Division(loc);
  if (d == nullptr) return;
  Paint_Division_Look(*d, rect);
  // The decorations of the division that lie under the node (a translucent
  // tag stands on its blue line).
  for (int16 nx = 1; nx <= Slots(CURR); ++nx) {
    const a_node_rec& n = Slot(CURR, nx);
    if (Is_Free(n) || n.loc >= loc) break;
    Rect part;
    if (n.kind != DECORATION_NODE || Parent_Locator(n.loc) != d->loc || !SectRect(n.nbounds, rect, part)) continue;
    if (n.decorationx != DECORATION_SOLIDCOLOR && n.decorationx != DECORATION_BARLINE) Draw_Decoration(n.decorationx, part);
  }
}

void Dim_Out(int16 percent, a_locator loc, const Rect& rect) {
  if (percent >= 100 || EmptyRect(rect) || Parent_Division(loc) == nullptr) return;
  GWorldPtr back = nullptr;
  if (New_GWorld(rect, 32, nullptr, back) != noErr || back == nullptr) return;
  Push_GWorld(back);
  Draw_Node_Background(loc, rect);
  Pop_GWorld();
  Set_Blend_Value(uint16(100 - std::max<int16>(percent, 0)));
  Port_To_Port(back, theGWorld, rect, rect, blend, nullptr);
  Set_Blend_Value(100);
  Dispose_GWorld(back);
}

void Draw_Decoration(a_decoration decor, const Rect& rect) {
  switch (decor) {
    case DECORATION_NOPAINT:
      break;
    case DECORATION_STRIPED:
    case DECORATION_STRIPED_RT:
      Fill_LightStripe(rect);
      break;
    case DECORATION_DARKSTRIPE:
      Fill_DarkStripe(rect);
      break;
    case DECORATION_BLUELINE:
      Tile_Picture(gs.blueline_pattern, rect);
      break;
    case DECORATION_PARQUET:
      Tile_Picture(gs.parquet_pattern, rect);
      break;
    case DECORATION_DOTTED:
      ForeColor(1);
      BackColor(0);
      FillRect(rect, gs.pasteboard_pat);
      break;
    case DECORATION_SOLIDGRAY:
      Draw_PasteBoard_Rect(rect);
      break;
    default:
      QUIT();
      break;
  }
}

void Fill_LightStripe(const Rect& rect) { Tile_Picture(gs.light_pattern, rect); }
void Fill_DarkStripe(const Rect& rect) { Tile_Picture(gs.dark_pattern, rect); }

void Draw_Label(int16 nx) {
  const a_node_rec* n = Curr(nx);
  if (n == nullptr || n->kind != LABEL_NODE) return;
  const a_node_rec label = *n;
  if (!Begin_Node_Draw(nx)) return;
  const Rect b = label.nbounds;
  Draw_Node_Background(label.loc, b);
  if (!Same_Color(label.label_back, kWhite)) {
    const int16 h = int16(b.bottom - b.top);
    SetForeColor24(label.label_back);
    PaintRoundRect(b, h, h);
    ForeColor(1);
  }
  if (label.label_bopacity != 100) Dim_Out(int16(label.label_bopacity), label.loc, b);
  uStr255 text{};
  if (label.label_strx < 0)
    Get_Dynamic_UString(label.label_strx, text);
  else
    Get_Translated_UString(text, STRLIST_DLOG, label.label_strx);
  a_fontspec font = gs.font_14pt;
  if (label.label_size == 24)
    font = gs.font_24pt;
  else if (label.label_size == 18)
    font = gs.font_18pt;
  else if (label.label_size > 0)
    font.size = label.label_size;
  SetForeColor24(label.label_fore);
  TextMode(srcOr);
  Draw_UString_Fit(label.label_just, font, text, b);
  ForeColor(1);
  End_Node_Draw();
}

void Append_Tenths(int16 tenths, UStrSpan uss) {
  char s[32];
  int32 v = tenths;
  int p = 0;
  if (v < 0) s[p++] = '-';
  if (v > 0) s[p++] = '+';
  if (v < 0) v = -v;
  p += std::snprintf(s + p, sizeof s - size_t(p), "%d", int(v / 10));
  if (v % 10 != 0) {
    char mark = '.';
    Get_Decimal_Mark(mark);
    s[p++] = mark;
    s[p++] = char('0' + v % 10);
  }
  std::snprintf(s + p, sizeof s - size_t(p), " mm");
  uAppendAscii(s, uss);
}

void Get_Dynamic_UString(int16 strx, UStrSpan uss) {
  if (uss.empty()) return;
  uss[0] = 0;
  switch (strx) {
    case -1:
    case -2: {
      a_print_media_spec specs{};
      Get_Media_Specs(specs);
      uStrCopyAscii(strx == -1 ? "X: " : "Y: ", uss);
      Append_Tenths(strx == -1 ? specs.nudge.h : specs.nudge.v, uss);
      break;
    }
    case -3:
      Get_Template_Name(uss);
      break;
    case -4: {
      char s[16];
      std::snprintf(s, sizeof s, "%d", int(Examples_Page()));
      uStrCopyAscii(s, uss);
      break;
    }
    default:
      break;
  }
}

void Draw_Embed_String(const a_basic_item& item, int16 element, a_tri_state state, const Rect& rect) {
  if (!item.embed_flag) return;
  uStr255 text{};
  if (item.string_calc != nullptr)
    item.string_calc(element, UStrSpan(text));
  else
    Get_Translated_UString(text, STRLIST_DLOG, int16(item.stringx + element));
  a_fontspec font = gs.font_14pt;
  if (item.embed_fontsize != 0) font.size = item.embed_fontsize;
  SetForeColor24(state == PLAIN_BUTTON ? kBlack : kEmbedDark);
  TextMode(srcOr);
  if (item.embed_just == JUST_LEFT) {
    DrawUStringLeft(font, text, rect, item.embed_dx, item.embed_dy);
  } else {
    Rect r = rect;
    r.left = int16(r.left + 3);
    r.right = int16(r.right - 3);
    r.bottom = int16(r.bottom + 2 * item.embed_dy);
    Draw_UString_Fit(item.embed_just, font, text, r);
  }
  ForeColor(1);
}

void Draw_Embed_Color(const a_pixel24& color, const Rect& bounds) {
  const Rect r{int16(bounds.top + 6), int16(bounds.right - 48), int16(bounds.bottom - 7), int16(bounds.right - 16)};
  if (EmptyRect(r)) return;
  Paint_Color(color, r);
  PenNormal();
  ForeColor(1);
  FrameRect(r);
}

// --- One-shots ---------------------------------------------------------------------------

a_tri_state OneShot_Get_State(a_oneshot_enum ix) {
  return Is_OneShot(ix) ? Item_State(g_oneshots[ix]) : HIDDEN_BUTTON;
}

void OneShot_Paint(a_oneshot_enum ix) {
  if (Is_OneShot(ix)) Paint_OneShot_Node(g_oneshots[ix].nodex);
}

void Oneshot_Click(a_oneshot_enum ix) {
  if (!Is_OneShot(ix)) return;
  const a_tri_state state = OneShot_Get_State(ix);
  if (state == DIM_BUTTON || state == HIDDEN_BUTTON) return;
  const a_oneshot_item& item = g_oneshots[ix];
  pending_op = item.history_op;
  if (gs.controller != STEALTH) {
    if (item.one_sound != 0) Sound_Effect(item.one_sound);
    OneShot_Flash(ix);
  }
  // Every shown button's row names its action; the rows without one are
  // placeholders that no panel shows.
  if (item.one_proc != nullptr)
    item.one_proc();
  else
    Sound_Effect(SND_NULL);
}

void OneShot_Flash(a_oneshot_enum ix) {
  if (!Is_OneShot(ix)) return;
  const int16 nx = g_oneshots[ix].nodex;
  if (Shown_Node(nx, ONESHOT_NODE) == nullptr || gs.controller == STEALTH || gs.controller == GHOST2) return;
  Paint_OneShot_As(ix, nx, HILITE_BUTTON);
  Host_Sleep_Millis(kFlashMillis);
  Paint_OneShot_As(ix, nx, PLAIN_BUTTON);
}

void ColorPicker_Blast(a_oneshot_enum ix, a_pixel24 color) {
  if (!Is_OneShot(ix)) return;
  a_pixel24* swatch = g_oneshots[ix].embed_color;
  if (swatch == nullptr || Same_Color(*swatch, color)) return;
  *swatch = color;
  OneShot_Inval(ix);
}

// --- Toggles -------------------------------------------------------------------------------

a_tri_state Toggle_Get_State(a_toggle_enum ix) {
  return Is_Toggle(ix) ? Item_State(g_toggles[ix]) : HIDDEN_BUTTON;
}

void Toggle_Paint(a_toggle_enum ix) {
  if (Is_Toggle(ix)) Paint_Toggle_Node(g_toggles[ix].nodex);
}

void Toggle_Click(a_toggle_enum ix) {
  if (!Is_Toggle(ix)) return;
  const a_tri_state state = Toggle_Get_State(ix);
  if (state == DIM_BUTTON || state == HIDDEN_BUTTON) return;
  const a_toggle_item& item = g_toggles[ix];
  pending_op = item.history_op;
  if (gs.controller != STEALTH) Sound_Effect(SND_SUBTOOL_ONESHOT);
  if (item.toggle_is_statevar) {
    SV_Set_Bool(item.toggle_statevarx, !gs.toggle_vals[ix]);
    return;
  }
  gs.toggle_vals[ix] = !gs.toggle_vals[ix];
  if (item.toggle_proc != nullptr) item.toggle_proc();
  Toggle_Paint(ix);
}

void Toggle_Blast(a_toggle_enum ix, bool8 value) {
  if (!Is_Toggle(ix) || gs.toggle_vals[ix] == value) return;
  gs.toggle_vals[ix] = value;
  Toggle_Inval(ix);
}

void Toggle_Compare(a_toggle_enum ix, bool8 value) {
  if (Is_Toggle(ix) && gs.toggle_vals[ix] != value) Toggle_Inval(ix);
}

// --- Grids -------------------------------------------------------------------------------

int16 Grid_Elements(a_grid_enum ix) {
  if (!Is_Grid(ix)) return 0;
  const Point n = g_grid[ix].grid_ncells;
  return n.v > 0 && n.h > 0 ? int16(int32(n.v) * n.h) : 0;
}

bool8 Grid_Get_State(a_grid_enum ix, int16 element) {
  if (!Is_Grid(ix)) return false;
  const a_grid_item& item = g_grid[ix];
  if (item.grid_hilite != nullptr) return item.grid_hilite(element);
  return element == gs.grid_vals[ix];
}

void Grid_Click(a_grid_enum ix, int16 element) {
  if (!Is_Grid(ix) || !Is_Grid_Element(ix, element)) {
    Sound_Effect(SND_NULL);
    return;
  }
  const a_grid_item& item = g_grid[ix];
  pending_op = item.history_op;
  if (gs.controller != STEALTH) Sound_Effect(SND_SUBTOOL_ICONGRID);
  const bool changes =
      item.grid_hilite != nullptr ? !item.grid_hilite(element) : element != gs.grid_vals[ix];
  if (changes) Grid_SetVal_Silent(ix, element);
}

void Grid_SetVal_Silent(a_grid_enum ix, int16 element) {
  if (!Is_Grid(ix) || !Is_Grid_Element(ix, element)) return;
  const a_grid_item& item = g_grid[ix];
  if (item.grid_hilite != nullptr) {
    if (item.grid_select != nullptr) item.grid_select();
    return;
  }
  const int16 old = gs.grid_vals[ix];
  if (element == old) return;
  // Both cells as they will look.
  gs.grid_vals[ix] = element;
  if (Is_Grid_Element(ix, old)) Grid_Paint1(true, ix, old);
  Grid_Paint1(true, ix, element);
  gs.grid_vals[ix] = old;
  if (item.grid_is_statevar) {
    SV_Set_Int(item.grid_statevarx, element);
  } else {
    gs.grid_vals[ix] = element;
    if (item.grid_select != nullptr) item.grid_select();
  }
}

void Grid_Blast(a_grid_enum ix, int16 value) {
  if (!Is_Grid(ix) || !Is_Grid_Element(ix, value) || gs.grid_vals[ix] == value) return;
  gs.grid_vals[ix] = value;
  Grid_Inval(ix);
}

int16 Grid_Find_Element(Point pt, a_grid_enum ix) {
  if (!Is_Grid(ix)) return NO_ELEMENT;
  const a_node_rec* n = Shown_Node(g_grid[ix].nodex, ICONGRID_NODE);
  if (n == nullptr) return NO_ELEMENT;
  const int16 count = Grid_Elements(ix);
  for (int16 e = 0; e < count; ++e)
    if (PtInRect(pt, Screen_Cell(*n, ix, e))) return e;
  return NO_ELEMENT;
}

void Calc_Grid_Cell(bool8 source, a_grid_enum ix, int16 element, Rect& cell) {
  cell = Rect{0, 0, 0, 0};
  if (!Is_Grid(ix)) return;
  const a_grid_item& item = g_grid[ix];
  const bool own = source && item.grid_sncells.v > 0 && item.grid_sncells.h > 0;
  const Point n = own ? item.grid_sncells : item.grid_ncells;
  const int32 rows = std::max<int32>(n.v, 1), cols = std::max<int32>(n.h, 1);
  int32 col = 0, row = 0;
  switch (item.grid_order) {
    case TBLR:
      col = element / rows;
      row = element % rows;
      break;
    case LRBT:
      col = element % cols;
      row = rows - 1 - element / cols;
      break;
    default:
      col = element % cols;
      row = element / cols;
      break;
  }
  if (source && item.embed_flag) {
    if (rows > cols)
      row = 0;
    else
      col = 0;
  }
  const int32 divh = source ? item.grid_srcdiv : item.grid_dstdiv.h;
  const int32 divv = source ? item.grid_srcdiv : item.grid_dstdiv.v;
  const int32 left = (int32(item.grid_cell.h) + divh - item.grid_overlap) * col;
  const int32 top = (int32(item.grid_cell.v) + divv - item.grid_overlap) * row;
  cell = Rect{int16(top), int16(left), int16(top + item.grid_cell.v), int16(left + item.grid_cell.h)};
}

void Grid_Paint(a_grid_enum ix) {
  if (Is_Grid(ix)) Paint_Grid_Node(g_grid[ix].nodex);
}

void Grid_Paint1(bool8 offscreen, a_grid_enum ix, int16 element) {
  if (!Is_Grid(ix) || !Is_Grid_Element(ix, element)) return;
  const int16 nx = g_grid[ix].nodex;
  const a_node_rec* n = Shown_Node(nx, ICONGRID_NODE);
  if (n == nullptr) return;
  if (!offscreen) {
    Draw_Grid_Cell(*n, ix, element);
    return;
  }
  if (gs.controller == STEALTH) {
    Inval_In(n->nowner, Screen_Cell(*n, ix, element));
    return;
  }
  if (gs.controller == GHOST2) return;
  if (!Begin_Node_Draw(nx)) return;
  Draw_Grid_Cell(*n, ix, element);
  End_Node_Draw();
}

// --- Input -------------------------------------------------------------------------------

bool8 Intf_MouseDown(const a_mousestroke& stroke, bool8 docursor) {
  if (g_intf_mouse_observer != nullptr) g_intf_mouse_observer(stroke, docursor);
  g_last_stroke = stroke;
  const int16 nx = Find_Node(stroke.window, stroke.lmouse);
  const a_node_rec candidate = nx != 0 ? Slot(CURR, nx) : kFreeNode;
  const bool changed = !Same_For_Mouse(candidate, g_tracked.node);
  const bool8 saved_docursor = g_docursor;
  g_docursor = docursor;
  ++g_dispatch_depth;
  const bool8 shift = (stroke.mods & Keymod_Bit(SHIFTKEY)) != 0;
  const bool8 option = (stroke.mods & Keymod_Bit(OPTIONKEY)) != 0;
  if (shift != g_tracked.shift) {
    g_tracked.shift = shift;
    Redraw_Step_Buttons(true);
  }
  if (option != g_tracked.option) {
    g_tracked.option = option;
    Redraw_Step_Buttons(false);
  }
  if (changed) {
    const a_node_rec left = g_tracked.node;
    Dispatch_To_Node(false, true, stroke, left);
    g_tracked.node = candidate;
    g_tracked.nx = nx;
    Annot_Zap();
    g_tracked.elementx = NO_ELEMENT;
    g_tracked.enter_time = stroke.when;
    Dispatch_To_Node(true, false, stroke, candidate);
  } else {
    g_tracked.node = candidate;
    g_tracked.nx = nx;
    Dispatch_To_Node(false, false, stroke, candidate);
  }
  --g_dispatch_depth;
  g_docursor = saved_docursor;
  if (g_dispatch_depth == 0 && g_recheck_tracked) Recheck_Tracked();
  return nx != 0;
}

void Intf_Mouse_Left() {
  if (!Is_Free(g_tracked.node)) {
    const a_node_rec left = g_tracked.node;
    Forget_Tracked();
    ++g_dispatch_depth;
    Dispatch_To_Node(false, true, g_last_stroke, left);
    --g_dispatch_depth;
  }
  Annot_Zap();
}

bool8 Intf_KeyDown(const a_keystroke& key) {
  for (int16 nx = 1; nx <= Slots(CURR); ++nx) {
    const a_node_rec& n = Slot(CURR, nx);
    if (Is_Free(n)) break;
    const a_basic_item* item = Item_Of(n);
    if (item == nullptr || item->keyfilter == nullptr) continue;
    const a_keyfilter_proc filter = item->keyfilter;
    if (filter(key)) return true;
  }
  return false;
}

namespace {

template <typename Table>
void Check_Table(Table& table, a_node_kind kind) {
  for (a_basic_item& item : table) {
    if (item.hiproc == nullptr) continue;
    const a_node_rec* n = Shown_Node(item.nodex, kind);
    if (n == nullptr || !n->drawn) continue;
    const a_tri_state now = item.hiproc(0);
    if (now == item.state) continue;
    item.state = now;
    Node_Inval3(item.nodex);
  }
}

}  // namespace

void Intf_CheckHilites() {
  Check_Table(g_toggles, TOGGLE_NODE);
  Check_Table(g_oneshots, ONESHOT_NODE);
  Check_Table(g_sliders, SLIDER_NODE);
}

// --- Tool pictures ---------------------------------------------------------------------

void Load_Tool_Pixt() {
  for (a_cached_tool& e : g_tool_cache)
    if (e.nref > 0) e.nref = 0;
  Clear_Pictures(g_sliders);
  Clear_Pictures(g_grid);
  Clear_Pictures(g_oneshots);
  Clear_Pictures(g_toggles);
  for (int16 nx = 1; nx <= Slots(CURR); ++nx) {
    const a_node_rec& n = Slot(CURR, nx);
    if (Is_Free(n)) break;
    if (n.kind == CUSTOM_NODE) continue;
    if (a_basic_item* item = Item_Of(n)) Add_Ref(item->src_pixtx, item->src_pixtptr);
  }
  for (a_cached_tool& e : g_tool_cache) {
    if (e.nref != 0) continue;
    Pixt_Unload(e.pixt);
    e.nref = -1;
    e.id = 0;
  }
}

int16 Tool_Cache_Size() { return int16(g_tool_cache.size()); }

const a_cached_tool& Tool_Cache_Entry(int16 i) {
  static const a_cached_tool kNone{-1, 0, {}};
  return i >= 0 && size_t(i) < g_tool_cache.size() ? g_tool_cache[size_t(i)] : kNone;
}

// --- Start-up ------------------------------------------------------------------------------

void Intf_Init() {
  Close_All_Nodes();
  Intf_Init_Tables();
  gs.tool_show = true;
  // The general menu bar in the interface language (the text, symbol and
  // photo bars follow the editing phase once the interface has phases).
  Menus_Init(gs.menu_base, Current_Language());
  Set_Scroll_Actions(SCROLL_UNIT_LIST, UnitList_NonThumbAction, UnitList_ThumbAction);
  // From here on the main window hands its events to the interface and
  // paints through the node tree.
  g_menu_event_proc = DoMenuEvent;
  g_key_down_proc = DoKeyDown;
  g_mouse_down_proc = Intf_MouseDown;
  g_mouse_left_proc = Intf_Mouse_Left;
  g_sv_begin_proc = SV_Begin_Interaction;
  g_sv_end_proc = SV_End_Interaction;
  g_sv_finish_proc = SV_Finish;
  g_sv_set_virtual_proc = SV_Set_Virtual;
  g_font_cache_tick_proc = Font_Cache_Tick;
  g_status_tick_proc = Status_Tick;
  g_nav_tick_proc = Nav_Tick;
  if (gs.outer_window_info.update_proc != Main_Window_Paint) {
    g_plain_update = gs.outer_window_info.update_proc;
    gs.outer_window_info.update_proc = Main_Window_Paint;
  }
  // Lists draw through their nodes' offscreen areas.
  g_node_pushoff_proc = Custom_PushOff;
  g_node_popandupdate_proc = Node_PopAndUpdate;
}

void Intf_Stop() {
  Close_All_Nodes();
  if (gs.outer_window_info.update_proc == Main_Window_Paint) gs.outer_window_info.update_proc = g_plain_update;
  g_plain_update = nullptr;
  g_node_pushoff_proc = No_Node_PushOff;
  g_node_popandupdate_proc = No_Node_PopAndUpdate;
}

// --- Offscreen pushes of a node --------------------------------------------------------------

void Node_PushOff(int16 nx) {
  if (g_node_npush >= kMaxNodePush) {
    QUIT();
    return;
  }
  const a_node_rec* n = Curr(nx);
  const bool8 has = n != nullptr && n->noffarea.gworld != nullptr;
  uint8 pushed = 0;
  if (has) {
    // Outside a paint (a list answering a key or a click) no port is
    // current: the area is copied to the node's window then.
    if (theHDC == nullptr && theGWorld == nullptr && n->nowner != nullptr) {
      Push_Window(n->nowner);
      pushed = 1;
    }
    Off_Push(n->noffarea);
    ++pushed;
  }
  g_node_pushed[g_node_npush++] = pushed;
}

void Node_PopAndUpdate() {
  if (g_node_npush == 0) {
    QUIT();
    return;
  }
  const uint8 pushed = g_node_pushed[--g_node_npush];
  if (pushed == 0) return;
  Off_Pop();
  if (off_last_area != nullptr && off_last_area->gworld != nullptr) {
    Rect whole;
    Get_GWorld_Bounds(off_last_area->gworld, whole);
    Off_UpdateRect(whole, whole);
  }
  if (pushed == 2) Pop_Window();
}

void Node_PopAndUpdate_Subset(const Rect& r) {
  if (g_node_npush == 0) {
    QUIT();
    return;
  }
  const uint8 pushed = g_node_pushed[--g_node_npush];
  if (pushed == 0) return;
  Off_Pop();
  if (off_last_area != nullptr && off_last_area->gworld != nullptr) Off_UpdateRect(r, r);
  if (pushed == 2) Pop_Window();
}

void Custom_PushOff(int16 customx) { Node_PushOff(Is_Custom(customx) ? g_custom[size_t(customx)].nodex : 0); }

// --- Stand-ins --------------------------------------------------------------------------------

void Font_Cache_Tick() { (void)Font_Cache_Step(); }

void Status_Tick() {
  Annot_Tick();
  if (int32(TickCount()) - Status_Due() >= 0) Status_ReCalc();
}

void Nav_Tick() {
  if (g_intf_nav_observer != nullptr) g_intf_nav_observer();
  if (g_doc.doc_open && g_nav.pix_dirty && !t.status_sizing && !t.status_tracking) Nav_Recalc_Pix();
}
