// The input method's box: where the desktop shows text being composed (and
// its candidate list) while the program takes typed text. The program tells
// where its caret is; the display backend hands it on (SDL_SetTextInputRect
// on sdl; the headless backend only keeps it).
#pragma once

#include "host/HostWin.h"

// The caret's box in window's client coordinates. An empty box is ignored.
void Host_Text_Input_Rect(HWND window, const RECT& client);
// The last box given, in screen coordinates; FALSE when none was given.
bool Host_Text_Input_Rect_Last(RECT& screen);

// For backends: called with the top-level window and the box in that
// window's own coordinates (from its top-left corner). NIL: nobody listens.
using HostTextInputSink = void (*)(HWND top, const RECT& box);
void Host_Set_Text_Input_Sink(HostTextInputSink sink);
