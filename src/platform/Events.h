// Events: the tick clock, and the toolbox's view of input for code that
// polls instead of waiting for window messages: event records built from
// queued messages, the mouse position and button state.
#pragma once

#include "platform/Types.h"

struct HostWindow;
struct MSG;

// Ticks of 16 ms: the host's millisecond count shifted right by 4, unsigned
// 32 bits (so it wraps together with the millisecond count).
uint32 TickCount();

// The double-click interval in ticks.
uint32 GetDblTime();

// --- Event records ---------------------------------------------------------------------

enum : int16 {
  nullEvent = 0,
  mouseDown = 1,
  mouseUp = 2,
  keyDown = 3,
  keyUp = 4,
  autoKey = 5,
  updateEvt = 6,
};

// Event masks (bits of a 16-bit set).
constexpr uint16 mDownMask = 2;
constexpr uint16 mUpMask = 4;
constexpr uint16 keyDownMask = 8;
constexpr uint16 keyUpMask = 16;
constexpr uint16 everyEvent = 0xFFFF;

// Modifier bits of an event record.
constexpr int16 cmdKey = 0x0100;
constexpr int16 shiftKey = 0x0200;
constexpr int16 controlKey = 0x0800;

// One event in the classic layout. For key events byte 2 of message (bits
// 16..23) is the virtual-key code and byte 3 (bits 24..31) the character;
// for update events message is the window (as a number); for mouse downs
// built by the main window, the window too.
struct EventRecord {
  int16 what;
  intptr_t message;
  int32 when;   // ticks
  Point where;  // screen coordinates
  int16 modifiers;
};

// Removes the main window's queued messages selected by mask: bit 2 the
// button-down messages, 4 the button-up messages, 8 WM_KEYDOWN and
// WM_SYSKEYDOWN, 16 WM_KEYUP and WM_SYSKEYUP. Mask 0 removes nothing.
void FlushEvents(uint16 mask, int16 parm);
// Converts a message into an event record. TRUE only for a key down (mask
// bit 8), key up (16), left-button down (2) or up (4); a Shift or Ctrl key
// itself and a mouse move give a null event and FALSE.
bool8 ToMacEvent(EventRecord& theEvent, const MSG& msg, uint16 eventMask);
// Takes the first WM_KEYDOWN, WM_KEYUP, WM_LBUTTONDOWN, WM_LBUTTONUP (tried
// in that order, each only when its mask bit is set) of any of the program's
// windows and converts it. With nothing taken: a 1 ms wait, a null event at
// the cursor and FALSE.
bool8 GetNextEvent(EventRecord& theEvent, uint16 eventMask);
// The same, leaving the message queued (and no wait).
bool8 EventAvail(EventRecord& theEvent, uint16 eventMask);

// The cursor in the local coordinates of the current port's window (the
// screen position when no window is current), clamped to the Point range.
void GetMouse(Point& pt);
// TRUE while the left or right button is down.
bool8 Button();
// TRUE while a button is down and no button message waits in the queue.
bool8 StillDown();
// Removes one queued button message (down, up or double click of the left
// or right button); TRUE when there was none. It does not wait.
bool8 WaitMouseUp();
