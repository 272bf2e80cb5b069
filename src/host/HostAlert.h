// Alerts shown to the user, before and without the dialog engine: the text
// of an alert with up to three buttons. Every alert is written to standard
// error as "velmor: alert N: TEXT" (the headless backend's report, which
// scripts and tests read); with the sdl backend it is also shown in a
// message box and the user's button is the answer. On the headless backend
// the answer is the next scripted `answer alert N`, else the first button.
#pragma once

#include "platform/Types.h"

// buttons: nbuttons texts (1..3, UTF-8); the first is the default. fatal
// marks a message the program ends after (an error icon). Result: the
// 1-based button chosen.
int32 Host_Alert_Show(int32 number, const char* text, const char* const* buttons, int32 nbuttons,
                      bool fatal);
