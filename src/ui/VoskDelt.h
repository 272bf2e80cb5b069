// The state variables: the values the look of the main window depends on
// (options, phase, zoom, the open document ...). Code sets them through
// here instead of writing the field; the change is marked for the next
// settling pass (SV_Finish, VoskIntf.h) and the variable's change procedure
// runs at once.
//
// So far the setters store the value of the variables whose fields exist
// (the options, the phase, the zoom index, the tool panels, the document's
// open and changed flags, the language) and run the one change procedure the
// documents rely on (the open document sets the phase); the whole table with
// its dependencies comes with the interface's state-variable engine.
#pragma once

#include "platform/SysLoop.h"  // SV_CONFIG_ALL, SV_MENUBAR_CHECKMARKS
#include "platform/Types.h"

constexpr int16 SV_SOUND_OPTION = 0;
constexpr int16 SV_SCROLL_OPTION = 1;
constexpr int16 SV_ECHO_OPTION = 2;
constexpr int16 SV_HISTORY_OPTION = 3;
constexpr int16 SV_STATUS_OPTION = 4;
constexpr int16 SV_CUTLINES_OPTION = 5;
constexpr int16 SV_TINYCURS_OPTION = 6;
constexpr int16 SV_PHASE = 7;
constexpr int16 SV_TXEDIT_PHASE = 8;
constexpr int16 SV_ZOOM_IX = 9;
constexpr int16 SV_TOOL_SELECTION = 10;
constexpr int16 SV_SYMMETRY_ENABLED = 11;
constexpr int16 SV_STENCIL_ENABLED = 12;
constexpr int16 SV_TOOL_SHOW = 13;
constexpr int16 SV_DOC_CHANGED = 14;
constexpr int16 SV_DOC_OPEN = 15;
constexpr int16 SV_EDIT_FOCUS = 16;
constexpr int16 SV_LANGUAGE = 17;
constexpr int16 SV_NVIEWS = 18;
constexpr int16 SV_TOOL_NET = 19;
constexpr int16 SV_CURR_RING = 20;
constexpr int16 SV_CURR_BAR = 21;
constexpr int16 SV_FILL_KIND = 22;
constexpr int16 SV_ZOOMFACTOR = 23;
constexpr int16 SV_MENUBAR_CONFIG = 24;
static_assert(SV_CONFIG_ALL == 25);
constexpr int16 SV_CONFIG_BSIDE = 26;
constexpr int16 SV_CONFIG_LSIDE = 27;
constexpr int16 SV_CONFIG_EDIT = 28;
constexpr int16 SV_EDIT_ORIGIN = 29;
constexpr int16 SV_NAV_REDUCTION = 30;
constexpr int16 SV_NAV_FRAME = 31;
static_assert(SV_MENUBAR_CHECKMARKS == 32);
constexpr int16 SV_MENUBAR_TOPLEVEL = 33;
constexpr int16 NSTATEVARS = 34;

// Setting a variable to the value it has does nothing. A variable whose field
// does not exist yet is only marked changed.
void SV_Set_Bool(int16 svx, bool8 value);
void SV_Set_Enum(int16 svx, uint8 value);
void SV_Set_Int(int16 svx, int16 value);
