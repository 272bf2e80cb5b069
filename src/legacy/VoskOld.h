// Small routines of the older build: the volume-mount prompt, the report of
// a damaged art database, overlap tests of layout units, a photo's frame
// drawn in XOR, the idle step without a document, the older Help-menu
// handlers, the catalogue written as an HTML list, and the undo operation
// written to the trace console.
#pragma once

#include <cstdio>

#include "doc/VoskHist.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// The texts of these routines (resources/legacy.txt): item 1 the prompt of
// the volume-mount dialog.
constexpr int16 STRLIST_LEGACY = 1300;
constexpr int16 LEGACY_MOUNT_PROMPT = 1;

// The alert of a damaged art database (list 400).
constexpr int16 ALERT_BAD_ART = 52;

// Shows dialog 1199 asking for a volume to be mounted; TRUE when it ends
// with item 1 (OK), FALSE when it is cancelled.
bool8 Ask_Vol_Mount();
// The procedures of that dialog.
void Vol_Mount_Init(HWND dialog);
void Vol_Mount_Cmd(HWND dialog, int16 item);

// Alert 52: the art database is a partial copy or damaged.
void Bad_Art();
void Call_Debugger();

// --- Overlaps of layout units (millimetres) --------------------------------------------

// TRUE when left <= x <= right - 0.001 and top <= y <= bottom - 0.001.
bool8 PtInFrect(const a_frect& r, const a_fpoint& p);
// TRUE when the two rectangles share some area: their spans overlap by more
// than 0.001 mm both across and down (touching edges do not overlap).
bool8 FRects_Overlap(const a_frect& a, const a_frect& b);
// TRUE when any two units of the layout overlap.
bool8 Is_Overlapped_Template(const a_template& tmpl);

// --- Objects and idle work -------------------------------------------------------------

// Draws the frame of object omx of the current unit (a photo, symbol or
// collage slot) in XOR mode into the current port, in the document view's
// screen pixels: drawn twice, the port is as it was. Any other index (the
// paint layer, a text, outside the list) draws nothing.
void Frame_XOR(int32 omx);
// The idle step with no document open: while the program is active, the
// arrow cursor.
void Do_Null_NoDoc(bool8 active);

// --- The older Help menus ----------------------------------------------------------------

// 1 the manual; 3 and 4 web pages 7 and 9; 5 the layout designer; 7 the
// About box. Other items do nothing.
void Do_Help_Menu(int16 item);
// 1 the help contents; 2 the help on the current phase; 4, 5 and 7 web
// pages 7, 14 and 15; 10 the About box. Other items do nothing.
void Do_Help2_Menu(int16 item);

// --- The catalogue as an HTML list ---------------------------------------------------------

// At most this many entries are listed.
constexpr int32 DUMP_LIST_MAX = 5000;

// A list being written: its file, the entries written, and whether every
// write so far succeeded.
struct a_html_list {
  std::FILE* file;
  int32 count;
  bool8 ok;
};

// Writes the bytes of text up to its NUL or end; FALSE (and list.ok FALSE)
// when they could not all be written.
bool8 Write(a_html_list& list, CStrSpan text);
// Adds the line "<LI>" and the label (up to its NUL or end), with "&" and
// "<" written as "&amp;" and "&lt;"; nothing past DUMP_LIST_MAX entries.
void Add_To_List(a_html_list& list, CStrSpan label);
// Writes every entry of the built-in catalogue, in its order, to the file
// at path (replaced); TRUE when the whole list was written.
bool8 Dump_List(const char* path);

// Writes the number of undo operation op to the trace console.
void WriteOp(a_history_op op);
