// Windows and messages of the host layer: our own model of the window
// platform the program was written against, with its names and numeric
// values (WM_*, VK_*, MK_*, WS_*, CS_*, SW_*, SWP_*, HT*, SC_*, SM_*, PM_*),
// so that the platform layer reads like the code it replaces.
//
// The model, in short:
// - Window classes (RegisterClass) carry a window procedure, class styles, a
//   background brush, a cursor and a count of extra window bytes.
// - Every window has a client area that is a 32-bit surface of the software
//   GDI (HostGdi.h) with one device context of its own: GetDC, BeginPaint and
//   friends all hand out that same DC (as if every class had CS_OWNDC), so a
//   DC kept as the current port stays valid until the window is destroyed;
//   ReleaseDC keeps it. Child windows (WS_CHILD) have surfaces of their own
//   and are composited over their parent by us (Host_Window_Compose); each
//   top-level window is what a display backend shows.
// - The frame: top-level overlapped windows (WS_CAPTION without WS_POPUP)
//   are framed by the desktop, so their window and client rectangles are the
//   same. Other windows get a frame of SM_CXBORDER x SM_CYBORDER pixels for
//   WS_BORDER (WS_CAPTION includes it), else SM_CXDLGFRAME x SM_CYDLGFRAME for
//   WS_DLGFRAME; a top-level window with a menu also has a menu bar strip of
//   SM_CYMENU pixels above its client area (drawn by g_host_menubar_paint).
// - Extra window bytes are addressed by the usual byte offsets 0, 4, 8 ...,
//   but each 4-byte slot holds a whole pointer-sized value: a class with 12
//   extra bytes has three slots (offsets 0, 4, 8), each able to hold a
//   pointer. GetWindowLong reads the low 32 bits of a slot, GetWindowLongPtr
//   all of it. An offset that is not a multiple of 4 or lies beyond the
//   extra bytes reads 0 and writes nothing.
// - One message queue (the program has one thread). Posted messages and
//   input keep their order in one FIFO. PeekMessage / GetMessage take the
//   first queued message that passes the window and range filters; when none
//   does, the quit request (PostQuitMessage) comes next, then WM_PAINT for a
//   window with a non-empty update region (parents before children). A
//   WM_PAINT is not removed by PM_REMOVE: it comes back until the update
//   region is validated (BeginPaint does that). Sent messages call the window
//   procedure at once.
// - Input comes from a display backend (HostBackend.h) or a script
//   (HostScript.h). The key state seen by GetKeyState follows the messages
//   the program has taken from the queue; GetAsyncKeyState and GetCursorPos
//   follow the input as it arrives.
// - Window, menu, cursor and accelerator handles are handles of the host's
//   handle tables (HostHandles.h), never addresses. Every call checks its
//   handles: a destroyed, foreign or made-up handle makes the call fail
//   (FALSE / 0 / NIL) without touching memory, and a destroyed window's
//   handle stays refused for the rest of the run, whatever is made after it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/HostGdi.h"
#include "host/HostRegion.h"
#include "host/HostSpans.h"  // POINT, RECT
#include "platform/Types.h"

// The handle types name no structure (they are never defined); the records
// behind them are private to their modules.
struct HostWindow;
using HWND = HostWindow*;

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using UINT = uint32;
using ATOM = uint16;
using HINSTANCE = void*;
struct HostMenu;  // menus belong to the menu module; the window only keeps the handle
using HMENU = HostMenu*;
struct HostCursor;
using HCURSOR = HostCursor*;
struct HostIcon;
using HICON = HostIcon*;
struct HostAccel;
using HACCEL = HostAccel*;

using WNDPROC = LRESULT (*)(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

constexpr uint16 LOWORD(uintptr_t v) { return uint16(v & 0xFFFF); }
constexpr uint16 HIWORD(uintptr_t v) { return uint16((v >> 16) & 0xFFFF); }
constexpr int32 GET_X_LPARAM(LPARAM l) { return int16(uint16(uintptr_t(l) & 0xFFFF)); }
constexpr int32 GET_Y_LPARAM(LPARAM l) { return int16(uint16((uintptr_t(l) >> 16) & 0xFFFF)); }
constexpr LPARAM MAKELPARAM(int32 lo, int32 hi) {
  return LPARAM(uint32(uint16(lo)) | (uint32(uint16(hi)) << 16));
}
constexpr WPARAM MAKEWPARAM(int32 lo, int32 hi) {
  return WPARAM(uint32(uint16(lo)) | (uint32(uint16(hi)) << 16));
}

// --- Messages ------------------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSDEADCHAR = 0x0107;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_IME_NOTIFY = 0x0282;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// WM_ACTIVATE states.
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_MOUSEACTIVATE answers.
constexpr LRESULT MA_ACTIVATE = 1;
constexpr LRESULT MA_ACTIVATEANDEAT = 2;
constexpr LRESULT MA_NOACTIVATE = 3;
constexpr LRESULT MA_NOACTIVATEANDEAT = 4;

// WM_QUERYENDSESSION / WM_ENDSESSION lParam bits.
constexpr LPARAM ENDSESSION_CLOSEAPP = 0x00000001;
constexpr LPARAM ENDSESSION_LOGOFF = LPARAM(0x80000000u);

// WM_SYSCOMMAND codes (the low four bits of wParam are the system's own).
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_RESTORE = 0xF120;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;

// Scroll codes (low word of WM_HSCROLL / WM_VSCROLL's wParam).
constexpr int32 SB_LINEUP = 0;
constexpr int32 SB_LINEDOWN = 1;
constexpr int32 SB_PAGEUP = 2;
constexpr int32 SB_PAGEDOWN = 3;
constexpr int32 SB_THUMBPOSITION = 4;
constexpr int32 SB_THUMBTRACK = 5;
constexpr int32 SB_TOP = 6;
constexpr int32 SB_BOTTOM = 7;
constexpr int32 SB_ENDSCROLL = 8;

// Hit-test codes (WM_NCHITTEST).
constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTSYSMENU = 3;
constexpr LRESULT HTMENU = 5;
constexpr LRESULT HTHSCROLL = 6;
constexpr LRESULT HTVSCROLL = 7;
constexpr LRESULT HTBORDER = 18;
constexpr LRESULT HTCLOSE = 20;

// Mouse-message key flags (wParam).
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// Key-message lParam bits: repeat count in bits 0-15, scan code in bits
// 16-23 (0 here), the extended-key flag in bit 24, Alt down in bit 29, the
// previous state in bit 30, the transition in bit 31. Ours: bit 25 marks a
// key whose character the backend delivers separately as text; VK_PACKET
// (a typed character without a key) carries its UTF-16 unit in bits 32-47.
constexpr LPARAM KF_EXTENDED_BIT = LPARAM(1) << 24;
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;
constexpr LPARAM KF_REPEAT_BIT = LPARAM(1) << 30;
constexpr LPARAM KF_UP_BIT = LPARAM(1) << 31;
constexpr LPARAM KF_TEXT_SEPARATE_BIT = LPARAM(1) << 25;
constexpr int32 kPacketUnitShift = 32;
static_assert(sizeof(LPARAM) == 8, "VK_PACKET units ride in the upper half of lParam");

// --- Virtual keys ----------------------------------------------------------------

constexpr int32 VK_LBUTTON = 0x01;
constexpr int32 VK_RBUTTON = 0x02;
constexpr int32 VK_CANCEL = 0x03;
constexpr int32 VK_MBUTTON = 0x04;
constexpr int32 VK_BACK = 0x08;
constexpr int32 VK_TAB = 0x09;
constexpr int32 VK_CLEAR = 0x0C;
constexpr int32 VK_RETURN = 0x0D;
constexpr int32 VK_SHIFT = 0x10;
constexpr int32 VK_CONTROL = 0x11;
constexpr int32 VK_MENU = 0x12;  // Alt
constexpr int32 VK_PAUSE = 0x13;
constexpr int32 VK_CAPITAL = 0x14;
constexpr int32 VK_ESCAPE = 0x1B;
constexpr int32 VK_SPACE = 0x20;
constexpr int32 VK_PRIOR = 0x21;  // Page Up
constexpr int32 VK_NEXT = 0x22;   // Page Down
constexpr int32 VK_END = 0x23;
constexpr int32 VK_HOME = 0x24;
constexpr int32 VK_LEFT = 0x25;
constexpr int32 VK_UP = 0x26;
constexpr int32 VK_RIGHT = 0x27;
constexpr int32 VK_DOWN = 0x28;
constexpr int32 VK_SELECT = 0x29;
constexpr int32 VK_PRINT = 0x2A;
constexpr int32 VK_SNAPSHOT = 0x2C;
constexpr int32 VK_INSERT = 0x2D;
constexpr int32 VK_DELETE = 0x2E;
constexpr int32 VK_HELP = 0x2F;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' 0x41..0x5A.
constexpr int32 VK_LWIN = 0x5B;
constexpr int32 VK_RWIN = 0x5C;
constexpr int32 VK_APPS = 0x5D;
constexpr int32 VK_NUMPAD0 = 0x60;
constexpr int32 VK_NUMPAD9 = 0x69;
constexpr int32 VK_MULTIPLY = 0x6A;
constexpr int32 VK_ADD = 0x6B;
constexpr int32 VK_SEPARATOR = 0x6C;
constexpr int32 VK_SUBTRACT = 0x6D;
constexpr int32 VK_DECIMAL = 0x6E;
constexpr int32 VK_DIVIDE = 0x6F;
constexpr int32 VK_F1 = 0x70;
constexpr int32 VK_F10 = 0x79;
constexpr int32 VK_F12 = 0x7B;
constexpr int32 VK_F15 = 0x7E;
constexpr int32 VK_F24 = 0x87;
constexpr int32 VK_NUMLOCK = 0x90;
constexpr int32 VK_SCROLL = 0x91;
constexpr int32 VK_LSHIFT = 0xA0;
constexpr int32 VK_RSHIFT = 0xA1;
constexpr int32 VK_LCONTROL = 0xA2;
constexpr int32 VK_RCONTROL = 0xA3;
constexpr int32 VK_LMENU = 0xA4;
constexpr int32 VK_RMENU = 0xA5;
constexpr int32 VK_OEM_1 = 0xBA;       // ; :
constexpr int32 VK_OEM_PLUS = 0xBB;    // = +
constexpr int32 VK_OEM_COMMA = 0xBC;   // , <
constexpr int32 VK_OEM_MINUS = 0xBD;   // - _
constexpr int32 VK_OEM_PERIOD = 0xBE;  // . >
constexpr int32 VK_OEM_2 = 0xBF;       // / ?
constexpr int32 VK_OEM_3 = 0xC0;       // ` ~
constexpr int32 VK_OEM_4 = 0xDB;       // [ {
constexpr int32 VK_OEM_5 = 0xDC;       // \ |
constexpr int32 VK_OEM_6 = 0xDD;       // ] }
constexpr int32 VK_OEM_7 = 0xDE;       // ' "
constexpr int32 VK_PACKET = 0xE7;      // a typed character without a key (see lParam above)

// MapVirtualKey modes.
constexpr UINT MAPVK_VK_TO_VSC = 0;
constexpr UINT MAPVK_VK_TO_CHAR = 2;

// --- Styles ------------------------------------------------------------------------

constexpr uint32 WS_OVERLAPPED = 0x00000000;
constexpr uint32 WS_POPUP = 0x80000000;
constexpr uint32 WS_CHILD = 0x40000000;
constexpr uint32 WS_MINIMIZE = 0x20000000;
constexpr uint32 WS_VISIBLE = 0x10000000;
constexpr uint32 WS_DISABLED = 0x08000000;
constexpr uint32 WS_CLIPSIBLINGS = 0x04000000;
constexpr uint32 WS_CLIPCHILDREN = 0x02000000;
constexpr uint32 WS_MAXIMIZE = 0x01000000;
constexpr uint32 WS_CAPTION = 0x00C00000;  // WS_BORDER | WS_DLGFRAME
constexpr uint32 WS_BORDER = 0x00800000;
constexpr uint32 WS_DLGFRAME = 0x00400000;
constexpr uint32 WS_VSCROLL = 0x00200000;
constexpr uint32 WS_HSCROLL = 0x00100000;
constexpr uint32 WS_SYSMENU = 0x00080000;
constexpr uint32 WS_THICKFRAME = 0x00040000;
constexpr uint32 WS_GROUP = 0x00020000;
constexpr uint32 WS_TABSTOP = 0x00010000;
constexpr uint32 WS_MINIMIZEBOX = 0x00020000;
constexpr uint32 WS_MAXIMIZEBOX = 0x00010000;
constexpr uint32 WS_OVERLAPPEDWINDOW = 0x00CF0000;

constexpr uint32 WS_EX_TOPMOST = 0x00000008;
constexpr uint32 WS_EX_TOOLWINDOW = 0x00000080;
constexpr uint32 WS_EX_APPWINDOW = 0x00040000;
constexpr uint32 WS_EX_NOACTIVATE = 0x08000000;  // shown and clicked without taking the activation

// Class styles.
constexpr uint32 CS_VREDRAW = 0x0001;
constexpr uint32 CS_HREDRAW = 0x0002;
constexpr uint32 CS_DBLCLKS = 0x0008;
constexpr uint32 CS_OWNDC = 0x0020;
constexpr uint32 CS_CLASSDC = 0x0040;
constexpr uint32 CS_PARENTDC = 0x0080;
constexpr uint32 CS_NOCLOSE = 0x0200;
constexpr uint32 CS_SAVEBITS = 0x0800;

// ShowWindow commands.
constexpr int32 SW_HIDE = 0;
constexpr int32 SW_SHOWNORMAL = 1;
constexpr int32 SW_NORMAL = 1;
constexpr int32 SW_SHOWMINIMIZED = 2;
constexpr int32 SW_SHOWMAXIMIZED = 3;
constexpr int32 SW_MAXIMIZE = 3;
constexpr int32 SW_SHOWNOACTIVATE = 4;
constexpr int32 SW_SHOW = 5;
constexpr int32 SW_MINIMIZE = 6;
constexpr int32 SW_SHOWMINNOACTIVE = 7;
constexpr int32 SW_SHOWNA = 8;
constexpr int32 SW_RESTORE = 9;
constexpr int32 SW_SHOWDEFAULT = 10;

// SetWindowPos flags.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;

// Special "insert after" handles of SetWindowPos.
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(intptr_t(1));
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(intptr_t(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(intptr_t(-2));

// GetWindowLong(Ptr) indices below 0.
constexpr int32 GWLP_WNDPROC = -4;
constexpr int32 GWLP_HINSTANCE = -6;
constexpr int32 GWLP_HWNDPARENT = -8;
constexpr int32 GWLP_ID = -12;
constexpr int32 GWL_STYLE = -16;
constexpr int32 GWL_EXSTYLE = -20;
constexpr int32 GWLP_USERDATA = -21;

// GetWindow relations.
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;

// PeekMessage flags.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// RedrawWindow flags (the ones we honour).
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;

// System metrics.
constexpr int32 SM_CXSCREEN = 0;
constexpr int32 SM_CYSCREEN = 1;
constexpr int32 SM_CXVSCROLL = 2;
constexpr int32 SM_CYHSCROLL = 3;
constexpr int32 SM_CYCAPTION = 4;
constexpr int32 SM_CXBORDER = 5;
constexpr int32 SM_CYBORDER = 6;
constexpr int32 SM_CXDLGFRAME = 7;
constexpr int32 SM_CYDLGFRAME = 8;
constexpr int32 SM_CXICON = 11;
constexpr int32 SM_CYICON = 12;
constexpr int32 SM_CXCURSOR = 13;
constexpr int32 SM_CYCURSOR = 14;
constexpr int32 SM_CYMENU = 15;
constexpr int32 SM_CXFULLSCREEN = 16;
constexpr int32 SM_CYFULLSCREEN = 17;
constexpr int32 SM_CYVSCROLL = 20;
constexpr int32 SM_CXHSCROLL = 21;
constexpr int32 SM_SWAPBUTTON = 23;
constexpr int32 SM_CXMIN = 28;
constexpr int32 SM_CYMIN = 29;
constexpr int32 SM_CXFRAME = 32;
constexpr int32 SM_CYFRAME = 33;
constexpr int32 SM_CXDOUBLECLK = 36;
constexpr int32 SM_CYDOUBLECLK = 37;
constexpr int32 SM_CXSMICON = 49;
constexpr int32 SM_CYSMICON = 50;

// System cursors (LoadCursor with no instance).
constexpr uint32 IDC_ARROW = 32512;
constexpr uint32 IDC_IBEAM = 32513;
constexpr uint32 IDC_WAIT = 32514;
constexpr uint32 IDC_CROSS = 32515;
constexpr uint32 IDC_UPARROW = 32516;
constexpr uint32 IDC_SIZENWSE = 32642;
constexpr uint32 IDC_SIZENESW = 32643;
constexpr uint32 IDC_SIZEWE = 32644;
constexpr uint32 IDC_SIZENS = 32645;
constexpr uint32 IDC_SIZEALL = 32646;
constexpr uint32 IDC_NO = 32648;
constexpr uint32 IDC_HAND = 32649;
constexpr uint32 IDC_APPSTARTING = 32650;

// Accelerator flags.
constexpr uint8 FVIRTKEY = 0x01;
constexpr uint8 FNOINVERT = 0x02;
constexpr uint8 FSHIFT = 0x04;
constexpr uint8 FCONTROL = 0x08;
constexpr uint8 FALT = 0x10;

// --- Records -------------------------------------------------------------------------

struct WNDCLASS {
  uint32 style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int32 cbClsExtra = 0;
  int32 cbWndExtra = 0;  // bytes, in 4-byte slots (see above); at most 256
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HICON hIconSm = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;  // WM_ERASEBKGND paints it (DefWindowProc)
  const char* lpszMenuName = nullptr;
  const char* lpszClassName = nullptr;  // ASCII, compared without case
};

// lParam of WM_NCCREATE and WM_CREATE.
struct CREATESTRUCT {
  void* lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int32 cy, cx, y, x;
  uint32 style;
  const char16_t* lpszName;
  const char* lpszClass;
  uint32 dwExStyle;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

// lParam of WM_WINDOWPOSCHANGING / WM_WINDOWPOSCHANGED.
struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int32 x, y, cx, cy;
  UINT flags;
};

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  uint32 time = 0;  // milliseconds (Host_Clock_Millis) when it was queued
  POINT pt{0, 0};   // cursor position, screen coordinates, when it was queued
};

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  bool fErase = false;  // the background still needs erasing
  RECT rcPaint{0, 0, 0, 0};
};

struct ACCEL {
  uint8 fVirt;  // FVIRTKEY, FSHIFT, FCONTROL, FALT
  uint16 key;   // a virtual key (FVIRTKEY) or a character
  uint16 cmd;
};

// --- Classes -----------------------------------------------------------------------

// 0 when the class exists already, the name is missing or the extra bytes
// are out of range.
ATOM RegisterClass(const WNDCLASS* wc);
bool UnregisterClass(const char* name, HINSTANCE inst);
bool GetClassInfo(HINSTANCE inst, const char* name, WNDCLASS* out);
// Copies the class name (NUL-terminated, cut to fit); returns its length.
int32 GetClassName(HWND hwnd, char* buf, int32 bufsize);

// --- Windows -------------------------------------------------------------------------

// Creates a window of a registered class. x, y are screen coordinates for a
// top-level window and parent client coordinates for a child; CW_USEDEFAULT
// places a top-level window at (0, 0) with 640 x 480. WM_NCCREATE, then
// WM_CREATE are sent (answers FALSE / -1 destroy the window and give NIL),
// then WM_SIZE and WM_MOVE, and the window is shown when WS_VISIBLE was
// given. The title is UTF-16 (may be NIL).
constexpr int32 CW_USEDEFAULT = int32(0x80000000u);
HWND CreateWindowEx(uint32 exstyle, const char* class_name, const char16_t* title, uint32 style,
                    int32 x, int32 y, int32 width, int32 height, HWND parent, HMENU menu,
                    HINSTANCE inst, void* param);
// Sends WM_DESTROY to the window and then to its descendants, WM_NCDESTROY to
// the descendants and then the window; drops its queued messages, capture,
// focus and activation.
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

int32 GetWindowLong(HWND hwnd, int32 index);
int32 SetWindowLong(HWND hwnd, int32 index, int32 value);  // returns the old value
intptr_t GetWindowLongPtr(HWND hwnd, int32 index);
intptr_t SetWindowLongPtr(HWND hwnd, int32 index, intptr_t value);

// Text: UTF-16 and UTF-8 forms of one title.
bool SetWindowTextW(HWND hwnd, const char16_t* text);
bool SetWindowTextA(HWND hwnd, const char* utf8);
int32 GetWindowTextW(HWND hwnd, char16_t* buf, int32 bufsize);
std::string Host_Window_Title_Utf8(HWND hwnd);

HWND GetParent(HWND hwnd);  // the parent of a child, else the owner
HWND GetWindow(HWND hwnd, UINT rel);
bool IsChild(HWND parent, HWND hwnd);
HWND GetAncestorTop(HWND hwnd);  // the top-level window holding hwnd
HWND GetDlgItem(HWND parent, int32 id);
int32 GetDlgCtrlID(HWND hwnd);

// Geometry. Rectangles of windows are in screen coordinates; the client
// rectangle starts at (0, 0).
bool GetWindowRect(HWND hwnd, RECT* out);
bool GetClientRect(HWND hwnd, RECT* out);
bool ClientToScreen(HWND hwnd, POINT* pt);
bool ScreenToClient(HWND hwnd, POINT* pt);
// Maps points from one window's client coordinates to another's (NIL = the
// screen).
int32 MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count);
// x, y: screen coordinates for top-level windows, parent client coordinates
// for children. Sends WM_WINDOWPOSCHANGING, then WM_WINDOWPOSCHANGED, WM_MOVE
// and WM_SIZE for what changed; a size change invalidates the whole client
// area when the class has CS_HREDRAW / CS_VREDRAW (else the uncovered part).
bool SetWindowPos(HWND hwnd, HWND after, int32 x, int32 y, int32 cx, int32 cy, UINT flags);
bool MoveWindow(HWND hwnd, int32 x, int32 y, int32 width, int32 height, bool repaint);
// Returns whether the window was visible before.
bool ShowWindow(HWND hwnd, int32 cmd);
// TRUE when the window and all its ancestors are visible.
bool IsWindowVisible(HWND hwnd);
bool IsIconic(HWND hwnd);
bool IsZoomed(HWND hwnd);
bool BringWindowToTop(HWND hwnd);
// The deepest visible, enabled-or-not window under a screen point (children
// included); NIL over no window of ours.
HWND WindowFromPoint(POINT pt);
// The child of parent under a point in parent's client coordinates, or
// parent itself; NIL outside parent.
HWND ChildWindowFromPoint(HWND parent, POINT pt);
// Our top-level windows from the top of the stacking order down.
std::vector<HWND> Host_Top_Windows();

// Activation, focus, enabling. A window becoming active while none of ours
// was makes the program the active application (WM_ACTIVATEAPP TRUE to every
// top-level window); the backend reports losing the desktop's focus.
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND hwnd);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// Returns whether the window was disabled before. A disabled window gets no
// mouse or keyboard input.
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);

// Menus: the window keeps the handle; the menu module draws the bar.
bool SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
bool DrawMenuBar(HWND hwnd);
// Installed by the menu module: paints the bar strip of a top-level window
// (dc over the strip, rect in strip coordinates) and handles a press in it
// (pt in strip coordinates). Both NIL until then.
extern void (*g_host_menubar_paint)(HWND hwnd, HMENU menu, HDC dc, const RECT& rect);
extern void (*g_host_menubar_click)(HWND hwnd, HMENU menu, POINT pt);
// System keys (Alt, F10, Alt+mnemonic) that DefWindowProc offers the menu
// bar first; TRUE when the bar took the message.
extern bool (*g_host_menu_syskey)(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// --- Painting ------------------------------------------------------------------------

// Rectangles and regions in client coordinates; NIL = the whole client area.
bool InvalidateRect(HWND hwnd, const RECT* r, bool erase);
bool InvalidateRgn(HWND hwnd, HRGN rgn, bool erase);
bool ValidateRect(HWND hwnd, const RECT* r);
bool ValidateRgn(HWND hwnd, HRGN rgn);
// TRUE when the update region is not empty; out := its box (may be NIL).
bool GetUpdateRect(HWND hwnd, RECT* out, bool erase);
// rgn := the update region; result its kind (NULLREGION when empty).
int32 GetUpdateRgn(HWND hwnd, HRGN rgn, bool erase);
// Sends WM_PAINT now when the update region is not empty.
bool UpdateWindow(HWND hwnd);
bool RedrawWindow(HWND hwnd, const RECT* r, HRGN rgn, UINT flags);

// The window's own DC (see above). GetDC(NIL) gives a screen DC over a
// 32-bit surface (for compatible DCs and bitmaps).
HDC GetDC(HWND hwnd);
int32 ReleaseDC(HWND hwnd, HDC dc);
// Sends WM_ERASEBKGND when an erase is pending, clips the DC to the update
// region (device coordinates), fills ps, validates the update region and
// returns the DC. EndPaint removes the clip.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// The client surface of a window (32 bits, BGRA, top-down).
HBITMAP Host_Window_Surface(HWND hwnd);
// The client area with its visible children composited over it, as 32-bit
// BGRA pixels (alpha as drawn), row-major, width x height.
bool Host_Window_Compose(HWND hwnd, std::vector<uint32>& pixels, int32& width, int32& height);
// What the user sees over the client area of hwnd: the composition above,
// with the program's other visible top-level windows that stand above hwnd
// (a modal dialog, a chooser, a message box) drawn over it in their stacking
// order, each whole with its frame, at its place on the screen, clipped to
// the client area.
bool Host_Screen_Compose(HWND hwnd, std::vector<uint32>& pixels, int32& width, int32& height);
// Bumped whenever a window's pixels may have changed (EndPaint, ReleaseDC,
// size changes): backends redraw what changed.
uint64 Host_Window_Generation(HWND hwnd);

// --- Messages --------------------------------------------------------------------------

// Posts to a window (NIL: a message for the thread, hwnd NIL when taken).
// FALSE for a destroyed window or a full queue (the queue holds 100000).
bool PostMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
bool PostThreadMessage(UINT msg, WPARAM wparam, LPARAM lparam);
void PostQuitMessage(int32 code);
// Calls the window procedure at once; 0 for a destroyed window.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// hwnd NIL: any window and thread messages; a window: that window and its
// descendants. min = max = 0: every message; else min <= message <= max.
// Pumps the backend and the script first (never blocks).
bool PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT flags);
// Waits for a message; FALSE for WM_QUIT (msg holds it), TRUE otherwise.
bool GetMessage(MSG* msg, HWND hwnd, UINT min, UINT max);
// Waits until a message is queued (or a WM_PAINT or the quit request is due).
bool WaitMessage();
// Waits up to timeout_ms for a message; TRUE when one is there. This is the
// idle wait of message loops: it never spins (on the manual clock of a
// scripted headless run, time advances instead of sleeping).
bool Host_Wait_Message(uint32 timeout_ms);
LRESULT DispatchMessage(const MSG* msg);
// WM_KEYDOWN -> WM_CHAR and WM_SYSKEYDOWN -> WM_SYSCHAR (posted at the front
// of the queue), by a US keyboard layout with Shift, Caps Lock and Ctrl
// (Ctrl+letter gives 1..26). VK_PACKET gives its UTF-16 unit. TRUE when a
// character was made.
bool TranslateMessage(const MSG* msg);
// Time and cursor position of the message last taken from the queue.
uint32 GetMessageTime();
uint32 GetMessagePos();  // x in the low word, y in the high word (16 bits each)
// TRUE when a message passing the filters is queued (input or posted).
bool Host_Queue_Has(HWND hwnd, UINT min, UINT max);
size_t Host_Queue_Length();
// Removes every queued message and the quit request (tests).
void Host_Queue_Clear();

// Accelerator tables.
HACCEL CreateAcceleratorTable(const ACCEL* entries, int32 count);
bool DestroyAcceleratorTable(HACCEL accel);
int32 CopyAcceleratorTable(HACCEL accel, ACCEL* out, int32 count);
// For WM_KEYDOWN / WM_SYSKEYDOWN (virtual-key entries, the modifiers must
// match exactly) and WM_CHAR / WM_SYSCHAR (character entries): sends
// WM_COMMAND (MAKEWPARAM(cmd, 1), 0) to hwnd and returns TRUE.
bool TranslateAccelerator(HWND hwnd, HACCEL accel, const MSG* msg);

// --- Input state -------------------------------------------------------------------

// High bit (0x8000 as int16) set while down; bit 0 the toggle (Caps Lock).
int16 GetKeyState(int32 vk);
int16 GetAsyncKeyState(int32 vk);
// The character of a virtual key (MAPVK_VK_TO_CHAR: upper-case letters,
// digits, punctuation unshifted); 0 when none.
UINT MapVirtualKey(UINT code, UINT mode);

HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();

bool GetCursorPos(POINT* out);
bool SetCursorPos(int32 x, int32 y);

// Cursors. System cursors by IDC_* (hinst NIL); our own from BGRA pixels
// (alpha 0 transparent) or from AND / XOR masks (1 bit, rows of (w + 15) / 16
// * 2 bytes; AND 1 + XOR 0 transparent, AND 0 + XOR 0 black, AND 0 + XOR 1
// white, AND 1 + XOR 1 inverted, shown as black).
HCURSOR LoadCursor(HINSTANCE hinst, uint32 id);
HCURSOR Host_Create_Color_Cursor(int32 width, int32 height, int32 hot_x, int32 hot_y,
                                 const uint32* bgra);
HCURSOR CreateCursor(HINSTANCE hinst, int32 hot_x, int32 hot_y, int32 width, int32 height,
                     const void* and_mask, const void* xor_mask);
bool DestroyCursor(HCURSOR cursor);  // system cursors are never destroyed
HCURSOR SetCursor(HCURSOR cursor);   // returns the previous one
HCURSOR GetCursor();
int32 ShowCursor(bool show);         // display count
// The system cursor id of a cursor (0 for one of ours), its size, hot spot
// and BGRA pixels.
uint32 Host_Cursor_System_Id(HCURSOR cursor);
bool Host_Cursor_Image(HCURSOR cursor, int32& width, int32& height, int32& hot_x, int32& hot_y,
                       std::vector<uint32>& bgra);

// Icons: our own from BGRA pixels (alpha 0 transparent, values between
// blend), 1 to 256 pixels each way; NIL for anything else. A window shows
// the icons of its class (WNDCLASS hIcon, the large one, and hIconSm) in its
// frame and the desktop's task list.
HICON Host_Create_Icon(int32 width, int32 height, const uint32* bgra);
bool DestroyIcon(HICON icon);
bool Host_Icon_Image(HICON icon, int32& width, int32& height, std::vector<uint32>& bgra);
// The icon a window shows (its class's large or small one); NIL when the
// window is not ours or its class has none.
HICON Host_Window_Icon(HWND hwnd, bool small);

// --- System --------------------------------------------------------------------------

int32 GetSystemMetrics(int32 index);
// The double-click time in milliseconds.
uint32 GetDoubleClickTime();

// The program's main window: the target of script input and snapshots and of
// the end-of-session query first. Until set, the first visible top-level
// window created.
void Host_Set_Main_Window(HWND hwnd);
HWND Host_Main_Window();

// Ends the session politely, as a desktop logging off would: sends
// WM_QUERYENDSESSION to every top-level window (the main window first) until
// one answers 0, then WM_ENDSESSION (TRUE when all agreed, else FALSE) to
// each of them. With no window at all, posts the quit request. Returns
// whether the session may end. The signal handling of HostBackend calls
// this for SIGTERM and SIGINT from the message pump.
bool Host_End_Session();

// Destroys every window, class, cursor and accelerator table and clears the
// queue and the input state (tests, and the backend's shutdown).
void Host_Win_Reset();
