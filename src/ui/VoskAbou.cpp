#include "ui/VoskAbou.h"

#include <cstring>

#include "pixel/ArtKeys.h"
#include "pixel/Draw.h"
#include "pixel/SysPixt.h"
#include "pixel/TextUtil.h"
#include "platform/Quickdraw.h"
#include "platform/SysDlog.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysSound.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"
#include "ui/VoskMenu.h"

static_assert(ABOUT_PICTURE == PIXT_ABOUT_ID);

namespace {

constexpr int16 kVersionStrx = 131;  // "Version "
constexpr int16 SND_ABOUT_CLOSE = SND_STENCIL_PREVIEW;  // sound 175

struct a_about {
  a_pixt pixt{};
  bool8 loaded = false;
  void (*paint)(HWND) = nullptr;
  HWND window = nullptr;
};
a_about g_about;

int16 Picture_Width() { return int16(g_about.pixt.pixmap.bounds.right - g_about.pixt.pixmap.bounds.left); }
int16 Picture_Height() { return int16(g_about.pixt.pixmap.bounds.bottom - g_about.pixt.pixmap.bounds.top); }

void About_Start(HWND window) {
  g_about.window = window;
  SetWindowTextA(window, "ABOUT");
  SetCapture(window);
}

void About_Stop(HWND window) {
  if (GetCapture() == window) ReleaseCapture();
  g_about.window = nullptr;
}

// A press closes the box; so do Return and Escape (and the Escape a quit or
// an unattended run sends).
bool8 About_Event(HWND window, const EventRecord& e, bool8& okay) {
  switch (e.what) {
    case updateEvt:
      if (g_about.paint != nullptr) g_about.paint(window);
      return false;
    case mouseDown:
      Sound_Effect(SND_ABOUT_CLOSE);
      okay = true;
      return true;
    case keyDown: {
      const uint32 vk = uint32(e.message >> 16) & 0xFF;
      return vk == VK_ESCAPE || vk == VK_RETURN;
    }
    default: return false;
  }
}

}  // namespace

void Do_About() {
  if (!About_Open(ABOUT_PICTURE)) return;
  About_Track();
  About_Close();
}

bool8 About_Open(int16 id) {
  About_Close();
  Pixt_Load(id, g_about.pixt);
  g_about.loaded = g_about.pixt.bits != nullptr && Picture_Width() > 0 && Picture_Height() > 0;
  if (!g_about.loaded) {
    Pixt_Unload(g_about.pixt);
    return false;
  }
  g_about.paint = id == ABOUT_PICTURE ? About_Paint : About_Paint2;
  return true;
}

void About_Track() {
  if (!g_about.loaded) return;
  (void)Modal_WindowM(ENABLE_NONE, Picture_Width(), Picture_Height(), About_Start, About_Stop, About_Event);
}

void About_Close() {
  if (g_about.window != nullptr && IsWindow(g_about.window)) CloseWindow(g_about.window);
  g_about.window = nullptr;
  if (g_about.loaded) Pixt_Unload(g_about.pixt);
  g_about.loaded = false;
  g_about.paint = nullptr;
}

HWND About_Window() { return g_about.window; }

void About_Paint2(HWND window) {
  if (!g_about.loaded || window == nullptr) return;
  Push_Window(window);
  Pixt_Draw(g_about.pixt, 0, 0);
  Pop_Window();
}

void About_Paint(HWND window) {
  if (!g_about.loaded || window == nullptr) return;
  Push_Window(window);
  Pixt_Draw(g_about.pixt, 0, 0);
  Str255 text{};
  Get_DLOG_String(text, kVersionStrx);
  size_t n = std::strlen(text);
  if (n > 0 && text[n - 1] != ' ' && n + 1 < sizeof text) {
    text[n++] = ' ';
    text[n] = 0;
  }
  if (n + 1 < sizeof text) info_prog_version(StrSpan(text + n, sizeof text - n));
  SetFont(gs.font_18pt);
  ForeColor(1);
  TextMode(1);
  const int16 right = Picture_Width();
  const Rect band{ART_ABOUT_BAND_TOP, int16(right - ART_ABOUT_BAND_WIDTH), ART_ABOUT_BAND_BOTTOM, right};
  DrawStringCentered(CStrSpan(text, std::strlen(text) + 1), band);
  Pop_Window();
}
