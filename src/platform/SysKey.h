// Key state queries and small keyboard services for code that polls.
#pragma once

#include "platform/Events.h"
#include "platform/SysLoop.h"
#include "platform/Types.h"

// Logical left and right buttons: VK_LBUTTON and VK_RBUTTON, exchanged when
// the user swapped the mouse buttons (set by SysKey_Init).
extern int16 VK_LBUTTON_;
extern int16 VK_RBUTTON_;

void SysKey_Init();

// Byte 2 (the key code) and byte 3 (the character) of a key event's message.
uint8 Event_KeyCode(const EventRecord& event);
uint8 Event_CharCode(const EventRecord& event);
void Event_Set_CharCode(uint8 newcharcode, EventRecord& event);

// The state of Shift and Ctrl now; Control (the toolbox's) is never down.
bool8 ShiftKeyDown();
bool8 OptionKeyDown();
inline bool8 ControlKeyDown() { return false; }
bool8 CapsLockDown();

// Removes every queued keyboard message (0x100..0x108); TRUE if one of them
// carried the Escape key.
bool8 EscapeKeyPending();
// Takes a queued WM_CHAR of the main window and translates it; TRUE if there
// was one.
bool8 Get_Pending_Keystroke(a_keystroke& key);
// Posts WM_CHAR with the character to the main window.
void Post_Key(uint8 charcode);
// 27, 8 and 9 map to themselves, every other character to 0.
uint8 Char_To_Virt(uint8 c);
// Whether buf[offset] is a lead byte of a multi-byte character (UTF-8 here:
// a byte that starts a sequence of two or more).
bool8 Is_DoubleByte(int16 script, CStrSpan buf, int32 offset);
// The decimal separator of the user's locale.
void Get_Decimal_Mark(char& mark);
inline void IME_SetPos(int16, int16) {}
inline bool8 Is_Keyboard_Attached() { return true; }
// Not supported: QUIT.
bool8 Is_Key_Down(int16 key);
