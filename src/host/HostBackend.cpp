// Backend selection and start, the signal self-pipe, and the calls that
// reach the running backend.
#include "host/HostBackend.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "host/HostClipboard.h"
#include "host/HostClock.h"
#include "host/HostScript.h"
#include "host/HostWinCore.h"

void (*g_host_screen_proc)(int16, int16, bool8, const Rect&) = nullptr;

namespace {

std::unique_ptr<HostDisplay> g_display;
HostBackendKind g_kind = HostBackendKind::NONE;

// --- Signals ---
int g_pipe[2] = {-1, -1};
struct sigaction g_old_term, g_old_int;
bool g_signals = false;
// Set with each signal: the pipe is read only after one came, not on every
// pass of the loop.
volatile sig_atomic_t g_signalled = 0;

extern "C" void On_Signal(int) {
  const int saved = errno;
  g_signalled = 1;
  if (g_pipe[1] >= 0) {
    const char c = 1;
    ssize_t r = write(g_pipe[1], &c, 1);
    (void)r;
  }
  errno = saved;
}

// TRUE when a signal arrived since the last call (the pipe is drained).
bool Take_Signals() {
  if (g_pipe[0] < 0 || !g_signalled) return false;
  g_signalled = 0;
  bool any = false;
  char buf[64];
  for (;;) {
    const ssize_t n = read(g_pipe[0], buf, sizeof buf);
    if (n > 0) {
      any = true;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  return any;
}

void Pump_All() {
  if (Take_Signals()) Host_End_Session();
  if (g_display) g_display->Pump();
}

void Real_Wait(uint32 ms) {
  if (g_display) {
    g_display->Wait(ms, g_pipe[0]);
    return;
  }
  if (g_pipe[0] >= 0) {
    pollfd p{g_pipe[0], POLLIN, 0};
    poll(&p, 1, int(std::min<uint32>(ms, 1u << 30)));
    return;
  }
  Host_Sleep_Millis(ms);
}

void Idle_Wait(uint32 ms) {
  if (Host_Clock_Is_Manual()) {
    uint32 remaining = 0;
    if (Host_Script_Waiting(remaining)) {
      Host_Clock_Advance_Millis(std::max<uint32>(1, std::min(ms, remaining)));
      return;
    }
    if (Host_Script_Active()) return;  // the script goes on at once
    // Nothing scripted is left: wait for real (signals still come), and let
    // the manual clock keep pace.
    if (g_pipe[0] >= 0) {
      pollfd p{g_pipe[0], POLLIN, 0};
      poll(&p, 1, int(std::min<uint32>(ms, 1u << 30)));
    }
    Host_Clock_Advance_Millis(ms);
    return;
  }
  Real_Wait(ms);
}

void Cursor_Changed() {
  if (g_display) g_display->Cursor_Changed();
}

void Hook_Up() {
  hostwin::g_pump_proc = Pump_All;
  hostwin::g_idle_wait_proc = Idle_Wait;
  hostwin::g_cursor_changed_proc = Cursor_Changed;
}

bool Parse_Screen(const char* s, int32& w, int32& h) {
  char* end = nullptr;
  errno = 0;
  const long a = std::strtol(s, &end, 10);
  if (end == s || (*end != 'x' && *end != 'X') || errno) return false;
  const char* s2 = end + 1;
  const long b = std::strtol(s2, &end, 10);
  if (end == s2 || *end != 0 || errno) return false;
  if (a < 1 || b < 1 || a > 16384 || b > 16384) return false;
  w = int32(a);
  h = int32(b);
  return true;
}

}  // namespace

bool Host_Signals_Install() {
  if (g_signals) return true;
  if (g_pipe[0] < 0) {
    if (pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0) {
      g_pipe[0] = g_pipe[1] = -1;
      return false;
    }
  }
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = On_Signal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, &g_old_term);
  sigaction(SIGINT, &sa, &g_old_int);
  g_signals = true;
  if (!hostwin::g_pump_proc) hostwin::g_pump_proc = Pump_All;
  return true;
}

void Host_Signals_Remove() {
  if (!g_signals) return;
  sigaction(SIGTERM, &g_old_term, nullptr);
  sigaction(SIGINT, &g_old_int, nullptr);
  g_signals = false;
  Take_Signals();
}

bool Host_Backend_Start_Headless(int32 width, int32 height) {
  g_display = Host_Make_Headless_Display();
  g_kind = HostBackendKind::HEADLESS;
  hostwin::Set_Screen_Size(width, height);
  if (g_host_screen_proc) g_host_screen_proc(int16(std::min(width, 32000)), int16(std::min(height, 32000)), false, Rect{0, 0, 0, 0});
  Hook_Up();
  return true;
}

bool Host_Backend_Start() {
  const char* which = std::getenv("VELMOR_BACKEND");
  const bool has_display = (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) ||
                           (std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY"));
  std::string choice = which && *which ? which : (has_display ? "sdl" : "headless");
  if (choice != "sdl" && choice != "headless") {
    std::fprintf(stderr, "velmor: VELMOR_BACKEND must be \"sdl\" or \"headless\", not \"%s\"\n", choice.c_str());
    return false;
  }
  if (choice == "sdl") {
    std::string err;
    g_display = Host_Make_Sdl_Display(err);
    if (!g_display) {
      if (which && *which) {
        std::fprintf(stderr, "velmor: the sdl backend cannot start: %s\n", err.c_str());
        return false;
      }
      std::fprintf(stderr, "velmor: no usable display (%s); running headless\n", err.c_str());
      choice = "headless";
    } else {
      g_kind = HostBackendKind::SDL;
      Hook_Up();
    }
  }
  if (choice == "headless") {
    int32 w = 1280, h = 1024;
    const char* screen = std::getenv("VELMOR_SCREEN");
    if (screen && *screen && !Parse_Screen(screen, w, h)) {
      std::fprintf(stderr, "velmor: VELMOR_SCREEN must be WIDTHxHEIGHT (1 to 16384 each), not \"%s\"\n", screen);
      return false;
    }
    Host_Backend_Start_Headless(w, h);
  }
  Host_Signals_Install();
  const char* script = std::getenv("VELMOR_SCRIPT");
  if (script && *script) {
    std::string errors;
    if (!Host_Script_Load_File(script, errors)) {
      std::fputs(errors.c_str(), stderr);
      Host_Backend_Stop();
      return false;
    }
    Host_Script_Set_Quit_At_End(g_kind == HostBackendKind::HEADLESS);
    // A scripted headless run keeps its own time, so that waits are exact.
    if (g_kind == HostBackendKind::HEADLESS) Host_Clock_Set_Manual(true);
  }
  return true;
}

void Host_Backend_Stop() {
  g_display.reset();
  g_kind = HostBackendKind::NONE;
  hostwin::g_pump_proc = g_signals ? Pump_All : nullptr;
  hostwin::g_idle_wait_proc = nullptr;
  hostwin::g_cursor_changed_proc = nullptr;
}

HostBackendKind Host_Backend_Kind() { return g_kind; }

bool Host_Backend_Shown_Cursor(HostShownCursor& out) {
  if (g_kind != HostBackendKind::HEADLESS || !g_display) return false;
  const HostShownCursor* shown = g_display->Shown_Cursor();
  if (!shown) return false;
  out = *shown;
  return true;
}

bool Host_Backend_Pointer(HostPointerOp op, int32 x, int32 y) { return g_display && g_display->Pointer(op, x, y); }

HostAudioOutput* Host_Backend_Audio() { return g_display ? g_display->Audio() : nullptr; }

int32 Host_Backend_Alert_Box(int32 number, const char* text, const char* const* buttons, int32 nbuttons,
                             bool fatal) {
  return g_display ? g_display->Alert_Box(number, text, buttons, nbuttons, fatal) : 0;
}

HostClipboardPeer& Host_Clipboard_Peer() {
  HostClipboardPeer* p = g_display ? g_display->Clipboard() : nullptr;
  return p != nullptr ? *p : Host_Clipboard_Memory_Peer();
}

bool Host_Report_Alert(int32 number, const char* text) {
  return g_display != nullptr && g_display->Report_Alert(number, text);
}
