#include "platform/SysKey.h"

#include <langinfo.h>
#include <locale.h>

#include "host/HostWin.h"
#include "platform/SysErr.h"

int16 VK_LBUTTON_ = VK_LBUTTON;
int16 VK_RBUTTON_ = VK_RBUTTON;

void SysKey_Init() {
  const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
  VK_LBUTTON_ = int16(swapped ? VK_RBUTTON : VK_LBUTTON);
  VK_RBUTTON_ = int16(swapped ? VK_LBUTTON : VK_RBUTTON);
}

uint8 Event_KeyCode(const EventRecord& event) { return uint8(uintptr_t(event.message) >> 16); }
uint8 Event_CharCode(const EventRecord& event) { return uint8(uintptr_t(event.message) >> 24); }
void Event_Set_CharCode(uint8 newcharcode, EventRecord& event) {
  uintptr_t m = uintptr_t(event.message) & ~(uintptr_t(0xFF) << 24);
  event.message = intptr_t(m | (uintptr_t(newcharcode) << 24));
}

bool8 ShiftKeyDown() { return GetAsyncKeyState(VK_SHIFT) < 0; }
bool8 OptionKeyDown() { return GetAsyncKeyState(VK_CONTROL) < 0; }
bool8 CapsLockDown() { return (GetKeyState(VK_CAPITAL) & 1) != 0; }

bool8 EscapeKeyPending() {
  bool8 escape = false;
  MSG msg;
  while (PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    const bool is_key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP ||
                        msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSKEYUP;
    if ((is_key && (msg.wParam & 0xFF) == VK_ESCAPE) || (!is_key && msg.wParam == 27)) escape = true;
  }
  return escape;
}

bool8 Get_Pending_Keystroke(a_keystroke& key) {
  MSG msg;
  if (!PeekMessage(&msg, main_hwnd, WM_CHAR, WM_CHAR, PM_REMOVE)) return false;
  WM_CHAR_To_Keystroke(msg.wParam, msg.lParam, key);
  return true;
}

void Post_Key(uint8 charcode) { PostMessage(main_hwnd, WM_CHAR, charcode, 0); }

uint8 Char_To_Virt(uint8 c) { return (c == 27 || c == 8 || c == 9) ? c : 0; }

bool8 Is_DoubleByte(int16 /*script*/, CStrSpan buf, int32 offset) {
  if (offset < 0 || std::size_t(offset) >= buf.size()) return false;
  return (uint8(buf[std::size_t(offset)]) & 0xC0) == 0xC0;
}

void Get_Decimal_Mark(char& mark) {
  // The user's locale from the environment, without changing the process's
  // own (number formatting elsewhere stays in the C locale).
  mark = '.';
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", locale_t(0));
  if (loc == locale_t(0)) return;
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  // A separator of more than one byte cannot be handed on as one character.
  if (radix != nullptr && radix[0] != 0 && radix[1] == 0) mark = radix[0];
  freelocale(loc);
}

bool8 Is_Key_Down(int16) {
  QUIT();
  return false;
}
