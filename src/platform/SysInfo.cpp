#include "platform/SysInfo.h"

#include <cstdio>
#include <cstring>

#include "host/HostBackend.h"
#include "host/HostByteOrder.h"
#include "platform/Events.h"
#include "platform/Resources.h"

int32 info_doubleclick = 30;
int16 info_sbarheight = 19;
int16 info_mbarheight = 20;
int16 info_os_version = 0;
bool8 info_has_quicktime = false;
uint32 info_quicktime_version = 0;
bool8 info_is_cmdline = false;
bool8 info_show_taskbar = true;
Rect info_videobounds = {0, 0, 1024, 1280};
Rect info_videoavail = {0, 0, 1024, 1280};

namespace {
int16 screen_w = 1280;
int16 screen_h = 1024;
bool8 panel_visible = false;
Rect panel_rect = {0, 0, 0, 0};

// The system version we report: the callers use it only to choose between
// old and new ways of the desktop (folders, dialogs), and this host always
// offers the new ones.
constexpr int16 kHostSystemVersion = 10 * 256 + 0;

// Our image codecs are part of the program, so they are always present; the
// version word says "7.6" so every check for a recent framework passes.
constexpr uint32 kCodecVersion = 0x07600000;

// The display backend starts before the module start-ups run and reports the
// screen as it starts, so its hook is set when the program loads.
const bool kScreenHookSet = [] {
  g_host_screen_proc = Info_Set_Screen;
  return true;
}();
}  // namespace

int16 LMGetMBarHeight() { return 20; }

void Info_Set_Screen(int16 width, int16 height, bool8 has_panel, const Rect& panel) {
  screen_w = width;
  screen_h = height;
  panel_visible = has_panel;
  panel_rect = panel;
}

void Calc_Video_Bounds(bool8 show_taskbar, Rect& videobounds, Rect& videoavail) {
  videobounds = Rect{0, 0, screen_h, screen_w};
  videoavail = videobounds;
  if (!show_taskbar || !panel_visible) return;
  const int32 cv = screen_h / 2;
  const int32 ch = screen_w / 2;
  const Rect& t = panel_rect;
  if (t.top > cv && t.bottom > cv) {
    videoavail.bottom = t.top;
  } else if (t.top < cv && t.bottom < cv) {
    videoavail.top = t.bottom;
  } else if (t.left < ch && t.right < ch) {
    videoavail.left = t.right;
  } else if (t.left > ch && t.right > ch) {
    videoavail.right = t.left;
  }
}

void Init_Info() {
  info_doubleclick = int32(GetDblTime());
  info_sbarheight = 19;
  info_mbarheight = LMGetMBarHeight();
  info_os_version = kHostSystemVersion;
  info_has_quicktime = true;
  info_quicktime_version = kCodecVersion;
  info_is_cmdline = false;
  info_show_taskbar = true;
  Calc_Video_Bounds(true, info_videobounds, info_videoavail);
}

void Format_Version(uint16 major, uint16 minor, StrSpan ss) {
  if (ss.empty()) return;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%u.%02u", unsigned(major), unsigned(minor));
  std::size_t n = std::strlen(buf);
  if (n > ss.size() - 1) n = ss.size() - 1;
  std::memcpy(ss.data(), buf, n);
  ss[n] = 0;
}

void info_prog_version(StrSpan ss) {
  if (ss.empty()) return;
  ResHandle h = GetResource(RT_VERSION, 1);
  if (!h || h->size < 4) {
    const char q[] = "???";
    std::size_t n = ss.size() - 1 < 3 ? ss.size() - 1 : 3;
    std::memcpy(ss.data(), q, n);
    ss[n] = 0;
    return;
  }
  const uint8* p = h->data;
  const uint32 ms = Load_LE32(p);
  Format_Version(uint16(ms >> 16), uint16(ms & 0xFFFF), ss);
}
