// The interface node tree: everything the main window shows (child windows,
// divisions of the window, scroll bars, and the items of the tool panels:
// sliders, one-shot buttons, icon grids, toggles, labels, decorations and
// the custom areas such as the document view) is one small tree of nodes.
// The panels describe the tree again whenever they must change, never edit
// it; the end of a description compares it with what is on screen and
// touches only what differs (windows moved and sized, scroll bars hidden and
// shown, offscreen areas opened and closed, rectangles invalidated).
//
// The module also paints the nodes (the main window's paint procedure),
// finds the node under the mouse and hands it every stroke (hover included)
// and the keys, keeps the display states of the items up to date, carries
// out the clicks of one-shots, toggles and grids, and keeps the tool pictures
// the items are drawn from loaded while a node shows them.
//
// Besides, until their own modules exist: the hand-over of keys and menu
// commands to the dispatch (ui/VoskDisp.h), the state-variable engine
// (ui/VoskDelt.h) around every user action, the tool bar, the idle ticks,
// and the offscreen pushes of a node for the list boxes.
#pragma once

#include "objects/VoskText.h"  // a_horz_just
#include "pixel/Draw.h"        // a_off_area
#include "platform/Controls.h"
#include "platform/SysLoop.h"
#include "platform/Types.h"
#include "ui/VoskBar.h"   // Bar_Init and Bar_Stop, started and stopped with the interface
#include "ui/VoskDelt.h"  // the engine Intf_Init installs in the main window's hooks
#include "ui/VoskIntI.h"

// Observers of what the application is handed (NIL: none).
extern void (*g_intf_key_observer)(const a_keystroke& key);
extern void (*g_intf_menu_observer)(int16 menu_category, int16 menu_item, bool8 shiftkey,
                                    bool8 optionkey);
extern void (*g_intf_mouse_observer)(const a_mousestroke& stroke, bool8 docursor);
extern void (*g_intf_nav_observer)();

// --- Locators ------------------------------------------------------------------------
//
// A node's path: one byte per level from the most significant byte down, a
// zero byte ending the path (0x01000000 is a top-level node, 0x01020000 its
// second child, 0 the root of everything). Ascending unsigned order lists a
// parent before its descendants and keeps every subtree together.
using a_locator = uint32;
constexpr a_locator FREE_LOCATOR = 0xFFFFFFFF;  // the locator of a free slot

// TRUE when child lies strictly below parent (a node is not below itself).
bool8 Is_Node_Below(a_locator child, a_locator parent);
// The locator with its lowest non-zero byte cleared (0 stays 0).
a_locator Parent_Locator(a_locator loc);

// --- Nodes -----------------------------------------------------------------------------

enum a_node_kind : uint8 {
  UNUSED_NODE = 0,
  DIVISION_NODE = 1,
  WINDOW_NODE = 2,
  SCROLLBAR_NODE = 3,
  SLIDER_NODE = 4,
  ONESHOT_NODE = 5,
  ICONGRID_NODE = 6,
  TOGGLE_NODE = 7,
  LABEL_NODE = 8,
  DECORATION_NODE = 9,
  CUSTOM_NODE = 10,
};
// Kinds SLIDER_NODE .. CUSTOM_NODE are the items.
constexpr bool8 Is_Item_Kind(a_node_kind k) { return k >= SLIDER_NODE && k <= CUSTOM_NODE; }

enum a_decoration : uint8 {
  DECORATION_NOPAINT = 0,
  DECORATION_SOLIDCOLOR = 1,  // a division's own colour
  DECORATION_STRIPED = 2,     // the light stripe
  DECORATION_DARKSTRIPE = 3,
  DECORATION_BLUELINE = 4,
  DECORATION_DOTTED = 5,      // the pasteboard's 8 x 8 pattern
  DECORATION_SOLIDGRAY = 6,   // the pasteboard grey
  DECORATION_STRIPED_RT = 7,  // light stripe with a grey line along the right edge
  DECORATION_PARQUET = 8,
  DECORATION_BARLINE = 9,
};

enum a_node_age : uint8 { CURR = 0, NEXT = 1 };

// One node. The fields after `kind` belong to the kinds their names begin
// with; the others are zero.
struct a_node_rec {
  a_locator loc;
  Rect nbounds;          // in the coordinates of the owner window; a window's own node: of its parent
  HWND nowner;           // the window the node is drawn in (a window node: its parent window, or NIL)
  a_off_area noffarea;   // the offscreen area the node is drawn through (NIL world: none)
  bool8 drawn;           // painted since it was put on screen
  a_node_kind kind;
  // DIVISION_NODE
  a_decoration division_decoration;
  a_pixel24 division_color;  // DECORATION_SOLIDCOLOR
  // WINDOW_NODE
  HWND window_ptr;
  // SCROLLBAR_NODE
  ControlHandle scroll_hdl;
  int32 scroll_priority;
  // SLIDER_NODE, ONESHOT_NODE, ICONGRID_NODE, TOGGLE_NODE
  a_slider_enum slider_ix;
  a_oneshot_enum oneshot_ix;
  a_grid_enum grid_ix;
  a_toggle_enum toggle_ix;
  // LABEL_NODE
  int16 label_strx;       // item of string list 200, or -1 .. -4 for a run-time text
  int16 label_size;       // 24, 18, or any other size of the 14-point font
  a_horz_just label_just;
  int16 label_alias;
  a_pixel24 label_fore;
  a_pixel24 label_back;   // white: no rounded background
  uint16 label_bopacity;  // per cent; below 100 the label has an offscreen area
  // DECORATION_NODE
  a_decoration decorationx;
  // CUSTOM_NODE
  a_custom_enum custom_ix;
  bool8 custom_off;  // drawn through an offscreen area
};

// The two generations of the tree: CURR is on screen, NEXT the description
// being made. Slots count from 1; between descriptions both are sorted by
// locator, the used slots first (a free slot has FREE_LOCATOR and kind
// UNUSED_NODE). Their number grows as descriptions need.
// Node_Slots: the slots of a generation (used and free); Node_Used: the used
// ones (the prefix scans run over). Node_Get answers a free node outside
// 1 .. Node_Slots.
int16 Node_Slots(a_node_age age);
int16 Node_Used(a_node_age age);
const a_node_rec& Node_Get(a_node_age age, int16 nx);

// Depth of the open descriptions (Node_BeginConfig .. Node_EndConfig).
extern int16 g_config_depth;

// The node the mouse was last found over, and the modifiers last seen.
struct a_tracked_rec {
  bool8 shift;       // Shift was down at the last stroke
  bool8 option;      // Ctrl was down
  a_node_rec node;   // a copy of the node (kind UNUSED_NODE: none)
  int16 nx;          // its slot in CURR when it was found
  int16 elementx;    // the grid element under the mouse (32767: none yet)
  int32 enter_time;  // ticks when the mouse entered the node
};
extern a_tracked_rec g_tracked;

// --- Descriptions (the panel builders) -----------------------------------------------

// Recalculates the menu bar, shows or hides it, then Node_BeginConfig(0, total).
void Node_BeginConfigAll(bool8 menubar, Rect& total);
// Opens a description of the subtree at loc. total := the rectangle the
// subtree may use: for 0 the main window's interior as the preferences keep
// it, else the bounds of the node at loc (the main window's interior when
// there is none). The outermost opening starts the new description from
// the screen's, without the nodes strictly below loc. Any value tip goes.
void Node_BeginConfig(a_locator loc, Rect& total);
// Closes a description; the outermost closing sorts the new tree, sets the
// items' back pointers (an item shown twice keeps the higher slot), applies
// the differences to the screen, counts the tool pictures again, and lets go
// of a tracked node whose slot or bounds changed (it is found afresh at the
// next stroke). A closing without an opening does nothing.
void Node_EndConfig();

// Each add takes the lowest free slot of the description. The owner is the
// window of the nearest window node above the new one (none for a window at
// the top). A division or custom area without one is a caller's fault
// (QUIT). Nothing is added outside a description.
//
// gbounds := the window's bounds on the screen (offset by every enclosing
// window's top-left corner).
void Node_Add_Window(a_locator loc, const Rect& bounds, HWND window, Rect& gbounds);
void Node_Add_Division(a_locator loc, const Rect& bounds, a_decoration decor, a_pixel24 color);
void Node_Add_Custom(a_locator loc, const Rect& bounds, bool8 needoff, a_custom_enum ix);
void Node_Add_ScrollBar(a_locator loc, const Rect& bar_bounds, int32 bar_priority, ControlHandle bar_hdl);
void Node_Add_Label(a_locator loc, const Rect& bbox, a_pixel24 fore, a_pixel24 back, uint16 bopacity, int16 strx,
                    a_horz_just just, int16 size, int16 alias);
void Node_Add_Decoration(a_locator loc, const Rect& bbox, a_decoration dx);
// Items: the node has the size of the item's artwork (src_rect), its
// top-left at corner (a slider 20 pixels right of it). Then corner moves on
// by the width when dx > 0 and by the height when dy > 0, so that calls in
// a row lay items out in a row or a column.
void Node_Add_OneShot(a_locator loc, Point& corner, int16 dx, int16 dy, a_oneshot_enum ix);
void Node_Add_Toggle(a_locator loc, Point& corner, int16 dx, int16 dy, a_toggle_enum ix);
void Node_Add_Grid(a_locator loc, Point& corner, int16 dx, int16 dy, a_grid_enum ix);
void Node_Add_Slider(a_locator loc, Point& corner, int16 dx, int16 dy, a_slider_enum ix);
constexpr int16 SLIDER_NODE_DH = 20;

// --- Queries -----------------------------------------------------------------------------

// Whether a node has the locator (in the description while one is open, else on screen).
bool8 Node_Exists(a_locator loc);
// The description's slot of the locator, and of its parent; 0 when none.
int16 Find_Next_Node(a_locator loc);
int16 Find_Parent_Node(a_locator loc);
// The window and bounds of the custom area; FALSE when it is not shown.
bool8 Custom_Get_Info(a_custom_enum ix, HWND& window, Rect& bounds);
// The scroll bar of the scroll-bar node with the highest priority (NIL: none).
ControlHandle Find_Priority_Scrollbar();
// The locator of the screen's node nx (FREE_LOCATOR outside the used slots).
a_locator NX_To_Loc(int16 nx);

// --- Painting and invalidation -------------------------------------------------------------

// The main window's paint procedure (Intf_Init installs it): every node
// owned by window (NIL: every node) whose bounds are visible, in slot order:
// divisions their background, items themselves; window nodes are skipped.
// While no description exists the window shows the interface state's
// start-up picture.
void Intf_Paint(HWND window);
// Paints node nx of the screen by its kind; then it counts as drawn.
void Node_Paint1(int16 nx);
// Paints every node at or below loc.
void Node_Paint(a_locator loc);
// Invalidates every node at or below loc; Node_Inval3 one node (a window
// node: its whole window).
void Node_Inval(a_locator loc);
void Node_Inval3(int16 nx);
// The node of the item, invalidated (nothing when the item is not shown).
void Slider_Inval(a_slider_enum ix);
void OneShot_Inval(a_oneshot_enum ix);
void Grid_Inval(a_grid_enum ix);
void Toggle_Inval(a_toggle_enum ix);
void Custom_Inval(int16 customx);
// Paints the custom area by its owner's procedure (with the controller
// STEALTH: invalidates it); nothing when it is not shown.
void Custom_Paint(a_custom_enum ix);

// Background of an item: its parent division's colour or decoration over
// rect, with the division's decorations that come before the item (nothing
// when the parent is missing or not a division).
void Draw_Node_Background(a_locator loc, const Rect& rect);
// Lays the background of loc over rect at (100 - percent) % opacity: what was
// drawn stays at percent %.
void Dim_Out(int16 percent, a_locator loc, const Rect& rect);
// Fills rect with a decoration. DECORATION_SOLIDCOLOR and DECORATION_BARLINE
// are no decorations of their own (QUIT).
void Draw_Decoration(a_decoration decor, const Rect& rect);
void Fill_LightStripe(const Rect& rect);
void Fill_DarkStripe(const Rect& rect);
// Paints label node nx: its background, then its text.
void Draw_Label(int16 nx);
// The text of a run-time label: -1 and -2 the print adjustment across and
// down ("X: +1,5 mm"), -3 the layout's name, -4 the examples page shown.
// Any other index gives an empty text.
void Get_Dynamic_UString(int16 strx, UStrSpan uss);
// Appends a length in tenths of a millimetre: sign (none for 0), whole
// millimetres, the decimal mark and the tenth when it is not 0, " mm".
void Append_Tenths(int16 tenths, UStrSpan uss);
// The embedded label of an item (of a grid's element; 0 for the others) in
// rect: black in the plain state, dark blue in any other.
void Draw_Embed_String(const a_basic_item& item, int16 element, a_tri_state state, const Rect& rect);
// The swatch of an embedded colour near the right edge of an item's bounds.
void Draw_Embed_Color(const a_pixel24& color, const Rect& bounds);

// --- Items -----------------------------------------------------------------------------

a_tri_state OneShot_Get_State(a_oneshot_enum ix);
void OneShot_Paint(a_oneshot_enum ix);
// A click: nothing for a dimmed or hidden button; otherwise the button's
// history operation pending, its sound and a flash (not with STEALTH), then
// its action.
void Oneshot_Click(a_oneshot_enum ix);
// Shows the button pressed for 5 ms, then plain.
void OneShot_Flash(a_oneshot_enum ix);
// Stores a new colour into the button's swatch; repaints it when the colour changed.
void ColorPicker_Blast(a_oneshot_enum ix, a_pixel24 color);

a_tri_state Toggle_Get_State(a_toggle_enum ix);
void Toggle_Paint(a_toggle_enum ix);
// A click: nothing for a dimmed or hidden toggle; otherwise its history
// operation pending, sound 130 (not with STEALTH) and the value flipped
// (through its state variable when it has one, else stored, its procedure
// called and the toggle repainted).
void Toggle_Click(a_toggle_enum ix);
// Stores the value without any action; repaints when it changed.
void Toggle_Blast(a_toggle_enum ix, bool8 value);
// Repaints when the stored value differs from value.
void Toggle_Compare(a_toggle_enum ix, bool8 value);

// A grid element is a cell number from 0, rows x columns of them; the value
// of an exclusive grid is its current element.
constexpr int16 NO_ELEMENT = 32767;
int16 Grid_Elements(a_grid_enum ix);
// Whether the element is the grid's current one: its grid_hilite's answer,
// else whether it is the stored value.
bool8 Grid_Get_State(a_grid_enum ix, int16 element);
// A click on an element: the grid's history operation pending, sound 131,
// and the element selected when the grid changes by it. An element outside
// the grid is refused (sound 136).
void Grid_Click(a_grid_enum ix, int16 element);
// Selects the element without the click's sound: both cells repainted, then
// the grid's state variable set, or the element stored and the grid's
// procedure called. An element outside the grid changes nothing.
void Grid_SetVal_Silent(a_grid_enum ix, int16 element);
// Stores the value without any action; repaints when it changed. A value
// outside the grid changes nothing.
void Grid_Blast(a_grid_enum ix, int16 value);
// The element whose cell on screen holds pt and is not hidden (NO_ELEMENT: none).
int16 Grid_Find_Element(Point pt, a_grid_enum ix);
// The cell of an element relative to the artwork's (source) or the node's
// top-left corner: the three orders LRTB, TBLR, LRBT.
void Calc_Grid_Cell(bool8 source, a_grid_enum ix, int16 element, Rect& cell);
void Grid_Paint(a_grid_enum ix);
// One cell; with offscreen through the node's area, copied to the window at once.
void Grid_Paint1(bool8 offscreen, a_grid_enum ix, int16 element);

// --- Input ------------------------------------------------------------------------------

// Every stroke of the main window, presses and idle positions (hover): the
// node under the mouse gets it (the one it leaves first), and a change of
// Shift or Ctrl redraws the step buttons of the sliders shown. TRUE when a
// node was under the mouse. With docursor and no node there, the arrow is
// shown.
bool8 Intf_MouseDown(const a_mousestroke& stroke, bool8 docursor);
// The pointer has left the main window (another window took over): the
// node it was over is left and the tip removed.
void Intf_Mouse_Left();
// Offers the key to the items' key filters in locator order; TRUE when one took it.
bool8 Intf_KeyDown(const a_keystroke& key);
// At the end of every user action: the display state of every toggle,
// one-shot and slider shown and drawn asked again, and the changed ones
// repainted.
void Intf_CheckHilites();

// --- Tool pictures ------------------------------------------------------------------------

// A loaded tool picture and how many item nodes on screen show it (-1: a
// free entry).
struct a_cached_tool {
  int16 nref;
  int16 id;  // the picture's id as loaded (language copy included)
  a_pixt pixt;
};
// Counts the pictures of the items on screen again: each item's src_pixtptr
// points at its picture, and pictures no node shows are unloaded. Ids 160 to
// 400 are taken in the interface language when the library has that copy.
void Load_Tool_Pixt();
// The entries (free ones included); they grow as pictures are needed.
int16 Tool_Cache_Size();
const a_cached_tool& Tool_Cache_Entry(int16 i);

// --- Start-up ------------------------------------------------------------------------------

// Builds the interface: the item tables, registers the unit list's scroll
// actions, and installs in the main window's hooks (SysLoop.h) the
// procedures that take its commands, keys, mouse strokes and idle ticks, and
// the state-variable engine around them, its paint procedure, and in the
// list boxes' hooks (pixel/DrawUtilList.h) the node drawing services.
// Intf_Stop closes the nodes and frees the tool pictures.
void Intf_Init();
void Intf_Stop();

// Idle ticks.
void Font_Cache_Tick();
void Status_Tick();
// The hover notice of an idle period: redraws the navigator picture when a
// document is open.
void Nav_Tick();

// --- Offscreen pushes of a node --------------------------------------------------------------
//
// Drawing goes into the offscreen area of node nx of the screen; a node
// without one draws straight into the current port. Each push is matched by
// one Node_PopAndUpdate, which copies the area's whole world to the same
// rectangle of the port of before. More than four pushes at once call QUIT.
void Node_PushOff(int16 nx);
void Node_PopAndUpdate();
// The same copying only r of the area's world.
void Node_PopAndUpdate_Subset(const Rect& r);
// The same for the node of custom area customx (the list boxes' hook).
void Custom_PushOff(int16 customx);

