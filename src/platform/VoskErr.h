// Messages to the user: the texts of alerts and dialogs looked up by number
// in the string lists of the interface language, with "^0".."^3" parameter
// substitution and the "@P", "@C", "@U" program-name substitutions.
// The alerts are modal dialogs (SysDlog); the progress window and the
// prompt strip are small windows of their own.
#pragma once

#include "host/HostWin.h"
#include "platform/Events.h"
#include "platform/SysErr.h"
#include "platform/Types.h"

// String lists, before the language offset is added.
constexpr int16 STRLIST_DLOG = 200;     // dialog strings
constexpr int16 STRLIST_ALERT = 400;    // alert texts
constexpr int16 STRLIST_PROGRAM = 1001; // the program's own names

// Items of the program's own names list.
constexpr int16 PROG_PREFS_FILE = 3;
constexpr int16 PROG_ART_FILE = 4;
constexpr int16 PROG_MAKER = 6;
constexpr int16 PROG_WEB = 7;
constexpr int16 PROG_LONG_NAME = 8;
constexpr int16 PROG_SHORT_NAME = 10;

// The values of "^0" to "^3" (shared with the dialog module's parameter text).
extern Str255 gparam_strings[4];

// Copies the four texts into gparam_strings (each cut to 255 bytes).
void Param_Text(CStrSpan param0, CStrSpan param1, CStrSpan param2, CStrSpan param3);
// Replaces "^0".."^3" in msg in one pass; other characters, a "^" before
// anything else and a final "^" stay. msg is changed only when something was
// replaced; the result is cut to 255 bytes and to msg's array.
void Do_Param_Text(StrSpan msg);
// Replaces "@P", "@C", "@U" (letter in either case, not at the very end) by
// items 8, 6 and 7 of the program's own names list. TRUE if any was replaced.
bool8 Do_Substitutions(StrSpan ss);

// Item strx of list listx in the interface language (listx + language), else
// of the English base list listx; then "^0".."^3" replaced. A missing
// English item gives "".
void Get_Translated_String(StrSpan ss, int16 listx, int16 strx);
void Get_Translated_UString(UStrSpan uss, int16 listx, int16 strx);
void Get_DLOG_String(StrSpan str, int16 index);
void Get_DLOG_UString(UStrSpan uss, int16 index);

// The interface language in use (the low byte of gs.pref.language_offset).
int16 Current_Language();

// The parameters of the fatal messages: for a missing resource ^0 = the kind
// as four characters, ^1 = the id; for a missing picture-library key ^1 = its
// four parts joined by ".". The alert then shown is alert 6.
void MissingResource_Params(OSType kind, int16 id);
void MissingKey_Params(OSType kind, a_keyset key);

// Cuts a UTF-8 text to at most max bytes without splitting a character.
int32 UTF8_Cut_Length(CStrSpan text, int32 len, int32 max);

// --- Alerts ---------------------------------------------------------------------------

// Dialog ids of the alerts: one button, three buttons, two buttons.
constexpr int16 DLOG_ALERT1 = 1199;
constexpr int16 DLOG_ALERT3 = 1200;
constexpr int16 DLOG_ALERT2 = 1201;

// Shows alert text stringx of list 400 with an OK button. A message that is
// not fatal stays silent unless a person drives the program (gs.controller
// HUMAN). With abortflag the program then ends with exit status 1: first
// g_err_sav_proc runs when set (it keeps the open document and writes the
// preferences), then the alert shows, followed by alert 99 naming the file
// the document was kept in when there is one (SysErr_Recovered).
void OK_Alert(bool8 abortflag, int16 stringx);
// The yes/no/cancel request: dialog 1199 shows alert prompt_str with the
// button DLOG string yes_strx; 1201 shows DLOG prompt_str with yes and
// cancel; 1200 with yes, cancel and no. Result 0 for yes, 1 for cancel, 2
// for no. Any other dialog id is an internal error (QUIT).
int16 Ask_YesNoCancel(int16 dlog_id, int16 prompt_str, int16 yes_strx, int16 cancel_strx,
                      int16 no_strx);
// Ask_YesNoCancel with "^0" set to the open document's file name.
int16 Confirm_Msg(int16 dlog_id, int16 prompt_str, int16 yes_strx, int16 can_strx, int16 no_strx);

// The fatal procedures the main module installs in the SysErr hooks. Each
// shows its alert (4, 5 or 6) and ends the program.
void InternalError();
void OutOfMemory(uint32 needed);
void MissingResource(OSType kind, int16 id);
void MissingKey(OSType kind, a_keyset key);
// The same messages for an item met while the program runs (the item hooks of
// SysErr): alert 6's text without ending the program.
void MissingResource_Item(OSType kind, int16 id);
void MissingKey_Item(OSType kind, a_keyset key);
// The first call of a run shows alert 24 (not fatal); later calls do nothing.
void Memory_Constraint();

// --- Alert dialogs -------------------------------------------------------------------

// The request an alert dialog shows (g_yesno points at it while it runs).
struct a_yesno_rec {
  int16 dlog_id;
  int16 prompt_str;
  int16 yes_strx;
  int16 cancel_strx;
  int16 no_strx;
};
extern a_yesno_rec* g_yesno;

// Sets dialog item partix to DLOG string stringx.
void Fix_DLOG_String(HWND dialog, int16 partix, int16 stringx);
// The procedures of the alert dialogs: the texts by dialog id, the item
// that ends it, and the keys: Return or keypad Enter give item 1; Escape
// or Ctrl+"." item 2 (item 1 in the one-button message); Ctrl+"D" item 3 in
// the three-button dialog. Updates of other windows are painted.
void YesNo_Init(HWND dialog);
void YesNo_Cmd(HWND dialog, int16 item);
bool8 DialogFilterYesNo(HWND dialog, EventRecord& theEvent, int16& itemhit);
// Filters offered to other dialogs: Escape or Ctrl+"." give item 2, keypad
// Enter item 1 (DialogFilter1 also Return); updates of other windows are
// painted.
bool8 DialogFilter1(HWND dialog, EventRecord& theEvent, int16& itemhit);
bool8 DialogFilter2(HWND dialog, EventRecord& theEvent, int16& itemhit);

// --- Progress window and prompt strip --------------------------------------------------

// Module start-up: g_progproc := Progress_Tick; no window open.
void VoskErr_Init();

// The progress window and the bar drawn so far (its right edge).
struct a_progress_rec {
  Rect bar;
  int16 drawn;
};
extern HWND g_progress_window;
extern a_progress_rec g_progress;
extern HWND g_prompt_window;

// The two pairs that open and close the progress window.
constexpr int16 PROGRESS_INIT = -1;
constexpr int16 PROGRESS_STOP = -2;

// (-1, -1) opens the progress window, (-2, -2) closes it; any other pair
// grows the bar to num / den of its width (num limited to den; den 0 is the
// whole bar). The bar never shrinks. Ticks while no window is open do
// nothing.
void Progress_Tick(int16 num, int16 den);
// A 300 x 45 window centred on the main window's rectangle, "Working..."
// and the empty bar. An open one is closed first.
void Progress_Init();
void Progress_Stop();
// Paints bar one row at a time, (66, 90, 90) at the top to (66, 156, 156).
void Draw_Progress_Bar(const Rect& bar);

// Shows DLOG string msgix in a framed strip at the bottom left of the
// first view (replacing a strip already shown); Prompt_Hide removes it.
void Prompt_Show(int16 msgix);
void Prompt_Hide();
// The main window's rectangle (screen), as the preferences keep it.
void Calc_Edit_Area(Rect& gbounds);
