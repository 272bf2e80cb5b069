// Mouse tracking for the tracking loops of painting tools and controls: a
// capture bracket with polled positions, and a smoothing tracker that keeps
// a small ring of samples so a painting stroke loses no movement while it
// draws.
#pragma once

#include "host/HostWin.h"
#include "platform/Types.h"

enum a_sample_kind : int16 { REGULAR_SAMPLE = 0, JUMP_SAMPLE = 1, HOLD_SAMPLE = 2 };

enum a_shift_key : uint8 { COMMAND_KEY = 0, SHIFT_KEY = 1, OPTION_KEY = 2, CONTROL_KEY = 3 };
using a_shift_set = uint8;
constexpr a_shift_set Shift_Bit(a_shift_key k) { return a_shift_set(1u << k); }

struct a_mouse_sample {
  Point mouse;  // screen coordinates
  a_sample_kind kind;
  a_shift_set shifts;
};

constexpr uint16 MOUSE_RING = 10;  // holds at most nine samples

struct a_mouse_track {
  int16 interval;  // stored, not used by the ring
  Point lastmouse;
  bool8 discon;    // the button was up at the last sample
  bool8 overflow;  // a sample was lost because the ring was full
  bool8 enabled;
  a_shift_set lastshift;  // the shifts at the start
  uint16 in, out;
  a_mouse_sample buf[MOUSE_RING];
};

extern a_mouse_track g_mouse_vbl;

void SysTrack_Init();

// Captures the mouse for win (the main window when none) and reports
// positions in win.
void TrackMouse_Init(HWND win);
// mouse := the position now; FALSE once a button message has arrived (it is
// consumed), which ends the loop.
bool8 TrackMouse_StillDown(Point& mouse);
void TrackMouse_Stop();
void Init_Capture();
void Stop_Capture();

// Starts a stroke; the first sample read is the starting point (a jump).
// Result: the shifts at the start (OPTION_KEY for Ctrl, SHIFT_KEY for Shift).
a_shift_set SmoothTrack_Init(int16 interval);
// The next sample: queued moves first, then, while the button is held still,
// a hold sample at the last position. FALSE once the stroke is over.
bool8 SmoothTrack_Sample(a_mouse_sample& sample);
// Samples waiting in the ring.
uint16 SmoothTrack_Pending();
void SmoothTrack_Stop();
// Waits for a key or button press (non-client presses included), dropping
// the mouse and key messages before it.
void WaitForMouseDown();
