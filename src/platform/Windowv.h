// Window-manager calls named after the toolbox's: reference constants,
// stacking (kept equal to the window list's order), showing, moving and
// sizing by the client area, titles, invalidation in the current port's
// coordinates, and the update bracket.
#pragma once

#include "host/HostRegion.h"
#include "host/HostWin.h"
#include "platform/Types.h"

// Module start-up: no update bracket is open.
void Windowv_Init();
// Depth of the update brackets in use (0 to 2).
int16 Update_Depth();

void SetWRefCon(HWND window, void* refcon);
void* GetWRefCon(HWND window);

// Brings the window to the top and to the top of the window list; a window
// not in the list calls QUIT.
void BringToFront(HWND window);
// Places theWindow directly behind behindWindow, on the screen and in the
// list; either window missing from the list calls QUIT.
void SendBehind(HWND theWindow, HWND behindWindow);
// Shows or hides without moving, sizing, re-stacking or activating.
void ShowHide(HWND theWindow, bool8 targ);
// Shows without activating / hides.
void ShowWindow(HWND window);
void HideWindow(HWND window);
// Leaves the current port if the window is it, takes the window out of the
// list and destroys it. DisposeWindow is the same.
void CloseWindow(HWND window);
inline void DisposeWindow(HWND window) { CloseWindow(window); }
// Moves the window so that its client area's top-left corner is at
// (xglobal, yglobal) in screen coordinates; front is not used.
void MoveWindow(HWND theWindow, int16 xglobal, int16 yglobal, bool8 front);
// Sizes the client area to new_width x new_height; update invalidates it.
void SizeWindow(HWND theWindow, int16 new_width, int16 new_height, bool8 update);
void SetWTitle(HWND window, CStrSpan title);
void SetWTitleW(HWND window, CUStrSpan title);

// r in the logical coordinates of the current port, invalidated (without
// erasing) or validated in the current window.
void InvalRect(const Rect& r);
void ValidRect(const Rect& r);
// Regions as they stand (device coordinates of the current window).
void InvalRgn(HRGN rgn);
void ValidRgn(HRGN rgn);

// The update bracket: BeginPaint and the window made the current port (a
// third nested bracket calls QUIT); EndUpdate flushes the drawing state,
// clears the clip, ends the paint and leaves no port current.
void BeginUpdate(HWND window);
void EndUpdate(HWND window);

// The part of a screen point: 0 over no window, 2 (theWindow NIL) over a
// window that is not ours, 3 over one of ours.
constexpr int16 inNoWindow = 0;
constexpr int16 inForeign = 2;
constexpr int16 inContent = 3;
int16 FindWindow(Point thePoint, HWND& theWindow);
// The window's rectangle / client rectangle in screen coordinates.
void GetWindowBounds(HWND window, Rect& outside);
void GetWindowInterior(HWND window, Rect& inside);
// Not supported: QUIT, result NIL.
HWND NewCWindow();
