#include "host/HostTextInput.h"

namespace {
HostTextInputSink g_sink = nullptr;
RECT g_last{0, 0, 0, 0};
bool g_given = false;
}  // namespace

void Host_Text_Input_Rect(HWND window, const RECT& client) {
  if (window == nullptr || client.right <= client.left || client.bottom <= client.top) return;
  POINT tl{client.left, client.top}, br{client.right, client.bottom};
  if (!ClientToScreen(window, &tl) || !ClientToScreen(window, &br)) return;
  g_last = RECT{tl.x, tl.y, br.x, br.y};
  g_given = true;
  if (g_sink == nullptr) return;
  HWND top = GetAncestorTop(window);
  RECT frame{0, 0, 0, 0};
  if (top == nullptr || !GetWindowRect(top, &frame)) return;
  g_sink(top, RECT{g_last.left - frame.left, g_last.top - frame.top, g_last.right - frame.left,
                   g_last.bottom - frame.top});
}

bool Host_Text_Input_Rect_Last(RECT& screen) {
  screen = g_last;
  return g_given;
}

void Host_Set_Text_Input_Sink(HostTextInputSink sink) { g_sink = sink; }
