// Masked worlds: a picture as a 32-bit offscreen world with an optional 8-bit
// coverage mask, and the drawing utilities that need the current port (colour
// setters, rectangle conversions between local and global coordinates).
//
// A mask value is coverage: 255 shows the fore pixel fully, 0 not at all; a
// NIL mask shows everything. The mask world carries gray_ctable. The empty
// masked world has empty bounds and no worlds.
#pragma once

#include "pixel/SysPix.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

// a_masked_gworld, the record, is declared with the worlds (platform/SysWin.h).

// --- Masked worlds ---------------------------------------------------------------

// mw := the empty masked world (nothing is freed).
void Null_MW(a_masked_gworld& mw);
// mw.bounds := bounds; fore := a new 32-bit world, mask := a new 8-bit world
// with gray_ctable, both over bounds (New_GWorldF with label: out of memory
// goes to g_err_mem_proc). Whatever mw held before is not freed.
void New_MW(const char* label, const Rect& bounds, a_masked_gworld& mw);
// Empties the bounds and disposes of both worlds (each becomes NIL).
void Dispose_MW(a_masked_gworld& mw);
// TRUE when mw holds no fore world.
bool8 Is_Null_MW(const a_masked_gworld& mw);

// out := a new world over bounds with the depth and colour table of `in`
// (New_GWorldF, label "Imitate_GWorld"); NIL `in` gives NIL.
void Imitate_GWorld(const Rect& bounds, GWorldPtr in, GWorldPtr& out);

// --- Colour setters (8-bit channels; a 16-bit channel is the byte x 257) -----------

void SetForeColor(uint8 red, uint8 green, uint8 blue);
void SetForeColor24(const a_pixel24& rgb24);
void SetForeColor32(const a_pixel32& rgb32);  // alpha ignored
void SetBackColor(uint8 red, uint8 green, uint8 blue);
void SetBackColor24(const a_pixel24& rgb24);
void SetBackColor32(const a_pixel32& rgb32);
// ForeColor(300 + 255 - colorx): in an 8-bit world this paints 255 - colorx.
void SetForeColor8(uint8 colorx);
// Percent opacity as a mask level: 100 paints mask value 255, 0 paints 0.
void SetForeOpacity(int16 opacity);
void SetHiliteColor(uint8 red, uint8 green, uint8 blue);

// --- Rectangles ------------------------------------------------------------------

void GlobalToLocalRect(const Rect& global, Rect& local);
void LocalToGlobalRect(const Rect& local, Rect& global);

// Draw_Cached_MWorld and the point lists are in pixel/DrawUtilDraw.h, the
// owner-drawn list box in pixel/DrawUtilList.h.
