#include "platform/Events.h"

#include "host/HostClock.h"
#include "host/HostWin.h"
#include "platform/SysLoop.h"
#include "platform/SysMS.h"
#include "platform/SysTimer.h"
#include "platform/SysWin.h"

uint32 TickCount() { return Host_Clock_Millis() >> 4; }

uint32 GetDblTime() { return 30; }

namespace {

// The messages a mask bit selects, as ranges of message numbers.
struct a_mask_range {
  uint16 bit;
  UINT first, last;
};
constexpr a_mask_range kFlushRanges[] = {
    {mDownMask, WM_LBUTTONDOWN, WM_LBUTTONDOWN}, {mDownMask, WM_RBUTTONDOWN, WM_RBUTTONDOWN},
    {mDownMask, WM_MBUTTONDOWN, WM_MBUTTONDOWN}, {mUpMask, WM_LBUTTONUP, WM_LBUTTONUP},
    {mUpMask, WM_RBUTTONUP, WM_RBUTTONUP},       {mUpMask, WM_MBUTTONUP, WM_MBUTTONUP},
    {keyDownMask, WM_KEYDOWN, WM_KEYDOWN},       {keyDownMask, WM_SYSKEYDOWN, WM_SYSKEYDOWN},
    {keyUpMask, WM_KEYUP, WM_KEYUP},             {keyUpMask, WM_SYSKEYUP, WM_SYSKEYUP},
};

int16 Current_Modifiers() {
  int16 m = 0;
  if (GetKeyState(VK_SHIFT) < 0) m = int16(m | shiftKey);
  if (GetKeyState(VK_CONTROL) < 0) m = int16(m | controlKey);
  return m;
}

Point Cursor_Point() {
  POINT p{0, 0};
  GetCursorPos(&p);
  Point pt;
  ToPoint(pt, p);
  return pt;
}

void Null_Event(EventRecord& e) {
  e.what = nullEvent;
  e.message = 0;
  e.when = int32(TickCount());
  e.where = Cursor_Point();
  e.modifiers = 0;
}

// Looks for the kinds of GetNextEvent in their order; flags PM_REMOVE or
// PM_NOREMOVE.
bool8 Find_Event(EventRecord& theEvent, uint16 eventMask, UINT flags) {
  static constexpr struct {
    uint16 bit;
    UINT msg;
  } kOrder[] = {{keyDownMask, WM_KEYDOWN},
                {keyUpMask, WM_KEYUP},
                {mDownMask, WM_LBUTTONDOWN},
                {mUpMask, WM_LBUTTONUP}};
  for (const auto& k : kOrder) {
    if ((eventMask & k.bit) == 0) continue;
    MSG msg;
    if (PeekMessage(&msg, nullptr, k.msg, k.msg, flags)) return ToMacEvent(theEvent, msg, eventMask);
  }
  return false;
}

}  // namespace

void FlushEvents(uint16 mask, int16 /*parm*/) {
  if (mask == 0) return;
  for (const a_mask_range& r : kFlushRanges) {
    if ((mask & r.bit) == 0) continue;
    MSG msg;
    while (PeekMessage(&msg, main_hwnd, r.first, r.last, PM_REMOVE)) {
    }
  }
}

bool8 ToMacEvent(EventRecord& theEvent, const MSG& msg, uint16 eventMask) {
  theEvent.what = nullEvent;
  theEvent.message = 0;
  theEvent.when = int32(msg.time / 16);
  theEvent.where = Cursor_Point();
  theEvent.modifiers = Current_Modifiers();
  const int32 vk = int32(msg.wParam & 0xFF);
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP: {
      const bool down = msg.message == WM_KEYDOWN;
      if ((eventMask & (down ? keyDownMask : keyUpMask)) == 0) return false;
      // A modifier key by itself is no keystroke.
      if (vk == VK_SHIFT || vk == VK_CONTROL) return false;
      theEvent.what = down ? keyDown : keyUp;
      const uint32 ch = MapVirtualKey(UINT(msg.wParam), MAPVK_VK_TO_CHAR) & 0xFF;
      theEvent.message = intptr_t((uint32(vk) << 16) | (ch << 24));
      return true;
    }
    case WM_LBUTTONDOWN:
      if ((eventMask & mDownMask) == 0) return false;
      theEvent.what = mouseDown;
      return true;
    case WM_LBUTTONUP:
      if ((eventMask & mUpMask) == 0) return false;
      theEvent.what = mouseUp;
      return true;
    default:
      return false;
  }
}

bool8 GetNextEvent(EventRecord& theEvent, uint16 eventMask) {
  if (Find_Event(theEvent, eventMask, PM_REMOVE)) return true;
  Host_Sleep_Millis(1);
  Null_Event(theEvent);
  return false;
}

bool8 EventAvail(EventRecord& theEvent, uint16 eventMask) {
  if (Find_Event(theEvent, eventMask, PM_NOREMOVE)) return true;
  Null_Event(theEvent);
  return false;
}

void GetMouse(Point& pt) {
  POINT p{0, 0};
  GetCursorPos(&p);
  if (qd.thePort != nullptr) {
    ScreenToClient(qd.thePort, &p);
    if (theHDC != nullptr) DPtoLP(theHDC, &p, 1);
  }
  ToPoint(pt, p);
}

bool8 Button() { return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0; }

bool8 StillDown() {
  if (!Button()) return false;
  return !Host_Queue_Has(nullptr, WM_LBUTTONDOWN, WM_RBUTTONDOWN);
}

bool8 WaitMouseUp() {
  MSG msg;
  return !PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_RBUTTONDBLCLK, PM_REMOVE);
}
