// Child controls of the host layer, drawn by us: push buttons, check boxes,
// radio buttons and group boxes ("BUTTON"), static texts and frames
// ("STATIC"), edit fields ("EDIT"), drop-down lists ("COMBOBOX") and scroll
// bars ("SCROLLBAR"). They are window classes like any other (class names
// compare without case, so "combobox" finds "COMBOBOX"), created with
// CreateWindowEx(..., WS_CHILD | ..., parent, (HMENU)id, ...) and driven by
// the usual messages; they tell their parent what the user did with
// WM_COMMAND (MAKEWPARAM(id, notification), control) and, for scroll bars,
// WM_HSCROLL / WM_VSCROLL (MAKEWPARAM(code, position), control).
//
// Look: a plain, flat style. Text is drawn in the control font: the font
// given with WM_SETFONT, else Host_Control_Font() (a 12-pixel em of the
// closest installed sans-serif family). Controls paint their own background
// in the dialog face colour (kHostFaceColor) except edit fields and the
// combo box's field (white). A focused button, combo box or scroll bar shows
// a dotted focus rectangle; a focused edit field shows its caret (a steady
// 1-pixel bar: there is no blinking). Disabled controls draw grey text and
// take no input (the window layer routes none to them).
//
// Texts are UTF-16 in messages (WM_SETTEXT, CB_ADDSTRING ... take
// const char16_t*); no "&" mnemonics are interpreted. Edit fields keep their
// text as the window's title, so GetWindowTextW reads it; set it with
// WM_SETTEXT (SetDlgItemText does) so that the field repaints and reports
// EN_CHANGE.
//
// Keyboard: a control that has the focus handles its keys (WM_KEYDOWN /
// WM_CHAR); a dialog's IsDialogMessage asks WM_GETDLGCODE first and keeps
// Tab, Enter, Escape and the arrows (radio groups) for itself unless the
// control wants them. Edit fields: characters insert (replacing the
// selection), Backspace / Delete, Left / Right / Home / End (Shift extends
// the selection, Ctrl moves by words), Up / Down between lines of a
// multi-line field, Ctrl+A selects all, Ctrl+C / Ctrl+X / Ctrl+V use a
// clipboard private to the host's controls. Buttons: Space presses.
// Combo boxes: Up / Down / Home / End change the selection, F4 or Alt+Down
// drops the list; in the dropped list Enter chooses and Escape cancels.
// Scroll bars: arrows give SB_LINEUP / SB_LINEDOWN, Page Up / Page Down the
// page codes, Home / End SB_TOP / SB_BOTTOM.
//
// Mouse on scroll bars: an arrow gives SB_LINEUP / SB_LINEDOWN, the track
// above or below the thumb SB_PAGEUP / SB_PAGEDOWN (one action a press: the
// host has no timers for auto-repeat), dragging the thumb SB_THUMBTRACK with
// the position under the mouse at every move and SB_THUMBPOSITION at the
// release; every press ends with SB_ENDSCROLL. The control never moves its
// own position for these: the parent does, with SetScrollPos /
// SetScrollInfo, as the platform's scroll bars work.
#pragma once

#include <string>
#include <vector>

#include "host/HostFont.h"
#include "host/HostGdi.h"
#include "host/HostWin.h"
#include "platform/Types.h"

// Registers the control classes and the dialog class (HostDialog.h); safe to
// call again (classes that exist are kept). Program start-up calls it; so do
// the dialog calls. Host_Win_Reset drops every class: call it again after.
void Host_Controls_Init();

// The default control font (never deleted). NIL only when no font exists.
HFONT Host_Control_Font();

// The group of a child control: its siblings (creation order) from the
// nearest one at or before it with WS_GROUP up to the next WS_GROUP one.
std::vector<HWND> Host_Control_Group(HWND ctl);

// Colours of the style.
constexpr COLORREF kHostFaceColor = RGB(240, 240, 240);       // dialog and button face
constexpr COLORREF kHostButtonColor = RGB(225, 225, 225);     // push button
constexpr COLORREF kHostPressedColor = RGB(196, 210, 228);    // pushed button
constexpr COLORREF kHostFrameColor = RGB(122, 122, 122);      // outlines
constexpr COLORREF kHostDefaultColor = RGB(0, 90, 180);       // default button outline
constexpr COLORREF kHostTextColor = RGB(0, 0, 0);
constexpr COLORREF kHostGrayTextColor = RGB(160, 160, 160);   // disabled text
constexpr COLORREF kHostFieldColor = RGB(255, 255, 255);      // edit and list background
constexpr COLORREF kHostHighlightColor = RGB(0, 120, 215);    // selection
constexpr COLORREF kHostHighlightTextColor = RGB(255, 255, 255);
constexpr COLORREF kHostTrackColor = RGB(218, 218, 218);      // scroll-bar track
constexpr COLORREF kHostThumbColor = RGB(166, 166, 166);      // scroll-bar thumb

// --- More WM_GETDLGCODE answers (the first ones are in HostWin.h) -------------------

constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// Clipboard-style messages the edit field answers.
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;

// --- Buttons ("BUTTON") ----------------------------------------------------------------

constexpr uint32 BS_PUSHBUTTON = 0x0000;
constexpr uint32 BS_DEFPUSHBUTTON = 0x0001;
constexpr uint32 BS_CHECKBOX = 0x0002;
constexpr uint32 BS_AUTOCHECKBOX = 0x0003;
constexpr uint32 BS_RADIOBUTTON = 0x0004;
constexpr uint32 BS_3STATE = 0x0005;
constexpr uint32 BS_AUTO3STATE = 0x0006;
constexpr uint32 BS_GROUPBOX = 0x0007;
constexpr uint32 BS_AUTORADIOBUTTON = 0x0009;
constexpr uint32 BS_TYPEMASK = 0x000F;
constexpr uint32 BS_LEFTTEXT = 0x0020;  // check box and radio: the mark right of the text

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;  // wParam TRUE: drawn pushed
constexpr UINT BM_SETSTYLE = 0x00F4;  // wParam: the new BS_ type (push / default push)
constexpr UINT BM_CLICK = 0x00F5;     // as a click by the user

constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;
constexpr WPARAM BST_INDETERMINATE = 2;
constexpr LRESULT BST_PUSHED = 4;  // BM_GETSTATE bits
constexpr LRESULT BST_FOCUS = 8;

constexpr uint16 BN_CLICKED = 0;
constexpr uint16 BN_SETFOCUS = 6;
constexpr uint16 BN_KILLFOCUS = 7;

// --- Statics ("STATIC") ------------------------------------------------------------

constexpr uint32 SS_LEFT = 0x0000;  // word-wrapped
constexpr uint32 SS_CENTER = 0x0001;
constexpr uint32 SS_RIGHT = 0x0002;
constexpr uint32 SS_BLACKRECT = 0x0004;
constexpr uint32 SS_GRAYRECT = 0x0005;
constexpr uint32 SS_WHITERECT = 0x0006;
constexpr uint32 SS_BLACKFRAME = 0x0007;
constexpr uint32 SS_GRAYFRAME = 0x0008;
constexpr uint32 SS_WHITEFRAME = 0x0009;
constexpr uint32 SS_SIMPLE = 0x000B;
constexpr uint32 SS_LEFTNOWORDWRAP = 0x000C;
constexpr uint32 SS_ETCHEDHORZ = 0x0010;
constexpr uint32 SS_ETCHEDFRAME = 0x0012;
constexpr uint32 SS_TYPEMASK = 0x001F;
constexpr uint32 SS_NOTIFY = 0x0100;  // clicks give STN_CLICKED
constexpr uint32 SS_CENTERIMAGE = 0x0200;  // text centred vertically

constexpr uint16 STN_CLICKED = 0;

// --- Edit fields ("EDIT") --------------------------------------------------------------

constexpr uint32 ES_LEFT = 0x0000;
constexpr uint32 ES_CENTER = 0x0001;
constexpr uint32 ES_RIGHT = 0x0002;
constexpr uint32 ES_MULTILINE = 0x0004;
constexpr uint32 ES_UPPERCASE = 0x0008;
constexpr uint32 ES_LOWERCASE = 0x0010;
constexpr uint32 ES_PASSWORD = 0x0020;
constexpr uint32 ES_AUTOVSCROLL = 0x0040;
constexpr uint32 ES_AUTOHSCROLL = 0x0080;
constexpr uint32 ES_NOHIDESEL = 0x0100;
constexpr uint32 ES_READONLY = 0x0800;
constexpr uint32 ES_WANTRETURN = 0x1000;  // multi-line: Enter makes a new line
constexpr uint32 ES_NUMBER = 0x2000;      // only digits are typed

constexpr UINT EM_GETSEL = 0x00B0;     // wParam / lParam: uint32* start / end (may be NIL);
                                       // result MAKELONG(start, end) (16 bits each)
constexpr UINT EM_SETSEL = 0x00B1;     // wParam start, lParam end; start -1: no selection
                                       // (caret kept); end -1: to the end; the caret goes to end
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_REPLACESEL = 0x00C2;  // lParam: const char16_t* (cut to the limit)
constexpr UINT EM_LIMITTEXT = 0x00C5;   // wParam: UTF-16 units, 0 = the largest (0x7FFFFFFE)
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;

constexpr uint16 EN_SETFOCUS = 0x0100;
constexpr uint16 EN_KILLFOCUS = 0x0200;
constexpr uint16 EN_CHANGE = 0x0300;   // after every change of the text (user or WM_SETTEXT)
constexpr uint16 EN_UPDATE = 0x0400;
constexpr uint16 EN_MAXTEXT = 0x0501;  // an insertion was cut at the limit

constexpr int32 kHostEditDefaultLimit = 30000;  // units, until EM_LIMITTEXT

// --- Combo boxes ("COMBOBOX") --------------------------------------------------------
//
// Only the drop-down list kind is drawn (CBS_DROPDOWNLIST; CBS_SIMPLE and
// CBS_DROPDOWN behave as it: none of the program's combo boxes takes typed
// text). The height given at creation is the extent of the dropped list (field plus
// list), as on the platform; the window itself takes the field's height
// (the font's cell height + 8). The dropped list is a borderless pop-up
// window below the field, at most that extent high, scrolling when the
// entries do not fit.

constexpr uint32 CBS_SIMPLE = 0x0001;
constexpr uint32 CBS_DROPDOWN = 0x0002;
constexpr uint32 CBS_DROPDOWNLIST = 0x0003;
constexpr uint32 CBS_SORT = 0x0100;
constexpr uint32 CBS_HASSTRINGS = 0x0200;

constexpr UINT CB_ADDSTRING = 0x0143;     // lParam const char16_t*; result the index
constexpr UINT CB_DELETESTRING = 0x0144;  // result the count left
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;     // CB_ERR when none
constexpr UINT CB_GETLBTEXT = 0x0148;     // lParam char16_t* (room for CB_GETLBTEXTLEN + 1)
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;  // wParam index (-1: at the end)
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;       // prefix, without case, after wParam (-1: all)
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;        // wParam -1 clears; CB_ERR for a bad index
constexpr UINT CB_SHOWDROPDOWN = 0x014F;     // wParam TRUE drops the list, FALSE closes it
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;  // lParam RECT*: the dropped extent, screen
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr LRESULT CB_ERR = -1;
constexpr LRESULT CB_ERRSPACE = -2;

constexpr uint16 CBN_SELCHANGE = 1;  // the user changed the selection (not CB_SETCURSEL)
constexpr uint16 CBN_SETFOCUS = 3;
constexpr uint16 CBN_KILLFOCUS = 4;
constexpr uint16 CBN_DROPDOWN = 7;
constexpr uint16 CBN_CLOSEUP = 8;
constexpr uint16 CBN_SELENDOK = 9;
constexpr uint16 CBN_SELENDCANCEL = 10;

constexpr int32 kHostComboMaxItems = 32000;

// --- Scroll bars ("SCROLLBAR") ---------------------------------------------------------

constexpr uint32 SBS_HORZ = 0x0000;
constexpr uint32 SBS_VERT = 0x0001;

constexpr int32 SB_HORZ = 0;
constexpr int32 SB_VERT = 1;
constexpr int32 SB_CTL = 2;

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int32 nMin = 0;
  int32 nMax = 0;
  UINT nPage = 0;
  int32 nPos = 0;
  int32 nTrackPos = 0;
};

constexpr UINT SBM_SETPOS = 0x00E0;        // wParam pos, lParam redraw; result the old pos
constexpr UINT SBM_GETPOS = 0x00E1;
constexpr UINT SBM_SETRANGE = 0x00E2;      // wParam min, lParam max
constexpr UINT SBM_GETRANGE = 0x00E3;      // wParam / lParam: int32* min / max
constexpr UINT SBM_SETRANGEREDRAW = 0x00E6;
constexpr UINT SBM_SETSCROLLINFO = 0x00E9;  // wParam redraw, lParam SCROLLINFO*
constexpr UINT SBM_GETSCROLLINFO = 0x00EA;  // lParam SCROLLINFO*

// Scroll-bar state rules (the platform's): the range is nMin .. nMax (nMax
// below nMin is taken as nMin); the page is clamped to 0 .. range + 1; the
// position to nMin .. nMax - max(page - 1, 0). A bar whose page covers the
// whole range, or whose range is empty, is drawn without a thumb and takes
// no mouse or keys (SIF_DISABLENOSCROLL or not: a control bar is never
// hidden by its range). While the thumb is dragged nTrackPos follows it.
//
// These work on scroll-bar controls only (bar SB_CTL and the control's
// handle); SB_HORZ / SB_VERT scroll bars of ordinary windows do not exist
// here (result 0 / FALSE).
int32 SetScrollInfo(HWND hwnd, int32 bar, const SCROLLINFO* info, bool redraw);  // the new position
bool GetScrollInfo(HWND hwnd, int32 bar, SCROLLINFO* info);
int32 SetScrollPos(HWND hwnd, int32 bar, int32 pos, bool redraw);  // the previous position
int32 GetScrollPos(HWND hwnd, int32 bar);
bool SetScrollRange(HWND hwnd, int32 bar, int32 min, int32 max, bool redraw);
bool GetScrollRange(HWND hwnd, int32 bar, int32* min, int32* max);
bool ShowScrollBar(HWND hwnd, int32 bar, bool show);
