// The About box: the program's picture with its version, shown in front of
// the main window until a mouse press anywhere (sound 175) or until the
// program is asked to quit (SIGTERM, SIGINT, the end of the session).
//
// The box is a modal window (platform/SysDlog.h): the menus and the main
// window wait while it shows, a quit asked meanwhile closes it first and is
// carried out after, and an unattended run (headless, no script left)
// closes it by itself.
#pragma once

#include "host/HostWin.h"
#include "platform/Types.h"

// The stored picture of the About box (pixel/SysPixt.h PIXT_ABOUT_ID).
constexpr int16 ABOUT_PICTURE = 1000;

// About_Open(ABOUT_PICTURE), About_Track, About_Close.
void Do_About();
// Loads stored picture id and chooses its painter: About_Paint for the About
// picture, About_Paint2 (the picture alone) for any other. FALSE when the
// picture cannot be had (missing or damaged; reported through the picture
// library's hooks).
bool8 About_Open(int16 id);
// Shows the window, the size of the picture, centred and titled "ABOUT",
// with the mouse captured, and waits for a press anywhere (then sound 175)
// or a quit. Nothing without a picture loaded.
void About_Track();
// Unloads the picture; the window is gone.
void About_Close();
// The window while About_Track runs (NIL otherwise).
HWND About_Window();
// The painters, in the window's own coordinates: the picture at (0, 0); the
// About picture also gets "Version " (string 131) and the version text in
// the interface's 18-point font, centred in the band from (right - 305, 140)
// to (right, 172).
void About_Paint(HWND window);
void About_Paint2(HWND window);
