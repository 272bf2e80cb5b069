// Facts about the machine, recorded once at start-up: double-click time,
// bar heights, system version, the image codecs, the screen and its work
// area; and the program's version text.
#pragma once

#include "platform/Types.h"

extern int32 info_doubleclick;         // ticks
extern int16 info_sbarheight;          // the program's status bar: 19
extern int16 info_mbarheight;          // a menu bar
extern int16 info_os_version;          // major * 256 + minor
extern bool8 info_has_quicktime;       // the image codecs are present
extern uint32 info_quicktime_version;  // their version word (top byte the major)
extern bool8 info_is_cmdline;          // FALSE
extern bool8 info_show_taskbar;        // TRUE: the desktop's panel stays visible
extern Rect info_videobounds;          // the primary screen
extern Rect info_videoavail;           // the screen less the desktop's panel

// The height of a menu bar (our menu bars are drawn by us at this height).
int16 LMGetMBarHeight();

// The screen and the desktop's panel (task bar) as the display backend finds
// them; until a backend reports, a 1280 x 1024 screen without a panel.
void Info_Set_Screen(int16 width, int16 height, bool8 has_panel, const Rect& panel);

// Module start-up.
void Init_Info();
inline void Dump_Info() {}

// videobounds := the screen; videoavail := the same less the panel when
// show_taskbar and a panel is visible: a panel wholly below the screen's
// centre ends the work area at its top, wholly above starts it at its
// bottom, wholly left starts it at its right, wholly right ends it at its
// left.
void Calc_Video_Bounds(bool8 show_taskbar, Rect& videobounds, Rect& videoavail);

// The product version of the program's version block as text: the major
// number, a point and the minor number in two digits ("4.00", "10.05");
// "???" when the block is missing or malformed.
void info_prog_version(StrSpan ss);
// The text of a version word pair, as above (exposed for tests).
void Format_Version(uint16 major, uint16 minor, StrSpan ss);
