// The trace console: a debugging aid. Values of the toolbox types are
// written in a fixed textual form into one line at a time; a finished line
// goes to a small always-on-top window titled "TRACE" at the right edge of
// the screen (the last lines scroll up in it) and to the log file
// _LOG.TXT in $XDG_STATE_HOME/velmor4/ (else ~/.local/state/velmor4/),
// which is made afresh on the first write of a run. Nothing in normal
// operation depends on it.
//
// The first write of any kind opens the console (Trace_Init). When the log
// cannot be made the console carries on with the window alone, after one
// line on standard error; only a window class that cannot be registered is
// fatal.
//
// A line holds at most TRACE_LINE_MAX characters; what is written beyond
// that is dropped. The log receives at most TRACE_LOG_MAX of them, then CR
// and LF.
#pragma once

#include <string>

#include "host/HostWin.h"
#include "platform/ColorTable.h"
#include "platform/PixMaps.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"  // a_keyset
#include "platform/SysIO.h"
#include "platform/Types.h"

constexpr uint16 TRACE_LINE_MAX = 500;
constexpr uint16 TRACE_LOG_MAX = 497;
// The window's lines: each scroll moves the text up this much.
constexpr int32 TRACE_LINE_HEIGHT = 14;
constexpr const char* kTraceClass = "TRACE";
constexpr const char* kTraceLogName = "_LOG.TXT";

// A point of three coordinates (WritePoint3).
struct a_point3 {
  int32 x, y, z;
};

// Opens the console: empties the line, makes the log file and the window.
// Called by the first write; calling it again does nothing until Trace_Stop.
void Trace_Init();
// Closes the log and the window; the next write opens the console again.
void Trace_Stop();
// The window procedure of class "TRACE": every message to DefWindowProc.
LRESULT TraceProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Appends the characters of s up to its first NUL or its end; characters
// past TRACE_LINE_MAX in the line are dropped.
void Trace_String(CStrSpan s);
// Ends the line: scrolls the window up by a line and draws it at the
// bottom, writes it to the log with CR LF, and empties it.
void Trace_Line();
void WriteLn();

// --- Formatters: each appends to the current line ------------------------------------

void WriteString(const char* s);  // NUL-terminated; NIL writes nothing
void WritePString(CStrSpan s);      // a counted string: up to its NUL or end
void WriteUString(CUStrSpan s);     // UTF-16 up to its NUL or end, written as UTF-8
void WriteCard(uint32 value);
void WriteInt(int16 value);
void WriteLong(int32 value);
// Decimal, right-aligned in width blanks (longer numbers are written whole).
void WriteCardPadded(int16 width, uint32 value);
void WriteHex(uint16 value);      // 4 upper-case hexadecimal digits
void WriteLongHex(uint32 value);  // 8 digits
void WriteReal(double value);     // 3 decimals
void WriteTDegree(int16 tenths);  // an angle in tenths of a degree: "12.5 deg"
void WriteDegreeR(double degrees);  // "12.50 deg"
void WriteBoolean(bool8 value);   // "TRUE" or "FALSE"
void WritePoint(Point p);         // "(h, v)"
void WritePoint3(const a_point3& p);  // "(z, y, x)": the last field first
void WriteRect(const Rect& r);        // "(left, top, right, bottom)"
void WriteFRect(const a_frect& r);    // the same with reals
void WriteRectSize(const Rect& r);    // "width x height"
// "(r, g, b)": the high byte of each component, padded to 3.
void WriteRGB(const RGBColor& c);
// "(r, g, b)" of a 16-bit pixel (bits 10..14, 5..9, 0..4), padded to 2.
void WriteRGB16(uint16 pixel);
// "(" then "[alpha] " when alpha is not 0, then "r, g, b" padded to 3, ")".
void WriteRGB32(a_pixel32 pixel);
// " bbox=" and the region's bounds as a rectangle.
void WriteRegion(RgnHandle rgn);
void WriteKey(const a_keyset& key);  // "[a.b.c.d]"
// The window's role: " NULL ", " OUTER ", " HSCROLL ", " VSCROLL ", " ULTIMATE "
// or " ???".
void WriteHwnd(HWND hwnd);
void WriteWindow(HWND window);
// ", part=" and the scroll-bar part's name (SB_LINEUP .. SB_BOTTOM); an
// unknown part by its number.
void WriteScrollPart(int32 part);
// The kind of an event through g_trace_event_kind_proc (by default its
// number).
using a_event_kind_proc = void (*)(int16 what);
extern a_event_kind_proc g_trace_event_kind_proc;
void WriteEventKind(int16 what);
void WriteHandle(const void* h);  // "0x" and the address in hexadecimal
void WritePath(const FSSpec& path);
// " base=... rowBytes=... bounds=(...) depth=..."
void WritePixMap(const PixMap& pm);
void WritePort();  // writes nothing

// Writes title, then count bytes from address, 16 to a line: each line
// starts with the address in 8 hexadecimal digits and ": ", then each byte
// as two upper-case hexadecimal digits and a blank; the last line is ended.
void Dump(const char* title, const void* address, uint32 count);

// --- For tests ---------------------------------------------------------------------

// The line being assembled.
std::string Trace_Current_Line();
// The log's path (empty while the console is closed or has no log), and the window.
std::string Trace_Log_Path();
HWND Trace_Window();
