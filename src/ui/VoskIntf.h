// The interface's services to the platform layer: the interface nodes that
// take mouse strokes, the hand-over of keys and menu commands to the
// dispatch (ui/VoskDisp.h), the state-variable engine (ui/VoskDelt.h)
// around every user action, the tool bar, and the idle ticks.
//
// Only what the main window and its loop need stands so far: there are no
// interface nodes or palettes yet. Observers let tests (and the echo area,
// once it exists) see what the application was handed.
#pragma once

#include "platform/SysLoop.h"
#include "platform/Types.h"
#include "ui/VoskDelt.h"  // the engine Intf_Init installs in the main window's hooks
#include "ui/VoskIntI.h"

// Observers of what the application is handed (NIL: none).
extern void (*g_intf_key_observer)(const a_keystroke& key);
extern void (*g_intf_menu_observer)(int16 menu_category, int16 menu_item, bool8 shiftkey,
                                    bool8 optionkey);
extern void (*g_intf_mouse_observer)(const a_mousestroke& stroke, bool8 docursor);
extern void (*g_intf_nav_observer)();

// Builds the interface; registers the unit list's scroll actions, and
// installs in the main window's hooks (SysLoop.h) the procedures that take
// its commands, keys, mouse strokes and idle ticks, and the state-variable
// engine around them, and in the list boxes' hooks (pixel/DrawUtilList.h)
// the node drawing services. Intf_Stop closes the nodes' offscreen areas.
void Intf_Init();
void Intf_Stop();
// The main window's paint procedure (installed by Intf_Init): so far the
// document view of an open document (Edit1_PaintAll, doc/VoskDraw.h).
void Intf_Paint(HWND window);
// Offers the stroke to the node under stroke.lmouse; TRUE when a node used
// it. With docursor and no node there, the arrow is shown.
bool8 Intf_MouseDown(const a_mousestroke& stroke, bool8 docursor);

// Repaints the custom area customx of the panels (no panels exist yet: the
// whole main window is repainted).
void Custom_Inval(int16 customx);

// Repaints toggle ix at once (no toggles are shown yet: nothing to paint).
void Toggle_Paint(a_toggle_enum ix);
// At the end of every user action: the display state of every toggle,
// one-shot and slider asked again, and the changed ones repainted (no items
// are shown yet: nothing to ask).
void Intf_CheckHilites();

// The tool bar (no palettes yet).
void Bar_Init();
void Bar_Stop();

// Idle ticks.
void Font_Cache_Tick();
void Status_Tick();
// The hover notice of an idle period: redraws the navigator picture when a
// document is open.
void Nav_Tick();

// --- Drawing services of the interface nodes ---------------------------------------
//
// A node that needs one has an offscreen area over its bounds (in the main
// window's coordinates): it is drawn there and copied to the window at once,
// so the window never shows it half drawn. Nodes are numbered 1 ..
// MAXNODES. Until the node tree keeps these areas with its nodes,
// Node_Open_Off and Node_Close_Off give them out.
constexpr int16 MAXNODES = 50;

// Opens (or, over new bounds, opens again) the offscreen area of node nx.
// Empty bounds or a node outside 1 .. MAXNODES leave the node without one.
void Node_Open_Off(int16 nx, const Rect& nbounds);
// Closes the area of node nx (nothing when it has none).
void Node_Close_Off(int16 nx);
void Node_Close_All_Off();
// Drawing goes into the offscreen area of node nx; a node without one draws
// straight into the current port. Each push is matched by one
// Node_PopAndUpdate. More than four pushes at once call QUIT.
void Node_PushOff(int16 nx);
// Back to the port of before the push; the area's whole world is copied to
// the same rectangle of that port.
void Node_PopAndUpdate();

// The unit list's scroll actions (its scroll bar is gs.uscroll_ctrl): scroll
// code 0 to 3 (a unit or a page back or forward), and the thumb dragged to
// the scroll bar's value. The unit list comes with the print panel; until
// then the actions change nothing.
void UnitList_NonThumbAction(int16 part, HWND ctrl);
void UnitList_ThumbAction(int16 part, HWND ctrl);
