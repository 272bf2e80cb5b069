#include "platform/Dialogs.h"

#include <cstring>

#include "platform/SysErr.h"
#include "platform/SysMS.h"
#include "platform/VoskErr.h"

void Dialogs_Init() { std::memset(gparam_strings, 0, sizeof gparam_strings); }

void DrawDialog(DialogPtr d) {
  if (d != nullptr) UpdateWindow(d);
}

void ShowDialogItem(DialogPtr dialog, int16 item) {
  HWND h = GetDlgItem(dialog, item);
  if (h != nullptr) ::ShowWindow(h, SW_SHOW);
}

void HideDialogItem(DialogPtr dialog, int16 item) {
  HWND h = GetDlgItem(dialog, item);
  if (h != nullptr) ::ShowWindow(h, SW_HIDE);
}

void GetDialogItem(DialogPtr theDialog, int16 itemNo, int16& itemType, HWND& item, Rect& box) {
  itemType = 0;
  item = nullptr;
  RECT r{0, 0, 0, 0};
  HWND h = GetDlgItem(theDialog, itemNo);
  if (h != nullptr) GetClientRect(h, &r);
  ToRect(box, r);
}

bool8 DialogSelect(const EventRecord& event, DialogPtr dialog, int16& item) {
  if (event.what != keyDown) {
    QUIT();
    return false;
  }
  HWND h = GetDlgItem(dialog, item);
  if (h != nullptr) {
    SetFocus(h);
    const uint32 ch = uint32((uintptr_t(event.message) >> 24) & 0xFF);
    SendMessage(h, WM_CHAR, WPARAM(ch), 0);
  }
  return false;
}

HWND GetDialogItemAsControl(DialogPtr, int16) {
  QUIT();
  return nullptr;
}
int16 StopAlert(int16, void*) {
  QUIT();
  return 0;
}
void AppendDITL(DialogPtr, void*, int16) { QUIT(); }
int16 CountDITL(DialogPtr) {
  QUIT();
  return 0;
}
DialogPtr Dialog_Open(int16) {
  QUIT();
  return nullptr;
}
void Dialog_Close(DialogPtr) { QUIT(); }
