// The state variables: the values the look of the main window depends on
// (options, phase, tool, zoom, language, the open document, the current bar
// and ring) and what is worked out from them (the number of views, the zoom
// factor, the panel layouts, the menus, the navigator).
//
// Code sets a state variable through here instead of writing its field: the
// setter stores the value, marks the variable changed and calls its change
// procedure at once with the old value. At the end of every user action
// SV_Finish recalculates, in one pass in index order, everything that
// depends on what changed: a derived variable when one of the variables it
// uses changed in this pass, a virtual one (a procedure with no value) when
// it was marked or one of its variables changed. Every variable depends only
// on variables of a lower index, so one ascending pass is enough.
//
// The module also holds the history operation the current user action will
// record (pending_op); the end of the action records it.
#pragma once

#include "doc/VoskHist.h"      // a_history_op
#include "platform/SysLoop.h"  // SV_CONFIG_ALL, SV_MENUBAR_CHECKMARKS
#include "platform/Types.h"

// The state variables, 0 .. NSTATEVARS - 1 (the two the main window marks
// changed are named in SysLoop.h).
using a_statevar = int16;
constexpr a_statevar SV_SOUND_OPTION = 0;
constexpr a_statevar SV_SCROLL_OPTION = 1;
constexpr a_statevar SV_ECHO_OPTION = 2;
constexpr a_statevar SV_HISTORY_OPTION = 3;
constexpr a_statevar SV_STATUS_OPTION = 4;
constexpr a_statevar SV_CUTLINES_OPTION = 5;  // inert: the cut lines follow CUTLINES_TOGGLE
constexpr a_statevar SV_TINYCURS_OPTION = 6;
constexpr a_statevar SV_PHASE = 7;
constexpr a_statevar SV_TXEDIT_PHASE = 8;
constexpr a_statevar SV_ZOOM_IX = 9;
constexpr a_statevar SV_TOOL_SELECTION = 10;
constexpr a_statevar SV_SYMMETRY_ENABLED = 11;
constexpr a_statevar SV_STENCIL_ENABLED = 12;
constexpr a_statevar SV_TOOL_SHOW = 13;
constexpr a_statevar SV_DOC_CHANGED = 14;
constexpr a_statevar SV_DOC_OPEN = 15;
constexpr a_statevar SV_EDIT_FOCUS = 16;
constexpr a_statevar SV_LANGUAGE = 17;
constexpr a_statevar SV_NVIEWS = 18;
constexpr a_statevar SV_TOOL_NET = 19;
constexpr a_statevar SV_CURR_RING = 20;
constexpr a_statevar SV_CURR_BAR = 21;
constexpr a_statevar SV_FILL_KIND = 22;
constexpr a_statevar SV_ZOOMFACTOR = 23;
constexpr a_statevar SV_MENUBAR_CONFIG = 24;
static_assert(SV_CONFIG_ALL == 25);
constexpr a_statevar SV_CONFIG_BSIDE = 26;
constexpr a_statevar SV_CONFIG_LSIDE = 27;
constexpr a_statevar SV_CONFIG_EDIT = 28;
constexpr a_statevar SV_EDIT_ORIGIN = 29;
constexpr a_statevar SV_NAV_REDUCTION = 30;
constexpr a_statevar SV_NAV_FRAME = 31;
static_assert(SV_MENUBAR_CHECKMARKS == 32);
constexpr a_statevar SV_MENUBAR_TOPLEVEL = 33;
constexpr a_statevar NSTATEVARS = 34;

// What a state variable holds, and how it is tied to the rest of the
// interface (a toggle that shows it, or a recalculation that derives it).
enum a_statevar_type : uint8 {
  BOOL_SVT = 0,
  ENUM_SVT = 1,
  INT16_SVT = 2,
  CARD16_SVT = 3,
  POINT_SVT = 4,
  VIRTUAL_SVT = 5,
};
enum a_statevar_link : uint8 {
  NO_LINK = 0,
  TOGGLE_LINK = 1,
  GRID_LINK = 2,
  SLIDER_LINK = 3,
  DERIVED_LINK = 4,
};

// A set of state variables: bit i for variable i.
using a_statevar_set = uint64;
constexpr a_statevar_set SV_Bit(a_statevar svx) { return a_statevar_set(1) << svx; }

// The history operation the current user action records at its end
// (OP_NOP: none). Set directly or through History_Set_Pending; the last
// writer wins.
extern a_history_op pending_op;

// The table of state variables is built when the program loads. SV_Init
// builds it again: every mark cleared, nothing called.
void SV_Init();

// The setters. Setting a variable to the value it has does nothing.
// Otherwise the value is stored, the variable marked changed and its change
// procedure called with the old value; a variable shown by a toggle has the
// toggle repainted at once. A setter of another type than the variable's,
// or a variable outside 0 .. NSTATEVARS - 1, is an internal error (QUIT).
// SV_Set_Int compares signed 16-bit values, SV_Set_Point h, then v. The
// zoom factor and the number of views are only derived: no setter takes
// them.
void SV_Set_Bool(a_statevar svx, bool8 value);
void SV_Set_Enum(a_statevar svx, uint8 value);
void SV_Set_Int(a_statevar svx, int16 value);
void SV_Set_Point(a_statevar svx, const Point& value);
// Marks a virtual variable changed: its procedure runs at the next finish.
// Any other variable is an internal error.
void SV_Set_Virtual(a_statevar svx);
// Whether a variable is marked changed and not yet settled (a derived
// variable is never marked).
bool8 SV_Is_Changed(a_statevar svx);

// The settling pass: once over the variables in ascending order, collecting
// the set of variables that changed in it:
// - a virtual variable runs its procedure when it is marked or uses one of
//   the set, and joins the set;
// - a derived variable is recalculated when it uses one of the set, and
//   joins it only when its value changed;
// - any other variable joins the set when it is marked.
// Marks are cleared as the pass goes by them. Called at the end of every
// user action, by the idle work and by the sliders.
void SV_Finish();

// Around every menu command, mouse press and key of the main window.
// SV_Begin_Interaction clears pending_op. SV_End_Interaction: brings the
// current unit up to date when a document is open in one of the editing
// phases (paint to text); settles the state variables; refreshes the
// interface items' display states; records pending_op in the history when
// one was set; and settles again what the history changed.
void SV_Begin_Interaction();
void SV_End_Interaction();

// Observer of the engine's calls (NIL: none): called just before the engine
// calls a change procedure, a recalculation or a virtual variable's
// procedure (by the procedure's name), Toggle_Paint, Current_Unit_UpToDate,
// Intf_CheckHilites or History_Emit. arg is the old value for a change
// procedure (a point as h * 65536 + v), the toggle for Toggle_Paint, the
// operation for History_Emit, and 0 otherwise.
extern void (*g_sv_observer)(const char* proc, int32 arg);
