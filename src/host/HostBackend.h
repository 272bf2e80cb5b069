// Display backends of the window layer, the end-of-session signals and the
// alert report of headless runs.
//
// Two backends, each a complete HostDisplay in its own file, and the only
// way the rest of the host reaches a display, an audio device, the desktop's
// clipboard or an alert box:
// - `sdl` (HostBackendSdl.cpp): each visible top-level window is a real
//   window showing its pixels; mouse, keyboard and text input become
//   messages; the desktop's screen size, the cursor, the audio output and
//   the alert boxes are real.
// - `headless` (HostBackendHeadless.cpp): no display. The screen size comes
//   from VELMOR_SCREEN=WxH
//   (default 1280x1024); input comes only from a script; windows are read
//   as pixels (Host_Window_Compose, the script's `snapshot`). With a script
//   the clock is the manual clock of HostClock.h, which moves only while the
//   program waits (Host_Wait_Message, Sleep) or polls an empty queue, so
//   `wait TICKS` is exact and takes no real time.
// VELMOR_BACKEND=headless|sdl chooses; without it `sdl` is used when a
// display exists (DISPLAY or WAYLAND_DISPLAY) and starts, else `headless`.
// VELMOR_SCRIPT=FILE loads a script (HostScript.h) on either backend.
//
// SIGTERM and SIGINT reach the program as the end of the session: the
// handler only writes to a pipe; the message pump (PeekMessage and the
// waits) then runs Host_End_Session, which asks every top-level window with
// WM_QUERYENDSESSION, main window first.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"

class HostAudioOutput;
class HostClipboardPeer;

enum class HostBackendKind { NONE = 0, HEADLESS = 1, SDL = 2 };

// Where a starting backend reports the screen and the desktop's panel: the
// platform's system information (Info_Set_Screen) sets it when the program
// loads, since the display starts before the modules do. NIL: no one listens.
extern void (*g_host_screen_proc)(int16 width, int16 height, bool8 has_panel, const Rect& panel);

// Reads the environment, starts the chosen backend, reports the screen to
// the system information (g_host_screen_proc), installs the signal handlers and
// loads the script. FALSE (with the reason on standard error) when the
// backend asked for cannot start, VELMOR_SCREEN or VELMOR_BACKEND is not
// valid, or the script has errors.
bool Host_Backend_Start();
// The headless backend with a given screen, no script (tests).
bool Host_Backend_Start_Headless(int32 width, int32 height);
// Closes the backend's windows and the display; the window layer stays.
void Host_Backend_Stop();
HostBackendKind Host_Backend_Kind();
inline bool Host_Backend_Is_Headless() { return Host_Backend_Kind() == HostBackendKind::HEADLESS; }

// The self-pipe for SIGTERM and SIGINT (installed by Host_Backend_Start;
// separately for tests). Remove puts the previous handlers back.
bool Host_Signals_Install();
void Host_Signals_Remove();

// An alert shown to the user: on the headless backend it is written to
// standard error as "velmor: alert N: TEXT" (other backends show it in a
// dialog and this does nothing). Returns whether it was written.
bool Host_Report_Alert(int32 number, const char* text);

// The pointer as the headless backend was last told to show it (tests read
// it in place of a screen): a system cursor by its IDC_* id, or one of the
// program's own (system_id 0) by its size, hot spot and BGRA pixels; whether
// it is shown; and how many changes have reached the backend.
struct HostShownCursor {
  uint32 system_id = 0;
  int32 width = 0, height = 0, hot_x = 0, hot_y = 0;
  std::vector<uint32> bgra;
  bool visible = true;
  uint32 changes = 0;
};
// FALSE (out unchanged) unless the headless backend runs.
bool Host_Backend_Shown_Cursor(HostShownCursor& out);

// The display's own pointer moved to the screen point (x, y), with the left
// button pressed or let go there, as a person's mouse does it: on the sdl
// backend under X11 the X server gets the input and hands it back through
// its events to the window under the pointer, so the whole way a click
// takes on a desktop is taken. FALSE when the backend has no pointer of its
// own to drive (headless; a server without the test extension): the input
// then goes to the window layer directly.
enum class HostPointerOp { MOVE = 0, DOWN = 1, UP = 2 };
bool Host_Backend_Pointer(HostPointerOp op, int32 x, int32 y);

// The running backend's audio output (HostAudio.h); NIL: the recording sink.
HostAudioOutput* Host_Backend_Audio();
// Shows an alert in the running backend's alert box and returns the 1-based
// button the user chose; 0 when the backend shows none (Host_Alert_Show).
int32 Host_Backend_Alert_Box(int32 number, const char* text, const char* const* buttons, int32 nbuttons,
                             bool fatal);

// --- For backend implementations ------------------------------------------------------

class HostDisplay {
 public:
  virtual ~HostDisplay() = default;
  // Moves pending input into the queue and brings the shown windows up to
  // date with the window layer (never blocks).
  virtual void Pump() = 0;
  // Blocks at most ms, returning early on input or when wake_fd is readable.
  virtual void Wait(uint32 ms, int wake_fd) = 0;
  virtual void Cursor_Changed() {}
  // The backend's side of the clipboard (HostClipboard.h); NIL: the
  // in-memory one.
  virtual HostClipboardPeer* Clipboard() { return nullptr; }
  // The backend's audio output (HostAudio.h); NIL: the recording sink.
  virtual HostAudioOutput* Audio() { return nullptr; }
  // Shows an alert box (buttons: 1 to 3 UTF-8 texts, the first the
  // default) and returns the 1-based button chosen; 0: no box here.
  virtual int32 Alert_Box(int32 /*number*/, const char* /*text*/, const char* const* /*buttons*/,
                          int32 /*nbuttons*/, bool /*fatal*/) {
    return 0;
  }
  // Writes the alert report (Host_Report_Alert); FALSE: this backend keeps none.
  virtual bool Report_Alert(int32 /*number*/, const char* /*text*/) { return false; }
  // The pointer as last shown (Host_Backend_Shown_Cursor); NIL: not kept.
  virtual const HostShownCursor* Shown_Cursor() const { return nullptr; }
  // Drives the display's own pointer (Host_Backend_Pointer); FALSE: this
  // backend has none to drive.
  virtual bool Pointer(HostPointerOp /*op*/, int32 /*x*/, int32 /*y*/) { return false; }
};

// The backends (HostBackendHeadless.cpp, HostBackendSdl.cpp). The sdl one is
// NIL with a reason when SDL cannot start.
std::unique_ptr<HostDisplay> Host_Make_Headless_Display();
std::unique_ptr<HostDisplay> Host_Make_Sdl_Display(std::string& err);
