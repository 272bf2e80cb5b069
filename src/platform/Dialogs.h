// Toolbox-named dialog calls over the host's dialog items, for the portable
// code that was written against them. Calls the program never makes on this
// platform keep their names and report an internal error.
#pragma once

#include "host/HostWin.h"
#include "platform/Events.h"
#include "platform/Types.h"

using DialogPtr = HWND;
using DialogRef = HWND;

// Module start-up: the "^0".."^3" parameter texts (gparam_strings,
// VoskErr.h) are cleared.
void Dialogs_Init();

inline HWND GetDialogWindow(DialogPtr d) { return d; }
// Repaints the dialog now.
void DrawDialog(DialogPtr d);
void ShowDialogItem(DialogPtr dialog, int16 item);
void HideDialogItem(DialogPtr dialog, int16 item);
// box := the item's client rectangle; itemType 0 and item NIL.
void GetDialogItem(DialogPtr theDialog, int16 itemNo, int16& itemType, HWND& item, Rect& box);
// Only key-down events (anything else calls QUIT): the item gets the focus
// and the event's character. Result FALSE (no item is hit this way).
bool8 DialogSelect(const EventRecord& event, DialogPtr dialog, int16& item);
inline void SelectDialogItemText(DialogPtr, int16, int16, int16) {}

// Not supported: QUIT.
HWND GetDialogItemAsControl(DialogPtr dialog, int16 item);
int16 StopAlert(int16 alertID, void* filter);
void AppendDITL(DialogPtr dialog, void* ditl, int16 method);
int16 CountDITL(DialogPtr dialog);
DialogPtr Dialog_Open(int16 id);
void Dialog_Close(DialogPtr dialog);
