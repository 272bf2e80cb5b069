// Small drawing helpers over Quickdraw: the standard patterns kept as
// variables, a hatched region fill, and the closed outline of a point list.
#pragma once

#include <span>

#include "platform/Quickdraw.h"
#include "platform/SysWin.h"
#include "platform/Types.h"

extern Pattern black_pattern;
extern Pattern gray_pattern;
extern Pattern ltGray_pattern;
extern Pattern dkGray_pattern;

// Module start-up: fills the four patterns.
void SysDraw_Init();

// The window or dialog becomes the current port (nothing when it already is).
inline void Set_Window(HWND w) { SetPort(w); }
inline void Set_Dialog(HWND d) { SetPort(d); }

// Drawing goes straight to our surfaces: nothing to flush.
inline void Flush_All() {}
inline void Flush_Rect(const Rect&) {}

// Fills the region with a backward-diagonal hatch (/////) in the foreground
// colour on a transparent background; the background mode is put back.
void PaintRgn_Hashed(RgnHandle rgn);

// Draws the closed outline through the points (MoveTo the first, LineTo the
// others and back to the first) and gives their bounding rectangle grown at
// its right and bottom by the pen size. Fewer than 3 points draw nothing and
// give (0, 0, 0, 0).
void Pointlist_Frame(std::span<const Point> list, Rect& dirty);
