#include "platform/SysTrack.h"

#include "host/HostClock.h"

#include "platform/Events.h"
#include "platform/SysCurs.h"
#include "platform/SysKey.h"
#include "platform/SysLoop.h"
#include "platform/SysWin.h"

a_mouse_track g_mouse_vbl;

namespace {

HWND gt = nullptr;

a_shift_set Shifts_Now() {
  a_shift_set s = 0;
  if (GetAsyncKeyState(VK_CONTROL) < 0) s = a_shift_set(s | Shift_Bit(OPTION_KEY));
  if (GetAsyncKeyState(VK_SHIFT) < 0) s = a_shift_set(s | Shift_Bit(SHIFT_KEY));
  return s;
}

bool Left_Down() { return GetAsyncKeyState(VK_LBUTTON_) < 0; }

}  // namespace

void SysTrack_Init() {
  g_mouse_vbl = a_mouse_track{};
  gt = nullptr;
}

void Init_Capture() { SetCapture(main_hwnd); }
void Stop_Capture() { ReleaseCapture(); }

void TrackMouse_Init(HWND win) {
  // The window tracked takes the mouse: a modal window's owner is disabled
  // and would never see the release.
  if (win != nullptr)
    SetCapture(win);
  else
    Init_Capture();
  gt = win;
}

bool8 TrackMouse_StillDown(Point& mouse) {
  if (gt != nullptr) {
    SetPort(gt);
    GetMouse(mouse);
  } else {
    Mouse_GetRawPos(mouse);
  }
  return WaitMouseUp();
}

void TrackMouse_Stop() { Stop_Capture(); }

a_shift_set SmoothTrack_Init(int16 interval) {
  const a_shift_set start = Shifts_Now();
  a_mouse_track& t = g_mouse_vbl;
  t.interval = interval;
  Mouse_GetRawPos(t.lastmouse);
  t.discon = false;
  t.overflow = false;
  t.enabled = true;
  t.lastshift = start;
  t.in = 1;
  t.out = 0;
  t.buf[0] = a_mouse_sample{t.lastmouse, JUMP_SAMPLE, start};
  return start;
}

bool8 SmoothTrack_Sample(a_mouse_sample& sample) {
  a_mouse_track& t = g_mouse_vbl;
  const bool down = Left_Down();
  if (down) {
    Point pos;
    Mouse_GetRawPos(pos);
    if (pos.h != t.lastmouse.h || pos.v != t.lastmouse.v) {
      t.buf[t.in] = a_mouse_sample{pos, t.discon ? JUMP_SAMPLE : REGULAR_SAMPLE, Shifts_Now()};
      const uint16 next = uint16((t.in + 1) % MOUSE_RING);
      if (next != t.out)
        t.in = next;
      else
        t.overflow = true;  // the slot is overwritten by the next move
      t.lastmouse = pos;
    }
    t.discon = false;
  } else {
    t.discon = true;
  }
  if (t.in != t.out) {
    sample = t.buf[t.out];
    t.out = uint16((t.out + 1) % MOUSE_RING);
    return true;
  }
  if (down) {
    sample = a_mouse_sample{t.lastmouse, HOLD_SAMPLE, t.lastshift};
    return true;
  }
  return false;
}

uint16 SmoothTrack_Pending() {
  const a_mouse_track& t = g_mouse_vbl;
  return uint16((t.in + MOUSE_RING - t.out) % MOUSE_RING);
}

void SmoothTrack_Stop() {
  FlushEvents(mDownMask, 0);
  g_mouse_vbl.enabled = false;
}

void WaitForMouseDown() {
  for (;;) {
    MSG msg;
    if (PeekMessage(&msg, nullptr, WM_NCLBUTTONDOWN, WM_MOUSELAST, PM_REMOVE)) {
      switch (msg.message) {
        case WM_KEYDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
          return;
        default:
          continue;
      }
    }
    // Nothing queued: let time pass instead of spinning on an empty queue
    // (the next look brings in what arrived meanwhile).
    Host_Sleep_Millis(10);
  }
}
