// The host layer's dialog engine: dialog boxes made from templates, run
// modally with their own message loop (DialogBoxIndirectParam) or modelessly
// (CreateDialogIndirectParam), the item calls the platform layer uses
// (GetDlgItemText, CheckDlgButton, ...), keyboard navigation
// (IsDialogMessage), and a reader of dialog templates stored as resources.
//
// A dialog is a top-level window of class "DIALOG" (owned by the owner
// window given, framed by the desktop with a title bar) whose client area
// holds the items as child windows (HostControls.h, or any registered class
// such as the platform's "USER"). The dialog procedure (DLGPROC) sees every
// message from WM_INITDIALOG on; it returns nonzero when it handled one, and
// then the window's answer is DWLP_MSGRESULT (SetWindowLongPtr), except for
// WM_INITDIALOG whose answer is the procedure's own result. Unhandled
// messages get the dialog's default processing:
//   WM_CLOSE (the close box, Alt+F4)  presses IDCANCEL (below)
//   DM_GETDEFID / DM_SETDEFID          the default push button (the template's
//                                      BS_DEFPUSHBUTTON item, else IDOK)
//   WM_NEXTDLGCTL                      wParam: the control (lParam TRUE) or
//                                      next / previous tab stop (wParam 0 / 1)
//   activation                         the focus returns to the control that had it
//
// "Pressing" item N sends the dialog WM_COMMAND (MAKEWPARAM(N, BN_CLICKED),
// item window or NIL): through BM_CLICK when item N is a button (so a check
// box toggles first), directly when there is no such item (IDCANCEL needs
// no button), not at all when the item is disabled.
//
// Keyboard (IsDialogMessage; the modal loop calls it for every message):
// Tab / Shift+Tab move the focus between visible, enabled WS_TABSTOP items
// in creation order, wrapping (an edit field reached so gets all its text
// selected); the arrow keys move within a group (items from one WS_GROUP
// item up to the next), checking an auto radio button they land on; Enter
// presses the focused push button, else the default button; Escape presses
// IDCANCEL. A control keeps any of these keys it asks for with
// WM_GETDLGCODE (an edit field keeps the arrows, a multi-line one Enter
// too, a dropped combo box everything).
//
// Modal runs (DialogBoxIndirectParam): the owner's top-level window is
// disabled for the dialog's life and enabled again before the dialog is
// destroyed, so that activation returns to it. The loop takes every
// message of the thread (other windows still repaint). A WM_QUIT taken by
// the loop ends the dialog with IDCANCEL and is posted again for the main
// loop. Dialogs nest: each runs its own loop.
//
// Scripted answers: whenever the loop finds no message waiting it asks the
// script for an alert answer (HostScript.h, `answer alert N`; a queued
// answer, or the script's next line when it is such a line) and presses
// item N of the innermost running dialog. So a script fills a dialog with
// its ordinary input (key, type, click on the dialog's items) and ends it
// with `answer alert 1` (usually OK) or `answer alert 2` (IDCANCEL). On the
// headless backend (or with no backend), a modal dialog that is idle with
// no answer queued and no script input left is cancelled: it presses
// IDCANCEL and, should the dialog procedure not end it then, ends it with
// IDCANCEL itself. It never waits for input that cannot come.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/HostControls.h"
#include "host/HostWin.h"
#include "platform/Types.h"

using DLGPROC = intptr_t (*)(HWND hdlg, UINT msg, WPARAM wparam, LPARAM lparam);

// Window longs of a dialog (its class has 12 extra bytes: three slots).
constexpr int32 DWLP_MSGRESULT = 0;
constexpr int32 DWLP_DLGPROC = 4;
constexpr int32 DWLP_USER = 8;
constexpr int32 kHostDialogExtraBytes = 12;

// Standard item ids.
constexpr int32 IDOK = 1;
constexpr int32 IDCANCEL = 2;
constexpr int32 IDABORT = 3;
constexpr int32 IDRETRY = 4;
constexpr int32 IDIGNORE = 5;
constexpr int32 IDYES = 6;
constexpr int32 IDNO = 7;

// Dialog messages.
constexpr UINT DM_GETDEFID = WM_USER + 0;  // result MAKELONG(id, DC_HASDEFID)
constexpr UINT DM_SETDEFID = WM_USER + 1;  // wParam the id
constexpr uint16 DC_HASDEFID = 0x534B;
constexpr UINT WM_NEXTDLGCTL = 0x0028;

// Dialog styles (the template's style; the window styles WS_* too).
constexpr uint32 DS_SETFONT = 0x0040;     // (ignored: templates carry no font)
constexpr uint32 DS_MODALFRAME = 0x0080;
constexpr uint32 DS_SETFOREGROUND = 0x0200;
constexpr uint32 DS_CENTER = 0x0800;      // centred on the owner (the screen without one)

// --- Templates -------------------------------------------------------------------------
//
// Geometry is in pixels (not dialog units): the dialog's x, y place its
// top-left corner relative to the owner's client-area origin (the screen's
// when there is no owner) unless DS_CENTER; cx, cy are the client area.
// Items are in client coordinates. Item styles are the platform's: WS_CHILD
// is always added, WS_VISIBLE, WS_TABSTOP, WS_GROUP and WS_DISABLED are as
// given, the low 16 bits are the class's own style (BS_, ES_, ...). Texts are
// UTF-8.

struct HostDlgItemTemplate {
  std::string cls;  // "BUTTON", "EDIT", "STATIC", "SCROLLBAR", "COMBOBOX", "USER" ...
  int32 id = 0;     // -1 for items nobody addresses
  std::string text;
  int32 x = 0, y = 0, cx = 0, cy = 0;
  uint32 style = 0;
};

struct HostDlgTemplate {
  std::string title;
  uint32 style = 0;  // 0: WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER
  int32 x = 0, y = 0, cx = 0, cy = 0;
  std::vector<HostDlgItemTemplate> items;
};

// Limits of a template (the reader refuses more; the dialog calls too).
constexpr int32 kHostDlgMaxItems = 255;
constexpr int32 kHostDlgMaxSide = 4096;     // width and height, pixels
constexpr int32 kHostDlgMaxCoord = 8192;    // |x|, |y|
constexpr size_t kHostDlgMaxText = 1024;    // bytes of a title or an item text
constexpr size_t kHostDlgMaxClassName = 63;

// The resource type of stored templates.
constexpr OSType kHostDialogResType = FourCC("DLOG");

// Stored template (resource type "DLOG"), all integers little-endian, no
// padding; authored with the resource compiler's raw directives:
//
//   offset  size  field
//   0       4     signature "DLG1"                        text "DLG1"
//   4       4     style (0: the default above)            u32 ...
//   8       2x4   x, y, cx, cy (int16; cx, cy 1..4096)     i16 x y cx cy
//   16      2     item count n (0..255)                   u16 n
//   18      ...   title: UTF-8, NUL-terminated            cstring "..."
//   then n items, each:
//           4     style                                   u32 ...
//           2     id (int16)                              i16 id
//           2x4   x, y, cx, cy (int16; cx, cy 0..4096)     i16 x y cx cy
//           1     class: 1 BUTTON, 2 EDIT, 3 STATIC,      u8 code
//                 5 SCROLLBAR, 6 COMBOBOX, 0 named:
//           ...   (code 0 only) class name, ASCII letters, cstring "USER"
//                 digits and "_", 1..63 bytes, NUL-terminated
//           ...   text: UTF-8, NUL-terminated             cstring "..."
//
// Texts hold at most 1024 bytes. The reader refuses (FALSE, *err saying
// where and why, *out untouched) a short or long buffer, a wrong signature,
// a child or a zero-sized dialog, counts, sizes or coordinates out of
// range, an unknown class code, a bad class name, invalid UTF-8 and a text
// without its NUL.
bool Host_Dialog_Parse_Template(std::span<const uint8> bytes, HostDlgTemplate* out, std::string* err);

// --- Running dialogs ------------------------------------------------------------------

// Runs a dialog modally; returns the EndDialog result, or -1 when the
// template is refused or the window cannot be made. lparam reaches
// WM_INITDIALOG. A nonzero answer to WM_INITDIALOG gives the focus to the
// first tab stop (wParam of WM_INITDIALOG); zero leaves the focus where the
// procedure put it.
intptr_t DialogBoxIndirectParam(HINSTANCE inst, const HostDlgTemplate* tmpl, HWND owner, DLGPROC proc,
                                LPARAM lparam);
// Makes a modeless dialog (shown when the template style has WS_VISIBLE);
// NIL on failure. It lives until DestroyWindow; EndDialog hides it.
HWND CreateDialogIndirectParam(HINSTANCE inst, const HostDlgTemplate* tmpl, HWND owner, DLGPROC proc,
                               LPARAM lparam);
// Ends a modal dialog with result once its procedure returns (the loop
// then destroys it); hides a modeless one. FALSE for a window that is not a
// dialog.
bool EndDialog(HWND hdlg, intptr_t result);
// TRUE when msg was meant for the dialog (the dialog or one of its items)
// and has been processed (keyboard navigation, or translated and
// dispatched); FALSE leaves msg to the caller.
bool IsDialogMessage(HWND hdlg, MSG* msg);

// The next (or previous) tab stop / group item after ctl (NIL: from the
// start); NIL when there is none.
HWND GetNextDlgTabItem(HWND hdlg, HWND ctl, bool previous);
HWND GetNextDlgGroupItem(HWND hdlg, HWND ctl, bool previous);

// Items (GetDlgItem is in HostWin.h).
LRESULT SendDlgItemMessage(HWND hdlg, int32 id, UINT msg, WPARAM wparam, LPARAM lparam);
bool SetDlgItemTextW(HWND hdlg, int32 id, const char16_t* text);
bool SetDlgItemTextA(HWND hdlg, int32 id, const char* utf8);
// Copies at most bufsize - 1 units and a NUL; returns the units copied.
int32 GetDlgItemTextW(HWND hdlg, int32 id, char16_t* buf, int32 bufsize);
// UTF-8; at most bufsize - 1 bytes, never splitting a character.
int32 GetDlgItemTextA(HWND hdlg, int32 id, char* buf, int32 bufsize);
std::string Host_Dlg_Item_Text_Utf8(HWND hdlg, int32 id);
// The item's text as a decimal number (leading and trailing blanks allowed,
// a sign only when is_signed); *ok FALSE (result 0) for anything else or a
// value outside int32 (is_signed) / uint32.
uint32 GetDlgItemInt(HWND hdlg, int32 id, bool* ok, bool is_signed);
bool SetDlgItemInt(HWND hdlg, int32 id, uint32 value, bool is_signed);
bool CheckDlgButton(HWND hdlg, int32 id, UINT check);
UINT IsDlgButtonChecked(HWND hdlg, int32 id);
// Checks `check` and clears the other buttons first .. last.
bool CheckRadioButton(HWND hdlg, int32 first, int32 last, int32 check);

// TRUE for a window of class "DIALOG".
bool Host_Is_Dialog(HWND hwnd);
// Running modal dialogs (nesting depth) and the innermost one (NIL: none).
int32 Host_Dialog_Modal_Depth();
HWND Host_Dialog_Modal_Top();
// The running modal dialogs, outermost first.
std::vector<HWND> Host_Dialog_Modal_Stack();
// TRUE while hdlg runs modally and nothing has ended it (EndDialog).
bool Host_Dialog_Running(HWND hdlg);
// Presses item N of a dialog as described above (what a scripted answer does).
void Host_Dialog_Press(HWND hdlg, int32 id);
