// The colour chooser of Pick_Color: our own dialog on the host's dialog
// engine, always fully open. A colour field (hue across, saturation down, at
// full value) with a value strip beside it, 48 basic colours, the 16 custom
// colours of the session with "Add to Custom Colours", hue / saturation /
// value and red / green / blue fields, a hexadecimal field, and a preview of
// the new colour over the current one.
//
// Keyboard: Tab moves between the parts; in the colour field the arrows move
// the hue (Left / Right) and the saturation (Up / Down), with Shift by 10;
// in the value strip Up / Down (Shift: by 10), Home / End; in the colour
// grids the arrows move to a neighbouring colour and choose it. Typing into
// a field changes the colour as soon as its text is a valid value; Enter is
// OK and Escape Cancel.
//
// Scripts: `answer color #RRGGBB` answers the next chooser with that colour
// (the dialog is not shown); otherwise it is answered as any dialog (typing
// into its fields, `answer alert 1` for OK, `answer alert 2` to cancel). An
// unattended headless run cancels it.
#pragma once

#include "host/HostGdi.h"
#include "host/HostWin.h"
#include "platform/PixMaps.h"
#include "platform/Types.h"

constexpr int16 DLOG_PICK_COLOR = 1242;

// Items of the template.
enum : int16 {
  PICK_OK = 1,
  PICK_CANCEL = 2,
  PICK_ADD_CUSTOM = 3,
  PICK_FIELD = 4,    // the hue and saturation field
  PICK_VALUE = 5,    // the value strip
  PICK_BASIC = 6,    // the basic colours
  PICK_CUSTOM = 7,   // the custom colours
  PICK_PREVIEW = 8,  // the new colour over the current one
  PICK_HUE = 10,     // 0 .. 359
  PICK_SAT = 11,     // 0 .. 100
  PICK_VAL = 12,     // 0 .. 100
  PICK_RED = 13,     // 0 .. 255
  PICK_GREEN = 14,
  PICK_BLUE = 15,
  PICK_HEX = 16,     // RRGGBB (a leading "#" is allowed)
};

// The window class of the chooser's own parts (field, strip, grids, preview).
constexpr const char* kClassPickPart = "COLORPART";

constexpr int32 kBasicColors = 48;  // 8 across, 6 down
constexpr int32 kCustomColors = 16;  // 8 across, 2 down

struct a_hsv {
  int16 h;  // degrees 0 .. 359
  int16 s;  // percent 0 .. 100
  int16 v;  // percent 0 .. 100
};

// Conversions between 8-bit channels and whole-number HSV (rounded).
a_hsv RGB_To_HSV(uint8 r, uint8 g, uint8 b);
void HSV_To_RGB(const a_hsv& hsv, uint8& r, uint8& g, uint8& b);
// Basic colour i (0 .. 47, by rows): five rows of eight hues from pale to
// dark, and a row of greys from white to black.
COLORREF Basic_Color(int32 i);
// "#RRGGBB" (or "RRGGBB", either case) to a colour; FALSE for anything else.
bool8 Parse_Hex_Color(const char* text, uint8& r, uint8& g, uint8& b);

// Runs the chooser starting at color, with custom as the custom colours
// (changed in place by "Add to Custom Colours"). TRUE on OK with color's
// red, green and blue set; FALSE on cancel, color unchanged. A missing or
// damaged template is reported by the missing-resource rule and gives FALSE.
bool8 Run_Color_Chooser(a_win_pixel32& color, COLORREF custom[kCustomColors]);

// Start-up (with the custom colours cleared): Add fills the first cell next.
void Color_Chooser_Init();

// The dialog while it runs (NIL otherwise), for tests that look at it.
HWND Color_Chooser_Window();
// Called with the dialog once it is shown and its parts are painted (tests
// take pictures of it); NIL: nothing.
extern void (*g_color_chooser_shown_hook)(HWND dialog);
