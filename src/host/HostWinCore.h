// Internals of the window layer shared by HostWin*.cpp, the backends and the
// script player: the window record, the queue and the input entry points.
// Not for use outside the host layer.
#pragma once

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "host/HostWin.h"

struct HostClass {
  WNDCLASS wc;
  std::string name;
  std::string menu_name;
  int32 windows = 0;  // live windows of the class
};

// The record behind a window handle. Relations to other windows are kept as
// handles, so a window destroyed behind a record's back reads as NIL.
struct HostWindowRec {
  HWND self = nullptr;  // this window's handle
  HostClass* cls = nullptr;
  WNDPROC proc = nullptr;
  uint32 style = 0, exstyle = 0;
  HWND parent = nullptr;  // children only
  HWND owner = nullptr;   // top-level windows only
  std::vector<HWND> children;  // stacking order, last = top
  intptr_t id = 0;
  HINSTANCE inst = nullptr;
  intptr_t userdata = 0;
  std::vector<intptr_t> extra;  // one slot per 4 extra bytes
  std::u16string title;
  // Window rectangle: screen coordinates for a top-level window, parent
  // client coordinates for a child.
  RECT wrect{0, 0, 0, 0};
  // Non-client widths; `menu_h` is part of `top`.
  int32 frame_l = 0, frame_t = 0, frame_r = 0, frame_b = 0, menu_h = 0;
  HBITMAP surface = nullptr;  // client pixels (at least 1 x 1)
  HDC dc = nullptr;
  HBITMAP menu_surface = nullptr;  // the menu bar strip
  HDC menu_dc = nullptr;
  HRGN update = nullptr;  // client coordinates
  bool erase_pending = false;
  bool visible = false;
  bool minimized = false;
  bool maximized = false;
  RECT restore_rect{0, 0, 0, 0};
  HMENU menu = nullptr;
  uint64 generation = 1;
  bool destroying = false;
  int32 Client_W() const { return std::max<int32>(0, wrect.right - wrect.left - frame_l - frame_r); }
  int32 Client_H() const { return std::max<int32>(0, wrect.bottom - wrect.top - frame_t - frame_b); }
};

namespace hostwin {

// The record of a live window of ours (NIL, destroyed, foreign and made-up
// handles give NIL). O(1).
HostWindowRec* Live(HWND hwnd);
inline HWND Handle_Of(const HostWindowRec* w) { return w ? w->self : nullptr; }
// The handle itself when it names a live window, else NIL.
inline HWND Alive(HWND hwnd) { return Live(hwnd) ? hwnd : nullptr; }
bool Is_Top(HWND hwnd);
// Top-level windows, bottom of the stacking order first.
std::vector<HWND>& Tops();

// Screen size (the backend reports it).
void Set_Screen_Size(int32 width, int32 height);

// The window under a screen point and the hit-test code there.
HWND Hit(POINT screen, LRESULT& hit);
// Client origin of a window in screen coordinates.
POINT Client_Origin(HWND hwnd);

// Destroys all windows and classes (Host_Win_Reset).
void Reset_Windows();

// Whole window (frame, menu strip and client with its children) as BGRA.
bool Compose_Frame(HWND hwnd, std::vector<uint32>& pixels, int32& width, int32& height);
// Changes whenever what Compose_Frame would give may have changed: drawing
// into the window's or its children's surfaces, moves, sizes, windows shown
// or hidden. 0 for a handle that names no window.
uint64 Content_Key(HWND hwnd);

// --- Queue (HostWinQueue.cpp) ---
void Queue_Push(const MSG& m);
void Queue_Drop_Window(HWND hwnd);
// The next window (in filter's tree, or any) whose update region asks for
// WM_PAINT: visible, parents before children, top windows first.
HWND Paint_Next(HWND filter);

// --- Input, as a backend or the script delivers it ---
// A key going down or up (autorepeat: down while down). `text_separate`:
// the backend delivers the characters of printable keys as text itself, so
// TranslateMessage makes characters only for Ctrl / Alt combinations and
// the control keys.
void Input_Key(int32 vk, bool down, bool extended, bool text_separate);
// A typed UTF-16 unit without a key (VK_PACKET down and up).
void Input_Char(char16_t unit);
void Input_Mouse_Move(POINT screen);
// button: 0 left, 1 right, 2 middle.
void Input_Button(int32 button, bool down, POINT screen);
void Input_Wheel(int32 delta, POINT screen);
// The desktop took the focus away from all our windows, or gave it back.
void App_Deactivate();
void App_Activate(HWND preferred);
// Backend-side size / position changes of a top-level window (screen
// coordinates of the client area's outer window rectangle).
void Backend_Moved(HWND hwnd, int32 x, int32 y);
void Backend_Resized(HWND hwnd, int32 width, int32 height);
void Backend_Close(HWND hwnd);

// ShowCursor's display count (the cursor shows while it is >= 0).
int32 Cursor_Show_Count();

// Set by the backend module: pumps the display and the signals, feeds the
// script; Peek and the waits call them.
extern void (*g_pump_proc)();
extern bool (*g_feed_proc)();                   // TRUE when it queued something
extern void (*g_idle_wait_proc)(uint32 timeout_ms);  // blocks at most timeout_ms
extern void (*g_cursor_changed_proc)();

}  // namespace hostwin
