// The current port and offscreen worlds.
//
// Every drawing call goes to the current port: four variables always set
// together, theHDC (the device context drawn into), qd.thePort (the window,
// NIL for a world or a printer), theGWorld (the world, NIL for a window) and
// theShadow (the drawing state of that window or world). A port is saved as
// an a_gstate; the port stack keeps at most 5 of them.
//
// An offscreen world is a pixel map whose pixels are also a DIB section of
// the host GDI selected into a memory device context, so GDI drawing and
// direct pixel work reach the same memory. A world is addressed in the
// coordinates of its bounds: pixel (left, top) is the first byte of the
// first row, for GDI (the context's window origin is (left, top)) and for the
// pixel map alike. A new world's pixels are all zero.
//
// Windows: New_Window makes the program's windows by window definition
// number, keeps them in the window list (at most 10), and DoUpdate paints a
// window through its info record's update procedure inside an update
// bracket (Windowv.h). A window of ours has its own device context (class
// style CS_OWNDC) and its own drawing state, kept in its extra bytes.
#pragma once

#include "host/HostGdi.h"
#include "host/HostWin.h"
#include "platform/PixMaps.h"
#include "platform/ColorTable.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"  // a_keyset
#include "platform/Types.h"

// --- Offscreen worlds -----------------------------------------------------------

// The DIB header of a world: the 40-byte header and 256 colours.
using a_rgb_dib_8 = BITMAPINFO;

struct a_gworld_rec {
  a_shadow_rec shadow;  // first, so that a world pointer is also a drawing-state pointer
  PixMap pix;           // the pixels, addressed in the world's bounds
  HBITMAP hdl;          // the DIB section that owns the pixel memory
  a_rgb_dib_8 header;   // the header the section was made from
  HGDIOBJ old_dc;       // the object the memory context held before the section
};
using GWorldPtr = a_gworld_rec*;

// Result of New_GWorld when no pixel memory could be had.
constexpr OSErr memFullErr = -108;

// --- The current port ----------------------------------------------------------

extern HDC theHDC;
extern a_shadow_rec* theShadow;
extern GWorldPtr theGWorld;
extern QDGlobals qd;

// A saved port.
struct a_gstate {
  HDC hdc;
  HWND hwnd;
  GWorldPtr gworld;
  a_shadow_rec* shadow;
};

enum a_port_stack_kind : int16 { WINDOW_PORT = 0, GWORLD_PORT = 1 };

struct a_port_stack_entry {
  a_port_stack_kind curr_kind;
  a_gstate prevstate;  // the port that was current before the push
  GWorldPtr curr_world;
};

constexpr int16 kPortStackDepth = 5;
// The port stack's depth (entries 1 .. depth are in use) and its entry
// `index` (1 .. kPortStackDepth).
int16 Port_Stack_Depth();
const a_port_stack_entry& Port_Stack_Entry(int16 index);
// Empties the port stack without restoring any port (tests that start
// afresh after a failed one).
void Port_Stack_Clear();
// Saves the current port as a new entry for a port of `kind` (and its world);
// FALSE, after QUIT, when the stack is full. The caller then makes the new
// port current.
bool8 Push_Port(a_port_stack_kind kind, GWorldPtr world);

// Hooks run around a window repaint; empty until the text editor and the
// status annotations install theirs.
using CaretEraseProc = void (*)();
using AnnotBeginProc = void (*)(HWND window, const Rect& bounds);
using AnnotEndProc = void (*)();
extern CaretEraseProc g_caret_erase_proc;
extern AnnotBeginProc g_annot_beginupdate_proc;
extern AnnotEndProc g_annot_endupdate_proc;
void Dummy_Caret_Erase();
void Dummy_Annot_Begin(HWND window, const Rect& bounds);
void Dummy_Annot_End();

// Module start-up: empty hooks, an empty port stack, no current world.
void SysWin_Init();

void Get_GState(a_gstate& state);
// Makes the saved port current again; nothing is fetched or released.
void Set_GState(const a_gstate& state);

GWorldPtr Get_GWorld();
// Makes the world the current port (thePort NIL). A window context that was
// current stays with its window.
void Set_GWorld(GWorldPtr world);
// Pushes the current port, then Set_GWorld. A sixth push calls QUIT.
void Push_GWorld(GWorldPtr world);
// Restores the port saved by the last push. A pop with nothing pushed calls QUIT.
void Pop_GWorld();
// The same as Pop_GWorld, for pushes of a window.
void Pop_Window();

// Flushes the current drawing state unless its context is private to it,
// then sets thePort, theHDC and theShadow to NIL (theGWorld stays). A
// window's context belongs to the window in our host, so nothing is released.
void NoPort();
// The current port's area in its logical coordinates: a world's bounds, or
// the surface of the current context (a window's client area, a printer's
// page) converted with DPtoLP. With no port current, QUIT.
void GetPortBounds(Rect& bounds);
// TRUE when some part of r (logical coordinates) lies inside the current
// context's clip.
bool8 IsRectVisible(const Rect& r);
inline void Reset_Clip() {}

// --- Worlds --------------------------------------------------------------------

// Makes a world of depth 1, 8, 16, 24 or 32 over bounds, colour table
// colortab (may be NIL; kept in pix.pmTable). Result 0, or memFullErr with
// world NIL when its pixel memory cannot be had. An unsupported depth or
// empty bounds call QUIT; no record memory calls g_err_mem_proc.
OSErr New_GWorld(const Rect& bounds, int16 depth, CTabHandle colortab, GWorldPtr& world);
// New_GWorld; a failure calls g_err_mem_proc with Calc_GWorld_Memory. label
// names the caller and is not otherwise used.
void New_GWorldF(const char* label, const Rect& bounds, int16 depth, CTabHandle colortab,
                 GWorldPtr& world);
// NIL does nothing; else frees the world and sets the variable to NIL. A world
// that is the current port leaves it (theGWorld etc. become NIL).
void Dispose_GWorld(GWorldPtr& world);
// Bytes of pixels (rows x stride) of every world alive, and the most there
// were at once since the program started or GWorld_Reset_Peak was last
// called: what a task holds at its worst (tests and benchmarks).
int64 GWorld_Bytes_Held();
int64 GWorld_Bytes_Peak();
// The peak starts again from the bytes held now.
void GWorld_Reset_Peak();
// Nothing when newbox equals the bounds; else a new world of the same depth
// and table over newbox (contents are not kept; failure calls g_err_mem_proc).
void Resize_GWorld(GWorldPtr& world, const Rect& newbox);
// With src NIL disposes of dst. Otherwise dst gets src's bounds (made with
// src's depth and table when NIL) and a copy of src's pixels. An existing
// dst of another depth calls QUIT.
void Copy_GWorld(GWorldPtr src, GWorldPtr& dst);
// pix := a new pixel map with the world's bounds, depth and pixels (colour
// table gray_ctable for depth 8, none otherwise); the world is disposed of.
void GWorld_To_PixMap(GWorldPtr& world, PixMap& pix);

PixMapPtr Get_GWorld_PixMap(GWorldPtr world);
Ptr Get_GWorld_BaseAddr(GWorldPtr world);
void Get_GWorld_Bounds(GWorldPtr world, Rect& bounds);
int16 Get_GWorld_PixelSize(GWorldPtr world);
// Replaces pix.pmTable only; the section's colours stay as they were made.
void Set_GWorld_CTable(GWorldPtr world, CTabHandle ctable);
// The memory device context of a world.
HDC Get_GWorld_HDC(GWorldPtr world);

// A world's pixels never move.
inline void Lock_GWorld(GWorldPtr) {}
inline void Unlock_GWorld(GWorldPtr) {}
inline bool8 Is_GWorld_Locked(GWorldPtr) { return false; }
// Not supported: QUIT, result NIL.
PixMapHandle Get_GWorld_PixMap_Hdl(GWorldPtr world);
inline CTabHandle GetWindowCTable(HWND) { return nullptr; }

// --- Windows ---------------------------------------------------------------------

// What a window of ours is; the reference constant (window long 8) of the
// classes "NORM" and "MWIN" points at its a_win_info_rec.
enum a_win_info_kind : int16 {
  FLOATER_KIND = 0,
  MENUBAR_KIND = 1,
  MAIN_KIND = 2,
  MODAL_KIND = 3,
  FOREIGN_KIND = 4,
};
using WinMouseProc = void (*)(HWND window, const Point& lmouse, int16 modifiers);
using WinUpdateProc = void (*)(HWND window);
struct a_win_info_rec {
  WinMouseProc mouse_proc;    // called with mouse presses (may be NIL)
  WinUpdateProc update_proc;  // paints the window (may be NIL)
  a_win_info_kind kind;
  UniChar name[8];
};

// Window-long offsets of our classes: the drawing-state marker and pointer
// (SHADOW_MARKER, SHADOWPTR_OFFSET of Quickdraw.h) and the reference constant.
constexpr int32 REFCON_OFFSET = 8;
constexpr int32 WINDOW_EXTRA_BYTES = 12;

// Class names of the program's windows.
constexpr const char* kClassNorm = "NORM";
constexpr const char* kClassNull = "NULL";
constexpr const char* kClassMwin = "MWIN";

// The window list: entries 1 .. nwinlist, the last one on top.
constexpr int16 MAX_WINDOWS = 10;
extern HWND winlist[MAX_WINDOWS + 1];
extern int16 nwinlist;
// The outer rectangle of the window New_Window is making.
extern Rect g_next_exterior;
// The hidden owner of the program's windows other than the main window.
extern HWND ultimate_hwnd;

// Gives a window its own drawing state (WM_CREATE of our classes): a
// record reset over the window's own context, marked in the extra bytes.
// No memory calls g_err_mem_proc with the record's size.
void New_Shadow(HWND win);
// Frees the window's drawing state (WM_DESTROY); NIL or a window without
// one does nothing. A window that is the current port leaves it.
void Dispose_Shadow(HWND win);
// The window's own drawing state, or NIL.
a_shadow_rec* Get_Window_Shadow(HWND win);

// Makes (hwnd, hdc) the current port with the window's own drawing state
// when it has one, else with the temporary one. Returns hdc.
HDC Set_Window_Port(HWND hwnd, HDC hdc);
// Makes the window the current port (nothing when it already is).
void SetPort(HWND hwnd);
// Pushes the current port (kind WINDOW_PORT) and makes the window current.
void Push_Window(HWND window);

// Makes a window. interior: the client area in screen coordinates; procID:
// the window definition (mod 100, see the style table; above 100 the class
// "MWIN", else "NORM"; 6 or 8 without a parent makes the main window);
// behind is not used; parent NIL: the hidden owner (none for the main
// window). The reference constant goes to window long 8 and the window into
// the window list. NIL when the window cannot be made.
HWND New_Window(const Rect& interior, CStrSpan title, bool8 visible, int16 procID, HWND behind,
                HWND parent, void* refcon);
// The Win32 style bits of a window definition number (mod 100 taken).
uint32 Window_Style_For(int16 procID, HWND parent);
// The widths of the window's frame on each side.
void Calc_Window_Frame(HWND window, Rect& frame);
// Moves and sizes the window so that its client area is interior (screen
// coordinates), without re-stacking or activating it.
void Window_Move_Size(HWND window, const Rect& interior);

void Winlist_Add(HWND window);  // an eleventh window calls QUIT
void Winlist_Del(HWND window);  // a window not listed leaves the list as it is
int16 Winlist_Ix(HWND window);  // 1-based position, 0 when absent
// Re-stacks the listed windows in list order.
void Winlist_Restore();

// info := kind FOREIGN_KIND, no procedures, name "????"; then, for a window of
// class "NORM" or "MWIN" with a reference constant, the record it points at.
void GetWinInfo(a_win_info_rec& info, HWND window);
// Paints the window: caret erased, annotations taken off, the info's update
// procedure run inside BeginUpdate / EndUpdate, annotations back; the
// current port is the same after as before. While g_suppress_updates is
// TRUE nothing is painted: the area to update is validated (so the window
// asks no more) and kept, and Resume_Suppressed_Updates invalidates it again
// once updates are let through.
void DoUpdate(HWND update_window);
// TRUE while window updates are not painted (a project file being read).
extern bool8 g_suppress_updates;
// While updates are let through: invalidates, in each window that still
// exists, the area whose update was held back, so that it is painted. The
// main loop's idle work calls it; DoUpdate does too.
void Resume_Suppressed_Updates();
// The box of the window's update region (client coordinates), without erasing.
void Get_Update_Bounds(HWND window, Rect& r);
void Valid_Rect(const Rect& r);
void Invalidate_Rect(const Rect& r);
// The whole client area, without erasing.
void Invalidate_Window(HWND window);
void Immediate_Window_Update(HWND window);

// --- Pictures held in worlds -----------------------------------------------------
//
// Records of the pixel engine's masked worlds and picture readers, declared
// here with the worlds they hold because the clipboard of this layer reads
// them too (a bitmap pasted from another program).

// A picture as a 32-bit world with an optional 8-bit coverage mask (255
// shows the fore pixel fully, 0 not at all; a NIL mask shows everything).
struct a_masked_gworld {
  Rect bounds;
  GWorldPtr fore;  // 32-bit world, NIL when absent
  GWorldPtr mask;  // 8-bit world with gray_ctable, NIL when absent
};

// The result of every picture import.
struct a_picture_scan_rec {
  // bounds of the picture; fore the picture; mask an 8-bit world
  // (255 opaque, 0 transparent) or NIL.
  a_masked_gworld body;
  // Colour table of a picture of 8 bits or less: blue, green, red, 0.
  a_pixel32 ctable[256];
  a_keyset canvas_key;  // not set by any importer
  bool8 canvas_flipx;
  bool8 canvas_flipy;
  uint16 canvas_nrot;
  bool8 transp;   // the picture has a transparent colour (GIF only)
  uint8 transpx;  // its index
  // Subtype of the importer that read the picture, in reading order; the
  // first character is 0 when it is not known.
  char codec[4];
};
