#include "ui/VoskIntf.h"

#include "ui/VoskIntI.h"

#include <cstring>

#include "pixel/Draw.h"
#include "pixel/DrawUtilList.h"

#include "platform/VoskDef.h"
#include "platform/SysMem.h"
#include "platform/SysMenu.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"
#include "doc/VoskDraw.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

void (*g_intf_key_observer)(const a_keystroke& key) = nullptr;
void (*g_intf_menu_observer)(int16, int16, bool8, bool8) = nullptr;
void (*g_intf_mouse_observer)(const a_mousestroke& stroke, bool8 docursor) = nullptr;
void (*g_intf_nav_observer)() = nullptr;

namespace {
void No_Node_PushOff(int16) {}
void No_Node_PopAndUpdate() {}

}  // namespace

void Intf_Init() {
  // Every slider starts at its default (the item tables' own artwork and
  // procedures come with the tool panels).
  for (int16 s = 0; s < NSLIDERS; ++s) gs.slider_vals[s] = SLIDER_VALUES[s].defaultval;
  gs.tool_show = true;
  // The general menu bar in the interface language (the text, symbol and
  // photo bars follow the editing phase once the interface has phases).
  Menus_Init(gs.menu_base, Current_Language());
  Set_Scroll_Actions(SCROLL_UNIT_LIST, UnitList_NonThumbAction, UnitList_ThumbAction);
  // From here on the main window hands its events to the interface.
  g_menu_event_proc = DoMenuEvent;
  g_key_down_proc = DoKeyDown;
  g_mouse_down_proc = Intf_MouseDown;
  g_sv_begin_proc = SV_Begin_Interaction;
  g_sv_end_proc = SV_End_Interaction;
  g_sv_finish_proc = SV_Finish;
  g_sv_set_virtual_proc = SV_Set_Virtual;
  g_font_cache_tick_proc = Font_Cache_Tick;
  g_status_tick_proc = Status_Tick;
  g_nav_tick_proc = Nav_Tick;
  // Lists draw through their nodes' offscreen areas.
  g_node_pushoff_proc = Node_PushOff;
  g_node_popandupdate_proc = Node_PopAndUpdate;
  // The main window paints through the interface.
  gs.outer_window_info.update_proc = Intf_Paint;
}

void Intf_Paint(HWND) {
  // Until the node tree describes the window, an open document's view is
  // all there is to paint.
  if (g_doc.doc_open) Edit1_PaintAll();
}

// No unit list is shown yet: there is nothing to scroll.
void UnitList_NonThumbAction(int16, HWND) {}
void UnitList_ThumbAction(int16, HWND) {}

void Intf_Stop() {
  Node_Close_All_Off();
  g_node_pushoff_proc = No_Node_PushOff;
  g_node_popandupdate_proc = No_Node_PopAndUpdate;
}

// --- Drawing services of the interface nodes ---------------------------------------

namespace {

struct a_node_off {
  a_off_area area;
  Rect bounds;
  bool8 open;
};
a_node_off g_node_off[MAXNODES + 1] = {};

// Whether each push in force pushed an area.
constexpr int kMaxNodePush = 4;
bool8 g_node_pushed[kMaxNodePush];
int g_node_npush = 0;

bool Valid_Node(int16 nx) { return nx >= 1 && nx <= MAXNODES; }

}  // namespace

void Node_Open_Off(int16 nx, const Rect& nbounds) {
  if (!Valid_Node(nx)) return;
  a_node_off& n = g_node_off[nx];
  if (n.open && std::memcmp(&n.bounds, &nbounds, sizeof nbounds) == 0) return;
  Node_Close_Off(nx);
  if (nbounds.bottom <= nbounds.top || nbounds.right <= nbounds.left) return;
  Off_Open(nbounds, n.area);
  n.bounds = nbounds;
  n.open = n.area.gworld != nullptr;
}

void Node_Close_Off(int16 nx) {
  if (!Valid_Node(nx) || !g_node_off[nx].open) return;
  Off_Close(g_node_off[nx].area);
  g_node_off[nx] = a_node_off{};
}

void Node_Close_All_Off() {
  for (int16 nx = 1; nx <= MAXNODES; ++nx) Node_Close_Off(nx);
  g_node_npush = 0;
}

void Node_PushOff(int16 nx) {
  if (g_node_npush >= kMaxNodePush) {
    QUIT();
    return;
  }
  const bool8 has = Valid_Node(nx) && g_node_off[nx].open;
  if (has) Off_Push(g_node_off[nx].area);
  g_node_pushed[g_node_npush++] = has;
}

void Node_PopAndUpdate() {
  if (g_node_npush == 0) {
    QUIT();
    return;
  }
  if (!g_node_pushed[--g_node_npush]) return;
  Off_Pop();
  if (off_last_area == nullptr || off_last_area->gworld == nullptr) return;
  Rect whole;
  Get_GWorld_Bounds(off_last_area->gworld, whole);
  Off_UpdateRect(whole, whole);
}

bool8 Intf_MouseDown(const a_mousestroke& stroke, bool8 docursor) {
  if (g_intf_mouse_observer != nullptr) g_intf_mouse_observer(stroke, docursor);
  if (docursor) Cursor_Set_Shape(ARROW_CURSOR);
  return false;
}

void Custom_Inval(int16 /*customx*/) {
  if (gs.outer_window != nullptr) Invalidate_Window(gs.outer_window);
}

void Toggle_Paint(a_toggle_enum /*ix*/) {}

void Intf_CheckHilites() {}

void Bar_Init() {}
void Bar_Stop() {}


void Font_Cache_Tick() {}
void Status_Tick() {}

void Nav_Tick() {
  if (g_intf_nav_observer != nullptr) g_intf_nav_observer();
}
